#include "requester/core/PageTree.h"

#include "requester/core/ByteOrder.h"

#include <algorithm>
#include <cstring>

namespace reqcore {

namespace {

// Node body: kind (0 leaf, 1 branch), entry count, offsets, then entries packed from the end.
constexpr size_t NodeHeader = 3;
constexpr size_t EntryHeader = 4;
constexpr size_t ChildValueSize = 12 + 8;

struct View {
  const uint8_t* body;
  bool Branch() const { return body[0] == 1; }
  uint16_t Count() const { return GetLittle<uint16_t>(body + 1); }
  const uint8_t* Entry(size_t i) const { return body + GetLittle<uint16_t>(body + NodeHeader + 2 * i); }
  std::string_view Key(size_t i) const {
    const uint8_t* e = Entry(i);
    return {reinterpret_cast<const char*>(e + EntryHeader), GetLittle<uint16_t>(e)};
  }
  std::string_view Value(size_t i) const {
    const uint8_t* e = Entry(i);
    return {reinterpret_cast<const char*>(e + EntryHeader + GetLittle<uint16_t>(e)), GetLittle<uint16_t>(e + 2)};
  }
  TreeRoot Child(size_t i) const {
    const auto* v = reinterpret_cast<const uint8_t*>(Value(i).data());
    return TreeRoot{PageRef{GetLittle<uint32_t>(v), GetLittle<uint64_t>(v + 4)}, GetLittle<uint64_t>(v + 12)};
  }
  size_t Lowest() const {
    size_t lowest = PageBodySize;
    for (size_t i = 0; i < Count(); ++i) lowest = std::min<size_t>(lowest, GetLittle<uint16_t>(body + NodeHeader + 2 * i));
    return lowest;
  }
  // Entries are packed from the page's end without gaps.
  size_t Used() const { return NodeHeader + 2 * Count() + (PageBodySize - Lowest()); }
  // First entry whose key is above key (above) or not below it.
  size_t Search(std::string_view key, bool above) const {
    size_t lo = 0, hi = Count();
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      int c = Key(mid).compare(key);
      if (c < 0 || (above && c == 0))
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }
  // The child whose keys may include key: the last whose lowest key is not above it.
  size_t ChildFor(std::string_view key) const {
    size_t lo = 1, hi = Count();
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      if (Key(mid).compare(key) <= 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo - 1;
  }
};

View ViewOf(const PagePtr& page) { return View{PageBody(*page)}; }

std::string ChildValue(const TreeRoot& child) {
  std::string v(ChildValueSize, '\0');
  auto* at = reinterpret_cast<uint8_t*>(v.data());
  PutLittle(at, child.ref.page);
  PutLittle(at + 4, child.ref.commit);
  PutLittle(at + 12, child.count);
  return v;
}

TreeRoot ChildOf(std::string_view value) {
  const auto* v = reinterpret_cast<const uint8_t*>(value.data());
  return TreeRoot{PageRef{GetLittle<uint32_t>(v), GetLittle<uint64_t>(v + 4)}, GetLittle<uint64_t>(v + 12)};
}

}  // namespace

struct PageTree::Node {
  bool branch = false;
  std::vector<std::pair<std::string, std::string>> entries;

