// Applying the filter dialog's criteria: the local record filter on an in-memory dataset, the holder form, and
// query modification (the condition lines, the literals, where they go into the SQL text, refusals).
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "vxdata/Vxintl.h"
#include "vxdata/tests/FilterDialogSupport.h"

namespace {

using namespace filterdialog;
using Texts = std::vector<std::string>;

Texts TextsOf(TStrings* lines)
{
    Texts texts;
    for (Integer i = 0; i < lines->Count(); ++i) texts.push_back(lines->Strings(i));
    return texts;
}

void SetTexts(TStrings* lines, const Texts& texts)
{
    lines->Clear();
    for (const std::string& text : texts) lines->Add(text);
}

const std::string Day1 = DateToStr(EncodeDate(2020, 3, 4));
const std::string Day2 = DateToStr(EncodeDate(2021, 1, 2));

// ---- the local record filter ----

class LocalFilter : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        Add("Smith", {{"Qty", "5"}, {"Day", Day1}, {"Notes", "abcd"}});
        Add("Jones", {{"Qty", "10"}, {"Notes", "abc"}});
        Add("");
        Add("dzzz", {{"Qty", "20"}});
        Add("Baker", {{"Qty", "15"}, {"Day", Day2}});
        Add("smithers", {{"Qty", "7"}});
    }

    Texts Filtered(const std::vector<TvxFieldInfo>& criteria)
    {
        SetCriteria(dialog, criteria);
        vxApplyLocalFilter(dialog);
        return Names();
    }
};

struct TFilterCase {
    std::string Name;
    std::vector<TvxFieldInfo> Criteria;
    Texts Kept;
};

class LocalFilterCases : public LocalFilter, public ::testing::WithParamInterface<TFilterCase> {};

TEST_P(LocalFilterCases, KeepsTheMatchingRecords)
{
    EXPECT_EQ(Filtered(GetParam().Criteria), GetParam().Kept);
    EXPECT_TRUE(data->Filtered());
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, LocalFilterCases,
    ::testing::Values(
        TFilterCase{"NonMatchingOr",
                    {Value("Name", fdMatchStart, "smith or jones", false, true)},
                    {"", "dzzz", "Baker"}},
        TFilterCase{"AndOfParts", {Value("Name", fdMatchAny, "a and k")}, {"Baker"}},
        TFilterCase{"CaseSensitive", {Value("Name", fdMatchStart, "smith", true)}, {"smithers"}},
        TFilterCase{"NullWord", {Value("Name", fdMatchExact, "NULL")}, {""}},
        TFilterCase{"NullWordInOr", {Value("Name", fdMatchStart, "smith or null")}, {"Smith", "", "smithers"}},
        TFilterCase{"NullWordOnNumbers", {Value("Qty", fdMatchExact, "null")}, {""}},
        TFilterCase{"NumbersAsNumbers", {Value("Qty", fdMatchExact, "05 or 15")}, {"Smith", "Baker"}},
        TFilterCase{"MemoExact", {Value("Notes", fdMatchExact, "abc")}, {"Jones"}},
        TFilterCase{"MemoStart", {Value("Notes", fdMatchStart, "ABC")}, {"Smith", "Jones"}},
        TFilterCase{"MemoAnyCaseSensitive", {Value("Notes", fdMatchAny, "BCD", true)}, {}},
        TFilterCase{"MemoNull", {Value("Notes", fdMatchExact, "null")}, {"", "dzzz", "Baker", "smithers"}},
        // "D" is padded with lower-case z, which sorts after the upper-cased "DZZZ"
        TFilterCase{"StringRange", {Bounds("Name", "B", "D")}, {"dzzz", "Baker"}},
        TFilterCase{"StringFrom", {Bounds("Name", "s", "")}, {"Smith", "smithers"}},
        TFilterCase{"NumberFrom", {Bounds("Qty", "10", "")}, {"Jones", "dzzz", "Baker"}},
        TFilterCase{"NumberUpTo", {Bounds("Qty", "", "7")}, {"Smith", "smithers"}},
        TFilterCase{"NumberBetween", {Bounds("Qty", "6", "15")}, {"Jones", "Baker", "smithers"}},
        TFilterCase{"DateFrom", {Bounds("Day", Day1, "")}, {"Smith", "Baker"}},
        TFilterCase{"AllCriteriaHold", {Value("Name", fdMatchStart, "s"), Bounds("Qty", "", "5")}, {"Smith"}}),
    [](const ::testing::TestParamInfo<TFilterCase>& info) { return info.param.Name; });

