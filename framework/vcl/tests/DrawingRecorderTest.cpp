// The drawing recorder: what a canvas draws comes back as records (kind, rectangles, flags, clip box, copy mode and
// the tools at the call), from a grid cell painted on screen and from a bitmap's canvas.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vcl/Buttons.h"
#include "vcl/Forms.h"
#include "vcl/Grids.h"
#include "vcl/ImgList.h"
#include "vcl/TestHelpers.h"

namespace {

bool SameRect(const TRect& a, const TRect& b) { return EqualRect(&a, &b) != 0; }

#define EXPECT_RECT(actual, expected) EXPECT_PRED2(SameRect, actual, expected)

using Kinds = std::vector<std::string>;

class DrawingRecorder : public ::testing::Test {
protected:
    void TearDown() override
    {
        delete form;
        PumpMessages(20);
    }

    TForm* MakeForm()
    {
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(60, 60, 420, 260);
        return form;
    }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TCanvasRecorder recorder;
};

// A cell drawn as a data grid draws one: a check box, then its text clipped to the cell, and the grid's focus
// rectangle around the current cell.
TEST_F(DrawingRecorder, AGridCellReadsBackAsRecords)
{
    MakeForm();
    auto* grid = new TDrawGrid(form);
    grid->SetParent(form);
    grid->SetBounds(10, 10, 380, 180);
    grid->SetDefaultColWidth(150);
    grid->OnDrawCell = [&](TObject*, Integer col, Integer row, TRect rect, TGridDrawState) {
        if (col != 1 || row != 1) return;
        TCanvas* canvas = grid->Canvas();
        TRect box = Rect(rect.left + 2, rect.top + 4, rect.left + 15, rect.top + 17);
        canvas->DrawFrameControl(box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
        canvas->Font()->SetColor(clNavy);
        canvas->Font()->SetStyle({fsBold});
        canvas->Brush()->SetColor(clInfoBk);
        IntersectClipRect(canvas->Handle(), rect.left, rect.top, rect.right, rect.bottom);
        TRect text = Rect(rect.left + 18, rect.top + 2, rect.right, rect.bottom - 1);
        canvas->DrawText("Overdue fee for March", text, DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectClipRgn(canvas->Handle(), nullptr);
    };
    form->Show();
    ActivateForm(form);
    grid->SetFocus();
    PumpMessages();

    grid->Canvas()->SetListener(&recorder);
    grid->Invalidate();
    grid->Update();
    grid->Canvas()->SetListener(nullptr);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), std::string(temp) + "drawing-recorder-grid.png"));

    const TRect cell = grid->CellRect(1, 1);
    const std::vector<TCanvasDrawing> drawn = recorder.Within(cell);
    ASSERT_EQ(DrawingKinds(drawn), (Kinds{"FillRect", "DrawFrameControl", "DrawText", "DrawFocusRect"}));
    EXPECT_RECT(drawn[0].Rect, cell);
    EXPECT_EQ(drawn[0].BrushColor, clWindow);

    const TCanvasDrawing& check = drawn[1];
    EXPECT_RECT(check.Rect, Rect(cell.left + 2, cell.top + 4, cell.left + 15, cell.top + 17));
    EXPECT_EQ(check.Type, UINT(DFC_BUTTON));
    EXPECT_EQ(check.Flags, UINT(DFCS_BUTTONCHECK | DFCS_CHECKED));

    const TCanvasDrawing& text = drawn[2];
    EXPECT_EQ(text.Text, "Overdue fee for March");
    EXPECT_RECT(text.Rect, Rect(cell.left + 18, cell.top + 2, cell.right, cell.bottom - 1));
    EXPECT_RECT(text.ClipRect, cell);
    EXPECT_EQ(text.Flags, UINT(0x840 | DT_END_ELLIPSIS));
    EXPECT_EQ(text.FontColor, clNavy);
    EXPECT_EQ(text.FontStyle, TFontStyles{fsBold});
    EXPECT_EQ(text.FontName, grid->Font()->Name());
    EXPECT_EQ(text.BrushColor, clInfoBk);
    EXPECT_EQ(text.Canvas, grid->Canvas());

    EXPECT_RECT(drawn[3].Rect, cell);
    EXPECT_FALSE(SameRect(drawn[3].ClipRect, cell));  // the cell's clipping ended with its drawing

    // The cell below drew only its background.
    EXPECT_EQ(DrawingKinds(recorder.Within(grid->CellRect(1, 2))), Kinds{"FillRect"});
}

