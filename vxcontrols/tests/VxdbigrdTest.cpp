// The grid core on real windows: the data link's field map and pending cell edits, the layout from the fields and
// from Selected lines and what triggers it, the rows, the scroll bar and the notifications following the dataset.
#include <functional>

#include "GridFixture.h"
#include "db/NumericFields.h"
#include "rtl/Exceptions.h"
#include "vcl/StdCtrls.h"

namespace {

// ---- the data link

TEST_F(GridFixture, FieldMapGrowsByDoublingAndAnswersNothingOutsideIt)
{
    Attach();
    TvxGridDataLink* link = grid->DataLink();
    link->ClearMapping();
    EXPECT_EQ(link->FieldMapSize(), 0);
    const std::vector<std::string> names{"Id", "Name", "Amount"};
    std::vector<Integer> sizes;
    for (int i = 0; i < 17; ++i) {
        EXPECT_TRUE(link->AddMapping(names[i % 3]));
        sizes.push_back(link->FieldMapSize());
    }
    EXPECT_EQ(sizes[7], 8);
    EXPECT_EQ(sizes[8], 16);
    EXPECT_EQ(sizes[16], 32);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(link->GetMappedField(i)->FieldName(), names[i % 3]);
    EXPECT_EQ(link->GetMappedField(17), nullptr);
    EXPECT_EQ(link->GetMappedField(-1), nullptr);
    EXPECT_FALSE(link->AddMapping("Nobody"));
    EXPECT_EQ(link->FieldCount(), 17);
}

TEST_F(GridFixture, MappingNumber16381IsRefusedAndTheLayoutRecovers)
{
    Attach();
    TvxGridDataLink* link = grid->DataLink();
    link->ClearMapping();
    for (int i = 0; i < TvxGridDataLink::MaxMapSize; ++i) link->AddMapping("Id");
    EXPECT_EQ(link->FieldMapSize(), 16380);
    try {
        link->AddMapping("Id");
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidGridOperation& e) {
        EXPECT_EQ(e.Message(), "Grid requested to display more than 256 columns");
    }
    EXPECT_EQ(link->FieldCount(), 16380);

    // Out of a layout: the exception reaches the caller, and the next layout runs again.
    grid->SetUseTFields(false);
    for (int i = 0; i <= TvxGridDataLink::MaxMapSize; ++i) grid->Selected()->Add("Id\t4\tNo.");
    EXPECT_THROW(grid->LayoutChanged(), EInvalidGridOperation);
    grid->Selected()->Clear();
    grid->Selected()->Add("Name\t10\tWho");
    grid->LayoutChanged();
    EXPECT_EQ(grid->ColCount(), 2);
    EXPECT_EQ(grid->GetFields(0)->FieldName(), "Name");
}

TEST_F(GridFixture, TextTheFieldRefusesStaysPendingUntilCorrected)
{
    Attach();
    ASSERT_EQ(grid->GetSelectedField()->FieldName(), "Id");
    table->Edit();
    grid->TypeIntoCell("one");
    EXPECT_THROW(grid->UpdateData(), Exception);
    EXPECT_TRUE(grid->DataLink()->IsModified());
    EXPECT_FALSE(grid->DataLink()->InUpdateData());

    bool pendingWhileWritten = false;
    grid->OnFieldChanged = [&](TObject*, TField*) { pendingWhileWritten = grid->DataLink()->IsModified(); };
    grid->TypeIntoCell("42");
    grid->UpdateData();
    EXPECT_TRUE(pendingWhileWritten);  // the field's own change notice does not reset the editor
    EXPECT_FALSE(grid->DataLink()->IsModified());
    EXPECT_EQ(table->FieldByName("Id")->AsInteger(), 42);
}

TEST_F(GridFixture, EscapeDropsTheTypedTextFirstThenAsksBeforeTheRecord)
{
    Attach();
    TvxGridDataLink* link = grid->DataLink();
    table->Edit();
    table->FieldByName("Name")->SetAsString("Changed");
    grid->TypeIntoCell("typed");
    link->Reset();
    EXPECT_FALSE(link->IsModified());
    EXPECT_EQ(table->State(), dsEdit);
    EXPECT_TRUE(dialogs.Shown.empty());

    dialogs.AnswerNextBox(mrNo);
    link->Reset();
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Discard changes to this record?");
    EXPECT_EQ(dialogs.Shown[0].Type, mtConfirmation);
    EXPECT_EQ(table->State(), dsEdit);
    dialogs.AnswerNextBox(mrYes);
    link->Reset();
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(Current(), "Person 1");

    table->Append();
    link->Reset();  // an untouched new record goes without a question
    EXPECT_EQ(dialogs.Shown.size(), 2u);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->RecordCount(), 20);
}

