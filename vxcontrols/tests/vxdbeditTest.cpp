// The masked data edit on real windows: keystrokes, Backspace and Delete checked against a picture mask (one table
// for every control that runs the masked-key routine), the date and time fill on Space under a fixed clock and
// locale, the picture kept in the dataset's PictureMasks line, writing back with validation and the year rule,
// refusing to be left invalid, a field's FocusControl, and its own painting.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "classes/Action.h"
#include "classes/FormResource.h"
#include "db/DataSet.h"
#include "db/DateTimeFields.h"
#include "db/Field.h"
#include "db/MemDataSet.h"
#include "rtl/Clock.h"
#include "rtl/DateTime.h"
#include "rtl/tests/UsSettings.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/Vxdbgrid.h"
#include "vxcontrols/vxdbedit.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/vxDataSource.h"

namespace {

// A dataset publishing the library's PictureMasks line, mask validation and the invalid-value event.
class TMaskedData : public TMemDataSet {
    DUN_CLASS(TMaskedData, TMemDataSet)
public:
    explicit TMaskedData(TComponent* owner) : TMemDataSet(owner) {}

    TStrings* PictureMasks() const { return pictureMasks_.get(); }
    void SetPictureMasks(TStrings* value) { pictureMasks_->Assign(value); }
    bool ValidateWithMask = true;
    TvxInvalidValueEvent OnInvalidValue;

    static void Publish(TPublisher<TMaskedData>& p)
    {
        p.Property("PictureMasks", &TMaskedData::PictureMasks, &TMaskedData::SetPictureMasks);
        p.Property("ValidateWithMask", &TMaskedData::ValidateWithMask);
        p.Property("OnInvalidValue", &TMaskedData::OnInvalidValue);
    }

private:
    std::unique_ptr<TStringList> pictureMasks_ = std::make_unique<TStringList>();
};

TDateTime DT(Word y, Word m, Word d, Word h, Word n, Word s = 0) { return EncodeDate(y, m, d) + EncodeTime(h, n, s, 0); }

// A form with two edits, shown and active; the clock stands at 11 December 2026 09:30:15.
class EditOnForm : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        SetClock([] { return DT(2026, 12, 11, 9, 30, 15); });
        form.reset(CreateObject<TForm>(nullptr));
        form->SetBounds(100, 100, 260, 110);
        edit = NewEdit(8);
        other = NewEdit(40);
        form->Show();
        ActivateForm(form.get());
        edit->SetFocus();
        PumpMessages();
    }
    void TearDown() override
    {
        form.reset();
        ResetClock();
        UsSettings::TearDown();
    }

    TvxDBEdit* NewEdit(Integer top)
    {
        auto* e = new TvxDBEdit(form.get());
        e->SetParent(form.get());
        e->SetBounds(8, top, 200, 24);
        return e;
    }

    // Space typed n times; the edit's text after each.
    std::vector<std::string> Spaces(int n)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < n; ++i) {
            TypeKey(VK_SPACE);
            texts.push_back(edit->Text());
        }
        return texts;
    }

    std::unique_ptr<TForm> form;
    TvxDBEdit* edit = nullptr;
    TvxDBEdit* other = nullptr;
};

// ---- the masked-key table

// One control that runs the masked-key routine, driven by real keys.
class MaskedKeyControl {
public:
    virtual ~MaskedKeyControl() = default;
    virtual void Prepare(const std::string& mask, bool autoFill, const std::string& text, Integer start,
                         Integer length) = 0;
    virtual TCustomEdit* Edit() = 0;
    // The last OnCheckValue answer: -1 none, 0 fails, 1 passes.
    virtual int CheckAnswer() = 0;
    // The picture logic consumed the last key.
    virtual bool KeyConsumed() = 0;
};

