#include "engine/core/BseFields.h"

#include <algorithm>
#include <cstring>

#include "engine/core/BseError.h"
#include "engine/core/BseTable.h"
#include "rtl/StringRoutines.h"

std::string TFieldCacheItem::FieldName() const
{
    return std::string(Descriptor.szName, strnlen(Descriptor.szName, sizeof(Descriptor.szName)));
}

void TFieldCacheItem::SetFieldName(const std::string& name)
{
    std::memset(Descriptor.szName, 0, sizeof(Descriptor.szName));
    std::memcpy(Descriptor.szName, name.data(), std::min(name.size(), DBIMAXNAMELEN));
}

void TFieldCacheItem::SetAddresses(Byte* record)
{
    RecordAddress = record;
    FieldAddress = record ? record + Descriptor.iOffset : nullptr;
    IndicatorAddress = record && Descriptor.iNullOffset != 0
            ? reinterpret_cast<TFieldState*>(record + Descriptor.iNullOffset)
            : nullptr;
}

bool TFieldCacheItem::IsBlankByIndicator() const
{
    return IndicatorAddress && IndicatorAddress->Blank == -1;
}

void TFieldCacheItem::SetBlankIndicator(bool blank)
{
    if (IndicatorAddress) IndicatorAddress->Blank = blank ? -1 : 0;
}

void TFieldCacheItem::SetChanged(bool changed)
{
    if (IndicatorAddress) IndicatorAddress->Changed = changed ? -1 : 0;
}

TBoreaFieldCache::TBoreaFieldCache(TBaseTable* table)
        : TCollection(TFieldCacheItem::StaticClass()), table_(table)
{
}

TFieldCacheItem* TBoreaFieldCache::Field(Integer number)
{
    CheckCondition(number > 0 && table_ != nullptr, DBIERR_INVALIDRECSTRUCT);
    while (Count() < number) {
        const Word next = Word(Count() + 1);
        FLDDesc descriptor{};
        Word localSize = 0;
        Word localType = 0;
        table_->GetFieldDesc(next, nullptr, localSize, localType, descriptor);
        auto* item = new TFieldCacheItem(this);
        item->Descriptor = descriptor;
        item->Descriptor.iFldNum = next;
        item->LocalSize = localSize;
        item->LocalType = localType;
    }
    return Item(number - 1);
}

Word TBoreaFieldCache::FieldNumberByName(const std::string& name) const
{
    for (Integer i = 0; i < Count(); ++i) {
        if (SameText(Item(i)->FieldName(), name)) return Word(i + 1);
    }
    return 0;
}

void TBoreaFieldCache::SetRecordAddresses(Byte* record)
{
    for (Integer i = 0; i < Count(); ++i) {
        TFieldCacheItem* item = Item(i);
        item->SetAddresses(record);
        item->SetChanged(false);
        item->SetBlankIndicator(true);
    }
}
