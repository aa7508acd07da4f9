#include "engine/tests/support/FakeKeyedTable.h"

#include <algorithm>
#include <cstring>

#include "engine/core/BseError.h"

namespace {

template <typename T>
void Store(Byte* dest, T value)
{
    std::memcpy(dest, &value, sizeof value);
}

template <typename T>
T Load(const Byte* source)
{
    T value;
    std::memcpy(&value, source, sizeof value);
    return value;
}

}  // namespace

TFakeKeyedTable::TFakeKeyedTable(std::vector<TFakeField> fields, std::vector<TFakeIndex> indexes,
                                 TBoreaCollection* collection)
        : TBaseTable(nullptr, collection, "fake", "", 0, 0), fields_(std::move(fields)), indexes_(std::move(indexes))
{
    Word offset = 0;
    for (const TFakeField& field : fields_) {
        offsets_.push_back(offset);
        offset = Word(offset + field.Size);
    }
    RecordSize = SmallInt(offset);
    FieldCache()->Field(Integer(fields_.size()));
    if (!indexes_.empty()) SelectIndex(0);
    Open();
}

std::vector<Byte> TFakeKeyedTable::MakeRecord(const std::vector<std::string>& values) const
{
    std::vector<Byte> record(Word(RecordSize), 0);
    for (size_t i = 0; i < values.size() && i < fields_.size(); ++i) {
        const std::string& text = values[i];
        if (text.empty()) continue;
        Byte* at = record.data() + offsets_[i];
        switch (fields_[i].Type) {
        case fldZSTRING: std::memcpy(at, text.data(), std::min<size_t>(text.size(), fields_[i].Size)); break;
        case fldINT16:
        case fldBOOL: Store(at, int16_t(std::stoi(text))); break;
        case fldFLOAT: Store(at, std::stod(text)); break;
        default: Store(at, int32_t(std::stol(text))); break;
        }
    }
    return record;
}

void TFakeKeyedTable::Add(const std::vector<std::string>& values)
{
    const Integer id = records_.empty() || position_ < 0 ? -1 : records_[position_].Id;
    InsertSorted({nextId_++, MakeRecord(values)});
    if (id >= 0) position_ = PositionOf(id);
}

std::string TFakeKeyedTable::FieldText(const Byte* record, Word field) const
{
    const TFakeField& f = fields_[field - 1];
    const Byte* at = record + offsets_[field - 1];
    switch (f.Type) {
    case fldZSTRING: return std::string(reinterpret_cast<const char*>(at), strnlen(reinterpret_cast<const char*>(at), f.Size));
    case fldINT16:
    case fldBOOL: return std::to_string(Load<int16_t>(at));
    case fldFLOAT: return std::to_string(Load<double>(at));
    default: return std::to_string(Load<int32_t>(at));
    }
}

std::vector<std::string> TFakeKeyedTable::Column(Word field) const
{
    std::vector<std::string> column;
    for (const TRecord& record : records_) column.push_back(FieldText(record.Data.data(), field));
    return column;
}

void TFakeKeyedTable::SelectIndex(Word number)
{
    const TFakeIndex& index = indexes_.at(number);
    KeyFieldCount = Word(index.Fields.size());
    KeyLength = 0;
    for (Word i = 0; i < KeyFieldCount; ++i) {
        KeyFields[i] = index.Fields[i];
        KeySegments[i] = TKeySegment{};
        KeySegments[i].Descending = i < index.Descending.size() && index.Descending[i] ? 1 : 0;
        KeyLength = Word(KeyLength + fields_[index.Fields[i] - 1].Size);
    }
    Sort();
    position_ = -1;
    crack_ = false;
}

Integer TFakeKeyedTable::CompareRecords(const TRecord& a, const TRecord& b)
{
    Byte keyA[MaxKeyLength];
    Byte keyB[MaxKeyLength];
    Word length = 0;
    BuildKey(a.Data.data(), keyA, length, 0, 0);
    BuildKey(b.Data.data(), keyB, length, 0, 0);
    Integer c = 0;
    CompareKeys(keyA, keyB, c, 0, 0);
    return c;
}

void TFakeKeyedTable::Sort()
{
    std::stable_sort(records_.begin(), records_.end(),
                     [this](const TRecord& a, const TRecord& b) { return CompareRecords(a, b) < 0; });
}

Integer TFakeKeyedTable::PositionOf(Integer id) const
{
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i].Id == id) return Integer(i);
    }
    return -1;
}

