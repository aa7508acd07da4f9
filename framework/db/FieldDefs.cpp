#include "db/FieldDefs.h"

#include "classes/ClassRegistry.h"
#include "db/BinaryFields.h"
#include "db/BooleanField.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DBTypInfo.h"
#include "db/DataSet.h"
#include "db/DateTimeFields.h"
#include "db/NumericFields.h"
#include "db/ObjectFields.h"
#include "db/StringField.h"
#include "rtl/SysUtils.h"

TClass DefaultFieldClass(TFieldType type)
{
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return TStringField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: return TDateTimeField::StaticClass();
    case ftBytes: return TBytesField::StaticClass();
    case ftVarBytes: return TVarBytesField::StaticClass();
    case ftMemo:
    case ftFmtMemo: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftBlob:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: return TBlobField::StaticClass();
    case ftADT: return TADTField::StaticClass();
    case ftArray: return TArrayField::StaticClass();
    case ftReference: return TReferenceField::StaticClass();
    case ftDataSet: return TDataSetField::StaticClass();
    default: return nullptr;
    }
}

namespace {

// Frees a field made from a definition together with the children made for it.
void FreeWithChildren(TField* field)
{
    if (auto* object = dynamic_cast<TObjectField*>(field))
        while (object->FieldCount() > 0) FreeWithChildren(object->Fields()->Fields(object->FieldCount() - 1));
    field->Free();
}

// The data type a field of this class takes for the definition: ftFixedChar is a fixed-length ftString field.
TFieldType FieldTypeFor(TFieldType defType)
{
    return defType == ftFixedChar ? ftString : defType;
}

}  // namespace

// --- TFieldDef -----------------------------------------------------------------------------------------------------

TFieldDef::TFieldDef(TCollection* collection) : TNamedItem(collection)
{
    FieldNo = Index() + 1;
}

TFieldDef::~TFieldDef() = default;

template <class V>
void TFieldDef::PublishMember(TPublisher<TFieldDef>& p, const char* name, V TFieldDef::*member, V defaultValue)
{
    p.Property<V>(
         name, [member](TFieldDef* def) { return def->*member; },
         [member](TFieldDef* def, V value) {
             def->*member = value;
             def->Changed(false);
         })
        .Default(defaultValue);
}

void TFieldDef::Publish(TPublisher<TFieldDef>& p)
{
    PublishMember(p, "Attributes", &TFieldDef::Attributes, TFieldAttributes());
    p.Property("ChildDefs", &TFieldDef::ChildDefs, &TFieldDef::SetChildDefs).Stored(&TFieldDef::HasChildDefs);
    PublishMember(p, "DataType", &TFieldDef::DataType, ftUnknown);
    PublishMember(p, "Precision", &TFieldDef::Precision, Integer(0));
    PublishMember(p, "Size", &TFieldDef::Size, Integer(0));
}

TFieldDefs* TFieldDef::ChildDefs()
{
    if (!childDefs_) childDefs_ = std::make_unique<TFieldDefs>(this);
    return childDefs_.get();
}

void TFieldDef::SetChildDefs(TFieldDefs* value)
{
    ChildDefs()->Assign(value);
}

bool TFieldDef::HasChildDefs() const
{
    return childDefs_ && childDefs_->Count() > 0;
}

TFieldDef* TFieldDef::AddChild()
{
    return ChildDefs()->AddFieldDef();
}

TFieldDef* TFieldDef::ParentDef() const
{
    auto* defs = dynamic_cast<TFieldDefs*>(Collection());
    return defs ? defs->ParentDef() : nullptr;
}

void TFieldDef::SetRequired(bool required)
{
    if (required)
        Attributes.Include(faRequired);
    else
        Attributes.Exclude(faRequired);
    Changed(false);
}

TClass TFieldDef::FieldClass() const
{
    auto* defs = dynamic_cast<TFieldDefs*>(Collection());
    TDataSet* dataSet = defs ? defs->DataSet() : nullptr;
    return dataSet ? dataSet->GetFieldClass(DataType) : DefaultFieldClass(DataType);
}

