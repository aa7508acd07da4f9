#include "requester/core/RecordStore.h"

namespace reqcore {

uint64_t Record::SeqOf(uint8_t key) const {
  for (const auto& [k, seq] : seqs)
    if (k == key) return seq;
  return version;
}

const Record* RecordStore::Find(uint32_t position) const {
  auto it = pages_.find(position - position % PageSize);
  return it == pages_.end() ? nullptr : it->second->slots[position % PageSize].get();
}

Record& RecordStore::Put(uint32_t position, Record record) {
  auto& page = pages_[position - position % PageSize];
  if (!page) page = std::make_unique<Page>();
  auto& slot = page->slots[position % PageSize];
  if (!slot) {
    slot = std::make_unique<Record>();
    ++page->count;
    ++size_;
  }
  *slot = std::move(record);
  return *slot;
}

void RecordStore::Erase(uint32_t position) {
  auto it = pages_.find(position - position % PageSize);
  if (it == pages_.end() || !it->second->slots[position % PageSize]) return;
  it->second->slots[position % PageSize].reset();
  --size_;
  if (--it->second->count == 0) pages_.erase(it);
}

uint32_t RecordStore::After(uint32_t position) const {
  uint32_t next = position + 1;
  for (auto it = pages_.lower_bound(next - next % PageSize); it != pages_.end(); ++it) {
    for (uint32_t i = next > it->first ? next - it->first : 0; i < PageSize; ++i)
      if (it->second->slots[i]) return it->first + i;
  }
  return 0;
}

uint32_t RecordStore::Before(uint32_t position) const {
  if (position <= 1) return 0;
  uint32_t previous = position - 1;
  auto it = pages_.upper_bound(previous);
  while (it != pages_.begin()) {
    --it;
    uint32_t top = previous - it->first < PageSize ? previous - it->first : PageSize - 1;
    for (uint32_t i = top + 1; i-- > 0;)
      if (it->second->slots[i]) return it->first + i;
  }
  return 0;
}

uint32_t RecordStore::Last() const { return Before(UINT32_MAX); }

size_t RecordStore::Rank(uint32_t position) const {
  size_t rank = 0;
  for (const auto& [base, page] : pages_) {
    if (base + PageSize <= position) {
      rank += page->count;
      continue;
    }
    for (uint32_t i = 0; base + i < position && i < PageSize; ++i) rank += page->slots[i] ? 1 : 0;
    break;
  }
  return rank;
}

uint32_t RecordStore::AtRank(size_t rank) const {
  for (const auto& [base, page] : pages_) {
    if (rank >= page->count) {
      rank -= page->count;
      continue;
    }
    for (uint32_t i = 0; i < PageSize; ++i)
      if (page->slots[i] && rank-- == 0) return base + i;
  }
  return 0;
}

}  // namespace reqcore
