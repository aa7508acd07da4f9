// The lookup combo on a real form with default and cancel buttons, over an in-memory lookup table of 20 codes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"
#include "vcl/TestSeams.h"
#include "vxcontrols/vxdblook.h"

namespace {

std::string Code(Integer i)
{
    return (i < 10 ? "C0" : "C") + std::to_string(i);
}

// A lookup table that counts the searches made on it.
class TCountingTable : public TMemDataSet {
public:
    explicit TCountingTable(TComponent* owner) : TMemDataSet(owner) {}
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override
    {
        ++Searches;
        return TMemDataSet::Locate(keyFields, keyValues, options);
    }
    Integer Searches = 0;
};

TCountingTable* MakeTable(Integer records)
{
    auto* table = new TCountingTable(nullptr);
    table->FieldDefs()->Add("Code", ftString, 4);
    table->FieldDefs()->Add("Name", ftString, 20);
    table->Open();
    for (Integer i = 1; i <= records; ++i)
        table->AppendRecord({Variant(Code(i)), Variant("Name " + std::to_string(i))});
    table->First();
    return table;
}

class LookupComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table = MakeTable(20);
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(100, 100, 420, 320);
        first = new TEdit(form);
        first->SetParent(form);
        first->SetBounds(8, 8, 100, 24);
        combo = MakeCombo(40);
        okButton = new TButton(form);
        okButton->SetParent(form);
        okButton->SetBounds(8, 250, 80, 26);
        okButton->SetDefault(true);
        okButton->OnClick = [this](TObject*) { ++okClicks; };
        cancelButton = new TButton(form);
        cancelButton->SetParent(form);
        cancelButton->SetBounds(100, 250, 80, 26);
        cancelButton->SetCancel(true);
        cancelButton->OnClick = [this](TObject*) { ++cancelClicks; };
        form->Show();
        ActivateForm(form);
        PumpMessages();
    }

    void TearDown() override
    {
        if (combo && combo->IsDroppedDown()) combo->CloseUp(false);
        delete form;
        table->Free();
        PumpMessages(20);
    }

    TvxDBLookupCombo* MakeCombo(Integer top)
    {
        auto* made = new TvxDBLookupCombo(form);
        made->SetParent(form);
        made->SetBounds(8, top, 160, 24);
        made->SetLookupTable(table);
        made->SetLookupField("Code");
        made->OnCloseUp = [this](TObject*, TDataSet*, TDataSet*, bool modified) {
            closeUps.push_back(modified ? "modified" : "unmodified");
        };
        return made;
    }
    void Enter()
    {
        combo->SetFocus();
        PumpMessages();
    }
    TRect GridRect()
    {
        RECT r;
        GetWindowRect(combo->DropDownGrid()->Handle(), &r);
        return r;
    }
    // The middle of a data row of the open grid, in the grid's client coordinates.
    TPoint GridRowPoint(Integer dataRow)
    {
        TvxPopupGrid* grid = combo->DropDownGrid();
        const TRect cell = grid->CellRect(0, dataRow + grid->TitleOffset());
        return Point((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    }

    TScriptedDialogs dialogs;
    TCountingTable* table = nullptr;
    TForm* form = nullptr;
    TEdit* first = nullptr;
    TvxDBLookupCombo* combo = nullptr;
    TButton* okButton = nullptr;
    TButton* cancelButton = nullptr;
    Integer okClicks = 0, cancelClicks = 0;
    std::vector<std::string> closeUps;
};

TEST_F(LookupComboTest, TypingSearchesOnce333msAfterTheFirstChangingKey)
{
    TManualTimers timers;
    Enter();
    combo->DropDown();
    PumpMessages();
    table->Searches = 0;
    TypeText("C1");
    timers.Advance(332);
    EXPECT_EQ(table->Searches, 0);
    timers.Advance(1);
    EXPECT_EQ(table->Searches, 1);
    EXPECT_EQ(table->FieldByName("Code")->AsString(), Code(10));
    timers.Advance(1000);
    EXPECT_EQ(table->Searches, 1);
    // Enter runs a pending search at once and takes its row, without pressing the default button.
    TypeText("2");
    EXPECT_EQ(table->Searches, 1);
    TypeKey(VK_RETURN);
    EXPECT_EQ(table->Searches, 2);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->Text(), Code(12));
    EXPECT_EQ(combo->LookupValue(), Code(12));
    EXPECT_EQ(okClicks, 0);
    EXPECT_EQ(closeUps, std::vector<std::string>{"modified"});
}

