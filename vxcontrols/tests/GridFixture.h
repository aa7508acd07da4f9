// A grid on a real form over an in-memory table of 20 people, with the grid's notifications recorded in order.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/Vxdbgrid.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/vxDataSource.h"

// An in-memory table that publishes its ControlType and PictureMasks lines and a master data source, as the library's
// tables do.
class TGridTable : public TMemDataSet {
    DUN_CLASS(TGridTable, TMemDataSet)
public:
    explicit TGridTable(TComponent* owner) : TMemDataSet(owner), controlType_(std::make_unique<TStringList>()) {}

    TStrings* ControlType() const { return controlType_.get(); }
    void SetControlType(TStrings* value) { controlType_->Assign(value); }
    TStrings* PictureMasks() const { return pictureMasks_.get(); }
    void SetPictureMasks(TStrings* value) { pictureMasks_->Assign(value); }
    TDataSource* MasterSource() const { return masterSource_; }
    void SetMasterSource(TDataSource* value) { masterSource_ = value; }
    bool IsSequenced() override { return Sequenced; }

    bool Sequenced = true;
    TvxInvalidValueEvent OnInvalidValue;

    static void Publish(TPublisher<TGridTable>& p)
    {
        p.Property("ControlType", &TGridTable::ControlType, &TGridTable::SetControlType);
        p.Property("PictureMasks", &TGridTable::PictureMasks, &TGridTable::SetPictureMasks);
        p.Property("MasterSource", &TGridTable::MasterSource, &TGridTable::SetMasterSource);
        p.Property("OnInvalidValue", &TGridTable::OnInvalidValue);
    }

private:
    std::unique_ptr<TStringList> controlType_;
    std::unique_ptr<TStringList> pictureMasks_ = std::make_unique<TStringList>();
    TDataSource* masterSource_ = nullptr;
};

// The grid with its protected operations in reach and a log of its notifications.
class TTestGrid : public TvxDBGrid {
public:
    explicit TTestGrid(TComponent* owner) : TvxDBGrid(owner)
    {
        OnRowChanged = [this](TObject*) { Log.push_back("Row " + CurrentName()); };
        OnCellChanged = [this](TObject*) { Log.push_back("Cell"); };
        OnTopRowChanged = [this](TObject*) { Log.push_back("TopRow"); };
        OnColEnter = [this](TObject*) { Log.push_back("ColEnter"); };
        OnUpdateFooter = [this](TObject*) { Log.push_back("Footer"); };
        OnFieldChanged = [this](TObject*, TField* field) { Log.push_back("Field " + field->FieldName()); };
    }

    using TvxCustomDBGrid::CheckUpdateFooter;
    using TvxCustomDBGrid::DrawCell;
    using TvxCustomDBGrid::DrawCellLines;
    using TvxCustomDBGrid::GetCellText;
    using TvxCustomDBGrid::TimedScroll;

    void LayoutChanged() override
    {
        ++Layouts;
        TvxDBGrid::LayoutChanged();
    }
    // What typing into the current cell leaves behind: the editor's text, marked as not yet written.
    void TypeIntoCell(const std::string& text)
    {
        editText_ = text;
        DataLink()->Modified();
    }
    // The text data row dataRow shows in data column dataCol.
    std::string CellText(Integer dataCol, Integer dataRow)
    {
        const Integer active = DataLink()->ActiveRecord();
        DataLink()->SetActiveRecord(dataRow);
        std::string text;
        GetCellText(dataCol, text);
        DataLink()->SetActiveRecord(active);
        return text;
    }
    std::vector<std::string> TakeLog()
    {
        std::vector<std::string> log = std::move(Log);
        Log.clear();
        return log;
    }

    std::vector<std::string> Log;
    Integer Layouts = 0;
    // Data rows a multi-select grid reports as selected.
    std::vector<Integer> SelectedRows;
    // Makes the cell editor when set.
    std::function<TInplaceEdit*(TTestGrid*)> MakeEditor;

protected:
    bool IsRowSelected(Integer dataRow) override
    {
        return std::find(SelectedRows.begin(), SelectedRows.end(), dataRow) != SelectedRows.end();
    }
    TInplaceEdit* CreateEditor() override { return MakeEditor ? MakeEditor(this) : TvxDBGrid::CreateEditor(); }

private:
    std::string CurrentName()
    {
        TDataSet* dataSet = DataLink()->DataSet();
        return dataSet->IsEmpty() ? std::string("-") : dataSet->FieldByName("Name")->AsString();
    }
};

using Log = std::vector<std::string>;

inline std::string RectText(const TRect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}
#define EXPECT_RECT(actual, expected) EXPECT_EQ(RectText(actual), RectText(expected))

class GridFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        table = new TGridTable(nullptr);
        table->FieldDefs()->Add("Id", ftInteger);
        table->FieldDefs()->Add("Name", ftString, 12);
        table->FieldDefs()->Add("Amount", ftFloat);
        table->Open();
        for (int i = 1; i <= 20; ++i)
            table->AppendRecord({Variant(i), Variant("Person " + std::to_string(i)), Variant(i * 2.5)});
        table->First();
        source = new TvxDataSource(nullptr);
        source->SetDataSet(table);

        form = CreateObject<TForm>(nullptr);
        form->SetBounds(40, 40, 460, 300);
        grid = new TTestGrid(form);
        grid->SetParent(form);
        grid->SetBounds(8, 8, 420, 200);
        form->Show();
        ActivateForm(form);
        PumpMessages();
    }

    void TearDown() override
    {
        delete form;
        source->Free();
        table->Free();
        PumpMessages(20);
    }

    // Puts a table of other fields (defined by the function) in the place of the people.
    void UseTable(const std::function<void(TGridTable*)>& define)
    {
        source->SetDataSet(nullptr);
        table->Free();
        table = new TGridTable(nullptr);
        define(table);
        table->Open();
        source->SetDataSet(table);
    }

    void Attach()
    {
        grid->SetDataSource(source);
        PumpMessages();
        grid->TakeLog();
    }

    Integer ScrollPos() { return GetScrollPos(grid->Handle(), SB_VERT); }
    Integer ScrollMax()
    {
        int low = 0, high = 0;
        GetScrollRange(grid->Handle(), SB_VERT, &low, &high);
        return high;
    }
    void PostScroll(Word code, Integer position = 0)
    {
        PostMessageA(grid->Handle(), WM_VSCROLL, MAKEWPARAM(code, position), 0);
        PumpMessages(30);
    }
    std::string Current() { return table->FieldByName("Name")->AsString(); }

    TScriptedDialogs dialogs;
    TGridTable* table = nullptr;
    TvxDataSource* source = nullptr;
    TForm* form = nullptr;
    TTestGrid* grid = nullptr;
};
