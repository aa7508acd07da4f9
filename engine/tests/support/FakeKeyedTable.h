// A small keyed cursor over records held in memory, for tests of the abstract cursor and what builds on it.
//
// Records are kept in the order of the active index (equal keys in insertion order). Field values are stored in
// their logical form: strings zero-padded to the field size, numbers little-endian. A bookmark is the record's
// id (4 bytes) followed by its key.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/core/BseTable.h"

struct TFakeField {
    std::string Name;
    Word Type;  // fldZSTRING, fldINT16, fldINT32, fldBOOL, fldFLOAT, fldDATE ...
    Word Size;
};

struct TFakeIndex {
    std::string Name;
    std::vector<Word> Fields;          // 1-based field numbers
    std::vector<bool> Descending = {};  // per field; missing entries are ascending
};

class TFakeKeyedTable : public TBaseTable {
    DUN_CLASS(TFakeKeyedTable, TBaseTable)
public:
    // Made open (State 0) on index 0 with every field in its field cache.
    TFakeKeyedTable(std::vector<TFakeField> fields, std::vector<TFakeIndex> indexes,
                    TBoreaCollection* collection = nullptr);

    // A record from one text per field (numbers as decimal text; "" leaves the field zero).
    std::vector<Byte> MakeRecord(const std::vector<std::string>& values) const;
    // Adds records without touching the position.
    void Add(const std::vector<std::string>& values);
    // A field of a record as text (strings up to their first zero byte).
    std::string FieldText(const Byte* record, Word field) const;
    // The first field of every record in index order.
    std::vector<std::string> Column(Word field) const;
    Integer Count() const { return Integer(records_.size()); }
    void SelectIndex(Word number);

    // Spies and faults.
    std::vector<Word> SeekConditions;
    std::vector<Integer> ReadLocks;
    Integer UnlockCalls = 0;
    std::string LockedValue;  // a record whose first field holds this text cannot be deleted
    Word FailingField = 0;    // reading this field raises an engine error
    Integer FieldReads = 0;   // ReadField calls

    // TBaseTable
    Word GetBookmarkSize() override { return 4 + MaxKeyLength; }
    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrior() override;
    void SeekKey(Word condition, bool keyItself, Byte* record, const Byte* key, Word length,
                 Word fieldCount) override;
    void BuildKey(const Byte* record, Byte* key, Word& keyLength, Word length, Word fieldCount) override;
    void GetBookMark(void* bookmark) override;
    void SetToBookMark(const void* bookmark) override;
    void ReadAtBookmark(const void* bookmark, Byte* record, Integer lock) override;
    const Byte* BookmarkKey(const void* bookmark) override;
    void GetFieldDesc(Word number, const void* source, Word& localSize, Word& localType,
                      FLDDesc& descriptor) override;
    void ConvertToLogical(Word localType, Word localSize, SmallInt units2, Word fieldLength, const Byte* source,
                          void* dest, bool& blank) override;
    void ConvertToNative(Word localType, Word localSize, SmallInt units2, Word fieldLength, const void* value,
                         Byte* dest) override;
    void ReadField(TFieldCacheItem* item, Byte* record, bool& blank, void* dest) override;
    void GetIndexDesc(Word number, IDXDesc& descriptor) override;
    void InsertRecord(Integer lock, Byte* record) override;
    void ModifyRecord(Byte* record, bool freeLock) override;
    void DeleteRecord(Byte* record) override;
    void UnlockRecords() override { ++UnlockCalls; }

private:
    struct TRecord {
        Integer Id;
        std::vector<Byte> Data;
    };

    Integer CompareRecords(const TRecord& a, const TRecord& b);
    void Sort();
    void MoveTo(Integer position);
    Integer PositionOf(Integer id) const;
    Integer InsertSorted(TRecord record);

    std::vector<TFakeField> fields_;
    std::vector<TFakeIndex> indexes_;
    std::vector<Word> offsets_;
    std::vector<TRecord> records_;
    Integer position_ = -1;  // the current record, or the one after a crack
    bool crack_ = false;
    Integer nextId_ = 1;
};

struct TFreeObject {
    void operator()(TObject* object) const { object->Free(); }
};
using TFakeTablePtr = std::unique_ptr<TFakeKeyedTable, TFreeObject>;

inline TFakeTablePtr MakeFakeTable(std::vector<TFakeField> fields, std::vector<TFakeIndex> indexes)
{
    return TFakeTablePtr(CreateObject<TFakeKeyedTable>(std::move(fields), std::move(indexes), nullptr));
}
