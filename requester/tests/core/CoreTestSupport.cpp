#include "CoreTestSupport.h"

#include <filesystem>
#include <random>

namespace reqtest {

TempDir::TempDir() {
  std::random_device random;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate = base / ("reqcore" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace reqtest
