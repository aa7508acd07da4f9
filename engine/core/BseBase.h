// Engine objects: the base of every engine object and the collections that own them.
#pragma once

#include <functional>

#include "rtl/Lists.h"
#include "rtl/Objects.h"
#include "rtl/Types.h"
#include "rtl/WinApi.h"

class TBoreaCollection;

// An engine object: created by its owner and listed in the collection that frees it.
class TBapiListItem : public TObject {
    DUN_CLASS(TBapiListItem, TObject)
public:
    // Stores owner and collection and, when there is a collection, inserts the new object into it.
    TBapiListItem(TBapiListItem* owner, TBoreaCollection* collection);
    // Removes the object from its collection.
    ~TBapiListItem() override;

    TBapiListItem* Owner() const { return owner_; }
    TBoreaCollection* Collection() const { return collection_; }

    // Property numbers are 32-bit; the base answers none of them.
    virtual void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength);
    virtual void SetProp(Cardinal property, uintptr_t value) {}
    virtual void CheckProp(Cardinal property, bool flag) {}

    // The object's index in its collection, 0 when it has none.
    Integer IndexInCollection() const;

protected:
    // Lists the object in collection (when it has none yet). An object whose key in a sorted collection is set by
    // its own constructor passes no collection to the base constructor and registers at the end of its own: the
    // base constructor runs before the key exists.
    void Register(TBoreaCollection* collection);

private:
    friend class TBoreaCollection;

    TBapiListItem* owner_;
    TBoreaCollection* collection_;
};

// A list of objects that owns them: FreeAll (and the destructor) destroys what is still listed.
class TBoreaCollection : public TObject {
    DUN_CLASS(TBoreaCollection, TObject)
public:
    TBoreaCollection() = default;
    ~TBoreaCollection() override;

    virtual void Insert(TObject* item);
    // nullptr when index is out of range.
    TObject* At(Integer index) const;
    // Raises the list's index error when index is out of range.
    TObject* Items(Integer index) const;
    void AtInsert(Integer index, TObject* item);
    // Removes entries without destroying their objects.
    void AtDelete(Integer index);
    void Delete(TObject* item);
    void DeleteAll();
    // Destroys the objects, newest index first, and empties the list.
    void FreeAll();
    void FreeItem(TObject* item);
    Integer Count() const { return list_.Count(); }
    Integer IndexOf(TObject* item) const { return list_.IndexOf(item); }

private:
    TList list_;
};

// A collection kept in the order of its keys. Keys are what KeyOf gives, compared by Compare.
class TSortedCollection : public TBoreaCollection {
    DUN_CLASS(TSortedCollection, TBoreaCollection)
public:
    TSortedCollection() = default;

    // Inserts in key order; an item whose key is present already is not listed unless Duplicates is set (the
    // caller keeps such an item).
    void Insert(TObject* item) override;
    virtual const void* KeyOf(TObject* item) const { return item; }
    virtual Integer Compare(const void* key1, const void* key2) const = 0;
    // Binary search: true when the key was found; index is where it is, or where it would go. With Duplicates the
    // search ends on the first of equal entries.
    virtual bool Search(const void* key, Integer& index) const;

    bool Duplicates = true;
};

// Runs the program's message loop once; the engine calls it while it walks or empties a table so that the user
// interface stays alive. The dataset layer installs the application's ProcessMessages.
void EngineProcessMessages();
void SetEngineMessagePump(std::function<void()> pump);
