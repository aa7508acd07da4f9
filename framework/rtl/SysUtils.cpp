#include "rtl/SysUtils.h"

namespace {

// The platform trims every control character and blank (code <= 32), not only white space.
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

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
