// The message dialog form: its buttons for any set, their order and roles, and answers through the real queue.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

std::vector<TButton*> ButtonsOf(TForm* form)
{
    std::vector<TButton*> buttons;
    for (Integer i = 0; i < form->ComponentCount(); ++i)
        if (auto* button = dynamic_cast<TButton*>(form->Components(i))) buttons.push_back(button);
    return buttons;
}

std::string Names(const std::vector<TButton*>& buttons, bool (TButton::*role)() const = nullptr)
{
    std::string names;
    for (TButton* button : buttons) {
        if (role && !(button->*role)()) continue;
        names += (names.empty() ? "" : " ") + button->Name();
    }
    return names;
}

}  // namespace

TEST(MessageDialog, ButtonsFollowTheFixedOrderWithTheirRolesAndResults)
{
    struct Case {
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        const char* Order;
        const char* Default;
        const char* Cancel;
        const char* Caption;  // nullptr: the application's title
    } cases[] = {
        {mtConfirmation, mbYesNoCancel, "Yes No Cancel", "Yes", "Cancel", "Confirm"},
        {mtWarning, mbOKCancel, "OK Cancel", "OK", "Cancel", "Warning"},
        {mtError, mbAbortRetryIgnore, "Abort Retry Ignore", "Retry", "", "Error"},
        {mtInformation, {mbHelp, mbYesToAll, mbNoToAll, mbAll, mbNo, mbYes}, "Yes No All NoToAll YesToAll Help",
         "Yes", "No", "Information"},
        {mtCustom, {mbOK}, "OK", "OK", "OK", nullptr},
    };
    const std::map<std::string, std::pair<std::string, TModalResult>> kinds = {
        {"Yes", {"&Yes", mrYes}},           {"No", {"&No", mrNo}},
        {"OK", {"OK", mrOk}},               {"Cancel", {"Cancel", mrCancel}},
        {"Abort", {"&Abort", mrAbort}},     {"Retry", {"&Retry", mrRetry}},
        {"Ignore", {"&Ignore", mrIgnore}},  {"All", {"&All", mrAll}},
        {"NoToAll", {"N&o to All", mrNoToAll}}, {"YesToAll", {"Yes to &All", mrYesToAll}},
        {"Help", {"&Help", mrNone}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Order);
        std::unique_ptr<TForm> form(CreateMessageDialog("Line one\nLine two", c.Type, c.Buttons));
        const std::vector<TButton*> buttons = ButtonsOf(form.get());
        EXPECT_EQ(Names(buttons), c.Order);
        EXPECT_EQ(Names(buttons, &TButton::Default), c.Default);
        EXPECT_EQ(Names(buttons, &TButton::Cancel), c.Cancel);
        EXPECT_EQ(form->Caption(), c.Caption ? c.Caption : Application->Title());
        EXPECT_EQ(form->FindComponent("Image") != nullptr, c.Type != mtCustom);
        auto* message = dynamic_cast<TLabel*>(form->FindComponent("Message"));
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->Caption(), "Line one\nLine two");
        Integer right = 0;
        for (TButton* button : buttons) {
            EXPECT_EQ(button->Caption(), kinds.at(button->Name()).first);
            EXPECT_EQ(button->ModalResult(), kinds.at(button->Name()).second);
            EXPECT_GE(button->Left(), right) << button->Name();  // left to right, apart
            EXPECT_GE(button->Top(), message->Top() + message->Height());
            right = button->Left() + button->Width();
        }
        EXPECT_LE(right, form->ClientWidth());
    }
}

TEST(MessageDialog, EnterEscapeAndClicksAnswerThroughTheQueue)
{
    struct Case {
        TMsgDlgButtons Buttons;
        Word Key;           // 0: click the button
        const char* Click;
        TModalResult Expected;
    } cases[] = {
        {mbYesNoCancel, VK_RETURN, nullptr, mrYes},
        {mbYesNoCancel, VK_ESCAPE, nullptr, mrCancel},
        {{mbYes, mbNo}, VK_ESCAPE, nullptr, mrNo},
        {mbAbortRetryIgnore, 0, "Ignore", mrIgnore},
        {{mbYes, mbNo, mbNoToAll, mbYesToAll}, 0, "NoToAll", mrNoToAll},
    };
    TScriptedDialogs dialogs;
    TDialogService real;
    for (const Case& c : cases) {
        dialogs.AnswerNextModalForm([&c](TCustomForm* form) {
            if (c.Key)
                TypeKey(c.Key);
            else
                ClickControl(static_cast<TControl*>(form->FindComponent(c.Click)));
        });
        EXPECT_EQ(real.MessageDlg("Save the changes?", mtConfirmation, c.Buttons, -1, -1), c.Expected)
            << (c.Click ? c.Click : std::to_string(c.Key));
    }

    TRect placed{};
    dialogs.AnswerNextModalForm([&](TCustomForm* form) {
        placed = form->BoundsRect();
        TypeKey(VK_RETURN);
    });
    EXPECT_EQ(real.MessageDlg("Placed", mtInformation, {mbOK, mbHelp}, 50, 60), mrOk);
    EXPECT_EQ(placed.left, 50);
    EXPECT_EQ(placed.top, 60);
}
