#include "vcl/Controls.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "classes/Filer.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace {

std::unordered_map<HWND, TWinControl*>& WindowControls()
{
    static std::unordered_map<HWND, TWinControl*> controls;
    return controls;
}

TWinControl* creatingControl = nullptr;
TControl* captureControl = nullptr;
TControl* mouseControl = nullptr;

// The control under the mouse hears CM_MOUSEENTER and CM_MOUSELEAVE as the mouse moves between controls.
void UpdateMouseControl(TControl* control)
{
    if (control == mouseControl) return;
    TControl* left = mouseControl;
    mouseControl = control;
    if (left) left->Perform(CM_MOUSELEAVE);
    if (control) control->Perform(CM_MOUSEENTER);
}
Integer nextControlId = 100;

}  // namespace

TShiftState KeysToShiftState(Word keys)
{
    TShiftState state;
    if (keys & MK_SHIFT) state.Include(ssShift);
    if (keys & MK_CONTROL) state.Include(ssCtrl);
    if (keys & MK_LBUTTON) state.Include(ssLeft);
    if (keys & MK_RBUTTON) state.Include(ssRight);
    if (keys & MK_MBUTTON) state.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) state.Include(ssAlt);
    return state;
}

TShiftState KeyDataToShiftState(LongInt keyData)
{
    TShiftState state;
    if (GetKeyState(VK_SHIFT) < 0) state.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) state.Include(ssCtrl);
    if (keyData & 0x20000000) state.Include(ssAlt);
    return state;
}

TShiftState GetShiftState()
{
    TShiftState state;
    if (GetKeyState(VK_SHIFT) < 0) state.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) state.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) state.Include(ssAlt);
    return state;
}

// A mouse button going down, or a double click, in the client area.
static bool IsButtonPress(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

TWinControl* FindControl(HWND window)
{
    auto found = WindowControls().find(window);
    return found == WindowControls().end() ? nullptr : found->second;
}

TWinControl* FindVCLWindow(HWND window)
{
    while (window) {
        if (TWinControl* control = FindControl(window)) return control;
        window = GetParent(window);
    }
    return nullptr;
}

TControl* GetCaptureControl()
{
    TControl* control = FindControl(GetCapture());
    if (control && captureControl && captureControl->Parent() == control) return captureControl;
    return control;
}

std::string GetShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string GetLongHint(const std::string& hint)
{
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

TCustomForm* GetParentForm(const TControl* control)
{
    if (!control) return nullptr;
    while (control->Parent()) control = control->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(control));
}

bool IsAccel(Word key, const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return std::toupper(static_cast<unsigned char>(caption[i + 1])) == std::toupper(key & 0xFF);
    }
    return false;
}

std::string StripHotkey(const std::string& caption)
{
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        text += caption[i];
    }
    return text;
}

// The one window procedure of every framework window: no exception leaves it.
LRESULT CALLBACK ControlWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* control = FindControl(window);
    if (!control && creatingControl) {
        control = creatingControl;
        control->handle_ = window;
        WindowControls()[window] = control;
    }
    if (!control) return DefWindowProcA(window, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    try {
        control->WndProc(message);
    } catch (...) {
        Application->HandleException(control);
    }
    return message.Result;
}

// ---- TSizeConstraints

