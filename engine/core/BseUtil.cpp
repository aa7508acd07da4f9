#include "engine/core/BseUtil.h"

#include <algorithm>
#include <cstring>

#include "rtl/WinApi.h"

#include <winnetwk.h>

namespace {

bool IsBlankOrControl(unsigned char c)
{
    return c <= ' ';
}

std::string Short(std::string text)
{
    if (text.size() > ShortStringMax) text.resize(ShortStringMax);
    return text;
}

}  // namespace

void NumericChars(const std::string& source, std::string& dest)
{
    std::string result;
    for (char c : source) {
        if (c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9')) result += c;
    }
    dest = result;
}

void TrimBuffer(const void* buffer, size_t length, std::string& dest)
{
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    size_t first = 0;
    size_t last = length;
    while (first < last && IsBlankOrControl(bytes[first])) ++first;
    while (last > first && IsBlankOrControl(bytes[last - 1])) --last;
    dest = Short(std::string(reinterpret_cast<const char*>(bytes) + first, last - first));
}

void TrimBufferZ(const void* buffer, size_t length, std::string& dest)
{
    TrimBuffer(buffer, length, dest);
    if (dest.size() == ShortStringMax) dest.pop_back();
    dest += '\0';
}

Integer CompareBytes(const void* buffer1, const void* buffer2, Word length)
{
    const auto* a = static_cast<const unsigned char*>(buffer1);
    const auto* b = static_cast<const unsigned char*>(buffer2);
    for (Word i = 0; i < length; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

void AppendChar(std::string& text, char c)
{
    if (text.size() < ShortStringMax) text += c;
}

void AddBackslash(const std::string& source, std::string& dest)
{
    dest = source;
    if (dest.empty() || dest.back() != '\\') AppendChar(dest, '\\');
}

void ZeroFill(void* buffer, Word count)
{
    std::memset(buffer, 0, count);
}

void FillString(char c, Word count, std::string& dest)
{
    dest.assign(count, c);
}

bool IsZeroFilled(const void* buffer, Word length)
{
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    return std::all_of(bytes, bytes + length, [](unsigned char b) { return b == 0; });
}

void RemoveChar(const std::string& source, char c, std::string& dest)
{
    std::string result;
    for (char s : source) {
        if (s != c) result += s;
    }
    dest = result;
}

void ReplaceChar(void* buffer, size_t length, char from, char to)
{
    char* text = static_cast<char*>(buffer);
    std::replace(text, text + length, from, to);
}

void ReplaceCharUnquoted(void* buffer, size_t length, char from, char quote, char to)
{
    char* text = static_cast<char*>(buffer);
    bool quoted = false;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == quote)
            quoted = !quoted;
        else if (!quoted && text[i] == from)
            text[i] = to;
    }
}

bool IsPathName(const std::string& text, bool allowDot)
{
    if (text.find_first_of(":\\") != std::string::npos) return true;
    return allowDot && text.find('.') != std::string::npos;
}

Word MinWord(Word a, Word b)
{
    return a < b ? a : b;
}

bool ReplaceText(char* dest, const char* pattern, const char* replacement, Word maxLength)
{
    std::string text(dest);
    const size_t at = text.find(pattern);
    if (at == std::string::npos) return false;
    text.replace(at, std::strlen(pattern), replacement ? replacement : "");
    if (text.size() > maxLength) text.resize(maxLength);
    std::memcpy(dest, text.c_str(), text.size() + 1);
    return true;
}

void TruncateAtChar(char* text, char c)
{
    if (!text) return;
    if (char* at = std::strchr(text, c)) *at = '\0';
}

void GetNetUserName(std::string& dest)
{
    char name[256] = {};
    DWORD size = sizeof(name);
    dest = WNetGetUserA(nullptr, name, &size) == NO_ERROR ? std::string(name) : std::string();
}
