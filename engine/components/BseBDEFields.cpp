// TbqBDEDataset: field definitions from the cursor's descriptors and field data in the record buffers.
#include <cmath>
#include <cstring>

#include "db/DBConsts.h"
#include "db/ObjectFields.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/components/BseMainText.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseTable.h"
#include "rtl/Format.h"

namespace {

constexpr Word fldTypeCount = 24;
// The ADT subtype whose name is left out of its members' full names.
constexpr Word fldstUNNAMEDADT = 35;
// An object type name and its terminating zero.
constexpr size_t ObjectTypeNameSize = 34;

const TFieldType LogicalTypes[fldTypeCount] = {
    ftUnknown, ftString, ftDate, ftBlob, ftBoolean, ftSmallint, ftInteger, ftFloat, ftBCD, ftBytes, ftTime,
    ftDateTime, ftWord, ftInteger, ftUnknown, ftVarBytes, ftUnknown, ftUnknown, ftLargeint, ftLargeint, ftADT,
    ftArray, ftReference, ftDataSet};

// Blob subtypes 22 to 36.
const TFieldType BlobTypes[] = {ftMemo, ftBlob, ftFmtMemo, ftParadoxOle, ftGraphic, ftDBaseOle, ftTypedBinary, ftBlob,
                                ftBlob, ftBlob, ftBlob, ftMemo, ftBlob, ftBlob, ftBlob};

struct TFieldShape {
    TFieldType Type = ftUnknown;
    Integer Size = 0;
    Integer Precision = 0;
    bool Required = false;
};

TFieldShape ShapeOf(const FLDDesc& d, bool required)
{
    TFieldShape shape;
    shape.Type = d.iFldType < fldTypeCount ? LogicalTypes[d.iFldType] : ftUnknown;
    shape.Required = required;
    switch (d.iFldType) {
    case 1: case 9: case 15: case 20: case 21: case 22:
        if (d.iSubType == 31) shape.Type = ftFixedChar;
        shape.Size = d.iUnits1;
        if (d.iUnits1 == 0) shape.Type = ftUnknown;
        break;
    case 5: case 12:
        if (d.iLen == 1) shape.Type = ftSmallint;
        else if (d.iLen != 2) shape.Type = ftUnknown;
        break;
    case 6:
        if (d.iSubType == 29) {
            shape.Type = ftAutoInc;
            shape.Required = false;
        }
        break;
    case 7:
        if (d.iSubType == 21) shape.Type = ftCurrency;
        break;
    case 8:
        shape.Size = std::abs(d.iUnits2);
        shape.Precision = d.iUnits1;
        break;
    case 3:
        shape.Size = d.iUnits1;
        if (d.iSubType >= 22 && d.iSubType <= 36) shape.Type = BlobTypes[d.iSubType - 22];
        break;
    }
    return shape;
}

std::string UniqueName(TFieldDefs* defs, const std::string& name)
{
    std::string unique = name;
    for (Integer n = 1; defs->IndexOf(unique) >= 0; ++n) unique = Format("%s_%d", {name, n});
    return unique;
}

}  // namespace

// --- Field definitions ---------------------------------------------------------------------------------------------

void TbqBDEDataset::InternalInitFieldDefs()
{
    CURProps props{};
    Check(Engine()->GetCursorProps(handle_, props));
    Integer fieldCount = props.iFields;
    Integer hidden = 0;
    const bool withHidden = FieldDefs()->HiddenFields() && SetBoolProp(Engine(), handle_, curGETHIDDENCOLUMNS, true);
    if (withHidden) {
        Check(Engine()->GetCursorProps(handle_, props));
        hidden = props.iFields - fieldCount;
        fieldCount = props.iFields;
    }
    const Integer maxFieldId = GetIntProp(Engine(), handle_, curMAXFIELDID);
    std::vector<bool> required(size_t(maxFieldId >= 1 ? maxFieldId + 1 : fieldCount + 1), false);
    AddRequiredFromChecks(props.iValChecks, required);
    std::vector<FLDDesc> descriptors(static_cast<size_t>(fieldCount));
    if (fieldCount > 0) Check(Engine()->GetFieldDescs(handle_, descriptors.data()));
    AddFieldDescs(descriptors, size_t(FieldNoOfs() - 1), required, FieldNoOfs());
    if (!withHidden) return;
    SetBoolProp(Engine(), handle_, curGETHIDDENCOLUMNS, false);
    for (Integer i = std::max(0, FieldDefs()->Count() - hidden); i < FieldDefs()->Count(); ++i)
        FieldDefs()->Items(i)->Attributes.Include(faHiddenCol);
}

