// Alignment, panels, fonts, timers, graphic-control clicks, window images, showing changes and hints.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"
#include "vcl/TestHelpers.h"

namespace {

// Boxes shown by a test (unexpected exceptions) as one text.
std::string ShownTexts(const TScriptedDialogs& dialogs)
{
    std::string texts;
    for (const auto& box : dialogs.Shown) texts += box.Text + "\n";
    return texts;
}

TEST(Controls, AlignedChildrenShareTheClientAreaOfTheirParent)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBounds(10, 10, 300, 200);
    auto* top = new TPanel(form.get());
    top->SetParent(form.get());
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* bottom = new TPanel(form.get());
    bottom->SetParent(form.get());
    bottom->SetHeight(20);
    bottom->SetAlign(alBottom);
    auto* client = new TPanel(form.get());
    client->SetParent(form.get());
    client->SetAlign(alClient);
    form->Show();
    PumpMessages();
    const Integer width = form->ClientWidth(), height = form->ClientHeight();
    EXPECT_EQ(top->BoundsRect().right, width);
    EXPECT_EQ(bottom->Top(), height - 20);
    EXPECT_EQ(client->Top(), 30);
    EXPECT_EQ(client->Height(), height - 50);
    form->SetClientHeight(height + 40);
    PumpMessages();
    EXPECT_EQ(bottom->Top(), height + 20);
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, ParentFontAndColorFollowTheParentUntilSet)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    form->Font()->SetName("Arial");
    form->SetColor(clYellow);
    EXPECT_EQ(label->Font()->Name(), "Arial");
    EXPECT_EQ(label->Color(), clYellow);
    label->Font()->SetColor(clRed);
    EXPECT_FALSE(label->ParentFont());
    form->Font()->SetName("Courier New");
    EXPECT_EQ(label->Font()->Name(), "Arial");
    EXPECT_EQ(ShownTexts(dialogs), "");
}

// The face and height the memo's window draws with; empty when its font handle is not a live font.
std::string WindowFont(TWinControl* control)
{
    LOGFONTA info{};
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(control->Handle(), WM_GETFONT, 0, 0));
    if (!font || GetObjectA(font, sizeof info, &info) == 0) return "";
    return std::string(info.lfFaceName) + " " + std::to_string(info.lfHeight);
}

TEST(Controls, AMemosWindowDrawsWithItsFontWhicheverOrderItIsSetIn)
{
    enum Moment { BeforeSetParent, AfterSetParent, AfterShow };
    for (Moment moment : {BeforeSetParent, AfterSetParent, AfterShow}) {
        TScriptedDialogs dialogs;
        std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
        form->SetBounds(40, 40, 300, 200);
        auto* memo = new TMemo(form.get());
        auto setFont = [memo] {
            memo->Font()->SetName("Courier New");
            memo->Font()->SetHeight(-20);
        };
        if (moment == BeforeSetParent) setFont();
        memo->SetParent(form.get());
        memo->SetBounds(10, 10, 250, 120);
        memo->SetText("Courier twenty");
        if (moment == AfterSetParent) setFont();
        form->Show();
        PumpMessages();
        if (moment == AfterShow) setFont();
        PumpMessages();
        EXPECT_EQ(WindowFont(memo), "Courier New -20") << "font set at moment " << moment;
        memo->Font()->SetStyle(TFontStyles{fsBold});
        EXPECT_EQ(WindowFont(memo), "Courier New -20") << "restyled at moment " << moment;
        if (moment == AfterSetParent) {
            char temp[MAX_PATH];
            GetTempPathA(MAX_PATH, temp);
            EXPECT_TRUE(SaveWindowToPng(form->Handle(), std::string(temp) + "memo-font.png"));
        }
        EXPECT_EQ(ShownTexts(dialogs), "");
    }
}

