// Btrieve field conversions: every type both ways, blank detection, the field settings and refused values.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrError.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"

namespace {

using Bytes = std::vector<Byte>;

struct TRead {
    bool Blank = false;
    std::array<Byte, 300> Value{};

    std::string Text() const { return reinterpret_cast<const char*>(Value.data()); }
    template <class T>
    T As() const
    {
        T v;
        std::memcpy(&v, Value.data(), sizeof v);
        return v;
    }
};

TRead Read(Word type, const Bytes& field, SmallInt decimals = 0)
{
    TRead result;
    result.Value.fill(0xAA);
    GetFieldValue(type, Word(field.size()), decimals, result.Blank, result.Value.data(), field.data());
    return result;
}

template <class T>
Bytes Write(Word type, Word size, T value, SmallInt decimals = 0)
{
    Bytes field(size, 0xAA);
    PutFieldValue(type, size, decimals, field.data(), &value);
    return field;
}

Bytes WriteText(Word type, Word size, const std::string& text)
{
    Bytes field(size, 0xAA);
    PutFieldValue(type, size, 0, field.data(), text.c_str());
    return field;
}

Bytes Chars(const std::string& text) { return Bytes(text.begin(), text.end()); }

Integer DayNumber(Word year, Word month, Word day) { return Integer(EncodeDate(year, month, day)) + DateDelta; }

bool IsUnconvertible(const EBtrieveEngineError& e) { return e.Status() == 2999; }

class BtrConvTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = BtrFieldSettings(); }
    void TearDown() override { BtrFieldSettings() = saved_; }

    TBtrFieldSettings saved_;
};

TEST_F(BtrConvTest, StringsDropTrailingBlanksAndArePaddedOrEndedOnWrite)
{
    const TRead read = Read(BtrType::String, Chars("AB     "));
    EXPECT_FALSE(read.Blank);
    EXPECT_EQ(read.Text(), "AB");
    EXPECT_TRUE(Read(BtrType::String, Bytes(7, 0)).Blank);
    EXPECT_EQ(Read(BtrType::String, Chars("AB\0CD  ")).Text(), "AB");

    EXPECT_EQ(WriteText(BtrType::String, 7, "AB"), Chars("AB     "));
    BtrFieldSettings().StringPaddedSpaces = false;
    EXPECT_EQ(WriteText(BtrType::String, 7, "AB"), Bytes({'A', 'B', 0, 0, 0, 0, 0}));
}

TEST_F(BtrConvTest, AStringAsLongAsItsFieldWritesNothingBeyondIt)
{
    for (bool padded : {true, false}) {
        BtrFieldSettings().StringPaddedSpaces = padded;
        Bytes record(8, 'x');
        PutFieldValue(BtrType::String, 7, 0, record.data(), "ABCDEFGHIJ");
        EXPECT_EQ(record, Chars("ABCDEFGx")) << "padded " << padded;
    }
}

TEST_F(BtrConvTest, CountedAndZeroTerminatedStringsKeepWithinTheirField)
{
    EXPECT_EQ(Read(BtrType::LString, Bytes({9, 'a', 'b', 'c', 'd'})).Text(), "abcd");
    EXPECT_EQ(Read(BtrType::LString, Bytes({2, 'a', 'b', 'c', 'd'})).Text(), "ab");
    EXPECT_EQ(WriteText(BtrType::LString, 4, "abcdef"), Bytes({3, 'a', 'b', 'c'}));
    EXPECT_EQ(Read(BtrType::ZString, Chars("abcd")).Text(), "abc");
    EXPECT_EQ(WriteText(BtrType::ZString, 4, "abcdef"), Bytes({'a', 'b', 'c', 0}));
    EXPECT_TRUE(Read(BtrType::ZString, Bytes(4, 0)).Blank);

    Bytes note(300, 'n');
    EXPECT_EQ(Read(BtrType::Note, note).Text(), std::string(254, 'n'));
    EXPECT_THROW(WriteText(BtrType::Note, 10, "x"), EBtrieveEngineError);
}

