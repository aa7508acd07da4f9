// The filter-text compiler: blocks written for texts (node order, operators, constants of every field type), the
// refusals, and filters installed on the engine's in-memory table through the facade.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FilterTestSupport.h"
#include "db/Bcd.h"
#include "engine/core/BseCanExpr.h"
#include "engine/core/BseFilt.h"
#include "rtl/DateTime.h"
#include "rtl/Exceptions.h"
#include "rtl/Format.h"
#include "rtl/FormatSettings.h"
#include "vcl/TestHelpers.h"
#include "vxdata/vxStacks.h"
#include "vxdata/vxfilter.h"

namespace {

using namespace filtertest;
using Names = std::vector<std::string>;

template <typename T>
T Load(const std::vector<Byte>& block, size_t at)
{
    T value;
    std::memcpy(&value, block.data() + at, sizeof value);
    return value;
}

template <typename T>
std::string Hex(T value)
{
    std::string text;
    const auto* bytes = reinterpret_cast<const Byte*>(&value);
    for (size_t i = 0; i < sizeof value; ++i) text += Format("%.2X", {Integer(bytes[i])});
    return text;
}

std::string HexOf(const std::vector<Byte>& block, size_t at, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; ++i) text += Format("%.2X", {Integer(block.at(at + i))});
    return text;
}

const char* OperatorText(Cardinal op)
{
    switch (op) {
    case 3: return "=";
    case 4: return "<>";
    case 5: return ">";
    case 6: return "<";
    case 7: return ">=";
    case 8: return "<=";
    case 10: return "AND";
    case 11: return "OR";
    case 16: return "+";
    case 17: return "-";
    case 18: return "*";
    case 19: return "/";
    default: return "?";
    }
}

const char* TypeText(Word type)
{
    switch (type) {
    case fldZSTRING: return "string";
    case fldDATE: return "date";
    case fldBOOL: return "bool";
    case fldINT16: return "int16";
    case fldINT32: return "int32";
    case fldFLOAT: return "float";
    case fldBCD: return "bcd";
    case fldTIME: return "time";
    case fldTIMESTAMP: return "stamp";
    case fldUINT16: return "uint16";
    default: return "?";
    }
}

// The block's nodes in slot order, "|"-separated: binary nodes as "op left right" (node offsets), field nodes as
// "field number name", constants as "type hex" (strings as "string 'text'"). The header, the zero filling of the
// slots and the literal pool's use are checked on the way.
std::string Dump(const std::vector<Byte>& block)
{
    if (block.empty()) return "nil";
    const auto header = Load<CANHdr>(block, 0);
    const size_t nodes = header.iNodes;
    EXPECT_EQ(header.iVer, 1);
    EXPECT_EQ(header.iTotalSize, block.size());
    EXPECT_EQ(header.iNodeStart, 10);
    EXPECT_EQ(header.iLiteralStart, 10 + 14 * nodes);
    size_t literalBytes = 0;
    std::string text;
    for (size_t slot = 0; slot < nodes; ++slot) {
        const size_t at = 10 + 14 * slot;
        const auto node = Load<CANNode>(block, at);
        size_t used = 0;
        if (!text.empty()) text += " | ";
        if (node.nodeClass == TCanNodeClass::Binary) {
            const auto binary = Load<CANBinary>(block, at);
            text += Format("%s %d %d", {OperatorText(Cardinal(binary.canOp)), Integer(binary.iOperand1),
                                        Integer(binary.iOperand2)});
            used = sizeof binary;
        } else if (node.nodeClass == TCanNodeClass::Field) {
            const auto field = Load<CANField>(block, at);
            EXPECT_EQ(field.canOp, TCanOperator::Field);
            const char* name = reinterpret_cast<const char*>(block.data() + header.iLiteralStart + field.iNameOffset);
            text += Format("field %d %s", {Integer(field.iFieldNum), std::string(name)});
            literalBytes += std::strlen(name) + 1;
            used = sizeof field;
        } else if (node.nodeClass == TCanNodeClass::Constant) {
            const auto constant = Load<CANConst>(block, at);
            EXPECT_EQ(constant.canOp, TCanOperator::Constant);
            const size_t value = header.iLiteralStart + constant.iOffset;
            if (constant.iType == fldZSTRING) {
                const std::string s(reinterpret_cast<const char*>(block.data() + value));
                EXPECT_EQ(constant.iSize, s.size() + 1);
                text += "string '" + s + "'";
            } else {
                text += std::string(TypeText(constant.iType)) + " " + HexOf(block, value, constant.iSize);
            }
            literalBytes += constant.iSize;
            used = sizeof constant;
        } else {
            text += "class " + std::to_string(Cardinal(node.nodeClass));
        }
        for (size_t i = used; i < 14; ++i) EXPECT_EQ(block[at + i], 0) << "slot " << slot << " byte " << i;
    }
    EXPECT_EQ(literalBytes, block.size() - header.iLiteralStart);
    return text;
}

