// The engine's abstract cursor: one open table, list or query result with a current position.
//
// Navigation, key ranges and filters are built here once over a few driver primitives (MoveFirst ..., SeekKey,
// BuildKey, the bookmark operations, GetFieldDesc and the two conversions); drivers override those and whatever
// else they support. Operations a driver leaves alone fail with DBIERR_NOTSUPPORTED (empty text) unless noted.
// A cursor must be made with CreateObject and freed with Free: AfterCreate and BeforeDestroy run from there.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/BseBase.h"
#include "engine/core/BseFields.h"
#include "engine/core/BseRecords.h"

class TFilterListItem;
struct FILTERInfo;

// Position states.
enum TCursorState : Byte { curNone = 0, curOnRecord = 1, curAtBegin = 2, curAtEnd = 3, curCrack = 4, curClosed = 5 };

// Conditions of the key seek primitive.
enum TSeekCondition : Word { skEqual = 0, skGreaterOrEqual = 1, skGreater = 2, skLess = 3, skLessOrEqual = 4 };

// Search conditions of SetToKey, as the engine interface numbers them.
constexpr Word keySEARCHEQ = 0;
constexpr Word keySEARCHGT = 1;
constexpr Word keySEARCHGEQ = 2;

// A cursor's open mode and share mode.
constexpr Integer OpenReadWrite = 0;
constexpr Integer OpenReadOnly = 1;
constexpr Integer ShareShared = 0;
constexpr Integer ShareExclusive = 1;

// Lock values.
constexpr Integer dbiNOLOCK = 0;
constexpr Integer dbiWRITELOCK = 1;

constexpr Word MaxKeyLength = 256;
// Index id of a table opened with no index named: 0 opens it on its default index; NoIndexId opens it without a
// current index, its records in physical order.
constexpr Word DefaultIndexId = 0;
constexpr Word NoIndexId = 0xFFFF;
constexpr Word MaxKeySegments = 64;
constexpr size_t MaxTableNameLength = 260;
constexpr size_t MaxPhysicalNameLength = 255;

// The record-callback of a filter: (client data, record, physical record number), non-zero accepts.
using TFilterCallback = Word(__stdcall*)(uintptr_t clientData, void* record, Integer physicalRecord);

struct TKeySegment {
    Byte Descending = 0;
    SmallInt SegmentSize = 0;
    SmallInt SegmentType = 0;
    SmallInt HasOwnType = 0;  // non-zero: SegmentSize and SegmentType replace the field's own size and type
};

// One end of a key range. The range always compares with and seeks its own copy of the key.
struct TRangeEnd {
    bool KeyItself = false;    // the caller gave a key (true) or a record (false)
    bool Active = false;
    SmallInt FieldCount = 0;
    SmallInt Length = 0;       // length of a partial last field, 0 = whole fields
    bool Inclusive = false;
    bool Unqualified = false;  // neither a field count nor a length was given
    Byte KeyCopy[MaxKeyLength] = {};
};

class TBaseTable : public TBapiListItem {
    DUN_CLASS(TBaseTable, TBapiListItem)
public:
    TBaseTable(TBapiListItem* owner, TBoreaCollection* collection, const std::string& tableName,
               const std::string& openOptions, Integer openMode, Integer shareMode);
    ~TBaseTable() override;
    // Allocates the driver block and calls AfterCreate.
    void AfterConstruction() override;
    // Calls BeforeDestroy.
    void BeforeDestruction() override;

    // State.
    TCursorState State() const { return state_; }
    void SetState(TCursorState state) { state_ = state; }
    Byte Direction() const { return direction_; }
    Integer OpenMode() const { return openMode_; }
    Integer ShareMode() const { return shareMode_; }
    void SetShareMode(Integer shareMode) { shareMode_ = shareMode; }
    const std::string& OpenOptions() const { return openOptions_; }
    Byte* DriverBlock() const { return driverBlock_.empty() ? nullptr : const_cast<Byte*>(driverBlock_.data()); }
    TBoreaFieldCache* FieldCache() const { return fieldCache_.get(); }
    TBoreaCollection* Filters() const { return filters_.get(); }
    bool FiltersActive() const { return filtersActive_; }
    bool RereadPending() const { return rereadPending_; }
    const TRangeEnd& LowRange() const { return lowRange_; }
    const TRangeEnd& HighRange() const { return highRange_; }
    bool SameKeyRange() const { return sameKeyRange_; }
    bool ListingIndexes() const { return listingIndexes_; }

