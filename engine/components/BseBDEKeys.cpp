// TbqBDEDataset: the active index, the key buffers and key ranges.
#include <cstring>

#include "db/DBConsts.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseTable.h"


// --- Index information ---------------------------------------------------------------------------------------------

void TbqBDEDataset::GetIndexInfo()
{
    IDXDesc descriptor{};
    if (Engine()->GetIndexDesc(handle_, 0, descriptor) != 0) return;
    ReadIndexFlags(descriptor);
}

void TbqBDEDataset::ReadIndexFlags(const IDXDesc& descriptor)
{
    expIndex_ = descriptor.bExpIdx != 0;
    caseInsIndex_ = descriptor.bCaseInsensitive != 0;
    if (!expIndex_) {
        indexFieldCount_ = descriptor.iFldsInKey;
        std::memcpy(indexFieldMap_, descriptor.aiKeyFld, sizeof(indexFieldMap_));
    }
    keySize_ = descriptor.iKeyLen;
}

void TbqBDEDataset::ClearIndexInfo()
{
    indexFieldCount_ = 0;
    keySize_ = 0;
    expIndex_ = false;
    caseInsIndex_ = false;
}

TField* TbqBDEDataset::IndexField(Integer index)
{
    if (index < 0 || index >= indexFieldCount_) DatabaseError(dbconsts::SFieldIndexError, this);
    const Word fieldNo = indexFieldMap_[index];
    TField* field = FieldByNumber(fieldNo);
    if (!field) {
        const std::string name = fieldNo >= 1 && fieldNo <= FieldDefs()->Count()
                                     ? FieldDefs()->Items(fieldNo - 1)->Name
                                     : std::string();
        DatabaseErrorFmt("Cannot access index field '%s'", {name}, this);
    }
    return field;
}

void TbqBDEDataset::SetIndexField(Integer index, TField* value)
{
    IndexField(index)->Assign(value);
}

bool TbqBDEDataset::GetIsIndexField(TField* field)
{
    if (field->FieldNo() <= 0) return false;
    for (Integer i = 0; i < indexFieldCount_; ++i)
        if (indexFieldMap_[i] == field->FieldNo()) return true;
    return false;
}

bool TbqBDEDataset::MapsToIndex(const std::vector<TField*>& fields, bool caseInsensitive) const
{
    if (caseInsensitive != caseInsIndex_ || Integer(fields.size()) > indexFieldCount_) return false;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i]->FieldNo() != indexFieldMap_[i]) return false;
    return true;
}

// --- Key buffers ---------------------------------------------------------------------------------------------------

TbqKeyHeader* TbqBDEDataset::KeyBuffer(TbqKeyIndex index) const
{
    return reinterpret_cast<TbqKeyHeader*>(const_cast<Byte*>(keyBuffers_.at(index).data()));
}

Byte* TbqBDEDataset::KeyRecord(TbqKeyIndex index) const
{
    return reinterpret_cast<Byte*>(KeyBuffer(index)) + sizeof(TbqKeyHeader);
}

TbqKeyHeader* TbqBDEDataset::InitKeyBuffer(TbqKeyIndex index)
{
    std::vector<Byte>& buffer = keyBuffers_.at(index);
    std::fill(buffer.begin(), buffer.end(), Byte(0));
    Engine()->InitRecord(handle_, KeyRecord(index));
    return KeyBuffer(index);
}

void TbqBDEDataset::AllocKeyBuffers()
{
    try {
        keyBuffers_.assign(kiCount, std::vector<Byte>(sizeof(TbqKeyHeader) + recordSize_));
        for (Integer i = 0; i < kiCount; ++i) InitKeyBuffer(TbqKeyIndex(i));
    } catch (...) {
        FreeKeyBuffers();
        throw;
    }
}

void TbqBDEDataset::FreeKeyBuffers()
{
    keyBuffers_.clear();
}

