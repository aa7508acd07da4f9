#include "db/Field.h"

#include <algorithm>
#include <utility>

#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DBTypInfo.h"
#include "classes/Filer.h"
#include "db/DataSet.h"
#include "db/ObjectFields.h"
#include "rtl/SysUtils.h"

TField::TField(TComponent* owner) : TComponent(owner)
{
    validChars_.set();
}

TField::~TField()
{
    if (parentField_) parentField_->Fields()->Remove(this);
    if (dataSet_) dataSet_->RemoveField(this);
}

void TField::Publish(TPublisher<TField>& p)
{
    p.Property("Alignment", &TField::Alignment, &TField::SetAlignment).Stored(&TField::IsAlignmentStored);
    p.Property("ConstraintErrorMessage", &TField::ConstraintErrorMessage, &TField::SetConstraintErrorMessage);
    p.Property("CustomConstraint", &TField::CustomConstraint, &TField::SetCustomConstraint);
    p.Property("DefaultExpression", &TField::DefaultExpression, &TField::SetDefaultExpression);
    p.Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel).Stored(&TField::IsDisplayLabelStored);
    p.Property("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth).Stored(&TField::IsDisplayWidthStored);
    p.Property("EditMask", &TField::EditMask, &TField::SetEditMask);
    p.Property("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
    p.Property("FieldName", &TField::FieldName, &TField::SetFieldName);
    p.Property("ImportedConstraint", &TField::ImportedConstraint, &TField::SetImportedConstraint);
    p.Property("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
    p.Property("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
    p.Property("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
    p.Property("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
    p.Property("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
    p.Property("Required", &TField::Required, &TField::SetRequired).Default(false);
    p.Property("Visible", &TField::Visible, &TField::SetVisible).Default(true);
    p.Property("OnChange", &TField::OnChange);
    p.Property("OnGetText", &TField::OnGetText);
    p.Property("OnSetText", &TField::OnSetText);
    p.Property("OnValidate", &TField::OnValidate);
}

TComponent* TField::GetParentComponent() const
{
    return dataSet_;
}

void TField::SetParentComponent(TComponent* parent)
{
    if (auto* dataSet = dynamic_cast<TDataSet*>(parent)) SetDataSet(dataSet);
}

// The properties first: joining the dataset or the parent field needs the field name.
void TField::ReadState(TReader* reader)
{
    TComponent::ReadState(reader);
    if (TObjectField* parent = std::exchange(readParentField_, nullptr)) {
        SetParentField(parent);
        return;
    }
    if (auto* dataSet = dynamic_cast<TDataSet*>(reader->Parent())) SetDataSet(dataSet);
}

void TField::DefineProperties(TFiler* filer)
{
    TComponent::DefineProperties(filer);
    filer->DefineProperty(
        "ParentField", [this](TReader* reader) { readParentField_ = FindParentField(reader, reader->ReadIdent()); },
        [this](TWriter* writer) { writer->WriteIdent(parentField_->Name()); },
        parentField_ && !parentField_->Name().empty());
}

TObjectField* TField::FindParentField(TReader* reader, const std::string& name)
{
    auto* parent = dynamic_cast<TObjectField*>(reader->Owner()->FindComponent(name));
    if (!parent) throw EReadError("Invalid property value");
    return parent;
}

void TField::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == dataSet_) return;
    if (dataSet_) dataSet_->CheckInactive();
    if (dataSet) {
        dataSet->CheckInactive();
        dataSet->Fields()->CheckFieldName(fieldName_);
    }
    if (dataSet_) dataSet_->RemoveField(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->AddField(this);
}

void TField::SetParentField(TObjectField* parent)
{
    if (parent == parentField_) return;
    CheckInactive();
    if (parent) {
        parent->CheckInactive();
        parent->Fields()->CheckFieldName(fieldName_);
    }
    if (parentField_) parentField_->Fields()->Remove(this);
    if (dataSet_) dataSet_->RemoveField(this);
    parentField_ = parent;
    dataSet_ = parent ? parent->DataSet() : nullptr;
    if (!parent) return;
    parent->Fields()->Add(this);
    if (dataSet_ && !dataSet_->ObjectView()) dataSet_->AddField(this);
}

std::string TField::FullName() const
{
    return dataSet_ ? dataSet_->GetFieldFullName(const_cast<TField*>(this)) : fieldName_;
}

void TField::SetFieldName(const std::string& name)
{
    TFields* siblings = parentField_ ? parentField_->Fields() : dataSet_ ? dataSet_->Fields() : nullptr;
    if (siblings && !SameText(name, fieldName_)) siblings->CheckFieldName(name);
    fieldName_ = name;
    PropertyChanged(true);
}

void TField::SetFieldKind(TFieldKind kind)
{
    CheckInactive();
    fieldKind_ = kind;
}

void TField::SetSize(Integer size)
{
    CheckInactive();
    size_ = size;
}

void TField::CheckInactive() const
{
    if (dataSet_) dataSet_->CheckInactive();
}

Integer TField::Index() const
{
    return dataSet_ ? dataSet_->Fields()->IndexOf(this) : -1;
}

void TField::SetIndex(Integer index)
{
    if (dataSet_) dataSet_->Fields()->SetFieldIndex(this, index);
    PropertyChanged(true);
}

bool TField::IsBlob() const
{
    return dataType_ >= ftBlob && dataType_ <= ftTypedBinary;
}

bool TField::IsIndexField() const
{
    return dataSet_ && fieldKind_ == fkData && dataSet_->GetIsIndexField(const_cast<TField*>(this));
}

void TField::SetVisible(bool visible)
{
    visible_ = visible;
    PropertyChanged(true);
}

void TField::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    PropertyChanged(true);
}

void TField::SetDisplayLabel(const std::string& label)
{
    displayLabel_ = label == fieldName_ ? std::string() : label;
    PropertyChanged(true);
}

void TField::SetDisplayWidth(Integer width)
{
    displayWidth_ = width;
    PropertyChanged(true);
}

void TField::SetEditMask(const std::string& mask)
{
    editMask_ = mask;
    PropertyChanged(false);
}

void TField::SetAlignment(TAlignment alignment)
{
    alignment_ = alignment;
    PropertyChanged(false);
}

void TField::PropertyChanged(bool layoutAffected)
{
    if (dataSet_ && dataSet_->Active()) dataSet_->DataEvent(layoutAffected ? deLayoutChange : deDataSetChange, 0);
}

// Data fields only; while a key is being set, only the index fields.
bool TField::CanModify() const
{
    if (!dataSet_ || fieldNo_ <= 0) return false;
    if (dataSet_->State() == dsSetKey) return IsIndexField();
    return !readOnly_ && dataSet_->CanModify();
}

bool TField::HasConstraints() const
{
    return !customConstraint_.empty() || !importedConstraint_.empty() || !defaultExpression_.empty();
}

// --- Data ----------------------------------------------------------------------------------------------------------

void TField::CheckDataSet() const
{
    if (!dataSet_) DatabaseErrorFmt(dbconsts::SDataSetMissing, {DisplayName()});
}

bool TField::GetData(void* buffer) const
{
    CheckDataSet();
    if (validating_) {
        if (valueBuffer_ && buffer)
            std::copy_n(static_cast<const char*>(valueBuffer_), DataSize(), static_cast<char*>(buffer));
        return valueBuffer_ != nullptr;
    }
    return dataSet_->GetFieldData(const_cast<TField*>(this), buffer);
}

void TField::SetData(const void* buffer)
{
    CheckDataSet();
    dataSet_->SetFieldData(this, buffer);
}

bool TField::IsNull() const
{
    return !GetData(nullptr);
}

void TField::Validate(const void* buffer)
{
    if (!OnValidate) return;
    validating_ = true;
    valueBuffer_ = buffer;
    try {
        OnValidate(this);
    } catch (...) {
        validating_ = false;
        valueBuffer_ = nullptr;
        throw;
    }
    validating_ = false;
    valueBuffer_ = nullptr;
}

void TField::Change()
{
    if (OnChange) OnChange(this);
}

void TField::FocusControl()
{
    if (!dataSet_ || !dataSet_->Active()) return;
    TField* field = this;
    dataSet_->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&field));
}

// --- Conversions (the base field supports none) --------------------------------------------------------------------

void TField::AccessError(const std::string& typeName) const
{
    DatabaseErrorFmt(dbconsts::SFieldAccessError, {DisplayName(), typeName});
}

void TField::RangeError(const std::string& value, const std::string& min, const std::string& max) const
{
    DatabaseErrorFmt(dbconsts::SFieldRangeError, {value, DisplayName(), min, max});
}

std::string TField::GetAsString() const { AccessError("String"); }
void TField::SetAsString(const std::string&) { AccessError("String"); }
Integer TField::GetAsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(Integer) { AccessError("Integer"); }
double TField::GetAsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }
Variant TField::GetAsVariant() const { AccessError("Variant"); }
void TField::SetVarValue(const Variant&) { AccessError("Variant"); }

void TField::SetAsVariant(const Variant& value)
{
    if (VarIsNull(value) || VarIsEmpty(value))
        Clear();
    else
        SetVarValue(value);
}

Variant TField::OldValue() const
{
    CheckDataSet();
    return dataSet_->GetStateFieldValue(dsOldValue, const_cast<TField*>(this));
}

Variant TField::NewValue() const
{
    CheckDataSet();
    return dataSet_->GetStateFieldValue(dsNewValue, const_cast<TField*>(this));
}

void TField::SetNewValue(const Variant& value)
{
    CheckDataSet();
    dataSet_->SetStateFieldValue(dsNewValue, this, value);
}

Variant TField::CurValue() const
{
    CheckDataSet();
    return dataSet_->GetStateFieldValue(dsCurValue, const_cast<TField*>(this));
}

void TField::AssignValue(const TVarRec& value)
{
    if (value.IsInteger())
        SetAsInteger(Integer(value.AsInteger()));
    else if (value.IsFloat())
        SetAsFloat(value.AsFloat());
    else if (value.IsCurrency())
        SetAsCurrency(value.AsCurrency());
    else if (value.IsText())
        SetAsString(value.AsText());
    else if (value.IsPointer() && value.AsPointer() == nullptr)
        Clear();
    else
        DatabaseErrorFmt(dbconsts::SFieldValueError, {DisplayName()});
}

void TField::Assign(TPersistent* source)
{
    if (!source) {
        Clear();
        return;
    }
    if (auto* field = dynamic_cast<TField*>(source)) {
        SetAsVariant(field->AsVariant());
        return;
    }
    TComponent::Assign(source);
}

// --- Texts ---------------------------------------------------------------------------------------------------------

std::string TField::TextOf(bool displayText) const
{
    std::string text;
    if (OnGetText)
        OnGetText(const_cast<TField*>(this), text, displayText);
    else
        GetText(text, displayText);
    return text;
}

void TField::SetText(const std::string& text)
{
    if (OnSetText)
        OnSetText(this, text);
    else
        SetTextValue(text);
}

// --- Lookup fields -------------------------------------------------------------------------------------------------

void TField::SetLookupDataSet(TDataSet* dataSet)
{
    CheckInactive();
    if (lookupDataSet_) lookupDataSet_->RemoveFreeNotification(this);
    lookupDataSet_ = dataSet;
    if (lookupDataSet_) lookupDataSet_->FreeNotification(this);
}

void TField::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == lookupDataSet_) lookupDataSet_ = nullptr;
}

