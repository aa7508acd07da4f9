#include "engine/core/BseCache.h"

#include <algorithm>
#include <cstring>

#include "engine/core/BseError.h"

namespace {

// The wrapped cursor's properties; zeros (open and share mode 0) when it cannot give them.
CURProps PropertiesOf(TBaseTable* cursor)
{
    CURProps properties{};
    try {
        cursor->GetCursorProps(properties);
    } catch (const EBoreaEngineError&) {
        properties = CURProps{};
    }
    return properties;
}

void PutValue(void* buffer, Word& length, Word maxLength, const void* value, Word size)
{
    length = std::min(size, maxLength);
    std::memcpy(CheckParam(buffer), value, length);
}

}  // namespace

TBaseCacheTable::TBaseCacheTable(TBaseTable* wrapped)
        : TBaseTable(CheckWrapped(wrapped)->Owner(), wrapped->Collection(), wrapped->GetTableName(), "",
                     PropertiesOf(wrapped).eOpenMode, PropertiesOf(wrapped).eShareMode),
          wrapped_(wrapped)
{
    bookmarkBuffer_.assign(wrapped->GetBookmarkSize(), 0);
    SetState(wrapped->State());
}

TBaseTable* TBaseCacheTable::CheckWrapped(TBaseTable* wrapped)
{
    CheckHandle(wrapped);
    return wrapped;
}

#define DUN_CACHE_DEFINE(result, name, parameters, arguments) \
    result TBaseCacheTable::name parameters { return wrapped_->name arguments; }
DUN_CACHE_FORWARDED(DUN_CACHE_DEFINE)
#undef DUN_CACHE_DEFINE

void TBaseCacheTable::AfterCreate()
{
    const CURProps properties = PropertiesOf(wrapped_);
    std::vector<FLDDesc> descriptors(properties.iFields);
    if (!descriptors.empty()) wrapped_->GetFieldDescs(descriptors.data());
    cache_ = CreateObject<TMemTable>(this, wrapped_, descriptors.data(), wrapped_->GetBookmarkSize(),
                                     properties.iFields, wrapped_->GetTableName(), nullptr);
}

void TBaseCacheTable::BeforeDestroy()
{
    if (cache_) cache_->Free();
    cache_ = nullptr;
}

// ---- properties

void TBaseCacheTable::GetProp(Cardinal property, void* buffer, Word& length, Word maxLength)
{
    switch (Word(property)) {
    case PropertyDisplayOptions: PutValue(buffer, length, maxLength, &displayOptions_, 1); break;
    case PropertyReadOldRecord: {
        const Byte value = readOldRecord_ ? 1 : 0;
        PutValue(buffer, length, maxLength, &value, 1);
        break;
    }
    case PropertyCachedRecords: {
        Integer count = 0;
        cache_->GetRecordCount(count);
        PutValue(buffer, length, maxLength, &count, sizeof count);
        break;
    }
    default: wrapped_->GetProp(property, buffer, length, maxLength);
    }
}

void TBaseCacheTable::SetProp(Cardinal property, uintptr_t value)
{
    switch (Word(property)) {
    case PropertyDisplayOptions: displayOptions_ = Byte(value); break;
    case PropertyReadOldRecord: readOldRecord_ = intptr_t(value) > 0; break;
    default: wrapped_->SetProp(property, value);
    }
}

// ---- reading through the cache

bool TBaseCacheTable::FindCachedRecord()
{
    try {
        wrapped_->GetBookMark(bookmarkBuffer_.data());
        cache_->SetToBookMark(bookmarkBuffer_.data());
    } catch (const EBoreaEngineError&) {
        return false;
    }
    return true;
}

