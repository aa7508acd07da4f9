#pragma once
// The process's one cache of file pages, shared by every client of every file and bounded in bytes. A page is
// found by its file and number and is a hit only when the commit that wrote it is the one asked for. Pages leave
// in clock order: a page used since the clock hand last passed it stays for another round. A page handed out
// stays alive with its holder (it is shared, never copied).
#include "requester/core/Page.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace reqcore {

class PageCache {
 public:
  static constexpr size_t DefaultBytes = 4u << 20;

  static PageCache& Shared();
  explicit PageCache(size_t budgetBytes = DefaultBytes);

  // Files are told apart by name and the identifier chosen at their creation.
  uint64_t FileKey(const std::string& canonicalPath, uint64_t fileId);
  // The connections reading a file: when the last lets go, the file's pages leave the cache (what happens to a
  // file nobody has open is not seen).
  void Attach(uint64_t file);
  void Detach(uint64_t file);

  PagePtr Find(uint64_t file, PageRef ref);
  void Put(uint64_t file, PageRef ref, PagePtr page);
  void SetBudget(size_t bytes);
  size_t Budget() const { return budget_; }
  size_t Bytes() const { return used_ * PageSize; }

 private:
  struct Id {
    uint64_t file = 0;
    uint32_t page = 0;
    bool operator==(const Id&) const = default;
  };
  // A page held, found in one probe: the index is open addressing over cells, at most half full.
  struct Cell {
    uint64_t file = 0;
    uint64_t commit = 0;
    PagePtr page;  // null: the cell is empty
    uint32_t number = 0;
    bool used = false;  // looked up since the clock hand passed
    Id IdOf() const { return Id{file, number}; }
  };

  size_t Home(const Id& id) const;
  Cell& CellOf(const Id& id);  // the cell holding id, or the empty one where it would go
  void Unindex(const Id& id);
  void Evict(uint32_t slot);
  uint32_t FreeSlot();
  void Rebuild(size_t slots);
  void Reindex(size_t cells);

  size_t budget_;
  size_t capacity_ = 0;  // pages the budget holds; slots and cells grow up to it as pages come
  size_t used_ = 0;
  std::vector<Cell> cells_;
  // The pages held in clock order (file 0: a free slot).
  std::vector<Id> slots_;
  uint32_t hand_ = 0;
  std::unordered_map<std::string, uint64_t> files_;
  std::unordered_map<uint64_t, int> readers_;
};

}  // namespace reqcore
