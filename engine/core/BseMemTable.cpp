#include "engine/core/BseMemTable.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "engine/core/BseError.h"

namespace {

constexpr SmallInt DeletedFlag = SmallInt(-1);  // 0xFFFF

Word LengthOfType(const FLDDesc& descriptor)
{
    switch (descriptor.iFldType) {
    case fldZSTRING: return Word(descriptor.iUnits1 + 1);
    case fldDATE: case fldFLOAT: case fldTIME: case fldTIMESTAMP: return 8;
    case fldBOOL: case fldINT16: case fldUINT16: return 2;
    case fldINT32: case fldUINT32: return 4;
    case fldBCD: return Word(std::abs(descriptor.iUnits2));
    case fldFLOATIEEE: return 10;
    default: return Word(descriptor.iUnits1);
    }
}

}  // namespace

// ---- records

TMemTableRecord::TMemTableRecord(TMemTable* table, const Byte* data, const Byte* bookmark, Integer bookmarkNumber)
        : TBapiListItem(table, nullptr)
{
    if (data) Data.assign(data, data + table->GetRecordLength());
    Bookmark.assign(table->GetBookmarkSize(), 0);
    if (bookmark)
        std::memcpy(Bookmark.data(), bookmark, Bookmark.size());
    else
        SetBookmarkNumber(bookmarkNumber);
}

void TMemTableRecord::SetBookmarkNumber(Integer number)
{
    std::memcpy(Bookmark.data(), &number, std::min(Bookmark.size(), sizeof number));
}

void TCacheCollection::Insert(TObject* item)
{
    if (placeNext_ < 0) {
        TSortedCollection::Insert(item);
        return;
    }
    const Integer index = std::min(placeNext_, Count());
    placeNext_ = -1;
    AtInsert(index, item);
}

void TCacheCollection::InsertAt(TMemTableRecord* record, Integer index)
{
    placeNext_ = std::max<Integer>(index, 0);
    record->ListIn(this);
}

const void* TCacheCollection::KeyOf(TObject* item) const
{
    return static_cast<TMemTableRecord*>(item)->Bookmark.data();
}

Integer TCacheCollection::Compare(const void* key1, const void* key2) const
{
    Integer result = 0;
    try {
        table_->CompareBookMarks(key1, key2, result);
    } catch (const EBoreaEngineError&) {
        result = 1;
    }
    return result;
}

// ---- table

TMemTable::TMemTable(TBapiListItem* owner, TBaseTable* source, const FLDDesc* descriptors, Word bookmarkSize,
                     Word fieldCount, const std::string& tableName, TBoreaCollection* collection)
        : TBaseTable(owner, collection, tableName, "", 0, 0), bookmarkSize_(bookmarkSize), source_(source)
{
    LayOutFields(descriptors, fieldCount);
}

void TMemTable::LayOutFields(const FLDDesc* descriptors, Word fieldCount)
{
    Word offset = 0;
    for (Word i = 0; i < fieldCount; ++i) {
        FLDDesc descriptor = CheckParam(descriptors)[i];
        if (descriptor.iLen == 0) descriptor.iLen = LengthOfType(descriptor);
        descriptor.iFldNum = Word(i + 1);
        descriptor.iOffset = offset;
        auto* item = new TFieldCacheItem(FieldCache());
        item->Descriptor = descriptor;
        offset = Word(offset + descriptor.iLen);
        recordLength_ = std::max(recordLength_, offset);
    }
}

void TMemTable::AfterCreate()
{
    records_ = std::make_unique<TCacheCollection>(this);
}

void TMemTable::BeforeDestroy()
{
    FreeRecords();
    records_.reset();
}

void TMemTable::FreeRecords()
{
    currentRecord_ = nullptr;
    if (records_) records_->FreeAll();
}

TMemTableRecord* TMemTable::MakeCurrent(Integer position)
{
    TMemTableRecord* record = position >= 1 ? records_->Record(position - 1) : nullptr;
    if (!record) RaiseEngineError(DBIERR_NOCURRREC);
    currentRecord_ = record;
    position_ = position;
    return record;
}

// ---- moves and reads

void TMemTable::MoveFirst()
{
    if (Count() == 0) RaiseEOF();
    position_ = 1;
    GetRecord(dbiNOLOCK, TBaseTable::GetRecordBuffer(), nullptr);
}

