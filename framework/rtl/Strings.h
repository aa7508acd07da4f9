// String lists: the abstract TStrings and the TStringList that stores its lines.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Lists.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"

class TStream;
class TStringList;

using TNotifyEvent = std::function<void(TObject* sender)>;
// Negative when line index1 sorts before line index2, zero when equal, positive after.
using TStringListSortCompare = std::function<Integer(TStringList* list, Integer index1, Integer index2)>;

// A list of text lines, each with an attached object. Descendants store the lines.
class TStrings : public TPersistent {
    DUN_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;

    virtual Integer Add(const std::string& s);
    virtual Integer AddObject(const std::string& s, TObject* object);
    void AddStrings(const TStrings* strings);
    void Assign(TPersistent* source) override;
    void BeginUpdate();
    void EndUpdate();
    virtual void Clear() = 0;
    virtual void Delete(Integer index) = 0;
    virtual void Exchange(Integer index1, Integer index2);
    virtual void Move(Integer curIndex, Integer newIndex);
    // Same lines in the same order, compared case-sensitively.
    bool Equals(const TStrings* strings) const;
    virtual Integer IndexOf(const std::string& s) const;
    Integer IndexOfName(const std::string& name) const;
    Integer IndexOfObject(const TObject* object) const;
    virtual void Insert(Integer index, const std::string& s) = 0;
    virtual void InsertObject(Integer index, const std::string& s, TObject* object);
    virtual void LoadFromFile(const std::string& fileName);
    virtual void LoadFromStream(TStream* stream);
    virtual void SaveToFile(const std::string& fileName) const;
    virtual void SaveToStream(TStream* stream) const;

    Integer Count() const { return GetCount(); }
    std::string Strings(Integer index) const { return Get(index); }
    void SetStrings(Integer index, const std::string& s) { Put(index, s); }
    TObject* Objects(Integer index) const { return GetObject(index); }
    void SetObjects(Integer index, TObject* object) { PutObject(index, object); }
    // The part of a "name=value" line before the separator; "" for a line without one.
    std::string Names(Integer index) const;
    std::string Values(const std::string& name) const;
    // Sets the value of the first line with the name, adding a line when none has it; "" removes the line.
    void SetValues(const std::string& name, const std::string& value);
    std::string ValueFromIndex(Integer index) const;
    char NameValueSeparator() const { return nameValueSeparator_; }
    void SetNameValueSeparator(char separator) { nameValueSeparator_ = separator; }
    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char delimiter) { delimiter_ = delimiter; }
    char QuoteChar() const { return quoteChar_; }
    void SetQuoteChar(char quoteChar) { quoteChar_ = quoteChar; }
    std::string CommaText() const;
    void SetCommaText(const std::string& text);
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& text);
    // The lines, each ended by CR LF; setting splits at CR LF, CR or LF.
    std::string Text() const { return GetTextStr(); }
    void SetText(const std::string& text) { SetTextStr(text); }

protected:
    virtual std::string Get(Integer index) const = 0;
    virtual Integer GetCount() const = 0;
    virtual TObject* GetObject(Integer index) const { return nullptr; }
    virtual void Put(Integer index, const std::string& s);
    virtual void PutObject(Integer index, TObject* object) {}
    virtual std::string GetTextStr() const;
    virtual void SetTextStr(const std::string& text);
    // Called with true when the first BeginUpdate starts an update and with false when the last EndUpdate ends it.
    virtual void SetUpdateState(bool updating) {}
    virtual Integer CompareStrings(const std::string& s1, const std::string& s2) const;
    Integer UpdateCount() const { return updateCount_; }
    [[noreturn]] static void ListIndexError(Integer index);

private:
    std::string DelimitedTextWith(char delimiter, char quoteChar) const;
    void SetDelimitedTextWith(const std::string& text, char delimiter, char quoteChar);

    Integer updateCount_ = 0;
    char nameValueSeparator_ = '=';
    char delimiter_ = ',';
    char quoteChar_ = '"';
};

// A TStrings that keeps its lines, optionally sorted (case-insensitively unless CaseSensitive).
class TStringList : public TStrings {
    DUN_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    ~TStringList() override;

    Integer Add(const std::string& s) override;
    Integer AddObject(const std::string& s, TObject* object) override;
    void Clear() override;
    void Delete(Integer index) override;
    void Exchange(Integer index1, Integer index2) override;
    void Move(Integer curIndex, Integer newIndex) override;
    // Binary search of a sorted list: true when found; index is the line found or where s would be inserted.
    virtual bool Find(const std::string& s, Integer& index) const;
    Integer IndexOf(const std::string& s) const override;
    void Insert(Integer index, const std::string& s) override;
    void InsertObject(Integer index, const std::string& s, TObject* object) override;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& compare);

    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    std::string Get(Integer index) const override;
    Integer GetCount() const override { return Integer(items_.size()); }
    TObject* GetObject(Integer index) const override;
    void Put(Integer index, const std::string& s) override;
    void PutObject(Integer index, TObject* object) override;
    void SetUpdateState(bool updating) override;
    Integer CompareStrings(const std::string& s1, const std::string& s2) const override;

private:
    struct TStringItem {
        std::string String;
        TObject* Object;
    };

    void CheckIndex(Integer index) const;
    void InsertItem(Integer index, const std::string& s, TObject* object);
    void SortItems(const TStringListSortCompare& compare);
    static Integer CompareLines(TStringList* list, Integer index1, Integer index2);
    [[noreturn]] static void SortedListError();

    std::vector<TStringItem> items_;
    TDuplicates duplicates_ = dupIgnore;
    bool sorted_ = false;
    bool caseSensitive_ = false;
};
