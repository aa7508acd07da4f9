#include "engine/btrieve/BtrBaseTable.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrTblName.h"
#include "engine/core/BseError.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr Word DBIERR_ENDOFBLOB = 0x2207;
constexpr Word DBIERR_BLOBOFFSET = 0x270E;
constexpr Word DBIERR_NOTABLOB = 0x2A01;
constexpr Word BlankFloatSize = 8;
constexpr Word BlankBlobSize = 255;
constexpr size_t ValueScratchSize = 256;

Integer Sign(Integer c)
{
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

template <typename T>
Integer Order(T a, T b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

Cardinal PositionOf(const void* bookmark)
{
    Cardinal position;
    std::memcpy(&position, bookmark, sizeof position);
    return position;
}

// Btrieve date: day, month, signed 16-bit year.
Integer CompareDates(const Byte* a, const Byte* b)
{
    SmallInt yearA, yearB;
    std::memcpy(&yearA, a + 2, sizeof yearA);
    std::memcpy(&yearB, b + 2, sizeof yearB);
    if (Integer c = Order(yearA, yearB)) return c;
    if (Integer c = Order(a[1], b[1])) return c;
    return Order(a[0], b[0]);
}

// Btrieve time: hundredths, seconds, minutes, hours.
Integer CompareTimes(const Byte* a, const Byte* b)
{
    for (int i = 3; i >= 0; --i) {
        if (Integer c = Order(a[i], b[i])) return c;
    }
    return 0;
}

// The texts after the length bytes, each at most its own length and length - 1 characters.
Integer CompareLStrings(const Byte* a, const Byte* b, Word length, bool caseInsensitive)
{
    const Word room = length > 0 ? Word(length - 1) : 0;
    std::string x(reinterpret_cast<const char*>(a + 1), std::min<Word>(a[0], room));
    std::string y(reinterpret_cast<const char*>(b + 1), std::min<Word>(b[0], room));
    if (caseInsensitive) {
        x = AnsiUpperCase(x);
        y = AnsiUpperCase(y);
    }
    return Sign(x.compare(y));
}

double FloatOf(TFieldCacheItem* item, const void* value)
{
    double result = 0;
    try {
        bool blank = false;
        GetFieldValue(item->LocalType, item->LocalSize, item->FieldUnits2(), blank, &result, value);
    } catch (const EBtrieveEngineError&) {
        result = 0;
    }
    return result;
}

Word DeclaredSize(const TFieldCacheItem* item)
{
    return item->LocalSize;
}

}  // namespace

TBtrBaseTable::TBtrBaseTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                             const std::string& tableName, const std::string& openOptions, Integer openMode,
                             Integer shareMode)
        : TBaseTable(owner, collection, tableName, openOptions, openMode, shareMode), clientId_(clientId)
{
    SetTableName(tableName);
}

void TBtrBaseTable::SetTableName(const std::string& name)
{
    const TTableNameOptions options = ParseTableNameOptions(name);
    ownerName_ = options.HasOwner ? options.OwnerName : std::string();
    hasResource_ = options.HasResource;
    resourceName_ = options.HasResource ? options.ResourceName : std::string();
    TBaseTable::SetTableName(name.substr(0, name.find(';')));
}

void TBtrBaseTable::ConvertToLogical(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                     const Byte* source, void* dest, bool& blank)
{
    GetFieldValue(localType, localSize, units2, blank, dest, source);
}

void TBtrBaseTable::ConvertToNative(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                    const void* value, Byte* dest)
{
    PutFieldValue(localType, localSize, units2, dest, value);
}

Integer TBtrBaseTable::CompareValues(Word logicalType, TFieldCacheItem* item, const void* value1,
                                     const void* value2, bool caseInsensitive, Word length)
{
    const auto* a = static_cast<const Byte*>(value1);
    const auto* b = static_cast<const Byte*>(value2);
    switch (logicalType) {
    case fldZSTRING:
        if (item && item->LocalType == BtrType::LString) return CompareLStrings(a, b, length, caseInsensitive);
        break;
    case fldDATE: return CompareDates(a, b);
    case fldTIME: return CompareTimes(a, b);
    case fldFLOAT: {
        if (item) return Order(FloatOf(item, a), FloatOf(item, b));
        double x, y;
        std::memcpy(&x, a, sizeof x);
        std::memcpy(&y, b, sizeof y);
        return Order(x, y);
    }
    }
    return TBaseTable::CompareValues(logicalType, item, value1, value2, caseInsensitive, length);
}

void TBtrBaseTable::ReadField(TFieldCacheItem* item, Byte* record, bool& blank, void* dest)
{
    CheckParam(record);
    item->SetAddresses(record);
    std::vector<Byte> scratch;
    void* value = dest;
    if (!value) {
        scratch.assign(std::max<size_t>(ValueScratchSize, LogicalValueSize(item->LocalType, item->LocalSize) + 1u), 0);
        value = scratch.data();
    }
    GetFieldValue(item->LocalType, item->LocalSize, item->FieldUnits2(), blank, value, item->FieldAddress);
    if (!blank || !dest) return;
    Word size = item->FieldLength();
    if (item->FieldType() == fldFLOAT) size = BlankFloatSize;
    if (item->FieldType() == fldBLOB)
        size = std::min<Word>(BlankBlobSize, LogicalValueSize(item->LocalType, item->LocalSize));
    std::memset(dest, 0, size);
}

