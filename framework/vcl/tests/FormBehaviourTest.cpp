// A form with edits, buttons and a menu, driven through the real input queue: tab order, enter/exit order, exit
// handlers that refuse, dialog keys, modal dialogs under the application's message filter, exceptions in handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include <string>
#include <vector>

#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

class FormBehaviour : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = CreateObject<TForm>(nullptr);
        form->SetCaption("Test form");
        form->SetBounds(40, 40, 360, 260);
        for (int i = 0; i < 3; ++i) {
            auto* edit = new TEdit(form);
            edit->SetName("Edit" + std::to_string(i + 1));
            edit->SetParent(form);
            edit->SetBounds(10, 10 + i * 30, 150, 22);
            edit->OnEnter = [this](TObject* s) { log.push_back("enter " + Name(s)); };
            edit->OnExit = [this](TObject* s) { log.push_back("exit " + Name(s)); };
            edits.push_back(edit);
        }
        ok = new TButton(form);
        ok->SetName("OkButton");
        ok->SetParent(form);
        ok->SetBounds(10, 110, 75, 25);
        ok->SetDefault(true);
        ok->OnClick = [this](TObject*) { log.push_back("ok"); };
        cancel = new TButton(form);
        cancel->SetName("CancelButton");
        cancel->SetParent(form);
        cancel->SetBounds(100, 110, 75, 25);
        cancel->SetCancel(true);
        cancel->OnClick = [this](TObject*) { log.push_back("cancel"); };
        form->Show();
        ActivateForm(form);
        edits[0]->SetFocus();
        PumpMessages();
        log.clear();
    }

    void TearDown() override
    {
        Application->OnMessage = nullptr;
        delete form;
        PumpMessages(20);
    }

    static std::string Name(TObject* sender) { return static_cast<TComponent*>(sender)->Name(); }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    std::vector<TEdit*> edits;
    TButton* ok = nullptr;
    TButton* cancel = nullptr;
    std::vector<std::string> log;
};

TEST_F(FormBehaviour, TabAndShiftTabFollowTabOrderWithExitBeforeEnter)
{
    ASSERT_EQ(GetFocus(), edits[0]->Handle());
    TypeKey(VK_TAB);
    EXPECT_TRUE(edits[1]->Focused());
    TypeKey(VK_TAB, {ssShift});
    EXPECT_TRUE(edits[0]->Focused());
    edits[2]->SetTabOrder(0);
    TypeKey(VK_TAB, {ssShift});
    EXPECT_TRUE(edits[2]->Focused());
    EXPECT_EQ(form->ActiveControl(), edits[2]);
    EXPECT_EQ(log, (std::vector<std::string>{"exit Edit1", "enter Edit2", "exit Edit2", "enter Edit1",
                                             "exit Edit1", "enter Edit3"}));
}

TEST_F(FormBehaviour, TabSkipsControlsWithoutTabStopOrDisabled)
{
    edits[1]->SetTabStop(false);
    edits[2]->SetEnabled(false);
    TypeKey(VK_TAB);
    EXPECT_TRUE(ok->Focused());
}

TEST_F(FormBehaviour, ExitHandlerThatRaisesKeepsTheFocusAndShowsTheMessage)
{
    edits[0]->OnExit = [this](TObject*) {
        log.push_back("exit refused");
        throw Exception("Value is required");
    };
    TypeKey(VK_TAB);
    EXPECT_TRUE(edits[0]->Focused());
    EXPECT_EQ(form->ActiveControl(), edits[0]);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "Value is required.");
    EXPECT_EQ(log, (std::vector<std::string>{"exit refused"}));

    // The form goes on working: once the handler accepts, Tab moves on.
    edits[0]->OnExit = nullptr;
    TypeKey(VK_TAB);
    EXPECT_TRUE(edits[1]->Focused());
}

