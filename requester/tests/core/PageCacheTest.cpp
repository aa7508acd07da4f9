// The shared page cache: bounded, least recently used out first, hits only for the commit asked for.
#include "requester/core/PageCache.h"

#include <gtest/gtest.h>

using namespace reqcore;

namespace {
PagePtr PageOf(uint8_t fill) {
  auto page = std::make_shared<PageBuffer>();
  page->fill(fill);
  return page;
}
}  // namespace

TEST(PageCache, StaysWithinItsBudgetDroppingTheLeastRecentlyUsed) {
  PageCache cache(4 * PageSize);
  uint64_t file = cache.FileKey("/data/a.dat", 1);
  for (uint32_t page = 2; page < 6; ++page) cache.Put(file, {page, 1}, PageOf(static_cast<uint8_t>(page)));
  ASSERT_NE(nullptr, cache.Find(file, {2, 1}));  // now the most recent
  cache.Put(file, {6, 1}, PageOf(6));
  EXPECT_EQ(4 * PageSize, cache.Bytes());
  EXPECT_EQ(nullptr, cache.Find(file, {3, 1}));
  EXPECT_NE(nullptr, cache.Find(file, {2, 1}));
  PagePtr held = cache.Find(file, {4, 1});
  cache.SetBudget(PageSize);
  EXPECT_EQ(PageSize, cache.Bytes());
  EXPECT_EQ(4, (*held)[0]) << "a page handed out outlives its eviction";
}

TEST(PageCache, HitsOnlyTheCommitAndFileAskedFor) {
  PageCache cache;
  uint64_t a = cache.FileKey("/data/a.dat", 1);
  EXPECT_EQ(a, cache.FileKey("/data/a.dat", 1));
  uint64_t recreated = cache.FileKey("/data/a.dat", 2);
  uint64_t copy = cache.FileKey("/data/b.dat", 1);
  EXPECT_NE(a, recreated);
  EXPECT_NE(a, copy);
  cache.Put(a, {7, 3}, PageOf(1));
  EXPECT_NE(nullptr, cache.Find(a, {7, 3}));
  EXPECT_EQ(nullptr, cache.Find(a, {7, 4})) << "the page was written again by a later commit";
  EXPECT_EQ(nullptr, cache.Find(recreated, {7, 3}));
  EXPECT_EQ(nullptr, cache.Find(copy, {7, 3}));
  cache.Put(a, {7, 4}, PageOf(2));
  EXPECT_EQ(nullptr, cache.Find(a, {7, 3}));
  EXPECT_EQ(2, (*cache.Find(a, {7, 4}))[0]);
}

TEST(PageCache, PagesOfAFileLeaveWithItsLastReader) {
  PageCache cache;
  uint64_t a = cache.FileKey("/data/a.dat", 1), b = cache.FileKey("/data/b.dat", 1);
  cache.Attach(a);
  cache.Attach(a);
  cache.Attach(b);
  cache.Put(a, {2, 1}, PageOf(1));
  cache.Put(b, {2, 1}, PageOf(2));
  cache.Detach(a);
  EXPECT_NE(nullptr, cache.Find(a, {2, 1}));
  cache.Detach(a);
  EXPECT_EQ(nullptr, cache.Find(a, {2, 1}));
  EXPECT_NE(nullptr, cache.Find(b, {2, 1}));
  EXPECT_EQ(PageSize, cache.Bytes());
}
