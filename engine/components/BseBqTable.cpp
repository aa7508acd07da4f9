#include "engine/components/BseBqTable.h"

#include <algorithm>

#include "db/DBConsts.h"
#include "db/DataSource.h"
#include "engine/components/BseDatabase.h"
#include "engine/components/BseMainText.h"
#include "engine/components/BseSession.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "rtl/FileUtils.h"
#include "rtl/StringRoutines.h"

namespace {

constexpr const char* SNoTableName = "Missing TableName property";
constexpr const char* SIncompatibleTables = "Source and destination tables are incompatible";
constexpr Word DBIERR_TABLEREADONLY = 0x2A0B;
constexpr Integer MaxIndexNameLength = 127;

bool IsNotFound(Word result) { return (result >> 8) == 0x22; }

// Closes a temporary cursor of the facade when it leaves scope.
class TCursorGuard {
public:
    TCursorGuard(TVirtEng* engine, TBaseTable*& cursor) : engine_(engine), cursor_(cursor) {}
    ~TCursorGuard()
    {
        if (cursor_) engine_->CloseCursor(cursor_);
    }

private:
    TVirtEng* engine_;
    TBaseTable*& cursor_;
};

// Holds a database flag for the length of a scope.
class TDBFlagGuard {
public:
    TDBFlagGuard(TbqDBDataset* dataSet, Integer flag) : dataSet_(dataSet), flag_(flag) { dataSet_->SetDBFlag(flag, true); }
    ~TDBFlagGuard() { dataSet_->SetDBFlag(flag_, false); }

private:
    TbqDBDataset* dataSet_;
    Integer flag_;
};

std::string JoinFields(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ";") + name;
    return text;
}

}  // namespace

TbqTable::TbqTable(TComponent* owner)
    : TbqDBDataset(owner),
      indexDefs_(std::make_unique<TIndexDefs>(this)),
      masterLink_(std::make_unique<TMasterDataLink>(this))
{
    masterLink_->OnMasterChange = [this](TObject* sender) { MasterChanged(sender); };
    masterLink_->OnMasterDisable = [this](TObject* sender) { MasterDisabled(sender); };
}

TbqTable::~TbqTable() = default;

void TbqTable::Publish(TPublisher<TbqTable>& p)
{
    p.Property("Constraints", &TDataSet::Constraints, &TDataSet::SetConstraints).Stored(&TbqTable::ConstraintsStored);
    p.Property("DefaultIndex", &TbqTable::DefaultIndex, &TbqTable::SetDefaultIndex).Default(true);
    p.Property("Exclusive", &TbqTable::Exclusive, &TbqTable::SetExclusive).Default(false);
    p.Property("FieldDefs", &TDataSet::FieldDefs, &TDataSet::SetFieldDefs).Stored(&TbqTable::FieldDefsStored);
    p.Property("IndexFieldNames", &TbqTable::IndexFieldNames, &TbqTable::SetIndexFieldNames);
    p.Property("IndexDefs", &TbqTable::IndexDefs, &TbqTable::SetIndexDefs).Stored(&TbqTable::IndexDefsStored);
    p.Property("IndexName", &TbqTable::IndexName, &TbqTable::SetIndexName);
    p.Property("MasterFields", &TbqTable::MasterFields, &TbqTable::SetMasterFields);
    p.Property("MasterSource", &TbqTable::MasterSource, &TbqTable::SetMasterSource);
    p.Property("ReadOnly", &TbqTable::ReadOnly, &TbqTable::SetReadOnly).Default(false);
    p.Property("StoreDefs", &TbqTable::StoreDefs, &TbqTable::SetStoreDefs).Default(false);
    p.Property("TableName", &TbqTable::TableName, &TbqTable::SetTableName);
    p.Property("UpdateMode", &TbqTable::UpdateMode, &TbqTable::SetUpdateMode).Default(upWhereAll);
}

// ---- properties ----

void TbqTable::SetTableName(const std::string& value)
{
    if (ComponentState().Contains(csReading)) {
        tableName_ = value;
        return;
    }
    if (value == tableName_) return;
    CheckInactive();
    tableName_ = value;
    DataEvent(dePropertyChange, 0);
}

