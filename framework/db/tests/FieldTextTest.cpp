#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "db/BinaryFields.h"
#include "db/BooleanField.h"
#include "db/DateTimeFields.h"
#include "db/MemDataSet.h"
#include "db/NumericFields.h"
#include "db/StringField.h"
#include "rtl/SysUtils.h"
#include "rtl/tests/UsSettings.h"

namespace {

// One record with a field of every class, in edit state; fixed format settings.
class FieldTextTest : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        ShortDateFormat = "mm/dd/yyyy";
        LongTimeFormat = "hh:nn:ss";

        data = new TMemDataSet(nullptr);
        TFieldDefs* defs = data->FieldDefs();
        defs->Add("S", ftString, 10);
        defs->Add("I", ftInteger);
        defs->Add("SI", ftSmallint);
        defs->Add("W", ftWord);
        defs->Add("AI", ftAutoInc);
        defs->Add("L", ftLargeint);
        defs->Add("F", ftFloat);
        defs->Add("C", ftCurrency);
        defs->Add("BCD", ftBCD, 2);
        defs->Add("B", ftBoolean);
        defs->Add("DT", ftDateTime);
        defs->Add("D", ftDate);
        defs->Add("T", ftTime);
        defs->Add("BY", ftBytes, 4);
        defs->Add("VB", ftVarBytes, 4);
        defs->Add("BL", ftBlob);
        defs->Add("M", ftMemo);
        defs->Add("G", ftGraphic);
        data->Open();
        data->Append();
    }
    void TearDown() override
    {
        data->Free();
        UsSettings::TearDown();
    }

    TField* F(const std::string& name) { return data->FieldByName(name); }

    TMemDataSet* data = nullptr;
};

TEST_F(FieldTextTest, DefaultFieldsHaveTheClassOfTheirType)
{
    const struct {
        const char* Field;
        const char* Class;
    } cases[] = {{"S", "TStringField"},     {"I", "TIntegerField"},    {"SI", "TSmallintField"},
                 {"W", "TWordField"},       {"AI", "TAutoIncField"},   {"L", "TLargeintField"},
                 {"F", "TFloatField"},      {"C", "TCurrencyField"},   {"BCD", "TBCDField"},
                 {"B", "TBooleanField"},    {"DT", "TDateTimeField"},  {"D", "TDateField"},
                 {"T", "TTimeField"},       {"BY", "TBytesField"},     {"VB", "TVarBytesField"},
                 {"BL", "TBlobField"},      {"M", "TMemoField"},       {"G", "TGraphicField"}};
    for (const auto& c : cases) EXPECT_EQ(F(c.Field)->ClassName(), c.Class);
}

TEST_F(FieldTextTest, TextsRoundTripThroughEveryFieldClass)
{
    const struct {
        const char* Field;
        const char* Input;
        const char* AsString;
        const char* DisplayText;
    } cases[] = {
        {"S", "Hello world!", "Hello worl", "Hello worl"},
        {"I", "-42", "-42", "-42"},
        {"SI", "32767", "32767", "32767"},
        {"W", "65535", "65535", "65535"},
        {"AI", "7", "7", "7"},
        {"L", "12345678901", "12345678901", "12345678901"},
        {"F", "0.1", "0.1", "0.1"},
        {"F", "1E15", "1E15", "1E15"},
        {"C", "1234.5", "1234.5", "$1,234.50"},
        {"BCD", "12.345", "12.35", "12.35"},
        {"B", "t", "True", "True"},
        {"B", "FALSE", "False", "False"},
        {"DT", "03/15/1999 13:05:00", "03/15/1999 13:05:00", "03/15/1999 13:05:00"},
        {"D", "3/15/1999", "03/15/1999", "03/15/1999"},
        {"T", "13:05", "13:05:00", "13:05:00"},
        {"BY", "ab", std::string("ab\0\0", 4).c_str(), nullptr},
        {"VB", "abcdef", "abcd", "abcd"},
        {"M", "a memo", "a memo", "(MEMO)"},
        {"BL", "\x01\x02", "\x01\x02", "(BLOB)"},
        {"G", "img", "img", "(GRAPHIC)"},
    };
    for (const auto& c : cases) {
        F(c.Field)->SetAsString(c.Input);
        if (std::string(c.Field) == "BY") {
            EXPECT_EQ(F(c.Field)->AsString(), std::string("ab\0\0", 4));
            continue;
        }
        EXPECT_EQ(F(c.Field)->AsString(), c.AsString) << c.Field << " " << c.Input;
        EXPECT_EQ(F(c.Field)->DisplayText(), c.DisplayText) << c.Field << " " << c.Input;
    }
}

