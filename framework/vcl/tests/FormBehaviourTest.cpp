// A form with edits, buttons and a menu, driven through the real input queue: tab order, enter/exit order, exit
// handlers that refuse, dialog keys, modal dialogs under the application's message filter, exceptions in handlers,
// cancel-mode messages and popup menus.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include <string>
#include <vector>

#include "vcl/ExtCtrls.h"
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

TEST_F(FormBehaviour, FreeingTheFocusedFormLeavesTheScreenWithoutIt)
{
    ASSERT_TRUE(edits[0]->Focused());
    delete form;
    form = nullptr;
    PumpMessages(20);
    EXPECT_EQ(Screen->ActiveForm(), nullptr);
    EXPECT_EQ(Screen->ActiveControl(), nullptr);
}

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

// Entering by Tab selects a single-line edit's whole text; a memo keeps its caret.
TEST_F(FormBehaviour, TabbingInSelectsAllOfAnEditButNotOfAMemo)
{
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(180, 10, 150, 80);
    memo->SetText("first line\r\nsecond");
    edits[0]->SetText("hello");
    struct Case {
        TCustomEdit* control;
        Integer expectedSelLength;
    };
    for (const Case& c : {Case{edits[0], 5}, Case{memo, 0}}) {
        c.control->SetFocus();
        PumpMessages();
        c.control->SetSelStart(3);
        TypeKey(VK_TAB, {ssShift});  // out and back in
        TypeKey(VK_TAB);
        PumpMessages();
        ASSERT_EQ(form->ActiveControl(), c.control);
        EXPECT_EQ(c.control->SelStart(), c.expectedSelLength ? 0 : 3) << c.control->ClassName();
        EXPECT_EQ(c.control->SelLength(), c.expectedSelLength) << c.control->ClassName();
    }
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

// Notes each CM_CANCELMODE it hears with the name of the control that sent it ("none" for no sender).
template <class Base>
class TCancelModeListener : public Base {
public:
    TCancelModeListener(TComponent* owner, std::vector<std::string>& log) : Base(owner), log_(log) {}
    void WndProc(TMessage& message) override
    {
        if (message.Msg == CM_CANCELMODE) {
            auto* sender = reinterpret_cast<TControl*>(message.LParam);
            log_.push_back(this->Name() + " cancel " + (sender ? sender->Name() : std::string("none")));
        }
        Base::WndProc(message);
    }

private:
    std::vector<std::string>& log_;
};

TEST_F(FormBehaviour, CancelModeReachesTheActiveAndTheCapturingControlBeforeTheClick)
{
    auto* active = new TCancelModeListener<TEdit>(form, log);
    active->SetName("Active");
    active->SetParent(form);
    active->SetBounds(200, 10, 100, 22);
    auto* label = new TLabel(form);
    label->SetName("Caption");
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetBounds(200, 40, 100, 20);
    auto* grip = new TCancelModeListener<TGraphicControl>(form, log);
    grip->SetName("Grip");
    grip->SetParent(form);
    grip->SetBounds(200, 70, 40, 20);
    const auto noteDown = [this](TObject* s, TMouseButton, TShiftState, Integer, Integer) {
        log.push_back("down " + Name(s));
    };
    edits[1]->OnMouseDown = noteDown;
    label->OnMouseDown = noteDown;
    active->SetFocus();
    PumpMessages();
    log.clear();

    ClickControl(label);
    EXPECT_TRUE(active->Focused());
    ClickControl(edits[1]);
    EXPECT_EQ(log, (std::vector<std::string>{"Active cancel Caption", "down Caption", "Active cancel Edit2",
                                             "down Edit2", "enter Edit2"}));

    active->SetFocus();
    PumpMessages();
    log.clear();
    PostMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(210, 80));  // the grip takes the mouse
    PumpMessages();
    SendMessageA(form->Handle(), WM_CANCELMODE, 0, 0);
    PostMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(210, 80));
    PumpMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"Active cancel Grip", "Active cancel none", "Grip cancel none"}));

    log.clear();
    std::unique_ptr<TForm> other(CreateObject<TForm>(nullptr));
    other->SetBounds(420, 40, 200, 120);
    other->Show();
    ActivateForm(other.get());
    EXPECT_EQ(log, std::vector<std::string>{"Active cancel none"});  // the form was deactivated
}

void CALLBACK EndOpenMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// Ends a popup menu left open when a test's keys did not reach it, so that the test fails instead of hanging.
class TMenuWatchdog {
public:
    TMenuWatchdog() : timer_(SetTimer(nullptr, 0, 5000, EndOpenMenu)) {}
    ~TMenuWatchdog() { KillTimer(nullptr, timer_); }

private:
    UINT_PTR timer_;
};

