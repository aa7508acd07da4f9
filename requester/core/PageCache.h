#pragma once
// The process's one cache of file pages, shared by every client of every file and bounded in bytes. A page is
// found by its file and number and is a hit only when the commit that wrote it is the one asked for. Least
// recently used pages leave first; a page handed out stays alive with its holder (it is shared, never copied).
#include "requester/core/Page.h"

#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

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
  size_t Bytes() const { return entries_.size() * PageSize; }

 private:
  struct Id {
    uint64_t file;
    uint32_t page;
    bool operator==(const Id&) const = default;
  };
  struct IdHash {
    size_t operator()(const Id& id) const { return std::hash<uint64_t>()(id.file * 0x9E3779B97F4A7C15ull ^ id.page); }
  };
  struct Entry {
    uint64_t commit;
    PagePtr page;
    std::list<Id>::iterator use;
  };

  void Trim();

  size_t budget_;
  std::unordered_map<Id, Entry, IdHash> entries_;
  std::list<Id> uses_;  // most recent first
  std::unordered_map<std::string, uint64_t> files_;
  std::unordered_map<uint64_t, int> readers_;
};

}  // namespace reqcore
