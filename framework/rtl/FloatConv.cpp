#include "rtl/FloatConv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>

#include "rtl/Exceptions.h"
#include "rtl/FloatDecimal.h"
#include "rtl/FormatSettings.h"
#include "rtl/Format.h"

namespace {

using DecimalSource = std::function<TFloatRec(int precision, int decimals)>;

constexpr int NoDecimalLimit = 9999;

std::string ExponentText(int exponent, bool alwaysSign, int minDigits)
{
    std::string digits = std::to_string(std::abs(exponent));
    if (int(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), '0');
    std::string sign = exponent < 0 ? "-" : (alwaysSign ? "+" : "");
    return "E" + sign + digits;
}

char DigitAt(const TFloatRec& rec, int index)
{
    return index >= 0 && index < int(rec.Digits.size()) ? rec.Digits[index] : '0';
}

std::string IntegerDigits(const TFloatRec& rec)
{
    if (rec.Exponent <= 0) return "0";
    std::string result;
    for (int i = 0; i < rec.Exponent; ++i) result += DigitAt(rec, i);
    return result;
}

std::string FractionDigits(const TFloatRec& rec, int count)
{
    std::string result;
    for (int i = 0; i < count; ++i) result += DigitAt(rec, rec.Exponent + i);
    return result;
}

std::string Grouped(const std::string& integerDigits)
{
    if (ThousandSeparator == '\0') return integerDigits;
    std::string result;
    int count = int(integerDigits.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0) result += ThousandSeparator;
        result += integerDigits[i];
    }
    return result;
}

std::string Signed(const TFloatRec& rec, const std::string& text) { return rec.Negative ? "-" + text : text; }

std::string GeneralText(const TFloatRec& rec, int precision)
{
    if (rec.IsZero()) return "0";
    std::string text;
    if (rec.Exponent > precision || rec.Exponent < -3) {
        text = rec.Digits.substr(0, 1);
        if (rec.Digits.size() > 1) text += DecimalSeparator + rec.Digits.substr(1);
        text += ExponentText(rec.Exponent - 1, false, 0);
    } else {
        int fraction = std::max(0, int(rec.Digits.size()) - rec.Exponent);
        text = IntegerDigits(rec);
        if (fraction > 0) text += DecimalSeparator + FractionDigits(rec, fraction);
    }
    return Signed(rec, text);
}

std::string ExponentFormText(const TFloatRec& rec, int precision, int digits)
{
    std::string mantissa = rec.Digits;
    mantissa.resize(precision, '0');
    std::string text = mantissa.substr(0, 1);
    if (precision > 1) text += DecimalSeparator + mantissa.substr(1);
    int exponent = rec.IsZero() ? 0 : rec.Exponent - 1;
    return Signed(rec, text + ExponentText(exponent, true, digits));
}

std::string FixedText(const TFloatRec& rec, int digits, bool grouped)
{
    std::string integer = IntegerDigits(rec);
    std::string text = grouped ? Grouped(integer) : integer;
    if (digits > 0) text += DecimalSeparator + FractionDigits(rec, digits);
    return text;
}

std::string CurrencyText(const TFloatRec& rec, int digits)
{
    const std::string number = FixedText(rec, digits, true);
    const std::string& c = CurrencyString;
    if (!rec.Negative) {
        switch (CurrencyFormat) {
        case 1: return number + c;
        case 2: return c + " " + number;
        case 3: return number + " " + c;
        default: return c + number;
        }
    }
    switch (NegCurrFormat) {
    case 1: return "-" + c + number;
    case 2: return c + "-" + number;
    case 3: return c + number + "-";
    case 4: return "(" + number + c + ")";
    case 5: return "-" + number + c;
    case 6: return number + "-" + c;
    case 7: return number + c + "-";
    case 8: return "-" + number + " " + c;
    case 9: return "-" + c + " " + number;
    case 10: return number + " " + c + "-";
    case 11: return c + " " + number + "-";
    case 12: return c + " -" + number;
    case 13: return number + "- " + c;
    case 14: return "(" + c + " " + number + ")";
    case 15: return "(" + number + " " + c + ")";
    default: return "(" + c + number + ")";
    }
}

