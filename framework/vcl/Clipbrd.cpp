#include "vcl/Clipbrd.h"

std::string ClipboardText(HWND window)
{
    std::string text;
    if (!OpenClipboard(window)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}