class MaskEditControl : public MaskedKeyControl {
public:
    explicit MaskEditControl(TvxDBEdit* edit) : edit_(edit)
    {
        edit_->OnCheckValue = [this](TObject*, bool passes) { answer_ = passes ? 1 : 0; };
    }
    void Prepare(const std::string& mask, bool autoFill, const std::string& text, Integer start,
                 Integer length) override
    {
        edit_->GetPicture()->SetPictureMask(mask);
        edit_->GetPicture()->SetAutoFill(autoFill);
        edit_->SetText(text);
        edit_->SetSelStart(start);
        edit_->SetSelLength(length);
        answer_ = -1;
    }
    TCustomEdit* Edit() override { return edit_; }
    int CheckAnswer() override { return answer_; }
    bool KeyConsumed() override { return edit_->MaskHandled(); }

private:
    TvxDBEdit* edit_;
    int answer_ = -1;
};

constexpr char BS = '\b';
constexpr char DEL = 127;

struct MaskedKeyCase {
    const char* note;
    const char* mask;
    bool autoFill;
    const char* text;
    Integer selStart, selLength;
    char key;
    const char* result;
    Integer caret, selAfter;
    bool beep, consumed;
    int answer;  // -1 none, 0 fails, 1 passes
};

const MaskedKeyCase maskedKeyCases[] = {
    {"auto-fill at the end", "###-####", true, "12", 2, 0, '3', "123-", 4, 0, false, true, 0},
    {"no auto-fill", "###-####", false, "12", 2, 0, '3', "123", 3, 0, false, true, 0},
    {"complete", "###", false, "12", 2, 0, '3', "123", 3, 0, false, true, 1},
    {"impossible at the end", "###-####", true, "123-", 4, 0, 'x', "123-", 4, 0, true, false, -1},
    {"one too many", "###", false, "123", 3, 0, '4', "123", 3, 0, true, false, -1},
    {"normalised", "&&&", false, "A", 1, 0, 'b', "AB", 2, 0, false, true, 0},
    {"all selected", "###", false, "999", 0, 3, '5', "5", 1, 0, false, true, 0},
    {"empty text counts as all selected", "###", false, "", 0, 0, '7', "7", 1, 0, false, true, 0},
    {"in the middle", "###", false, "13", 1, 0, '2', "123", 2, 0, false, true, 1},
    {"part selected, caret after auto-filled literal", "###-###", true, "129", 2, 1, '3', "123-", 4, 0, false, true,
     0},
    {"part selected, complete", "###", false, "123", 1, 1, '9', "193", 2, 0, false, true, 1},
    {"impossible in the middle goes to the window", "###", false, "12", 1, 0, 'x', "1x2", 2, 0, false, false, 0},
    {"bad mask lets the key through", "[#", false, "", 0, 0, '1', "1", 1, 0, false, false, 1},
    {"backspace", "###", false, "123", 3, 0, BS, "12", 2, 0, false, false, 0},
    {"backspace over a selection reports the text left", "##", false, "12a", 2, 1, BS, "12", 2, 0, false, false, 1},
    {"delete over a selection", "##", false, "12a", 2, 1, DEL, "12", 2, 0, false, false, 1},
    {"delete", "###", false, "123", 0, 0, DEL, "23", 0, 0, false, false, 0},
};

void TypeCaseKey(char key)
{
    if (key == BS) TypeKey(VK_BACK);
    else if (key == DEL) TypeKey(VK_DELETE);
    else if (key >= 'a' && key <= 'z') TypeKey(Word(key - 'a' + 'A'));
    else TypeText(std::string(1, key));
}

void RunMaskedKeyTable(MaskedKeyControl& control)
{
    for (const MaskedKeyCase& c : maskedKeyCases) {
        SCOPED_TRACE(c.note);
        control.Prepare(c.mask, c.autoFill, c.text, c.selStart, c.selLength);
        const Integer beeps = vxRefuseBeeps;
        TypeCaseKey(c.key);
        TCustomEdit* edit = control.Edit();
        EXPECT_EQ(edit->Text(), c.result);
        EXPECT_EQ(edit->SelStart(), c.caret);
        EXPECT_EQ(edit->SelLength(), c.selAfter);
        EXPECT_EQ(vxRefuseBeeps - beeps, c.beep ? 1 : 0);
        EXPECT_EQ(control.KeyConsumed(), c.consumed);
        EXPECT_EQ(control.CheckAnswer(), c.answer);
    }
}

