#include "vxdata/Vxstr.h"

#include <algorithm>

#include "rtl/StringRoutines.h"

TvxCharSet vxCharSet(const std::string& chars)
{
    TvxCharSet set;
    for (char c : chars) set.set(Byte(c));
    return set;
}

TvxCharSet vxBlankSet() { return vxCharSet("\t "); }

void vxNextToken(const std::string& text, const std::string& separator, Integer& position, std::string& piece)
{
    piece.clear();
    if (position <= 0) return;
    if (position > Integer(text.size())) {
        position = -1;
        return;
    }
    std::string rest = text.substr(size_t(position - 1));
    std::string searched = separator;
    size_t found;
    if (separator.size() == 1) {
        found = rest.find(separator);
    } else {
        searched = " " + separator + " ";
        found = UpperCase(rest).find(UpperCase(searched));
    }
    if (found == std::string::npos) {
        piece = rest;
        position = -1;
        return;
    }
    piece = rest.substr(0, found);
    position += Integer(found + searched.size());
}

void vxSplitString(const std::string& text, char separator, TStrings* list)
{
    list->Clear();
    size_t start = 0;
    for (;;) {
        size_t found = text.find(separator, start);
        if (found == std::string::npos) {
            list->Add(text.substr(start));
            return;
        }
        list->Add(text.substr(start, found - start));
        start = found + 1;
    }
}

void vxTrim(std::string& text)
{
    vxTrimLeftChars(text, vxBlankSet());
    vxTrimRightChars(text, vxBlankSet());
}

void vxTrimLeftChars(std::string& text, const TvxCharSet& chars)
{
    size_t n = 0;
    while (n < text.size() && chars.test(Byte(text[n]))) ++n;
    text.erase(0, n);
}

void vxTrimRightChars(std::string& text, const TvxCharSet& chars)
{
    size_t n = text.size();
    while (n > 0 && chars.test(Byte(text[n - 1]))) --n;
    text.resize(n);
}

std::string vxRemoveChar(const std::string& text, char c)
{
    std::string result;
    for (char ch : text)
        if (ch != c) result += ch;
    return result;
}

std::string vxReplaceChar(const std::string& text, char oldChar, char newChar)
{
    return vxReplaceCharByText(text, oldChar, std::string(1, newChar));
}

std::string vxReplaceCharByText(const std::string& text, char c, const std::string& replacement)
{
    std::string result;
    for (char ch : text) {
        if (ch == c)
            result += replacement;
        else
            result += ch;
    }
    return result;
}

bool vxTextEquals(const std::string& a, const std::string& b) { return UpperCase(a) == UpperCase(b); }

Integer vxCountChar(const std::string& text, char c)
{
    Integer count = 0;
    for (char ch : text)
        if (ch == c) ++count;
    return count;
}

std::string vxTextAfterChar(const std::string& text, char c)
{
    size_t found = text.find(c);
    return found == std::string::npos ? std::string() : text.substr(found + 1);
}

namespace {

bool IsQuote(char c) { return c == '"' || c == '\''; }

std::string WithoutQuotes(std::string word)
{
    if (word.empty() || !IsQuote(word.front())) return word;
    word.erase(0, 1);
    if (!word.empty() && IsQuote(word.back())) word.pop_back();
    return word;
}

// The word from position P (1-based) that starts with a double quote, up to the next one or the end.
void ScanQuotedWord(const std::string& text, Integer& position, Integer options, std::string& word)
{
    size_t closing = text.find('"', size_t(position));
    if (closing == std::string::npos) {
        word = text.substr(size_t(position - 1));
        position = Integer(text.size()) + 1;
    } else {
        word = text.substr(size_t(position - 1), closing - size_t(position) + 2);
        position = Integer(closing) + 2;
    }
    if (options & vxswStripQuotes) word = WithoutQuotes(word);
}

}  // namespace

void vxScanWord(const std::string& text, Integer& position, Integer options, const TvxCharSet& stopChars,
                std::string& word)
{
    word.clear();
    const Integer length = Integer(text.size());
    if (position <= 0 || position > length) return;
    auto at = [&text](Integer i) { return text[size_t(i - 1)]; };
    if (options & vxswSkipBlanks)
        while (position <= length && (at(position) == ' ' || at(position) == '\t')) ++position;
    if ((options & vxswQuotedWords) && position <= length && at(position) == '"') {
        ScanQuotedWord(text, position, options, word);
        return;
    }
    const Byte lowest = (options & vxswBlanksInWords) ? ' ' : '!';
    Integer i = position;
    while (i <= length && !stopChars.test(Byte(at(i))) && Byte(at(i)) >= lowest) ++i;
    // A stop character (or any other single character that ends words) is a word of its own.
    const Integer wordLength = std::max(i - position, 1);
    word = Copy(text, position, wordLength);
    position += wordLength;
}
