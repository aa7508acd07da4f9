#include "engine/btrieve/BtrTable.h"

#include <algorithm>
#include <cfloat>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrLoad.h"
#include "engine/core/BseError.h"
#include "rtl/StringRoutines.h"

namespace {

namespace Op {
constexpr Word GetEqual = 5;
constexpr Word GetGreater = 8;
constexpr Word GetGreaterOrEqual = 9;
constexpr Word GetLess = 10;
constexpr Word GetLessOrEqual = 11;
}  // namespace Op

namespace SegmentFlag {
constexpr Word Duplicates = 0x0001;
constexpr Word Modifiable = 0x0002;
constexpr Word Descending = 0x0040;
constexpr Word ExtendedType = 0x0100;
constexpr Word NoCase = 0x0400;
}  // namespace SegmentFlag

// Open modes of the record manager.
constexpr ShortInt BtrOpenNormal = 0;
constexpr ShortInt BtrOpenReadOnly = -2;
constexpr ShortInt BtrOpenExclusive = -4;
constexpr Integer FullPercentage = 10000;
constexpr int SegmentKeyNumberByte = 14;
constexpr int SegmentTypeByte = 10;
constexpr size_t ValueScratchSize = 256;

Word ReadWord(const Byte* at)
{
    Word value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void WriteWord(Byte* at, Word value)
{
    std::memcpy(at, &value, sizeof value);
}

Word SeekOperation(Word condition)
{
    switch (condition) {
    case skGreaterOrEqual: return Op::GetGreaterOrEqual;
    case skGreater: return Op::GetGreater;
    case skLess: return Op::GetLess;
    case skLessOrEqual: return Op::GetLessOrEqual;
    default: return Op::GetEqual;
    }
}

template <typename T>
void Store(Byte* at, T value)
{
    std::memcpy(at, &value, sizeof value);
}

// The highest or lowest value of a key segment of that Btrieve type, in the requester's key order.
void WriteExtreme(Byte* at, Word btrType, Word size, bool highest)
{
    if (size == 0) return;
    switch (btrType) {
    case BtrType::Integer:
    case BtrType::AutoInc:
    case BtrType::Currency:
        std::memset(at, highest ? 0xFF : 0x00, size);
        at[size - 1] = highest ? 0x7F : 0x80;
        return;
    case BtrType::Float:
        if (size == sizeof(float)) return Store(at, highest ? FLT_MAX : -FLT_MAX);
        if (size == sizeof(double)) return Store(at, highest ? DBL_MAX : -DBL_MAX);
        break;
    case BtrType::Decimal:
    case BtrType::Money:
        // Every digit 9, the last nibble the sign: 0xF positive, 0xD negative.
        std::memset(at, 0x99, size);
        at[size - 1] = highest ? 0x9F : 0x9D;
        return;
    }
    std::memset(at, highest ? 0xFF : 0x00, size);
}

}  // namespace

TBtrTable::TBtrTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                     const std::string& tableName, const std::string& openOptions, Integer openMode,
                     Integer shareMode)
        : TBtrBaseTable(owner, collection, clientId, tableName, openOptions, openMode, shareMode)
{
}

void TBtrTable::AfterCreate()
{
    file_ = std::make_unique<TWinBtr>(ClientId());
}

void TBtrTable::BeforeDestroy()
{
    if (!file_) return;
    if (file_->IsOpen()) {
        try {
            file_->Close();
        } catch (const EBoreaEngineError&) {
        }
    }
    file_.reset();
}

// ---- buffers

Byte* TBtrTable::GetRecordBuffer()
{
    return file_->OwnBuffer();
}

Word TBtrTable::GetRecordLength()
{
    FitBufferToLayout();
    return file_->BufferSize();
}

