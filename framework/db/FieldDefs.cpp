#include "db/FieldDefs.h"

#include "db/BinaryFields.h"
#include "db/BooleanField.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/DataSet.h"
#include "db/DateTimeFields.h"
#include "db/NumericFields.h"
#include "db/StringField.h"
#include "rtl/SysUtils.h"

namespace {

template <class T>
TField* MakeField(TComponent* owner)
{
    return CreateObject<T>(owner);
}

using TFieldMaker = TField* (*)(TComponent* owner);

TFieldMaker FieldMakerFor(TFieldType type)
{
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return &MakeField<TStringField>;
    case ftSmallint: return &MakeField<TSmallintField>;
    case ftInteger: return &MakeField<TIntegerField>;
    case ftWord: return &MakeField<TWordField>;
    case ftAutoInc: return &MakeField<TAutoIncField>;
    case ftLargeint: return &MakeField<TLargeintField>;
    case ftBoolean: return &MakeField<TBooleanField>;
    case ftFloat: return &MakeField<TFloatField>;
    case ftCurrency: return &MakeField<TCurrencyField>;
    case ftBCD: return &MakeField<TBCDField>;
    case ftDate: return &MakeField<TDateField>;
    case ftTime: return &MakeField<TTimeField>;
    case ftDateTime: return &MakeField<TDateTimeField>;
    case ftBytes: return &MakeField<TBytesField>;
    case ftVarBytes: return &MakeField<TVarBytesField>;
    case ftMemo:
    case ftFmtMemo: return &MakeField<TMemoField>;
    case ftGraphic: return &MakeField<TGraphicField>;
    case ftBlob:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: return &MakeField<TBlobField>;
    default: return nullptr;
    }
}

}  // namespace

// --- TFieldDef -----------------------------------------------------------------------------------------------------

void TFieldDef::SetRequired(bool required)
{
    if (required)
        Attributes.Include(faRequired);
    else
        Attributes.Exclude(faRequired);
}

TClass TFieldDef::FieldClass() const
{
    TFieldMaker maker = FieldMakerFor(DataType);
    if (!maker) return nullptr;
    std::unique_ptr<TField> probe(maker(nullptr));
    return probe->ClassType();
}

TField* TFieldDef::CreateField(TComponent* owner, TDataSet* dataSet) const
{
    TFieldMaker maker = FieldMakerFor(DataType);
    if (!maker) DatabaseErrorFmt("Field '%s' is of an unknown type", {Name});
    TField* field = maker(owner);
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
