// The lookup combo bound to a dataset's plain, lookup and calculated fields, in a data grid's cell, over a query's
// search paths, and read from a form file; its lookup table holds 20 codes with a name and a region each.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "classes/FormResource.h"
#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "db/StringField.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"
#include "vcl/TestSeams.h"
#include "vxcontrols/Vxdbgrid.h"
#include "vxcontrols/vxdblook.h"
#include "vxdata/vxDataSource.h"

namespace {

std::string Code(Integer i)
{
    return (i < 10 ? "C0" : "C") + std::to_string(i);
}

std::string Region(Integer i)
{
    return i % 2 ? "North" : "South";
}

// A dataset with the library's lookup lines (LookupFields, LookupLinks) and, for the query paths, a request-live
// flag, a data source and a read-only switch; it keeps the options of each Locate.
class TLinkedData : public TMemDataSet {
    DUN_CLASS(TLinkedData, TMemDataSet)
public:
    explicit TLinkedData(TComponent* owner) : TMemDataSet(owner) {}

    TStrings* LookupFields() const { return lookupFields_.get(); }
    void SetLookupFields(TStrings* value) { lookupFields_->Assign(value); }
    TStrings* LookupLinks() const { return lookupLinks_.get(); }
    void SetLookupLinks(TStrings* value) { lookupLinks_->Assign(value); }
    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* value) { dataSource_ = value; }
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override
    {
        Locates.push_back(options);
        return TMemDataSet::Locate(keyFields, keyValues, options);
    }

    bool RequestLive = false;
    bool ReadOnly = false;
    std::vector<TLocateOptions> Locates;

    static void Publish(TPublisher<TLinkedData>& p)
    {
        p.Property("LookupFields", &TLinkedData::LookupFields, &TLinkedData::SetLookupFields);
        p.Property("LookupLinks", &TLinkedData::LookupLinks, &TLinkedData::SetLookupLinks);
        p.Property("DataSource", &TLinkedData::DataSource, &TLinkedData::SetDataSource);
        p.Property("RequestLive", &TLinkedData::RequestLive);
    }

protected:
    bool GetCanModify() override { return !ReadOnly; }

private:
    std::unique_ptr<TStringList> lookupFields_ = std::make_unique<TStringList>();
    std::unique_ptr<TStringList> lookupLinks_ = std::make_unique<TStringList>();
    TDataSource* dataSource_ = nullptr;
};

// The same dataset answering to the library's query class name.
class TQueryLikeData : public TLinkedData {
    DUN_CLASS(TQueryLikeData, TLinkedData)
public:
    explicit TQueryLikeData(TComponent* owner) : TLinkedData(owner)
    {
        StaticClass()->AddAnswerName("TvxQuery");
    }
};

template <class T>
T* MakeCodes()
{
    auto* codes = new T(nullptr);
    codes->FieldDefs()->Add("Code", ftString, 4);
    codes->FieldDefs()->Add("Name", ftString, 20);
    codes->FieldDefs()->Add("Region", ftString, 6);
    codes->Open();
    for (Integer i = 1; i <= 20; ++i)
        codes->AppendRecord({Variant(Code(i)), Variant("Name " + std::to_string(i)), Variant(Region(i))});
    codes->First();
    return codes;
}

TStringField* AddStringField(TDataSet* dataSet, const std::string& name, Integer size, TFieldKind kind = fkData)
{
    auto* field = CreateObject<TStringField>(dataSet);
    field->SetFieldName(name);
    field->SetSize(size);
    field->SetFieldKind(kind);
    field->SetDataSet(dataSet);
    return field;
}

// What the combo paints on its own, recorded.
std::vector<TCanvasDrawing> PaintFace(TvxDBCustomLookupCombo* combo)
{
    TCanvasRecorder recorder;
    combo->PaintCanvas()->SetListener(&recorder);
    HDC dc = GetDC(combo->Handle());
    combo->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
    ReleaseDC(combo->Handle(), dc);
    combo->PaintCanvas()->SetListener(nullptr);
    return recorder.Drawings;
}

