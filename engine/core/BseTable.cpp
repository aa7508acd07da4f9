#include "engine/core/BseTable.h"

#include <algorithm>
#include <cstring>

#include "engine/core/BseCache.h"
#include "engine/core/BseError.h"
#include "engine/core/BseFilt.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr Byte DirectionForward = 1;
constexpr Byte DirectionBackward = 2;
constexpr Integer EmptyRecordsRounds = 5;
constexpr Integer RecordsPerMessagePump = 16;

// Points the cursor's record buffer away from a scratch buffer when the scratch goes.
class TScratchBufferScope {
public:
    TScratchBufferScope(TBaseTable* table, bool active) : table_(table), active_(active) {}
    ~TScratchBufferScope()
    {
        if (active_) table_->SetRecordBuffer(nullptr);
    }
    TScratchBufferScope(const TScratchBufferScope&) = delete;
    TScratchBufferScope& operator=(const TScratchBufferScope&) = delete;

private:
    TBaseTable* table_;
    bool active_;
};

std::string Cut(const std::string& text, size_t length)
{
    return text.substr(0, length);
}

}  // namespace

TBaseTable::TBaseTable(TBapiListItem* owner, TBoreaCollection* collection, const std::string& tableName,
                       const std::string& openOptions, Integer openMode, Integer shareMode)
        : TBapiListItem(owner, collection),
          openMode_(openMode),
          shareMode_(shareMode),
          fieldCache_(std::make_unique<TBoreaFieldCache>(this)),
          filters_(std::make_unique<TBoreaCollection>()),
          openOptions_(Cut(openOptions, MaxTableNameLength)),
          tableName_(Cut(tableName, MaxTableNameLength))
{
}

TBaseTable::~TBaseTable() = default;

void TBaseTable::AfterConstruction()
{
    TBapiListItem::AfterConstruction();
    driverBlock_.assign(GetDriverBlockSize(), 0);
    AfterCreate();
}

void TBaseTable::BeforeDestruction()
{
    BeforeDestroy();
    TBapiListItem::BeforeDestruction();
}

void TBaseTable::SetTableName(const std::string& name)
{
    tableName_ = Cut(name, MaxTableNameLength);
}

void TBaseTable::SetPhysicalName(const std::string& name)
{
    physicalName_ = Cut(Trim(name), MaxPhysicalNameLength);
}

Word TBaseTable::RangeCondition(bool inclusive, bool lowEnd)
{
    if (lowEnd) return inclusive ? skGreaterOrEqual : skGreater;
    return inclusive ? skLessOrEqual : skLess;
}

void TBaseTable::MoveFirst()
{
    RaiseBOF();
}

void TBaseTable::MoveLast()
{
    RaiseEOF();
}

void TBaseTable::MoveNext()
{
    RaiseEOF();
}

void TBaseTable::MovePrior()
{
    RaiseBOF();
}

// ---- range and filter checks

Integer TBaseTable::CompareWithRangeEnd(const Byte* record, const TRangeEnd& end, Byte* key, bool keyBuilt)
{
    if (!keyBuilt) {
        Word keyLength = 0;
        BuildKey(record, key, keyLength, Word(end.Length), Word(end.FieldCount));
    }
    Integer result = 0;
    CompareKeys(key, end.KeyCopy, result, Word(end.Length), Word(end.FieldCount));
    return result;
}

void TBaseTable::CheckRange(const Byte* record)
{
    if (!lowRange_.Active && !highRange_.Active) return;
    Byte key[MaxKeyLength] = {};
    if (lowRange_.Active) {
        const Integer c = CompareWithRangeEnd(record, lowRange_, key, false);
        if (c < 0 || (c == 0 && !lowRange_.Inclusive)) RaiseBOF();
    }
    if (highRange_.Active) {
        const bool keyBuilt = lowRange_.Active && sameKeyRange_;
        const Integer c = CompareWithRangeEnd(record, highRange_, key, keyBuilt);
        if (c > 0 || (c == 0 && !highRange_.Inclusive)) RaiseEOF();
    }
}

bool TBaseTable::RecordPassesFilters(Byte* record)
{
    for (Integer i = 0; i < filters_->Count(); ++i) {
        auto* filter = static_cast<TFilterListItem*>(filters_->Items(i));
        if (filter->Active() && !filter->Evaluate(record)) return false;
    }
    return true;
}

void TBaseTable::Accept()
{
    Byte* record = recordBuffer_;
    if (!record) return;
    CheckRange(record);
    while (filtersActive_ && !RecordPassesFilters(record)) {
        SetRecordBuffer(record);
        if (direction_ == DirectionBackward)
            MovePrior();
        else
            MoveNext();
        CheckRange(record);
    }
}

