#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "classes/TypInfo.h"
#include "db/DBErrors.h"
#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "rtl/SysUtils.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxintl.h"

namespace {

// A dataset that publishes the library's setting lines and checks masks before a post, as the library's
// datasets do.
class TMaskedData : public TMemDataSet {
    DUN_CLASS(TMaskedData, TMemDataSet)
public:
    explicit TMaskedData(TComponent* owner) : TMemDataSet(owner) {}

    TStrings* PictureMasks() const { return pictureMasks_.get(); }
    void SetPictureMasks(TStrings* value) { pictureMasks_->Assign(value); }
    TStrings* ControlType() const { return controlType_.get(); }
    void SetControlType(TStrings* value) { controlType_->Assign(value); }
    bool ValidateWithMask = true;
    std::string DatabaseName;
    Integer OnFilterOptions = 0;
    TvxInvalidValueEvent OnInvalidValue;

    static void Publish(TPublisher<TMaskedData>& p)
    {
        p.Property("PictureMasks", &TMaskedData::PictureMasks, &TMaskedData::SetPictureMasks);
        p.Property("ControlType", &TMaskedData::ControlType, &TMaskedData::SetControlType);
        p.Property("ValidateWithMask", &TMaskedData::ValidateWithMask);
        p.Property("DatabaseName", &TMaskedData::DatabaseName);
        p.Property("OnFilterOptions", &TMaskedData::OnFilterOptions);
        p.Property("OnInvalidValue", &TMaskedData::OnInvalidValue);
    }

protected:
    void DoBeforePost() override
    {
        TMemDataSet::DoBeforePost();
        if (vxGetValidateWithMask(this)) vxValidateRecordMasks(this, vxGetOnInvalidValue(this));
    }

private:
    std::unique_ptr<TStringList> pictureMasks_ = std::make_unique<TStringList>();
    std::unique_ptr<TStringList> controlType_ = std::make_unique<TStringList>();
};

// A table that defines a picture of its own for the field "Code".
class TPictureTable : public TMaskedData, public IvxTablePictures {
    DUN_CLASS(TPictureTable, TMaskedData)
public:
    explicit TPictureTable(TComponent* owner) : TMaskedData(owner) {}
    std::string TableFieldPicture(const std::string& fieldName) override
    {
        return SameText(fieldName, "Code") ? "&&&" : "";
    }
};

// Components go through Free, which lets a dataset close before it is destroyed.
struct TFreeObject {
    void operator()(TObject* object) const { object->Free(); }
};
template <class T>
using TOwned = std::unique_ptr<T, TFreeObject>;

template <class T>
TOwned<T> MakeData()
{
    TOwned<T> data(new T(nullptr));
    data->FieldDefs()->Add("Code", ftString, 10);
    data->FieldDefs()->Add("Threshhold", ftString, 10);
    data->FieldDefs()->Add("Amount", ftFloat);
    data->Open();
    return data;
}

std::vector<std::string> Lines(TStrings* list)
{
    std::vector<std::string> lines;
    for (Integer i = 0; i < list->Count(); ++i) lines.push_back(list->Strings(i));
    return lines;
}

using TLines = std::vector<std::string>;

// ---- PictureMasks ----

TEST(VxcommonPictureMasks, ReadsTheFirstLineOfTheField)
{
    auto data = MakeData<TMaskedData>();
    data->PictureMasks()->SetText("threshhold\t#[#][#][#][#]\tF\tT\nThreshhold\t###\tT\tT\nCode\t&&\nAmount\n");
    struct Case {
        std::string field;
        std::string mask;
        bool autoFill, gridFlag;
    };
    for (const Case& c : std::vector<Case>{{"THRESHHOLD", "#[#][#][#][#]", false, true},
                                          {"Code", "&&", false, false},
                                          {"Amount", "", false, false},
                                          {"Missing", "", true, true}}) {
        std::string mask = "old";
        bool autoFill = false, gridFlag = false;
        vxGetPictureMask(data.get(), c.field, true, mask, autoFill, gridFlag);
        EXPECT_EQ(mask, c.mask) << c.field;
        EXPECT_EQ(autoFill, c.autoFill) << c.field;
        EXPECT_EQ(gridFlag, c.gridFlag) << c.field;
    }

    auto plain = MakeData<TMemDataSet>();
    std::string mask = "old";
    bool autoFill = false, gridFlag = false;
    vxGetPictureMask(plain.get(), "Code", true, mask, autoFill, gridFlag);
    EXPECT_EQ(mask, "");
    EXPECT_TRUE(autoFill && gridFlag);
}

TEST(VxcommonPictureMasks, WritesOnlyTheValuesAskedFor)
{
    auto data = MakeData<TMaskedData>();
    TStrings* lines = data->PictureMasks();
    lines->SetText("Code\t&&\tT\tF\nCODE\t##\tT\tT\n");

    vxSetPictureMask(data.get(), "code", "ignored", false, true, false, true, true);
    EXPECT_EQ(Lines(lines), (TLines{"code\t&&\tF\tT", "CODE\t##\tT\tT"}));
    vxSetPictureMask(data.get(), "Code", "!!", false, false, true, false, false);
    EXPECT_EQ(Lines(lines), (TLines{"Code\t!!\tF\tT", "CODE\t##\tT\tT"}));
    vxSetPictureMask(data.get(), "Amount", "*#", true, false, true, true, true);
    EXPECT_EQ(lines->Strings(2), "Amount\t*#\tT\tF");
    vxSetPictureMask(data.get(), "Code", "", true, true, true, true, true);
    EXPECT_EQ(Lines(lines), (TLines{"CODE\t##\tT\tT", "Amount\t*#\tT\tF"}));
    vxSetPictureMask(data.get(), "Missing", "", true, true, true, true, true);
    EXPECT_EQ(lines->Count(), 2);

    auto plain = MakeData<TMemDataSet>();
    vxSetPictureMask(plain.get(), "Code", "##", true, true, true, true, true);  // nothing to write to
}

TEST(VxcommonPictureMasks, ThePictureOfTheTableWins)
{
    auto table = MakeData<TPictureTable>();
    std::string picture;
    vxGetTablePicture(table.get(), "Code", picture);
    EXPECT_EQ(picture, "&&&");
    vxGetTablePicture(table.get(), "Amount", picture);
    EXPECT_EQ(picture, "");
    auto plain = MakeData<TMaskedData>();
    vxGetTablePicture(plain.get(), "Code", picture);
    EXPECT_EQ(picture, "");

    table->PictureMasks()->SetText("Code\t##\tF\tF\n");
    std::string mask;
    bool autoFill, gridFlag;
    vxGetPictureMask(table.get(), "Code", false, mask, autoFill, gridFlag);
    EXPECT_EQ(mask, "##");
    vxGetPictureMask(table.get(), "Code", true, mask, autoFill, gridFlag);
    EXPECT_EQ(mask, "&&&");
    EXPECT_EQ(table->PictureMasks()->Strings(0), "Code\t&&&\tF\tF");
    vxSetPictureMask(table.get(), "Code", "#", true, true, true, true, true);
    EXPECT_EQ(table->PictureMasks()->Strings(0), "Code\t&&&\tT\tT");
}

// ---- record check ----

// Counts the focus requests that reach the dataset's controls.
class TFocusLink : public TDataLink {
    DUN_CLASS(TFocusLink, TDataLink)
public:
    std::vector<std::string> focused;
    void FocusControl(TField** field) override { focused.push_back((*field)->FieldName()); }
};

class VxcommonRecordCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = MakeData<TMaskedData>();
        data->PictureMasks()->SetText("Threshhold\t#[#][#][#][#]\tT\tF\nNoSuchField\t#\tT\tF\n");
        data->FieldByName("Threshhold")->SetDisplayLabel("Threshold days");
        source.reset(new TDataSource(nullptr));
        source->SetDataSet(data.get());
        link.SetDataSource(source.get());
        data->Append();
    }
    void TearDown() override { link.SetDataSource(nullptr); }

    std::string PostError()
    {
        try {
            data->Post();
        } catch (const EDatabaseError& e) {
            return e.Message();
        }
        return "";
    }

    TOwned<TMaskedData> data;
    TOwned<TDataSource> source;
    TFocusLink link;
};

