#include "CoreTestSupport.h"
#include "requester/core/FileIo.h"
#include "requester/core/Statuses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

using namespace reqtest;

namespace {

// Records of 20 bytes: id (int32, key 0, unique), name (10 bytes, key 1, duplicates, modifiable), filler.
std::string Rec(int32_t id, const std::string& name, const std::string& filler = "") {
  std::string r(20, '\0');
  std::memcpy(r.data(), &id, 4);
  std::memcpy(r.data() + 4, name.data(), std::min<size_t>(name.size(), 10));
  std::memcpy(r.data() + 14, filler.data(), std::min<size_t>(filler.size(), 6));
  return r;
}

int32_t IdOf(const std::string& record) {
  int32_t id;
  std::memcpy(&id, record.data(), 4);
  return id;
}

std::string Name(const std::string& n) {
  std::string k(10, '\0');
  std::memcpy(k.data(), n.data(), std::min<size_t>(n.size(), 10));
  return k;
}

std::string KeyOf(int32_t id) { return std::string(reinterpret_cast<const char*>(&id), 4); }

std::vector<uint8_t> PeopleSpec() {
  return CreateSpec(20, {{{1, 4, 0, KeyType::Integer}},
                         {{5, 10, KeyFlag::Duplicates | KeyFlag::Modifiable}}});
}

class CoreOps : public ::testing::Test {
 protected:
  void SetUp() override {
    CoreStop();
    path = dir.File("people.dat");
    ASSERT_EQ(0, f.Create(path, PeopleSpec()));
    ASSERT_EQ(0, f.Open(path));
  }
  void TearDown() override { CoreStop(); }

  // Ids in the order of next calls on a key, starting with first.
  std::vector<int32_t> Walk(int8_t keyNum) {
    std::vector<int32_t> ids;
    for (int16_t s = f.Read(Op::GetFirst, keyNum); s == 0; s = f.Read(Op::GetNext, keyNum))
      ids.push_back(IdOf(f.Record()));
    return ids;
  }

  TempDir dir;
  std::string path;
  TestFile f;
};

}  // namespace

TEST_F(CoreOps, InsertGetAndKeyBuffer) {
  ASSERT_EQ(0, f.Insert(Rec(7, "smith")));
  ASSERT_EQ(0, f.Insert(Rec(3, "jones")));
  ASSERT_EQ(0, f.GetEqual(KeyOf(7)));
  EXPECT_EQ(Rec(7, "smith"), f.Record());
  EXPECT_EQ(20, f.returned);
  ASSERT_EQ(0, f.Read(Op::GetFirst, 1));
  EXPECT_EQ(Name("jones"), std::string(reinterpret_cast<char*>(f.key), 10));
  EXPECT_EQ(Status::KeyNotFound, f.GetEqual(KeyOf(5)));
  EXPECT_EQ(Status::DuplicateKey, f.Insert(Rec(3, "other")));
  EXPECT_EQ(Status::DataBufferTooShort, f.Insert(Rec(4, "short").substr(0, 19)));
  EXPECT_EQ(Status::InvalidKeyNumber, f.Read(Op::GetFirst, 5));
}

TEST_F(CoreOps, KeyedRangeOperations) {
  for (int id : {10, 20, 30}) ASSERT_EQ(0, f.Insert(Rec(id, "n")));
  struct Case {
    uint16_t op;
    int32_t key;
    int16_t status;
    int32_t id;
  } cases[] = {
      {Op::GetGreater, 20, 0, 30}, {Op::GetGreater, 30, 9, 0},        {Op::GetGreaterOrEqual, 20, 0, 20},
      {Op::GetGreaterOrEqual, 21, 0, 30}, {Op::GetLess, 20, 0, 10}, {Op::GetLess, 10, 9, 0},
      {Op::GetLessOrEqual, 20, 0, 20}, {Op::GetLessOrEqual, 19, 0, 10}, {Op::GetEqual, 19, 4, 0},
  };
  for (const auto& c : cases) {
    f.SetKey(&c.key, 4);
    ASSERT_EQ(c.status, f.Read(c.op, 0)) << c.op << " " << c.key;
    if (c.status == 0) {
      EXPECT_EQ(c.id, IdOf(f.Record())) << c.op << " " << c.key;
    }
  }
  ASSERT_EQ(0, f.Read(Op::GetLast, 0));
  EXPECT_EQ(30, IdOf(f.Record()));
  EXPECT_EQ(Status::EndOfFile, f.Read(Op::GetNext, 0));
  ASSERT_EQ(0, f.Read(Op::GetPrevious, 0));
  EXPECT_EQ(20, IdOf(f.Record()));
  EXPECT_EQ(Status::DifferentKeyNumber, f.Read(Op::GetNext, 1));
}

