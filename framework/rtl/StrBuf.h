// Routines on zero-terminated character buffers. Lengths count characters without the terminating zero;
// "max" arguments limit the characters copied, so the buffer needs max + 1 bytes.
#pragma once

#include <string>

#include "rtl/Types.h"

Cardinal StrLen(const char* s);
char* StrEnd(char* s);
const char* StrEnd(const char* s);
char* StrCopy(char* dest, const char* source);
char* StrECopy(char* dest, const char* source);
char* StrLCopy(char* dest, const char* source, Cardinal maxLen);
char* StrPCopy(char* dest, const std::string& source);
char* StrPLCopy(char* dest, const std::string& source, Cardinal maxLen);
char* StrCat(char* dest, const char* source);
char* StrLCat(char* dest, const char* source, Cardinal maxLen);
std::string StrPas(const char* s);

// Comparisons return < 0, 0 or > 0; the I forms ignore the case of 'a'..'z', the L forms look at maxLen characters.
int StrComp(const char* a, const char* b);
int StrIComp(const char* a, const char* b);
int StrLComp(const char* a, const char* b, Cardinal maxLen);
int StrLIComp(const char* a, const char* b, Cardinal maxLen);

// nullptr when not found.
char* StrScan(const char* s, char c);
char* StrRScan(const char* s, char c);
char* StrPos(const char* s, const char* sub);
char* StrUpper(char* s);
char* StrLower(char* s);
