// The abstract cursor's fields, value and key comparison, index names, properties and filter bookkeeping.
#include <algorithm>
#include <cstring>

#include "engine/core/BseError.h"
#include "engine/core/BseFilt.h"
#include "engine/core/BseTable.h"
#include "engine/core/BseUtil.h"
#include "rtl/FlagRaised.h"
#include "rtl/StrBuf.h"

namespace {

constexpr Word PropertyCursorKind = 0;
constexpr Word PropertyCursorName = 1;
constexpr Word PropertyCursorFlags = 5;
constexpr Word PropertyMakeCrack = 20;
constexpr Word CursorKindValue = 20;
constexpr Word FieldScratchSize = 256;

template <typename T>
T Load(const void* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

template <typename T>
Integer Order(T a, T b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

template <typename T>
Integer OrderLoaded(const void* a, const void* b)
{
    return Order(Load<T>(a), Load<T>(b));
}

Integer Sign(Integer c)
{
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool Truth(const void* value, Word length, bool& known)
{
    known = true;
    switch (length) {
    case 1: return Load<Byte>(value) != 0;
    case 2: return Load<Word>(value) != 0;
    case 4: return Load<Cardinal>(value) != 0;
    default: known = false; return false;
    }
}

Integer CompareBooleans(const void* a, const void* b, Word length)
{
    bool knownA = false;
    bool knownB = false;
    const bool truthA = Truth(a, length, knownA);
    const bool truthB = Truth(b, length, knownB);
    if (!knownA || !knownB) return 0;
    return truthA == truthB ? 0 : 1;
}

// A BCD value as its sign and its digits before and after the point, without insignificant zeros.
struct TBcdDigits {
    bool Negative = false;
    std::string Whole;
    std::string Fraction;
};

TBcdDigits DecodeBcd(const Byte* bcd)
{
    const Byte precision = std::min<Byte>(bcd[0], 64);
    const Byte places = std::min<Byte>(bcd[1] & 0x3F, precision);
    std::string digits;
    for (Byte i = 0; i < precision; ++i) {
        const Byte nibble = (bcd[2 + i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0x0F;
        digits += char('0' + std::min<Byte>(nibble, 9));
    }
    TBcdDigits value;
    value.Whole = digits.substr(0, precision - places);
    value.Fraction = digits.substr(precision - places);
    value.Whole.erase(0, std::min(value.Whole.find_first_not_of('0'), value.Whole.size()));
    const size_t lastDigit = value.Fraction.find_last_not_of('0');
    value.Fraction.resize(lastDigit == std::string::npos ? 0 : lastDigit + 1);
    value.Negative = (bcd[1] & 0x80) != 0 && !(value.Whole.empty() && value.Fraction.empty());
    return value;
}

Integer CompareBcd(const void* a, const void* b)
{
    const TBcdDigits x = DecodeBcd(static_cast<const Byte*>(a));
    const TBcdDigits y = DecodeBcd(static_cast<const Byte*>(b));
    if (x.Negative != y.Negative) return x.Negative ? -1 : 1;
    Integer magnitude = Order(x.Whole.size(), y.Whole.size());
    if (magnitude == 0) magnitude = Sign(x.Whole.compare(y.Whole));
    if (magnitude == 0) magnitude = Sign(x.Fraction.compare(y.Fraction));
    return x.Negative ? -magnitude : magnitude;
}

Integer CompareStrings(const void* a, const void* b, Word length, bool caseInsensitive)
{
    const auto* x = static_cast<const char*>(a);
    const auto* y = static_cast<const char*>(b);
    return Sign(caseInsensitive ? StrLIComp(x, y, length) : StrLComp(x, y, length));
}

// The descriptor a caller is given: the cached one with the local size in its last word.
FLDDesc ExportedDescriptor(const TFieldCacheItem* item)
{
    FLDDesc descriptor = item->Descriptor;
    descriptor.iUnUsed[1] = item->LocalSize;
    return descriptor;
}

}  // namespace

// ---- properties

void TBaseTable::PutPropValue(void* buffer, Word& length, Word maxLength, const void* value, Word size)
{
    CheckParam(buffer);
    CheckCondition(maxLength >= size, DBIERR_INVALIDPARAM);
    std::memcpy(buffer, value, size);
    length = size;
}

void TBaseTable::GetProp(Cardinal property, void* buffer, Word& length, Word maxLength)
{
    switch (Word(property)) {
    case PropertyCursorKind: PutPropValue(buffer, length, maxLength, &CursorKindValue, sizeof(Word)); break;
    case PropertyCursorName: length = 0; break;
    case PropertyCursorFlags: {
        const Integer none = 0;
        PutPropValue(buffer, length, maxLength, &none, sizeof none);
        break;
    }
    default: RaiseEngineError(DBIERR_NOTSUPPORTED);
    }
}

void TBaseTable::SetProp(Cardinal property, uintptr_t value)
{
    if (Word(property) == PropertyMakeCrack) state_ = curCrack;
}

void TBaseTable::CheckProp(Cardinal property, bool flag)
{
    const Word low = Word(property);
    if (!flag && (low == PropertyCursorKind || low == PropertyCursorName)) RaiseEngineError(DBIERR_NOTSUPPORTED);
}

// ---- record and field descriptions

Word TBaseTable::GetRecordBufferSize()
{
    Word size = GetRecordLength();
    if (HasFieldStates()) size = Word(size + sizeof(TFieldState) * fieldCache_->Count() + 1);
    return size;
}

void TBaseTable::GetRecordSize(Word& fieldCount, Word& recordSize)
{
    fieldCount = Word(fieldCache_->Count());
    CheckCondition(fieldCount > 0, DBIERR_INVALIDRECSTRUCT);
    if (maxRecordSize_ == 0) {
        for (Integer i = 0; i < fieldCache_->Count(); ++i) {
            const FLDDesc& d = fieldCache_->Item(i)->Descriptor;
            maxRecordSize_ = std::max<Word>(maxRecordSize_, Word(d.iOffset + d.iLen));
        }
    }
    recordSize = maxRecordSize_;
}

void TBaseTable::GetFieldDesc(Word number, const void* source, Word& localSize, Word& localType,
                              FLDDesc& descriptor)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseTable::GetFieldDescByOffset(Word position, Word length, FLDDesc& descriptor)
{
    const TFieldCacheItem* found = nullptr;
    for (Integer i = 0; i < fieldCache_->Count(); ++i) {
        const TFieldCacheItem* item = fieldCache_->Item(i);
        if (item->Descriptor.iOffset + 1 != position) continue;
        found = item;
        if (item->FieldLength() == length) break;
    }
    if (!found) RaiseEngineErrorText(DBIERR_INVALIDRECSTRUCT, "Table: " + GetTableName());
    descriptor = ExportedDescriptor(found);
}

void TBaseTable::GetFieldDescs(FLDDesc* descriptors)
{
    CheckParam(descriptors);
    for (Integer i = 0; i < fieldCache_->Count(); ++i) descriptors[i] = ExportedDescriptor(fieldCache_->Item(i));
}

void TBaseTable::GetCursorProps(CURProps& properties)
{
    std::memset(&properties, 0, sizeof properties);
    Word fieldCount = 0;
    Word recordSize = 0;
    GetRecordSize(fieldCount, recordSize);
    properties.iFields = fieldCount;
    properties.iRecSize = recordSize;
    properties.iRecBufSize = HasFieldStates() ? GetRecordBufferSize() : recordSize;
    properties.iKeySize = KeyLength;
    properties.iBookMarkSize = GetBookmarkSize();
    properties.bBookMarkStable = shareMode_ == 1 ? -1 : 0;
    properties.eOpenMode = openMode_;
    properties.eShareMode = shareMode_;
    properties.iSeqNums = -1;
    properties.exltMode = 0;
    properties.bUniDirectional = -1;
    properties.eprvRights = 255;
    properties.iFilters = Word(filters_->Count());
}

void TBaseTable::GetIndexDesc(Word number, IDXDesc& descriptor)
{
    std::memset(&descriptor, 0, sizeof descriptor);
    RaiseEngineError(DBIERR_INVALIDHNDL);
}

void TBaseTable::GetIndexDescs(IDXDesc* descriptors)
{
    CheckParam(descriptors);
    CURProps properties{};
    GetCursorProps(properties);
    const TFlagRaised listing(listingIndexes_);
    for (Word i = 0; i < properties.iIndexes; ++i) {
        std::memset(&descriptors[i], 0, sizeof(IDXDesc));
        GetIndexDesc(i, descriptors[i]);
    }
}

// ---- field values

void TBaseTable::ConvertToLogical(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                  const Byte* source, void* dest, bool& blank)
{
    blank = false;
}

void TBaseTable::ReadField(TFieldCacheItem* item, Byte* record, bool& blank, void* dest)
{
    CheckParam(record);
    item->SetAddresses(record);
    blank = item->IsBlankByIndicator();
    if (blank || !dest) return;
    ConvertToLogical(item->LocalType, item->LocalSize, item->FieldUnits2(), item->FieldLength(), item->FieldAddress,
                     dest, blank);
}

void TBaseTable::WriteField(TFieldCacheItem* item, const void* value)
{
    ConvertToNative(item->LocalType, item->LocalSize, item->FieldUnits2(), item->FieldLength(), value,
                    item->FieldAddress);
}

void TBaseTable::GetField(Word fieldNumber, Byte* record, bool& blank, void* dest)
{
    CheckParam(record);
    TFieldCacheItem* item = fieldCache_->Field(fieldNumber);
    item->SetAddresses(record);
    if (dest) {
        ReadField(item, record, blank, dest);
    } else if (HasFieldStates()) {
        blank = item->IsBlankByIndicator();
        return;
    } else {
        std::vector<Byte> scratch(std::max<size_t>(FieldScratchSize, item->FieldLength() + 1u));
        ReadField(item, record, blank, scratch.data());
    }
    item->SetBlankIndicator(blank);
}

void TBaseTable::PutField(Word fieldNumber, Byte* record, const void* value)
{
    CheckParam(record);
    TFieldCacheItem* item = fieldCache_->Field(fieldNumber);
    item->SetAddresses(record);
    WriteField(item, value);
    item->SetChanged(true);
    item->SetBlankIndicator(value == nullptr);
}

void TBaseTable::VerifyField(Word fieldNumber, const void* value, bool& blank)
{
    TFieldCacheItem* item = fieldCache_->Field(fieldNumber);
    blank = true;
    if (!value) return;
    std::vector<Byte> native(std::max<size_t>(item->LocalSize, 1));
    std::vector<Byte> logical(std::max<size_t>(FieldScratchSize, item->FieldLength() + 1u));
    ConvertToNative(item->LocalType, item->LocalSize, item->FieldUnits2(), item->FieldLength(), value,
                    native.data());
    blank = false;
    ConvertToLogical(item->LocalType, item->LocalSize, item->FieldUnits2(), item->FieldLength(), native.data(),
                     logical.data(), blank);
}

void TBaseTable::InitRecord(Byte* record)
{
    CheckParam(record);
    std::memset(record, 0, GetRecordBufferSize());
    if (HasFieldStates()) fieldCache_->SetRecordAddresses(record);
    SetLastInitRecord(record);
}

// ---- comparison

Integer TBaseTable::CompareValues(Word logicalType, TFieldCacheItem* item, const void* value1, const void* value2,
                                  bool caseInsensitive, Word length)
{
    switch (logicalType) {
    case fldZSTRING: return CompareStrings(value1, value2, length, caseInsensitive);
    case fldBOOL: return CompareBooleans(value1, value2, length);
    case fldINT16:
        if (length == 1) return OrderLoaded<int8_t>(value1, value2);
        return length == 2 ? OrderLoaded<int16_t>(value1, value2) : 0;
    case fldUINT16:
        if (length == 1) return OrderLoaded<uint8_t>(value1, value2);
        return length == 2 ? OrderLoaded<uint16_t>(value1, value2) : 0;
    case fldINT32:
    case fldDATE:
    case fldTIME: return OrderLoaded<int32_t>(value1, value2);
    case fldUINT32: return OrderLoaded<uint32_t>(value1, value2);
    case fldFLOAT:
    case fldTIMESTAMP: return OrderLoaded<double>(value1, value2);
    case fldINT64: return OrderLoaded<int64_t>(value1, value2);
    case fldUINT64: return OrderLoaded<uint64_t>(value1, value2);
    case fldBCD: return CompareBcd(value1, value2);
    default: return CompareBytes(value1, value2, length);
    }
}

Integer TBaseTable::CompareKeyField(Word keyIndex, const Byte* key1, const Byte* key2, Word size, bool ownType)
{
    TFieldCacheItem* item = fieldCache_->Field(KeyFields[keyIndex]);
    const TKeySegment& segment = KeySegments[keyIndex];
    const Word localType = item->LocalType;
    if (ownType) item->LocalType = Word(segment.SegmentType);
    Integer result = 0;
    try {
        result = CompareValues(item->FieldType(), item, key1, key2, false, size);
    } catch (...) {
        item->LocalType = localType;
        throw;
    }
    item->LocalType = localType;
    return segment.Descending && result != 0 ? (result > 0 ? -1 : 1) : result;
}

void TBaseTable::CompareKeys(const Byte* key1, const Byte* key2, Integer& result, Word length, Word fieldCount)
{
    result = 0;
    CheckParam(key1);
    if (!key2) key2 = CheckParam(recordBuffer_);
    Word count = fieldCount != 0 ? fieldCount : length != 0 ? 1 : KeyFieldCount;
    count = std::min<Word>(count, std::min<Word>(KeyFieldCount, MaxKeySegments));
    size_t offset = 0;
    for (Word i = 0; i < count && result == 0; ++i) {
        const bool partial = i + 1 == count && length != 0;
        const bool ownType = !partial && KeySegments[i].HasOwnType != 0;
        Word size = 0;
        if (partial)
            size = length;
        else if (ownType)
            size = Word(KeySegments[i].SegmentSize);
        else
            size = fieldCache_->Field(KeyFields[i])->LocalSize;
        CheckCondition(offset + size <= MaxKeyLength, DBIERR_INVALIDPARAM);
        result = CompareKeyField(i, key1 + offset, key2 + offset, size, ownType);
        offset += size;
    }
}

void TBaseTable::ExtractKey(const Byte* record, Byte* key)
{
    Word keyLength = 0;
    BuildKey(record, key, keyLength, 0, 0);
}

void TBaseTable::SeekKey(Word condition, bool keyItself, Byte* record, const Byte* key, Word length,
                         Word fieldCount)
{
    RaiseEngineError(DBIERR_NA);
}

void TBaseTable::BuildKey(const Byte* record, Byte* key, Word& keyLength, Word length, Word fieldCount)
{
    RaiseEngineError(DBIERR_NA);
}

void TBaseTable::IndexNumberFromName(const std::string& name, Word& number, std::string* nameDest)
{
    if (name.find('@') == std::string::npos) {
        if (nameDest) *nameDest = name.substr(0, DBIMAXNAMELEN);
        return;
    }
    std::vector<Word> fields;
    for (size_t open = name.find('@'); open != std::string::npos;) {
        const size_t close = name.find('@', open + 1);
        if (close == std::string::npos) break;
        fields.push_back(fieldCache_->FieldNumberByName(name.substr(open + 1, close - open - 1)));
        open = name.find('@', close + 1);
    }
    CheckCondition(!fields.empty(), DBIERR_INVALIDINDEXNAME);
    // The keys are walked in order, as a listing does: key numbers may have gaps.
    for (Word index = 0;; ++index) {
        IDXDesc descriptor{};
        {
            const TFlagRaised listing(listingIndexes_);
            GetIndexDesc(index, descriptor);
        }
        if (descriptor.iFldsInKey != fields.size()) continue;
        if (!std::equal(fields.begin(), fields.end(), descriptor.aiKeyFld)) continue;
        if (nameDest) *nameDest = std::string(descriptor.szName, strnlen(descriptor.szName, DBIMAXNAMELEN));
        number = descriptor.iIndexId;
        return;
    }
}

// ---- filters

void TBaseTable::UpdateFiltersActive()
{
    filtersActive_ = false;
    for (Integer i = 0; i < filters_->Count(); ++i) {
        if (static_cast<TFilterListItem*>(filters_->Items(i))->Active()) filtersActive_ = true;
    }
}

TFilterListItem* TBaseTable::AddFilter(uintptr_t clientData, Word priority, bool canAbort, const Byte* expression,
                                       TFilterCallback callback)
{
    auto* filter = new TFilterListItem(this, clientData, priority, canAbort, expression, callback);
    filters_->Insert(filter);
    UpdateFiltersActive();
    return filter;
}

void TBaseTable::DropFilter(TFilterListItem* filter)
{
    if (!filter) {
        filters_->FreeAll();
    } else if (filters_->IndexOf(filter) >= 0) {
        filters_->Delete(filter);
        filter->Free();
    }
    UpdateFiltersActive();
}

void TBaseTable::ActivateFilter(TFilterListItem* filter)
{
    if (filter) {
        CheckCondition(filters_->IndexOf(filter) >= 0, DBIERR_NOSUCHFILTER);
        filter->SetActive(true);
    } else {
        for (Integer i = 0; i < filters_->Count(); ++i)
            static_cast<TFilterListItem*>(filters_->Items(i))->SetActive(true);
    }
    UpdateFiltersActive();
}

void TBaseTable::DeactivateFilter(TFilterListItem* filter)
{
    if (filter) {
        CheckCondition(filters_->IndexOf(filter) >= 0, DBIERR_NOSUCHFILTER);
        filter->SetActive(false);
    } else {
        for (Integer i = 0; i < filters_->Count(); ++i)
            static_cast<TFilterListItem*>(filters_->Items(i))->SetActive(false);
    }
    UpdateFiltersActive();
}

void TBaseTable::GetFilterInfo(TFilterListItem* filter, FILTERInfo& info)
{
    if (!filter) {
        std::memset(&info, 0, sizeof info);
        if (filters_->Count() > 0)
            FillFilterInfo(static_cast<TFilterListItem*>(filters_->Items(0)), 0, info);
        return;
    }
    const Integer index = filters_->IndexOf(filter);
    CheckCondition(index >= 0, DBIERR_NOSUCHFILTER);
    FillFilterInfo(filter, Word(index), info);
}
