// The rich-text ruler: snapping, drop limits, indents from a drop, markers following a paragraph, the scale and the
// printable width as tables; under Wine the markers dragged with the real mouse over a rich edit's paragraph.
#include <gtest/gtest.h>

#include <vector>

#include "rtl/tests/UsSettings.h"
#include "vcl/Forms.h"
#include "vcl/OleStartup.h"
#include "vcl/TestHelpers.h"
#include "vxcontrols/vxTrackIcon.h"
#include "vxcontrols/vxriched.h"

namespace {

TEST(RulerArithmetic, CentresSnapDownToTheLastMarkWithinTheMaximum)
{
    const double centimetre = 96 / 2.537;
    struct Case {
        Integer Centre;
        double UnitPixels;
        Integer Steps, MaxValue, Pixels;
    };
    const Case cases[] = {{6, 96, 8, 588, 1},     {18, 96, 8, 588, 13},   {30, 96, 8, 588, 25},
                          {593, 96, 8, 588, 588}, {593, 96, 8, 0, 589},   {20, centimetre, 4, 0, 19},
                          {-24, 96, 8, 0, -23},   {9, centimetre, 4, 0, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(vxRulerSnap(c.Centre, c.UnitPixels, c.Steps, c.MaxValue), c.Pixels) << c.Centre;
    EXPECT_EQ(vxRulerSteps(muInches), 8);
    EXPECT_EQ(vxRulerSteps(muCentimeters), 4);
    EXPECT_DOUBLE_EQ(vxRulerUnitPixels(96, muCentimeters), centimetre);
}

TEST(RulerArithmetic, OnlyTheDroppedMarkerMovesKeeping48PixelsFromTheRightMarker)
{
    const TvxRulerPlaces current{1, 300, 11};
    struct Case {
        TvxRulerMarker Dragged;
        TvxRulerPlaces Snapped, After;
    };
    const Case cases[] = {
        {rmBody, {100, 301, 12}, {100, 300, 11}}, {rmBody, {280, 301, 12}, {253, 300, 11}},
        {rmFirst, {2, 301, 290}, {1, 300, 253}},  {rmRight, {100, 120, 12}, {1, 148, 11}},
        {rmRight, {100, 200, 12}, {1, 200, 11}},  {rmRight, {10, 50, 120}, {1, 168, 11}},
    };
    for (const Case& c : cases) EXPECT_EQ(vxRulerDrop(c.Dragged, current, c.Snapped), c.After) << c.Dragged;
}

TEST(RulerArithmetic, IndentsFromMarkersAndMarkersFromIndents)
{
    struct LeftCase {
        Integer Body, First, Start, Offset;
    };
    for (const LeftCase& c : {LeftCase{48, 24, 360, 360}, LeftCase{0, 0, 0, 0}, LeftCase{96, 0, 0, 1440},
                              LeftCase{1, 49, 735, -720}}) {
        Integer start = -1, offset = -1;
        vxRulerLeftIndents(c.Body, c.First, 96, start, offset);
        EXPECT_EQ(start, c.Start) << c.Body << "," << c.First;
        EXPECT_EQ(offset, c.Offset) << c.Body << "," << c.First;
    }
    EXPECT_EQ(vxRulerRightIndent(390, 3, 300, 6, 96), 1335);
    EXPECT_EQ(vxRulerRightIndent(600, 3, 97, 6, 96), 7530);
    EXPECT_EQ(vxRulerRightIndent(390, 3, 300, 6, 120), 1068);

    const TvxRulerLayout layout{6, 412, 13, 13, 13};
    EXPECT_EQ(vxRulerFollow(720, 1440, -360, 96, layout), (TvxRulerPlaces{24, 303, 48}));
    EXPECT_EQ(vxRulerFollow(0, 0, 0, 96, layout), (TvxRulerPlaces{0, 399, 0}));
    EXPECT_EQ(vxRulerFollow(1440, 0, 0, 120, layout), (TvxRulerPlaces{120, 399, 120}));
}

TEST(RulerArithmetic, TheScaleNumbersWholeUnitsAndMarksEachStepBelowTheLength)
{
    const TRect rect{6, 4, 594, 23};
    const TvxRulerScale inches = vxRulerScale(2.5, 96, 8, rect);
    ASSERT_EQ(inches.Labels.size(), 2u);
    EXPECT_EQ(inches.Labels[0].Number, 1);
    EXPECT_EQ(inches.Labels[0].X, 102);
    EXPECT_EQ(inches.Labels[1].X, 198);
    ASSERT_EQ(inches.Ticks.size(), 17u);  // 7 + 7 + 2.125, 2.25, 2.375
    EXPECT_EQ(inches.Ticks[0].X, 18);
    EXPECT_EQ(inches.Ticks[0].Top, 12);
    EXPECT_EQ(inches.Ticks[0].Bottom, 16);
    EXPECT_EQ(inches.Ticks[3].X, 54);  // the half-inch mark is longer
    EXPECT_EQ(inches.Ticks[3].Top, 11);
    EXPECT_EQ(inches.Ticks[3].Bottom, 18);
    EXPECT_EQ(inches.Ticks.back().X, 6 + 228);

    const TvxRulerScale centimetres = vxRulerScale(1.6, 96 / 2.537, 4, rect);
    ASSERT_EQ(centimetres.Labels.size(), 1u);
    EXPECT_EQ(centimetres.Labels[0].X, 43);
    std::vector<Integer> xs;
    for (const TvxRulerTick& tick : centimetres.Ticks) xs.push_back(tick.X);
    EXPECT_EQ(xs, (std::vector<Integer>{15, 24, 34, 53, 62}));
    EXPECT_EQ(centimetres.Ticks[1].Top, 11);  // the half centimetre

    EXPECT_TRUE(vxRulerScale(0, 96, 8, rect).Ticks.empty());
}

TEST(RulerArithmetic, ThePrintableWidthIsThePageLessTheMarginsInEitherUnit)
{
    TvxPrinterPage letter;
    letter.Size = {5100, 6600};
    letter.PixelsPerInchX = letter.PixelsPerInchY = 600;
    EXPECT_DOUBLE_EQ(vxPrintableInches(letter, 1.0, 1.0, muInches), 6.5);
    EXPECT_DOUBLE_EQ(vxPrintableInches(letter, 2.537, 2.537, muCentimeters), 6.5);
    EXPECT_NEAR(vxPrintableInches(letter, 1.0, 1.0, muCentimeters), 8.5 - 2 / 2.537, 1e-9);
    letter.Size.x = 5099;  // the width goes through whole twips
    EXPECT_NEAR(vxPrintableInches(letter, 0, 0, muInches), 12237 / 1440.0, 1e-9);
}

TEST(RulerArithmetic, AMarkersLowerLimitHoldsAtZeroWhenItIsOne)
{
    EXPECT_EQ(vxTrackLimit(-5, 0, true, 300), 0);
    EXPECT_EQ(vxTrackLimit(-5, 0, false, 300), -5);
    EXPECT_EQ(vxTrackLimit(400, 0, false, 300), 300);
    EXPECT_EQ(vxTrackLimit(400, 0, false, 0), 400);
    TvxTrackIcon marker(nullptr);
    marker.SetMinValue(0);
    EXPECT_FALSE(marker.MinLimited());
    marker.SetMinLimit(0);
    EXPECT_TRUE(marker.MinLimited());
}

// ---- under Wine

class RulerOnForm : public UsSettings {
protected:
    void SetUp() override
    {
        UsSettings::SetUp();
        if (!OleStarted()) Application->Initialize();
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(20, 20, 620, 200);
        form->SetCaption("Ruler");
        edit = new TvxCustomRichEdit(form);
        edit->SetParent(form);
        edit->SetBounds(0, 40, 600, 120);
        ruler = new TvxRulerPanel(form);
        ruler->SetParent(form);
        ruler->SetBevelOuter(bvNone);
        ruler->SetBounds(0, 8, 600, 25);
        ruler->SetRichEdit(edit);
        ruler->SetRulerRect(TRect{6, 4, 594, 21});
        ruler->CreateMarkers(form);
        form->Show();
        ActivateForm(form);
        edit->Lines()->SetText("A paragraph under the ruler\n");
        edit->SetSelStart(0);
        ruler->FollowParagraph();
        PumpMessages();
    }
    void TearDown() override
    {
        delete form;
        PumpMessages(20);
        UsSettings::TearDown();
    }
    static TPoint Centre(TvxTrackIcon* marker) { return {marker->Width() / 2, marker->Height() / 2}; }

    TForm* form = nullptr;
    TvxCustomRichEdit* edit = nullptr;
    TvxRulerPanel* ruler = nullptr;
};

TEST_F(RulerOnForm, MarkersFollowTheParagraphAndStartAtTheScalesEdges)
{
    ASSERT_EQ(ruler->BodyMarker()->Width(), 13);  // the bitmaps came from the program's resources
    EXPECT_EQ(ruler->FirstMarker()->Height(), 10);
    EXPECT_EQ(ruler->BodyMarker()->MinValue(), 0);
    EXPECT_TRUE(ruler->BodyMarker()->MinLimited());
    EXPECT_EQ(ruler->RightMarker()->MaxValue(), 588);
    EXPECT_EQ(ruler->BodyMarker()->Left(), 0);
    EXPECT_EQ(ruler->RightMarker()->Left(), 587);
    edit->ApplyParagraphFormat(0x1C, "", false, -360, 1440, 720, 0, nullptr, 0, 0, 0, 0);
    ruler->FollowParagraph();
    EXPECT_EQ(ruler->BodyMarker()->Left(), 24);
    EXPECT_EQ(ruler->FirstMarker()->Left(), 48);
    EXPECT_EQ(ruler->RightMarker()->Left(), 491);
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxriched-ruler.png"));
    edit->SetMeasurementUnits(muCentimeters);
    ruler->Invalidate();
    PumpMessages();
    EXPECT_TRUE(SaveWindowToPng(form->Handle(), "vxriched-ruler-cm.png"));
}

TEST_F(RulerOnForm, DraggedMarkersSnapStopAtTheEdgeAndKeepTheGapAndSetTheIndents)
{
    TvxTrackIcon* first = ruler->FirstMarker();
    TvxTrackIcon* body = ruler->BodyMarker();
    TvxTrackIcon* right = ruler->RightMarker();

    MouseDrag(first, Centre(first), {Centre(first).x + 50, Centre(first).y});
    EXPECT_EQ(first->Left(), 49);
    PARAFORMAT2 format = edit->ParagraphFormat();
    EXPECT_EQ(format.dxStartIndent, 735);
    EXPECT_EQ(format.dxOffset, -735);

    MouseDrag(body, Centre(body), {Centre(body).x - 30, Centre(body).y});  // past the scale's left edge
    EXPECT_EQ(body->Left(), 1);
    format = edit->ParagraphFormat();
    EXPECT_EQ(format.dxStartIndent, 735);
    EXPECT_EQ(format.dxOffset, -720);

    MouseClick(right, Centre(right));  // no movement: nothing applied
    EXPECT_EQ(edit->ParagraphFormat().dxRightIndent, 0);
    EXPECT_EQ(right->Left(), 587);

    MouseDrag(right, Centre(right), {Centre(right).x - 500, Centre(right).y}, 8);
    EXPECT_EQ(right->Left(), 97);  // 48 pixels right of the first-line marker's place
    EXPECT_EQ(edit->ParagraphFormat().dxRightIndent, 7530);
}

}  // namespace