TEST_F(BtrConvTest, IntegersReadInTheirLogicalWidthWithZeroAsBlank)
{
    EXPECT_TRUE(Read(BtrType::Integer, Bytes({0, 0})).Blank);
    BtrFieldSettings().IntegersShowAsZero = true;
    EXPECT_FALSE(Read(BtrType::Integer, Bytes({0, 0})).Blank);

    EXPECT_EQ(Read(BtrType::Integer, Bytes({0xFF})).As<SmallInt>(), -1);
    BtrFieldSettings().SmallIntAsByte = true;
    EXPECT_EQ(Read(BtrType::Integer, Bytes({0xFF})).As<Word>(), 255);

    EXPECT_EQ(Read(BtrType::Integer, Bytes({0x34, 0x12})).As<SmallInt>(), 0x1234);
    EXPECT_EQ(Read(BtrType::Integer, Bytes({0xFE, 0xFF, 0xFF, 0xFF})).As<Integer>(), -2);
    EXPECT_EQ(Read(BtrType::AutoInc, Bytes({7, 0, 0, 0})).As<Integer>(), 7);
    EXPECT_EQ(Read(BtrType::Integer, Bytes({1, 0, 0, 0, 0, 0, 0, 0x80})).As<Int64>(), INT64_MIN + 1);
    EXPECT_EQ(Read(BtrType::Unsigned, Bytes({0xFE, 0xFF, 0xFF, 0xFF})).As<Cardinal>(), 0xFFFFFFFEu);
}

TEST_F(BtrConvTest, IntegersAreWrittenWhenTheyFitAndRefusedOtherwise)
{
    EXPECT_EQ(Write<SmallInt>(BtrType::Integer, 1, -128), Bytes({0x80}));
    EXPECT_EQ(Write<SmallInt>(BtrType::Integer, 2, -2), Bytes({0xFE, 0xFF}));
    EXPECT_EQ(Write<Integer>(BtrType::AutoInc, 4, 0x01020304), Bytes({4, 3, 2, 1}));
    EXPECT_EQ(Write<Word>(BtrType::Unsigned, 1, 255), Bytes({0xFF}));

    struct TCase {
        const char* Name;
        Word Type;
        Word Size;
        Integer Value;
    };
    const TCase refused[] = {
        {"signed byte above 127", BtrType::Integer, 1, 128},
        {"signed byte below -128", BtrType::Integer, 1, -129},
        {"unsigned byte above 255", BtrType::Unsigned, 1, 256},
        {"8-byte integer", BtrType::Integer, 8, 1},
        {"3-byte integer", BtrType::Integer, 3, 1},
    };
    for (const TCase& c : refused) {
        Bytes record(c.Size + 1, 0x55);
        const Int64 value = c.Value;
        try {
            PutFieldValue(c.Type, c.Size, 0, record.data(), &value);
            ADD_FAILURE() << c.Name << " was written";
        } catch (const EBtrieveEngineError& e) {
            EXPECT_TRUE(IsUnconvertible(e)) << c.Name;
        }
        EXPECT_EQ(record.back(), 0x55) << c.Name;
    }
    BtrFieldSettings().SmallIntAsByte = true;
    EXPECT_EQ(Write<Word>(BtrType::Integer, 1, 200), Bytes({200}));
    EXPECT_THROW(Write<Word>(BtrType::Integer, 1, 256), EBtrieveEngineError);
}

TEST_F(BtrConvTest, TheWriteSettingSkipsARefusedValueLeavingTheFieldZero)
{
    BtrFieldSettings().Write = true;
    EXPECT_EQ(Write<SmallInt>(BtrType::Integer, 1, 300), Bytes({0}));
    EXPECT_EQ(Write<double>(BtrType::Decimal, 2, 1000.0), Bytes({0, 0}));
}

TEST_F(BtrConvTest, TheReadSettingGivesZerosForAnUnconvertibleRead)
{
    EXPECT_THROW(Read(BtrType::Integer, Bytes({1, 2, 3})), EBtrieveEngineError);
    EXPECT_THROW(Read(BtrType::Decimal, Bytes({0xAB, 0x0F})), EBtrieveEngineError);
    BtrFieldSettings().Read = true;
    const TRead read = Read(BtrType::Decimal, Bytes({0xAB, 0x0F}));
    EXPECT_EQ(read.As<double>(), 0.0);
    EXPECT_EQ(read.Value[8], 0xAA) << "only the logical value is zeroed";
}

TEST_F(BtrConvTest, DatesAreDayMonthAndYear)
{
    EXPECT_TRUE(Read(BtrType::Date, Bytes(4, 0)).Blank);
    const Bytes newYearsEve = {31, 12, 0xCF, 0x07};
    EXPECT_EQ(Read(BtrType::Date, newYearsEve).As<Integer>(), DayNumber(1999, 12, 31));
    EXPECT_EQ(Write<Integer>(BtrType::Date, 4, DayNumber(1999, 12, 31)), newYearsEve);
    EXPECT_EQ(Read(BtrType::Date, Bytes({0, 12, 0xCF, 0x07})).As<Integer>(), 0);
}

