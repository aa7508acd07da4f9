// Forms (normal, MDI frame, MDI child, modal), the application object with its message loop, and the screen.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "vcl/Controls.h"

class TMainMenu;
class TMenuItem;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon>;
DUN_ENUM(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop");
DUN_ENUM(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp");
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
DUN_ENUM(TWindowState, "wsNormal", "wsMinimized", "wsMaximized");
DUN_ENUM(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
         "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter");
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = Set<TFormStateItem>;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

enum TScrollBarKind { sbHorizontal, sbVertical };
DUN_ENUM(TScrollBarKind, "sbHorizontal", "sbVertical");

class TScrollingWinControl;

// One scroll bar of a scrolling control: Range is the extent of the contents, Position how far they are scrolled.
class TControlScrollBar : public TPersistent {
    DUN_CLASS(TControlScrollBar, TPersistent)
public:
    TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind) : control_(control), kind_(kind) {}
    void Assign(TPersistent* source) override;
    TScrollBarKind Kind() const { return kind_; }
    Integer Position() const { return position_; }
    void SetPosition(Integer position);
    Integer Range() const { return range_; }
    void SetRange(Integer range);
    Integer Increment() const { return increment_; }
    void SetIncrement(Integer increment) { increment_ = increment; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool IsScrollBarVisible() const;

    static void Publish(TPublisher<TControlScrollBar>& p);

private:
    friend class TScrollingWinControl;
    Integer PageSize() const;
    Integer MaxPosition() const;
    void Update();
    void Scroll(Word code, Integer thumb);

    TScrollingWinControl* control_;
    TScrollBarKind kind_;
    Integer position_ = 0;
    Integer range_ = 0;
    Integer increment_ = 8;
    bool visible_ = true;
};

// A window whose contents scroll; with AutoScroll the ranges follow the children.
class TScrollingWinControl : public TWinControl {
    DUN_CLASS(TScrollingWinControl, TWinControl)
public:
    explicit TScrollingWinControl(TComponent* owner);
    ~TScrollingWinControl() override;
    TControlScrollBar* HorzScrollBar() const { return horz_.get(); }
    void SetHorzScrollBar(TControlScrollBar* bar) { horz_->Assign(bar); }
    TControlScrollBar* VertScrollBar() const { return vert_.get(); }
    void SetVertScrollBar(TControlScrollBar* bar) { vert_->Assign(bar); }
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool value);
    // Scrolls just enough to show the control.
    void ScrollInView(TControl* control);
    void ScrollBy(Integer deltaX, Integer deltaY);
    void UpdateScrollBars();
    void Dispatch(TMessage& message) override;
    void AlignControls() override;

    static void Publish(TPublisher<TScrollingWinControl>& p);

protected:
    void CreateWindowHandle(const TCreateParams& params) override;
    void ChildBoundsChanged(TControl* child) override;
    void Loaded() override;

private:
    std::unique_ptr<TControlScrollBar> horz_;
    std::unique_ptr<TControlScrollBar> vert_;
    bool autoScroll_ = true;
    bool updating_ = false;
};

class TScrollBox : public TScrollingWinControl {
    DUN_CLASS(TScrollBox, TScrollingWinControl)
public:
    explicit TScrollBox(TComponent* owner);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);

    static void Publish(TPublisher<TScrollBox>& p);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TBorderStyle borderStyle_ = bsSingle;
};

class TCustomForm : public TWinControl {
    DUN_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    void BeforeDestruction() override;

    void Show() override;
    void Hide() override;
    void Close();
    bool CloseQuery();
    void Release();
    TModalResult ShowModal();
    // The modal loop itself (the dialog service's default for ShowModal).
    TModalResult RunModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }
    TFormState FormState() const { return formState_; }
    bool Active() const { return active_; }

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    void FocusControl(TWinControl* control);
    void DefocusControl(TWinControl* control);
    bool SetFocusedControl(TWinControl* control);
    void ControlDestroyed(TWinControl* control);
    // CM_CANCELMODE (LParam: the sender, or none) to the active control and to the control capturing the mouse.
    void SendCancelMode(TControl* sender);
    void SetFocus() override;
    bool CanFocus() const override { return visible_ && enabled_; }

    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TWindowState WindowState();
    TWindowState WindowStateValue() const { return const_cast<TCustomForm*>(this)->WindowState(); }
    void SetWindowState(TWindowState state);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    TIcon* Icon() const { return icon_.get(); }
    void SetIcon(TIcon* icon);
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    TCanvas* Canvas() const { return canvas_.get(); }
    Integer PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(Integer ppi) { pixelsPerInch_ = ppi; }
    bool Scaled() const { return scaled_; }
    void SetScaled(bool value) { scaled_ = value; }
    Integer TextHeight() const { return textHeight_; }
    void SetTextHeight(Integer value) { textHeight_ = value; }
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool value) { autoScroll_ = value; }
    TRect ClientRect() override;
    Integer ClientWidthValue() const { return const_cast<TCustomForm*>(this)->ClientWidth(); }
    Integer ClientHeightValue() const { return const_cast<TCustomForm*>(this)->ClientHeight(); }

    // MDI.
    HWND ClientHandle() const { return clientHandle_; }
    Integer MDIChildCount() const;
    TCustomForm* MDIChildren(Integer index) const;
    TCustomForm* ActiveMDIChild() const;

    bool IsShortCut(TWMKey& message);
    bool DoKeyDown(TWMKey& message) override;
    bool DoKeyUp(TWMKey& message) override;
    bool DoKeyPress(TWMKey& message) override;

    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    void WndProc(TMessage& message) override;
    void AlignControls() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnPaint;
    TNotifyEvent OnResize;

    static void Publish(TPublisher<TCustomForm>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void PaintWindow(HDC dc) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    virtual void Activate();
    virtual void Deactivate();

private:
    void SetActive(bool active);
    void SetWindowFocus();
    void ApplyPosition();
    void ShowOrHideWindow();
    void CloseModal();
    void ShowOrHideWindowQuietly();
    void NotifyFocusChanged(TMessage& message);
    void ConstrainTracking(MINMAXINFO& info) const;
    void MenuCommand(Word id);
    bool SendFocusMessage(TWinControl* control, Cardinal msg, std::exception_ptr* failure);

    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    TModalResult modalResult_ = mrNone;
    TFormState formState_;
    bool active_ = false;
    TFormStyle formStyle_ = fsNormal;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TPosition position_ = poDesigned;
    TWindowState windowState_ = wsNormal;
    bool keyPreview_ = false;
    bool autoScroll_ = false;
    bool scaled_ = true;
    Integer textHeight_ = 13;
    std::unique_ptr<TIcon> icon_;
    TMainMenu* menu_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
    Integer pixelsPerInch_ = 96;
    HWND clientHandle_ = nullptr;
    WNDPROC defClientProc_ = nullptr;
    bool positioned_ = false;
};