std::string TbqTable::IndexName() const { return indexByFieldNames_ ? std::string() : indexValue_; }
void TbqTable::SetIndexName(const std::string& value) { SetIndex(value, false); }
std::string TbqTable::IndexFieldNames() const { return indexByFieldNames_ ? indexValue_ : std::string(); }
void TbqTable::SetIndexFieldNames(const std::string& value) { SetIndex(value, !value.empty()); }

void TbqTable::SetExclusive(bool value)
{
    CheckInactive();
    exclusive_ = value;
}

void TbqTable::SetReadOnly(bool value)
{
    CheckInactive();
    readOnly_ = value;
}

void TbqTable::SetMasterSource(TDataSource* value)
{
    if (IsLinkedTo(value)) DatabaseError(dbconsts::SCircularDataLink, this);
    masterLink_->SetDataSource(value);
}

bool TbqTable::ConstraintsStored() const { return Constraints()->Count() > 0; }
bool TbqTable::FieldDefsStored() const { return storeDefs_ && FieldDefs()->Count() > 0; }
bool TbqTable::IndexDefsStored() const { return storeDefs_ && indexDefs_->Count() > 0; }

bool TbqTable::GetCanModify() { return TbqDBDataset::GetCanModify() && !readOnly_; }

void TbqTable::DataEvent(TDataEvent event, intptr_t info)
{
    if (event == dePropertyChange) indexDefs_->SetUpdated(false);
    TbqDBDataset::DataEvent(event, info);
}

// ---- the cursor ----

TBaseTable* TbqTable::CreateHandle()
{
    if (tableName_.empty()) DatabaseError(SNoTableName, this);
    indexDefs_->SetUpdated(false);
    std::string indexName, indexTag;
    GetIndexParams(indexValue_, indexByFieldNames_, indexName, indexTag);
    return OpenTableHandle(indexName, indexTag);
}

TBaseTable* TbqTable::OpenTableHandle(const std::string& indexName, const std::string& /*indexTag*/)
{
    Integer openMode = readOnly_ ? 1 : 0;
    const Integer shareMode = exclusive_ ? 1 : 0;
    const Word indexId = defaultIndex_ ? DefaultIndexId : NoIndexId;
    for (;;) {
        TBaseTable* cursor = nullptr;
        const Word result =
            Engine()->OpenTable(DBHandle(), tableName_, indexName, indexId, openMode, shareMode, cursor);
        if (result == DBIERR_TABLEREADONLY && openMode == 0) {
            openMode = 1;
            continue;
        }
        if (CheckOpen(result)) return cursor;
    }
}

void TbqTable::GetIndexParams(const std::string& value, bool byFieldNames, std::string& indexName,
                              std::string& indexTag)
{
    indexName.clear();
    indexTag.clear();
    if (value.empty()) return;
    indexDefs_->Update();
    const std::string name = byFieldNames ? indexDefs_->FindIndexForFields(value)->Name : value;
    char native[MaxIndexNameLength + 1];
    indexName = AnsiToNative(Engine(), name, MaxIndexNameLength, native);
}

void TbqTable::DestroyHandle()
{
    DestroyLookupCursor();
    TbqDBDataset::DestroyHandle();
}

void TbqTable::PrepareCursor()
{
    std::string indexName, indexTag;
    GetIndexParams(indexValue_, indexByFieldNames_, indexName, indexTag);
    CheckMasterRange();
}

TBaseTable* TbqTable::GetLookupCursor(const std::string& keyFields, bool caseInsensitive)
{
    if (keyFields == lookupKeyFields_ && caseInsensitive == lookupCaseIns_) return lookupCursor_;
    DestroyLookupCursor();
    TIndexDef* index = indexDefs_->GetIndexForFields(keyFields, caseInsensitive);
    if (index && index->Options.Contains(ixCaseInsensitive) == caseInsensitive &&
        keyFields.size() < MaxIndexNameLength) {
        Check(Engine()->CloneCursor(Handle(), lookupCursor_));
        std::string indexName, indexTag;
        GetIndexParams(index->Name, false, indexName, indexTag);
        Check(Engine()->SwitchToIndex(lookupCursor_, indexName, false));
    }
    lookupKeyFields_ = keyFields;
    lookupCaseIns_ = caseInsensitive;
    return lookupCursor_;
}

