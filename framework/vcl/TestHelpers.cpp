#include "vcl/TestHelpers.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>

// ---- pumping and input

void PumpMessages(DWORD quietMs)
{
    DWORD lastMessage = GetTickCount();
    for (;;) {
        MSG peek;
        if (PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            Application->ProcessMessages();
            lastMessage = GetTickCount();
            continue;
        }
        if (GetTickCount() - lastMessage >= quietMs) return;
        Sleep(5);
    }
}

namespace {

void PressModifiers(TShiftState shift, bool down)
{
    const DWORD flags = down ? 0 : KEYEVENTF_KEYUP;
    if (shift.Contains(ssShift)) keybd_event(VK_SHIFT, 0, flags, 0);
    if (shift.Contains(ssCtrl)) keybd_event(VK_CONTROL, 0, flags, 0);
    if (shift.Contains(ssAlt)) keybd_event(VK_MENU, 0, flags, 0);
}

}  // namespace

void TypeKey(Word key, TShiftState shift)
{
    PressModifiers(shift, true);
    keybd_event(BYTE(key), 0, 0, 0);
    keybd_event(BYTE(key), 0, KEYEVENTF_KEYUP, 0);
    PressModifiers(shift, false);
    PumpMessages();
}

void TypeText(const std::string& text)
{
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        if (scan == -1) continue;
        TShiftState shift;
        if (scan & 0x100) shift.Include(ssShift);
        TypeKey(Word(scan & 0xFF), shift);
    }
}

void ClickControl(TControl* control)
{
    HWND window;
    Integer x = control->Width() / 2, y = control->Height() / 2;
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        window = windowed->Handle();
    } else {
        window = control->Parent()->Handle();
        x += control->Left();
        y += control->Top();
    }
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpMessages();
}

namespace {

using TInputStep = std::function<void()>;

// A mouse event at a screen point: absolute coordinates run 0..65535 over the primary screen.
TInputStep MouseEvent(DWORD flags, TPoint screen)
{
    return [flags, screen] {
        const Integer width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = LONG((Int64(screen.x) * 65536 + width - 1) / width);
        input.mi.dy = LONG((Int64(screen.y) * 65536 + height - 1) / height);
        input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
    };
}

TInputStep ModifierKeys(TShiftState shift, bool down)
{
    return [shift, down] { PressModifiers(shift, down); };
}

DWORD ButtonFlags(TMouseButton button, bool down)
{
    switch (button) {
    case mbRight: return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case mbMiddle: return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
    default: return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
}

// The moves from one screen point to another, in steps.
void AddMoves(std::vector<TInputStep>& steps, TPoint from, TPoint to, Integer count)
{
    for (Integer step = 1; step <= count; ++step)
        steps.push_back(MouseEvent(0, Point(from.x + (to.x - from.x) * step / count,
                                            from.y + (to.y - from.y) * step / count)));
}

std::deque<TInputStep>& PendingSteps()
{
    static std::deque<TInputStep> steps;
    return steps;
}

void CALLBACK SendNextStep(HWND, UINT, UINT_PTR, DWORD)
{
    if (PendingSteps().empty()) return;
    TInputStep step = std::move(PendingSteps().front());
    PendingSteps().pop_front();
    step();
}

// Sends one step per tick of a thread timer. A timer ticks only when nothing else waits in the queue, so each step
// is handled before the next is sent, also by a modal loop that a step starts (a form sized by its border).
void SendSteps(const std::vector<TInputStep>& steps)
{
    PendingSteps().insert(PendingSteps().end(), steps.begin(), steps.end());
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, SendNextStep);
    PumpUntil([] { return PendingSteps().empty(); }, 10000);
    KillTimer(nullptr, timer);
    PendingSteps().clear();
    PumpMessages(20);  // short: a control's own timer (a drag scrolling) may tick on
}

}  // namespace

void MousePress(TControl* control, TPoint at, TMouseButton button, TShiftState shift)
{
    SendSteps({ModifierKeys(shift, true), MouseEvent(ButtonFlags(button, true), control->ClientToScreen(at))});
}

void MouseMoveTo(TControl* control, TPoint at, Integer steps)
{
    POINT from;
    GetCursorPos(&from);
    std::vector<TInputStep> moves;
    AddMoves(moves, from, control->ClientToScreen(at), steps);
    SendSteps(moves);
}

