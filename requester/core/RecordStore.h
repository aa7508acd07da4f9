#pragma once
// The records of a file by physical position: a page tree keyed by the position (big-endian), whose value is the
// record's version, its place among duplicates per key and its bytes (in a chain of pages when they are long).
#include "requester/core/PageTree.h"

#include <cstdint>
#include <optional>
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
  RecordStore(PageFile& file, TreeRoot& root) : file_(&file), tree_(file, root) {}

  std::optional<Record> Find(uint32_t position) const;  // throws PageMismatch, as every read here
  void Put(uint32_t position, const Record& record);
  void Insert(uint32_t position, const Record& record);  // where there is no record
  void Erase(uint32_t position);
  size_t Size() const { return static_cast<size_t>(tree_.Size()); }

  // Physical order; 0 when there is no such record.
  uint32_t First() const { return After(0); }
  uint32_t Last() const;
  uint32_t After(uint32_t position) const;
  uint32_t Before(uint32_t position) const;
  size_t Rank(uint32_t position) const;  // records before position
  uint32_t AtRank(size_t rank) const;

  template <typename F>
  void ForEach(F&& f) const {
    for (auto at = tree_.First(); !at.AtEnd(); tree_.Next(at)) f(PositionOf(at), Decode(at.Value()));
  }

 private:
  static uint32_t PositionOf(const PageTree::Cursor& at);
  Record Decode(std::string_view value) const;
  void FreeChainOf(uint32_t position);

  PageFile* file_;
  PageTree tree_;
};

}  // namespace reqcore
