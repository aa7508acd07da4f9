#include "vxcontrols/Vxdbcomb.h"

#include <algorithm>
#include <cctype>

#include "classes/ClassRegistry.h"
#include "db/DataLinks.h"
#include "db/Field.h"
#include "rtl/Clock.h"
#include "rtl/StringRoutines.h"
#include "vcl/Forms.h"
#include "vcl/Messages.h"
#include "vxcontrols/Vxdbigrd.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxstr.h"
#include "vxdata/vxDataSource.h"

namespace {

const bool registered = (RegisterClasses<TvxDBComboBox>(), true);

constexpr DWORD SearchResetMs = 1500;
constexpr size_t MaxSearchLength = 32;

// The one mouse hook of the combo boxes, installed while a list is open.
HHOOK comboBoxHook = nullptr;

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && UpperCase(text.substr(0, prefix.size())) == UpperCase(prefix);
}

}  // namespace

std::string vxComboDisplayPart(const std::string& line)
{
    Integer position = 1;
    std::string piece;
    vxNextToken(line, "\t", position, piece);
    return piece;
}

std::string vxComboValuePart(const std::string& line)
{
    Integer position = 1;
    std::string piece;
    vxNextToken(line, "\t", position, piece);
    if (position < 0) return "";
    vxNextToken(line, "\t", position, piece);
    return piece;
}

// ---- TvxPopupListbox

TvxPopupListbox::TvxPopupListbox(TComponent* owner) : TCustomListBox(owner)
{
    SetVisible(false);
    SetIntegralHeight(true);
    SetItemHeight(11);
    SetShowHint(false);
}

TvxDBComboBox* TvxPopupListbox::ComboBox() const { return dynamic_cast<TvxDBComboBox*>(Owner()); }

void TvxPopupListbox::CreateParams(TCreateParams& params)
{
    TCustomListBox::CreateParams(params);
    params.Style |= WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW;
}

// Made top-level at once, and told it has the focus so that its selection draws as focused and a click on it does
// not take the focus from the combo box.
void TvxPopupListbox::CreateWnd()
{
    TCustomListBox::CreateWnd();
    ::SetParent(handle_, nullptr);
    CallWindowProcA(defWndProc_, handle_, WM_SETFOCUS, 0, 0);
}

void TvxPopupListbox::Dispatch(TMessage& message)
{
    if (message.Msg == WM_MOUSEACTIVATE) {
        message.Result = MA_NOACTIVATE;
        return;
    }
    TCustomListBox::Dispatch(message);
}

void TvxPopupListbox::ExtendSearchText(char key)
{
    TvxDBComboBox* combo = ComboBox();
    if (combo->IsOwnerDraw()) {
        const Cardinal now = TickCount();
        if (now - lastKeyTick_ > SearchResetMs) searchText_.clear();
        lastKeyTick_ = now;
        if (searchText_.size() < MaxSearchLength) searchText_ += key;
        return;
    }
    searchText_ = combo->Text();
    if (searchText_.size() >= MaxSearchLength) return;
    const size_t start = std::min(size_t(combo->SelStart()), searchText_.size());
    const size_t end = std::min(start + size_t(combo->SelLength()), searchText_.size());
    searchText_ = searchText_.substr(0, start) + key + searchText_.substr(end);
}

void TvxPopupListbox::KeyPress(char& key)
{
    TCustomListBox::KeyPress(key);
    if (key == '\b' || key == 27) {
        searchText_.clear();
        return;
    }
    if (Byte(key) < 32 || !ComboBox()) return;
    ExtendSearchText(key);
    const std::string searched = searchText_.substr(0, 255);
    const auto row = Integer(SendMessageA(handle_, LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(searched.c_str())));
    if (row >= 0) SetItemIndex(row);
    else if (!ComboBox()->ShowMatchText()) SetItemIndex(-1);
    key = 0;
}

void TvxPopupListbox::DrawItem(Integer index, TRect rect, TOwnerDrawState state)
{
    TvxDBComboBox* combo = ComboBox();
    if (!combo || !combo->OnDrawItem) {
        TCustomListBox::DrawItem(index, rect, state);
        return;
    }
    if (!state.Contains(odSelected)) {
        Canvas()->Brush()->SetColor(color_);
        Canvas()->Font()->SetColor(font_->Color());
        Canvas()->FillRect(rect);
    }
    combo->DrawItemOn(Canvas(), index, rect, state);
}

// ---- the mouse hook

