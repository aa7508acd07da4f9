// Helpers for GUI tests: pump the queue until idle, type keys through the real input queue, click controls, script
// the answers of message boxes and modal forms, and save a window's image as a PNG file.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

// Runs the application's message loop (message filter, dialog keys and all) until no message came for quietMs.
void PumpMessages(DWORD quietMs = 60);
// Presses and releases a key (with Shift/Ctrl/Alt held as asked) through the input queue, then pumps.
void TypeKey(Word key, TShiftState shift = {});
// Types letters, digits and blanks (upper-case letters with Shift).
void TypeText(const std::string& text);
// A left click in the middle of the control, posted to its window (or its parent's for a graphic control): no real
// input, so no hook, capture or cursor position sees it.
void ClickControl(TControl* control);
// Real mouse input: SendInput moves the real cursor and presses real buttons (Shift, Ctrl and Alt held through the
// input queue as asked), so mouse hooks, capture and GetCursorPos loops see what a person's mouse does. Points are in
// the control's client coordinates (a graphic control's own; they may lie outside it). Each event is handled before
// the next is sent, also inside a modal loop that the gesture starts; the queue is pumped until quiet at the end.
void MouseClick(TControl* control, TPoint at, TMouseButton button = mbLeft, TShiftState shift = {});
void MouseDoubleClick(TControl* control, TPoint at, TShiftState shift = {});
// Presses the left button at from, moves to `to` in steps, releases there: also a drag that starts a modal loop
// (a form's border sized by the mouse).
void MouseDrag(TControl* control, TPoint from, TPoint to, Integer steps = 4, TShiftState shift = {});
// A drag's parts, for a test that looks in between (a press that starts a modal loop needs MouseDrag). The
// modifiers stay down from the press to the release.
void MousePress(TControl* control, TPoint at, TMouseButton button = mbLeft, TShiftState shift = {});
void MouseMoveTo(TControl* control, TPoint at, Integer steps = 1);
void MouseRelease(TControl* control, TPoint at, TMouseButton button = mbLeft, TShiftState shift = {});
// Sizes the form by its bottom-right corner as a person does: the system's sizing loop follows real mouse moves and
// ends with the button's release. (No window manager draws the borders here, so a press on them reaches no window:
// the loop starts from its system command, as a press on the border starts it.)
void SizeFormByMouse(TCustomForm* form, Integer dx, Integer dy);
// Brings the form to the front and gives it the input focus.
void ActivateForm(TCustomForm* form);
// Runs the application's message loop until the condition holds (true) or timeoutMs pass (false).
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000);
// Runs the application's message loop for a while, however busy the queue is.
void PumpFor(DWORD ms);
// Puts the real mouse pointer in the middle of the control and posts the move to its window (no pumping).
void MoveMouseOver(TControl* control);
// Posts a key-down straight to a window, as a modal loop (a popup menu) reads it from the queue.
void PostKeyDown(HWND window, Word key);

// Keeps what the canvases it listens to draw, in order (attach it with TCanvas::SetListener).
class TCanvasRecorder : public TCanvasListener {
public:
    std::vector<TCanvasDrawing> Drawings;

    void Drawn(const TCanvasDrawing& drawing) override { Drawings.push_back(drawing); }
    // The drawings that lie within the rectangle (a cell's drawing), in order.
    std::vector<TCanvasDrawing> Within(const TRect& rect) const;
};

// The kinds of the drawings, in order ("FillRect", "DrawText", ...).
std::vector<std::string> DrawingKinds(const std::vector<TCanvasDrawing>& drawings);

// A dialog service that answers from a script and records every box it was asked to show.
class TScriptedDialogs : public TDialogService {
public:
    struct TShownBox {
        std::string Kind;  // "MessageBox", "MessageDlg", "InputQuery"
        std::string Text;
        std::string Caption;
        UINT Flags = 0;
        TMsgDlgType Type = mtCustom;
        TMsgDlgButtons Buttons;
    };

    TScriptedDialogs();
    ~TScriptedDialogs() override;

    // The next message box or MessageDlg returns this (default: IDOK / mrOk).
    void AnswerNextBox(Integer result);
    // The next InputQuery returns this value (false: cancelled).
    void AnswerNextInput(bool ok, const std::string& value = "");
    // The next modal form is shown for real; the script runs once inside its modal loop (it may type keys, click or
    // set ModalResult). Without a script the form's modal loop runs until something ends it.
    void AnswerNextModalForm(std::function<void(TCustomForm* form)> script);
    // The next common dialog's Execute returns this after the script (which may fill in the dialog).
    void AnswerNextCommonDialog(bool result, std::function<void(TCommonDialog*)> script = nullptr);

    std::vector<TShownBox> Shown;

    Integer MessageBox(const std::string& text, const std::string& caption, UINT flags) override;
    TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, Integer x,
                            Integer y) override;
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
    TModalResult ShowModal(TCustomForm* form) override;
    bool Execute(TCommonDialog* dialog) override;

private:
    TDialogService* previous_;
    std::deque<Integer> boxAnswers_;
    std::deque<std::pair<bool, std::string>> inputAnswers_;
    std::deque<std::function<void(TCustomForm*)>> modalScripts_;
    std::deque<std::pair<bool, std::function<void(TCommonDialog*)>>> commonAnswers_;
};

// Saves what the window shows (client and frame) as a 24-bit PNG; false when it cannot.
bool SaveWindowToPng(HWND window, const std::string& fileName);