TEST_F(FormBehaviour, ExitHandlerRaisingAbortKeepsTheFocusSilently)
{
    edits[0]->OnExit = [](TObject*) { Abort(); };
    TypeKey(VK_TAB);
    EXPECT_TRUE(edits[0]->Focused());
    EXPECT_TRUE(dialogs.Shown.empty());
}

TEST_F(FormBehaviour, ExitHandlerThatTakesTheFocusBackKeepsIt)
{
    edits[0]->OnExit = [this](TObject*) {
        log.push_back("exit Edit1");
        edits[0]->SetFocus();
    };
    TypeKey(VK_TAB);
    EXPECT_TRUE(edits[0]->Focused());
    EXPECT_EQ(form->ActiveControl(), edits[0]);
    EXPECT_EQ(std::count(log.begin(), log.end(), "enter Edit2"), 0);
}

TEST_F(FormBehaviour, TabSynthesisedInAnExitHandlerIsProcessedAfterItReturns)
{
    edits[0]->OnExit = [this](TObject*) {
        keybd_event(VK_TAB, 0, 0, 0);
        keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
        log.push_back("exit Edit1 queued tab");
    };
    TypeKey(VK_TAB);
    PumpMessages();
    EXPECT_TRUE(edits[2]->Focused());
    EXPECT_EQ(log, (std::vector<std::string>{"exit Edit1 queued tab", "enter Edit2", "exit Edit2", "enter Edit3"}));
}

TEST_F(FormBehaviour, EnterPressesTheDefaultButtonAndEscapeTheCancelButton)
{
    TypeKey(VK_RETURN);
    TypeKey(VK_ESCAPE);
    EXPECT_EQ(log, (std::vector<std::string>{"ok", "cancel"}));
    EXPECT_TRUE(edits[0]->Focused());
}

TEST_F(FormBehaviour, EnterOnAFocusedButtonPressesThatButton)
{
    cancel->SetFocus();
    PumpMessages();
    log.clear();
    TypeKey(VK_RETURN);
    EXPECT_EQ(log, (std::vector<std::string>{"cancel"}));
}

TEST_F(FormBehaviour, TypedTextReachesTheFocusedEditAndMarksItModified)
{
    std::string changes;
    edits[0]->OnChange = [&](TObject*) { changes += "c"; };
    TypeText("ab1");
    EXPECT_EQ(edits[0]->Text(), "ab1");
    EXPECT_TRUE(edits[0]->Modified());
    EXPECT_EQ(changes, "ccc");
    edits[0]->SetText("set");
    EXPECT_FALSE(edits[0]->Modified());
}

TEST_F(FormBehaviour, EditSelectionAndLimits)
{
    edits[0]->SetText("hello world");
    edits[0]->SetSelStart(6);
    edits[0]->SetSelLength(5);
    EXPECT_EQ(edits[0]->SelText(), "world");
    edits[0]->SetSelText("there");
    EXPECT_EQ(edits[0]->Text(), "hello there");
    edits[0]->SetMaxLength(3);
    edits[0]->SetText("");
    TypeText("abcdef");
    EXPECT_EQ(edits[0]->Text(), "abc");
    edits[1]->SetCharCase(ecUpperCase);
    edits[1]->SetFocus();
    PumpMessages();
    TypeText("xy");
    EXPECT_EQ(edits[1]->Text(), "XY");
}

TEST_F(FormBehaviour, ExceptionInAClickHandlerIsShownAndTheProgramGoesOn)
{
    int clicks = 0;
    ok->OnClick = [&](TObject*) {
        ++clicks;
        if (clicks == 1) throw EConvertError("'x' is not a valid integer value");
        if (clicks == 2) Abort();
    };
    ClickControl(ok);
    ClickControl(ok);
    ClickControl(ok);
    EXPECT_EQ(clicks, 3);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, "'x' is not a valid integer value.");
}

