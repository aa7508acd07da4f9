#include "CoreTestSupport.h"

#include <cstdlib>
#include <filesystem>

namespace reqtest {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "reqcoreXXXXXX").string();
  path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace reqtest
