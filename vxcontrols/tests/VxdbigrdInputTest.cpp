// The grid driven by real keys and mouse: the key tables, deleting, Tab over tab stops, appending at the end,
// leaving a cell whose text fails its picture, title clicks and column drags, column sizing with the widths written
// back, and leaving the grid with an untouched new record.
#include <stdexcept>

#include "GridFixture.h"
#include "vcl/StdCtrls.h"

namespace {

class GridInput : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        other = new TEdit(form);
        other->SetParent(form);
        other->SetBounds(8, 220, 100, 21);
        Attach();
        Focus();
    }
    void Focus()
    {
        grid->SetFocus();
        PumpMessages();
    }
    void UseSelected(const std::string& text)
    {
        TStringList lines;
        lines.SetText(text);
        grid->SetSelected(&lines);
        grid->SetUseTFields(false);
        grid->LayoutChanged();
    }
    TPoint Middle(Integer col, Integer row)
    {
        const TRect cell = grid->CellRect(col, row);
        return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    std::string Line(Integer index) { return grid->Selected()->Strings(index); }

    TEdit* other = nullptr;
};

TEST_F(GridInput, KeyTables)
{
    const struct {
        Word key;
        TShiftState shift;
        Integer col;
        std::string current;
    } steps[] = {
        {VK_END, {}, 3, "Person 1"},       {VK_HOME, {}, 1, "Person 1"},   {VK_RIGHT, {}, 2, "Person 1"},
        {VK_END, {ssCtrl}, 2, "Person 20"}, {VK_HOME, {ssCtrl}, 2, "Person 1"}, {VK_DOWN, {}, 2, "Person 2"},
        {VK_RIGHT, {ssCtrl}, 3, "Person 2"}, {VK_LEFT, {ssCtrl}, 1, "Person 2"}, {VK_NEXT, {}, 1, ""},
        {VK_UP, {}, 1, ""},
    };
    const Integer page = grid->VisibleRowCount();
    for (const auto& s : steps) {
        TypeKey(s.key, s.shift);
        EXPECT_EQ(grid->Col(), s.col) << s.key;
        if (!s.current.empty()) {
            EXPECT_EQ(Current(), s.current) << s.key;
        }
    }
    EXPECT_EQ(Current(), "Person " + std::to_string(1 + page));
    TypeKey(VK_DOWN, {ssCtrl});
    EXPECT_EQ(grid->DataLink()->ActiveRecord(), grid->DataLink()->BufferCount() - 1);
    TypeKey(VK_UP, {ssCtrl});
    EXPECT_EQ(grid->DataLink()->ActiveRecord(), 0);

    TypeKey(VK_INSERT);
    EXPECT_EQ(table->State(), dsInsert);
    TypeKey(VK_ESCAPE);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->RecordCount(), 20);
}

TEST_F(GridInput, HomeAndEndMoveRecordsWhenThereIsOneField)
{
    UseTable([](TGridTable* t) { t->FieldDefs()->Add("Name", ftString, 12); });
    for (const char* name : {"A", "B", "C"}) table->AppendRecord({Variant(name)});
    table->First();
    PumpMessages();
    TypeKey(VK_END);
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "C");
    TypeKey(VK_HOME);
    EXPECT_EQ(table->FieldByName("Name")->AsString(), "A");
}

TEST_F(GridInput, CtrlDeleteAsksFirst)
{
    TypeKey(VK_DOWN);
    dialogs.AnswerNextBox(mrCancel);
    TypeKey(VK_DELETE, {ssCtrl});
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Delete record?");
    EXPECT_EQ(dialogs.Shown[0].Buttons, (TMsgDlgButtons{mbOK, mbCancel}));
    EXPECT_EQ(table->RecordCount(), 20);
    dialogs.AnswerNextBox(mrOk);
    TypeKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 19);
    EXPECT_EQ(Current(), "Person 3");

    // Without confirmation it deletes at once; a read-only grid deletes nothing and asks nothing.
    grid->SetOptions(grid->Options() - TvxDBGridOptions{dgConfirmDelete});
    TypeKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 18);
    grid->SetReadOnly(true);
    TypeKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 18);
    EXPECT_EQ(dialogs.Shown.size(), 2u);
}