// A layout longer than the file's fixed records (a memo at the end) needs the longer buffer.
void TBtrTable::FitBufferToLayout()
{
    if (!file_->IsOpen() || FieldCache()->Count() == 0) return;
    Word fieldCount = 0;
    Word layoutSize = 0;
    GetRecordSize(fieldCount, layoutSize);
    if (layoutSize > file_->BufferSize()) file_->SetBufferSize(layoutSize);
}

Word TBtrTable::GetDataBufferSize()
{
    return file_->BufferSize();
}

void TBtrTable::SetWriteLength(Word length)
{
    file_->SetDataLength(length);
}

Byte* TBtrTable::DataBufferFor(Byte* record)
{
    return record ? record : file_->OwnBuffer();
}

// Reads go to the file's own buffer, which the file object completes after a short (variable-length) record, and
// are copied from there.
template <class F>
void TBtrTable::ReadInto(Byte* record, F call)
{
    file_->SetDataBuffer(file_->OwnBuffer());
    call();
    if (record && record != file_->OwnBuffer()) std::memcpy(record, file_->OwnBuffer(), file_->BufferSize());
}

// ---- open and close

void TBtrTable::Open()
{
    TBtrBaseTable::Open();
    ShortInt mode = BtrOpenNormal;
    if (ShareMode() == ShareExclusive)
        mode = BtrOpenExclusive;
    else if (OpenMode() == OpenReadOnly)
        mode = BtrOpenReadOnly;
    SetState(curClosed);
    file_->Open(GetPhysicalName(), OwnerName().empty() ? nullptr : OwnerName().c_str(), mode);
    positionInexact_ = false;
    tableLocked_ = false;
    SetState(curNone);
}

void TBtrTable::Close()
{
    TBtrBaseTable::Close();
    try {
        file_->Close();
    } catch (const EBtrieveEngineError& e) {
        if (e.Status() != BtrStatus::FileNotOpen) throw;
    }
}

void TBtrTable::GetFieldDesc(Word number, const void* source, Word& localSize, Word& localType,
                             FLDDesc& descriptor)
{
    if (!source) {
        TBtrBaseTable::GetFieldDesc(number, source, localSize, localType, descriptor);
        return;
    }
    const auto& record = *static_cast<const TFieldDDFRecord*>(source);
    FieldDescFromDictionary(record, number, descriptor);
    localSize = record.Size;
    localType = record.DataType;
    SetMemoLast(descriptor.iSubType == BtrSubType::Memo);
}

void TBtrTable::GetCursorProps(CURProps& properties)
{
    TBtrBaseTable::GetCursorProps(properties);
    const std::string name = GetTableName().substr(0, DBIMAXTBLNAMELEN);
    std::memcpy(properties.szName, name.data(), name.size());
    Word fieldCount = 0;
    Word layoutSize = 0;
    GetRecordSize(fieldCount, layoutSize);
    FitBufferToLayout();
    const Word size = std::max(file_->GetRecordLength(), layoutSize);
    RecordSize = SmallInt(size);
    properties.iFields = fieldCount;
    properties.iRecSize = size;
    properties.iRecBufSize = size;
    properties.iIndexes = Word(file_->KeyCount());
    properties.iBlockSize = file_->GetPageSize();
}

// ---- moves

void TBtrTable::MoveBy(void (TWinBtr::*move)())
{
    ReadInto(TBtrBaseTable::GetRecordBuffer(), [&] { (file_.get()->*move)(); });
    positionInexact_ = false;
}

void TBtrTable::MoveFirst()
{
    MoveBy(&TWinBtr::GetFirst);
}

void TBtrTable::MoveLast()
{
    MoveBy(&TWinBtr::GetLast);
}

void TBtrTable::MoveNext()
{
    MoveBy(&TWinBtr::GetNext);
}

void TBtrTable::MovePrior()
{
    MoveBy(&TWinBtr::GetPrev);
}

// ---- values