// Three accounts whose customer code and region are plain fields, with the customer's name as a lookup field
// (CustName) and as a calculated field whose link line pairs code and region (CalcName).
class LookupComboBound : public ::testing::Test {
protected:
    void SetUp() override
    {
        codes = MakeCodes<TLinkedData>();
        data = new TLinkedData(nullptr);
        data->FieldDefs()->Add("CustCode", ftString, 4);
        data->FieldDefs()->Add("Region", ftString, 6);
        AddStringField(data, "CustCode", 4);
        AddStringField(data, "Region", 6);
        TStringField* name = AddStringField(data, "CustName", 20, fkLookup);
        name->SetLookupDataSet(codes);
        name->SetKeyFields("CustCode");
        name->SetLookupKeyFields("Code");
        name->SetLookupResultField("Name");
        AddStringField(data, "CalcName", 20, fkCalculated);
        data->LookupFields()->Add("CalcName;;codes;Name;Code");
        data->LookupLinks()->Add("CustCode;Code;Region;Region");
        data->OnCalcFields = [this](TDataSet* ds) {
            ds->FieldByName("CalcName")
                ->SetAsString(VarToStr(codes->Lookup("Code", ds->FieldByName("CustCode")->AsVariant(), "Name")));
        };
        data->Open();
        for (Integer i : {5, 6, 7}) data->AppendRecord({Variant(Code(i)), Variant(Region(i))});
        data->First();
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(100, 100, 420, 300);
        other = new TEdit(form);
        other->SetParent(form);
        other->SetBounds(8, 8, 100, 24);
        source = new TvxDataSource(form);
        source->SetDataSet(data);
        combo = new TvxDBLookupCombo(form);
        combo->SetParent(form);
        combo->SetBounds(8, 40, 160, 24);
        combo->OnCloseUp = [this](TObject*, TDataSet*, TDataSet*, bool modified) {
            closeUps.push_back(modified ? "modified" : "unmodified");
        };
        form->Show();
        ActivateForm(form);
        PumpMessages();
    }

    void TearDown() override
    {
        if (combo && combo->IsDroppedDown()) combo->CloseUp(false);
        delete form;
        data->Free();
        codes->Free();
        PumpMessages(20);
    }

    // Binds the combo to the field (in the order of a form file); the names show in the list and the edit.
    void Bind(const std::string& dataField, const std::string& lookupField)
    {
        combo->SetLookupTable(codes);
        combo->Selected()->Add("Name\t20\tName");
        combo->SetDataField(dataField);
        combo->SetDataSource(source);
        if (!lookupField.empty()) combo->SetLookupField(lookupField);
    }
    // Opens the list, types the text and takes the row it finds with Enter.
    void TakeByTyping(const std::string& text)
    {
        combo->SetFocus();
        PumpMessages();
        combo->DropDown();
        PumpMessages();
        combo->SelectAll();
        TypeText(text);
        TypeKey(VK_RETURN);
    }
    std::string Value(const std::string& fieldName) { return data->FieldByName(fieldName)->AsString(); }

    TScriptedDialogs dialogs;
    TLinkedData* codes = nullptr;
    TLinkedData* data = nullptr;
    TForm* form = nullptr;
    TEdit* other = nullptr;
    TvxDataSource* source = nullptr;
    TvxDBLookupCombo* combo = nullptr;
    std::vector<std::string> closeUps;
};

TEST_F(LookupComboBound, APlainFieldGetsTheTakenValueAndLookupField2ItsNamesake)
{
    Bind("CustCode", "Code;Region");
    EXPECT_EQ(combo->Text(), "Name 5");
    TakeByTyping("Name 7");
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->Text(), "Name 7");
    EXPECT_EQ(Value("CustCode"), Code(7));
    EXPECT_EQ(Value("Region"), "North");
    EXPECT_EQ(closeUps, std::vector<std::string>{"modified"});
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdblook-bound-plain.png"));
    other->SetFocus();
    data->Post();
    EXPECT_EQ(Value("CustCode"), Code(7));
}

TEST_F(LookupComboBound, ALookupFieldDerivesItsLookupFieldAndWritesItsKey)
{
    Bind("CustName", "");
    EXPECT_EQ(combo->LookupField(), "Code");
    EXPECT_EQ(combo->Text(), "Name 5");
    TakeByTyping("Name 9");
    EXPECT_EQ(Value("CustCode"), Code(9));
    EXPECT_EQ(Value("Region"), Region(5)) << "not a key of the lookup field";
    EXPECT_EQ(combo->Text(), "Name 9");
    EXPECT_EQ(closeUps, std::vector<std::string>{"modified"});
}