TEST_F(LookupComboTest, ShowMatchTextCompletesUntilBackspace)
{
    combo->SetShowMatchText(true);
    Enter();
    TypeText("C1");
    EXPECT_EQ(combo->Text(), Code(10));
    EXPECT_EQ(combo->SelStart(), 2);
    EXPECT_EQ(combo->SelLength(), 1);
    TypeKey(VK_BACK);
    EXPECT_EQ(combo->Text(), "C1");
    TypeText("5");
    EXPECT_EQ(combo->Text(), Code(15));
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdblook-combo-matchtext.png"));
}

TEST_F(LookupComboTest, TabAndAClickTakeARow)
{
    Enter();
    combo->DropDown();
    PumpMessages();
    TypeKey(VK_DOWN);
    TypeKey(VK_DOWN);
    TypeKey(VK_TAB);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->LookupValue(), Code(2));
    EXPECT_EQ(combo->Text(), Code(2));
    EXPECT_EQ(GetFocus(), okButton->Handle());

    Enter();
    combo->DropDown();
    PumpMessages();
    ASSERT_TRUE(SaveWindowToPng(combo->DropDownGrid()->Handle(), "vxdblook-combo-dropdown.png"));
    MouseClick(combo->DropDownGrid(), GridRowPoint(4));
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->Text(), Code(5));
    EXPECT_EQ(GetFocus(), combo->Handle());
}

TEST_F(LookupComboTest, EscapeRestoresTheTextOrReachesTheCancelButton)
{
    combo->SetLookupValue(Code(5));
    Enter();
    combo->DropDown();
    PumpMessages();
    TypeText("C1");
    TypeKey(VK_ESCAPE);
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->Text(), Code(5));
    EXPECT_EQ(combo->LookupValue(), Code(5));
    EXPECT_EQ(cancelClicks, 0);
    EXPECT_EQ(closeUps, std::vector<std::string>{"unmodified"});

    Enter();
    first->SetFocus();
    combo->SetFocus();
    PumpMessages();
    TypeKey(VK_ESCAPE);
    EXPECT_EQ(cancelClicks, 1);
}

TEST_F(LookupComboTest, CloseUpOutcomesOfAnUnboundCombo)
{
    enum TNotInList { None, Accept, Refuse };
    struct TCase {
        bool displayIsCode;
        std::string typed;
        TvxDBLookupComboStyle style;
        TNotInList notInList;
        std::string text, value;
        bool closeUpFired;
    };
    const auto dd = TvxDBLookupComboStyle::csDropDown, ddl = TvxDBLookupComboStyle::csDropDownList;
    const std::vector<TCase> cases = {
        {true, "C07", dd, None, "C07", "C07", true},
        {true, "C07", ddl, None, "C07", "C07", true},
        {false, "Name 7", dd, None, "Name 7", "C07", true},
        {true, "ZZ", dd, None, "ZZ", "ZZ", true},
        {true, "ZZ", ddl, None, "", "", true},
        {false, "ZZ", dd, None, "", "", true},
        {true, "ZZ", dd, Accept, "ZZ", "ZZ", true},
        {true, "ZZ", ddl, Accept, "ZZ", "ZZ", true},
        {false, "ZZ", dd, Accept, "", "", true},
        {true, "ZZ", dd, Refuse, "C05", "C05", false},
        {false, "ZZ", dd, Refuse, "Name 5", "C05", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.typed + (c.displayIsCode ? " code" : " name") + (c.style == dd ? " dd" : " ddl") + " " +
                     std::to_string(c.notInList));
        first->SetFocus();
        combo->Selected()->Clear();
        if (!c.displayIsCode) combo->Selected()->Add("Name\t20\tName");
        combo->SetLookupField("");
        combo->SetLookupField("Code");
        combo->SetStyle(c.style);
        combo->OnNotInList = nullptr;
        if (c.notInList != None)
            combo->OnNotInList = [&](TObject*, TDataSet*, const std::string& text, bool& accept) {
                EXPECT_EQ(text, "ZZ");
                accept = c.notInList == Accept;
            };
        combo->SetLookupValue(Code(5));
        Enter();
        combo->DropDown();
        combo->SetText(c.typed);
        combo->PerformSearch();
        closeUps.clear();
        combo->CloseUp(true);
        EXPECT_FALSE(combo->IsDroppedDown());
        EXPECT_EQ(combo->Text(), c.text);
        EXPECT_EQ(combo->LookupValue(), c.value);
        EXPECT_EQ(closeUps, c.closeUpFired ? std::vector<std::string>{"modified"} : std::vector<std::string>{});
        EXPECT_EQ(TvxDBCustomLookupCombo::MouseHook(), nullptr);
    }
}

