#include "rtl/Clock.h"

#include <cmath>

#include "rtl/DateTime.h"
#include "rtl/WinApi.h"

namespace {

TDateTime SystemNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return SystemTimeToDateTime(now);
}

Cardinal SystemTickCount() { return ::GetTickCount(); }

std::function<TDateTime()> nowSource = SystemNow;
std::function<Cardinal()> tickSource = SystemTickCount;

}  // namespace

TDateTime Now() { return nowSource(); }
TDateTime Date() { return std::trunc(Now()); }
TDateTime Time() { return double(DateTimeToTimeStamp(Now()).Time) / MSecsPerDay; }

Word CurrentYear()
{
    Word year, month, day;
    DecodeDate(Now(), year, month, day);
    return year;
}

Cardinal TickCount() { return tickSource(); }

void SetClock(std::function<TDateTime()> now, std::function<Cardinal()> tickCount)
{
    nowSource = now ? std::move(now) : SystemNow;
    SetTickSource(std::move(tickCount));
}

std::function<Cardinal()> SetTickSource(std::function<Cardinal()> tickCount)
{
    std::function<Cardinal()> old = std::move(tickSource);
    tickSource = tickCount ? std::move(tickCount) : SystemTickCount;
    return old;
}

void ResetClock() { SetClock(nullptr); }
