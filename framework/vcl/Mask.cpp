#include "vcl/Mask.h"

#include "vcl/Clipbrd.h"

namespace {
constexpr const char* MaskEditError = "Invalid input value.  Use escape key to abandon changes";
constexpr char CtrlC = 3, CtrlV = 22, CtrlX = 24;
}  // namespace

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::Publish(TPublisher<TCustomMaskEdit>& p)
{
    p.Property("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
}

void TCustomMaskEdit::SetEditMask(const std::string& mask)
{
    if (mask == editMask_) return;
    const std::string value = Text();
    editMask_ = mask;
    picture_ = TEditMaskPicture(mask);
    SetMaxLength(IsMasked() ? picture_.Length() : 0);
    SetTextBuf(value);
}

void TCustomMaskEdit::SetEditText(const std::string& text)
{
    TCustomEdit::SetTextBuf(text);
}

std::string TCustomMaskEdit::GetText() const
{
    if (!IsMasked()) return TCustomEdit::GetText();
    return picture_.TextFromEditText(EditText());
}

void TCustomMaskEdit::SetTextBuf(const std::string& text)
{
    TCustomEdit::SetTextBuf(IsMasked() ? picture_.EditTextFromText(text) : text);
}

void TCustomMaskEdit::WriteEditText(const std::string& text, Integer caret)
{
    if (HandleAllocated()) {
        // Replacing the selection notifies the change also in a multi-line window (WM_SETTEXT does not there).
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
        SendMessageA(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(Handle(), EM_SETSEL, caret, caret);
    } else {
        text_ = text;
        modified_ = true;
        savedSelStart_ = caret;
        savedSelLength_ = 0;
        Change();
    }
}

void TCustomMaskEdit::KeyDown(Word& key, TShiftState shift)
{
    TCustomEdit::KeyDown(key, shift);
    if (!IsMasked() || key == 0 || shift.Contains(ssAlt)) return;
    if (key == VK_DELETE && !shift.Contains(ssShift)) {
        if (!readOnly_ && EditCanModify()) DeleteKey();
        key = 0;
    }
}

void TCustomMaskEdit::KeyPress(char& key)
{
    TCustomEdit::KeyPress(key);
    if (!IsMasked() || key == 0 || key == CtrlC || key == CtrlV || key == CtrlX) return;
    CharKey(key);
    key = 0;
}

void TCustomMaskEdit::CharKey(char key)
{
    if (key == VK_ESCAPE) {
        Reset();
        return;
    }
    if (key != VK_BACK && static_cast<unsigned char>(key) < 32) return;
    if (readOnly_ || !EditCanModify()) return;
    if (key == VK_BACK)
        BackspaceKey();
    else if (!PlaceChar(key))
        MessageBeep(0);
}

bool TCustomMaskEdit::PlaceChar(char key)
{
    std::string text = EditText();
    text.resize(picture_.Length(), picture_.Blank());
    const Integer start = SelStart(), length = SelLength();
    const Integer slot = picture_.NextEditable(start);
    const char accepted = slot < picture_.Length() ? picture_.Accept(slot, key) : 0;
    // A typed literal jumps past the next literal equal to it: at once when it comes before the next slot,
    // otherwise when the next slot refuses the character.
    for (Integer i = start; i < picture_.Length(); ++i) {
        if (i >= slot && accepted) break;
        if (picture_.IsLiteral(i) && picture_.Slot(i).Char == key) {
            WriteEditText(text, picture_.NextEditable(i + 1));
            return true;
        }
    }
    if (!accepted) return false;
    for (Integer i = start; i < start + length && i < picture_.Length(); ++i)
        if (!picture_.IsLiteral(i)) text[i] = picture_.Blank();
    text[slot] = accepted;
    WriteEditText(text, picture_.NextEditable(slot + 1));
    return true;
}

void TCustomMaskEdit::BlankSlots(Integer from, Integer to)
{
    std::string text = EditText();
    text.resize(picture_.Length(), picture_.Blank());
    for (Integer i = from; i < to && i < picture_.Length(); ++i)
        if (!picture_.IsLiteral(i)) text[i] = picture_.Blank();
    WriteEditText(text, from);
}

void TCustomMaskEdit::BackspaceKey()
{
    const Integer start = SelStart(), length = SelLength();
    if (length > 0) {
        BlankSlots(start, start + length);
        return;
    }
    const Integer slot = picture_.PriorEditable(start);
    if (slot < 0) return;
    BlankSlots(slot, slot + 1);
}

void TCustomMaskEdit::DeleteKey()
{
    const Integer start = SelStart(), length = SelLength();
    BlankSlots(start, start + std::max<Integer>(length, 1));
}

void TCustomMaskEdit::PasteText()
{
    for (char ch : ClipboardText(Handle()))
        if (!PlaceChar(ch)) break;
}

void TCustomMaskEdit::Dispatch(TMessage& message)
{
    const bool editsText = message.Msg == WM_PASTE || message.Msg == WM_CUT || message.Msg == WM_CLEAR;
    if (IsMasked() && !readOnly_ && editsText) {
        if (!EditCanModify()) return;
        switch (message.Msg) {
        case WM_PASTE:
            PasteText();
            return;
        case WM_CUT:
            Perform(WM_COPY);
            BlankSlots(SelStart(), SelStart() + SelLength());
            return;
        case WM_CLEAR:
            BlankSlots(SelStart(), SelStart() + SelLength());
            return;
        default:
            break;
        }
    }
    TCustomEdit::Dispatch(message);
}

void TCustomMaskEdit::DoEnter()
{
    oldValue_ = EditText();
    TCustomEdit::DoEnter();
}

void TCustomMaskEdit::DoExit()
{
    if (IsMasked()) ValidateEdit();
    TCustomEdit::DoExit();
}

void TCustomMaskEdit::ValidateEdit()
{
    if (!IsMasked() || !Modified()) return;
    const Integer missing = picture_.FirstMissing(EditText());
    if (missing < 0) return;
    SetSelStart(missing);
    SetSelLength(0);
    ValidateError();
}

void TCustomMaskEdit::ValidateError()
{
    MessageBeep(0);
    throw EDBEditError(MaskEditError);
}

void TCustomMaskEdit::Reset()
{
    if (!Modified()) return;
    SetEditText(oldValue_);
    SetModified(false);
}
