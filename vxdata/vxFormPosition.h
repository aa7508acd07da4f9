// The saved place and size of a library form; 0 means the form's own.
#pragma once

#include "classes/TypInfo.h"
#include "rtl/Classes.h"

class TvxFormPosition : public TPersistent {
    DUN_CLASS(TvxFormPosition, TPersistent)
public:
    TvxFormPosition() = default;

    Integer Left() const { return left_; }
    void SetLeft(Integer value) { left_ = value; }
    Integer Top() const { return top_; }
    void SetTop(Integer value) { top_ = value; }
    Integer Width() const { return width_; }
    void SetWidth(Integer value) { width_ = value; }
    Integer Height() const { return height_; }
    void SetHeight(Integer value) { height_ = value; }

    void Assign(TPersistent* source) override;
    static void Publish(TPublisher<TvxFormPosition>& p);

private:
    Integer left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};
