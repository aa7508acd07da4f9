// TBaseCacheTable: the cached-updates cursor. It wraps another cursor, reads through it and keeps every insertion,
// modification and deletion in an in-memory table keyed by the wrapped cursor's bookmarks, overlaying the cached
// images on what it reads, until the changes are applied or cancelled.
#pragma once

#include <string>
#include <vector>

#include "engine/core/BseMemTable.h"
#include "engine/core/BseTable.h"

// Properties of the cached-updates cursor (the low 16 bits decide).
constexpr Word PropertyDisplayOptions = 3;
constexpr Word PropertyReadOldRecord = 4;
constexpr Word PropertyCachedRecords = 5;

// Commands of ApplyDelayedUpdates.
constexpr Integer DelayedCommit = 0;
constexpr Integer DelayedCancel = 1;
constexpr Integer DelayedCancelCurrent = 2;
constexpr Integer DelayedPrepare = 3;

// The operations of the abstract cursor that the cache cursor passes to the wrapped cursor unchanged:
// X(result, name, (parameters), (arguments)). The operations it changes are declared in the class; every other
// operation of the abstract cursor runs the base code on the cache cursor itself: GetDriverBlockSize,
// GetRecordBuffer, SetRecordBuffer, GetLastInitRecord, SetLastInitRecord, CheckRange, GetRecordBufferSize,
// ConvertToLogical, ConvertToNative, CompareValues, HasFieldStates, CopyPositionTo, BookmarkKey,
// GetRelativeRecord (through the changed moves), UnlockRecords, GetRecordPosition, IndexNumberFromName,
// EmptyRecords, UpdateFiltersActive.
#define DUN_CACHE_FORWARDED(X)                                                                                       \
    X(void, CheckProp, (Cardinal property, bool flag), (property, flag))                                            \
    X(std::string, GetTableName, (), ())                                                                           \
    X(void, SetTableName, (const std::string& name), (name))                                                       \
    X(std::string, GetPhysicalName, (), ())                                                                        \
    X(void, SetPhysicalName, (const std::string& name), (name))                                                    \
    X(Word, GetRecordLength, (), ())                                                                               \
    X(Word, GetBookmarkSize, (), ())                                                                               \
    X(void, GetFieldDescByOffset, (Word position, Word length, FLDDesc& descriptor), (position, length, descriptor)) \
    X(Word, RangeCondition, (bool inclusive, bool lowEnd), (inclusive, lowEnd))                                    \
    X(void, MoveFirst, (), ())                                                                                     \
    X(void, MoveLast, (), ())                                                                                      \
    X(void, MoveNext, (), ())                                                                                      \
    X(void, MovePrior, (), ())                                                                                     \
    X(void, ReadField, (TFieldCacheItem * item, Byte* record, bool& blank, void* dest), (item, record, blank, dest)) \
    X(void, WriteField, (TFieldCacheItem * item, const void* value), (item, value))                                \
    X(void, GetRecordSize, (Word & fieldCount, Word& recordSize), (fieldCount, recordSize))                        \
    X(void, Open, (), ())                                                                                          \
    X(void, Close, (), ())                                                                                         \
    X(void, GetFieldDesc, (Word number, const void* source, Word& localSize, Word& localType, FLDDesc& descriptor), \
      (number, source, localSize, localType, descriptor))                                                          \
    X(void, GetFieldDescs, (FLDDesc * descriptors), (descriptors))                                                 \
    X(void, SetToBegin, (), ())                                                                                    \
    X(void, SetToEnd, (), ())                                                                                      \
    X(void, GetBookMark, (void* bookmark), (bookmark))                                                             \
    X(void, SetToBookMark, (const void* bookmark), (bookmark))                                                     \
    X(void, ReadAtBookmark, (const void* bookmark, Byte* record, Integer lock), (bookmark, record, lock))           \
    X(void, CompareBookMarks, (const void* bookmark1, const void* bookmark2, Integer& result),                     \
      (bookmark1, bookmark2, result))                                                                              \
    X(void, GetRecordProps, (RECProps * properties), (properties))                                                 \
    X(void, GetRecordForKey, (bool keyItself, Word fieldCount, Byte* record, const Byte* key, Word length),        \
      (keyItself, fieldCount, record, key, length))                                                                \
    X(void, GetVchkDesc, (Word number, VCHKDesc& descriptor), (number, descriptor))                                \
    X(void, AcqTableLock, (Integer lock), (lock))                                                                  \
    X(void, RelTableLock, (Integer lock), (lock))                                                                  \
    X(void, RelRecordLock, (bool all), (all))                                                                      \
    X(void, SetReadLock, (Integer lock), (lock))                                                                   \
    X(void, InitRecord, (Byte * record), (record))                                                                 \
    X(void, UndeleteRecord, (), ())                                                                                \
    X(void, ReadBlock, (Integer & count, Byte* buffer), (count, buffer))                                           \
    X(void, WriteBlock, (Integer & count, Byte* buffer), (count, buffer))                                          \
    X(void, GetSeqNo, (Integer & number), (number))                                                                \
    X(void, SetToSeqNo, (Integer number), (number))                                                                \
    X(void, GetCursorProps, (CURProps & properties), (properties))                                                 \
    X(void, GetRecordCount, (Integer & count), (count))                                                            \
    X(void, GetExactRecordCount, (Integer & count), (count))                                                       \
    X(void, SetToRecordPosition, (Cardinal position), (position))                                                  \
    X(void, ForceReread, (), ())                                                                                   \
    X(void, ForceRecordReread, (Byte * record), (record))                                                          \
    X(void, SetRange,                                                                                              \
      (bool keyItself, Word fieldCount1, Word length1, const Byte* key1, bool inclusive1, Word fieldCount2,         \
       Word length2, const Byte* key2, bool inclusive2),                                                           \
      (keyItself, fieldCount1, length1, key1, inclusive1, fieldCount2, length2, key2, inclusive2))                 \
    X(void, ResetRange, (), ())                                                                                    \
    X(void, CompareKeys, (const Byte* key1, const Byte* key2, Integer& result, Word length, Word fieldCount),      \
      (key1, key2, result, length, fieldCount))                                                                    \
    X(void, SetToKey, (Word condition, bool keyItself, Word fieldCount, Word length, const Byte* key),             \
      (condition, keyItself, fieldCount, length, key))                                                             \
    X(void, SeekKey,                                                                                               \
      (Word condition, bool keyItself, Byte* record, const Byte* key, Word length, Word fieldCount),               \
      (condition, keyItself, record, key, length, fieldCount))                                                     \
    X(void, ExtractKey, (const Byte* record, Byte* key), (record, key))                                            \
    X(void, BuildKey, (const Byte* record, Byte* key, Word& keyLength, Word length, Word fieldCount),              \
      (record, key, keyLength, length, fieldCount))                                                                \
    X(void, GetIndexDesc, (Word number, IDXDesc& descriptor), (number, descriptor))                                \
    X(void, GetIndexDescs, (IDXDesc * descriptors), (descriptors))                                                 \
    X(void, AddIndex, (const IDXDesc& descriptor), (descriptor))                                                   \
    X(void, DeleteIndex, (const std::string& name), (name))                                                        \
    X(void, EmptyTable, (), ())                                                                                    \
    X(void*, GetDriverWordAddress, (), ())                                                                         \
    X(void, OpenBlob, (Byte * record, Word field, Integer openMode), (record, field, openMode))                    \
    X(void, GetBlobSize, (Byte * record, Word field, Cardinal& size), (record, field, size))                       \
    X(void, GetBlob, (Byte * record, Word field, Cardinal offset, Cardinal length, void* dest, Cardinal& read),    \
      (record, field, offset, length, dest, read))                                                                 \
    X(void, PutBlob, (Byte * record, Word field, Cardinal offset, Cardinal length, const void* source),            \
      (record, field, offset, length, source))                                                                     \
    X(void, TruncateBlob, (Byte * record, Word field, Cardinal length), (record, field, length))                   \
    X(void, FreeBlob, (Byte * record, Word field), (record, field))                                                \
    X(void, GetField, (Word fieldNumber, Byte* record, bool& blank, void* dest), (fieldNumber, record, blank, dest)) \
    X(void, PutField, (Word fieldNumber, Byte* record, const void* value), (fieldNumber, record, value))            \
    X(void, VerifyField, (Word fieldNumber, const void* value, bool& blank), (fieldNumber, value, blank))          \
    X(TFilterListItem*, AddFilter,                                                                                 \
      (uintptr_t clientData, Word priority, bool canAbort, const Byte* expression, TFilterCallback callback),      \
      (clientData, priority, canAbort, expression, callback))                                                      \
    X(void, DropFilter, (TFilterListItem * filter), (filter))                                                      \
    X(void, ActivateFilter, (TFilterListItem * filter), (filter))                                                  \
    X(void, DeactivateFilter, (TFilterListItem * filter), (filter))                                                \
    X(void, GetFilterInfo, (TFilterListItem * filter, FILTERInfo & info), (filter, info))