TEST_F(GridInput, TheCellEditorHandsEnterAsTabAndCtrlDeleteToTheGrid)
{
    grid->SetKeyOptions(grid->KeyOptions() + TvxDBGridKeyOptions{dgEnterToTab});
    grid->SetOptions(grid->Options() - TvxDBGridOptions{dgConfirmDelete});
    TypeKey(VK_RIGHT);
    TypeText("Zed");
    TInplaceEdit* editor = grid->InplaceEditor();
    ASSERT_TRUE(editor && editor->Focused());
    TypeKey(VK_HOME);
    TypeKey(VK_DELETE);  // plain Delete edits the text
    EXPECT_EQ(editor->Text(), "ed");
    TypeKey(VK_RETURN);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(Current(), "ed");
    table->Post();

    TypeKey(VK_LEFT);
    TypeText("Q");
    ASSERT_TRUE(editor->Focused());
    TypeKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(table->RecordCount(), 19);
    EXPECT_EQ(Current(), "Person 2");
    EXPECT_TRUE(grid->Focused());
}

TEST_F(GridInput, TabAndShiftTabOverTabStopsAndRecords)
{
    UseSelected("Id\t4\tNo.\tT\nName\t12\tPerson\nAmount\t8\tAmount\n");
    Focus();
    TypeKey(VK_RIGHT);
    ASSERT_EQ(grid->Col(), 2);
    const struct {
        TShiftState shift;
        Integer col;
        std::string current;
    } steps[] = {
        {{}, 3, "Person 1"},
        {{}, 2, "Person 2"},  // the read-only Id column is passed over
        {{}, 3, "Person 2"},
        {{ssShift}, 2, "Person 2"},
        {{ssShift}, 3, "Person 1"},
        {{ssShift}, 2, "Person 1"},
    };
    for (const auto& s : steps) {
        TypeKey(VK_TAB, s.shift);
        EXPECT_EQ(grid->Col(), s.col);
        EXPECT_EQ(Current(), s.current);
    }
}

TEST_F(GridInput, DownAtTheEndAppendsAndUpCancels)
{
    TypeKey(VK_END, {ssCtrl});
    TypeKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsInsert);
    EXPECT_TRUE(table->Eof());
    TypeKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsInsert);
    TypeKey(VK_UP);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(Current(), "Person 20");
    EXPECT_EQ(table->RecordCount(), 20);

    // Neither a read-only grid nor one without dgAllowInsert appends.
    grid->SetReadOnly(true);
    TypeKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsBrowse);
    grid->SetReadOnly(false);
    grid->SetKeyOptions({dgAllowDelete});
    TypeKey(VK_DOWN);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->RecordCount(), 20);
}

TEST_F(GridInput, AnUntouchedNewRecordGoesWhenTheGridLosesTheFocus)
{
    TypeKey(VK_INSERT);
    ASSERT_EQ(table->State(), dsInsert);
    other->SetFocus();
    PumpMessages();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->RecordCount(), 20);

    // Typed text goes into the field instead.
    Focus();
    TypeKey(VK_RIGHT);
    TypeText("Z");
    ASSERT_TRUE(grid->EditorMode());
    other->SetFocus();
    PumpMessages();
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_EQ(Current(), "Z");
    table->Cancel();
}

// The Name field's picture wants three digits, in the grid too.
class GridPicture : public GridInput {
protected:
    void SetUp() override
    {
        GridInput::SetUp();
        table->PictureMasks()->SetText("Name\t###\tF\tT\n");
    }
    // Types a text the picture does not take whole into the Name cell (the editor selects the cell's text first).
    void TypeBadName(Word toName)
    {
        TypeKey(toName);
        TypeText("12");
        editor = dynamic_cast<TvxInplaceEdit*>(grid->InplaceEditor());
        ASSERT_NE(editor, nullptr);
        ASSERT_EQ(grid->Col(), 2);
        ASSERT_EQ(editor->Text(), "12");
        grid->TakeLog();
    }
    TvxInplaceEdit* editor = nullptr;
};

TEST_F(GridPicture, LeavingAnInvalidCellIsRefusedWithAMessage)
{
    TypeBadName(VK_RIGHT);
    TypeKey(VK_TAB);
    EXPECT_EQ(grid->Col(), 2);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    // The application's message adds the full stop.
    EXPECT_EQ(dialogs.Shown[0].Text, "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_TRUE(editor->Focused());
    EXPECT_EQ(editor->SelStart(), 0);
    EXPECT_EQ(editor->SelLength(), 2);
    EXPECT_EQ(Current(), "Person 1");
}

TEST_F(GridPicture, OnInvalidValueDecidesInstead)
{
    std::vector<std::string> calls;
    table->OnInvalidValue = [&](TDataSet*, TField* field) { calls.push_back(field->FieldName()); };
    TypeBadName(VK_RIGHT);
    TypeKey(VK_TAB);
    EXPECT_EQ(calls, Log{"Name"});
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(GridPicture, AClickRefusedByThePictureLeavesCellEventsWorking)
{
    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgAlwaysShowEditor});
    Focus();
    TypeBadName(VK_TAB);
    MouseClick(grid, Middle(3, 3));
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(Current(), "Person 1");
    EXPECT_EQ(dialogs.Shown.size(), 1u);
    TypeKey(VK_ESCAPE);
    grid->TakeLog();
    // Nothing of the refused click stays behind: a record move tells its cell change and the editor follows.
    TypeKey(VK_DOWN);
    const Log log = grid->TakeLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "Cell"), log.end());
    TypeKey(VK_TAB);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(Current(), "Person 2");
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_TRUE(editor->Visible());
    EXPECT_TRUE(editor->Focused());
}