TEST_F(VxcommonRecordCheck, ValueBreakingItsMaskRefusesThePost)
{
    for (const std::string value : {"123456", "12a", "x"}) {
        data->FieldByName("Threshhold")->SetAsString(value);
        EXPECT_EQ(PostError(), "Invalid characters. Field : Threshold days") << value;
        EXPECT_EQ(data->State(), dsInsert);
    }
    EXPECT_EQ(link.focused, (TLines{"Threshhold", "Threshhold", "Threshhold"}));
    data->FieldByName("Threshhold")->SetAsString("12345");
    EXPECT_EQ(PostError(), "");
    EXPECT_EQ(data->State(), dsBrowse);
}

TEST_F(VxcommonRecordCheck, EmptyValuePostsAndMaskLinesOfOtherFieldsAreIgnored)
{
    EXPECT_EQ(PostError(), "");
    EXPECT_EQ(data->RecordCount(), 1);
    EXPECT_TRUE(link.focused.empty());
}

TEST_F(VxcommonRecordCheck, IncompleteValueRefusesThePost)
{
    data->PictureMasks()->SetText("Code\t###\tF\tF\n");
    data->FieldByName("Code")->SetAsString("12");
    EXPECT_EQ(PostError(), "Invalid characters. Field : Code");
}

TEST_F(VxcommonRecordCheck, ReadOnlyFieldNeverBlocksThePost)
{
    data->FieldByName("Threshhold")->SetAsString("abc");
    data->FieldByName("Threshhold")->SetReadOnly(true);
    EXPECT_EQ(PostError(), "");
}

