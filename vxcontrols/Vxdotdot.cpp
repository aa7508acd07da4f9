#include "vxcontrols/Vxdotdot.h"

#include <algorithm>

#include "db/DataSet.h"
#include "vcl/Messages.h"
#include "vxcontrols/Vxdbigrd.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/vxDataSource.h"

// ---- button layout shared by the library's combos

TWinControl* vxCreateComboButtonContainer(TWinControl* combo)
{
    auto* container = new TWinControl(combo);
    container->SetBounds(0, 0, std::max(GetSystemMetrics(SM_CXVSCROLL) + 4, 17), 17);
    container->SetVisible(true);
    container->SetControlStyle(container->ControlStyle() + TControlStyle{csReplicatable});
    container->SetParent(combo);
    return container;
}

Integer vxComboButtonWidth() { return std::max(GetSystemMetrics(SM_CXVSCROLL), 15); }

void vxLayoutComboButton(TCustomEdit* combo, TWinControl* container, TControl* button)
{
    const Integer buttonWidth = button->Width();
    const bool sunkenBorder = vxNewStyleControls && combo->BorderStyle() == bsSingle && combo->Ctl3D();
    const Integer left = combo->Width() - buttonWidth - (sunkenBorder ? 4 : 0);
    container->SetBounds(left, 0, buttonWidth, combo->ClientHeight());
    if (combo->BorderStyle() == bsSingle)
        button->SetBounds(button->Left(), 0, button->Width(), container->Height());
    else
        button->SetBounds(button->Left(), -1, button->Width(), container->Height() + 1);
}

// ---- TvxComboDlgButton

TButtonState TvxComboDlgButton::State() const
{
    if (!Enabled()) return bsDisabled;
    if (Down()) return bsExclusive;
    return held_ ? bsDown : bsUp;
}

void TvxComboDlgButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (button == mbLeft && Enabled()) held_ = true;
    TSpeedButton::MouseDown(button, shift, x, y);
}

void TvxComboDlgButton::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (button == mbLeft) held_ = false;
    TSpeedButton::MouseUp(button, shift, x, y);
}

void TvxComboDlgButton::Paint()
{
    bool defaultPaint = true;
    if (auto* combo = dynamic_cast<TvxDBCustomCombo*>(Owner()))
        combo->PaintButton(Canvas(), Rect(0, 0, ClientWidth(), ClientHeight()), defaultPaint, combo->ControlState(),
                           State());
    if (defaultPaint) TSpeedButton::Paint();
}

// ---- TvxDBCustomCombo

TvxDBCustomCombo::TvxDBCustomCombo(TComponent* owner) : TvxDBCustomEdit(owner)
{
    container_ = vxCreateComboButtonContainer(this);
    button_ = new TvxComboDlgButton(this);
    button_->SetControlStyle(button_->ControlStyle() + TControlStyle{csReplicatable});
    button_->SetParent(container_);
    button_->SetBounds(0, 0, container_->Width(), container_->Height());
    button_->SetWidth(vxComboButtonWidth());
    ApplyButtonGlyph();
    button_->OnClick = [this](TObject*) { ButtonClick(); };
}

TvxDBCustomCombo::~TvxDBCustomCombo()
{
    delete button_;
    button_ = nullptr;
}

void TvxDBCustomCombo::Publish(TPublisher<TvxDBCustomCombo>& p)
{
    p.Property("ShowButton", &TvxDBCustomCombo::ShowButton, &TvxDBCustomCombo::SetShowButton).Default(true);
    p.Property("ButtonStyle", &TvxDBCustomCombo::ButtonStyle, &TvxDBCustomCombo::SetButtonStyle);
}

bool TvxDBCustomCombo::GetShowButton() { return container_->Visible(); }

void TvxDBCustomCombo::SetShowButton(bool value)
{
    if (container_->Visible() == value) return;
    container_->SetVisible(value);
    const bool ownerLoading = Owner() && Owner()->ComponentState().Contains(csLoading);
    if (!ownerLoading) SetEditRect();
    Invalidate();
}

void TvxDBCustomCombo::SetButtonStyle(TvxComboButtonStyle value)
{
    if (buttonStyle_ == value) return;
    buttonStyle_ = value;
    ApplyButtonGlyph();
    button_->Invalidate();
}

void TvxDBCustomCombo::ApplyButtonGlyph()
{
    TBitmap glyph;
    if (HBITMAP bitmap = ButtonGlyph()) glyph.SetHandle(bitmap);
    button_->SetGlyph(&glyph);
}

