// Drawing the grid's cells, recorded: cell texts by alignment and options, titles on several lines, title buttons
// and images, the highlight and the focus frame, multi-selected rows; and an image of a grid with an open editor.
#include <stdexcept>

#include "GridFixture.h"
#include "classes/TypInfo.h"
#include "vcl/ImgList.h"

namespace {

using Kinds = std::vector<std::string>;

class GridDrawing : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        Attach();
    }
    void TearDown() override
    {
        Stop();
        GridFixture::TearDown();
    }

    // Records what drawing the cell puts on the grid and into the shared drawing bitmap.
    std::vector<TCanvasDrawing> Draw(Integer col, Integer row, TGridDrawState state = {})
    {
        Listen();
        recorder.Drawings.clear();
        grid->DrawCell(col, row, grid->CellRect(col, row), state);
        Stop();
        return recorder.Drawings;
    }
    void Listen()
    {
        grid->Canvas()->SetListener(&recorder);
        vxGridBitmaps().DrawBitmap->Canvas()->SetListener(&recorder);
    }
    void Stop()
    {
        grid->Canvas()->SetListener(nullptr);
        vxGridBitmaps().DrawBitmap->Canvas()->SetListener(nullptr);
    }
    static std::vector<TCanvasDrawing> OfKind(const std::vector<TCanvasDrawing>& drawings, const std::string& kind)
    {
        std::vector<TCanvasDrawing> found;
        for (const auto& d : drawings)
            if (d.Kind == kind) found.push_back(d);
        return found;
    }
    TCanvasDrawing OnlyText(Integer col, Integer row, TGridDrawState state = {})
    {
        const auto texts = OfKind(Draw(col, row, state), "DrawText");
        EXPECT_EQ(texts.size(), 1u);
        return texts.empty() ? TCanvasDrawing{} : texts[0];
    }
    Integer TitleTextHeight(const std::string& text)
    {
        grid->Canvas()->Font()->Assign(grid->TitleFont());
        return grid->Canvas()->TextHeight(text);
    }

    TCanvasRecorder recorder;
};

// Grid columns: indicator, Id (right-aligned), Name (left-aligned), Amount (right-aligned).
TEST_F(GridDrawing, DataCellTextByAlignmentAndOptions)
{
    const UINT left = DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX, right = DT_RIGHT | DT_EXPANDTABS | DT_NOPREFIX;
    const struct {
        TvxDBGridOptions options;
        Integer rowHeightPercent;
        UINT nameFormat, amountFormat;
    } cases[] = {
        {{dgTitles, dgIndicator, dgWordWrap}, 100, left, right},
        {{dgTitles, dgIndicator, dgWordWrap}, 300, left | DT_WORDBREAK, right | DT_WORDBREAK},
        {{dgTitles, dgIndicator, dgTrailingEllipsis}, 100, left | DT_END_ELLIPSIS, right | DT_END_ELLIPSIS},
        {{dgTitles, dgIndicator, dgWordWrap, dgTrailingEllipsis}, 100, left | DT_END_ELLIPSIS,
         right | DT_END_ELLIPSIS},
        {{dgTitles, dgIndicator, dgWordWrap, dgTrailingEllipsis}, 300, left | DT_WORDBREAK,
         right | DT_WORDBREAK},
        {{dgTitles, dgIndicator}, 100, left, right},
    };
    for (const auto& c : cases) {
        grid->SetOptions(c.options);
        grid->SetRowHeightPercent(c.rowHeightPercent);
        const TRect cell = grid->CellRect(2, 3);
        const Integer width = cell.right - cell.left, height = cell.bottom - cell.top;
        const std::vector<TCanvasDrawing> drawn = Draw(2, 3);
        // Composed in the drawing bitmap, copied to the cell in one piece.
        ASSERT_EQ(DrawingKinds(drawn), (Kinds{"FillRect", "DrawText", "CopyRect"}));
        EXPECT_EQ(drawn[1].Text, "Person 3");
        EXPECT_EQ(drawn[1].Flags, c.nameFormat) << c.rowHeightPercent;
        EXPECT_RECT(drawn[1].Rect, Rect(3, 2, width, height - 1));
        EXPECT_EQ(drawn[2].Canvas, grid->Canvas());
        EXPECT_RECT(drawn[2].Rect, cell);
        EXPECT_RECT(drawn[2].SourceRect, Rect(0, 0, width, height));

        const TCanvasDrawing amount = OnlyText(3, 3);
        EXPECT_EQ(amount.Text, "7.5");
        EXPECT_EQ(amount.Flags, c.amountFormat);
        const TRect amountCell = grid->CellRect(3, 3);
        EXPECT_RECT(amount.Rect, Rect(3, 2, amountCell.right - amountCell.left - 2, height - 1));
    }
}

