// Where a month calendar's window shows a part (a title button, a day, the day names, ...), from its own hit tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "rtl/DateTime.h"
#include "vxcontrols/vxmonthcalendar.h"

// The middle of the points where the control's hit test answers the part (and, for days, the date).
inline TPoint FindCalendarPart(TvxMonthCalendar* calendar, UINT part, TDateTime date = 0)
{
    const TRect client = calendar->ClientRect();
    Integer left = client.right, right = -1, top = client.bottom, bottom = -1;
    for (Integer y = 0; y < client.bottom; ++y)
        for (Integer x = 0; x < client.right; ++x) {
            MCHITTESTINFO hit{};
            hit.cbSize = sizeof hit;
            hit.pt = {x, y};
            SendMessageA(calendar->Handle(), MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.uHit != part) continue;
            if (date != 0 && (hit.st.wDay == 0 || EncodeDate(hit.st.wYear, hit.st.wMonth, hit.st.wDay) != date))
                continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    EXPECT_GE(right, 0) << "no point hits part " << std::hex << part;
    return Point((left + right) / 2, (top + bottom) / 2);
}