TEST_F(GridInput, TitleClicksAndColumnDrags)
{
    grid->SetTitleButtons(true);
    Log clicks;
    grid->OnTitleButtonClick = [&](TObject*, const std::string& name) { clicks.push_back(name); };
    std::vector<std::pair<Integer, Integer>> moves;
    grid->OnColumnMoved = [&](TObject*, Integer from, Integer to) { moves.emplace_back(from, to); };
    const TPoint name = Middle(2, 0);
    MouseClick(grid, name);
    EXPECT_EQ(clicks, Log{"Name"});
    // Less than 3 pixels is a click too.
    MouseDrag(grid, name, {name.x + 2, name.y + 2}, 2);
    EXPECT_EQ(clicks, (Log{"Name", "Name"}));
    EXPECT_FALSE(grid->ColumnDragged());
    EXPECT_EQ(table->FieldByName("Name")->Index(), 1);

    // Dragged onto the Amount title: the column moves there and nothing is clicked.
    MouseDrag(grid, name, Middle(3, 0), 6);
    EXPECT_TRUE(grid->ColumnDragged());
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(table->FieldByName("Name")->Index(), 2);
    EXPECT_EQ(grid->GetFields(2)->FieldName(), "Name");
    EXPECT_EQ(moves, (std::vector<std::pair<Integer, Integer>>{{1, 2}}));
    EXPECT_EQ(grid->PressedTitleCol(), -1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(GridInput, ColumnDragMovesTheSelectedLine)
{
    UseSelected("Id\t4\tNo.\nName\t12\tPerson\tF\nAmount\t8\tAmount owed\n");
    MouseDrag(grid, Middle(3, 0), Middle(1, 0), 6);
    // The lines move (their widths are written back as the columns show them).
    EXPECT_EQ(Line(0).substr(0, 7), "Amount\t");
    EXPECT_EQ(Line(1).substr(0, 3), "Id\t");
    EXPECT_EQ(Line(2).substr(0, 5), "Name\t");
    EXPECT_EQ(grid->GetFields(0)->FieldName(), "Amount");
}

TEST_F(GridInput, SizedColumnsWriteTheirWidthsBack)
{
    UseSelected("Id\t4\tNo.\nName\t12\tPerson\tT\nAmount\t8\tAmount owed\n");
    std::vector<Integer> sized;
    grid->OnColWidthChanged = [&](TObject*, Integer col) { sized.push_back(col); };
    const Integer before = grid->ColWidths(2);
    const TRect name = grid->CellRect(2, 0);
    MouseDrag(grid, {name.right, 5}, {name.right + 40, 5}, 4);
    const Integer dragged = before + 40;
    grid->Canvas()->Font()->Assign(grid->Font());
    const Integer zero = grid->Canvas()->TextWidth("0");
    const Integer characters = (dragged + zero / 2 - 3) / zero;
    EXPECT_EQ(Line(1), "Name\t" + std::to_string(characters) + "\tPerson\tT");
    EXPECT_EQ(Line(0), "Id\t4\tNo.");
    EXPECT_EQ(grid->ColWidths(2), characters * zero + 4);
    EXPECT_EQ(sized.size(), 1u);
    // Read back, the widths stay as they are.
    grid->LayoutChanged();
    EXPECT_EQ(Line(1), "Name\t" + std::to_string(characters) + "\tPerson\tT");
    EXPECT_EQ(grid->ColWidths(2), characters * zero + 4);

    // With UseTFields the fields take the widths.
    grid->SetUseTFields(true);
    grid->LayoutChanged();
    const TRect amount = grid->CellRect(3, 0);
    MouseDrag(grid, {amount.right, 5}, {amount.right - 20, 5}, 4);
    EXPECT_EQ(table->FieldByName("Amount")->DisplayWidth(), (amount.right - amount.left - 20 + zero / 2 - 3) / zero);
}

}  // namespace
