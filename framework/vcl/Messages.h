// Window messages as the framework sees them: the message record, typed views of it, and the framework's own
// message numbers (CM_ control messages, CN_ notifications reflected back to the control that caused them).
#pragma once

#include <cstddef>

#include "rtl/Types.h"
#include "rtl/WinApi.h"

struct TMessage {
    Cardinal Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;

    Word WParamLo() const { return LOWORD(WParam); }
    Word WParamHi() const { return HIWORD(WParam); }
    Word LParamLo() const { return LOWORD(LParam); }
    Word LParamHi() const { return HIWORD(LParam); }
};
static_assert(sizeof(TMessage) == 4 * sizeof(void*));

// The typed views overlay TMessage field for field. In the 64-bit layout the message number, WParam and LParam are
// followed by filler up to the next 8-byte field.

// Key messages: WM_KEYDOWN, WM_CHAR, CN_KEYDOWN, CM_DIALOGKEY, ...
struct TWMKey {
    Cardinal Msg;
#ifdef _WIN64
    Cardinal MsgFiller;
#endif
    Word CharCode;
    Word Unused;
#ifdef _WIN64
    Cardinal WordFiller;
#endif
    LongInt KeyData;
#ifdef _WIN64
    Cardinal LParamFiller;
#endif
    LRESULT Result;
};

// Mouse messages: WM_LBUTTONDOWN, WM_MOUSEMOVE, ...
struct TWMMouse {
    Cardinal Msg;
#ifdef _WIN64
    Cardinal MsgFiller;
#endif
    LongInt Keys;
#ifdef _WIN64
    Cardinal KeysFiller;
#endif
    SmallInt XPos;
    SmallInt YPos;
#ifdef _WIN64
    Cardinal XYFiller;
#endif
    LRESULT Result;
};

#define DUN_CHECK_MESSAGE_VIEW(T, wparamField, lparamField)                    \
    static_assert(sizeof(T) == sizeof(TMessage));                              \
    static_assert(offsetof(T, wparamField) == offsetof(TMessage, WParam));     \
    static_assert(offsetof(T, lparamField) == offsetof(TMessage, LParam));     \
    static_assert(offsetof(T, Result) == offsetof(TMessage, Result))
DUN_CHECK_MESSAGE_VIEW(TWMKey, CharCode, KeyData);
DUN_CHECK_MESSAGE_VIEW(TWMMouse, Keys, XPos);
#undef DUN_CHECK_MESSAGE_VIEW

template <class T>
T& MessageAs(TMessage& message)
{
    static_assert(sizeof(T) == sizeof(TMessage));
    return reinterpret_cast<T&>(message);
}

using TMsg = MSG;

constexpr Cardinal CM_BASE = 0xB000;
constexpr Cardinal CM_ACTIVATE = CM_BASE + 0;
constexpr Cardinal CM_DEACTIVATE = CM_BASE + 1;
constexpr Cardinal CM_GOTFOCUS = CM_BASE + 2;
constexpr Cardinal CM_LOSTFOCUS = CM_BASE + 3;
constexpr Cardinal CM_CANCELMODE = CM_BASE + 4;
constexpr Cardinal CM_DIALOGKEY = CM_BASE + 5;
constexpr Cardinal CM_DIALOGCHAR = CM_BASE + 6;
constexpr Cardinal CM_FOCUSCHANGED = CM_BASE + 7;
constexpr Cardinal CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr Cardinal CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr Cardinal CM_HITTEST = CM_BASE + 10;
constexpr Cardinal CM_VISIBLECHANGED = CM_BASE + 11;
constexpr Cardinal CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr Cardinal CM_COLORCHANGED = CM_BASE + 13;
constexpr Cardinal CM_FONTCHANGED = CM_BASE + 14;
constexpr Cardinal CM_CURSORCHANGED = CM_BASE + 15;
constexpr Cardinal CM_PARENTCTL3DCHANGED = CM_BASE + 16;
constexpr Cardinal CM_CTL3DCHANGED = CM_BASE + 17;
constexpr Cardinal CM_TEXTCHANGED = CM_BASE + 18;
constexpr Cardinal CM_MOUSEENTER = CM_BASE + 19;
constexpr Cardinal CM_MOUSELEAVE = CM_BASE + 20;
constexpr Cardinal CM_MENUCHANGED = CM_BASE + 21;
constexpr Cardinal CM_APPKEYDOWN = CM_BASE + 22;
constexpr Cardinal CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr Cardinal CM_BUTTONPRESSED = CM_BASE + 24;
constexpr Cardinal CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr Cardinal CM_ENTER = CM_BASE + 26;
constexpr Cardinal CM_EXIT = CM_BASE + 27;
constexpr Cardinal CM_DESIGNHITTEST = CM_BASE + 28;
constexpr Cardinal CM_ICONCHANGED = CM_BASE + 29;
constexpr Cardinal CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr Cardinal CM_INVOKEHELP = CM_BASE + 31;
constexpr Cardinal CM_WINDOWHOOK = CM_BASE + 32;
constexpr Cardinal CM_RELEASE = CM_BASE + 33;
constexpr Cardinal CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr Cardinal CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr Cardinal CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr Cardinal CM_WININICHANGE = CM_BASE + 37;
constexpr Cardinal CM_FONTCHANGE = CM_BASE + 38;
constexpr Cardinal CM_TIMECHANGE = CM_BASE + 39;
constexpr Cardinal CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr Cardinal CM_UIACTIVATE = CM_BASE + 41;
constexpr Cardinal CM_UIDEACTIVATE = CM_BASE + 42;
constexpr Cardinal CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr Cardinal CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr Cardinal CM_GETDATALINK = CM_BASE + 45;
constexpr Cardinal CM_CHILDKEY = CM_BASE + 46;
constexpr Cardinal CM_HINTSHOW = CM_BASE + 48;
constexpr Cardinal CM_RECREATEWND = CM_BASE + 51;
constexpr Cardinal CM_INVALIDATE = CM_BASE + 52;
constexpr Cardinal CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr Cardinal CM_CONTROLCHANGE = CM_BASE + 54;
constexpr Cardinal CM_CHANGED = CM_BASE + 55;

constexpr Cardinal CN_BASE = 0xBC00;
constexpr Cardinal CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr Cardinal CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr Cardinal CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr Cardinal CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr Cardinal CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr Cardinal CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr Cardinal CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr Cardinal CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr Cardinal CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr Cardinal CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr Cardinal CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr Cardinal CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr Cardinal CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr Cardinal CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr Cardinal CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr Cardinal CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr Cardinal CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr Cardinal CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr Cardinal CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr Cardinal CN_CHAR = CN_BASE + WM_CHAR;
constexpr Cardinal CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr Cardinal CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr Cardinal CN_NOTIFY = CN_BASE + WM_NOTIFY;
