#include "rtl/Variants.h"

#include <gtest/gtest.h>

#include "rtl/SysUtils.h"
#include "UsSettings.h"

namespace {

template <class E, class F>
std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return "no error";
}

class VariantTest : public UsSettings {};

}  // namespace

TEST_F(VariantTest, EachValueKeepsItsType)
{
    struct Case { Variant v; TVarType type; };
    const Case cases[] = {
        {Variant(), varEmpty},
        {Null(), varNull},
        {Unassigned(), varEmpty},
        {Variant(true), varBoolean},
        {Variant(SmallInt(-3)), varSmallint},
        {Variant(7), varInteger},
        {Variant(Byte(7)), varByte},
        {Variant(Word(7)), varWord},
        {Variant(Cardinal(7)), varLongWord},
        {Variant(Int64(7)), varInt64},
        {Variant(1.5), varDouble},
        {Variant(Currency(2)), varCurrency},
        {Variant::FromDate(EncodeDate(2024, 2, 29)), varDate},
        {Variant("text"), varString},
        {VarArrayOf({1, "a"}), TVarType(varArray | varVariant)},
        {VarArrayCreate({0, 1}, varInteger), TVarType(varArray | varInteger)},
    };
    for (const Case& c : cases) EXPECT_EQ(VarType(c.v), c.type) << VarTypeAsText(c.type);
    EXPECT_TRUE(VarIsNull(Null()));
    EXPECT_FALSE(VarIsNull(Variant()));
    EXPECT_TRUE(VarIsEmpty(Unassigned()));
    EXPECT_FALSE(VarIsEmpty(Variant("")));
    EXPECT_TRUE(VarIsArray(VarArrayOf({})));
    EXPECT_FALSE(VarIsArray(Variant(1)));
}

TEST_F(VariantTest, ConvertsToText)
{
    struct Case { Variant v; std::string text; };
    const Case cases[] = {
        {Variant(), ""},
        {Null(), ""},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant(-42), "-42"},
        {Variant(Cardinal(4000000000u)), "4000000000"},
        {Variant(Int64(1) << 40), "1099511627776"},
        {Variant(0.1), "0.1"},
        {Variant(1e15), "1E15"},
        {Variant(Currency::FromScaled(12345)), "1.2345"},
        {Variant::FromDate(EncodeDate(2024, 2, 29)), "2/29/2024"},
        {Variant::FromDate(EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 0, 0)), "2/29/2024 1:05:00 PM"},
        {Variant("as is"), "as is"},
    };
    for (const Case& c : cases) EXPECT_EQ(VarToStr(c.v), c.text) << VarTypeAsText(c.v.Type());
    EXPECT_EQ(VarToStrDef(Null(), "none"), "none");
    EXPECT_EQ(VarToStrDef(Variant(""), "none"), "");
    EXPECT_EQ(ErrorOf<EVariantTypeCastError>([] { Null().ToString(); }),
              "Could not convert variant of type (Null) into type (String)");

    DecimalSeparator = ',';
    EXPECT_EQ(VarToStr(Variant(1.5)), "1,5");
}

TEST_F(VariantTest, ConvertsToNumbersRoundingHalvesToEven)
{
    struct Case { Variant v; Integer integer; double real; };
    const Case cases[] = {
        {Variant(), 0, 0},
        {Variant(true), -1, -1},
        {Variant(false), 0, 0},
        {Variant(SmallInt(-5)), -5, -5},
        {Variant(2.5), 2, 2.5},
        {Variant(3.5), 4, 3.5},
        {Variant(-2.5), -2, -2.5},
        {Variant(2.6), 3, 2.6},
        {Variant(Currency::FromScaled(15000)), 2, 1.5},
        {Variant("  12"), 12, 12},
        {Variant("2.5"), 2, 2.5},
        {Variant("$1F"), 31, 31},
        {Variant::FromDate(2.75), 3, 2.75},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.v.ToInteger(), c.integer) << VarToStr(c.v);
        EXPECT_DOUBLE_EQ(c.v.ToDouble(), c.real) << VarToStr(c.v);
    }
    EXPECT_EQ(Variant("1.23456").ToCurrency(), Currency::FromScaled(12346));
    EXPECT_EQ(Variant(Int64(5000000000LL)).ToInt64(), 5000000000LL);
    EXPECT_DOUBLE_EQ(Variant("3/1/2024").ToDateTime(), EncodeDate(2024, 3, 1));

    DecimalSeparator = ',';
    EXPECT_DOUBLE_EQ(Variant("1,25").ToDouble(), 1.25);
}

