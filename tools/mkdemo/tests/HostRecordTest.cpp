// Field values of host records: packed decimals, text, integers and dates at their offsets.
#include <gtest/gtest.h>

#include "tools/mkdemo/HostRecord.h"

namespace {

Layoutc::TLayout SampleLayout()
{
    using Layoutc::TKind;
    return {"SAMPLE",
            26,
            {{1, "Auto", TKind::AutoIncrement, 0, 0, 4},
             {2, "Code", TKind::String, 0, 4, 7},
             {3, "Money", TKind::Decimal, 2, 11, 6},
             {4, "Hours", TKind::Decimal, 2, 17, 3},
             {5, "Count", TKind::Integer, 0, 20, 2},
             {6, "Hired", TKind::Date, 0, 22, 4}}};
}

std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) text += std::string{digits[c >> 4], digits[c & 15]};
    return text;
}

TEST(HostRecord, NewRecordsAreBlankTextAndPositiveZeros)
{
    const Layoutc::TLayout layout = SampleLayout();
    THostRecord record(layout);
    EXPECT_EQ(Hex(record.Bytes()), "00000000" "20202020202020" "00000000000F" "00000F" "0000" "00000000");
}

TEST(HostRecord, DecimalsArePackedWithTheirSign)
{
    const Layoutc::TLayout layout = SampleLayout();
    const std::pair<double, std::string> money[] = {
        {0, "00000000000F"},           {1234.56, "00000123456F"}, {-1234.56, "00000123456D"},
        {0.005, "00000000001F"},       {-0.001, "00000000000F"},  {999999999.99, "99999999999F"},
    };
    for (const auto& [value, packed] : money) {
        THostRecord record(layout);
        record.SetDecimal("Money", value);
        EXPECT_EQ(Hex(record.Raw("Money")), packed) << value;
    }
    THostRecord record(layout);
    record.SetDecimal("Hours", 7.25);
    EXPECT_EQ(Hex(record.Raw("Hours")), "00725F");
    EXPECT_THROW(record.SetDecimal("Hours", 1000.00), EHostValueError);
    EXPECT_THROW(record.SetDecimal("Money", -1e9), EHostValueError);
}

TEST(HostRecord, TextIntegersAndDatesAndTheirRefusals)
{
    const Layoutc::TLayout layout = SampleLayout();
    THostRecord record(layout);
    record.Set("Code", "ABC").SetInteger("Count", -2).SetDate("Hired", 2001, 2, 3);
    EXPECT_EQ(record.Raw("Code"), "ABC    ");
    EXPECT_EQ(Hex(record.Raw("Count")), "FEFF");
    EXPECT_EQ(Hex(record.Raw("Hired")), "0302D107");
    EXPECT_THROW(record.Set("Code", "TOOLONG1"), EHostValueError);
    EXPECT_THROW(record.Set("Money", "1"), EHostValueError);
    EXPECT_THROW(record.Set("Nothing", "1"), EHostValueError);
    EXPECT_THROW(record.SetInteger("Count", 40000), EHostValueError);
}

TEST(HostRecord, ValueConventions)
{
    EXPECT_EQ(RightJustified("12", 7), "     12");
    EXPECT_EQ(LeftJustified("12", 7), "12     ");
    EXPECT_EQ(HostDateOf(2009, 3, 5), "290305");
    EXPECT_EQ(HostDateOf(1980, 1, 1), "000101");
    EXPECT_EQ(HostDateOf(2079, 12, 31), "991231");
    EXPECT_THROW(HostDateOf(1979, 12, 31), EHostValueError);
    EXPECT_THROW(HostDateOf(2080, 1, 1), EHostValueError);
}

}  // namespace
