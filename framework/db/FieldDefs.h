// Field definitions: what a dataset's records hold, before fields are made for them. Object and array definitions
// hold their elements as child definitions.
#pragma once

#include <memory>
#include <string>

#include "db/DBTypes.h"
#include "db/DefCollection.h"

class TDataSet;
class TField;
class TFieldDefs;
class TObjectField;
class TComponent;

class TFieldDef : public TNamedItem {
    DUN_CLASS(TFieldDef, TNamedItem)
public:
    // Numbered after the definitions before it.
    explicit TFieldDef(TCollection* collection);
    ~TFieldDef() override;
    static void Publish(TPublisher<TFieldDef>& p);

    TFieldType DataType = ftUnknown;
    Integer Size = 0;
    Integer Precision = 0;
    Integer FieldNo = 0;
    TFieldAttributes Attributes;
    bool InternalCalcField = false;

    // The element definitions of an object or array definition, made on first use.
    TFieldDefs* ChildDefs();
    void SetChildDefs(TFieldDefs* value);
    bool HasChildDefs() const;
    TFieldDef* AddChild();
    // The object or array definition this one is an element of; nullptr at the top level.
    TFieldDef* ParentDef() const;

    bool Required() const { return Attributes.Contains(faRequired); }
    void SetRequired(bool required);
    // The class of field made for this definition (the dataset's choice, see TDataSet::GetFieldClass).
    TClass FieldClass() const;
    // Makes the field for this definition, owned by owner: a child of parentField when given, else a field of the
    // definitions' dataset; named fieldName when given, else Name. Object fields get their element fields.
    // checkType: the field must take the definition's data type.
    TField* CreateField(TComponent* owner, TObjectField* parentField = nullptr, const std::string& fieldName = "",
                        bool checkType = true);
    void Assign(TPersistent* source) override;

private:
    // The fields of the children: one per child definition, or Size elements of an array's one definition.
    void CreateChildFields(TComponent* owner, TObjectField* field);
    // Publishes a data member whose change is reported to the collection.
    template <class V>
    static void PublishMember(TPublisher<TFieldDef>& p, const char* name, V TFieldDef::*member, V defaultValue);

    std::unique_ptr<TFieldDefs> childDefs_;
};

// The field class the platform makes for a data type; nullptr for types without one.
TClass DefaultFieldClass(TFieldType type);

class TFieldDefs : public TDefCollection {
    DUN_CLASS(TFieldDefs, TDefCollection)
public:
    // Owned by a dataset, or by a field definition as its child definitions.
    explicit TFieldDefs(TPersistent* owner);

    TFieldDef* AddFieldDef();
    TFieldDef* Add(const std::string& name, TFieldType dataType, Integer size = 0, bool required = false);
    TFieldDef* Items(Integer index) const;
    // Raises "Field '%s' not found" when there is none.
    TFieldDef* Find(const std::string& name) const;
    // The definition this collection holds the elements of; nullptr for a dataset's own definitions.
    TFieldDef* ParentDef() const { return parentDef_; }
    // Reads the definitions from the dataset unless they are up to date.
    void Update();
    bool HiddenFields() const { return hiddenFields_; }
    void SetHiddenFields(bool hidden) { hiddenFields_ = hidden; }
    // Child definitions also hold their changes while the collection of their parent definition does.
    bool HoldsChanges() const override;

protected:
    using TDefCollection::Update;

private:
    TFieldDef* parentDef_;
    bool hiddenFields_ = false;
};
