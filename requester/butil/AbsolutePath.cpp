#include "requester/butil/AbsolutePath.h"

#ifdef _WIN32
#include "rtl/WinApi.h"
#else
#include <unistd.h>

#include <climits>
#endif

namespace butil {

#ifdef _WIN32

std::string AbsolutePath(const std::string& name) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
  return length > 0 && length < sizeof full ? std::string(full, length) : name;
}

#else

std::string AbsolutePath(const std::string& name) {
  if (name.empty() || name[0] == '/') return name;
  char directory[PATH_MAX];
  if (!getcwd(directory, sizeof directory)) return name;
  return std::string(directory) + "/" + name;
}

#endif

}  // namespace butil