TEST_F(CoreOps, FailedOperationKeepsPosition) {
  for (int id : {1, 2, 3}) ASSERT_EQ(0, f.Insert(Rec(id, "n")));
  ASSERT_EQ(0, f.GetEqual(KeyOf(2)));
  EXPECT_EQ(Status::KeyNotFound, f.GetEqual(KeyOf(9)));
  EXPECT_EQ(Status::DataBufferTooShort, f.Read(Op::GetNext, 0, 10));
  EXPECT_EQ(Status::DuplicateKey, f.Insert(Rec(1, "dup")));
  ASSERT_EQ(0, f.Read(Op::GetNext, 0));
  EXPECT_EQ(3, IdOf(f.Record()));
}

TEST_F(CoreOps, DuplicatesKeepInsertionOrderAndRekeyGoesToEnd) {
  ASSERT_EQ(0, f.Insert(Rec(1, "b")));
  ASSERT_EQ(0, f.Insert(Rec(2, "a")));
  ASSERT_EQ(0, f.Insert(Rec(3, "b")));
  ASSERT_EQ(0, f.Insert(Rec(4, "a")));
  EXPECT_EQ((std::vector<int32_t>{2, 4, 1, 3}), Walk(1));
  // Re-key 2 from "a" to "b": it goes to the end of the run of "b" and next continues from there.
  ASSERT_EQ(0, f.GetEqual(Name("a"), 1));
  ASSERT_EQ(0, f.Update(Rec(2, "b")));
  EXPECT_EQ(Status::EndOfFile, f.Read(Op::GetNext, 1));
  EXPECT_EQ((std::vector<int32_t>{4, 1, 3, 2}), Walk(1));
  // A key that is not modifiable refuses a change.
  ASSERT_EQ(0, f.GetEqual(KeyOf(1)));
  f.cursorKey = 0;
  EXPECT_EQ(Status::KeyNotModifiable, f.Update(Rec(9, "b")));
}

TEST_F(CoreOps, NextAndPreviousAfterDeleteOfCurrent) {
  for (int id : {1, 2, 3}) ASSERT_EQ(0, f.Insert(Rec(id, "n")));
  ASSERT_EQ(0, f.GetEqual(KeyOf(2)));
  ASSERT_EQ(0, f.Call(Op::Delete));
  EXPECT_EQ(Status::NoPosition, f.Call(Op::Delete));
  ASSERT_EQ(0, f.Read(Op::GetNext, 0));
  EXPECT_EQ(3, IdOf(f.Record()));
  ASSERT_EQ(0, f.GetEqual(KeyOf(3)));
  ASSERT_EQ(0, f.Call(Op::Delete));
  ASSERT_EQ(0, f.Read(Op::GetPrevious, 0));
  EXPECT_EQ(1, IdOf(f.Record()));
}

TEST_F(CoreOps, StepsPositionsAndDirect) {
  for (int id : {30, 10, 20}) ASSERT_EQ(0, f.Insert(Rec(id, "n")));
  std::vector<int32_t> physical;
  for (int16_t s = f.Read(Op::StepFirst, 0); s == 0; s = f.Read(Op::StepNext, 0)) physical.push_back(IdOf(f.Record()));
  EXPECT_EQ((std::vector<int32_t>{30, 10, 20}), physical);
  ASSERT_EQ(0, f.Read(Op::StepLast, 0));
  ASSERT_EQ(0, f.Read(Op::StepPrevious, 0));
  EXPECT_EQ(10, IdOf(f.Record()));
  uint32_t p10 = f.Position();
  EXPECT_NE(0u, p10);
  ASSERT_EQ(0, f.GetEqual(KeyOf(30)));
  uint32_t p30 = f.Position();
  EXPECT_LT(p30, p10);
  // Get direct sets the position on the key given; next follows that key.
  ASSERT_EQ(0, f.GetDirect(p10, 0));
  EXPECT_EQ(10, IdOf(f.Record()));
  ASSERT_EQ(0, f.Read(Op::GetNext, 0));
  EXPECT_EQ(20, IdOf(f.Record()));
  EXPECT_EQ(Status::InvalidPosition, f.GetDirect(12345));
  // Positions are never reused.
  ASSERT_EQ(0, f.GetDirect(p30));
  ASSERT_EQ(0, f.Call(Op::Delete));
  ASSERT_EQ(0, f.Insert(Rec(30, "again")));
  EXPECT_GT(f.Position(), p10);
}

