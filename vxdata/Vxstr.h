// Small text routines on which the library parses its setting lines, filter texts and labels. Positions are
// 1-based; none of the routines raises.
#pragma once

#include <bitset>
#include <string>

#include "rtl/Classes.h"
#include "rtl/Types.h"

// A set of character codes: bit n stands for character n.
using TvxCharSet = std::bitset<256>;

// The set of the characters of the text.
TvxCharSet vxCharSet(const std::string& chars);
// TAB and blank.
TvxCharSet vxBlankSet();

// The piece of the text from position up to the next separator; position moves just past the separator, or
// becomes -1 when none is left. A one-character separator is found exactly; a longer one (and the empty one) is
// searched enclosed in blanks, ignoring case. Nothing happens for a position of 0 or less.
void vxNextToken(const std::string& text, const std::string& separator, Integer& position, std::string& piece);
// Clears the list and adds every piece between one-character separators, in order.
void vxSplitString(const std::string& text, char separator, TStrings* list);

void vxTrim(std::string& text);
void vxTrimLeftChars(std::string& text, const TvxCharSet& chars);
void vxTrimRightChars(std::string& text, const TvxCharSet& chars);
std::string vxRemoveChar(const std::string& text, char c);
std::string vxReplaceChar(const std::string& text, char oldChar, char newChar);
std::string vxReplaceCharByText(const std::string& text, char c, const std::string& replacement);
// Equal after ASCII upper-casing.
bool vxTextEquals(const std::string& a, const std::string& b);
Integer vxCountChar(const std::string& text, char c);
// The text after the first occurrence of the character; empty when it does not occur.
std::string vxTextAfterChar(const std::string& text, char c);

// Options of vxScanWord.
constexpr Integer vxswSkipBlanks = 1;      // skip leading blanks and TABs
constexpr Integer vxswQuotedWords = 2;     // a word starting with a double quote runs to the next double quote
constexpr Integer vxswStripQuotes = 4;     // remove the enclosing quotes of such a word
constexpr Integer vxswBlanksInWords = 8;   // only control characters end a word

// One word of an expression text from position: a run of characters up to a stop character or a blank, or a stop
// character alone. Position moves past the word. The word is empty when position is outside the text.
void vxScanWord(const std::string& text, Integer& position, Integer options, const TvxCharSet& stopChars,
                std::string& word);
