// The date and time formats of the field-conversion DLL.
//
//   LongYMD      4-byte integer YYYYMMDD
//   MagicDate    4-byte integer: days since 1 Jan 0001 (that day being 1) minus the caller's day base
//   Ctime        4-byte unsigned seconds since 1 Jan 1970 (the date part only)
//   YMD          3 bytes: year - 1900, month, day
//   YYMMDD       6 digits; YY below 50 is 20YY, else 19YY
//   YYYYMMDD     8 digits
//   TasProDate   2-byte unsigned day count, 1 = 1 Jan 1900
//   TasProTime   4-byte integer hundredths of a second since midnight
//   MagicTime    4-byte integer seconds since midnight
//   Btrieve      the record manager's date (day, month, 16-bit year) and time (hundredths, seconds, minutes, hours)
#include <cmath>
#include <cstring>

#include "requester/fieldconv/ConvCalendar.h"
#include "requester/fieldconv/FieldConvApi.h"

using namespace FieldConv;

namespace {

constexpr Result Ok = 0;
constexpr Result Failed = 1;
constexpr int32_t DaysBefore1900 = 693595;    // day number of 1 Jan 1900 minus 1
constexpr int32_t DayNumberOfZero = 693594;   // day number of the date-time 0 (30 Dec 1899)
constexpr double UnixEpoch = 25569.0;         // 1 Jan 1970 as a date-time

Result Answer(bool ok) { return ok ? Ok : Failed; }

int32_t ReadInt32(const void* source)
{
    int32_t value;
    std::memcpy(&value, source, sizeof value);
    return value;
}

void WriteInt32(void* destination, int32_t value) { std::memcpy(destination, &value, sizeof value); }

bool ReadDigits(const void* source, int count, int32_t& value)
{
    const auto* text = static_cast<const char*>(source);
    value = 0;
    for (int i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

void WriteDigits(void* destination, int count, int32_t value)
{
    auto* text = static_cast<char*>(destination);
    for (int i = count - 1; i >= 0; --i) {
        text[i] = char('0' + value % 10);
        value /= 10;
    }
}

bool DayNumberToIntermediate(int64_t dayNumber, Intermediate& value)
{
    if (dayNumber < 1 || dayNumber > 3652059) return false;  // 1 Jan 0001 .. 31 Dec 9999
    value = double(dayNumber - DayNumberOfZero);
    return true;
}

bool IntermediateToDayNumber(Intermediate value, int64_t& dayNumber)
{
    TCalendarDate date;
    if (!IntermediateToDate(value, date)) return false;
    dayNumber = int64_t(std::trunc(value)) + DayNumberOfZero;
    return true;
}

}  // namespace

extern "C" {

__declspec(dllexport) Result __stdcall Get_LongYMD(const void* source, Intermediate* value)
{
    const int32_t ymd = ReadInt32(source);
    return Answer(ymd > 0 && DateToIntermediate({ymd / 10000, ymd / 100 % 100, ymd % 100}, *value));
}

__declspec(dllexport) Result __stdcall Set_LongDate(void* destination, Intermediate value)
{
    TCalendarDate date;
    if (!IntermediateToDate(value, date)) return Failed;
    WriteInt32(destination, date.Year * 10000 + date.Month * 100 + date.Day);
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_MagicDate(const void* source, Intermediate* value, int32_t dayBase)
{
    return Answer(DayNumberToIntermediate(int64_t(ReadInt32(source)) + dayBase, *value));
}

__declspec(dllexport) Result __stdcall Set_MagicDate(void* destination, int32_t dayBase, Intermediate value)
{
    int64_t dayNumber = 0;
    if (!IntermediateToDayNumber(value, dayNumber)) return Failed;
    WriteInt32(destination, int32_t(dayNumber - dayBase));
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_Ctime(const void* source, Intermediate* value)
{
    uint32_t seconds;
    std::memcpy(&seconds, source, sizeof seconds);
    *value = UnixEpoch + std::floor(double(seconds) / 86400.0);
    return Ok;
}

__declspec(dllexport) Result __stdcall Set_Ctime(void* destination, Intermediate value)
{
    if (!std::isfinite(value)) return Failed;
    const double seconds = (std::trunc(value) - UnixEpoch) * 86400.0;
    if (seconds < 0 || seconds > 4294967295.0) return Failed;
    const uint32_t stored = uint32_t(seconds);
    std::memcpy(destination, &stored, sizeof stored);
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_YMD(const void* source, Intermediate* value)
{
    const auto* bytes = static_cast<const uint8_t*>(source);
    return Answer(DateToIntermediate({1900 + bytes[0], bytes[1], bytes[2]}, *value));
}

__declspec(dllexport) Result __stdcall Set_YMD(void* destination, Intermediate value)
{
    TCalendarDate date;
    if (!IntermediateToDate(value, date) || date.Year < 1900 || date.Year > 2155) return Failed;
    auto* bytes = static_cast<uint8_t*>(destination);
    bytes[0] = uint8_t(date.Year - 1900);
    bytes[1] = uint8_t(date.Month);
    bytes[2] = uint8_t(date.Day);
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_YYMMDD(const void* source, Intermediate* value)
{
    int32_t digits = 0;
    if (!ReadDigits(source, 6, digits)) return Failed;
    const int32_t yy = digits / 10000;
    return Answer(DateToIntermediate({yy < 50 ? 2000 + yy : 1900 + yy, digits / 100 % 100, digits % 100}, *value));
}

__declspec(dllexport) Result __stdcall Set_YYMMDD(void* destination, Intermediate value)
{
    TCalendarDate date;
    if (!IntermediateToDate(value, date) || date.Year < 1950 || date.Year > 2049) return Failed;
    WriteDigits(destination, 6, date.Year % 100 * 10000 + date.Month * 100 + date.Day);
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_YYYYMMDD(const void* source, Intermediate* value)
{
    int32_t digits = 0;
    if (!ReadDigits(source, 8, digits)) return Failed;
    return Answer(DateToIntermediate({digits / 10000, digits / 100 % 100, digits % 100}, *value));
}

__declspec(dllexport) Result __stdcall Set_YYYYMMDD(void* destination, Intermediate value)
{
    TCalendarDate date;
    if (!IntermediateToDate(value, date)) return Failed;
    WriteDigits(destination, 8, date.Year * 10000 + date.Month * 100 + date.Day);
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_TasProDate(const void* source, Intermediate* value)
{
    uint16_t days;
    std::memcpy(&days, source, sizeof days);
    return Answer(days > 0 && DayNumberToIntermediate(int64_t(days) + DaysBefore1900, *value));
}

__declspec(dllexport) Result __stdcall Set_TasProDate(void* destination, Intermediate value)
{
    int64_t dayNumber = 0;
    if (!IntermediateToDayNumber(value, dayNumber)) return Failed;
    const int64_t days = dayNumber - DaysBefore1900;
    if (days < 1 || days > 65535) return Failed;
    const uint16_t stored = uint16_t(days);
    std::memcpy(destination, &stored, sizeof stored);
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_TasProTime(const void* source, Intermediate* value)
{
    return Answer(TimeUnitsToIntermediate(ReadInt32(source), 100, *value));
}

__declspec(dllexport) Result __stdcall Set_TasProTime(void* destination, Intermediate value)
{
    int64_t hundredths = 0;
    if (!IntermediateToTimeUnits(value, 100, hundredths)) return Failed;
    WriteInt32(destination, int32_t(hundredths));
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_MagicTime(const void* source, Intermediate* value)
{
    return Answer(TimeUnitsToIntermediate(ReadInt32(source), 1, *value));
}

__declspec(dllexport) Result __stdcall Set_MagicTime(void* destination, Intermediate value)
{
    int64_t seconds = 0;
    if (!IntermediateToTimeUnits(value, 1, seconds)) return Failed;
    WriteInt32(destination, int32_t(seconds));
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_BtrieveDate(const void* source, Intermediate* value)
{
    const auto* bytes = static_cast<const uint8_t*>(source);
    const int32_t year = bytes[2] | (bytes[3] << 8);
    return Answer(DateToIntermediate({year, bytes[1], bytes[0]}, *value));
}

__declspec(dllexport) Result __stdcall Set_BtrieveDate(void* destination, Intermediate value)
{
    TCalendarDate date;
    if (!IntermediateToDate(value, date)) return Failed;
    auto* bytes = static_cast<uint8_t*>(destination);
    bytes[0] = uint8_t(date.Day);
    bytes[1] = uint8_t(date.Month);
    bytes[2] = uint8_t(date.Year & 0xFF);
    bytes[3] = uint8_t(date.Year >> 8);
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_BtrieveTime(const void* source, Intermediate* value)
{
    const auto* bytes = static_cast<const uint8_t*>(source);
    if (bytes[0] > 99 || bytes[1] > 59 || bytes[2] > 59 || bytes[3] > 23) return Failed;
    const int64_t hundredths = ((int64_t(bytes[3]) * 60 + bytes[2]) * 60 + bytes[1]) * 100 + bytes[0];
    return Answer(TimeUnitsToIntermediate(hundredths, 100, *value));
}

__declspec(dllexport) Result __stdcall Set_BtrieveTime(void* destination, Intermediate value)
{
    int64_t hundredths = 0;
    if (!IntermediateToTimeUnits(value, 100, hundredths)) return Failed;
    auto* bytes = static_cast<uint8_t*>(destination);
    bytes[0] = uint8_t(hundredths % 100);
    bytes[1] = uint8_t(hundredths / 100 % 60);
    bytes[2] = uint8_t(hundredths / 6000 % 60);
    bytes[3] = uint8_t(hundredths / 360000);
    return Ok;
}

}  // extern "C"
