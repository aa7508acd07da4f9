// A damaged, cut-short or foreign file gives a status: never a crash, never data other than what was committed,
// never a silent step back to an older commit.
#include "CoreTestSupport.h"
#include "requester/core/Recovery.h"
#include "requester/core/Statuses.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <algorithm>
#include "requester/core/Page.h"
#include <thread>

using namespace reqtest;

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Everything a client can read: the statistics, physical order with positions, and each key's order. Sections
// read past damage (status 2) are cut short there.
struct Readout {
  std::vector<std::vector<std::string>> sections;
  bool damaged = false;
  bool operator==(const Readout& other) const { return sections == other.sections && damaged == other.damaged; }
};

Readout Everything(TestFile& f) {
  Readout out;
  auto read = [&](uint16_t first, uint16_t next, int8_t key, bool positions) {
    auto& section = out.sections.emplace_back();
    int16_t s = f.Read(first, key);
    for (; s == 0; s = f.Read(next, key)) {
      std::string record = f.Record();
      section.push_back(positions ? std::to_string(f.Position()) + ":" + record : record);
    }
    out.damaged = out.damaged || s == Status::IoError;
  };
  read(Op::GetFirst, Op::GetNext, 1, false);
  read(Op::StepFirst, Op::StepNext, 0, true);
  auto stat = f.Stat();
  out.sections.push_back({std::string(stat.begin(), stat.end())});
  for (int8_t key : {0, 2}) read(Op::GetFirst, Op::GetNext, key, false);
  return out;
}

// Whether what was read before damage stopped it is all as committed.
bool AllCommitted(const Readout& read, const Readout& committed) {
  for (size_t i = 0; i < read.sections.size(); ++i)
    for (const auto& item : read.sections[i])
      if (std::find(committed.sections[i].begin(), committed.sections[i].end(), item) == committed.sections[i].end())
        return false;
  return true;
}

class Damage : public ::testing::Test {
 protected:
  // A small closed file that holds every kind of entry; its last commit changes a record, so that a step back to
  // the commit before it shows.
  void SetUp() override {
    CoreStop();
    path = dir.File("damage.dat");
    TestFile f;
    ASSERT_EQ(0, f.Create(path, IdGroupSpec()));
    ASSERT_EQ(0, f.Open(path));
    for (int32_t id = 0; id < 60; ++id) ASSERT_EQ(0, f.Insert(IdGroupRecord(id, static_cast<int16_t>(id % 4), 'a')));
    for (int32_t id = 0; id < 60; id += 2) {
      ASSERT_EQ(0, f.GetEqual(std::string(reinterpret_cast<char*>(&id), 4)));
      ASSERT_EQ(0, id % 6 == 0 ? f.Call(Op::Delete) : f.Update(IdGroupRecord(id, 3, 'b')));
    }
    f.data.assign(16, 0);
    f.data[0] = 9, f.data[2] = 4, f.data[4] = KeyFlag::Duplicates | KeyFlag::Modifiable;  // key 2 on tag bytes
    ASSERT_EQ(0, f.Call(Op::CreateIndex, 0));
    previous = Everything(f);
    previousBytes = ReadBytes(path);
    int32_t last = 1;
    ASSERT_EQ(0, f.GetEqual(std::string(reinterpret_cast<char*>(&last), 4)));
    ASSERT_EQ(0, f.Update(IdGroupRecord(last, 0, 'z')));
    expected = Everything(f);
    CoreStop();
    original = ReadBytes(path);
  }
  void TearDown() override { CoreStop(); }

  // Opens the file as damage left it: a refusal with 2 or 30, at the open or at the read that meets the damage (what
  // was read before it all committed), or exactly the committed contents.
  void ExpectRefusedOrIntact(const std::string& bytes, const std::string& what) {
    WriteBytes(path, bytes);
    ExpectRefusedOrIntact(what);
  }
  void ExpectRefusedOrIntact(const std::string& what) {
    TestFile f;
    int16_t status = f.Open(path);
    if (status != 0) {
      ASSERT_TRUE(status == Status::IoError || status == Status::NotARecordFile) << what << ": " << status;
      return;
    }
    Readout read = Everything(f);
    if (read.damaged)
      ASSERT_TRUE(AllCommitted(read, expected)) << what;
    else
      ASSERT_EQ(expected, read) << what;
  }

  TempDir dir;
  std::string path;
  std::string original;
  Readout expected;
  Readout previous;  // before the last commit
  std::string previousBytes;
};

}  // namespace

TEST_F(Damage, EveryByteFlipped) {
  ASSERT_GT(original.size(), 2048u);
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  auto put = [&](size_t at, char c) {
    file.seekp(static_cast<std::streamoff>(at));
    file.put(c);
    file.flush();
  };
  for (size_t at = 0; at < original.size(); ++at) {
    for (uint8_t mask : {uint8_t(0xFF), uint8_t(1u << (at % 8))}) {
      put(at, static_cast<char>(original[at] ^ mask));
      ExpectRefusedOrIntact("byte " + std::to_string(at) + " xor " + std::to_string(mask));
      if (HasFatalFailure()) return;
    }
    put(at, original[at]);
  }
}