TEST_F(VariantTest, RefusesValuesThatDoNotConvert)
{
    EXPECT_EQ(ErrorOf<EVariantError>([] { Null().ToInteger(); }),
              "Could not convert variant of type (Null) into type (Integer)");
    EXPECT_EQ(ErrorOf<EVariantError>([] { Null().ToDouble(); }),
              "Could not convert variant of type (Null) into type (Double)");
    EXPECT_EQ(ErrorOf<EVariantError>([] { Null().ToBoolean(); }),
              "Could not convert variant of type (Null) into type (Boolean)");
    EXPECT_EQ(ErrorOf<EVariantError>([] { Variant("abc").ToInteger(); }),
              "Could not convert variant of type (String) into type (Integer)");
    EXPECT_EQ(ErrorOf<EVariantError>([] { Variant("abc").ToDateTime(); }),
              "Could not convert variant of type (String) into type (Date)");
    EXPECT_EQ(ErrorOf<EVariantError>([] { Variant("yes").ToBoolean(); }),
              "Could not convert variant of type (String) into type (Boolean)");
    EXPECT_EQ(ErrorOf<EVariantError>([] { VarArrayOf({1}).ToString(); }),
              "Could not convert variant of type (Array Variant) into type (String)");
    EXPECT_EQ(ErrorOf<EVariantOverflowError>([] { Variant(3e9).ToInteger(); }),
              "Overflow while converting variant of type (Double) into type (Integer)");
    EXPECT_EQ(ErrorOf<EVariantOverflowError>([] { Variant(Int64(1) << 31).ToInteger(); }),
              "Overflow while converting variant of type (Int64) into type (Integer)");
    EXPECT_EQ(ErrorOf<EVariantOverflowError>([] { VarAsType(Variant(256), varByte); }),
              "Overflow while converting variant of type (Integer) into type (Byte)");
}

TEST_F(VariantTest, ConvertsToBoolean)
{
    EXPECT_TRUE(Variant("TRUE").ToBoolean());
    EXPECT_FALSE(Variant(" false ").ToBoolean());
    EXPECT_TRUE(Variant("2").ToBoolean());
    EXPECT_FALSE(Variant("0").ToBoolean());
    EXPECT_TRUE(Variant(0.5).ToBoolean());
    EXPECT_FALSE(Variant().ToBoolean());
}

TEST_F(VariantTest, VarAsTypeChangesTheType)
{
    const Variant i = VarAsType(Variant("12"), varInteger);
    EXPECT_EQ(VarType(i), varInteger);
    EXPECT_EQ(i.ToInteger(), 12);
    EXPECT_EQ(VarType(VarAsType(Variant(12), varString)), varString);
    EXPECT_EQ(VarAsType(Variant(65535), varWord).ToInteger(), 65535);
    EXPECT_EQ(VarType(VarAsType(Variant(65535), varWord)), varWord);
    EXPECT_EQ(VarType(VarAsType(Variant(1.5), varDate)), varDate);
    EXPECT_EQ(VarType(VarAsType(Null(), varNull)), varNull);
    EXPECT_EQ(VarType(VarAsType(Variant(5), varEmpty)), varEmpty);
    EXPECT_THROW(VarAsType(Null(), varString), EVariantTypeCastError);
}

