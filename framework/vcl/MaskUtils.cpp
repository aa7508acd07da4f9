#include "vcl/MaskUtils.h"

#include <algorithm>
#include <cctype>

#include "rtl/FormatSettings.h"

namespace {

bool IsMaskChar(char ch)
{
    switch (ch) {
    case 'L': case 'l': case 'A': case 'a': case 'C': case 'c': case '0': case '9': case '#':
        return true;
    default:
        return false;
    }
}

// Splits "picture;save;blank" at the unescaped separators.
std::vector<std::string> MaskFields(const std::string& mask)
{
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\' && i + 1 < mask.size() && fields.size() == 1) {
            fields.back() += mask.substr(i, 2);
            ++i;
        } else if (mask[i] == ';' && fields.size() < 3) {
            fields.emplace_back();
        } else {
            fields.back() += mask[i];
        }
    }
    return fields;
}

unsigned char U8(char ch) { return static_cast<unsigned char>(ch); }

}  // namespace

TEditMaskPicture::TEditMaskPicture(const std::string& mask)
{
    const std::vector<std::string> fields = MaskFields(mask);
    if (fields.size() > 1 && !fields[1].empty()) saveLiterals_ = fields[1][0] != '0';
    if (fields.size() > 2 && !fields[2].empty()) blank_ = fields[2][0];
    const std::string& picture = fields[0];
    char caseConversion = 0;
    for (size_t i = 0; i < picture.size(); ++i) {
        const char ch = picture[i];
        if (ch == '!') {
            reverse_ = true;
        } else if (ch == '<' && i + 1 < picture.size() && picture[i + 1] == '>') {
            caseConversion = 0;
            ++i;
        } else if (ch == '>' || ch == '<') {
            caseConversion = ch;
        } else if (ch == '\\' && i + 1 < picture.size()) {
            slots_.push_back({true, picture[++i], 0});
        } else if (IsMaskChar(ch)) {
            slots_.push_back({false, ch, caseConversion});
        } else if (ch == ':') {
            slots_.push_back({true, TimeSeparator, 0});
        } else if (ch == '/') {
            slots_.push_back({true, DateSeparator, 0});
        } else if (ch == '_') {
            slots_.push_back({true, ' ', 0});
        } else {
            slots_.push_back({true, ch, 0});
        }
    }
}

bool TEditMaskPicture::IsRequired(Integer index) const
{
    const char ch = slots_.at(index).Char;
    return !slots_.at(index).Literal && (ch == 'L' || ch == 'A' || ch == 'C' || ch == '0');
}

char TEditMaskPicture::Accept(Integer index, char ch) const
{
    const TMaskSlot& slot = slots_.at(index);
    if (slot.Literal) return 0;
    bool ok = false;
    switch (slot.Char) {
    case 'L': case 'l': ok = std::isalpha(U8(ch)) || U8(ch) >= 0xC0; break;
    case 'A': case 'a': ok = std::isalnum(U8(ch)) || U8(ch) >= 0xC0; break;
    case 'C': case 'c': ok = U8(ch) >= 0x20; break;
    case '0': case '9': ok = std::isdigit(U8(ch)); break;
    case '#': ok = std::isdigit(U8(ch)) || ch == '+' || ch == '-'; break;
    default: break;
    }
    if (!ok) return 0;
    if (slot.CaseConversion == '>') return char(std::toupper(U8(ch)));
    if (slot.CaseConversion == '<') return char(std::tolower(U8(ch)));
    return ch;
}

std::string TEditMaskPicture::EmptyEditText() const
{
    std::string text;
    for (const TMaskSlot& slot : slots_) text += slot.Literal ? slot.Char : blank_;
    return text;
}

std::string TEditMaskPicture::TextFromEditText(const std::string& editText) const
{
    std::string text;
    for (Integer i = 0; i < Length() && i < Integer(editText.size()); ++i)
        if (saveLiterals_ || !slots_[i].Literal) text += editText[i];
    if (!saveLiterals_) {
        if (reverse_) {
            text.erase(0, text.find_first_not_of(blank_) == std::string::npos ? text.size()
                                                                                : text.find_first_not_of(blank_));
        } else {
            const size_t last = text.find_last_not_of(blank_);
            text.resize(last == std::string::npos ? 0 : last + 1);
        }
    }
    for (char& ch : text)
        if (ch == blank_) ch = ' ';
    return text;
}

std::string TEditMaskPicture::EditTextFromText(const std::string& text) const
{
    std::string edit = EmptyEditText();
    std::vector<Integer> targets;
    for (Integer i = 0; i < Length(); ++i)
        if (saveLiterals_ || !slots_[i].Literal) targets.push_back(i);
    const Integer count = std::min<Integer>(Integer(targets.size()), Integer(text.size()));
    // With "!" a short value fills the last slots, so the blanks come first.
    const Integer first = reverse_ ? Integer(targets.size()) - count : 0;
    for (Integer k = 0; k < count; ++k) {
        const Integer slot = targets[first + k];
        if (slots_[slot].Literal) continue;
        const char accepted = Accept(slot, text[k]);
        edit[slot] = accepted ? accepted : blank_;
    }
    return edit;
}

Integer TEditMaskPicture::NextEditable(Integer index) const
{
    while (index < Length() && slots_[index].Literal) ++index;
    return index;
}

Integer TEditMaskPicture::PriorEditable(Integer index) const
{
    --index;
    while (index >= 0 && slots_[index].Literal) --index;
    return index;
}

Integer TEditMaskPicture::FirstMissing(const std::string& editText) const
{
    for (Integer i = 0; i < Length(); ++i) {
        const char ch = i < Integer(editText.size()) ? editText[i] : blank_;
        if (IsRequired(i) && (ch == blank_ || ch == ' ')) return i;
    }
    return -1;
}

std::string FormatMaskText(const std::string& editMask, const std::string& value)
{
    const TEditMaskPicture picture(editMask);
    if (picture.Empty()) return value;
    std::string text = picture.EditTextFromText(value);
    for (Integer i = 0; i < picture.Length(); ++i)
        if (!picture.IsLiteral(i) && text[i] == picture.Blank()) text[i] = ' ';
    return text;
}
