// Commits of one process never get lost to another process opening, rewriting or closing the same file.
#include "CoreTestSupport.h"
#include "ProcessSupport.h"
#include "requester/core/Statuses.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

using namespace reqtest;

namespace {

std::string KeyOf(int32_t id) { return std::string(reinterpret_cast<const char*>(&id), 4); }

// Large records, so that the log soon grows large enough for a lone opener to rewrite it.
std::string Counter(int32_t id, int32_t value) {
  std::string r(1024, '\0');
  std::memcpy(r.data(), &id, 4);
  std::memcpy(r.data() + 6, &value, 4);
  return r;
}

int32_t ValueOf(const std::string& record) {
  int32_t value;
  std::memcpy(&value, record.data() + 6, 4);
  return value;
}

// Open, add one to the counter record, close; a write that lost to another process's is tried again.
int16_t Increment(const std::string& path) {
  TestFile f;
  if (int16_t status = f.Open(path); status != 0) return status;
  for (;;) {
    if (int16_t status = f.GetEqual(KeyOf(0)); status != 0) return status;
    int16_t status = f.Update(Counter(0, ValueOf(f.Record()) + 1));
    if (status != Status::RecordChanged) return status;
  }
}

}  // namespace

TEST(Race, OpenerThatRewritesTheLogKeepsTheCommitOfAClosingWriter) {
  TempDir dir;
  for (int round = 0; round < 10; ++round) {
    std::string path = dir.File("race" + std::to_string(round) + ".dat");
    {
      TestFile f;
      ASSERT_EQ(0, f.Create(path, CreateSpec(12, {{{1, 4, 0, KeyType::Integer}}})));
    }
    // The writer makes the log mostly superseded entries and keeps the file open; then it commits and closes
    // while this process loads the file to open it, and would rewrite the log from what it loaded.
    Child writer([&](Child& self) {
      TestFile f;
      int16_t status = f.Open(path);
      if (status == 0) status = f.Call(Op::BeginTransaction);
      for (int32_t id = 1; id <= 500 && status == 0; ++id) status = f.Insert(Counter(id, 0));
      for (int32_t value = 1; value <= 19 && status == 0; ++value) {
        for (int32_t id = 1; id <= 500 && status == 0; ++id) {
          status = f.GetEqual(KeyOf(id));
          if (status == 0) status = f.Update(Counter(id, value));
        }
      }
      if (status == 0) status = f.Call(Op::EndTransaction);
      self.Send(status);
      int32_t delay;
      if (!self.Receive(delay)) return;
      ::usleep(static_cast<useconds_t>(delay));
      status = f.Insert(Counter(100000, round));
      if (status == 0) status = f.Close();
      self.Send(status);
    });
    int32_t status;
    ASSERT_TRUE(writer.Receive(status));
    ASSERT_EQ(0, status);
    writer.Send(round * 400);
    TestFile f;
    ASSERT_EQ(0, f.Open(path)) << round;
    ASSERT_TRUE(writer.Receive(status));
    ASSERT_EQ(0, status) << round;
    writer.Wait();
    ASSERT_EQ(0, f.Close());
    CoreStop();
    TestFile check;
    ASSERT_EQ(0, check.Open(path));
    EXPECT_EQ(0, check.GetEqual(KeyOf(100000))) << "the writer's insert is lost in round " << round;
    CoreStop();
  }
}

TEST(Race, ProcessesThatOpenIncrementAndCloseLoseNoIncrement) {
  const int Processes = 4, Increments = RunSize(300, 3000);
  TempDir dir;
  std::string path = dir.File("counter.dat");
  {
    TestFile f;
    ASSERT_EQ(0, f.Create(path, CreateSpec(1024, {{{1, 4, 0, KeyType::Integer}}})));
    ASSERT_EQ(0, f.Open(path));
    ASSERT_EQ(0, f.Insert(Counter(0, 0)));
  }
  CoreStop();
  std::vector<std::unique_ptr<Child>> children;
  for (int n = 0; n < Processes; ++n) {
    children.push_back(std::make_unique<Child>([&](Child& self) {
      for (int i = 0; i < Increments; ++i) {
        if (int16_t status = Increment(path); status != 0) {
          self.Send(status);
          return;
        }
      }
      self.Send(0);
    }));
  }
  for (auto& child : children) {
    int32_t status = -1;
    ASSERT_TRUE(child->Receive(status));
    EXPECT_EQ(0, status);
    child->Wait();
  }
  TestFile f;
  ASSERT_EQ(0, f.Open(path));
  ASSERT_EQ(0, f.GetEqual(KeyOf(0)));
  EXPECT_EQ(Processes * Increments, ValueOf(f.Record()));
  CoreStop();
}
