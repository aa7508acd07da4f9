#pragma once
// The entries of one key in key order: a page tree whose keys are fixed-width entries (normalized key value, then
// the 8-byte place among duplicates) and whose values are the records' positions.
#include "requester/core/PageTree.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace reqcore {

class KeyIndex {
 public:
  using Pos = PageTree::Cursor;

  KeyIndex(PageFile& file, TreeRoot& root, size_t normLength) : tree_(file, root), normLength_(normLength) {}

  // The entry form of a normalized key value and its place among duplicates.
  static std::string EntryKey(std::string_view norm, uint64_t seq);
  size_t NormLength() const { return normLength_; }
  size_t Size() const { return static_cast<size_t>(tree_.Size()); }
  bool Empty() const { return tree_.Size() == 0; }

  void Insert(std::string_view key, uint32_t position);
  void Erase(std::string_view key);
  // Changes with every change of any index and every new commit taken: a Pos stays valid while it is unchanged.
  uint64_t Stamp() const { return StateStamp(); }
  static uint64_t& StateStamp();

  Pos LowerBound(std::string_view key) const { return tree_.LowerBound(key); }  // first entry not below key
  Pos UpperBound(std::string_view key) const { return tree_.UpperBound(key); }  // first entry above key
  Pos Begin() const { return tree_.First(); }
  Pos End() const { return Pos{}; }
  Pos Last() const { return tree_.Last(); }
  Pos Next(Pos p) const;
  Pos Prev(Pos p) const;  // End when there is none; from End the last
  bool IsEnd(const Pos& p) const { return p.AtEnd(); }

  std::string_view Key(const Pos& p) const { return p.Key(); }
  std::string_view Norm(const Pos& p) const { return Key(p).substr(0, NormLength()); }
  uint32_t Position(const Pos& p) const;
  size_t Rank(const Pos& p) const { return static_cast<size_t>(tree_.Rank(p)); }
  Pos AtRank(size_t rank) const { return tree_.AtRank(rank); }

 private:
  PageTree tree_;
  size_t normLength_;
};

}  // namespace reqcore
