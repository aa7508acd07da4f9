#include "classes/Collection.h"

#include <algorithm>

#include "classes/ClassRegistry.h"
#include "classes/TypInfo.h"

// ---- TCollectionItem ----

TCollectionItem::TCollectionItem(TCollection* collection)
{
    SetCollection(collection);
}

TCollectionItem::~TCollectionItem()
{
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* collection)
{
    if (collection_ == collection) return;
    if (collection_) collection_->RemoveItem(this);
    if (collection) collection->InsertItem(this);
}

Integer TCollectionItem::Index() const
{
    if (!collection_) return -1;
    auto& items = collection_->items_;
    return Integer(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(Integer index)
{
    Integer current = Index();
    if (current < 0 || current == index) return;
    collection_->MoveItem(this, index);
    Changed(true);
}

std::string TCollectionItem::GetNamePath() const
{
    if (!collection_) return ClassName();
    return collection_->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const
{
    return collection_;
}

void TCollectionItem::Changed(bool allItems)
{
    if (!collection_ || collection_->updateCount_ != 0) return;
    collection_->Update(allItems ? nullptr : this);
}

// ---- TCollection ----

TCollection::TCollection(TClass itemClass) : itemClass_(itemClass) {}

TCollection::~TCollection()
{
    updateCount_ = 1;  // no Update calls into a collection being destroyed
    while (!items_.empty()) items_.back()->Free();
}

TCollectionItem* TCollection::Add()
{
    TObject* made = CreateObjectOfClass(itemClass_, this);
    return static_cast<TCollectionItem*>(made);
}

TCollectionItem* TCollection::Insert(Integer index)
{
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(Integer index)
{
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    item->Free();
}

void TCollection::Clear()
{
    if (items_.empty()) return;
    BeginUpdate();
    try {
        while (!items_.empty()) items_.back()->Free();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Assign(TPersistent* source)
{
    auto* other = dynamic_cast<TCollection*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : other->items_) Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::EndUpdate()
{
    --updateCount_;
    Changed();
}

TCollectionItem* TCollection::FindItemID(Integer id) const
{
    for (TCollectionItem* item : items_)
        if (item->id_ == id) return item;
    return nullptr;
}

TCollectionItem* TCollection::Items(Integer index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[size_t(index)];
}

std::string TCollection::GetNamePath() const
{
    TPersistent* owner = GetOwner();
    if (!owner) return ClassName();
    std::string ownerPath = owner->GetNamePath();
    std::string prop = PropName();
    if (ownerPath.empty() || prop.empty()) return ClassName();
    return ownerPath + "." + prop;
}

std::string TCollection::PropName() const
{
    TPersistent* owner = GetOwner();
    for (PPropInfo prop : GetPropList(owner)) {
        if (prop->PropType->Kind == tkClass && GetObjectProp(owner, prop) == this) return prop->Name;
    }
    return "";
}

void TCollection::Changed()
{
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item)
{
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Notify(item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item)
{
    Notify(item, cnExtracting);
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->collection_ = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* item, Integer index)
{
    index = std::clamp(index, Integer(0), Count() - 1);
    items_.erase(std::find(items_.begin(), items_.end(), item));
    items_.insert(items_.begin() + index, item);
}
