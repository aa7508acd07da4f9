// TBtrSqlBaseTable: the result cursor of a Scalable SQL statement. Rows come from the requester's fetches over
// the statement's cursor id; positions are the requester's bookmarks; inserts, updates and removals go through
// its x calls on all columns.
//
// Record form: a 16-bit length, then the columns in column order, each in the Btrieve type and size the requester
// describes; the record is 2 + the column sizes + 4 bytes long. The length counts from the record's start: 2 + the
// column sizes, or up to the end of the text when a memo column comes last.
// Running out of rows is always the engine's end-of-data (beginning-of-data backward) error.
#pragma once

#include <string>
#include <vector>

#include "engine/btrieve/BtrBaseTable.h"

class TBtrSqlBaseTable : public TBtrBaseTable {
    DUN_CLASS(TBtrSqlBaseTable, TBtrBaseTable)
public:
    static constexpr Word BookmarkSize = 100;
    // Properties of the cursor (the whole number decides).
    static constexpr Cardinal PropertyOption = 0;
    static constexpr Cardinal PropertyCursorId = 1;

    TBtrSqlBaseTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId, SmallInt cursorId);

    SmallInt CursorId() const { return cursorId_; }
    Byte Option() const { return option_; }

    // TBapiListItem
    void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength) override;
    void SetProp(Cardinal property, uintptr_t value) override;
    void CheckProp(Cardinal property, bool flag) override;

    // TBtrBaseTable
    Word GetDataBufferSize() override { return GetRecordLength(); }
    void AdjustWriteLength(TFieldCacheItem* item, Word textLength) override;

    // TBaseTable
    // The columns are described on first need.
    Word GetRecordLength() override;
    Word GetBookmarkSize() override { return BookmarkSize; }
    void MoveFirst() override;
    void MoveLast() override;
    void MoveNext() override;
    void MovePrior() override;
    void WriteField(TFieldCacheItem* item, const void* value) override;
    void Open() override;
    void GetFieldDesc(Word number, const void* source, Word& localSize, Word& localType,
                      FLDDesc& descriptor) override;
    void GetBookMark(void* bookmark) override;
    void SetToBookMark(const void* bookmark) override;
    void ReadAtBookmark(const void* bookmark, Byte* record, Integer lock) override;
    void InsertRecord(Integer lock, Byte* record) override;
    void ModifyRecord(Byte* record, bool freeLock) override;
    void DeleteRecord(Byte* record) override;
    void ReadBlock(Integer& count, Byte* buffer) override;
    void WriteBlock(Integer& count, Byte* buffer) override;
    void GetCursorProps(CURProps& properties) override;

protected:
    // One fetch of option into buffer; false when the requester has no row there.
    bool FetchRow(SmallInt option, Byte* buffer);
    // A move by option into the record buffer; no row raises the error of the end it moves to (MoveLast moves
    // backward from the end).
    void Move(SmallInt option, bool backward);

private:
    struct TColumn {
        SmallInt Type = 0;
        SmallInt Size = 0;
        SmallInt Decimals = 0;
        std::string Name;
    };
    // Describes column; false at status NoSuchColumn.
    bool DescribeColumn(SmallInt column, TColumn& result);
    // Once: every column, the record size and whether a memo comes last.
    void DescribeAllColumns();
    Byte* RecordBufferOrRaise();
    // The record's length word (from the record's start) before a write.
    void SetLengthWord(Byte* record, Word length);
    Word FullLength();
    void RereadCurrentRow(Byte* record);
    // The bookmark's row into buffer (of SetPositionBufferSize bytes); false when the row is gone.
    bool FetchAtBookmark(const void* bookmark, Byte* buffer, SmallInt option);
    size_t SetPositionBufferSize();

    SmallInt cursorId_;
    Byte option_ = 0;
    Word writeLength_ = 0;  // up to the end of the memo text; 0 = the whole record
    bool described_ = false;
    std::vector<TColumn> columns_;
};
