#pragma once
// The requester DLL loaded from this program's own folder, with its four entry points bound by name.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "rtl/WinApi.h"

namespace reqshell {

using ClientId = std::array<uint8_t, 16>;

// The folder of the running program, with a trailing backslash.
std::string ProgramFolder();

class RequesterDll {
 public:
  using BtrCallFn = int16_t(__stdcall*)(uint16_t, void*, void*, uint16_t*, void*, uint8_t, int8_t);
  using BtrCallIdFn = int16_t(__stdcall*)(uint16_t, void*, void*, uint16_t*, void*, uint8_t, int8_t, void*);
  using InitFn = int16_t(__stdcall*)(const char*);
  using StopFn = int16_t(__stdcall*)();

  RequesterDll();
  ~RequesterDll();
  RequesterDll(const RequesterDll&) = delete;
  RequesterDll& operator=(const RequesterDll&) = delete;

  // True when the DLL loaded and every entry point was found.
  bool Loaded() const;

  BtrCallFn btrCall = nullptr;
  BtrCallIdFn btrCallId = nullptr;
  InitFn init = nullptr;
  StopFn stop = nullptr;

 private:
  HMODULE module_ = nullptr;
};

// One open file of one client: its position block and key buffer. No client id means BTRCALL's default client.
class DllFile {
 public:
  DllFile(RequesterDll& dll, const ClientId* client = nullptr) : dll_(dll), client_(client) {}

  int16_t Call(uint16_t operation, void* data, uint16_t& length, int8_t keyNumber);
  int16_t Create(const std::string& path, const std::vector<uint8_t>& spec);
  int16_t Open(const std::string& path, int8_t mode = 0);
  int16_t Close();
  int16_t Insert(std::vector<uint8_t> record);
  int16_t Update(std::vector<uint8_t> record);
  // A read by key (5 to 13, plus 200 to lock) or a step; the record is sized to the returned length.
  int16_t Read(uint16_t operation, std::vector<uint8_t>& record, int8_t keyNumber = 0);
  // Get equal on key 0 for a 4-byte integer key.
  int16_t GetEqual(int32_t key, std::vector<uint8_t>& record, bool lock = false);

  std::array<char, 256> keyBuffer{};

 private:
  RequesterDll& dll_;
  const ClientId* client_;
  std::array<uint8_t, 128> positionBlock_{};
};

}  // namespace reqshell