// ---- layout

Integer TextWidth(TTestGrid* grid, TFont* font, const std::string& text)
{
    grid->Canvas()->Font()->Assign(font);
    return grid->Canvas()->TextWidth(text);
}

TEST_F(GridFixture, ColumnsComeFromTheVisibleFields)
{
    table->FieldByName("Id")->SetDisplayWidth(3);
    table->FieldByName("Amount")->SetDisplayLabel("Amount owed~in dollars");
    grid->Selected()->Add("Name\t12\tWho\tT");
    Attach();
    const Integer zero = TextWidth(grid, grid->Font(), "0");
    auto title = [&](const std::string& text) { return TextWidth(grid, grid->TitleFont(), text) + 4; };
    ASSERT_EQ(grid->ColCount(), 4);
    EXPECT_EQ(grid->ColWidths(0), 11);
    EXPECT_EQ(grid->ColWidths(1), std::max(3 * zero + 4, title("Id")));
    EXPECT_EQ(grid->ColWidths(2), std::max(12 * zero + 4, title("Name")));
    const Integer amountData = table->FieldByName("Amount")->DisplayWidth() * zero + 4;
    EXPECT_EQ(grid->ColWidths(3), std::max(amountData, title("Amount owed")));  // the wider line of the title
    EXPECT_TRUE(grid->TabStops(1));
    EXPECT_FALSE(grid->TabStops(2));  // read-only by its Selected line
    ASSERT_EQ(grid->ColumnCount(), 3);
    EXPECT_EQ(grid->Columns(2)->FieldName(), "Amount");
    EXPECT_TRUE(grid->Columns(1)->IsReadOnly());

    table->FieldByName("Name")->SetVisible(false);
    EXPECT_EQ(grid->ColCount(), 3);
    EXPECT_EQ(grid->GetFields(1)->FieldName(), "Amount");
    table->FieldByName("Id")->SetVisible(false);
    table->FieldByName("Amount")->SetVisible(false);
    EXPECT_EQ(grid->GetFieldCount(), 0);
    EXPECT_EQ(grid->ColCount(), 2);  // still one data column
    EXPECT_EQ(grid->GetSelectedField(), nullptr);
    EXPECT_EQ(grid->ColumnByIndex(0), grid->DefaultColumn());
}

TEST_F(GridFixture, CalculatedFieldsAreTabStopsOnlyWithEditCalculated)
{
    UseTable([](TGridTable* calculating) {
        calculating->FieldDefs()->Add("Qty", ftInteger);
        auto* qty = CreateObject<TIntegerField>(calculating);
        qty->SetFieldName("Qty");
        qty->SetDataSet(calculating);
        auto* twice = CreateObject<TIntegerField>(calculating);
        twice->SetFieldName("Twice");
        twice->SetFieldKind(fkCalculated);
        twice->SetDataSet(calculating);
    });
    Attach();
    EXPECT_TRUE(grid->TabStops(1));
    EXPECT_FALSE(grid->TabStops(2));
    grid->SetEditCalculated(true);
    grid->LayoutChanged();
    EXPECT_TRUE(grid->TabStops(2));
}

