#include "vcl/ProgressBar.h"

#include <algorithm>

#include "classes/ClassRegistry.h"

namespace {
const bool registered = (RegisterClasses<TProgressBar>(), true);
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner)
{
    width_ = 150;
    height_ = 16;
}

void TProgressBar::Publish(TPublisher<TProgressBar>& p)
{
    p.Property("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
    p.Property("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
    p.Property("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
    p.Property("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
}

void TProgressBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.SystemClass = PROGRESS_CLASSA;
}

void TProgressBar::CreateWindowHandle(const TCreateParams& params)
{
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)initialised;
    TWinControl::CreateWindowHandle(params);
    if (!handle_) return;
    SendMessageA(handle_, PBM_SETRANGE32, min_, max_);
    SendPosition();
}

// While a form is read the range may arrive in any order; otherwise it must not be empty or reversed.
void TProgressBar::SetRange(Integer min, Integer max)
{
    if (!state_.Contains(csLoading) && min > max)
        throw EInvalidOperation("Property value out of range (" + std::to_string(min) + " > " + std::to_string(max) + ")");
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, std::min(min_, max_), std::max(min_, max_));
    if (!handle_) return;
    SendMessageA(handle_, PBM_SETRANGE32, min_, max_);
    SendPosition();
}

void TProgressBar::SetPosition(Integer value)
{
    position_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
    SendPosition();
}

void TProgressBar::SendPosition()
{
    if (handle_) SendMessageA(handle_, PBM_SETPOS, position_, 0);
}
