// Scaling a form and what it holds by a ratio, as a form shown at another size does.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

using TBox = std::array<Integer, 4>;
TBox BoxOf(TControl* control) { return {control->Left(), control->Top(), control->Width(), control->Height()}; }

TEST(ScaleBy, BoundsAndOwnFontsGrowByTheRatio)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBounds(40, 30, 400, 300);
    form->Font()->SetSize(8);
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 20, 200, 100);
    auto* edit = new TEdit(panel);
    edit->SetParent(panel);
    edit->SetBounds(3, 3, 100, 21);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetBounds(100, 150, 50, 13);
    label->SetParentFont(false);
    label->Font()->SetSize(12);
    form->Show();
    PumpMessages();
    const Integer clientWidth = form->ClientWidth(), clientHeight = form->ClientHeight();

    form->ScaleBy(133, 100);
    // The form keeps its place and scales its client area; children scale their bounds, edge by edge.
    EXPECT_EQ(form->Left(), 40);
    EXPECT_EQ(form->Top(), 30);
    EXPECT_EQ(form->ClientWidth(), MulDiv(clientWidth, 133, 100));
    EXPECT_EQ(form->ClientHeight(), MulDiv(clientHeight, 133, 100));
    EXPECT_EQ(BoxOf(panel), (TBox{13, 27, 279 - 13, 160 - 27}));
    EXPECT_EQ(BoxOf(label), (TBox{133, 200, 200 - 133, 217 - 200}));
    EXPECT_EQ(edit->Left(), 4);
    EXPECT_EQ(edit->Top(), 4);
    EXPECT_EQ(edit->Width(), 137 - 4);
    // Own fonts scale; parent fonts follow the form's.
    EXPECT_EQ(form->Font()->Size(), 11);
    EXPECT_EQ(label->Font()->Size(), 16);
    EXPECT_EQ(edit->Font()->Size(), 11);
    form->ScaleBy(100, 100);
    EXPECT_EQ(label->Font()->Size(), 16);
    EXPECT_TRUE(dialogs.Shown.empty());
}

}  // namespace