TEST_F(GridFixture, ControlTypeLinesComeFromTheDatasetOrFromTheGrid)
{
    std::string unchecked = "?", checked = "?", kind, parameters;
    EXPECT_EQ(grid->GetControlTypeList()->Count(), 0);  // no data source to ask
    table->ControlType()->Add("Name;CheckBox;Yes");
    table->ControlType()->Add("name;CheckBox;y;n");
    table->ControlType()->Add("Name;CheckBox;Y;N");
    table->ControlType()->Add("Id;Bitmap;fit;copy");
    table->ControlType()->Add("Id;ImageIndex;2");
    Attach();
    EXPECT_EQ(grid->GetControlTypeList(), table->ControlType());
    EXPECT_TRUE(grid->GetCheckBoxValues(2, 1, unchecked, checked));
    EXPECT_EQ(checked, "Y");
    EXPECT_EQ(unchecked, "N");
    EXPECT_FALSE(grid->GetCheckBoxValues(2, 0, unchecked, checked));  // the title row
    EXPECT_FALSE(grid->GetCheckBoxValues(1, 1, unchecked, checked));
    EXPECT_FALSE(grid->IsMultiSelectCheckBoxColumn(2));  // not the "selected" field
    grid->GetControlInfo("Id", kind, parameters);
    EXPECT_EQ(kind, "ImageIndex");  // the last line of the field
    EXPECT_EQ(parameters, "2");
    grid->GetControlInfo("Amount", kind, parameters);
    EXPECT_EQ(kind + parameters, "");

    grid->SetControlInfoInDataset(false);
    grid->ControlType()->Add("Amount;CheckBox;1;0");
    EXPECT_EQ(grid->GetControlTypeList(), grid->ControlType());
    EXPECT_FALSE(grid->GetCheckBoxValues(2, 1, unchecked, checked));
    EXPECT_TRUE(grid->GetCheckBoxValues(3, 1, unchecked, checked));
    EXPECT_EQ(checked + unchecked, "10");
    grid->GetControlInfo("Amount", kind, parameters);
    EXPECT_EQ(kind, "CheckBox");
    EXPECT_EQ(parameters, "1;0");

    EXPECT_TRUE(grid->IsDataCell(3, 1));
    EXPECT_FALSE(grid->IsDataCell(0, 1));
    EXPECT_FALSE(grid->IsDataCell(4, 1));
    EXPECT_EQ(grid->GetColField(2)->FieldName(), "Amount");
    EXPECT_EQ(grid->GetColField(3), nullptr);
    EXPECT_FALSE(grid->IsMemoCell(9, 1));
    grid->SetDataSource(nullptr);
    EXPECT_EQ(grid->GetColField(0), nullptr);
}

TEST_F(GridFixture, MemoCellsAndTheMultiSelectColumn)
{
    UseTable([](TGridTable* notes) {
        notes->FieldDefs()->Add("Selected", ftString, 1);
        notes->FieldDefs()->Add("Notes", ftMemo);
    });
    table->AppendRecord({Variant("T"), Variant("A long note")});
    table->ControlType()->Add("Selected;CheckBox;T;F");
    Attach();
    EXPECT_TRUE(grid->IsMultiSelectCheckBoxColumn(1));
    EXPECT_FALSE(grid->IsMultiSelectCheckBoxColumn(2));
    EXPECT_TRUE(grid->IsMemoCell(2, 1));
    EXPECT_FALSE(grid->IsMemoCell(2, 0));
    EXPECT_FALSE(grid->IsMemoCell(1, 1));
}

TEST_F(GridFixture, SelectedLinesGiveOrderWidthsAndTitles)
{
    grid->SetUseTFields(false);
    grid->Selected()->Add("Amount\t5\tSum");
    grid->Selected()->Add("Nobody\t4\tGhost");
    grid->Selected()->Add("Name\t20\tWho~Person's name\tT");
    grid->Selected()->Add("Id\t2");
    table->Close();
    Attach();
    EXPECT_EQ(grid->ColCount(), 5);  // a closed dataset keeps every line as a column
    EXPECT_EQ(grid->Selected()->Count(), 4);

    table->Open();
    ASSERT_EQ(grid->ColCount(), 4);
    EXPECT_EQ(grid->Selected()->Count(), 3);  // the unknown field's line is gone
    EXPECT_EQ(grid->GetFields(0)->FieldName(), "Amount");
    EXPECT_EQ(grid->GetFields(1)->FieldName(), "Name");
    EXPECT_EQ(grid->GetFields(2)->FieldName(), "Id");
    const Integer zero = TextWidth(grid, grid->Font(), "0");
    auto title = [&](const std::string& text) { return TextWidth(grid, grid->TitleFont(), text) + 4; };
    EXPECT_EQ(grid->ColWidths(1), std::max(5 * zero + 4, title("Sum")));
    EXPECT_EQ(grid->ColWidths(2), std::max(20 * zero + 4, title("Person's name")));
    EXPECT_EQ(grid->ColWidths(3), std::max(2 * zero + 4, title("Id")));  // sized for the field's label
    EXPECT_TRUE(grid->TabStops(1));
    EXPECT_FALSE(grid->TabStops(2));

    grid->Selected()->Delete(0);
    grid->Selected()->Insert(0, "Amount\tfive\tSum");
    EXPECT_THROW(grid->LayoutChanged(), EConvertError);
    grid->Selected()->Delete(0);
    grid->LayoutChanged();
    EXPECT_EQ(grid->ColCount(), 3);
}