TEST_F(VxcommonRecordCheck, EventRunsBeforeTheErrorAndTheFirstBadFieldEndsTheCheck)
{
    data->PictureMasks()->Add("Code\t&&\tF\tF");
    data->PictureMasks()->Add("Amount\t#\tF\tF");
    data->FieldByName("Code")->SetAsString("1");
    data->FieldByName("Amount")->SetAsFloat(12.5);
    std::vector<std::string> reported;
    data->OnInvalidValue = [&](TDataSet* dataSet, TField* field) {
        EXPECT_EQ(dataSet, data.get());
        reported.push_back(field->FieldName());
    };
    EXPECT_EQ(PostError(), "Invalid characters. Field : Code");
    EXPECT_EQ(reported, (TLines{"Code"}));
}

TEST_F(VxcommonRecordCheck, NoCheckWithoutValidateWithMaskAndTheMessageComesFromTheSettings)
{
    data->FieldByName("Threshhold")->SetAsString("abc");
    vxIntl()->UserMessages()->PictureValidateError = "Bad value in ";
    EXPECT_EQ(PostError(), "Bad value in Threshold days");
    vxIntl()->UserMessages()->PictureValidateError = "Invalid characters. Field : ";
    SetOrdProp(data.get(), "ValidateWithMask", 0);
    EXPECT_EQ(PostError(), "");
}

TEST(VxcommonRecordCheckText, CheckPictureText)
{
    EXPECT_TRUE(vxCheckPictureText("###", ""));
    EXPECT_TRUE(vxCheckPictureText("", ""));
    EXPECT_TRUE(vxCheckPictureText("###", "123"));
    EXPECT_FALSE(vxCheckPictureText("###", "12"));
    EXPECT_FALSE(vxCheckPictureText("[#", "1"));
    EXPECT_TRUE(vxCheckPictureText("&&", "ab"));  // the caller's text is judged as normalised
    std::string value = "ab";
    vxCheckPictureText("&&", value);
    EXPECT_EQ(value, "ab");
}

// ---- Selected ----

