#include "requester/core/PageCache.h"

namespace reqcore {

PageCache& PageCache::Shared() {
  static PageCache cache;
  return cache;
}

PageCache::PageCache(size_t budgetBytes) : budget_(budgetBytes) { Rebuild(budget_ / PageSize); }

uint64_t PageCache::FileKey(const std::string& canonicalPath, uint64_t fileId) {
  std::string name = canonicalPath + '\0' + std::to_string(fileId);
  auto [it, added] = files_.try_emplace(name, files_.size() + 1);
  return it->second;
}

void PageCache::Attach(uint64_t file) { ++readers_[file]; }

void PageCache::Detach(uint64_t file) {
  if (--readers_[file] > 0) return;
  readers_.erase(file);
  for (uint32_t slot = 0; slot < slots_.size(); ++slot)
    if (slots_[slot].page && slots_[slot].id.file == file) Evict(slot);
}

size_t PageCache::Home(const Id& id) const {
  uint64_t h = (id.file * 0x9E3779B97F4A7C15ull) ^ (id.page * 0xC2B2AE3D27D4EB4Full);
  return static_cast<size_t>(h ^ (h >> 29)) & (index_.size() - 1);
}

// The index cell that holds id, or the empty cell where it would go.
uint32_t* PageCache::IndexOf(const Id& id) {
  for (size_t at = Home(id);; at = (at + 1) & (index_.size() - 1))
    if (index_[at] == 0 || slots_[index_[at] - 1].id == id) return &index_[at];
}

void PageCache::Unindex(const Id& id) {
  size_t mask = index_.size() - 1;
  size_t hole = static_cast<size_t>(IndexOf(id) - index_.data());
  index_[hole] = 0;
  // Cells after the hole that would no longer be found move into it.
  for (size_t at = (hole + 1) & mask; index_[at] != 0; at = (at + 1) & mask) {
    size_t home = Home(slots_[index_[at] - 1].id);
    if (((at - home) & mask) >= ((at - hole) & mask)) {
      index_[hole] = index_[at];
      index_[at] = 0;
      hole = at;
    }
  }
}

void PageCache::Evict(uint32_t slot) {
  Unindex(slots_[slot].id);
  slots_[slot] = Slot{};
  --used_;
}

PagePtr PageCache::Find(uint64_t file, PageRef ref) {
  if (slots_.empty()) return nullptr;
  uint32_t cell = *IndexOf(Id{file, ref.page});
  if (cell == 0) return nullptr;
  Slot& slot = slots_[cell - 1];
  if (slot.commit != ref.commit) return nullptr;
  slot.used = true;
  return slot.page;
}

// A free slot, made by the clock hand when every slot is taken.
uint32_t PageCache::FreeSlot() {
  for (;;) {
    uint32_t slot = hand_;
    hand_ = (hand_ + 1) % static_cast<uint32_t>(slots_.size());
    if (!slots_[slot].page) return slot;
    if (!slots_[slot].used) {
      Evict(slot);
      return slot;
    }
    slots_[slot].used = false;
  }
}

void PageCache::Put(uint64_t file, PageRef ref, PagePtr page) {
  if (slots_.empty()) return;
  Id id{file, ref.page};
  uint32_t* cell = IndexOf(id);
  if (*cell == 0) {
    uint32_t slot = FreeSlot();
    cell = IndexOf(id);  // the eviction may have moved cells
    *cell = slot + 1;
    slots_[slot].id = id;
    ++used_;
  }
  Slot& slot = slots_[*cell - 1];
  slot.commit = ref.commit;
  slot.page = std::move(page);
  slot.used = false;
}

void PageCache::SetBudget(size_t bytes) {
  budget_ = bytes;
  Rebuild(budget_ / PageSize);
}

// Room for slots pages, keeping as many of the pages held as fit, the ones used since the hand passed first.
void PageCache::Rebuild(size_t slots) {
  std::vector<Slot> kept;
  for (int pass = 0; pass < 2; ++pass)
    for (Slot& slot : slots_)
      if (slot.page && slot.used == (pass == 0) && kept.size() < slots) kept.push_back(std::move(slot));
  slots_.assign(slots, Slot{});
  size_t cells = 2;
  while (cells < 2 * slots) cells *= 2;
  index_.assign(cells, 0);
  used_ = 0;
  hand_ = 0;
  for (Slot& slot : kept) {
    *IndexOf(slot.id) = static_cast<uint32_t>(used_) + 1;
    slots_[used_++] = std::move(slot);
  }
}

}  // namespace reqcore
