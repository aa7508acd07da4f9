#include "vxdata/Vxtable.h"

#include <algorithm>

#include "db/BinaryFields.h"
#include "db/DBConsts.h"
#include "db/DBErrors.h"
#include "db/StringField.h"
#include "engine/components/BseDatabase.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "rtl/FileUtils.h"
#include "rtl/FloatConv.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vxdata/Vxincfind.h"
#include "vxdata/Vxintl.h"
#include "vxdata/Vxlocate.h"
#include "vxdata/Vxstr.h"
#include "vxdata/vxFilterTime.h"
#include "vxdata/vxfilter.h"

namespace {

void SetScreenCursor(TCursor cursor)
{
    if (Screen && Screen->Cursor() != cursor) Screen->SetCursor(cursor);
}

// Restores the default screen cursor when it goes.
class THourGlass {
public:
    THourGlass() { SetScreenCursor(crHourGlass); }
    ~THourGlass() { SetScreenCursor(crDefault); }
};

// Raises the table's SearchDepth while it lives.
class TSearchDepth {
public:
    explicit TSearchDepth(TvxTable* table) : table_(table) { ++table_->SearchDepth; }
    ~TSearchDepth() { --table_->SearchDepth; }

private:
    TvxTable* table_;
};

bool IsMemoField(TField* field)
{
    return dynamic_cast<TMemoField*>(field) || field->DataType() == ftMemo || field->DataType() == ftBlob;
}

// The text before the first separator (all of it when there is none).
std::string TextBefore(const std::string& text, char separator) { return text.substr(0, text.find(separator)); }

}  // namespace

// ---- record-filter event ----

TvxRecordFilter::TvxRecordFilter(TbqBDEDataset* dataSet) : dataSet_(dataSet), param_(std::make_unique<TParam>(nullptr)) {}

TvxRecordFilter::~TvxRecordFilter() = default;

Word __stdcall TvxRecordFilter::Callback(uintptr_t clientData, void* record, Integer)
{
    auto* owner = dynamic_cast<IvxRecordFiltered*>(reinterpret_cast<TbqBDEDataset*>(clientData));
    return !owner || owner->RecordFilter().Accepts(static_cast<Byte*>(record));
}

bool TvxRecordFilter::Accepts(Byte* record)
{
    if (destroying_ || !event_ || running_ || !options_.Contains(ofoEnabled)) return true;
    const bool wasInsideRead = insideRead_;
    insideRead_ = true;
    bool accept = true;
    try {
        EventAccepts(record, accept);
        if (options_.Contains(ofoShowHourGlass) && !hourGlassShown_ && !accept) ShowHourGlass();
        if (options_.Contains(ofoCancelOnEscape)) CountForEscape();
    } catch (...) {
        insideRead_ = wasInsideRead;
        throw;
    }
    insideRead_ = wasInsideRead;
    return accept;
}

void TvxRecordFilter::EventAccepts(Byte* record, bool& accept)
{
    running_ = true;
    record_ = record;
    try {
        event_(accept);
    } catch (...) {
        running_ = false;
        throw;
    }
    running_ = false;
}

void TvxRecordFilter::ShowHourGlass()
{
    SetScreenCursor(crHourGlass);
    hourGlassShown_ = true;
}

void TvxRecordFilter::CountForEscape()
{
    escapeCount_ = escapeCount_ + 1 >= 32000 ? 0 : escapeCount_ + 1;
    if (escapeCount_ % 100 != 0 || !vxCheckFilterEscape(dataSet_)) return;
    SetOptions(options_ - TvxFilterOptions{ofoEnabled});
    if (OnFilterEscape) OnFilterEscape(dataSet_);
}

void TvxRecordFilter::SetOptions(TvxFilterOptions value)
{
    const bool switchingOff = options_.Contains(ofoEnabled) && !value.Contains(ofoEnabled);
    options_ = value;
    if (!switchingOff || !dataSet_->Active() || !event_) return;
    if (insideRead_)
        resyncPending_ = true;
    else
        ResyncRecords();
}

void TvxRecordFilter::ResyncRecords()
{
    resyncPending_ = false;
    dataSet_->UpdateCursorPos();
    dataSet_->Resync({});
}