void TSizeConstraints::Publish(TPublisher<TSizeConstraints>& p)
{
    p.Property("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
    p.Property("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
    p.Property("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
    p.Property("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

void TSizeConstraints::Assign(TPersistent* source)
{
    if (auto* other = dynamic_cast<TSizeConstraints*>(source)) {
        maxHeight_ = other->maxHeight_;
        maxWidth_ = other->maxWidth_;
        minHeight_ = other->minHeight_;
        minWidth_ = other->minWidth_;
        Change();
        return;
    }
    TPersistent::Assign(source);
}

void TSizeConstraints::SetMaxHeight(TConstraintSize value)
{
    if (value == maxHeight_) return;
    maxHeight_ = value;
    if (value > 0 && value < minHeight_) minHeight_ = value;
    Change();
}

void TSizeConstraints::SetMaxWidth(TConstraintSize value)
{
    if (value == maxWidth_) return;
    maxWidth_ = value;
    if (value > 0 && value < minWidth_) minWidth_ = value;
    Change();
}

void TSizeConstraints::SetMinHeight(TConstraintSize value)
{
    if (value == minHeight_) return;
    minHeight_ = value;
    if (maxHeight_ > 0 && value > maxHeight_) maxHeight_ = value;
    Change();
}

void TSizeConstraints::SetMinWidth(TConstraintSize value)
{
    if (value == minWidth_) return;
    minWidth_ = value;
    if (maxWidth_ > 0 && value > maxWidth_) maxWidth_ = value;
    Change();
}

void TSizeConstraints::Constrain(Integer& width, Integer& height) const
{
    if (minWidth_ > 0 && width < minWidth_) width = minWidth_;
    if (maxWidth_ > 0 && width > maxWidth_) width = maxWidth_;
    if (minHeight_ > 0 && height < minHeight_) height = minHeight_;
    if (maxHeight_ > 0 && height > maxHeight_) height = maxHeight_;
}

void TSizeConstraints::Change()
{
    if (OnChange) OnChange(this);
}

// ---- TControl

TControl::TControl(TComponent* owner)
    : TComponent(owner), font_(std::make_unique<TFont>()), constraints_(std::make_unique<TSizeConstraints>())
{
    font_->OnChange = [this](TObject* sender) { FontChanged(sender); };
    constraints_->OnChange = [this](TObject*) { SetBounds(left_, top_, width_, height_); };
}

TControl::~TControl()
{
    if (captureControl == this) captureControl = nullptr;
    if (mouseControl == this) mouseControl = nullptr;
    if (Application) Application->ControlDestroyed(this);
    if (parent_) parent_->RemoveControl(this);
}

void TControl::Publish(TPublisher<TControl>& p)
{
    p.Property("Left", &TControl::Left, &TControl::SetLeft);
    p.Property("Top", &TControl::Top, &TControl::SetTop);
    p.Property("Width", &TControl::Width, &TControl::SetWidth);
    p.Property("Height", &TControl::Height, &TControl::SetHeight);
    p.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    p.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    p.Property("Color", &TControl::Color, &TControl::SetColor).Idents(ColorIdentToInt, ColorIntToIdent);
    p.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    p.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
    p.Property("Constraints", &TControl::Constraints, &TControl::SetConstraints);
    p.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault);
    p.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    p.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
    p.Property("Font", &TControl::Font, &TControl::SetFont);
    p.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    p.Property("Hint", &TControl::Hint, &TControl::SetHint);
    p.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored(&TControl::IsShowHintStored);
    p.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    p.Property("Caption", &TControl::Caption, &TControl::SetCaption);
    p.Property("OnClick", &TControl::OnClick);
    p.Property("OnDblClick", &TControl::OnDblClick);
    p.Property("OnMouseDown", &TControl::OnMouseDown);
    p.Property("OnMouseUp", &TControl::OnMouseUp);
    p.Property("OnMouseMove", &TControl::OnMouseMove);
    p.Property("OnMouseWheel", &TControl::OnMouseWheel);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent)
{
    if (auto* window = dynamic_cast<TWinControl*>(parent)) SetParent(window);
}

// A control read from a form file goes into the control it is written in, before its own properties.
void TControl::ReadState(TReader* reader)
{
    if (auto* parent = dynamic_cast<TWinControl*>(reader->Parent()); parent && parent != this) SetParent(parent);
    TComponent::ReadState(reader);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        UpdateAnchorRules();
    }
}

void TControl::Loaded()
{
    TComponent::Loaded();
    UpdateAnchorRules();
    RequestAlign();
}

void TControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

void TControl::SetBounds(Integer left, Integer top, Integer width, Integer height)
{
    constraints_->Constrain(width, height);
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
    UpdateAnchorRules();
    if (resized) RequestAlign();
}

void TControl::SetAnchors(TAnchors anchors)
{
    if (anchors == anchors_) return;
    anchors_ = anchors;
    UpdateAnchorRules();
}

void TControl::UpdateAnchorRules()
{
    if (anchorMove_ || state_.Contains(csLoading)) return;
    if (anchors_ == TAnchors{akLeft, akTop} || !parent_) {
        originalParentSize_ = Point(0, 0);
        return;
    }
    auto rule = [](bool nearEdge, bool farEdge, Integer position, Integer size) {
        if (farEdge) return nearEdge ? size : position;
        return position + size / 2;
    };
    anchorRules_.x = rule(anchors_.Contains(akLeft), anchors_.Contains(akRight), left_, width_);
    anchorRules_.y = rule(anchors_.Contains(akTop), anchors_.Contains(akBottom), top_, height_);
    const TRect client = parent_->ClientRect();
    originalParentSize_ = Point(client.right, client.bottom);
}

void TControl::ApplyAnchors(TPoint parentSize)
{
    if (originalParentSize_.x == 0 || originalParentSize_.y == 0) return;
    // Per direction: both edges keep the size's distance, the far edge alone the position's, neither the middle's
    // proportion.
    auto place = [](bool nearEdge, bool farEdge, Integer rule, Integer original, Integer now, Integer& position,
                    Integer& size) {
        if (farEdge && nearEdge)
            size = now - (original - rule);
        else if (farEdge)
            position = now - (original - rule);
        else if (!nearEdge)
            position = MulDiv(rule, now, original) - size / 2;
    };
    Integer left = left_, top = top_, width = width_, height = height_;
    place(anchors_.Contains(akLeft), anchors_.Contains(akRight), anchorRules_.x, originalParentSize_.x, parentSize.x,
          left, width);
    place(anchors_.Contains(akTop), anchors_.Contains(akBottom), anchorRules_.y, originalParentSize_.y, parentSize.y,
          top, height);
    anchorMove_ = true;
    try {
        SetBounds(left, top, width, height);
    } catch (...) {
        anchorMove_ = false;
        throw;
    }
    anchorMove_ = false;
}

void TControl::BoundsChanged()
{
    if (!parent_) return;
    parent_->Invalidate();
    parent_->ChildBoundsChanged(this);
}

void TControl::RequestAlign()
{
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

TRect TControl::ClientRect() { return TRect{0, 0, width_, height_}; }

void TControl::SetClientWidth(Integer value) { SetWidth(width_ - ClientWidth() + value); }

void TControl::SetClientHeight(Integer value) { SetHeight(height_ - ClientHeight() + value); }

TPoint TControl::ClientOrigin()
{
    if (auto* window = dynamic_cast<TWinControl*>(this); window && window->HandleAllocated()) {
        TPoint origin = Point(0, 0);
        ::ClientToScreen(window->Handle(), &origin);
        return origin;
    }
    if (!parent_) return Point(left_, top_);
    TPoint origin = parent_->ClientOrigin();
    return Point(origin.x + left_, origin.y + top_);
}

void TControl::SetAlign(TAlign align)
{
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    VisibleChanging();
    visible_ = visible;
    Perform(CM_VISIBLECHANGED, visible);
    if (parent_ && align_ != alNone) parent_->AlignControls();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    parentColor_ = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value)
{
    if (value == parentColor_) return;
    parentColor_ = value;
    if (parentColor_ && parent_) {
        color_ = parent_->Color();
        Perform(CM_COLORCHANGED);
    }
}

void TControl::SetShowHint(bool value)
{
    parentShowHint_ = false;
    if (value == showHint_) return;
    showHint_ = value;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value)
{
    if (value == parentShowHint_) return;
    parentShowHint_ = value;
    if (parentShowHint_ && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::ParentShowHintChanged()
{
    if (!parentShowHint_ || !parent_) return;
    SetShowHint(parent_->ShowHint());
    parentShowHint_ = true;
}

void TControl::SetParentFont(bool value)
{
    if (value == parentFont_) return;
    parentFont_ = value;
    if (parentFont_ && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged(TObject*)
{
    parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetText(const std::string& text)
{
    if (text == GetText()) return;
    SetTextBuf(text);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetTextBuf(const std::string& text) { text_ = text; }

LRESULT TControl::Perform(Cardinal msg, WPARAM wParam, LPARAM lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& message)
{
    if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST) HandleMouseMessage(message);
    Dispatch(message);
}

// Mouse events and clicks of the control (TWinControl windows of system classes click on their own).
void TControl::HandleMouseMessage(TMessage& message)
{
    const TWMMouse& mouse = MessageAs<TWMMouse>(message);
    const TShiftState shift = KeysToShiftState(Word(mouse.Keys));
    const Integer x = mouse.XPos, y = mouse.YPos;
    if (IsButtonPress(message.Msg)) SendCancelMode(this);
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (controlStyle_.Contains(csCaptureMouse)) captureControl = this;
        if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
        controlState_.Include(csLButtonDown);
        if (message.Msg == WM_LBUTTONDBLCLK && controlStyle_.Contains(csDoubleClicks)) DblClick();
        MouseDown(mbLeft, shift, x, y);
        break;
    case WM_LBUTTONUP: {
        if (captureControl == this) captureControl = nullptr;
        controlState_.Exclude(csLButtonDown);
        const bool clicked = controlState_.Contains(csClicked);
        controlState_.Exclude(csClicked);
        const TRect client = ClientRect();
        const POINT point{x, y};
        if (clicked && PtInRect(&client, point)) Click();
        MouseUp(mbLeft, shift, x, y);
        break;
    }
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, shift, x, y);
        break;
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(mbMiddle, shift, x, y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        break;
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        break;
    default:
        break;
    }
}

// WM_CONTEXTMENU (screen position, or -1,-1 from the keyboard): the control's popup menu, when it pops up on its own.
void TControl::ContextPopup(TMessage& message)
{
    if (!popupMenu_ || !popupMenu_->AutoPopup()) return;
    TPoint at = Point(SmallInt(message.LParamLo()), SmallInt(message.LParamHi()));
    if (message.LParam == -1) at = ClientToScreen(Point(0, 0));
    SendCancelMode(nullptr);
    popupMenu_->SetPopupComponent(this);
    popupMenu_->Popup(at.x, at.y);
    message.Result = 1;
}

void TControl::SendCancelMode(TControl* sender)
{
    for (TControl* control = this; control; control = control->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(control)) form->SendCancelMode(sender);
}

void TControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_PARENTFONTCHANGED:
        if (parentFont_ && parent_) {
            font_->OnChange = nullptr;
            font_->Assign(parent_->Font());
            font_->OnChange = [this](TObject* sender) { FontChanged(sender); };
            Perform(CM_FONTCHANGED);
            parentFont_ = true;
        }
        break;
    case CM_PARENTCOLORCHANGED:
        if (parentColor_ && parent_) {
            color_ = parent_->Color();
            Perform(CM_COLORCHANGED);
        }
        break;
    case CM_PARENTSHOWHINTCHANGED:
        ParentShowHintChanged();
        break;
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        break;
    case WM_CONTEXTMENU:
        ContextPopup(message);
        if (message.Result == 0) DefaultHandler(message);
        break;
    case WM_MOUSEWHEEL:
        MouseWheelMessage(message);
        break;
    case CM_MOUSEWHEEL:
        MouseWheelTurned(message);
        break;
    default:
        DefaultHandler(message);
    }
}

void TControl::MouseWheelMessage(TMessage& message)
{
    TCustomForm* form = GetParentForm(this);
    TControl* target = form && form->ActiveControl() ? static_cast<TControl*>(form->ActiveControl()) : this;
    message.Result = target->Perform(CM_MOUSEWHEEL, message.WParam, message.LParam);
    if (message.Result == 0) DefaultHandler(message);
}

void TControl::MouseWheelTurned(TMessage& message)
{
    bool handled = false;
    if (OnMouseWheel) {
        const TPoint at = Point(SmallInt(message.LParamLo()), SmallInt(message.LParamHi()));
        OnMouseWheel(this, KeysToShiftState(Word(message.WParam & 0xFFFF)), SmallInt(message.WParam >> 16), at,
                     handled);
    }
    if (handled)
        message.Result = 1;
    else if (parent_)
        message.Result = parent_->Perform(CM_MOUSEWHEEL, message.WParam, message.LParam);
}

void TControl::DefaultHandler(TMessage& message)
{
    if (message.Msg == WM_GETTEXTLENGTH) message.Result = LRESULT(text_.size());
}

void TControl::Click()
{
    if (OnClick) OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y)
{
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, Integer x, Integer y)
{
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Invalidate()
{
    if (parent_ && parent_->HandleAllocated()) {
        const TRect rect = BoundsRect();
        InvalidateRect(parent_->Handle(), &rect, TRUE);
    }
}

void TControl::ChangeScale(Integer M, Integer D)
{
    if (M == D) return;
    if (parent_) {
        const Integer left = MulDiv(left_, M, D), top = MulDiv(top_, M, D);
        SetBounds(left, top, MulDiv(left_ + width_, M, D) - left, MulDiv(top_ + height_, M, D) - top);
    } else {
        const Integer clientHeight = ClientHeight();
        SetClientWidth(MulDiv(ClientWidth(), M, D));
        SetClientHeight(MulDiv(clientHeight, M, D));
    }
    if (!parentFont_) font_->SetSize(MulDiv(font_->Size(), M, D));
}

void TControl::Update()
{
    if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->Handle());
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

void TControl::BringToFront()
{
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    if (auto* window = dynamic_cast<TWinControl*>(this); window && window->HandleAllocated())
        SetWindowPos(window->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack()
{
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin(), this);
    if (auto* window = dynamic_cast<TWinControl*>(this); window && window->HandleAllocated())
        SetWindowPos(window->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner), brush_(std::make_unique<TBrush>())
{
    brush_->SetColor(ColorToRGB(color_));
}

TWinControl::~TWinControl()
{
    Destroying();
    if (TCustomForm* form = GetParentForm(this); form && form != this) form->ControlDestroyed(this);
    // Leave the parent while still a window control, so it drops this from its tab order too.
    if (Parent()) Parent()->RemoveControl(this);
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        RemoveControl(child);
        delete child;
    }
    DestroyHandle();
}

void TWinControl::Publish(TPublisher<TWinControl>& p)
{
    p.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    p.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Stored(true);
    p.Property("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Stored(&TWinControl::IsCtl3DStored);
    p.Property("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
    p.Property("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare);
    p.Property("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
    p.Property("OnKeyDown", &TWinControl::OnKeyDown);
    p.Property("OnKeyUp", &TWinControl::OnKeyUp);
    p.Property("OnKeyPress", &TWinControl::OnKeyPress);
    p.Property("OnEnter", &TWinControl::OnEnter);
    p.Property("OnExit", &TWinControl::OnExit);
}

HWND TWinControl::Handle()
{
    if (!handle_) CreateHandle();
    return handle_;
}

void TWinControl::InsertControl(TControl* control)
{
    control->parent_ = this;
    controls_.push_back(control);
    if (auto* window = dynamic_cast<TWinControl*>(control)) {
        tabList_.push_back(window);
        if (window->parentCtl3D_) window->Perform(CM_PARENTCTL3DCHANGED);
        if (handle_) window->CreateHandle();
    }
    if (control->parentFont_) control->Perform(CM_PARENTFONTCHANGED);
    if (control->parentColor_) control->Perform(CM_PARENTCOLORCHANGED);
    if (control->parentShowHint_) control->Perform(CM_PARENTSHOWHINTCHANGED);
    if (control->align_ != alNone) AlignControls();
    control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control)
{
    control->Invalidate();
    if (captureControl == control) captureControl = nullptr;
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (auto* window = dynamic_cast<TWinControl*>(control)) {
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), window), tabList_.end());
        if (!window->ComponentState().Contains(csDestroying)) window->DestroyHandle();
    }
    control->parent_ = nullptr;
    if (control->align_ != alNone) AlignControls();
}

bool TWinControl::ContainsControl(const TControl* control) const
{
    while (control && control != this) control = control->Parent();
    return control == this;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled)
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* control = *it;
        const TRect rect = control->BoundsRect();
        if (control->Visible() && (allowDisabled || control->Enabled()) && PtInRect(&rect, pos)) return control;
    }
    return nullptr;
}

void TWinControl::SetCtl3D(bool value)
{
    parentCtl3D_ = false;
    if (value == ctl3D_) return;
    ctl3D_ = value;
    Perform(CM_CTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool value)
{
    if (value == parentCtl3D_) return;
    parentCtl3D_ = value;
    if (parentCtl3D_) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::AddBorder(TCreateParams& params, TBorderStyle style)
{
    ctl3DBorder_ = style == bsSingle;
    if (!ctl3DBorder_) return;
    if (ctl3D_)
        params.ExStyle |= WS_EX_CLIENTEDGE;
    else
        params.Style |= WS_BORDER;
}

// A window made with a border remade with the other one (an edit draws its own); the children that follow take the
// new Ctl3D.
void TWinControl::CMCtl3DChanged(TMessage&)
{
    if (ctl3DBorder_) RecreateWnd();
    NotifyControls(CM_PARENTCTL3DCHANGED);
}

void TWinControl::SetTabStop(bool value)
{
    if (value == tabStop_) return;
    tabStop_ = value;
    Perform(CM_TABSTOPCHANGED);
}

Integer TWinControl::TabOrder() const
{
    if (!parent_) return -1;
    const auto& list = parent_->tabList_;
    auto found = std::find(list.begin(), list.end(), this);
    return found == list.end() ? -1 : Integer(found - list.begin());
}

void TWinControl::SetTabOrder(Integer order)
{
    if (!parent_) return;
    auto& list = parent_->tabList_;
    list.erase(std::find(list.begin(), list.end(), this));
    order = std::clamp<Integer>(order, 0, Integer(list.size()));
    list.insert(list.begin() + order, this);
}

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    for (TControl* control : controls_)
        if (control->Owner() == root) proc(control);
}

void TWinControl::SetChildOrder(TComponent* child, Integer order)
{
    auto* control = dynamic_cast<TControl*>(child);
    auto found = std::find(controls_.begin(), controls_.end(), control);
    if (found == controls_.end()) return;
    controls_.erase(found);
    controls_.insert(controls_.begin() + std::clamp<Integer>(order, 0, Integer(controls_.size())), control);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const
{
    for (TWinControl* control : tabList_) {
        list.push_back(control);
        control->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const Integer count = Integer(list.size());
    auto found = std::find(list.begin(), list.end(), current);
    Integer start = found == list.end() ? (goForward ? count - 1 : 0) : Integer(found - list.begin());
    Integer i = start;
    do {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        TWinControl* candidate = list[i];
        if (candidate->CanFocus() && (!checkTabStop || candidate->TabStop()) &&
            (!checkParent || candidate->Parent() == this))
            return candidate;
    } while (i != start);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop)
{
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

bool TWinControl::CanFocus() const
{
    const TCustomForm* form = GetParentForm(this);
    if (!form) return false;
    for (const TControl* control = this; control; control = control->Parent()) {
        if (!control->Visible() || !control->Enabled()) return false;
        if (control == form) break;
    }
    return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus()
{
    if (TCustomForm* form = GetParentForm(this))
        form->FocusControl(this);
    else if (parent_)
        parent_->SetFocus();
    else
        ::SetFocus(Handle());
}

bool TWinControl::Showing() const
{
    if (!visible_) return false;
    if (parent_) return parent_->Showing();
    return handle_ && IsWindowVisible(handle_);
}

void TWinControl::Invalidate()
{
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update()
{
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::SetBounds(Integer left, Integer top, Integer width, Integer height)
{
    const bool resized = width != width_ || height != height_;
    TControl::SetBounds(left, top, width, height);
    if (resized) AlignControls();
}

void TWinControl::BoundsChanged()
{
    if (handle_) SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    if (parent_) parent_->ChildBoundsChanged(this);
}

TRect TWinControl::ClientRect()
{
    TRect rect{0, 0, width_, height_};
    if (handle_) GetClientRect(handle_, &rect);
    return rect;
}

void TWinControl::EnableAlign()
{
    if (--alignDisabled_ == 0) AlignControls();
}

void TWinControl::ChangeScale(Integer M, Integer D)
{
    if (M == D) return;
    DisableAlign();
    for (TControl* control : controls_) control->ChangeScale(M, D);
    TControl::ChangeScale(M, D);
    EnableAlign();
}

TRect TWinControl::AlignChildren()
{
    TRect rect = ClientRect();
    if (alignDisabled_ > 0) return rect;
    AdjustClientRect(rect);
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* control : controls_) {
            if (control->Align() != align || !control->Visible()) continue;
            const Integer w = control->Width(), h = control->Height();
            switch (align) {
            case alTop:
                control->SetBounds(rect.left, rect.top, rect.right - rect.left, h);
                rect.top += h;
                break;
            case alBottom:
                control->SetBounds(rect.left, rect.bottom - h, rect.right - rect.left, h);
                rect.bottom -= h;
                break;
            case alLeft:
                control->SetBounds(rect.left, rect.top, w, rect.bottom - rect.top);
                rect.left += w;
                break;
            case alRight:
                control->SetBounds(rect.right - w, rect.top, w, rect.bottom - rect.top);
                rect.right -= w;
                break;
            default:
                control->SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
                break;
            }
        }
    }
    const TRect client = ClientRect();
    for (TControl* control : controls_)
        if (control->Align() == alNone) control->ApplyAnchors(Point(client.right, client.bottom));
    return rect;
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.Caption = text_;
    params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (tabStop_) params.Style |= WS_TABSTOP;
    if (visible_) params.Style |= WS_VISIBLE;
    if (!enabled_) params.Style |= WS_DISABLED;
    params.X = left_;
    params.Y = top_;
    params.Width = width_;
    params.Height = height_;
    params.WndParent = parent_ ? parent_->Handle() : parentWindow_;
    params.WinClassName = "Dun" + ClassName();
}

void TWinControl::RegisterWindowClass(TCreateParams& params)
{
    if (!params.SystemClass.empty()) return;
    WNDCLASSA existing{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), params.WinClassName.c_str(), &existing)) return;
    WNDCLASSA wc{};
    wc.style = params.ClassStyle;
    wc.lpfnWndProc = ControlWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = params.WinClassName.c_str();
    RegisterClassA(&wc);
}

void TWinControl::CreateHandle()
{
    if (handle_) return;
    CreateWnd();
    for (TWinControl* child : tabList_) child->CreateHandle();
    AlignControls();
    UpdateShowing();
}

void TWinControl::UpdateShowing()
{
    const bool showing = handle_ && Showing();
    if (showing != showing_) {
        showing_ = showing;
        try {
            Perform(CM_SHOWINGCHANGED);
        } catch (...) {
            showing_ = !showing;
            throw;
        }
    }
    for (TWinControl* child : std::vector<TWinControl*>(tabList_)) child->UpdateShowing();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    if (parent_ && !params.WndParent) params.WndParent = parent_->Handle();
    RegisterWindowClass(params);
    controlState_.Include(csCreating);
    try {
        CreateWindowHandle(params);
    } catch (...) {
        controlState_.Exclude(csCreating);
        throw;
    }
    controlState_.Exclude(csCreating);
    if (!handle_) throw EOSError("Error creating window " + ClassName());
    SendMessageA(handle_, WM_SETFONT, WPARAM(font_->Handle()), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params)
{
    const bool system = !params.SystemClass.empty();
    const char* className = system ? params.SystemClass.c_str() : params.WinClassName.c_str();
    HMENU id = (params.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextControlId++)) : nullptr;
    TWinControl* outer = creatingControl;
    creatingControl = system ? nullptr : this;
    defWndProc_ = DefWindowProcA;
    HWND window = CreateWindowExA(params.ExStyle, className, params.Caption.c_str(), params.Style, params.X,
                                  params.Y, params.Width, params.Height, params.WndParent, id,
                                  GetModuleHandleA(nullptr), nullptr);
    creatingControl = outer;
    if (!window) return;
    if (system) {
        handle_ = window;
        WindowControls()[window] = this;
        defWndProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
    }
}

void TWinControl::DestroyHandle()
{
    if (!handle_) return;
    for (TWinControl* child : tabList_) child->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd()
{
    text_ = GetText();
    HWND window = handle_;
    controlState_.Include(csDestroyingHandle);
    DestroyWindow(window);
    controlState_.Exclude(csDestroyingHandle);
    WindowControls().erase(window);
    handle_ = nullptr;
    showing_ = false;
}

void TWinControl::RecreateWnd()
{
    if (!handle_) return;
    DestroyHandle();
    CreateHandle();
}

std::string TWinControl::GetText() const
{
    if (!handle_) return text_;
    const int length = GetWindowTextLengthA(handle_);
    std::string text(length + 1, '\0');
    const int got = GetWindowTextA(handle_, text.data(), length + 1);
    text.resize(std::max(got, 0));
    return text;
}

void TWinControl::SetTextBuf(const std::string& text)
{
    text_ = text;
    if (handle_) SetWindowTextA(handle_, text.c_str());
}

HBRUSH TWinControl::ColorBrush()
{
    brush_->SetColor(color_);
    return brush_->Handle();
}

void TWinControl::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_SETFOCUS: {
        TCustomForm* form = GetParentForm(this);
        if (form && !form->SetFocusedControl(this)) return;
        break;
    }
    case WM_KILLFOCUS:
        if (controlState_.Contains(csFocusing)) return;
        break;
    case WM_MOUSELEAVE:
        if (mouseControl && (mouseControl == this || mouseControl->Parent() == this)) {
            UpdateMouseControl(nullptr);
            Application->HintMouseMessage(nullptr);
        }
        break;
    default:
        break;
    }
    // Mouse messages over a graphic child (or captured by one) go to that child.
    if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MOUSELAST && message.Msg != WM_MOUSEWHEEL) {
        TWMMouse& mouse = MessageAs<TWMMouse>(message);
        TControl* target = captureControl && captureControl->Parent() == this ? captureControl : nullptr;
        if (!target) {
            TControl* hit = ControlAtPos(Point(mouse.XPos, mouse.YPos), false);
            if (hit && !dynamic_cast<TWinControl*>(hit)) target = hit;
        }
        if (message.Msg == WM_MOUSEMOVE) {
            UpdateMouseControl(target ? target : this);
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, handle_, 0};
            TrackMouseEvent(&track);
            // Disabled controls get no mouse messages of their own but still show their hints.
            TControl* hinted = target ? target : ControlAtPos(Point(mouse.XPos, mouse.YPos), true);
            Application->HintMouseMessage(hinted ? hinted : this);
        }
        if (target) {
            if (message.Msg == WM_LBUTTONDOWN) SetCapture(handle_);
            if (message.Msg == WM_LBUTTONUP) ReleaseCapture();
            TMessage forwarded = message;
            MessageAs<TWMMouse>(forwarded).XPos = SmallInt(mouse.XPos - target->Left());
            MessageAs<TWMMouse>(forwarded).YPos = SmallInt(mouse.YPos - target->Top());
            target->WndProc(forwarded);
            message.Result = forwarded.Result;
            // The window turns the right button's release into WM_CONTEXTMENU, which finds the child again.
            if (message.Msg == WM_RBUTTONUP) DefaultHandler(message);
            return;
        }
    }
    // A window of ours pressed with the left button keeps the mouse until the button comes up (system classes
    // capture it themselves). Taken after the press is handled, as a dialog shown on the press needs the mouse.
    const bool capturing = controlStyle_.Contains(csCaptureMouse) && defWndProc_ == DefWindowProcA;
    const HWND window = handle_;
    TControl::WndProc(message);
    if (!capturing || FindControl(window) != this) return;
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) SetCapture(window);
    if (message.Msg == WM_LBUTTONUP && GetCapture() == window) ReleaseCapture();
}

void TWinControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        CNKeyDown(message);
        return;
    case CN_CHAR:
    case CN_SYSCHAR:
        CNChar(message);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!DoKeyDown(MessageAs<TWMKey>(message))) DefaultHandler(message);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (!DoKeyUp(MessageAs<TWMKey>(message))) DefaultHandler(message);
        return;
    case WM_CHAR:
        if (!DoKeyPress(MessageAs<TWMKey>(message))) DefaultHandler(message);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        CMDialogKeyOrChar(message);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(message);
        return;
    case CM_FONTCHANGED:
        CMFontChanged(message);
        return;
    case CM_COLORCHANGED:
        CMColorChanged(message);
        return;
    case CM_VISIBLECHANGED:
        CMVisibleChanged(message);
        return;
    case CM_CTL3DCHANGED:
        CMCtl3DChanged(message);
        return;
    case CM_PARENTCTL3DCHANGED:
        if (parentCtl3D_ && parent_ && parent_->ctl3D_ != ctl3D_) {
            ctl3D_ = parent_->ctl3D_;
            Perform(CM_CTL3DCHANGED);
        }
        return;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        return;
    case WM_CONTEXTMENU:
        WMContextMenu(message);
        return;
    case WM_SETFOCUS:
        DefaultHandler(message);
        return;
    case WM_PAINT:
        PaintHandler(message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(message);
        return;
    case WM_WINDOWPOSCHANGED: {
        // The bounds follow the window before the default handling sends WM_SIZE (a form's OnResize reads them).
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
        if (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE)) {
            RECT rect;
            GetWindowRect(handle_, &rect);
            if (HWND parentWindow = GetParent(handle_); parentWindow && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
                MapWindowPoints(HWND_DESKTOP, parentWindow, reinterpret_cast<POINT*>(&rect), 2);
            const bool resized = rect.right - rect.left != width_ || rect.bottom - rect.top != height_;
            left_ = rect.left;
            top_ = rect.top;
            width_ = rect.right - rect.left;
            height_ = rect.bottom - rect.top;
            if (resized) AlignControls();
        }
        DefaultHandler(message);
        if (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) UpdateShowing();
        return;
    }
    case WM_COMMAND:
        if (message.LParam) {
            ReflectToControl(message, reinterpret_cast<HWND>(message.LParam));
            return;
        }
        break;
    case WM_NOTIFY:
        ReflectToControl(message, reinterpret_cast<const NMHDR*>(message.LParam)->hwndFrom);
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (message.LParam) {
            ReflectToControl(message, reinterpret_cast<HWND>(message.LParam));
            return;
        }
        break;
    case WM_DRAWITEM:
        ReflectToControl(message, reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam)->hwndItem);
        return;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        ReflectToControl(message, reinterpret_cast<HWND>(message.LParam));
        return;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToRGB(font_->Color()));
        SetBkColor(dc, ColorToRGB(color_));
        message.Result = reinterpret_cast<LRESULT>(ColorBrush());
        return;
    }
    default:
        break;
    }
    TControl::Dispatch(message);
}

void TWinControl::DefaultHandler(TMessage& message)
{
    if (!handle_) {
        TControl::DefaultHandler(message);
        return;
    }
    message.Result = CallWindowProcA(defWndProc_, handle_, message.Msg, message.WParam, message.LParam);
}

// A notification from a child window goes back to the child as CN_ message; other windows get the default.
void TWinControl::ReflectToControl(TMessage& message, HWND child)
{
    TWinControl* control = FindControl(child);
    if (control && control != this) {
        message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
        return;
    }
    DefaultHandler(message);
}

void TWinControl::NotifyControls(Cardinal msg)
{
    for (TControl* control : std::vector<TControl*>(controls_)) control->Perform(msg);
}

// The key-down stage before a key reaches the window: menu shortcuts, then Tab, arrows, Enter and Escape as dialog
// keys of the form, unless the control wants them. A non-zero Result eats the key.
void TWinControl::CNKeyDown(TMessage& message)
{
    TWMKey& key = MessageAs<TWMKey>(message);
    message.Result = 1;
    TCustomForm* form = GetParentForm(this);
    if (form && form->IsShortCut(key)) return;
    if (Perform(CM_CHILDKEY, key.CharCode, reinterpret_cast<LPARAM>(this)) != 0) return;
    LRESULT mask = 0;
    switch (key.CharCode) {
    case VK_TAB:
        mask = DLGC_WANTTAB;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        mask = DLGC_WANTARROWS;
        break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL:
        mask = DLGC_WANTALLKEYS;
        break;
    default:
        break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, key.CharCode, key.KeyData) == 0 &&
        (Perform(WM_GETDLGCODE) & mask) == 0 && form &&
        form->Perform(CM_DIALOGKEY, key.CharCode, key.KeyData) != 0)
        return;
    message.Result = 0;
}

