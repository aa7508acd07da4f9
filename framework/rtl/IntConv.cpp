#include "rtl/IntConv.h"

#include <limits>

#include "rtl/Exceptions.h"
#include "rtl/Format.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads the text into a magnitude that fits the signed range up to `maxPositive` (decimal) or `hexLimit` (hex).
bool ParseInteger(const std::string& s, uint64_t maxPositive, uint64_t hexLimit, bool& negative, uint64_t& magnitude)
{
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    const uint64_t limit = base == 16 ? hexLimit : maxPositive + (negative ? 1 : 0);
    if (i == s.size()) return false;
    magnitude = 0;
    for (; i < s.size(); ++i) {
        int digit = HexValue(s[i]);
        if (digit < 0 || digit >= base) return false;
        if (magnitude > (limit - digit) / base) return false;
        magnitude = magnitude * base + digit;
    }
    return true;
}

}  // namespace

std::string IntToStr(Int64 value) { return std::to_string(value); }

std::string HexDigits(uint64_t value, int minDigits)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string result;
    do {
        result.insert(result.begin(), digits[value & 15]);
        value >>= 4;
    } while (value != 0);
    if (int(result.size()) < minDigits) result.insert(0, minDigits - result.size(), '0');
    return result;
}

bool TryStrToInt(const std::string& s, Integer& value)
{
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ParseInteger(s, 0x7FFFFFFFu, 0xFFFFFFFFu, negative, magnitude)) return false;
    uint32_t bits = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
    value = static_cast<Integer>(bits);
    return true;
}

bool TryStrToInt64(const std::string& s, Int64& value)
{
    bool negative = false;
    uint64_t magnitude = 0;
    const uint64_t maxPositive = std::numeric_limits<Int64>::max();
    if (!ParseInteger(s, maxPositive, std::numeric_limits<uint64_t>::max(), negative, magnitude)) return false;
    value = static_cast<Int64>(negative ? 0 - magnitude : magnitude);
    return true;
}

Integer StrToInt(const std::string& s)
{
    Integer value = 0;
    if (!TryStrToInt(s, value)) throw EConvertError(Format("'%s' is not a valid integer value", {s}));
    return value;
}

Integer StrToIntDef(const std::string& s, Integer defaultValue)
{
    Integer value = 0;
    return TryStrToInt(s, value) ? value : defaultValue;
}

Int64 StrToInt64(const std::string& s)
{
    Int64 value = 0;
    if (!TryStrToInt64(s, value)) throw EConvertError(Format("'%s' is not a valid integer value", {s}));
    return value;
}
