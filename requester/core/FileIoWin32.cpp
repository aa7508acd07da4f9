#include "requester/core/FileIo.h"

#include "rtl/WinApi.h"

#include <vector>

namespace reqcore {

namespace {

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED ov{};
  ov.Offset = static_cast<DWORD>(offset);
  ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return ov;
}

class Win32File : public FileIo {
 public:
  Win32File(HANDLE handle, bool writable) : handle_(handle), writable_(writable) {}
  ~Win32File() override { CloseHandle(handle_); }

  bool ReadAt(uint64_t offset, void* buffer, size_t count) override {
    auto* p = static_cast<char*>(buffer);
    while (count > 0) {
      OVERLAPPED ov = At(offset);
      DWORD chunk = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
      DWORD done = 0;
      if (!ReadFile(handle_, p, chunk, &done, &ov) || done == 0) return false;
      p += done, offset += done, count -= done;
    }
    return true;
  }

  bool WriteAt(uint64_t offset, const void* buffer, size_t count) override {
    auto* p = static_cast<const char*>(buffer);
    while (count > 0) {
      OVERLAPPED ov = At(offset);
      DWORD chunk = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
      DWORD done = 0;
      if (!WriteFile(handle_, p, chunk, &done, &ov) || done == 0) return false;
      p += done, offset += done, count -= done;
    }
    return true;
  }

  bool Flush() override { return FlushFileBuffers(handle_) != 0; }

  bool Truncate(uint64_t size) override {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) && SetEndOfFile(handle_);
  }

  uint64_t Size() override {
    LARGE_INTEGER size{};
    return GetFileSizeEx(handle_, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
  }

  bool Writable() const override { return writable_; }

  bool Lock(uint64_t offset, bool exclusive, bool wait) override {
    OVERLAPPED ov = At(offset);
    DWORD flags = (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    return LockFileEx(handle_, flags, 0, 1, 0, &ov) != 0;
  }

  void Unlock(uint64_t offset) override {
    OVERLAPPED ov = At(offset);
    UnlockFileEx(handle_, 0, 1, 0, &ov);
  }

 private:
  HANDLE handle_;
  bool writable_;
};

FileIo::OpenResult ResultOf(DWORD error) {
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
    return FileIo::OpenResult::NotFound;
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_WRITE_PROTECT)
    return FileIo::OpenResult::Denied;
  return FileIo::OpenResult::Error;
}

HANDLE OpenHandle(const std::string& path, DWORD access, DWORD disposition) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::unique_ptr<FileIo> FileIo::OpenExisting(const std::string& path, OpenResult& result) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    result = OpenResult::NotFound;
    return nullptr;
  }
  bool writable = true;
  HANDLE handle = OpenHandle(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    writable = false;
    handle = OpenHandle(path, GENERIC_READ, OPEN_EXISTING);
  }
  if (handle == INVALID_HANDLE_VALUE) {
    result = ResultOf(GetLastError());
    return nullptr;
  }
  result = OpenResult::Ok;
  return std::make_unique<Win32File>(handle, writable);
}

std::unique_ptr<FileIo> FileIo::CreateNew(const std::string& path, OpenResult& result) {
  HANDLE handle = OpenHandle(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  if (handle == INVALID_HANDLE_VALUE) {
    result = ResultOf(GetLastError());
    return nullptr;
  }
  result = OpenResult::Ok;
  return std::make_unique<Win32File>(handle, true);
}

namespace Path {

std::string FindExisting(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ? path : std::string();
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && IsSeparator(path[0]));
}

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (IsSeparator(directory.back())) return directory + name;
  return directory + "\\" + name;
}

std::string Parent(const std::string& path) {
  auto slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

std::string CurrentDirectory() {
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  return n > 0 && n < buffer.size() ? std::string(buffer.data(), n) : std::string();
}

std::string Absolute(const std::string& path) {
  std::vector<char> buffer(MAX_PATH * 2);
  DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  std::string full = n > 0 && n < buffer.size() ? std::string(buffer.data(), n) : path;
  std::vector<char> longName(MAX_PATH * 2);
  n = GetLongPathNameA(full.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
  if (n > 0 && n < longName.size()) full.assign(longName.data(), n);
  return full;
}

std::string Canonical(const std::string& path) {
  std::string full = Absolute(path);
  CharUpperBuffA(full.data(), static_cast<DWORD>(full.size()));
  return full;
}

bool Replace(const std::string& source, const std::string& target) {
  return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void Remove(const std::string& path) { DeleteFileA(path.c_str()); }

}  // namespace Path

}  // namespace reqcore