// ---- navigation

void TBaseTable::SeekRangeEnd(const TRangeEnd& end, bool lowEnd)
{
    SeekKey(RangeCondition(end.Inclusive, lowEnd), true, recordBuffer_, end.KeyCopy, Word(end.Length),
            Word(end.FieldCount));
}

void TBaseTable::GoFirst()
{
    if (lowRange_.Active)
        SeekRangeEnd(lowRange_, true);
    else
        MoveFirst();
}

void TBaseTable::GoLast()
{
    if (highRange_.Active)
        SeekRangeEnd(highRange_, false);
    else
        MoveLast();
}

Byte* TBaseTable::ReadBuffer(Byte* record, std::vector<Byte>& scratch)
{
    if (record) return record;
    const Word size = GetRecordBufferSize();
    if (size == 0) return nullptr;
    scratch.assign(size, 0);
    return scratch.data();
}

void TBaseTable::MoveAndAccept(Integer lock, Byte* record, RECProps* properties, bool forward)
{
    direction_ = forward ? DirectionForward : DirectionBackward;
    std::vector<Byte> scratch;
    Byte* buffer = ReadBuffer(record, scratch);
    TScratchBufferScope scope(this, buffer != record);
    SetRecordBuffer(buffer);
    const TCursorState fromStart = forward ? curAtBegin : curAtEnd;
    if (state_ == curNone || state_ == fromStart) {
        forward ? GoFirst() : GoLast();
    } else if (state_ == curOnRecord || state_ == curCrack) {
        forward ? MoveNext() : MovePrior();
    } else if (forward) {
        RaiseEOF();
    } else {
        RaiseBOF();
    }
    Accept();
    state_ = curOnRecord;
    if (lock != dbiNOLOCK)
        GetRecord(lock, buffer, properties);
    else
        GetRecordProps(properties);
}

void TBaseTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    MoveAndAccept(lock, record, properties, true);
}

void TBaseTable::GetPriorRecord(Integer lock, Byte* record, RECProps* properties)
{
    MoveAndAccept(lock, record, properties, false);
}

void TBaseTable::RereadCurrent(Integer lock, Byte* record)
{
    std::vector<Byte> bookmark(GetBookmarkSize());
    GetBookMark(bookmark.data());
    ReadAtBookmark(bookmark.data(), record, lock);
}

void TBaseTable::RecoverFromCrack(Integer lock, Byte* record, RECProps* properties)
{
    try {
        GetNextRecord(lock, record, properties);
        return;
    } catch (const EBoreaEngineError&) {
    }
    try {
        GetPriorRecord(lock, record, properties);
        return;
    } catch (const EBoreaEngineError&) {
    }
    state_ = curNone;
    GetNextRecord(lock, record, properties);
}

void TBaseTable::GetRecord(Integer lock, Byte* record, RECProps* properties)
{
    switch (state_) {
    case curOnRecord: break;
    case curAtBegin: RaiseBOF();
    case curAtEnd: RaiseEOF();
    case curCrack: RecoverFromCrack(lock, record, properties); return;
    default: RaiseEngineError(DBIERR_NOCURRREC);
    }
    std::vector<Byte> scratch;
    Byte* buffer = ReadBuffer(record, scratch);
    TScratchBufferScope scope(this, buffer != record);
    SetRecordBuffer(buffer);
    RereadCurrent(lock, buffer);
    bool startAgain = false;
    try {
        Accept();
    } catch (const EBoreaEngineError&) {
        if (!rereadPending_) {
            if (lock == dbiWRITELOCK) RelRecordLock(false);
            throw;
        }
        rereadPending_ = false;
        startAgain = true;
    }
    if (startAgain) {
        state_ = curNone;
        GetNextRecord(lock, record, properties);
        return;
    }
    GetRecordProps(properties);
}

void TBaseTable::GetRelativeRecord(Integer offset, Integer lock, Byte* record, RECProps* properties)
{
    CheckCondition(offset != 0, DBIERR_INVALIDPARAM);
    const Integer steps = offset > 0 ? offset : -offset;
    for (Integer step = 1; step <= steps; ++step) {
        const Integer stepLock = step == steps ? lock : dbiNOLOCK;
        if (offset > 0)
            GetNextRecord(stepLock, record, properties);
        else
            GetPriorRecord(stepLock, record, properties);
    }
}

void TBaseTable::GetRecordForKey(bool keyItself, Word fieldCount, Byte* record, const Byte* key, Word length)
{
    RaiseEngineError(DBIERR_INVALIDHNDL);
}