TEST_F(LookupComboBound, ACalculatedFieldWritesEveryKeyOfItsLinkLine)
{
    combo->SetLookupTable(codes);
    combo->SetDataField("CalcName");
    combo->SetDataSource(source);
    EXPECT_EQ(combo->LookupField(), "Code;Region");
    EXPECT_EQ(combo->DropDownGrid()->DisplayField()->FieldName(), "Name");
    EXPECT_EQ(combo->Text(), "Name 5");
    TakeByTyping("Name 4");
    EXPECT_EQ(Value("CustCode"), Code(4));
    EXPECT_EQ(Value("Region"), "South");
    EXPECT_EQ(combo->Text(), "Name 4");
}

TEST_F(LookupComboBound, AllowClearKeyClearsTheValueOfAFullySelectedText)
{
    for (const std::string dataField : {"CustCode", "CustName"}) {
        SCOPED_TRACE(dataField);
        if (data->State() != dsBrowse) data->Cancel();
        data->First();
        combo->Selected()->Clear();
        Bind(dataField, dataField == "CustCode" ? "Code" : "");
        combo->SetAllowClearKey(true);
        combo->SetFocus();
        PumpMessages();
        ASSERT_EQ(combo->SelText(), "Name 5");
        TypeKey(VK_DELETE);
        EXPECT_EQ(combo->Text(), "");
        EXPECT_EQ(combo->LookupValue(), "");
        other->SetFocus();
        PumpMessages();
        EXPECT_EQ(Value("CustCode"), "");
    }
}

TEST_F(LookupComboBound, ShowLookupRecordShowsTheNameOfTheFieldsValue)
{
    Bind("CustCode", "Code");
    combo->SetText("something else");
    codes->Last();
    combo->ShowLookupRecord();
    EXPECT_EQ(combo->Text(), "Name 5");
    EXPECT_EQ(codes->FieldByName("Code")->AsString(), Code(5));
}

TEST_F(LookupComboBound, AutoDropDownOpensTheListOnTheFirstKey)
{
    combo->SetLookupTable(codes);
    combo->SetLookupField("Code");
    combo->SetStyle(TvxDBLookupComboStyle::csDropDownList);
    combo->SetAutoDropDown(true);
    combo->SetFocus();
    PumpMessages();
    TypeText("C");
    EXPECT_TRUE(combo->IsDroppedDown());
    EXPECT_EQ(combo->Text(), "C");
    TypeText("1");
    TypeKey(VK_RETURN);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->Text(), Code(10));
    EXPECT_EQ(combo->LookupValue(), Code(10));
}

TEST_F(LookupComboBound, AnInvisibleComboStillHidesItsList)
{
    combo->SetLookupTable(codes);
    combo->SetLookupField("Code");
    combo->SetFocus();
    combo->DropDown();
    PumpMessages();
    combo->SetVisible(false);
    combo->CloseUp(true);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(combo->DropDownGrid()->Handle()));
    EXPECT_FALSE(combo->Visible());
    EXPECT_FALSE(IsWindowVisible(combo->Handle()));
}

TEST_F(LookupComboBound, AListOnlyComboPaintsItsTextHighlightedWhileFocused)
{
    combo->SetLookupTable(codes);
    combo->SetLookupField("Code");
    combo->SetStyle(TvxDBLookupComboStyle::csDropDownList);
    combo->SetLookupValue(Code(5));
    combo->SetFocus();
    PumpMessages();
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdblook-list-only-focused.png"));
    std::vector<TCanvasDrawing> drawn = PaintFace(combo);
    ASSERT_EQ(DrawingKinds(drawn), (std::vector<std::string>{"FillRect", "TextRect", "DrawFocusRect"}));
    EXPECT_EQ(drawn[1].Text, Code(5));
    EXPECT_EQ(drawn[1].BrushColor, clHighlight);
    EXPECT_EQ(drawn[1].Pos.x, 2);
    EXPECT_EQ(drawn[1].Pos.y, 1);
    const TRect client = combo->ClientRect();
    EXPECT_EQ(drawn[2].Rect.left, client.left + 1);
    EXPECT_EQ(drawn[2].Rect.top, client.top + 1);
    EXPECT_EQ(drawn[2].Rect.bottom, client.bottom - 1);
    EXPECT_EQ(drawn[2].Rect.right, combo->Button()->Parent()->Left());

    other->SetFocus();
    PumpMessages();
    drawn = PaintFace(combo);
    ASSERT_EQ(DrawingKinds(drawn), (std::vector<std::string>{"FillRect", "TextRect"}));
    EXPECT_EQ(drawn[1].BrushColor, clWindow);
}