class FilterCompiler : public TypesFixture {
protected:
    void SetUp() override
    {
        TypesFixture::SetUp();
        savedDateFormat_ = ShortDateFormat;
        savedDateSeparator_ = DateSeparator;
        savedDecimalSeparator_ = DecimalSeparator;
        ShortDateFormat = "m/d/yyyy";
        DateSeparator = '/';
        DecimalSeparator = '.';
    }
    void TearDown() override
    {
        ShortDateFormat = savedDateFormat_;
        DateSeparator = savedDateSeparator_;
        DecimalSeparator = savedDecimalSeparator_;
        TypesFixture::TearDown();
    }

    std::string Compiled(const std::string& text) { return Dump(vxCompileFilter(text, dataSet.get())); }

    // Installs the text through the facade and lists the records the table shows.
    Names Visible(const std::string& text)
    {
        TFilterListItem* filter = nullptr;
        EXPECT_TRUE(vxApplyTableFilter(text, dataSet.get(), filter, false)) << text;
        Names names = dataSet->Names();
        vxRemoveFilter(dataSet.get(), filter);
        return names;
    }

    void AddPeople()
    {
        Add("Ann", {{"Qty", "3"}, {"Amount", "-2.5"}, {"Day", "3/1/2024"}, {"Paid", "True"}, {"Total", "10.25"},
                    {"Hour", "08:30:00"}, {"Stamp", "3/1/2024 08:30:00"}, {"Small", "7"}, {"Count", "7"}});
        Add("Bob", {{"Qty", "12"}, {"Amount", "-2"}, {"Day", "3/2/2024"}, {"Paid", "False"}, {"Total", "99.5"},
                    {"Hour", "17:00:00"}, {"Stamp", "3/2/2024 17:00:00"}, {"Small", "-7"}, {"Count", "9"}});
        Add("Cy", {{"Qty", "7"}, {"Amount", "100.75"}, {"Day", "2/28/2024"}, {"Paid", "True"}, {"Total", "10.2"},
                   {"Hour", "12:00:00"}, {"Stamp", "3/1/2024 12:00:00"}, {"Small", "0"}, {"Count", "0"}});
    }

    std::string savedDateFormat_;
    char savedDateSeparator_ = '/';
    char savedDecimalSeparator_ = '.';
};

TEST(FilterStacks, PopGivesTheLastPushedAndNothingWhenEmpty)
{
    TStackStr symbols;
    symbols.Push("E");
    symbols.Push("=");
    EXPECT_EQ(symbols.Pop(), "=");
    EXPECT_EQ(symbols.Count(), 1);
    EXPECT_EQ(symbols.Pop(), "E");
    EXPECT_EQ(symbols.Pop(), "");
    TStackPtr nodes;
    TNode a(nkOperand, "a"), b(nkOperand, "b");
    nodes.Push(&a);
    nodes.Push(&b);
    EXPECT_EQ(nodes.Pop(), &b);
    EXPECT_EQ(nodes.Pop(), &a);
    EXPECT_EQ(nodes.Pop(), nullptr);
}