TEST_F(FormBehaviour, MenuItemsClickByCommandAndByShortCut)
{
    auto* menu = new TMainMenu(form);
    auto* file = new TMenuItem(form);
    file->SetCaption("&File");
    auto* print = new TMenuItem(form);
    print->SetCaption("&Print");
    print->SetShortCut(ShortCut('P', {ssCtrl}));
    print->OnClick = [this](TObject*) { log.push_back("print"); };
    file->Add(print);
    menu->Items()->Add(file);
    form->SetMenu(menu);
    EXPECT_NE(GetMenu(form->Handle()), nullptr);

    PostMessageA(form->Handle(), WM_COMMAND, print->Command(), 0);
    PumpMessages();
    TypeKey('P', {ssCtrl});
    EXPECT_EQ(log, (std::vector<std::string>{"print", "print"}));
    EXPECT_EQ(edits[0]->Text(), "");
}

TEST_F(FormBehaviour, MenuRadioItemsOfAGroupExcludeEachOther)
{
    TMenuItem parent(nullptr);
    std::vector<TMenuItem*> items;
    for (int i = 0; i < 3; ++i) {
        auto* item = new TMenuItem(nullptr);
        item->SetRadioItem(true);
        item->SetGroupIndex(1);
        parent.Add(item);
        items.push_back(item);
    }
    items[0]->SetChecked(true);
    items[2]->SetChecked(true);
    EXPECT_FALSE(items[0]->Checked());
    EXPECT_TRUE(items[2]->Checked());
}

// A modal dialog with its own edit and OK button: the application's filter sees its keys and can eat them.
TEST_F(FormBehaviour, MessageFilterSeesKeysTypedIntoAModalDialogAndCanEatThem)
{
    std::unique_ptr<TForm> dialog(CreateObject<TForm>(nullptr));
    dialog->SetBounds(80, 80, 240, 140);
    auto* edit = new TEdit(dialog.get());
    edit->SetParent(dialog.get());
    edit->SetBounds(10, 10, 120, 22);
    auto* okButton = new TButton(dialog.get());
    okButton->SetParent(dialog.get());
    okButton->SetBounds(10, 50, 75, 25);
    okButton->SetDefault(true);
    okButton->SetModalResult(mrOk);

    std::string seen;
    Application->OnMessage = [&](TMsg& msg, bool& handled) {
        if (msg.message != WM_KEYDOWN) return;
        if (msg.hwnd == edit->Handle()) seen += char(msg.wParam);
        if (msg.wParam == 'X') handled = true;
    };
    dialogs.AnswerNextModalForm([](TCustomForm*) {
        TypeText("axb");
        TypeKey(VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(seen, "AXB\r");
    EXPECT_FALSE(dialog->Visible());
}

TEST_F(FormBehaviour, EscapeInAModalDialogWithACancelButtonEndsItWithCancel)
{
    std::unique_ptr<TForm> dialog(CreateObject<TForm>(nullptr));
    auto* cancelButton = new TButton(dialog.get());
    cancelButton->SetParent(dialog.get());
    cancelButton->SetCancel(true);
    cancelButton->SetModalResult(mrCancel);
    bool closed = false;
    dialog->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
    dialogs.AnswerNextModalForm([](TCustomForm*) { TypeKey(VK_ESCAPE); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_TRUE(closed);
}

TEST_F(FormBehaviour, InputQueryFormTakesTheTypedValueAndMessageDlgGoesThroughTheService)
{
    std::string value = "old";
    dialogs.AnswerNextModalForm([](TCustomForm*) {
        TypeText("new");
        TypeKey(VK_RETURN);
    });
    TDialogService real;
    EXPECT_TRUE(real.InputQuery("Case", "Suffix:", value));
    EXPECT_EQ(value, "new");

    dialogs.AnswerNextBox(mrNo);
    EXPECT_EQ(MessageDlg("Delete all notes?", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Caption, "Confirm");
    EXPECT_EQ(dialogs.Shown[0].Text, "Delete all notes?");
}

}  // namespace
