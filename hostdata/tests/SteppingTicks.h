// A tick count that moves a fixed step on every reading, starting where the test says, for the lock retries.
#pragma once

#include <functional>

#include "rtl/Clock.h"

class SteppingTicks {
public:
    SteppingTicks(Cardinal start, Cardinal step) : now_(start), step_(step)
    {
        SetClock([] { return 45000.0; }, [this] {
            if (onTick) onTick();
            return now_ += step_;
        });
    }
    ~SteppingTicks() { ResetClock(); }
    SteppingTicks(const SteppingTicks&) = delete;
    SteppingTicks& operator=(const SteppingTicks&) = delete;

    // Runs before every reading.
    std::function<void()> onTick;
    // The last reading.
    Cardinal Now() const { return now_; }
    void SetStep(Cardinal step) { step_ = step; }
    // The next reading is this plus the step.
    void JumpTo(Cardinal now) { now_ = now; }

private:
    Cardinal now_;
    Cardinal step_;
};