Integer TFakeKeyedTable::InsertSorted(TRecord record)
{
    auto at = std::upper_bound(records_.begin(), records_.end(), record,
                               [this](const TRecord& a, const TRecord& b) { return CompareRecords(a, b) < 0; });
    return Integer(records_.insert(at, std::move(record)) - records_.begin());
}

void TFakeKeyedTable::MoveTo(Integer position)
{
    position_ = position;
    crack_ = false;
    if (Byte* buffer = GetRecordBuffer()) std::memcpy(buffer, records_[position].Data.data(), records_[position].Data.size());
}

void TFakeKeyedTable::MoveFirst()
{
    if (records_.empty()) RaiseEOF();
    MoveTo(0);
}

void TFakeKeyedTable::MoveLast()
{
    if (records_.empty()) RaiseBOF();
    MoveTo(Integer(records_.size()) - 1);
}

void TFakeKeyedTable::MoveNext()
{
    const Integer target = crack_ ? position_ : position_ + 1;
    if (target < 0 || target >= Integer(records_.size())) RaiseEOF();
    MoveTo(target);
}

void TFakeKeyedTable::MovePrior()
{
    const Integer target = position_ - 1;
    if (target < 0 || target >= Integer(records_.size())) RaiseBOF();
    MoveTo(target);
}

void TFakeKeyedTable::SeekKey(Word condition, bool keyItself, Byte* record, const Byte* key, Word length,
                              Word fieldCount)
{
    SeekConditions.push_back(condition);
    Byte wanted[MaxKeyLength] = {};
    Word wantedLength = 0;
    if (keyItself)
        std::memcpy(wanted, CheckParam(key), KeyLength);
    else
        BuildKey(CheckParam(key), wanted, wantedLength, length, fieldCount);
    Integer found = -1;
    for (Integer i = 0; i < Integer(records_.size()); ++i) {
        Byte recordKey[MaxKeyLength];
        BuildKey(records_[i].Data.data(), recordKey, wantedLength, length, fieldCount);
        Integer c = 0;
        CompareKeys(recordKey, wanted, c, length, fieldCount);
        const bool fits = condition == skEqual ? c == 0
                : condition == skGreaterOrEqual ? c >= 0
                : condition == skGreater        ? c > 0
                : condition == skLess           ? c < 0
                                                : c <= 0;
        if (!fits) continue;
        found = i;
        if (condition == skEqual || condition == skGreaterOrEqual || condition == skGreater) break;
    }
    if (found < 0) {
        if (condition == skEqual) RaiseEngineError(DBIERR_RECNOTFOUND);
        if (condition == skLess || condition == skLessOrEqual) RaiseBOF();
        RaiseEOF();
    }
    position_ = found;
    crack_ = false;
    if (record) std::memcpy(record, records_[found].Data.data(), records_[found].Data.size());
    SetState(curOnRecord);
}

void TFakeKeyedTable::BuildKey(const Byte* record, Byte* key, Word& keyLength, Word length, Word fieldCount)
{
    Word count = fieldCount != 0 ? fieldCount : length != 0 ? 1 : KeyFieldCount;
    count = std::min(count, KeyFieldCount);
    std::memset(key, 0, KeyLength);
    keyLength = 0;
    for (Word i = 0; i < count; ++i) {
        const Word field = KeyFields[i];
        Word size = fields_[field - 1].Size;
        if (i + 1 == count && length != 0) size = std::min(size, length);
        std::memcpy(key + keyLength, record + offsets_[field - 1], size);
        keyLength = Word(keyLength + size);
    }
}

void TFakeKeyedTable::GetBookMark(void* bookmark)
{
    if (position_ < 0 || crack_ || position_ >= Integer(records_.size())) RaiseEngineError(DBIERR_NOCURRREC);
    auto* bytes = static_cast<Byte*>(bookmark);
    std::memset(bytes, 0, GetBookmarkSize());
    Store(bytes, records_[position_].Id);
    Word length = 0;
    BuildKey(records_[position_].Data.data(), bytes + 4, length, 0, 0);
}

void TFakeKeyedTable::SetToBookMark(const void* bookmark)
{
    const auto* bytes = static_cast<const Byte*>(CheckParam(bookmark));
    const Integer position = PositionOf(Load<Integer>(bytes));
    if (position >= 0) {
        position_ = position;
        crack_ = false;
        SetState(curOnRecord);
        return;
    }
    try {
        SeekKey(skGreaterOrEqual, true, nullptr, bytes + 4, 0, 0);
    } catch (const EBoreaBoundryError&) {
        SetToEnd();
    }
}

