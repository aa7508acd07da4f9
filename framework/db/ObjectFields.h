// Object fields: fields made of child fields (ADT, array) and fields that stand for a dataset (nested dataset,
// reference).
#pragma once

#include <memory>
#include <string>

#include "db/Field.h"

class TObjectField : public TField {
    DUN_CLASS(TObjectField, TField)
public:
    ~TObjectField() override;
    static void Publish(TPublisher<TObjectField>& p);

    // The child fields, in order.
    TFields* Fields() const { return fields_.get(); }
    Integer FieldCount() const { return fields_->Count(); }
    Variant FieldValues(Integer index) const { return fields_->Fields(index)->AsVariant(); }
    void SetFieldValues(Integer index, const Variant& value) { fields_->Fields(index)->SetAsVariant(value); }
    // The name of the database's object type this field holds.
    const std::string& ObjectType() const { return objectType_; }
    void SetObjectType(const std::string& value) { objectType_ = value; }
    // An unnamed object's name is left out of its children's full names.
    bool UnNamed() const { return unNamed_; }
    void SetUnNamed(bool value) { unNamed_ = value; }
    // Null when every child is.
    bool IsNull() const override;

protected:
    TObjectField(TComponent* owner, TFieldType type);
    // The values of the children as an array.
    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& value) override;
    // "(ADT)", "(Array)", ...: the kind of object.
    void GetText(std::string& text, bool displayText) const override;

private:
    friend class TField;

    std::unique_ptr<TFields> fields_;
    std::string objectType_;
    bool unNamed_ = false;
};

class TADTField : public TObjectField {
    DUN_CLASS(TADTField, TObjectField)
public:
    explicit TADTField(TComponent* owner) : TObjectField(owner, ftADT) {}
};

// Size elements named "Name[0]", "Name[1]", ...
class TArrayField : public TObjectField {
    DUN_CLASS(TArrayField, TObjectField)
public:
    explicit TArrayField(TComponent* owner) : TObjectField(owner, ftArray) {}
};

// A field whose value is a dataset of its own (nested rows).
class TDataSetField : public TObjectField {
    DUN_CLASS(TDataSetField, TObjectField)
public:
    explicit TDataSetField(TComponent* owner) : TDataSetField(owner, ftDataSet) {}
    ~TDataSetField() override;

    // The dataset that shows this field's rows; nullptr until one is attached (TDataSet::SetDataSetField).
    TDataSet* NestedDataSet() const { return nestedDataSet_; }

protected:
    TDataSetField(TComponent* owner, TFieldType type) : TObjectField(owner, type) {}

private:
    friend class TDataSet;

    TDataSet* nestedDataSet_ = nullptr;
};

// A reference to a row of the table ReferenceTableName; the value is Size bytes.
class TReferenceField : public TDataSetField {
    DUN_CLASS(TReferenceField, TDataSetField)
public:
    explicit TReferenceField(TComponent* owner) : TDataSetField(owner, ftReference) {}
    static void Publish(TPublisher<TReferenceField>& p);

    const std::string& ReferenceTableName() const { return referenceTableName_; }
    void SetReferenceTableName(const std::string& value) { referenceTableName_ = value; }
    Integer DataSize() const override { return Size(); }

private:
    std::string referenceTableName_;
};
