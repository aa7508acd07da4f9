// The saved place of a library form: zeros at first, copied by Assign, written to form files only when set.
#include <gtest/gtest.h>

#include "classes/TypInfo.h"
#include "vxdata/vxFormPosition.h"

namespace {

TEST(FormPosition, StartsAtZeroAndCopiesAnotherPosition)
{
    TvxFormPosition position;
    EXPECT_EQ(position.Left() + position.Top() + position.Width() + position.Height(), 0);
    TvxFormPosition other;
    other.SetLeft(10);
    other.SetTop(20);
    other.SetWidth(300);
    other.SetHeight(200);
    position.Assign(&other);
    EXPECT_EQ(position.Left(), 10);
    EXPECT_EQ(position.Top(), 20);
    EXPECT_EQ(position.Width(), 300);
    EXPECT_EQ(position.Height(), 200);
    for (const char* name : {"Left", "Top", "Width", "Height"})
        EXPECT_TRUE(IsPublishedProp(&position, name)) << name;
    EXPECT_EQ(GetOrdProp(&position, GetPropInfo(&position, "Width")), 300);
}

}  // namespace