TEST_F(DrawingRecorder, EveryCanvasCallIsRecordedWithItsToolsAndCopyMode)
{
    TBitmap bitmap;
    bitmap.SetSize(120, 80);
    TCanvas* canvas = bitmap.Canvas();
    canvas->SetListener(&recorder);

    canvas->Pen()->SetColor(clRed);
    canvas->Pen()->SetStyle(psDot);
    canvas->MoveTo(1, 2);
    canvas->LineTo(30, 2);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(4, 6, "one");
    canvas->Brush()->SetColor(clYellow);
    canvas->TextRect(Rect(0, 20, 40, 34), 2, 21, "two");
    const TRect opaque = Rect(40, 20, 80, 34);
    canvas->ExtTextOut(41, 21, ETO_OPAQUE | ETO_CLIPPED, &opaque, "three");
    TRect measured = Rect(0, 0, 200, 0);
    canvas->DrawText("not drawn", measured, DT_CALCRECT | DT_SINGLELINE);  // measuring draws nothing
    TRect edge = Rect(80, 0, 120, 30);
    canvas->DrawEdge(edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    TBitmap glyph;
    glyph.SetSize(8, 8);
    canvas->SetCopyMode(SRCAND);
    canvas->Draw(90, 40, &glyph);
    canvas->SetCopyMode(MERGECOPY);
    canvas->CopyRect(Rect(0, 40, 20, 60), glyph.Canvas(), Rect(0, 0, 8, 8));
    TImageList images(nullptr);
    images.SetWidth(8);
    images.SetHeight(8);
    TBitmap strip;
    strip.SetSize(16, 8);
    images.Add(&strip, nullptr);
    images.Draw(canvas, 30, 50, 1, false);

    const auto& drawn = recorder.Drawings;
    ASSERT_EQ(DrawingKinds(drawn), (Kinds{"Line", "TextOut", "TextRect", "ExtTextOut", "DrawEdge", "Draw", "CopyRect",
                                         "ImageList"}));
    EXPECT_RECT(drawn[0].Rect, Rect(1, 2, 30, 2));
    EXPECT_EQ(drawn[0].PenColor, clRed);
    EXPECT_EQ(drawn[0].PenStyle, psDot);
    EXPECT_EQ(drawn[1].Pos.x, 4);
    EXPECT_EQ(drawn[1].Pos.y, 6);
    EXPECT_EQ(drawn[1].Rect.right - drawn[1].Rect.left, canvas->TextWidth("one"));
    EXPECT_EQ(drawn[1].BrushStyle, bsClear);
    EXPECT_RECT(drawn[2].Rect, Rect(0, 20, 40, 34));
    EXPECT_EQ(drawn[2].Flags, UINT(ETO_CLIPPED | ETO_OPAQUE));
    EXPECT_EQ(drawn[2].BrushColor, clYellow);
    EXPECT_EQ(drawn[3].Text, "three");
    EXPECT_EQ(drawn[3].Flags, UINT(ETO_OPAQUE | ETO_CLIPPED));
    EXPECT_RECT(drawn[3].Rect, opaque);
    EXPECT_RECT(drawn[4].Rect, Rect(80, 0, 120, 30));  // as asked; the caller's rectangle is the inner one
    EXPECT_RECT(edge, Rect(82, 2, 118, 28));
    EXPECT_EQ(drawn[4].Type, UINT(EDGE_SUNKEN));
    EXPECT_EQ(drawn[4].Flags, UINT(BF_RECT | BF_ADJUST));
    EXPECT_RECT(drawn[5].Rect, Rect(90, 40, 98, 48));
    EXPECT_EQ(drawn[5].CopyMode, TCopyMode(SRCAND));
    EXPECT_EQ(drawn[6].CopyMode, TCopyMode(MERGECOPY));
    EXPECT_RECT(drawn[6].SourceRect, Rect(0, 0, 8, 8));
    EXPECT_EQ(drawn[7].Index, 1);
    EXPECT_FALSE(drawn[7].Enabled);
    EXPECT_RECT(drawn[7].Rect, Rect(30, 50, 38, 58));
    EXPECT_RECT(drawn[7].ClipRect, Rect(0, 0, 120, 80));
    canvas->SetListener(nullptr);
}

// The framework's own controls draw through their canvas too: a speed button's frame follows its state.
TEST_F(DrawingRecorder, ASpeedButtonFrameFollowsItsStateAndFlatness)
{
    MakeForm();
    auto* button = new TSpeedButton(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 60, 25);
    button->SetCaption("Go");
    form->Show();
    PumpMessages();
    button->Canvas()->SetListener(&recorder);
    auto paint = [&] {
        recorder.Drawings.clear();
        button->Invalidate();
        form->Update();
        return recorder.Drawings;
    };

    std::vector<TCanvasDrawing> drawn = paint();
    ASSERT_EQ(DrawingKinds(drawn), (Kinds{"FillRect", "DrawFrameControl", "DrawText"}));
    EXPECT_EQ(drawn[1].Flags, UINT(DFCS_BUTTONPUSH));
    EXPECT_EQ(drawn[2].Text, "Go");

    button->SetGroupIndex(1);
    button->SetDown(true);
    drawn = paint();
    ASSERT_EQ(DrawingKinds(drawn), (Kinds{"FillRect", "DrawFrameControl", "DrawText"}));
    EXPECT_EQ(drawn[1].Flags, UINT(DFCS_BUTTONPUSH | DFCS_PUSHED));

    button->SetFlat(true);
    drawn = paint();
    ASSERT_EQ(DrawingKinds(drawn), (Kinds{"FillRect", "DrawEdge", "DrawText"}));
    EXPECT_EQ(drawn[1].Type, UINT(BDR_SUNKENOUTER));
    EXPECT_EQ(drawn[1].Flags, UINT(BF_RECT));
    button->Canvas()->SetListener(nullptr);
}

}  // namespace