TEST_F(FilterCompiler, AComparisonIsWrittenPostOrderWithTheRootFirst)
{
    const std::vector<Byte> block = vxCompileFilter("Qty = 5", dataSet.get());
    const std::vector<Byte> expected = {
        1, 0, 60, 0, 3, 0, 10, 0, 52, 0,                     // header: version, size, nodes, node and literal start
        2, 0, 0, 0, 3, 0, 0, 0, 28, 0, 14, 0, 0, 0,          // 0: binary =, left at 28, right at 14
        5, 0, 0, 0, 14, 0, 0, 0, 6, 0, 4, 0, 4, 0,           // 14: constant int32, 4 bytes at 4
        4, 0, 0, 0, 13, 0, 0, 0, 1, 0, 0, 0, 0, 0,           // 28: field 1, name at 0
        'Q', 't', 'y', 0, 5, 0, 0, 0};                       // literals: "Qty", 5
    EXPECT_EQ(block, expected);
}

TEST_F(FilterCompiler, TextsCompileToTheirTrees)
{
    const std::pair<const char*, std::string> cases[] = {
        {"Name = \"Smith\"", "= 28 14 | string 'Smith' | field 1 Name"},
        {"Name = Smith   ", "= 28 14 | string 'Smith' | field 1 Name"},
        {"name = \"Mc Smith \"", "= 28 14 | string 'Mc Smith ' | field 1 name"},
        {"Qty<>5", "<> 28 14 | int32 05000000 | field 1 Qty"},
        {"Qty <= 5", "<= 28 14 | int32 05000000 | field 1 Qty"},
        {"Qty >= 5", ">= 28 14 | int32 05000000 | field 1 Qty"},
        {"Qty < 5", "< 28 14 | int32 05000000 | field 1 Qty"},
        {"Qty > 5", "> 28 14 | int32 05000000 | field 1 Qty"},
        // AND and OR share one precedence and group from the left.
        {"Qty > 100 AND Name = X OR Qty < 5",
         "OR 56 14 | < 42 28 | int32 05000000 | field 3 Qty | AND 112 70 | = 98 84 | string 'X' | field 2 Name | "
         "> 140 126 | int32 64000000 | field 1 Qty"},
        {"Qty > 1 and (Name = X or Name = Y)",
         "AND 112 14 | OR 70 28 | = 56 42 | string 'Y' | field 3 Name | = 98 84 | string 'X' | field 2 Name | "
         "> 140 126 | int32 01000000 | field 1 Qty"},
        // A name right of an operator ends before a blank-delimited AND or OR, not at a word that starts so.
        {"Name = X OR Qty < 5", "OR 56 14 | < 42 28 | int32 05000000 | field 2 Qty | = 84 70 | string 'X' | field 1 Name"},
        {"Name = Oregon", "= 28 14 | string 'Oregon' | field 1 Name"},
        {"(Name) = Oregon", "= 28 14 | string 'Oregon' | field 1 Name"},
        {"Name = Tim ORDER", "= 28 14 | string 'Tim ORDER' | field 1 Name"},
        {"Name = (Ann OR Bob)", "= 28 14 | string 'Ann OR Bob' | field 1 Name"},
        // Arithmetic groups from the left; only a field on the left types the right side.
        {"(Qty) - (5) - (2)", "- 28 14 | field 2 2 | - 56 42 | int32 05000000 | field 1 Qty"},
        {"(Qty) / (5) / (2)", "/ 28 14 | field 2 2 | / 56 42 | int32 05000000 | field 1 Qty"},
        {"Qty - 5 - 2", "field 1 Qty - 5 - 2"},
        // The rest after a complete expression is ignored.
        {"Qty = 5 xyz", "= 28 14 | int32 05000000 | field 1 Qty"},
        // Where a logical operator may follow, a word starting with OR is one ("ORDER" gives OR DER).
        {"Qty = 5 ORDER", "OR 28 14 | field 2 DER | = 56 42 | int32 05000000 | field 1 Qty"},
        // A field of a type without constants: the right side is a field node named after the text.
        {"Id = 5", "= 28 14 | field 2 5 | field 1 Id"},
        // A minus sign before a digit reads a number.
        {"Amount > -2.5", "> 28 14 | float " + Hex(-2.5) + " | field 1 Amount"},
    };
    for (const auto& [text, tree] : cases) EXPECT_EQ(Compiled(text), tree) << text;
}