TEST_F(CoreOps, Percentages) {
  for (int id = 0; id <= 100; ++id) ASSERT_EQ(0, f.Insert(Rec(id, "n")));
  auto byPercentage = [&](uint32_t pct, int8_t keyNum) {
    f.data.assign(64, 0);
    std::memcpy(f.data.data(), &pct, 4);
    return f.Call(Op::GetByPercentage, keyNum);
  };
  ASSERT_EQ(0, byPercentage(5000, 0));
  EXPECT_EQ(50, IdOf(f.Record()));
  ASSERT_EQ(0, byPercentage(10000, 0));
  EXPECT_EQ(100, IdOf(f.Record()));
  EXPECT_EQ(Status::InvalidOperation, byPercentage(10001, 0));
  ASSERT_EQ(0, byPercentage(2500, PhysicalKey));
  EXPECT_EQ(25, IdOf(f.Record()));
  int32_t id = 75;
  f.SetKey(&id, 4);
  f.data.assign(4, 0);
  ASSERT_EQ(0, f.Call(Op::FindPercentage, 0));
  uint32_t pct;
  std::memcpy(&pct, f.data.data(), 4);
  EXPECT_EQ(7426u, pct);  // just above 75 of 101 records before it
}

// Sequence numbers as callers derive them: percentage := trunc(10000 / count x n) (10000 for the last) to go to
// record n; n := trunc(percentage / 10000 x count) + 1 from the percentage of a record.
TEST_F(CoreOps, PercentagesRoundTripSequenceNumbers) {
  int inserted = 0;
  for (int count : {1, 2, 3, 7, 200, 999}) {
    while (inserted < count) ASSERT_EQ(0, f.Insert(Rec(inserted++, "n")));
    for (int n = 1; n <= count; ++n) {
      uint32_t percentage = n < count ? static_cast<uint32_t>(10000.0 / count * n) : 10000;
      f.data.assign(64, 0);
      std::memcpy(f.data.data(), &percentage, 4);
      ASSERT_EQ(0, f.Call(Op::GetByPercentage, 0));
      ASSERT_EQ(n - 1, IdOf(f.Record())) << count << " " << n;
      f.data.assign(4, 0);
      ASSERT_EQ(0, f.Call(Op::FindPercentage, 0));
      std::memcpy(&percentage, f.data.data(), 4);
      ASSERT_EQ(n, std::min<int>(static_cast<int>(percentage / 10000.0 * count), count) + 1) << count << " " << n;
    }
  }
}

TEST_F(CoreOps, StatReplyLayout) {
  ASSERT_EQ(0, f.Insert(Rec(1, "a")));
  memset(f.key, 0x5A, sizeof f.key);
  auto stat = f.Stat();
  ASSERT_EQ(16u + 2 * 16, stat.size());
  EXPECT_EQ(20, stat[0] | stat[1] << 8);
  EXPECT_EQ(4096, stat[2] | stat[3] << 8);
  EXPECT_EQ(2, stat[4]);
  EXPECT_EQ(1, stat[6]);
  const uint8_t* k1 = stat.data() + 32;
  EXPECT_EQ(5, k1[0]);
  EXPECT_EQ(10, k1[2]);
  EXPECT_EQ(KeyFlag::Duplicates | KeyFlag::Modifiable, k1[4] | k1[5] << 8);
  EXPECT_EQ(1, k1[14]);
  EXPECT_EQ(0x5A, f.key[0]);
  f.data.assign(20, 0);
  EXPECT_EQ(Status::DataBufferTooShort, f.Call(Op::Stat));
  EXPECT_EQ(20, f.returned);
}