class TForm : public TCustomForm {
    DUN_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

using TExceptionEvent = std::function<void(TObject* sender, Exception& e)>;
using TMessageEvent = std::function<void(TMsg& msg, bool& handled)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;

class TApplication : public TComponent {
    DUN_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    // Runs the start-up hook chain (InitProc).
    void Initialize();
    // Creates a form or data module of class T owned by the application, as the program's start-up does:
    // reference (the program's global variable) is set before the form file is read and OnCreate runs, and is
    // cleared again when that fails. The first form becomes the main form.
    template <class T>
    void CreateForm(T*& reference)
    {
        T* instance = new T(this);
        reference = instance;
        try {
            instance->AfterConstruction();
        } catch (...) {
            reference = nullptr;
            delete instance;
            throw;
        }
        if constexpr (std::is_base_of_v<TCustomForm, T>) FormCreated(instance);
    }
    template <class T>
    T* CreateForm()
    {
        T* instance = nullptr;
        CreateForm(instance);
        return instance;
    }
    void FormCreated(TCustomForm* form);
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    void HandleMessage();
    // Shows the exception being handled (call inside a catch block); EAbort silently.
    void HandleException(TObject* sender);
    void ShowException(const std::exception& e);
    Integer MessageBox(const std::string& text, const std::string& caption, UINT flags);

    HWND Handle();
    TCustomForm* MainForm() const { return mainForm_; }
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title);
    std::string HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& file) { helpFile_ = file; }
    // Hints: after HintPause ms of rest over a control with ShowHint its short hint shows, for HintHidePause ms.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    Integer HintPause() const { return hintPause_; }
    void SetHintPause(Integer ms) { hintPause_ = ms; }
    Integer HintHidePause() const { return hintHidePause_; }
    void SetHintHidePause(Integer ms) { hintHidePause_ = ms; }
    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor color) { hintColor_ = color; }
    // The long hint of the control under the mouse; OnHint hears each change.
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    void CancelHint();
    // The mouse moved over the control (nullptr: it left the program's controls).
    void HintMouseMessage(TControl* control);
    void ControlDestroyed(TControl* control);
    // A hint timer of the application window ran out: the hint shows or hides.
    void HintTimer(UINT_PTR id);
    std::string ExeName() const;

    // Windows of no framework control whose dialog keys the loop passes to IsDialogMessage (modeless dialogs).
    void AddDialogWindow(HWND window);
    void RemoveDialogWindow(HWND window);

    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TExceptionEvent OnException;

private:
    bool ProcessMessage(TMsg& msg);
    bool IsKeyMsg(TMsg& msg);
    bool IsMDIMsg(TMsg& msg);
    bool IsDlgMsg(TMsg& msg);
    void CancelHintOnInput(const TMsg& msg);
    void Idle();
    void ActivateHint();
    void HideHint();

    HWND handle_ = nullptr;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    std::string title_;
    std::string helpFile_;
    bool showHint_ = true;
    Integer hintPause_ = 500;
    Integer hintHidePause_ = 2500;
    TColor hintColor_ = clInfoBk;
    std::string hint_;
    TControl* hintControl_ = nullptr;  // the control whose hint waits or shows
    THintWindow* hintWindow_ = nullptr;
    std::vector<HWND> dialogWindows_;
};

class TScreen : public TComponent {
    DUN_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* owner);

    Integer Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    Integer Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    Integer PixelsPerInch() const { return pixelsPerInch_; }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    TCustomForm* ActiveForm() const { return activeForm_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    Integer FormCount() const { return Integer(forms_.size()); }
    TCustomForm* Forms(Integer index) const { return forms_.at(index); }

private:
    friend class TCustomForm;
    Integer pixelsPerInch_ = 96;
    TCursor cursor_ = crDefault;
    TCustomForm* activeForm_ = nullptr;
    TCustomForm* focusedForm_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    std::vector<TCustomForm*> forms_;
};

extern TApplication* Application;
extern TScreen* Screen;
