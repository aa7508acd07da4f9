#include "requester/tests/shell/TestFiles.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "requester/butil/DescriptionParser.h"
#include "requester/butil/SpecLayout.h"
#include "rtl/WinApi.h"

namespace reqshell {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  path_ = std::string(temp) + "reqshell-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) +
          "\\";
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

const char kAccountDescription[] =
    "record length 32\n"
    "page size 4096\n"
    "key 0\n"
    "  segment position 1 length 4 type integer\n"
    "key 1 duplicates modifiable\n"
    "  segment position 5 length 10 type string\n";

std::vector<uint8_t> AccountSpec() {
  return butil::EncodeCreateSpec(butil::ParseDescription(kAccountDescription));
}

std::vector<uint8_t> AccountRecord(int32_t id, const std::string& name) {
  std::vector<uint8_t> record(kAccountRecordLength);
  std::memcpy(record.data(), &id, sizeof id);
  std::memset(record.data() + 4, ' ', 10);
  std::memcpy(record.data() + 4, name.data(), std::min<size_t>(name.size(), 10));
  for (size_t index = 14; index < record.size(); ++index) record[index] = static_cast<uint8_t>(id * 7 + index);
  return record;
}

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadTextFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace reqshell
