// The field cache of a cursor: one item per field, made from the driver's field descriptors.
#pragma once

#include <string>

#include "classes/Collection.h"
#include "classes/TypInfo.h"
#include "engine/core/BseRecords.h"

class TBaseTable;

// Per-field state area of a record buffer that carries one: a blank indicator and a changed flag.
#pragma pack(push, 1)
struct TFieldState {
    SmallInt Blank;    // -1 blank, 0 holds a value
    Word Reserved;
    Integer Changed;   // -1 changed, 0 not
};
#pragma pack(pop)
static_assert(sizeof(TFieldState) == 8);

// One field of a cursor and its addresses in one record buffer at a time.
class TFieldCacheItem : public TCollectionItem {
    DUN_CLASS(TFieldCacheItem, TCollectionItem)
public:
    explicit TFieldCacheItem(TCollection* collection) : TCollectionItem(collection) {}

    FLDDesc Descriptor{};
    Word LocalType = 0;
    Word LocalSize = 0;
    Byte* RecordAddress = nullptr;
    Byte* FieldAddress = nullptr;
    TFieldState* IndicatorAddress = nullptr;

    Word FieldNumber() const { return Descriptor.iFldNum; }
    std::string FieldName() const;
    // Cut to 31 characters.
    void SetFieldName(const std::string& name);
    Word FieldType() const { return Descriptor.iFldType; }
    Word FieldSubType() const { return Descriptor.iSubType; }
    SmallInt FieldUnits1() const { return Descriptor.iUnits1; }
    SmallInt FieldUnits2() const { return Descriptor.iUnits2; }
    Word FieldLength() const { return Descriptor.iLen; }
    Word GetLocalType() const { return LocalType; }
    Word GetLocalSize() const { return LocalSize; }

    static void Publish(TPublisher<TFieldCacheItem>& p)
    {
        p.Property("FieldNumber", &TFieldCacheItem::FieldNumber, nullptr);
        p.Property("FieldName", &TFieldCacheItem::FieldName, &TFieldCacheItem::SetFieldName);
        p.Property("FieldType", &TFieldCacheItem::FieldType, nullptr);
        p.Property("FieldSubType", &TFieldCacheItem::FieldSubType, nullptr);
        p.Property("FieldUnits1", &TFieldCacheItem::FieldUnits1, nullptr);
        p.Property("FieldUnits2", &TFieldCacheItem::FieldUnits2, nullptr);
        p.Property("FieldLength", &TFieldCacheItem::FieldLength, nullptr);
        p.Property("LocalType", &TFieldCacheItem::GetLocalType, nullptr);
        p.Property("LocalSize", &TFieldCacheItem::GetLocalSize, nullptr);
    }

    // Addresses for record (none for nullptr; no indicator when the field has none).
    void SetAddresses(Byte* record);
    bool IsBlankByIndicator() const;
    void SetBlankIndicator(bool blank);
    void SetChanged(bool changed);
};

class TBoreaFieldCache : public TCollection {
    DUN_CLASS(TBoreaFieldCache, TCollection)
public:
    explicit TBoreaFieldCache(TBaseTable* table);

    TBaseTable* Table() const { return table_; }
    // The item of field number (1-based); fields not cached yet are asked of the table, in number order up to
    // number. Raises DBIERR_INVALIDRECSTRUCT for a number below 1.
    TFieldCacheItem* Field(Integer number);
    // The first field of that name (case ignored), 0 when none.
    Word FieldNumberByName(const std::string& name) const;
    // Every field: addresses for record, unchanged, blank.
    void SetRecordAddresses(Byte* record);
    TFieldCacheItem* Item(Integer index) const { return static_cast<TFieldCacheItem*>(Items(index)); }

private:
    TBaseTable* table_;
};
