// The custom types through the field-conversion DLL, and binding the DLL's entry points.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrConvDll.h"
#include "engine/btrieve/BtrError.h"
#include "engine/tests/support/RecordedBoxes.h"
#include "rtl/DateTime.h"
#include "rtl/WinApi.h"

namespace {

using Bytes = std::vector<Byte>;

Integer DayNumber(Word year, Word month, Word day) { return Integer(EncodeDate(year, month, day)) + DateDelta; }

Bytes Int32Bytes(Integer value)
{
    Bytes bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

Bytes Chars(const std::string& text) { return Bytes(text.begin(), text.end()); }

template <class T>
Bytes Write(Word type, Word size, T value, SmallInt decimals = 0)
{
    Bytes field(size, 0xAA);
    PutFieldValue(type, size, decimals, field.data(), &value);
    return field;
}

template <class T>
T Read(Word type, const Bytes& field, bool& blank, SmallInt decimals = 0)
{
    Byte value[16] = {};
    GetFieldValue(type, Word(field.size()), decimals, blank, value, field.data());
    T result;
    std::memcpy(&result, value, sizeof result);
    return result;
}

template <class T>
T Read(Word type, const Bytes& field, SmallInt decimals = 0)
{
    bool blank = false;
    return Read<T>(type, field, blank, decimals);
}

TEST(BtrConvDllTest, DateTypesStoreTheirFormatAndReadBack)
{
    const Integer date = DayNumber(1999, 12, 31);
    struct TCase {
        Word Type;
        Bytes Stored;
    };
    const TCase cases[] = {
        {228, Int32Bytes(19991231)},
        {233, Int32Bytes(date - 693593)},
        {241, Int32Bytes(date - 367)},
        {242, Bytes({99, 12, 31})},
        {243, Chars("991231")},
        {244, Chars("19991231")},
        {245, Bytes({0xAC, 0x8E})},  // day 36524 counted from 1 Jan 1900
        {234, Int32Bytes(946598400)},
    };
    for (const TCase& c : cases) {
        const Bytes stored = Write<Integer>(c.Type, Word(c.Stored.size()), date);
        EXPECT_EQ(stored, c.Stored) << c.Type;
        bool blank = true;
        EXPECT_EQ(Read<Integer>(c.Type, stored, blank), date) << c.Type;
        EXPECT_FALSE(blank);
        Read<Integer>(c.Type, Bytes(c.Stored.size(), 0), blank);
        EXPECT_TRUE(blank) << c.Type;
    }
}

TEST(BtrConvDllTest, TimeTypesStoreTheirFormatAndReadBack)
{
    const Integer msecs = ((13 * 60 + 45) * 60 + 30) * 1000 + 120;
    EXPECT_EQ(Write<Integer>(236, 4, msecs), Int32Bytes(msecs / 10));
    EXPECT_EQ(Read<Integer>(236, Int32Bytes(msecs / 10)), msecs);
    EXPECT_EQ(Write<Integer>(240, 4, msecs), Int32Bytes(msecs / 1000));
    EXPECT_EQ(Read<Integer>(240, Int32Bytes(msecs / 1000)), msecs - 120);
    EXPECT_THROW(Read<Integer>(240, Int32Bytes(86400)), EBtrieveEngineError);
}

TEST(BtrConvDllTest, NumberTypesStoreTheirFormatAndReadBack)
{
    struct TCase {
        Word Type;
        SmallInt Decimals;
        double Value;
        Bytes Stored;
    };
    const TCase cases[] = {
        {229, 2, -12.34, Int32Bytes(-1234)},
        {230, 0, 258, Bytes({1, 2})},
        {231, 1, 25.8, Bytes({2, 1})},
        {235, 0, 12.34, Int32Bytes(1234)},
        {239, 0, -0.5, Bytes({0xCE, 0xFF})},
        {237, 2, -1.5, Chars("   -1.50")},
        {246, 0, 42, Chars("  42")},
        {247, 2, 1234.56, Bytes({0x12, 0x34, 0x56})},
        {254, 0, 1.2345, Bytes({0x39, 0x30, 0, 0, 0, 0, 0, 0})},
    };
    for (const TCase& c : cases) {
        const Bytes stored = Write<double>(c.Type, Word(c.Stored.size()), c.Value, c.Decimals);
        EXPECT_EQ(stored, c.Stored) << c.Type;
        EXPECT_DOUBLE_EQ(Read<double>(c.Type, stored, c.Decimals), c.Value) << c.Type;
        EXPECT_EQ(Read<double>(c.Type, Bytes(c.Stored.size(), 0), c.Decimals), 0.0) << c.Type;
    }
}

TEST(BtrConvDllTest, ValuesTheFormatCannotHoldAreRefused)
{
    const Integer date = DayNumber(2060, 1, 1);
    EXPECT_THROW(Write<Integer>(243, 6, date), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(230, 2, 70000.0), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(231, 2, -1.0), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(237, 3, 1234.0), EBtrieveEngineError);
    EXPECT_THROW(Write<double>(247, 2, -1.0), EBtrieveEngineError);
    EXPECT_THROW(Read<Integer>(244, Chars("19991340")), EBtrieveEngineError);
}

TEST(BtrConvDllTest, TheDllIsBoundByItsEntryPointNames)
{
    TConversionFunctions functions;
    EXPECT_TRUE(functions.Loaded());
    EXPECT_NE(functions.Get_YYYYMMDD, nullptr);
    EXPECT_NE(functions.Set_BtrieveTime, nullptr);
    EXPECT_FALSE(functions.Load(ConversionDll)) << "a second load";
    EXPECT_TRUE(ConversionFunctionsAvailable());

    TConversionFunctions missing({"nosuchconv.dll"});
    EXPECT_FALSE(missing.Loaded());
}

TEST(BtrConvDllTest, TheAlternativeNameIsLoadedWhenTheFirstIsMissing)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string alternative = std::string(folder) + ConversionDllAlternative;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string conversionDll = self;
    conversionDll = conversionDll.substr(0, conversionDll.find_last_of('\\') + 1) + ConversionDll;
    ASSERT_TRUE(CopyFileA(conversionDll.c_str(), alternative.c_str(), FALSE));
    {
        TConversionFunctions functions({"nosuchconv.dll", alternative});
        EXPECT_TRUE(functions.Loaded());
        EXPECT_NE(functions.Get_YYYYMMDD, nullptr);
    }
    DeleteFileA(alternative.c_str());
}

TEST(BtrConvDllTest, WithoutTheDllItsTypesAreUnconvertible)
{
    const TBtrFieldSettings saved = BtrFieldSettings();
    SetConversionFunctions(std::make_unique<TConversionFunctions>(std::initializer_list<std::string>{"nosuchconv.dll"}));
    EXPECT_FALSE(ConversionFunctionsAvailable());
    try {
        Read<Integer>(244, Chars("19991231"));
        FAIL();
    } catch (const EBtrieveEngineError& error) {
        EXPECT_EQ(error.Status(), 2999);
    }
    EXPECT_THROW(Write<Integer>(244, 8, DayNumber(1999, 12, 31)), EBtrieveEngineError);
    bool blank = false;
    Read<Integer>(244, Bytes(8, 0), blank);
    EXPECT_TRUE(blank) << "an empty field needs no DLL";
    BtrFieldSettings().Read = true;
    EXPECT_EQ(Read<Integer>(244, Chars("19991231")), 0);
    BtrFieldSettings() = saved;
    SetConversionFunctions(nullptr);
    EXPECT_TRUE(ConversionFunctionsAvailable());
}

TEST(BtrConvDllTest, AMissingEntryPointIsReportedAndLeftUnbound)
{
    TRecordedBoxes boxes;
    TConversionFunctions functions({"fakebtrv.dll"});
    EXPECT_TRUE(functions.Loaded());
    EXPECT_EQ(functions.Get_LongYMD, nullptr);
    EXPECT_EQ(functions.Set_BtrieveTime, nullptr);
    const std::vector<TRecordedBoxes::TBox> shown = boxes.Shown();
    ASSERT_EQ(shown.size(), 32u);
    EXPECT_EQ(shown[0].Text, "Error Loading Dynamic Function Get_LongYMD from fakebtrv.dll");
    EXPECT_EQ(shown[31].Text, "Error Loading Dynamic Function Set_BtrieveTime from fakebtrv.dll");
    EXPECT_TRUE(shown[0].Flags & 0x10) << "error icon";
    EXPECT_TRUE(TRecordedBoxes::TakeQuitRequest()) << "the program is asked to end";
}

}  // namespace
