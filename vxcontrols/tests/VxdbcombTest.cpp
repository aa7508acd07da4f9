// The data-aware combo box on real windows, driven by real keys and mouse: mapping display texts to stored values,
// type-ahead completion, the keys of a closed list, the drop-down's size and place, the ways the list closes
// (keys, button, focus, a real click elsewhere caught by the mouse hook), incremental search in the open list,
// clearing keys, owner drawing and a bound combo box writing its mapped value.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/FormResource.h"
#include "db/DataSet.h"
#include "db/Field.h"
#include "db/MemDataSet.h"
#include "rtl/Clock.h"
#include "rtl/StringRoutines.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/Vxdbcomb.h"
#include "vxdata/vxDataSource.h"

class TComboForm : public TForm {
    DUN_CLASS(TComboForm, TForm)
public:
    explicit TComboForm(TComponent* owner) : TForm(owner) {}

    TvxDBComboBox* StatusCombo = nullptr;

    static void Publish(TPublisher<TComboForm>& p) { p.Field("StatusCombo", &TComboForm::StatusCombo); }
};

namespace {

std::vector<LONG> Edges(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

class ComboBoxOnForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.reset(CreateObject<TForm>(nullptr));
        form->SetBounds(100, 100, 320, 220);
        combo = new TvxDBComboBox(form.get());
        combo->SetParent(form.get());
        combo->SetBounds(8, 8, 160, 24);
        combo->Items()->SetText("Banana\napple\nBlueberry\nCherry\n5 Stars\n");
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(8, 150, 120, 24);
        form->Show();
        ActivateForm(form.get());
        combo->SetFocus();
        PumpMessages();
    }
    void TearDown() override { form.reset(); }

    bool ListShowing() const { return combo->ListBox() && IsWindowVisible(combo->ListBox()->Handle()); }
    Integer HighlightedRow() const { return combo->ListBox()->ItemIndex(); }
    void Open() { TypeKey(VK_DOWN, {ssAlt}); }

    std::unique_ptr<TForm> form;
    TvxDBComboBox* combo = nullptr;
    TEdit* other = nullptr;
};

// ---- mapping

TEST(ComboBoxMapping, MapListMapsBothWaysExactlyAndOtherwiseNot)
{
    struct Case {
        bool mapList;
        std::string toDisplay, display;  // MapToDisplay(toDisplay) == display
        std::string toValue, value;      // MapToValue(toValue) == value
    };
    const Case cases[] = {
        {true, "C", "Closed", "Open", "O"},   {true, "c", "", "open", ""},
        {true, "X", "", "Nothing", ""},       {true, "", "Spare", "Spare", ""},
        {false, "C", "C", "Open", "Open"},    {false, "x y", "x y", "", ""},
    };
    TvxDBComboBox combo(nullptr);
    combo.Items()->SetText("Open\tO\nClosed\tC\tignored\nSpare\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.toDisplay + " / " + c.toValue);
        combo.SetMapList(c.mapList);
        EXPECT_EQ(combo.MapToDisplay(c.toDisplay), c.display);
        EXPECT_EQ(combo.MapToValue(c.toValue), c.value);
        std::string text = "unchanged";
        EXPECT_EQ(combo.MapToDisplayText(c.toDisplay, text), c.mapList);
        EXPECT_EQ(text, c.mapList ? c.display : "unchanged");
    }
}

TEST(ComboBoxForm, ReadFromAFormFileWithItsButtonAtTheRightEdge)
{
    std::unique_ptr<TComboForm> form(CreateObject<TComboForm>(nullptr));
    TvxDBComboBox* combo = form->StatusCombo;
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->Style(), csDropDownList);
    EXPECT_TRUE(combo->MapList());
    EXPECT_EQ(combo->Items()->Count(), 2);
    EXPECT_EQ(combo->MapToValue("Closed"), "C");
    EXPECT_EQ(combo->DropDownCount(), 12);
    EXPECT_TRUE(combo->AllowClearKey());
    EXPECT_EQ(combo->ButtonStyle(), cbsDownArrow);
    const Integer buttonWidth = std::max(GetSystemMetrics(SM_CXVSCROLL), 15);
    EXPECT_EQ(combo->ButtonContainer()->Left(), 150 - buttonWidth - 4);
    form->Show();
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbcomb-form-file.png"));
}

// ---- typing

