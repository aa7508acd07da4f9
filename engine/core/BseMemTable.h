// TMemTable: a cursor whose records live in memory, in the order of their bookmarks. It serves in-memory tables made
// from field descriptors, list results the engine builds itself, and the record cache of the cached-updates cursor
// (records carrying the bookmarks of a source cursor and their update status).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/core/BseTable.h"

class TMemTable;

// Update status of a cached record.
enum TMemRecordStatus : Word { mrsUnmodified = 0, mrsModified = 1, mrsInserted = 2, mrsDeleted = 3 };

// Display options of IsRecordVisible.
constexpr Word dispModified = 1;
constexpr Word dispInserted = 2;
constexpr Word dispDeleted = 4;
constexpr Word dispUnmodified = 8;

class TMemTableRecord : public TBapiListItem {
    DUN_CLASS(TMemTableRecord, TBapiListItem)
public:
    // data: RecordLength bytes or nullptr (no data); bookmark: BookmarkSize bytes, nullptr for a number.
    TMemTableRecord(TMemTable* table, const Byte* data, const Byte* bookmark, Integer bookmarkNumber);

    RECProps Properties{};
    std::vector<Byte> Data;
    std::vector<Byte> Bookmark;
    Byte Applied = 0;

    // Lists the record in collection (sorted by bookmark, or at a place the collection was told).
    void ListIn(TBoreaCollection* collection) { Register(collection); }
    void SetBookmarkNumber(Integer number);
};

// The records of a memory table in bookmark order; equal bookmarks go in front of each other.
class TCacheCollection : public TSortedCollection {
    DUN_CLASS(TCacheCollection, TSortedCollection)
public:
    explicit TCacheCollection(TMemTable* table) : table_(table) {}

    TMemTable* Table() const { return table_; }
    void Insert(TObject* item) override;
    const void* KeyOf(TObject* item) const override;
    // The table's bookmark comparison; an engine error counts as greater.
    Integer Compare(const void* key1, const void* key2) const override;
    // Lists record at index (0-based) instead of in bookmark order.
    void InsertAt(TMemTableRecord* record, Integer index);
    TMemTableRecord* Record(Integer index) const { return static_cast<TMemTableRecord*>(At(index)); }

private:
    TMemTable* table_;
    Integer placeNext_ = -1;
};

class TMemTable : public TBaseTable {
    DUN_CLASS(TMemTable, TBaseTable)
public:
    // descriptors: fieldCount field descriptors; a length of 0 is taken from the field's type. bookmarkSize 0
    // means 4 (bookmarks are then numbers).
    TMemTable(TBapiListItem* owner, TBaseTable* source, const FLDDesc* descriptors, Word bookmarkSize,
              Word fieldCount, const std::string& tableName, TBoreaCollection* collection);

    TCacheCollection* Records() const { return records_.get(); }
    Integer Position() const { return position_; }
    TMemTableRecord* CurrentRecord() const { return currentRecord_; }
    TBaseTable* Source() const { return source_; }

    // Whether the current record (found) or a record without cache entry (not found) shows with these options.
    virtual bool IsRecordVisible(Word displayOptions, bool found);
    // Adds a record (status unmodified) and returns it; the last record of the list becomes current.
    virtual TMemTableRecord* AddRecord(Byte* record, const Byte* bookmark);
    // A record changed again counts as not yet written.
    virtual void ModifyRecordAt(Byte* record, const Byte* bookmark);
    virtual void DeleteRecordAt(Byte* record, const Byte* bookmark);
    // Writes the cached changes not yet written to the source, last record first; a record whose write fails with an
    // engine error stays unapplied, the others go on, and the first failure is raised at the end.
    virtual void ApplyCache();
    // Frees the records, except changes that were not written to the source.
    virtual void ClearCache();

    // TBaseTable
    // In the cache role a record image is the source's record buffer.
    Word GetRecordLength() override { return source_ ? source_->GetRecordBufferSize() : recordLength_; }
    Word GetBookmarkSize() override { return bookmarkSize_ != 0 ? bookmarkSize_ : Word(sizeof(Integer)); }
    void AfterCreate() override;
    void BeforeDestroy() override;
    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrior() override;
    void ConvertToLogical(Word localType, Word localSize, SmallInt units2, Word fieldLength, const Byte* source,
                          void* dest, bool& blank) override;
    void ConvertToNative(Word localType, Word localSize, SmallInt units2, Word fieldLength, const void* value,
                         Byte* dest) override;
    void GetBookMark(void* bookmark) override;
    void SetToBookMark(const void* bookmark) override;
    void ReadAtBookmark(const void* bookmark, Byte* record, Integer lock) override;
    void CompareBookMarks(const void* bookmark1, const void* bookmark2, Integer& result) override;
    void GetRecordProps(RECProps* properties) override;
    void GetRecord(Integer lock, Byte* record, RECProps* properties) override;
    void InsertRecord(Integer lock, Byte* record) override;
    void AppendRecord(Byte* record) override;
    void ModifyRecord(Byte* record, bool freeLock) override;
    void DeleteRecord(Byte* record) override;
    void UndeleteRecord() override;
    void GetSeqNo(Integer& number) override;
    void SetToSeqNo(Integer number) override;
    void GetRecordCount(Integer& count) override;
    void EmptyTable() override;

private:
    void LayOutFields(const FLDDesc* descriptors, Word fieldCount);
    Integer Count() const { return records_->Count(); }
    Integer NextBookmarkNumber() { return ++lastBookmarkNumber_; }
    TMemTableRecord* MakeCurrent(Integer position);
    // SetToBookMark; a bookmark not cached is added with record first (true).
    bool FindOrAdd(Byte* record, const Byte* bookmark);
    void FreeRecords();
    // Whether the record holds a change that has not reached the source.
    static bool Unwritten(const TMemTableRecord* record);
    void ApplyRecord(TMemTableRecord* record);

    std::unique_ptr<TCacheCollection> records_;
    Integer position_ = 0;
    TMemTableRecord* currentRecord_ = nullptr;
    Word bookmarkSize_;
    TBaseTable* source_;
    Word recordLength_ = 0;
    // Bookmark numbers only grow, so a number never comes back after a delete.
    Integer lastBookmarkNumber_ = 0;
};
