// The key index and the record store against ordered standard containers, across many leaves and pages.
#include "PagedTestSupport.h"
#include "requester/core/KeyIndex.h"
#include "requester/core/RecordStore.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace reqtest;

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
    ASSERT_EQ(key, index.Key(index.AtRank(rank)));
    p = index.Next(p);
    ++rank;
  }
  EXPECT_TRUE(index.IsEnd(p));
}

}  // namespace

TEST(KeyIndex, MatchesAnOrderedMapThroughSplitsAndEmptiedLeaves) {
  TempDir dir;
  PagedFixtureFile f(dir.File("index.dat"));
  f.File().Begin(f.meta);
  KeyIndex index(f.File(), f.meta.records, 4);
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

TEST(KeyIndex, OutOfOrderInsertsAndEmptying) {
  TempDir dir;
  PagedFixtureFile f(dir.File("index.dat"));
  std::map<std::string, uint32_t> reference;
  f.Commit([&](PageFile& file, Meta& meta) {
    KeyIndex index(file, meta.records, 4);
    for (uint32_t i = 0; i < 5000; i += 3) {
      uint32_t v = (i * 7919) % 5003;  // out of order
      index.Insert(KeyOf(v), v);
      reference[KeyOf(v)] = v;
    }
  });
  auto reader = f.OpenReader();
  ExpectSameOrder(KeyIndex(*reader->file, reader->meta.records, 4), reference);
  f.Commit([&](PageFile& file, Meta& meta) {
    KeyIndex index(file, meta.records, 4);
    for (const auto& [key, position] : reference) index.Erase(key);
    EXPECT_TRUE(index.IsEnd(index.Begin()));
    EXPECT_TRUE(index.IsEnd(index.Last()));
  });
  EXPECT_TRUE(f.meta.records.ref.Null());
}

TEST(RecordStore, PhysicalOrderAcrossPages) {
  TempDir dir;
  PagedFixtureFile f(dir.File("records.dat"));
  f.File().Begin(f.meta);
  RecordStore store(f.File(), f.meta.records);
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

TEST(RecordStore, LongRecordsInChainsReadBackAndReplaced) {
  TempDir dir;
  PagedFixtureFile f(dir.File("records.dat"));
  Record longRecord{7, {{0, 3}, {2, 9}}, std::string(9000, 'x')};
  for (size_t i = 0; i < longRecord.data.size(); ++i) longRecord.data[i] = static_cast<char>(i % 251);
  f.Commit([&](PageFile& file, Meta& meta) {
    RecordStore store(file, meta.records);
    for (uint32_t p = 1; p <= 20; ++p) store.Put(p, longRecord);
  });
  uint32_t pageCount = 0;
  for (int round = 0; round < 5; ++round) {
    f.Commit([&](PageFile& file, Meta& meta) {
      RecordStore store(file, meta.records);
      for (uint32_t p = 1; p <= 20; ++p) store.Put(p, p % 2 ? longRecord : Record{8, {}, "short"});
    });
    if (round == 1) pageCount = f.meta.pageCount;
  }
  EXPECT_LE(f.meta.pageCount, pageCount + 4) << "chains of replaced records are reused";
  auto reader = f.OpenReader();
  RecordStore store(*reader->file, reader->meta.records);
  for (uint32_t p = 1; p <= 20; ++p) {
    std::optional<Record> record = store.Find(p);
    ASSERT_TRUE(record);
    EXPECT_EQ(p % 2 ? longRecord.data : "short", record->data);
    EXPECT_EQ(p % 2 ? longRecord.seqs : decltype(longRecord.seqs){}, record->seqs);
  }
}