void TvxRecordFilter::AfterDataEvent(TDataEvent event)
{
    RestoreCursor();
    if (!resyncPending_ || insideRead_) return;
    if (!dataSet_->Active() || dataSet_->State() != dsBrowse) {
        resyncPending_ = dataSet_->Active();
        return;
    }
    if (event == deDataSetChange || event == deDataSetScroll) ResyncRecords();
}

void TvxRecordFilter::RestoreCursor()
{
    if (!options_.Contains(ofoShowHourGlass) || !hourGlassShown_) return;
    if (Screen && Screen->Cursor() != crArrow) {
        Screen->SetCursor(crArrow);
        hourGlassShown_ = false;
    }
}

bool TvxRecordFilter::Install()
{
    return vxInstallCallbackFilter(event_ ? &TvxRecordFilter::Callback : nullptr, dataSet_, handle_);
}

void TvxRecordFilter::Remove()
{
    if (dataSet_->Handle())
        vxInstallCallbackFilter(nullptr, dataSet_, handle_);
    else
        handle_ = nullptr;
}

TParam* TvxRecordFilter::FilterField(const std::string& fieldName)
{
    TField* field = dataSet_->FindField(fieldName);
    if (!field) DatabaseErrorFmt(dbconsts::SFieldNotFound, {fieldName}, dataSet_);
    param_->Clear();
    const size_t size = size_t(std::max<Integer>({vxGetFilterMemoSize(), field->DataSize(), 4})) + 1;
    if (buffer_.size() < size) buffer_.resize(size);
    std::fill_n(buffer_.begin(), 4, '\0');
    if (IsMemoField(field)) {
        vxReadBlobAtFilter(dataSet_, record_, buffer_, field, vxGetFilterMemoSize());
        param_->SetAsString(buffer_.data());
    } else if (field->FieldKind() == fkData) {
        ReadRecordField(field);
    } else {
        ReadLookupResult(field);
    }
    return param_.get();
}

void TvxRecordFilter::ReadLookupResult(TField* field)
{
    TField* result = vxLookupFieldAtFilter(dataSet_, field, [this](const std::string& name) { return FilterField(name); });
    param_->Clear();
    if (!result) return;
    param_->SetDataType(result->DataType());
    param_->SetValue(result->Value());
}

void TvxRecordFilter::ReadRecordField(TField* field)
{
    bool blank = false;
    CheckEngineResult(dataSet_->Engine(), dataSet_->Engine()->GetField(dataSet_->Handle(), Word(field->FieldNo()),
                                                                       record_, buffer_.data(), blank));
    param_->SetDataType(field->DataType() == ftAutoInc ? ftInteger : field->DataType());
    if (blank) {
        param_->Clear();
        return;
    }
    auto* stringField = dynamic_cast<TStringField*>(field);
    if (stringField && stringField->Transliterate()) {
        buffer_[std::min<size_t>(255, buffer_.size() - 1)] = '\0';
        dataSet_->Translate(buffer_.data(), buffer_.data(), false);
    }
    param_->SetData(buffer_.data());
}

// ---- TvxTable ----

TvxTable::TvxTable(TComponent* owner)
    : TTable(owner),
      lookupFields_(std::make_unique<TStringList>()),
      lookupLinks_(std::make_unique<TStringList>()),
      controlType_(std::make_unique<TStringList>()),
      pictureMasks_(std::make_unique<TStringList>()),
      vxFilter_(std::make_unique<TStringList>()),
      query_(std::make_unique<TStringList>()),
      recordFilter_(this),
      tablePictures_(std::make_unique<TStringList>())
{
}

TvxTable::~TvxTable()
{
    lookupTables_.Clear();
    recordFilter_.SetDestroying();
    for (bool* flag : destroyFlags_) *flag = true;
    if (destroyNotification_) destroyNotification_(this);
}