TEST_F(EditOnForm, MaskedKeysThroughTheMaskEdit)
{
    MaskEditControl control(edit);
    RunMaskedKeyTable(control);
}

// The cell editor of a grid on the same form, over one Code field whose PictureMasks line has the grid flag. The
// editor loads the line when it gets the focus, so each case moves the focus away and back.
class GridCellControl : public MaskedKeyControl {
public:
    GridCellControl(TForm* form, TWinControl* elsewhere) : elsewhere_(elsewhere)
    {
        data_ = new TMaskedData(form);
        data_->FieldDefs()->Add("Code", ftString, 10);
        data_->Open();
        data_->AppendRecord({Variant("1")});
        source_ = new TvxDataSource(form);
        source_->SetDataSet(data_);
        grid_ = new TvxDBGrid(form);
        grid_->SetParent(form);
        grid_->SetBounds(220, 8, 160, 80);
        grid_->SetOptions(grid_->Options() + TvxDBGridOptions{dgAlwaysShowEditor});
        grid_->SetDataSource(source_);
        grid_->OnCheckValue = [this](TObject* sender, bool passes) {
            EXPECT_EQ(sender, Editor());
            answer_ = passes ? 1 : 0;
        };
    }
    void Prepare(const std::string& mask, bool autoFill, const std::string& text, Integer start,
                 Integer length) override
    {
        if (data_->State() != dsBrowse) data_->Cancel();
        elsewhere_->SetFocus();
        PumpMessages();
        data_->PictureMasks()->SetText("Code\t" + mask + (autoFill ? "\tT" : "\tF") + "\tT\n");
        grid_->SetFocus();
        PumpMessages();
        if (!grid_->EditorMode()) TypeKey(VK_F2);
        ASSERT_TRUE(Editor() && Editor()->Focused());
        Editor()->SetText(text);
        Editor()->SetSelStart(start);
        Editor()->SetSelLength(length);
        answer_ = -1;
    }
    TCustomEdit* Edit() override { return Editor(); }
    int CheckAnswer() override { return answer_; }
    bool KeyConsumed() override { return Editor()->MaskHandled(); }
    TvxInplaceEdit* Editor() { return dynamic_cast<TvxInplaceEdit*>(grid_->InplaceEditor()); }
    TvxDBGrid* Grid() { return grid_; }

private:
    TWinControl* elsewhere_;
    TMaskedData* data_ = nullptr;
    TvxDataSource* source_ = nullptr;
    TvxDBGrid* grid_ = nullptr;
    int answer_ = -1;
};

TEST_F(EditOnForm, MaskedKeysThroughTheGridsCellEditor)
{
    form->SetWidth(400);
    GridCellControl control(form.get(), other);
    form->Show();
    PumpMessages();
    RunMaskedKeyTable(control);
    control.Prepare("##/##", true, "1", 1, 0);
    TypeText("2");
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbedit-grid-cell.png"));
}

// ---- Space fills dates and times

TEST_F(EditOnForm, SpaceFillsDayFirstDateAndTwelveHourTimePartByPart)
{
    ShortDateFormat = "dd/mm/yyyy";
    edit->SetUnboundDataType(vxEdtDateTime);
    EXPECT_EQ(Spaces(8), (std::vector<std::string>{"11/", "11/12/", "11/12/2026", "11/12/2026 ", "11/12/2026 9:",
                                                   "11/12/2026 9:30:", "11/12/2026 9:30:15",
                                                   "11/12/2026 9:30:15 AM"}));
    EXPECT_EQ(edit->SelStart(), Integer(edit->Text().size()));
    EXPECT_TRUE(edit->Modified());
}

