// The progress bar over the common controls' progress window.
#pragma once

#include "vcl/Controls.h"

class TProgressBar : public TWinControl {
    DUN_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* owner);

    Integer Min() const { return min_; }
    void SetMin(Integer value) { SetRange(value, max_); }
    Integer Max() const { return max_; }
    void SetMax(Integer value) { SetRange(min_, value); }
    // Kept within Min .. Max.
    Integer Position() const { return position_; }
    void SetPosition(Integer value);
    Integer Step() const { return step_; }
    void SetStep(Integer value) { step_ = value; }
    void StepIt() { StepBy(step_); }
    void StepBy(Integer delta) { SetPosition(position_ + delta); }

    static void Publish(TPublisher<TProgressBar>& p);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;

private:
    void SetRange(Integer min, Integer max);
    void SendPosition();

    Integer min_ = 0;
    Integer max_ = 100;
    Integer position_ = 0;
    Integer step_ = 10;
};
