#include "requester/core/FreePages.h"

#include "requester/core/ByteOrder.h"

#include <algorithm>

namespace reqcore {

FreePages::FreePages(std::vector<uint32_t> listed, uint32_t pageCount)
    : ready_(listed.begin(), listed.end()), pageCount_(pageCount) {}

uint32_t FreePages::Allocate() {
  if (ready_.empty()) return pageCount_++;
  uint32_t page = *ready_.begin();
  ready_.erase(ready_.begin());
  return page;
}

void FreePages::Free(uint32_t page, bool writtenByThisCommit) {
  if (writtenByThisCommit)
    ready_.insert(page);
  else
    freed_.push_back(page);
}

std::vector<uint32_t> FreePages::NextList() const {
  std::vector<uint32_t> pages(ready_.begin(), ready_.end());
  pages.insert(pages.end(), freed_.begin(), freed_.end());
  std::sort(pages.begin(), pages.end());
  return pages;
}

std::string FreePages::Encode(const std::vector<uint32_t>& pages) {
  std::string bytes(pages.size() * 4, '\0');
  auto* at = reinterpret_cast<uint8_t*>(bytes.data());
  for (uint32_t page : pages) PutLittle(at, page), at += 4;
  return bytes;
}

bool FreePages::Decode(std::string_view bytes, uint32_t pageCount, std::vector<uint32_t>& pages) {
  if (bytes.size() % 4 != 0) return false;
  pages.clear();
  const auto* at = reinterpret_cast<const uint8_t*>(bytes.data());
  for (size_t i = 0; i < bytes.size() / 4; ++i) {
    uint32_t page = GetLittle<uint32_t>(at + 4 * i);
    // Written in ascending order: anything else is damage.
    if (page < 2 || page >= pageCount || (!pages.empty() && page <= pages.back())) return false;
    pages.push_back(page);
  }
  return true;
}

}  // namespace reqcore