TEST_F(LookupComboBound, TheButtonShowsTheSystemComboArrow)
{
    HBITMAP arrow = LoadBitmapA(nullptr, MAKEINTRESOURCEA(32738));
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(arrow, sizeof(info), &info));
    DeleteObject(arrow);
    TBitmap* glyph = combo->Button()->Glyph();
    ASSERT_FALSE(glyph->Empty());
    EXPECT_EQ(glyph->Width(), info.bmWidth);
    EXPECT_EQ(glyph->Height(), info.bmHeight);
}

// ---- a query as lookup table

TEST(LookupComboQuery, AQuerySearchesByItsOwnLocateOrTheLibrarysScan)
{
    TQueryLikeData* query = MakeCodes<TQueryLikeData>();
    std::unique_ptr<TDataSource> master(new TDataSource(nullptr));
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* combo = new TvxDBLookupCombo(form.get());
    combo->SetParent(form.get());
    combo->SetLookupTable(query);
    combo->SetLookupField("Code");
    const TLocateOptions insensitivePartial{loCaseInsensitive, loPartialKey};
    const struct {
        const char* note;
        bool live, readOnly, withMaster, partial;
        const char* searched;
        std::vector<TLocateOptions> locates;
    } cases[] = {
        {"a query that is not live, partly", false, false, false, true, "C1", {insensitivePartial}},
        {"a query that is not live, whole", false, false, false, false, "C12", {TLocateOptions{}}},
        {"a read-only live query", true, true, false, true, "C1", {insensitivePartial}},
        {"a live query without an index on the field", true, false, false, true, "C1", {}},
        {"a live query with a master", true, false, true, false, "C12", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        query->RequestLive = c.live;
        query->ReadOnly = c.readOnly;
        query->SetDataSource(c.withMaster ? master.get() : nullptr);
        query->First();
        query->Locates.clear();
        EXPECT_TRUE(combo->SequentialSearch(c.searched, "Code", c.partial, false));
        EXPECT_EQ(query->FieldByName("Code")->AsString(), c.partial ? Code(10) : Code(12));
        EXPECT_EQ(query->Locates, c.locates);
    }
    form.reset();
    query->Free();
}

TEST_F(LookupComboBound, AQueryWithADataSourcePutsTheComboInEditModeAtDropDown)
{
    TQueryLikeData* query = MakeCodes<TQueryLikeData>();
    for (const bool withDataSource : {false, true}) {
        SCOPED_TRACE(withDataSource);
        if (data->State() != dsBrowse) data->Cancel();
        query->SetDataSource(withDataSource ? source : nullptr);
        combo->SetLookupTable(query);
        combo->SetDataSource(source);
        combo->SetDataField("CustCode");
        combo->SetLookupField("Code");
        combo->SetFocus();
        combo->DropDown();
        EXPECT_EQ(data->State(), withDataSource ? dsEdit : dsBrowse);
        combo->CloseUp(false);
        combo->SetDataSource(nullptr);
        combo->SetLookupTable(nullptr);
    }
    query->Free();
}

// ---- in a data grid's cell

class LookupComboInGrid : public LookupComboBound {
protected:
    void SetUp() override
    {
        LookupComboBound::SetUp();
        grid = new TvxDBGrid(form);
        grid->SetParent(form);
        grid->SetBounds(8, 72, 380, 120);
        grid->SetDataSource(source);
        grid->OnKeyDown = [this](TObject*, Word& key, TShiftState) { gridKeys.push_back(key); };
        combo->SetParent(grid);
        combo->SetBorderStyle(bsNone);
        Bind("CustCode", "Code");
        PumpMessages();
    }
    // The combo in the code cell of the first account, focused, its list closed.
    void EnterCell()
    {
        if (combo->IsDroppedDown()) combo->CloseUp(false);
        if (data->State() != dsBrowse) data->Cancel();
        grid->SetFocus();
        data->First();
        grid->SetCol(1);
        const TRect cell = grid->CellRect(1, 1);
        combo->SetBounds(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
        combo->SetFocus();
        PumpMessages();
        gridKeys.clear();
    }

    TvxDBGrid* grid = nullptr;
    std::vector<Word> gridKeys;
};

TEST_F(LookupComboInGrid, TheGridsKeysReachTheGrid)
{
    grid->SetKeyOptions({dgEnterToTab});
    const struct {
        const char* note;
        Word key;
        TShiftState shift;
        bool toGrid, open;
        Integer account, col;
    } cases[] = {
        {"Down moves the grid", VK_DOWN, {}, true, false, 6, 1},
        {"Page Down moves the grid", VK_NEXT, {}, true, false, 7, 1},
        {"Alt+Down opens the list", VK_DOWN, {ssAlt}, false, true, 5, 1},
        {"Esc in an unchanged cell", VK_ESCAPE, {}, true, false, 5, 1},
        {"Tab is the grid's", VK_TAB, {}, true, false, 5, 2},
        {"Enter is the grid's with Enter as Tab", VK_RETURN, {}, true, false, 5, 2},
        {"Left at the start stays without the editor always shown", VK_LEFT, {}, false, false, 5, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.note);
        EnterCell();
        combo->SetSelStart(0);
        TypeKey(c.key, c.shift);
        EXPECT_EQ(grid->Focused(), c.toGrid);
        EXPECT_EQ(combo->Focused(), !c.toGrid);
        EXPECT_EQ(combo->IsDroppedDown(), c.open);
        EXPECT_EQ(Value("CustCode"), Code(c.account));
        EXPECT_EQ(grid->Col(), c.col);
    }
    // The editor always shown: Left at the start of the text and Ctrl+Right go to the grid.
    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgAlwaysShowEditor});
    for (const Word key : {VK_LEFT, VK_RIGHT}) {
        EnterCell();
        combo->SetSelStart(0);
        TypeKey(key, key == VK_RIGHT ? TShiftState{ssCtrl} : TShiftState{});
        EXPECT_FALSE(combo->Focused()) << key;
    }
}