void TField::CalcLookupValue()
{
    if (!lookupDataSet_ || keyFields_.empty() || lookupKeyFields_.empty() || lookupResultField_.empty())
        DatabaseErrorFmt(dbconsts::SLookupInfoError, {DisplayName()});
    if (!lookupDataSet_->Active()) return;
    const Variant keys = dataSet_->FieldValues(keyFields_);
    SetAsVariant(lookupDataSet_->Lookup(lookupKeyFields_, keys, lookupResultField_));
}

// --- TFields -------------------------------------------------------------------------------------------------------

TField* TFields::Fields(Integer index) const
{
    if (index < 0 || index >= Count()) DatabaseError(dbconsts::SFieldIndexError, dataSet_);
    return fields_[index];
}

void TFields::Add(TField* field)
{
    fields_.push_back(field);
}

void TFields::Remove(TField* field)
{
    fields_.erase(std::remove(fields_.begin(), fields_.end(), field), fields_.end());
}

Integer TFields::IndexOf(const TField* field) const
{
    const auto it = std::find(fields_.begin(), fields_.end(), field);
    return it == fields_.end() ? -1 : Integer(it - fields_.begin());
}

void TFields::SetFieldIndex(TField* field, Integer index)
{
    const Integer current = IndexOf(field);
    if (current < 0) return;
    index = std::clamp(index, 0, Count() - 1);
    fields_.erase(fields_.begin() + current);
    fields_.insert(fields_.begin() + index, field);
}

TField* TFields::FindField(const std::string& name) const
{
    for (TField* field : fields_)
        if (AnsiCompareText(field->FieldName(), name) == 0) return field;
    return nullptr;
}

TField* TFields::FieldByName(const std::string& name) const
{
    TField* field = FindField(name);
    if (!field) DatabaseErrorFmt(dbconsts::SFieldNotFound, {name}, dataSet_);
    return field;
}

TField* TFields::FieldByNumber(Integer fieldNo) const
{
    for (TField* field : fields_)
        if (field->FieldNo() == fieldNo) return field;
    return nullptr;
}

void TFields::CheckFieldName(const std::string& name) const
{
    if (name.empty()) DatabaseError(dbconsts::SFieldNameMissing, dataSet_);
    if (FindField(name)) DatabaseErrorFmt(dbconsts::SDuplicateFieldName, {name}, dataSet_);
}

std::vector<std::string> TFields::GetFieldNames() const
{
    std::vector<std::string> names;
    for (const TField* field : fields_) names.push_back(field->FieldName());
    return names;
}