TEST_F(ComboBoxOnForm, ShowMatchTextCompletesAndRefusesInADropDownList)
{
    struct Case {
        TComboBoxStyle style;
        std::string typed;
        std::string text;
        Integer selStart, selLength, itemIndex;
    };
    const Case cases[] = {
        {csDropDown, "ca", "Carrot", 2, 4, 1},   {csDropDown, "ch", "Cherry", 2, 4, 2},
        {csDropDown, "x", "x", 1, 0, -1},        {csDropDownList, "c", "Carrot", 1, 5, 1},
        {csDropDownList, "cx", "Carrot", 1, 5, 1}, {csDropDownList, "x", "", 0, 0, -1},
    };
    combo->Items()->SetText("Apple\nCarrot\nCherry\n");
    combo->SetShowMatchText(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.style) + " " + c.typed);
        combo->SetStyle(c.style);
        combo->SetItemIndex(-1);
        combo->SetText("");
        TypeText(c.typed);
        EXPECT_EQ(combo->Text(), c.text);
        EXPECT_EQ(combo->SelStart(), c.selStart);
        EXPECT_EQ(combo->SelLength(), c.selLength);
        EXPECT_EQ(combo->ItemIndex(), c.itemIndex);
    }
}

TEST_F(ComboBoxOnForm, ClosedDropDownListStepsAndSearchesFirstLetters)
{
    struct Step {
        Word key;
        std::string text;
        Integer itemIndex;
    };
    const Step steps[] = {
        {'B', "Blueberry", 2},     {'B', "Banana", 0},   {'A', "apple", 1},      {VK_NUMPAD5, "5 Stars", 4},
        {VK_DOWN, "5 Stars", 4},   {VK_UP, "Cherry", 3}, {'Z', "Cherry", 3},     {VK_HOME, "Cherry", 3},
    };
    combo->SetStyle(csDropDownList);
    combo->SetItemIndex(0);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.key);
        TypeKey(s.key);
        EXPECT_EQ(combo->Text(), s.text);
        EXPECT_EQ(combo->ItemIndex(), s.itemIndex);
        EXPECT_FALSE(ListShowing());
    }
    EXPECT_TRUE(combo->Modified());
}

TEST_F(ComboBoxOnForm, AllowClearKeyClearsADropDownList)
{
    struct Case {
        bool allow;
        Word key;
        std::string text;
        Integer itemIndex;
    };
    const Case cases[] = {
        {true, VK_DELETE, "", -1}, {true, VK_BACK, "", -1}, {false, VK_DELETE, "Banana", 0},
    };
    combo->SetStyle(csDropDownList);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.allow) + " " + std::to_string(c.key));
        combo->SetAllowClearKey(c.allow);
        combo->SetItemIndex(0);
        combo->SetModified(false);
        TypeKey(c.key);
        EXPECT_EQ(combo->Text(), c.text);
        EXPECT_EQ(combo->ItemIndex(), c.itemIndex);
        EXPECT_EQ(combo->Modified(), c.allow);
    }
}

TEST_F(ComboBoxOnForm, AutoDropDownOpensOnTheFirstLetterAndReplacesTheText)
{
    combo->SetAutoDropDown(true);
    combo->SetText("Banana");
    combo->SetSelStart(6);
    TypeKey(VK_BACK);
    EXPECT_FALSE(ListShowing());
    EXPECT_EQ(combo->Text(), "Banan");
    TypeText("ch");
    EXPECT_TRUE(ListShowing());
    EXPECT_EQ(combo->Text(), "ch");
    EXPECT_EQ(HighlightedRow(), 3);
    TypeKey(VK_RETURN);
    EXPECT_EQ(combo->Text(), "Cherry");
    EXPECT_EQ(combo->ItemIndex(), 3);
}

TEST_F(ComboBoxOnForm, SimpleStyleHasNoButtonAndNeverOpens)
{
    combo->SetStyle(csSimple);
    EXPECT_FALSE(combo->ShowButton());
    Open();
    combo->DropDown();
    EXPECT_FALSE(combo->IsDroppedDown());
    combo->SetStyle(csDropDown);
    EXPECT_TRUE(combo->ShowButton());
}

// ---- the drop-down's size and place