TEST_F(GridFixture, LayoutFollowsItsTriggers)
{
    Attach();
    struct TCase {
        const char* what;
        std::function<void()> change;
        bool relayout;
    };
    const std::vector<TCase> cases{
        {"an option outside the layout mask", [&] { grid->SetOptions(grid->Options() - TvxDBGridOptions{dgConfirmDelete}); }, false},
        {"row lines", [&] { grid->SetOptions(grid->Options() - TvxDBGridOptions{dgRowLines}); }, true},
        {"title lines 0", [&] { grid->SetTitleLines(0); }, false},
        {"title lines 2", [&] { grid->SetTitleLines(2); }, true},
        {"the same title lines", [&] { grid->SetTitleLines(2); }, false},
        {"row height 0 percent", [&] { grid->SetRowHeightPercent(0); }, false},
        {"row height 150 percent", [&] { grid->SetRowHeightPercent(150); }, true},
        {"the same title alignment", [&] { grid->SetTitleAlignment(taLeftJustify); }, false},
        {"title alignment", [&] { grid->SetTitleAlignment(taCenter); }, true},
        {"indicator colour", [&] { grid->SetIndicatorColor(icYellow); }, true},
        {"negative footer height", [&] { grid->SetFooterHeight(-5); }, false},
        {"footer colour", [&] { grid->SetFooterColor(clRed); }, true},
        {"font", [&] { grid->Font()->SetSize(11); }, true},
        {"title font", [&] { grid->TitleFont()->SetStyle(TFontStyles{fsBold}); }, true},
        {"the data link's layout notice", [&] { table->FieldByName("Id")->SetDisplayWidth(7); }, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        grid->Layouts = 0;
        c.change();
        EXPECT_EQ(grid->Layouts > 0, c.relayout);
    }
    EXPECT_EQ(grid->RowHeightPercent(), 150);
    EXPECT_EQ(grid->FooterHeight(), 0);
}

TEST_F(GridFixture, RowHeightsComeFromTheFonts)
{
    Attach();
    grid->Canvas()->Font()->Assign(grid->Font());
    const Integer text = grid->Canvas()->TextHeight("W");
    EXPECT_EQ(grid->DefaultRowHeight(), text + 3);
    EXPECT_EQ(grid->RowHeights(0), text + 4);
    grid->SetRowHeightPercent(200);
    EXPECT_EQ(grid->DefaultRowHeight(), (text + 3) * 2);
    grid->SetTitleLines(2);
    EXPECT_EQ(grid->RowHeights(0), text * 2 + 4);
    grid->SetOptions(grid->Options() - TvxDBGridOptions{dgRowLines});
    EXPECT_EQ(grid->DefaultRowHeight(), (text + 2) * 2);
    EXPECT_EQ(grid->RowHeights(0), text * 2 + 5);
}

TEST_F(GridFixture, TitleFontFollowsTheParentFontUntilSetItself)
{
    form->Font()->SetSize(12);
    EXPECT_EQ(grid->Font()->Size(), 12);
    EXPECT_EQ(grid->TitleFont()->Size(), 12);
    EXPECT_TRUE(grid->ParentFont());

    grid->TitleFont()->SetStyle(TFontStyles{fsBold});
    EXPECT_FALSE(grid->ParentFont());
    form->Font()->SetSize(9);
    EXPECT_EQ(grid->Font()->Size(), 12);
    EXPECT_EQ(grid->TitleFont()->Size(), 12);
    EXPECT_TRUE(grid->TitleFont()->Style().Contains(fsBold));
}

TEST_F(GridFixture, TheCellEditorWrapsWordsWhileTheGridSaysSo)
{
    Attach();
    grid->SetFocus();
    TypeKey(VK_F2);
    auto* editor = dynamic_cast<TvxInplaceEdit*>(grid->InplaceEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->WordWrap());
    auto style = [&] { return GetWindowLongA(editor->Handle(), GWL_STYLE); };
    EXPECT_EQ(style() & (ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL), ES_MULTILINE | ES_AUTOVSCROLL);

    grid->SetOptions(grid->Options() - TvxDBGridOptions{dgWordWrap});
    EXPECT_FALSE(editor->WordWrap());
    EXPECT_EQ(style() & (ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL), ES_MULTILINE | ES_AUTOHSCROLL);
}

// ---- rows, scroll bar and notifications

TEST_F(GridFixture, RowsAreTheBufferedRecordsAndTheScrollBarShowsThePosition)
{
    Attach();
    const Integer visible = grid->VisibleRowCount();
    ASSERT_LT(visible, 20);
    EXPECT_EQ(grid->DataLink()->BufferCount(), visible);
    EXPECT_EQ(grid->RowCount(), visible + 1);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(ScrollMax(), 200);
    EXPECT_EQ(ScrollPos(), 0);

    table->MoveBy(3);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_EQ(ScrollPos(), 3 * 200 / 19);
    table->Last();
    EXPECT_EQ(grid->Row(), visible);
    EXPECT_EQ(grid->CellText(1, visible - 1), "Person 20");
    EXPECT_EQ(grid->CellText(1, 0), "Person " + std::to_string(21 - visible));
    EXPECT_EQ(ScrollPos(), 200);

    table->Sequenced = false;
    table->Prior();
    EXPECT_EQ(ScrollMax(), 4);
    EXPECT_EQ(ScrollPos(), 2);
    table->First();
    EXPECT_EQ(ScrollPos(), 0);
    table->Last();
    EXPECT_EQ(ScrollPos(), 4);

    grid->SetShowVertScrollBar(false);
    table->First();
    EXPECT_EQ(ScrollPos(), 4);  // no longer kept up to date

    grid->SetHeight(grid->Height() - 3 * (grid->DefaultRowHeight() + 1));  // three rows and their lines
    EXPECT_EQ(grid->VisibleRowCount(), visible - 3);
    EXPECT_EQ(grid->DataLink()->BufferCount(), visible - 3);
    EXPECT_EQ(grid->RowCount(), visible - 2);
}

TEST_F(GridFixture, AOneRecordDatasetIsAtTheTopOrTheBottom)
{
    table->SetFilter("Id = 5");
    table->SetFiltered(true);
    Attach();
    EXPECT_EQ(grid->RowCount(), 2);
    table->Last();
    EXPECT_EQ(ScrollPos(), 200);
    table->Locate("Id", Variant(5), {});  // neither at the beginning nor at the end
    EXPECT_FALSE(table->Bof() || table->Eof());
    EXPECT_EQ(ScrollPos(), 0);
}

TEST_F(GridFixture, RowAndCellNotificationsComeOncePerRecordInOrder)
{
    grid->SetHeight(120);
    table->Close();
    grid->SetDataSource(source);
    grid->TakeLog();
    table->Open();
    EXPECT_EQ(grid->TakeLog(), (Log{"ColEnter", "Cell", "Footer", "Row Person 1", "Cell"}));

    table->Next();
    EXPECT_EQ(grid->TakeLog(), (Log{"Row Person 2", "Cell"}));
    table->Refresh();
    EXPECT_TRUE(grid->TakeLog().empty());

    const Integer visible = grid->VisibleRowCount();
    table->MoveBy(visible - 2);  // to the last visible row: no scrolling
    EXPECT_EQ(grid->TakeLog(), (Log{"Row Person " + std::to_string(visible), "Cell"}));
    table->Next();
    EXPECT_EQ(grid->TakeLog(), (Log{"TopRow", "Row Person " + std::to_string(visible + 1), "Cell"}));

    ASSERT_LT(visible, 9);
    table->MoveBy(19 - visible);  // farther than the grid shows: repainted, nothing fired yet
    EXPECT_TRUE(grid->TakeLog().empty());
    table->Refresh();
    EXPECT_EQ(grid->TakeLog(), (Log{"Row Person 20", "Cell"}));
}

TEST_F(GridFixture, FooterIsRecomputedAfterEditsMovesOfTheMasterAndLostRecords)
{
    auto* master = new TGridTable(nullptr);
    master->FieldDefs()->Add("Code", ftInteger);
    master->Open();
    master->AppendRecord({Variant(1)});
    master->AppendRecord({Variant(2)});
    master->First();
    auto* masterSource = new TDataSource(nullptr);
    masterSource->SetDataSet(master);
    table->SetMasterSource(masterSource);
    Attach();

    table->Refresh();
    EXPECT_EQ(grid->TakeLog(), (Log{"Footer", "Row Person 1", "Cell"}));  // due since the activation
    table->Refresh();
    EXPECT_EQ(grid->TakeLog(), (Log{"Footer"}));  // the first look at the master
    table->Refresh();
    EXPECT_TRUE(grid->TakeLog().empty());
    master->Next();
    table->Refresh();
    EXPECT_EQ(grid->TakeLog(), (Log{"Footer"}));  // the detail's own row did not change

    table->Edit();
    table->FieldByName("Amount")->SetAsFloat(1);
    table->Post();
    EXPECT_EQ(grid->TakeLog(), (Log{"Field Amount", "Footer"}));

    table->Delete();  // the remembered record is gone
    const Log afterDelete = grid->TakeLog();
    EXPECT_EQ(afterDelete.front(), "Footer");

    table->SetMasterSource(nullptr);
    masterSource->Free();
    master->Free();
}

TEST_F(GridFixture, TheFooterNarrowsTheRowsAndKeepsItsTexts)
{
    Attach();
    const Integer fullBottom = grid->ClientRect().bottom;
    const Integer rows = grid->VisibleRowCount();
    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgShowFooter});
    const Integer strip = grid->DefaultRowHeight() + 4;
    EXPECT_EQ(grid->ClientRect().bottom, fullBottom - strip);
    TRect footer;
    grid->GetFooterRect(footer);
    EXPECT_EQ(footer.left, 0);
    EXPECT_EQ(footer.top, fullBottom - strip);
    EXPECT_EQ(footer.bottom, fullBottom - 1);
    EXPECT_LT(grid->VisibleRowCount(), rows);
    EXPECT_EQ(grid->DataLink()->BufferCount(), grid->VisibleRowCount());
    EXPECT_LE(grid->CellRect(1, grid->RowCount() - 1).bottom, footer.top);

    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgFooter3DCells});
    EXPECT_EQ(grid->ClientRect().bottom, fullBottom - strip - 2);
    grid->SetFooterHeight(30);
    EXPECT_EQ(grid->ClientRect().bottom, fullBottom - 32);

    grid->ColumnByName("NAME")->SetFooterValue("Total");
    grid->DefaultColumn()->SetFooterValue("lost");
    EXPECT_EQ(grid->DefaultColumn()->FooterValue(), "");
    EXPECT_EQ(grid->ColumnByName("Nobody"), grid->DefaultColumn());
    EXPECT_FALSE(grid->DefaultColumn()->IsReadOnly());
    TvxColumn* before = grid->ColumnByName("Name");
    grid->SetTitleLines(2);
    EXPECT_NE(grid->ColumnByName("Name"), before);
    EXPECT_EQ(grid->ColumnByName("Name")->FooterValue(), "Total");
    EXPECT_EQ(grid->ColumnByIndex(1)->FooterValue(), "Total");
    EXPECT_EQ(grid->ColumnByIndex(3), grid->DefaultColumn());
}

