#pragma once
// A copy-on-write B+-tree of byte-string keys and values over pages of a file, in plain byte order of the keys.
// Leaves and branches share one page layout: entry count, 2-byte offsets in key order, entries (key length, value
// length, key, value) packed from the page's end. A branch's value is its child's reference and the number of
// entries beneath it, its key the lowest key the child may hold (unused for the first child). A change copies the
// pages from the leaf to the root into the commit being built; a node that outgrows its page splits, one that falls
// under a quarter merges with a neighbour.
#include "requester/core/PageFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace reqcore {

class PageTree {
 public:
  // Key and value together: every page holds at least four entries.
  static constexpr size_t MaxEntryBytes = 990;

  // Reads through file; writes need a commit being built and change root.
  PageTree(PageFile& file, TreeRoot& root) : file_(file), root_(root) {}

  // A place in the tree: a path of pages from the root with the slot taken in each. Empty at the end.
  class Cursor {
   public:
    bool AtEnd() const { return path_.empty(); }
    std::string_view Key() const;
    std::string_view Value() const;

   private:
    friend class PageTree;
    static constexpr size_t TypicalDepth = 6;  // room kept for the path at once
    struct Step {
      PagePtr page;
      uint16_t slot;
    };
    std::vector<Step> path_;
  };

  uint64_t Size() const { return root_.count; }
  Cursor First() const;
  Cursor Last() const;
  Cursor LowerBound(std::string_view key) const;  // first entry not below key
  Cursor UpperBound(std::string_view key) const;  // first entry above key
  void Next(Cursor& at) const;
  void Prev(Cursor& at) const;  // from the end: the last entry
  uint64_t Rank(const Cursor& at) const;  // entries before at
  Cursor AtRank(uint64_t rank) const;

  // True when key was added, false when its value was replaced.
  bool Put(std::string_view key, std::string_view value);
  bool Erase(std::string_view key);
  // Frees every page of the tree and leaves it empty.
  void Clear();

 private:
  struct Node;
  struct Piece;

  Cursor Seek(std::string_view key, bool above) const;
  void DescendEdge(Cursor& at, bool last) const;
  void Settle(Cursor& at) const;
  PagePtr ReadNode(PageRef ref) const;
  Node Load(PageRef ref) const;
  std::vector<Piece> Store(Node& node, PageRef old, bool fillLeft);
  // The page of ref in the commit being built: itself when the commit wrote it, otherwise a copy (the old freed).
  PageRef OwnCopy(PageRef ref);
  bool PutInPlace(PageRef ref, std::string_view key, std::string_view value, bool& added);
  std::vector<Piece> Change(const TreeRoot& at, std::string_view key, std::string_view* value, bool& changed,
                            bool& added);
  void Rebalance(Node& branch, size_t i);
  void SetRoot(std::vector<Piece> pieces);
  void FreeBeneath(const TreeRoot& at);

  PageFile& file_;
  TreeRoot& root_;
};

}  // namespace reqcore
