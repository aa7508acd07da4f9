// Supplemental indexes, variable-length records, files without keys, and the create/stat layouts.
#include "CoreTestSupport.h"
#include "requester/core/Statuses.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace reqtest;

namespace {

std::string Rec(int32_t id, const std::string& name) {
  std::string r(16, '\0');
  std::memcpy(r.data(), &id, 4);
  std::memcpy(r.data() + 4, name.data(), std::min<size_t>(name.size(), 12));
  return r;
}

int32_t IdOf(const std::string& r) {
  int32_t id;
  std::memcpy(&id, r.data(), 4);
  return id;
}

std::vector<uint8_t> SegmentSpecs(const std::vector<SegmentSpec>& segments) {
  auto spec = CreateSpec(16, {segments});
  return std::vector<uint8_t>(spec.begin() + 16, spec.end());
}

class Layouts : public ::testing::Test {
 protected:
  void SetUp() override { CoreStop(); }
  void TearDown() override { CoreStop(); }

  std::vector<int32_t> Walk(TestFile& f, int8_t keyNum) {
    std::vector<int32_t> ids;
    for (int16_t s = f.Read(Op::GetFirst, keyNum); s == 0; s = f.Read(Op::GetNext, keyNum)) ids.push_back(IdOf(f.Record()));
    return ids;
  }

  TempDir dir;
};

}  // namespace

TEST_F(Layouts, SupplementalIndexOverExistingRecordsAndDrop) {
  TestFile f;
  std::string path = dir.File("supp.dat");
  ASSERT_EQ(0, f.Create(path, CreateSpec(16, {{{1, 4, 0, KeyType::Integer}}})));
  ASSERT_EQ(0, f.Open(path));
  for (auto [id, name] : std::vector<std::pair<int, std::string>>{{5, "b"}, {1, "a"}, {4, "b"}, {2, "a"}})
    ASSERT_EQ(0, f.Insert(Rec(id, name)));
  // A unique index over duplicate values is refused.
  f.data = SegmentSpecs({{5, 12}});
  EXPECT_EQ(Status::DuplicateKey, f.Call(Op::CreateIndex, 0));
  // Duplicates of an index built later stand in physical order; later inserts go after them.
  f.data = SegmentSpecs({{5, 12, KeyFlag::Duplicates}});
  ASSERT_EQ(0, f.Call(Op::CreateIndex, 0));
  ASSERT_EQ(0, f.Insert(Rec(0, "a")));
  EXPECT_EQ((std::vector<int32_t>{1, 2, 0, 5, 4}), Walk(f, 1));
  auto stat = f.Stat();
  ASSERT_EQ(16u + 2 * 16, stat.size());
  EXPECT_EQ(2, stat[4]);
  EXPECT_EQ(5, stat[6]);
  EXPECT_TRUE((stat[32 + 4] | stat[32 + 5] << 8) & KeyFlag::Supplemental);
  EXPECT_EQ(1, stat[32 + 14]);
  // An exact key number, a taken one, one beyond what create allows, and the index surviving a reopen.
  for (uint8_t refused : {1, 119, 127}) {
    f.data = SegmentSpecs({{1, 4, KeyFlag::Descending, KeyType::Integer}});
    EXPECT_EQ(Status::InvalidKeyNumber, f.Call(Op::CreateIndex, static_cast<int8_t>(ExactKeyNumber | refused)))
        << int(refused);
  }
  f.data = SegmentSpecs({{1, 4, KeyFlag::Descending, KeyType::Integer}});
  ASSERT_EQ(0, f.Call(Op::CreateIndex, static_cast<int8_t>(ExactKeyNumber | 5)));
  CoreStop();
  TestFile g;
  ASSERT_EQ(0, g.Open(path));
  EXPECT_EQ((std::vector<int32_t>{5, 4, 2, 1, 0}), Walk(g, 5));
  EXPECT_EQ((std::vector<int32_t>{1, 2, 0, 5, 4}), Walk(g, 1));
  ASSERT_EQ(0, g.Call(Op::DropIndex, 1));
  EXPECT_EQ(Status::InvalidKeyNumber, g.Read(Op::GetFirst, 1));
  EXPECT_EQ(Status::InvalidKeyNumber, g.Call(Op::DropIndex, 1));
  EXPECT_EQ((std::vector<int32_t>{5, 4, 2, 1, 0}), Walk(g, 5));
  ASSERT_EQ(0, g.Call(Op::BeginTransaction));
  EXPECT_EQ(Status::OperationNotAllowed, g.Call(Op::DropIndex, 5));
}

