#include "db/NativeData.h"

Integer DateTimeToNativeDate(TDateTime value)
{
    return DateTimeToTimeStamp(value).Date;
}

Integer DateTimeToNativeTime(TDateTime value)
{
    return DateTimeToTimeStamp(value).Time;
}

double DateTimeToNativeDateTime(TDateTime value)
{
    return TimeStampToMSecs(DateTimeToTimeStamp(value));
}

TDateTime NativeDateToDateTime(Integer days)
{
    return TimeStampToDateTime(TTimeStamp{0, days});
}

TDateTime NativeTimeToDateTime(Integer msecs)
{
    return TTimeStamp{msecs, DateDelta}.Time / double(MSecsPerDay);
}

TDateTime NativeDateTimeToDateTime(double msecs)
{
    return TimeStampToDateTime(MSecsToTimeStamp(msecs));
}
