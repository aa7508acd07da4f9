// The clipboard as the controls and tests read it.
#pragma once

#include <string>

#include "rtl/WinApi.h"

// The clipboard's text (CF_TEXT), opened for the window (nullptr: the calling task); empty when the clipboard holds
// no text or cannot be opened.
std::string ClipboardText(HWND window = nullptr);