  static size_t EntryBytes(const std::pair<std::string, std::string>& e) {
    return 2 + EntryHeader + e.first.size() + e.second.size();
  }
  size_t Bytes() const {
    size_t bytes = NodeHeader;
    for (const auto& e : entries) bytes += EntryBytes(e);
    return bytes;
  }
  uint64_t Count() const {
    if (!branch) return entries.size();
    uint64_t count = 0;
    for (const auto& e : entries) count += ChildOf(e.second).count;
    return count;
  }
  void Encode(PageBuffer& page) const {
    uint8_t* body = PageBody(page);
    std::memset(body, 0, PageBodySize);
    body[0] = branch ? 1 : 0;
    PutLittle(body + 1, static_cast<uint16_t>(entries.size()));
    size_t end = PageBodySize;
    for (size_t i = 0; i < entries.size(); ++i) {
      const auto& [key, value] = entries[i];
      end -= EntryHeader + key.size() + value.size();
      PutLittle(body + NodeHeader + 2 * i, static_cast<uint16_t>(end));
      PutLittle(body + end, static_cast<uint16_t>(key.size()));
      PutLittle(body + end + 2, static_cast<uint16_t>(value.size()));
      std::memcpy(body + end + EntryHeader, key.data(), key.size());
      std::memcpy(body + end + EntryHeader + key.size(), value.data(), value.size());
    }
  }
};

// A node as stored: its lowest key (its fence in the parent) and where it lies.
struct PageTree::Piece {
  std::string low;
  TreeRoot root;
  size_t bytes;
};

std::string_view PageTree::Cursor::Key() const { return ViewOf(path_.back().page).Key(path_.back().slot); }

std::string_view PageTree::Cursor::Value() const { return ViewOf(path_.back().page).Value(path_.back().slot); }

namespace {

// Offsets, lengths and order used as they stand: a page that checks but holds nonsense is damage all the same.
bool NodeIsSound(const PageBuffer& page, PageRef ref) {
  View v{PageBody(page)};
  size_t count = v.Count();
  if (v.body[0] > 1 || NodeHeader + 2 * count > PageBodySize || (v.Branch() && count == 0)) return false;
  for (size_t i = 0; i < count; ++i) {
    size_t at = GetLittle<uint16_t>(v.body + NodeHeader + 2 * i);
    if (at < NodeHeader + 2 * count || at + EntryHeader > PageBodySize) return false;
    size_t length = EntryHeader + GetLittle<uint16_t>(v.body + at) + GetLittle<uint16_t>(v.body + at + 2);
    if (at + length > PageBodySize || (v.Branch() && v.Value(i).size() != ChildValueSize)) return false;
    if (i > 0 && (i > 1 || !v.Branch()) && v.Key(i - 1).compare(v.Key(i)) >= 0) return false;
    if (v.Branch() && v.Child(i).ref.commit > ref.commit) return false;
  }
  return true;
}

}  // namespace

PagePtr PageTree::ReadNode(PageRef ref) const { return file_.Read(ref, PageType::Node, NodeIsSound); }

PageTree::Node PageTree::Load(PageRef ref) const {
  View v = ViewOf(ReadNode(ref));
  Node node;
  node.branch = v.Branch();
  for (size_t i = 0; i < v.Count(); ++i) node.entries.emplace_back(std::string(v.Key(i)), std::string(v.Value(i)));
  return node;
}

void PageTree::DescendEdge(Cursor& at, bool last) const {
  for (;;) {
    View v = ViewOf(at.path_.back().page);
    if (!v.Branch()) return;
    PagePtr child = ReadNode(v.Child(at.path_.back().slot).ref);
    uint16_t count = ViewOf(child).Count();
    at.path_.push_back({child, static_cast<uint16_t>(last && count > 0 ? count - 1 : 0)});
  }
}

// Moves a cursor that stands past its leaf's last entry to the next leaf's first; to the end when there is none.
void PageTree::Settle(Cursor& at) const {
  while (!at.path_.empty() && at.path_.back().slot >= ViewOf(at.path_.back().page).Count()) {
    at.path_.pop_back();
    if (at.path_.empty()) return;
    ++at.path_.back().slot;
    if (at.path_.back().slot < ViewOf(at.path_.back().page).Count()) DescendEdge(at, false);
  }
}

PageTree::Cursor PageTree::First() const {
  Cursor at;
  at.path_.reserve(Cursor::TypicalDepth);
  if (root_.ref.Null()) return at;
  at.path_.push_back({ReadNode(root_.ref), 0});
  DescendEdge(at, false);
  Settle(at);
  return at;
}

PageTree::Cursor PageTree::Last() const {
  Cursor at;
  at.path_.reserve(Cursor::TypicalDepth);
  if (root_.ref.Null()) return at;
  PagePtr root = ReadNode(root_.ref);
  uint16_t count = ViewOf(root).Count();
  if (count == 0) return at;
  at.path_.push_back({root, static_cast<uint16_t>(count - 1)});
  DescendEdge(at, true);
  return at;
}

PageTree::Cursor PageTree::Seek(std::string_view key, bool above) const {
  Cursor at;
  at.path_.reserve(Cursor::TypicalDepth);
  if (root_.ref.Null()) return at;
  PagePtr page = ReadNode(root_.ref);
  for (View v = ViewOf(page); v.Branch(); v = ViewOf(page)) {
    size_t child = v.ChildFor(key);
    at.path_.push_back({page, static_cast<uint16_t>(child)});
    page = ReadNode(v.Child(child).ref);
  }
  at.path_.push_back({page, static_cast<uint16_t>(ViewOf(page).Search(key, above))});
  Settle(at);
  return at;
}

PageTree::Cursor PageTree::LowerBound(std::string_view key) const { return Seek(key, false); }

PageTree::Cursor PageTree::UpperBound(std::string_view key) const { return Seek(key, true); }

void PageTree::Next(Cursor& at) const {
  if (at.AtEnd()) return;
  ++at.path_.back().slot;
  Settle(at);
}

void PageTree::Prev(Cursor& at) const {
  if (at.AtEnd()) {
    at = Last();
    return;
  }
  while (!at.path_.empty() && at.path_.back().slot == 0) at.path_.pop_back();
  if (at.path_.empty()) return;
  --at.path_.back().slot;
  DescendEdge(at, true);
}

uint64_t PageTree::Rank(const Cursor& at) const {
  if (at.AtEnd()) return root_.count;
  uint64_t rank = 0;
  for (const auto& step : at.path_) {
    View v = ViewOf(step.page);
    if (!v.Branch()) return rank + step.slot;
    for (size_t i = 0; i < step.slot; ++i) rank += v.Child(i).count;
  }
  return rank;
}

PageTree::Cursor PageTree::AtRank(uint64_t rank) const {
  Cursor at;
  at.path_.reserve(Cursor::TypicalDepth);
  if (rank >= root_.count) return at;
  PagePtr page = ReadNode(root_.ref);
  for (View v = ViewOf(page); v.Branch(); v = ViewOf(page)) {
    size_t i = 0;
    while (i + 1 < v.Count() && rank >= v.Child(i).count) rank -= v.Child(i++).count;
    at.path_.push_back({page, static_cast<uint16_t>(i)});
    page = ReadNode(v.Child(i).ref);
  }
  if (rank >= ViewOf(page).Count()) throw PageMismatch();  // counts that disagree with the leaves
  at.path_.push_back({page, static_cast<uint16_t>(rank)});
  return at;
}

std::vector<PageTree::Piece> PageTree::Store(Node& node, PageRef old, bool fillLeft) {
  // Cut into pieces that fit a page: as full as possible on the left when entries are being appended, otherwise
  // about even.
  size_t total = node.Bytes();
  size_t pieces = (total + PageBodySize - NodeHeader - 1) / (PageBodySize - NodeHeader);
  size_t target = fillLeft ? PageBodySize : NodeHeader + (total - NodeHeader + pieces - 1) / std::max<size_t>(pieces, 1);
  std::vector<Node> parts;
  size_t partBytes = 0;
  for (auto& entry : node.entries) {
    size_t bytes = Node::EntryBytes(entry);
    if (parts.empty() || partBytes + bytes > std::min(target, PageBodySize)) {
      parts.emplace_back();
      parts.back().branch = node.branch;
      partBytes = NodeHeader;
    }
    partBytes += bytes;
    parts.back().entries.push_back(std::move(entry));
  }
  std::vector<Piece> out;
  for (size_t i = 0; i < parts.size(); ++i) {
    Node& part = parts[i];
    Piece piece{part.entries.front().first, {}, part.Bytes()};
    if (part.branch) part.entries.front().first.clear();
    PageBuffer* page = i == 0 ? file_.OwnPage(old) : nullptr;
    piece.root.ref = old;
    if (!page) page = &file_.NewPage(PageType::Node, piece.root.ref);
    part.Encode(*page);
    piece.root.count = part.Count();
    out.push_back(std::move(piece));
  }
  if (!old.Null() && (out.empty() || !(out.front().root.ref == old))) file_.Free(old);
  return out;
}

// Puts an entry into a leaf of the commit being built where it stands, when it fits and no value changes size.
bool PageTree::PutInPlace(PageRef ref, std::string_view key, std::string_view value, bool& added) {
  PageBuffer* own = file_.OwnPage(ref);
  if (!own) return false;
  uint8_t* body = PageBody(*own);
  View v{body};
  size_t i = v.Search(key, false);
  if (i < v.Count() && v.Key(i) == key) {
    if (v.Value(i).size() != value.size()) return false;
    std::memcpy(const_cast<char*>(v.Value(i).data()), value.data(), value.size());
    return true;
  }
  size_t count = v.Count(), need = EntryHeader + key.size() + value.size(), lowest = v.Lowest();
  if (NodeHeader + 2 * (count + 1) + need > lowest) return false;
  size_t at = lowest - need;
  PutLittle(body + at, static_cast<uint16_t>(key.size()));
  PutLittle(body + at + 2, static_cast<uint16_t>(value.size()));
  std::memcpy(body + at + EntryHeader, key.data(), key.size());
  std::memcpy(body + at + EntryHeader + key.size(), value.data(), value.size());
  uint8_t* offsets = body + NodeHeader;
  std::memmove(offsets + 2 * (i + 1), offsets + 2 * i, 2 * (count - i));
  PutLittle(offsets + 2 * i, static_cast<uint16_t>(at));
  PutLittle(body + 1, static_cast<uint16_t>(count + 1));
  added = true;
  return true;
}

PageRef PageTree::OwnCopy(PageRef ref) {
  if (file_.OwnPage(ref)) return ref;
  PagePtr old = ReadNode(ref);
  PageRef copy;
  PageBuffer& page = file_.NewPage(PageType::Node, copy);
  std::memcpy(PageBody(page), PageBody(*old), PageBodySize);
  file_.Free(ref);
  return copy;
}

std::vector<PageTree::Piece> PageTree::Change(const TreeRoot& at, std::string_view key, std::string_view* value,
                                              bool& changed, bool& added) {
  PageRef ref = at.ref;
  PagePtr page = ReadNode(ref);
  View v = ViewOf(page);
  if (!v.Branch() && value) {
    // Copied as it is into the commit being built, then the entry put in where it fits.
    ref = OwnCopy(ref);
    if (PutInPlace(ref, key, *value, added)) {
      changed = true;
      View own{PageBody(*file_.OwnPage(ref))};
      // The first piece's lowest key is never used: its parent keeps the fence it had.
      return {Piece{std::string(), TreeRoot{ref, own.Count()}, own.Used()}};
    }
  }
  Node node;
  bool atEnd = false;
  if (!v.Branch()) {
    node = Load(ref);
    auto it = std::lower_bound(node.entries.begin(), node.entries.end(), key,
                               [](const auto& e, std::string_view k) { return std::string_view(e.first) < k; });
    bool found = it != node.entries.end() && it->first == key;
    atEnd = it == node.entries.end();
    if (value && found) {
      it->second = std::string(*value);
    } else if (value) {
      node.entries.insert(it, {std::string(key), std::string(*value)});
      added = true;
    } else if (found) {
      node.entries.erase(it);
    } else {
      return {};
    }
  } else {
    size_t i = v.ChildFor(key);
    TreeRoot child = v.Child(i);
    std::vector<Piece> pieces = Change(child, key, value, changed, added);
    if (!changed) return {};
    // A child that stays one node: only its reference and count change here.
    if (pieces.size() == 1 && pieces[0].bytes >= PageBodySize / 4) {
      ref = OwnCopy(ref);
      View own{PageBody(*file_.OwnPage(ref))};
      auto* entry = reinterpret_cast<uint8_t*>(const_cast<char*>(own.Value(i).data()));
      std::string value = ChildValue(pieces[0].root);
      std::memcpy(entry, value.data(), value.size());
      return {Piece{std::string(), TreeRoot{ref, at.count - child.count + pieces[0].root.count}, own.Used()}};
    }
    node = Load(ref);
    atEnd = i + 1 == node.entries.size();
    std::string fence = node.entries[i].first;
    node.entries.erase(node.entries.begin() + static_cast<std::ptrdiff_t>(i));
    for (size_t p = 0; p < pieces.size(); ++p)
      node.entries.insert(node.entries.begin() + static_cast<std::ptrdiff_t>(i + p),
                          {p == 0 ? fence : pieces[p].low, ChildValue(pieces[p].root)});
    if (pieces.size() == 1 && pieces[0].bytes < PageBodySize / 4) Rebalance(node, i);
  }
  changed = true;
  return Store(node, ref, atEnd && value);
}

// Merges the small child i of branch with a neighbour, cut again into pieces that fit.
void PageTree::Rebalance(Node& branch, size_t i) {
  if (branch.entries.size() < 2) return;
  size_t left = i + 1 < branch.entries.size() ? i : i - 1;
  TreeRoot leftRoot = ChildOf(branch.entries[left].second), rightRoot = ChildOf(branch.entries[left + 1].second);
  Node merged = Load(leftRoot.ref);
  Node right = Load(rightRoot.ref);
  if (right.branch) right.entries.front().first = branch.entries[left + 1].first;
  if (merged.Bytes() + right.Bytes() > PageBodySize) return;
  for (auto& e : right.entries) merged.entries.push_back(std::move(e));
  file_.Free(rightRoot.ref);
  std::vector<Piece> pieces = Store(merged, leftRoot.ref, false);
  std::string fence = branch.entries[left].first;
  auto first = branch.entries.begin() + static_cast<std::ptrdiff_t>(left);
  branch.entries.erase(first, first + 2);
  for (size_t p = 0; p < pieces.size(); ++p)
    branch.entries.insert(branch.entries.begin() + static_cast<std::ptrdiff_t>(left + p),
                          {p == 0 ? fence : pieces[p].low, ChildValue(pieces[p].root)});
}

void PageTree::SetRoot(std::vector<Piece> pieces) {
  while (pieces.size() > 1) {
    Node branch;
    branch.branch = true;
    for (size_t p = 0; p < pieces.size(); ++p)
      branch.entries.emplace_back(p == 0 ? std::string() : pieces[p].low, ChildValue(pieces[p].root));
    pieces = Store(branch, PageRef{}, false);
  }
  root_ = pieces.empty() ? TreeRoot{} : pieces.front().root;
  // A root branch with one child gives way to the child.
  while (!root_.ref.Null()) {
    PagePtr page = ReadNode(root_.ref);
    View v = ViewOf(page);
    if (!v.Branch() || v.Count() != 1) break;
    file_.Free(root_.ref);
    root_ = v.Child(0);
  }
}

bool PageTree::Put(std::string_view key, std::string_view value) {
  if (root_.ref.Null()) {
    Node leaf;
    leaf.entries.emplace_back(std::string(key), std::string(value));
    SetRoot(Store(leaf, PageRef{}, false));
    return true;
  }
  bool changed = false, added = false;
  SetRoot(Change(root_, key, &value, changed, added));
  return added;
}

bool PageTree::Erase(std::string_view key) {
  if (root_.ref.Null()) return false;
  bool changed = false, added = false;
  std::vector<Piece> pieces = Change(root_, key, nullptr, changed, added);
  if (changed) SetRoot(std::move(pieces));
  return changed;
}

void PageTree::FreeBeneath(const TreeRoot& at) {
  PagePtr page = ReadNode(at.ref);
  View v = ViewOf(page);
  if (v.Branch())
    for (size_t i = 0; i < v.Count(); ++i) FreeBeneath(v.Child(i));
  file_.Free(at.ref);
}

void PageTree::Clear() {
  if (!root_.ref.Null()) FreeBeneath(root_);
  root_ = TreeRoot{};
}

}  // namespace reqcore
