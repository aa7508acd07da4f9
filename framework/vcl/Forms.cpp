#include "vcl/Forms.h"

#include <algorithm>

#include "classes/ClassRegistry.h"
#include "classes/FormResource.h"
#include "rtl/InitProc.h"
#include "vcl/Buttons.h"
#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/OleStartup.h"
#include "vcl/StdCtrls.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

Integer focusCount = 0;

constexpr UINT_PTR hintShowTimer = 1, hintHideTimer = 2;

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_TIMER) return DefWindowProcA(window, msg, wParam, lParam);
    KillTimer(window, wParam);
    try {
        Application->HintTimer(wParam);
    } catch (...) {
        Application->HandleException(Application);
    }
    return 0;
}

// The hint of a control, or of the nearest parent that has one.
std::string ControlHint(const TControl* control)
{
    while (control && control->Hint().empty()) control = control->Parent();
    return control ? control->Hint() : std::string();
}

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM data)
{
    auto* list = reinterpret_cast<std::vector<HWND>*>(data);
    if (IsWindowVisible(window) && IsWindowEnabled(window)) list->push_back(window);
    return TRUE;
}

// The application and screen objects exist for the program's whole life; OLE is started with the application's
// initialisation and ended at shut-down.
struct TGlobals {
    TGlobals()
    {
        ChainOleStartup();
        Application = new TApplication(nullptr);
        Screen = new TScreen(nullptr);
        ApplicationHandleException = [](TObject* sender) { Application->HandleException(sender); };
        RegisterClasses<TForm, TLabel, TEdit, TMemo, TButton, TCheckBox, TRadioButton, TGroupBox, TComboBox,
                        TListBox, TScrollBox, TScrollBar, TRadioGroup, TBitBtn, TSpeedButton, TPanel, TBevel, TShape,
                        TImage, TTimer, TStatusBar, TMainMenu, TPopupMenu, TMenuItem, TImageList>();
    }
    ~TGlobals() { EndOleStartup(); }
} globals;

}  // namespace

// ---- TCustomForm

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner)
{
    visible_ = false;
    color_ = clBtnFace;
    parentFont_ = false;
    parentColor_ = false;
    width_ = 320;
    height_ = 240;
    icon_ = std::make_unique<TIcon>();
    auto canvas = std::make_unique<TControlCanvas>();
    canvas->SetControl(this);
    canvas_ = std::move(canvas);
    controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    formState_.Include(fsCreating);
    Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm()
{
    Destroying();
    auto& forms = Screen->forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
    if (Screen->focusedForm_ == this) Screen->focusedForm_ = nullptr;
    if (Screen->activeControl_ && ContainsControl(Screen->activeControl_)) Screen->activeControl_ = nullptr;
    activeControl_ = focusedControl_ = nullptr;
    // Children first (they reach the form while they go), then the window, then the other components.
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        RemoveControl(child);
        delete child;
    }
    DestroyHandle();
    DestroyComponents();
}

void TCustomForm::AfterConstruction()
{
    TWinControl::AfterConstruction();
    InitInheritedComponent(this, TForm::StaticClass());
    formState_.Exclude(fsCreating);
    DoCreate();
    // A form visible from creation (an MDI child, or one read visible) shows now.
    if (visible_) ShowOrHideWindow();
}

// The controls, then the components that are not controls (menus, timers, dialogs).
void TCustomForm::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    TWinControl::GetChildren(proc, root);
    for (Integer i = 0; i < ComponentCount(); ++i)
        if (!Components(i)->HasParent()) proc(Components(i));
}

void TCustomForm::BeforeDestruction()
{
    TWinControl::BeforeDestruction();
    DoDestroy();
}