TEST_F(FilterCompiler, ConstantsTakeTheTypeOfTheFieldOnTheLeft)
{
    TBcd bcd;
    ASSERT_TRUE(CurrToBCD(Currency(10.25), bcd, 32, 2));
    const std::string bcdHex = HexOf(std::vector<Byte>(reinterpret_cast<Byte*>(&bcd),
                                                       reinterpret_cast<Byte*>(&bcd) + sizeof bcd), 0, sizeof bcd);
    const TDateTime day = EncodeDate(2024, 3, 1);
    const TDateTime stamp = day + EncodeTime(8, 30, 0, 0);
    const std::pair<const char*, std::string> cases[] = {
        {"Small = -7", "int16 F9FF"},
        {"Count = 65535", "uint16 FFFF"},
        {"Qty = 70000", "int32 70110100"},
        {"Amount = 2.5", "float " + Hex(2.5)},
        {"Price = 12", "float " + Hex(12.0)},
        {"Total = 10.25", "bcd " + bcdHex},
        {"Day = \"3/1/2024\"", "date " + Hex(DateTimeToTimeStamp(day).Date)},
        {"Hour = \"08:30:00\"", "time " + Hex(Integer(8.5 * 3600000))},
        {"Stamp = \"3/1/2024 08:30:00\"", "stamp " + Hex(TimeStampToMSecs(DateTimeToTimeStamp(stamp)))},
        {"Stamp = \"3/1/2024\"", "stamp " + Hex(TimeStampToMSecs(DateTimeToTimeStamp(day)))},
        {"Paid = True", "bool FFFF"},
        {"Paid = t", "bool FFFF"},
        {"Paid = \"True\"", "bool FFFF"},
        {"Paid = False", "bool 0000"},
        {"Paid = yes", "bool 0000"},
    };
    for (const auto& [text, constant] : cases) {
        const std::string tree = Compiled(text);
        const size_t first = tree.find(" | ") + 3;
        EXPECT_EQ(tree.substr(first, tree.rfind(" | ") - first), constant) << text;
    }
}

TEST_F(FilterCompiler, ALeftSideThatIsNoFieldIsRefusedWithAWarning)
{
    TScriptedDialogs dialogs;
    EXPECT_EQ(Compiled("100 < Qty"), "nil");
    EXPECT_EQ(Compiled("Qty = 1 AND Nobody = 2"), "nil");
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Text, "100\rField not found in Table. ");
    EXPECT_EQ(dialogs.Shown[0].Type, mtWarning);
    EXPECT_EQ(dialogs.Shown[0].Buttons, TMsgDlgButtons{mbOK});
    EXPECT_EQ(dialogs.Shown[1].Text, "Nobody\rField not found in Table. ");
}

