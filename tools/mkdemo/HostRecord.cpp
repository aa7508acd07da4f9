#include "tools/mkdemo/HostRecord.h"

#include <cmath>

#include "tools/mkdemo/HostFileDefs.h"

namespace {

constexpr uint8_t PositiveSign = 0x0F;
constexpr uint8_t NegativeSign = 0x0D;
constexpr int FirstHostYear = 1980;
constexpr int LastHostYear = 2079;

std::string TwoDigits(int value)
{
    return std::string(1, char('0' + value / 10)) + char('0' + value % 10);
}

}  // namespace

THostRecord::THostRecord(const Layoutc::TLayout& layout)
    : layout_(&layout), bytes_(size_t(layout.RecordLength), '\0')
{
    for (const Layoutc::TField& field : layout.Fields) {
        if (field.Kind == Layoutc::TKind::String) {
            bytes_.replace(size_t(field.Offset), size_t(field.Length), size_t(field.Length), ' ');
        }
        if (field.Kind == Layoutc::TKind::Decimal) PutPacked(field, 0, false);
    }
}

const Layoutc::TField& THostRecord::Field(const std::string& name, Layoutc::TKind kind) const
{
    const Layoutc::TField* field = nullptr;
    try {
        field = &FieldOf(*layout_, name);
    } catch (const Layoutc::ELayoutError& e) {
        throw EHostValueError(e.what());
    }
    if (field->Kind != kind) throw EHostValueError(layout_->Name + "." + name + " is of another kind");
    return *field;
}

THostRecord& THostRecord::Set(const std::string& name, const std::string& text)
{
    const Layoutc::TField& field = Field(name, Layoutc::TKind::String);
    if (text.size() > size_t(field.Length)) {
        throw EHostValueError(layout_->Name + "." + name + ": \"" + text + "\" is longer than the field");
    }
    bytes_.replace(size_t(field.Offset), size_t(field.Length), LeftJustified(text, size_t(field.Length)));
    return *this;
}

void THostRecord::PutPacked(const Layoutc::TField& field, int64_t digits, bool negative)
{
    // 2n-1 digits, high nibble first; the last low nibble is the sign.
    std::string packed(size_t(field.Length), '\0');
    int nibble = 2 * field.Length - 1;
    packed.back() = char(negative ? NegativeSign : PositiveSign);
    for (int64_t rest = digits; rest > 0; rest /= 10) {
        --nibble;
        const uint8_t digit = uint8_t(rest % 10);
        char& byte = packed[size_t(nibble / 2)];
        byte = char(uint8_t(byte) | (nibble % 2 == 0 ? uint8_t(digit << 4) : digit));
    }
    bytes_.replace(size_t(field.Offset), size_t(field.Length), packed);
}

THostRecord& THostRecord::SetDecimal(const std::string& name, double value)
{
    const Layoutc::TField& field = Field(name, Layoutc::TKind::Decimal);
    const double scaled = std::round(std::fabs(value) * std::pow(10.0, field.Decimals));
    if (scaled >= std::pow(10.0, 2 * field.Length - 1)) {
        throw EHostValueError(layout_->Name + "." + name + ": " + std::to_string(value) + " does not fit");
    }
    PutPacked(field, int64_t(scaled), value < 0 && scaled > 0);
    return *this;
}

THostRecord& THostRecord::SetInteger(const std::string& name, int value)
{
    const Layoutc::TField& field = Field(name, Layoutc::TKind::Integer);
    if (value < INT16_MIN || value > INT16_MAX) throw EHostValueError(layout_->Name + "." + name + " does not fit");
    const auto word = uint16_t(int16_t(value));
    bytes_[size_t(field.Offset)] = char(word & 0xFF);
    bytes_[size_t(field.Offset) + 1] = char(word >> 8);
    return *this;
}

THostRecord& THostRecord::SetDate(const std::string& name, int year, int month, int day)
{
    const Layoutc::TField& field = Field(name, Layoutc::TKind::Date);
    const size_t at = size_t(field.Offset);
    bytes_[at] = char(day);
    bytes_[at + 1] = char(month);
    bytes_[at + 2] = char(year & 0xFF);
    bytes_[at + 3] = char(year >> 8);
    return *this;
}

std::string THostRecord::Raw(const std::string& name) const
{
    try {
        const Layoutc::TField& field = FieldOf(*layout_, name);
        return bytes_.substr(size_t(field.Offset), size_t(field.Length));
    } catch (const Layoutc::ELayoutError& e) {
        throw EHostValueError(e.what());
    }
}

std::string RightJustified(const std::string& text, size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string LeftJustified(const std::string& text, size_t width)
{
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string HostDateOf(int year, int month, int day)
{
    if (year < FirstHostYear || year > LastHostYear) throw EHostValueError("no host date for " + std::to_string(year));
    return TwoDigits(year - FirstHostYear) + TwoDigits(month) + TwoDigits(day);
}
