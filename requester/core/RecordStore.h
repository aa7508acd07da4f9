#pragma once
// The records of a file by physical position, in pages of consecutive positions.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace reqcore {

struct Record {
  uint64_t version = 0;  // sequence number of the write that made this form of the record
  std::vector<std::pair<uint8_t, uint64_t>> seqs;  // per key number: the place among duplicates
  std::string data;

  uint64_t SeqOf(uint8_t key) const;
};

class RecordStore {
 public:
  const Record* Find(uint32_t position) const;
  Record& Put(uint32_t position, Record record);
  void Erase(uint32_t position);
  size_t Size() const { return size_; }

  // Physical order; 0 when there is no such record.
  uint32_t First() const { return After(0); }
  uint32_t Last() const;
  uint32_t After(uint32_t position) const;
  uint32_t Before(uint32_t position) const;
  size_t Rank(uint32_t position) const;  // records before position
  uint32_t AtRank(size_t rank) const;

  template <typename F>
  void ForEach(F&& f) {
    for (auto& [base, page] : pages_)
      for (uint32_t i = 0; i < PageSize; ++i)
        if (page->slots[i]) f(base + i, *page->slots[i]);
  }

 private:
  static constexpr uint32_t PageSize = 1024;
  struct Page {
    std::array<std::unique_ptr<Record>, PageSize> slots;
    uint32_t count = 0;
  };
  std::map<uint32_t, std::unique_ptr<Page>> pages_;  // by the first position of the page
  size_t size_ = 0;
};

}  // namespace reqcore