void TBaseTable::SetToKey(Word condition, bool keyItself, Word fieldCount, Word length, const Byte* key)
{
    std::vector<Byte> scratch;
    Byte* buffer = ReadBuffer(nullptr, scratch);
    TScratchBufferScope scope(this, true);
    SetRecordBuffer(buffer);
    const Word seekCondition = condition == keySEARCHGT ? skGreater
            : condition == keySEARCHGEQ                 ? skGreaterOrEqual
                                                        : skEqual;
    try {
        SeekKey(seekCondition, keyItself, buffer, key, length, fieldCount);
    } catch (const EBoreaEngineError&) {
        if (seekCondition == skEqual) throw;
        SetToEnd();
        return;
    }
    direction_ = DirectionForward;
    Accept();
}

void TBaseTable::CopyPositionTo(TBaseTable* destination)
{
    CheckParam(destination);
    std::vector<Byte> bookmark(GetBookmarkSize());
    GetBookMark(bookmark.data());
    destination->SetToBookMark(bookmark.data());
}

void TBaseTable::GetBookMark(void* bookmark)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::SetToBookMark(const void* bookmark)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::ReadAtBookmark(const void* bookmark, Byte* record, Integer lock)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

const Byte* TBaseTable::BookmarkKey(const void* bookmark)
{
    return static_cast<const Byte*>(CheckParam(bookmark));
}

void TBaseTable::CompareBookMarks(const void* bookmark1, const void* bookmark2, Integer& result)
{
    const Byte* key1 = BookmarkKey(bookmark1);
    const Byte* key2 = BookmarkKey(bookmark2);
    Integer c = 0;
    CompareKeys(key1, key2, c, 0, 0);
    result = c < 0 ? -1 : c > 0 ? 1 : 0;
}

// ---- ranges

SmallInt TBaseTable::UnblankKeyFieldCount(const Byte* key)
{
    SmallInt count = SmallInt(KeyFieldCount);
    size_t offset = 0;
    for (Word i = 0; i < KeyFieldCount && offset < MaxKeyLength; ++i) {
        TFieldCacheItem* item = fieldCache_->Field(KeyFields[i]);
        std::vector<Byte> value(std::max<size_t>(MaxKeyLength, item->FieldLength() + 1u));
        std::vector<Byte> source(key + offset, key + std::min<size_t>(MaxKeyLength, offset + item->LocalSize));
        source.resize(item->LocalSize);
        bool blank = false;
        ConvertToLogical(item->LocalType, item->LocalSize, item->FieldUnits2(), item->FieldLength(), source.data(),
                         value.data(), blank);
        if (blank) --count;
        offset += item->LocalSize;
    }
    return count;
}

void TBaseTable::SetRangeEnd(TRangeEnd& end, bool keyItself, Word fieldCount, Word length, const Byte* key,
                             bool inclusive)
{
    end = TRangeEnd{};
    end.KeyItself = keyItself;
    end.Active = key != nullptr;
    end.FieldCount = SmallInt(fieldCount);
    end.Length = SmallInt(length);
    end.Unqualified = fieldCount == 0 && length == 0;
    end.Inclusive = inclusive;
    if (!end.Active || !keyItself) return;
    std::memcpy(end.KeyCopy, key, std::min(KeyLength, MaxKeyLength));
    if (end.FieldCount == 0) {
        end.FieldCount = UnblankKeyFieldCount(end.KeyCopy);
        if (end.FieldCount <= 0) end.Active = false;
    }
}

void TBaseTable::ActivateRangeEnd(TRangeEnd& end, const Byte* record)
{
    if (!end.Active || end.KeyItself) return;
    try {
        Word keyLength = 0;
        BuildKey(record, end.KeyCopy, keyLength, Word(end.Length), Word(end.FieldCount));
    } catch (const EBoreaEngineError&) {
        end.Active = false;
    }
}

void TBaseTable::SetRange(bool keyItself, Word fieldCount1, Word length1, const Byte* key1, bool inclusive1,
                          Word fieldCount2, Word length2, const Byte* key2, bool inclusive2)
{
    ResetRange();
    SetRangeEnd(lowRange_, keyItself, fieldCount1, length1, key1, inclusive1);
    SetRangeEnd(highRange_, keyItself, fieldCount2, length2, key2, inclusive2);
    ActivateRangeEnd(lowRange_, key1);
    ActivateRangeEnd(highRange_, key2);
    sameKeyRange_ = lowRange_.Active && highRange_.Active && lowRange_.FieldCount == highRange_.FieldCount &&
                    lowRange_.Length == highRange_.Length;
}

void TBaseTable::ResetRange()
{
    lowRange_.Active = false;
    highRange_.Active = false;
    sameKeyRange_ = false;
}

// ---- blocks, counts, emptying

