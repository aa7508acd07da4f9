// Collections of persistent items: TCollection, TCollectionItem and TOwnedCollection.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "rtl/Exceptions.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
    DUN_CLASS(TCollectionItem, TPersistent)
public:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    // Creation by name: an item class is created in its collection.
    template <class T>
    static TObject* ConstructFrom(TObject* owner)
    {
        if constexpr (std::is_constructible_v<T, TCollection*>) {
            auto* collection = dynamic_cast<TCollection*>(owner);
            if (owner && !collection) throw EInvalidCast("Invalid class typecast");
            return CreateObject<T>(collection);
        } else {
            return nullptr;
        }
    }

    TCollection* Collection() const { return collection_; }
    virtual void SetCollection(TCollection* collection);
    Integer ID() const { return id_; }
    Integer Index() const;
    virtual void SetIndex(Integer index);
    virtual std::string DisplayName() const { return ClassName(); }
    std::string GetNamePath() const override;
    TPersistent* GetOwner() const override;

protected:
    void Changed(bool allItems);

private:
    friend class TCollection;

    TCollection* collection_ = nullptr;
    Integer id_ = 0;
};

class TCollection : public TPersistent {
    DUN_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TClass itemClass);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(Integer index);
    void Delete(Integer index);
    void Clear();
    void Assign(TPersistent* source) override;
    virtual void BeginUpdate() { ++updateCount_; }
    virtual void EndUpdate();
    TCollectionItem* FindItemID(Integer id) const;

    Integer Count() const { return Integer(items_.size()); }
    TCollectionItem* Items(Integer index) const;
    void SetItems(Integer index, TCollectionItem* value) { Items(index)->Assign(value); }
    TClass ItemClass() const { return itemClass_; }
    std::string GetNamePath() const override;

protected:
    // An item changed (item) or the whole collection did (nullptr); not called while updating.
    virtual void Update(TCollectionItem* item) {}
    virtual void Notify(TCollectionItem* item, TCollectionNotification action) {}
    void Changed();
    Integer UpdateCount() const { return updateCount_; }

private:
    friend class TCollectionItem;

    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    void MoveItem(TCollectionItem* item, Integer index);
    // The owner's published property that holds this collection.
    std::string PropName() const;

    TClass itemClass_;
    std::vector<TCollectionItem*> items_;
    Integer nextId_ = 0;
    Integer updateCount_ = 0;
};

class TOwnedCollection : public TCollection {
    DUN_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), owner_(owner) {}
    TPersistent* GetOwner() const override { return owner_; }

private:
    TPersistent* owner_;
};
