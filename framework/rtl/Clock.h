// The clock: Now, Date, Time and the tick count, through a service that tests can replace.
#pragma once

#include <functional>

#include "rtl/Types.h"

TDateTime Now();
TDateTime Date();
TDateTime Time();
Word CurrentYear();
// The seam for the platform's GetTickCount (the Win32 name itself belongs to <windows.h>).
Cardinal TickCount();

// Replaces the clock until ResetClock; without a tick source the real tick count stays.
void SetClock(std::function<TDateTime()> now, std::function<Cardinal()> tickCount = nullptr);
void ResetClock();
// Replaces only the tick count (nullptr: the real one) and returns the source it replaces.
std::function<Cardinal()> SetTickSource(std::function<Cardinal()> tickCount);
