#include "rtl/Exceptions.h"
#include "rtl/Types.h"

#include <gtest/gtest.h>

namespace {

enum class Color { Red, Green, Blue, Black = 40 };
using Colors = Set<Color>;

TEST(SetTest, IncludeExcludeContainsAndMask)
{
    Colors s{Color::Red, Color::Black};
    EXPECT_TRUE(s.Contains(Color::Red));
    EXPECT_FALSE(s.Contains(Color::Green));
    EXPECT_TRUE(s.Contains(Color::Black));
    EXPECT_EQ(s.ToMask(), (uint64_t(1) << 40) | 1u);
    s.Include(Color::Green).Exclude(Color::Red);
    EXPECT_EQ(s, (Colors{Color::Green, Color::Black}));
    EXPECT_EQ(Colors::FromMask(0b110), (Colors{Color::Green, Color::Blue}));
    EXPECT_TRUE(Colors().Empty());
}

TEST(SetTest, UnionIntersectionDifferenceAndSubset)
{
    const Colors a{Color::Red, Color::Green};
    const Colors b{Color::Green, Color::Blue};
    EXPECT_EQ(a + b, (Colors{Color::Red, Color::Green, Color::Blue}));
    EXPECT_EQ(a * b, Colors{Color::Green});
    EXPECT_EQ(a - b, Colors{Color::Red});
    EXPECT_TRUE(Colors{Color::Green} <= a);
    EXPECT_FALSE(b <= a);
    EXPECT_TRUE(a >= Colors{});
    EXPECT_NE(a, b);
}

TEST(CurrencyTest, KeepsFourDecimalsAndRoundsToNearest)
{
    EXPECT_EQ(Currency(1.23456).Scaled(), 12346);
    EXPECT_EQ(Currency(-1.23454).Scaled(), -12345);
    EXPECT_EQ(Currency(-2.5).Scaled(), -25000);
    EXPECT_EQ(Currency(3).Scaled(), 30000);
    EXPECT_DOUBLE_EQ((Currency(1.5) + Currency(2.25)).ToDouble(), 3.75);
    EXPECT_DOUBLE_EQ((Currency(1.5) * Currency(3)).ToDouble(), 4.5);
    EXPECT_DOUBLE_EQ((Currency(10) / Currency(4)).ToDouble(), 2.5);
    EXPECT_LT(Currency(-1), Currency(0.0001));
    // Sums stay exact where doubles drift.
    Currency total;
    for (int i = 0; i < 10; ++i) total += Currency(0.1);
    EXPECT_EQ(total, Currency(1));
}

TEST(ExceptionTest, CarriesMessageAndDerivesFromStd)
{
    try {
        throw EFOpenError("cannot open");
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "cannot open");
        EXPECT_STREQ(e.what(), "cannot open");
    }
    EXPECT_THROW(Abort(), EAbort);
    Exception e("a");
    e.SetMessage("b");
    EXPECT_STREQ(e.what(), "b");
}

}  // namespace

#include "rtl/OSError.h"
#include "rtl/WinApi.h"

namespace {

TEST(ExceptionTest, FormatConstructorAndOSErrors)
{
    EConvertError e("'%s' is not a valid integer value", {"x"});
    EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
    EXPECT_FALSE(SysErrorMessage(ERROR_FILE_NOT_FOUND).empty());
    SetLastError(ERROR_FILE_NOT_FOUND);
    try {
        RaiseLastOSError();
    } catch (const EOSError& error) {
        EXPECT_EQ(error.ErrorCode, Cardinal(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(error.Message(), "System Error.  Code: 2.\r\n" + SysErrorMessage(ERROR_FILE_NOT_FOUND));
    }
}

}  // namespace
