#include "db/ObjectFields.h"

#include "db/DataSet.h"

// --- TObjectField --------------------------------------------------------------------------------------------------

TObjectField::TObjectField(TComponent* owner, TFieldType type)
        : TField(owner), fields_(std::make_unique<TFields>(nullptr))
{
    SetDataType(type);
}

TObjectField::~TObjectField()
{
    // Children outlive their object only while their owner frees them.
    for (Integer i = 0; i < fields_->Count(); ++i) fields_->Fields(i)->parentField_ = nullptr;
}

void TObjectField::Publish(TPublisher<TObjectField>& p)
{
    p.Property("ObjectType", &TObjectField::ObjectType, &TObjectField::SetObjectType);
}

bool TObjectField::IsNull() const
{
    if (fields_->Count() == 0) return TField::IsNull();
    for (Integer i = 0; i < fields_->Count(); ++i)
        if (!fields_->Fields(i)->IsNull()) return false;
    return true;
}

Variant TObjectField::GetAsVariant() const
{
    std::vector<Variant> values;
    for (Integer i = 0; i < fields_->Count(); ++i) values.push_back(fields_->Fields(i)->AsVariant());
    return VarArrayOf(values);
}

void TObjectField::SetVarValue(const Variant& value)
{
    for (Integer i = 0; i < fields_->Count(); ++i) fields_->Fields(i)->SetAsVariant(value[i]);
}

void TObjectField::GetText(std::string& text, bool displayText) const
{
    text = std::string("(") + FieldTypeName(DataType()) + ")";
}

// --- TDataSetField -------------------------------------------------------------------------------------------------

TDataSetField::~TDataSetField()
{
    if (nestedDataSet_) nestedDataSet_->SetDataSetField(nullptr);
}

// --- TReferenceField -----------------------------------------------------------------------------------------------

void TReferenceField::Publish(TPublisher<TReferenceField>& p)
{
    p.Property("ReferenceTableName", &TReferenceField::ReferenceTableName, &TReferenceField::SetReferenceTableName);
}
