#include "engine/btrieve/BtrDateTime.h"

#include <cmath>
#include <cstring>

#include "rtl/DateTime.h"

namespace BtrDateTime {

namespace {

constexpr Int64 TicksPerMSec = 10000;
constexpr Integer MaxDayNumber = 3652059;  // 31 Dec 9999

}  // namespace

Integer ReadDate(const Byte* source)
{
    const Word day = source[0], month = source[1], year = Word(source[2] | (source[3] << 8));
    if (day == 0 || month == 0 || year == 0) return 0;
    return Integer(EncodeDate(year, month, day)) + DateDelta;
}

bool WriteDate(Byte* destination, Integer dayNumber)
{
    std::memset(destination, 0, 4);
    if (dayNumber == 0) return true;
    if (dayNumber < 0 || dayNumber > MaxDayNumber) return false;
    Word year = 0, month = 0, day = 0;
    DecodeDate(TDateTime(dayNumber - DateDelta), year, month, day);
    destination[0] = Byte(day);
    destination[1] = Byte(month);
    destination[2] = Byte(year & 0xFF);
    destination[3] = Byte(year >> 8);
    return true;
}

Integer ReadTime(const Byte* source)
{
    const Integer hundredths = source[0], seconds = source[1], minutes = source[2], hours = source[3];
    if (hundredths > 99 || seconds > 59 || minutes > 59 || hours > 23) return 0;
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + hundredths * 10;
}

bool WriteTime(Byte* destination, Integer msecs)
{
    if (msecs < 0 || msecs >= MSecsPerDay) return false;
    destination[0] = Byte(msecs % 1000 / 10);
    destination[1] = Byte(msecs / 1000 % 60);
    destination[2] = Byte(msecs / 60000 % 60);
    destination[3] = Byte(msecs / 3600000);
    return true;
}

double ReadTimeStamp(const Byte* source, Integer offsetMinutes)
{
    uint64_t count;
    std::memcpy(&count, source, 8);
    const Int64 msecs = Int64(count / TicksPerMSec) - Int64(offsetMinutes) * 60000;
    if (msecs < MSecsPerDay) return 0;
    const Int64 days = msecs / MSecsPerDay;
    return double(days + 1) * MSecsPerDay + double(msecs % MSecsPerDay);
}

bool WriteTimeStamp(Byte* destination, double msecs, Integer offsetMinutes)
{
    if (!std::isfinite(msecs)) return false;
    const double ticks = std::nearbyint((msecs - MSecsPerDay + double(offsetMinutes) * 60000) * TicksPerMSec);
    if (ticks < 0 || ticks >= 1.8e19) return false;
    const uint64_t count = uint64_t(ticks);
    std::memcpy(destination, &count, 8);
    return true;
}

bool ReadDateTime(const Byte* source, double& msecs)
{
    TDateTime value;
    std::memcpy(&value, source, 8);
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0) return false;
    msecs = TimeStampToMSecs(DateTimeToTimeStamp(value));
    return true;
}

bool WriteDateTime(Byte* destination, double msecs)
{
    if (!std::isfinite(msecs) || msecs < MSecsPerDay || msecs >= double(MaxDayNumber + 1) * MSecsPerDay) return false;
    const TDateTime value = TimeStampToDateTime(MSecsToTimeStamp(msecs));
    std::memcpy(destination, &value, 8);
    return true;
}

}  // namespace BtrDateTime
