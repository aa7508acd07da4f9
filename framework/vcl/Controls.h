// Controls: TControl (bounds, parent, colour, font, mouse), TWinControl (a window: children, focus, keys, tab order),
// TGraphicControl and TCustomControl (drawn by us on a canvas), and the message path every control shares:
// the window procedure -> WndProc -> Dispatch by message number -> DefaultHandler.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/Alignment.h"
#include "classes/Component.h"
#include "rtl/Exceptions.h"
#include "rtl/Types.h"
#include "vcl/Graphics.h"
#include "vcl/Messages.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;

using TModalResult = Integer;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1, mrNoToAll = mrAll + 1,
                       mrYesToAll = mrNoToAll + 1;

// Border styles of forms; controls with a border use bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
DUN_ENUM(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin");
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
DUN_ENUM(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient");
// The parent's edges a control keeps its distances to when the parent is resized; neither of two opposite edges
// keeps the control's middle at the same proportion of the parent.
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
DUN_ENUM(TAnchorKind, "akLeft", "akTop", "akRight", "akBottom");
using TAnchors = Set<TAnchorKind>;
// How a control asks the input method to be when it has the focus (stored only: no input method exists here).
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                imSHanguel, imHanguel };
DUN_ENUM(TImeMode, "imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira", "imSKata",
         "imKata", "imChinese", "imSHanguel", "imHanguel");
using TImeName = std::string;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftStateItem>;
enum TControlStateItem { csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
                         csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle };
using TControlState = Set<TControlStateItem>;
enum TControlStyleItem { csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
                         csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
                         csReplicatable, csNoStdEvents };
using TControlStyle = Set<TControlStyleItem>;

using TCursor = SmallInt;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
                  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
                  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22;

using TKeyEvent = std::function<void(TObject* sender, Word& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, Integer x, Integer y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, Integer x, Integer y)>;
// The wheel turned by wheelDelta (120 a notch, negative towards the user) with the pointer at mousePos (screen).
using TMouseWheelEvent = std::function<void(TObject* sender, TShiftState shift, Integer wheelDelta, TPoint mousePos,
                                            bool& handled)>;
// The wheel message handed from the focused control to its parents until one handles it.
constexpr Cardinal CM_MOUSEWHEEL = CM_BASE + 67;

TShiftState KeysToShiftState(Word keys);
TShiftState KeyDataToShiftState(LongInt keyData);
// The shift keys down now.
TShiftState GetShiftState();

// The control of a window made by this framework; nullptr for other windows.
TWinControl* FindControl(HWND window);
// The innermost framework control at or above a window.
TWinControl* FindVCLWindow(HWND window);
TCustomForm* GetParentForm(const class TControl* control);
// The control that has the mouse captured: a graphic control holding its parent's capture, or the window with it.
TControl* GetCaptureControl();

// A hint is "short|long": the short part shows in the hint window, the long part in a status bar. Without '|'
// both are the whole hint.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

using TConstraintSize = Integer;

// The smallest and largest width and height of a control; 0 is no limit. A minimum above the maximum moves the
// maximum up to it, and a maximum below the minimum moves the minimum down.
class TSizeConstraints : public TPersistent {
    DUN_CLASS(TSizeConstraints, TPersistent)
public:
    TSizeConstraints() = default;
    void Assign(TPersistent* source) override;

    TConstraintSize MaxHeight() const { return maxHeight_; }
    void SetMaxHeight(TConstraintSize value);
    TConstraintSize MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(TConstraintSize value);
    TConstraintSize MinHeight() const { return minHeight_; }
    void SetMinHeight(TConstraintSize value);
    TConstraintSize MinWidth() const { return minWidth_; }
    void SetMinWidth(TConstraintSize value);
    // Brings a size within the limits.
    void Constrain(Integer& width, Integer& height) const;
    TNotifyEvent OnChange;

    static void Publish(TPublisher<TSizeConstraints>& p);

private:
    void Change();

    TConstraintSize maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

class TControl : public TComponent {
    DUN_CLASS(TControl, TComponent)
    friend class TWinControl;

public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    void ReadState(TReader* reader) override;

    Integer Left() const { return left_; }
    Integer Top() const { return top_; }
    Integer Width() const { return width_; }
    Integer Height() const { return height_; }
    void SetLeft(Integer value) { SetBounds(value, top_, width_, height_); }
    void SetTop(Integer value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(Integer value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(Integer value) { SetBounds(left_, top_, width_, value); }
    virtual void SetBounds(Integer left, Integer top, Integer width, Integer height);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    virtual TRect ClientRect();
    Integer ClientWidth() { return ClientRect().right; }
    Integer ClientHeight() { return ClientRect().bottom; }
    void SetClientWidth(Integer value);
    void SetClientHeight(Integer value);
    TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint point) { TPoint o = ClientOrigin(); return Point(point.x + o.x, point.y + o.y); }
    TPoint ScreenToClient(TPoint point) { TPoint o = ClientOrigin(); return Point(point.x - o.x, point.y - o.y); }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors anchors);
    TSizeConstraints* Constraints() const { return constraints_.get(); }
    void SetConstraints(TSizeConstraints* constraints) { constraints_->Assign(constraints); }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    virtual void Show() { SetVisible(true); }
    virtual void Hide() { SetVisible(false); }
    // Visible with every parent up to a window that is on screen.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* font) { font_->Assign(font); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    // While set, ShowHint follows the parent's ShowHint.
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);
    bool IsShowHintStored() const { return !parentShowHint_; }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);
    // Caption and Text are the same string: the window text.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& text) { SetText(text); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& text);
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState state) { controlState_ = state; }
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle style) { controlStyle_ = style; }

    LRESULT Perform(Cardinal msg, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual void WndProc(TMessage& message);
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    virtual void Invalidate();
    // Paints what is invalid now.
    virtual void Update();
    // Bounds (a window without parent control keeps its place and scales its client size) and, unless it follows
    // the parent's, the font, multiplied by M / D.
    virtual void ChangeScale(Integer M, Integer D);
    void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;

    virtual void Click();

    static void Publish(TPublisher<TControl>& p);

protected:
    virtual std::string GetText() const { return text_; }
    virtual void SetTextBuf(const std::string& text);
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y);
    virtual void MouseMove(TShiftState shift, Integer x, Integer y);
    // CM_CANCELMODE from the forms around the control: their active control drops its modes (drop-downs).
    void SendCancelMode(TControl* sender);
    virtual void VisibleChanging() {}
    virtual void Changed() {}
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;
    // Where the control moved: windows move their window, graphic controls repaint the parent.
    virtual void BoundsChanged();
    void RequestAlign();
    void FontChanged(TObject* sender);
    // Remembers the distances to the parent's edges that the anchors keep.
    void UpdateAnchorRules();

    TWinControl* parent_ = nullptr;
    Integer left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    std::string text_;
    TControlState controlState_;
    TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TAnchors anchors_{akLeft, akTop};
    std::unique_ptr<TSizeConstraints> constraints_;