void TFakeKeyedTable::ReadAtBookmark(const void* bookmark, Byte* record, Integer lock)
{
    ReadLocks.push_back(lock);
    const Integer position = PositionOf(Load<Integer>(static_cast<const Byte*>(CheckParam(bookmark))));
    if (position < 0) RaiseEngineError(DBIERR_RECNOTFOUND);
    position_ = position;
    crack_ = false;
    if (record) std::memcpy(record, records_[position].Data.data(), records_[position].Data.size());
    SetState(curOnRecord);
}

const Byte* TFakeKeyedTable::BookmarkKey(const void* bookmark)
{
    return static_cast<const Byte*>(CheckParam(bookmark)) + 4;
}

void TFakeKeyedTable::GetFieldDesc(Word number, const void* source, Word& localSize, Word& localType,
                                   FLDDesc& descriptor)
{
    CheckCondition(number >= 1 && number <= fields_.size(), DBIERR_INVALIDRECSTRUCT);
    const TFakeField& field = fields_[number - 1];
    descriptor = FLDDesc{};
    descriptor.iFldNum = number;
    std::strncpy(descriptor.szName, field.Name.c_str(), DBIMAXNAMELEN);
    descriptor.iFldType = field.Type;
    descriptor.iUnits1 = SmallInt(field.Size);
    descriptor.iOffset = offsets_[number - 1];
    descriptor.iLen = field.Size;
    localSize = field.Size;
    localType = field.Type;
}

void TFakeKeyedTable::ConvertToLogical(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                       const Byte* source, void* dest, bool& blank)
{
    auto* out = static_cast<Byte*>(dest);
    std::memcpy(out, source, localSize);
    if (localType == fldZSTRING) {
        out[localSize] = 0;
        blank = std::all_of(source, source + localSize, [](Byte b) { return b == 0; });
    } else {
        blank = false;
    }
}

void TFakeKeyedTable::ConvertToNative(Word localType, Word localSize, SmallInt units2, Word fieldLength,
                                      const void* value, Byte* dest)
{
    std::memset(dest, 0, localSize);
    if (!value) return;
    if (localType == fldZSTRING)
        std::memcpy(dest, value, strnlen(static_cast<const char*>(value), localSize));
    else
        std::memcpy(dest, value, localSize);
}

void TFakeKeyedTable::ReadField(TFieldCacheItem* item, Byte* record, bool& blank, void* dest)
{
    ++FieldReads;
    if (FailingField != 0 && item->FieldNumber() == FailingField) RaiseEngineError(DBIERR_READERR);
    TBaseTable::ReadField(item, record, blank, dest);
}

void TFakeKeyedTable::GetIndexDesc(Word number, IDXDesc& descriptor)
{
    descriptor = IDXDesc{};
    CheckCondition(number < indexes_.size(), DBIERR_NOSUCHINDEX);
    const TFakeIndex& index = indexes_[number];
    std::strncpy(descriptor.szName, index.Name.c_str(), DBIMAXTBLNAMELEN);
    descriptor.iIndexId = number;
    descriptor.iFldsInKey = Word(index.Fields.size());
    for (size_t i = 0; i < index.Fields.size(); ++i) {
        descriptor.aiKeyFld[i] = index.Fields[i];
        descriptor.iKeyLen = Word(descriptor.iKeyLen + fields_[index.Fields[i] - 1].Size);
    }
}

void TFakeKeyedTable::InsertRecord(Integer lock, Byte* record)
{
    std::vector<Byte> data(record, record + Word(RecordSize));
    position_ = InsertSorted({nextId_++, std::move(data)});
    crack_ = false;
    SetState(curOnRecord);
}

void TFakeKeyedTable::ModifyRecord(Byte* record, bool freeLock)
{
    if (position_ < 0 || crack_ || position_ >= Integer(records_.size())) RaiseEngineError(DBIERR_NOCURRREC);
    const Integer id = records_[position_].Id;
    records_[position_].Data.assign(record, record + Word(RecordSize));
    Sort();
    position_ = PositionOf(id);
}

void TFakeKeyedTable::DeleteRecord(Byte* record)
{
    if (position_ < 0 || crack_ || position_ >= Integer(records_.size())) RaiseEngineError(DBIERR_NOCURRREC);
    if (!LockedValue.empty() && FieldText(records_[position_].Data.data(), 1) == LockedValue)
        RaiseEngineError(DBIERR_LOCKED);
    records_.erase(records_.begin() + position_);
    crack_ = true;
    SetState(curCrack);
}