TEST_F(Damage, EveryBlockZeroedAndEveryLengthCut) {
  for (size_t at = 0; at < original.size(); at += 512) {
    std::string bytes = original;
    std::fill(bytes.begin() + at, bytes.begin() + std::min(at + 512, bytes.size()), '\0');
    ExpectRefusedOrIntact(bytes, "block at " + std::to_string(at));
    if (HasFatalFailure()) return;
  }
  for (size_t length = 0; length < original.size(); length += 37) {
    ExpectRefusedOrIntact(original.substr(0, length), "cut to " + std::to_string(length));
    if (HasFatalFailure()) return;
  }
}

// The pages (past the meta pages) that the last commit wrote, by their first byte.
std::vector<size_t> PagesOfTheLastCommit(const std::string& before, const std::string& after) {
  std::vector<size_t> pages;
  for (size_t at = 2 * PageSize; at < after.size(); at += PageSize)
    if (at >= before.size() || before.compare(at, PageSize, after, at, PageSize) != 0) pages.push_back(at);
  return pages;
}

TEST_F(Damage, DamagedCommitIsReportedAndRecoveredToTheLastGoodOne) {
  // Either meta page damaged gives 2 at open; recovery keeps the newest commit when the older meta page was hit and
  // goes back one commit when the newest was. Damaged pages of the last commit give 2 where they are read, and
  // recovery goes back one commit too.
  std::vector<size_t> lastPages = PagesOfTheLastCommit(previousBytes, original);
  ASSERT_FALSE(lastPages.empty());
  std::vector<Readout> recovered;
  for (const auto& places : {std::vector<size_t>{67}, std::vector<size_t>{PageSize + 67}, lastPages}) {
    std::string bytes = original;
    for (size_t at : places) bytes[at + 100] = static_cast<char>(bytes[at + 100] ^ 0x40);
    size_t at = places.front();
    WriteBytes(path, bytes);
    {
      TestFile f;
      int16_t status = f.Open(path);
      if (status == 0) EXPECT_TRUE(Everything(f).damaged) << at;
      else EXPECT_EQ(Status::IoError, status) << at;
    }
    CoreStop();
    ASSERT_EQ(0, RecoverLastGoodCommit(path)) << at;
    TestFile f;
    ASSERT_EQ(0, f.Open(path)) << at;
    recovered.push_back(Everything(f));
    EXPECT_EQ(0, f.Insert(IdGroupRecord(1000, 1, 'n'))) << at;
    CoreStop();
  }
  EXPECT_TRUE((recovered[0] == expected && recovered[1] == previous) ||
              (recovered[0] == previous && recovered[1] == expected));
  EXPECT_EQ(previous, recovered[2]);
  CoreStop();
  WriteBytes(path, original);
  EXPECT_EQ(0, RecoverLastGoodCommit(path));
  EXPECT_EQ(original, ReadBytes(path));
  TestFile holder;
  ASSERT_EQ(0, holder.Open(path));
  EXPECT_EQ(Status::FileLocked, RecoverLastGoodCommit(path));
  EXPECT_EQ(Status::FileNotFound, RecoverLastGoodCommit(dir.File("missing.dat")));
}

TEST_F(Damage, FilesOfTheEarlierFormatsAreRefused) {
  for (const char* magic : {"DUNREC01", "DUNREC02"}) {
    std::string bytes = original;
    bytes.replace(0, 8, magic);
    WriteBytes(path, bytes);
    TestFile f;
    EXPECT_EQ(Status::NotARecordFile, f.Open(path)) << magic;
  }
}

TEST_F(Damage, FileCutShortWhileOpen) {
  for (uintmax_t length : {uintmax_t{0}, uintmax_t{300}}) {
    WriteBytes(path, original);
    TestFile reader, writer(Client(2));
    ASSERT_EQ(0, reader.Open(path));
    ASSERT_EQ(0, writer.Open(path));
    ASSERT_EQ(0, reader.Read(Op::GetFirst, 0));
    std::filesystem::resize_file(path, length);
    // A write looks at the file's size first; reads do at least every 100 ms.
    EXPECT_EQ(Status::IoError, writer.Insert(IdGroupRecord(1000, 1, 'n'))) << length;
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(Status::IoError, reader.Read(Op::GetNext, 0)) << length;
    EXPECT_EQ(Status::IoError, reader.Read(Op::StepFirst, 0)) << length;
    EXPECT_EQ(Status::IoError, writer.Read(Op::GetFirst, 0)) << length;
    EXPECT_EQ(length, std::filesystem::file_size(path));
  }
}