void TbqTable::DestroyLookupCursor()
{
    if (!lookupCursor_) return;
    Engine()->CloseCursor(lookupCursor_);
    lookupCursor_ = nullptr;
    lookupKeyFields_.clear();
}

// ---- definitions ----

void TbqTable::InitFieldDefs()
{
    if (Handle()) {
        InternalInitFieldDefs();
        return;
    }
    if (tableName_.empty()) DatabaseError(SNoTableName, this);
    TDBFlagGuard flag(this, dbfFieldList);
    ReadFieldDefsClosed();
}

void TbqTable::ReadFieldDefsClosed()
{
    TBaseTable* fieldCursor = nullptr;
    TCursorGuard guard(Engine(), fieldCursor);
    while (!CheckOpen(Engine()->OpenFieldList(DBHandle(), tableName_, fieldCursor))) {
    }
    Integer count = 0;
    Check(Engine()->GetRecordCount(fieldCursor, count));
    std::vector<FLDDesc> descriptors(size_t(std::max(count, 0)));
    for (FLDDesc& descriptor : descriptors)
        Check(Engine()->GetNextRecord(fieldCursor, 0, reinterpret_cast<Byte*>(&descriptor), nullptr));
    const Integer lastNumber = descriptors.empty() ? 0 : descriptors.back().iFldNum;
    const std::vector<bool> required = RequiredFieldsClosed(size_t(std::max(lastNumber, count)) + 1);
    FieldDefs()->BeginUpdate();
    try {
        AddFieldDescs(descriptors, 0, required, 1);
    } catch (...) {
        FieldDefs()->EndUpdate();
        throw;
    }
    FieldDefs()->EndUpdate();
}

std::vector<bool> TbqTable::RequiredFieldsClosed(size_t size)
{
    std::vector<bool> required(size);
    TBaseTable* checkCursor = nullptr;
    if (Engine()->OpenVchkList(DBHandle(), tableName_, checkCursor) != 0) return required;
    TCursorGuard guard(Engine(), checkCursor);
    VCHKDesc check{};
    while (Engine()->GetNextRecord(checkCursor, 0, reinterpret_cast<Byte*>(&check), nullptr) == 0) {
        if (!check.bRequired || check.bHasDefVal) continue;
        while (check.iFldNum >= required.size()) required.resize(required.size() + 100);
        required[check.iFldNum] = true;
    }
    return required;
}

void TbqTable::UpdateIndexDefs()
{
    TDBFlagGuard flag(this, dbfIndexList);
    FieldDefs()->Update();
    indexDefs_->Clear();
    if (Handle() || !Database()->IsSQLBased())
        ReadIndexDefsFromCursor();
    else
        ReadIndexDefsFromList();
}

void TbqTable::ReadIndexDefsFromCursor()
{
    TBaseTable* temporary = nullptr;
    TCursorGuard guard(Engine(), temporary);
    TBaseTable* cursor = Handle();
    if (!cursor) cursor = temporary = OpenTableHandle("", "");
    CURProps properties{};
    Check(Engine()->GetCursorProps(cursor, properties));
    if (properties.iIndexes == 0) return;
    std::vector<IDXDesc> descriptors(properties.iIndexes);
    Check(Engine()->GetIndexDescs(cursor, descriptors.data()));
    AddIndexDefs(descriptors.data(), Integer(descriptors.size()), true);
}

void TbqTable::ReadIndexDefsFromList()
{
    TBaseTable* listCursor = nullptr;
    TCursorGuard guard(Engine(), listCursor);
    while (!CheckOpen(Engine()->OpenIndexList(DBHandle(), tableName_, listCursor))) {
    }
    IDXDesc descriptor{};
    while (Engine()->GetNextRecord(listCursor, 0, reinterpret_cast<Byte*>(&descriptor), nullptr) == 0)
        if (descriptor.bMaintained) AddIndexDefs(&descriptor, 1, false);
}

