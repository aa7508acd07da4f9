#pragma once
// The entries of one key in key order: a two-level B+-tree of leaves holding fixed-width entries (normalized
// key value, then the 8-byte place among duplicates) with the records' positions, found by binary search over
// the leaves' fence keys and then within a leaf.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace reqcore {

class KeyIndex {
 public:
  struct Pos {
    size_t leaf = 0;
    size_t slot = 0;
    bool operator==(const Pos&) const = default;
  };

  explicit KeyIndex(size_t normLength);

  // The entry form of a normalized key value and its place among duplicates.
  static std::string EntryKey(std::string_view norm, uint64_t seq);
  size_t NormLength() const { return width_ - 8; }
  size_t Size() const { return size_; }
  bool Empty() const { return size_ == 0; }

  void Insert(std::string_view key, uint32_t position);
  void Erase(std::string_view key);
  // Replaces the contents by the entries of keys (entry after entry) with their positions.
  void Load(const std::string& keys, const std::vector<uint32_t>& positions);
  // Changes with every insert, erase and load of any index: a Pos stays valid while the stamp is unchanged.
  uint64_t Stamp() const { return stamp_; }

  Pos LowerBound(std::string_view key) const;  // first entry not below key
  Pos UpperBound(std::string_view key) const;  // first entry above key
  Pos Begin() const;
  Pos End() const { return Pos{leaves_.size(), 0}; }
  Pos Last() const { return Prev(End()); }
  Pos Next(Pos p) const;
  Pos Prev(Pos p) const;  // End when there is none
  bool IsEnd(Pos p) const { return p.leaf >= leaves_.size(); }

  std::string_view Key(Pos p) const;
  std::string_view Norm(Pos p) const { return Key(p).substr(0, NormLength()); }
  uint32_t Position(Pos p) const { return leaves_[p.leaf]->positions[p.slot]; }
  size_t Rank(Pos p) const;
  Pos AtRank(size_t rank) const;

 private:
  struct Leaf {
    std::string keys;
    std::vector<uint32_t> positions;
    size_t Count() const { return positions.size(); }
  };

  size_t LeafFor(std::string_view key) const;
  size_t SlotIn(const Leaf& leaf, std::string_view key, bool upper) const;
  Pos Normalize(Pos p) const;
  void Split(size_t leaf);

  void Touch();

  size_t width_;
  size_t size_ = 0;
  uint64_t stamp_ = 0;
  std::vector<std::unique_ptr<Leaf>> leaves_;
  std::string fences_;  // the lowest key each leaf may hold; the first leaf's is unused
};

}  // namespace reqcore