TEST_F(LocalFilter, NoCriteriaShowsEveryRecord)
{
    Filtered({Value("Name", fdMatchExact, "Jones")});
    EXPECT_EQ(Filtered({}).size(), 6u);
}

TEST_F(LocalFilter, AValueThatDoesNotConvertRaises)
{
    SetCriteria(dialog, {Value("Qty", fdMatchExact, "many")});
    EXPECT_THROW(vxApplyLocalFilter(dialog), EConvertError);
}

TEST_F(LocalFilter, LongMemosAndSubValues)
{
    const Integer savedSize = vxGetFilterMemoSize();
    vxIntl()->SetFilterMemoSize(40);
    Add("Long", {{"Notes", std::string(40, 'a') + "TAIL"}});
    Add("Wide", {{"Notes", std::string(300, 'b')}});
    EXPECT_EQ(Filtered({Value("Notes", fdMatchAny, "tail")}), Texts{});
    EXPECT_EQ(Filtered({Value("Notes", fdMatchExact, std::string(40, 'a'))}), Texts{"Long"});
    vxIntl()->SetFilterMemoSize(1000);
    EXPECT_EQ(Filtered({Value("Notes", fdMatchExact, std::string(300, 'b'))}), Texts{"Wide"});
    EXPECT_EQ(Filtered({Value("Notes", fdMatchExact, std::string(299, 'b'))}), Texts{});
    vxIntl()->SetFilterMemoSize(savedSize);
}

TEST_F(LocalFilter, RichTextIsMatchedAsPlainText)
{
    SetTexts(data->ControlType(), {"Notes;RichEdit"});
    Add("Rich", {{"Notes", "{\\rtf1\\ansi hello {\\b world}}"}});
    EXPECT_EQ(Filtered({Value("Notes", fdMatchExact, "hello world")}), Texts{"Rich"});
    EXPECT_EQ(Filtered({Value("Notes", fdMatchAny, "rtf")}), Texts{});
}

TEST_F(LocalFilter, FieldValuesOfTheRecordBeingTested)
{
    TvxDummyForm* holder = dialog->Holder();
    holder->DataSet = data;
    data->First();
    EXPECT_EQ(holder->GetFilterFieldValue("Qty")->AsInteger(), 5);
    data->Next();
    data->Next();
    // The empty record's value is empty, not the one read before.
    EXPECT_TRUE(holder->GetFilterFieldValue("Qty")->IsNull());
    try {
        holder->GetFilterFieldValue("Nope");
        FAIL() << "no error";
    } catch (EDatabaseError& e) {
        EXPECT_NE(e.Message().find("Field 'Nope' not found"), std::string::npos) << e.Message();
    }
}

TEST(ValuesEqual, ComparesByType)
{
    struct TCase {
        std::string A, B;
        TFieldType Type;
        bool Equal;
    } const cases[] = {{"abc", "abc", ftString, true},  {"abc", "ABC", ftString, false},
                       {"5", "05", ftInteger, true},    {"5", "05", ftString, false},
                       {"1.50", "1.5", ftFloat, true},  {"", "0", ftInteger, false},
                       {"7", " ", ftSmallint, false},   {Day1, DateToStr(EncodeDate(2020, 3, 4)), ftDate, true},
                       {"True", "True", ftBoolean, true}, {"1", "01", ftBlob, false}};
    for (const TCase& c : cases) EXPECT_EQ(vxValuesEqual(c.A, c.B, c.Type), c.Equal) << c.A << " " << c.B;
    EXPECT_THROW(vxValuesEqual("x", "1", ftInteger), EConvertError);
    EXPECT_TRUE(vxIsNullMatch("NULL", "", "null"));
    EXPECT_FALSE(vxIsNullMatch("null", "x", "null"));
    EXPECT_FALSE(vxIsNullMatch("nul", "", "null"));
}