TEST(Controls, ClickOnALabelReachesItThroughItsParent)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(20, 20, 80, 20);
    label->SetAutoSize(false);
    int clicks = 0;
    label->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    PumpMessages();
    ClickControl(label);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, TimerFiresThroughTheQueueUntilDisabled)
{
    TScriptedDialogs dialogs;
    TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 2) timer.SetEnabled(false);
    };
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 400) {
        Application->ProcessMessages();
        Sleep(5);
    }
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, WindowImageIsSavedAsPng)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBounds(10, 10, 120, 80);
    form->Show();
    PumpMessages();
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    const std::string file = std::string(path) + "vcl-window.png";
    ASSERT_TRUE(SaveWindowToPng(form->Handle(), file));
    FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char signature[8] = {};
    EXPECT_EQ(std::fread(signature, 1, 8, f), 8u);
    std::fclose(f);
    DeleteFileA(file.c_str());
    EXPECT_EQ(signature[1], 'P');
    EXPECT_EQ(signature[0], 0x89);
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, ScrollBoxScrollsTheFocusedEditIntoView)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    form->SetBounds(10, 10, 300, 200);
    auto* box = new TScrollBox(form.get());
    box->SetParent(form.get());
    box->SetBounds(0, 0, 200, 100);
    std::vector<TEdit*> lines;
    for (int i = 0; i < 36; ++i) {
        auto* edit = new TEdit(form.get());
        edit->SetParent(box);
        edit->SetBounds(1, i * 18 + 1, 150, 18);
        lines.push_back(edit);
    }
    form->Show();
    ActivateForm(form.get());
    EXPECT_EQ(box->VertScrollBar()->Range(), 35 * 18 + 19);
    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    lines[0]->SetFocus();
    PumpMessages();
    for (int i = 0; i < 10; ++i) TypeKey(VK_TAB);
    EXPECT_TRUE(lines[10]->Focused());
    const Integer position = box->VertScrollBar()->Position();
    EXPECT_GT(position, 0);
    EXPECT_GE(lines[10]->Top(), 0);
    EXPECT_LE(lines[10]->Top() + lines[10]->Height(), box->ClientHeight());
    EXPECT_EQ(lines[0]->Top(), 1 - position);
    box->VertScrollBar()->SetPosition(0);
    EXPECT_EQ(lines[0]->Top(), 1);
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, StatusBarPanelsAndSimpleText)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* bar = new TStatusBar(form.get());
    bar->SetParent(form.get());
    bar->Panels()->Add()->SetText("one");
    bar->Panels()->Add()->SetText("two");
    form->Show();
    PumpMessages();
    char text[64] = {};
    SendMessageA(bar->Handle(), SB_GETTEXTA, 1, LPARAM(text));
    EXPECT_STREQ(text, "two");
    EXPECT_EQ(SendMessageA(bar->Handle(), SB_GETPARTS, 0, 0), 2);
    EXPECT_EQ(bar->Top() + bar->Height(), form->ClientHeight());  // aligned to the bottom
    bar->Panels()->Items(0)->SetText("uno");
    SendMessageA(bar->Handle(), SB_GETTEXTA, 0, LPARAM(text));
    EXPECT_STREQ(text, "uno");
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, RadioGroupChecksOneItemAndReportsTheClick)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* group = new TRadioGroup(form.get());
    group->SetParent(form.get());
    group->Items()->Add("Client");
    group->Items()->Add("Case");
    group->Items()->Add("Both");
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    PumpMessages();
    group->SetItemIndex(1);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(group->ControlCount(), 3);
    auto* third = dynamic_cast<TRadioButton*>(group->Controls(2));
    ASSERT_NE(third, nullptr);
    ClickControl(third);
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_FALSE(dynamic_cast<TRadioButton*>(group->Controls(1))->Checked());
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, ScrollBarClampsItsPositionAndReportsChanges)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* bar = new TScrollBar(form.get());
    bar->SetParent(form.get());
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    bar->SetParams(50, 0, 100);
    bar->SetPosition(500);
    EXPECT_EQ(bar->Position(), 100);
    EXPECT_EQ(changes, 2);
    EXPECT_THROW(bar->SetMax(-5), EInvalidOperation);
    bar->SetLargeChange(10);
    SendMessageA(form->Handle(), WM_HSCROLL, SB_PAGEUP, LPARAM(bar->Handle()));
    EXPECT_EQ(bar->Position(), 90);
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, AFreedWindowControlLeavesItsParentsTabOrder)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* first = new TEdit(form.get());
    first->SetParent(form.get());
    auto* second = new TEdit(form.get());
    second->SetParent(form.get());
    delete first;
    std::vector<TWinControl*> order;
    form->GetTabOrderList(order);
    EXPECT_EQ(order, std::vector<TWinControl*>{second});
    EXPECT_EQ(ShownTexts(dialogs), "");
}

