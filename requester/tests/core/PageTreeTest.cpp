// The copy-on-write B+-tree against an ordered map, through splits, merges and many commits, read back by
// another connection; a reader left behind by later commits gets its old contents or a mismatch, never others.
#include "PagedTestSupport.h"
#include "requester/core/PageTree.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace reqtest;

namespace {

using Model = std::map<std::string, std::string>;

std::string KeyOf(uint32_t n) {
  std::string key(4, '\0');
  for (int i = 0; i < 4; ++i) key[i] = static_cast<char>(n >> (24 - 8 * i));
  return key + std::string(n % 13, 'k');  // lengths vary
}

std::string ValueOf(uint32_t n, int round) { return std::string(1 + (n * 7 + round) % 300, static_cast<char>('a' + round % 26)); }

void ExpectSame(const PageTree& tree, const Model& model) {
  ASSERT_EQ(model.size(), tree.Size());
  auto at = tree.First();
  uint64_t rank = 0;
  for (const auto& [key, value] : model) {
    ASSERT_FALSE(at.AtEnd());
    ASSERT_EQ(key, at.Key());
    ASSERT_EQ(value, at.Value());
    ASSERT_EQ(rank, tree.Rank(at));
    ASSERT_EQ(key, tree.AtRank(rank).Key());
    tree.Next(at);
    ++rank;
  }
  EXPECT_TRUE(at.AtEnd());
  EXPECT_TRUE(tree.AtRank(rank).AtEnd());
  auto back = tree.Last();
  for (auto it = model.rbegin(); it != model.rend(); ++it, tree.Prev(back)) ASSERT_EQ(it->first, back.Key());
  EXPECT_TRUE(back.AtEnd());
}

void ExpectBounds(const PageTree& tree, const Model& model, std::mt19937& rng) {
  for (int i = 0; i < 500; ++i) {
    std::string probe = KeyOf(rng() % 30000);
    probe.resize(rng() % (probe.size() + 1));
    for (bool above : {false, true}) {
      auto expected = above ? model.upper_bound(probe) : model.lower_bound(probe);
      auto at = above ? tree.UpperBound(probe) : tree.LowerBound(probe);
      ASSERT_EQ(expected == model.end(), at.AtEnd()) << probe;
      if (expected != model.end()) {
        ASSERT_EQ(expected->first, at.Key());
      }
      tree.Prev(at);
      ASSERT_EQ(expected == model.begin(), at.AtEnd());
      if (expected != model.begin()) {
        ASSERT_EQ(std::prev(expected)->first, at.Key());
      }
    }
  }
}

}  // namespace

TEST(PageTree, MatchesAnOrderedMapAcrossCommitsSplitsAndMerges) {
  TempDir dir;
  PagedFixtureFile f(dir.File("tree.dat"));
  Model model;
  std::mt19937 rng(11);
  for (int round = 0; round < 12; ++round) {
    f.Commit([&](PageFile& file, Meta& meta) {
      PageTree tree(file, meta.records);
      bool growing = round < 6;
      for (int i = 0; i < 3000; ++i) {
        uint32_t n = rng() % 30000;
        if (growing || rng() % 4 == 0) {
          std::string value = ValueOf(n, round);
          EXPECT_EQ(model.count(KeyOf(n)) == 0, tree.Put(KeyOf(n), value));
          model[KeyOf(n)] = value;
        } else {
          EXPECT_EQ(model.erase(KeyOf(n)) == 1, tree.Erase(KeyOf(n)));
        }
      }
      if (round == 10) {  // a dense range, emptying whole subtrees
        for (uint32_t n = 5000; n < 25000; ++n) EXPECT_EQ(model.erase(KeyOf(n)) == 1, tree.Erase(KeyOf(n)));
      }
    });
    auto reader = f.OpenReader();
    PageTree tree(*reader->file, reader->meta.records);
    ExpectSame(tree, model);
    if (HasFatalFailure()) return;
    ExpectBounds(tree, model, rng);
  }
}

TEST(PageTree, AppendsFillPagesAndChurnReusesThem) {
  TempDir dir;
  PagedFixtureFile f(dir.File("tree.dat"));
  auto fill = [&](int round) {
    f.Commit([&](PageFile& file, Meta& meta) {
      PageTree tree(file, meta.records);
      for (uint32_t n = 0; n < 20000; ++n) tree.Put(KeyOf(n).substr(0, 4), std::string(60, char('a' + round)));
    });
  };
  fill(0);
  // 20,000 entries of 70 bytes: about 340 pages when full.
  EXPECT_LT(f.meta.pageCount, 420u);
  uint32_t pageCount = f.meta.pageCount;
  for (int round = 1; round < 6; ++round) {
    f.Commit([&](PageFile& file, Meta& meta) {
      PageTree tree(file, meta.records);
      tree.Clear();
      EXPECT_EQ(0u, tree.Size());
    });
    fill(round);
  }
  EXPECT_LE(f.meta.pageCount, 2 * pageCount + 10);
  auto reader = f.OpenReader();
  PageTree tree(*reader->file, reader->meta.records);
  EXPECT_EQ(20000u, tree.Size());
  EXPECT_EQ(std::string(60, 'f'), tree.LowerBound(KeyOf(777).substr(0, 4)).Value());
}

TEST(PageTree, ReaderBehindLaterCommitsSeesItsOwnStateOrAMismatch) {
  TempDir dir;
  PagedFixtureFile f(dir.File("tree.dat"));
  Model model;
  f.Commit([&](PageFile& file, Meta& meta) {
    PageTree tree(file, meta.records);
    for (uint32_t n = 0; n < 5000; ++n) tree.Put(KeyOf(n), model[KeyOf(n)] = ValueOf(n, 0));
  });
  auto reader = f.OpenReader();
  for (int round = 1; round <= 3; ++round) {
    f.Commit([&](PageFile& file, Meta& meta) {
      PageTree tree(file, meta.records);
      for (uint32_t n = 0; n < 5000; n += 2) tree.Put(KeyOf(n), ValueOf(n, round));
    });
  }
  reader->cache.SetBudget(0);  // every page from the disk
  PageTree old(*reader->file, reader->meta.records);
  try {
    ExpectSame(old, model);
  } catch (const PageMismatch&) {
    SUCCEED();  // the caller reads the meta pages again and runs the call on the newer state
  }
}