Integer TBtrTable::CompareValues(Word logicalType, TFieldCacheItem* item, const void* value1, const void* value2,
                                 bool caseInsensitive, Word length)
{
    if (!collatingKey_ || !item || logicalType != fldZSTRING)
        return TBtrBaseTable::CompareValues(logicalType, item, value1, value2, caseInsensitive, length);
    const Byte* table = collatingSequence_ + TWinBtr::CollatingSequenceSize - 256;
    const size_t first = item->LocalType == BtrType::LString ? 1 : 0;
    std::vector<Byte> a(static_cast<const Byte*>(value1), static_cast<const Byte*>(value1) + length);
    std::vector<Byte> b(static_cast<const Byte*>(value2), static_cast<const Byte*>(value2) + length);
    for (size_t i = first; i < length; ++i) {
        a[i] = table[a[i]];
        b[i] = table[b[i]];
    }
    return TBtrBaseTable::CompareValues(logicalType, item, a.data(), b.data(), caseInsensitive, length);
}

// ---- keys

Word TBtrTable::KeyFieldsOf(Word fieldCount, Word length) const
{
    if (fieldCount != 0) return std::min(fieldCount, KeyFieldCount);
    return length != 0 ? std::min<Word>(1, KeyFieldCount) : KeyFieldCount;
}

void TBtrTable::FillKey(Byte* key, Word fromField, TKeyFill fill)
{
    size_t offset = 0;
    for (Word i = 0; i < KeyFieldCount && i < MaxKeySegments; ++i) {
        const Word size = Word(KeySegments[i].SegmentSize);
        if (offset + size > MaxKeyLength) break;
        if (i >= fromField) {
            const bool lowest = fill == TKeyFill::Low;
            WriteExtreme(key + offset, segmentTypes_[i], size, KeySegments[i].Descending ? lowest : !lowest);
        }
        offset += size;
    }
}

void TBtrTable::BuildKey(const Byte* record, Byte* key, Word& keyLength, Word length, Word fieldCount)
{
    CheckParam(record);
    CheckParam(key);
    keyLength = 0;
    const Word count = KeyFieldsOf(fieldCount, length);
    size_t offset = 0;
    for (Word i = 0; i < count; ++i) {
        const Word size = Word(KeySegments[i].SegmentSize);
        const Word part = i + 1 == count && length != 0 ? std::min(length, size) : size;
        CheckCondition(offset + size <= MaxKeyLength, DBIERR_INVALIDPARAM);
        if (KeySegments[i].HasOwnType != 0) {
            std::memcpy(key + offset, record + KeySegments[i].HasOwnType - 1, part);
        } else {
            TFieldCacheItem* item = FieldCache()->Field(KeyFields[i]);
            std::vector<Byte> value(std::max<size_t>(ValueScratchSize, LogicalValueSize(item->LocalType, size) + 1u));
            std::vector<Byte> native(size, 0);
            try {
                bool blank = false;
                ReadField(item, const_cast<Byte*>(record), blank, value.data());
                if (!blank) PutFieldValue(item->LocalType, item->LocalSize, item->FieldUnits2(), native.data(),
                                          value.data());
            } catch (const EBtrieveEngineError&) {
                std::fill(native.begin(), native.end(), 0);
            }
            std::memcpy(key + offset, native.data(), part);
        }
        offset += size;
        keyLength = Word(keyLength + part);
    }
}

void TBtrTable::ComposeKey(Byte* key, bool keyItself, const Byte* source, Word length, Word fieldCount,
                           TKeyFill fill)
{
    CheckParam(source);
    std::memset(key, 0, MaxKeyLength);
    FillKey(key, 0, fill);
    if (!keyItself) {
        Word keyLength = 0;
        BuildKey(source, key, keyLength, length, fieldCount);
        return;
    }
    const Word count = KeyFieldsOf(fieldCount, length);
    size_t offset = 0;
    for (Word i = 0; i < count; ++i) {
        const Word size = Word(KeySegments[i].SegmentSize);
        const Word part = i + 1 == count && length != 0 ? std::min(length, size) : size;
        if (offset + size > MaxKeyLength) break;
        std::memcpy(key + offset, source + offset, part);
        offset += size;
    }
}

