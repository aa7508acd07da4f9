#pragma once
// The free pages of the commit being built. Pages the last commit listed as free are taken first (lowest first),
// then pages at the file's end. A page freed by this commit is still part of the commit before it (the file's
// state should this one never be written), so it is listed for the next commit and not reused now; a page written
// by this commit and freed again was never part of a commit and is reused at once.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace reqcore {

class FreePages {
 public:
  FreePages(std::vector<uint32_t> listed, uint32_t pageCount);

  uint32_t Allocate();
  void Free(uint32_t page, bool writtenByThisCommit);
  uint32_t PageCount() const { return pageCount_; }
  // What the next commit may reuse: the pages still free now and those freed by this commit.
  std::vector<uint32_t> NextList() const;

  static std::string Encode(const std::vector<uint32_t>& pages);
  // False when the bytes are not a list of distinct page numbers from 2 below pageCount.
  static bool Decode(std::string_view bytes, uint32_t pageCount, std::vector<uint32_t>& pages);

 private:
  std::set<uint32_t> ready_;
  std::vector<uint32_t> freed_;
  uint32_t pageCount_;
};

}  // namespace reqcore
