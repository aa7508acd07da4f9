#include "rtl/Format.h"

#include <cctype>
#include <cstdint>
#include <cstring>

#include "rtl/Exceptions.h"
#include "rtl/FloatConv.h"
#include "rtl/FormatSettings.h"
#include "rtl/IntConv.h"

namespace {

struct Spec {
    bool leftAlign = false;
    int width = -1;
    int precision = -1;
    char type = 0;
};

class Formatter {
public:
    Formatter(const std::string& format, std::initializer_list<TVarRec> args) : format_(format), args_(args) {}

    std::string Run()
    {
        std::string result;
        while (pos_ < format_.size()) {
            char c = format_[pos_++];
            if (c != '%') {
                result += c;
            } else if (pos_ < format_.size() && format_[pos_] == '%') {
                result += '%';
                ++pos_;
            } else {
                result += ReadSpec();
            }
        }
        return result;
    }

private:
    [[noreturn]] void Fail(const char* message) const
    {
        // The message quotes the format string, cut to 31 characters.
        throw EConvertError(Format(message, {format_.substr(0, 31)}));
    }
    [[noreturn]] void InvalidFormat() const { Fail("Format '%s' invalid or incompatible with argument"); }

    const TVarRec& NextArg()
    {
        if (argIndex_ >= args_.size()) Fail("No argument for format '%s'");
        return args_.begin()[argIndex_++];
    }

    // A number, or "*" taking the number from the next argument; -1 when neither is there.
    int ReadNumber()
    {
        if (pos_ < format_.size() && format_[pos_] == '*') {
            ++pos_;
            const TVarRec& arg = NextArg();
            if (!arg.IsInteger()) InvalidFormat();
            return static_cast<int>(arg.AsInteger());
        }
        if (pos_ >= format_.size() || !std::isdigit(static_cast<unsigned char>(format_[pos_]))) return -1;
        int n = 0;
        while (pos_ < format_.size() && std::isdigit(static_cast<unsigned char>(format_[pos_])))
            n = n * 10 + (format_[pos_++] - '0');
        return n;
    }

    std::string ReadSpec()
    {
        Spec spec;
        int number = ReadNumber();
        if (pos_ < format_.size() && format_[pos_] == ':') {
            ++pos_;
            argIndex_ = number < 0 ? 0 : number;
            number = -1;
        }
        if (number < 0) {
            if (pos_ < format_.size() && format_[pos_] == '-') {
                spec.leftAlign = true;
                ++pos_;
            }
            number = ReadNumber();
        }
        spec.width = number;
        if (pos_ < format_.size() && format_[pos_] == '.') {
            ++pos_;
            spec.precision = ReadNumber();
        }
        if (pos_ >= format_.size()) InvalidFormat();
        spec.type = static_cast<char>(std::tolower(static_cast<unsigned char>(format_[pos_++])));
        return Pad(spec, Convert(spec, NextArg()));
    }

    static std::string Pad(const Spec& spec, const std::string& text)
    {
        if (spec.width <= int(text.size())) return text;
        std::string blanks(spec.width - text.size(), ' ');
        return spec.leftAlign ? text + blanks : blanks + text;
    }

    std::string Convert(const Spec& spec, const TVarRec& arg) const
    {
        switch (spec.type) {
        case 'd': return Decimal(spec, IntegerOf(arg));
        case 'u': return Unsigned(spec, arg);
        case 'x': return WithMinDigits(HexOf(arg), spec.precision);
        case 'p':
            if (!arg.IsPointer()) InvalidFormat();
            return HexDigits(reinterpret_cast<uintptr_t>(arg.AsPointer()), int(2 * sizeof(void*)));
        case 's': {
            if (!arg.IsText()) InvalidFormat();
            std::string text = arg.AsText();
            return spec.precision >= 0 && spec.precision < int(text.size()) ? text.substr(0, spec.precision) : text;
        }
        case 'e': return FloatToStrF(FloatOf(arg), ffExponent, spec.precision < 0 ? 15 : spec.precision, 3);
        case 'g': return FloatToStrF(FloatOf(arg), ffGeneral, spec.precision < 0 ? 15 : spec.precision, 3);
        case 'f': return Fixed(arg, ffFixed, spec.precision < 0 ? 2 : spec.precision);
        case 'n': return Fixed(arg, ffNumber, spec.precision < 0 ? 2 : spec.precision);
        case 'm': return Fixed(arg, ffCurrency, spec.precision < 0 ? CurrencyDecimals : spec.precision);
        default: InvalidFormat();
        }
    }

    Int64 IntegerOf(const TVarRec& arg) const
    {
        if (!arg.IsInteger()) InvalidFormat();
        return arg.AsInteger();
    }

    double FloatOf(const TVarRec& arg) const
    {
        if (arg.IsFloat()) return arg.AsFloat();
        if (arg.IsCurrency()) return arg.AsCurrency().ToDouble();
        InvalidFormat();
    }

    std::string Fixed(const TVarRec& arg, TFloatFormat format, int digits) const
    {
        if (arg.IsCurrency()) return CurrToStrF(arg.AsCurrency(), format, digits);
        return FloatToStrF(FloatOf(arg), format, 18, digits);
    }

    static std::string WithMinDigits(std::string digits, int minDigits)
    {
        if (int(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), '0');
        return digits;
    }

    static std::string Decimal(const Spec& spec, Int64 value)
    {
        uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
        std::string digits = WithMinDigits(std::to_string(magnitude), spec.precision);
        return value < 0 ? "-" + digits : digits;
    }

    std::string Unsigned(const Spec& spec, const TVarRec& arg) const
    {
        Int64 value = IntegerOf(arg);
        uint64_t bits = arg.IsWide() ? uint64_t(value) : uint64_t(uint32_t(value));
        return WithMinDigits(std::to_string(bits), spec.precision);
    }

    std::string HexOf(const TVarRec& arg) const
    {
        Int64 value = IntegerOf(arg);
        return arg.IsWide() ? IntToHex(value, 0) : IntToHex(static_cast<int32_t>(value), 0);
    }

    const std::string& format_;
    std::initializer_list<TVarRec> args_;
    size_t pos_ = 0;
    size_t argIndex_ = 0;
};

}  // namespace

std::string Format(const std::string& format, std::initializer_list<TVarRec> args)
{
    return Formatter(format, args).Run();
}

void FmtStr(std::string& result, const std::string& format, std::initializer_list<TVarRec> args)
{
    result = Format(format, args);
}

char* StrFmt(char* buffer, const char* format, std::initializer_list<TVarRec> args)
{
    std::string text = Format(format, args);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return buffer;
}
