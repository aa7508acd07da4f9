// Decimal digits of a number, rounded as the platform rounds before it formats: value = 0.Digits * 10^Exponent.
#pragma once

#include <string>

#include "rtl/Types.h"

struct TFloatRec {
    int Exponent = 0;
    bool Negative = false;
    std::string Digits;  // significant digits without trailing zeros; empty for zero
    bool Special = false;  // NaN or infinity: Text holds the platform's text
    std::string Text;

    bool IsZero() const { return !Special && Digits.empty(); }
};

// Rounds (halves away from zero) to at most `precision` significant digits and `decimals` digits after the point.
TFloatRec FloatToDecimal(double value, int precision, int decimals);
TFloatRec FloatToDecimal(Currency value, int precision, int decimals);
