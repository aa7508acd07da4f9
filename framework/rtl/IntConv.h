// Conversions between integers and text.
#pragma once

#include <concepts>
#include <string>

#include "rtl/Types.h"

std::string IntToStr(Int64 value);

std::string HexDigits(uint64_t value, int minDigits);

// Upper-case hex digits, at least `digits` of them; negative values in their two's complement of the type's size.
template <std::integral T>
std::string IntToHex(T value, int digits)
{
    if constexpr (sizeof(T) <= 4)
        return HexDigits(static_cast<uint32_t>(value), digits);
    else
        return HexDigits(static_cast<uint64_t>(value), digits);
}

// Text to integer as the platform reads it: leading blanks, a sign, decimal digits or hex after "$" or "0x".
Integer StrToInt(const std::string& s);
Integer StrToIntDef(const std::string& s, Integer defaultValue);
bool TryStrToInt(const std::string& s, Integer& value);
Int64 StrToInt64(const std::string& s);
bool TryStrToInt64(const std::string& s, Int64& value);