void TvxDBCustomCombo::PaintButton(TCanvas* canvas, const TRect& rect, bool& defaultPaint, TControlState controlState,
                                   TButtonState buttonState)
{
    defaultPaint = false;
    if (buttonStyle_ == cbsDownArrow)
        vxDrawComboArrowButton(canvas, rect, buttonState == bsDown, Enabled(), controlState);
    else
        vxDrawEllipsisButton(canvas, rect, Integer(buttonState), Enabled(), controlState);
}

void TvxDBCustomCombo::CloseUp(bool accept)
{
    if (accept) MarkModified();
}

void TvxDBCustomCombo::DropDown()
{
    if (!OnButtonClick) return;
    droppedDown_ = true;
    Repaint();
    TvxDataSource* source = DataSource();
    if (source && source->DataSet()) BeginEdit();
    const auto finish = [this] {
        if (!CanEditText() && HandleAllocated()) HideCaret(handle_);
        Repaint();
        droppedDown_ = false;
    };
    try {
        OnButtonClick(this);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TvxDBCustomCombo::ButtonClick()
{
    if (IsDroppedDown()) {
        CloseUp(true);
        return;
    }
    if (CanFocus()) SetFocus();
    if (Focused()) DropDown();
}

void TvxDBCustomCombo::UpdateButtonLayout()
{
    vxLayoutComboButton(this, container_, button_);
    SetEditRect();
}

void TvxDBCustomCombo::Loaded()
{
    button_->SetWidth(vxComboButtonWidth());
    if (Parent() || Owner()) UpdateButtonLayout();
    TvxDBCustomEdit::Loaded();
}

void TvxDBCustomCombo::CreateParams(TCreateParams& params)
{
    TvxDBCustomEdit::CreateParams(params);
    params.Style &= ~DWORD(ES_WANTRETURN | ES_AUTOVSCROLL);
    params.Style |= WS_CLIPCHILDREN;
}

void TvxDBCustomCombo::CreateWnd()
{
    TvxDBCustomEdit::CreateWnd();
    UpdateButtonLayout();
}

void TvxDBCustomCombo::SetEditRect()
{
    if (!HandleAllocated()) return;
    const Integer margin = borderStyle_ == bsNone ? 2 : 0;
    const Integer right = GetShowButton() ? container_->Left() - 2 : ClientWidth() - 2;
    RECT rect{margin, margin, right, ClientHeight() + 1};
    SendMessageA(handle_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rect));
}

void TvxDBCustomCombo::DropDownKeys(Word& key, TShiftState shift)
{
    if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    const bool alt = shift.Contains(ssAlt);
    if ((key == VK_RETURN || key == VK_ESCAPE) && IsDroppedDown() && !alt) {
        CloseUp(key == VK_RETURN);
        key = 0;
    } else if ((key == VK_UP || key == VK_DOWN) && alt) {
        if (IsDroppedDown()) CloseUp(true);
        else DropDown();
        key = 0;
    }
}

void TvxDBCustomCombo::KeyDown(Word& key, TShiftState shift)
{
    if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    DropDownKeys(key, shift);
    TvxDBCustomEdit::KeyDown(key, shift);
    if (vxIsSearchKey(key) && !CanEditText()) key = 0;
}

void TvxDBCustomCombo::KeyPress(char& key)
{
    if (key == '\t' && !EditMask().empty()) return;
    TvxDBCustomEdit::KeyPress(key);
}

void TvxDBCustomCombo::ToggleByMouse(TMessage& message)
{
    if (!dynamic_cast<TvxCustomDBGrid*>(Parent())) SetFocus();
    if (IsDroppedDown()) CloseUp(true);
    else DropDown();
    if (controlStyle_.Contains(csCaptureMouse)) {
        SetCapture(handle_);
        controlState_.Include(csClicked);
    }
    MouseDown(mbLeft, KeysToShiftState(Word(message.WParam)), SmallInt(LOWORD(message.LParam)),
              SmallInt(HIWORD(message.LParam)));
}

void TvxDBCustomCombo::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (ClickEditsText()) TvxDBCustomEdit::Dispatch(message);
        else ToggleByMouse(message);
        return;
    case WM_LBUTTONUP:
        if (!ClickEditsText() && GetCapture() == handle_) ReleaseCapture();
        TvxDBCustomEdit::Dispatch(message);
        return;
    case WM_SIZE:
        TvxDBCustomEdit::Dispatch(message);
        UpdateButtonLayout();
        return;
    case WM_PAINT:
        TvxDBCustomEdit::Dispatch(message);
        button_->Invalidate();
        return;
    case CM_ENABLEDCHANGED:
        TvxDBCustomEdit::Dispatch(message);
        button_->SetEnabled(Enabled());
        return;
    case WM_SETFOCUS:
        TvxDBCustomEdit::Dispatch(message);
        Invalidate();
        return;
    default:
        TvxDBCustomEdit::Dispatch(message);
    }
}
