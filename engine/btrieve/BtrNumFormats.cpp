#include "engine/btrieve/BtrNumFormats.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace BtrNum {

namespace {

constexpr int MaxDecimals = 30;

bool ValidDecimals(SmallInt decimals) { return decimals >= 0 && decimals <= MaxDecimals; }

// Rounds the integer digit text at count digits, a half away from zero; a carry may add a digit in front.
std::string RoundedDigits(const std::string& digits, int count)
{
    if (count < 0) return "";
    std::string kept = digits.substr(0, size_t(count));
    if (size_t(count) < digits.size() && digits[size_t(count)] >= '5') {
        int i = count - 1;
        while (i >= 0 && kept[size_t(i)] == '9') kept[size_t(i--)] = '0';
        if (i >= 0) ++kept[size_t(i)];
        else kept.insert(kept.begin(), '1');
    }
    return kept;
}

// The magnitude's digits with decimals of them after the (removed) decimal point, rounded a half away from zero.
// The rounding works on the shortest decimal text that reads back as the value, so 0.145 rounds as the decimal
// 0.145 and not as the binary double just below it.
bool ScaledDigits(double value, SmallInt decimals, std::string& digits)
{
    if (!std::isfinite(value) || !ValidDecimals(decimals) || std::fabs(value) >= 1e300) return false;
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific);
    const std::string shortest(text, result.ptr);  // d[.ddd]e+xx
    const size_t e = shortest.find('e');
    std::string significant = shortest.substr(0, e);
    significant.erase(std::remove(significant.begin(), significant.end(), '.'), significant.end());
    const int integerDigits = std::atoi(shortest.c_str() + e + 1) + 1;
    const int kept = integerDigits + decimals;
    if (kept > int(significant.size())) significant.append(size_t(kept) - significant.size(), '0');
    digits = RoundedDigits(significant, kept);
    const size_t firstSignificant = digits.find_first_not_of('0');
    digits.erase(0, std::min(firstSignificant, digits.size()));
    return true;
}

// Digits left-padded with "0" to width; false when they do not fit.
bool PadDigits(std::string& digits, size_t width)
{
    if (digits.size() > width) return false;
    digits.insert(0, width - digits.size(), '0');
    return true;
}

bool IsNegativeValue(double value, const std::string& digits)
{
    return value < 0 && digits.find_first_not_of('0') != std::string::npos;
}

// The value of a digit text with an implied decimal point before the last decimals digits.
double DigitsValue(const std::string& digits, SmallInt decimals, bool negative)
{
    std::string text = digits.empty() ? "0" : digits;
    text += "e-" + std::to_string(decimals);
    const double magnitude = std::strtod(text.c_str(), nullptr);
    return negative ? -magnitude : magnitude;
}

// Leading blanks, then digits only.
bool CollectDigits(const Byte* source, Word count, std::string& digits)
{
    Word i = 0;
    while (i < count && source[i] == ' ') ++i;
    for (; i < count; ++i) {
        if (source[i] < '0' || source[i] > '9') return false;
        digits += char(source[i]);
    }
    return true;
}

// Overpunched sign characters of a last digit.
constexpr char PositiveZero = '{';
constexpr char NegativeZero = '}';

bool DecodeOverpunch(char c, char& digit, bool& negative)
{
    negative = false;
    if (c >= '0' && c <= '9') digit = c;
    else if (c == PositiveZero) digit = '0';
    else if (c >= 'A' && c <= 'I') digit = char('1' + (c - 'A'));
    else if (c == NegativeZero) { digit = '0'; negative = true; }
    else if (c >= 'J' && c <= 'R') { digit = char('1' + (c - 'J')); negative = true; }
    else return false;
    return true;
}

char EncodeOverpunch(char digit, bool negative)
{
    if (digit == '0') return negative ? NegativeZero : PositiveZero;
    return char((negative ? 'J' : 'A') + (digit - '1'));
}

// value = mantissa x 2^exponent with mantissa in [1, 2).
void SplitBinary(double value, double& mantissa, int& exponent)
{
    int frexpExponent = 0;
    const double fraction = std::frexp(std::fabs(value), &frexpExponent);  // [0.5, 1)
    mantissa = fraction * 2;
    exponent = frexpExponent - 1;
}