// A character the control does not take as text may be an accelerator of the form's controls.
void TWinControl::CNChar(TMessage& message)
{
    TWMKey& key = MessageAs<TWMKey>(message);
    message.Result = 1;
    TCustomForm* form = GetParentForm(this);
    const bool wantsChars = (Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) != 0;
    const bool alt = message.Msg == CN_SYSCHAR;
    if ((alt || !wantsChars) && form && form->Perform(CM_DIALOGCHAR, key.CharCode, key.KeyData) != 0) return;
    message.Result = 0;
}

// Dialog keys and characters go to every child until one takes it.
void TWinControl::CMDialogKeyOrChar(TMessage& message)
{
    for (TControl* control : std::vector<TControl*>(controls_)) {
        if (control->Perform(message.Msg, message.WParam, message.LParam) != 0) {
            message.Result = 1;
            return;
        }
    }
    message.Result = 0;
}

bool TWinControl::DoKeyDown(TWMKey& message)
{
    const TShiftState shift = KeyDataToShiftState(message.KeyData);
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyDown(message)) return true;
    if (!controlStyle_.Contains(csNoStdEvents)) {
        KeyDown(message.CharCode, shift);
        if (message.CharCode == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TWMKey& message)
{
    const TShiftState shift = KeyDataToShiftState(message.KeyData);
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyUp(message)) return true;
    if (!controlStyle_.Contains(csNoStdEvents)) {
        KeyUp(message.CharCode, shift);
        if (message.CharCode == 0) return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TWMKey& message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->KeyPreview() && form->DoKeyPress(message)) return true;
    if (!controlStyle_.Contains(csNoStdEvents)) {
        char ch = char(message.CharCode);
        KeyPress(ch);
        message.CharCode = Byte(ch);
        if (ch == 0) return true;
    }
    return false;
}

