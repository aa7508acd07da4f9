#include "db/FieldDefs.h"

#include "classes/ClassRegistry.h"
#include "db/BinaryFields.h"
#include "db/BooleanField.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DataSet.h"
#include "db/DateTimeFields.h"
#include "db/NumericFields.h"
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
    default: return nullptr;
    }
}

// --- TFieldDef -----------------------------------------------------------------------------------------------------

void TFieldDef::SetRequired(bool required)
{
    if (required)
        Attributes.Include(faRequired);
    else
        Attributes.Exclude(faRequired);
}

TClass TFieldDef::FieldClass(TDataSet* dataSet) const
{
    return dataSet ? dataSet->GetFieldClass(DataType) : DefaultFieldClass(DataType);
}

TField* TFieldDef::CreateField(TComponent* owner, TDataSet* dataSet) const
{
    TClass fieldClass = FieldClass(dataSet);
    if (!fieldClass || !fieldClass->InheritsFrom(TField::StaticClass()))
        DatabaseErrorFmt(dbconsts::SUnknownFieldType, {Name});
    auto* field = static_cast<TField*>(CreateObjectOfClass(fieldClass, owner));
    try {
        if (DataType == ftFixedChar || DataType == ftWideString || field->Size() != Size) {
            if (DataType != ftBCD || Size > 0) field->SetSize(Size);
        }
        field->SetFieldName(Name);
        field->SetRequired(Required());
        field->SetReadOnly(Attributes.Contains(faReadonly));
        if (auto* bcd = dynamic_cast<TBCDField*>(field)) bcd->SetPrecision(Precision);
        if (InternalCalcField) field->SetFieldKind(fkInternalCalc);
        field->SetDataSet(dataSet);
    } catch (...) {
        field->Free();
        throw;
    }
    return field;
}

void TFieldDef::Assign(TPersistent* source)
{
    auto* def = dynamic_cast<TFieldDef*>(source);
    if (!def) {
        TPersistent::Assign(source);
        return;
    }
    Name = def->Name;
    DataType = def->DataType;
    Size = def->Size;
    Precision = def->Precision;
    FieldNo = def->FieldNo;
    Attributes = def->Attributes;
    InternalCalcField = def->InternalCalcField;
}

// --- TFieldDefs ----------------------------------------------------------------------------------------------------

TFieldDef* TFieldDefs::AddFieldDef()
{
    defs_.push_back(std::make_unique<TFieldDef>());
    defs_.back()->FieldNo = Count();
    return defs_.back().get();
}

TFieldDef* TFieldDefs::Add(const std::string& name, TFieldType dataType, Integer size, bool required)
{
    if (name.empty()) DatabaseError(dbconsts::SFieldNameMissing);
    if (IndexOf(name) >= 0) DatabaseErrorFmt(dbconsts::SDuplicateFieldName, {name});
    TFieldDef* def = AddFieldDef();
    def->Name = name;
    def->DataType = dataType;
    def->Size = size;
    def->SetRequired(required);
    return def;
}

TFieldDef* TFieldDefs::Items(Integer index) const
{
    if (index < 0 || index >= Count()) DatabaseError(dbconsts::SFieldIndexError);
    return defs_[index].get();
}

Integer TFieldDefs::IndexOf(const std::string& name) const
{
    for (Integer i = 0; i < Count(); ++i)
        if (AnsiCompareText(defs_[i]->Name, name) == 0) return i;
    return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& name) const
{
    const Integer index = IndexOf(name);
    if (index < 0) DatabaseErrorFmt(dbconsts::SFieldDefNotFound, {name});
    return defs_[index].get();
}

void TFieldDefs::Assign(TPersistent* source)
{
    auto* defs = dynamic_cast<TFieldDefs*>(source);
    if (!defs) {
        TPersistent::Assign(source);
        return;
    }
    defs_.clear();
    for (const auto& def : defs->defs_) {
        defs_.push_back(std::make_unique<TFieldDef>());
        defs_.back()->Assign(def.get());
    }
}

void TFieldDefs::Update()
{
    if (updated_ || !dataSet_) return;
    dataSet_->FieldDefsUpdate();
    updated_ = true;
}

void TFieldDefs::EndUpdate()
{
    if (updateCount_ > 0) --updateCount_;
}