TEST_F(EditOnForm, SpaceFillsMonthFirstDateAndTwentyFourHourTime)
{
    ShortDateFormat = "M/d/yy";
    TimeAMString = TimePMString = "";
    SetClock([] { return DT(2026, 3, 4, 21, 5, 7); });
    edit->SetUnboundDataType(vxEdtDateTime);
    EXPECT_EQ(Spaces(7), (std::vector<std::string>{"3/", "3/4/", "3/4/26", "3/4/26 ", "3/4/26 21:", "3/4/26 21:05:",
                                                   "3/4/26 21:05:07"}));
}

TEST_F(EditOnForm, SpaceInTimeAndDateOnlyEdits)
{
    edit->SetUnboundDataType(vxEdtTime);
    EXPECT_EQ(Spaces(4), (std::vector<std::string>{"9:", "9:30:", "9:30:15", "9:30:15 AM"}));

    other->SetUnboundDataType(vxEdtDate);
    other->SetFocus();
    TypeText("5");
    TypeKey(VK_SPACE);
    EXPECT_EQ(other->Text(), "5/");  // a typed digit gets just the separator
    TypeKey(VK_SPACE);
    TypeKey(VK_SPACE);
    EXPECT_EQ(other->Text(), "5/11/2026");
    TypeKey(VK_SPACE);
    EXPECT_EQ(other->Text(), "5/11/2026");  // no time in a date edit
}

TEST_F(EditOnForm, SpaceIsAnOrdinaryCharacterWithCtrlInTheMiddleAndInPlainEdits)
{
    edit->SetUnboundDataType(vxEdtDate);
    TypeKey(VK_SPACE, {ssCtrl});
    EXPECT_EQ(edit->Text().find("12"), std::string::npos) << edit->Text();

    edit->SetText("12/25");
    edit->SetSelStart(2);
    TypeKey(VK_SPACE);
    EXPECT_EQ(edit->Text(), "12 /25");

    other->SetFocus();
    TypeKey(VK_SPACE);
    EXPECT_EQ(other->Text(), " ");  // not a date edit
}

// ---- leaving, painting

TEST_F(EditOnForm, AnInvalidTextCannotBeLeftUnlessAllowed)
{
    edit->GetPicture()->SetPictureMask("###");
    TypeText("12");
    TypeKey(VK_TAB);
    EXPECT_TRUE(edit->Focused());
    EXPECT_TRUE(edit->InvalidExit());
    EXPECT_EQ(edit->SelLength(), 2);

    TypeKey(VK_END);
    TypeText("3");
    TypeKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(edit->Text(), "123");

    edit->SetFocus();
    edit->GetPicture()->SetAllowInvalidExit(true);
    TypeKey(VK_BACK);
    TypeKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
}

TEST_F(EditOnForm, PasteAndCutAreCheckedAndAutoFilled)
{
    int answer = -1;
    edit->OnCheckValue = [&](TObject*, bool passes) { answer = passes ? 1 : 0; };
    edit->GetPicture()->SetPictureMask("###-####");
    other->SetText("123");
    other->SetFocus();
    other->SelectAll();
    TypeKey('C', {ssCtrl});
    edit->SetFocus();
    TypeKey('V', {ssCtrl});
    EXPECT_EQ(edit->Text(), "123-");
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(answer, 0);
    TypeText("4567");
    EXPECT_EQ(answer, 1);
    edit->SetSelStart(4);
    edit->SetSelLength(4);
    TypeKey('X', {ssCtrl});
    EXPECT_EQ(edit->Text(), "123-");
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(edit->Modified());
}

// ---- bound to a field

