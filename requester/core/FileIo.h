#pragma once
// The file-I/O seam of the core: positioned reads and writes, byte-range locks owned by one open handle (they
// conflict with every other handle, in this process or another, and vanish when the process dies), and the few
// path operations the core needs. One implementation for POSIX, one for Win32.
#include "requester/core/Statuses.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace reqcore {

class FileIo {
 public:
  enum class OpenResult { Ok, NotFound, Denied, Error };

  // Opens an existing file for reading and writing (or reading only when it cannot be written).
  static std::unique_ptr<FileIo> OpenExisting(const std::string& path, OpenResult& result);
  // Creates (or truncates) a file for reading and writing.
  static std::unique_ptr<FileIo> CreateNew(const std::string& path, OpenResult& result);

  // The status for a file that could not be opened.
  static int16_t StatusOf(OpenResult result) {
    return result == OpenResult::NotFound ? Status::FileNotFound
           : result == OpenResult::Denied ? Status::AccessDenied
                                          : Status::IoError;
  }

  virtual ~FileIo() = default;
  virtual bool ReadAt(uint64_t offset, void* buffer, size_t count) = 0;  // false unless count bytes were read
  // Reads bytes of the file's first pages, called at every operation: a platform may serve it from a mapping.
  virtual bool ReadHead(uint64_t offset, void* buffer, size_t count) { return ReadAt(offset, buffer, count); }
  virtual bool WriteAt(uint64_t offset, const void* buffer, size_t count) = 0;
  virtual bool Truncate(uint64_t size) = 0;
  virtual uint64_t Size() = 0;
  virtual bool Writable() const = 0;
  // One-byte range lock at offset. Without wait it fails at once when another handle holds a conflicting lock.
  virtual bool Lock(uint64_t offset, bool exclusive, bool wait) = 0;
  virtual void Unlock(uint64_t offset) = 0;
  // Waits until what was written reaches the disk.
  virtual bool Flush() = 0;
};

namespace Path {
// The existing file or directory whose name matches path without regard to case; empty when there is none.
std::string FindExisting(const std::string& path);
bool IsDirectory(const std::string& path);
bool IsAbsolute(const std::string& path);
std::string Join(const std::string& directory, const std::string& name);
std::string Parent(const std::string& path);
std::string CurrentDirectory();
// The absolute form of path, as spelled.
std::string Absolute(const std::string& path);
// A name that identifies the file whatever the spelling of path.
std::string Canonical(const std::string& path);
// Replaces target by source in one step.
bool Replace(const std::string& source, const std::string& target);
void Remove(const std::string& path);
}  // namespace Path

}  // namespace reqcore