// Rounds mantissa in [1, 2) to bits fraction bits; carries into the exponent when it rounds up to 2.
uint64_t RoundedFraction(double mantissa, int bits, int& exponent)
{
    const long double scaled = std::ldexp((long double)(mantissa - 1.0), bits);
    uint64_t fraction = uint64_t(std::llround(scaled));
    if (fraction >> bits) {
        fraction = 0;
        ++exponent;
    }
    return fraction;
}

// The value rounded through its decimal text of that many significant digits.
bool ThroughText(double value, int significantDigits, double& rounded)
{
    if (!std::isfinite(value)) return false;
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", significantDigits, value);
    char* end = nullptr;
    rounded = std::strtod(text, &end);
    return end != text && std::isfinite(rounded);
}

}  // namespace

bool ReadPacked(const Byte* source, Word size, SmallInt decimals, double& value)
{
    if (size == 0 || !ValidDecimals(decimals)) return false;
    std::string digits;
    for (Word i = 0; i < size; ++i) {
        const int high = source[i] >> 4, low = source[i] & 0x0F;
        if (high > 9 || (i + 1 < size && low > 9)) return false;
        digits += char('0' + high);
        if (i + 1 < size) digits += char('0' + low);
    }
    value = DigitsValue(digits, decimals, (source[size - 1] & 0x0F) == 0x0D);
    return true;
}

bool WritePacked(Byte* destination, Word size, SmallInt decimals, double value)
{
    std::string digits;
    if (size == 0 || !ScaledDigits(value, decimals, digits) || !PadDigits(digits, size_t(size) * 2 - 1)) return false;
    digits += char(IsNegativeValue(value, digits) ? 0x0D : 0x0F);
    for (Word i = 0; i < size; ++i) {
        const int low = i + 1 < size ? digits[2 * i + 1] - '0' : digits[2 * i + 1];
        destination[i] = Byte(((digits[2 * i] - '0') << 4) | low);
    }
    return true;
}

bool ReadOverpunched(const Byte* source, Word size, SmallInt decimals, double& value)
{
    if (size == 0 || !ValidDecimals(decimals)) return false;
    std::string digits;
    char last = 0;
    bool negative = false;
    if (!CollectDigits(source, Word(size - 1), digits) || !DecodeOverpunch(char(source[size - 1]), last, negative)) {
        return false;
    }
    value = DigitsValue(digits + last, decimals, negative);
    return true;
}

bool WriteOverpunched(Byte* destination, Word size, SmallInt decimals, double value)
{
    std::string digits;
    if (size == 0 || !ScaledDigits(value, decimals, digits) || !PadDigits(digits, size)) return false;
    digits.back() = EncodeOverpunch(digits.back(), IsNegativeValue(value, digits));
    std::memcpy(destination, digits.data(), size);
    return true;
}

bool ReadTrailingSign(const Byte* source, Word size, SmallInt decimals, double& value)
{
    if (size < 2 || !ValidDecimals(decimals)) return false;
    std::string digits;
    if (!CollectDigits(source, Word(size - 1), digits)) return false;
    value = DigitsValue(digits, decimals, source[size - 1] != '+');
    return true;
}

bool WriteTrailingSign(Byte* destination, Word size, SmallInt decimals, double value)
{
    std::string digits;
    if (size < 2 || !ScaledDigits(value, decimals, digits) || !PadDigits(digits, size_t(size) - 1)) return false;
    digits += IsNegativeValue(value, digits) ? '-' : '+';
    std::memcpy(destination, digits.data(), size);
    return true;
}

bool ReadIeee(const Byte* source, Word size, double& value)
{
    static_assert(sizeof(long double) >= 10, "80-bit extended floats");
    if (size == 4) {
        float single;
        std::memcpy(&single, source, 4);
        value = single;
    } else if (size == 8) {
        std::memcpy(&value, source, 8);
    } else if (size == 10) {
        long double extended = 0;
        std::memcpy(&extended, source, 10);
        value = double(extended);
    } else {
        return false;
    }
    return true;
}

bool WriteIeee(Byte* destination, Word size, double value)
{
    if (size == 4) {
        double rounded = 0;
        if (!ThroughText(value, 7, rounded) || std::fabs(rounded) > 3.4028234e38) return false;
        const float single = float(rounded);
        std::memcpy(destination, &single, 4);
    } else if (size == 8) {
        std::memcpy(destination, &value, 8);
    } else if (size == 10) {
        const long double extended = value;
        std::memcpy(destination, &extended, 10);
    } else {
        return false;
    }
    return true;
}