TEST_F(DialogFixture, TheHolderFormIsReadFromItsFormFile)
{
    TvxDummyForm* holder = dialog->Holder();
    EXPECT_EQ(holder->Caption(), "vxDummyForm");
    EXPECT_EQ(holder->Width(), 435);
    EXPECT_EQ(holder->Height(), 300);
    EXPECT_FALSE(holder->Visible());
    EXPECT_EQ(holder->Dialog, dialog);
    holder->Show();
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(holder->Handle(), "vxdummyform.png"));
    holder->Hide();
}

// ---- query modification ----

class QueryModify : public DialogFixture {
protected:
    void SetUp() override
    {
        DialogFixture::SetUp();
        TSqlMemDataSet::Catalogue = {
            {"CUSTOMER",
             {{"LASTNAME", ftString, 20}, {"AMOUNT", ftInteger}, {"PRICE", ftFloat}, {"PAID", ftBoolean},
              {"BIRTH", ftDate}, {"SEEN", ftTime}, {"STAMP", ftDateTime}, {"NOTES", ftMemo}}}};
        SetTexts(data->SQL(), {"select * from customer"});
        dialog->SetFilterMethod(fdByQueryModify);
        dialog->LoadFieldInfo();
    }

    Texts Conditions(const std::vector<TvxFieldInfo>& criteria)
    {
        SetCriteria(dialog, criteria);
        TStringList lines;
        EXPECT_TRUE(vxBuildConditionLines(dialog, &lines));
        return TextsOf(&lines);
    }
};

struct TSqlCase {
    std::string Name;
    std::vector<TvxFieldInfo> Criteria;
    Texts Lines;
};

class ConditionLines : public QueryModify, public ::testing::WithParamInterface<TSqlCase> {};

TEST_P(ConditionLines, AreBuiltFromTheCriteria)
{
    EXPECT_EQ(Conditions(GetParam().Criteria), GetParam().Lines);
}

const std::string LastName = "CUSTOMER.\"LASTNAME\"";
const std::string UpperLastName = "Upper(CUSTOMER.\"LASTNAME\")";
const std::string Amount = "CUSTOMER.\"AMOUNT\"";

INSTANTIATE_TEST_SUITE_P(
    Criteria, ConditionLines,
    ::testing::Values(
        TSqlCase{"MixedValueAndRange",
                 {Value("LASTNAME", fdMatchStart, "smith or jones"), Bounds("AMOUNT", "10", "20")},
                 {"(" + UpperLastName + " like 'SMITH%' or " + UpperLastName + " like 'JONES%')", " and",
                  "   " + Amount + " >= 10", " and", "   " + Amount + " <= 20"}},
        TSqlCase{"QuotesDoubled", {Value("LASTNAME", fdMatchStart, "O'Brien")}, {"(" + UpperLastName + " like 'O''BRIEN%')"}},
        TSqlCase{"AnyAndExact",
                 {Value("LASTNAME", fdMatchAny, "it", true), Value("LASTNAME", fdMatchExact, "a'b", true)},
                 {"(" + LastName + " like '%it%')", " and", "(" + LastName + "='a''b')"}},
        TSqlCase{"NullWord",
                 {Value("LASTNAME", fdMatchExact, "null or x", true), Value("AMOUNT", fdMatchExact, "NULL")},
                 {"(" + LastName + " is NULL or " + LastName + "='x')", " and", "(" + Amount + " is NULL)"}},
        TSqlCase{"NonMatchingPrefixes",
                 {Value("LASTNAME", fdMatchAny, "a", true, true), Value("AMOUNT", fdMatchExact, "5", false, true)},
                 {"  not", "(" + LastName + " like '%a%')", "  and not", "(" + Amount + "=5)"}},
        TSqlCase{"EmptySubValues", {Value("LASTNAME", fdMatchExact, "a or or b", true)},
                 {"(" + LastName + "='a' or " + LastName + "='b')"}},
        // a range of a type without comparison writes nothing, and no connector before the next condition
        TSqlCase{"OnlyWrittenConditionsConnected",
                 {Bounds("NOTES", "a", "b"), Bounds("AMOUNT", "", "20")},
                 {"   " + Amount + " <= 20"}},
        TSqlCase{"PaddedStringRange", {Bounds("LASTNAME", "B", "D")},
                 {"   " + LastName + " >= 'B'", " and", "   " + LastName + " <= 'D" + std::string(19, 'z') + "'"}},
        TSqlCase{"NumbersAndBooleansUnquoted",
                 {Value("PRICE", fdMatchExact, "-1.5e3"), Value("PAID", fdMatchExact, "true")},
                 {"(CUSTOMER.\"PRICE\"=-1.5E3)", " and", "(CUSTOMER.\"PAID\"=TRUE)"}}),
    [](const ::testing::TestParamInfo<TSqlCase>& info) { return info.param.Name; });

