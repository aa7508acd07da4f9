// The filter dialog component: value syntax and operator words, its settings' rules, the field descriptions from
// a dataset or from the tables of a query's FROM list, Execute with a scripted form, and clearing the filter.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/DBTables.h"
#include "vxdata/tests/FilterDialogSupport.h"

namespace {

using namespace filterdialog;
using Texts = std::vector<std::string>;

std::unique_ptr<TStringList> Lines(const Texts& texts)
{
    auto lines = std::make_unique<TStringList>();
    for (const std::string& text : texts) lines->Add(text);
    return lines;
}

Texts TextsOf(TStrings* lines)
{
    Texts texts;
    for (Integer i = 0; i < lines->Count(); ++i) texts.push_back(lines->Strings(i));
    return texts;
}

// ---- value syntax ----

struct TSyntaxCase {
    std::string OrChar;
    std::string AndChar;
    std::string Value;
    std::string Operator;  // the word ParseOperators finds
    bool IsOr;
    Texts SubValues;
};

class ValueSyntax : public DialogFixture, public ::testing::WithParamInterface<TSyntaxCase> {};

TEST_P(ValueSyntax, SplitsIntoSubValues)
{
    const TSyntaxCase& c = GetParam();
    dialog->FieldOperators()->SetOrChar(c.OrChar);
    dialog->FieldOperators()->SetAndChar(c.AndChar);
    bool isOr = !c.IsOr;
    const std::string word = dialog->ParseOperators(c.Value, isOr);
    EXPECT_EQ(word, c.Operator);
    EXPECT_EQ(isOr, c.IsOr);
    Texts subValues;
    for (Integer position = 1; position != -1;) {
        subValues.push_back(dialog->NextSubValue(c.Value, word, position));
        ASSERT_LE(subValues.size(), 10u) << "no end";
    }
    EXPECT_EQ(subValues, c.SubValues);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ValueSyntax,
    ::testing::Values(TSyntaxCase{"or", "and", "Smith or Jones", "or", true, {"Smith", "Jones"}},
                      TSyntaxCase{"or", "and", "New   York", "", false, {"New York"}},
                      TSyntaxCase{"or", "and", "a and b or c", "and", false, {"a", "b or c"}},
                      TSyntaxCase{"or", "and", "a OR b", "or", true, {"a", "b"}},
                      TSyntaxCase{"or", "and", "or", "", false, {"or"}},
                      TSyntaxCase{"or", "and", "or a", "", false, {"or a"}},
                      TSyntaxCase{"or", "and", "\"x or y\" or z", "or", true, {"x or y", "z"}},
                      TSyntaxCase{"or", "and", "a or or b", "or", true, {"a", "", "b"}},
                      TSyntaxCase{"or", "and", "a+b", "", false, {"a+b"}},
                      TSyntaxCase{"+", "&", "a+b", "+", true, {"a", "b"}},
                      TSyntaxCase{"+", "&", "a & b+c", "&", false, {"a", "b + c"}},
                      TSyntaxCase{"ou", "et", "a ou b", "ou", true, {"a", "b"}},
                      // an operator word that trims to nothing is no operator
                      TSyntaxCase{" \t ", "and", "a  b", "", false, {"a b"}},
                      TSyntaxCase{" \t ", "and", "a and b", "and", false, {"a", "b"}}));

TEST_F(DialogFixture, OperatorWordsAreTrimmedAndMustDiffer)
{
    TvxFieldOperators* words = dialog->FieldOperators();
    words->SetOrChar(" \t| ");
    EXPECT_EQ(words->OrChar(), "|");
    EXPECT_TRUE(boxes.Shown.empty());

    words->SetAndChar("NULL");
    EXPECT_EQ(words->AndChar(), "NULL");
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, "Operators do not have a unique value.");
    EXPECT_EQ(boxes.Shown[0].Type, mtWarning);
    // The warning comes with every set while two words are equal, changed or not.
    words->SetOrChar("|");
    EXPECT_EQ(boxes.Shown.size(), 2u);
    words->SetAndChar("and");
    words->SetOrChar("or");
    EXPECT_EQ(boxes.Shown.size(), 2u);
}

// ---- settings ----