TEST_F(FormBehaviour, PopupMenuItemIsChosenByKeysAndEscapeChoosesNone)
{
    auto* popup = new TPopupMenu(form);
    popup->OnPopup = [this](TObject*) { log.push_back("popup"); };
    for (const char* caption : {"&First", "&Second"}) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        item->OnClick = [this, item](TObject*) { log.push_back(StripHotkey(item->Caption())); };
        popup->Items()->Add(item);
    }
    const struct {
        std::vector<Word> Keys;
        std::vector<std::string> Log;
    } cases[] = {{{VK_DOWN, VK_RETURN}, {"popup", "First"}},
                 {{VK_DOWN, VK_DOWN, VK_RETURN}, {"popup", "Second"}},
                 {{VK_ESCAPE}, {"popup"}}};
    for (const auto& c : cases) {
        log.clear();
        for (Word key : c.Keys) PostKeyDown(form->Handle(), key);
        TMenuWatchdog watchdog;
        popup->Popup(form->Left() + 20, form->Top() + 20);
        EXPECT_EQ(log, c.Log);
        PumpMessages();
    }
}

RECT openMenuRect{};

BOOL CALLBACK FindOpenMenu(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32768" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Notes where the open popup menu of this thread stands, then closes it.
void CALLBACK MeasureOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND menu = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindOpenMenu, reinterpret_cast<LPARAM>(&menu));
    if (menu) GetWindowRect(menu, &openMenuRect);
    EndMenu();
}

TEST_F(FormBehaviour, PopupMenuStandsAtThePointAsItsAlignmentSays)
{
    auto* popup = new TPopupMenu(form);
    auto* item = new TMenuItem(form);
    item->SetCaption("A rather long caption");
    popup->Items()->Add(item);
    const Integer x = 400, y = 300;
    for (TPopupAlignment alignment : {paLeft, paRight, paCenter}) {
        popup->SetAlignment(alignment);
        openMenuRect = RECT{};
        SetTimer(nullptr, 0, 100, MeasureOpenMenu);
        popup->Popup(x, y);
        const RECT r = openMenuRect;
        ASSERT_GT(r.right - r.left, 20) << alignment;
        const Integer expectedLeft[] = {x, x - (r.right - r.left), x - (r.right - r.left) / 2};
        EXPECT_NEAR(r.left, expectedLeft[alignment], 1) << alignment;
        EXPECT_EQ(r.top, y) << alignment;
    }
}

TEST_F(FormBehaviour, RightClickOrMenuKeyPopsUpTheControlsMenuWithItAsPopupComponent)
{
    auto* popup = new TPopupMenu(form);
    popup->OnPopup = [this](TObject*) { log.push_back("popup"); };
    auto* item = new TMenuItem(form);
    item->SetCaption("&Copy");
    item->OnClick = [this](TObject*) { log.push_back("copy"); };
    popup->Items()->Add(item);
    edits[1]->SetPopupMenu(popup);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetBounds(200, 80, 100, 20);
    label->SetPopupMenu(popup);
    const auto rightClick = [](HWND window, Integer x, Integer y) {
        PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
        PostMessageA(window, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    };
    const struct {
        const char* Name;
        std::function<void()> Trigger;
        TControl* Component;
    } cases[] = {
        {"right click", [&] { rightClick(edits[1]->Handle(), 5, 5); }, edits[1]},
        {"menu key", [&] { PostMessageA(edits[1]->Handle(), WM_CONTEXTMENU, WPARAM(edits[1]->Handle()), -1); },
         edits[1]},
        {"right click on a label", [&] { rightClick(form->Handle(), 210, 90); }, label},
    };
    for (const auto& c : cases) {
        log.clear();
        popup->SetPopupComponent(nullptr);
        TMenuWatchdog watchdog;
        c.Trigger();
        PostKeyDown(form->Handle(), VK_DOWN);
        PostKeyDown(form->Handle(), VK_RETURN);
        PumpMessages();
        EXPECT_EQ(log, (std::vector<std::string>{"popup", "copy"})) << c.Name;
        EXPECT_EQ(popup->PopupComponent(), c.Component) << c.Name;
    }

    // Without AutoPopup nothing pops up (a panel: an edit would show the system's own edit menu).
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(200, 10, 100, 60);
    panel->SetPopupMenu(popup);
    popup->SetAutoPopup(false);
    log.clear();
    rightClick(panel->Handle(), 5, 5);
    PostKeyDown(form->Handle(), VK_ESCAPE);  // with no menu open it presses the cancel button
    PumpMessages();
    EXPECT_EQ(log, std::vector<std::string>{"cancel"});
}

}  // namespace