TEST_F(CoreOps, CreateRefusals) {
  struct Case {
    const char* what;
    std::vector<uint8_t> spec;
    int16_t status;
  } cases[] = {
      {"page size", CreateSpec(20, {}, 0, 100), Status::InvalidPageSize},
      {"record length", CreateSpec(0, {}), Status::InvalidRecordLength},
      {"key position", CreateSpec(20, {{{18, 4, 0, KeyType::Integer}}}), Status::InvalidKeyPosition},
      {"key length", CreateSpec(20, {{{1, 3, 0, KeyType::Integer}}}), Status::InvalidKeyLength},
      {"key type", CreateSpec(20, {{{1, 4, 0, 9}}}), Status::InvalidKeyType},
      {"collating", CreateSpec(20, {{{1, 4, KeyFlag::AltCollating}}}), Status::InvalidCollatingSequence},
      {"number of keys", CreateSpec(20, std::vector<std::vector<SegmentSpec>>(120, {{1, 4}})), Status::InvalidKeyCount},
  };
  for (auto& c : cases) EXPECT_EQ(c.status, f.Create(dir.File("bad.dat"), c.spec)) << c.what;
  EXPECT_EQ(Status::FileExists, f.Create(path, PeopleSpec(), CreateMode::RefuseExisting));
  EXPECT_EQ(Status::DirectoryError, f.Create(dir.File("none/x.dat"), PeopleSpec()));
}

TEST_F(CoreOps, AutoIncrementFillsZeroAndWritesBack) {
  TestFile a;
  std::string p = dir.File("auto.dat");
  ASSERT_EQ(0, a.Create(p, CreateSpec(8, {{{1, 4, 0, KeyType::AutoIncrement}}})));
  ASSERT_EQ(0, a.Open(p));
  std::string r(8, '\0');
  ASSERT_EQ(0, a.Insert(r));
  EXPECT_EQ(1, IdOf(std::string(a.data.begin(), a.data.end())));
  r[0] = 10;
  ASSERT_EQ(0, a.Insert(r));
  r[0] = 0;
  ASSERT_EQ(0, a.Insert(r));
  EXPECT_EQ(11, IdOf(std::string(a.data.begin(), a.data.end())));
}

TEST_F(CoreOps, FileNamesIgnoreCaseAndDirectory) {
  ASSERT_EQ(0, f.Insert(Rec(1, "a")));
  TestFile g;
  EXPECT_EQ(0, g.Open(dir.File("PEOPLE.DAT")));
  TestFile h;
  h.SetKey(dir.Path());
  ASSERT_EQ(0, h.Call(Op::SetDirectory));
  ASSERT_EQ(0, h.Open("People.Dat"));
  std::memset(h.key, 0, sizeof h.key);
  ASSERT_EQ(0, h.Call(Op::GetDirectory));
  EXPECT_EQ(reqcore::Path::Absolute(dir.Path()), std::string(reinterpret_cast<char*>(h.key)));
  TestFile missing;
  EXPECT_EQ(Status::FileNotFound, missing.Open(dir.File("nothing.dat")));
  EXPECT_EQ(Status::FileNotOpen, missing.Read(Op::GetFirst, 0));
  std::ofstream(dir.File("junk.dat")) << "not a record file, but long enough to hold a header of some sort";
  EXPECT_EQ(Status::NotARecordFile, missing.Open(dir.File("junk.dat")));
  EXPECT_EQ(Status::FileNotFound, missing.Open(dir.Path()));
}

TEST(CoreLifecycle, InitStopAndImplicitInit) {
  CoreStop();
  EXPECT_EQ(0, CoreInit(""));
  EXPECT_EQ(Status::AlreadyInitialised, CoreInit(""));
  EXPECT_EQ(0, CoreStop());
  EXPECT_EQ(0, CoreInit(nullptr));
  CoreStop();
  // A call before initialisation initialises.
  TestFile f;
  EXPECT_EQ(Status::FileNotOpen, f.Read(Op::GetFirst, 0));
  EXPECT_EQ(Status::AlreadyInitialised, CoreInit(""));
  EXPECT_EQ(Status::InvalidOperation, f.Call(99));
  CoreStop();
}

TEST_F(CoreOps, CreateOverwritesAClosedFileButNotAnOpenOne) {
  ASSERT_EQ(0, f.Insert(Rec(1, "a")));
  TestFile other;
  EXPECT_EQ(Status::FileLocked, other.Create(path, PeopleSpec()));
  ASSERT_EQ(0, f.Close());
  ASSERT_EQ(0, other.Create(dir.File("PEOPLE.dat"), CreateSpec(30, {})));
  TestFile g;
  ASSERT_EQ(0, g.Open(path));
  auto stat = g.Stat();
  EXPECT_EQ(30, stat[0]);
  EXPECT_EQ(0, stat[6]);
}