TEST_F(BtrConvTest, AnImpossibleDateRaisesTheDateErrorWhateverTheReadSetting)
{
    BtrFieldSettings().Read = true;
    EXPECT_THROW(Read(BtrType::Date, Bytes({32, 1, 0xCF, 0x07})), EConvertError);
    EXPECT_THROW(Read(BtrType::Date, Bytes({1, 13, 0xCF, 0x07})), EConvertError);
}

TEST_F(BtrConvTest, TimesAreHundredthsSecondsMinutesHours)
{
    EXPECT_TRUE(Read(BtrType::Time, Bytes(4, 0)).Blank);
    const Integer msecs = ((13 * 60 + 45) * 60 + 30) * 1000 + 120;
    EXPECT_EQ(Read(BtrType::Time, Bytes({12, 30, 45, 13})).As<Integer>(), msecs);
    EXPECT_EQ(Write<Integer>(BtrType::Time, 4, msecs + 7), Bytes({12, 30, 45, 13}));
    EXPECT_EQ(Read(BtrType::Time, Bytes({0, 0, 60, 13})).As<Integer>(), 0);
    EXPECT_THROW(Write<Integer>(BtrType::Time, 4, MSecsPerDay), EBtrieveEngineError);
}

TEST_F(BtrConvTest, PackedDecimalsCarryTheirSignInTheLastNibble)
{
    EXPECT_DOUBLE_EQ(Read(BtrType::Decimal, Bytes({0x12, 0x34, 0x5D}), 2).As<double>(), -123.45);
    EXPECT_DOUBLE_EQ(Read(BtrType::Decimal, Bytes({0x12, 0x34, 0x5C}), 2).As<double>(), 123.45);
    const TRead zero = Read(BtrType::Decimal, Bytes(3, 0), 2);
    EXPECT_FALSE(zero.Blank);
    EXPECT_EQ(zero.As<double>(), 0.0);

    EXPECT_EQ(Write<double>(BtrType::Decimal, 3, -123.45, 2), Bytes({0x12, 0x34, 0x5D}));
    EXPECT_EQ(Write<double>(BtrType::Decimal, 3, 5.0, 2), Bytes({0x00, 0x50, 0x0F}));
    EXPECT_EQ(Write<double>(BtrType::Money, 2, 1.5, 0), Bytes({0x15, 0x0F}));
    EXPECT_DOUBLE_EQ(Read(BtrType::Money, Bytes({0x15, 0x0D}), 0).As<double>(), -1.5);
}

TEST_F(BtrConvTest, DecimalsThatDoNotFitAreRefused)
{
    EXPECT_EQ(Write<double>(BtrType::Decimal, 3, 99999.0, 0), Bytes({0x99, 0x99, 0x9F}));
    EXPECT_THROW(Write<double>(BtrType::Decimal, 3, 100000.0, 0), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(BtrType::Decimal, 3, -1000.0, 2), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(BtrType::Decimal, 3, NAN, 0), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(BtrType::Numeric, 5, 1000.0, 2), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(BtrType::NumericSts, 4, 1000.0, 0), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(BtrType::Currency, 8, 1e300, 0), EBtrieveEngineError);
}