void TvxTable::Publish(TPublisher<TvxTable>& p)
{
    p.Property("LookupFields", &TvxTable::LookupFields, &TvxTable::SetLookupFields);
    p.Property("LookupLinks", &TvxTable::LookupLinks, &TvxTable::SetLookupLinks);
    p.Property("ControlType", &TvxTable::ControlType, &TvxTable::SetControlType);
    p.Property("PictureMasks", &TvxTable::PictureMasks, &TvxTable::SetPictureMasks);
    p.Property("vxFilter", &TvxTable::vxFilter, &TvxTable::SetvxFilter);
    p.Property("SyncSQLByRange", &TvxTable::SyncSQLByRange).Default(false);
    p.Property("NarrowSearch", &TvxTable::NarrowSearch).Default(false);
    p.Property("NarrowSearchUpperChar", &TvxTable::NarrowSearchUpperChar).Default(Word(255));
    p.Property("Query", &TvxTable::Query, &TvxTable::SetQuery);
    p.Property("TableName", &TvxTable::TableName, &TvxTable::SetTableName);
    p.Property("ValidateWithMask", &TvxTable::ValidateWithMask);
    p.Property("OnInvalidValue", &TvxTable::OnInvalidValue);
    p.Property("OnFilter", &TvxTable::OnFilter, &TvxTable::SetOnFilter);
    p.Property("OnFilterEscape", &TvxTable::OnFilterEscape, &TvxTable::SetOnFilterEscape);
    p.Property("OnFilterOptions", &TvxTable::OnFilterOptions, &TvxTable::SetOnFilterOptions)
        .Default(TvxFilterOptions{ofoEnabled, ofoShowHourGlass});
}

void TvxTable::RegisterDestroyFlag(bool* flag) { destroyFlags_.push_back(flag); }

void TvxTable::UnregisterDestroyFlag(bool* flag) { std::erase(destroyFlags_, flag); }

// ---- filters ----

std::string TvxTable::FilterText() const
{
    std::string text;
    for (Integer i = 0; i < vxFilter_->Count(); ++i) {
        std::string line = vxFilter_->Strings(i);
        vxTrimRightChars(line, vxCharSet(" \t"));
        if (line.empty()) continue;
        text += text.empty() ? line : " AND (" + line + ")";
    }
    return text;
}

void TvxTable::SetvxFilter(TStrings* value)
{
    vxFilter_->Assign(value);
    if (Active() && !vxApplyTableFilter(FilterText(), this, filterHandle_, false))
        MessageDlg("Fail to set filter", mtWarning, {mbOK}, 0);
}

void TvxTable::SetOnFilter(const TvxTableFilterEvent& value)
{
    onFilter_ = value;
    if (value)
        recordFilter_.SetEvent([this](bool& accept) { onFilter_(this, accept); });
    else
        recordFilter_.SetEvent(nullptr);
    if (Handle())
        recordFilter_.Install();
    else
        recordFilter_.Remove();
}

void TvxTable::PrepareCursor()
{
    TTable::PrepareCursor();
    preparing_ = true;
    try {
        const std::string text = FilterText();
        if (!text.empty() || onFilter_) {
            vxApplyTableFilter(text, this, filterHandle_, true);
            if (onFilter_) recordFilter_.Install();
        }
    } catch (...) {
        preparing_ = false;
        throw;
    }
    preparing_ = false;
}

bool TvxTable::IsSequenced() { return TTable::IsSequenced() && !onFilter_ && FilterText().empty(); }

Integer TvxTable::GetNextRecords()
{
    const Integer count = TTable::GetNextRecords();
    recordFilter_.AfterGetNextRecords();
    return count;
}

void TvxTable::DataEvent(TDataEvent event, intptr_t info)
{
    TTable::DataEvent(event, info);
    recordFilter_.AfterDataEvent(event);
}

// ---- query text ----

void TvxTable::SetQuery(TStrings* value)
{
    if (Active()) Close();
    if (value->Count() > 0) ClearTableSettings();
    query_->Assign(value);
}

void TvxTable::SetTableName(const std::string& value)
{
    if (!value.empty()) query_->Clear();
    TTable::SetTableName(value);
}

void TvxTable::ClearTableSettings()
{
    TTable::SetTableName("");
    SetIndexFieldNames("");
    SetMasterSource(nullptr);
    SetMasterFields("");
}