// One record (Code "123", When 5 March 2004 14:30) of a dataset with a PictureMasks line for Code; the edit shows Code.
class BoundEdit : public EditOnForm {
protected:
    void SetUp() override
    {
        EditOnForm::SetUp();
        data = new TMaskedData(nullptr);
        data->FieldDefs()->Add("Code", ftString, 10);
        data->FieldDefs()->Add("When", ftDateTime);
        data->PictureMasks()->SetText("Code\t###\tF\tT\n");
        data->Open();
        data->Append();
        data->FieldByName("Code")->SetAsString("123");
        data->FieldByName("When")->SetAsDateTime(DT(2004, 3, 5, 14, 30));
        data->Post();
        source = new TvxDataSource(nullptr);
        source->SetDataSet(data);
        edit->SetDataSource(source);
        edit->SetDataField("Code");
        other->SetDataSource(source);
        other->SetDataField("When");
        other->SetFocus();
        PumpMessages();
        edit->SetFocus();
        PumpMessages();
    }
    void TearDown() override
    {
        form.reset();
        delete source;
        data->Free();
        EditOnForm::TearDown();
    }

    TMaskedData* data = nullptr;
    TvxDataSource* source = nullptr;
};

TEST_F(BoundEdit, ThePictureIsTheFieldsPictureMasksLine)
{
    TvxDBPicture* picture = edit->GetPicture();
    EXPECT_EQ(picture->PictureMask(), "###");
    EXPECT_FALSE(picture->AutoFill());
    picture->SetPictureMask("&&#");
    picture->SetAutoFill(true);
    EXPECT_EQ(data->PictureMasks()->Text(), "Code\t&&#\tT\tT\r\n");
    picture->SetAllowInvalidExit(true);
    EXPECT_FALSE(picture->GetAllowInvalidExit());
    EXPECT_EQ(other->GetPicture()->PictureMask(), "");
}

TEST_F(BoundEdit, TypingFollowsTheMaskAndLeavingWritesTheField)
{
    std::vector<std::string> reported;
    data->OnInvalidValue = [&](TDataSet*, TField* field) { reported.push_back(field->FieldName()); };
    EXPECT_EQ(edit->Text(), "123");
    TypeText("45");  // everything selected on entering: replaced
    EXPECT_EQ(edit->Text(), "45");
    TypeKey(VK_TAB);
    EXPECT_TRUE(edit->Focused());  // incomplete: not left
    EXPECT_EQ(reported, std::vector<std::string>{"Code"});
    TypeKey(VK_END);
    TypeText("6");
    TypeKey(VK_TAB);
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(data->FieldByName("Code")->AsString(), "456");
}

TEST_F(BoundEdit, AFieldsFocusControlFocusesItsEdit)
{
    other->SetFocus();
    PumpMessages();
    data->FieldByName("Code")->FocusControl();
    EXPECT_TRUE(edit->Focused());
    data->FieldByName("When")->FocusControl();
    EXPECT_TRUE(other->Focused());
}

TEST_F(BoundEdit, PostingAnInvalidTextGoesToOnInvalidValueOrRaises)
{
    std::vector<std::string> reported;
    data->OnInvalidValue = [&](TDataSet*, TField* field) { reported.push_back(field->FieldName()); };
    data->Edit();
    edit->SetText("12");
    edit->MarkModified();
    data->Post();
    EXPECT_EQ(reported, std::vector<std::string>{"Code"});

    data->OnInvalidValue = nullptr;
    data->Edit();
    edit->SetText("12");
    edit->MarkModified();
    EXPECT_THROW(data->Post(), EDBEditError);
    data->Cancel();
}

TEST_F(BoundEdit, TheCenturyIsAddedOnlyToTwoDigitYears)
{
    TwoDigitYearCenturyWindow = 80;  // two-digit years from 46 decode in the 1900s
    const struct {
        const char* text;
        Word year;
    } cases[] = {{"1/2/49 10:00 AM", 2049}, {"1/2/50 10:00 AM", 1950}, {"1/2/1949 10:00 AM", 1949},
                 {"1/2/2049 10:00 AM", 2049}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        other->SetFocus();
        PumpMessages();
        data->Edit();
        other->SetText(c.text);
        other->MarkModified();
        data->Post();
        Word y, m, d;
        DecodeDate(data->FieldByName("When")->AsDateTime(), y, m, d);
        EXPECT_EQ(y, c.year);
        EXPECT_EQ(m, 1);
        EXPECT_EQ(d, 2);
        const TDateTime value = data->FieldByName("When")->AsDateTime();
        EXPECT_NEAR(value - std::floor(value), 10.0 / 24, 1e-6);
    }
}

