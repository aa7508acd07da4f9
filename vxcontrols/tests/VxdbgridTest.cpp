// The published grid: read from a form file with its corner button, with and without a data source; fixed data
// columns; driven by real mouse clicks on its scroll bar; actions; its image.
#include <memory>

#include "GridFixture.h"
#include "classes/Action.h"
#include "classes/FormResource.h"
#include "vcl/StdCtrls.h"

class TGridForm : public TForm {
    DUN_CLASS(TGridForm, TForm)
public:
    explicit TGridForm(TComponent* owner) : TForm(owner) {}

    TvxDBGrid* Grid = nullptr;
    TvxIButton* Corner = nullptr;
    TEdit* Status = nullptr;
    TvxDataSource* People = nullptr;

    static void Publish(TPublisher<TGridForm>& p)
    {
        p.Field("Grid", &TGridForm::Grid);
        p.Field("Corner", &TGridForm::Corner);
        p.Field("Status", &TGridForm::Status);
        p.Field("People", &TGridForm::People);
    }
};

namespace {

// The platform grid's own fixed columns (indicator and fixed data columns).
Integer BaseFixedCols(TvxDBGrid* grid)
{
    return static_cast<TCustomGrid*>(grid)->FixedCols();
}

// A real left click (the pointer moves there) at a point on the screen. Both button events are queued before the
// window sees the press: a scroll bar tracks the mouse in a loop of its own until the button comes up.
void RealClick(POINT point)
{
    SetCursorPos(point.x, point.y);
    PumpMessages(30);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    PumpMessages(100);
}

class GridFormTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        gridForm.reset(CreateObject<TGridForm>(nullptr));
    }
    void TearDown() override
    {
        gridForm.reset();
        GridFixture::TearDown();
    }

    void ShowWithPeople()
    {
        gridForm->People->SetDataSet(table);
        gridForm->Show();
        ActivateForm(gridForm.get());
        gridForm->Grid->SetFocus();
        PumpMessages();
    }
    std::string Current() { return table->FieldByName("Name")->AsString(); }

    std::unique_ptr<TGridForm> gridForm;
};

TEST_F(GridFormTest, FormFileGivesTheGridItsCornerButtonAndSettings)
{
    TvxDBGrid* grid = gridForm->Grid;
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->DataSource(), gridForm->People);
    EXPECT_EQ(grid->IndicatorButton(), gridForm->Corner);
    EXPECT_EQ(gridForm->Corner->Parent(), grid);
    EXPECT_EQ(grid->IndicatorWidth(), 13);
    EXPECT_EQ(gridForm->Corner->Left(), 0);  // the button stays in the corner
    EXPECT_EQ(gridForm->Corner->Top(), 0);
    EXPECT_EQ(grid->FixedCols(), 1);
    EXPECT_FALSE(grid->UseTFields());
    EXPECT_EQ(grid->Selected()->Count(), 3);
    EXPECT_TRUE(grid->TitleFont()->Style().Contains(fsBold));
    EXPECT_TRUE(grid->ParentFont());  // a title font read from the file leaves the grid's font to its parent
    EXPECT_FALSE(grid->Options().Contains(dgWordWrap));

    ShowWithPeople();
    ASSERT_EQ(grid->ColCount(), 4);
    EXPECT_EQ(grid->GetFields(0)->FieldName(), "Name");
    EXPECT_EQ(grid->ColWidths(0), 13);
    EXPECT_EQ(BaseFixedCols(grid), 2);

    gridForm->Corner->SetWidth(20);
    EXPECT_EQ(grid->IndicatorWidth(), 19);
    EXPECT_EQ(grid->ColWidths(0), 19);
    gridForm->Corner->SetBounds(5, 5, 20, 18);
    EXPECT_EQ(gridForm->Corner->Left(), 0);
    EXPECT_EQ(gridForm->Corner->Top(), 0);

    // Written out again, the button is the grid's child.
    const std::string text = WriteComponentText(gridForm.get());
    const size_t gridAt = text.find("object Grid: TvxDBGrid"), cornerAt = text.find("object Corner: TvxIButton");
    ASSERT_NE(cornerAt, std::string::npos);
    EXPECT_LT(gridAt, cornerAt);
    EXPECT_LT(cornerAt, text.find("object Status: TEdit"));
    EXPECT_EQ(text.find("IndicatorButton"), std::string::npos);

    delete gridForm->Corner;
    EXPECT_EQ(grid->IndicatorButton(), nullptr);
    gridForm->People->Free();
    EXPECT_EQ(grid->DataSource(), nullptr);
    EXPECT_EQ(grid->GetFieldCount(), 0);
}