TEST_F(FieldTextTest, EmptyTextClearsAndEmptyFieldsShowNothing)
{
    for (const char* name : {"I", "SI", "W", "L", "F", "C", "BCD", "B", "DT", "D", "T", "M"}) {
        F(name)->SetAsString("");
        EXPECT_TRUE(F(name)->IsNull()) << name;
        if (std::string(name) != "M") {
            EXPECT_EQ(F(name)->DisplayText(), "") << name;
        }
    }
    EXPECT_EQ(F("M")->DisplayText(), "(Memo)");
    EXPECT_EQ(F("BL")->DisplayText(), "(Blob)");
    EXPECT_EQ(F("I")->AsInteger(), 0);
    EXPECT_TRUE(VarIsNull(F("I")->Value()));
}

TEST_F(FieldTextTest, InvalidValuesRaiseTheFieldsError)
{
    const struct {
        const char* Field;
        const char* Input;
        const char* Message;
    } cases[] = {
        {"I", "1x", "'1x' is not a valid integer value for field 'I'"},
        {"I", "3000000000", "'3000000000' is not a valid integer value for field 'I'"},
        {"SI", "40000", "40000 is not a valid value for field 'SI'. The allowed range is -32768 to 32767"},
        {"W", "-1", "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535"},
        {"F", "2,5", "'2,5' is not a valid floating point value for field 'F'"},
        {"B", "maybe", "'maybe' is not a valid boolean value for field 'B'"},
        {"D", "31/31/1999", "'31/31/1999' is not a valid date and time value for field 'D'"},
    };
    for (const auto& c : cases) {
        try {
            F(c.Field)->SetAsString(c.Input);
            ADD_FAILURE() << c.Field << " " << c.Input;
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
    try {
        F("I")->SetAsBoolean(true);
        ADD_FAILURE();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Cannot access field 'I' as type Boolean");
    }
    F("S")->SetAsString("abc");
    EXPECT_THROW(F("S")->AsInteger(), EDatabaseError);
}

TEST_F(FieldTextTest, FormatsAndConversionsBetweenTypes)
{
    auto* amount = static_cast<TIntegerField*>(F("I"));
    amount->SetDisplayFormat("#,##0");
    amount->SetAsInteger(1234567);
    EXPECT_EQ(amount->DisplayText(), "1,234,567");
    EXPECT_EQ(amount->Text(), "1,234,567");  // the display format serves editing too
    amount->SetEditFormat("0");
    EXPECT_EQ(amount->Text(), "1234567");
    EXPECT_DOUBLE_EQ(amount->AsFloat(), 1234567.0);

    F("C")->SetAsFloat(-3.5);
    EXPECT_EQ(F("C")->Text(), "-3.50");
    F("F")->SetAsInteger(3);
    EXPECT_EQ(F("F")->AsString(), "3");
    F("I")->SetAsFloat(2.5);
    EXPECT_EQ(F("I")->AsInteger(), 2);  // rounds half to even

    auto* flag = static_cast<TBooleanField*>(F("B"));
    flag->SetDisplayValues("Yes;No");
    flag->SetAsString("n");
    EXPECT_EQ(flag->AsString(), "No");
    EXPECT_FALSE(flag->AsBoolean());

    auto* day = static_cast<TDateField*>(F("D"));
    day->SetAsDateTime(EncodeDate(1999, 3, 15) + 0.75);
    EXPECT_DOUBLE_EQ(day->AsDateTime(), EncodeDate(1999, 3, 15));
    day->SetDisplayFormat("yyyy-mm-dd");
    EXPECT_EQ(day->DisplayText(), "1999-03-15");
    EXPECT_EQ(day->Text(), "03/15/1999");

    F("BCD")->SetAsCurrency(Currency(-0.125));
    EXPECT_EQ(F("BCD")->AsString(), "-0.13");
    F("S")->SetAsFloat(1.5);
    EXPECT_EQ(F("S")->AsString(), "1.5");
    EXPECT_TRUE(F("S")->AsVariant() == Variant("1.5"));
}

TEST_F(FieldTextTest, ValidCharsFollowTheFieldClass)
{
    const struct {
        const char* Field;
        const char* Valid;
        const char* Invalid;
    } cases[] = {{"S", "a.-E ", ""}, {"I", "0-+9", ".Ea"}, {"F", "0.E-e", "a,"}, {"BCD", "1.-", "Ee"}};
    for (const auto& c : cases) {
        for (const char* p = c.Valid; *p; ++p) EXPECT_TRUE(F(c.Field)->IsValidChar(*p)) << c.Field << *p;
        for (const char* p = c.Invalid; *p; ++p) EXPECT_FALSE(F(c.Field)->IsValidChar(*p)) << c.Field << *p;
    }
}

TEST_F(FieldTextTest, GetAndSetTextEventsTakePart)
{
    F("S")->OnGetText = [](TField* field, std::string& text, bool displayText) {
        text = displayText ? "<" + field->AsString() + ">" : field->AsString();
    };
    F("S")->OnSetText = [](TField* field, const std::string& text) { field->SetAsString(UpperCase(text)); };
    F("S")->SetText("abc");
    EXPECT_EQ(F("S")->DisplayText(), "<ABC>");
    EXPECT_EQ(F("S")->Text(), "ABC");
}

// Stores texts in upper case and reads them back with a trailing '~', as a native character set might differ.
class TTranslatingDataSet : public TMemDataSet {
public:
    using TMemDataSet::TMemDataSet;
    Integer Translate(const char* src, char* dest, bool toOem) override
    {
        std::string text(src);
        text = toOem ? UpperCase(text) : text + "~";
        std::memcpy(dest, text.c_str(), text.size() + 1);
        return Integer(text.size());
    }
};

TEST(StringFieldTransliteration, TextsPassThroughTheDatasetsTranslation)
{
    TTranslatingDataSet* data = new TTranslatingDataSet(nullptr);
    data->FieldDefs()->Add("Name", ftString, 10);
    data->Open();
    data->Append();
    auto* name = static_cast<TStringField*>(data->FieldByName("Name"));
    name->SetAsString("abc");
    EXPECT_EQ(name->AsString(), "ABC~");
    name->SetTransliterate(false);
    EXPECT_EQ(name->AsString(), "ABC");
    name->SetAsString("def");
    EXPECT_EQ(name->AsString(), "def");
    data->Cancel();
    data->Free();
}

// A blob streams its whole value out, takes a stream from its position on, and trades values with string lists
// (as their saved form) and other blob fields.
TEST_F(FieldTextTest, BlobsStreamAndAssignToAndFromStringLists)
{
    auto* blob = static_cast<TBlobField*>(F("BL"));
    TStringStream in("skip:one\r\ntwo");
    in.SetPosition(5);
    blob->LoadFromStream(&in);
    EXPECT_EQ(blob->AsString(), "one\r\ntwo");
    TStringStream out("x");
    out.SetPosition(1);
    blob->SaveToStream(&out);
    EXPECT_EQ(out.DataString(), "xone\r\ntwo");

    TStringList lines;
    lines.Assign(blob);
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Strings(1), "two");
    lines.Add("three");
    F("M")->Assign(&lines);
    EXPECT_EQ(F("M")->AsString(), "one\r\ntwo\r\nthree\r\n");
    blob->Assign(F("M"));
    EXPECT_EQ(blob->AsString(), "one\r\ntwo\r\nthree\r\n");
    TStringList empty;
    blob->Assign(&empty);
    EXPECT_EQ(blob->AsString(), "");
}

}  // namespace
