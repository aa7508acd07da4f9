// The locate scan over an in-memory table with a calculated field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/BinaryFields.h"
#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "db/NumericFields.h"
#include "db/StringField.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxdata/Vxlocate.h"

namespace {

// Counts the moves the table's controls hear of.
class TScrollCounter : public TDataLink {
public:
    Integer Scrolls = 0;

protected:
    void DataSetScrolled(Integer) override { ++Scrolls; }
    void DataSetChanged() override { ++Scrolls; }
};

class LocateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table = new TMemDataSet(nullptr);
        table->FieldDefs()->Add("Last", ftString, 12);
        table->FieldDefs()->Add("First", ftString, 12);
        table->FieldDefs()->Add("Rate", ftFloat);
        for (const char* name : {"Last", "First"}) {
            auto* field = CreateObject<TStringField>(table);
            field->SetFieldName(name);
            field->SetSize(12);
            field->SetDataSet(table);
        }
        auto* rate = CreateObject<TFloatField>(table);
        rate->SetFieldName("Rate");
        rate->SetDataSet(table);
        auto* full = CreateObject<TStringField>(table);
        full->SetFieldName("LastCommaFirst");
        full->SetSize(26);
        full->SetFieldKind(fkCalculated);
        full->SetDataSet(table);
        table->OnCalcFields = [](TDataSet* ds) {
            ds->FieldByName("LastCommaFirst")
                ->SetAsString(ds->FieldByName("Last")->AsString() + ", " + ds->FieldByName("First")->AsString());
        };
        table->Open();
        table->AppendRecord({Variant("Smith"), Variant("Anna"), Variant(2.5)});
        table->AppendRecord({Variant("Jones"), Variant("Bob"), Variant(1.0)});
        table->AppendRecord({Variant("Smithers"), Variant("Carl"), Variant(3.25)});
        table->AppendRecord({Variant("Brown"), Variant("Dora"), Variant(2.5)});
        table->First();
        source = new TDataSource(nullptr);
        source->SetDataSet(table);
        counter.SetDataSource(source);
    }
    void TearDown() override
    {
        counter.SetDataSource(nullptr);
        source->Free();
        table->Free();
    }
    std::string Last() { return table->FieldByName("Last")->AsString(); }

    TScriptedDialogs dialogs;
    TMemDataSet* table = nullptr;
    TDataSource* source = nullptr;
    TScrollCounter counter;
};