void MouseRelease(TControl* control, TPoint at, TMouseButton button, TShiftState shift)
{
    SendSteps({MouseEvent(ButtonFlags(button, false), control->ClientToScreen(at)), ModifierKeys(shift, false)});
}

void MouseClick(TControl* control, TPoint at, TMouseButton button, TShiftState shift)
{
    const TPoint screen = control->ClientToScreen(at);
    SendSteps({ModifierKeys(shift, true), MouseEvent(ButtonFlags(button, true), screen),
               MouseEvent(ButtonFlags(button, false), screen), ModifierKeys(shift, false)});
}

void MouseDoubleClick(TControl* control, TPoint at, TShiftState shift)
{
    const TPoint screen = control->ClientToScreen(at);
    SendSteps({ModifierKeys(shift, true), MouseEvent(MOUSEEVENTF_LEFTDOWN, screen),
               MouseEvent(MOUSEEVENTF_LEFTUP, screen), MouseEvent(MOUSEEVENTF_LEFTDOWN, screen),
               MouseEvent(MOUSEEVENTF_LEFTUP, screen), ModifierKeys(shift, false)});
}

void MouseDrag(TControl* control, TPoint from, TPoint to, Integer steps, TShiftState shift)
{
    const TPoint start = control->ClientToScreen(from), end = control->ClientToScreen(to);
    std::vector<TInputStep> gesture{MouseEvent(0, start), ModifierKeys(shift, true),
                                    MouseEvent(MOUSEEVENTF_LEFTDOWN, start)};
    AddMoves(gesture, start, end, steps);
    gesture.push_back(MouseEvent(MOUSEEVENTF_LEFTUP, end));
    gesture.push_back(ModifierKeys(shift, false));
    SendSteps(gesture);
}

void SizeFormByMouse(TCustomForm* form, Integer dx, Integer dy)
{
    HWND window = form->Handle();
    RECT frame;
    GetWindowRect(window, &frame);
    const TPoint corner = Point(frame.right - 1, frame.bottom - 1), end = Point(corner.x + dx, corner.y + dy);
    std::vector<TInputStep> gesture{MouseEvent(0, corner), [window, corner] {
        PostMessageA(window, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, MAKELPARAM(corner.x, corner.y));
    }};
    AddMoves(gesture, corner, end, 5);
    gesture.push_back(MouseEvent(MOUSEEVENTF_LEFTUP, end));
    SendSteps(gesture);
}

void ActivateForm(TCustomForm* form)
{
    SetForegroundWindow(form->Handle());
    SetActiveWindow(form->Handle());
    PumpMessages();
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Application->ProcessMessages();
        Sleep(2);
    }
    return true;
}

void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

void MoveMouseOver(TControl* control)
{
    const TPoint middle = Point(control->Width() / 2, control->Height() / 2);
    const TPoint screen = control->ClientToScreen(middle);
    SetCursorPos(screen.x, screen.y);
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        PostMessageA(windowed->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(middle.x, middle.y));
        return;
    }
    PostMessageA(control->Parent()->Handle(), WM_MOUSEMOVE, 0,
                 MAKELPARAM(middle.x + control->Left(), middle.y + control->Top()));
}

void PostKeyDown(HWND window, Word key)
{
    PostMessageA(window, WM_KEYDOWN, key, MAKELPARAM(1, MapVirtualKeyA(key, 0)));
}

// ---- drawing recorder

std::vector<TCanvasDrawing> TCanvasRecorder::Within(const TRect& rect) const
{
    std::vector<TCanvasDrawing> within;
    for (const TCanvasDrawing& drawing : Drawings) {
        const TRect& r = drawing.Rect;  // a line's ends may come in any order
        if (std::min(r.left, r.right) >= rect.left && std::max(r.left, r.right) <= rect.right &&
            std::min(r.top, r.bottom) >= rect.top && std::max(r.top, r.bottom) <= rect.bottom)
            within.push_back(drawing);
    }
    return within;
}

std::vector<std::string> DrawingKinds(const std::vector<TCanvasDrawing>& drawings)
{
    std::vector<std::string> kinds;
    for (const TCanvasDrawing& drawing : drawings) kinds.push_back(drawing.Kind);
    return kinds;
}

// ---- scripted dialogs