TEST_F(DialogFixture, FilterMethodNeedsADatasetWithSql)
{
    auto* plain = new TMemDataSet(nullptr);
    struct TCase {
        TDataSet* DataSet;
        TvxFilterMethod Wanted;
        TvxFilterMethod Result;
        bool Warned;
    };
    const TCase cases[] = {{nullptr, fdByQueryModify, fdByQueryModify, false},
                           {data, fdByQueryModify, fdByQueryModify, false},
                           {plain, fdByQueryModify, fdByFilter, true},
                           {plain, fdByFilter, fdByFilter, false},
                           {data, fdByQueryParams, fdByFilter, false}};
    for (const TCase& c : cases) {
        dialog->SetFilterMethod(fdByFilter);
        boxes.Shown.clear();
        source->SetDataSet(c.DataSet);
        dialog->SetFilterMethod(c.Wanted);
        EXPECT_EQ(dialog->FilterMethod(), c.Result) << c.Wanted;
        ASSERT_EQ(boxes.Shown.size(), c.Warned ? 1u : 0u);
        if (c.Warned) {
            EXPECT_EQ(boxes.Shown[0].Text,
                      "Invalid FilterMethod for Dataset. \rOnly fdByFilter is supported for this type of Dataset");
        }
    }
    source->SetDataSet(data);
    plain->Free();
}

TEST_F(DialogFixture, ASourceOnATableForcesTheRecordFilter)
{
    dialog->SetDataSource(nullptr);
    dialog->SetFilterMethod(fdByQueryModify);
    auto* table = new TTable(nullptr);
    TDataSource tableSource(nullptr);
    tableSource.SetDataSet(table);
    dialog->SetDataSource(&tableSource);
    EXPECT_EQ(dialog->FilterMethod(), fdByFilter);
    dialog->SetDataSource(nullptr);
    table->Free();
}

TEST_F(DialogFixture, DlgHeightBelowTheDesignHeightIsIgnored)
{
    for (Integer height : {100, 267}) dialog->SetDlgHeight(height);
    EXPECT_EQ(dialog->DlgHeight(), 267);
    dialog->SetDlgHeight(268);
    EXPECT_EQ(dialog->DlgHeight(), 268);
}

TEST_F(DialogFixture, PadUpperRangeFillsToTheSize)
{
    struct TCase {
        Word Pad;
        Integer Size;
        std::string Value;
        std::string Padded;
    } const cases[] = {{'z', 10, "D", "Dzzzzzzzzz"}, {'z', 4, "abcd", "abcd"}, {'z', 3, "abcd", "abcd"},
                       {'~', 3, "", "~~~"},           {0, 5, "ab", "ab"},       {'z', 0, "ab", "ab"}};
    for (const TCase& c : cases) {
        dialog->SetUpperRangePadChar(c.Pad);
        EXPECT_EQ(dialog->PadUpperRange(c.Size, c.Value), c.Padded) << c.Value << " to " << c.Size;
    }
}

// ---- field descriptions ----

struct TFromCase {
    Texts Sql;
    std::vector<std::pair<std::string, std::string>> Tables;  // name, alias
};

class FromList : public ::testing::TestWithParam<TFromCase> {};

TEST_P(FromList, ReadsTablesAndAliases)
{
    std::vector<std::pair<std::string, std::string>> tables;
    for (const TvxSqlTable& table : vxReadFromTables(Lines(GetParam().Sql).get())) tables.emplace_back(table.Name, table.Alias);
    EXPECT_EQ(tables, GetParam().Tables);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, FromList,
    ::testing::Values(
        // an unquoted table is its own alias, and a word other than "," ends the list
        TFromCase{{"select * from customer c, orders o"}, {{"CUSTOMER", "CUSTOMER"}}},
        TFromCase{{"select * from 'customer.db' c, 'orders.db' o"}, {{"CUSTOMER.DB", "C"}, {"ORDERS.DB", "O"}}},
        TFromCase{{"select * from t, u where t.a = u.a"}, {{"T", "T"}, {"U", "U"}}},
        TFromCase{{"SELECT *", "FROM \"x\" y,", "  'z'"}, {{"X", "Y"}, {"Z", "Z"}}},
        // a quoted table before a clause keyword, a comma or the end is its own alias
        TFromCase{{"select * from \"cust\" where a = 1"}, {{"CUST", "CUST"}}},
        TFromCase{{"select * from 'a', 'b' order by x"}, {{"A", "A"}, {"B", "B"}}},
        TFromCase{{"select * from 'a'"}, {{"A", "A"}}},
        // "FROM" at the end of the text
        TFromCase{{"select a, b from"}, {}},
        TFromCase{{"select 1"}, {}}));

