#include "vxdata/vxFormPosition.h"

void TvxFormPosition::Assign(TPersistent* source)
{
    auto* position = dynamic_cast<TvxFormPosition*>(source);
    if (!position) {
        TPersistent::Assign(source);
        return;
    }
    left_ = position->left_;
    top_ = position->top_;
    width_ = position->width_;
    height_ = position->height_;
}

void TvxFormPosition::Publish(TPublisher<TvxFormPosition>& p)
{
    p.Property("Left", &TvxFormPosition::Left, &TvxFormPosition::SetLeft).Default(0);
    p.Property("Top", &TvxFormPosition::Top, &TvxFormPosition::SetTop).Default(0);
    p.Property("Width", &TvxFormPosition::Width, &TvxFormPosition::SetWidth).Default(0);
    p.Property("Height", &TvxFormPosition::Height, &TvxFormPosition::SetHeight).Default(0);
}