TEST(LocateText, MatchRules)
{
    struct TCase {
        std::string text, search;
        Integer matchType;
        bool caseSensitive, matches;
    };
    const std::vector<TCase> cases = {
        {"Smith", "SMITH", mtExactMatch, false, true},
        {"Smithers", "SMITH", mtExactMatch, false, false},
        {"Smith", "Smith", mtExactMatch, true, true},
        {"smith", "Smith", mtExactMatch, true, false},
        {"", "", mtExactMatch, false, true},
        {"Smithers", "SMI", mtPartialMatchStart, false, true},
        {"Goldsmith", "SMI", mtPartialMatchStart, false, false},
        {"Goldsmith", "SMI", mtPartialMatchAny, false, true},
        {"Goldsmith", "Smi", mtPartialMatchAny, true, false},
        {"Smith", "SMITH", 3, false, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(vxLocateTextMatches(c.text, c.search, c.matchType, c.caseSensitive), c.matches)
            << c.text << " / " << c.search << " / " << c.matchType;
}

TEST_F(LocateTest, ACalculatedFieldIsScannedRecordByRecordWithTheControlsStill)
{
    EXPECT_TRUE(vxLocateValue(true, table, "LastCommaFirst", false, mtPartialMatchStart, "smithers, c"));
    EXPECT_EQ(Last(), "Smithers");
    EXPECT_EQ(counter.Scrolls, 2) << "the controls hear of the first record and the match, not of the records between";
    // From the current record the scan looks after it.
    table->First();
    EXPECT_TRUE(vxLocateValue(false, table, "LastCommaFirst", false, mtPartialMatchAny, "SMITH"));
    EXPECT_EQ(Last(), "Smithers");
}

TEST_F(LocateTest, NothingFoundLeavesTheTableWhereItWas)
{
    table->MoveBy(1);
    counter.Scrolls = 0;
    EXPECT_FALSE(vxLocateValue(true, table, "LastCommaFirst", false, mtExactMatch, "Smith"));
    EXPECT_EQ(Last(), "Jones");
    EXPECT_FALSE(vxLocateValue(true, table, "Last", true, mtExactMatch, "smith"));
    EXPECT_EQ(Last(), "Jones");
}

TEST_F(LocateTest, AnExactSearchOnANumberComparesNumbers)
{
    table->Last();
    EXPECT_TRUE(vxLocateValue(true, table, "Rate", false, mtExactMatch, "2.50"));
    EXPECT_EQ(Last(), "Smith");
    EXPECT_TRUE(vxLocateValue(false, table, "Rate", false, mtExactMatch, "2.5"));
    EXPECT_EQ(Last(), "Brown");
    EXPECT_FALSE(vxLocateValue(true, table, "Rate", false, mtExactMatch, "abc"));
    EXPECT_EQ(Last(), "Brown");
}

TEST_F(LocateTest, AMissingFieldIsReported)
{
    EXPECT_FALSE(vxLocateValue(true, table, "Nope", false, mtExactMatch, "x"));
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Field Nope not found.");
    EXPECT_EQ(dialogs.Shown[0].Type, mtWarning);
}

// Memos are matched on their text; rich text on its plain text.
TEST(LocateMemo, RichTextIsSearchedInItsPlainText)
{
    TScriptedDialogs dialogs;
    TMemDataSet table(nullptr);
    table.FieldDefs()->Add("Code", ftString, 4);
    table.FieldDefs()->Add("Note", ftMemo);
    auto* code = CreateObject<TStringField>(&table);
    code->SetFieldName("Code");
    code->SetSize(4);
    code->SetDataSet(&table);
    auto* note = CreateObject<TMemoField>(&table);
    note->SetFieldName("Note");
    note->SetDataSet(&table);
    table.Open();
    table.AppendRecord({Variant("A1"), Variant("a plain note about apples")});
    table.AppendRecord({Variant("B2"), Variant("{\\rtf1\\ansi rich {\\b pears} text}")});
    table.AppendRecord({Variant("C3"), Variant("other")});
    table.AppendRecord({Variant("D4"), Variant("")});
    const auto codeNow = [&] { return table.FieldByName("Code")->AsString(); };

    EXPECT_TRUE(vxLocateValue(true, &table, "Note", false, mtPartialMatchAny, "RICH PEARS"));
    EXPECT_EQ(codeNow(), "B2");
    EXPECT_FALSE(vxLocateValue(true, &table, "Note", false, mtPartialMatchAny, "RTF"));
    EXPECT_EQ(codeNow(), "B2") << "back where it started";
    EXPECT_TRUE(vxLocateValue(true, &table, "Note", false, mtPartialMatchStart, "A PLAIN"));
    EXPECT_EQ(codeNow(), "A1");
    EXPECT_TRUE(vxLocateValue(false, &table, "Note", true, mtExactMatch, "other"));
    EXPECT_EQ(codeNow(), "C3");
    EXPECT_FALSE(vxLocateValue(false, &table, "Note", true, mtExactMatch, "Other"));
    EXPECT_TRUE(vxLocateValue(true, &table, "Note", false, mtExactMatch, ""));
    EXPECT_EQ(codeNow(), "D4");
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(LocateMemo, MatchRules)
{
    EXPECT_TRUE(vxLocateMemoMatches("Big APPLE", "APPLE", mtPartialMatchAny, true));
    EXPECT_FALSE(vxLocateMemoMatches("Big APPLE", "APPLE", mtPartialMatchStart, true));
    EXPECT_TRUE(vxLocateMemoMatches("apple", "APPLE", mtExactMatch, false));
    EXPECT_FALSE(vxLocateMemoMatches("apples", "APPLE", mtExactMatch, false));
    EXPECT_FALSE(vxLocateMemoMatches("apple", "APPLE", 7, false));
}

TEST_F(LocateTest, FieldValueIsFoundAtOnceOnTheCurrentRecord)
{
    table->Last();
    counter.Scrolls = 0;
    EXPECT_TRUE(vxLocateFieldValue(table, "BROWN", "Last", mtExactMatch, false));
    EXPECT_EQ(counter.Scrolls, 0);
    EXPECT_FALSE(vxLocateFieldValue(table, "BROWN", "Last", mtExactMatch, true));
    EXPECT_TRUE(vxLocateFieldValue(table, "jones, b", "LastCommaFirst", mtPartialMatchStart, false));
    EXPECT_EQ(Last(), "Jones");
}

}  // namespace