// A panel that notes its Showing each time it hears CM_SHOWINGCHANGED.
class TShowingPanel : public TPanel {
public:
    using TPanel::TPanel;
    std::vector<bool> Heard;
    void WndProc(TMessage& message) override
    {
        if (message.Msg == CM_SHOWINGCHANGED) Heard.push_back(Showing());
        TPanel::WndProc(message);
    }
};

TEST(Controls, ShowingChangedFollowsTheVisibilityOfTheWindowAndItsParents)
{
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* outer = new TPanel(form.get());
    outer->SetParent(form.get());
    auto* inner = new TShowingPanel(form.get());
    inner->SetParent(outer);
    form->HandleNeeded();
    EXPECT_TRUE(inner->Heard.empty());  // a window made inside a hidden form is not showing
    form->Show();
    PumpMessages();
    outer->Hide();
    EXPECT_FALSE(IsWindowVisible(inner->Handle()));
    outer->Show();
    form->Hide();
    form->Show();
    inner->Hide();
    inner->Hide();
    EXPECT_EQ(inner->Heard, (std::vector<bool>{true, false, true, false, true, false}));
    EXPECT_EQ(ShownTexts(dialogs), "");
}

TEST(Controls, ShortAndLongHintSplitAtTheFirstBar)
{
    const struct {
        const char* Hint;
        const char* Short;
        const char* Long;
    } cases[] = {{"Save|Saves the note", "Save", "Saves the note"}, {"Exit", "Exit", "Exit"}, {"", "", ""},
                 {"a|b|c", "a", "b|c"}, {"|only long", "", "only long"}, {"only short|", "only short", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetShortHint(c.Hint), c.Short) << c.Hint;
        EXPECT_EQ(GetLongHint(c.Hint), c.Long) << c.Hint;
    }
}

TEST(Controls, ParentShowHintFollowsTheParentUntilShowHintIsSet)
{
    std::unique_ptr<TForm> form(CreateObject<TForm>(nullptr));
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    auto* label = new TLabel(form.get());
    label->SetParent(panel);
    form->SetShowHint(true);
    EXPECT_TRUE(panel->ShowHint());
    EXPECT_TRUE(label->ShowHint());  // through the panel
    auto* late = new TLabel(form.get());
    late->SetParent(panel);
    EXPECT_TRUE(late->ShowHint());  // takes the parent's value when it joins
    label->SetShowHint(false);
    EXPECT_FALSE(label->ParentShowHint());
    form->SetShowHint(false);
    form->SetShowHint(true);
    EXPECT_FALSE(label->ShowHint());
    EXPECT_TRUE(late->ShowHint());
    panel->SetShowHint(false);
    label->SetParentShowHint(true);
    EXPECT_FALSE(label->ShowHint());
    EXPECT_FALSE(late->ShowHint());
    EXPECT_TRUE(label->ParentShowHint());
}

BOOL CALLBACK FindHintWindow(HWND window, LPARAM data)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "THintWindow") return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

// The hint window of this program (other programs on the desktop may show theirs).
HWND OwnHintWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindHintWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool HintShowing()
{
    HWND window = OwnHintWindow();
    return window && IsWindowVisible(window);
}

std::string HintText()
{
    char text[128] = {};
    GetWindowTextA(OwnHintWindow(), text, sizeof text);
    return text;
}

// A form on top of everything, so the real mouse pointer rests over its panels.
class Hints : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = CreateObject<TForm>(nullptr);
        form->SetFormStyle(fsStayOnTop);
        form->SetBounds(200, 200, 320, 160);
        form->SetShowHint(true);
        hinted = AddPanel(10, "Save|Saves the note");
        plain = AddPanel(160, "");
        Application->SetHintPause(150);
        Application->SetHintHidePause(5000);
        Application->SetHintColor(clYellow);
        Application->OnHint = [this](TObject*) { heard.push_back(Application->Hint()); };
        SetCursorPos(0, 0);
        form->Show();
        ActivateForm(form);
        heard.clear();
    }

    void TearDown() override
    {
        Application->OnHint = nullptr;
        Application->CancelHint();
        Application->SetHintPause(500);
        Application->SetHintHidePause(2500);
        Application->SetShowHint(true);
        Application->SetHintColor(clInfoBk);
        delete form;
        PumpMessages(20);
        EXPECT_EQ(ShownTexts(dialogs), "");
    }

    TPanel* AddPanel(Integer left, const std::string& hint)
    {
        auto* panel = new TPanel(form);
        panel->SetParent(form);
        panel->SetBounds(left, 10, 140, 60);
        panel->SetHint(hint);
        return panel;
    }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TPanel* hinted = nullptr;
    TPanel* plain = nullptr;
    std::vector<std::string> heard;
};