TEST_F(GridFormTest, AGridWithoutADataSourceIsReadAndFreed)
{
    auto plain = std::unique_ptr<TForm>(CreateObject<TForm>(nullptr));
    ReadComponentText(plain.get(), "object Plain: TForm\n"
                                   "  object Grid: TvxDBGrid\n"
                                   "    Width = 200\n"
                                   "    Height = 100\n"
                                   "    object Corner: TvxIButton\n"
                                   "      Width = 12\n"
                                   "      Height = 12\n"
                                   "    end\n"
                                   "  end\n"
                                   "end\n");
    auto* grid = dynamic_cast<TvxDBGrid*>(plain->FindComponent("Grid"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->DataSource(), nullptr);
    EXPECT_EQ(grid->IndicatorWidth(), 11);
    plain->Show();
    PumpMessages();
    EXPECT_EQ(grid->ColCount(), 2);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->ColWidths(0), 11);
    plain.reset();
    EXPECT_EQ(vxGridBitmaps().GridCount, 2);  // the fixture's grids are still there
}

TEST_F(GridFormTest, GridsShareTheIndicatorGlyphsUntilTheLastOneGoes)
{
    const TvxGridBitmaps& shared = vxGridBitmaps();
    EXPECT_EQ(shared.GridCount, 2);
    ASSERT_NE(shared.Arrow, nullptr);
    EXPECT_EQ(shared.Arrow->Width(), 6);
    EXPECT_EQ(shared.Arrow->Height(), 11);
    EXPECT_EQ(shared.Edit->Height(), 11);
    EXPECT_EQ(shared.Insert->Height(), 11);
    EXPECT_EQ(shared.Arrow->Canvas()->Pixels(0, 5), clBlack);  // the triangle's point row
    EXPECT_EQ(shared.Arrow->Canvas()->Pixels(5, 0), clWhite);
    TBitmap* arrow = shared.Arrow;
    gridForm.reset();
    EXPECT_EQ(shared.GridCount, 1);
    EXPECT_EQ(shared.Arrow, arrow);
    delete form;
    form = nullptr;
    EXPECT_EQ(shared.GridCount, 0);
    EXPECT_EQ(shared.Arrow, nullptr);
    EXPECT_EQ(shared.DrawBitmap, nullptr);
}

TEST_F(GridFormTest, FixedColumnsRefuseValuesThatLeaveNothingToScroll)
{
    ShowWithPeople();
    TvxDBGrid* grid = gridForm->Grid;
    grid->SetFixedCols(2);
    EXPECT_EQ(BaseFixedCols(grid), 3);
    for (Integer bad : {-1, 3}) {
        grid->SetFixedCols(bad);
        EXPECT_EQ(grid->FixedCols(), 2);
    }
    ASSERT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Invalid value for FixedCols");
    EXPECT_EQ(dialogs.Shown[0].Type, mtWarning);
    grid->SetFixedCols(0);
    EXPECT_EQ(BaseFixedCols(grid), 1);
}

TEST_F(GridFormTest, RealClicksOnTheScrollBarMoveTheDatasetAndTheImageShowsIt)
{
    ShowWithPeople();
    gridForm->Status->SetFocus();
    PumpMessages();
    TvxDBGrid* grid = gridForm->Grid;
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(grid->Handle(), OBJID_VSCROLL, &bar));
    const Integer middle = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    RealClick({middle, bar.rcScrollBar.bottom - bar.dxyLineButton / 2});
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(Current(), "Person 2");
    RealClick({middle, bar.rcScrollBar.bottom - bar.dxyLineButton / 2});
    EXPECT_EQ(Current(), "Person 3");
    RealClick({middle, bar.rcScrollBar.top + bar.dxyLineButton / 2});
    EXPECT_EQ(Current(), "Person 2");
    EXPECT_EQ(grid->Row(), 2);

    table->Edit();
    PumpMessages();
    ASSERT_TRUE(SaveWindowToPng(gridForm->Handle(), "vxdbgrid.png"));
    table->Cancel();
}

// Moves the dataset of the data source it is run on to its next record.
class TNextAction : public TBasicAction {
public:
    explicit TNextAction(TComponent* owner) : TBasicAction(owner) {}
    bool HandlesTarget(TObject* target) override { return dynamic_cast<TDataSource*>(target) != nullptr; }
    void ExecuteTarget(TObject* target) override { static_cast<TDataSource*>(target)->DataSet()->Next(); }
    void UpdateTarget(TObject*) override { ++updates; }
    Integer updates = 0;
};

TEST_F(GridFormTest, ActionsTheGridDoesNotHandleGoToItsDataSource)
{
    Attach();
    std::unique_ptr<TNextAction> action(CreateObject<TNextAction>(nullptr));
    EXPECT_TRUE(grid->ExecuteAction(action.get()));
    EXPECT_EQ(Current(), "Person 2");
    EXPECT_TRUE(grid->UpdateAction(action.get()));
    EXPECT_EQ(action->updates, 1);
    grid->SetDataSource(nullptr);
    EXPECT_FALSE(grid->ExecuteAction(action.get()));
}

}  // namespace