void TCustomForm::Publish(TPublisher<TCustomForm>& p)
{
    p.Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    p.Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
    p.Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    p.Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons);
    p.Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
    p.Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
    p.Property("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    p.Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
    p.Property("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll);
    p.Property("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
    p.Property("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight);
    p.Property("WindowState", &TCustomForm::WindowStateValue, &TCustomForm::SetWindowState).Default(wsNormal);
    p.Property("ClientWidth", &TCustomForm::ClientWidthValue, &TCustomForm::SetClientWidth).Stored(false);
    p.Property("ClientHeight", &TCustomForm::ClientHeightValue, &TCustomForm::SetClientHeight).Stored(false);
    p.Property("OnCreate", &TCustomForm::OnCreate);
    p.Property("OnDestroy", &TCustomForm::OnDestroy);
    p.Property("OnShow", &TCustomForm::OnShow);
    p.Property("OnHide", &TCustomForm::OnHide);
    p.Property("OnActivate", &TCustomForm::OnActivate);
    p.Property("OnDeactivate", &TCustomForm::OnDeactivate);
    p.Property("OnClose", &TCustomForm::OnClose);
    p.Property("OnCloseQuery", &TCustomForm::OnCloseQuery);
    p.Property("OnPaint", &TCustomForm::OnPaint);
    p.Property("OnResize", &TCustomForm::OnResize);
}

void TCustomForm::DoCreate()
{
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoDestroy()
{
    if (OnDestroy) OnDestroy(this);
}

void TCustomForm::DoShow()
{
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action)
{
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Activate()
{
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate()
{
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::SetFormStyle(TFormStyle style)
{
    if (style == formStyle_) return;
    formStyle_ = style;
    if (style == fsMDIChild) visible_ = true;
    RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style)
{
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons)
{
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    RecreateWnd();
}

void TCustomForm::SetIcon(TIcon* icon)
{
    icon_->SetHandle(icon && icon->Handle() ? CopyIcon(icon->Handle()) : nullptr);
    if (handle_) SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_->Handle()));
}

void TCustomForm::SetMenu(TMainMenu* menu)
{
    if (menu_ && handle_) ::SetMenu(handle_, nullptr);
    menu_ = menu;
    if (menu_) {
        menu_->FreeNotification(this);
        if (handle_ && formStyle_ != fsMDIChild) ::SetMenu(handle_, menu_->Handle());
    }
}

TRect TCustomForm::ClientRect()
{
    HandleNeeded();
    return TWinControl::ClientRect();
}

TWindowState TCustomForm::WindowState()
{
    if (handle_) {
        if (IsIconic(handle_)) return wsMinimized;
        if (IsZoomed(handle_)) return wsMaximized;
        return wsNormal;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState state)
{
    windowState_ = state;
    if (handle_ && IsWindowVisible(handle_)) {
        static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
        ShowWindow(handle_, commands[state]);
    }
}

Integer TCustomForm::MDIChildCount() const
{
    Integer count = 0;
    for (TCustomForm* form : Screen->forms_)
        if (form->formStyle_ == fsMDIChild && form->handle_ && GetParent(form->handle_) == clientHandle_) ++count;
    return clientHandle_ ? count : 0;
}

TCustomForm* TCustomForm::MDIChildren(Integer index) const
{
    for (TCustomForm* form : Screen->forms_)
        if (clientHandle_ && form->formStyle_ == fsMDIChild && form->handle_ && GetParent(form->handle_) == clientHandle_ &&
            index-- == 0)
            return form;
    throw EListError("List index out of bounds");
}

TCustomForm* TCustomForm::ActiveMDIChild() const
{
    if (!clientHandle_) return nullptr;
    auto active = reinterpret_cast<HWND>(SendMessageA(clientHandle_, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TCustomForm*>(FindControl(active));
}

void TCustomForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.Style = WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_CONTROLPARENT;
    switch (borderStyle_) {
    case bsNone:
        params.Style |= WS_POPUP;
        break;
    case bsSingle:
        params.Style |= WS_CAPTION | WS_BORDER;
        break;
    case bsSizeable:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case bsDialog:
        params.Style |= WS_POPUP | WS_CAPTION;
        params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        params.Style |= WS_CAPTION;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) {
        params.Style |= WS_SYSMENU;
        if (borderStyle_ != bsDialog && borderStyle_ != bsToolWindow && borderStyle_ != bsSizeToolWin) {
            if (borderIcons_.Contains(biMinimize)) params.Style |= WS_MINIMIZEBOX;
            if (borderIcons_.Contains(biMaximize)) params.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (!enabled_) params.Style |= WS_DISABLED;
    if (formStyle_ == fsStayOnTop) params.ExStyle |= WS_EX_TOPMOST;
    if (position_ == poDefault || position_ == poDefaultPosOnly) params.X = params.Y = CW_USEDEFAULT;
    params.WndParent = Application->Handle();
    if (formStyle_ == fsMDIChild) {
        TCustomForm* main = Application->MainForm();
        if (!main || main->formStyle_ != fsMDIForm) throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
        params.ExStyle |= WS_EX_MDICHILD;
        params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                       WS_MINIMIZEBOX | WS_MAXIMIZEBOX | (visible_ ? WS_VISIBLE : 0);
        params.WndParent = main->ClientHandle();
    }
}

void TCustomForm::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    if (!handle_) return;
    if (formStyle_ == fsMDIForm) {
        CLIENTCREATESTRUCT client{nullptr, 0xFF00};
        RECT rect;
        GetClientRect(handle_, &rect);
        clientHandle_ = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                        WS_CHILD | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | WS_VISIBLE, 0, 0,
                                        rect.right, rect.bottom, handle_, nullptr, GetModuleHandleA(nullptr),
                                        &client);
    }
    if (menu_ && formStyle_ != fsMDIChild) ::SetMenu(handle_, menu_->Handle());
    if (icon_->Handle()) SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_->Handle()));
}

void TCustomForm::DestroyWnd()
{
    if (menu_) ::SetMenu(handle_, nullptr);
    if (formStyle_ == fsMDIChild && handle_) {
        if (TCustomForm* main = Application->MainForm(); main && main->clientHandle_) {
            HWND window = handle_;
            text_ = GetText();
            SendMessageA(main->clientHandle_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
            handle_ = nullptr;
            return;
        }
    }
    TWinControl::DestroyWnd();
    clientHandle_ = nullptr;
}

void TCustomForm::PaintWindow(HDC dc)
{
    if (!OnPaint) return;
    canvas_->SetHandle(dc);
    canvas_->Font()->Assign(font_.get());
    canvas_->Brush()->SetColor(color_);
    try {
        OnPaint(this);
    } catch (...) {
        canvas_->SetHandle(nullptr);
        throw;
    }
    canvas_->SetHandle(nullptr);
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (handle_ && formStyle_ != fsMDIChild) BringWindowToTop(handle_);
}

void TCustomForm::Hide() { SetVisible(false); }

void TCustomForm::ApplyPosition()
{
    if (positioned_) return;
    positioned_ = true;
    TCustomForm* center = nullptr;
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
        SetBounds((Screen->Width() - width_) / 2, (Screen->Height() - height_) / 2, width_, height_);
        return;
    case poMainFormCenter:
        center = Application->MainForm();
        break;
    case poOwnerFormCenter:
        center = dynamic_cast<TCustomForm*>(Owner());
        break;
    default:
        return;
    }
    if (!center || center == this) center = nullptr;
    if (center)
        SetBounds(center->Left() + (center->Width() - width_) / 2, center->Top() + (center->Height() - height_) / 2,
                  width_, height_);
    else
        SetBounds((Screen->Width() - width_) / 2, (Screen->Height() - height_) / 2, width_, height_);
}

void TCustomForm::ShowOrHideWindow()
{
    if (state_.Contains(csLoading) || formState_.Contains(fsCreating)) return;
    if (visible_) {
        HandleNeeded();
        ApplyPosition();
        formState_.Include(fsShowing);
        try {
            DoShow();
        } catch (...) {
            formState_.Exclude(fsShowing);
            throw;
        }
        formState_.Exclude(fsShowing);
        static const int commands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ShowWindow(handle_, commands[windowState_]);
        if (formStyle_ == fsMDIChild)
            SendMessageA(GetParent(handle_), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(handle_), 0);
    } else if (handle_) {
        if (formStyle_ == fsMDIChild) throw EInvalidOperation("Cannot hide an MDI Child Form");
        DoHide();
        ShowWindow(handle_, SW_HIDE);
    }
}

void TCustomForm::Close()
{
    if (formState_.Contains(fsModal)) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    if (formStyle_ == fsMDIChild) action = borderIcons_.Contains(biMinimize) ? caMinimize : caNone;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        SetWindowState(wsMinimized);
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

bool TCustomForm::CloseQuery()
{
    if (formStyle_ == fsMDIForm) {
        for (Integer i = 0; i < MDIChildCount(); ++i)
            if (!MDIChildren(i)->CloseQuery()) return false;
    }
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Release() { PostMessageA(Handle(), CM_RELEASE, 0, 0); }

TModalResult TCustomForm::ShowModal() { return DialogService()->ShowModal(this); }

TModalResult TCustomForm::RunModal()
{
    if (visible_ || !enabled_ || formState_.Contains(fsModal) || formStyle_ == fsMDIChild)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    formState_.Include(fsModal);
    HWND activeWindow = GetActiveWindow();
    TCustomForm* focusedForm = Screen->focusedForm_;
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled) EnableWindow(window, FALSE);
    auto restore = [&] {
        for (HWND window : disabled) EnableWindow(window, TRUE);
        if (handle_ && IsWindowVisible(handle_)) {
            Perform(CM_DEACTIVATE);
            ShowOrHideWindowQuietly();
        }
        visible_ = false;
        if (activeWindow && IsWindow(activeWindow)) SetActiveWindow(activeWindow);
        if (focusedForm && std::find(Screen->forms_.begin(), Screen->forms_.end(), focusedForm) != Screen->forms_.end())
            Screen->focusedForm_ = focusedForm;
        formState_.Exclude(fsModal);
    };
    try {
        modalResult_ = mrNone;
        Show();
        SetForegroundWindow(handle_);
        do {
            Application->HandleMessage();
            if (Application->Terminated())
                modalResult_ = mrCancel;
            else if (modalResult_ != mrNone)
                CloseModal();
        } while (modalResult_ == mrNone);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return modalResult_;
}

void TCustomForm::ShowOrHideWindowQuietly()
{
    DoHide();
    ShowWindow(handle_, SW_HIDE);
}

void TCustomForm::CloseModal()
{
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    switch (action) {
    case caNone:
        modalResult_ = mrNone;
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (activeControl_ == control) return;
    if (control && (control == this || GetParentForm(control) != this ||
                    (!state_.Contains(csLoading) && !control->CanFocus())))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    activeControl_ = control;
    if (!state_.Contains(csLoading) && active_) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* control)
{
    const bool wasActive = active_;
    SetActiveControl(control);
    if (!wasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* control)
{
    if (control->ContainsControl(activeControl_)) activeControl_ = nullptr;
    if (control->ContainsControl(focusedControl_)) focusedControl_ = control->Parent();
}

void TCustomForm::SendCancelMode(TControl* sender)
{
    if (active_ && activeControl_) activeControl_->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
    TControl* capture = GetCaptureControl();
    if (capture && capture != activeControl_) capture->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(sender));
}

void TCustomForm::ControlDestroyed(TWinControl* control)
{
    if (control->ContainsControl(activeControl_)) activeControl_ = nullptr;
    if (control->ContainsControl(focusedControl_)) focusedControl_ = nullptr;
    if (Screen->activeControl_ && control->ContainsControl(Screen->activeControl_)) Screen->activeControl_ = nullptr;
}

void TCustomForm::SetFocus()
{
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    if (formStyle_ == fsMDIChild) {
        if (TCustomForm* main = Application->MainForm())
            SendMessageA(main->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Handle()), 0);
    }
    if (IsIconic(Handle())) ShowWindow(handle_, SW_RESTORE);
    if (formStyle_ != fsMDIChild) SetForegroundWindow(handle_);
    SetActive(true);
}

void TCustomForm::SetWindowFocus()
{
    TWinControl* target = activeControl_ ? activeControl_ : this;
    ::SetFocus(target->Handle());
}

void TCustomForm::SetActive(bool active)
{
    if (active_ && !active) SendCancelMode(nullptr);
    active_ = active;
    if (!active_) return;
    if (!activeControl_) activeControl_ = FindNextControl(nullptr, true, true, false);
    SetWindowFocus();
}

// Sends CM_ENTER/CM_EXIT; false when the handler moved the focus elsewhere or raised (failure then holds it).
bool TCustomForm::SendFocusMessage(TWinControl* control, Cardinal msg, std::exception_ptr* failure)
{
    const Integer count = focusCount;
    try {
        control->Perform(msg);
    } catch (...) {
        *failure = std::current_exception();
        return false;
    }
    return focusCount == count;
}

// The form's focus bookkeeping when a window of it takes the focus: the controls left get CM_EXIT (from the inside
// out), the controls entered CM_ENTER (from the outside in). An exit handler that moves the focus stops the move;
// one that raises keeps the focus where it was and the exception is shown afterwards.
bool TCustomForm::SetFocusedControl(TWinControl* control)
{
    // A form going away gets the focus back from its dying children: it must not become active again.
    if (state_.Contains(csDestroying)) return false;
    ++focusCount;
    activeControl_ = control != this ? control : nullptr;
    Screen->activeControl_ = control;
    Screen->activeForm_ = this;
    if (control->ControlState().Contains(csFocusing)) return false;
    control->SetControlState(control->ControlState() + TControlState{csFocusing});
    struct Guard {
        TWinControl* c;
        ~Guard() { c->SetControlState(c->ControlState() - TControlState{csFocusing}); }
    } guard{control};

    if (Screen->focusedForm_ != this) {
        if (TCustomForm* previous = Screen->focusedForm_) {
            Screen->focusedForm_ = nullptr;
            const Integer count = focusCount;
            previous->Perform(CM_DEACTIVATE);
            if (count != focusCount) return false;
        }
        Screen->focusedForm_ = this;
        const Integer count = focusCount;
        Perform(CM_ACTIVATE);
        if (count != focusCount) return false;
    }
    if (!focusedControl_) focusedControl_ = this;
    if (focusedControl_ == control) return true;

    TWinControl* previous = focusedControl_;
    while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
        TWinControl* leaving = focusedControl_;
        focusedControl_ = leaving->Parent();
        std::exception_ptr failure;
        if (!SendFocusMessage(leaving, CM_EXIT, &failure)) {
            if (failure) {
                focusedControl_ = previous;
                activeControl_ = previous != this ? previous : nullptr;
                Screen->activeControl_ = previous;
                ::SetFocus(previous->Handle());
                try {
                    std::rethrow_exception(failure);
                } catch (...) {
                    Application->HandleException(leaving);
                }
            }
            return false;
        }
    }
    while (focusedControl_ != control) {
        TWinControl* entering = control;
        while (entering->Parent() != focusedControl_) entering = entering->Parent();
        focusedControl_ = entering;
        std::exception_ptr failure;
        const bool stayed = SendFocusMessage(entering, CM_ENTER, &failure);
        if (failure) {
            try {
                std::rethrow_exception(failure);
            } catch (...) {
                Application->HandleException(entering);
            }
        }
        if (!stayed) return false;
    }
    for (TWinControl* parent = control->Parent(); parent; parent = parent->Parent())
        if (auto* scrolling = dynamic_cast<TScrollingWinControl*>(parent)) scrolling->ScrollInView(control);
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
    return true;
}

bool TCustomForm::IsShortCut(TWMKey& message)
{
    if (menu_ && menu_->IsShortCut(message)) return true;
    if (formStyle_ == fsMDIChild) {
        if (TCustomForm* main = Application->MainForm(); main && main != this && main->menu_)
            return main->menu_->IsShortCut(message);
    }
    return false;
}

bool TCustomForm::DoKeyDown(TWMKey& message)
{
    KeyDown(message.CharCode, KeyDataToShiftState(message.KeyData));
    return message.CharCode == 0;
}

bool TCustomForm::DoKeyUp(TWMKey& message)
{
    KeyUp(message.CharCode, KeyDataToShiftState(message.KeyData));
    return message.CharCode == 0;
}

bool TCustomForm::DoKeyPress(TWMKey& message)
{
    char ch = char(message.CharCode);
    KeyPress(ch);
    message.CharCode = Byte(ch);
    return ch == 0;
}

void TCustomForm::MenuCommand(Word id)
{
    if (menu_ && menu_->DispatchCommand(id)) return;
    if (formStyle_ == fsMDIForm) {
        if (TCustomForm* child = ActiveMDIChild(); child && child->menu_) child->menu_->DispatchCommand(id);
    }
}

void TCustomForm::WndProc(TMessage& message)
{
    if (message.Msg == WM_SETFOCUS && !state_.Contains(csDestroying)) {
        HWND target = nullptr;
        if (formStyle_ == fsMDIForm) {
            if (TCustomForm* child = ActiveMDIChild()) target = child->Handle();
        } else if (activeControl_ && activeControl_ != this) {
            target = activeControl_->Handle();
        }
        if (target) {
            ::SetFocus(target);
            return;
        }
    }
    TWinControl::WndProc(message);
}

void TCustomForm::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case CM_DIALOGKEY: {
        const TWMKey& key = MessageAs<TWMKey>(message);
        if (GetKeyState(VK_MENU) >= 0) {
            if (key.CharCode == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
                message.Result = 1;
                return;
            }
            if ((key.CharCode == VK_LEFT || key.CharCode == VK_RIGHT || key.CharCode == VK_UP ||
                 key.CharCode == VK_DOWN) && activeControl_ && activeControl_->Parent()) {
                activeControl_->Parent()->SelectNext(activeControl_,
                                                     key.CharCode == VK_RIGHT || key.CharCode == VK_DOWN, false);
                message.Result = 1;
                return;
            }
        }
        break;
    }
    case CM_ACTIVATE:
        Activate();
        return;
    case CM_DEACTIVATE:
        Deactivate();
        return;
    case CM_FOCUSCHANGED:
        // Buttons learn which control has the focus (the default button is active unless a button is focused).
        NotifyFocusChanged(message);
        return;
    case CM_VISIBLECHANGED:
        ShowOrHideWindow();
        return;
    case CM_RELEASE:
        delete this;
        return;
    case WM_ACTIVATE:
        DefaultHandler(message);
        if (formStyle_ != fsMDIChild) SetActive(LOWORD(message.WParam) != WA_INACTIVE);
        return;
    case WM_MDIACTIVATE:
        DefaultHandler(message);
        if (formStyle_ == fsMDIChild) SetActive(reinterpret_cast<HWND>(message.LParam) == handle_);
        return;
    case WM_CLOSE:
        Close();
        return;
    case WM_CANCELMODE:
        SendCancelMode(nullptr);
        DefaultHandler(message);
        return;
    case WM_COMMAND:
        if (message.LParam == 0 && HIWORD(message.WParam) == 0) {
            MenuCommand(LOWORD(message.WParam));
            if (formStyle_ == fsMDIForm) DefaultHandler(message);
            return;
        }
        break;
    case WM_SIZE:
        DefaultHandler(message);
        if (OnResize) OnResize(this);
        return;
    case WM_GETMINMAXINFO:
        DefaultHandler(message);
        ConstrainTracking(*reinterpret_cast<MINMAXINFO*>(message.LParam));
        return;
    case WM_WINDOWPOSCHANGED:
        TWinControl::Dispatch(message);
        if (formStyle_ == fsMDIForm) AlignControls();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(message);
}

// The user sizes the form within its constraints.
void TCustomForm::ConstrainTracking(MINMAXINFO& info) const
{
    if (constraints_->MinWidth() > 0) info.ptMinTrackSize.x = constraints_->MinWidth();
    if (constraints_->MinHeight() > 0) info.ptMinTrackSize.y = constraints_->MinHeight();
    if (constraints_->MaxWidth() > 0) info.ptMaxTrackSize.x = constraints_->MaxWidth();
    if (constraints_->MaxHeight() > 0) info.ptMaxTrackSize.y = constraints_->MaxHeight();
}

void TCustomForm::NotifyFocusChanged(TMessage& message)
{
    std::vector<TWinControl*> all;
    GetTabOrderList(all);
    for (TWinControl* control : all) control->Perform(CM_FOCUSCHANGED, message.WParam, message.LParam);
}

void TCustomForm::AlignControls()
{
    const TRect rest = AlignChildren();
    if (clientHandle_)
        MoveWindow(clientHandle_, rest.left, rest.top, rest.right - rest.left, rest.bottom - rest.top, TRUE);
}

void TCustomForm::DefaultHandler(TMessage& message)
{
    if (handle_ && formStyle_ == fsMDIChild) {
        message.Result = DefMDIChildProcA(handle_, message.Msg, message.WParam, message.LParam);
        return;
    }
    if (handle_ && formStyle_ == fsMDIForm) {
        message.Result = DefFrameProcA(handle_, clientHandle_, message.Msg, message.WParam, message.LParam);
        return;
    }
    TWinControl::DefaultHandler(message);
}

// ---- scrolling controls

void TControlScrollBar::Publish(TPublisher<TControlScrollBar>& p)
{
    p.Property("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition).Default(0);
    p.Property("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange).Default(0);
    p.Property("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement).Default(8);
    p.Property("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible).Default(true);
}

void TControlScrollBar::Assign(TPersistent* source)
{
    if (auto* bar = dynamic_cast<TControlScrollBar*>(source)) {
        increment_ = bar->increment_;
        visible_ = bar->visible_;
        SetRange(bar->range_);
        SetPosition(bar->position_);
        return;
    }
    TPersistent::Assign(source);
}

Integer TControlScrollBar::PageSize() const
{
    const TRect client = control_->ClientRect();
    return kind_ == sbHorizontal ? client.right : client.bottom;
}

Integer TControlScrollBar::MaxPosition() const { return std::max<Integer>(0, range_ - PageSize()); }

bool TControlScrollBar::IsScrollBarVisible() const { return visible_ && range_ > PageSize(); }

void TControlScrollBar::SetPosition(Integer position)
{
    position = std::clamp<Integer>(position, 0, MaxPosition());
    if (position == position_) return;
    const Integer delta = position_ - position;
    position_ = position;
    if (kind_ == sbHorizontal)
        control_->ScrollBy(delta, 0);
    else
        control_->ScrollBy(0, delta);
    Update();
}

void TControlScrollBar::SetRange(Integer range)
{
    range_ = std::max<Integer>(range, 0);
    Update();
    if (position_ > MaxPosition()) SetPosition(MaxPosition());
}

void TControlScrollBar::SetVisible(bool visible)
{
    visible_ = visible;
    Update();
}

void TControlScrollBar::Update()
{
    if (!control_->HandleAllocated()) return;
    const int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    if (IsScrollBarVisible()) {
        info.nMax = range_ - 1;
        info.nPage = UINT(PageSize());
        info.nPos = position_;
    }
    ShowScrollBar(control_->Handle(), bar, IsScrollBarVisible());
    SetScrollInfo(control_->Handle(), bar, &info, TRUE);
}

void TControlScrollBar::Scroll(Word code, Integer thumb)
{
    const Integer page = std::max<Integer>(PageSize() - increment_, increment_);
    switch (code) {
    case SB_LINEUP:
        SetPosition(position_ - increment_);
        break;
    case SB_LINEDOWN:
        SetPosition(position_ + increment_);
        break;
    case SB_PAGEUP:
        SetPosition(position_ - page);
        break;
    case SB_PAGEDOWN:
        SetPosition(position_ + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        SetPosition(thumb);
        break;
    case SB_TOP:
        SetPosition(0);
        break;
    case SB_BOTTOM:
        SetPosition(MaxPosition());
        break;
    default:
        break;
    }
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
        : TWinControl(owner), horz_(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
          vert_(std::make_unique<TControlScrollBar>(this, sbVertical))
{
}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::Publish(TPublisher<TScrollingWinControl>& p)
{
    p.Property("HorzScrollBar", &TScrollingWinControl::HorzScrollBar, &TScrollingWinControl::SetHorzScrollBar);
    p.Property("VertScrollBar", &TScrollingWinControl::VertScrollBar, &TScrollingWinControl::SetVertScrollBar);
    p.Property("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(true);
}

void TScrollingWinControl::SetAutoScroll(bool value)
{
    autoScroll_ = value;
    UpdateScrollBars();
}

void TScrollingWinControl::CreateWindowHandle(const TCreateParams& params)
{
    TWinControl::CreateWindowHandle(params);
    UpdateScrollBars();
}

void TScrollingWinControl::Loaded()
{
    TWinControl::Loaded();
    UpdateScrollBars();
}

void TScrollingWinControl::ChildBoundsChanged(TControl*) { UpdateScrollBars(); }

void TScrollingWinControl::AlignControls()
{
    TWinControl::AlignControls();
    UpdateScrollBars();
}

// With AutoScroll the ranges reach the far edges of the visible children (in unscrolled coordinates).
void TScrollingWinControl::UpdateScrollBars()
{
    if (updating_ || state_.Contains(csLoading)) return;
    updating_ = true;
    if (autoScroll_) {
        Integer right = 0, bottom = 0;
        for (TControl* control : controls_) {
            if (!control->Visible() || control->Align() != alNone) continue;
            right = std::max(right, control->Left() + control->Width() + horz_->position_);
            bottom = std::max(bottom, control->Top() + control->Height() + vert_->position_);
        }
        horz_->range_ = right;
        vert_->range_ = bottom;
    }
    horz_->Update();
    vert_->Update();
    updating_ = false;
    if (horz_->position_ > horz_->MaxPosition()) horz_->SetPosition(horz_->MaxPosition());
    if (vert_->position_ > vert_->MaxPosition()) vert_->SetPosition(vert_->MaxPosition());
}

void TScrollingWinControl::ScrollBy(Integer deltaX, Integer deltaY)
{
    const bool wasUpdating = updating_;
    updating_ = true;
    DisableAlign();
    for (TControl* control : std::vector<TControl*>(controls_))
        control->SetBounds(control->Left() + deltaX, control->Top() + deltaY, control->Width(), control->Height());
    EnableAlign();
    updating_ = wasUpdating;
    Invalidate();
}

void TScrollingWinControl::ScrollInView(TControl* control)
{
    if (!control || !ContainsControl(control) || control == this) return;
    TRect rect = control->BoundsRect();
    for (TControl* parent = control->Parent(); parent && parent != this; parent = parent->Parent())
        OffsetRect(&rect, parent->Left(), parent->Top());
    const TRect client = ClientRect();
    if (rect.left < 0)
        horz_->SetPosition(horz_->position_ + rect.left);
    else if (rect.right > client.right)
        horz_->SetPosition(horz_->position_ + std::min<Integer>(rect.right - client.right, rect.left));
    if (rect.top < 0)
        vert_->SetPosition(vert_->position_ + rect.top);
    else if (rect.bottom > client.bottom)
        vert_->SetPosition(vert_->position_ + std::min<Integer>(rect.bottom - client.bottom, rect.top));
}

void TScrollingWinControl::Dispatch(TMessage& message)
{
    if ((message.Msg == WM_HSCROLL || message.Msg == WM_VSCROLL) && message.LParam == 0) {
        TControlScrollBar* bar = message.Msg == WM_HSCROLL ? horz_.get() : vert_.get();
        SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(handle_, message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &info);
        bar->Scroll(LOWORD(message.WParam), info.nTrackPos);
        return;
    }
    if (message.Msg == WM_SIZE) {
        TWinControl::Dispatch(message);
        UpdateScrollBars();
        return;
    }
    TWinControl::Dispatch(message);
}

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner)
{
    controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    width_ = 185;
    height_ = 41;
}

void TScrollBox::Publish(TPublisher<TScrollBox>& p)
{
    p.Property("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle);
}

void TScrollBox::SetBorderStyle(TBorderStyle style)
{
    borderStyle_ = style;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& params)
{
    TScrollingWinControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    AddBorder(params, borderStyle_);
}

// ---- TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of("\\/") + 1);
    title_ = name.substr(0, name.find_last_of('.'));
}

TApplication::~TApplication()
{
    if (handle_) DestroyWindow(handle_);
}

void TApplication::Initialize()
{
    if (InitProc) InitProc();
}

HWND TApplication::Handle()
{
    if (!handle_) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ApplicationWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DunApplication";
        RegisterClassA(&wc);
        handle_ = CreateWindowExA(0, "DunApplication", title_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0,
                                  0, nullptr, nullptr, wc.hInstance, nullptr);
    }
    return handle_;
}

void TApplication::SetTitle(const std::string& title)
{
    title_ = title;
    if (handle_) SetWindowTextA(handle_, title.c_str());
}

std::string TApplication::ExeName() const
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void TApplication::FormCreated(TCustomForm* form)
{
    if (!mainForm_) {
        mainForm_ = form;
        form->HandleNeeded();
    }
}

void TApplication::Run()
{
    if (!mainForm_) return;
    mainForm_->Show();
    while (!terminated_) HandleMessage();
}

void TApplication::Terminate()
{
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage(TMsg& msg)
{
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    if (OnMessage) {
        try {
            OnMessage(msg, handled);
        } catch (...) {
            handled = false;
            HandleException(this);
        }
    }
    CancelHintOnInput(msg);
    if (!handled && !IsMDIMsg(msg) && !IsKeyMsg(msg) && !IsDlgMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::ProcessMessages()
{
    TMsg msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage()
{
    TMsg msg;
    if (!ProcessMessage(msg)) Idle();
}

void TApplication::Idle()
{
    bool done = true;
    if (OnIdle) {
        try {
            OnIdle(this, done);
        } catch (...) {
            HandleException(this);
        }
    }
    if (done && !terminated_) WaitMessage();
}

// Keys go to the framework control of their window as CN_ messages first (dialog keys, shortcuts, accelerators).
bool TApplication::IsKeyMsg(TMsg& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    HWND window = GetCapture() ? GetCapture() : msg.hwnd;
    if (mainForm_ && window == mainForm_->ClientHandle()) window = mainForm_->Handle();
    TWinControl* control = FindVCLWindow(window);
    if (!control) return false;
    return SendMessageA(control->Handle(), CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::IsMDIMsg(TMsg& msg)
{
    if (!mainForm_ || mainForm_->FormStyle() != fsMDIForm || !mainForm_->ActiveMDIChild()) return false;
    return TranslateMDISysAccel(mainForm_->ClientHandle(), &msg) != 0;
}

bool TApplication::IsDlgMsg(TMsg& msg)
{
    for (HWND window : dialogWindows_)
        if (IsWindow(window) && IsDialogMessageA(window, &msg)) return true;
    return false;
}

// A key or a click ends the hint.
void TApplication::CancelHintOnInput(const TMsg& msg)
{
    if (!hintControl_) return;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        CancelHint();
        break;
    default:
        break;
    }
}

void TApplication::HintTimer(UINT_PTR id)
{
    if (id == hintShowTimer) ActivateHint();
    if (id == hintHideTimer) HideHint();
}

void TApplication::SetShowHint(bool value)
{
    showHint_ = value;
    if (!value) CancelHint();
}

void TApplication::SetHint(const std::string& hint)
{
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(this);
}

void TApplication::HintMouseMessage(TControl* control)
{
    SetHint(GetLongHint(ControlHint(control)));
    if (control == hintControl_) return;
    CancelHint();
    if (!control || !showHint_ || !control->ShowHint() || GetShortHint(ControlHint(control)).empty()) return;
    hintControl_ = control;
    SetTimer(Handle(), hintShowTimer, UINT(std::max<Integer>(hintPause_, 1)), nullptr);
}

// The short hint just below the mouse pointer, kept on the screen.
void TApplication::ActivateHint()
{
    if (!hintControl_ || !hintControl_->Showing()) return;
    if (!hintWindow_) hintWindow_ = CreateObject<THintWindow>(this);
    hintWindow_->SetColor(hintColor_);
    const std::string text = GetShortHint(ControlHint(hintControl_));
    TRect rect = hintWindow_->CalcHintRect(Screen->Width() / 2, text);
    POINT cursor;
    GetCursorPos(&cursor);
    const Integer x = std::clamp<Integer>(cursor.x, 0, std::max<Integer>(Screen->Width() - rect.right, 0));
    Integer y = cursor.y + GetSystemMetrics(SM_CYCURSOR);
    if (y + rect.bottom > Screen->Height()) y = cursor.y - rect.bottom - 2;
    OffsetRect(&rect, x, y);
    hintWindow_->ActivateHint(rect, text);
    SetTimer(Handle(), hintHideTimer, UINT(std::max<Integer>(hintHidePause_, 1)), nullptr);
}

void TApplication::HideHint()
{
    if (hintWindow_) hintWindow_->ReleaseHandle();
}

void TApplication::CancelHint()
{
    if (handle_) {
        KillTimer(handle_, hintShowTimer);
        KillTimer(handle_, hintHideTimer);
    }
    HideHint();
    hintControl_ = nullptr;
}

void TApplication::ControlDestroyed(TControl* control)
{
    if (control == hintControl_) CancelHint();
    if (control == hintWindow_) hintWindow_ = nullptr;
}

void TApplication::AddDialogWindow(HWND window) { dialogWindows_.push_back(window); }

void TApplication::RemoveDialogWindow(HWND window)
{
    dialogWindows_.erase(std::remove(dialogWindows_.begin(), dialogWindows_.end(), window), dialogWindows_.end());
}

void TApplication::HandleException(TObject* sender)
{
    try {
        throw;
    } catch (EAbort&) {
    } catch (Exception& e) {
        if (OnException) {
            try {
                OnException(sender, e);
            } catch (std::exception& inner) {
                ShowException(inner);
            } catch (...) {
            }
        } else {
            ShowException(e);
        }
    } catch (std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception("Unknown exception"));
    }
}

// The message with a full stop added when it ends in a letter or digit, as the platform shows it.
void TApplication::ShowException(const std::exception& e)
{
    std::string text = e.what();
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    MessageBox(text, title_, MB_OK | MB_ICONSTOP);
}

Integer TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    return DialogService()->MessageBox(text, caption.empty() ? title_ : caption, flags);
}

// ---- TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner)
{
    HDC dc = GetDC(nullptr);
    pixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
}

void TScreen::SetCursor(TCursor cursor)
{
    cursor_ = cursor;
    static const struct {
        TCursor Cursor;
        int Id;
    } cursors[] = {{crArrow, 32512}, {crIBeam, 32513}, {crHourGlass, 32514}, {crCross, 32515},
                   {crUpArrow, 32516}, {crSizeNWSE, 32642}, {crSizeNESW, 32643}, {crSizeWE, 32644},
                   {crSizeNS, 32645}, {crSizeAll, 32646}, {crNo, 32648}, {crAppStart, 32650},
                   {crHelp, 32651}, {crHandPoint, 32649}, {crSQLWait, 32514}};
    int id = 32512;
    for (const auto& entry : cursors)
        if (entry.Cursor == cursor) id = entry.Id;
    ::SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(id)));
}