TEST_F(GridDrawing, TitlesOnSeveralLines)
{
    table->FieldByName("Name")->SetDisplayLabel("The~Name");
    for (Integer lines : {2, 1}) {
        grid->SetTitleLines(lines);
        const TCanvasDrawing title = OnlyText(2, 0, {gdFixed});
        EXPECT_EQ(title.Text, "The\rName");
        const Integer top = Integer(grid->RowHeights(0) / 2.0 - TitleTextHeight("The~Name") * lines * 0.5);
        EXPECT_EQ(title.Rect.top, top) << lines;
        EXPECT_EQ(title.Rect.left, 3);
        EXPECT_EQ(title.Flags, UINT(DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS));
        EXPECT_EQ(title.FontStyle, grid->TitleFont()->Style());
    }
    // Two lines fit into the title row, drawn by the system.
    grid->SetTitleLines(2);
    TRect measured = Rect(0, 0, 200, 0);
    grid->Canvas()->DrawText("The\rName", measured, DT_CALCRECT);
    EXPECT_EQ(measured.bottom, 2 * TitleTextHeight("The"));
    EXPECT_GE(grid->RowHeights(0), measured.bottom);
}

TEST_F(GridDrawing, AmpersandsOfSelectedTitlesMarkAccelerators)
{
    table->FieldByName("Name")->SetDisplayLabel("R&D");
    EXPECT_EQ(OnlyText(2, 0, {gdFixed}).Flags & DT_NOPREFIX, UINT(DT_NOPREFIX));
    TStringList lines;
    lines.SetText("Id\t4\tNo.\nName\t12\tR&D\n");
    grid->SetSelected(&lines);
    grid->SetUseTFields(false);
    grid->LayoutChanged();
    const TCanvasDrawing title = OnlyText(2, 0, {gdFixed});
    EXPECT_EQ(title.Text, "R&D");
    EXPECT_EQ(title.Flags & DT_NOPREFIX, 0u);
}

TEST_F(GridDrawing, PressedTitleButtonShiftsItsTextAndSinks)
{
    grid->SetOptions(TvxDBGridOptions::FromMask(vxDefaultGridOptions) - TvxDBGridOptions{dgColumnResize});
    grid->SetTitleButtons(true);
    Log clicks;
    grid->OnTitleButtonClick = [&](TObject*, const std::string& name) { clicks.push_back(name); };
    const TRect title = grid->CellRect(2, 0);
    const TCanvasDrawing raised = OnlyText(2, 0, {gdFixed});
    const std::vector<TCanvasDrawing> raisedLines = OfKind(Draw(2, 0, {gdFixed}), "Line");
    ASSERT_EQ(raisedLines.size(), 6u);
    EXPECT_EQ(raisedLines[0].PenColor, TColor(RGB(128, 128, 128)));
    EXPECT_RECT(raisedLines[0].Rect, Rect(title.left, title.top, title.left, title.bottom - 1));
    EXPECT_EQ(raisedLines[3].PenColor, clBtnHighlight);
    EXPECT_EQ(raisedLines[5].PenColor, clBtnShadow);

    MousePress(grid, {(title.left + title.right) / 2, 5});
    EXPECT_EQ(grid->PressedTitleCol(), 2);
    const TCanvasDrawing pressed = OnlyText(2, 0, {gdFixed});
    EXPECT_EQ(pressed.Rect.left, raised.Rect.left + 1);
    EXPECT_EQ(pressed.Rect.top, raised.Rect.top + 1);
    const std::vector<TCanvasDrawing> pressedLines = OfKind(Draw(2, 0, {gdFixed}), "Line");
    ASSERT_EQ(pressedLines.size(), 4u);
    EXPECT_EQ(pressedLines[0].PenColor, clBlack);
    EXPECT_RECT(pressedLines[0].Rect, Rect(title.left, title.top, title.left, title.bottom));
    // Other titles stay raised.
    EXPECT_EQ(OfKind(Draw(3, 0, {gdFixed}), "Line").size(), 6u);
    MouseRelease(grid, {(title.left + title.right) / 2, 5});
    EXPECT_EQ(grid->PressedTitleCol(), -1);
    EXPECT_EQ(clicks, Log{"Name"});

    // A press released on another title clicks nothing.
    MousePress(grid, {(title.left + title.right) / 2, 5});
    const TRect other = grid->CellRect(3, 0);
    MouseMoveTo(grid, {(other.left + other.right) / 2, 5});
    MouseRelease(grid, {(other.left + other.right) / 2, 5});
    EXPECT_EQ(clicks, Log{"Name"});
}

