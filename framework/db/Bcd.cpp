#include "db/Bcd.h"

#include <cstdint>

namespace {

constexpr int MaxDigits = 64;

int DigitAt(const TBcd& bcd, int index)
{
    const Byte b = bcd.Fraction[index / 2];
    return index % 2 == 0 ? b >> 4 : b & 0x0F;
}

void SetDigit(TBcd& bcd, int index, int digit)
{
    Byte& b = bcd.Fraction[index / 2];
    b = index % 2 == 0 ? Byte((b & 0x0F) | (digit << 4)) : Byte((b & 0xF0) | digit);
}

// |value| scaled to the given number of decimals, rounded half away from zero.
uint64_t ScaledMagnitude(Currency value, int decimals)
{
    Int64 scaled = value.Scaled();
    uint64_t magnitude = scaled < 0 ? uint64_t(0) - uint64_t(scaled) : uint64_t(scaled);
    for (int d = 4; d > decimals; --d) magnitude = (magnitude + 5) / 10;
    for (int d = 4; d < decimals; ++d) magnitude *= 10;
    return magnitude;
}

}  // namespace

bool CurrToBCD(Currency value, TBcd& bcd, int precision, int decimals)
{
    if (precision < 1 || precision > MaxDigits || decimals < 0 || decimals > precision || decimals > 18) return false;
    bcd = TBcd{};
    uint64_t magnitude = ScaledMagnitude(value, decimals);
    for (int i = precision - 1; i >= 0; --i) {
        SetDigit(bcd, i, int(magnitude % 10));
        magnitude /= 10;
    }
    if (magnitude != 0) return false;
    bcd.Precision = Byte(precision);
    bcd.SignSpecialPlaces = Byte(decimals);
    if (value.Scaled() < 0) bcd.SignSpecialPlaces |= 0x80;
    return true;
}

bool BCDToCurr(const TBcd& bcd, Currency& value)
{
    const int precision = bcd.Precision;
    const int places = bcd.SignSpecialPlaces & 0x3F;
    if (precision > MaxDigits || places > precision) return false;
    // Integer digits, then up to 4 decimals; further decimals are cut.
    Int64 scaled = 0;
    const int integerDigits = precision - places;
    for (int i = 0; i < integerDigits; ++i) {
        scaled = scaled * 10 + DigitAt(bcd, i);
        if (scaled > INT64_MAX / Currency::Scale / 10) return false;
    }
    for (int i = 0; i < 4; ++i) scaled = scaled * 10 + (i < places ? DigitAt(bcd, integerDigits + i) : 0);
    if (bcd.SignSpecialPlaces & 0x80) scaled = -scaled;
    value = Currency::FromScaled(scaled);
    return true;
}