void TBtrTable::SeekKey(Word condition, bool keyItself, Byte* record, const Byte* key, Word length,
                        Word fieldCount)
{
    Byte wanted[MaxKeyLength];
    const bool low = condition == skGreaterOrEqual || condition == skGreater;
    ComposeKey(wanted, keyItself, keyItself ? key : record, length, fieldCount, low ? TKeyFill::Low : TKeyFill::High);
    ReadInto(record ? record : TBtrBaseTable::GetRecordBuffer(), [&] {
        file_->ClearKey(KeyLength);
        file_->GetByKey(SeekOperation(condition), wanted, file_->KeyNumber(), Byte(std::min<Word>(KeyLength, 255)));
    });
    positionInexact_ = false;
    SetState(curOnRecord);
}

void TBtrTable::GetRecordForKey(bool keyItself, Word fieldCount, Byte* record, const Byte* key, Word length)
{
    Byte wanted[MaxKeyLength];
    ComposeKey(wanted, keyItself, keyItself ? key : record, length, fieldCount, TKeyFill::Low);
    const bool partial = (fieldCount >= 1 && fieldCount < KeyFieldCount) || length != 0;
    const Word operation = partial ? Op::GetGreaterOrEqual : Op::GetEqual;
    std::vector<Byte> scratch(record ? 0 : GetRecordLength());
    Byte* target = record ? record : scratch.data();
    Byte* saved = TBtrBaseTable::GetRecordBuffer();
    TBtrBaseTable::SetRecordBuffer(target);
    try {
        try {
            ReadInto(target, [&] {
                file_->ClearKey(KeyLength);
                file_->GetByKey(operation, wanted, file_->KeyNumber(), Byte(std::min<Word>(KeyLength, 255)));
            });
        } catch (const EBoreaEOFError&) {
            RaiseBtrieveError(BtrStatus::KeyNotFound);
        }
        positionInexact_ = false;
        SetState(curOnRecord);
        CheckSeekResult(operation, fieldCount, wanted, length);
    } catch (...) {
        TBtrBaseTable::SetRecordBuffer(saved);
        throw;
    }
    TBtrBaseTable::SetRecordBuffer(saved);
}

void TBtrTable::CheckSeekResult(Word operation, Word fieldCount, const Byte* key, Word length)
{
    if (operation == Op::GetGreaterOrEqual && (fieldCount != 0 || length != 0)) {
        // A partial length never reaches past its segment.
        const Word count = KeyFieldsOf(fieldCount, length);
        if (count > 0) length = std::min(length, Word(KeySegments[count - 1].SegmentSize));
        Integer result = 0;
        CompareKeys(file_->KeyBuffer(), key, result, length, fieldCount);
        if (result != 0) RaiseBtrieveError(BtrStatus::KeyNotFound);
    }
    SetDirection(1);
    Accept();
}

// ---- bookmarks

void TBtrTable::GetBookMark(void* bookmark)
{
    auto* mark = static_cast<Byte*>(CheckParam(bookmark));
    std::memset(mark, 0, BookmarkSize);
    std::memcpy(mark + BtrBookmarkKeyOffset, file_->KeyBuffer(), TWinBtr::KeyBufferSize);
    const Cardinal position = file_->GetPosition();
    std::memcpy(mark, &position, sizeof position);
    if (RereadPending()) file_->GotoPosition(position);
}

