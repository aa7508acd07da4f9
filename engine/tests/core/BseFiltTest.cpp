#include <gtest/gtest.h>

#include "engine/core/BseFilt.h"
#include "engine/tests/core/CanExprBuilder.h"
#include "engine/tests/support/CursorTestSupport.h"

namespace {

using Names = std::vector<std::string>;
using Op = TCanOperator;

// NAME (string 8), CODE (32-bit), NUM (16-bit); codes 1.. in the order given.
class FilterTest : public ::testing::Test {
protected:
    TFakeTablePtr table = MakeNameCodeTable({"Ann", "bob", "", "Dave"});

    TFilterListItem* Install(const TCanTree& tree, TFilterCallback callback = nullptr)
    {
        const std::vector<Byte> block = CanBlock(tree);
        TFilterListItem* filter = table->AddFilter(0, 0, false, block.data(), callback);
        table->ActivateFilter(filter);
        return filter;
    }

    Names Visible(const TCanTree& tree)
    {
        TFilterListItem* filter = Install(tree);
        table->Open();
        Names names = Rest(*table);
        table->DropFilter(filter);
        return names;
    }
};

TEST_F(FilterTest, ComparisonsOfAFieldWithAConstant)
{
    EXPECT_EQ(Visible(CanBinary(Op::Equal, CanField("NAME"), CanText("bob"))), (Names{"bob"}));
    EXPECT_EQ(Visible(CanBinary(Op::Greater, CanField("CODE"), CanConst<int32_t>(fldINT32, 2))), (Names{"", "Dave"}));
    EXPECT_EQ(Visible(CanBinary(Op::LessOrEqual, CanField("code"), CanConst<int32_t>(fldINT32, 2))),
              (Names{"Ann", "bob"}));
    EXPECT_EQ(Visible(CanBinary(Op::NotEqual, CanField("NAME"), CanText("bob"))), (Names{"", "Ann", "Dave"}));
}

TEST_F(FilterTest, CompareNodeIgnoresCaseAndComparesAPartialLength)
{
    EXPECT_EQ(Visible(CanCompare(Op::Equal, CanField("NAME"), CanText("BOB"), true, 0)), (Names{"bob"}));
    EXPECT_EQ(Visible(CanCompare(Op::Equal, CanField("NAME"), CanText("Dav"), false, 3)), (Names{"Dave"}));
    EXPECT_EQ(Visible(CanCompare(Op::Equal, CanField("NAME"), CanText("dav"), false, 3)), (Names{}));
}

TEST_F(FilterTest, AndOrNotAndBlankTests)
{
    const TCanTree isBob = CanBinary(Op::Equal, CanField("NAME"), CanText("bob"));
    const TCanTree codeOver1 = CanBinary(Op::Greater, CanField("CODE"), CanConst<int32_t>(fldINT32, 1));
    EXPECT_EQ(Visible(CanBinary(Op::And, codeOver1, CanUnary(Op::Not, isBob))), (Names{"", "Dave"}));
    EXPECT_EQ(Visible(CanBinary(Op::Or, isBob, CanUnary(Op::IsBlank, CanField("NAME")))), (Names{"", "bob"}));
    EXPECT_EQ(Visible(CanUnary(Op::NotBlank, CanField("NAME"))), (Names{"Ann", "Dave", "bob"}));
    // NUM holds 0 in every record: all zero bytes count as blank like an empty string.
    EXPECT_EQ(Visible(CanUnary(Op::IsBlank, CanField("NUM"))).size(), 4u);
    EXPECT_EQ(Visible(CanContinue(false)), (Names{}));
    EXPECT_EQ(Visible(CanContinue(true)).size(), 4u);
}

TEST_F(FilterTest, FieldRootAcceptsEveryReadableRecordAndFieldValuesCountOnlyUnderAndOr)
{
    EXPECT_EQ(Visible(CanField("NUM")).size(), 4u);
    EXPECT_EQ(Visible(CanBinary(Op::Or, CanField("NUM"), CanField("CODE"))).size(), 4u);
    EXPECT_EQ(Visible(CanBinary(Op::And, CanField("NUM"), CanContinue(true))), (Names{}));
    table->FailingField = 3;
    EXPECT_EQ(Visible(CanField("NUM")), (Names{}));
    EXPECT_EQ(Visible(CanUnary(Op::Not, CanField("NUM"))).size(), 4u);
}

TEST_F(FilterTest, AndWithAFalseFirstOperandNeverReadsTheSecond)
{
    Install(CanBinary(Op::And, CanContinue(false), CanField("CODE")));
    table->FieldReads = 0;
    EXPECT_EQ(Rest(*table), (Names{}));
    EXPECT_EQ(table->FieldReads, 0);
}

TEST_F(FilterTest, CallbackDecidesFirst)
{
    Install(CanBinary(Op::Equal, CanField("CODE"), CanConst<int32_t>(fldINT32, 2)), EvenCodes);
    table->FieldReads = 0;
    EXPECT_EQ(Rest(*table), (Names{"bob"}));
    EXPECT_EQ(table->FieldReads, 2);  // codes 2 and 4 only
}

TEST_F(FilterTest, ValuesOfDifferentTypesCompareAsTexts)
{
    // 16-bit 42 reads "00042", 32-bit 42 reads "0000000042".
    table->Add({"Num", "9", "42"});
    EXPECT_EQ(Visible(CanBinary(Op::Equal, CanField("NUM"), CanConst<int32_t>(fldINT32, 42))), (Names{}));
    EXPECT_EQ(Visible(CanBinary(Op::Equal, CanField("NUM"), CanConst<int16_t>(fldINT16, 42))), (Names{"Num"}));
    EXPECT_EQ(Visible(CanBinary(Op::Equal, CanField("CODE"), CanText("0000000009"))), (Names{"Num"}));
    // A name that is no field compares as its text without double quotes.
    EXPECT_EQ(Visible(CanBinary(Op::Equal, CanField("\"Dave\""), CanText("Dave"))).size(), 5u);
    EXPECT_EQ(Visible(CanBinary(Op::Equal, CanField("NAME"), CanField("\"Dave\""))), (Names{"Dave"}));
}

TEST_F(FilterTest, FiltersOfACursorMustAllAccept)
{
    Install(CanBinary(Op::Greater, CanField("CODE"), CanConst<int32_t>(fldINT32, 1)));
    Install(CanBinary(Op::Less, CanField("CODE"), CanConst<int32_t>(fldINT32, 4)));
    EXPECT_EQ(Rest(*table), (Names{"", "bob"}));
}

TEST(FilterText, ValuesAsTexts)
{
    auto text = [](Word type, auto value) {
        TFilterValue v{};
        std::memcpy(v.Data, &value, sizeof value);
        v.Type = type;
        v.Size = sizeof value;
        return FilterValueToText(v, 255);
    };
    EXPECT_EQ(text(fldINT16, int16_t(-42)), "-00042");
    EXPECT_EQ(text(fldINT32, int32_t(7)), "0000000007");
    EXPECT_EQ(text(fldBOOL, int16_t(-1)), "1");
    EXPECT_EQ(text(fldFLOAT, 1.5), "1.50");
    EXPECT_EQ(text(fldUINT32, 5u), "");
}

// ---- blocks the evaluator refuses

class FilterBlockTest : public ::testing::Test {
protected:
    TFakeTablePtr table = MakeNameCodeTable({"A"});