// Closes the open list of the active combo box, taking its row, when the left button goes down outside the list and
// the combo box.
LRESULT CALLBACK ComboBoxMouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallNextHookEx(comboBoxHook, code, wParam, lParam);
    if (code < 0 || (wParam != WM_LBUTTONDOWN && wParam != WM_NCLBUTTONDOWN)) return result;
    auto* combo = dynamic_cast<TvxDBComboBox*>(Screen->ActiveControl());
    try {
        if (!combo || !combo->listOpen_) return result;
        const POINT point = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
        RECT listRect, comboRect;
        GetWindowRect(combo->list_->Handle(), &listRect);
        GetWindowRect(combo->Handle(), &comboRect);
        if (!PtInRect(&listRect, point) && !PtInRect(&comboRect, point)) combo->CloseUp(true);
    } catch (...) {
        Application->HandleException(combo);
    }
    return result;
}

void TvxDBComboBox::ReleaseMouseHook()
{
    if (!comboBoxHook) return;
    UnhookWindowsHookEx(comboBoxHook);
    comboBoxHook = nullptr;
}

// ---- TvxDBComboBox

TvxDBComboBox::TvxDBComboBox(TComponent* owner)
        : TvxDBCustomCombo(owner), items_(std::make_unique<TStringList>())
{
    SetButtonStyle(cbsDownArrow);
    inheritedDataChange_ = DataLink()->OnDataChange;
    DataLink()->OnDataChange = [this](TObject*) { DataChange(); };
}

TvxDBComboBox::~TvxDBComboBox()
{
    DataLink()->OnDataChange = nullptr;
    ReleaseMouseHook();
}

void TvxDBComboBox::Publish(TPublisher<TvxDBComboBox>& p)
{
    p.Property("Style", &TvxDBComboBox::Style, &TvxDBComboBox::SetStyle).Default(csDropDown);
    p.Property("MapList", &TvxDBComboBox::MapList, &TvxDBComboBox::SetMapList).Default(false);
    p.Property("Items", &TvxDBComboBox::Items, &TvxDBComboBox::SetItems);
    p.Property("ItemIndex", &TvxDBComboBox::ItemIndex, &TvxDBComboBox::SetItemIndex).Default(-1);
    p.Property("Sorted", &TvxDBComboBox::Sorted, &TvxDBComboBox::SetSorted).Default(false);
    p.Property("DropDownCount", &TvxDBComboBox::DropDownCount, &TvxDBComboBox::SetDropDownCount).Default(8);
    p.Property("DropDownWidth", &TvxDBComboBox::DropDownWidth, &TvxDBComboBox::SetDropDownWidth).Default(0);
    p.Property("ItemHeight", &TvxDBComboBox::ItemHeight, &TvxDBComboBox::SetItemHeight).Default(0);
    p.Property("AutoDropDown", &TvxDBComboBox::AutoDropDown, &TvxDBComboBox::SetAutoDropDown).Default(false);
    p.Property("ShowMatchText", &TvxDBComboBox::ShowMatchText, &TvxDBComboBox::SetShowMatchText).Default(false);
    p.Property("AllowClearKey", &TvxDBComboBox::AllowClearKey, &TvxDBComboBox::SetAllowClearKey).Default(false);
    p.Property("OnDropDown", &TvxDBComboBox::OnDropDown);
    p.Property("OnCloseUp", &TvxDBComboBox::OnCloseUp);
    p.Property("OnDrawItem", &TvxDBComboBox::OnDrawItem);
    p.Property("OnMeasureItem", &TvxDBComboBox::OnMeasureItem);
}

void TvxDBComboBox::SetStyle(TComboBoxStyle value)
{
    if (value == csSimple) SetShowButton(false);
    else if (style_ == csSimple) SetShowButton(true);
    style_ = value;
    Invalidate();
}

void TvxDBComboBox::SetItems(TStrings* value)
{
    items_->Assign(value);
    DataChange();
}

void TvxDBComboBox::SetItemIndex(Integer index)
{
    storedIndex_ = index;
    if (list_) {
        SendMessageA(list_->Handle(), LB_SETCURSEL, index, 0);
        list_->SetItemIndex(index);
    }
    if (index >= 0 && index < items_->Count()) SetText(vxComboDisplayPart(items_->Strings(index)));
}

// A press on the combo box's button or list is no reason to drop the list: the press acts on it.
bool TvxDBComboBox::IsOwnPart(TControl* control) const
{
    return control == this || control == Button() || control == ButtonContainer() || control == list_;
}