TEST_F(GridDrawing, TitleImagesTakeTheirPlaceFromTheText)
{
    TImageList images(nullptr);
    images.SetWidth(16);
    images.SetHeight(16);
    TBitmap picture;
    picture.SetSize(16, 16);
    images.Add(&picture, nullptr);
    grid->SetTitleImageList(&images);
    grid->SetTitleButtons(false);
    TvxTitleImageAttributes wanted;
    grid->OnCalcTitleImage = [&](TObject*, TField* field, TvxTitleImageAttributes& attributes) {
        if (field->FieldName() == "Name") attributes = wanted;
    };
    const TRect cell = grid->CellRect(2, 0);
    const Integer width = cell.right - cell.left;
    const Integer y = (cell.top + cell.bottom - 16) / 2;
    const struct {
        TAlignment alignment;
        Integer imageX;
        bool text;
        TRect textRect;  // in the drawing bitmap, which is as wide as the narrowed text rectangle
    } cases[] = {
        {taLeftJustify, cell.left + 3, true, Rect(3, 0, width - 19, 0)},
        {taRightJustify, cell.right - 16 - 3, true, Rect(3, 0, width - 19, 0)},
        {taCenter, (cell.left + cell.right - 16) / 2, false, TRect{}},
    };
    for (const auto& c : cases) {
        wanted = {0, c.alignment, 3};
        const std::vector<TCanvasDrawing> drawn = Draw(2, 0, {gdFixed});
        const auto image = OfKind(drawn, "ImageList");
        ASSERT_EQ(image.size(), 1u);
        EXPECT_EQ(image[0].Pos.x, c.imageX);
        EXPECT_EQ(image[0].Pos.y, y);
        const auto texts = OfKind(drawn, "DrawText");
        ASSERT_EQ(texts.size(), c.text ? 1u : 0u) << c.alignment;
        if (!c.text) continue;
        EXPECT_EQ(texts[0].Rect.left, c.textRect.left);
        EXPECT_EQ(texts[0].Rect.right, c.textRect.right);
        const auto copy = OfKind(drawn, "CopyRect");
        ASSERT_EQ(copy.size(), 1u);
        EXPECT_EQ(copy[0].Rect.left, c.alignment == taLeftJustify ? cell.left + 19 : cell.left);
    }
    grid->SetTitleImageList(nullptr);
}

TEST_F(GridDrawing, HighlightAndFocusFrame)
{
    grid->SetFocus();
    PumpMessages();
    ASSERT_EQ(form->ActiveControl(), grid);
    // The current cell, focused: highlighted; the platform grid frames it after the cell is drawn.
    std::vector<TCanvasDrawing> drawn = Draw(2, 1, {gdSelected, gdFocused});
    EXPECT_EQ(OfKind(drawn, "FillRect")[0].BrushColor, clHighlight);
    EXPECT_EQ(OfKind(drawn, "DrawText")[0].FontColor, clHighlightText);
    EXPECT_TRUE(OfKind(drawn, "DrawFocusRect").empty());
    // Selected but not focused (a row of a row-select grid): the grid frames it itself.
    drawn = Draw(2, 1, {gdSelected});
    ASSERT_EQ(OfKind(drawn, "DrawFocusRect").size(), 1u);
    EXPECT_RECT(OfKind(drawn, "DrawFocusRect")[0].Rect, grid->CellRect(2, 1));
    // A real paint shows exactly one frame, around the current cell.
    Listen();
    recorder.Drawings.clear();
    grid->Repaint();
    Stop();
    const auto frames = OfKind(recorder.Drawings, "DrawFocusRect");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_RECT(frames[0].Rect, grid->CellRect(grid->Col(), grid->Row()));

    // Without the focus nothing is highlighted, unless dgAlwaysShowSelection.
    auto* other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(8, 220, 100, 21);
    other->SetFocus();
    PumpMessages();
    drawn = Draw(2, 1, {gdSelected});
    EXPECT_EQ(OfKind(drawn, "FillRect")[0].BrushColor, clWindow);
    EXPECT_TRUE(OfKind(drawn, "DrawFocusRect").empty());
    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgAlwaysShowSelection});
    drawn = Draw(2, 1, {gdSelected});
    EXPECT_EQ(OfKind(drawn, "FillRect")[0].BrushColor, clHighlight);
    EXPECT_TRUE(OfKind(drawn, "DrawFocusRect").empty());
}

