// Free pages: listed pages first, then the file's end; pages freed by a commit wait for the next one.
#include "requester/core/FreePages.h"

#include <gtest/gtest.h>

using namespace reqcore;

TEST(FreePages, ListedFirstThenTheEndAndFreedPagesWaitForTheNextCommit) {
  FreePages free({4, 9}, 12);
  EXPECT_EQ(4u, free.Allocate());
  free.Free(3, false);  // part of the last commit
  EXPECT_EQ(9u, free.Allocate());
  EXPECT_EQ(12u, free.Allocate());
  free.Free(12, true);  // never committed: reused at once
  EXPECT_EQ(12u, free.Allocate());
  EXPECT_EQ(13u, free.Allocate());
  EXPECT_EQ(14u, free.PageCount());
  free.Free(13, true);
  EXPECT_EQ((std::vector<uint32_t>{3, 13}), free.NextList());
}

TEST(FreePages, ListRoundTripsAndRefusesWhatCannotBeFree) {
  std::vector<uint32_t> pages{2, 5, 6, 100}, decoded;
  ASSERT_TRUE(FreePages::Decode(FreePages::Encode(pages), 101, decoded));
  EXPECT_EQ(pages, decoded);
  for (const auto& bad : std::vector<std::vector<uint32_t>>{{1}, {0, 5}, {5, 5}, {6, 5}, {101}}) {
    EXPECT_FALSE(FreePages::Decode(FreePages::Encode(bad), 101, decoded)) << bad.front();
  }
  EXPECT_FALSE(FreePages::Decode("abc", 101, decoded));
}
