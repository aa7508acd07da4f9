#include "vxdata/Vxpict.h"

#include <cctype>

#include "rtl/StringRoutines.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || Byte(c) > 128; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
char LocaleUpper(char c) { return AnsiUpperCase(std::string(1, c))[0]; }
char LocaleLower(char c) { return AnsiLowerCase(std::string(1, c))[0]; }
bool IsCompleteResult(TvxPictureResult r) { return r == prComplete || r == prAmbiguous; }
bool IsIncompleteResult(TvxPictureResult r) { return r == prIncomplete || r == prIncompleteNoFill; }

// Characters that auto-fill may append: everything but the mask's special characters.
bool IsFillLiteral(char c)
{
    switch (c) {
    case '\0': case '!': case '#': case '&': case '*': case ',': case '?': case '@': case '[': case ']': case '{':
    case '}': case '~':
        return false;
    default:
        return true;
    }
}

}  // namespace

TvxPictureValidator::TvxPictureValidator(const std::string& mask, bool autoFill) : Mask(mask)
{
    if (autoFill) Options |= voAutoFill;
    std::string empty;
    if (Check(empty, false) != prEmpty) Status = 1;
}

bool TvxPictureValidator::AcceptsInput(std::string& text, bool suppressFill)
{
    return Check(text, (Options & voAutoFill) && !suppressFill) != prError;
}

bool TvxPictureValidator::IsValidText(const std::string& text)
{
    std::string copy = text;
    TvxPictureResult result = Check(copy, false);
    return result == prComplete || result == prEmpty;
}

TvxPictureResult TvxPictureValidator::Check(std::string& text, bool autoFill)
{
    if (!SyntaxIsValid()) return prBadMask;
    if (text.empty()) return prEmpty;
    text_ = &text;
    const Integer end = Integer(Mask.size()) + 1;
    i_ = 1;
    j_ = 1;
    TvxPictureResult result = Alternatives(end);
    if (result != prError && result != prBadMask && j_ <= Integer(text.size())) result = prError;
    if (result == prIncomplete && autoFill) {
        bool appended = false;
        while (i_ < end && IsFillLiteral(MaskAt(i_))) {
            if (MaskAt(i_) == ';') ++i_;
            text += MaskAt(i_);
            ++i_;
            appended = true;
        }
        i_ = 1;
        j_ = 1;
        if (appended) result = Alternatives(end);
    }
    text_ = nullptr;
    if (result == prAmbiguous) return prComplete;
    if (result == prIncompleteNoFill) return prIncomplete;
    return result;
}

bool TvxPictureValidator::SyntaxIsValid() const
{
    const Integer length = Integer(Mask.size());
    if (length == 0 || Mask.back() == ';') return false;
    if (Mask.back() == '*' && (length < 2 || Mask[size_t(length - 2)] != ';')) return false;
    Integer brackets = 0, braces = 0;
    for (Integer i = 0; i < length; ++i) {
        switch (Mask[size_t(i)]) {
        case ';': ++i; break;
        case '[': ++brackets; break;
        case ']': --brackets; break;
        case '{': ++braces; break;
        case '}': --braces; break;
        default: break;
        }
    }
    return brackets == 0 && braces == 0;
}

char TvxPictureValidator::MaskAt(Integer i) const
{
    return i >= 1 && i <= Integer(Mask.size()) ? Mask[size_t(i - 1)] : '\0';
}

// Moves p past the mask character at p (a ";" pair, a repetition with its element); the levels follow the
// brackets and braces passed.
Integer TvxPictureValidator::StepOver(Integer p, Integer end, Integer& brackets, Integer& braces) const
{
    switch (MaskAt(p)) {
    case '[': ++brackets; return p + 1;
    case ']': --brackets; return p + 1;
    case '{': ++braces; return p + 1;
    case '}': --braces; return p + 1;
    case ';': return p + 2;
    case '*':
        ++p;
        while (p < end && IsDigit(MaskAt(p))) ++p;
        return SkipElement(p, end);
    default: return p + 1;
    }
}

// The position after one element starting at p: a character, a ";" pair, a group or a repetition.
Integer TvxPictureValidator::SkipElement(Integer p, Integer end) const
{
    Integer brackets = 0, braces = 0;
    do {
        if (p >= end) break;
        p = StepOver(p, end, brackets, braces);
    } while (brackets > 0 || braces > 0);
    return p;
}

// From a "," to past the closing "}" of the group whose remaining alternatives these are (or to end).
Integer TvxPictureValidator::SkipAlternatives(Integer p, Integer end) const
{
    Integer brackets = 0, braces = 1;
    do {
        if (p >= end) break;
        p = StepOver(p, end, brackets, braces);
    } while (brackets > 0 || braces > 0);
    return p;
}

// Whether some alternative of the group at p (a "{") may be left out entirely.
bool TvxPictureValidator::IsOptionalGroup(Integer p, Integer end) const
{
    const Integer closing = SkipElement(p, end) - 1;
    Integer start = p + 1;
    Integer depth = 0;
    for (Integer k = p + 1; k <= closing; ++k) {
        const char m = MaskAt(k);
        if (k == closing || (m == ',' && depth == 0)) {
            if (RestOptional(prIncomplete, start, k) == prAmbiguous) return true;
            start = k + 1;
        } else if (m == ';') {
            ++k;
        } else if (m == '[' || m == '{') {
            ++depth;
        } else if (m == ']' || m == '}') {
            --depth;
        }
    }
    return false;
}

void TvxPictureValidator::Consume(char c)
{
    (*text_)[size_t(j_ - 1)] = c;
    ++j_;
    ++i_;
}