    // Properties: the low 16 bits of the number decide.
    void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength) override;
    void SetProp(Cardinal property, uintptr_t value) override;
    void CheckProp(Cardinal property, bool flag) override;

    virtual Word GetDriverBlockSize() { return 0; }
    virtual Byte* GetRecordBuffer() { return recordBuffer_; }
    virtual void SetRecordBuffer(Byte* buffer) { recordBuffer_ = buffer; }
    virtual Byte* GetLastInitRecord() { return lastInitRecord_; }
    virtual void SetLastInitRecord(Byte* record) { lastInitRecord_ = record; }
    virtual std::string GetTableName() { return tableName_; }
    virtual void SetTableName(const std::string& name);
    virtual std::string GetPhysicalName() { return physicalName_; }
    virtual void SetPhysicalName(const std::string& name);
    // Raises the beginning- or end-of-data error when record lies outside the active range.
    virtual void CheckRange(const Byte* record);
    virtual Word GetRecordLength() { return Word(RecordSize); }
    virtual Word GetRecordBufferSize();
    virtual Word GetBookmarkSize() { return 256; }
    // The field at the 1-based position with that length; else the last one at that position.
    virtual void GetFieldDescByOffset(Word position, Word length, FLDDesc& descriptor);
    virtual Word RangeCondition(bool inclusive, bool lowEnd);
    virtual void AfterCreate() {}
    virtual void BeforeDestroy() {}

    // Primitives: position and fill the record buffer.
    virtual void MoveFirst();
    virtual void MoveLast();
    virtual void MoveNext();
    virtual void MovePrior();

    // Field values between the driver's record form and the logical form.
    virtual void ConvertToLogical(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                  const Byte* source, void* dest, bool& blank);
    virtual void ConvertToNative(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                 const void* value, Byte* dest) {}
    // -1, 0 or 1 for value1 against value2 of a logical type.
    virtual Integer CompareValues(Word logicalType, TFieldCacheItem* item, const void* value1, const void* value2,
                                  bool caseInsensitive, Word length);
    virtual void ReadField(TFieldCacheItem* item, Byte* record, bool& blank, void* dest);
    virtual void WriteField(TFieldCacheItem* item, const void* value);
    virtual bool HasFieldStates() { return false; }
    virtual void GetRecordSize(Word& fieldCount, Word& recordSize);
    virtual void Open() { state_ = curNone; }
    virtual void Close() { state_ = curClosed; }
    // Describes field number; source is driver data (nullptr from the field cache).
    virtual void GetFieldDesc(Word number, const void* source, Word& localSize, Word& localType,
                              FLDDesc& descriptor);
    virtual void GetFieldDescs(FLDDesc* descriptors);

    // Navigation.
    virtual void SetToBegin() { state_ = curAtBegin; }
    virtual void SetToEnd() { state_ = curAtEnd; }
    virtual void CopyPositionTo(TBaseTable* destination);
    virtual void GetBookMark(void* bookmark);
    virtual void SetToBookMark(const void* bookmark);
    virtual void ReadAtBookmark(const void* bookmark, Byte* record, Integer lock);
    virtual const Byte* BookmarkKey(const void* bookmark);
    virtual void CompareBookMarks(const void* bookmark1, const void* bookmark2, Integer& result);
    virtual void GoFirst();
    virtual void GoLast();
    virtual void GetRecordProps(RECProps* properties) {}
    virtual void GetNextRecord(Integer lock, Byte* record, RECProps* properties);
    virtual void GetPriorRecord(Integer lock, Byte* record, RECProps* properties);
    virtual void RereadCurrent(Integer lock, Byte* record);
    virtual void GetRecord(Integer lock, Byte* record, RECProps* properties);
    virtual void GetRelativeRecord(Integer offset, Integer lock, Byte* record, RECProps* properties);
    virtual void GetRecordForKey(bool keyItself, Word fieldCount, Byte* record, const Byte* key, Word length);
    virtual void GetVchkDesc(Word number, VCHKDesc& descriptor);

    // Locks.
    virtual void AcqTableLock(Integer lock);
    virtual void RelTableLock(Integer lock);
    virtual void UnlockRecords() {}
    virtual void RelRecordLock(bool all) { UnlockRecords(); }
    virtual void SetReadLock(Integer lock) {}

    // Records.
    virtual void InitRecord(Byte* record);
    virtual void InsertRecord(Integer lock, Byte* record) {}
    virtual void AppendRecord(Byte* record) { InsertRecord(dbiNOLOCK, record); }
    virtual void ModifyRecord(Byte* record, bool freeLock) {}
    virtual void DeleteRecord(Byte* record) {}
    virtual void UndeleteRecord();
    // count: records asked for; on return (or on the end-of-data error) the records read or written.
    virtual void ReadBlock(Integer& count, Byte* buffer);
    virtual void WriteBlock(Integer& count, Byte* buffer);
    virtual void GetSeqNo(Integer& number);
    virtual void SetToSeqNo(Integer number);
    virtual void GetCursorProps(CURProps& properties);
    virtual void GetRecordCount(Integer& count);
    virtual void GetExactRecordCount(Integer& count) { GetRecordCount(count); }
    virtual void GetRecordPosition(Cardinal& position);
    virtual void SetToRecordPosition(Cardinal position);
    virtual void ForceReread() { rereadPending_ = true; }
    virtual void ForceRecordReread(Byte* record);

    // Keys and ranges.
    virtual void SetRange(bool keyItself, Word fieldCount1, Word length1, const Byte* key1, bool inclusive1,
                          Word fieldCount2, Word length2, const Byte* key2, bool inclusive2);
    virtual void ResetRange();
    // key2 nullptr compares with the current record buffer. Field count 0 with a length compares the first field
    // over that length; field count and length 0 compare all key fields.
    virtual void CompareKeys(const Byte* key1, const Byte* key2, Integer& result, Word length, Word fieldCount);
    // A name of "@"-enclosed field names finds the index on exactly those fields; any other name is only copied.
    virtual void IndexNumberFromName(const std::string& name, Word& number, std::string* nameDest);
    virtual void SwitchToIndex(const std::string& name, bool keepPosition);
    // condition: keySEARCHEQ, keySEARCHGT or keySEARCHGEQ.
    virtual void SetToKey(Word condition, bool keyItself, Word fieldCount, Word length, const Byte* key);
    virtual void SeekKey(Word condition, bool keyItself, Byte* record, const Byte* key, Word length,
                         Word fieldCount);
    virtual void ExtractKey(const Byte* record, Byte* key);
    virtual void BuildKey(const Byte* record, Byte* key, Word& keyLength, Word length, Word fieldCount);
    virtual void GetIndexDesc(Word number, IDXDesc& descriptor);
    virtual void GetIndexDescs(IDXDesc* descriptors);
    virtual void AddIndex(const IDXDesc& descriptor);
    virtual void DeleteIndex(const std::string& name);

    // Deletes every record of the range (and passing the filters); raises when records remain.
    virtual void EmptyRecords();
    virtual void EmptyTable();

    // Cached updates: cursor := a new cached-updates cursor over this one, which overrides the others.
    virtual void BeginDelayedUpdates(TBaseTable*& cursor);
    virtual void EndDelayedUpdates(TBaseTable*& cursor);
    virtual void ApplyDelayedUpdates(Integer command);
    virtual void GetCacheCursor(TBaseTable*& cursor);

    virtual void* GetDriverWordAddress() { return driverWord_; }

    // Blobs.
    virtual void OpenBlob(Byte* record, Word field, Integer openMode);
    virtual void GetBlobSize(Byte* record, Word field, Cardinal& size);
    virtual void GetBlob(Byte* record, Word field, Cardinal offset, Cardinal length, void* dest, Cardinal& read);
    virtual void PutBlob(Byte* record, Word field, Cardinal offset, Cardinal length, const void* source);
    virtual void TruncateBlob(Byte* record, Word field, Cardinal length) { PutBlob(record, field, 0, length, nullptr); }
    virtual void FreeBlob(Byte* record, Word field) {}

    // Fields of a record buffer.
    virtual void GetField(Word fieldNumber, Byte* record, bool& blank, void* dest);
    // value nullptr makes the field blank.
    virtual void PutField(Word fieldNumber, Byte* record, const void* value);
    // Whether value (in logical form, nullptr = none) is blank for the field; a value the field cannot take raises.
    virtual void VerifyField(Word fieldNumber, const void* value, bool& blank);

    // Filters.
    virtual void UpdateFiltersActive();
    virtual TFilterListItem* AddFilter(uintptr_t clientData, Word priority, bool canAbort, const Byte* expression,
                                       TFilterCallback callback);
    // nullptr drops every filter; a filter of another cursor is ignored.
    virtual void DropFilter(TFilterListItem* filter);
    // nullptr: every filter.
    virtual void ActivateFilter(TFilterListItem* filter);
    virtual void DeactivateFilter(TFilterListItem* filter);
    // nullptr: the first filter (zeros when there is none).
    virtual void GetFilterInfo(TFilterListItem* filter, FILTERInfo& info);