void TvxTable::OpenCursor(bool infoQuery)
{
    if (query_->Count() > 0) {
        const std::string firstWord = AnsiLowerCase(TextBefore(query_->Strings(0), ' '));
        queryKind_ = firstWord == "query" ? "QBE" : "SQL";
    }
    TTable::OpenCursor(infoQuery);
    paradoxCursor_ = Handle() && IsParadoxTable();
}

// No query backend: a query text fails with the engine's "not supported".
TBaseTable* TvxTable::CreateHandle()
{
    if (query_->Count() == 0) return TTable::CreateHandle();
    ClearTableSettings();
    RaiseEngineError(Engine(), DBIERR_NOTSUPPORTED);
}

void TvxTable::CloseCursor()
{
    lookupTables_.Clear();
    TTable::CloseCursor();
    filterHandle_ = nullptr;
    recordFilter_.CursorClosed();
    if (query_->Count() > 0) TTable::SetTableName("");
}

// A query text has no table definitions to read: its cursor is opened for them.
void TvxTable::InitFieldDefs()
{
    if (query_->Count() == 0 || Handle())
        TTable::InitFieldDefs();
    else
        TDataSet::InitFieldDefs();
}

// ---- posting ----

void TvxTable::DoBeforePost()
{
    TTable::DoBeforePost();
    if (ValidateWithMask) vxValidateRecordMasks(this, OnInvalidValue);
}

void TvxTable::DoOnCalcFields()
{
    vxPruneFieldSettings(this, lookupFields_.get(), lookupLinks_.get(), controlType_.get());
    vxCalcLookupFields(this, lookupFields_.get(), lookupLinks_.get(), &lookupTables_);
    TTable::DoOnCalcFields();
}

// ---- table kind and the table's own pictures ----

bool TvxTable::IsDBaseTable() const { return SameText(ExtractFileExt(TextBefore(TableName(), ';')), ".DBF"); }

bool TvxTable::IsParadoxTable() const
{
    const std::string name = AnsiLowerCase(TableName());
    return name.find(".db") != std::string::npos && name.ends_with('b');
}

std::string TvxTable::TableFieldPicture(const std::string& fieldName)
{
    if (!IsParadoxTable()) return "";
    LoadTablePictures();
    for (Integer i = 0; i < tablePictures_->Count(); ++i) {
        const std::string line = tablePictures_->Strings(i);
        if (TextBefore(line, '\t') == fieldName) return line.substr(line.find('\t') + 1);
    }
    return "";
}

void TvxTable::LoadTablePictures()
{
    if (!picturesNotLoaded_) return;
    picturesNotLoaded_ = false;
    const bool wasClosed = !Handle();
    if (wasClosed) OpenCursor(true);
    TBaseTable* checks = nullptr;
    if (Engine()->OpenVchkList(DBHandle(), TableName(), checks) == 0) {
        VCHKDesc check{};
        while (Engine()->GetNextRecord(checks, 0, reinterpret_cast<Byte*>(&check), nullptr) == 0)
            for (Integer i = 0; i < Fields()->Count(); ++i)
                if (Fields()->Fields(i)->FieldNo() == check.iFldNum)
                    tablePictures_->Add(Fields()->Fields(i)->FieldName() + "\t" + check.szPict);
        Engine()->CloseCursor(checks);
    }
    if (wasClosed) CloseCursor();
}

// ---- indexes ----

void TvxTable::RefreshIndexDefs()
{
    if (IndexDefs()->Count() == 0 || IndexDefs()->Items(0)->Name == Name() + "Index0") IndexDefs()->Update();
}

void TvxTable::GetIndexFields(const std::string& indexName, std::string& fields)
{
    fields.clear();
    const std::string wanted = indexName.empty() ? "PrimaryKey" : indexName;
    for (Integer i = 0; i < IndexDefs()->Count(); ++i)
        if (IndexDefs()->Items(i)->Name == wanted) {
            fields = IndexDefs()->Items(i)->Fields;
            return;
        }
}

void TvxTable::GetFirstIndexField(std::string& name)
{
    std::string fields = IndexFieldNames();
    if (fields.empty()) {
        RefreshIndexDefs();
        GetIndexFields(IndexName(), fields);
    }
    name = TextBefore(fields, ';');
}