TEST_F(ComboBoxOnForm, DropDownHeightAndPlacementFollowRowsAndScreenEdges)
{
    const Integer screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char* name;
        Integer items;
        TPoint formAt;
        Integer dropDownWidth;
        bool above, rightAligned;
        Integer rows;
    };
    const Case cases[] = {
        {"few", 3, {100, 100}, 0, false, false, 3},
        {"many", 20, {100, 100}, 0, false, false, 8},
        {"none", 0, {100, 100}, 0, false, false, 0},
        {"bottom edge", 5, {100, screenHeight - 60}, 0, true, false, 5},
        {"right edge", 3, {screenWidth - 190, 100}, 200, false, true, 3},
        {"bottom right, none", 0, {screenWidth - 190, screenHeight - 50}, 200, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form->SetBounds(c.formAt.x, c.formAt.y, 320, 220);
        combo->Items()->Clear();
        for (Integer i = 0; i < c.items; ++i) combo->Items()->Add("Row " + std::to_string(i));
        combo->SetDropDownWidth(c.dropDownWidth);
        PumpMessages();
        Open();
        ASSERT_TRUE(ListShowing());
        RECT list, control;
        GetWindowRect(combo->ListBox()->Handle(), &list);
        GetWindowRect(combo->Handle(), &control);
        const Integer rowHeight = combo->ListBox()->ItemHeight();
        const Integer width = c.dropDownWidth ? c.dropDownWidth : combo->Width();
        const Integer height = c.rows * rowHeight + 4;
        const Integer left = c.rightAligned ? control.left + combo->Width() - 1 - width : control.left;
        const Integer top = c.above ? control.top - height : control.bottom - 1;
        EXPECT_EQ(Edges(list), Edges(Bounds(left, top, width, list.bottom - list.top)));
        // The list keeps whole rows: what its border leaves below the last row is cut off.
        EXPECT_EQ(list.bottom - list.top, c.rows ? height - 2 : height);
        TypeKey(VK_ESCAPE);
        EXPECT_FALSE(ListShowing());
    }
}

// ---- opening and closing