// ---- scroll bar input

TEST_F(GridFixture, ScrollBarCommandsMoveTheDataset)
{
    Attach();
    grid->SetFocus();
    const Integer visible = grid->VisibleRowCount();
    struct TCase {
        Word code;
        Integer position;
        std::string expected;
    };
    const std::vector<TCase> sequenced{
        {SB_LINEDOWN, 0, "Person 2"},
        {SB_PAGEDOWN, 0, "Person " + std::to_string(2 + visible)},
        {SB_LINEUP, 0, "Person " + std::to_string(1 + visible)},
        {SB_PAGEUP, 0, "Person 1"},
        {SB_BOTTOM, 0, "Person 20"},
        {SB_TOP, 0, "Person 1"},
        {SB_THUMBPOSITION, 100, "Person 11"},
        {SB_THUMBTRACK, 150, "Person 11"},
        {SB_THUMBPOSITION, 200, "Person 20"},
        {SB_THUMBPOSITION, 0, "Person 1"},
    };
    for (const TCase& c : sequenced) {
        PostScroll(c.code, c.position);
        EXPECT_EQ(Current(), c.expected) << "code " << c.code << " position " << c.position;
    }
    table->Sequenced = false;
    const std::vector<TCase> unsequenced{
        {SB_THUMBPOSITION, 3, "Person " + std::to_string(1 + visible)},
        {SB_THUMBPOSITION, 2, "Person " + std::to_string(1 + visible)},
        {SB_THUMBPOSITION, 1, "Person 1"},
        {SB_THUMBPOSITION, 4, "Person 20"},
        {SB_THUMBPOSITION, 0, "Person 1"},
    };
    for (const TCase& c : unsequenced) {
        PostScroll(c.code, c.position);
        EXPECT_EQ(Current(), c.expected) << "position " << c.position;
    }
    EXPECT_TRUE(grid->Focused());
}