TEST_F(LookupComboTest, TheDropDownIsATopLevelToolWindowThatLeavesTheFocusInTheCombo)
{
    Enter();
    combo->DropDown();
    PumpMessages();
    const HWND grid = combo->DropDownGrid()->Handle();
    EXPECT_TRUE(IsWindowVisible(grid));
    EXPECT_EQ(GetAncestor(grid, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindowLongA(grid, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
    EXPECT_NE(GetWindowLongA(grid, GWL_STYLE) & WS_BORDER, 0);
    EXPECT_NE(GetClassLongA(grid, GCL_STYLE) & CS_SAVEBITS, 0u);
    EXPECT_EQ(GetFocus(), combo->Handle());
    EXPECT_STREQ(combo->DropDownGrid()->ClassName().c_str(), "TvxPopupGrid");
}

TEST_F(LookupComboTest, TheDropDownHeightFollowsTheRowsAndOptions)
{
    const Integer rowHeight = combo->DropDownGrid()->DefaultRowHeight();
    struct TCase {
        Integer count;
        TvxDBLookupListOptions options;
        Integer rows;
        Integer lines;
    };
    const std::vector<TCase> cases = {
        {8, {}, 8, 0}, {3, {loRowLines}, 3, 1}, {8, {loTitles}, 9, 0}, {0, {}, 1, 0}, {-1, {}, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.count);
        combo->SetOptions(c.options);
        combo->SetDropDownCount(c.count);
        Enter();
        combo->DropDown();
        PumpMessages();
        const Integer defaultHeight = combo->DropDownGrid()->DefaultRowHeight();
        EXPECT_EQ(GridRect().bottom - GridRect().top, (defaultHeight + c.lines) * c.rows + 5 - 2 * c.lines);
        EXPECT_GE(combo->DropDownGrid()->RowCount(), 1);
        combo->CloseUp(false);
    }
    EXPECT_GT(rowHeight, 0);
}

TEST_F(LookupComboTest, AFewRecordsShrinkTheDropDownWithoutAScrollBar)
{
    combo->SetLookupTable(nullptr);
    table->Free();
    table = MakeTable(3);
    combo->SetLookupTable(table);
    Enter();
    combo->DropDown();
    PumpMessages();
    EXPECT_EQ(combo->RowsShown(), 3);
    const Integer rowHeight = combo->DropDownGrid()->DefaultRowHeight();
    EXPECT_EQ(GridRect().bottom - GridRect().top, rowHeight * 3 + 5);
    EXPECT_EQ(GetWindowLongA(combo->DropDownGrid()->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
}

TEST_F(LookupComboTest, TheDropDownOpensBelowOrAboveTheCombo)
{
    Enter();
    combo->DropDown();
    PumpMessages();
    const TPoint origin = combo->ClientOrigin();
    EXPECT_EQ(GridRect().top, origin.y + combo->Height() - 1);
    EXPECT_EQ(GridRect().left, origin.x);
    combo->CloseUp(false);

    const Integer screenHeight = GetSystemMetrics(SM_CYSCREEN);
    form->SetTop(screenHeight - 120);
    PumpMessages();
    combo->DropDown();
    PumpMessages();
    const TPoint low = combo->ClientOrigin();
    EXPECT_EQ(GridRect().bottom, low.y + 1) << "the grid ends where the combo starts";
}

TEST_F(LookupComboTest, AClickOutsideClosesTakingTheRowAndOneInsideDoesNot)
{
    Enter();
    combo->DropDown();
    PumpMessages();
    TypeKey(VK_DOWN);
    TypeKey(VK_DOWN);
    TypeKey(VK_DOWN);
    ASSERT_NE(TvxDBCustomLookupCombo::MouseHook(), nullptr);
    MouseClick(combo, Point(10, 10));
    EXPECT_TRUE(combo->IsDroppedDown());
    MouseClick(form, Point(300, 200));
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->LookupValue(), Code(3));
    EXPECT_EQ(TvxDBCustomLookupCombo::MouseHook(), nullptr);
}

TEST_F(LookupComboTest, AReleaseOnTheTitleRowTakesNothing)
{
    combo->SetOptions({loTitles});
    combo->SetLookupValue(Code(5));
    Enter();
    combo->DropDown();
    PumpMessages();
    const TRect title = combo->DropDownGrid()->CellRect(0, 0);
    MouseClick(combo->DropDownGrid(), Point(title.left + 5, (title.top + title.bottom) / 2));
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->LookupValue(), Code(5));
    EXPECT_EQ(combo->Text(), Code(5));
}

TEST_F(LookupComboTest, TwoCombosShareOneHookAndFreeingOneKeepsTheOther)
{
    TvxDBLookupCombo* second = MakeCombo(80);
    PumpMessages();
    combo->SetFocus();
    combo->DropDown();
    const HHOOK hook = TvxDBCustomLookupCombo::MouseHook();
    ASSERT_NE(hook, nullptr);
    combo->CloseUp(false);
    EXPECT_EQ(TvxDBCustomLookupCombo::MouseHook(), nullptr);

    second->SetFocus();
    second->DropDown();
    PumpMessages();
    ASSERT_NE(TvxDBCustomLookupCombo::MouseHook(), nullptr);
    delete combo;
    combo = nullptr;
    EXPECT_NE(TvxDBCustomLookupCombo::MouseHook(), nullptr);
    TypeKey(VK_DOWN);
    MouseClick(form, Point(300, 200));
    EXPECT_FALSE(second->IsDroppedDown());
    EXPECT_EQ(second->LookupValue(), Code(1));
    EXPECT_EQ(TvxDBCustomLookupCombo::MouseHook(), nullptr);
}

TEST_F(LookupComboTest, ACloseUpWhoseFieldRefusesTheValueIsNoChange)
{
    auto* data = new TMemDataSet(nullptr);
    data->FieldDefs()->Add("Code", ftString, 4);
    data->Open();
    data->AppendRecord({Variant(Code(5))});
    data->FieldByName("Code")->OnValidate = [](TField*) { throw EDatabaseError("Code refused"); };
    auto* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    combo->SetDataSource(source);
    combo->SetDataField("Code");
    EXPECT_EQ(combo->Text(), Code(5));
    Enter();
    combo->DropDown();
    PumpMessages();
    TypeKey(VK_DOWN);
    TypeKey(VK_RETURN);
    EXPECT_EQ(combo->Text(), Code(5));
    EXPECT_EQ(combo->LookupValue(), Code(5));
    EXPECT_EQ(closeUps, std::vector<std::string>{"unmodified"});
    ASSERT_FALSE(dialogs.Shown.empty());
    EXPECT_EQ(dialogs.Shown.back().Text, "Code refused.");
    combo->SetDataSource(nullptr);
    source->Free();
    data->Free();
}

TEST_F(LookupComboTest, AMultiLineComboTakesNoLineBreak)
{
    combo->SetMultiLine(true);
    Enter();
    combo->SetText("C0");
    combo->SetSelStart(2);
    TypeKey(VK_RETURN, TShiftState{ssCtrl});
    EXPECT_EQ(combo->Text(), "C0");
    combo->SetText("");
    if (OpenClipboard(combo->Handle())) {
        EmptyClipboard();
        const std::string text = "C1\r\n2";
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
    }
    SendMessageA(combo->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(combo->Text(), "C12");
}

TEST_F(LookupComboTest, ACommittedSearchKeepsTheActiveRecordInsideTheLink)
{
    Enter();
    combo->DropDown();
    PumpMessages();
    combo->DropDownGrid()->SetSelectedRow(40);
    combo->CommitPendingSearch();
    EXPECT_EQ(combo->DropDownGrid()->DataLink()->ActiveRecord(), 0);
    EXPECT_EQ(combo->DropDownGrid()->DisplayValue(), Code(1));
}

}  // namespace