TEST_F(GridDrawing, MultiSelectHighlightsTheSelectedRecords)
{
    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgMultiSelect});
    grid->SetFocus();
    PumpMessages();
    grid->SelectedRows = {1, 3};
    for (Integer dataRow = 0; dataRow < 5; ++dataRow) {
        const TGridDrawState state = dataRow == 0 ? TGridDrawState{gdSelected, gdFocused} : TGridDrawState{};
        const bool selected = dataRow == 1 || dataRow == 3;
        const auto fills = OfKind(Draw(2, dataRow + 1, state), "FillRect");
        ASSERT_FALSE(fills.empty());
        EXPECT_EQ(fills[0].BrushColor, selected ? clHighlight : clWindow) << dataRow;
    }
}

TEST_F(GridDrawing, CellColoursFromTheEventAndTheRowRestoredWhenItRaises)
{
    std::vector<std::string> seen;
    grid->OnCalcCellColors = [&](TObject*, TField* field, TGridDrawState, bool, TFont* font, TBrush* brush) {
        seen.push_back(field->DataSet()->FieldByName("Name")->AsString());
        if (field->AsString() == "Person 4") throw std::runtime_error("colours");
        font->SetColor(clRed);
        brush->SetColor(clYellow);
    };
    const Integer active = grid->DataLink()->ActiveRecord();
    const std::vector<TCanvasDrawing> drawn = Draw(2, 3);
    EXPECT_EQ(seen, Log{"Person 3"});
    EXPECT_EQ(OfKind(drawn, "FillRect")[0].BrushColor, clYellow);
    EXPECT_EQ(OfKind(drawn, "DrawText")[0].FontColor, clRed);
    EXPECT_THROW(grid->DrawCell(2, 4, grid->CellRect(2, 4), {}), std::runtime_error);
    EXPECT_EQ(grid->DataLink()->ActiveRecord(), active);
    EXPECT_EQ(Current(), "Person 1");
    grid->OnCalcCellColors = nullptr;
}

TEST_F(GridDrawing, IndicatorGlyphOfTheCurrentRecord)
{
    const std::vector<TCanvasDrawing> drawn = Draw(0, 1, {gdFixed});
    ASSERT_EQ(DrawingKinds(drawn), (Kinds{"ExtTextOut", "Draw"}));
    EXPECT_EQ(drawn[1].CopyMode, TCopyMode(SRCAND));
    const TBitmap* glyph = vxGridBitmaps().Arrow;
    const TRect cell = grid->CellRect(0, 1);
    EXPECT_EQ(drawn[1].Pos.x, (cell.right - glyph->Width()) / 2 + 1);
    EXPECT_EQ(drawn[1].Pos.y, (cell.top + cell.bottom - glyph->Height()) / 2);
    EXPECT_EQ(DrawingKinds(Draw(0, 2, {gdFixed})), Kinds{"ExtTextOut"});
    grid->SetIndicatorColor(icYellow);
    EXPECT_EQ(OfKind(Draw(0, 1, {gdFixed}), "Draw")[0].CopyMode, TCopyMode(SRCCOPY));
}

TEST_F(GridDrawing, ImageWithAnOpenEditor)
{
    grid->SetTitleButtons(true);
    table->FieldByName("Amount")->SetDisplayLabel("Amount~owed");
    grid->SetTitleLines(2);
    grid->SetFocus();
    PumpMessages();
    TypeKey(VK_DOWN);
    TypeKey(VK_RIGHT);
    TypeKey(VK_F2);
    ASSERT_TRUE(grid->EditorMode());
    TypeText(" B");
    PumpMessages();
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdbigrd-editing.png"));
    TypeKey(VK_ESCAPE);
    TypeKey(VK_ESCAPE);
}

}  // namespace

