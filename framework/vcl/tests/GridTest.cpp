// String grid on a real window: cell geometry from the client rectangle (also a narrowed one), the in-place editor
// driven by real keys, column sizing and moving by real mouse input with drag scrolling, keyboard moves and scrolling.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vcl/Forms.h"
#include "vcl/Grids.h"
#include "vcl/TestHelpers.h"

namespace {

// A grid that keeps a strip at the bottom of its client area for itself.
class TStripGrid : public TStringGrid {
public:
    using TStringGrid::TStringGrid;
    Integer Strip = 0;
    TRect ClientRect() override
    {
        TRect rect = TStringGrid::ClientRect();
        rect.bottom -= Strip;
        return rect;
    }
};

class StringGrid : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(40, 40, 520, 320);
        grid = new TStripGrid(form);
        grid->SetParent(form);
        grid->SetBounds(10, 10, 400, 210);
        grid->SetBorderStyle(bsNone);
        grid->SetScrollBars(ssNone);
        grid->OnColumnMoved = [this](TObject*, Integer from, Integer to) { moves.push_back({from, to}); };
        form->Show();
        ActivateForm(form);
        grid->SetFocus();
        PumpMessages();
    }

    void TearDown() override
    {
        delete form;
        PumpMessages(20);
    }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TStripGrid* grid = nullptr;
    std::vector<std::pair<Integer, Integer>> moves;
};

TEST_F(StringGrid, CellGeometryFollowsScrollingAndSizes)
{
    EXPECT_EQ(grid->ClientRect().right, 400);
    const TRect corner = grid->CellRect(0, 0), cell = grid->CellRect(1, 1);
    EXPECT_EQ(corner.right, 64);
    EXPECT_EQ(corner.bottom, 24);
    EXPECT_EQ(cell.left, 65);
    EXPECT_EQ(cell.top, 25);
    EXPECT_EQ(cell.right, 129);
    EXPECT_EQ(cell.bottom, 49);
    EXPECT_EQ(grid->MouseCoord(70, 30), (TGridCoord{1, 1}));
    EXPECT_EQ(grid->MouseCoord(64, 30).X, 0);   // the line after a cell belongs to it
    EXPECT_EQ(grid->MouseCoord(390, 30).X, -1);  // beyond the last column

    grid->SetColCount(10);
    grid->SetColWidths(2, 100);
    EXPECT_EQ(grid->CellRect(3, 1).left, 65 + 65 + 101);
    EXPECT_EQ(grid->VisibleColCount(), 4);  // 65 + 65 + 101 + 65 + 65 = 361; the next one would end at 426
    grid->SetLeftCol(3);
    const TRect empty = grid->CellRect(1, 1);
    EXPECT_EQ(empty.right - empty.left, 0);
    EXPECT_EQ(grid->CellRect(3, 1).left, 65);
    EXPECT_EQ(grid->MouseCoord(70, 30), (TGridCoord{3, 1}));
    EXPECT_EQ(grid->CellRect(8, 1).right, 400);  // the partly visible column is clipped

    EXPECT_THROW(grid->SetFixedCols(10), EInvalidGridOperation);
    EXPECT_THROW(grid->SetColWidths(10, 5), EInvalidGridOperation);
    grid->SetColCount(1);
    EXPECT_EQ(grid->FixedCols(), 0);
}

TEST_F(StringGrid, GeometryFollowsANarrowedClientRectangle)
{
    grid->SetRowCount(30);
    const Integer full = grid->VisibleRowCount();
    EXPECT_EQ(full, 7);  // (210 - 25) / 25
    grid->Strip = 50;
    EXPECT_EQ(grid->VisibleRowCount(), 5);  // (160 - 25) / 25
    EXPECT_EQ(grid->MouseCoord(70, 170).Y, -1);  // in the strip
    EXPECT_EQ(grid->CellRect(1, 6).bottom, 160);  // clipped to the narrowed rectangle
    for (int i = 0; i < 6; ++i) TypeKey(VK_DOWN);
    EXPECT_EQ(grid->Row(), 7);
    EXPECT_LE(grid->CellRect(1, 7).bottom, 160);  // scrolled so the current row shows whole above the strip
    EXPECT_EQ(grid->TopRow(), 3);
    TypeKey(VK_END, {ssCtrl});
    EXPECT_EQ(grid->TopRow(), 30 - 5);
}

