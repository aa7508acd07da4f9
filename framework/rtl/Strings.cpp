#include "rtl/Strings.h"

#include <algorithm>

#include "rtl/QuickSort.h"
#include "rtl/Streams.h"
#include "rtl/SysUtils.h"

namespace {

// Ends an update on leaving a scope, also when an exception leaves it.
class TUpdateScope {
public:
    explicit TUpdateScope(TStrings& strings) : strings_(strings) { strings_.BeginUpdate(); }
    ~TUpdateScope() { strings_.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TStrings& strings_;
};

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool NeedsQuotes(const std::string& s, char delimiter, char quoteChar)
{
    for (char c : s)
        if (IsBlankOrControl(c) || c == quoteChar || c == delimiter) return true;
    return false;
}

void SkipBlanks(const std::string& text, size_t& pos)
{
    while (pos < text.size() && text[pos] != '\0' && IsBlankOrControl(text[pos])) ++pos;
}

// Reads a quoted item starting at the opening quote; a doubled quote stands for one quote. An item whose closing
// quote is missing runs to the end of the text.
std::string ExtractQuoted(const std::string& text, size_t& pos, char quoteChar)
{
    std::string result;
    ++pos;
    while (pos < text.size() && text[pos] != '\0') {
        const char c = text[pos++];
        if (c != quoteChar) {
            result += c;
        } else if (pos < text.size() && text[pos] == quoteChar) {
            result += quoteChar;
            ++pos;
        } else {
            break;
        }
    }
    return result;
}

std::string ExtractUnquoted(const std::string& text, size_t& pos, char delimiter)
{
    const size_t start = pos;
    while (pos < text.size() && !IsBlankOrControl(text[pos]) && text[pos] != delimiter) ++pos;
    return text.substr(start, pos - start);
}

}  // namespace

Integer TStrings::Add(const std::string& s)
{
    const Integer index = GetCount();
    Insert(index, s);
    return index;
}

Integer TStrings::AddObject(const std::string& s, TObject* object)
{
    const Integer index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::AddStrings(const TStrings* strings)
{
    TUpdateScope update(*this);
    for (Integer i = 0; i < strings->Count(); ++i) AddObject(strings->Get(i), strings->GetObject(i));
}

void TStrings::Assign(TPersistent* source)
{
    auto* strings = dynamic_cast<TStrings*>(source);
    if (!strings) {
        TPersistent::Assign(source);
        return;
    }
    if (strings == this) return;
    TUpdateScope update(*this);
    Clear();
    AddStrings(strings);
}

void TStrings::BeginUpdate()
{
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate()
{
    --updateCount_;
    if (updateCount_ == 0) SetUpdateState(false);
}

void TStrings::Exchange(Integer index1, Integer index2)
{
    TUpdateScope update(*this);
    const std::string string1 = Get(index1);
    TObject* object1 = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, string1);
    PutObject(index2, object1);
}

void TStrings::Move(Integer curIndex, Integer newIndex)
{
    if (curIndex == newIndex) return;
    const std::string s = Get(curIndex);
    TObject* object = GetObject(curIndex);
    // Checked before the line leaves the list, so a bad target loses nothing.
    if (newIndex < 0 || newIndex >= GetCount()) ListIndexError(newIndex);
    TUpdateScope update(*this);
    Delete(curIndex);
    InsertObject(newIndex, s, object);
}

bool TStrings::Equals(const TStrings* strings) const
{
    if (strings->Count() != Count()) return false;
    for (Integer i = 0; i < Count(); ++i)
        if (Get(i) != strings->Get(i)) return false;
    return true;
}

Integer TStrings::IndexOf(const std::string& s) const
{
    for (Integer i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

Integer TStrings::IndexOfName(const std::string& name) const
{
    for (Integer i = 0; i < GetCount(); ++i) {
        const std::string s = Get(i);
        const size_t separator = s.find(nameValueSeparator_);
        if (separator != std::string::npos && CompareStrings(s.substr(0, separator), name) == 0) return i;
    }
    return -1;
}

Integer TStrings::IndexOfObject(const TObject* object) const
{
    for (Integer i = 0; i < GetCount(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

void TStrings::InsertObject(Integer index, const std::string& s, TObject* object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::LoadFromStream(TStream* stream)
{
    TUpdateScope update(*this);
    const Int64 size = stream->Size() - stream->Position();
    std::string text(size > 0 ? size_t(size) : 0, '\0');
    const Integer read = stream->Read(text.data(), Integer(text.size()));
    text.resize(read);
    SetTextStr(text);
}

void TStrings::SaveToFile(const std::string& fileName) const
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(&stream);
}

void TStrings::SaveToStream(TStream* stream) const
{
    const std::string text = GetTextStr();
    stream->WriteBuffer(text.data(), Integer(text.size()));
}

std::string TStrings::Names(Integer index) const
{
    const std::string s = Get(index);
    const size_t separator = s.find(nameValueSeparator_);
    return separator == std::string::npos ? std::string() : s.substr(0, separator);
}

std::string TStrings::Values(const std::string& name) const
{
    const Integer index = IndexOfName(name);
    return index < 0 ? std::string() : ValueFromIndex(index);
}

// A new line is added whole, so a sorted list files it in order.
void TStrings::SetValues(const std::string& name, const std::string& value)
{
    const Integer index = IndexOfName(name);
    const std::string line = name + nameValueSeparator_ + value;
    if (value.empty()) {
        if (index >= 0) Delete(index);
    } else if (index < 0) {
        Add(line);
    } else {
        Put(index, line);
    }
}

// A line without a separator has no value.
std::string TStrings::ValueFromIndex(Integer index) const
{
    if (index < 0) return std::string();
    const std::string s = Get(index);
    const size_t separator = s.find(nameValueSeparator_);
    return separator == std::string::npos ? std::string() : s.substr(separator + 1);
}

std::string TStrings::CommaText() const
{
    return DelimitedTextWith(',', '"');
}

void TStrings::SetCommaText(const std::string& text)
{
    SetDelimitedTextWith(text, ',', '"');
}

std::string TStrings::DelimitedText() const
{
    return DelimitedTextWith(delimiter_, quoteChar_);
}

void TStrings::SetDelimitedText(const std::string& text)
{
    SetDelimitedTextWith(text, delimiter_, quoteChar_);
}

// Lines holding blanks, control characters, the quote or the delimiter are quoted.
std::string TStrings::DelimitedTextWith(char delimiter, char quoteChar) const
{
    const Integer count = GetCount();
    // A single empty line must survive the round trip, so it is written as an empty quoted item.
    if (count == 1 && Get(0).empty()) return std::string(2, quoteChar);
    std::string result;
    for (Integer i = 0; i < count; ++i) {
        const std::string s = Get(i);
        if (i > 0) result += delimiter;
        result += NeedsQuotes(s, delimiter, quoteChar) ? AnsiQuotedStr(s, quoteChar) : s;
    }
    return result;
}

// Items are separated by the delimiter or by blanks and control characters; a delimiter at the very end adds an
// empty item.
void TStrings::SetDelimitedTextWith(const std::string& text, char delimiter, char quoteChar)
{
    TUpdateScope update(*this);
    Clear();
    size_t pos = 0;
    SkipBlanks(text, pos);
    while (pos < text.size() && text[pos] != '\0') {
        if (text[pos] == quoteChar) Add(ExtractQuoted(text, pos, quoteChar));
        else Add(ExtractUnquoted(text, pos, delimiter));
        SkipBlanks(text, pos);
        if (pos < text.size() && text[pos] == delimiter) {
            if (pos + 1 == text.size() || text[pos + 1] == '\0') Add("");
            ++pos;
            SkipBlanks(text, pos);
        }
    }
}

std::string TStrings::GetTextStr() const
{
    std::string result;
    for (Integer i = 0; i < GetCount(); ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

// The text ends at a NUL character.
void TStrings::SetTextStr(const std::string& text)
{
    TUpdateScope update(*this);
    Clear();
    const size_t end = std::min(text.find('\0'), text.size());
    size_t pos = 0;
    while (pos < end) {
        const size_t lineEnd = std::min(text.find_first_of("\r\n", pos), end);
        Add(text.substr(pos, lineEnd - pos));
        pos = lineEnd;
        if (pos < end && text[pos] == '\r') ++pos;
        if (pos < end && text[pos] == '\n') ++pos;
    }
}

void TStrings::Put(Integer index, const std::string& s)
{
    TObject* object = GetObject(index);
    TUpdateScope update(*this);
    Delete(index);
    InsertObject(index, s, object);
}

Integer TStrings::CompareStrings(const std::string& s1, const std::string& s2) const
{
    return AnsiCompareText(s1, s2);
}

void TStrings::ListIndexError(Integer index)
{
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
}

Integer TStringList::Add(const std::string& s)
{
    return AddObject(s, nullptr);
}

Integer TStringList::AddObject(const std::string& s, TObject* object)
{
    Integer index = Count();
    if (sorted_ && Find(s, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EListError("String list does not allow duplicates");
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Clear()
{
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

void TStringList::Delete(Integer index)
{
    CheckIndex(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Exchange(Integer index1, Integer index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[index1], items_[index2]);
    Changed();
}

void TStringList::Move(Integer curIndex, Integer newIndex)
{
    if (sorted_ && curIndex != newIndex) SortedListError();
    TStrings::Move(curIndex, newIndex);
}

// On equal lines the search stops at the first one met unless duplicates are ignored, in which case it goes on
// to the lowest position.
bool TStringList::Find(const std::string& s, Integer& index) const
{
    bool found = false;
    Integer low = 0;
    Integer high = Count() - 1;
    while (low <= high) {
        const Integer middle = (low + high) / 2;
        const Integer c = CompareStrings(items_[middle].String, s);
        if (c < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != dupIgnore) low = middle;
            }
        }
    }
    index = low;
    return found;
}

Integer TStringList::IndexOf(const std::string& s) const
{
    if (!sorted_) return TStrings::IndexOf(s);
    Integer index = -1;
    return Find(s, index) ? index : -1;
}

void TStringList::Insert(Integer index, const std::string& s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(Integer index, const std::string& s, TObject* object)
{
    if (sorted_) SortedListError();
    if (index < 0 || index > Count()) ListIndexError(index);
    InsertItem(index, s, object);
}

void TStringList::Sort()
{
    CustomSort(&TStringList::CompareLines);
}

// Sorts an unsorted list; a sorted list keeps its order.
void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    if (sorted_ || Count() < 2) return;
    Changing();
    SortItems(compare);
    Changed();
}

void TStringList::SetSorted(bool sorted)
{
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

// A sorted list is sorted again under the new comparison, or Find would search it in the wrong order.
void TStringList::SetCaseSensitive(bool caseSensitive)
{
    if (caseSensitive == caseSensitive_) return;
    caseSensitive_ = caseSensitive;
    if (!sorted_ || Count() < 2) return;
    Changing();
    SortItems(&TStringList::CompareLines);
    Changed();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

std::string TStringList::Get(Integer index) const
{
    CheckIndex(index);
    return items_[index].String;
}

TObject* TStringList::GetObject(Integer index) const
{
    CheckIndex(index);
    return items_[index].Object;
}

void TStringList::Put(Integer index, const std::string& s)
{
    if (sorted_) SortedListError();
    CheckIndex(index);
    Changing();
    items_[index].String = s;
    Changed();
}

void TStringList::PutObject(Integer index, TObject* object)
{
    CheckIndex(index);
    Changing();
    items_[index].Object = object;
    Changed();
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating) Changing();
    else Changed();
}

Integer TStringList::CompareStrings(const std::string& s1, const std::string& s2) const
{
    return caseSensitive_ ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

void TStringList::CheckIndex(Integer index) const
{
    if (index < 0 || index >= Count()) ListIndexError(index);
}

void TStringList::InsertItem(Integer index, const std::string& s, TObject* object)
{
    Changing();
    items_.insert(items_.begin() + index, TStringItem{s, object});
    Changed();
}

void TStringList::SortItems(const TStringListSortCompare& compare)
{
    QuickSortRange(
            0, Count() - 1, [&](Integer a, Integer b) { return compare(this, a, b); },
            [&](Integer a, Integer b) { std::swap(items_[a], items_[b]); });
}

Integer TStringList::CompareLines(TStringList* list, Integer index1, Integer index2)
{
    return list->CompareStrings(list->items_[index1].String, list->items_[index2].String);
}

void TStringList::SortedListError()
{
    throw EListError("Operation not allowed on sorted list");
}