    Word AddError(const std::vector<Byte>& block)
    {
        return ErrorOf([&] { table->AddFilter(0, 0, false, block.data(), nullptr); });
    }
};

TEST_F(FilterBlockTest, ArithmeticAndUnknownNodesAreRefused)
{
    const TCanTree sum = CanBinary(Op::Add, CanField("CODE"), CanConst<int32_t>(fldINT32, 1));
    EXPECT_EQ(AddError(CanBlock(CanBinary(Op::Equal, sum, CanConst<int32_t>(fldINT32, 2)))), DBIERR_NOTSUPPORTED);
    EXPECT_EQ(AddError(CanBlock(CanCompare(Op::And, CanField("CODE"), CanField("CODE"), false, 0))),
              DBIERR_NOTSUPPORTED);
    TCanTree tuple = CanContinue(true);
    tuple.Class = TCanNodeClass::Tuple;
    EXPECT_EQ(AddError(CanBlock(tuple)), DBIERR_NOTSUPPORTED);
    EXPECT_EQ(table->Filters()->Count(), 0);
}

TEST_F(FilterBlockTest, OffsetsOutsideTheBlockAreRefused)
{
    const std::vector<Byte> good = CanBlock(CanBinary(Op::Equal, CanField("NAME"), CanText("A")));
    EXPECT_EQ(AddError(good), 0);
    auto patched = [&](size_t at, Word value) {
        std::vector<Byte> block = good;
        block[at] = Byte(value);
        block[at + 1] = Byte(value >> 8);
        return block;
    };
    const size_t root = CANHdrSize;
    EXPECT_EQ(AddError(patched(root + 10, 0x4000)), DBIERR_INVALIDPARAM);  // second operand past the end
    EXPECT_EQ(AddError(patched(root + 8, 0)), DBIERR_INVALIDPARAM);        // an operand pointing back at the root
    EXPECT_EQ(AddError(patched(8, 0x7000)), DBIERR_INVALIDPARAM);          // literal pool past the end
    EXPECT_EQ(AddError(patched(2, 4)), DBIERR_INVALIDPARAM);               // total smaller than the header
    const size_t constant = root + 12 + 12;                                // root, then the field node
    EXPECT_EQ(AddError(patched(constant + 10, 300)), DBIERR_NOTSUPPORTED); // constant larger than a value
    EXPECT_EQ(AddError(patched(constant + 12, 0x6000)), DBIERR_INVALIDPARAM);
}

TEST_F(FilterBlockTest, EmptyBlockMeansNoExpression)
{
    const std::vector<Byte> block(CANHdrSize, 0);
    TFilterListItem* filter = table->AddFilter(0, 0, false, block.data(), nullptr);
    EXPECT_EQ(filter->Expression(), nullptr);
    table->ActivateFilter(filter);
    EXPECT_EQ(Rest(*table), (Names{"A"}));
}

}  // namespace