void TBtrBaseTable::WriteField(TFieldCacheItem* item, const void* value)
{
    if (value) {
        TBaseTable::WriteField(item, value);
        return;
    }
    std::memset(CheckParam(item->FieldAddress), 0, item->LocalSize);
}

const Byte* TBtrBaseTable::BookmarkKey(const void* bookmark)
{
    return static_cast<const Byte*>(CheckParam(bookmark)) + BtrBookmarkKeyOffset;
}

void TBtrBaseTable::CompareBookMarks(const void* bookmark1, const void* bookmark2, Integer& result)
{
    const Cardinal position1 = PositionOf(CheckParam(bookmark1));
    const Cardinal position2 = PositionOf(CheckParam(bookmark2));
    if (position1 != 0 && position2 != 0 && position1 == position2) {
        result = 0;
        return;
    }
    TBaseTable::CompareBookMarks(bookmark1, bookmark2, result);
    if (result == 0 && position1 != 0 && position2 != 0 && !CurrentIndexUnique())
        result = position1 < position2 ? -1 : 1;
}

// ---- memo field at the end of the record

void TBtrBaseTable::AdjustWriteLength(TFieldCacheItem* item, Word textLength)
{
    SetWriteLength(Word(GetDataBufferSize() - DeclaredSize(item) + textLength));
}

void TBtrBaseTable::MemoLastFromFields()
{
    const Integer count = FieldCache()->Count();
    memoLast_ = count > 0 && FieldCache()->Item(count - 1)->Descriptor.iSubType == BtrSubType::Memo;
}

void TBtrBaseTable::ApplyMemoWriteLength(Byte* record)
{
    if (!memoLast_ || !record) return;
    TFieldCacheItem* item = FieldCache()->Field(FieldCache()->Count());
    Cardinal textLength = 0;
    GetBlobSize(record, item->FieldNumber(), textLength);
    AdjustWriteLength(item, Word(textLength));
}

void TBtrBaseTable::OpenBlob(Byte* record, Word field, Integer openMode)
{
    CheckCondition(FieldCache()->Field(field)->FieldType() == fldBLOB, DBIERR_NOTABLOB);
}

TFieldCacheItem* TBtrBaseTable::MemoField(Word field)
{
    TFieldCacheItem* item = FieldCache()->Field(field);
    CheckCondition(item->FieldSubType() == BtrSubType::Memo && DeclaredSize(item) > 0, DBIERR_INVALIDPARAM);
    return item;
}

void TBtrBaseTable::GetBlobSize(Byte* record, Word field, Cardinal& size)
{
    TFieldCacheItem* item = MemoField(field);
    item->SetAddresses(CheckParam(record));
    const Word declared = DeclaredSize(item);
    auto* text = reinterpret_cast<char*>(item->FieldAddress);
    text[declared - 1] = '\0';
    size = Cardinal(strnlen(text, declared));
}

void TBtrBaseTable::GetBlob(Byte* record, Word field, Cardinal offset, Cardinal length, void* dest, Cardinal& read)
{
    read = 0;
    CheckCondition(length > 0, DBIERR_INVALIDPARAM);
    TFieldCacheItem* item = FieldCache()->Field(field);
    CheckCondition(offset < DeclaredSize(item), DBIERR_BLOBOFFSET);
    MemoField(field);
    item->SetAddresses(CheckParam(record));
    CheckParam(dest);
    std::memset(dest, 0, length);
    const auto* text = reinterpret_cast<const char*>(item->FieldAddress) + offset;
    read = Cardinal(std::min<size_t>(strnlen(text, DeclaredSize(item) - offset), length));
    std::memcpy(dest, text, read);
    RaiseEngineError(DBIERR_ENDOFBLOB);
}

void TBtrBaseTable::PutBlob(Byte* record, Word field, Cardinal offset, Cardinal length, const void* source)
{
    try {
        TFieldCacheItem* item = MemoField(field);
        item->SetAddresses(CheckParam(record));
        const Word declared = DeclaredSize(item);
        CheckCondition(offset < declared, DBIERR_INVALIDPARAM);
        const Cardinal count = std::min<Cardinal>(length, declared - 1 - offset);
        Byte* at = item->FieldAddress + offset;
        if (source)
            std::memcpy(at, source, count);
        else
            std::memset(at, 0, count);
        at[count] = 0;
        if (item->FieldNumber() == FieldCache()->Count())
            AdjustWriteLength(item, Word(offset + count > 0 ? offset + count + 1 : 0));
    } catch (const EBoreaEngineError&) {
        RaiseEngineError(DBIERR_INVALIDPARAM);
    }
}
