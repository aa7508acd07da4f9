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
    if (slots_[slot].file == file) Evict(slot);
}

size_t PageCache::Home(const Id& id) const {
  uint64_t h = (id.file * 0x9E3779B97F4A7C15ull) ^ (id.page * 0xC2B2AE3D27D4EB4Full);
  return static_cast<size_t>(h ^ (h >> 29)) & (cells_.size() - 1);
}

PageCache::Cell& PageCache::CellOf(const Id& id) {
  for (size_t at = Home(id);; at = (at + 1) & (cells_.size() - 1)) {
    Cell& cell = cells_[at];
    if (!cell.page || (cell.number == id.page && cell.file == id.file)) return cell;
  }
}

void PageCache::Unindex(const Id& id) {
  size_t mask = cells_.size() - 1;
  size_t hole = static_cast<size_t>(&CellOf(id) - cells_.data());
  cells_[hole] = Cell{};
  // Cells after the hole that would no longer be found move into it.
  for (size_t at = (hole + 1) & mask; cells_[at].page; at = (at + 1) & mask) {
    size_t home = Home(cells_[at].IdOf());
    if (((at - home) & mask) >= ((at - hole) & mask)) {
      cells_[hole] = std::move(cells_[at]);
      cells_[at] = Cell{};
      hole = at;
    }
  }
}

void PageCache::Evict(uint32_t slot) {
  Unindex(slots_[slot]);
  slots_[slot] = Id{};
  --used_;
}

PagePtr PageCache::Find(uint64_t file, PageRef ref) {
  if (slots_.empty()) return nullptr;
  Cell& cell = CellOf(Id{file, ref.page});
  if (!cell.page || cell.commit != ref.commit) return nullptr;
  cell.used = true;
  return cell.page;
}

// A free slot: a new one while the budget allows, otherwise one made by the clock hand.
uint32_t PageCache::FreeSlot() {
  if (slots_.size() < capacity_) {
    slots_.emplace_back();
    if (2 * slots_.size() > cells_.size()) Reindex(2 * cells_.size());
    return static_cast<uint32_t>(slots_.size() - 1);
  }
  for (;;) {
    uint32_t slot = hand_;
    hand_ = (hand_ + 1) % static_cast<uint32_t>(slots_.size());
    if (slots_[slot].file == 0) return slot;
    Cell& cell = CellOf(slots_[slot]);
    if (!cell.used) {
      Evict(slot);
      return slot;
    }
    cell.used = false;
  }
}

void PageCache::Put(uint64_t file, PageRef ref, PagePtr page) {
  if (capacity_ == 0 || !page) return;
  Id id{file, ref.page};
  Cell* cell = &CellOf(id);
  if (!cell->page) {
    uint32_t slot = FreeSlot();
    slots_[slot] = id;
    ++used_;
    cell = &CellOf(id);  // the eviction or growth may have moved cells
    cell->file = file;
    cell->number = ref.page;
  }
  cell->commit = ref.commit;
  cell->page = std::move(page);
  cell->used = false;
}

void PageCache::SetBudget(size_t bytes) {
  budget_ = bytes;
  Rebuild(budget_ / PageSize);
}

// Room for slots pages, keeping as many of the pages held as fit, the ones used since the hand passed first.
void PageCache::Rebuild(size_t slots) {
  std::vector<Cell> kept;
  for (int pass = 0; pass < 2; ++pass)
    for (const Id& id : slots_)
      if (id.file != 0 && kept.size() < slots) {
        Cell& cell = CellOf(id);
        if (cell.used == (pass == 0)) kept.push_back(cell);
      }
  capacity_ = slots;
  hand_ = 0;
  size_t cells = 16;
  while (cells < 2 * kept.size()) cells *= 2;
  cells_.assign(cells, Cell{});
  slots_.clear();
  for (Cell& cell : kept) {
    slots_.push_back(cell.IdOf());
    CellOf(cell.IdOf()) = std::move(cell);
  }
  used_ = kept.size();
}

void PageCache::Reindex(size_t cells) {
  std::vector<Cell> old(cells, Cell{});
  old.swap(cells_);
  for (Cell& cell : old)
    if (cell.page) CellOf(cell.IdOf()) = std::move(cell);
}

}  // namespace reqcore