void TbqTable::AddIndexDefs(const IDXDesc* descriptors, Integer count, bool withSource)
{
    for (Integer i = 0; i < count; ++i) {
        const TIndexDescInfo info = DecodeIndexDesc(descriptors[i]);
        TIndexDef* def = indexDefs_->Add(info.Name, info.Fields, info.Options);
        def->DescFields = info.DescFields;
        if (info.Options.Contains(ixExpression)) def->Expression = info.Fields;
        if (withSource && !info.Source.empty()) def->Source = info.Source;
    }
}

TbqTable::TIndexDescInfo TbqTable::DecodeIndexDesc(const IDXDesc& descriptor)
{
    TIndexDescInfo info;
    std::string name, source;
    if (descriptor.szTagName[0]) {
        NativeToAnsi(Engine(), descriptor.szTagName, name);
        NativeToAnsi(Engine(), descriptor.szName, source);
    } else {
        NativeToAnsi(Engine(), descriptor.szName, name);
    }
    info.Name = ExtractFileName(name);
    info.Source = ExtractFileName(source);
    if (descriptor.bPrimary) info.Options.Include(ixPrimary);
    if (descriptor.bUnique) info.Options.Include(ixUnique);
    if (descriptor.bDescending) info.Options.Include(ixDescending);
    if (descriptor.bCaseInsensitive) info.Options.Include(ixCaseInsensitive);
    if (!descriptor.bMaintained) info.Options.Include(ixNonMaintained);
    if (descriptor.bExpIdx) {
        info.Options.Include(ixExpression);
        NativeToAnsi(Engine(), descriptor.szKeyExp, info.Fields);
        return info;
    }
    std::vector<std::string> fields, descending;
    for (Integer i = 0; i < descriptor.iFldsInKey && i < 16; ++i) {
        const Integer number = descriptor.aiKeyFld[i];
        const std::string fieldName =
            number >= 1 && number <= FieldDefs()->Count() ? FieldDefs()->Items(number - 1)->Name : std::string();
        fields.push_back(fieldName);
        if (descriptor.abDescending[i]) descending.push_back(fieldName);
    }
    info.Fields = JoinFields(fields);
    info.DescFields = JoinFields(descending);
    if (descriptor.bDescending && info.DescFields == info.Fields) info.DescFields.clear();
    return info;
}

// ---- master link ----

void TbqTable::CheckMasterRange()
{
    if (!masterLink_->Active() || masterLink_->Fields().empty()) return;
    SetLinkRanges(masterLink_->Fields());
    SetCursorRange();
}

void TbqTable::MasterChanged(TObject*)
{
    CheckBrowseMode();
    SetLinkRanges(masterLink_->Fields());
    ApplyRange();
}

void TbqTable::MasterDisabled(TObject*) { CancelRange(); }

void TbqTable::DoOnNewRecord()
{
    if (masterLink_->Active()) {
        const std::vector<TField*>& masterFields = masterLink_->Fields();
        for (size_t i = 0; i < masterFields.size(); ++i) IndexField(Integer(i))->Assign(masterFields[i]);
    }
    TbqDBDataset::DoOnNewRecord();
}

void TbqTable::GetDetailLinkFields(std::vector<TField*>& masterFields, std::vector<TField*>& detailFields)
{
    masterFields.clear();
    detailFields.clear();
    TDataSource* source = MasterSource();
    if (!source || !source->DataSet() || MasterFields().empty()) return;
    masterFields = source->DataSet()->GetFieldList(MasterFields());
    // Read afresh inside the definitions' update: what the engine tells is no change of the table's.
    indexDefs_->SetUpdated(false);
    indexDefs_->Update();
    TIndexDef* index = nullptr;
    if (!IndexName().empty())
        index = indexDefs_->Find(IndexName());
    else if (!IndexFieldNames().empty())
        index = indexDefs_->GetIndexForFields(IndexFieldNames(), false);
    else
        for (Integer i = 0; i < indexDefs_->Count() && !index; ++i)
            if (indexDefs_->Items(i)->Options.Contains(ixPrimary)) index = indexDefs_->Items(i);
    if (index) detailFields = GetFieldList(index->Fields);
}

