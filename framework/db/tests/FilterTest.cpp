#include <cstring>
#include <map>

#include <gtest/gtest.h>

#include "db/DBErrors.h"
#include "db/ExprParser.h"
#include "rtl/SysUtils.h"

namespace {

const TFilterField kFields[] = {
    {"Name", 1, ftString, 20},   {"Amount", 2, ftFloat, 0},      {"Qty", 3, ftInteger, 0},
    {"Active", 4, ftBoolean, 0}, {"Born", 5, ftDate, 0},         {"Code", 6, ftSmallint, 0},
    {"Price", 7, ftBCD, 2},      {"Client Code", 8, ftString, 7}, {"Memo", 9, ftMemo, 0},
    {"Count", 10, ftWord, 0},    {"At", 11, ftTime, 0},          {"Stamp", 12, ftDateTime, 0},
};

std::optional<TFilterField> FindTestField(const std::string& name)
{
    for (const TFilterField& f : kFields)
        if (SameText(f.FieldName, name)) return f;
    return std::nullopt;
}

std::vector<Byte> Compile(const std::string& text, TFilterOptions options = {})
{
    return TExprParser(FindTestField, text, options).FilterData();
}

// Reads a block back as text, following the layout independently of the writer.
class TBlockReader {
public:
    explicit TBlockReader(const std::vector<Byte>& block) : b_(block) {}

    Word W(size_t at) const { return Word(b_.at(at) | (b_.at(at + 1) << 8)); }
    Integer I(size_t at) const { return Integer(W(at) | (uint32_t(W(at + 2)) << 16)); }

    std::string Render() const
    {
        EXPECT_EQ(W(0), 1);
        EXPECT_EQ(W(2), b_.size());
        EXPECT_EQ(W(6), 10);
        return Node(0);
    }

    size_t NodeCount() const { return W(4); }

private:
    std::string Node(size_t offset) const
    {
        static const std::map<Integer, std::string> ops = {
            {1, "ISBLANK"}, {2, "NOTBLANK"}, {3, "EQ"}, {4, "NE"}, {5, "GT"},  {6, "LT"},
            {7, "GE"},      {8, "LE"},       {9, "NOT"}, {10, "AND"}, {11, "OR"}};
        const size_t at = W(6) + offset;
        const Integer cls = I(at);
        const Integer op = I(at + 4);
        switch (cls) {
        case 1: return ops.at(op) + "(" + Node(W(at + 8)) + ")";
        case 2: return ops.at(op) + "(" + Node(W(at + 8)) + "," + Node(W(at + 10)) + ")";
        case 3:
            return ops.at(op) + "[" + (W(at + 8) ? "ci" : "") + (W(at + 10) ? "p" + std::to_string(W(at + 10)) : "") +
                   "](" + Node(W(at + 12)) + "," + Node(W(at + 14)) + ")";
        case 4:
            EXPECT_EQ(op, 13);
            return Literal(W(at + 10)) + "#" + std::to_string(W(at + 8));
        case 5: EXPECT_EQ(op, 14); return Constant(W(at + 8), W(at + 10), W(8) + W(at + 12));
        case 7: return W(at + 8) ? "TRUE" : "FALSE";
        default: return "?";
        }
    }

    std::string Literal(size_t offset) const { return reinterpret_cast<const char*>(b_.data() + W(8) + offset); }

    std::string Constant(Word type, Word size, size_t at) const
    {
        auto raw = [&](auto value) {
            EXPECT_EQ(size, sizeof value);
            std::memcpy(&value, b_.data() + at, sizeof value);
            return value;
        };
        switch (type) {
        case 1: EXPECT_EQ(size, Literal(at - W(8)).size() + 1); return "'" + Literal(at - W(8)) + "'";
        case 2: return "d:" + std::to_string(raw(int32_t()));
        case 4: return "b:" + std::to_string(raw(uint16_t()));
        case 5: return "s:" + std::to_string(raw(int16_t()));
        case 6: return "i:" + std::to_string(raw(int32_t()));
        case 7: return "f:" + FloatToStr(raw(double()));
        case 8: EXPECT_EQ(size, 34); return "bcd:" + std::to_string(b_[at]) + "/" + std::to_string(b_[at + 1]);
        case 10: return "t:" + std::to_string(raw(int32_t()));
        case 11: return "ts:" + FloatToStr(raw(double()));
        case 12: return "u:" + std::to_string(raw(uint16_t()));
        default: return "?";
        }
    }