TEST_F(Layouts, VariableLengthRecords) {
  TestFile f;
  std::string path = dir.File("var.dat");
  ASSERT_EQ(0, f.Create(path, CreateSpec(8, {{{1, 4, 0, KeyType::Integer}}}, FileFlag::VariableLength)));
  ASSERT_EQ(0, f.Open(path));
  std::string longRecord = Rec(1, "fixed").substr(0, 8) + std::string(300, 'm');
  ASSERT_EQ(0, f.Insert(longRecord));
  ASSERT_EQ(0, f.Insert(Rec(2, "x").substr(0, 8)));
  EXPECT_EQ(Status::DataBufferTooShort, f.Insert(Rec(3, "x").substr(0, 7)));
  ASSERT_EQ(0, f.Read(Op::GetFirst, 0, 400));
  EXPECT_EQ(longRecord, f.Record());
  EXPECT_EQ(Status::DataBufferTooShort, f.Read(Op::GetFirst, 0, 100));
  ASSERT_EQ(0, f.Read(Op::GetLast, 0, 400));
  EXPECT_EQ(8, f.returned);
  ASSERT_EQ(0, f.Update(Rec(2, "y").substr(0, 8) + "tail"));
  ASSERT_EQ(0, f.Read(Op::GetLast, 0, 400));
  EXPECT_EQ(12, f.returned);
  auto stat = f.Stat();
  EXPECT_EQ(FileFlag::VariableLength, stat[10] | stat[11] << 8);
}

TEST_F(Layouts, FileWithoutKeysUsesSteps) {
  TestFile f;
  std::string path = dir.File("nokeys.dat");
  ASSERT_EQ(0, f.Create(path, CreateSpec(16, {})));
  ASSERT_EQ(0, f.Open(path));
  for (int id : {3, 1, 2}) ASSERT_EQ(0, f.Insert(Rec(id, "n")));
  EXPECT_EQ(Status::InvalidKeyNumber, f.Read(Op::GetFirst, 0));
  std::vector<int32_t> ids;
  for (int16_t s = f.Read(Op::StepLast, 0); s == 0; s = f.Read(Op::StepPrevious, 0)) ids.push_back(IdOf(f.Record()));
  EXPECT_EQ((std::vector<int32_t>{2, 1, 3}), ids);
  EXPECT_EQ(0, f.Stat()[4]);
}

TEST_F(Layouts, KeyNumbersGivenAndCollatingSequenceInStat) {
  std::vector<uint8_t> table(265, 0);
  table[0] = CollatingSignature;
  std::memcpy(table.data() + 1, "REVERSED", 8);
  for (int c = 0; c < 256; ++c) table[9 + c] = static_cast<uint8_t>(255 - c);
  TestFile f;
  std::string path = dir.File("acs.dat");
  auto spec = CreateSpec(16,
                         {{{1, 4, 0, KeyType::Integer, 0, 3}},
                          {{5, 2, KeyFlag::AltCollating | KeyFlag::Duplicates, KeyType::String, 0, 7},
                           {7, 2, KeyFlag::AltCollating | KeyFlag::Duplicates, KeyType::String, 0, 7}}},
                         FileFlag::KeyNumbersGiven, 4096, {table});
  ASSERT_EQ(0, f.Create(path, spec));
  ASSERT_EQ(0, f.Open(path));
  for (auto [id, name] : std::vector<std::pair<int, std::string>>{{1, "aaaa"}, {2, "aabb"}, {3, "bbaa"}})
    ASSERT_EQ(0, f.Insert(Rec(id, name), 3));
  EXPECT_EQ((std::vector<int32_t>{3, 2, 1}), Walk(f, 7));
  EXPECT_EQ(Status::InvalidKeyNumber, f.Read(Op::GetFirst, 0));
  auto stat = f.Stat();
  ASSERT_EQ(16u + 3 * 16 + 265, stat.size());
  EXPECT_EQ(3, stat[16 + 14]);
  EXPECT_EQ(7, stat[32 + 14]);
  EXPECT_EQ(7, stat[48 + 14]);
  EXPECT_TRUE((stat[32 + 4] | stat[32 + 5] << 8) & KeyFlag::Segmented);
  EXPECT_FALSE((stat[48 + 4] | stat[48 + 5] << 8) & KeyFlag::Segmented);
  EXPECT_EQ(table, std::vector<uint8_t>(stat.begin() + 64, stat.end()));
  // A short buffer gets as much as fits, with status 22: the file and key specifications without the table.
  f.data.assign(64, 0);
  EXPECT_EQ(Status::DataBufferTooShort, f.Call(Op::Stat));
  EXPECT_EQ(64, f.returned);
  EXPECT_EQ(16, f.data[0]);
}

TEST_F(Layouts, LogLargerThanOneReadIsLoadedWhole) {
  TestFile f;
  std::string path = dir.File("large.dat");
  ASSERT_EQ(0, f.Create(path, CreateSpec(8, {{{1, 4, 0, KeyType::Integer}}}, FileFlag::VariableLength)));
  ASSERT_EQ(0, f.Open(path));
  ASSERT_EQ(0, f.Call(Op::BeginTransaction));
  auto record = [](int32_t id) {
    std::string r = Rec(id, "").substr(0, 8) + std::string(1000 + id % 37, static_cast<char>('a' + id % 26));
    return r;
  };
  for (int32_t id = 0; id < 6000; ++id) ASSERT_EQ(0, f.Insert(record(id)));
  ASSERT_EQ(0, f.Call(Op::EndTransaction));
  CoreStop();
  TestFile g;
  ASSERT_EQ(0, g.Open(path));
  EXPECT_EQ(6000, g.Stat()[6] | g.Stat()[7] << 8);
  for (int32_t id : {0, 2999, 4242, 5999}) {
    g.SetKey(&id, 4);
    ASSERT_EQ(0, g.Read(Op::GetEqual, 0, 2000)) << id;
    EXPECT_EQ(record(id), g.Record()) << id;
  }
}