TEST(VxcommonSelected, ApplyShowsTheNamedFieldsInLineOrder)
{
    auto data = MakeData<TMaskedData>();
    TStringList selected;
    selected.SetText("amount\t12\tSum\tT\nNoSuchField\t5\tX\nCode\t7\tClient~Code\n");
    vxApplySelected(data.get(), &selected);
    EXPECT_EQ(data->Fields()->Fields(0)->FieldName(), "Amount");
    EXPECT_EQ(data->FieldByName("Amount")->DisplayWidth(), 12);
    EXPECT_EQ(data->FieldByName("Amount")->DisplayLabel(), "Sum");
    EXPECT_EQ(data->FieldByName("Code")->Index(), 2);
    EXPECT_FALSE(data->FieldByName("Threshhold")->Visible());
    EXPECT_FALSE(data->ControlsDisabled());

    vxGetSelected(data.get(), &selected);  // the read-only flag is not written back
    EXPECT_EQ(Lines(&selected), (TLines{"Amount\t12\tSum", "Code\t7\tClient~Code"}));
    Integer index = -1;
    EXPECT_TRUE(vxFindSelectedLine(&selected, "CODE", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(vxFindSelectedLine(&selected, "Threshhold", index));
    EXPECT_FALSE(vxFindSelectedLine(nullptr, "Code", index));

    selected.Clear();
    vxApplySelected(data.get(), &selected);
    for (Integer i = 0; i < data->FieldCount(); ++i) EXPECT_FALSE(data->Fields()->Fields(i)->Visible());
}

TEST(VxcommonSelected, BadLinesRaiseWithTheControlsEnabledAgain)
{
    auto data = MakeData<TMaskedData>();
    TStringList selected;
    selected.SetText("Code\twide\tCode\n");
    EXPECT_THROW(vxApplySelected(data.get(), &selected), EConvertError);
    EXPECT_FALSE(data->ControlsDisabled());
    selected.SetText("Code\t5\n");
    EXPECT_THROW(vxApplySelected(data.get(), &selected), EListError);
    EXPECT_FALSE(data->ControlsDisabled());
}

// ---- ControlType ----

TEST(VxcommonControlType, LastLineOfTheFieldWins)
{
    auto data = MakeData<TMaskedData>();
    data->ControlType()->SetText(
        "Address Type;CheckBox;S;X\nClient Code;CustomEdit;ClientCode\nClient Code;Combo;Edit1\n"
        "client code;LookupCombo;Other\nMemo;RichEdit\n");
    struct Case {
        std::string field, type, parameters;
    };
    for (const Case& c : std::vector<Case>{{"Address Type", "CheckBox", "S;X"},
                                          {"Client Code", "Combo", "Edit1"},
                                          {"Memo", "RichEdit", "Memo;RichEdit"},
                                          {"Missing", "", ""}}) {
        std::string type = "old", parameters = "old";
        vxFindControlType(data.get(), c.field, type, parameters);
        EXPECT_EQ(type, c.type) << c.field;
        EXPECT_EQ(parameters, c.parameters) << c.field;
    }
    EXPECT_TRUE(vxIsNamedControlType("customedit"));
    EXPECT_TRUE(vxIsNamedControlType("LookupCombo"));
    EXPECT_TRUE(vxIsNamedControlType("COMBO"));
    EXPECT_FALSE(vxIsNamedControlType("CheckBox"));
}

TEST(VxcommonControlType, PruningAtDesignTimeDropsLinesOfMissingControls)
{
    TComponent form(nullptr);
    TComponent owner(nullptr);
    (new TComponent(&form))->SetName("Edit1");
    (new TComponent(&owner))->SetName("Lookup1");
    auto* data = new TMaskedData(&owner);
    data->ControlType()->SetText(
        "A;CustomEdit;Edit1\nB;Combo;Gone\nC;LookupCombo;Module.Lookup1\nD;LookupCombo;Module.Gone\n"
        "E;CheckBox;Gone\nF;Combo;Module.\n");
    const TLines before = Lines(data->ControlType());
    EXPECT_TRUE(vxPruneCustomControlTypes(&form, data));
    EXPECT_EQ(Lines(data->ControlType()), before);  // only while designing

    form.SetDesigning(true);
    EXPECT_TRUE(vxPruneCustomControlTypes(&form, data));
    EXPECT_EQ(Lines(data->ControlType()),
              (TLines{"A;CustomEdit;Edit1", "C;LookupCombo;Module.Lookup1", "E;CheckBox;Gone", "F;Combo;Module."}));
}

TEST(VxcommonControlType, RichTextFieldsByLineOrContent)
{
    TOwned<TMaskedData> data(new TMaskedData(nullptr));
    data->FieldDefs()->Add("Notes", ftMemo);
    data->FieldDefs()->Add("Body", ftMemo);
    data->FieldDefs()->Add("Name", ftString, 10);
    data->Open();
    data->Append();
    data->FieldByName("Body")->SetAsString("{\\rtf1 text}");
    data->FieldByName("Notes")->SetAsString("{\\rt");
    data->Post();

    EXPECT_FALSE(vxIsRichTextField(data->FieldByName("Body"), false));
    EXPECT_TRUE(vxIsRichTextField(data->FieldByName("Body"), true));
    EXPECT_FALSE(vxIsRichTextField(data->FieldByName("Notes"), true));
    data->ControlType()->Add("Notes;RichEdit");
    EXPECT_TRUE(vxIsRichTextField(data->FieldByName("Notes"), false));
    data->ControlType()->SetText("Name;RichEdit\n");
    EXPECT_FALSE(vxIsRichTextField(data->FieldByName("Name"), true));  // not a blob field
    EXPECT_FALSE(vxIsRichTextField(nullptr, true));
}

// ---- property access by name ----

TEST(VxcommonProperties, ClassesWithAndWithoutTheProperties)
{
    auto masked = MakeData<TMaskedData>();
    auto plain = MakeData<TMemDataSet>();

    EXPECT_EQ(vxGetPictureMasks(masked.get()), masked->PictureMasks());
    EXPECT_EQ(vxGetControlTypes(masked.get()), masked->ControlType());
    EXPECT_TRUE(vxGetValidateWithMask(masked.get()));
    EXPECT_EQ(vxGetPictureMasks(plain.get()), nullptr);
    EXPECT_EQ(vxGetControlTypes(plain.get()), nullptr);
    EXPECT_FALSE(vxGetValidateWithMask(plain.get()));
    EXPECT_EQ(vxGetLookupFields(masked.get()), nullptr);
    EXPECT_EQ(vxGetLookupLinks(masked.get()), nullptr);
    EXPECT_TRUE(vxGetControlInfoInDataSet(plain.get()));
    EXPECT_FALSE(vxGetParamCheck(plain.get()));
    EXPECT_FALSE(vxSetParamCheck(plain.get(), true));
    EXPECT_FALSE(vxSetSQL(plain.get(), nullptr));
    EXPECT_EQ(vxGetSessionName(masked.get()), "");
    EXPECT_EQ(vxGetDataSource(masked.get()), nullptr);
    EXPECT_EQ(vxGetMasterSource(nullptr), nullptr);

    EXPECT_TRUE(vxSetDatabaseName(masked.get(), "VAVUZ"));
    EXPECT_EQ(vxGetDatabaseName(masked.get()), "VAVUZ");
    EXPECT_FALSE(vxSetDatabaseName(plain.get(), "VAVUZ"));
    EXPECT_EQ(vxGetDatabaseName(plain.get()), "");

    // Not window controls: DataField and DataSource are left alone.
    EXPECT_EQ(vxGetDataField(masked.get()), "");
    EXPECT_FALSE(vxSetDataField(masked.get(), "Code"));
    EXPECT_FALSE(vxSetDataSource(masked.get(), nullptr));

    EXPECT_FALSE(vxGetOnInvalidValue(plain.get()));
    EXPECT_FALSE(vxGetOnInvalidValue(masked.get()));
    bool called = false;
    masked->OnInvalidValue = [&](TDataSet*, TField*) { called = true; };
    vxGetOnInvalidValue(masked.get())(masked.get(), nullptr);
    EXPECT_TRUE(called);

    vxSetOnFilterEnabled(masked.get(), true);
    EXPECT_EQ(vxGetOnFilterOptions(masked.get()), vxofoEnabled);
    masked->OnFilterOptions = vxofoEnabled | vxofoCancelOnEscape;
    vxSetOnFilterEnabled(masked.get(), false);
    EXPECT_EQ(vxGetOnFilterOptions(masked.get()), vxofoCancelOnEscape);
    vxSetOnFilterEnabled(plain.get(), true);
    EXPECT_EQ(vxGetOnFilterOptions(plain.get()), 0);
}

TEST(VxcommonProperties, CompatibleDataSetsAndFields)
{
    auto masked = MakeData<TMaskedData>();
    auto plain = MakeData<TMemDataSet>();
    EXPECT_TRUE(vxIsCompatibleDataSet(masked.get()));
    EXPECT_FALSE(vxIsCompatibleDataSet(plain.get()));
    EXPECT_FALSE(vxIsCompatibleDataSet(nullptr));
    EXPECT_TRUE(vxDataSetHasField(plain.get(), "CODE"));
    EXPECT_FALSE(vxDataSetHasField(plain.get(), "Nope"));
    TComponent notADataSet(nullptr);
    EXPECT_FALSE(vxDataSetHasField(&notADataSet, "Code"));
}

}  // namespace