// Seeks into a buffer of its own: the cursor's record buffer may belong to a read long finished.
void TBtrTable::SeekBookmarkKey(const Byte* key)
{
    const bool checks = LowRange().Active || HighRange().Active || FiltersActive();
    Byte* saved = TBtrBaseTable::GetRecordBuffer();
    std::vector<Byte> scratch(GetRecordLength(), 0);
    TBtrBaseTable::SetRecordBuffer(scratch.data());
    auto seek = [&](Word condition) {
        SeekKey(condition, true, scratch.data(), key, 0, 0);
        if (!checks) return;
        SetDirection(1);
        Accept();
    };
    try {
        try {
            seek(skGreaterOrEqual);
        } catch (const EBoreaBoundryError&) {
            try {
                seek(skLessOrEqual);
            } catch (const EBoreaBoundryError&) {
                SetToBegin();
            }
        }
    } catch (...) {
        TBtrBaseTable::SetRecordBuffer(saved);
        throw;
    }
    TBtrBaseTable::SetRecordBuffer(saved);
}

void TBtrTable::SetToBookMark(const void* bookmark)
{
    const auto* mark = static_cast<const Byte*>(CheckParam(bookmark));
    Cardinal position;
    std::memcpy(&position, mark, sizeof position);
    if (position != 0) {
        try {
            ReadInto(nullptr, [&] { file_->GotoPosition(position); });
            positionInexact_ = false;
            SetState(curOnRecord);
            return;
        } catch (const EBtrieveEngineError&) {
            // The record is gone: the nearest key stands in for reading, never for writing.
        }
    }
    SeekBookmarkKey(mark + BtrBookmarkKeyOffset);
    positionInexact_ = true;
}

void TBtrTable::CheckExactPosition()
{
    if (positionInexact_) RaiseBtrieveError(BtrStatus::KeyNotFound);
}

void TBtrTable::ReadAtBookmark(const void* bookmark, Byte* record, Integer lock)
{
    const auto* mark = static_cast<const Byte*>(CheckParam(bookmark));
    if (lock != dbiNOLOCK) CheckExactPosition();
    Cardinal position;
    std::memcpy(&position, mark, sizeof position);
    SetReadLock(lock);
    try {
        ReadInto(record, [&] { file_->GetDirect(position); });
    } catch (const EBtrieveEngineError&) {
        file_->SetLockBias(0);
        if (lock != dbiNOLOCK) {
            // The caller sees the lock failure with fresh data.
            ReadInto(record, [&] { file_->GetDirect(position); });
            throw;
        }
        std::vector<Byte> scratch(record ? 0 : GetRecordLength());
        SeekKey(skGreaterOrEqual, true, record ? record : scratch.data(), mark + BtrBookmarkKeyOffset, 0, 0);
        positionInexact_ = true;
        return;
    }
    positionInexact_ = false;
    SetState(curOnRecord);
}

// ---- locks and writes

void TBtrTable::AcqTableLock(Integer lock)
{
    if (lock == dbiNOLOCK) return;
    if (tableLocked_) RaiseBtrieveError(BtrStatus::FileLocked);
    file_->BeginTransaction(false);
    tableLocked_ = true;
}

void TBtrTable::RelTableLock(Integer lock)
{
    if (lock == dbiNOLOCK || !tableLocked_) return;
    file_->EndTransaction();
    tableLocked_ = false;
}

void TBtrTable::UnlockRecords()
{
    file_->Unlock();
}

void TBtrTable::SetReadLock(Integer lock)
{
    if (lock == dbiWRITELOCK) file_->SetLockBias(TWinBtr::SingleNoWaitLockBias);
}

void TBtrTable::InsertRecord(Integer lock, Byte* record)
{
    file_->SetDataBuffer(DataBufferFor(record));
    ApplyMemoWriteLength(record);
    file_->Insert();
    positionInexact_ = false;
    SetState(curOnRecord);
    if (lock == dbiWRITELOCK) GetRecord(dbiWRITELOCK, nullptr, nullptr);
}

void TBtrTable::ModifyRecord(Byte* record, bool freeLock)
{
    CheckExactPosition();
    file_->SetDataBuffer(DataBufferFor(record));
    ApplyMemoWriteLength(record);
    file_->Update();
    if (!freeLock) GetRecord(dbiWRITELOCK, nullptr, nullptr);
}