TEST_F(ComboBoxOnForm, ClosingPathsKeepOrTakeTheHighlightedRow)
{
    auto* elsewhere = CreateObject<TForm>(form.get());
    elsewhere->SetBounds(450, 100, 200, 120);
    elsewhere->Show();
    ActivateForm(form.get());
    combo->SetFocus();
    PumpMessages();
    struct Case {
        const char* name;
        std::function<void()> close;
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {"Escape", [] { TypeKey(VK_ESCAPE); }, "Banana", false},
        {"Enter", [] { TypeKey(VK_RETURN); }, "apple", true},
        {"Alt+Up", [] { TypeKey(VK_UP, {ssAlt}); }, "apple", true},
        {"Tab", [] { TypeKey(VK_TAB); }, "apple", true},
        {"focus loss", [this] { other->SetFocus(); }, "apple", true},
        {"button", [this] { MouseClick(combo->Button(), Point(5, 5)); }, "apple", true},
        {"click on another form", [&] { MouseClick(elsewhere, Point(50, 50)); }, "apple", true},
        {"click on another control", [this] { MouseClick(other, Point(10, 10)); }, "apple", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActivateForm(form.get());
        other->SetFocus();
        combo->SetItemIndex(0);
        combo->SetFocus();
        std::vector<bool> closedWith;
        combo->OnCloseUp = [&](TvxDBComboBox* sender, bool select) {
            EXPECT_EQ(sender, combo);
            closedWith.push_back(select);
        };
        MouseClick(combo->Button(), Point(5, 5));
        ASSERT_TRUE(ListShowing());
        EXPECT_EQ(HighlightedRow(), 0);
        TypeKey(VK_DOWN);
        EXPECT_EQ(HighlightedRow(), 1);
        EXPECT_EQ(combo->Text(), "Banana");
        c.close();
        EXPECT_FALSE(ListShowing());
        EXPECT_FALSE(combo->IsDroppedDown());
        EXPECT_EQ(combo->Text(), c.text);
        EXPECT_EQ(combo->ItemIndex(), c.text == "apple" ? 1 : 0);
        EXPECT_EQ(closedWith, std::vector<bool>{c.accepted});
    }
}

TEST_F(ComboBoxOnForm, ClickOnARowTakesItAndTheFocusStays)
{
    MouseClick(combo->Button(), Point(5, 5));
    ASSERT_TRUE(ListShowing());
    TvxPopupListbox* list = combo->ListBox();
    const TRect row = list->ItemRect(3);
    MouseClick(list, Point(row.left + 5, (row.top + row.bottom) / 2));
    EXPECT_FALSE(ListShowing());
    EXPECT_EQ(combo->Text(), "Cherry");
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_TRUE(combo->Focused());
    EXPECT_TRUE(form->Active());
}

TEST_F(ComboBoxOnForm, AnOutsideClickWhoseCloseUpRaisesIsReportedAndTheProgramGoesOn)
{
    TScriptedDialogs dialogs;
    combo->OnCloseUp = [](TvxDBComboBox*, bool) { throw Exception("Close-up failed"); };
    Open();
    ASSERT_TRUE(ListShowing());
    MouseClick(other, Point(10, 10));
    EXPECT_FALSE(ListShowing());
    ASSERT_FALSE(dialogs.Shown.empty());
    EXPECT_EQ(dialogs.Shown[0].Text, "Close-up failed.");
    combo->OnCloseUp = nullptr;
    combo->SetFocus();
    Open();
    EXPECT_TRUE(ListShowing());
    TypeKey(VK_ESCAPE);
}

TEST_F(ComboBoxOnForm, OpenListSearchesAsTheTextIsTyped)
{
    combo->SetText("");
    Open();
    TypeText("bl");
    EXPECT_EQ(HighlightedRow(), 2);
    EXPECT_EQ(combo->Text(), "bl");
    TypeText("x");
    EXPECT_EQ(HighlightedRow(), -1);
    TypeKey(VK_RETURN);
    EXPECT_EQ(combo->Text(), "blx");
}

// The sorted Items fill the list as they are: a row's index is its line's index, also where the display parts
// alone sort otherwise (the hyphen is ignored when whole lines compare, but breaks the tie between "ab" and "a-b").
TEST_F(ComboBoxOnForm, SortedItemsKeepRowsAndLinesTogether)
{
    combo->SetMapList(true);
    combo->Items()->SetText("zz\t3\nab\t2\na-b\t1\n");
    combo->SetSorted(true);
    combo->SetStyle(csDropDownList);
    ASSERT_EQ(combo->Items()->Text(), "a-b\t1\r\nab\t2\r\nzz\t3\r\n");
    ASSERT_LT(AnsiCompareText("ab", "a-b"), 0);
    combo->SetItemIndex(1);
    Open();
    EXPECT_EQ(combo->ListBox()->Items()->Text(), "a-b\r\nab\r\nzz\r\n");
    EXPECT_EQ(HighlightedRow(), 1);
    TypeKey(VK_UP);
    TypeKey(VK_RETURN);
    EXPECT_EQ(combo->Text(), "a-b");
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->GetStoredText(), "1");
}

// ---- owner drawing

TEST_F(ComboBoxOnForm, OwnerDrawnRowsAndEditAreaAndTheirSearchReset)
{
    Cardinal now = 100000;
    const auto previousTicks = SetTickSource([&] { return now; });
    struct Drawn {
        TWinControl* control;
        bool onList;
        Integer index;
        TOwnerDrawState state;
    };
    std::vector<Drawn> drawn;
    const TColor colours[] = {clRed, clGreen, clBlue, clYellow, clFuchsia};
    combo->OnDrawItem = [&](TWinControl* control, Integer index, TRect rect, TOwnerDrawState state) {
        TCanvas* canvas = combo->Canvas();
        ASSERT_NE(canvas, nullptr);
        drawn.push_back({control, combo->ListBox() && canvas == combo->ListBox()->Canvas(), index, state});
        canvas->FillRect(rect);
        if (index < 0) return;
        canvas->Brush()->SetColor(colours[index]);
        canvas->FillRect(Rect(rect.left + 2, rect.top + 2, rect.left + 14, rect.bottom - 2));
        canvas->Brush()->SetStyle(bsClear);
        canvas->TextOut(rect.left + 18, rect.top + 1, vxComboDisplayPart(combo->Items()->Strings(index)));
    };
    std::vector<Integer> measured;
    combo->OnMeasureItem = [&](TWinControl*, Integer index, Integer& height) {
        measured.push_back(index);
        height = 20;
    };
    combo->SetStyle(csOwnerDrawVariable);
    combo->SetItemHeight(20);
    combo->SetItemIndex(3);
    other->SetFocus();
    PumpMessages();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().control, combo);
    EXPECT_FALSE(drawn.back().onList);
    EXPECT_EQ(drawn.back().index, 3);
    EXPECT_EQ(drawn.back().state, TOwnerDrawState{odFocused});
    EXPECT_EQ(combo->Canvas(), nullptr);

    drawn.clear();
    combo->SetFocus();
    MouseClick(combo, Point(20, 10));
    ASSERT_TRUE(ListShowing());
    EXPECT_EQ(measured, (std::vector<Integer>{0, 1, 2, 3, 4}));
    EXPECT_EQ(HighlightedRow(), 3);
    PumpMessages();
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [&](const Drawn& d) {
        return d.control == combo && d.onList && d.index == 3 && d.state.Contains(odSelected);
    }));
    EXPECT_TRUE(SaveWindowToPng(combo->ListBox()->Handle(), "vxdbcomb-ownerdraw-list.png"));
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbcomb-ownerdraw-form.png"));

    TypeText("bl");
    EXPECT_EQ(HighlightedRow(), 2);
    now += 1400;
    TypeText("u");
    EXPECT_EQ(HighlightedRow(), 2);
    now += 1600;
    TypeText("c");
    EXPECT_EQ(HighlightedRow(), 3);
    EXPECT_EQ(combo->ListBox()->SearchText(), "c");
    TypeKey(VK_RETURN);
    EXPECT_EQ(combo->ItemIndex(), 3);
    SetTickSource(previousTicks);
}

