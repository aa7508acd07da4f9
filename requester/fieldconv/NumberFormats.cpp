// The number formats of the field-conversion DLL. A value that does not fit its field is refused, never cut.
//
//   Binary       an integer of 1, 2, 4 or 8 bytes scaled by 10^decimals, signed or unsigned, either byte order
//   MagicNum100  a signed little-endian integer of 1, 2, 4 or 8 bytes holding the value times 100
//   TasProNum    text: the value with its decimals, right-justified and blank-padded, "-" before negative ones
//   UDecimal     unsigned packed decimal: two digits a byte, high nibble first, scaled by 10^decimals
//   VBCurrency   a signed 64-bit little-endian integer holding the value times 10000
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "requester/fieldconv/FieldConvApi.h"

using namespace FieldConv;

namespace {

constexpr Result Ok = 0;
constexpr Result Failed = 1;

bool IsIntegerSize(int32_t size) { return size == 1 || size == 2 || size == 4 || size == 8; }

double Scale(int32_t decimals) { return std::pow(10.0, decimals); }

uint64_t ReadUnsigned(const void* source, int32_t size, bool bigEndian)
{
    const auto* bytes = static_cast<const uint8_t*>(source);
    uint64_t value = 0;
    for (int32_t i = 0; i < size; ++i) {
        const uint8_t byte = bigEndian ? bytes[i] : bytes[size - 1 - i];
        value = (value << 8) | byte;
    }
    return value;
}

void WriteUnsigned(void* destination, int32_t size, bool bigEndian, uint64_t value)
{
    auto* bytes = static_cast<uint8_t*>(destination);
    for (int32_t i = 0; i < size; ++i) {
        const uint8_t byte = uint8_t(value >> (8 * i));
        bytes[bigEndian ? size - 1 - i : i] = byte;
    }
}

double ReadInteger(const void* source, int32_t size, bool isSigned, bool bigEndian)
{
    const uint64_t raw = ReadUnsigned(source, size, bigEndian);
    if (!isSigned) return double(raw);
    const int shift = 64 - 8 * size;
    return double(int64_t(raw << shift) >> shift);
}

// The scaled value rounded to an integer when it fits the size and signedness.
bool ScaledInteger(double value, int32_t size, bool isSigned, int64_t& scaled)
{
    if (!std::isfinite(value)) return false;
    const double rounded = std::nearbyint(value);
    const double bits = 8.0 * size;
    const double low = isSigned ? -std::ldexp(1.0, int(bits) - 1) : 0.0;
    const double high = isSigned ? std::ldexp(1.0, int(bits) - 1) : std::ldexp(1.0, int(bits));
    if (rounded < low || rounded >= high || rounded >= 9.2e18 || rounded <= -9.2e18) return false;
    scaled = int64_t(rounded);
    return true;
}

Result WriteScaledInteger(void* destination, int32_t size, double value, bool isSigned, bool bigEndian)
{
    int64_t scaled = 0;
    if (!IsIntegerSize(size) || !ScaledInteger(value, size, isSigned, scaled)) return Failed;
    WriteUnsigned(destination, size, bigEndian, uint64_t(scaled));
    return Ok;
}

std::string FixedText(double magnitude, int32_t decimals)
{
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", int(decimals), magnitude);
    return text;
}

}  // namespace

extern "C" {

__declspec(dllexport) Result __stdcall Get_Binary(const void* source, int32_t size, int32_t decimals, double* value,
                                                 int32_t isSigned, int32_t bigEndian)
{
    if (!IsIntegerSize(size) || decimals < 0) return Failed;
    *value = ReadInteger(source, size, isSigned != 0, bigEndian != 0) / Scale(decimals);
    return Ok;
}

__declspec(dllexport) Result __stdcall Set_Binary(void* destination, int32_t size, int32_t decimals, double value,
                                                 int32_t isSigned, int32_t bigEndian)
{
    if (decimals < 0) return Failed;
    return WriteScaledInteger(destination, size, value * Scale(decimals), isSigned != 0, bigEndian != 0);
}

__declspec(dllexport) Result __stdcall Get_MagicNum100(const void* source, int32_t size, double* value)
{
    if (!IsIntegerSize(size)) return Failed;
    *value = ReadInteger(source, size, true, false) / 100.0;
    return Ok;
}

__declspec(dllexport) Result __stdcall Set_MagicNum100(void* destination, int32_t size, double value)
{
    return WriteScaledInteger(destination, size, value * 100.0, true, false);
}

__declspec(dllexport) Result __stdcall Get_TasProNum(const void* source, int32_t size, int32_t decimals,
                                                    double* value)
{
    const std::string field(static_cast<const char*>(source), size_t(size > 0 ? size : 0));
    const size_t first = field.find_first_not_of(' ');
    if (first == std::string::npos) {
        *value = 0;
        return Ok;
    }
    const std::string text = field.substr(first);
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || text.find_first_of("eExXnN") != std::string::npos) return Failed;
    *value = parsed;
    return Ok;
}

__declspec(dllexport) Result __stdcall Set_TasProNum(void* destination, int32_t size, int32_t decimals, double value)
{
    if (!std::isfinite(value) || decimals < 0 || size <= 0) return Failed;
    std::string text = FixedText(std::fabs(value), decimals);
    if (value < 0 && text.find_first_not_of("0.") != std::string::npos) text = "-" + text;
    if (int32_t(text.size()) > size) return Failed;
    std::memset(destination, ' ', size_t(size));
    std::memcpy(static_cast<char*>(destination) + size - text.size(), text.data(), text.size());
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_UDecimal(const void* source, int32_t size, int32_t decimals,
                                                   double* value)
{
    if (size <= 0 || decimals < 0) return Failed;
    const auto* bytes = static_cast<const uint8_t*>(source);
    double digits = 0;
    for (int32_t i = 0; i < size; ++i) {
        const int high = bytes[i] >> 4, low = bytes[i] & 0x0F;
        if (high > 9 || low > 9) return Failed;
        digits = digits * 100 + high * 10 + low;
    }
    *value = digits / Scale(decimals);
    return Ok;
}

__declspec(dllexport) Result __stdcall Set_UDecimal(void* destination, int32_t size, int32_t decimals, double value)
{
    if (!std::isfinite(value) || value < 0 || decimals < 0 || size <= 0) return Failed;
    std::string digits = FixedText(value, decimals);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const size_t capacity = size_t(size) * 2;
    if (digits.size() > capacity) return Failed;
    digits.insert(0, capacity - digits.size(), '0');
    auto* bytes = static_cast<uint8_t*>(destination);
    for (int32_t i = 0; i < size; ++i) bytes[i] = uint8_t(((digits[2 * i] - '0') << 4) | (digits[2 * i + 1] - '0'));
    return Ok;
}

__declspec(dllexport) Result __stdcall Get_VBCurrency(const void* source, double* value)
{
    *value = ReadInteger(source, 8, true, false) / 10000.0;
    return Ok;
}

__declspec(dllexport) Result __stdcall Set_VBCurrency(void* destination, double value)
{
    return WriteScaledInteger(destination, 8, value * 10000.0, true, false);
}

}  // extern "C"