void TBtrTable::DeleteRecord(Byte* record)
{
    CheckExactPosition();
    file_->SetDataBuffer(DataBufferFor(record));
    file_->Delete();
    SetState(curCrack);
}

// ---- counts and positions

void TBtrTable::GetRecordCount(Integer& count)
{
    count = file_->RecordCount();
}

void TBtrTable::GetSeqNo(Integer& number)
{
    const Integer percentage = file_->FindPercentage(true);
    Integer count = 0;
    GetRecordCount(count);
    const auto place = Integer(double(percentage) / FullPercentage * count);
    number = std::min(place, count) + 1;
}

void TBtrTable::SetToSeqNo(Integer number)
{
    Integer count = 0;
    GetRecordCount(count);
    if (count <= 0) RaiseEOF();
    const Integer percentage = number < count ? Integer(double(FullPercentage) / count * number) : FullPercentage;
    ReadInto(nullptr, [&] { file_->GetByPercentage(true, percentage); });
    positionInexact_ = false;
    SetState(curOnRecord);
}

void TBtrTable::GetRecordPosition(Cardinal& position)
{
    position = file_->GetPosition();
}

void TBtrTable::SetToRecordPosition(Cardinal position)
{
    ReadInto(nullptr, [&] { file_->GotoPosition(position); });
    positionInexact_ = false;
    SetState(curOnRecord);
}

// ---- indexes

void TBtrTable::IndexNumberFromName(const std::string& name, Word& number, std::string* nameDest)
{
    if (name.find('@') != std::string::npos) {
        TBtrBaseTable::IndexNumberFromName(name, number, nameDest);
        return;
    }
    const std::string digits = Trim(name.substr(0, 2));
    const bool numeric = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    CheckCondition(numeric, DBIERR_INVALIDINDEXNAME);
    number = Word(std::stoi(digits));
    if (nameDest) *nameDest = name.substr(0, DBIMAXNAMELEN);
}

void TBtrTable::SelectKey(Word number)
{
    if (!HasKey(number)) RaiseBtrieveErrorWithText(BtrStatus::InvalidKeyNumber, std::to_string(number));
    file_->SetKeyNumber(ShortInt(number));
    collatingKey_ = file_->IsAcsKey();
    if (collatingKey_) file_->GetAcs(collatingSequence_);
}

void TBtrTable::SwitchToIndex(const std::string& name, bool keepPosition)
{
    Word number = 0;
    IndexNumberFromName(name, number, nullptr);
    std::vector<Byte> bookmark(BookmarkSize);
    if (keepPosition) {
        try {
            GetBookMark(bookmark.data());
        } catch (const EBtrieveEngineError&) {
            RaiseEngineError(DBIERR_NOCURRREC);
        }
    }
    ResetRange();
    SelectKey(number);
    IDXDesc descriptor{};
    DescribeKey(number, descriptor, true);
    if (keepPosition) SetToBookMark(bookmark.data());
}

void TBtrTable::SelectPhysicalOrder()
{
    file_->SetKeyNumber(TWinBtr::PhysicalKeyNumber);
    collatingKey_ = false;
    currentIndexUnique_ = false;
    KeyFieldCount = 0;
    KeyLength = 0;
}

// While listing, number counts the keys in order; otherwise it is a key number (0: the current key). Key
// numbers may have gaps.
void TBtrTable::GetIndexDesc(Word number, IDXDesc& descriptor)
{
    if (!ListingIndexes() && number == 0 && file_->KeyNumber() < 0) {
        std::memset(&descriptor, 0, sizeof descriptor);
        RaiseEngineError(DBIERR_NOSUCHINDEX);
    }
    const Word current = Word(std::max<ShortInt>(file_->KeyNumber(), 0));
    const Word key = ListingIndexes() ? KeyNumberAt(number) : number == 0 ? current : number;
    DescribeKey(key, descriptor, key == current);
}