    const std::vector<Byte>& b_;
};

std::string Render(const std::string& text, TFilterOptions options = {})
{
    const std::vector<Byte> block = Compile(text, options);
    return TBlockReader(block).Render();
}

std::vector<Byte> Hex(const std::string& hex)
{
    std::vector<Byte> bytes;
    for (size_t i = 0; i < hex.size();) {
        if (hex[i] == ' ') { ++i; continue; }
        bytes.push_back(Byte(std::stoi(hex.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

TEST(FilterBlock, ComparisonIsWrittenByteForByte)
{
    EXPECT_EQ(Compile("Qty = 5"), Hex("0100 3800 0300 0A00 3000"
                                      "02000000 03000000 0C00 1800"
                                      "04000000 0D000000 0300 0000"
                                      "05000000 0E000000 0600 0400 0400"
                                      "51747900 05000000"));
}

TEST(FilterBlock, PartialStringCompareIsACompareNode)
{
    EXPECT_EQ(Compile("Name = 'Sm*'"), Hex("0100 3C00 0300 0A00 3400"
                                           "03000000 03000000 0000 0200 1000 1C00"
                                           "04000000 0D000000 0100 0000"
                                           "05000000 0E000000 0100 0300 0500"
                                           "4E616D6500 536D00"));
}

TEST(FilterBlock, NotOverBooleanField)
{
    EXPECT_EQ(Compile("not Active"), Hex("0100 2700 0200 0A00 2000"
                                         "01000000 09000000 0A00"
                                         "04000000 0D000000 0400 0000"
                                         "41637469766500"));
}

TEST(FilterBlock, TextsCompileToTheirTrees)
{
    const struct {
        const char* Text;
        TFilterOptions Options;
        const char* Tree;
    } cases[] = {
        {"Qty = 5", {}, "EQ(Qty#3,i:5)"},
        {"[Client Code] = 'ab''c'", {}, "EQ(Client Code#8,'ab'c')"},
        {"\"Client Code\" <> 'x'", {}, "NE(Client Code#8,'x')"},
        {"Name = 'Sm*'", {foCaseInsensitive}, "EQ[cip2](Name#1,'Sm')"},
        {"Name = 'Sm*'", {foNoPartialCompare}, "EQ(Name#1,'Sm*')"},
        {"Name > 'Sm*'", {}, "GT(Name#1,'Sm*')"},
        {"Name <> 'x'", {foCaseInsensitive}, "NE[ci](Name#1,'x')"},
        {"Name = '*'", {}, "TRUE"},
        {"Name <> '*'", {}, "FALSE"},
        {"Qty > 1 AND Qty < 9 OR Name = 'a'", {}, "OR(AND(GT(Qty#3,i:1),LT(Qty#3,i:9)),EQ(Name#1,'a'))"},
        {"Qty > 1 or Qty < 9 and Name = 'a'", {}, "OR(GT(Qty#3,i:1),AND(LT(Qty#3,i:9),EQ(Name#1,'a')))"},
        {"(Qty > 1 OR Qty < 9) AND Name = 'a'", {}, "AND(OR(GT(Qty#3,i:1),LT(Qty#3,i:9)),EQ(Name#1,'a'))"},
        {"NOT (Qty = 1) AND NOT Active", {}, "AND(NOT(EQ(Qty#3,i:1)),NOT(Active#4))"},
        {"Name IS NULL", {}, "ISBLANK(Name#1)"},
        {"[Name] is not null", {}, "NOTBLANK(Name#1)"},
        {"Amount >= 2.5", {}, "GE(Amount#2,f:2.5)"},
        {"Amount < 7", {}, "LT(Amount#2,f:7)"},
        {"Code <= -3", {}, "LE(Code#6,s:-3)"},
        {"Count = 65535", {}, "EQ(Count#10,u:65535)"},
        {"5 < Qty", {}, "LT(i:5,Qty#3)"},
        {"Qty = Code", {}, "EQ(Qty#3,Code#6)"},
        {"Active = True", {}, "EQ(Active#4,b:65535)"},
        {"Active <> false", {}, "NE(Active#4,b:0)"},
        {"Price = 12.345", {}, "EQ(Price#7,bcd:32/2)"},
        {"(Qty) = 5", {}, "EQ(Qty#3,i:5)"},
    };
    for (const auto& c : cases) EXPECT_EQ(Render(c.Text, c.Options), c.Tree) << c.Text;
}

TEST(FilterBlock, DateAndTimeConstantsFollowTheDateFormat)
{
    ShortDateFormat = "mm/dd/yyyy";
    DateSeparator = '/';
    TimeSeparator = ':';
    EXPECT_EQ(Render("Born >= '03/15/1999'"), "GE(Born#5,d:729828)");
    EXPECT_EQ(Render("At < '13:05'"), "LT(At#11,t:47100000)");
    EXPECT_EQ(Render("Stamp = '03/15/1999 13:05'"), "EQ(Stamp#12,ts:63057186300000)");
    EXPECT_THROW(Compile("Born = '15/03/1999'"), EConvertError);
}

TEST(FilterBlock, BcdConstantHasTheFieldsDecimals)
{
    const std::vector<Byte> block = Compile("Price = -12.345");
    const size_t constant = TBlockReader(block).W(8) + 6;  // after "Price\0"
    EXPECT_EQ(block[constant], 32);
    EXPECT_EQ(block[constant + 1], 0x80 | 2);
    // 32 digits, 2 after the point: ...0001235 -> the last three bytes hold 00 12 35.
    EXPECT_EQ(block[constant + 2 + 13], 0x00);
    EXPECT_EQ(block[constant + 2 + 14], 0x12);
    EXPECT_EQ(block[constant + 2 + 15], 0x35);
}

TEST(FilterBlock, LookupCriteriaBuildEqualityComparisons)
{
    TFilterExpr expr(FindTestField, {foCaseInsensitive, foNoPartialCompare});
    TExprNode* root = expr.NewBinaryNode(coAND, expr.NewFieldCompare("Qty", Variant(7), false),
                                         expr.NewFieldCompare("Name", Variant("Sm"), true));
    EXPECT_EQ(TBlockReader(expr.GetFilterData(root)).Render(), "AND(EQ(Qty#3,i:7),EQ[cip2](Name#1,'Sm'))");
    TExprNode* blank = expr.NewFieldCompare("Amount", Null(), false);
    EXPECT_EQ(TBlockReader(expr.GetFilterData(blank)).Render(), "ISBLANK(Amount#2)");
    TExprNode* amount = expr.NewFieldCompare("Amount", Variant(0.1), false);
    EXPECT_EQ(TBlockReader(expr.GetFilterData(amount)).Render(), "EQ(Amount#2,f:0.1)");
}

TEST(FilterBlock, InvalidTextsRaiseAClearError)
{
    const struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"", "Expression expected but nothing found"},
        {"Qty = ", "Expression expected but nothing found"},
        {"Qty = 5 AND", "Expression expected but nothing found"},
        {"Name = 'abc", "Unterminated string constant"},
        {"[Name = 'a'", "Unterminated field name"},
        {"Qty = 5 5", "Filter expression incorrectly terminated"},
        {"(Qty = 5", "')' expected but nothing found"},
        {"Nope = 1", "Field 'Nope' not found"},
        {"1 = 2", "Relational operators require a field and a constant"},
        {"Memo = 'x'", "Field 'Memo' cannot be used in a filter expression"},
        {"Qty", "Field 'Qty' is not of type Boolean"},
        {"5", "Incorrectly formed filter expression"},
        {"'a' IS NULL", "Incorrectly formed filter expression"},
        {"Qty IS 5", "Expression expected but '5' found"},
        {"Qty ! 5", "Invalid filter expression character: '!'"},
        {"Active = maybe", "Field 'maybe' not found"},
    };
    for (const auto& c : cases) {
        try {
            Compile(c.Text);
            ADD_FAILURE() << c.Text;
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message(), c.Message) << c.Text;
        }
    }
    EXPECT_THROW(Compile("Qty = 'abc'"), EConvertError);
}

}  // namespace