TEST_F(DialogFixture, FieldDescriptionsFromTheDatasetFields)
{
    data->FieldByName("Qty")->SetDisplayLabel("Quantity");
    dialog->LoadFieldInfo();
    ASSERT_EQ(dialog->FieldInfos().size(), 5u);
    const TvxDBFieldInfo& name = dialog->FieldInfos()[0];
    EXPECT_EQ(name.FieldName, "Name");
    EXPECT_EQ(name.ColumnName, "Name");
    EXPECT_EQ(name.TableAlias, "");
    EXPECT_EQ(name.DataType, ftString);
    EXPECT_EQ(name.Size, 10);
    EXPECT_EQ(dialog->FieldInfos()[1].DisplayLabel, "Quantity");
    EXPECT_EQ(dialog->FindFieldInfo("qty"), &dialog->FieldInfos()[1]);
    EXPECT_EQ(dialog->FindFieldInfo("Missing"), nullptr);
}

TEST_F(DialogFixture, FieldDescriptionsFromTheTablesOfTheQuery)
{
    TSqlMemDataSet::Catalogue = {{"CUSTOMER", {{"CustNo", ftInteger}, {"LastName", ftString, 20}}},
                                 {"ORDERS", {{"OrderNo", ftInteger}, {"CUSTNO", ftInteger}, {"Amount", ftFloat}}}};
    data->SetSQL(Lines({"select * from 'customer' c, 'orders'", "order by 1"}).get());
    dialog->SetFilterMethod(fdByQueryModify);
    dialog->LoadFieldInfo();
    struct TExpected {
        std::string Name, Alias;
        TFieldType Type;
        Word Size;
        std::string Label;
    };
    const std::vector<TExpected> expected = {{"CustNo", "C", ftInteger, 0, "CustNo"},
                                             {"LastName", "C", ftString, 20, "LastName"},
                                             {"OrderNo", "ORDERS", ftInteger, 0, "OrderNo"},
                                             {"Amount", "ORDERS", ftFloat, 0, "Amount"}};
    ASSERT_EQ(dialog->FieldInfos().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const TvxDBFieldInfo& info = dialog->FieldInfos()[i];
        EXPECT_EQ(info.FieldName, expected[i].Name);
        EXPECT_EQ(info.ColumnName, expected[i].Name);
        EXPECT_EQ(info.TableAlias, expected[i].Alias) << info.FieldName;
        EXPECT_EQ(info.DataType, expected[i].Type) << info.FieldName;
        EXPECT_EQ(info.Size, expected[i].Size) << info.FieldName;
        EXPECT_EQ(info.DisplayLabel, expected[i].Label) << info.FieldName;
    }
}

TEST(FilterDialogClient, FieldDescriptionsFromTheFieldInfoLinesOnce)
{
    auto* client = new TvxClientDataSet(nullptr);
    client->SetSQL(Lines({"select * from a, b"}).get());
    client->SetFieldInfo(Lines({"CUST_NO;CustNo;C;Customer number;ftInteger;4", "NAME;Name;C;Name;ftString;30"}).get());
    TDataSource source(nullptr);
    source.SetDataSet(client);
    auto* dialog = new TvxFilterDialog(nullptr);
    dialog->SetDataSource(&source);
    dialog->SetFilterMethod(fdByQueryModify);
    dialog->LoadFieldInfo();
    ASSERT_EQ(dialog->FieldInfos().size(), 2u);
    const TvxDBFieldInfo& first = dialog->FieldInfos()[0];
    EXPECT_EQ(first.ColumnName, "CUST_NO");
    EXPECT_EQ(first.FieldName, "CustNo");
    EXPECT_EQ(first.TableAlias, "C");
    EXPECT_EQ(first.DisplayLabel, "Customer number");
    EXPECT_EQ(first.DataType, ftInteger);
    EXPECT_EQ(first.Size, 4);
    EXPECT_EQ(dialog->FieldInfos()[1].Size, 30);
    dialog->Free();
    client->Free();
}

// ---- Execute ----

TEST_F(DialogFixture, ExecuteWithoutDatasetOrOnAClosedOneShowsNoForm)
{
    TScriptedFilterForms forms(boxes);
    dialog->SetDataSource(nullptr);
    EXPECT_FALSE(dialog->Execute());
    EXPECT_TRUE(boxes.Shown.empty());

    dialog->SetDataSource(source);
    data->Close();
    EXPECT_FALSE(dialog->Execute());
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, "Dataset must be active to perform local filtering (FilterMethod=fdByFilter).");
    EXPECT_EQ(boxes.Shown[0].Type, mtError);
    EXPECT_EQ(forms.Made, 0);
}

