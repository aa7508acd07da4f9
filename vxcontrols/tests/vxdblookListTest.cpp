// The lookup list standing alone on a real form, over an in-memory lookup table of 20 codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/DataLinks.h"
#include "db/DataSource.h"
#include "db/MemDataSet.h"
#include "db/StringField.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/vxdblook.h"

namespace {

std::string Code(Integer i)
{
    return (i < 10 ? "C0" : "C") + std::to_string(i);
}

// The list with its protected operations in reach.
class TTestList : public TvxDBLookupList {
public:
    explicit TTestList(TComponent* owner) : TvxDBLookupList(owner)
    {
        OnClick = [this](TObject*) { ++Clicks; };
    }
    using TvxDBLookupList::HighlightCell;
    Integer Clicks = 0;
};

class LookupListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table = new TMemDataSet(nullptr);
        table->FieldDefs()->Add("Code", ftString, 4);
        table->FieldDefs()->Add("Name", ftString, 20);
        table->FieldDefs()->Add("Region", ftString, 6);
        table->Open();
        for (Integer i = 1; i <= 20; ++i)
            table->AppendRecord({Variant(Code(i)), Variant("Name " + std::to_string(i)),
                                 Variant(i % 2 ? "North" : "South")});
        table->First();
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(40, 40, 360, 260);
        list = new TTestList(form);
        list->SetParent(form);
        list->SetBounds(8, 8, 240, 110);
        form->Show();
        ActivateForm(form);
        list->SetLookupTable(table);
        list->SetLookupField("Code");
        PumpMessages();
    }

    void TearDown() override
    {
        delete form;
        table->Free();
        PumpMessages(20);
    }

    // The codes of the rows the list paints highlighted.
    std::vector<std::string> HighlightedCodes()
    {
        std::vector<std::string> codes;
        for (Integer row = 0; row < list->DataLink()->RecordCount(); ++row)
            if (list->HighlightCell(0, row, {}, "")) {
                const Integer active = list->DataLink()->ActiveRecord();
                list->DataLink()->SetActiveRecord(row);
                codes.push_back(table->FieldByName("Code")->AsString());
                list->DataLink()->SetActiveRecord(active);
            }
        return codes;
    }
    // The middle of a data row (buffer index) in the list's client coordinates.
    TPoint RowPoint(Integer dataRow)
    {
        const TRect cell = list->CellRect(0, dataRow + list->TitleOffset());
        return Point((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    }
    std::string ActiveCode() { return table->FieldByName("Code")->AsString(); }

    TScriptedDialogs dialogs;
    TMemDataSet* table = nullptr;
    TForm* form = nullptr;
    TTestList* list = nullptr;
};

TEST_F(LookupListTest, ResolvesDisplayAndLookupFieldsFromItsTexts)
{
    struct TCase {
        std::string lookupField, selected;
        std::vector<std::string> lookupFields;  // "-" for none
        std::string display;
        Integer count;
    };
    const std::vector<TCase> cases = {
        {"Code", "", {"Code", "-", "-"}, "Code", 1},
        {"Code;Region", "", {"Code", "Region", "-"}, "Code", 2},
        {"Code;Nope;Name", "", {"Code", "-", "Name"}, "Code", 3},
        {"Code", "Name\t20\tName", {"Code", "-", "-"}, "Name", 1},
        {"Code", "Name", {"Code", "-", "-"}, "Code", 1},  // a line without a TAB names no field
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.lookupField + " / " + c.selected);
        list->Selected()->Clear();
        if (!c.selected.empty()) list->Selected()->Add(c.selected);
        list->SetLookupField("");
        list->SetLookupField(c.lookupField);
        for (Integer i = 1; i <= 3; ++i) {
            TField* field = list->LookupFields(i);
            EXPECT_EQ(field ? field->FieldName() : "-", c.lookupFields[size_t(i - 1)]);
        }
        ASSERT_NE(list->DisplayField(), nullptr);
        EXPECT_EQ(list->DisplayField()->FieldName(), c.display);
        EXPECT_EQ(list->LookupFieldCount(), c.count);
    }
    try {
        list->SetLookupField("Nope;Code");
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Field 'Nope;Code' not found");
    }
}

TEST_F(LookupListTest, OptionsGiveTheGridItsLinesAndTitleRow)
{
    struct TCase {
        TvxDBLookupListOptions options;
        TvxDBGridOptions grid;
        Integer titleOffset;
    };
    const std::vector<TCase> cases = {
        {{loColLines, loRowLines}, {dgRowSelect, dgColLines, dgRowLines}, 0},
        {{}, {dgRowSelect}, 0},
        {{loTitles}, {dgRowSelect, dgTitles}, 1},
    };
    for (const TCase& c : cases) {
        list->SetOptions(c.options);
        EXPECT_EQ(list->TvxCustomDBGrid::Options(), c.grid);
        EXPECT_EQ(list->TitleOffset(), c.titleOffset);
    }
}