bool ReadMbf(const Byte* source, Word size, double& value)
{
    if (size != 4 && size != 8) return false;
    const Byte exponent = source[size - 1];
    if (exponent == 0) {
        value = 0;
        return true;
    }
    const bool negative = source[size - 2] & 0x80;
    const int fractionBits = size == 4 ? 23 : 55;
    uint64_t fraction = source[size - 2] & 0x7F;
    for (int i = size - 3; i >= 0; --i) fraction = (fraction << 8) | source[i];
    const long double mantissa = 1.0L + std::ldexp((long double)fraction, -fractionBits);
    const double magnitude = double(std::ldexp(mantissa, exponent - 129));
    value = negative ? -magnitude : magnitude;
    return true;
}

bool WriteMbf(Byte* destination, Word size, double value)
{
    if (size != 4 && size != 8) return false;
    double source = value;
    if (size == 4 && !ThroughText(value, 7, source)) return false;
    if (!std::isfinite(source)) return false;
    std::memset(destination, 0, size);
    if (source == 0) return true;
    double mantissa = 0;
    int exponent = 0;
    SplitBinary(source, mantissa, exponent);
    const int fractionBits = size == 4 ? 23 : 55;
    const uint64_t fraction = RoundedFraction(mantissa, fractionBits, exponent);
    const int biased = exponent + 129;
    if (biased > 255) return false;
    if (biased < 1) return true;  // below the smallest value: zero
    for (int i = 0; i < size - 1; ++i) destination[i] = Byte(fraction >> (8 * i));
    destination[size - 2] = Byte((destination[size - 2] & 0x7F) | (source < 0 ? 0x80 : 0));
    destination[size - 1] = Byte(biased);
    return true;
}

bool ReadDecimalFloat(const Byte* source, double& value)
{
    std::string digits;
    for (int i = 9; i >= 1; --i) {
        const int high = source[i] >> 4, low = source[i] & 0x0F;
        if (high > 9 || low > 9) return false;
        digits += char('0' + high);
        digits += char('0' + low);
    }
    const int power = (source[0] & 0x7F) - 64;
    const std::string text = "0." + digits + "e" + std::to_string(power);
    const double magnitude = std::strtod(text.c_str(), nullptr);
    value = (source[0] & 0x80) ? -magnitude : magnitude;
    return true;
}

bool WriteDecimalFloat(Byte* destination, double value)
{
    if (!std::isfinite(value)) return false;
    std::memset(destination, 0, 10);
    if (std::fabs(value) < 1e-16) return true;
    char text[64];
    std::snprintf(text, sizeof text, "%.17e", std::fabs(value));  // d.ddddddddddddddddde+xx
    std::string digits = std::string(1, text[0]) + std::string(text + 2, 17);
    const int power = std::atoi(std::strchr(text, 'e') + 1) + 1;
    if (power + 64 < 0 || power + 64 > 127) return false;
    destination[0] = Byte((power + 64) | (value < 0 ? 0x80 : 0));
    for (int i = 0; i < 9; ++i) destination[9 - i] = Byte(((digits[2 * i] - '0') << 4) | (digits[2 * i + 1] - '0'));
    return true;
}

bool ReadReal48(const Byte* source, double& value)
{
    if (source[0] == 0) {
        value = 0;
        return true;
    }
    uint64_t fraction = source[5] & 0x7F;
    for (int i = 4; i >= 1; --i) fraction = (fraction << 8) | source[i];
    const double magnitude = std::ldexp(1.0 + std::ldexp(double(fraction), -39), source[0] - 129);
    value = (source[5] & 0x80) ? -magnitude : magnitude;
    return true;
}

bool WriteReal48(Byte* destination, double value)
{
    double rounded = 0;
    if (!ThroughText(value, 12, rounded)) return false;
    std::memset(destination, 0, 6);
    if (rounded == 0) return true;
    double mantissa = 0;
    int exponent = 0;
    SplitBinary(rounded, mantissa, exponent);
    const uint64_t fraction = RoundedFraction(mantissa, 39, exponent);
    const int biased = exponent + 129;
    if (biased > 255) return false;
    if (biased < 1) return true;
    destination[0] = Byte(biased);
    for (int i = 1; i <= 5; ++i) destination[i] = Byte(fraction >> (8 * (i - 1)));
    destination[5] = Byte((destination[5] & 0x7F) | (rounded < 0 ? 0x80 : 0));
    return true;
}

}  // namespace BtrNum