TEST_F(GridFixture, TheThumbMovesNothingInAnEmptyDataset)
{
    table->SetFilter("Id = 99");
    table->SetFiltered(true);
    Attach();
    grid->SetFocus();
    PumpMessages();
    grid->TakeLog();
    for (Integer position : {100, 0, 200}) PostScroll(SB_THUMBPOSITION, position);
    EXPECT_TRUE(grid->TakeLog().empty());
}

TEST_F(GridFixture, LineDownKeepsAnUntouchedAppendedRecordAndLineUpDropsIt)
{
    Attach();
    grid->SetFocus();
    table->Last();
    table->Append();
    PostScroll(SB_LINEDOWN);
    EXPECT_EQ(table->State(), dsInsert);
    PostScroll(SB_LINEUP);
    EXPECT_EQ(table->State(), dsBrowse);
    EXPECT_EQ(table->RecordCount(), 20);
    EXPECT_EQ(Current(), "Person 20");
}

TEST_F(GridFixture, ScrollBarInputTakesTheFocusFirstUnlessTold)
{
    Attach();
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(8, 220, 100, 21);
    edit->SetFocus();
    PumpMessages();

    grid->SetFocusOnMouse(false);
    EXPECT_TRUE(grid->AcquireFocus());
    EXPECT_TRUE(edit->Focused());
    PostScroll(SB_LINEDOWN);
    EXPECT_EQ(Current(), "Person 2");

    grid->SetFocusOnMouse(true);
    edit->OnExit = [](TObject*) { throw EAbort("stay"); };
    EXPECT_FALSE(grid->AcquireFocus());
    PostScroll(SB_LINEDOWN);
    EXPECT_EQ(Current(), "Person 2");  // ignored: the edit kept the focus
    EXPECT_TRUE(edit->Focused());

    edit->OnExit = nullptr;
    PostScroll(SB_LINEDOWN);
    EXPECT_TRUE(grid->Focused());
    EXPECT_EQ(Current(), "Person 3");
}