void TbqBDEDataset::AddRequiredFromChecks(Integer checkCount, std::vector<bool>& required)
{
    for (Integer number = 1; number <= checkCount; ++number) {
        VCHKDesc check{};
        Check(Engine()->GetVchkDesc(handle_, Word(number), check));
        if (!check.bRequired || check.bHasDefVal) continue;
        if (check.iFldNum >= required.size()) required.resize(check.iFldNum + 1, false);
        required[check.iFldNum] = true;
    }
}

void TbqBDEDataset::AddFieldDescs(const std::vector<FLDDesc>& descriptors, size_t index,
                                  const std::vector<bool>& required, Integer fieldNo)
{
    FieldDefs()->Clear();
    while (index < descriptors.size()) AddFieldDesc(descriptors, index, FieldDefs(), required, fieldNo);
}

void TbqBDEDataset::AddFieldDesc(const std::vector<FLDDesc>& descriptors, size_t& index, TFieldDefs* defs,
                                 const std::vector<bool>& required, Integer& fieldNo, const std::string& name)
{
    const FLDDesc& d = descriptors[index++];
    std::string descName = name;
    if (descName.empty()) NativeToAnsi(Engine(), d.szName, descName);
    const bool isRequired = d.iFldNum < required.size() && required[d.iFldNum];
    const TFieldShape shape = ShapeOf(d, isRequired);
    TFieldDef* def = defs->AddFieldDef();
    def->Name = UniqueName(defs, descName);
    def->DataType = shape.Type;
    def->Size = shape.Size;
    def->Precision = shape.Precision;
    def->FieldNo = fieldNo++;
    if (shape.Required) def->Attributes.Include(faRequired);
    if (d.efldrRights == 1) def->Attributes.Include(faReadonly);
    def->InternalCalcField = d.bCalcField != 0;
    AddChildDescs(d, def, descriptors, index, required, fieldNo);
}

// An ADT's members follow it and take the next field numbers; an array's one element follows it with numbers of its
// own, and the array's elements take units2 field numbers.
void TbqBDEDataset::AddChildDescs(const FLDDesc& parent, TFieldDef* def, const std::vector<FLDDesc>& descriptors,
                                  size_t& index, const std::vector<bool>& required, Integer& fieldNo)
{
    if (def->DataType == ftADT) {
        if (parent.iSubType == fldstUNNAMEDADT) def->Attributes.Include(faUnNamed);
        for (SmallInt i = 0; i < parent.iUnits1 && index < descriptors.size(); ++i)
            AddFieldDesc(descriptors, index, def->ChildDefs(), required, fieldNo);
    } else if (def->DataType == ftArray && index < descriptors.size()) {
        Integer elementNo = fieldNo;
        AddFieldDesc(descriptors, index, def->ChildDefs(), required, elementNo, def->Name + "[0]");
        fieldNo += std::max<SmallInt>(parent.iUnits2, 0);
    }
}

// Object fields inside object fields too; an array of objects in sparse mode through its element's fields.
void TbqBDEDataset::GetObjectTypeNames(TFields* fields)
{
    for (Integer i = 0; i < fields->Count(); ++i) {
        auto* object = dynamic_cast<TObjectField*>(fields->Fields(i));
        if (!object) continue;
        ReadObjectTypeName(object);
        TFields* children = object->Fields();
        const bool sparseObjects = object->DataType() == ftArray && SparseArrays() && children->Count() > 0 &&
                                   children->Fields(0)->DataType() == ftADT;
        GetObjectTypeNames(sparseObjects ? static_cast<TObjectField*>(children->Fields(0))->Fields() : children);
    }
}

void TbqBDEDataset::ReadObjectTypeName(TObjectField* object)
{
    char buffer[ObjectTypeNameSize] = {};
    const Word fieldNo = Word(object->FieldNo());
    std::memcpy(buffer, &fieldNo, sizeof(fieldNo));
    Word length = 0;
    if (Engine()->GetProp(handle_, curFIELDTYPENAME, buffer, sizeof(buffer) - 1, length) != 0 || !buffer[0]) return;
    std::string typeName;
    NativeToAnsi(Engine(), buffer, typeName);
    object->SetObjectType(typeName);
}