TEST_F(ComboBoxOnForm, DroppedDownScreenshot)
{
    combo->SetItemIndex(2);
    MouseClick(combo->Button(), Point(5, 5));
    ASSERT_TRUE(ListShowing());
    TypeKey(VK_DOWN);
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxdbcomb-dropped-form.png"));
    EXPECT_TRUE(SaveWindowToPng(combo->ListBox()->Handle(), "vxdbcomb-dropped-list.png"));
    TypeKey(VK_ESCAPE);
}

// ---- bound

// Three records whose Status is C, X and c; the combo box maps Open/O and Closed/C.
class BoundComboBox : public ComboBoxOnForm {
protected:
    void SetUp() override
    {
        ComboBoxOnForm::SetUp();
        data = new TMemDataSet(nullptr);
        data->FieldDefs()->Add("Status", ftString, 4);
        data->Open();
        for (const char* status : {"C", "X", "c"}) {
            data->Append();
            data->FieldByName("Status")->SetAsString(status);
            data->Post();
        }
        data->First();
        source = new TvxDataSource(nullptr);
        source->SetDataSet(data);
        combo->SetMapList(true);
        combo->SetStyle(csDropDownList);
        combo->Items()->SetText("Open\tO\nClosed\tC\n");
        combo->SetDataSource(source);
        combo->SetDataField("Status");
        PumpMessages();
    }
    void TearDown() override
    {
        form.reset();
        delete source;
        delete data;
    }

    TMemDataSet* data = nullptr;
    TvxDataSource* source = nullptr;
};

TEST_F(BoundComboBox, ShowsMappedTextsOfTheFieldExactly)
{
    const std::string shown[] = {"Closed", "", ""};
    for (const std::string& text : shown) {
        SCOPED_TRACE(data->FieldByName("Status")->AsString());
        EXPECT_EQ(combo->Text(), text);
        EXPECT_EQ(combo->ItemIndex(), text.empty() ? -1 : 1);
        data->Next();
    }
}

TEST_F(BoundComboBox, ChoosingWritesTheMappedValue)
{
    combo->SetFocus();
    Open();
    EXPECT_EQ(HighlightedRow(), 1);
    TypeKey(VK_UP);
    TypeKey(VK_RETURN);
    EXPECT_EQ(combo->Text(), "Open");
    EXPECT_EQ(data->State(), dsEdit);
    other->SetFocus();
    PumpMessages();
    EXPECT_EQ(data->FieldByName("Status")->AsString(), "O");
}

TEST_F(BoundComboBox, KeysAreIgnoredWhenTheFieldCannotBeEdited)
{
    source->SetAutoEdit(false);
    combo->SetFocus();
    PumpMessages();
    for (Word key : {Word(VK_UP), Word('O')}) {
        TypeKey(key);
        EXPECT_EQ(combo->Text(), "Closed");
        EXPECT_EQ(combo->ItemIndex(), 1);
    }
    EXPECT_EQ(data->State(), dsBrowse);
}

}  // namespace