TEST_F(BtrConvTest, DecimalWritesRoundHalvesAwayFromZeroOnTheDecimalValue)
{
    struct TCase {
        Word Type;
        Word Size;
        SmallInt Decimals;
        double Value;
        const char* Stored;  // the numeric text, or the packed digits and sign nibble as hex
    } cases[] = {
            {BtrType::Decimal, 2, 2, 0.125, "013F"},
            {BtrType::Decimal, 2, 2, -0.125, "013D"},
            {BtrType::Decimal, 2, 0, 2.5, "003F"},
            {BtrType::Decimal, 2, 0, -2.5, "003D"},
            {BtrType::Decimal, 2, 2, 0.145, "015F"},  // the double lies just below 0.145
            {BtrType::Decimal, 2, 2, 1.005, "101F"},
            {BtrType::Decimal, 2, 2, 0.004, "000F"},
            {BtrType::Decimal, 2, 2, 0.005, "001F"},
            {BtrType::Decimal, 2, 2, -0.004, "000F"},
            {BtrType::Decimal, 3, 2, 999.994, "99999F"},
            {BtrType::Decimal, 3, 2, -999.99, "99999D"},
            {BtrType::Decimal, 10, 2, 12345678901234.5, "0001234567890123450F"},
            {BtrType::Money, 3, 0, 10.005, "01001F"},
            {BtrType::Numeric, 5, 2, 0.125, "0001C"},
            {BtrType::Numeric, 5, 2, -0.125, "0001L"},
            {BtrType::Numeric, 5, 1, 99.95, "0100{"},
            {BtrType::Numeric, 4, 0, 9999.4, "999I"},
            {BtrType::NumericSts, 4, 0, 2.5, "003+"},
            {BtrType::NumericSts, 4, 0, -2.5, "003-"},
    };
    for (const TCase& c : cases) {
        const Bytes field = Write<double>(c.Type, c.Size, c.Value, c.Decimals);
        std::string stored;
        for (Byte b : field) {
            if (c.Type == BtrType::Decimal || c.Type == BtrType::Money) {
                const char hex[] = "0123456789ABCDEF";
                stored += hex[b >> 4];
                stored += hex[b & 15];
            } else {
                stored += char(b);
            }
        }
        EXPECT_EQ(stored, c.Stored) << c.Type << " " << c.Value << " with " << c.Decimals;
    }
    // A half that rounds past the largest value the field holds is refused.
    EXPECT_THROW(Write<double>(BtrType::Decimal, 3, 999.995, 2), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(BtrType::Numeric, 4, 9999.5, 0), EBtrieveEngineError);
}

TEST_F(BtrConvTest, NumericTextOverpunchesTheSignOnTheLastDigit)
{
    EXPECT_DOUBLE_EQ(Read(BtrType::Numeric, Chars("0012E"), 2).As<double>(), 1.25);
    EXPECT_DOUBLE_EQ(Read(BtrType::Numeric, Chars("0012N"), 2).As<double>(), -1.25);
    EXPECT_DOUBLE_EQ(Read(BtrType::NumericSa, Chars("  12}"), 0).As<double>(), -120);
    EXPECT_EQ(Write<double>(BtrType::Numeric, 5, -1.25, 2), Chars("0012N"));
    EXPECT_EQ(Write<double>(BtrType::Numeric, 5, 1.2, 2), Chars("0012{"));
    EXPECT_EQ(Write<double>(232, 5, 1.25, 2), Chars("0012E"));
    EXPECT_THROW(Read(BtrType::Numeric, Chars("00X2E"), 2), EBtrieveEngineError);

    EXPECT_DOUBLE_EQ(Read(BtrType::NumericSts, Chars("0125-"), 2).As<double>(), -1.25);
    EXPECT_DOUBLE_EQ(Read(BtrType::NumericSts, Chars("0125+"), 2).As<double>(), 1.25);
    EXPECT_EQ(Write<double>(BtrType::NumericSts, 5, -1.25, 2), Chars("0125-"));
}

TEST_F(BtrConvTest, FloatsOfEachSize)
{
    EXPECT_EQ(Read(BtrType::Float, Write<double>(BtrType::Float, 4, 0.1)).As<double>(), double(0.1f));
    EXPECT_EQ(Read(BtrType::Float, Write<double>(BtrType::Float, 8, 0.1)).As<double>(), 0.1);
    EXPECT_EQ(Read(BtrType::Float, Write<double>(BtrType::Float, 10, -2.5e-7)).As<double>(), -2.5e-7);
    EXPECT_THROW(Write<double>(BtrType::Float, 4, 1e39), EBtrieveEngineError);
    EXPECT_THROW(Read(BtrType::Float, Bytes(6, 1)), EBtrieveEngineError);

    EXPECT_DOUBLE_EQ(Read(BtrType::Currency, Bytes({0x39, 0x30, 0, 0, 0, 0, 0, 0})).As<double>(), 1.2345);
    EXPECT_EQ(Write<double>(BtrType::Currency, 8, -0.0001), Bytes(8, 0xFF));
}

TEST_F(BtrConvTest, MicrosoftBinaryFloats)
{
    EXPECT_EQ(Read(BtrType::BFloat, Bytes({0, 0, 0, 0x81})).As<double>(), 1.0);
    EXPECT_EQ(Read(BtrType::BFloat, Bytes({0, 0, 0x80, 0x81})).As<double>(), -1.0);
    EXPECT_EQ(Read(BtrType::BFloat, Bytes({0, 0, 0x20, 0x83})).As<double>(), 5.0);
    EXPECT_EQ(Write<double>(BtrType::BFloat, 4, 0.5), Bytes({0, 0, 0, 0x80}));
    EXPECT_EQ(Read(BtrType::BFloat, Write<double>(BtrType::BFloat, 8, -1234.5678)).As<double>(), -1234.5678);
    EXPECT_EQ(Read(BtrType::BFloat, Bytes(8, 0)).As<double>(), 0.0);
}

