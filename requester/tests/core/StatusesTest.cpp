#include "requester/core/Statuses.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace reqcore;

TEST(Statuses, TableIsAscendingWithTexts) {
  auto table = StatusTable();
  EXPECT_TRUE(std::is_sorted(table.begin(), table.end(),
                             [](const StatusEntry& a, const StatusEntry& b) { return a.number < b.number; }));
  for (const auto& e : table) EXPECT_TRUE(e.text && *e.text) << e.number;
}

TEST(Statuses, LookupByNumber) {
  for (int16_t n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 18, 20, 22, 35, 37, 39, 43, 46, 59, 80, 81, 84, 85, 88, 1016})
    EXPECT_NE(StatusText(n), nullptr) << n;
  EXPECT_EQ(StatusText(13), nullptr);
  EXPECT_EQ(StatusText(-1), nullptr);
  EXPECT_EQ(StatusText(9999), nullptr);
}