protected:
    // The key of the active index, maintained by the driver when it switches indexes.
    Word KeyFieldCount = 0;
    Word KeyLength = 0;
    Word KeyFields[MaxKeySegments] = {};  // 1-based field numbers in key order
    TKeySegment KeySegments[MaxKeySegments] = {};
    SmallInt RecordSize = 0;

    // Range and filter checks after a move; the driver's own moves (SetToBookMark ...) use it too.
    void Accept();
    // 1 forward, 2 backward: the way Accept steps past rejected records.
    void SetDirection(Byte direction) { direction_ = direction; }
    bool RecordPassesFilters(Byte* record);

private:
    void SetRangeEnd(TRangeEnd& end, bool keyItself, Word fieldCount, Word length, const Byte* key,
                     bool inclusive);
    SmallInt UnblankKeyFieldCount(const Byte* key);
    void ActivateRangeEnd(TRangeEnd& end, const Byte* record);
    // The record's key (built into key unless keyBuilt) against the range end.
    Integer CompareWithRangeEnd(const Byte* record, const TRangeEnd& end, Byte* key, bool keyBuilt);
    void SeekRangeEnd(const TRangeEnd& end, bool lowEnd);
    Byte* ReadBuffer(Byte* record, std::vector<Byte>& scratch);
    void MoveAndAccept(Integer lock, Byte* record, RECProps* properties, bool forward);
    void RecoverFromCrack(Integer lock, Byte* record, RECProps* properties);
    Integer CompareKeyField(Word keyIndex, const Byte* key1, const Byte* key2, Word size, bool ownType);
    void PutPropValue(void* buffer, Word& length, Word maxLength, const void* value, Word size);
    void DeleteAllInRange(Byte* record, std::exception_ptr& failure);
    void RestoreAfterEmpty(bool reopen, Integer shareMode);

    Byte driverWord_[4] = {};
    Word maxRecordSize_ = 0;
    Byte* lastInitRecord_ = nullptr;
    Byte* recordBuffer_ = nullptr;
    TCursorState state_ = curClosed;
    Byte direction_ = 1;
    TRangeEnd lowRange_;
    TRangeEnd highRange_;
    bool filtersActive_ = false;
    Integer openMode_;
    Integer shareMode_;
    std::vector<Byte> driverBlock_;
    bool listingIndexes_ = false;
    std::unique_ptr<TBoreaFieldCache> fieldCache_;
    std::unique_ptr<TBoreaCollection> filters_;
    bool sameKeyRange_ = false;
    bool rereadPending_ = false;
    std::string openOptions_;
    std::string tableName_;
    std::string physicalName_;
    friend class TFilterListItem;
};