void TMemTable::MoveLast()
{
    if (Count() == 0) RaiseBOF();
    position_ = Count();
    GetRecord(dbiNOLOCK, TBaseTable::GetRecordBuffer(), nullptr);
}

void TMemTable::MoveNext()
{
    // After a delete the position already names the record behind the crack.
    const Integer next = State() == curCrack ? position_ : position_ + 1;
    if (next > Count()) RaiseEOF();
    position_ = next;
    try {
        GetRecord(dbiNOLOCK, TBaseTable::GetRecordBuffer(), nullptr);
    } catch (const std::exception&) {
        RaiseEOF();
    }
}

void TMemTable::MovePrior()
{
    if (position_ <= 1) RaiseBOF();
    --position_;
    try {
        GetRecord(dbiNOLOCK, TBaseTable::GetRecordBuffer(), nullptr);
    } catch (const std::exception&) {
        RaiseBOF();
    }
}

void TMemTable::GetRecord(Integer lock, Byte* record, RECProps* properties)
{
    if (Count() == 0) RaiseEOF();
    if (position_ <= 0) position_ = 1;
    if (position_ > Count()) RaiseEOF();
    TMemTableRecord* current = MakeCurrent(position_);
    if (record && !current->Data.empty()) std::memcpy(record, current->Data.data(), current->Data.size());
    GetRecordProps(properties);
    SetState(curOnRecord);
}

void TMemTable::GetRecordProps(RECProps* properties)
{
    if (properties && currentRecord_) *properties = currentRecord_->Properties;
}

void TMemTable::GetRecordCount(Integer& count)
{
    count = Count();
}

void TMemTable::ConvertToLogical(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                 const Byte* source, void* dest, bool& blank)
{
    std::memcpy(dest, source, fieldLength);
    blank = false;
}

void TMemTable::ConvertToNative(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                const void* value, Byte* dest)
{
    std::memcpy(dest, value, fieldLength);
}

// ---- bookmarks

void TMemTable::GetBookMark(void* bookmark)
{
    if (!currentRecord_ || currentRecord_->Bookmark.empty()) RaiseEngineError(DBIERR_NOCURRREC);
    std::memcpy(CheckParam(bookmark), currentRecord_->Bookmark.data(), GetBookmarkSize());
}

void TMemTable::CompareBookMarks(const void* bookmark1, const void* bookmark2, Integer& result)
{
    if (source_) {
        source_->CompareBookMarks(bookmark1, bookmark2, result);
        return;
    }
    Integer number1, number2;
    std::memcpy(&number1, CheckParam(bookmark1), sizeof number1);
    std::memcpy(&number2, CheckParam(bookmark2), sizeof number2);
    result = number1 < number2 ? -1 : number1 > number2 ? 1 : 0;
}

void TMemTable::SetToBookMark(const void* bookmark)
{
    for (Integer position = 1; position <= Count(); ++position) {
        TMemTableRecord* record = MakeCurrent(position);
        if (record->Properties.iRecStatus == mrsInserted) continue;
        Integer result = 0;
        CompareBookMarks(record->Bookmark.data(), bookmark, result);
        if (result == 0) {
            SetState(curOnRecord);
            return;
        }
    }
    RaiseEOF();
}

void TMemTable::ReadAtBookmark(const void* bookmark, Byte* record, Integer lock)
{
    SetToBookMark(bookmark);
}

// ---- changes

void TMemTable::InsertRecord(Integer lock, Byte* record)
{
    CheckParam(record);
    TMemTableRecord* added = nullptr;
    if (Count() == 0 || position_ < 1) {
        added = new TMemTableRecord(this, record, nullptr, NextBookmarkNumber());
        added->ListIn(records_.get());
        added->Properties.iPhyRecNum = Count();
    } else {
        added = new TMemTableRecord(this, record, nullptr, 1);
        records_->InsertAt(added, position_ - 1);
        if (!source_) added->SetBookmarkNumber(NextBookmarkNumber());
    }
    added->Properties.iRecStatus = mrsInserted;
}

void TMemTable::AppendRecord(Byte* record)
{
    AddRecord(record, nullptr);
}

TMemTableRecord* TMemTable::AddRecord(Byte* record, const Byte* bookmark)
{
    auto* added = new TMemTableRecord(this, record, bookmark, bookmark ? 0 : NextBookmarkNumber());
    added->ListIn(records_.get());
    added->Properties.iPhyRecNum = Count();
    added->Properties.iRecStatus = mrsUnmodified;
    MoveLast();
    SetState(curOnRecord);
    return added;
}

