// Panels, bevels, shapes, images and timers.
#pragma once

#include <memory>

#include <vector>

#include "rtl/Classes.h"
#include "vcl/Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
DUN_ENUM(TBevelCut, "bvNone", "bvLowered", "bvRaised", "bvSpace");

class TPanel : public TCustomControl {
    DUN_CLASS(TPanel, TCustomControl)
public:
    explicit TPanel(TComponent* owner);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut value) { bevelInner_ = value; Realign(); Invalidate(); }
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value) { bevelOuter_ = value; Realign(); Invalidate(); }
    Integer BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(Integer value) { bevelWidth_ = value; Realign(); Invalidate(); }
    Integer BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(Integer value) { borderWidth_ = value; Realign(); Invalidate(); }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { alignment_ = value; Invalidate(); }
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TPanel>& p);

protected:
    void AdjustClientRect(TRect& rect) override;
    void Paint() override;

private:
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    Integer bevelWidth_ = 1;
    Integer borderWidth_ = 0;
    TAlignment alignment_ = taCenter;
};

// A group box of radio buttons made from Items; ItemIndex is the checked one.
class TRadioGroup : public TCustomControl {
    DUN_CLASS(TRadioGroup, TCustomControl)
public:
    explicit TRadioGroup(TComponent* owner);
    ~TRadioGroup() override;

    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* items) { items_->Assign(items); }
    Integer ItemIndex() const { return itemIndex_; }
    void SetItemIndex(Integer index);
    Integer Columns() const { return columns_; }
    void SetColumns(Integer columns);
    void Dispatch(TMessage& message) override;

    static void Publish(TPublisher<TRadioGroup>& p);

protected:
    void Paint() override;
    void Loaded() override;

private:
    void UpdateButtons();
    void ArrangeButtons();
    void ButtonClicked(Integer index);

    std::unique_ptr<TStringList> items_;
    std::vector<class TRadioButton*> buttons_;
    Integer itemIndex_ = -1;
    Integer columns_ = 1;
    bool updating_ = false;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };
DUN_ENUM(TBevelShape, "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer");
DUN_ENUM(TBevelStyle, "bsLowered", "bsRaised");

class TBevel : public TGraphicControl {
    DUN_CLASS(TBevel, TGraphicControl)
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape value) { shape_ = value; Invalidate(); }
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle value) { style_ = value; Invalidate(); }

    static void Publish(TPublisher<TBevel>& p);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
DUN_ENUM(TShapeType, "stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle");

class TShape : public TGraphicControl {
    DUN_CLASS(TShape, TGraphicControl)
public:
    explicit TShape(TComponent* owner);
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType value) { shape_ = value; Invalidate(); }
    TBrush* Brush() const { return brush_.get(); }
    void SetBrush(TBrush* brush) { brush_->Assign(brush); }
    TPen* Pen() const { return pen_.get(); }
    void SetPen(TPen* pen) { pen_->Assign(pen); }

    static void Publish(TPublisher<TShape>& p);

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TPen> pen_;
};

class TImage : public TGraphicControl {
    DUN_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* owner);
    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* picture) { picture_->Assign(picture); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value) { stretch_ = value; Invalidate(); }
    bool Center() const { return center_; }
    void SetCenter(bool value) { center_ = value; Invalidate(); }

    static void Publish(TPublisher<TImage>& p);

protected:
    void Paint() override;

private:
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
};

class TTimerService;

// Calls OnTimer every Interval milliseconds while Enabled, as the timer service ticks it.
class TTimer : public TComponent {
    DUN_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    Cardinal Interval() const { return interval_; }
    void SetInterval(Cardinal value);
    TNotifyEvent OnTimer;

    static void Publish(TPublisher<TTimer>& p);

private:
    friend class TTimerService;
    friend class TWindowTimers;
    friend TTimerService* SetTimerService(TTimerService* service);
    // Stops the timer on the service that runs it and, while enabled with an interval, starts it on the current one.
    void UpdateTimer();
    void StopTimer();
    void Timer();
    // Timer, with an exception handed to the application.
    void Tick();

    bool enabled_ = true;
    Cardinal interval_ = 1000;
    HWND window_ = nullptr;
    TTimerService* service_ = nullptr;
};

// Where the timers' ticks come from: window timers through the queue's WM_TIMER (the default), or a test's clock
// (TManualTimers in vcl/TestSeams.h).
class TTimerService {
public:
    virtual ~TTimerService() = default;
    // Starts the timer for its Interval.
    virtual void StartTimer(TTimer* timer) = 0;
    virtual void StopTimer(TTimer* timer) = 0;

protected:
    // Runs the timer's OnTimer; an exception goes to the application.
    static void Tick(TTimer* timer) { timer->Tick(); }
};

TTimerService* TimerService();
// Installs a service (nullptr: window timers) and moves the running timers onto it, in the order they were started;
// returns the one it replaces (nullptr for window timers). The caller keeps ownership.
TTimerService* SetTimerService(TTimerService* service);
