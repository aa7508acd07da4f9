// The grid's cell editor over the programs' table on a record-manager file: the PictureMasks line's grid flag decides
// whether typing in a cell follows the mask and whether an incomplete cell can be left.
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/bk/BkSession.h"
#include "engine/bk/BtrInfoU.h"
#include "engine/tests/support/HostClientsSupport.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/Vxdbgrid.h"
#include "vxdata/vxDataSource.h"

namespace {

namespace fs = std::filesystem;

// The client file on a grid showing the code, the Unassigned field and the last name; the Unassigned field has the
// picture "##-###" with auto-fill.
class GridOnBkTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = (fs::temp_directory_path() / ("gridbk_" + std::to_string(GetCurrentProcessId()))).string();
        fs::remove_all(folder_);
        {
            THostDataDir dir(folder_);
            MakeClientFile(dir);
        }
        registry_ = std::make_unique<TMachineRegistryOverride>();
        WriteDemoRegistry(folder_);
        form_.reset(CreateObject<TForm>(nullptr));
        form_->SetBounds(60, 60, 420, 220);
        table_ = new TvxBkTable(form_.get());
        table_->SetDatabaseName("vavuz");
        table_->SetTableName(folder_ + "\\yclient.qf;RES:YCLIENT");
        table_->SetIndexName("1");
        auto* source = new TvxDataSource(form_.get());
        source->SetDataSet(table_);
        grid_ = new TvxDBGrid(form_.get());
        grid_->SetParent(form_.get());
        grid_->SetBounds(8, 8, 390, 160);
        TStringList selected;
        selected.SetText("Client Code\t8\tCode\nUnassigned\t8\tUnassigned\nClient Last Name\t12\tName\n");
        grid_->SetSelected(&selected);
        grid_->SetUseTFields(false);
        grid_->SetDataSource(source);
    }
    void TearDown() override
    {
        form_.reset();
        BkDefaultSession()->SetActive(false);
        registry_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // Opens the table with the picture line and puts the cell editor on the first client's Unassigned field.
    void OpenWithGridFlag(bool gridFlag)
    {
        table_->PictureMasks()->SetText(std::string("Unassigned\t##-###\tT\t") + (gridFlag ? "T" : "F") + "\n");
        table_->Open();
        form_->Show();
        ActivateForm(form_.get());
        grid_->SetFocus();
        TypeKey(VK_RIGHT);
        TypeKey(VK_F2);
        grid_->InplaceEditor()->SelectAll();
    }
    std::string CellText() { return grid_->InplaceEditor()->Text(); }
    std::string Unassigned() { return Trim(table_->FieldByName("Unassigned")->AsString()); }

    TScriptedDialogs dialogs_;
    std::string folder_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
    std::unique_ptr<TForm> form_;
    TvxBkTable* table_ = nullptr;
    TvxDBGrid* grid_ = nullptr;
};

TEST_F(GridOnBkTable, WithTheGridFlagTypingFollowsTheMaskAndAnIncompleteCellStays)
{
    OpenWithGridFlag(true);
    const std::string client = Trim(table_->FieldByName("Client Code")->AsString());
    TypeText("12");
    EXPECT_EQ(CellText(), "12-");  // the literal is filled in
    TypeText("3x");
    EXPECT_EQ(CellText(), "12-3");  // a letter does not fit
    TypeKey(VK_TAB);
    EXPECT_EQ(grid_->Col(), 2);
    ASSERT_EQ(dialogs_.Shown.size(), 1u);
    EXPECT_TRUE(grid_->InplaceEditor()->Focused());
    EXPECT_TRUE(SaveWindowToPng(form_->Handle(), "vxdbigrd-bktable-refused.png"));

    TypeKey(VK_END);
    TypeText("45");
    TypeKey(VK_TAB);
    EXPECT_EQ(grid_->Col(), 3);
    table_->Post();
    table_->Close();
    table_->Open();
    ASSERT_TRUE(table_->Locate("Client Code", Variant(client), {}));
    EXPECT_EQ(Unassigned(), "12-345");
}

TEST_F(GridOnBkTable, WithoutTheGridFlagTheCellTakesAnyText)
{
    OpenWithGridFlag(false);
    TypeText("12x");
    EXPECT_EQ(CellText(), "12x");
    TypeKey(VK_TAB);
    EXPECT_EQ(grid_->Col(), 3);
    EXPECT_TRUE(dialogs_.Shown.empty());
    EXPECT_EQ(Unassigned(), "12x");
    table_->Cancel();
}

}  // namespace
