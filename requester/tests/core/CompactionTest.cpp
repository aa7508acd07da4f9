// Churn reuses the pages it frees: the file does not grow with the number of changes, and opening it changes nothing.
#include "CoreTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace reqtest;

namespace {

std::string Rec(int32_t id, int16_t group, int32_t payload) {
  std::string r(12, '\0');
  std::memcpy(r.data(), &id, 4);
  std::memcpy(r.data() + 4, &group, 2);
  std::memcpy(r.data() + 6, &payload, 4);
  return r;
}

struct Snapshot {
  std::vector<std::string> byGroup;
  std::vector<std::pair<uint32_t, std::string>> physical;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Read(TestFile& f) {
  Snapshot s;
  for (int16_t st = f.Read(Op::GetFirst, 1); st == 0; st = f.Read(Op::GetNext, 1)) s.byGroup.push_back(f.Record());
  for (int16_t st = f.Read(Op::StepFirst, 0); st == 0; st = f.Read(Op::StepNext, 0)) {
    std::string record = f.Record();
    s.physical.emplace_back(f.Position(), record);
  }
  return s;
}

class Compaction : public ::testing::Test {
 protected:
  void SetUp() override {
    CoreStop();
    path = dir.File("busy.dat");
    TestFile f;
    ASSERT_EQ(0, f.Create(path, IdGroupSpec()));
    ASSERT_EQ(0, f.Open(path));
    for (int id = 0; id < 100; ++id) ASSERT_EQ(0, f.Insert(Rec(id, static_cast<int16_t>(id % 7), 0)));
    sizeInserted = std::filesystem::file_size(path);
    Churn(f);
    for (int id = 0; id < 100; id += 3) {
      ASSERT_EQ(0, f.GetEqual(std::string(reinterpret_cast<char*>(&id), 4)));
      ASSERT_EQ(0, f.Call(Op::Delete));
    }
    before = Read(f);
    CoreStop();
    sizeBefore = std::filesystem::file_size(path);
  }
  void TearDown() override { CoreStop(); }

  // 22,050 updates (one transaction keeps it quick).
  static void Churn(TestFile& f) {
    ASSERT_EQ(0, f.Call(Op::BeginTransaction));
    for (int round = 1; round <= 450; ++round) {
      for (int id = 1 + round % 2; id < 100; id += 2) {
        if (id % 3 == 0) continue;
        ASSERT_EQ(0, f.GetEqual(std::string(reinterpret_cast<char*>(&id), 4)));
        ASSERT_EQ(0, f.Update(Rec(id, static_cast<int16_t>((id + round) % 7), round)));
      }
    }
    ASSERT_EQ(0, f.Call(Op::EndTransaction));
  }

  TempDir dir;
  std::string path;
  Snapshot before;
  uintmax_t sizeBefore = 0;
  uintmax_t sizeInserted = 0;
};

}  // namespace

TEST_F(Compaction, ChurnReusesPagesAndOpeningAloneKeepsEverything) {
  EXPECT_LE(sizeBefore, 2 * sizeInserted);
  TestFile f;
  ASSERT_EQ(0, f.Open(path));
  EXPECT_EQ(sizeBefore, std::filesystem::file_size(path));
  EXPECT_EQ(before, Read(f));
  ASSERT_EQ(0, f.Insert(Rec(500, 3, 1)));
  uint32_t fresh = f.Position();
  EXPECT_GT(fresh, before.physical.back().first);
  CoreStop();
  TestFile again;
  ASSERT_EQ(0, again.Open(path));
  Snapshot after = Read(again);
  ASSERT_EQ(before.physical.size() + 1, after.physical.size());
  EXPECT_EQ(fresh, after.physical.back().first);
}

TEST_F(Compaction, NotWhileAnotherClientHasTheFileOpen) {
  TestFile keeper(Client(7));
  ASSERT_EQ(0, keeper.Open(path));
  Churn(keeper);
  Snapshot churned = Read(keeper);
  uintmax_t size = std::filesystem::file_size(path);
  ASSERT_GT(size, sizeBefore / 2);
  TestFile f;
  ASSERT_EQ(0, f.Open(path));
  EXPECT_EQ(size, std::filesystem::file_size(path));
  EXPECT_EQ(churned, Read(f));
}
