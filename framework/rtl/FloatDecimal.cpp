#include "rtl/FloatDecimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Keeps `count` digits, rounding half up on the decimal digits; a carry may add a digit in front.
void RoundDigits(TFloatRec& rec, int count)
{
    if (count < 0) {
        rec.Digits.clear();
    } else if (count < int(rec.Digits.size())) {
        bool up = rec.Digits[count] >= '5';
        rec.Digits.resize(count);
        if (up) {
            int i = count - 1;
            while (i >= 0 && rec.Digits[i] == '9') rec.Digits[i--] = '0';
            if (i >= 0) {
                ++rec.Digits[i];
            } else {
                rec.Digits.insert(rec.Digits.begin(), '1');
                ++rec.Exponent;
            }
        }
    }
    while (!rec.Digits.empty() && rec.Digits.back() == '0') rec.Digits.pop_back();
    if (rec.Digits.empty()) {
        rec.Exponent = 0;
        rec.Negative = false;
    }
}

void ApplyLimits(TFloatRec& rec, int precision, int decimals)
{
    int count = std::min(precision, rec.Exponent + decimals);
    RoundDigits(rec, count);
}

}  // namespace

TFloatRec FloatToDecimal(double value, int precision, int decimals)
{
    TFloatRec rec;
    if (std::isnan(value) || std::isinf(value)) {
        rec.Special = true;
        rec.Negative = value < 0;
        rec.Text = std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
        return rec;
    }
    rec.Negative = std::signbit(value);
    if (value == 0) {
        rec.Negative = false;
        return rec;
    }
    // 18 significant digits first, as the platform's packed decimal store gives them.
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 17);
    std::string text(buffer, result.ptr);
    size_t e = text.find('e');
    rec.Digits = text.substr(0, 1) + text.substr(2, e - 2);
    rec.Exponent = std::stoi(text.substr(e + 1)) + 1;
    ApplyLimits(rec, std::min(precision, 18), decimals);
    return rec;
}

TFloatRec FloatToDecimal(Currency value, int precision, int decimals)
{
    TFloatRec rec;
    Int64 scaled = value.Scaled();
    if (scaled == 0) return rec;
    rec.Negative = scaled < 0;
    std::string digits = std::to_string(scaled);
    if (rec.Negative) digits.erase(0, 1);
    rec.Digits = digits;
    rec.Exponent = int(digits.size()) - 4;
    ApplyLimits(rec, precision, std::min(decimals, 4));
    return rec;
}
