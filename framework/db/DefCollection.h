// Collections of named definitions that belong to a dataset (field, index and constraint definitions).
#pragma once

#include <string>

#include "classes/Collection.h"
#include "rtl/FlagRaised.h"
#include "rtl/Strings.h"

class TDataSet;
class TDefCollection;

// A collection item known by its name; names are unique (ignoring case) within a definition collection.
class TNamedItem : public TCollectionItem {
    DUN_CLASS(TNamedItem, TCollectionItem)
public:
    explicit TNamedItem(TCollection* collection) : TCollectionItem(collection) {}
    static void Publish(TPublisher<TNamedItem>& p);

    // Read freely; SetName checks for a duplicate and reports the change.
    std::string Name;
    void SetName(const std::string& name);
    std::string DisplayName() const override { return Name; }
};

class TDefCollection : public TOwnedCollection {
    DUN_CLASS(TDefCollection, TOwnedCollection)
public:
    TDefCollection(TDataSet* dataSet, TPersistent* owner, TClass itemClass);

    TDataSet* DataSet() const { return dataSet_; }
    // nullptr when no item has that name (ignoring case).
    TNamedItem* Find(const std::string& name) const;
    Integer IndexOf(const std::string& name) const;
    void GetItemNames(TStrings* list) const;
    bool Updated() const { return updated_; }
    void SetUpdated(bool value) { updated_ = value; }
    // Told of every change that is not made while the definitions are read from the dataset.
    TNotifyEvent OnUpdate;
    // Whether a change goes unreported for now: the definitions are being read from the dataset, or an update
    // (BeginUpdate) is open, whose end reports it.
    virtual bool HoldsChanges() const { return internalUpdate_ || UpdateCount() > 0; }

    // Runs reload (which reads the definitions from the dataset) with the change reports off, then marks the
    // collection up to date.
    template <class F>
    void UpdateDefs(F reload)
    {
        {
            const TFlagRaised updating(internalUpdate_);
            reload();
        }
        updated_ = true;
    }

protected:
    // A change that is not held: the dataset's DefChanged (unless it is loading), then OnUpdate.
    void Update(TCollectionItem* item) override;

private:
    TDataSet* dataSet_;
    bool updated_ = false;
    bool internalUpdate_ = false;
};
