// A writer killed at random moments leaves the file as after its last completed operation or transaction.
#include "CoreTestSupport.h"
#include "ProcessSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <cstring>
#include <map>
#include <random>

using namespace reqtest;

namespace {

// Record: id int32 (key 0, unique), group int16 (key 1, duplicates, modifiable), payload 6 bytes.
struct Write {
  enum Kind { Insert, Update, Delete } kind;
  std::string record;
};

struct Unit {
  bool transaction = false;
  std::vector<Write> writes;
};

// A deterministic stream of units; the model holds the records (by id) after the units made so far.
class Workload {
 public:
  explicit Workload(uint32_t seed) : rng_(seed) {}

  Unit Next() {
    Unit unit;
    unit.transaction = Pick(10) < 3;
    int count = unit.transaction ? 2 + Pick(4) : 1;
    for (int i = 0; i < count; ++i) unit.writes.push_back(NextWrite());
    return unit;
  }

  std::map<int32_t, std::string> model;

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  Write NextWrite() {
    char tag = static_cast<char>('a' + Pick(26));
    if (model.empty() || Pick(2) == 0) {
      int32_t id = nextId_++;
      return Apply({Write::Insert, IdGroupRecord(id, static_cast<int16_t>(Pick(5)), tag)});
    }
    auto it = std::next(model.begin(), Pick(static_cast<int>(model.size())));
    int32_t id = it->first;
    if (Pick(2) == 0) return Apply({Write::Update, IdGroupRecord(id, static_cast<int16_t>(Pick(5)), tag)});
    return Apply({Write::Delete, it->second});
  }

  Write Apply(Write w) {
    int32_t id;
    std::memcpy(&id, w.record.data(), 4);
    if (w.kind == Write::Delete)
      model.erase(id);
    else
      model[id] = w.record;
    return w;
  }

  std::mt19937 rng_;
  int32_t nextId_ = 1;
};

int16_t Perform(TestFile& f, const Write& w) {
  if (w.kind == Write::Insert) return f.Insert(w.record);
  if (int16_t status = f.GetEqual(w.record.substr(0, 4)); status != 0) return status;
  return w.kind == Write::Update ? f.Update(w.record) : f.Call(Op::Delete);
}

// Runs units until killed, reporting each finished unit.
void Writer(const std::string& path, uint32_t seed, Child& self) {
  TestFile f;
  if (f.Open(path) != 0) ::_exit(3);
  Workload work(seed);
  for (int32_t done = 1;; ++done) {
    Unit unit = work.Next();
    if (unit.transaction && f.Call(Op::BeginTransaction) != 0) ::_exit(4);
    for (const auto& w : unit.writes)
      if (Perform(f, w) != 0) ::_exit(5);
    if (unit.transaction && f.Call(Op::EndTransaction) != 0) ::_exit(6);
    self.Send(done);
  }
}

std::map<int32_t, std::string> ModelAfter(uint32_t seed, int32_t units) {
  Workload work(seed);
  for (int32_t i = 0; i < units; ++i) work.Next();
  return work.model;
}

// Every record of the file by key 0, by key 1 and in physical order; false when the three disagree.
bool ReadAll(TestFile& f, std::map<int32_t, std::string>& records) {
  std::vector<std::string> byId, byGroup, physical;
  for (int16_t s = f.Read(Op::GetFirst, 0); s == 0; s = f.Read(Op::GetNext, 0)) byId.push_back(f.Record());
  for (int16_t s = f.Read(Op::GetFirst, 1); s == 0; s = f.Read(Op::GetNext, 1)) byGroup.push_back(f.Record());
  for (int16_t s = f.Read(Op::StepFirst, 0); s == 0; s = f.Read(Op::StepNext, 0)) physical.push_back(f.Record());
  std::sort(byGroup.begin(), byGroup.end());
  std::sort(physical.begin(), physical.end());
  std::vector<std::string> sortedIds = byId;
  std::sort(sortedIds.begin(), sortedIds.end());
  if (sortedIds != byGroup || sortedIds != physical) return false;
  for (const auto& r : byId) {
    int32_t id;
    std::memcpy(&id, r.data(), 4);
    records[id] = r;
  }
  return true;
}

}  // namespace

TEST(Crash, KilledWriterLeavesLastCommittedState) {
  TempDir dir;
  std::mt19937 rng(12345);
  const auto rounds = static_cast<uint32_t>(RunSize(25, 1000));
  for (uint32_t round = 1; round <= rounds; ++round) {
    CoreStop();
    std::string path = dir.File("crash" + std::to_string(round) + ".dat");
    {
      TestFile maker;
      ASSERT_EQ(0, maker.Create(path, IdGroupSpec()));
    }
    CoreStop();
    Child child([&](Child& self) { Writer(path, round, self); });
    ::usleep(std::uniform_int_distribution<int>(500, 20000)(rng));
    ::kill(child.Pid(), SIGKILL);
    ASSERT_EQ(-1, child.Wait()) << "the writer failed by itself in round " << round;
    int32_t done = 0, value;
    while (child.Receive(value)) done = value;

    TestFile f;
    ASSERT_EQ(0, f.Open(path)) << round;
    std::map<int32_t, std::string> records;
    ASSERT_TRUE(ReadAll(f, records)) << "keys disagree with records in round " << round;
    auto before = ModelAfter(round, done), after = ModelAfter(round, done + 1);
    EXPECT_TRUE(records == before || records == after) << "round " << round << " after " << done << " units";
    // The file takes new writes after the crash and keeps them.
    ASSERT_EQ(0, f.Insert(IdGroupRecord(1000000, 0, 'z'))) << round;
    CoreStop();
    TestFile again;
    ASSERT_EQ(0, again.Open(path));
    ASSERT_EQ(0, again.GetEqual(IdGroupRecord(1000000, 0, 'z').substr(0, 4)));
  }
  CoreStop();
}

TEST(Crash, KilledWhileOpening) {
  TempDir dir;
  std::string master = dir.File("master.dat");
  std::vector<std::string> expected;
  MakeChurnedFile(master, expected);
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  std::mt19937 rng(99);
  for (int round = 0; round < 12; ++round) {
    std::string path = dir.File("rewrite" + std::to_string(round) + ".dat");
    std::filesystem::copy_file(master, path);
    Child child([&](Child&) {
      TestFile f;
      f.Open(path);
    });
    ::usleep(std::uniform_int_distribution<int>(0, 4000)(rng));
    child.Kill();
    TestFile f;
    ASSERT_EQ(0, f.Open(path)) << round;
    EXPECT_EQ(expected, Contents(f)) << round;
    CoreStop();
  }
}

TEST(Crash, OpenWhileAnotherProcessRewritesTheLog) {
  TempDir dir;
  std::string master = dir.File("master.dat");
  std::vector<std::string> expected;
  MakeChurnedFile(master, expected);
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  std::mt19937 rng(7);
  for (int round = 0; round < 24; ++round) {
    std::string path = dir.File("shared" + std::to_string(round) + ".dat");
    std::filesystem::copy_file(master, path);
    Child child([&](Child& self) {
      self.Send(0);
      TestFile f;
      self.Send(f.Open(path));
    });
    int32_t status;
    ASSERT_TRUE(child.Receive(status));
    ::usleep(std::uniform_int_distribution<int>(0, 80000)(rng));  // while the child loads or rewrites
    TestFile f;
    ASSERT_EQ(0, f.Open(path)) << round;
    EXPECT_EQ(expected, Contents(f)) << round;
    ASSERT_TRUE(child.Receive(status));
    EXPECT_EQ(0, status);
    child.Wait();
    CoreStop();
  }
}