namespace {

struct TStatSegment {
    Word Position;
    Word Length;
    Word Flags;
    Byte Type;
    Byte KeyNumber;
};

// Every key segment of a statistics reply, keys in order; each segment carries its key's number.
std::vector<TStatSegment> StatSegments(const Byte* stat)
{
    const Word keys = ReadWord(stat + 4);
    std::vector<TStatSegment> segments;
    Word ordinal = 0;
    for (int i = 0; i < TWinBtr::MaxStatSegments && ordinal < keys; ++i) {
        const Byte* entry = stat + TWinBtr::FileSpecSize + i * TWinBtr::SegmentSpecSize;
        const Word flags = ReadWord(entry + 4);
        const Byte type = flags & SegmentFlag::ExtendedType ? entry[SegmentTypeByte] : Byte(BtrType::String);
        segments.push_back({ReadWord(entry), ReadWord(entry + 2), flags, type, entry[SegmentKeyNumberByte]});
        if (!(flags & TWinBtr::SegmentContinues)) ++ordinal;
    }
    return segments;
}

// The segments of the key numbered keyNumber.
std::vector<TStatSegment> SegmentsOfKey(const Byte* stat, Word keyNumber)
{
    std::vector<TStatSegment> segments = StatSegments(stat);
    std::erase_if(segments, [&](const TStatSegment& segment) { return segment.KeyNumber != keyNumber; });
    return segments;
}

}  // namespace

std::vector<Byte> TBtrTable::KeyNumbers()
{
    if (!file_->IsOpen()) RaiseBtrieveErrorWithText(BtrStatus::FileNotOpen, GetTableName());
    Byte stat[TWinBtr::StatBufferSize] = {};
    file_->GetStat(stat);
    std::vector<Byte> numbers;
    for (const TStatSegment& segment : StatSegments(stat))
        if (numbers.empty() || numbers.back() != segment.KeyNumber) numbers.push_back(segment.KeyNumber);
    return numbers;
}