TEST_F(LookupComboInGrid, F2AndOtherKeysFireTheGridsOnKeyDown)
{
    EnterCell();
    TypeKey(VK_F2);
    EXPECT_EQ(gridKeys, std::vector<Word>{VK_F2});
    EXPECT_TRUE(combo->Focused());
    EXPECT_EQ(combo->SelLength(), 0);
    TypeKey(VK_END);
    EXPECT_EQ(gridKeys, (std::vector<Word>{VK_F2, VK_END}));
    EXPECT_TRUE(combo->Focused());
}

TEST_F(LookupComboInGrid, EnterWithTheListOpenTakesTheRowInTheCell)
{
    EnterCell();
    combo->DropDown();
    PumpMessages();
    combo->SelectAll();
    TypeText("Name 8");
    TypeKey(VK_RETURN);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_TRUE(combo->Focused());
    EXPECT_EQ(combo->Text(), "Name 8");
    EXPECT_EQ(Value("CustCode"), Code(8));
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdblook-in-grid.png"));
}

TEST_F(LookupComboInGrid, PaintsHighlightedInAFocusedGridAndARowsNameAsACopy)
{
    EnterCell();
    grid->SetFocus();
    PumpMessages();
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdblook-in-focused-grid.png"));
    std::vector<TCanvasDrawing> drawn = PaintFace(combo);
    ASSERT_EQ(DrawingKinds(drawn), (std::vector<std::string>{"FillRect", "TextRect", "DrawFocusRect"}));
    EXPECT_EQ(drawn[1].BrushColor, clHighlight);
    EXPECT_EQ(drawn[1].Text, "Name 5");
    EXPECT_EQ(drawn[1].Pos.x, 3);
    EXPECT_EQ(drawn[1].Pos.y, 2);

    // The grid drawing another account's row with the combo: that account's name, plain.
    data->Next();
    combo->SetText("typed");
    combo->SetControlState(combo->ControlState() + TControlState{csPaintCopy});
    drawn = PaintFace(combo);
    combo->SetControlState(combo->ControlState() - TControlState{csPaintCopy});
    ASSERT_EQ(DrawingKinds(drawn), (std::vector<std::string>{"FillRect", "TextRect"}));
    EXPECT_EQ(drawn[1].Text, "Name 6");
    EXPECT_NE(drawn[1].BrushColor, clHighlight);
    EXPECT_EQ(drawn[1].Pos.x, 3);
    EXPECT_EQ(drawn[1].Pos.y, 2);

    // A value the lookup table lacks shows no name, not the name of the record the table happens to stand on.
    data->Edit();
    data->FieldByName("CustCode")->SetAsString("C99");
    combo->SetControlState(combo->ControlState() + TControlState{csPaintCopy});
    drawn = PaintFace(combo);
    combo->SetControlState(combo->ControlState() - TControlState{csPaintCopy});
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[1].Text, "");
}

