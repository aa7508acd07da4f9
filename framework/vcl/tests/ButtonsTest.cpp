// Bitmap button kinds and speed button groups.
#include <gtest/gtest.h>

#include <memory>

#include "vcl/Buttons.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"

namespace {

TEST(BitBtn, KindsBringCaptionResultRoleAndGlyph)
{
    struct Case {
        TBitBtnKind Kind;
        const char* Caption;
        TModalResult Result;
        bool Default, Cancel;
    } cases[] = {{bkOK, "OK", mrOk, true, false},         {bkCancel, "Cancel", mrCancel, false, true},
                 {bkYes, "&Yes", mrYes, true, false},     {bkNo, "&No", mrNo, false, true},
                 {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
                 {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
                 {bkHelp, "&Help", mrNone, false, false}, {bkClose, "&Close", mrNone, false, false}};
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    for (const Case& c : cases) {
        auto* button = new TBitBtn(form.get());
        button->SetKind(c.Kind);
        EXPECT_EQ(button->Caption(), c.Caption) << c.Caption;
        EXPECT_EQ(button->ModalResult(), c.Result) << c.Caption;
        EXPECT_EQ(button->Default(), c.Default) << c.Caption;
        EXPECT_EQ(button->Cancel(), c.Cancel) << c.Caption;
        ASSERT_FALSE(button->Glyph()->Empty()) << c.Caption;
        // Something is drawn besides the transparent background.
        const TColor background = button->Glyph()->TransparentColor();
        bool drawn = false;
        for (int x = 0; x < 18 && !drawn; ++x)
            for (int y = 0; y < 18 && !drawn; ++y) drawn = button->Glyph()->Canvas()->Pixels(x, y) != background;
        EXPECT_TRUE(drawn) << c.Caption;
    }
}

TEST(BitBtn, OkKindEndsAModalFormOnEnterAndCloseKindClosesItsForm)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* ok = new TBitBtn(form.get());
    ok->SetParent(form.get());
    ok->SetKind(bkOK);
    dialogs.AnswerNextModalForm([](TCustomForm*) { TypeKey(VK_RETURN); });
    EXPECT_EQ(form->ShowModal(), mrOk);

    std::unique_ptr<TForm> other(CreateObject<TForm>(nullptr));
    auto* close = new TBitBtn(other.get());
    close->SetParent(other.get());
    close->SetKind(bkClose);
    other->Show();
    PumpMessages();
    ClickControl(close);
    EXPECT_FALSE(other->Visible());
}

TEST(SpeedButton, GroupKeepsOneButtonDownAndAllowAllUpLetsItGoUp)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    std::vector<TSpeedButton*> buttons;
    int clicks = 0;
    for (int i = 0; i < 3; ++i) {
        auto* button = new TSpeedButton(form.get());
        button->SetParent(form.get());
        button->SetBounds(10 + i * 30, 10, 25, 25);
        button->SetGroupIndex(1);
        button->OnClick = [&](TObject*) { ++clicks; };
        buttons.push_back(button);
    }
    form->Show();
    PumpMessages();
    ClickControl(buttons[0]);
    ClickControl(buttons[2]);
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_TRUE(buttons[2]->Down());
    ClickControl(buttons[2]);
    EXPECT_TRUE(buttons[2]->Down());
    buttons[2]->SetAllowAllUp(true);
    ClickControl(buttons[2]);
    EXPECT_FALSE(buttons[2]->Down());
    EXPECT_EQ(clicks, 4);

    auto* plain = new TSpeedButton(form.get());
    plain->SetDown(true);
    EXPECT_FALSE(plain->Down());  // without a group a button does not stay down
}

}  // namespace
