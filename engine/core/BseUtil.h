// String and buffer routines shared by the engine and its drivers. Short strings hold at most 255 characters.
#pragma once

#include <string>

#include "rtl/Types.h"

constexpr size_t ShortStringMax = 255;

// Only '+', '-', '.' and the digits of source, in order.
void NumericChars(const std::string& source, std::string& dest);
// The first length bytes without leading and trailing blanks and control characters.
void TrimBuffer(const void* buffer, size_t length, std::string& dest);
// As TrimBuffer, followed by a character 0.
void TrimBufferZ(const void* buffer, size_t length, std::string& dest);
// -1, 0 or 1 by the first differing byte, compared unsigned.
Integer CompareBytes(const void* buffer1, const void* buffer2, Word length);
void AppendChar(std::string& text, char c);
// source with "\" appended unless it ends in one.
void AddBackslash(const std::string& source, std::string& dest);
void ZeroFill(void* buffer, Word count);
void FillString(char c, Word count, std::string& dest);
// True when every byte is 0 (true for length 0).
bool IsZeroFilled(const void* buffer, Word length);
void RemoveChar(const std::string& source, char c, std::string& dest);
void ReplaceChar(void* buffer, size_t length, char from, char to);
// Replaces from by to only outside the parts enclosed in quote characters.
void ReplaceCharUnquoted(void* buffer, size_t length, char from, char quote, char to);
// True when text holds ":" or "\", or (with allowDot) a ".".
bool IsPathName(const std::string& text, bool allowDot);
Word MinWord(Word a, Word b);
// Replaces the first occurrence of pattern in the NUL-terminated dest (replacement nullptr removes it) and cuts
// the result to maxLength characters; dest must hold maxLength + 1 bytes. Whether the pattern occurred.
bool ReplaceText(char* dest, const char* pattern, const char* replacement, Word maxLength);
// Ends text at the first occurrence of c; nothing for nullptr.
void TruncateAtChar(char* text, char c);
// The network user name (empty when there is none).
void GetNetUserName(std::string& dest);
