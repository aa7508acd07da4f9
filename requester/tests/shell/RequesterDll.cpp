#include "requester/tests/shell/RequesterDll.h"

#include <cstring>

namespace reqshell {

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

namespace {
template <typename Function>
Function Bind(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

RequesterDll::RequesterDll() : module_(LoadLibraryA((ProgramFolder() + "wbtrv32.dll").c_str())) {
  if (!module_) return;
  btrCall = Bind<BtrCallFn>(module_, "BTRCALL");
  btrCallId = Bind<BtrCallIdFn>(module_, "BTRCALLID");
  init = Bind<InitFn>(module_, "WBTRVINIT");
  stop = Bind<StopFn>(module_, "WBTRVSTOP");
}

RequesterDll::~RequesterDll() {
  if (module_) FreeLibrary(module_);
}

bool RequesterDll::Loaded() const {
  return module_ && btrCall && btrCallId && init && stop;
}

int16_t DllFile::Call(uint16_t operation, void* data, uint16_t& length, int8_t keyNumber) {
  if (client_) {
    ClientId id = *client_;
    return dll_.btrCallId(operation, positionBlock_.data(), data, &length, keyBuffer.data(), 255, keyNumber, id.data());
  }
  return dll_.btrCall(operation, positionBlock_.data(), data, &length, keyBuffer.data(), 255, keyNumber);
}

int16_t DllFile::Create(const std::string& path, const std::vector<uint8_t>& spec) {
  keyBuffer.fill(0);
  std::memcpy(keyBuffer.data(), path.c_str(), path.size());
  std::vector<uint8_t> data = spec;
  uint16_t length = static_cast<uint16_t>(data.size());
  return Call(14, data.data(), length, 0);
}

int16_t DllFile::Open(const std::string& path, int8_t mode) {
  keyBuffer.fill(0);
  std::memcpy(keyBuffer.data(), path.c_str(), path.size());
  char owner[1] = {0};
  uint16_t length = 0;
  return Call(0, owner, length, mode);
}

int16_t DllFile::Close() {
  uint8_t scratch[4] = {};
  uint16_t length = sizeof scratch;
  return Call(1, scratch, length, 0);
}

int16_t DllFile::Insert(std::vector<uint8_t> record) {
  uint16_t length = static_cast<uint16_t>(record.size());
  return Call(2, record.data(), length, 0);
}

int16_t DllFile::Update(std::vector<uint8_t> record) {
  uint16_t length = static_cast<uint16_t>(record.size());
  return Call(3, record.data(), length, 0);
}

int16_t DllFile::Read(uint16_t operation, std::vector<uint8_t>& record, int8_t keyNumber) {
  record.assign(4096, 0);
  uint16_t length = static_cast<uint16_t>(record.size());
  const int16_t status = Call(operation, record.data(), length, keyNumber);
  record.resize(status == 0 ? length : 0);
  return status;
}

int16_t DllFile::GetEqual(int32_t key, std::vector<uint8_t>& record, bool lock) {
  std::memcpy(keyBuffer.data(), &key, sizeof key);
  return Read(lock ? 205 : 5, record);
}

}  // namespace reqshell
