#include "requester/core/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <strings.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace reqcore {

namespace {

// A mapped page faults (SIGBUS) once the file is cut short before it; a copy out of a mapping turns that fault
// into a failed read. Faults elsewhere go to the handler that was there before. Volatile: the copy does not read
// it, so an optimiser would otherwise drop the store before the copy as dead.
thread_local sigjmp_buf* volatile copyFault = nullptr;
struct sigaction previousBusAction;

void OnBusError(int, siginfo_t*, void*) {
  if (copyFault) siglongjmp(*copyFault, 1);
  sigaction(SIGBUS, &previousBusAction, nullptr);  // the faulting access runs again under that handler
}

void CatchBusErrors() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previousBusAction);
  });
}

bool CopyFromMapping(void* to, const void* from, size_t count) {
  sigjmp_buf jump;
  if (sigsetjmp(jump, 0) != 0) {
    copyFault = nullptr;
    return false;
  }
  copyFault = &jump;
  std::memcpy(to, from, count);
  copyFault = nullptr;
  return true;
}

class PosixFile : public FileIo {
 public:
  static constexpr size_t MappedHead = 8192;  // the two meta pages

  PosixFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
  ~PosixFile() override {
    if (map_) ::munmap(map_, mapSize_);
    ::close(fd_);
  }

  // Served from a mapping of the file's start, which follows every write without a call to the system.
  bool ReadHead(uint64_t offset, void* buffer, size_t count) override {
    if (!map_ && offset + count <= MappedHead) {
      CatchBusErrors();
      void* view = ::mmap(nullptr, MappedHead, PROT_READ, MAP_SHARED, fd_, 0);
      if (view != MAP_FAILED) map_ = view, mapSize_ = MappedHead;
    }
    if (!map_ || offset + count > mapSize_) return ReadAt(offset, buffer, count);
    return CopyFromMapping(buffer, static_cast<const char*>(map_) + offset, count);
  }

  bool ReadAt(uint64_t offset, void* buffer, size_t count) override {
    auto* p = static_cast<char*>(buffer);
    while (count > 0) {
      ssize_t n = ::pread(fd_, p, count, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n, offset += n, count -= n;
    }
    return true;
  }

  bool WriteAt(uint64_t offset, const void* buffer, size_t count) override {
    auto* p = static_cast<const char*>(buffer);
    while (count > 0) {
      ssize_t n = ::pwrite(fd_, p, count, static_cast<off_t>(offset));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      p += n, offset += n, count -= n;
    }
    return true;
  }

  bool Flush() override { return ::fdatasync(fd_) == 0; }

  bool Truncate(uint64_t size) override { return ::ftruncate(fd_, static_cast<off_t>(size)) == 0; }

  uint64_t Size() override {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
  }

  bool Writable() const override { return writable_; }

  // Open-file-description locks: owned by this handle, so two handles of one process conflict.
  bool Lock(uint64_t offset, bool exclusive, bool wait) override {
    struct flock fl = Range(offset, exclusive ? F_WRLCK : F_RDLCK);
    int rc;
    do rc = ::fcntl(fd_, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl);
    while (rc != 0 && errno == EINTR);
    return rc == 0;
  }

  void Unlock(uint64_t offset) override {
    struct flock fl = Range(offset, F_UNLCK);
    ::fcntl(fd_, F_OFD_SETLK, &fl);
  }

 private:
  static struct flock Range(uint64_t offset, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = 1;
    return fl;
  }

  int fd_;
  bool writable_;
  void* map_ = nullptr;
  size_t mapSize_ = 0;
};

FileIo::OpenResult ResultOf(int error) {
  if (error == ENOENT || error == ENOTDIR || error == EISDIR) return FileIo::OpenResult::NotFound;
  if (error == EACCES || error == EPERM || error == EROFS) return FileIo::OpenResult::Denied;
  return FileIo::OpenResult::Error;
}

}  // namespace

std::unique_ptr<FileIo> FileIo::OpenExisting(const std::string& path, OpenResult& result) {
  bool writable = true;
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0 && (errno == EACCES || errno == EROFS)) {
    writable = false;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) {
    result = ResultOf(errno);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    result = OpenResult::NotFound;
    return nullptr;
  }
  result = OpenResult::Ok;
  return std::make_unique<PosixFile>(fd, writable);
}

std::unique_ptr<FileIo> FileIo::CreateNew(const std::string& path, OpenResult& result) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    result = ResultOf(errno);
    return nullptr;
  }
  result = OpenResult::Ok;
  return std::make_unique<PosixFile>(fd, true);
}

namespace Path {

namespace {
bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The entry of directory whose name equals name without regard to case; empty when none.
std::string MatchInDirectory(const std::string& directory, const std::string& name) {
  DIR* dir = ::opendir(directory.empty() ? "/" : directory.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}
}  // namespace

std::string FindExisting(const std::string& path) {
  if (path.empty()) return {};
  if (Exists(path)) return path;
  std::string parent = Parent(path);
  std::string name = path.substr(parent.size() + (parent.empty() || parent == "/" ? 0 : 1));
  if (parent == "/") name = path.substr(1);
  std::string existingParent = parent.empty() ? std::string(".") : FindExisting(parent);
  if (existingParent.empty() || name.empty()) return {};
  std::string match = MatchInDirectory(existingParent, name);
  if (match.empty()) return {};
  return parent.empty() ? match : Join(existingParent, match);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

std::string Parent(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  return ::getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string();
}

std::string Absolute(const std::string& path) { return Canonical(path); }

std::string Canonical(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string result(resolved);
  std::free(resolved);
  return result;
}

bool Replace(const std::string& source, const std::string& target) {
  return ::rename(source.c_str(), target.c_str()) == 0;
}

void Remove(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace Path

}  // namespace reqcore