bool TBtrTable::HasKey(Word number)
{
    const std::vector<Byte> numbers = KeyNumbers();
    return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

Word TBtrTable::KeyNumberAt(Word ordinal)
{
    const std::vector<Byte> numbers = KeyNumbers();
    CheckCondition(ordinal < numbers.size(), DBIERR_NOSUCHINDEX);
    return numbers[ordinal];
}

void TBtrTable::DescribeKey(Word keyNumber, IDXDesc& descriptor, bool current)
{
    if (!file_->IsOpen()) RaiseBtrieveErrorWithText(BtrStatus::FileNotOpen, GetTableName());
    Byte stat[TWinBtr::StatBufferSize] = {};
    file_->GetStat(stat);
    const std::vector<TStatSegment> segments = SegmentsOfKey(stat, keyNumber);
    CheckCondition(!segments.empty() && segments.size() <= MaxKeySegments, DBIERR_NOSUCHINDEX);
    std::memset(&descriptor, 0, sizeof descriptor);
    descriptor.iIndexId = keyNumber;
    descriptor.bPrimary = keyNumber == 0 ? 1 : 0;
    descriptor.bMaintained = 1;
    descriptor.bDescending = segments[0].Flags & SegmentFlag::Descending ? 1 : 0;
    std::string name;
    Word keyLength = 0;
    TKeySegment keySegments[MaxKeySegments] = {};
    Word keyFields[MaxKeySegments] = {};
    for (size_t i = 0; i < segments.size(); ++i) {
        const TStatSegment& segment = segments[i];
        FLDDesc field{};
        bool matched = true;
        try {
            GetFieldDescByOffset(segment.Position, segment.Length, field);
        } catch (const EBoreaEngineError&) {
            try {
                GetFieldDescByOffset(Word(segment.Position + 1), segment.Length, field);
            } catch (const EBoreaEngineError&) {
                matched = false;
            }
        }
        if (!matched) {
            TBoreaFieldCache* cache = FieldCache();
            if (cache->Count() == 0) RaiseEngineErrorText(DBIERR_INVALIDIDXDESC, "Table: " + GetTableName());
            const TFieldCacheItem* holder = cache->Item(0);
            for (Integer f = 0; f < cache->Count(); ++f) {
                if (cache->Item(f)->Descriptor.iOffset + 1 < segment.Position) holder = cache->Item(f);
            }
            field = holder->Descriptor;
        }
        const TFieldCacheItem* item = FieldCache()->Field(field.iFldNum);
        const bool ownBytes = field.iOffset + 1 != segment.Position || item->LocalSize != segment.Length;
        const std::string fieldName = (matched ? "" : ">") + item->FieldName();
        if (i == 0) {
            char number[16];
            std::snprintf(number, sizeof number, "%2d - ", segment.KeyNumber);
            name = number + fieldName;
        } else {
            name += "+" + fieldName;
        }
        if (i < DBIMAXFLDSINKEY) {
            descriptor.aiKeyFld[i] = field.iFldNum;
            descriptor.abDescending[i] = segment.Flags & SegmentFlag::Descending ? 1 : 0;
        }
        if (!(segment.Flags & SegmentFlag::Duplicates)) descriptor.bUnique = 1;
        if (segment.Flags & SegmentFlag::NoCase) descriptor.bCaseInsensitive = 1;
        keyFields[i] = field.iFldNum;
        keySegments[i].Descending = segment.Flags & SegmentFlag::Descending ? 1 : 0;
        keySegments[i].SegmentSize = SmallInt(segment.Length);
        // The base compares an own-bytes segment as its Btrieve type over its own size.
        keySegments[i].SegmentType = ownBytes ? SmallInt(segment.Type) : SmallInt(item->FieldType());
        keySegments[i].HasOwnType = ownBytes ? SmallInt(segment.Position) : 0;
        keyLength = Word(keyLength + segment.Length);
    }
    descriptor.iFldsInKey = Word(segments.size());
    descriptor.iKeyLen = keyLength;
    std::memcpy(descriptor.szName, name.data(), std::min(name.size(), DBIMAXTBLNAMELEN));
    if (!current) return;
    KeyFieldCount = Word(segments.size());
    KeyLength = keyLength;
    for (size_t i = 0; i < segments.size(); ++i) {
        KeyFields[i] = keyFields[i];
        KeySegments[i] = keySegments[i];
        segmentTypes_[i] = segments[i].Type;
    }
    currentIndexUnique_ = descriptor.bUnique != 0;
}

void TBtrTable::AddIndex(const IDXDesc& descriptor)
{
    Byte specs[TWinBtr::StatBufferSize] = {};
    const Word count = std::min<Word>(descriptor.iFldsInKey, DBIMAXFLDSINKEY);
    for (Word i = 0; i < count; ++i) {
        TFieldCacheItem* item = FieldCache()->Field(descriptor.aiKeyFld[i]);
        Byte* spec = specs + i * TWinBtr::SegmentSpecSize;
        Word flags = SegmentFlag::Modifiable | SegmentFlag::ExtendedType;
        if (i + 1 < count) flags |= TWinBtr::SegmentContinues;
        if (!descriptor.bUnique) flags |= SegmentFlag::Duplicates;
        if (descriptor.bDescending) flags |= SegmentFlag::Descending;
        if (descriptor.bCaseInsensitive) flags |= SegmentFlag::NoCase;
        WriteWord(spec, Word(item->Descriptor.iOffset + 1));
        WriteWord(spec + 2, item->LocalSize);
        WriteWord(spec + 4, flags);
        spec[SegmentTypeByte] = Byte(item->LocalType);
    }
    file_->CreateIndex(specs, count, ShortInt(descriptor.iIndexId));
}

void TBtrTable::DeleteIndex(const std::string& name)
{
    Word number = 0;
    IndexNumberFromName(name, number, nullptr);
    file_->DropIndex(ShortInt(number));
}