void TBaseTable::ReadBlock(Integer& count, Byte* buffer)
{
    CheckParam(buffer);
    const Integer wanted = count;
    count = 0;
    size_t offset = 0;
    while (count < wanted) {
        GetNextRecord(dbiNOLOCK, buffer + offset, nullptr);
        ++count;
        offset += GetRecordBufferSize();
    }
}

void TBaseTable::WriteBlock(Integer& count, Byte* buffer)
{
    CheckParam(buffer);
    const Integer wanted = count;
    count = 0;
    size_t offset = 0;
    while (count < wanted) {
        InsertRecord(dbiNOLOCK, buffer + offset);
        ++count;
        offset += GetRecordBufferSize();
    }
}

void TBaseTable::GetRecordCount(Integer& count)
{
    count = 0;
    std::vector<Byte> bookmark(GetBookmarkSize());
    bool marked = false;
    try {
        GetBookMark(bookmark.data());
        marked = true;
    } catch (const EBoreaEngineError&) {
    }
    SetToBegin();
    std::vector<Byte> scratch;
    Byte* buffer = ReadBuffer(nullptr, scratch);
    try {
        for (;;) {
            GetNextRecord(dbiNOLOCK, buffer, nullptr);
            ++count;
            if (count % RecordsPerMessagePump == 0) EngineProcessMessages();
        }
    } catch (const EBoreaBoundryError&) {
    }
    if (marked) SetToBookMark(bookmark.data());
}

void TBaseTable::ForceRecordReread(Byte* record)
{
    ForceReread();
    GetRecord(dbiNOLOCK, record, nullptr);
}

void TBaseTable::DeleteAllInRange(Byte* record, std::exception_ptr& failure)
{
    TScratchBufferScope scope(this, true);
    for (;;) {
        try {
            direction_ = DirectionForward;
            SetRecordBuffer(record);
            GoFirst();
            Accept();
            DeleteRecord(record);
        } catch (const EBoreaBoundryError&) {
            return;
        } catch (const EBoreaEngineError&) {
            failure = std::current_exception();
            return;
        }
        EngineProcessMessages();
    }
}

void TBaseTable::EmptyRecords()
{
    std::vector<Byte> scratch;
    Byte* record = ReadBuffer(nullptr, scratch);
    std::exception_ptr failure;
    Integer remaining = 0;
    for (Integer round = 0; round < EmptyRecordsRounds; ++round) {
        failure = nullptr;
        DeleteAllInRange(record, failure);
        GetRecordCount(remaining);
        if (remaining == 0) break;
    }
    SetToBegin();
    if (remaining == 0) return;
    if (failure) std::rethrow_exception(failure);
    RaiseEngineError(DBIERR_WRITEERR);
}

void TBaseTable::RestoreAfterEmpty(bool reopen, Integer shareMode)
{
    shareMode_ = shareMode;
    Close();
    if (!reopen) return;
    Open();
    CURProps properties{};
    GetCursorProps(properties);
}

void TBaseTable::EmptyTable()
{
    const Integer shareMode = shareMode_;
    const bool wasOpen = state_ != curClosed;
    const bool reopen = wasOpen && shareMode != 1;
    try {
        if (!wasOpen || shareMode != 1) {
            Close();
            shareMode_ = 1;
            Open();
        }
        CURProps properties{};
        GetCursorProps(properties);
        EmptyRecords();
    } catch (...) {
        try {
            RestoreAfterEmpty(reopen, shareMode);
        } catch (...) {
        }
        throw;
    }
    RestoreAfterEmpty(reopen, shareMode);
}

// ---- operations the base does not support

void TBaseTable::AcqTableLock(Integer lock)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::RelTableLock(Integer lock)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::GetVchkDesc(Word number, VCHKDesc& descriptor)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::BeginDelayedUpdates(TBaseTable*& cursor)
{
    cursor = CheckParam(CreateObject<TBaseCacheTable>(this));
}

void TBaseTable::EndDelayedUpdates(TBaseTable*& cursor)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::ApplyDelayedUpdates(Integer command)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::GetCacheCursor(TBaseTable*& cursor)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::UndeleteRecord()
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::GetSeqNo(Integer& number)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::SetToSeqNo(Integer number)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::GetRecordPosition(Cardinal& position)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::SetToRecordPosition(Cardinal position)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::SwitchToIndex(const std::string& name, bool keepPosition)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::AddIndex(const IDXDesc& descriptor)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::DeleteIndex(const std::string& name)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::OpenBlob(Byte* record, Word field, Integer openMode)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::GetBlobSize(Byte* record, Word field, Cardinal& size)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::GetBlob(Byte* record, Word field, Cardinal offset, Cardinal length, void* dest, Cardinal& read)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::PutBlob(Byte* record, Word field, Cardinal offset, Cardinal length, const void* source)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}
