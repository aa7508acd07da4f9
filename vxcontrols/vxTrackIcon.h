// A draggable marker of the rich-text ruler: a bitmap from the program's resources, moved sideways by the mouse
// within its limits; OnEndDrag tells that it was moved.
#pragma once

#include <memory>
#include <string>

#include "vcl/Controls.h"
#include "vcl/Graphics.h"

// A marker's left kept within its limits: a maximum of 0 is none, a minimum only when it is one.
Integer vxTrackLimit(Integer value, Integer minValue, bool minLimited, Integer maxValue);

class TvxTrackIcon : public TGraphicControl {
    DUN_CLASS(TvxTrackIcon, TGraphicControl)
public:
    explicit TvxTrackIcon(TComponent* owner);
    ~TvxTrackIcon() override;

    std::string BitmapName() const { return bitmapName_; }
    void SetBitmapName(const std::string& value);
    // 0 means no limit on that side.
    Integer MinValue() const { return minValue_; }
    void SetMinValue(Integer value);
    Integer MaxValue() const { return maxValue_; }
    void SetMaxValue(Integer value) { maxValue_ = value; }
    // A lower limit that holds even when it is 0 (a marker at the ruler's left edge).
    void SetMinLimit(Integer value);
    bool MinLimited() const { return minLimited_; }
    TBitmap* Bitmap() const { return bitmap_.get(); }

    TNotifyEvent OnEndDrag;

    static void Publish(TPublisher<TvxTrackIcon>& p);

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;

private:
    // Follows the mouse under capture until the left button is released.
    void DragLoop(Integer x0, Integer y0);

    std::unique_ptr<TBitmap> bitmap_;
    std::string bitmapName_;
    Integer minValue_ = 0;
    Integer maxValue_ = 0;
    bool minLimited_ = false;
};
