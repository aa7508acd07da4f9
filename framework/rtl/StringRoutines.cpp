#include "rtl/StringRoutines.h"

#include <algorithm>

#include "rtl/WinApi.h"

namespace {

// The platform trims every control character and blank (code <= 32), not only white space.
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

int CompareBytes(const std::string& a, const std::string& b, char (*fold)(char))
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int diff = static_cast<unsigned char>(fold(a[i])) - static_cast<unsigned char>(fold(b[i]));
        if (diff != 0) return diff;
    }
    return int(a.size()) - int(b.size());
}

char Same(char c) { return c; }

int LocaleCompare(const std::string& a, const std::string& b, DWORD flags)
{
    return CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), int(a.size()), b.data(), int(b.size())) - 2;
}

}  // namespace

std::string TrimLeft(const std::string& s)
{
    size_t first = 0;
    while (first < s.size() && IsTrimmed(s[first])) ++first;
    return s.substr(first);
}

std::string TrimRight(const std::string& s)
{
    size_t end = s.size();
    while (end > 0 && IsTrimmed(s[end - 1])) --end;
    return s.substr(0, end);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

std::string UpperCase(const std::string& s)
{
    std::string result = s;
    std::transform(result.begin(), result.end(), result.begin(), AsciiUpper);
    return result;
}

std::string LowerCase(const std::string& s)
{
    std::string result = s;
    std::transform(result.begin(), result.end(), result.begin(), AsciiLower);
    return result;
}

std::string AnsiUpperCase(const std::string& s)
{
    std::string result = s;
    if (!result.empty()) CharUpperBuffA(result.data(), DWORD(result.size()));
    return result;
}

std::string AnsiLowerCase(const std::string& s)
{
    std::string result = s;
    if (!result.empty()) CharLowerBuffA(result.data(), DWORD(result.size()));
    return result;
}

int CompareStr(const std::string& a, const std::string& b) { return CompareBytes(a, b, Same); }
int CompareText(const std::string& a, const std::string& b) { return CompareBytes(a, b, AsciiUpper); }
bool SameText(const std::string& a, const std::string& b) { return CompareText(a, b) == 0; }
int AnsiCompareStr(const std::string& a, const std::string& b) { return LocaleCompare(a, b, 0); }
int AnsiCompareText(const std::string& a, const std::string& b) { return LocaleCompare(a, b, NORM_IGNORECASE); }

Integer Pos(const std::string& sub, const std::string& s)
{
    if (sub.empty()) return 0;
    size_t found = s.find(sub);
    return found == std::string::npos ? 0 : Integer(found + 1);
}

Integer AnsiPos(const std::string& sub, const std::string& s) { return Pos(sub, s); }

std::string Copy(const std::string& s, Integer index, Integer count)
{
    if (index < 1) index = 1;
    if (count <= 0 || size_t(index) > s.size()) return "";
    return s.substr(index - 1, count);
}

void Delete(std::string& s, Integer index, Integer count)
{
    if (index < 1 || size_t(index) > s.size() || count <= 0) return;
    s.erase(index - 1, count);
}

void Insert(const std::string& source, std::string& s, Integer index)
{
    size_t at = std::clamp<Integer>(index, 1, Integer(s.size()) + 1) - 1;
    s.insert(at, source);
}

std::string StringOfChar(char c, Integer count) { return count > 0 ? std::string(count, c) : std::string(); }

std::string StringReplace(const std::string& s, const std::string& oldPattern, const std::string& newPattern,
                          TReplaceFlags flags)
{
    if (oldPattern.empty()) return s;
    const bool ignoreCase = flags.Contains(rfIgnoreCase);
    const std::string haystack = ignoreCase ? AnsiUpperCase(s) : s;
    const std::string needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
    std::string result;
    size_t from = 0;
    for (size_t found = haystack.find(needle); found != std::string::npos; found = haystack.find(needle, from)) {
        result.append(s, from, found - from).append(newPattern);
        from = found + needle.size();
        if (!flags.Contains(rfReplaceAll)) break;
    }
    return result.append(s, from, std::string::npos);
}

std::string AnsiQuotedStr(const std::string& s, char quote)
{
    std::string result(1, quote);
    for (char c : s) {
        result += c;
        if (c == quote) result += quote;
    }
    return result + quote;
}

std::string QuotedStr(const std::string& s) { return AnsiQuotedStr(s, '\''); }