TEST_F(DialogFixture, ExecuteAppliesTheFormsCriteria)
{
    Add("Smith");
    Add("Jones");
    TScriptedFilterForms forms(boxes);
    dialog->SetCaption("Find clients");
    forms.Answer(mrOk, true, {Value("Name", fdMatchStart, "smi")});
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(forms.SeenCaption, "Find clients");
    EXPECT_NE(forms.SeenForm, nullptr);
    EXPECT_EQ(dialog->Form(), nullptr);
    ASSERT_EQ(dialog->Criteria().size(), 1u);
    EXPECT_EQ(dialog->Criteria()[0]->FieldName, "Name");
    EXPECT_EQ(Names(), Texts{"Smith"});
    EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST_F(DialogFixture, CancelChangesNothing)
{
    Add("Smith");
    Add("Jones");
    TScriptedFilterForms forms(boxes);
    forms.Answer(mrOk, true, {Value("Name", fdMatchExact, "Jones")});
    forms.Answer(mrCancel, true, {Value("Name", fdMatchExact, "Smith")});
    ASSERT_TRUE(dialog->Execute());
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->Criteria()[0]->Value, "Jones");
    EXPECT_EQ(Names(), Texts{"Jones"});
    EXPECT_EQ(forms.Made, 2);
}

TEST(FilterDialogClient, OkWithoutChangeIsNotAppliedAgainWhileTheFilterIsOn)
{
    TScriptedDialogs boxes;
    auto* client = new TvxClientDataSet(nullptr);
    client->FieldDefs()->Add("Name", ftString, 10);
    client->Open();
    for (const char* name : {"Smith", "Jones"}) client->AppendRecord({Variant(std::string(name))});
    TDataSource source(nullptr);
    source.SetDataSet(client);
    auto* dialog = new TvxFilterDialog(nullptr);
    dialog->SetDataSource(&source);
    TScriptedFilterForms forms(boxes);
    forms.Answer(mrOk, true, {Value("Name", fdMatchExact, "Smith")});
    forms.Answer(mrOk, false, {Value("Name", fdMatchExact, "Jones")});
    forms.Answer(mrOk, false, {Value("Name", fdMatchExact, "Jones")});
    ASSERT_TRUE(dialog->Execute());
    EXPECT_TRUE(client->Filtered());
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->Criteria()[0]->Value, "Smith");
    client->First();
    EXPECT_EQ(client->FieldByName("Name")->AsString(), "Smith");
    // With the filter switched off the same unchanged OK applies.
    client->SetFiltered(false);
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->Criteria()[0]->Value, "Jones");
    dialog->Free();
    client->Free();
}

TEST_F(DialogFixture, SameOrAndWordsWarnButExecuteGoesOn)
{
    TScriptedFilterForms forms(boxes);
    forms.Answer(mrCancel, false);
    dialog->FieldOperators()->SetAndChar("x");
    dialog->FieldOperators()->SetOrChar("x");
    boxes.Shown.clear();
    EXPECT_FALSE(dialog->Execute());
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, "And and Or Operators have the same value.");
    EXPECT_EQ(forms.Made, 1);
}

TEST_F(DialogFixture, AClosedQueryMayBeModified)
{
    TSqlMemDataSet::Catalogue = {{"T", {{"Name", ftString, 10}}}};
    data->SetSQL(Lines({"select * from t"}).get());
    dialog->SetFilterMethod(fdByQueryModify);
    data->Close();
    TScriptedFilterForms forms(boxes);
    forms.Answer(mrOk, true, {Value("Name", fdMatchExact, "x", true)});
    // The form reloads the field descriptions when it is made.
    dialog->LoadFieldInfo();
    EXPECT_TRUE(dialog->Execute());
    EXPECT_TRUE(data->Active());
    EXPECT_EQ(TextsOf(data->SQL()), (Texts{"select * from t", "Where", "(T.\"Name\"='x')"}));
}

// ---- clearing ----

TEST_F(DialogFixture, ClosingTheDatasetClearsTheCriteria)
{
    SetCriteria(dialog, {Value("Name", fdMatchStart, "a")});
    data->Close();
    EXPECT_TRUE(dialog->Criteria().empty());
}

TEST_F(DialogFixture, ClearFilterPutsTheSavedSqlBack)
{
    data->SetSQL(Lines({"select * from t"}).get());
    dialog->SetFilterMethod(fdByQueryModify);
    dialog->SavedSql()->Assign(data->SQL());
    data->SetSQL(Lines({"select * from t", "Where", "(x)"}).get());
    SetCriteria(dialog, {Value("Name", fdMatchStart, "a")});
    data->Close();  // not under fdByQueryModify: the criteria stay
    EXPECT_EQ(dialog->Criteria().size(), 1u);
    dialog->ClearFilter();
    EXPECT_TRUE(dialog->Criteria().empty());
    EXPECT_EQ(TextsOf(data->SQL()), Texts{"select * from t"});
    EXPECT_EQ(dialog->SavedSql()->Count(), 0);
}

}  // namespace