std::string TbqBDEDataset::GetFieldFullName(TField* field)
{
    if (field->FieldNo() < 1) return TDataSet::GetFieldFullName(field);
    char buffer[1025] = {};
    Word fieldNo = Word(field->FieldNo());
    std::memcpy(buffer, &fieldNo, sizeof(fieldNo));
    Word length = 0;
    Check(Engine()->GetProp(handle_, curFIELDFULLNAME, buffer, sizeof(buffer) - 1, length));
    std::string name;
    NativeToAnsi(Engine(), buffer, name);
    return name;
}

// --- Field data ----------------------------------------------------------------------------------------------------

bool TbqBDEDataset::GetActiveRecBuf(TRecordBuffer& buffer)
{
    switch (State()) {
    case dsBrowse: buffer = IsEmpty() ? nullptr : ActiveBuffer(); break;
    case dsEdit: case dsInsert: case dsNewValue: buffer = ActiveBuffer(); break;
    case dsOldValue: buffer = GetOldRecord(); break;
    case dsSetKey: buffer = reinterpret_cast<TRecordBuffer>(KeyRecord(keyBuffer_)); break;
    case dsCalcFields: buffer = CalcBuffer(); break;
    case dsFilter: buffer = filterBuffer_; break;
    case dsBlockRead: buffer = reinterpret_cast<TRecordBuffer>(BlockRecord()); break;
    default: buffer = nullptr; break;
    }
    return buffer != nullptr;
}

TRecordBuffer TbqBDEDataset::GetOldRecord()
{
    UpdateCursorPos();
    if (!SetBoolProp(Engine(), handle_, curDELAYUPDGETOLDRECORD, true)) return nullptr;
    oldValueBuffer_.assign(size_t(recBufSize_), 0);
    const Word result = Engine()->GetRecord(handle_, dbiNOLOCK, reinterpret_cast<Byte*>(oldValueBuffer_.data()), nullptr);
    SetBoolProp(Engine(), handle_, curDELAYUPDGETOLDRECORD, false);
    Check(result);
    return oldValueBuffer_.data();
}

bool TbqBDEDataset::GetFieldData(TField* field, void* buffer)
{
    if (field->FieldNo() > 0) return GetFieldData(field->FieldNo(), buffer);
    return CalcFieldData(field, buffer);
}

bool TbqBDEDataset::CalcFieldData(TField* field, void* buffer)
{
    TRecordBuffer record = State() == dsBlockRead ? TempBuffer() : nullptr;
    if (!record) GetActiveRecBuf(record);
    switch (State()) {
    case dsBrowse: case dsEdit: case dsInsert: case dsCalcFields: case dsBlockRead: {
        if (!record) return false;
        const char* area = record + recordSize_ + field->Offset();
        const bool hasValue = area[0] != 0;
        if (hasValue && buffer) std::memcpy(buffer, area + 1, field->DataSize());
        return hasValue;
    }
    default: return record != nullptr;
    }
}

bool TbqBDEDataset::GetFieldData(Integer fieldNo, void* buffer)
{
    bool blank = true;
    if (State() == dsBlockRead) {
        const Word result = Engine()->GetField(handle_, Word(fieldNo), BlockRecord(), buffer, blank);
        return result == 0 && !blank;
    }
    TRecordBuffer record = nullptr;
    if (!GetActiveRecBuf(record)) return false;
    Check(Engine()->GetField(handle_, Word(fieldNo), reinterpret_cast<Byte*>(record), buffer, blank));
    return !blank;
}

void TbqBDEDataset::SetFieldData(TField* field, const void* buffer)
{
    switch (State()) {
    case dsEdit: case dsInsert: case dsSetKey: case dsCalcFields: case dsFilter: case dsNewValue:
    case dsInternalCalc: break;
    default: DatabaseError(dbconsts::SNotEditing, this);
    }
    if (State() == dsSetKey && (field->FieldNo() < 0 || (indexFieldCount_ > 0 && !GetIsIndexField(field))))
        DatabaseErrorFmt(dbconsts::SNotIndexField, {field->DisplayName()}, this);
    TRecordBuffer record = nullptr;
    GetActiveRecBuf(record);
    if (field->FieldNo() < 1) {
        SetCalcFieldData(field, record, buffer);
    } else {
        CheckFieldWritable(field);
        field->Validate(buffer);
        if (field->FieldKind() != fkInternalCalc) VerifyConstraints(field, buffer);
        Check(Engine()->PutField(handle_, Word(field->FieldNo()), reinterpret_cast<Byte*>(record), buffer));
    }
    if (State() != dsCalcFields && State() != dsFilter && State() != dsNewValue)
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
}