TEST_F(Hints, ShortHintShowsAfterThePauseAndTheLongOneGoesToOnHint)
{
    MoveMouseOver(hinted);
    PumpFor(60);
    EXPECT_EQ(heard, std::vector<std::string>{"Saves the note"});
    EXPECT_EQ(Application->Hint(), "Saves the note");
    EXPECT_FALSE(HintShowing());
    ASSERT_TRUE(PumpUntil(HintShowing));
    EXPECT_EQ(HintText(), "Save");
    RECT hintRect, panelRect;
    GetWindowRect(OwnHintWindow(), &hintRect);
    GetWindowRect(hinted->Handle(), &panelRect);
    EXPECT_GT(hintRect.top, panelRect.top);  // below the pointer in the middle of the panel
    EXPECT_TRUE(GetWindowLongA(OwnHintWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    PumpMessages();
    RECT client;
    GetClientRect(OwnHintWindow(), &client);
    HDC dc = GetDC(OwnHintWindow());
    EXPECT_EQ(GetPixel(dc, client.right - 2, 0), COLORREF(clYellow));  // HintColor behind the text
    ReleaseDC(OwnHintWindow(), dc);

    MoveMouseOver(plain);  // the mouse leaves for a control without a hint
    PumpFor(60);
    EXPECT_FALSE(HintShowing());
    EXPECT_EQ(heard, (std::vector<std::string>{"Saves the note", ""}));
}

TEST_F(Hints, HintHidesAfterTheHidePauseAndOnAKeyOrAClick)
{
    Application->SetHintHidePause(300);
    MoveMouseOver(hinted);
    ASSERT_TRUE(PumpUntil(HintShowing));
    const DWORD shown = GetTickCount();
    ASSERT_TRUE(PumpUntil([] { return !HintShowing(); }));
    EXPECT_GE(GetTickCount() - shown, 270u);
    PumpFor(200);
    EXPECT_FALSE(HintShowing());  // resting on the same control does not bring it back

    Application->SetHintHidePause(5000);
    const struct {
        const char* Name;
        UINT Msg;
        WPARAM WParam;
    } endings[] = {{"key", WM_KEYDOWN, VK_SHIFT}, {"click", WM_LBUTTONDOWN, MK_LBUTTON}};
    for (const auto& ending : endings) {
        MoveMouseOver(plain);
        MoveMouseOver(hinted);
        ASSERT_TRUE(PumpUntil(HintShowing)) << ending.Name;
        PostMessageA(hinted->Handle(), ending.Msg, ending.WParam, MAKELPARAM(5, 5));
        PumpFor(30);
        EXPECT_FALSE(HintShowing()) << ending.Name;
        PostMessageA(hinted->Handle(), ending.Msg == WM_KEYDOWN ? WM_KEYUP : WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
}

TEST_F(Hints, ADisabledControlShowsItsHintToo)
{
    auto* label = new TLabel(form);
    label->SetParent(plain);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 80, 30);
    label->SetHint("Off|Not available now");
    label->SetEnabled(false);
    MoveMouseOver(label);
    ASSERT_TRUE(PumpUntil(HintShowing));
    EXPECT_EQ(HintText(), "Off");
    EXPECT_EQ(Application->Hint(), "Not available now");
}

TEST_F(Hints, NoHintWindowWithoutShowHintButOnHintStillHears)
{
    const struct {
        const char* Name;
        bool ControlShowHint;
        bool ApplicationShowHint;
    } cases[] = {{"control", false, true}, {"application", true, false}};
    for (const auto& c : cases) {
        hinted->SetShowHint(c.ControlShowHint);
        Application->SetShowHint(c.ApplicationShowHint);
        MoveMouseOver(plain);
        PumpFor(30);
        heard.clear();
        MoveMouseOver(hinted);
        PumpFor(400);
        EXPECT_FALSE(HintShowing()) << c.Name;
        EXPECT_EQ(heard, std::vector<std::string>{"Saves the note"}) << c.Name;
    }
}

}  // namespace