TEST_F(FilterCompiler, TextsThatDoNotParseGiveNoBlockAndNoMessage)
{
    TScriptedDialogs dialogs;
    for (const char* text : {"", "   ", "Qty =", "(Qty = 1", "Qty = 1 AND", "\"open"})
        EXPECT_EQ(Compiled(text), "nil") << text;
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(FilterCompiler, ParenthesesNestDeepAsTheEngineEvaluatesAndNoDeeper)
{
    auto nested = [](Integer depth) { return std::string(depth, '(') + "Qty = 1" + std::string(depth, ')'); };
    EXPECT_EQ(Compiled(nested(256)), "= 28 14 | int32 01000000 | field 1 Qty");
    EXPECT_EQ(Compiled(nested(257)), "nil");
    EXPECT_EQ(Compiled(nested(100000)), "nil");
}

TEST_F(FilterCompiler, AConstantThatDoesNotConvertRaisesTheConversionError)
{
    for (const char* text : {"Qty = abc", "Qty > 1 OR Small = x", "Amount = x", "Total = 99999999999999999",
                             "Day = \"2/30/2024\"", "Hour = \"25:00\"", "Stamp = \"3/1/2024 x\""})
        EXPECT_THROW(vxCompileFilter(text, dataSet.get()), EConvertError) << text;
    TFilterListItem* filter = nullptr;
    EXPECT_THROW(vxApplyTableFilter("Qty = abc", dataSet.get(), filter, false), EConvertError);
    EXPECT_EQ(filter, nullptr);
}

TEST_F(FilterCompiler, AFilterLargerThanTheBlockLayoutAllowsIsRefused)
{
    // Each term takes 3 nodes (42 bytes), "Name" and a constant of 40 characters (46 bytes): 88 bytes.
    auto terms = [](Integer count) {
        std::string text = "Name = \"" + std::string(40, 'x') + "\"";
        for (Integer i = 1; i < count; ++i) text += " OR Name = \"" + std::string(40, 'x') + "\"";
        return text;
    };
    // n terms and n - 1 OR nodes: 88n + 14(n - 1) + 10 bytes.
    const std::vector<Byte> fits = vxCompileFilter(terms(642), dataSet.get());
    ASSERT_FALSE(fits.empty());
    EXPECT_EQ(fits.size(), 88u * 642 + 14 * 641 + 10);
    EXPECT_TRUE(vxCompileFilter(terms(643), dataSet.get()).empty());
    TFilterListItem* filter = nullptr;
    EXPECT_FALSE(vxApplyTableFilter(terms(700), dataSet.get(), filter, false));
    EXPECT_EQ(filter, nullptr);
}

TEST_F(FilterCompiler, CompiledFiltersSelectRecordsOnTheInMemoryTable)
{
    AddPeople();
    EXPECT_EQ(dataSet->Names(), (Names{"Ann", "Bob", "Cy"}));
    const std::pair<const char*, Names> cases[] = {
        {"Name = Bob", {"Bob"}},
        {"Name = \"Bob\"", {"Bob"}},
        {"Name <> Bob", {"Ann", "Cy"}},
        {"Qty > 5", {"Bob", "Cy"}},
        {"Qty >= 7 AND Qty <= 7", {"Cy"}},
        {"Qty = 3 OR Qty = 12", {"Ann", "Bob"}},
        {"Qty > 1 AND (Name = Ann OR Name = Cy)", {"Ann", "Cy"}},
        {"Name = Ann OR Qty > 5", {"Ann", "Bob", "Cy"}},
        {"Small < 0", {"Bob"}},
        {"Count = 9", {"Bob"}},
        {"Count < 9", {"Ann", "Cy"}},
        {"Amount > -2.5", {"Bob", "Cy"}},
        {"Amount < -2", {"Ann"}},
        {"Total = 10.25", {"Ann"}},
        {"Total > 10.2", {"Ann", "Bob"}},
        {"Day = \"3/1/2024\"", {"Ann"}},
        {"Day < \"3/1/2024\"", {"Cy"}},
        {"Hour > \"12:00:00\"", {"Bob"}},
        {"Stamp = \"3/1/2024 08:30:00\"", {"Ann"}},
        {"Stamp >= \"3/1/2024\" AND Stamp < \"3/2/2024\"", {"Ann", "Cy"}},
        {"Paid = True", {"Ann", "Cy"}},
        {"Paid = F", {"Bob"}},
    };
    for (const auto& [text, names] : cases) {
        Names visible;
        EXPECT_NO_THROW(visible = Visible(text)) << text;
        EXPECT_EQ(visible, names) << text;
    }
}

TEST_F(FilterCompiler, InstallingAndRemovingFiltersThroughTheFacade)
{
    AddPeople();
    TFilterListItem* filter = nullptr;
    ASSERT_TRUE(vxApplyTableFilter("Qty > 5", dataSet.get(), filter, false));
    ASSERT_NE(filter, nullptr);
    EXPECT_TRUE(filter->Active());
    EXPECT_GT(dataSet->FieldByName("Qty")->AsInteger(), 5) << "the table is refreshed";
    EXPECT_EQ(dataSet->Names(), (Names{"Bob", "Cy"}));

    ASSERT_TRUE(vxApplyTableFilter("Qty < 5", dataSet.get(), filter, false));
    EXPECT_EQ(dataSet->Names(), (Names{"Ann"})) << "the new filter replaces the old one";

    TScriptedDialogs dialogs;
    TFilterListItem* const installed = filter;
    EXPECT_FALSE(vxApplyTableFilter("Nobody = 1", dataSet.get(), filter, false));
    EXPECT_EQ(filter, installed) << "a text that does not compile keeps the filter in place";
    EXPECT_EQ(dataSet->Names(), (Names{"Ann"}));

    EXPECT_FALSE(vxApplyTableFilter("(Qty) - (5) = 2", dataSet.get(), filter, false));
    EXPECT_EQ(filter, nullptr) << "the engine evaluates no arithmetic and refuses the filter";
    EXPECT_EQ(dataSet->Names(), (Names{"Ann", "Bob", "Cy"})) << "the previous filter was removed before";

    ASSERT_TRUE(vxApplyTableFilter("Qty < 5", dataSet.get(), filter, false));
    EXPECT_TRUE(vxApplyTableFilter("", dataSet.get(), filter, false));
    EXPECT_EQ(filter, nullptr);
    EXPECT_EQ(dataSet->RecordCount(), 3) << "an empty text removes the filter and refreshes";
}

TEST_F(FilterCompiler, AClosedTableOnlyClearsTheHandleUnlessAskedToApply)
{
    AddPeople();
    TFilterListItem* filter = reinterpret_cast<TFilterListItem*>(1);
    dataSet->Close();
    EXPECT_TRUE(vxApplyTableFilter("Qty > 5", dataSet.get(), filter, false));
    EXPECT_EQ(filter, nullptr);
    TScriptedDialogs dialogs;
    EXPECT_FALSE(vxApplyTableFilter("Qty > 5", dataSet.get(), filter, true)) << "no fields and no cursor";
    EXPECT_EQ(filter, nullptr);
}

// Accepts the records whose Name starts with A or C, reading them through the dataset given as client data.
Word __stdcall AOrC(uintptr_t clientData, void* record, Integer)
{
    auto* dataSet = reinterpret_cast<TTypesDataset*>(clientData);
    EXPECT_NE(dataSet->Handle(), nullptr);
    const char first = *static_cast<const char*>(record);
    return first == 'A' || first == 'C';
}

TEST_F(FilterCompiler, CallbackFiltersAreReplacedAndRemoved)
{
    AddPeople();
    TFilterListItem* filter = nullptr;
    ASSERT_TRUE(vxInstallCallbackFilter(AOrC, dataSet.get(), filter));
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->ClientData(), reinterpret_cast<uintptr_t>(dataSet.get()));
    EXPECT_NE(dataSet->FieldByName("Name")->AsString(), "Bob") << "the dataset is resynchronised";
    EXPECT_EQ(dataSet->Names(), (Names{"Ann", "Cy"}));

    TFilterListItem* expression = nullptr;
    ASSERT_TRUE(vxApplyTableFilter("Qty > 5", dataSet.get(), expression, false));
    EXPECT_EQ(dataSet->Names(), (Names{"Cy"})) << "both filters hold";
    vxRemoveFilter(dataSet.get(), expression);
    EXPECT_EQ(expression, nullptr);

    EXPECT_TRUE(vxInstallCallbackFilter(nullptr, dataSet.get(), filter));
    EXPECT_EQ(filter, nullptr);
    EXPECT_EQ(dataSet->RecordCount(), 3);

    dataSet->Close();
    EXPECT_FALSE(vxInstallCallbackFilter(AOrC, dataSet.get(), filter)) << "a closed dataset has no cursor";
    EXPECT_EQ(filter, nullptr);
}

}  // namespace
