#pragma once
// Small builders for the shell tests: a scratch folder and an accounts file (4-byte unique id, 10-byte name
// with duplicates, 32-byte records).
#include <cstdint>
#include <string>
#include <vector>

namespace reqshell {

// A new empty folder under the temporary folder, removed with its content at destruction.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing backslash.
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

constexpr uint16_t kAccountRecordLength = 32;

// The accounts file in the maintenance tool's description language.
extern const char kAccountDescription[];

std::vector<uint8_t> AccountSpec();
std::vector<uint8_t> AccountRecord(int32_t id, const std::string& name);

void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

}  // namespace reqshell