TEST_F(LookupListTest, TheLastColumnFillsTheGrid)
{
    EXPECT_EQ(list->ColCount(), 3);
    const Integer others = list->ColWidths(0) + list->ColWidths(1);
    ASSERT_LT(others, list->ClientWidth() - 15);
    EXPECT_EQ(list->ColWidths(2), list->ClientWidth() - others);

    list->SetOptions({loColLines});
    EXPECT_EQ(list->ColWidths(2), list->ClientWidth() - others - 2);

    // Others wider than the grid leave the last column its own width.
    table->FieldByName("Name")->SetDisplayWidth(60);
    list->LayoutChanged();
    EXPECT_EQ(list->ColWidths(2), 6 * list->Canvas()->TextWidth("0") + 4);

    // A single column is always as wide as the grid.
    table->FieldByName("Name")->SetVisible(false);
    table->FieldByName("Region")->SetVisible(false);
    list->LayoutChanged();
    EXPECT_EQ(list->ColCount(), 1);
    EXPECT_EQ(list->ColWidths(0), list->ClientWidth());
}

TEST_F(LookupListTest, HighlightsTheRowWhoseLookupFieldsEqualTheValue)
{
    list->SetLookupField("Code;Region");
    list->SetValue(Code(3));
    EXPECT_EQ(list->DisplayValue(), Code(3));
    EXPECT_EQ(list->SelectedRow(), -1);
    list->SetLookupValueText(2, "North");
    EXPECT_EQ(HighlightedCodes(), std::vector<std::string>{Code(3)});
    EXPECT_EQ(list->SelectedRow(), 2);
    EXPECT_EQ(ActiveCode(), Code(1)) << "the active record comes back";
    list->Invalidate();
    list->Update();
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdblook-list.png"));

    list->SetLookupValueText(2, "South");  // no row has both values
    EXPECT_TRUE(HighlightedCodes().empty());
}

// A field whose reading fails on demand.
class TFailingField : public TStringField {
public:
    explicit TFailingField(TComponent* owner) : TStringField(owner) {}
    bool Failing = false;

protected:
    std::string GetAsString() const override
    {
        if (Failing) throw EDatabaseError("cannot read");
        return TStringField::GetAsString();
    }
};

TEST_F(LookupListTest, TheActiveRecordComesBackWhenReadingARowRaises)
{
    auto* failing = new TMemDataSet(nullptr);
    failing->FieldDefs()->Add("Code", ftString, 4);
    auto* code = CreateObject<TFailingField>(failing);
    code->SetFieldName("Code");
    code->SetSize(4);
    code->SetDataSet(failing);
    failing->Open();
    for (Integer i = 1; i <= 4; ++i) failing->AppendRecord({Variant(Code(i))});
    failing->First();
    list->SetLookupTable(failing);
    list->SetLookupField("Code");
    list->SetValue(Code(2));
    code->Failing = true;
    EXPECT_THROW(list->HighlightCell(0, 3, {}, ""), EDatabaseError);
    EXPECT_EQ(list->DataLink()->ActiveRecord(), 0);
    code->Failing = false;
    list->SetLookupTable(table);
    failing->Free();
}

TEST_F(LookupListTest, TheLinkRefusesAnActiveRecordOutsideItsRecords)
{
    TvxGridDataLink* link = list->DataLink();
    link->SetActiveRecord(2);
    for (Integer outside : {-1, link->RecordCount()}) {
        link->SetActiveRecord(outside);
        EXPECT_EQ(link->ActiveRecord(), 2);
    }
}