class TBaseCacheTable : public TBaseTable {
    DUN_CLASS(TBaseCacheTable, TBaseTable)
public:
    // Listed with the wrapped cursor's owner, in its cursor list.
    explicit TBaseCacheTable(TBaseTable* wrapped);

    TBaseTable* Wrapped() const { return wrapped_; }
    TMemTable* Cache() const { return cache_; }
    Byte DisplayOptions() const { return displayOptions_; }
    bool ReadOldRecord() const { return readOldRecord_; }

    // Whether the wrapped cursor's current record shows; overlays its cached image and properties on what was read.
    virtual bool MergeCachedRecord(Byte* record, RECProps* properties);

#define DUN_CACHE_DECLARE(result, name, parameters, arguments) result name parameters override;
    DUN_CACHE_FORWARDED(DUN_CACHE_DECLARE)
#undef DUN_CACHE_DECLARE

    void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength) override;
    void SetProp(Cardinal property, uintptr_t value) override;
    // Reads the wrapped cursor's properties and field descriptors and makes the cache over it.
    void AfterCreate() override;
    void BeforeDestroy() override;
    void GoFirst() override;
    void GoLast() override;
    // Steps the wrapped cursor past the records the display options hide.
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;
    void GetPriorRecord(Integer lock, Byte* record, RECProps* properties) override;
    // DBIERR_NOCURRREC for a record the display options hide.
    void GetRecord(Integer lock, Byte* record, RECProps* properties) override;
    void RereadCurrent(Integer lock, Byte* record) override;
    // Changes go to the cache only.
    void InsertRecord(Integer lock, Byte* record) override;
    void AppendRecord(Byte* record) override;
    void ModifyRecord(Byte* record, bool freeLock) override;
    void DeleteRecord(Byte* record) override;
    // Refused: DBIERR_NOSUCHINDEX.
    void SwitchToIndex(const std::string& name, bool keepPosition) override;
    // Refused: a cached cursor is not wrapped again.
    void BeginDelayedUpdates(TBaseTable*& cursor) override;
    // Gives the wrapped cursor back and frees this cursor with its cache.
    void EndDelayedUpdates(TBaseTable*& cursor) override;
    // DelayedCommit frees the records written; DelayedCancel frees every record; DelayedCancelCurrent drops the
    // current record's change; DelayedPrepare writes the changes, raising the first failure after trying them all.
    void ApplyDelayedUpdates(Integer command) override;
    void GetCacheCursor(TBaseTable*& cursor) override;

private:
    static TBaseTable* CheckWrapped(TBaseTable* wrapped);
    // Makes the cache's entry of the wrapped cursor's current record current; false when there is none.
    bool FindCachedRecord();
    template <class Step>
    void StepToShownRecord(Step step, Byte* record, RECProps* properties);
    void CancelCurrent();

    TBaseTable* wrapped_;
    TMemTable* cache_ = nullptr;
    Byte displayOptions_ = dispModified | dispInserted | dispUnmodified;
    bool readOldRecord_ = false;
    std::vector<Byte> bookmarkBuffer_;
};
