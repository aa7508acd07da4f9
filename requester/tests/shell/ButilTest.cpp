// The maintenance tool Butil.exe run as a process, as the programs start it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "requester/butil/RecordText.h"
#include "requester/tests/shell/ProcessRunner.h"
#include "requester/tests/shell/RequesterDll.h"
#include "requester/tests/shell/TestFiles.h"

namespace reqshell {
namespace {

// An upper-casing collating table, 32 bytes a line.
std::string UpperTableLines() {
  std::string lines;
  for (int value = 0; value < 256; ++value) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", value >= 'a' && value <= 'z' ? value - 32 : value);
    lines += (value % 32 == 0 ? "  " : "") + std::string(hex) + (value % 32 == 31 ? "\n" : "");
  }
  return lines;
}

// Keys out of order, with a gap in their numbers and an alternate collating sequence.
const std::string kCaseDescription =
    "# saved cases\n"
    "record length 40\n"
    "page size 4096\n"
    "key 3 duplicates\n"
    "  segment position 19 length 8 type string collating upper\n"
    "key 0 modifiable\n"
    "  segment position 1 length 7 type string case-insensitive\n"
    "  segment position 8 length 7 type string\n"
    "key 1 duplicates\n"
    "  segment position 15 length 4 type integer descending\n"
    "collating upper\n" +
    UpperTableLines();

const std::string kCaseStat =
    "# records 0\n"
    "record length 40\n"
    "page size 4096\n"
    "key 0 modifiable\n"
    "  segment position 1 length 7 type string case-insensitive\n"
    "  segment position 8 length 7 type string\n"
    "key 1 duplicates\n"
    "  segment position 15 length 4 type integer descending\n"
    "key 3 duplicates\n"
    "  segment position 19 length 8 type string collating upper\n"
    "collating upper\n" +
    UpperTableLines();

// Accounts with variable-length records, so the round trip must keep each record's length.
const char kVariableAccounts[] =
    "record length 32\n"
    "page size 4096\n"
    "variable length\n"
    "key 0\n"
    "  segment position 1 length 4 type integer\n";

ProgramResult Butil(const std::string& arguments, const TempFolder& folder) {
  return RunProgram("Butil.exe", arguments, folder.Path());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(Butil, CreatesFromADescriptionInTheCurrentFolderAndStatsIt) {
  TempFolder folder;
  WriteTextFile(folder.File("ycase.des"), kCaseDescription);
  const ProgramResult create = Butil("-create casesave.qf ycase.des", folder);
  ASSERT_EQ(create.exitCode, 0u) << create.output;
  ASSERT_TRUE(std::filesystem::exists(folder.File("casesave.qf")));

  const ProgramResult stat = Butil("-stat CASESAVE.QF", folder);
  ASSERT_EQ(stat.exitCode, 0u) << stat.output;
  EXPECT_EQ(stat.output, kCaseStat);

  const ProgramResult again = Butil("-create casesave.qf ycase.des", folder);
  EXPECT_EQ(again.exitCode, 59u);
  EXPECT_NE(again.output.find("Status 59: The file already exists"), std::string::npos) << again.output;
}

TEST(Butil, FailuresExitWithTheStatusAndItsDescription) {
  TempFolder folder;
  WriteTextFile(folder.File("bad.des"), "record length 40\npage size 4096\nkey 0 sorted\n");
  WriteTextFile(folder.File("past-end.des"),
                "record length 10\npage size 4096\nkey\n segment position 8 length 6 type string\n");
  std::string manySegments = "record length 10\npage size 4096\nkey 0\n";
  for (int segment = 0; segment < 4095; ++segment) manySegments += " segment position 1 length 1 type string\n";
  WriteTextFile(folder.File("many.des"), manySegments);
  struct Case {
    std::string arguments;
    DWORD exitCode;  // 0: any failing status
    std::string expected;
  };
  const Case cases[] = {
      {"-stat missing.qf", 12, "Status 12: The file was not found"},
      {"-create new.qf missing.des", 12, "missing.des"},
      {"-create new.qf bad.des", 1, "bad.des: line 3: unknown key attribute \"sorted\""},
      {"-create new.qf past-end.des", 0, "new.qf"},
      {"-create new.qf many.des", 26, "Status 26: The number of keys is not valid"},
      {"-rebuild new.qf", 1, "usage: Butil -create <file> <description file>"},
      {"-stat", 1, "Status 1: The operation is not valid"},
  };
  for (const Case& failure : cases) {
    const ProgramResult result = Butil(failure.arguments, folder);
    if (failure.exitCode != 0) {
      EXPECT_EQ(result.exitCode, failure.exitCode) << failure.arguments << "\n" << result.output;
    } else {
      EXPECT_NE(result.exitCode, 0u) << failure.arguments;
    }
    EXPECT_NE(result.output.find(failure.expected), std::string::npos) << failure.arguments << "\n" << result.output;
    EXPECT_NE(result.output.find("Status " + std::to_string(result.exitCode) + ": "), std::string::npos)
        << failure.arguments << "\n" << result.output;
    EXPECT_FALSE(std::filesystem::exists(folder.File("new.qf"))) << failure.arguments;
  }
}

TEST(Butil, SavesAndLoadsRecordsThroughHexText) {
  TempFolder folder;
  WriteTextFile(folder.File("accounts.des"), kVariableAccounts);
  ASSERT_EQ(Butil("-create first.dat accounts.des", folder).exitCode, 0u);
  ASSERT_EQ(Butil("-create second.dat accounts.des", folder).exitCode, 0u);
  std::vector<std::vector<uint8_t>> records;
  for (int32_t id = 1; id <= 4; ++id) {
    std::vector<uint8_t> record = AccountRecord(id, std::string(3, static_cast<char>(0xF0 + id)));
    record.resize(record.size() + (id - 1) * 50, static_cast<uint8_t>(id));  // lengths 32 to 182
    records.push_back(record);
  }
  {
    RequesterDll dll;
    ASSERT_TRUE(dll.Loaded());
    DllFile file(dll);
    ASSERT_EQ(file.Open(folder.File("first.dat")), 0);
    for (const auto& record : records) ASSERT_EQ(file.Insert(record), 0);
    ASSERT_EQ(file.Close(), 0);
    dll.stop();
  }
  const ProgramResult save = Butil("-save first.dat first.txt", folder);
  ASSERT_EQ(save.exitCode, 0u) << save.output;
  std::vector<std::string> expectedLines;
  for (const auto& record : records) expectedLines.push_back(butil::RecordToHexLine(record.data(), record.size()));
  const std::string saved = ReadTextFile(folder.File("first.txt"));
  EXPECT_EQ(Sorted(Lines(saved)), Sorted(expectedLines));

  WriteTextFile(folder.File("edited.txt"), "# fixture\r\n\r\n" + saved);
  const ProgramResult load = Butil("-load edited.txt second.dat", folder);
  ASSERT_EQ(load.exitCode, 0u) << load.output;
  EXPECT_NE(load.output.find("Loaded 4 records"), std::string::npos) << load.output;
  ASSERT_EQ(Butil("-save second.dat second.txt", folder).exitCode, 0u);
  EXPECT_EQ(Sorted(Lines(ReadTextFile(folder.File("second.txt")))), Sorted(expectedLines));

  RequesterDll dll;
  DllFile file(dll);
  ASSERT_EQ(file.Open(folder.File("second.dat")), 0);
  std::vector<uint8_t> record;
  ASSERT_EQ(file.GetEqual(4, record), 0);
  EXPECT_EQ(record, records[3]);
  file.Close();
  dll.stop();
}

TEST(Butil, LoadStopsAtTheFirstFaultyLineNamingIt) {
  TempFolder folder;
  WriteTextFile(folder.File("accounts.des"), kVariableAccounts);
  ASSERT_EQ(Butil("-create accounts.dat accounts.des", folder).exitCode, 0u);
  const auto good = AccountRecord(1, "A");
  const std::string goodLine = butil::RecordToHexLine(good.data(), good.size());
  WriteTextFile(folder.File("not-hex.txt"), goodLine + "\nXYZ\n");
  WriteTextFile(folder.File("short.txt"), "0200000041\n");
  WriteTextFile(folder.File("duplicate.txt"), goodLine + "\n");

  const ProgramResult notHex = Butil("-load not-hex.txt accounts.dat", folder);
  EXPECT_EQ(notHex.exitCode, 1u);
  EXPECT_NE(notHex.output.find("not-hex.txt line 2 (1 records loaded before it): not hexadecimal bytes"),
            std::string::npos)
      << notHex.output;
  const ProgramResult tooShort = Butil("-load short.txt accounts.dat", folder);
  EXPECT_EQ(tooShort.exitCode, 22u) << tooShort.output;
  const ProgramResult duplicate = Butil("-load duplicate.txt accounts.dat", folder);  // id 1 is in already
  EXPECT_EQ(duplicate.exitCode, 5u) << duplicate.output;
  EXPECT_EQ(Butil("-load missing.txt accounts.dat", folder).exitCode, 12u);
}

TEST(Butil, DamagedFileIsReportedAndRecovered) {
  TempFolder folder;
  WriteTextFile(folder.File("accounts.des"), kVariableAccounts);
  ASSERT_EQ(Butil("-create accounts.dat accounts.des", folder).exitCode, 0u);
  const ProgramResult sound = Butil("-stat accounts.dat", folder);
  ASSERT_EQ(sound.exitCode, 0u) << sound.output;
  {
    // The second commit slot of a new file is unwritten; a byte in it makes the header damaged.
    std::fstream file(folder.File("accounts.dat"), std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(67);
    file.put('\x5A');
  }
  const ProgramResult damaged = Butil("-stat accounts.dat", folder);
  EXPECT_EQ(damaged.exitCode, 2u) << damaged.output;
  EXPECT_NE(damaged.output.find("Butil -recover"), std::string::npos) << damaged.output;
  const ProgramResult recover = Butil("-recover accounts.dat", folder);
  ASSERT_EQ(recover.exitCode, 0u) << recover.output;
  EXPECT_NE(recover.output.find("last good commit"), std::string::npos) << recover.output;
  const ProgramResult again = Butil("-stat accounts.dat", folder);
  EXPECT_EQ(again.exitCode, 0u) << again.output;
  EXPECT_EQ(again.output, sound.output);
  EXPECT_EQ(Butil("-recover missing.dat", folder).exitCode, 12u);
}

}  // namespace
}  // namespace reqshell