std::string FloatToText(const DecimalSource& decimal, TFloatFormat format, int precision, int digits)
{
    TFloatRec rec = decimal(precision, format == ffGeneral || format == ffExponent ? NoDecimalLimit : digits);
    if (rec.Special) return rec.Text;
    switch (format) {
    case ffGeneral:
        return GeneralText(rec, precision);
    case ffExponent:
        return ExponentFormText(rec, precision, std::clamp(digits, 0, 4));
    default:
        break;
    }
    // Fixed-point forms fall back to the general form when the integer part has more digits than the precision.
    if (rec.Exponent > precision) return GeneralText(decimal(precision, NoDecimalLimit), precision);
    if (format == ffCurrency) return CurrencyText(rec, digits);
    return Signed(rec, FixedText(rec, digits, format == ffNumber));
}

DecimalSource FromDouble(double value)
{
    return [value](int precision, int decimals) { return FloatToDecimal(value, precision, decimals); };
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Copies the digits of s to out while they last; returns how many were copied.
size_t CopyDigits(const std::string& s, size_t& i, std::string& out)
{
    size_t start = i;
    while (i < s.size() && IsDigit(s[i])) out += s[i++];
    return i - start;
}

// Checks the platform's number syntax (blanks, sign, digits, DecimalSeparator, exponent) and gives the number
// with '.' as the decimal point.
bool NormalizeNumber(const std::string& s, std::string& out)
{
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    const std::string text = s.substr(first, s.find_last_not_of(' ') - first + 1);
    size_t i = 0;
    if (text[i] == '+' || text[i] == '-') out += text[i++];
    size_t digits = CopyDigits(text, i, out);
    if (i < text.size() && text[i] == DecimalSeparator) {
        out += '.';
        digits += CopyDigits(text, ++i, out);
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out += text[i++];
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) out += text[i++];
        if (CopyDigits(text, i, out) == 0) return false;
    }
    return i == text.size();
}

DecimalSource FromCurrency(Currency value)
{
    return [value](int precision, int decimals) { return FloatToDecimal(value, precision, decimals); };
}

}  // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    return FloatToText(FromDouble(value), format, std::clamp(precision, 1, 18), std::clamp(digits, 0, 18));
}

std::string FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

std::string CurrToStrF(Currency value, TFloatFormat format, int digits)
{
    return FloatToText(FromCurrency(value), format, 19, std::clamp(digits, 0, 18));
}

std::string CurrToStr(Currency value) { return CurrToStrF(value, ffGeneral, 0); }

bool TextToFloat(const std::string& s, double& value)
{
    std::string number;
    if (!NormalizeNumber(s, number)) return false;
    const char* begin = number.data() + (number[0] == '+' ? 1 : 0);
    double result = 0;
    auto parsed = std::from_chars(begin, number.data() + number.size(), result);
    if (parsed.ec != std::errc() || std::isinf(result)) return false;
    value = result;
    return true;
}

bool TextToFloat(const std::string& s, Currency& value)
{
    double number = 0;
    if (!TextToFloat(s, number) || std::fabs(number) >= 922337203685477.0) return false;
    value = Currency(number);
    return true;
}

bool TryStrToFloat(const std::string& s, double& value) { return TextToFloat(s, value); }

double StrToFloat(const std::string& s)
{
    double value = 0;
    if (!TextToFloat(s, value)) throw EConvertError(Format("'%s' is not a valid floating point value", {s}));
    return value;
}

Currency StrToCurr(const std::string& s)
{
    Currency value;
    if (!TextToFloat(s, value)) throw EConvertError(Format("'%s' is not a valid floating point value", {s}));
    return value;
}