TvxPictureResult TvxPictureValidator::Alternatives(Integer end)
{
    bool seenIncomplete = false;
    Integer startI = i_, startJ = j_;
    Integer incompleteI = 0, incompleteJ = 0;
    bool blankTyped = false;
    TvxPictureResult result;
    for (;;) {
        result = Sequence(end, blankTyped);
        if (IsCompleteResult(result) && seenIncomplete && j_ < incompleteJ) {
            result = prIncomplete;
            j_ = incompleteJ;
        }
        if (result != prError && result != prIncomplete) break;
        if (!seenIncomplete && result == prIncomplete) {
            seenIncomplete = true;
            incompleteI = i_;
            incompleteJ = j_;
        }
        i_ = startI;
        j_ = startJ;
        do {
            i_ = SkipElement(i_, end);
        } while (i_ < end && MaskAt(i_) != ',');
        if (i_ < end && MaskAt(i_) == ',') ++i_;
        if (i_ >= end) {
            if (seenIncomplete) {
                i_ = incompleteI;
                j_ = incompleteJ;
                return prIncomplete;
            }
            return result;
        }
        startI = i_;
    }
    return result == prComplete && seenIncomplete ? prAmbiguous : result;
}

TvxPictureResult TvxPictureValidator::Sequence(Integer end, bool& blankTyped)
{
    TvxPictureResult rs = prEmpty;
    while (i_ != end && MaskAt(i_) != ',') {
        if (j_ > Integer(text_->size())) return RestOptional(rs, i_, end);
        const char c = (*text_)[size_t(j_ - 1)];
        const char m = MaskAt(i_);
        switch (m) {
        case '#':
            if (!IsDigit(c)) return prError;
            Consume(c);
            break;
        case '?':
            if (!IsLetter(c)) return prError;
            Consume(c);
            break;
        case '&':
            if (!IsLetter(c)) return prError;
            Consume(LocaleUpper(c));
            break;
        case '~':
            if (!IsLetter(c)) return prError;
            Consume(LocaleLower(c));
            break;
        case '!': Consume(LocaleUpper(c)); break;
        case '@': Consume(c); break;
        case '*':
            rs = Repetition(end);
            if (!IsCompleteResult(rs)) return rs;
            break;
        case '{':
            rs = Group();
            if (!IsCompleteResult(rs)) return rs;
            break;
        case '[':
            rs = Group();
            if (IsIncompleteResult(rs)) return rs;
            break;
        default:
            if (Literal(m, blankTyped) == prError) return prError;
            break;
        }
        rs = rs == prAmbiguous ? prIncompleteNoFill : prIncomplete;
    }
    return rs == prIncompleteNoFill ? prAmbiguous : prComplete;
}

// A literal of the mask (after ";" the next character, whatever it is) against the text character at j_.
TvxPictureResult TvxPictureValidator::Literal(char m, bool& blankTyped)
{
    if (m == ';') {
        ++i_;
        m = MaskAt(i_);
    }
    const char c = (*text_)[size_t(j_ - 1)];
    const bool lastTyped = j_ == Integer(text_->size());
    if (AsciiUpper(m) != AsciiUpper(c)) {
        // A blank typed last where a literal belongs becomes the literal.
        if (blankTyped || c != ' ' || !lastTyped) return prError;
    } else if (c == ' ' && lastTyped) {
        blankTyped = true;
    }
    Consume(m);
    return prComplete;
}

TvxPictureResult TvxPictureValidator::Repetition(Integer end)
{
    ++i_;
    Byte count = 0;
    while (i_ <= Integer(Mask.size()) && IsDigit(MaskAt(i_))) {
        count = Byte(count * 10 + (MaskAt(i_) - '0'));
        ++i_;
    }
    if (i_ > end) return prBadMask;
    const Integer element = i_;
    const Integer elementEnd = SkipElement(element, end);
    TvxPictureResult result = prComplete;
    if (count > 0) {
        for (Integer n = 0; n < count; ++n) {
            i_ = element;
            result = Alternatives(elementEnd);
            if (IsCompleteResult(result)) continue;
            if (result == prEmpty) return MaskAt(i_) == '[' ? prComplete : prIncomplete;
            return result;
        }
    } else {
        Integer previousJ;
        do {
            i_ = element;
            previousJ = j_;
            result = Alternatives(elementEnd);
        } while (j_ != previousJ && IsCompleteResult(result));
        if (result == prEmpty || result == prError) result = prAmbiguous;
    }
    i_ = elementEnd;
    return result;
}

TvxPictureResult TvxPictureValidator::Group()
{
    const Integer after = SkipElement(i_, Integer(Mask.size()) + 1);
    ++i_;
    TvxPictureResult result = Alternatives(after - 1);
    if (!IsIncompleteResult(result)) i_ = after;
    return result;
}

// The text has run out at mask position p: the result becomes ambiguous when the rest of the mask is optional.
TvxPictureResult TvxPictureValidator::RestOptional(TvxPictureResult result, Integer p, Integer end) const
{
    if (!IsIncompleteResult(result)) return result;
    Integer k = p;
    do {
        const char m = MaskAt(k);
        if (m == '*') {
            if (!IsDigit(MaskAt(k + 1))) {
                k = SkipElement(k + 1, end);
            } else if (k + 2 < end && MaskAt(k + 2) == '[') {
                k = SkipElement(k + 2, end);
            } else {
                break;
            }
        } else if (m == ',') {
            k = SkipAlternatives(k, end);
        } else if (m == '[') {
            k = SkipElement(k, end);
        } else if (m == '{') {
            if (!IsOptionalGroup(k, end)) break;
            k = SkipElement(k, end);
        } else {
            return result;
        }
    } while (k < end);
    return k >= end ? prAmbiguous : result;
}