TEST_F(GridFixture, DraggingBeyondAnEdgeMovesOneRecordPastTheVisibleOnes)
{
    Attach();
    const Integer visible = grid->VisibleRowCount();
    table->MoveBy(2);
    grid->TimedScroll(TGridScrollDirections{sdDown});
    EXPECT_EQ(Current(), "Person " + std::to_string(visible + 1));
    EXPECT_EQ(grid->Row(), visible);
    grid->TimedScroll(TGridScrollDirections{sdUp});
    EXPECT_EQ(Current(), "Person 1");
    EXPECT_EQ(grid->Row(), 1);
}

// An edit's field link joining before or after the grid: the grid's wider window must not move the edit's record.
TEST_F(GridFixture, AFieldLinkAndTheGridShareTheActiveRecordWhicheverJoinsFirst)
{
    for (bool gridFirst : {false, true}) {
        SCOPED_TRACE(gridFirst ? "grid first" : "edit first");
        table->Last();
        TFieldDataLink edit;
        edit.SetFieldName("Name");
        if (gridFirst) grid->SetDataSource(source);
        edit.SetDataSource(source);
        if (!gridFirst) grid->SetDataSource(source);
        EXPECT_EQ(edit.ActiveRecord(), 0);
        EXPECT_EQ(edit.Field()->AsString(), "Person 20");
        EXPECT_EQ(grid->DataLink()->ActiveRecord(), grid->Row() - 1);
        EXPECT_EQ(grid->CellText(1, grid->Row() - 1), "Person 20");
        table->Prior();
        EXPECT_EQ(edit.ActiveRecord(), 0);
        EXPECT_EQ(edit.Field()->AsString(), "Person 19");
        EXPECT_EQ(grid->CellText(1, grid->Row() - 1), "Person 19");
        edit.SetDataSource(nullptr);
        grid->SetDataSource(nullptr);
    }
}

}  // namespace
