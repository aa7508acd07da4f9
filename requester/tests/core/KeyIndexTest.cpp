// The key index and the record store against ordered standard containers, across many leaves and pages.
#include "requester/core/KeyIndex.h"
#include "requester/core/RecordStore.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace reqcore;

namespace {

std::string KeyOf(uint32_t value) {
  return KeyIndex::EntryKey(std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)}, 0);
}

void ExpectSameOrder(const KeyIndex& index, const std::map<std::string, uint32_t>& reference) {
  ASSERT_EQ(reference.size(), index.Size());
  auto p = index.Begin();
  size_t rank = 0;
  for (const auto& [key, position] : reference) {
    ASSERT_FALSE(index.IsEnd(p));
    ASSERT_EQ(key, index.Key(p));
    ASSERT_EQ(position, index.Position(p));
    ASSERT_EQ(rank, index.Rank(p));
    ASSERT_TRUE(index.AtRank(rank) == p);
    p = index.Next(p);
    ++rank;
  }
  EXPECT_TRUE(index.IsEnd(p));
}

}  // namespace

TEST(KeyIndex, MatchesAnOrderedMapThroughSplitsAndEmptiedLeaves) {
  KeyIndex index(4);
  std::map<std::string, uint32_t> reference;
  std::mt19937 rng(7);
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 6000; ++i) {
      uint32_t v = rng() % 20000;
      if (reference.emplace(KeyOf(v), v + 1).second) index.Insert(KeyOf(v), v + 1);
    }
    ExpectSameOrder(index, reference);
    // Erase a dense range, emptying whole leaves, and some scattered keys.
    for (uint32_t v = 3000 + 5000u * round; v < 7000 + 5000u * round; ++v) {
      index.Erase(KeyOf(v));
      reference.erase(KeyOf(v));
    }
    for (int i = 0; i < 1000; ++i) {
      uint32_t v = rng() % 20000;
      index.Erase(KeyOf(v));
      reference.erase(KeyOf(v));
    }
    ExpectSameOrder(index, reference);
  }
  for (int i = 0; i < 2000; ++i) {
    uint32_t v = rng() % 21000;
    std::string probe = KeyOf(v);
    auto lower = reference.lower_bound(probe);
    auto upper = reference.upper_bound(probe);
    auto p = index.LowerBound(probe);
    ASSERT_EQ(lower == reference.end(), index.IsEnd(p));
    if (lower != reference.end()) {
      ASSERT_EQ(lower->first, index.Key(p));
    }
    auto q = index.UpperBound(probe);
    ASSERT_EQ(upper == reference.end(), index.IsEnd(q));
    if (upper != reference.end()) {
      ASSERT_EQ(upper->first, index.Key(q));
    }
    auto before = index.Prev(p);
    ASSERT_EQ(lower == reference.begin(), index.IsEnd(before));
    if (lower != reference.begin()) {
      ASSERT_EQ(std::prev(lower)->first, index.Key(before));
    }
  }
  EXPECT_EQ(reference.rbegin()->first, index.Key(index.Last()));
}

TEST(KeyIndex, LoadGivesTheSameIndexAsInserts) {
  std::string keys;
  std::vector<uint32_t> positions;
  std::map<std::string, uint32_t> reference;
  for (uint32_t i = 0; i < 5000; i += 3) {
    uint32_t v = (i * 7919) % 5003;  // out of order
    keys += KeyOf(v);
    positions.push_back(v);
    reference[KeyOf(v)] = v;
  }
  KeyIndex index(4);
  index.Load(keys, positions);
  ExpectSameOrder(index, reference);
  index.Insert(KeyOf(6000), 6000);
  reference[KeyOf(6000)] = 6000;
  ExpectSameOrder(index, reference);
  index.Load({}, {});
  EXPECT_TRUE(index.IsEnd(index.Begin()));
  EXPECT_TRUE(index.IsEnd(index.Last()));
}

TEST(RecordStore, PhysicalOrderAcrossPages) {
  RecordStore store;
  std::set<uint32_t> reference;
  std::mt19937 rng(3);
  for (int i = 0; i < 5000; ++i) {
    uint32_t p = 1 + rng() % 50000;
    store.Put(p, Record{p, {}, "r"});
    reference.insert(p);
  }
  for (int i = 0; i < 3000; ++i) {
    uint32_t p = 1 + rng() % 50000;
    store.Erase(p);
    reference.erase(p);
  }
  ASSERT_EQ(reference.size(), store.Size());
  std::vector<uint32_t> forward, backward;
  for (uint32_t p = store.First(); p; p = store.After(p)) forward.push_back(p);
  for (uint32_t p = store.Last(); p; p = store.Before(p)) backward.insert(backward.begin(), p);
  std::vector<uint32_t> expected(reference.begin(), reference.end());
  EXPECT_EQ(expected, forward);
  EXPECT_EQ(expected, backward);
  for (size_t rank : {size_t(0), expected.size() / 2, expected.size() - 1}) {
    EXPECT_EQ(expected[rank], store.AtRank(rank));
    EXPECT_EQ(rank, store.Rank(expected[rank]));
  }
  EXPECT_EQ(0u, store.AtRank(expected.size()));
}
