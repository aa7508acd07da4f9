// String routines on ANSI (code page 1252) text. Positions are 1-based as the platform's; 0 means "not found".
#pragma once

#include <string>

#include "rtl/Types.h"

// Blanks and control characters (codes up to 32) are trimmed.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// Only 'a'..'z' and 'A'..'Z' change case.
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
// Every letter of the code page changes case, as the system's locale says.
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);

// Ordinal comparisons: < 0, 0 or > 0. CompareText and SameText ignore the case of 'a'..'z' only.
int CompareStr(const std::string& a, const std::string& b);
int CompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);
// Comparisons by the system locale's word order.
int AnsiCompareStr(const std::string& a, const std::string& b);
int AnsiCompareText(const std::string& a, const std::string& b);

Integer Pos(const std::string& sub, const std::string& s);
Integer AnsiPos(const std::string& sub, const std::string& s);
std::string Copy(const std::string& s, Integer index, Integer count);
void Delete(std::string& s, Integer index, Integer count);
void Insert(const std::string& source, std::string& s, Integer index);
std::string StringOfChar(char c, Integer count);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = Set<TReplaceFlag>;
std::string StringReplace(const std::string& s, const std::string& oldPattern, const std::string& newPattern,
                          TReplaceFlags flags);

std::string QuotedStr(const std::string& s);
std::string AnsiQuotedStr(const std::string& s, char quote);