TEST_F(QueryModify, DateAndTimeLiteralsByMode)
{
    const std::string stamp = DateTimeToStr(EncodeDate(2020, 3, 4) + EncodeTime(13, 5, 9, 0));
    struct TCase {
        TvxQueryFormatDateMode Mode;
        std::string Date;
    } const cases[] = {{qfdMonthDayYear, "3/4/2020"}, {qfdDayMonthYear, "4/3/2020"}, {qfdYearMonthDay, "2020/3/4"}};
    for (const TCase& c : cases) {
        dialog->SetQueryFormatDateMode(c.Mode);
        EXPECT_EQ(Conditions({Value("BIRTH", fdMatchExact, Day1), Value("STAMP", fdMatchExact, stamp),
                              Value("SEEN", fdMatchExact, "13:05:09"), Bounds("BIRTH", Day1, "")}),
                  (Texts{"(CUSTOMER.\"BIRTH\"='" + c.Date + "')", " and",
                         "(   CUSTOMER.\"STAMP\"='" + c.Date + " 13:5:9')", " and",
                         "(   CUSTOMER.\"SEEN\"='13:5:9')", " and", "   CUSTOMER.\"BIRTH\" >= '" + c.Date + "'"}));
    }
}

TEST_F(QueryModify, EncodeDateTimeEventReplacesTheLiteral)
{
    std::vector<std::string> seen;
    dialog->OnEncodeDateTime = [&seen](TDateTime value, TFieldType type, const std::string& field,
                                       std::string& text) {
        seen.push_back(field + " " + std::to_string(Integer(value)) + " " + std::to_string(type));
        text = "{d " + text + "}";
    };
    EXPECT_EQ(Conditions({Value("BIRTH", fdMatchExact, Day1)}), Texts{"(CUSTOMER.\"BIRTH\"='{d 3/4/2020}')"});
    EXPECT_EQ(seen, Texts{"BIRTH " + std::to_string(Integer(EncodeDate(2020, 3, 4))) + " " + std::to_string(ftDate)});
}

TEST_F(QueryModify, TheQueryIsReopenedOnTheModifiedText)
{
    Add("Smith");
    data->Edit();
    data->FieldByName("Name")->SetAsString("Smythe");
    SetCriteria(dialog, {Value("LASTNAME", fdMatchExact, "x", true)});
    ASSERT_TRUE(vxApplyQueryModify(dialog));
    EXPECT_TRUE(data->Active());
    EXPECT_EQ(TextsOf(data->SQL()), (Texts{"select * from customer", "Where", "(" + LastName + "='x')"}));
    EXPECT_EQ(TextsOf(dialog->SavedSql()), Texts{"select * from customer"});
    EXPECT_EQ(Names(), Texts{"Smythe"});  // the pending edit was posted
    // The next modification starts again from the saved text.
    SetCriteria(dialog, {Value("AMOUNT", fdMatchExact, "3")});
    ASSERT_TRUE(vxApplyQueryModify(dialog));
    EXPECT_EQ(TextsOf(data->SQL()), (Texts{"select * from customer", "Where", "(" + Amount + "=3)"}));
}

TEST_F(QueryModify, ARefusedCriterionReopensTheSavedText)
{
    struct TCase {
        TvxFieldInfo Criterion;
        std::string Warning;
    } const cases[] = {{Value("Missing", fdMatchExact, "x"), "TvxFilterDialog: Field not found (Missing)"},
                       {Value("AMOUNT", fdMatchExact, "1.5"), "'1.5' is not a valid integer value"},
                       {Value("PRICE", fdMatchExact, "1,5"), "'1,5' is not a valid floating point value"},
                       {Value("PAID", fdMatchExact, "yes"), "'YES' is not a valid boolean value"},
                       {Bounds("AMOUNT", "1; drop table x", ""), "'1; drop table x' is not a valid integer value"},
                       {Value("BIRTH", fdMatchExact, "soon"), "'SOON' is not a valid date and time"}};
    for (const TCase& c : cases) {
        boxes.Shown.clear();
        SetCriteria(dialog, {Value("LASTNAME", fdMatchExact, "x"), c.Criterion});
        EXPECT_FALSE(vxApplyQueryModify(dialog));
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0].Text, c.Warning);
        EXPECT_TRUE(data->Active());
        EXPECT_EQ(TextsOf(data->SQL()), Texts{"select * from customer"});
    }
}