TEST_F(VariantTest, Comparisons)
{
    struct Case { Variant a, b; TVariantRelationship relation; };
    const Case cases[] = {
        {Null(), Null(), vrEqual},
        {Unassigned(), Unassigned(), vrEqual},
        {Null(), Variant(0), vrNotEqual},
        {Unassigned(), Variant(0), vrNotEqual},
        {Null(), Unassigned(), vrNotEqual},
        {Variant(1), Variant(1.0), vrEqual},
        {Variant(Byte(200)), Variant(SmallInt(-1)), vrGreaterThan},
        {Variant(Cardinal(4000000000u)), Variant(1), vrGreaterThan},
        {Variant(Currency::FromScaled(5000)), Variant(0.5), vrEqual},
        {Variant("10"), Variant(9), vrGreaterThan},  // a string against a number compares as numbers
        {Variant("10"), Variant("9"), vrLessThan},   // two strings compare as text
        {Variant("abc"), Variant("abd"), vrLessThan},
        {Variant("abc"), Variant("ABC"), vrGreaterThan},
        {Variant(true), Variant("True"), vrEqual},
        {Variant::FromDate(2), Variant(2), vrEqual},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VarCompareValue(c.a, c.b), c.relation) << VarToStrDef(c.a, "Null") << " ? " << VarToStr(c.b);
        EXPECT_EQ(c.a == c.b, c.relation == vrEqual);
    }
    EXPECT_TRUE(Null() < Variant(-5));
    EXPECT_FALSE(Variant(-5) < Null());
    EXPECT_FALSE(Null() < Null());
    EXPECT_TRUE(Variant(1) < Variant(2.5));
    EXPECT_TRUE(Variant("b") >= Variant("a"));
    EXPECT_THROW(VarCompareValue(Variant("x"), Variant(1)), EVariantTypeCastError);
    EXPECT_THROW(VarCompareValue(VarArrayOf({1}), Variant(1)), EVariantInvalidOpError);
}

TEST_F(VariantTest, ArraysHaveBoundsAndCopyByValue)
{
    Variant a = VarArrayOf({1, "two", Null()});
    EXPECT_EQ(VarArrayDimCount(a), 1);
    EXPECT_EQ(VarArrayLowBound(a, 1), 0);
    EXPECT_EQ(VarArrayHighBound(a, 1), 2);
    EXPECT_EQ(VarToStr(a[1]), "two");
    EXPECT_TRUE(VarIsNull(a[2]));
    EXPECT_EQ(ErrorOf<EVariantBadIndexError>([&] { a[3]; }), "Variant or safe array index out of bounds");

    Variant copy = a;
    copy[0] = "changed";
    EXPECT_EQ(a[0].ToInteger(), 1);

    Variant grid = VarArrayCreate({1, 2, -1, 1}, varInteger);
    EXPECT_EQ(VarArrayDimCount(grid), 2);
    EXPECT_EQ(VarArrayLowBound(grid, 2), -1);
    EXPECT_EQ(VarArrayHighBound(grid, 2), 1);
    EXPECT_EQ(VarType(VarArrayGet(grid, {2, 1})), varInteger);  // elements start as the type's zero
    VarArrayPut(grid, Variant("7"), {2, -1});
    const Variant stored = VarArrayGet(grid, {2, -1});
    EXPECT_EQ(VarType(stored), varInteger);
    EXPECT_EQ(stored.ToInteger(), 7);
    EXPECT_EQ(VarArrayGet(grid, {1, -1}).ToInteger(), 0);
    EXPECT_THROW(VarArrayGet(grid, {0, 0}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayGet(grid, {1}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayHighBound(grid, 3), EVariantError);
    EXPECT_THROW(VarArrayPut(grid, Variant("x"), {1, 0}), EVariantTypeCastError);

    const Variant empty = VarArrayOf({});
    EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
}