bool TBaseCacheTable::MergeCachedRecord(Byte* record, RECProps* properties)
{
    const bool found = FindCachedRecord();
    if (!cache_->IsRecordVisible(displayOptions_, found)) return false;
    if (!found) {
        if (properties) *properties = RECProps{};
        return true;
    }
    const TMemTableRecord* cached = cache_->CurrentRecord();
    if (!readOldRecord_ && record && !cached->Data.empty())
        std::memcpy(record, cached->Data.data(), std::min<size_t>(cached->Data.size(), wrapped_->GetRecordBufferSize()));
    if (properties) *properties = cached->Properties;
    return true;
}

template <class Step>
void TBaseCacheTable::StepToShownRecord(Step step, Byte* record, RECProps* properties)
{
    do {
        step();
    } while (!MergeCachedRecord(record, properties));
}

void TBaseCacheTable::GetNextRecord(Integer lock, Byte* record, RECProps* properties)
{
    StepToShownRecord([&] { wrapped_->GetNextRecord(lock, record, properties); }, record, properties);
}

void TBaseCacheTable::GetPriorRecord(Integer lock, Byte* record, RECProps* properties)
{
    StepToShownRecord([&] { wrapped_->GetPriorRecord(lock, record, properties); }, record, properties);
}

void TBaseCacheTable::GoFirst()
{
    wrapped_->GoFirst();
    if (!MergeCachedRecord(nullptr, nullptr)) GetNextRecord(dbiNOLOCK, nullptr, nullptr);
}

void TBaseCacheTable::GoLast()
{
    wrapped_->GoLast();
    if (!MergeCachedRecord(nullptr, nullptr)) GetPriorRecord(dbiNOLOCK, nullptr, nullptr);
}

void TBaseCacheTable::GetRecord(Integer lock, Byte* record, RECProps* properties)
{
    wrapped_->GetRecord(lock, record, properties);
    if (!MergeCachedRecord(record, properties)) RaiseEngineError(DBIERR_NOCURRREC);
}

void TBaseCacheTable::RereadCurrent(Integer lock, Byte* record)
{
    wrapped_->RereadCurrent(lock, record);
    if (!MergeCachedRecord(record, nullptr)) RaiseEngineError(DBIERR_NOCURRREC);
}

// ---- changes kept in the cache

void TBaseCacheTable::InsertRecord(Integer lock, Byte* record)
{
    cache_->InsertRecord(lock, record);
}

void TBaseCacheTable::AppendRecord(Byte* record)
{
    cache_->AddRecord(record, nullptr)->Properties.iRecStatus = mrsInserted;
}

void TBaseCacheTable::ModifyRecord(Byte* record, bool freeLock)
{
    wrapped_->GetBookMark(bookmarkBuffer_.data());
    cache_->ModifyRecordAt(record, bookmarkBuffer_.data());
}

void TBaseCacheTable::DeleteRecord(Byte* record)
{
    wrapped_->GetBookMark(bookmarkBuffer_.data());
    cache_->DeleteRecordAt(record, bookmarkBuffer_.data());
}

void TBaseCacheTable::SwitchToIndex(const std::string& name, bool keepPosition)
{
    RaiseEngineError(DBIERR_NOSUCHINDEX);
}

// ---- beginning, applying and ending

void TBaseCacheTable::BeginDelayedUpdates(TBaseTable*& cursor)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

void TBaseCacheTable::EndDelayedUpdates(TBaseTable*& cursor)
{
    cursor = wrapped_;
    Free();
}

void TBaseCacheTable::CancelCurrent()
{
    try {
        if (FindCachedRecord()) cache_->DeleteRecord(nullptr);
    } catch (const EBoreaEngineError&) {
    }
}

void TBaseCacheTable::ApplyDelayedUpdates(Integer command)
{
    switch (command) {
    case DelayedCommit: cache_->ClearCache(); break;
    case DelayedCancel: cache_->EmptyTable(); break;
    case DelayedCancelCurrent: CancelCurrent(); break;
    case DelayedPrepare: cache_->ApplyCache(); break;
    default: break;
    }
}

void TBaseCacheTable::GetCacheCursor(TBaseTable*& cursor)
{
    cursor = CheckParam(cache_);
}