TEST_F(BtrConvTest, LogicalsAndBits)
{
    EXPECT_EQ(Read(BtrType::Logical, Bytes({0, 2})).As<Integer>(), -1);
    EXPECT_EQ(Read(BtrType::Logical, Bytes({0, 0})).As<Integer>(), 0);
    EXPECT_EQ(Write<SmallInt>(BtrType::Logical, 2, -1), Bytes({1, 0}));
    EXPECT_THROW(Write<SmallInt>(BtrType::Logical, 3, -1), EBtrieveEngineError);

    EXPECT_EQ(Read(BtrType::Bit, Bytes({0x08}), 3).As<SmallInt>(), -1);
    EXPECT_EQ(Read(BtrType::Bit, Bytes({0x08}), 2).As<SmallInt>(), 0);
    EXPECT_EQ(Read(BtrType::Bit, Bytes({0xFF}), 8).As<SmallInt>(), 0);
    Bytes field = {0x81};
    const SmallInt on = -1, off = 0;
    PutFieldValue(BtrType::Bit, 1, 3, field.data(), &on);
    EXPECT_EQ(field, Bytes({0x89}));
    PutFieldValue(BtrType::Bit, 1, 7, field.data(), &off);
    EXPECT_EQ(field, Bytes({0x09}));
}

TEST_F(BtrConvTest, TimeStampsAreUniversalTicksSinceYearOne)
{
    const double localMsecs = TimeStampToMSecs(DateTimeToTimeStamp(EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 7)));
    const Bytes field = Write<double>(BtrType::TimeStamp, 8, localMsecs);
    uint64_t ticks;
    std::memcpy(&ticks, field.data(), 8);
    const double expectedTicks = (localMsecs - MSecsPerDay + LocalTimeOffset() * 60000.0) * 10000.0;
    EXPECT_EQ(double(ticks), expectedTicks);
    EXPECT_EQ(Read(BtrType::TimeStamp, field).As<double>(), localMsecs);
    EXPECT_EQ(Read(BtrType::TimeStamp, Bytes(8, 0)).As<double>(), 0.0);

    const Bytes dateTime = Write<double>(253, 8, localMsecs);
    EXPECT_EQ(Read(253, dateTime).As<double>(), localMsecs);
    EXPECT_TRUE(Read(253, Bytes(8, 0)).Blank);
}