private:
    // Moves and sizes the control as its anchors ask for the parent's new client size.
    void ApplyAnchors(TPoint parentSize);
    void HandleMouseMessage(TMessage& message);
    // WM_MOUSEWHEEL goes to the focused control of the form as CM_MOUSEWHEEL; unhandled, the window's own handling.
    void MouseWheelMessage(TMessage& message);
    // CM_MOUSEWHEEL: OnMouseWheel, else the parent's.
    void MouseWheelTurned(TMessage& message);
    void ContextPopup(TMessage& message);
    void ParentShowHintChanged();

    // For the anchors: per direction the width (both edges), the left or top (the far edge only) or the middle
    // (neither), with the parent's client size they were taken at (0: the control is not anchored).
    TPoint anchorRules_{0, 0};
    TPoint originalParentSize_{0, 0};
    bool anchorMove_ = false;
};

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    Integer X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    std::string WinClassName;  // class of the window
    std::string SystemClass;   // a system class to subclass ("EDIT"), or empty for a class of our own
    UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
    DUN_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // The window that parents this one when it has no parent control (a docked or embedded window).
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND window) { parentWindow_ = window; }

    Integer ControlCount() const { return Integer(controls_.size()); }
    TControl* Controls(Integer index) const { return controls_.at(index); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(const TControl* control) const;
    TControl* ControlAtPos(TPoint pos, bool allowDisabled);

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    // A bordered control shows a 3-D (sunken) border with Ctl3D and a flat one without; while ParentCtl3D is set,
    // Ctl3D follows the parent's.
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool value);
    bool IsCtl3DStored() const { return !parentCtl3D_; }
    TImeMode ImeMode() const { return imeMode_; }
    void SetImeMode(TImeMode mode) { imeMode_ = mode; }
    TImeName ImeName() const { return imeName_; }
    void SetImeName(const TImeName& name) { imeName_ = name; }
    Integer TabOrder() const;
    void SetTabOrder(Integer order);
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    void SetChildOrder(TComponent* child, Integer order) override;
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();

    bool Showing() const override;
    void Invalidate() override;
    void Update() override;
    void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
    TRect ClientRect() override;
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();
    // Scales the control and everything in it by M / D.
    void ScaleBy(Integer M, Integer D) { ChangeScale(M, D); }
    void ChangeScale(Integer M, Integer D) override;
    void Realign() { AlignControls(); }
    virtual void AlignControls() { AlignChildren(); }

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    static void Publish(TPublisher<TWinControl>& p);