namespace {

TEST_F(GridDrawing, FooterCellsWithTheirTexts)
{
    grid->SetOptions(grid->Options() + TvxDBGridOptions{dgShowFooter});
    grid->ColumnByName("Amount")->SetFooterValue("525");
    grid->ColumnByName("Id")->SetFooterValue("20");
    std::vector<std::string> asked;
    grid->OnDrawFooterCell = [&](TObject*, TCanvas*, TRect, TField* field, const std::string& text, bool& dflt) {
        asked.push_back(field->FieldName() + "=" + text);
        if (field->FieldName() == "Id") dflt = false;
    };
    Listen();
    recorder.Drawings.clear();
    grid->Repaint();
    Stop();
    EXPECT_EQ(asked, (Log{"Id=20", "Name=", "Amount=525"}));
    std::vector<TCanvasDrawing> texts;
    for (const auto& d : OfKind(recorder.Drawings, "DrawText"))
        if (d.Canvas == vxGridBitmaps().DrawBitmap->Canvas() && d.Text == "525") texts.push_back(d);
    ASSERT_EQ(texts.size(), 1u);
    TRect strip;
    grid->GetFooterRect(strip);
    const TRect amount = grid->CellRect(3, grid->RowCount() - 1);
    EXPECT_EQ(texts[0].Flags, UINT(DT_RIGHT | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK));
    EXPECT_EQ(texts[0].Rect.left, amount.left - 1 + 5);
    EXPECT_EQ(texts[0].Rect.right, texts[0].Rect.left + grid->ColWidths(3) - 9);
    EXPECT_EQ(texts[0].FontColor, grid->Font()->Color());
    // The footer goes to the grid in one piece, under the rows.
    bool copied = false;
    for (const auto& d : OfKind(recorder.Drawings, "CopyRect"))
        copied = copied || (d.Canvas == grid->Canvas() && d.Rect.top == strip.top - 1 && d.Rect.bottom == strip.bottom + 1);
    EXPECT_TRUE(copied);
    EXPECT_LE(grid->CellRect(1, grid->RowCount() - 1).bottom, strip.top);
    grid->OnDrawFooterCell = nullptr;
    grid->Repaint();
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), "vxdbigrd-footer.png"));
}

TEST_F(GridDrawing, TheEditorTakesTheGridsImeSettings)
{
    grid->SetImeMode(imClose);
    grid->SetImeName("Latin");
    grid->SetFocus();
    TypeKey(VK_F2);
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_EQ(grid->InplaceEditor()->ImeMode(), imClose);
    EXPECT_EQ(grid->InplaceEditor()->ImeName(), "Latin");
    for (const char* name : {"Ctl3D", "ParentCtl3D", "ImeMode", "ImeName", "Anchors", "Constraints"})
        EXPECT_NE(GetPropInfo(grid, name), nullptr) << name;
    TypeKey(VK_ESCAPE);
}

}  // namespace

namespace {

// The 3-D lines that cells showing a control get after their drawing.
TEST_F(GridDrawing, CellLinesGoWithAWhiteCell)
{
    ASSERT_EQ(ColorToRGB(grid->Color()), TColor(0xFFFFFF));
    TColor cellColour = clYellow;
    grid->OnCalcCellColors = [&](TObject*, TField*, TGridDrawState, bool, TFont*, TBrush* brush) {
        brush->SetColor(cellColour);
    };
    auto lines = [&](Integer col, Integer row, TGridDrawState state) {
        Listen();
        recorder.Drawings.clear();
        const TRect cell = grid->CellRect(col, row);
        grid->DrawCell(col, row, cell, state);
        grid->DrawCellLines(cell, col, state, row);
        grid->DrawCellLines(cell, col, state, row);  // once per cell
        Stop();
        return OfKind(recorder.Drawings, "Line");
    };
    const TRect cell = grid->CellRect(2, 3);
    std::vector<TCanvasDrawing> drawn = lines(2, 3, {});
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_EQ(drawn[0].PenColor, clBtnHighlight);
    EXPECT_RECT(drawn[0].Rect, Rect(cell.left, cell.bottom, cell.left, cell.top));
    EXPECT_EQ(drawn[1].PenColor, clBtnShadow);
    EXPECT_RECT(drawn[3].Rect, Rect(cell.left, cell.bottom, cell.right, cell.bottom));
    cellColour = clWhite;
    EXPECT_TRUE(lines(2, 3, {}).empty());
    // A flat grid draws them only in the titles and the indicator column.
    cellColour = clYellow;
    grid->SetCtl3D(false);
    EXPECT_TRUE(lines(2, 3, {}).empty());
    EXPECT_EQ(lines(0, 3, {gdFixed}).size(), 4u);
    // Title buttons are lines of their own.
    grid->SetTitleButtons(true);
    EXPECT_EQ(lines(2, 0, {gdFixed}).size(), 6u);
    grid->OnCalcCellColors = nullptr;
}

}  // namespace