TEST_F(BoundEdit, PaintsRightAlignedFieldsItselfWhenUnfocused)
{
    TField* when = data->FieldByName("When");
    when->SetAlignment(taRightJustify);
    form->SetWidth(260);
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbedit-unfocused.png"));
    other->SetFocus();
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbedit-focused.png"));
}

}  // namespace

namespace {

// ---- inside a grid cell

// An edit placed in a cell of a grid over three records with a code and a memo note.
class EditInGrid : public EditOnForm {
protected:
    void SetUp() override
    {
        EditOnForm::SetUp();
        form->SetBounds(100, 100, 360, 240);
        data = new TMaskedData(form.get());
        data->FieldDefs()->Add("Code", ftString, 10);
        data->FieldDefs()->Add("Note", ftMemo);
        data->Open();
        for (const char* code : {"A1", "B2", "C3"}) data->AppendRecord({Variant(code), Variant("a note")});
        data->First();
        auto* source = new TvxDataSource(form.get());
        source->SetDataSet(data);
        grid = new TvxDBGrid(form.get());
        grid->SetParent(form.get());
        grid->SetBounds(8, 72, 330, 130);
        grid->SetDataSource(source);
        cellEdit = new TvxDBEdit(form.get());
        cellEdit->SetParent(grid);
        cellEdit->SetBorderStyle(bsNone);
        cellEdit->SetDataSource(source);
        PumpMessages();
    }
    // The edit shows the field in the current cell of the first record, focused with its text selected.
    void EnterCell(const std::string& fieldName)
    {
        if (data->State() != dsBrowse) data->Cancel();
        grid->SetFocus();
        data->First();
        grid->SetCol(fieldName == "Code" ? 1 : 2);
        cellEdit->SetDataField(fieldName);
        const TRect cell = grid->CellRect(fieldName == "Code" ? 1 : 2, 1);
        cellEdit->SetBounds(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
        cellEdit->SetFocus();
        PumpMessages();
    }

    TMaskedData* data = nullptr;
    TvxDBGrid* grid = nullptr;
    TvxDBEdit* cellEdit = nullptr;
};

TEST_F(EditInGrid, TheGridsKeysReachTheGrid)
{
    grid->SetKeyOptions({dgEnterToTab});
    const struct {
        const char* note;
        const char* field;
        const char* typed;  // typed first
        bool caretAtStart;  // instead of everything selected
        Word key;
        TShiftState shift;
        bool toGrid;
        const char* current;
        Integer col;
    } cases[] = {
        {"Down moves the grid", "Code", "", false, VK_DOWN, {}, true, "B2", 1},
        {"Alt+Down stays", "Code", "", false, VK_DOWN, {ssAlt}, false, "A1", 1},
        {"Page Down moves the grid", "Code", "", false, VK_NEXT, {}, true, "C3", 1},
        {"Esc in an unchanged cell", "Code", "", false, VK_ESCAPE, {}, true, "A1", 1},
        {"Esc in a changed cell restores it", "Code", "Z", false, VK_ESCAPE, {}, true, "A1", 1},
        {"Enter is the grid's", "Code", "", false, VK_RETURN, {}, true, "A1", 2},
        {"Tab is the grid's", "Code", "", false, VK_TAB, {}, true, "A1", 2},
        {"Left at the start without the editor always shown stays", "Code", "", true, VK_LEFT, {}, false, "A1", 1},
        {"a memo keeps Down until all is selected", "Note", "", true, VK_DOWN, {}, false, "A1", 2},
        {"a memo with everything selected gives Down", "Note", "", false, VK_DOWN, {}, true, "B2", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        EnterCell(c.field);
        const Integer col = grid->Col();
        TypeText(c.typed);
        if (c.caretAtStart) {
            cellEdit->SetSelStart(0);
            cellEdit->SetSelLength(0);
        }
        TypeKey(c.key, c.shift);
        EXPECT_EQ(grid->Focused(), c.toGrid);
        EXPECT_EQ(cellEdit->Focused(), !c.toGrid);
        EXPECT_EQ(data->FieldByName("Code")->AsString(), c.current);
        EXPECT_EQ(grid->Col() - col, c.col - (c.field == std::string("Code") ? 1 : 2));
        EXPECT_EQ(cellEdit->Text(), data->FieldByName(c.field)->AsString());  // a change undone by Esc is gone
    }
}

TEST_F(EditInGrid, EditorAlwaysShownHandsLeftAndRightAtTheEnds)
{
    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgAlwaysShowEditor});
    const struct {
        Integer selStart, selLength;
        Word key;
        TShiftState shift;
        bool toGrid;
    } cases[] = {
        {0, 0, VK_LEFT, {}, true},   {1, 0, VK_LEFT, {}, false},  {1, 0, VK_HOME, {ssCtrl}, true},
        {2, 0, VK_RIGHT, {}, true},  {1, 0, VK_RIGHT, {}, false}, {0, 2, VK_END, {}, true},
        {1, 1, VK_END, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " at " + std::to_string(c.selStart));
        EnterCell("Code");
        cellEdit->SetSelStart(c.selStart);
        cellEdit->SetSelLength(c.selLength);
        TypeKey(c.key, c.shift);
        EXPECT_EQ(cellEdit->Focused(), !c.toGrid);
    }
}

TEST_F(EditInGrid, LooksLikeACellWhileEditing)
{
    EnterCell("Code");
    TypeText("Q7");
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbedit-in-grid.png"));
    grid->SetFocus();
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbedit-in-focused-grid.png"));
}

}  // namespace