TEST_F(BtrConvTest, BuiltInDecimalFloatAndBinaryReal)
{
    for (double value : {1.0, -123.456, 0.000125, 9.87654321e20}) {
        EXPECT_DOUBLE_EQ(Read(238, Write<double>(238, 10, value)).As<double>(), value) << value;
        EXPECT_NEAR(Read(255, Write<double>(255, 6, value)).As<double>(), value, std::fabs(value) * 1e-11) << value;
    }
    EXPECT_EQ(Write<double>(238, 10, 1.0), Bytes({65, 0, 0, 0, 0, 0, 0, 0, 0, 0x10}));
    EXPECT_EQ(Write<double>(238, 10, 1e-17), Bytes(10, 0));
    EXPECT_EQ(Write<double>(255, 6, 1.0), Bytes({129, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Read(255, Bytes({129, 0, 0, 0, 0, 0x80})).As<double>(), -1.0);
}

TEST_F(BtrConvTest, UnknownTypesConvertNothing)
{
    EXPECT_EQ(Write<double>(100, 4, 1.0), Bytes(4, 0));
    EXPECT_EQ(Read(250, Bytes(4, 1)).Value[0], 0xAA);
}

TEST_F(BtrConvTest, TypeMap)
{
    struct TCase {
        Word Type, Size, Logical, SubType;
        SmallInt Units1;
    };
    const TCase cases[] = {
        {BtrType::String, 30, fldZSTRING, 0, 30},
        {BtrType::String, 300, fldBLOB, BtrSubType::Memo, 299},
        {BtrType::Integer, 1, fldINT16, 0, 2},
        {BtrType::Integer, 4, fldINT32, 0, 4},
        {BtrType::Integer, 8, fldINT64, 0, 8},
        {BtrType::Integer, 3, fldUNKNOWN, 0, 3},
        {BtrType::Money, 6, fldFLOAT, BtrSubType::Money, 6},
        {BtrType::Logical, 1, fldBOOL, 0, 4},
        {BtrType::LString, 10, fldZSTRING, 0, 9},
        {BtrType::ZString, 1, fldBYTES, 0, 1},
        {BtrType::ZString, 256, fldZSTRING, 0, 255},
        {BtrType::ZString, 257, fldBLOB, BtrSubType::Memo, 256},
        {BtrType::Note, 100, fldBLOB, BtrSubType::Memo, 99},
        {BtrType::VarLength, 10, fldBLOB, BtrSubType::Memo, 6},
        {BtrType::Unsigned, 1, fldUINT16, 0, 2},
        {BtrType::Unsigned, 6, fldBYTES, 0, 6},
        {BtrType::Unsigned, 8, fldUINT64, 0, 8},
        {BtrType::AutoInc, 4, fldINT32, BtrSubType::AutoInc, 4},
        {BtrType::AutoInc, 3, fldUNKNOWN, BtrSubType::AutoInc, 3},
        {BtrType::TimeStamp, 8, fldTIMESTAMP, 0, 8},
        {228, 4, fldDATE, 0, 4},
        {236, 4, fldTIME, 0, 4},
        {254, 8, fldFLOAT, BtrSubType::Money, 8},
        {253, 8, fldTIMESTAMP, 0, 8},
        {250, 4, fldUNKNOWN, 0, 4},
        {50, 4, fldUNKNOWN, 0, 4},
    };
    for (const TCase& c : cases) {
        Word logical = 99, subType = 99;
        SmallInt units1 = 99;
        MapBtrieveType(c.Type, c.Size, logical, units1, subType);
        EXPECT_EQ(logical, c.Logical) << c.Type << "/" << c.Size;
        EXPECT_EQ(subType, c.SubType) << c.Type << "/" << c.Size;
        EXPECT_EQ(units1, c.Units1) << c.Type << "/" << c.Size;
    }
    BtrFieldSettings().SmallIntAsByte = true;
    Word logical = 0, subType = 0;
    SmallInt units1 = 0;
    MapBtrieveType(BtrType::Integer, 1, logical, units1, subType);
    EXPECT_EQ(logical, fldUINT16);
}

TFieldDDFRecord DictionaryField(const char* name, Byte type, Word offset, Word size, Byte decimals)
{
    TFieldDDFRecord record{};
    std::memset(record.Name, ' ', sizeof record.Name);
    std::memcpy(record.Name, name, std::strlen(name));
    record.DataType = type;
    record.Offset = offset;
    record.Size = size;
    record.Decimals = decimals;
    return record;
}

TEST_F(BtrConvTest, FieldDescriptionsFromTheDictionary)
{
    FLDDesc amount{};
    FieldDescFromDictionary(DictionaryField("Amount", BtrType::Decimal, 10, 6, 2), 3, amount);
    EXPECT_EQ(amount.iFldNum, 3);
    EXPECT_STREQ(amount.szName, "Amount");
    EXPECT_EQ(amount.iFldType, fldFLOAT);
    EXPECT_EQ(amount.iUnits1, 6);
    EXPECT_EQ(amount.iUnits2, 2);
    EXPECT_EQ(amount.iOffset, 10);
    EXPECT_EQ(amount.iLen, 6);
    EXPECT_EQ(amount.efldvVchk, 2);
    EXPECT_EQ(amount.efldrRights, 3);

    FLDDesc memo{}, graphic{}, binary{};
    FieldDescFromDictionary(DictionaryField("Comments", BtrType::Note, 0, 200, 0), 1, memo);
    FieldDescFromDictionary(DictionaryField("Picture111", BtrType::Note, 0, 200, 0), 1, graphic);
    FieldDescFromDictionary(DictionaryField("Data222", BtrType::Note, 0, 200, 0), 1, binary);
    EXPECT_EQ(memo.iSubType, BtrSubType::Memo);
    EXPECT_EQ(memo.iUnits1, 199);
    EXPECT_EQ(graphic.iSubType, BtrSubType::Graphic);
    EXPECT_EQ(graphic.iUnits1, 0);
    EXPECT_EQ(binary.iSubType, BtrSubType::Binary);
    EXPECT_EQ(binary.iLen, 200);
}

}  // namespace