// ---- form files

TEST(LookupComboForm, AFormFileSetsThePublishedPropertiesAndWritesThemBack)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    ReadComponentText(form.get(),
                      "object ComboForm: TForm\n"
                      "  Left = 60\n  Top = 60\n  Width = 300\n  Height = 160\n"
                      "  object Client: TvxDBLookupCombo\n"
                      "    Left = 10\n    Top = 10\n    Width = 200\n    Height = 24\n"
                      "    DropDownAlignment = taRightJustify\n"
                      "    Style = csDropDownList\n"
                      "    DropDownCount = 5\n"
                      "    AutoDropDown = True\n"
                      "    ShowButton = False\n"
                      "    SeqSearchOptions = [ssoEnabled, ssoCaseSensitive]\n"
                      "    OrderByDisplay = False\n"
                      "    AllowClearKey = True\n"
                      "    ShowMatchText = True\n"
                      "    CharCase = ecUpperCase\n"
                      "    BorderStyle = bsNone\n"
                      "    Color = clInfoBk\n"
                      "    Ctl3D = False\n"
                      "    ParentCtl3D = False\n"
                      "    ImeMode = imClose\n"
                      "    ImeName = 'Latin'\n"
                      "    ShowHint = True\n"
                      "    TabOrder = 0\n"
                      "  end\n"
                      "end\n");
    auto* combo = dynamic_cast<TvxDBLookupCombo*>(form->FindComponent("Client"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->DropDownAlignment(), taRightJustify);
    EXPECT_EQ(combo->Style(), TvxDBLookupComboStyle::csDropDownList);
    EXPECT_EQ(combo->DropDownCount(), 5);
    EXPECT_TRUE(combo->AutoDropDown());
    EXPECT_FALSE(combo->ShowButton());
    EXPECT_EQ(combo->SeqSearchOptions(), (TvxSeqSearchOptions{ssoEnabled, ssoCaseSensitive}));
    EXPECT_FALSE(combo->OrderByDisplay());
    EXPECT_TRUE(combo->AllowClearKey());
    EXPECT_TRUE(combo->ShowMatchText());
    EXPECT_EQ(combo->CharCase(), ecUpperCase);
    EXPECT_EQ(combo->BorderStyle(), bsNone);
    EXPECT_EQ(combo->Color(), clInfoBk);
    EXPECT_FALSE(combo->Ctl3D());
    EXPECT_EQ(combo->ImeMode(), imClose);
    EXPECT_EQ(combo->ImeName(), "Latin");
    EXPECT_TRUE(combo->ShowHint());
    combo->SetText("typed");
    const std::string text = WriteComponentText(form.get());
    for (const char* line : {"DropDownAlignment = taRightJustify", "Style = csDropDownList", "DropDownCount = 5",
                             "AutoDropDown = True", "ShowButton = False", "OrderByDisplay = False",
                             "AllowClearKey = True", "ShowMatchText = True", "CharCase = ecUpperCase",
                             "BorderStyle = bsNone", "Color = clInfoBk", "Ctl3D = False", "ImeMode = imClose",
                             "ImeName = 'Latin'"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    const std::string client = text.substr(text.find("object Client"));
    EXPECT_EQ(client.find("\n    Text ="), std::string::npos) << client;
    EXPECT_EQ(client.find("\n    Caption ="), std::string::npos) << client;

    // A new combo writes the properties without a declared default, and no others of its own.
    auto* plain = new TvxDBLookupCombo(form.get());
    plain->SetName("Plain");
    plain->SetParent(form.get());
    const std::string written = WriteComponentText(form.get());
    const std::string own = written.substr(written.find("object Plain"));
    for (const char* line : {"DropDownAlignment = taLeftJustify", "AutoDropDown = False", "ShowButton = True",
                             "AllowClearKey = False"})
        EXPECT_NE(own.find(line), std::string::npos) << line << "\n" << own;
    for (const char* name : {"OrderByDisplay", "DropDownCount", "Style", "UseTFields", "ShowMatchText"})
        EXPECT_EQ(own.find("\n    " + std::string(name) + " ="), std::string::npos) << name << "\n" << own;
}

}  // namespace
