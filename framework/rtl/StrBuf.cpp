#include "rtl/StrBuf.h"

#include <algorithm>
#include <cstring>

namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

int Compare(const char* a, const char* b, Cardinal maxLen, bool ignoreCase)
{
    for (Cardinal i = 0; i < maxLen; ++i) {
        char ca = ignoreCase ? AsciiUpper(a[i]) : a[i];
        char cb = ignoreCase ? AsciiUpper(b[i]) : b[i];
        if (ca != cb || ca == '\0') return static_cast<unsigned char>(ca) - static_cast<unsigned char>(cb);
    }
    return 0;
}

constexpr Cardinal Unlimited = 0xFFFFFFFFu;

}  // namespace

Cardinal StrLen(const char* s) { return Cardinal(std::strlen(s)); }
char* StrEnd(char* s) { return s + std::strlen(s); }
const char* StrEnd(const char* s) { return s + std::strlen(s); }
char* StrCopy(char* dest, const char* source) { return std::strcpy(dest, source); }
char* StrECopy(char* dest, const char* source) { return StrEnd(std::strcpy(dest, source)); }

char* StrLCopy(char* dest, const char* source, Cardinal maxLen)
{
    Cardinal n = 0;
    while (n < maxLen && source[n] != '\0') {
        dest[n] = source[n];
        ++n;
    }
    dest[n] = '\0';
    return dest;
}

char* StrPCopy(char* dest, const std::string& source) { return StrPLCopy(dest, source, Cardinal(source.size())); }

char* StrPLCopy(char* dest, const std::string& source, Cardinal maxLen)
{
    Cardinal n = std::min<Cardinal>(maxLen, Cardinal(source.size()));
    std::memcpy(dest, source.data(), n);
    dest[n] = '\0';
    return dest;
}

char* StrCat(char* dest, const char* source)
{
    StrCopy(StrEnd(dest), source);
    return dest;
}

// maxLen is the largest length of the result.
char* StrLCat(char* dest, const char* source, Cardinal maxLen)
{
    Cardinal length = StrLen(dest);
    if (length < maxLen) StrLCopy(dest + length, source, maxLen - length);
    return dest;
}

std::string StrPas(const char* s) { return s ? std::string(s) : std::string(); }

int StrComp(const char* a, const char* b) { return Compare(a, b, Unlimited, false); }
int StrIComp(const char* a, const char* b) { return Compare(a, b, Unlimited, true); }
int StrLComp(const char* a, const char* b, Cardinal maxLen) { return Compare(a, b, maxLen, false); }
int StrLIComp(const char* a, const char* b, Cardinal maxLen) { return Compare(a, b, maxLen, true); }

char* StrScan(const char* s, char c)
{
    for (; *s != '\0'; ++s)
        if (*s == c) return const_cast<char*>(s);
    return c == '\0' ? const_cast<char*>(s) : nullptr;
}

char* StrRScan(const char* s, char c)
{
    const char* found = nullptr;
    for (const char* p = s;; ++p) {
        if (*p == c) found = p;
        if (*p == '\0') break;
    }
    return const_cast<char*>(found);
}

char* StrPos(const char* s, const char* sub)
{
    if (*sub == '\0') return nullptr;
    return const_cast<char*>(std::strstr(s, sub));
}

char* StrUpper(char* s)
{
    for (char* p = s; *p; ++p) *p = AsciiUpper(*p);
    return s;
}

char* StrLower(char* s)
{
    for (char* p = s; *p; ++p) *p = AsciiLower(*p);
    return s;
}
