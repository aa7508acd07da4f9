// Real windows on this machine: a synthesised Tab moves the focus between two edits, and the first edit sees the
// focus leave.
#include "rtl/WinApi.h"

#include <gtest/gtest.h>

namespace {

constexpr int FirstEditId = 101;
constexpr int SecondEditId = 102;
bool firstEditLostFocus = false;

LRESULT CALLBACK HostWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == FirstEditId && HIWORD(wParam) == EN_KILLFOCUS)
        firstEditLostFocus = true;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND MakeHostWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SmokeHost";
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    return CreateWindowExA(WS_EX_CONTROLPARENT, "SmokeHost", "Smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                           150, nullptr, nullptr, wc.hInstance, nullptr);
}

HWND MakeEdit(HWND parent, int id, int top)
{
    return CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, top, 200, 24, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

// Pumps the queue as a dialog-style loop does, so Tab moves between tab stops.
void PumpFor(HWND dialog, DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Sleep(10);
    }
}

}  // namespace

TEST(WindowSmoke, SynthesisedTabMovesFocusToNextEdit)
{
    HWND host = MakeHostWindow();
    ASSERT_NE(host, nullptr);
    HWND first = MakeEdit(host, FirstEditId, 10);
    HWND second = MakeEdit(host, SecondEditId, 50);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    SetForegroundWindow(host);
    SetFocus(first);
    PumpFor(host, 200);
    ASSERT_EQ(GetFocus(), first);

    keybd_event(VK_TAB, 0, 0, 0);
    keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
    PumpFor(host, 500);

    EXPECT_EQ(GetFocus(), second);
    EXPECT_TRUE(firstEditLostFocus);
    DestroyWindow(host);
}
