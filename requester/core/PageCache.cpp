#include "requester/core/PageCache.h"

namespace reqcore {

PageCache& PageCache::Shared() {
  static PageCache cache;
  return cache;
}

PageCache::PageCache(size_t budgetBytes) : budget_(budgetBytes) {}

uint64_t PageCache::FileKey(const std::string& canonicalPath, uint64_t fileId) {
  std::string name = canonicalPath + '\0' + std::to_string(fileId);
  auto [it, added] = files_.try_emplace(name, files_.size() + 1);
  return it->second;
}

void PageCache::Attach(uint64_t file) { ++readers_[file]; }

void PageCache::Detach(uint64_t file) {
  if (--readers_[file] > 0) return;
  readers_.erase(file);
  for (auto it = uses_.begin(); it != uses_.end();) {
    if (it->file == file) {
      entries_.erase(*it);
      it = uses_.erase(it);
    } else {
      ++it;
    }
  }
}

PagePtr PageCache::Find(uint64_t file, PageRef ref) {
  auto it = entries_.find(Id{file, ref.page});
  if (it == entries_.end() || it->second.commit != ref.commit) return nullptr;
  uses_.splice(uses_.begin(), uses_, it->second.use);
  return it->second.page;
}

void PageCache::Put(uint64_t file, PageRef ref, PagePtr page) {
  Id id{file, ref.page};
  auto it = entries_.find(id);
  if (it != entries_.end()) {
    it->second.commit = ref.commit;
    it->second.page = std::move(page);
    uses_.splice(uses_.begin(), uses_, it->second.use);
    return;
  }
  uses_.push_front(id);
  entries_.emplace(id, Entry{ref.commit, std::move(page), uses_.begin()});
  Trim();
}

void PageCache::SetBudget(size_t bytes) {
  budget_ = bytes;
  Trim();
}

void PageCache::Trim() {
  while (!uses_.empty() && Bytes() > budget_) {
    entries_.erase(uses_.back());
    uses_.pop_back();
  }
}

}  // namespace reqcore