void TbqBDEDataset::SetCalcFieldData(TField* field, TRecordBuffer record, const void* buffer)
{
    if (!record) return;
    char* area = record + recordSize_ + field->Offset();
    area[0] = buffer ? 1 : 0;
    if (buffer) std::memcpy(area + 1, buffer, field->DataSize());
}

void TbqBDEDataset::CheckFieldWritable(TField* field)
{
    if (State() == dsCalcFields) DatabaseError(dbconsts::SNotEditing, this);
    if (field->ReadOnly() && State() != dsSetKey && State() != dsFilter)
        DatabaseErrorFmt(dbconsts::SFieldReadOnly, {field->DisplayName()}, this);
}

void TbqBDEDataset::VerifyConstraints(TField* field, const void* buffer)
{
    if (!constraintLayer_ || !field->HasConstraints() || (State() != dsEdit && State() != dsInsert)) return;
    bool blank = false;
    Check(Engine()->VerifyField(handle_, Word(field->FieldNo()), buffer, blank));
}

Integer TbqBDEDataset::Translate(const char* src, char* dest, bool toOem)
{
    const Integer length = Integer(std::strlen(src));
    if (toOem)
        AnsiToNativeBuf(Engine(), src, length, dest);
    else
        NativeToAnsiBuf(Engine(), src, length, dest);
    if (src != dest) dest[length] = '\0';
    return length;
}

// --- Blobs ---------------------------------------------------------------------------------------------------------

Integer TbqBDEDataset::GetBlobFieldData(Integer fieldNo, std::vector<Byte>& bytes)
{
    Byte* record = nullptr;
    if (State() == dsBlockRead) {
        record = BlockRecord();
    } else {
        TRecordBuffer active = nullptr;
        if (!GetActiveRecBuf(active)) return 0;
        record = reinterpret_cast<Byte*>(active);
    }
    if (Engine()->OpenBlob(handle_, record, Word(fieldNo), 0) != 0) return 0;
    Integer read = 0;
    try {
        ReadBlob(record, fieldNo, bytes, read);
    } catch (...) {
        Engine()->FreeBlob(handle_, record, Word(fieldNo));
        if (State() != dsBlockRead) throw;
        return 0;
    }
    Engine()->FreeBlob(handle_, record, Word(fieldNo));
    return read;
}

bool TbqBDEDataset::ReadBlob(Byte* record, Integer fieldNo, std::vector<Byte>& bytes, Integer& read)
{
    Cardinal size = 0;
    Check(Engine()->GetBlobSize(handle_, record, Word(fieldNo), size));
    if (size == 0) return false;
    if (bytes.size() < size) bytes.resize(size_t(size * 1.25));
    Cardinal got = 0;
    Check(Engine()->GetBlob(handle_, record, Word(fieldNo), 0, size, bytes.data(), got));
    read = Integer(got);
    return true;
}

void TbqBDEDataset::CloseBlob(TField* field)
{
    Engine()->FreeBlob(handle_, reinterpret_cast<Byte*>(ActiveBuffer()), Word(field->FieldNo()));
}

std::string*& TbqBDEDataset::BlobSlot(TRecordBuffer buffer, TField* field) const
{
    Integer slot = 0;
    for (Integer i = 0; i < FieldCount() && Fields()->Fields(i) != field; ++i)
        if (Fields()->Fields(i)->IsBlob()) ++slot;
    return reinterpret_cast<std::string**>(buffer + blobCacheOfs_)[slot];
}

void TbqBDEDataset::ClearBlobCache(TRecordBuffer buffer)
{
    if (!cacheBlobs_ || !buffer) return;
    std::string** slots = reinterpret_cast<std::string**>(buffer + blobCacheOfs_);
    for (Integer i = 0; i < BlobFieldCount(); ++i) {
        delete slots[i];
        slots[i] = nullptr;
    }
}

std::string TbqBDEDataset::GetBlobData(TField* field, TRecordBuffer buffer)
{
    const std::string* slot = BlobSlot(buffer, field);
    return slot ? *slot : std::string();
}

void TbqBDEDataset::SetBlobData(TField* field, TRecordBuffer buffer, const std::string& value)
{
    if (buffer != ActiveBuffer()) return;
    std::string*& slot = BlobSlot(buffer, field);
    delete slot;
    slot = value.empty() ? nullptr : new std::string(value);
}
