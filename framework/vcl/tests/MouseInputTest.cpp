// Real mouse input for tests: clicks and drags go through SendInput with the cursor moved, so a thread mouse hook,
// the cursor position and mouse capture see them as they see a person's mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/TestHelpers.h"

namespace {

struct THookedMessage {
    WPARAM Msg;
    POINT Pt;
};

std::vector<THookedMessage> hooked;

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam != WM_MOUSEMOVE && wParam != WM_NCMOUSEMOVE)
        hooked.push_back({wParam, reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct TMouseCall {
    std::string Kind;
    TMouseButton Button;
    TShiftState Shift;
    Integer X, Y;
};

class MouseInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = CreateObject<TForm>(nullptr);
        form->SetBounds(80, 80, 360, 240);
        panel = new TPanel(form);
        panel->SetParent(form);
        panel->SetBounds(20, 20, 200, 120);
        panel->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState shift, Integer x, Integer y) {
            calls.push_back({"down", button, shift, x, y});
        };
        panel->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState shift, Integer x, Integer y) {
            calls.push_back({"up", button, shift, x, y});
        };
        panel->OnDblClick = [this](TObject*) { calls.push_back({"double", mbLeft, {}, 0, 0}); };
        form->Show();
        ActivateForm(form);
        hooked.clear();
    }

    void TearDown() override
    {
        delete form;
        PumpMessages(20);
    }

    TScriptedDialogs dialogs;
    TForm* form = nullptr;
    TPanel* panel = nullptr;
    std::vector<TMouseCall> calls;
};

TEST_F(MouseInput, AClickReachesAThreadMouseHookAtTheCursor)
{
    HHOOK hook = SetWindowsHookExA(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    MouseClick(panel, Point(30, 40));
    UnhookWindowsHookEx(hook);

    const TPoint screen = panel->ClientToScreen(Point(30, 40));
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, screen.x);
    EXPECT_EQ(cursor.y, screen.y);
    ASSERT_EQ(hooked.size(), 2u);
    EXPECT_EQ(hooked[0].Msg, WPARAM(WM_LBUTTONDOWN));
    EXPECT_EQ(hooked[1].Msg, WPARAM(WM_LBUTTONUP));
    EXPECT_EQ(hooked[0].Pt.x, screen.x);
    EXPECT_EQ(hooked[0].Pt.y, screen.y);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Kind, "down");
    EXPECT_EQ(calls[0].X, 30);
    EXPECT_EQ(calls[0].Y, 40);
}

TEST_F(MouseInput, ButtonsModifiersAndDoubleClicksArriveAsAPersonMakesThem)
{
    MouseClick(panel, Point(10, 10), mbRight);
    MouseClick(panel, Point(12, 14), mbLeft, {ssCtrl});
    MouseClick(panel, Point(16, 18), mbLeft, {ssShift});
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].Button, mbRight);
    EXPECT_TRUE(calls[0].Shift.Contains(ssRight));
    EXPECT_EQ(calls[2].Button, mbLeft);
    EXPECT_TRUE(calls[2].Shift.Contains(ssCtrl));
    EXPECT_FALSE(calls[2].Shift.Contains(ssShift));
    EXPECT_TRUE(calls[4].Shift.Contains(ssShift));
    EXPECT_FALSE(calls[4].Shift.Contains(ssCtrl));
    EXPECT_TRUE(GetShiftState().Empty());  // the modifiers are up again

    calls.clear();
    MouseDoubleClick(panel, Point(50, 50));
    std::vector<std::string> kinds;
    for (const TMouseCall& call : calls) kinds.push_back(call.Kind);
    EXPECT_EQ(kinds, (std::vector<std::string>{"down", "up", "double", "down", "up"}));
}

// The control pressed keeps the mouse while the button is down: the release outside it comes back to it.
TEST_F(MouseInput, ADragOutOfAControlEndsInThatControl)
{
    MousePress(panel, Point(100, 60));
    EXPECT_EQ(GetCapture(), panel->Handle());
    MouseMoveTo(panel, Point(260, 180), 5);
    EXPECT_EQ(WindowFromPoint(panel->ClientToScreen(Point(260, 180))), form->Handle());
    MouseRelease(panel, Point(260, 180));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].Kind, "up");
    EXPECT_EQ(calls[1].X, 260);
    EXPECT_EQ(calls[1].Y, 180);
    EXPECT_EQ(GetCapture(), nullptr);
}

// The system's own sizing loop runs on real moves: the form follows the mouse.
TEST_F(MouseInput, AFormIsSizedByItsCornerThroughTheSystemsSizingLoop)
{
    form->OnResize = [this](TObject*) { calls.push_back({"resize", mbLeft, {}, form->Width(), form->Height()}); };
    SizeFormByMouse(form, 100, 80);
    EXPECT_EQ(form->Width(), 460);
    EXPECT_EQ(form->Height(), 320);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().X, 460);
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