bool TvxDBComboBox::InGrid() const { return dynamic_cast<TvxCustomDBGrid*>(Parent()) != nullptr; }

// ---- mapping

std::string TvxDBComboBox::MapToValue(const std::string& text) const
{
    if (!mapList_) return text;
    for (Integer i = 0; i < items_->Count(); ++i)
        if (vxComboDisplayPart(items_->Strings(i)) == text) return vxComboValuePart(items_->Strings(i));
    return "";
}

std::string TvxDBComboBox::MapToDisplay(const std::string& value) const
{
    if (!mapList_) return value;
    for (Integer i = 0; i < items_->Count(); ++i)
        if (vxComboValuePart(items_->Strings(i)) == value) return vxComboDisplayPart(items_->Strings(i));
    return "";
}

std::string TvxDBComboBox::GetStoredText()
{
    const std::string text = Text();
    if (style_ == csDropDown && text.empty()) return "";
    return MapToValue(text);
}

bool TvxDBComboBox::MapToDisplayText(const std::string& value, std::string& text)
{
    if (!mapList_) return false;
    text = MapToDisplay(value);
    return true;
}

bool TvxDBComboBox::CanEditText()
{
    if (IsOwnerDraw()) return false;
    return !(style_ == csDropDownList && !listOpen_ && !showMatchText_);
}

// ---- showing the field value

void TvxDBComboBox::ShowValue(const std::string& value)
{
    if (value == GetStoredText() && !(value.empty() && mapList_)) return;
    if (style_ == csDropDown && !mapList_) {
        SetText(value);
        storedIndex_ = items_->IndexOf(value);
        return;
    }
    Integer index = -1;
    if (mapList_) {
        for (Integer i = 0; i < items_->Count() && index < 0; ++i) {
            if (vxComboValuePart(items_->Strings(i)) != value) continue;
            index = i;
            SetText(vxComboDisplayPart(items_->Strings(i)));
        }
    } else if (!value.empty()) {
        index = items_->IndexOf(value);
    }
    SetItemIndex(index);
    if (index < 0 && ItemIndex() < 0) SetText("");
}

void TvxDBComboBox::DataChange()
{
    TField* field = Field();
    if (mapList_) {
        if (field) ShowValue(field->AsString());
        else ShowValue(ComponentState().Contains(csDesigning) ? Name() : std::string());
        return;
    }
    if (field) {
        ShowValue(field->DisplayText());
        if (IsOwnerDraw()) {
            storedIndex_ = items_->IndexOf(field->AsString());
            Invalidate();
        }
    }
    if (inheritedDataChange_) inheritedDataChange_(DataLink());
}

// ---- drop-down and close-up

void TvxDBComboBox::FillList()
{
    if (!list_) {
        list_ = new TvxPopupListbox(this);
        list_->SetParentWindow(Handle());
        list_->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, Integer x, Integer y) {
            const TRect client = list_->ClientRect();
            if (button == mbLeft && PtInRect(&client, Point(x, y))) CloseUp(true);
        };
        list_->OnMeasureItem = [this](TWinControl*, Integer index, Integer& height) {
            if (OnMeasureItem) OnMeasureItem(this, index, height);
        };
    }
    TStrings* rows = list_->Items();
    rows->BeginUpdate();
    rows->Clear();
    for (Integer i = 0; i < items_->Count(); ++i) rows->Add(vxComboDisplayPart(items_->Strings(i)));
    rows->EndUpdate();
}

// The list box never sorts by itself: Items is sorted already, so a row's index is its line's index in Items.
void TvxDBComboBox::PrepareList()
{
    if (style_ == csOwnerDrawFixed) list_->SetStyle(lbOwnerDrawFixed);
    else if (style_ == csOwnerDrawVariable) list_->SetStyle(lbOwnerDrawVariable);
    list_->SetColor(Color());
    list_->Font()->Assign(Font());
    list_->SetItemHeight(itemHeight_);
    list_->HandleNeeded();
}

void TvxDBComboBox::SelectListRow()
{
    Integer row = -1;
    TField* field = Field();
    if (IsOwnerDraw() && field) row = items_->IndexOf(field->AsString());
    else if (!Text().empty()) row = list_->Items()->IndexOf(Text());
    SendMessageA(list_->Handle(), LB_SETCURSEL, row, 0);
    list_->SetItemIndex(row);
}