// ---- index selection ----

void TbqTable::SetIndex(const std::string& value, bool byFieldNames)
{
    if (Active()) CheckBrowseMode();
    if (value == indexValue_ && byFieldNames == indexByFieldNames_) return;
    if (Active()) {
        std::string indexName, indexTag;
        GetIndexParams(value, byFieldNames, indexName, indexTag);
        SwitchToIndex(indexName, indexTag);
        CheckMasterRange();
    }
    indexValue_ = value;
    indexByFieldNames_ = byFieldNames;
    if (Active()) Resync({});
}

// ---- key search ----

const Byte* TbqTable::LookupKey(std::vector<Byte>& buffer, bool& direct)
{
    buffer.assign(std::max<size_t>(KeySize(), 1), 0);
    direct = Engine()->ExtractKey(Handle(), KeyRecord(kiLookup), buffer.data()) == 0;
    return direct ? buffer.data() : KeyRecord(kiLookup);
}

bool TbqTable::FindKey(const std::vector<TVarRec>& values)
{
    CheckBrowseMode();
    SetKeyFields(kiLookup, values);
    return GotoKey();
}

// Only a missing key reads as "not found"; any other engine failure is raised.
bool TbqTable::GotoKey()
{
    CheckBrowseMode();
    DoBeforeScroll();
    CursorPosChanged();
    std::vector<Byte> buffer;
    bool direct = false;
    const Byte* key = LookupKey(buffer, direct);
    const Word fieldCount = Word(KeyBuffer(kiLookup)->FieldCount);
    const Word result = Engine()->GetRecordForKey(Handle(), direct, fieldCount, 0, key, nullptr);
    if (result != 0) {
        if (IsNotFound(result)) return false;
        RaiseEngineError(Engine(), result);
    }
    DoAfterScroll();
    Resync({rmExact, rmCenter});
    return true;
}

void TbqTable::FindNearest(const std::vector<TVarRec>& values)
{
    CheckBrowseMode();
    SetKeyFields(kiLookup, values);
    GotoNearest();
}

void TbqTable::GotoNearest()
{
    CheckBrowseMode();
    CursorPosChanged();
    const Word condition = KeyBuffer(kiLookup)->Exclusive ? keySEARCHGT : keySEARCHGEQ;
    std::vector<Byte> buffer;
    bool direct = false;
    const Byte* key = LookupKey(buffer, direct);
    const Word fieldCount = Word(KeyBuffer(kiLookup)->FieldCount);
    Check(Engine()->SetToKey(Handle(), condition, direct, fieldCount, 0, key));
    Resync({rmCenter});
}

// ---- ranges ----

void TbqTable::SetRange(const std::vector<TVarRec>& startValues, const std::vector<TVarRec>& endValues)
{
    CheckBrowseMode();
    SetKeyFields(kiRangeStart, startValues);
    SetKeyFields(kiRangeEnd, endValues);
    ApplyRange();
}

void TbqTable::ApplyRange()
{
    CheckBrowseMode();
    if (SetCursorRange()) First();
}

void TbqTable::CancelRange()
{
    CheckBrowseMode();
    UpdateCursorPos();
    if (ResetCursorRange()) Resync({});
}

void TbqTable::GotoCurrent(TbqTable* table)
{
    CheckBrowseMode();
    table->CheckBrowseMode();
    if (AnsiCompareText(DatabaseName(), table->DatabaseName()) != 0 ||
        AnsiCompareText(TableName(), table->TableName()) != 0)
        DatabaseError(SIncompatibleTables, this);
    table->UpdateCursorPos();
    Check(Engine()->SetToCursor(Handle(), table->Handle()));
    DoBeforeScroll();
    Resync({rmExact, rmCenter});
    DoAfterScroll();
}
