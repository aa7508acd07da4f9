// The platform's 34-byte packed decimal record and its conversions to and from Currency.
#pragma once

#include "rtl/Types.h"

#pragma pack(push, 1)
struct TBcd {
    Byte Precision = 0;          // number of digits in Fraction
    Byte SignSpecialPlaces = 0;  // bit 7 sign (set: negative), bit 6 special, bits 0-5 digits after the point
    Byte Fraction[32] = {};      // the digits, two per byte, high nibble first
};
#pragma pack(pop)
static_assert(sizeof(TBcd) == 34);

// Writes value with precision digits, decimals of them after the point (rounded half away from zero).
// False when the value does not fit or precision / decimals are out of range.
bool CurrToBCD(Currency value, TBcd& bcd, int precision = 32, int decimals = 4);
// False when the record holds more than 4 significant decimals' worth of range for a Currency or is malformed.
bool BCDToCurr(const TBcd& bcd, Currency& value);
