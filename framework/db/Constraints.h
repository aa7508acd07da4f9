// Record-level check constraints of a dataset.
#pragma once

#include <string>

#include "classes/Collection.h"

class TDataSet;

class TCheckConstraint : public TCollectionItem {
    DUN_CLASS(TCheckConstraint, TCollectionItem)
public:
    explicit TCheckConstraint(TCollection* collection) : TCollectionItem(collection) {}
    static void Publish(TPublisher<TCheckConstraint>& p);

    const std::string& CustomConstraint() const { return customConstraint_; }
    void SetCustomConstraint(const std::string& value);
    const std::string& ErrorMessage() const { return errorMessage_; }
    void SetErrorMessage(const std::string& value);
    bool FromDictionary() const { return fromDictionary_; }
    void SetFromDictionary(bool value);
    const std::string& ImportedConstraint() const { return importedConstraint_; }
    void SetImportedConstraint(const std::string& value);
    void Assign(TPersistent* source) override;

private:
    std::string customConstraint_;
    std::string errorMessage_;
    bool fromDictionary_ = true;
    std::string importedConstraint_;
};

class TCheckConstraints : public TOwnedCollection {
    DUN_CLASS(TCheckConstraints, TOwnedCollection)
public:
    explicit TCheckConstraints(TPersistent* owner) : TOwnedCollection(owner, TCheckConstraint::StaticClass()) {}

    TCheckConstraint* Add() { return static_cast<TCheckConstraint*>(TOwnedCollection::Add()); }
    TCheckConstraint* Items(Integer index) const
    {
        return static_cast<TCheckConstraint*>(TOwnedCollection::Items(index));
    }
};