namespace {

// ---- form files, actions, window styles, memo fields

TEST_F(BoundEdit, AFormFileSetsThePublishedPropertiesAndStoresOnlyAnOwnPicture)
{
    std::unique_ptr<TForm> loaded(CreateObject<TForm>(nullptr));
    ReadComponentText(loaded.get(),
                      "object EditForm: TForm\n"
                      "  Left = 60\n  Top = 60\n  Width = 300\n  Height = 120\n"
                      "  object Phone: TvxDBEdit\n"
                      "    Left = 10\n    Top = 10\n    Width = 200\n    Height = 22\n"
                      "    Anchors = [akLeft, akTop, akRight]\n"
                      "    AutoFillDate = False\n"
                      "    UnboundDataType = vxEdtTime\n"
                      "    Picture.PictureMask = '###-####'\n"
                      "    Picture.AutoFill = False\n"
                      "    Picture.AllowInvalidExit = True\n"
                      "    WantReturns = True\n"
                      "    MaxLength = 8\n"
                      "    TabOrder = 0\n"
                      "  end\n"
                      "end\n");
    auto* phone = dynamic_cast<TvxDBEdit*>(loaded->FindComponent("Phone"));
    ASSERT_NE(phone, nullptr);
    EXPECT_FALSE(phone->AutoFillDate());
    EXPECT_EQ(phone->UnboundDataType(), vxEdtTime);
    EXPECT_EQ(phone->GetPicture()->PictureMask(), "###-####");
    EXPECT_FALSE(phone->GetPicture()->AutoFill());
    EXPECT_TRUE(phone->GetPicture()->GetAllowInvalidExit());
    EXPECT_TRUE(phone->WantReturns());
    EXPECT_EQ(phone->Anchors(), (TAnchors{akLeft, akTop, akRight}));
    std::string text = WriteComponentText(loaded.get());
    EXPECT_NE(text.find("Picture.PictureMask = '###-####'"), std::string::npos) << text;
    EXPECT_EQ(text.find("DataField"), std::string::npos) << text;

    // Bound, the picture is the dataset's: it stays out of the form file.
    phone->SetDataSource(source);
    phone->SetDataField("Code");
    text = WriteComponentText(loaded.get());
    EXPECT_EQ(text.find("Picture."), std::string::npos) << text;
    EXPECT_NE(text.find("DataField = 'Code'"), std::string::npos) << text;
}

// An action that acts on the edit itself, or on a data source.
class TTargetAction : public TBasicAction {
public:
    explicit TTargetAction(bool onEdit) : TBasicAction(nullptr), onEdit_(onEdit) {}
    bool HandlesTarget(TObject* target) override
    {
        return onEdit_ ? dynamic_cast<TvxDBEdit*>(target) != nullptr : dynamic_cast<TDataSource*>(target) != nullptr;
    }
    void ExecuteTarget(TObject* target) override { executed.push_back(target); }
    void UpdateTarget(TObject* target) override { updated.push_back(target); }
    std::vector<TObject*> executed, updated;

private:
    bool onEdit_;
};

TEST_F(BoundEdit, ActionsGoToTheEditAndThenToItsDataSource)
{
    TTargetAction own(true), onSource(false);
    EXPECT_TRUE(edit->ExecuteAction(&own));
    EXPECT_TRUE(edit->UpdateAction(&own));
    EXPECT_EQ(own.executed, std::vector<TObject*>{edit});
    EXPECT_TRUE(edit->ExecuteAction(&onSource));
    EXPECT_TRUE(edit->UpdateAction(&onSource));
    EXPECT_EQ(onSource.executed, std::vector<TObject*>{source});
    EXPECT_EQ(onSource.updated, std::vector<TObject*>{source});
    edit->SetDataSource(nullptr);
    EXPECT_FALSE(edit->ExecuteAction(&onSource));
}

TEST_F(EditOnForm, ASingleLineHighEditNeitherWrapsAwayNorShowsAPasswordOnTwoLines)
{
    const struct {
        bool wordWrap;
        bool passwordNoBorder;
        Integer height;
        DWORD setStyles, clearStyles;
    } cases[] = {
        {true, false, 16, ES_AUTOHSCROLL | ES_MULTILINE, 0},
        {true, false, 80, ES_MULTILINE, ES_AUTOHSCROLL},
        {false, true, 16, 0, ES_MULTILINE},
        {false, true, 80, ES_MULTILINE, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.height));
        TvxDBEdit* e = NewEdit(8);
        e->SetAutoSize(false);
        e->SetHeight(c.height);
        if (c.passwordNoBorder) {
            e->SetBorderStyle(bsNone);
            e->SetPasswordChar('*');
        }
        e->SetWordWrap(c.wordWrap);
        const DWORD style = DWORD(GetWindowLongA(e->Handle(), GWL_STYLE));
        EXPECT_EQ(style & c.setStyles, c.setStyles);
        EXPECT_EQ(style & c.clearStyles, 0u);
        delete e;
    }
}

TEST_F(EditOnForm, AMemoFieldIsShownWholeAndWrittenWhole)
{
    auto* data = new TMaskedData(form.get());
    data->FieldDefs()->Add("Note", ftMemo);
    data->Open();
    data->AppendRecord({Variant("first line\r\nsecond line")});
    auto* source = new TvxDataSource(form.get());
    source->SetDataSet(data);
    edit->SetWordWrap(true);
    edit->SetHeight(60);
    edit->SetDataSource(source);
    edit->SetDataField("Note");
    EXPECT_EQ(edit->Text(), "first line\r\nsecond line");
    other->SetFocus();  // the focus went with the window that word wrap made anew
    edit->SetFocus();
    TypeKey(VK_END, {ssCtrl});
    TypeText(" more");
    other->SetFocus();
    PumpMessages();
    data->Post();
    EXPECT_EQ(data->FieldByName("Note")->AsString(), "first line\r\nsecond line more");
}

}  // namespace