std::string TvxTable::CurrentIndexFields()
{
    std::string fields = IndexFieldNames();
    if (fields.empty() && !IndexName().empty()) GetIndexFields(IndexName(), fields);
    if (fields.empty())
        for (Integer i = 0; i < IndexFieldCount(); ++i)
            fields += (i == 0 ? "" : ";") + IndexField(i)->FieldName();
    return fields;
}

bool TvxTable::FindIndexForFields(const std::string& fields, bool caseSensitive, std::string& name, bool exact)
{
    const std::string wanted = UpperCase(fields);
    for (Integer i = 0; i < IndexDefs()->Count(); ++i) {
        TIndexDef* def = IndexDefs()->Items(i);
        const std::string own = UpperCase(def->Fields);
        if (!own.starts_with(wanted)) continue;
        if (def->Options.Contains(ixCaseInsensitive) == caseSensitive) continue;
        if (exact && own.size() != wanted.size()) continue;
        if (wanted.size() >= own.size() || own[wanted.size()] == ';') {
            name = def->Name;
            return true;
        }
    }
    return false;
}

void TvxTable::IndexNameForFields(const std::string& fields, std::string& name)
{
    name = "?";
    RefreshIndexDefs();
    const std::pair<bool, bool> tries[] = {{false, true}, {true, true}, {false, false}, {true, false}};
    for (const auto& [caseSensitive, exact] : tries)
        if (FindIndexForFields(fields, caseSensitive, name, exact)) return;
}

void TvxTable::IndexNameForFieldsCase(const std::string& fields, bool caseSensitive, std::string& name)
{
    name = "?";
    if (!FindIndexForFields(fields, caseSensitive, name, true)) FindIndexForFields(fields, caseSensitive, name, false);
}

bool TvxTable::IsCaseInsensitiveIndex()
{
    std::string first;
    GetFirstIndexField(first);
    return !first.empty() && vxFieldsMapToIndex(this, first, false);
}

void TvxTable::SelectIndexByName(const std::string& indexName)
{
    RefreshIndexDefs();
    for (Integer i = 0; i < IndexDefs()->Count(); ++i)
        if (SameText(IndexDefs()->Items(i)->Name, indexName)) {
            vxSwitchIndex(this, IndexDefs()->Items(i));
            return;
        }
}

bool TvxTable::SelectIndexForFields(const std::string& fields)
{
    if (fields.empty() || query_->Count() > 0) return false;
    RefreshIndexDefs();
    if (!MasterSource()) {
        std::string first;
        GetFirstIndexField(first);
        if (!first.empty() && SameText(first, fields)) return true;
    }
    TSearchDepth depth(this);
    std::string name;
    if (!MasterSource() || IgnoreMasterFields)
        IndexNameForFields(fields, name);
    else
        name = IndexNameForMasterLink(fields);
    if (name == "?") return false;
    if (!IsCurrentIndex(name)) {
        if (MasterSource()) ClearRangeKeys();
        SelectIndexByName(name);
    }
    return true;
}

// The master-link fields stay in front: as many leading fields of the current index as there are master fields,
// then the first of the fields asked for.
std::string TvxTable::IndexNameForMasterLink(const std::string& fields)
{
    TStringList current;
    vxSplitString(CurrentIndexFields(), ';', &current);
    TStringList master;
    vxSplitString(MasterFields(), ';', &master);
    std::string wanted;
    for (Integer i = 0; i < std::min(master.Count(), current.Count()); ++i) wanted += current.Strings(i) + ";";
    std::string name;
    IndexNameForFields(wanted + TextBefore(fields, ';'), name);
    return name;
}

bool TvxTable::IsCurrentIndex(const std::string& name)
{
    if (IndexFieldNames().empty()) return SameText(name, IndexName());
    std::string current;
    IndexNameForFields(IndexFieldNames(), current);
    return SameText(name, current);
}

bool TvxTable::SelectIndexForSelected(TStrings* selected)
{
    if (selected->Count() == 0) return false;
    return SelectIndexForFields(TextBefore(selected->Strings(0), '\t'));
}

// ---- ranges ----

void TvxTable::SetRangeFromValues(const std::vector<TVarRec>& values, Integer count)
{
    CheckBrowseMode();
    SetRange({values.begin(), values.begin() + std::min<size_t>(size_t(std::max(count, 0)), values.size())}, {});
}

