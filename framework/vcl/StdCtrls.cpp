#include "vcl/StdCtrls.h"

#include <algorithm>

#include "vcl/Forms.h"

// ---- TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks};
    parentColor_ = true;
    width_ = 65;
    height_ = 17;
}

void TLabel::Publish(TPublisher<TLabel>& p)
{
    p.Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
    p.Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
    p.Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
    p.Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
    p.Property("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
    p.Property("Layout", &TLabel::Layout, &TLabel::SetLayout).Default(tlTop);
    p.Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
}

void TLabel::SetFocusControl(TWinControl* control)
{
    focusControl_ = control;
    if (control) control->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation)
{
    TGraphicControl::Notification(component, operation);
    if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

UINT TLabel::TextFlags() const
{
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT flags = DT_EXPANDTABS | alignments[alignment_];
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    return flags;
}

void TLabel::AdjustBounds()
{
    if (!autoSize_ || state_.Contains(csLoading)) {
        Invalidate();
        return;
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font_->Handle());
    RECT rect{0, 0, wordWrap_ ? width_ : 0, 0};
    const std::string text = text_.empty() ? std::string(" ") : text_;
    DrawTextA(dc, text.c_str(), int(text.size()), &rect, TextFlags() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    Integer left = left_;
    if (alignment_ == taRightJustify) left = left_ + width_ - rect.right;
    SetBounds(left, top_, rect.right, rect.bottom);
    Invalidate();
}

void TLabel::Paint()
{
    TCanvas* canvas = Canvas();
    RECT rect = ClientRect();
    if (!transparent_) {
        canvas->Brush()->SetColor(color_);
        canvas->FillRect(rect);
    }
    canvas->Brush()->SetStyle(bsClear);
    if (!enabled_) canvas->Font()->SetColor(clGrayText);
    if (layout_ != tlTop) {
        TRect measure = rect;
        canvas->DrawText(text_, measure, TextFlags() | DT_CALCRECT);
        const Integer offset = (rect.bottom - rect.top) - (measure.bottom - measure.top);
        rect.top += layout_ == tlCenter ? offset / 2 : offset;
    }
    canvas->DrawText(text_, rect, TextFlags());
}

void TLabel::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        return;
    case CM_DIALOGCHAR:
        if (focusControl_ && enabled_ && showAccelChar_ && IsAccel(Word(message.WParam), text_) &&
            focusControl_->CanFocus()) {
            focusControl_->SetFocus();
            message.Result = 1;
        }
        return;
    default:
        TGraphicControl::Dispatch(message);
    }
}

// ---- TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner)
{
    controlStyle_ = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    tabStop_ = true;
    width_ = 121;
    height_ = 21;
}

void TCustomEdit::Publish(TPublisher<TCustomEdit>& p)
{
    p.Property("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
    p.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
    p.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
    p.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
    p.Property("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar).Default(0);
    p.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
    p.Property("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(true);
    p.Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle);
    p.Property("OnChange", &TCustomEdit::OnChange);
}

void TCustomEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "EDIT";
    params.Style |= ES_AUTOHSCROLL;
    AddBorder(params, borderStyle_);
    if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
    if (readOnly_) params.Style |= ES_READONLY;
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& params)
{
    settingText_ = true;
    TWinControl::CreateWindowHandle(params);
    settingText_ = false;
    if (!handle_) return;
    SendMessageA(handle_, EM_LIMITTEXT, maxLength_, 0);
    if (passwordChar_) SendMessageA(handle_, EM_SETPASSWORDCHAR, Byte(passwordChar_), 0);
    SendMessageA(handle_, EM_SETSEL, savedSelStart_, savedSelStart_ + savedSelLength_);
}

void TCustomEdit::SetTextBuf(const std::string& text)
{
    settingText_ = true;
    try {
        TWinControl::SetTextBuf(text);
    } catch (...) {
        settingText_ = false;
        throw;
    }
    settingText_ = false;
    modified_ = false;
    if (!handle_) Change();
}

Integer TCustomEdit::SelStart()
{
    if (!handle_) return savedSelStart_;
    DWORD start = 0, end = 0;
    SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return Integer(start);
}

void TCustomEdit::SetSelStart(Integer start)
{
    savedSelStart_ = start;
    savedSelLength_ = 0;
    if (handle_) SendMessageA(handle_, EM_SETSEL, start, start);
}

Integer TCustomEdit::SelLength()
{
    if (!handle_) return savedSelLength_;
    DWORD start = 0, end = 0;
    SendMessageA(handle_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return Integer(end - start);
}

void TCustomEdit::SetSelLength(Integer length)
{
    const Integer start = SelStart();
    savedSelLength_ = length;
    if (handle_) SendMessageA(handle_, EM_SETSEL, start, start + length);
}

std::string TCustomEdit::SelText()
{
    const std::string text = Text();
    const Integer start = std::min<Integer>(SelStart(), Integer(text.size()));
    return text.substr(start, SelLength());
}

void TCustomEdit::SetSelText(const std::string& text)
{
    if (handle_) {
        SendMessageA(handle_, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    std::string all = text_;
    const size_t start = std::min<size_t>(savedSelStart_, all.size());
    all.replace(start, savedSelLength_, text);
    SetTextBuf(all);
    savedSelStart_ = Integer(start + text.size());
    savedSelLength_ = 0;
}

void TCustomEdit::SelectAll()
{
    savedSelStart_ = 0;
    savedSelLength_ = Integer(Text().size());
    if (handle_) SendMessageA(handle_, EM_SETSEL, 0, -1);
}

void TCustomEdit::SetMaxLength(Integer length)
{
    maxLength_ = length;
    if (handle_) SendMessageA(handle_, EM_LIMITTEXT, length, 0);
}

void TCustomEdit::SetReadOnly(bool value)
{
    readOnly_ = value;
    if (handle_) SendMessageA(handle_, EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetCharCase(TEditCharCase value)
{
    if (value == charCase_) return;
    charCase_ = value;
    RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value)
{
    passwordChar_ = value;
    if (handle_) {
        SendMessageA(handle_, EM_SETPASSWORDCHAR, Byte(value), 0);
        Invalidate();
    }
}

void TCustomEdit::Change()
{
    if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter()
{
    // A multi-line edit keeps its caret and selection.
    const bool multiLine = handle_ && (GetWindowLongA(handle_, GWL_STYLE) & ES_MULTILINE);
    if (autoSelect_ && !multiLine && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::Dispatch(TMessage& message)
{
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE) {
        if (!settingText_) modified_ = true;
        Change();
        return;
    }
    TWinControl::Dispatch(message);
}

// ---- TMemo

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner)
{
    width_ = 185;
    height_ = 89;
    autoSize_ = false;
}

void TMemo::Publish(TPublisher<TMemo>& p)
{
    p.Property("Lines", &TMemo::LinesConst, &TMemo::SetLines);
    p.Property("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(ssNone);
    p.Property("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
    p.Property("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(true);
    p.Property("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs).Default(false);
}

TStrings* TMemo::Lines()
{
    if (!lines_) {
        lines_ = std::make_unique<TStringList>();
        syncing_ = true;
        lines_->SetText(Text());
        syncing_ = false;
        lines_->OnChange = [this](TObject*) { LinesChanged(); };
    }
    return lines_.get();
}

void TMemo::LinesChanged()
{
    if (syncing_) return;
    syncing_ = true;
    std::string text = lines_->Text();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
    SetTextBuf(text);
    syncing_ = false;
}

void TMemo::Change()
{
    if (lines_ && !syncing_) {
        syncing_ = true;
        lines_->SetText(Text());
        syncing_ = false;
    }
    TCustomEdit::Change();
}

void TMemo::CreateParams(TCreateParams& params)
{
    TCustomEdit::CreateParams(params);
    params.Style &= ~ES_AUTOHSCROLL;
    params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | (wantReturns_ ? ES_WANTRETURN : 0);
    if (!wordWrap_) params.Style |= ES_AUTOHSCROLL;
    if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
    if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
}

void TMemo::Dispatch(TMessage& message)
{
    if (message.Msg == WM_GETDLGCODE) {
        TCustomEdit::Dispatch(message);
        if (!wantTabs_) message.Result &= ~DLGC_WANTTAB;
        if (!wantReturns_) message.Result &= ~DLGC_WANTALLKEYS;
        return;
    }
    TCustomEdit::Dispatch(message);
}

// ---- buttons

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner)
{
    controlStyle_ = TControlStyle{csSetCaption, csDoubleClicks};
    tabStop_ = true;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner)
{
    width_ = 75;
    height_ = 25;
}

void TButton::Publish(TPublisher<TButton>& p)
{
    p.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    p.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    p.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
}

void TButton::CreateParams(TCreateParams& params)
{
    TButtonControl::CreateParams(params);
    params.SystemClass = "BUTTON";
    params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool value)
{
    default_ = value;
    if (TCustomForm* form = GetParentForm(this); form && form->ActiveControl())
        active_ = form->ActiveControl() == this || (value && !dynamic_cast<TButton*>(form->ActiveControl()));
    else
        active_ = value;
    SetButtonStyle(active_);
}

void TButton::SetButtonStyle(bool isDefault)
{
    if (handle_) SendMessageA(handle_, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click()
{
    if (TCustomForm* form = GetParentForm(this); form && modalResult_ != mrNone) form->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) Click();
        return;
    case CM_DIALOGKEY: {
        const TWMKey& key = MessageAs<TWMKey>(message);
        const bool enter = key.CharCode == VK_RETURN && active_;
        const bool escape = key.CharCode == VK_ESCAPE && cancel_;
        if ((enter || escape) && KeyDataToShiftState(key.KeyData).Empty() && CanFocus()) {
            Click();
            message.Result = 1;
            return;
        }
        break;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(Word(message.WParam), Caption()) && CanFocus()) {
            Click();
            message.Result = 1;
        }
        return;
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
        active_ = dynamic_cast<TButton*>(focused) ? focused == this : default_;
        SetButtonStyle(active_);
        return;
    }
    default:
        break;
    }
    TButtonControl::Dispatch(message);
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner)
{
    width_ = 97;
    height_ = 17;
}

void TCheckBox::Publish(TPublisher<TCheckBox>& p)
{
    p.Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
    p.Property("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
    p.Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    p.Property("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
}

void TCheckBox::CreateParams(TCreateParams& params)
{
    TButtonControl::CreateParams(params);
    params.SystemClass = "BUTTON";
    params.Style |= BS_3STATE | (alignment_ == taLeftJustify ? BS_LEFTTEXT : 0);
}

void TCheckBox::CreateWindowHandle(const TCreateParams& params)
{
    TButtonControl::CreateWindowHandle(params);
    if (handle_) SendMessageA(handle_, BM_SETCHECK, checkState_, 0);
}

void TCheckBox::SetState(TCheckBoxState state)
{
    if (state == checkState_) return;
    checkState_ = state;
    if (handle_) SendMessageA(handle_, BM_SETCHECK, checkState_, 0);
    if (!state_.Contains(csLoading)) Click();
}

void TCheckBox::Toggle()
{
    switch (checkState_) {
    case cbUnchecked:
        SetState(allowGrayed_ ? cbGrayed : cbChecked);
        break;
    case cbChecked:
        SetState(cbUnchecked);
        break;
    case cbGrayed:
        SetState(cbChecked);
        break;
    }
}

void TCheckBox::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) Toggle();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(Word(message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            Toggle();
            message.Result = 1;
        }
        return;
    default:
        TButtonControl::Dispatch(message);
    }
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner)
{
    width_ = 113;
    height_ = 17;
}

void TRadioButton::Publish(TPublisher<TRadioButton>& p)
{
    p.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
}

void TRadioButton::CreateParams(TCreateParams& params)
{
    TButtonControl::CreateParams(params);
    params.SystemClass = "BUTTON";
    params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWindowHandle(const TCreateParams& params)
{
    TButtonControl::CreateWindowHandle(params);
    if (handle_) SendMessageA(handle_, BM_SETCHECK, checked_, 0);
}

// Checking one radio button unchecks the others of the same parent.
void TRadioButton::SetChecked(bool value)
{
    if (value == checked_) return;
    checked_ = value;
    if (handle_) SendMessageA(handle_, BM_SETCHECK, value, 0);
    if (!value) return;
    if (parent_) {
        for (Integer i = 0; i < parent_->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(parent_->Controls(i)); other && other != this)
                other->SetChecked(false);
    }
    if (!state_.Contains(csLoading)) Click();
}

void TRadioButton::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == BN_CLICKED) SetChecked(true);
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(Word(message.WParam), Caption()) && CanFocus()) {
            SetFocus();
            SetChecked(true);
            message.Result = 1;
        }
        return;
    default:
        TButtonControl::Dispatch(message);
    }
}

// ---- TGroupBox

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner)
{
    controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    parentColor_ = true;
    width_ = 185;
    height_ = 105;
}

void TGroupBox::AdjustClientRect(TRect& rect)
{
    Canvas()->Font()->Assign(font_.get());
    rect.top += 16;
    InflateRect(&rect, -1, -1);
}

void TGroupBox::Paint()
{
    TCanvas* canvas = Canvas();
    const Integer textHeight = canvas->TextHeight("0");
    RECT frame = ClientRect();
    frame.top += textHeight / 2;
    canvas->DrawEdge(frame, EDGE_ETCHED, BF_RECT);
    if (!text_.empty()) {
        TRect textRect{8, 0, 8, textHeight};
        canvas->DrawText(text_, textRect, DT_CALCRECT | DT_SINGLELINE);
        canvas->Brush()->SetColor(color_);
        canvas->DrawText(text_, textRect, DT_SINGLELINE);
    }
}

void TGroupBox::Dispatch(TMessage& message)
{
    if (message.Msg == CM_DIALOGCHAR && IsAccel(Word(message.WParam), text_) && CanFocus()) {
        SelectNext(nullptr, true, true);
        message.Result = 1;
        return;
    }
    if (message.Msg == CM_TEXTCHANGED) {
        Invalidate();
        return;
    }
    TCustomControl::Dispatch(message);
}

// ---- combo box

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner), items_(std::make_unique<TStringList>())
{
    tabStop_ = true;
    width_ = 145;
    height_ = 21;
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

void TCustomComboBox::Publish(TPublisher<TCustomComboBox>& p)
{
    p.Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
    p.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount).Default(8);
    p.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
    p.Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
    p.Property("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
    p.Property("ItemIndex", &TCustomComboBox::ItemIndexValue, &TCustomComboBox::SetItemIndex).Default(-1);
    p.Property("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText);
    p.Property("OnChange", &TCustomComboBox::OnChange);
    p.Property("OnDropDown", &TCustomComboBox::OnDropDown);
    p.Property("OnCloseUp", &TCustomComboBox::OnCloseUp);
    p.Property("OnSelect", &TCustomComboBox::OnSelect);
}

void TCustomComboBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "COMBOBOX";
    static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                   CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
    params.Style |= styles[style_] | CBS_AUTOHSCROLL | WS_VSCROLL;
    // The window's height includes its list.
    params.Height = height_ + 4 + dropDownCount_ * 16;
}

void TCustomComboBox::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_) return;
    const std::string text = text_;
    ItemsChanged();
    if (maxLength_) SendMessageA(handle_, CB_LIMITTEXT, maxLength_, 0);
    if (itemIndex_ >= 0)
        SendMessageA(handle_, CB_SETCURSEL, itemIndex_, 0);
    else if (style_ == csDropDown || style_ == csSimple)
        SetWindowTextA(handle_, text.c_str());
    RECT rect;
    GetWindowRect(handle_, &rect);
    height_ = rect.bottom - rect.top;
}

void TCustomComboBox::ItemsChanged()
{
    if (!handle_) return;
    const std::string text = GetText();
    const Integer index = ItemIndex();
    SendMessageA(handle_, CB_RESETCONTENT, 0, 0);
    for (Integer i = 0; i < items_->Count(); ++i)
        SendMessageA(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_->Strings(i).c_str()));
    if (index >= 0 && index < items_->Count())
        SendMessageA(handle_, CB_SETCURSEL, index, 0);
    else if (style_ == csDropDown || style_ == csSimple)
        SetWindowTextA(handle_, text.c_str());
}

Integer TCustomComboBox::ItemIndex()
{
    if (!handle_) return itemIndex_;
    return Integer(SendMessageA(handle_, CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(Integer index)
{
    if (index >= items_->Count()) index = -1;
    itemIndex_ = index;
    if (handle_) SendMessageA(handle_, CB_SETCURSEL, index, 0);
    text_ = index >= 0 ? items_->Strings(index) : "";
}

bool TCustomComboBox::DroppedDown()
{
    return handle_ && SendMessageA(handle_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value)
{
    SendMessageA(Handle(), CB_SHOWDROPDOWN, value, 0);
}

void TCustomComboBox::SetMaxLength(Integer length)
{
    maxLength_ = length;
    if (handle_) SendMessageA(handle_, CB_LIMITTEXT, length, 0);
}

Integer TCustomComboBox::SelStart()
{
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return Integer(start);
}

void TCustomComboBox::SetSelStart(Integer start) { SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start)); }

Integer TCustomComboBox::SelLength()
{
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return Integer(end - start);
}

void TCustomComboBox::SetSelLength(Integer length)
{
    const Integer start = SelStart();
    SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + length));
}

void TCustomComboBox::SelectAll() { SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1)); }

void TCustomComboBox::Change()
{
    if (OnChange) OnChange(this);
}

void TCustomComboBox::DropDown()
{
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::Select()
{
    if (OnSelect) OnSelect(this);
    Change();
}

void TCustomComboBox::Dispatch(TMessage& message)
{
    if (message.Msg == CN_COMMAND) {
        switch (HIWORD(message.WParam)) {
        case CBN_EDITCHANGE:
            Change();
            break;
        case CBN_SELCHANGE:
            itemIndex_ = ItemIndex();
            Select();
            break;
        case CBN_DROPDOWN:
            DropDown();
            break;
        case CBN_CLOSEUP:
            CloseUp();
            break;
        default:
            break;
        }
        return;
    }
    TWinControl::Dispatch(message);
}

// ---- list box

TCustomListBox::TCustomListBox(TComponent* owner)
        : TWinControl(owner), items_(std::make_unique<TStringList>()), canvas_(std::make_unique<TControlCanvas>())
{
    tabStop_ = true;
    width_ = 121;
    height_ = 97;
    canvas_->SetControl(this);
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::Publish(TPublisher<TCustomListBox>& p)
{
    p.Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(false);
    p.Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
    p.Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).Default(lbStandard);
    p.Property("ItemHeight", &TCustomListBox::ItemHeightValue, &TCustomListBox::SetItemHeight).Default(16);
    p.Property("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight).Default(false);
    p.Property("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
    p.Property("OnDrawItem", &TCustomListBox::OnDrawItem);
    p.Property("OnMeasureItem", &TCustomListBox::OnMeasureItem);
}

void TCustomListBox::CreateParams(TCreateParams& params)
{
    static const DWORD drawStyles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE};
    TWinControl::CreateParams(params);
    params.SystemClass = "LISTBOX";
    params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL | drawStyles[style_] |
                    (multiSelect_ ? LBS_EXTENDEDSEL : 0) | (integralHeight_ ? 0 : LBS_NOINTEGRALHEIGHT);
    AddBorder(params, bsSingle);
}

void TCustomListBox::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (handle_ && style_ == lbOwnerDrawFixed) SendMessageA(handle_, LB_SETITEMHEIGHT, 0, itemHeight_);
    ItemsChanged();
}

void TCustomListBox::ItemsChanged()
{
    if (!handle_) return;
    const Integer index = itemIndex_;
    SendMessageA(handle_, LB_RESETCONTENT, 0, 0);
    for (Integer i = 0; i < items_->Count(); ++i) {
        SendMessageA(handle_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_->Strings(i).c_str()));
        if (style_ != lbOwnerDrawVariable) continue;
        Integer height = itemHeight_;
        MeasureItem(i, height);
        SendMessageA(handle_, LB_SETITEMHEIGHT, i, height);
    }
    if (index >= 0 && index < items_->Count()) SetItemIndex(index);
}

void TCustomListBox::SetStyle(TListBoxStyle value)
{
    if (style_ == value) return;
    style_ = value;
    RecreateWnd();
}

Integer TCustomListBox::ItemHeight()
{
    if (handle_ && style_ == lbStandard) return Integer(SendMessageA(handle_, LB_GETITEMHEIGHT, 0, 0));
    return itemHeight_;
}

void TCustomListBox::SetItemHeight(Integer value)
{
    if (value <= 0 || value == itemHeight_) return;
    itemHeight_ = value;
    if (!handle_ || style_ == lbStandard) return;
    if (style_ == lbOwnerDrawFixed) SendMessageA(handle_, LB_SETITEMHEIGHT, 0, itemHeight_);
    else ItemsChanged();
    Invalidate();
}

void TCustomListBox::MeasureItem(Integer index, Integer& height)
{
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::DrawItem(Integer index, TRect rect, TOwnerDrawState state)
{
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    canvas_->FillRect(rect);
    if (index < items_->Count()) canvas_->TextOut(rect.left + 2, rect.top, items_->Strings(index));
}

void TCustomListBox::CNDrawItem(TMessage& message)
{
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
    TOwnerDrawState state;
    if (item.itemState & ODS_SELECTED) state.Include(odSelected);
    if (item.itemState & ODS_GRAYED) state.Include(odGrayed);
    if (item.itemState & ODS_DISABLED) state.Include(odDisabled);
    if (item.itemState & ODS_CHECKED) state.Include(odChecked);
    if (item.itemState & ODS_FOCUS) state.Include(odFocused);
    canvas_->SetHandle(item.hDC);
    canvas_->Font()->Assign(font_.get());
    canvas_->Brush()->SetStyle(bsSolid);
    canvas_->Brush()->SetColor(color_);
    if (state.Contains(odSelected)) {
        canvas_->Brush()->SetColor(clHighlight);
        canvas_->Font()->SetColor(clHighlightText);
    }
    const TRect rect = item.rcItem;
    if (Integer(item.itemID) >= 0) DrawItem(Integer(item.itemID), rect, state);
    else canvas_->FillRect(rect);
    if (state.Contains(odFocused)) DrawFocusRect(item.hDC, &rect);
    canvas_->SetHandle(nullptr);
    message.Result = 1;
}

Integer TCustomListBox::ItemAtPos(TPoint pos, bool existing)
{
    const TRect client = ClientRect();
    if (PtInRect(&client, pos)) {
        for (Integer i = TopIndex(); i < items_->Count(); ++i) {
            const TRect rect = ItemRect(i);
            if (rect.top > client.bottom) break;
            if (PtInRect(&rect, pos)) return i;
        }
    }
    return existing ? -1 : items_->Count();
}

TRect TCustomListBox::ItemRect(Integer index)
{
    RECT rect{};
    SendMessageA(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

Integer TCustomListBox::ItemIndex()
{
    if (!handle_) return itemIndex_;
    return Integer(SendMessageA(handle_, multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(Integer index)
{
    itemIndex_ = index;
    if (!handle_) return;
    if (multiSelect_)
        SendMessageA(handle_, LB_SETCARETINDEX, index, FALSE);
    else
        SendMessageA(handle_, LB_SETCURSEL, index, 0);
}

bool TCustomListBox::Selected(Integer index)
{
    if (index < 0 || index >= items_->Count()) throw EListError("List index out of bounds");
    return SendMessageA(Handle(), LB_GETSEL, index, 0) > 0;
}

void TCustomListBox::SetSelected(Integer index, bool value)
{
    if (multiSelect_)
        SendMessageA(Handle(), LB_SETSEL, value, index);
    else
        SetItemIndex(value ? index : -1);
}

Integer TCustomListBox::SelCount()
{
    return multiSelect_ ? Integer(SendMessageA(Handle(), LB_GETSELCOUNT, 0, 0)) : -1;
}

Integer TCustomListBox::TopIndex() { return Integer(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TCustomListBox::SetTopIndex(Integer index) { SendMessageA(Handle(), LB_SETTOPINDEX, index, 0); }

void TCustomListBox::Dispatch(TMessage& message)
{
    if (message.Msg == CN_DRAWITEM) {
        CNDrawItem(message);
        return;
    }
    if (message.Msg == CN_COMMAND) {
        if (HIWORD(message.WParam) == LBN_SELCHANGE) {
            itemIndex_ = ItemIndex();
            Click();
        } else if (HIWORD(message.WParam) == LBN_DBLCLK) {
            DblClick();
        }
        return;
    }
    TWinControl::Dispatch(message);
}

// ---- scroll bar

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner)
{
    tabStop_ = true;
    width_ = 121;
    height_ = GetSystemMetrics(SM_CYHSCROLL);
}

void TScrollBar::Publish(TPublisher<TScrollBar>& p)
{
    p.Property("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
    p.Property("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
    p.Property("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
    p.Property("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
    p.Property("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
    p.Property("OnChange", &TScrollBar::OnChange);
}

void TScrollBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = "SCROLLBAR";
    params.Style |= vertical_ ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_) return;
    SetScrollRange(handle_, SB_CTL, min_, max_, FALSE);
    SetScrollPos(handle_, SB_CTL, position_, TRUE);
}

void TScrollBar::SetParams(Integer position, Integer min, Integer max)
{
    if (max < min) throw EInvalidOperation("Scroll bar property out of range");
    position = std::clamp(position, min, max);
    const bool changed = position != position_;
    min_ = min;
    max_ = max;
    position_ = position;
    if (handle_) {
        SetScrollRange(handle_, SB_CTL, min_, max_, FALSE);
        SetScrollPos(handle_, SB_CTL, position_, TRUE);
    }
    if (changed && OnChange) OnChange(this);
}

void TScrollBar::Dispatch(TMessage& message)
{
    if (message.Msg != CN_HSCROLL && message.Msg != CN_VSCROLL) {
        TWinControl::Dispatch(message);
        return;
    }
    static const TScrollCode codes[] = {scLineUp, scLineDown, scPageUp, scPageDown, scPosition,
                                        scTrack,  scTop,      scBottom, scEndScroll};
    const Word code = LOWORD(message.WParam);
    if (code > SB_ENDSCROLL) return;
    Integer position = position_;
    switch (code) {
    case SB_LINEUP: position -= smallChange_; break;
    case SB_LINEDOWN: position += smallChange_; break;
    case SB_PAGEUP: position -= largeChange_; break;
    case SB_PAGEDOWN: position += largeChange_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: position = SmallInt(HIWORD(message.WParam)); break;
    case SB_TOP: position = min_; break;
    case SB_BOTTOM: position = max_; break;
    default: break;
    }
    position = std::clamp(position, min_, max_);
    if (OnScroll) OnScroll(this, codes[code], position);
    SetPosition(position);
}
