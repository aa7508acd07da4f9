#include "requester/core/KeyIndex.h"

#include <algorithm>
#include <cstring>

namespace reqcore {

namespace {
constexpr size_t SplitAt = 256;
uint64_t lastStamp = 0;
}  // namespace

KeyIndex::KeyIndex(size_t normLength) : width_(normLength + 8) {
  leaves_.push_back(std::make_unique<Leaf>());
  fences_.assign(width_, '\0');
  Touch();
}

void KeyIndex::Touch() { stamp_ = ++lastStamp; }

void KeyIndex::Load(const std::string& keys, const std::vector<uint32_t>& positions) {
  std::vector<uint32_t> order(positions.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  const char* base = keys.data();
  size_t width = width_;
  std::sort(order.begin(), order.end(), [base, width](uint32_t a, uint32_t b) {
    return std::memcmp(base + size_t(a) * width, base + size_t(b) * width, width) < 0;
  });
  leaves_.clear();
  fences_.clear();
  for (size_t i = 0; i < order.size(); ++i) {
    std::string_view key(base + size_t(order[i]) * width, width);
    if (i % (SplitAt / 2) == 0) {
      leaves_.push_back(std::make_unique<Leaf>());
      fences_.append(key);
    }
    leaves_.back()->keys.append(key);
    leaves_.back()->positions.push_back(positions[order[i]]);
  }
  if (leaves_.empty()) {
    leaves_.push_back(std::make_unique<Leaf>());
    fences_.assign(width_, '\0');
  }
  size_ = order.size();
  Touch();
}

std::string KeyIndex::EntryKey(std::string_view norm, uint64_t seq) {
  std::string key(norm);
  for (int shift = 56; shift >= 0; shift -= 8) key.push_back(static_cast<char>(seq >> shift));
  return key;
}

size_t KeyIndex::LeafFor(std::string_view key) const {
  // The last leaf whose fence is not above key (the first leaf takes everything below the second fence).
  size_t lo = 1, hi = leaves_.size();
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    if (std::memcmp(fences_.data() + mid * width_, key.data(), width_) <= 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo - 1;
}

size_t KeyIndex::SlotIn(const Leaf& leaf, std::string_view key, bool upper) const {
  size_t lo = 0, hi = leaf.Count();
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    int c = std::memcmp(leaf.keys.data() + mid * width_, key.data(), width_);
    if (c < 0 || (upper && c == 0))
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

KeyIndex::Pos KeyIndex::Normalize(Pos p) const {
  while (p.leaf < leaves_.size() && p.slot >= leaves_[p.leaf]->Count()) p = Pos{p.leaf + 1, 0};
  return p.leaf < leaves_.size() ? p : End();
}

void KeyIndex::Insert(std::string_view key, uint32_t position) {
  size_t l = LeafFor(key);
  Leaf& leaf = *leaves_[l];
  size_t slot = SlotIn(leaf, key, false);
  leaf.keys.insert(slot * width_, key.data(), width_);
  leaf.positions.insert(leaf.positions.begin() + static_cast<std::ptrdiff_t>(slot), position);
  ++size_;
  Touch();
  if (leaf.Count() >= SplitAt) Split(l);
}

void KeyIndex::Split(size_t l) {
  Leaf& leaf = *leaves_[l];
  size_t half = leaf.Count() / 2;
  auto right = std::make_unique<Leaf>();
  right->keys.assign(leaf.keys, half * width_, std::string::npos);
  right->positions.assign(leaf.positions.begin() + static_cast<std::ptrdiff_t>(half), leaf.positions.end());
  leaf.keys.resize(half * width_);
  leaf.positions.resize(half);
  fences_.insert((l + 1) * width_, right->keys.data(), width_);
  leaves_.insert(leaves_.begin() + static_cast<std::ptrdiff_t>(l + 1), std::move(right));
}

void KeyIndex::Erase(std::string_view key) {
  size_t l = LeafFor(key);
  Leaf& leaf = *leaves_[l];
  size_t slot = SlotIn(leaf, key, false);
  if (slot >= leaf.Count() || std::memcmp(leaf.keys.data() + slot * width_, key.data(), width_) != 0) return;
  leaf.keys.erase(slot * width_, width_);
  leaf.positions.erase(leaf.positions.begin() + static_cast<std::ptrdiff_t>(slot));
  --size_;
  Touch();
  if (leaf.Count() == 0 && leaves_.size() > 1) {
    leaves_.erase(leaves_.begin() + static_cast<std::ptrdiff_t>(l));
    fences_.erase(l * width_, width_);
  }
}

KeyIndex::Pos KeyIndex::LowerBound(std::string_view key) const {
  size_t l = LeafFor(key);
  return Normalize(Pos{l, SlotIn(*leaves_[l], key, false)});
}

KeyIndex::Pos KeyIndex::UpperBound(std::string_view key) const {
  size_t l = LeafFor(key);
  return Normalize(Pos{l, SlotIn(*leaves_[l], key, true)});
}

KeyIndex::Pos KeyIndex::Begin() const { return Normalize(Pos{0, 0}); }

KeyIndex::Pos KeyIndex::Next(Pos p) const { return Normalize(Pos{p.leaf, p.slot + 1}); }

KeyIndex::Pos KeyIndex::Prev(Pos p) const {
  if (p.slot > 0) return Pos{p.leaf, p.slot - 1};
  for (size_t l = p.leaf; l-- > 0;)
    if (leaves_[l]->Count() > 0) return Pos{l, leaves_[l]->Count() - 1};
  return End();
}

std::string_view KeyIndex::Key(Pos p) const {
  return std::string_view(leaves_[p.leaf]->keys).substr(p.slot * width_, width_);
}

size_t KeyIndex::Rank(Pos p) const {
  size_t rank = 0;
  for (size_t l = 0; l < p.leaf && l < leaves_.size(); ++l) rank += leaves_[l]->Count();
  return rank + p.slot;
}

KeyIndex::Pos KeyIndex::AtRank(size_t rank) const {
  for (size_t l = 0; l < leaves_.size(); ++l) {
    if (rank < leaves_[l]->Count()) return Pos{l, rank};
    rank -= leaves_[l]->Count();
  }
  return End();
}

}  // namespace reqcore