void TvxTable::SetRangeFromTable(TvxTable* other)
{
    if (other == this) return;
    THourGlass hourGlass;
    DisableControls();
    try {
        std::vector<TVarRec> values;
        for (Integer i = 0; i < IndexFieldCount(); ++i)
            values.emplace_back(other->FieldByName(IndexField(i)->FieldName())->EditText());
        SetRange(values, {});
    } catch (...) {
        EnableControls();
        throw;
    }
    EnableControls();
}

void TvxTable::ClearRangeKeys()
{
    InitKeyBuffer(kiCurRangeStart);
    InitKeyBuffer(kiCurRangeEnd);
}

bool TvxTable::RangeEndSet() const { return KeyBuffer(kiCurRangeEnd)->FieldCount > 0; }

void TvxTable::ResetNarrowSearch()
{
    if (!vxIntl()->ReopenSQLOnCancelRange() || !Database() || !Database()->IsSQLBased()) {
        CancelRange();
        return;
    }
    TStringList selected;
    vxGetSelected(this, &selected);
    Close();
    Open();
    vxApplySelected(this, &selected);
}

bool TvxTable::IncrementalFind(const std::string& text, Integer fieldIndex)
{
    TSearchDepth depth(this);
    return vxIncrementalFind(this, text, fieldIndex);
}

// ---- key search ----

std::string vxVarRecText(const TVarRec& value)
{
    if (value.IsInteger()) return std::to_string(value.AsInteger());
    if (value.IsBoolean()) return value.AsBoolean() ? "True" : "False";
    if (value.IsFloat()) return FloatToStr(value.AsFloat());
    if (value.IsText()) return value.AsText();
    return "";
}

bool vxFieldsMapToIndex(TbqBDEDataset* dataSet, const std::string& fieldNames, bool caseSensitive)
{
    const std::vector<TField*> fields = dataSet->GetFieldList(fieldNames);
    if (caseSensitive == dataSet->CaseInsIndex() || Integer(fields.size()) > dataSet->IndexFieldCount()) return false;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i] != dataSet->IndexField(Integer(i))) return false;
    return true;
}

namespace {

// The current record's leading index fields hold the values (case ignored).
bool IsAlreadyThere(TvxTable* table, const std::vector<TVarRec>& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        if (AnsiLowerCase(vxVarRecText(values[i])) != AnsiLowerCase(table->IndexField(Integer(i))->AsString()))
            return false;
    return true;
}

bool FindKeyByRange(TvxTable* table, const std::vector<TVarRec>& values)
{
    if (!table->IsEmpty() && IsAlreadyThere(table, values) && (!table->RangeEndSet() || table->UseExactRange))
        return true;
    if (values.empty() || vxVarRecText(values[0]).empty()) {
        if (!table->UseExactRange) table->CancelRange();
        return false;
    }
    if (table->UseExactRange)
        table->SetRange(values, values);
    else
        table->SetRangeFromValues(values, Integer(values.size()));
    table->First();
    return IsAlreadyThere(table, values);
}

}  // namespace

bool vxFindKeyValues(TvxTable* table, const std::vector<TVarRec>& values, Integer lastIndex)
{
    if (table->IndexFieldCount() == 0) return false;
    if (lastIndex + 1 > table->IndexFieldCount()) {
        MessageDlg("Table " + table->Name() + ": FindKey has too many lookup values for index " + table->IndexName(),
                   mtWarning, {mbOK}, 0);
        return false;
    }
    TSearchDepth depth(table);
    const std::vector<TVarRec> keys(values.begin(), values.begin() + std::min<size_t>(values.size(), lastIndex + 1));
    if (table->Database() && table->Database()->IsSQLBased() && table->SyncSQLByRange)
        return FindKeyByRange(table, keys);
    if (table->NarrowSearch) table->CancelRange();
    return IsAlreadyThere(table, keys) || table->FindKey(keys);
}

bool vxTableLocateValue(TvxTable* table, const std::string& fieldName, const std::string& value, bool caseSensitive,
                        Integer matchType)
{
    TSearchDepth depth(table);
    return vxLocateFieldValue(table, value, fieldName, matchType, caseSensitive);
}
