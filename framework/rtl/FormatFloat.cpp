#include "rtl/FloatConv.h"

#include <algorithm>
#include <vector>

#include "rtl/FloatDecimal.h"
#include "rtl/FormatSettings.h"

namespace {

// What a format section asks for: digit placeholders, decimal point, grouping and exponent form.
struct SectionLayout {
    int digitCount = 0;    // '0' and '#' placeholders
    int decimalIndex = -1; // placeholders before the decimal point
    int firstZero = -1;    // index of the first '0' placeholder
    int lastZero = 0;      // one past the index of the last '0' placeholder
    bool thousands = false;
    bool scientific = false;
};

std::vector<std::string> SplitSections(const std::string& format)
{
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : format) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

SectionLayout ScanSection(const std::string& section)
{
    SectionLayout layout;
    for (size_t i = 0; i < section.size(); ++i) {
        char c = section[i];
        switch (c) {
        case '0':
            if (layout.firstZero < 0) layout.firstZero = layout.digitCount;
            layout.lastZero = ++layout.digitCount;
            break;
        case '#':
            ++layout.digitCount;
            break;
        case '.':
            if (layout.decimalIndex < 0) layout.decimalIndex = layout.digitCount;
            break;
        case ',':
            layout.thousands = true;
            break;
        case 'e':
        case 'E':
            if (i + 1 < section.size() && (section[i + 1] == '+' || section[i + 1] == '-')) {
                layout.scientific = true;
                i += 1;
                while (i + 1 < section.size() && section[i + 1] == '0') ++i;
            }
            break;
        case '"':
        case '\'':
            i = std::min(section.find(c, i + 1), section.size());
            break;
        default:
            break;
        }
    }
    if (layout.decimalIndex < 0) layout.decimalIndex = layout.digitCount;
    if (layout.firstZero < 0) layout.firstZero = layout.digitCount;
    return layout;
}

TFloatRec Round(double value, const SectionLayout& layout)
{
    if (layout.scientific) return FloatToDecimal(value, std::max(layout.digitCount, 1), 9999);
    return FloatToDecimal(value, 18, layout.digitCount - layout.decimalIndex);
}

// Writes the number into the section's placeholders.
class SectionWriter {
public:
    SectionWriter(const std::string& section, const SectionLayout& layout, const TFloatRec& rec)
        : section_(section), layout_(layout), rec_(rec)
    {
        if (layout.scientific) {
            exponent_ = rec.IsZero() ? 0 : rec.Exponent - layout.decimalIndex;
            integerDigits_ = layout.decimalIndex;
        } else {
            integerDigits_ = std::max(rec.Exponent, 0);
        }
    }

    std::string Write()
    {
        for (size_t i = 0; i < section_.size(); ++i) {
            char c = section_[i];
            if (c == '0' || c == '#') {
                PutPlaceholder();
            } else if ((c == 'e' || c == 'E') && layout_.scientific && i + 1 < section_.size() &&
                       (section_[i + 1] == '+' || section_[i + 1] == '-')) {
                i = PutExponent(i);
            } else if (c == '"' || c == '\'') {
                size_t end = std::min(section_.find(c, i + 1), section_.size());
                out_.append(section_, i + 1, end - i - 1);
                i = end;
            } else if (c != '.' && c != ',') {
                out_ += c;
            }
        }
        return out_;
    }

private:
    // The digit at a position counted from the number's first integer digit; '0' outside the digits.
    char Digit(int position) const
    {
        int index = position + (layout_.scientific ? 0 : rec_.Exponent - integerDigits_);
        return index >= 0 && index < int(rec_.Digits.size()) ? rec_.Digits[index] : '0';
    }

    void PutIntegerDigit(int position)
    {
        out_ += Digit(position);
        int left = integerDigits_ - position - 1;
        if (layout_.thousands && !layout_.scientific && left > 0 && left % 3 == 0 && ThousandSeparator != '\0')
            out_ += ThousandSeparator;
    }

    void PutPlaceholder()
    {
        const int index = placeholder_++;
        if (index < layout_.decimalIndex) {
            // Integer placeholder: the position it stands for, counted from the number's first integer digit.
            int position = integerDigits_ - (layout_.decimalIndex - index);
            if (index == 0)
                for (int p = 0; p < position; ++p) PutIntegerDigit(p);  // digits beyond the placeholders
            if (position >= 0 || index >= layout_.firstZero) PutIntegerDigit(position);
        } else {
            int fraction = index - layout_.decimalIndex;
            bool hasDigit = rec_.Exponent + fraction < int(rec_.Digits.size()) && !rec_.IsZero();
            if (layout_.scientific) hasDigit = integerDigits_ + fraction < int(rec_.Digits.size());
            if (index < layout_.lastZero || hasDigit) {
                if (!pointWritten_) out_ += DecimalSeparator;
                pointWritten_ = true;
                out_ += Digit(integerDigits_ + fraction);
            }
        }
    }

    size_t PutExponent(size_t i)
    {
        const bool plus = section_[i + 1] == '+';
        size_t j = i + 1;
        int minDigits = 0;
        while (j + 1 < section_.size() && section_[j + 1] == '0') ++j, ++minDigits;
        out_ += section_[i];
        if (exponent_ < 0)
            out_ += '-';
        else if (plus)
            out_ += '+';
        std::string digits = std::to_string(std::abs(exponent_));
        if (int(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), '0');
        out_ += digits;
        return j;
    }

    const std::string& section_;
    const SectionLayout& layout_;
    const TFloatRec& rec_;
    int integerDigits_ = 0;
    int exponent_ = 0;
    int placeholder_ = 0;
    bool pointWritten_ = false;
    std::string out_;
};

}  // namespace

std::string FormatFloat(const std::string& format, double value)
{
    if (format.empty()) return FloatToStr(value);
    const std::vector<std::string> sections = SplitSections(format);
    auto present = [&](size_t i) { return i < sections.size() && !sections[i].empty(); };

    size_t chosen = value < 0 && present(1) ? 1 : 0;
    if (value == 0 && present(2)) chosen = 2;
    SectionLayout layout = ScanSection(sections[chosen]);
    TFloatRec rec = Round(value, layout);
    if (rec.Special) return rec.Text;
    if (rec.IsZero() && present(2) && chosen != 2) {
        chosen = 2;
        layout = ScanSection(sections[chosen]);
        rec = Round(0, layout);
    }
    // The number's sign shows only through the first section.
    std::string sign = chosen == 0 && rec.Negative ? "-" : "";
    rec.Negative = false;
    return sign + SectionWriter(sections[chosen], layout, rec).Write();
}
