#include "rtl/CodePages.h"

#include "rtl/WinApi.h"

void CharToOemBuffer(const char* source, char* dest, Cardinal length)
{
    if (length > 0) CharToOemBuffA(source, dest, length);
}

void OemToCharBuffer(const char* source, char* dest, Cardinal length)
{
    if (length > 0) OemToCharBuffA(source, dest, length);
}

std::string CharToOemString(const std::string& s)
{
    std::string result(s.size(), '\0');
    CharToOemBuffer(s.data(), result.data(), Cardinal(s.size()));
    return result;
}

std::string OemToCharString(const std::string& s)
{
    std::string result(s.size(), '\0');
    OemToCharBuffer(s.data(), result.data(), Cardinal(s.size()));
    return result;
}