bool TMemTable::FindOrAdd(Byte* record, const Byte* bookmark)
{
    try {
        SetToBookMark(bookmark);
    } catch (const EBoreaEngineError&) {
        AddRecord(record, bookmark);
        SetToBookMark(bookmark);
        return true;
    }
    return false;
}

void TMemTable::ModifyRecord(Byte* record, bool freeLock)
{
    ModifyRecordAt(record, nullptr);
}

void TMemTable::ModifyRecordAt(Byte* record, const Byte* bookmark)
{
    const bool added = bookmark && FindOrAdd(record, bookmark);
    if (!currentRecord_) RaiseEngineError(DBIERR_NOCURRREC);
    if (!added && record) currentRecord_->Data.assign(record, record + GetRecordLength());
    currentRecord_->Properties.iRecStatus = mrsModified;
    currentRecord_->Applied = 0;
}

void TMemTable::DeleteRecord(Byte* record)
{
    if (!currentRecord_) RaiseEngineError(DBIERR_NOCURRREC);
    TMemTableRecord* deleted = currentRecord_;
    currentRecord_ = nullptr;
    deleted->Free();
    SetState(curCrack);
}

void TMemTable::DeleteRecordAt(Byte* record, const Byte* bookmark)
{
    if (bookmark) FindOrAdd(record, bookmark);
    if (!currentRecord_) RaiseEngineError(DBIERR_NOCURRREC);
    currentRecord_->Properties.iRecStatus = mrsDeleted;
    currentRecord_->Properties.bDeleteFlag = DeletedFlag;
    currentRecord_->Applied = 0;
}

void TMemTable::UndeleteRecord()
{
    MakeCurrent(position_)->Properties.bDeleteFlag = 0;
}

void TMemTable::EmptyTable()
{
    FreeRecords();
    position_ = 0;
    SetState(curNone);
}

bool TMemTable::Unwritten(const TMemTableRecord* record)
{
    return record->Properties.iRecStatus != mrsUnmodified && !record->Applied;
}

void TMemTable::ClearCache()
{
    currentRecord_ = nullptr;
    for (Integer index = Count() - 1; index >= 0; --index) {
        TMemTableRecord* record = records_->Record(index);
        if (!Unwritten(record)) record->Free();
    }
}

// ---- the cache

bool TMemTable::IsRecordVisible(Word displayOptions, bool found)
{
    if (!found) return (displayOptions & dispUnmodified) != 0;
    switch (currentRecord_ ? currentRecord_->Properties.iRecStatus : Word(mrsUnmodified)) {
    case mrsModified: return (displayOptions & dispModified) != 0;
    case mrsInserted: return (displayOptions & dispInserted) != 0;
    case mrsDeleted: return (displayOptions & dispDeleted) != 0;
    default: return true;
    }
}

void TMemTable::ApplyRecord(TMemTableRecord* record)
{
    Byte* data = record->Data.empty() ? nullptr : record->Data.data();
    switch (record->Properties.iRecStatus) {
    case mrsModified:
        source_->SetToBookMark(record->Bookmark.data());
        source_->ModifyRecord(data, true);
        break;
    case mrsInserted: source_->AppendRecord(data); break;
    case mrsDeleted:
        source_->SetToBookMark(record->Bookmark.data());
        source_->DeleteRecord(data);
        break;
    }
}

void TMemTable::ApplyCache()
{
    CheckHandle(source_);
    std::exception_ptr firstFailure;
    for (Integer position = Count(); position >= 1; --position) {
        TMemTableRecord* record = records_->Record(position - 1);
        if (!record || record->Applied) continue;
        currentRecord_ = record;
        position_ = position;
        try {
            ApplyRecord(record);
        } catch (const EBoreaEngineError&) {
            if (!firstFailure) firstFailure = std::current_exception();
            continue;
        }
        record->Applied = 1;
    }
    if (firstFailure) std::rethrow_exception(firstFailure);
}

// ---- sequence numbers

void TMemTable::GetSeqNo(Integer& number)
{
    number = MakeCurrent(position_)->Properties.iSeqNum;
}

void TMemTable::SetToSeqNo(Integer number)
{
    for (Integer position = 1; position <= Count(); ++position) {
        if (records_->Record(position - 1)->Properties.iSeqNum == number) {
            MakeCurrent(position);
            return;
        }
    }
    RaiseEOF();
}