TEST_F(LookupListTest, SelectedRowFollowsScrollingByLinePageAndThumb)
{
    list->SetValue(Code(3));
    list->Update();
    ASSERT_EQ(list->SelectedRow(), 2);
    const Integer visible = list->VisibleRowCount();
    ASSERT_GE(visible, 4);
    // Line down moves to the record after the last shown: the rows move up by one.
    PostMessageA(list->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    PumpMessages();
    EXPECT_EQ(list->SelectedRow(), 1);
    EXPECT_EQ(ActiveCode(), Code(visible + 1));
    PostMessageA(list->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    PumpMessages();
    EXPECT_EQ(list->SelectedRow(), 2);
    EXPECT_EQ(ActiveCode(), Code(1));
    // A page scrolls the row out of view; scrolling back finds it again.
    PostMessageA(list->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    PumpMessages();
    EXPECT_EQ(list->SelectedRow(), 1);
    PostMessageA(list->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    PumpMessages();
    EXPECT_EQ(list->SelectedRow(), -1);
    PostMessageA(list->Handle(), WM_VSCROLL, SB_TOP, 0);
    PumpMessages();
    EXPECT_EQ(list->SelectedRow(), 2);
    SendMessageA(list->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    EXPECT_EQ(list->SelectedRow(), -1) << "a thumb position forgets the row until it is painted";
}

TEST_F(LookupListTest, CursorKeysWithoutARowStartAtTheFirstRecord)
{
    table->Last();
    list->SetFocus();
    PumpMessages();
    ASSERT_EQ(list->SelectedRow(), -1);
    TypeKey(VK_DOWN);
    EXPECT_EQ(ActiveCode(), Code(1));
    EXPECT_EQ(list->LookupValue(), Code(1));
    EXPECT_EQ(list->Row(), 0);
    EXPECT_GE(list->Clicks, 1);
    TypeKey(VK_DOWN);
    TypeKey(VK_DOWN);
    EXPECT_EQ(list->LookupValue(), Code(3));
    EXPECT_EQ(list->SelectedRow(), 2);
    TypeKey(VK_END);
    EXPECT_EQ(list->LookupValue(), Code(20));
}

TEST_F(LookupListTest, AClickTakesTheRowUnderTheMouse)
{
    list->SetOptions({loTitles});
    PumpMessages();
    MouseClick(list, RowPoint(3));
    EXPECT_EQ(list->LookupValue(), Code(4));
    EXPECT_EQ(list->DisplayValue(), Code(4));
    EXPECT_EQ(list->SelectedRow(), 3);
    EXPECT_EQ(list->Clicks, 1);
    // The title row takes nothing.
    const TRect title = list->CellRect(0, 0);
    MouseClick(list, Point(title.left + 5, (title.top + title.bottom) / 2));
    EXPECT_EQ(list->LookupValue(), Code(4));
    EXPECT_EQ(list->Clicks, 1);
}

TEST_F(LookupListTest, ARowWithoutARecordTakesNothing)
{
    while (table->RecordCount() > 2) {
        table->Last();
        table->Delete();
    }
    table->First();
    PumpMessages();
    const Integer rowHeight = list->DefaultRowHeight();
    ASSERT_GT(list->ClientHeight(), 4 * rowHeight);
    MouseClick(list, Point(20, 3 * rowHeight + rowHeight / 2));
    EXPECT_EQ(list->Clicks, 0);
    EXPECT_EQ(list->LookupValue(), "");
    MouseDrag(list, RowPoint(1), Point(20, 3 * rowHeight + rowHeight / 2));
    EXPECT_EQ(list->LookupValue(), Code(2));
}

TEST_F(LookupListTest, AListWithItsOwnFieldShowsAndWritesIt)
{
    auto* data = new TMemDataSet(nullptr);
    data->FieldDefs()->Add("Code", ftString, 4);
    data->Open();
    data->AppendRecord({Variant(Code(5))});
    auto* source = new TDataSource(nullptr);
    source->SetDataSet(data);
    list->SetDataSource(source);
    list->SetDataField("Code");
    EXPECT_EQ(list->LookupValue(), Code(5));
    list->Update();
    EXPECT_EQ(list->SelectedRow(), 4);

    MouseClick(list, RowPoint(1));
    EXPECT_EQ(data->State(), dsEdit);
    data->Post();
    EXPECT_EQ(data->FieldByName("Code")->AsString(), Code(2));

    list->SetDataSource(nullptr);
    source->Free();
    data->Free();
}

TEST_F(LookupListTest, WritesThatWouldShareADataSetOrNeedAnotherKindFail)
{
    auto* source = new TDataSource(nullptr);
    source->SetDataSet(table);
    auto* other = new TMemDataSet(nullptr);
    auto* otherSource = new TDataSource(nullptr);
    otherSource->SetDataSet(other);
    struct TCase {
        std::string name;
        std::function<void()> write;
        std::string error;
    };
    const std::vector<TCase> cases = {
        {"DataSource on the lookup table", [&] { list->SetDataSource(source); },
         "Unable to use duplicate DataSource and LookupSource"},
        {"LookupTable the data source's", [&] {
             list->SetDataSource(otherSource);
             list->SetLookupTable(other);
         }, "Unable to use duplicate DataSource and LookupSource"},
        {"LookupTable not a dataset", [&] { list->SetLookupTable(source); },
         "LookupSource must be connected to TTable component"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.write();
            ADD_FAILURE() << "no error";
        } catch (const EInvalidOperation& e) {
            EXPECT_EQ(std::string(e.what()), c.error);
        }
        EXPECT_EQ(list->LookupTable(), table);
    }
    list->SetDataSource(nullptr);
    delete list->LookupSource();
    list->SetLookupTable(other);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Lookup Source is not created");
    EXPECT_EQ(dialogs.Shown[0].Type, mtInformation);
    otherSource->Free();
    other->Free();
    source->Free();
}

}  // namespace