TEST_F(QueryModify, ExecuteAnswersFalseWhenACriterionIsRefused)
{
    TScriptedFilterForms forms(boxes);
    forms.Answer(mrOk, true, {Value("Nowhere", fdMatchExact, "x")});
    EXPECT_FALSE(dialog->Execute());
    EXPECT_TRUE(data->Active());
}

TEST_F(QueryModify, AFailingOpenShowsTheTextAndRaises)
{
    SetCriteria(dialog, {Value("AMOUNT", fdMatchExact, "3")});
    TSqlMemDataSet::FailOpen = true;
    EXPECT_THROW(vxApplyQueryModify(dialog), EDatabaseError);
    TSqlMemDataSet::FailOpen = false;
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text,
              "Unable to Execute SQL:\rselect * from customer\rWhere\r(" + Amount + "=3)\r");
}

TEST_F(QueryModify, ParamCheckIsOffWhileTheTextIsAssigned)
{
    std::vector<bool> checks;
    data->ParamCheck = true;
    data->OnSqlAssigned = [&] { checks.push_back(data->ParamCheck); };
    SetCriteria(dialog, {Value("AMOUNT", fdMatchExact, "3")});
    ASSERT_TRUE(vxApplyQueryModify(dialog));
    EXPECT_EQ(checks, std::vector<bool>{false});
    EXPECT_TRUE(data->ParamCheck);
}

// ---- where the conditions go ----

struct TWhereCase {
    std::string Name;
    Texts Sql;
    Texts Result;
};

class WhereLines : public ::testing::TestWithParam<TWhereCase> {};

TEST_P(WhereLines, GoIntoTheText)
{
    TStringList sql;
    SetTexts(&sql, GetParam().Sql);
    TStringList lines;
    SetTexts(&lines, {"C1", " and", "C2"});
    vxInsertWhereLines(&sql, &lines);
    EXPECT_EQ(TextsOf(&sql), GetParam().Result);
}

INSTANTIATE_TEST_SUITE_P(
    Sql, WhereLines,
    ::testing::Values(
        TWhereCase{"NoKeyword", {"select * from t"}, {"select * from t", "Where", "C1", " and", "C2"}},
        TWhereCase{"KeywordInsideALine",
                   {"SELECT * FROM T ORDER BY A"},
                   {"SELECT * FROM T", "Where", "C1", " and", "C2", "ORDER BY A"}},
        TWhereCase{"KeywordOnItsOwnLine",
                   {"select *", "from t", "order by a"},
                   {"select *", "from t", "Where", "C1", " and", "C2", "order by a"}},
        TWhereCase{"WhereThenOrderOnOneLine",
                   {"select * from t where name='x' order by a"},
                   {"select * from t where (name='x')", "And (", "C1", " and", "C2", ")", " order by a"}},
        // the scan for the next keyword starts five characters past WHERE
        TWhereCase{"NextKeywordFiveCharactersOn",
                   {"select * from t where x=1 order by a"},
                   {"select * from t where (x=1 )", "And (", "C1", " and", "C2", ")", "order by a"}},
        TWhereCase{"WhereAtTheEnd",
                   {"select * from t", "where a=1 or b=2"},
                   {"select * from t", "where (a=1 or b=2)", "And (", "C1", " and", "C2", ")"}},
        TWhereCase{"WhereConditionOverLines",
                   {"select * from t where a=1", "  or b=2", "group by a"},
                   {"select * from t where (a=1", "  or b=2", ")", "And (", "C1", " and", "C2", ")", "group by a"}},
        TWhereCase{"QuotedKeywordsAreText",
                   {"select * from t where name = 'group by'"},
                   {"select * from t where (name = 'group by')", "And (", "C1", " and", "C2", ")"}},
        TWhereCase{"WhereWithoutCondition", {"select * from t where"}, {"select * from t where", "C1", " and", "C2"}}),
    [](const ::testing::TestParamInfo<TWhereCase>& info) { return info.param.Name; });

}  // namespace