void TvxDBComboBox::PlaceList()
{
    const Integer rows = std::min(list_->Items()->Count(), dropDownCount_);
    const Integer height = rows * list_->ItemHeight() + 4;
    const Integer width = dropDownWidth_ != 0 ? dropDownWidth_ : Width();
    const TPoint corner = Parent() ? Parent()->ClientToScreen(Point(Left(), Top())) : Point(Left(), Top());
    Integer y = corner.y + Height() - 1;
    if (y + height > GetSystemMetrics(SM_CYSCREEN)) y = corner.y - height;
    Integer x = corner.x;
    if (corner.x + width >= GetSystemMetrics(SM_CXSCREEN)) x = corner.x + Width() - 1 - width;
    SetWindowPos(list_->Handle(), HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TvxDBComboBox::DropDown()
{
    if (listOpen_ || style_ == csSimple) return;
    Repaint();
    FillList();
    if (OnDropDown) {
        OnDropDown(this);
        FillList();
    }
    PrepareList();
    SelectListRow();
    PlaceList();
    listOpen_ = true;
    firstKey_ = true;
    ::SetFocus(Handle());
    if (!autoDropping_ && CanEditText()) SelectAll();
    if (CanEditText()) ShowCaret(handle_);
    savedShowHint_ = ShowHint();
    SetShowHint(false);
    Repaint();
    if (!comboBoxHook) comboBoxHook = SetWindowsHookExA(WH_MOUSE, ComboBoxMouseHook, nullptr, GetCurrentThreadId());
}

void TvxDBComboBox::CloseUp(bool accept)
{
    const bool wasOpen = listOpen_;
    if (listOpen_) {
        if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
        const Integer row = list_->ItemIndex();
        std::string chosen;
        if (accept && row >= 0) chosen = list_->Items()->Strings(row);
        else if (style_ == csDropDown) chosen = Text();
        listOpen_ = false;
        SetWindowPos(list_->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        if (accept && chosen != Text() && EditCanModify()) {
            if (!chosen.empty()) SetText(chosen);
            else if (style_ == csDropDownList || mapList_) SetText("");
            storedIndex_ = row;
            MarkModified();
        }
        if (!CanEditText()) HideCaret(handle_);
        Repaint();
        if (CanEditText()) SelectAll();
        if (OnCloseUp) OnCloseUp(this, accept);
    }
    if (wasOpen) SetShowHint(savedShowHint_);
    ReleaseMouseHook();
}

// ---- keys

bool TvxDBComboBox::RouteKey(TMessage& message)
{
    if (GetKeyState(VK_SHIFT) < 0) return false;
    const bool keyDown = message.Msg != WM_CHAR;
    Word key = Word(message.WParam);
    const bool caretKey = key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT;
    if (listOpen_ && keyDown && caretKey) return false;
    DropDownKeys(key, KeyDataToShiftState(LongInt(message.LParam)));
    if (key == 0) {
        message.Result = 0;
        return true;
    }
    if (!listOpen_) return false;
    SendMessageA(list_->Handle(), message.Msg, message.WParam, message.LParam);
    return keyDown && (key == VK_UP || key == VK_DOWN);
}

void TvxDBComboBox::WndProc(TMessage& message)
{
    const bool keyMessage =
        message.Msg == WM_KEYDOWN || message.Msg == WM_CHAR || message.Msg == WM_SYSKEYDOWN;
    if (keyMessage && RouteKey(message)) return;
    TvxDBCustomCombo::WndProc(message);
}

bool TvxDBComboBox::SelectStep(Integer index, bool selectAll)
{
    if (index < 0 || index >= items_->Count()) return false;
    if (DataSource() && !DataLink()->Edit()) return false;
    SetItemIndex(index);
    MarkModified();
    if (selectAll && CanEditText()) SelectAll();
    return true;
}

void TvxDBComboBox::SearchFirstLetter(Word key)
{
    const Integer count = items_->Count();
    if (count == 0) return;
    const char letter = key >= VK_NUMPAD0 && key <= VK_NUMPAD9 ? char('0' + key - VK_NUMPAD0) : char(key);
    const std::string prefix(1, letter);
    for (Integer step = 1; step <= count; ++step) {
        const Integer index = (storedIndex_ + step) % count;
        if (StartsWithIgnoringCase(vxComboDisplayPart(items_->Strings(index)), prefix)) {
            SelectStep(index);
            return;
        }
    }
}

void TvxDBComboBox::KeyDown(Word& key, TShiftState shift)
{
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (!listOpen_ && vxIsSearchKey(key) && autoDropDown_ && key != VK_BACK && key != VK_DELETE && !alt) {
        autoDropping_ = true;
        DropDown();
        autoDropping_ = false;
    }
    if (alt) shift.Include(ssAlt);
    if (!listOpen_ && !InGrid() && (key == VK_DOWN || key == VK_UP)) {
        SelectStep(storedIndex_ + (key == VK_DOWN ? 1 : -1));
        key = 0;
    } else if (!listOpen_) {
        if (style_ == csDropDownList && !showMatchText_ && vxIsSearchKey(key) && !alt) SearchFirstLetter(key);
    } else if (!(style_ == csDropDown && !autoDropDown_) && firstKey_ && vxIsSearchKey(key)) {
        BeginEdit();
        SetText("");
        firstKey_ = false;
    }
    TvxDBCustomCombo::KeyDown(key, shift);
}

// Type-ahead completion: a character typed at the end that begins an entry takes it, the completed tail selected.
void TvxDBComboBox::CompleteMatch(char& key)
{
    const std::string text = Text();
    const size_t start = std::min(size_t(SelStart()), text.size());
    const size_t end = std::min(start + size_t(SelLength()), text.size());
    const std::string typed = text.substr(0, start) + key + text.substr(end);
    if (typed == text) return;
    const Integer count = items_->Count();
    if (start + 1 >= typed.size()) {
        for (Integer step = 0; step < count; ++step) {
            const Integer index = (std::max(0, storedIndex_) + step) % count;
            if (!StartsWithIgnoringCase(vxComboDisplayPart(items_->Strings(index)), typed)) continue;
            if (!SelectStep(index, false)) break;
            SetSelStart(Integer(typed.size()));
            SetSelLength(Integer(Text().size() - typed.size()));
            key = 0;
            return;
        }
    }
    if (style_ == csDropDownList || listOpen_) key = 0;
}

void TvxDBComboBox::KeyPress(char& key)
{
    if (showMatchText_ && Byte(key) >= 32 && Byte(key) <= 254) CompleteMatch(key);
    if (key == 0) return;
    const bool autoFillDate = AutoFillDate();
    if (mapList_) SetAutoFillDate(false);
    try {
        TvxDBCustomCombo::KeyPress(key);
    } catch (...) {
        SetAutoFillDate(autoFillDate);
        throw;
    }
    SetAutoFillDate(autoFillDate);
    if (key == '\r') key = 0;
}

void TvxDBComboBox::KeyUp(Word& key, TShiftState shift)
{
    if (allowClearKey_ && (key == VK_DELETE || key == VK_BACK)) {
        if (listOpen_ && Text().empty()) {
            SetItemIndex(-1);
        } else if (!listOpen_ && style_ == csDropDownList && !showMatchText_) {
            BeginEdit();
            SetText("");
            SetItemIndex(-1);
            MarkModified();
        }
    }
    TvxDBCustomCombo::KeyUp(key, shift);
}

// ---- painting and messages

void TvxDBComboBox::DrawEditText(TCanvas* canvas, const TRect& rect, Integer x, Integer y, const std::string& text)
{
    if (!OnDrawItem || !IsOwnerDraw()) {
        TvxDBCustomCombo::DrawEditText(canvas, rect, x, y, text);
        return;
    }
    if (listOpen_) {
        canvas->Brush()->SetColor(Color());
        canvas->Font()->SetColor(Font()->Color());
    }
    canvas->FillRect(rect);
    DrawItemOn(canvas, storedIndex_, rect, TOwnerDrawState{odFocused});
}

void TvxDBComboBox::DrawItemOn(TCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state)
{
    paintCanvas_ = canvas;
    try {
        OnDrawItem(this, index, rect, state);
    } catch (...) {
        paintCanvas_ = nullptr;
        throw;
    }
    paintCanvas_ = nullptr;
}

void TvxDBComboBox::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_KEYDOWN:
        if (listOpen_ && (message.WParam == VK_RETURN || message.WParam == VK_ESCAPE)) {
            message.Result = 0;
            return;
        }
        if (listOpen_ && message.WParam == VK_TAB) CloseUp(true);
        break;
    case WM_KILLFOCUS:
        if (listOpen_) CloseUp(true);
        break;
    case CM_CANCELMODE:
        if (listOpen_ && !IsOwnPart(reinterpret_cast<TControl*>(message.LParam))) CloseUp(true);
        break;
    default:
        break;
    }
    TvxDBCustomCombo::Dispatch(message);
}