namespace {

std::map<UINT_PTR, std::pair<TCustomForm*, std::function<void(TCustomForm*)>>>& PendingScripts()
{
    static std::map<UINT_PTR, std::pair<TCustomForm*, std::function<void(TCustomForm*)>>> scripts;
    return scripts;
}

void CALLBACK RunModalScript(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto found = PendingScripts().find(id);
    if (found == PendingScripts().end()) return;
    auto [form, script] = std::move(found->second);
    PendingScripts().erase(found);
    try {
        script(form);
    } catch (...) {
        Application->HandleException(form);
    }
}

}  // namespace

TScriptedDialogs::TScriptedDialogs() : previous_(SetDialogService(this)) {}

TScriptedDialogs::~TScriptedDialogs() { SetDialogService(previous_); }

void TScriptedDialogs::AnswerNextBox(Integer result) { boxAnswers_.push_back(result); }

void TScriptedDialogs::AnswerNextInput(bool ok, const std::string& value) { inputAnswers_.emplace_back(ok, value); }

void TScriptedDialogs::AnswerNextModalForm(std::function<void(TCustomForm*)> script)
{
    modalScripts_.push_back(std::move(script));
}

void TScriptedDialogs::AnswerNextCommonDialog(bool result, std::function<void(TCommonDialog*)> script)
{
    commonAnswers_.emplace_back(result, std::move(script));
}

Integer TScriptedDialogs::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    Shown.push_back(TShownBox{"MessageBox", text, caption, flags, mtCustom, {}});
    if (boxAnswers_.empty()) return IDOK;
    const Integer answer = boxAnswers_.front();
    boxAnswers_.pop_front();
    return answer;
}

TModalResult TScriptedDialogs::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                          Integer x, Integer y)
{
    Shown.push_back(TShownBox{"MessageDlg", text, MessageDlgCaption(type), 0, type, buttons});
    if (boxAnswers_.empty()) return mrOk;
    const Integer answer = boxAnswers_.front();
    boxAnswers_.pop_front();
    return answer;
}

bool TScriptedDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    Shown.push_back(TShownBox{"InputQuery", prompt, caption, 0, mtCustom, {}});
    if (inputAnswers_.empty()) return false;
    auto [ok, answer] = inputAnswers_.front();
    inputAnswers_.pop_front();
    if (ok) value = answer;
    return ok;
}

TModalResult TScriptedDialogs::ShowModal(TCustomForm* form)
{
    if (!modalScripts_.empty()) {
        auto script = std::move(modalScripts_.front());
        modalScripts_.pop_front();
        const UINT_PTR id = SetTimer(nullptr, 0, 10, RunModalScript);
        PendingScripts()[id] = {form, std::move(script)};
    }
    return form->RunModal();
}

bool TScriptedDialogs::Execute(TCommonDialog* dialog)
{
    if (commonAnswers_.empty()) return false;
    auto [result, script] = std::move(commonAnswers_.front());
    commonAnswers_.pop_front();
    if (script) script(dialog);
    return result;
}

// ---- PNG

namespace {

uint32_t Crc32(const std::string& data, uint32_t crc = 0)
{
    static uint32_t table[256];
    static bool made = false;
    if (!made) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        made = true;
    }
    crc = ~crc;
    for (unsigned char byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBig32(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += char((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutBig32(out, uint32_t(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutBig32(out, Crc32(typed));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string StoredZlib(const std::string& data)
{
    std::string out = "\x78\x01";
    size_t pos = 0;
    do {
        const size_t length = std::min<size_t>(65535, data.size() - pos);
        const bool last = pos + length == data.size();
        out += char(last ? 1 : 0);
        out += char(length & 0xFF);
        out += char(length >> 8);
        out += char(~length & 0xFF);
        out += char((~length >> 8) & 0xFF);
        out.append(data, pos, length);
        pos += length;
    } while (pos < data.size());
    uint32_t a = 1, b = 0;
    for (unsigned char byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, (b << 16) | a);
    return out;
}

}  // namespace

bool SaveWindowToPng(HWND window, const std::string& fileName)
{
    RECT rect;
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC windowDc = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const int stride = (width * 3 + 3) & ~3;
    std::string raw;
    raw.reserve(size_t(height) * (width * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        const auto* row = static_cast<const unsigned char*>(bits) + size_t(y) * stride;
        for (int x = 0; x < width; ++x) {
            raw += char(row[x * 3 + 2]);
            raw += char(row[x * 3 + 1]);
            raw += char(row[x * 3]);
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBig32(header, width);
    PutBig32(header, height);
    header += std::string("\x08\x02\x00\x00\x00", 5);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", "");
    FILE* file = std::fopen(fileName.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    std::fclose(file);
    return written;
}