TField* TFieldDef::CreateField(TComponent* owner, TObjectField* parentField, const std::string& fieldName,
                               bool checkType)
{
    TClass fieldClass = FieldClass();
    if (!fieldClass || !fieldClass->InheritsFrom(TField::StaticClass()))
        DatabaseErrorFmt(dbconsts::SUnknownFieldType, {Name});
    auto* field = static_cast<TField*>(CreateObjectOfClass(fieldClass, owner));
    try {
        if (DataType == ftFixedChar || DataType == ftWideString || field->Size() != Size) {
            if (DataType != ftBCD || Size > 0) field->SetSize(Size);
        }
        field->SetFieldName(fieldName.empty() ? Name : fieldName);
        field->SetFieldType(DataType);
        if (checkType && field->DataType() != FieldTypeFor(DataType))
            DatabaseErrorFmt(dbconsts::SFieldTypeMismatch,
                             {field->FieldName(), FieldTypeName(DataType), FieldTypeName(field->DataType())});
        field->SetRequired(Required());
        field->SetReadOnly(Attributes.Contains(faReadonly));
        if (auto* bcd = dynamic_cast<TBCDField*>(field)) bcd->SetPrecision(Precision);
        if (InternalCalcField) field->SetFieldKind(fkInternalCalc);
        auto* object = dynamic_cast<TObjectField*>(field);
        if (object) object->SetUnNamed(Attributes.Contains(faUnNamed));
        if (parentField) {
            field->SetParentField(parentField);
        } else {
            auto* defs = dynamic_cast<TFieldDefs*>(Collection());
            field->SetDataSet(defs ? defs->DataSet() : nullptr);
        }
        if (object) CreateChildFields(owner, object);
    } catch (...) {
        FreeWithChildren(field);
        throw;
    }
    return field;
}

void TFieldDef::CreateChildFields(TComponent* owner, TObjectField* field)
{
    if (!HasChildDefs()) return;
    if (DataType == ftArray) {
        TFieldDef* element = childDefs_->Items(0);
        for (Integer i = 0; i < Size; ++i)
            element->CreateField(owner, field, Format("%s[%d]", {field->FieldName(), i}));
        return;
    }
    for (Integer i = 0; i < childDefs_->Count(); ++i) childDefs_->Items(i)->CreateField(owner, field);
}

void TFieldDef::Assign(TPersistent* source)
{
    auto* def = dynamic_cast<TFieldDef*>(source);
    if (!def) {
        TNamedItem::Assign(source);
        return;
    }
    Name = def->Name;
    DataType = def->DataType;
    Size = def->Size;
    Precision = def->Precision;
    FieldNo = def->FieldNo;
    Attributes = def->Attributes;
    InternalCalcField = def->InternalCalcField;
    if (def->HasChildDefs())
        ChildDefs()->Assign(def->childDefs_.get());
    else if (childDefs_)
        childDefs_->Clear();
    Changed(false);
}

// --- TFieldDefs ----------------------------------------------------------------------------------------------------

namespace {

TDataSet* DataSetOf(TPersistent* owner)
{
    if (auto* dataSet = dynamic_cast<TDataSet*>(owner)) return dataSet;
    if (auto* def = dynamic_cast<TFieldDef*>(owner))
        if (auto* defs = dynamic_cast<TDefCollection*>(def->Collection())) return defs->DataSet();
    return nullptr;
}

}  // namespace

TFieldDefs::TFieldDefs(TPersistent* owner)
        : TDefCollection(DataSetOf(owner), owner, TFieldDef::StaticClass()),
          parentDef_(dynamic_cast<TFieldDef*>(owner))
{
}

TFieldDef* TFieldDefs::AddFieldDef()
{
    return static_cast<TFieldDef*>(TDefCollection::Add());
}

TFieldDef* TFieldDefs::Add(const std::string& name, TFieldType dataType, Integer size, bool required)
{
    if (name.empty()) DatabaseError(dbconsts::SFieldNameMissing);
    if (IndexOf(name) >= 0) DatabaseErrorFmt(dbconsts::SDuplicateFieldName, {name});
    BeginUpdate();
    TFieldDef* def = nullptr;
    try {
        def = AddFieldDef();
        def->Name = name;
        def->DataType = dataType;
        def->Size = size;
        def->SetRequired(required);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return def;
}

TFieldDef* TFieldDefs::Items(Integer index) const
{
    if (index < 0 || index >= Count()) DatabaseError(dbconsts::SFieldIndexError);
    return static_cast<TFieldDef*>(TDefCollection::Items(index));
}

TFieldDef* TFieldDefs::Find(const std::string& name) const
{
    auto* def = static_cast<TFieldDef*>(TDefCollection::Find(name));
    if (!def) DatabaseErrorFmt(dbconsts::SFieldDefNotFound, {name});
    return def;
}

void TFieldDefs::Update()
{
    if (Updated() || !DataSet()) return;
    UpdateDefs([this] { DataSet()->FieldDefsUpdate(); });
}

bool TFieldDefs::HoldsChanges() const
{
    if (TDefCollection::HoldsChanges()) return true;
    auto* parentDefs = parentDef_ ? dynamic_cast<TDefCollection*>(parentDef_->Collection()) : nullptr;
    return parentDefs && parentDefs->HoldsChanges();
}