void TbqBDEDataset::SetKeyFields(TbqKeyIndex keyIndex, const std::vector<TVarRec>& values)
{
    if (expIndex_) DatabaseError("Cannot use array of Field values with Expression Indices", this);
    if (indexFieldCount_ == 0) DatabaseError(dbconsts::SNoFieldIndexes, this);
    const bool wasModified = Modified();
    const TDataSetState saved = SetTempState(dsSetKey);
    SetModified(false);
    try {
        keyBuffer_ = keyIndex;
        TbqKeyHeader* header = InitKeyBuffer(keyIndex);
        for (size_t i = 0; i < values.size(); ++i) IndexField(Integer(i))->AssignValue(values[i]);
        header->FieldCount = Integer(values.size());
        header->Modified = Modified();
    } catch (...) {
        RestoreState(saved);
        SetModified(wasModified);
        throw;
    }
    RestoreState(saved);
    SetModified(wasModified);
}

void TbqBDEDataset::SetLinkRanges(const std::vector<TField*>& masterFields)
{
    const TDataSetState saved = SetTempState(dsSetKey);
    try {
        keyBuffer_ = kiRangeStart;
        TbqKeyHeader* header = InitKeyBuffer(kiRangeStart);
        header->Modified = true;
        for (size_t i = 0; i < masterFields.size(); ++i) IndexField(Integer(i))->Assign(masterFields[i]);
        header->FieldCount = Integer(masterFields.size());
    } catch (...) {
        RestoreState(saved);
        throw;
    }
    RestoreState(saved);
    keyBuffers_.at(kiRangeEnd) = keyBuffers_.at(kiRangeStart);
}

// --- Ranges --------------------------------------------------------------------------------------------------------

bool TbqBDEDataset::SetCursorRange()
{
    if (keyBuffers_.at(kiRangeStart) == keyBuffers_.at(kiCurRangeStart) &&
        keyBuffers_.at(kiRangeEnd) == keyBuffers_.at(kiCurRangeEnd))
        return false;
    std::vector<Byte> keys(size_t(keySize_) * 2, 0);
    Byte* startKey = nullptr;
    Byte* endKey = nullptr;
    bool direct = true;
    if (KeyBuffer(kiRangeStart)->Modified) {
        startKey = KeyRecord(kiRangeStart);
        direct = Engine()->ExtractKey(handle_, startKey, keys.data()) == 0 && direct;
    }
    if (KeyBuffer(kiRangeEnd)->Modified) {
        endKey = KeyRecord(kiRangeEnd);
        direct = Engine()->ExtractKey(handle_, endKey, keys.data() + keySize_) == 0 && direct;
    }
    if (direct) {
        if (startKey) startKey = keys.data();
        if (endKey) endKey = keys.data() + keySize_;
    }
    const TbqKeyHeader* start = KeyBuffer(kiRangeStart);
    const TbqKeyHeader* end = KeyBuffer(kiRangeEnd);
    Check(Engine()->SetRange(handle_, direct, Word(start->FieldCount), 0, startKey, !start->Exclusive,
                             Word(end->FieldCount), 0, endKey, !end->Exclusive));
    keyBuffers_.at(kiCurRangeStart) = keyBuffers_.at(kiRangeStart);
    keyBuffers_.at(kiCurRangeEnd) = keyBuffers_.at(kiRangeEnd);
    DestroyLookupCursor();
    return true;
}

bool TbqBDEDataset::ResetCursorRange()
{
    if (!KeyBuffer(kiCurRangeStart)->Modified && !KeyBuffer(kiCurRangeEnd)->Modified) return false;
    Check(Engine()->ResetRange(handle_));
    InitKeyBuffer(kiCurRangeStart);
    InitKeyBuffer(kiCurRangeEnd);
    DestroyLookupCursor();
    return true;
}

void TbqBDEDataset::SwitchToIndex(const std::string& indexName, const std::string& /*tagName*/)
{
    ResetCursorRange();
    UpdateCursorPos();
    Word result = Engine()->SwitchToIndex(handle_, indexName, true);
    if (result == DBIERR_NOCURRREC) result = Engine()->SwitchToIndex(handle_, indexName, false);
    Check(result);
    ClearIndexInfo();
    RebuildBuffers();
    GetIndexInfo();
}
