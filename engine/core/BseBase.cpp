#include "engine/core/BseBase.h"

#include <utility>

#include "engine/core/BseError.h"
#include "rtl/Exceptions.h"

namespace {

std::function<void()>& MessagePump()
{
    static std::function<void()> pump;
    return pump;
}

}  // namespace

TBapiListItem::TBapiListItem(TBapiListItem* owner, TBoreaCollection* collection)
        : owner_(owner), collection_(nullptr)
{
    Register(collection);
}

void TBapiListItem::Register(TBoreaCollection* collection)
{
    if (collection_ || !collection) return;
    collection_ = collection;
    collection_->Insert(this);
}

TBapiListItem::~TBapiListItem()
{
    if (collection_) collection_->Delete(this);
}

void TBapiListItem::GetProp(Cardinal property, void* buffer, Word& length, Word maxLength)
{
    RaiseEngineError(DBIERR_NOTSUPPORTED);
}

Integer TBapiListItem::IndexInCollection() const
{
    return collection_ ? collection_->IndexOf(const_cast<TBapiListItem*>(this)) : 0;
}

TBoreaCollection::~TBoreaCollection()
{
    FreeAll();
}

void TBoreaCollection::Insert(TObject* item)
{
    list_.Add(item);
}

TObject* TBoreaCollection::At(Integer index) const
{
    try {
        return Items(index);
    } catch (const EListError&) {
        return nullptr;
    }
}

TObject* TBoreaCollection::Items(Integer index) const
{
    return static_cast<TObject*>(list_.Items(index));
}

void TBoreaCollection::AtInsert(Integer index, TObject* item)
{
    list_.Insert(index, item);
}

void TBoreaCollection::AtDelete(Integer index)
{
    list_.Delete(index);
}

void TBoreaCollection::Delete(TObject* item)
{
    list_.Remove(item);
}

void TBoreaCollection::DeleteAll()
{
    list_.Clear();
}

void TBoreaCollection::FreeAll()
{
    for (Integer index = list_.Count() - 1; index >= 0; --index) {
        try {
            FreeItem(Items(index));
        } catch (const EListError&) {
        }
    }
    list_.Clear();
}

void TBoreaCollection::FreeItem(TObject* item)
{
    if (item) item->Free();
}

void TSortedCollection::Insert(TObject* item)
{
    Integer index = 0;
    if (!Search(KeyOf(item), index) || Duplicates) AtInsert(index, item);
}

bool TSortedCollection::Search(const void* key, Integer& index) const
{
    Integer lo = 0;
    Integer hi = Count() - 1;
    bool found = false;
    while (hi >= lo) {
        const Integer mid = (lo + hi) / 2;
        const Integer c = Compare(KeyOf(Items(mid)), key);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (!Duplicates) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void EngineProcessMessages()
{
    if (MessagePump()) MessagePump()();
}

void SetEngineMessagePump(std::function<void()> pump)
{
    MessagePump() = std::move(pump);
}