TEST_F(StringGrid, InplaceEditorEditsCellsWithRealKeys)
{
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    TypeText("abc");
    ASSERT_TRUE(grid->EditorMode());
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "abc");
    const TRect cell = grid->CellRect(1, 1);
    EXPECT_TRUE(grid->InplaceEditor()->PosEqual(cell));
    TypeKey(VK_RETURN);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(grid->Cells(1, 1), "abc");

    TypeKey(VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    TypeText("d");
    EXPECT_EQ(grid->InplaceEditor()->Text(), "abcd");  // F2 leaves the text unselected
    TypeKey(VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_FALSE(grid->EditorMode());
    EXPECT_EQ(grid->Cells(1, 1), "abcd");
}

TEST_F(StringGrid, AnEditorShownAlwaysFollowsTheCurrentCell)
{
    grid->SetCells(1, 1, "x");
    grid->SetCells(1, 2, "y");
    grid->SetOptions(grid->Options() + TGridOptions{goEditing, goAlwaysShowEditor});
    PumpMessages();
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(grid->InplaceEditor()->Text(), "x");
    TypeKey(VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    EXPECT_TRUE(grid->InplaceEditor()->PosEqual(grid->CellRect(1, 2)));
    EXPECT_EQ(grid->InplaceEditor()->Text(), "y");
    TypeKey(VK_RETURN);  // Enter does not close an editor that is always shown
    EXPECT_TRUE(grid->EditorMode());
}

TEST_F(StringGrid, InplaceEditorTakesTheCellsEditMask)
{
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    grid->OnGetEditMask = [](TObject*, Integer col, Integer, std::string& mask) {
        if (col == 2) mask = "00;1;_";
    };
    grid->SetCol(2);
    TypeText("a12");
    ASSERT_TRUE(grid->EditorMode());
    EXPECT_EQ(grid->InplaceEditor()->EditText(), "12");
    TypeKey(VK_RETURN);
    EXPECT_EQ(grid->Cells(2, 1), "12");
    grid->SetCol(1);
    TypeText("a1");
    EXPECT_EQ(grid->InplaceEditor()->EditText(), "a1");
    TypeKey(VK_RETURN);

    grid->SetCol(2);
    TypeText("7");
    dialogs.AnswerNextBox(IDOK);
    EXPECT_EQ(grid->InplaceEditor()->EditText(), "7_");
    EXPECT_TRUE(grid->InplaceEditor()->Modified());
    TypeKey(VK_DOWN);  // a character is missing: the editor stays on the cell
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    EXPECT_TRUE(grid->InplaceEditor()->Focused());
    TypeText("8");
    TypeKey(VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Cells(2, 1), "78");
}

TEST_F(StringGrid, ColumnsAreSizedAndMovedByMouse)
{
    grid->SetOptions(grid->Options() + TGridOptions{goColSizing, goColMoving});
    for (Integer col = 1; col < 5; ++col) grid->SetCells(col, 0, std::string(1, char('A' + col - 1)));
    grid->SetCells(1, 1, "a1");
    MouseDrag(grid, Point(129, 10), Point(159, 10));  // the line after column 1, in the title row
    EXPECT_EQ(grid->ColWidths(1), 94);
    EXPECT_EQ(grid->Cells(1, 0), "A");  // sizing moved nothing

    MouseDrag(grid, Point(100, 10), Point(100 + 95 + 65 + 20, 10));  // title of column 1 onto column 3
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], (std::pair<Integer, Integer>{1, 3}));
    EXPECT_EQ(grid->Cells(3, 0), "A");
    EXPECT_EQ(grid->Cells(1, 0), "B");
    EXPECT_EQ(grid->Cells(3, 1), "a1");
    EXPECT_EQ(grid->ColWidths(3), 94);  // the width travels with the column
    EXPECT_EQ(grid->Col(), 3);          // and so does the current cell

    MouseDrag(grid, Point(100, 40), Point(100, 40));  // a press in the data area moves nothing
    EXPECT_EQ(moves.size(), 1u);

    grid->SetCells(3, 3, "row 3");
    grid->MoveRow(3, 1);
    EXPECT_EQ(grid->Cells(3, 1), "row 3");
    EXPECT_EQ(grid->Cells(3, 2), "a1");
}

TEST_F(StringGrid, CanvasMeasuresOutsidePainting)
{
    grid->Canvas()->Font()->Assign(grid->Font());
    EXPECT_GT(grid->Canvas()->TextHeight("W"), 0);
    grid->Invalidate();
    PumpMessages();
    EXPECT_GT(grid->Canvas()->TextWidth("0"), 0);
}

TEST_F(StringGrid, DraggingATitleBeyondTheEdgeScrollsTheColumns)
{
    grid->SetOptions(grid->Options() + TGridOptions{goColMoving});
    grid->SetColCount(20);
    grid->SetCells(1, 0, "moved");
    const TPoint outside = Point(grid->ClientWidth() + 30, 10);
    MousePress(grid, Point(100, 10));
    MouseMoveTo(grid, outside, 3);
    const DWORD until = GetTickCount() + 600;
    while (GetTickCount() < until) PumpMessages(20);
    EXPECT_GT(grid->LeftCol(), 3);
    MouseRelease(grid, outside);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].first, 1);
    EXPECT_GT(moves[0].second, 6);
    EXPECT_EQ(grid->Cells(moves[0].second, 0), "moved");
}

TEST_F(StringGrid, KeysMoveTheCurrentCellAndTabSkipsColumnsWithoutTabStop)
{
    grid->SetOptions(grid->Options() + TGridOptions{goTabs});
    grid->SetTabStops(2, false);
    TypeKey(VK_TAB);
    EXPECT_EQ(grid->Col(), 3);
    TypeKey(VK_TAB);
    TypeKey(VK_TAB);
    EXPECT_EQ(grid->Col(), 1);  // wrapped to the next row
    EXPECT_EQ(grid->Row(), 2);
    TypeKey(VK_TAB, {ssShift});
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 1);
    TypeKey(VK_HOME);
    EXPECT_EQ(grid->Col(), 1);
    TypeKey(VK_RIGHT, {ssShift});
    TypeKey(VK_DOWN, {ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 2, 2}));
}

TEST_F(StringGrid, ScrollBarMessagesMoveTheTopLeftCell)
{
    grid->SetColCount(20);
    Integer changes = 0;
    grid->OnTopLeftChanged = [&](TObject*) { ++changes; };
    grid->Perform(WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(grid->LeftCol(), 2);
    EXPECT_EQ(changes, 1);
    grid->Perform(WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(grid->CellRect(19, 1).right, grid->CellRect(19, 1).left + 64);  // the last column shows whole
    EXPECT_EQ(grid->LeftCol(), 20 - 5);  // 65 + 5 x 65 = 390 fits in 400
    grid->Perform(WM_HSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(grid->LeftCol(), 20 - 10);
    grid->Perform(WM_HSCROLL, SB_TOP, 0);
    EXPECT_EQ(grid->LeftCol(), 1);
}

}  // namespace