void TWinControl::KeyDown(Word& key, TShiftState shift)
{
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(Word& key, TShiftState shift)
{
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key)
{
    if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::DoEnter()
{
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit) OnExit(this);
}

void TWinControl::CMEnabledChanged(TMessage&)
{
    if (!enabled_ && parent_) {
        if (TCustomForm* form = GetParentForm(this); form && ContainsControl(form->ActiveControl()))
            form->DefocusControl(this);
    }
    if (handle_) EnableWindow(handle_, enabled_);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage&)
{
    if (handle_) {
        SendMessageA(handle_, WM_SETFONT, WPARAM(font_->Handle()), TRUE);
        Invalidate();
    }
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMColorChanged(TMessage&)
{
    Invalidate();
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMVisibleChanged(TMessage&)
{
    if (!visible_ && parent_) {
        if (TCustomForm* form = GetParentForm(this); form && ContainsControl(form->ActiveControl()))
            form->DefocusControl(this);
    }
    if (handle_ && parent_) ShowWindow(handle_, visible_ ? SW_SHOWNA : SW_HIDE);
}

// A graphic child under the point has the first say; then this control's own popup menu or the default handling.
void TWinControl::WMContextMenu(TMessage& message)
{
    if (message.LParam != -1) {
        const TPoint at = ScreenToClient(Point(SmallInt(message.LParamLo()), SmallInt(message.LParamHi())));
        TControl* child = ControlAtPos(at, false);
        if (child && !dynamic_cast<TWinControl*>(child)) {
            message.Result = child->Perform(WM_CONTEXTMENU, message.WParam, message.LParam);
            if (message.Result != 0) return;
        }
    }
    TControl::Dispatch(message);
}

void TWinControl::WMEraseBkgnd(TMessage& message)
{
    if (!defWndProc_ || defWndProc_ == DefWindowProcA) {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        RECT rect;
        GetClientRect(handle_, &rect);
        ::FillRect(dc, &rect, ColorBrush());
        message.Result = 1;
        return;
    }
    DefaultHandler(message);
}

void TWinControl::PaintHandler(TMessage& message)
{
    if (defWndProc_ && defWndProc_ != DefWindowProcA) {
        DefaultHandler(message);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = message.WParam ? reinterpret_cast<HDC>(message.WParam) : BeginPaint(handle_, &paint);
    PaintWindow(dc);
    PaintControls(dc);
    if (!message.WParam) EndPaint(handle_, &paint);
}

void TWinControl::PaintControls(HDC dc)
{
    for (TControl* control : controls_) {
        if (dynamic_cast<TWinControl*>(control) || !control->Visible()) continue;
        const int saved = SaveDC(dc);
        const TRect bounds = control->BoundsRect();
        IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
        SetWindowOrgEx(dc, -bounds.left, -bounds.top, nullptr);
        control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
        RestoreDC(dc, saved);
    }
}

// ---- graphic and custom controls

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& message)
{
    if (message.Msg == WM_PAINT && message.WParam) {
        canvas_->SetHandle(reinterpret_cast<HDC>(message.WParam));
        canvas_->Font()->Assign(font_.get());
        try {
            Paint();
        } catch (...) {
            canvas_->SetHandle(nullptr);
            throw;
        }
        canvas_->SetHandle(nullptr);
        return;
    }
    TControl::Dispatch(message);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc)
{
    canvas_->SetHandle(dc);
    canvas_->Font()->Assign(font_.get());
    canvas_->Brush()->SetColor(color_);
    try {
        Paint();
    } catch (...) {
        canvas_->SetHandle(nullptr);
        throw;
    }
    canvas_->SetHandle(nullptr);
}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control)
{
    FreeHandle();
    control_ = control;
}

void TControlCanvas::FreeHandle()
{
    if (!HandleAllocated()) return;
    HDC dc = Handle();
    SetHandle(nullptr);
    ReleaseDC(window_, dc);
    window_ = nullptr;
}

void TControlCanvas::CreateHandle()
{
    if (!control_) return;
    if (auto* window = dynamic_cast<TWinControl*>(control_)) {
        window_ = window->Handle();
        SetHandle(GetDC(window_));
        return;
    }
    if (!control_->Parent()) return;
    window_ = control_->Parent()->Handle();
    HDC dc = GetDC(window_);
    const TRect bounds = control_->BoundsRect();
    SetWindowOrgEx(dc, -bounds.left, -bounds.top, nullptr);
    IntersectClipRect(dc, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
    SetHandle(dc);
}

// ---- hint window

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner)
{
    visible_ = false;
    color_ = clInfoBk;
    parentFont_ = false;
    font_->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_BORDER;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.WndParent = nullptr;
    params.WinClassName = "THintWindow";
    params.ClassStyle |= CS_SAVEBITS;
}

// The mouse goes through the hint to the window below it.
void THintWindow::Dispatch(TMessage& message)
{
    if (message.Msg == WM_NCHITTEST) {
        message.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::Dispatch(message);
}

TRect THintWindow::CalcHintRect(Integer maxWidth, const std::string& hint)
{
    TRect rect{0, 0, maxWidth, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, font_->Handle());
    DrawTextA(dc, hint.c_str(), int(hint.size()), &rect, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    rect.right += 6;
    rect.bottom += 2;
    return rect;
}

void THintWindow::ActivateHint(TRect rect, const std::string& hint)
{
    SetCaption(hint);
    SetBoundsRect(rect);
    SetWindowPos(Handle(), HWND_TOPMOST, left_, top_, width_, height_, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::Paint()
{
    TRect rect = ClientRect();
    InflateRect(&rect, -2, -1);
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->DrawText(Caption(), rect, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