protected:
    friend class TControl;
    friend class TCustomForm;
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);

    virtual void CreateParams(TCreateParams& params);
    // The border of a bordered control (bsSingle): a sunken client edge with Ctl3D, a flat line without.
    void AddBorder(TCreateParams& params, TBorderStyle style);
    virtual void CreateWnd();
    virtual void CreateHandle();
    // Right after the window exists (the window text and children are set up here).
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    void DestroyHandle();
    void RecreateWnd();
    // Sends CM_SHOWINGCHANGED to this window and the windows inside it whose Showing changed.
    void UpdateShowing();
    void BoundsChanged() override;
    // A child moved or changed size.
    virtual void ChildBoundsChanged(TControl* child) {}
    // Places the aligned children; returns the client area they leave.
    TRect AlignChildren();
    virtual void AdjustClientRect(TRect& rect) {}
    void PaintControls(HDC dc);
    void PaintHandler(TMessage& message);
    virtual void PaintWindow(HDC dc) {}
    std::string GetText() const override;
    void SetTextBuf(const std::string& text) override;

    // Key handling as the platform does it; returning true eats the key.
    virtual bool DoKeyDown(TWMKey& message);
    virtual bool DoKeyUp(TWMKey& message);
    virtual bool DoKeyPress(TWMKey& message);
    virtual void KeyDown(Word& key, TShiftState shift);
    virtual void KeyUp(Word& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();

    void CNKeyDown(TMessage& message);
    void CNChar(TMessage& message);
    void CMDialogKeyOrChar(TMessage& message);
    void CMEnabledChanged(TMessage& message);
    void CMFontChanged(TMessage& message);
    void CMColorChanged(TMessage& message);
    void CMVisibleChanged(TMessage& message);
    void CMCtl3DChanged(TMessage& message);
    void WMContextMenu(TMessage& message);
    void WMSetFocus(TMessage& message);
    void WMEraseBkgnd(TMessage& message);
    void ReflectToControl(TMessage& message, HWND child);
    void NotifyControls(Cardinal msg);
    HBRUSH ColorBrush();

    HWND handle_ = nullptr;
    HWND parentWindow_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;   // every child, in z-order
    std::vector<TWinControl*> tabList_;  // window children in tab order
    bool tabStop_ = false;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    bool ctl3DBorder_ = false;  // the window has a bsSingle border, whose look Ctl3D sets
    TImeMode imeMode_ = imDontCare;
    TImeName imeName_;
    bool showing_ = false;
    Integer alignDisabled_ = 0;
    std::unique_ptr<TBrush> brush_;

private:
    void RegisterWindowClass(TCreateParams& params);
};

// A control without a window of its own: its parent paints it and passes it its mouse messages.
class TGraphicControl : public TControl {
    DUN_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return canvas_.get(); }
    void Dispatch(TMessage& message) override;

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> canvas_;
};

// A window painted by us (Paint on Canvas).
class TCustomControl : public TWinControl {
    DUN_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return canvas_.get(); }

protected:
    void PaintWindow(HDC dc) override;
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> canvas_;
};

// A borderless top-most popup with a hint text; the application shows one for the control under the mouse.
class THintWindow : public TCustomControl {
    DUN_CLASS(THintWindow, TCustomControl)
public:
    explicit THintWindow(TComponent* owner);
    // Shows the hint in the rectangle (screen coordinates) without taking the focus.
    virtual void ActivateHint(TRect rect, const std::string& hint);
    // The rectangle the hint needs at the origin, its lines no wider than maxWidth.
    virtual TRect CalcHintRect(Integer maxWidth, const std::string& hint);
    // Hides the hint by freeing its window.
    void ReleaseHandle() { DestroyHandle(); }
    void Dispatch(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
};

// A canvas on a control's client area; the DC is fetched when drawing starts.
class TControlCanvas : public TCanvas {
    DUN_CLASS(TControlCanvas, TCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;
    TControl* Control() const { return control_; }
    void SetControl(TControl* control);
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* control_ = nullptr;
    HWND window_ = nullptr;
};

// The accelerator character of a caption ('&' before it) equals the key, ignoring case.
bool IsAccel(Word key, const std::string& caption);
// The caption without its accelerator marks ("&&" stays one '&').
std::string StripHotkey(const std::string& caption);
