// TvxTable: the library's table. The framework's table with the library's per-field setting lists, a filter text
// (vxFilter, one condition per line), a record-filter event with an hourglass and an Escape check, a query text that
// would replace the table (no query backend here: opening one fails with the engine's "not supported" error),
// picture-mask checks before posting and the index and key operations of the library's lookup controls.
//
// TvxRecordFilter is the record-filter event of all the library's datasets, written once: each dataset owns one and
// answers to IvxRecordFiltered so that the engine's callback finds it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/DBTables.h"
#include "db/DBTypInfo.h"
#include "db/Params.h"
#include "rtl/Strings.h"
#include "vxdata/Vxcommon.h"
#include "vxdata/Vxlookup.h"

class TFilterListItem;

enum TvxFilterOption { ofoEnabled, ofoShowHourGlass, ofoCancelOnEscape };
DUN_ENUM(TvxFilterOption, "ofoEnabled", "ofoShowHourGlass", "ofoCancelOnEscape");
using TvxFilterOptions = Set<TvxFilterOption>;

class TvxRecordFilter {
public:
    explicit TvxRecordFilter(TbqBDEDataset* dataSet);
    ~TvxRecordFilter();
    TvxRecordFilter(const TvxRecordFilter&) = delete;
    TvxRecordFilter& operator=(const TvxRecordFilter&) = delete;

    // The dataset's OnFilter, bound to the dataset; empty when none is assigned.
    void SetEvent(std::function<void(bool& accept)> event) { event_ = std::move(event); }
    bool Assigned() const { return bool(event_); }
    TNotifyEvent OnFilterEscape;

    TvxFilterOptions Options() const { return options_; }
    // Switching ofoEnabled off brings back the records hidden so far: at once, or, inside the engine's read, once
    // the read has returned (DataEvent).
    void SetOptions(TvxFilterOptions value);

    // The callback filter on the dataset's cursor (none when no event is assigned); false when it could not be made.
    bool Install();
    void Remove();
    TFilterListItem*& Handle() { return handle_; }
    // The engine frees a cursor's filters with it.
    void CursorClosed() { handle_ = nullptr; }

    // The value of a field of the record being filtered, as the filter's own parameter.
    TParam* FilterField(const std::string& fieldName);

    // Called by the dataset after its reads and data events.
    void AfterGetNextRecords() { RestoreCursor(); }
    void AfterDataEvent(TDataEvent event);

    void SetDestroying() { destroying_ = true; }
    Byte* FilterRecord() const { return record_; }

    static Word __stdcall Callback(uintptr_t clientData, void* record, Integer physicalRecord);

private:
    bool Accepts(Byte* record);
    void EventAccepts(Byte* record, bool& accept);
    void CountForEscape();
    void RestoreCursor();
    void ShowHourGlass();
    void ResyncRecords();
    void ReadRecordField(TField* field);
    // A calculated or lookup field: its lookup result for the record being filtered.
    void ReadLookupResult(TField* field);

    TbqBDEDataset* dataSet_;
    std::function<void(bool& accept)> event_;
    TvxFilterOptions options_{ofoEnabled, ofoShowHourGlass};
    Byte* record_ = nullptr;
    std::vector<char> buffer_;
    std::unique_ptr<TParam> param_;
    TFilterListItem* handle_ = nullptr;
    Integer escapeCount_ = 0;
    bool running_ = false;
    bool insideRead_ = false;
    bool resyncPending_ = false;
    bool hourGlassShown_ = false;
    bool destroying_ = false;
};

// A dataset with the library's record-filter event.
class IvxRecordFiltered {
public:
    virtual ~IvxRecordFiltered() = default;
    virtual TvxRecordFilter& RecordFilter() = 0;
};

class TvxTable;
using TvxTableFilterEvent = std::function<void(TvxTable* table, bool& accept)>;

class TvxTable : public TTable, public IvxTablePictures, public IvxRecordFiltered, public IvxLookupTables {
    DUN_CLASS(TvxTable, TTable)
public:
    explicit TvxTable(TComponent* owner);
    ~TvxTable() override;
    static void Publish(TPublisher<TvxTable>& p);

    TStrings* LookupFields() const { return lookupFields_.get(); }
    void SetLookupFields(TStrings* value) { lookupFields_->Assign(value); }
    TStrings* LookupLinks() const { return lookupLinks_.get(); }
    void SetLookupLinks(TStrings* value) { lookupLinks_->Assign(value); }
    TStrings* ControlType() const { return controlType_.get(); }
    void SetControlType(TStrings* value) { controlType_->Assign(value); }
    TStrings* PictureMasks() const { return pictureMasks_.get(); }
    void SetPictureMasks(TStrings* value) { pictureMasks_->Assign(value); }
    TStrings* vxFilter() const { return vxFilter_.get(); }
    void SetvxFilter(TStrings* value);
    // The filter text the lines give: the first line, then " AND (" + line + ")" for each further one.
    std::string FilterText() const;
    TStrings* Query() const { return query_.get(); }
    void SetQuery(TStrings* value);
    // "SQL" or "QBE", fixed when a query text is opened.
    const std::string& QueryKind() const { return queryKind_; }
    const std::string& TableName() const { return TTable::TableName(); }
    void SetTableName(const std::string& value);

    bool SyncSQLByRange = false;
    bool NarrowSearch = false;
    Word NarrowSearchUpperChar = 255;
    bool ValidateWithMask = true;
    TvxInvalidValueEvent OnInvalidValue;

    TvxTableFilterEvent OnFilter() const { return onFilter_; }
    void SetOnFilter(const TvxTableFilterEvent& value);
    TNotifyEvent OnFilterEscape() const { return recordFilter_.OnFilterEscape; }
    void SetOnFilterEscape(const TNotifyEvent& value) { recordFilter_.OnFilterEscape = value; }
    TvxFilterOptions OnFilterOptions() const { return recordFilter_.Options(); }
    void SetOnFilterOptions(TvxFilterOptions value) { recordFilter_.SetOptions(value); }
    TParam* FilterField(const std::string& fieldName) { return recordFilter_.FilterField(fieldName); }

    // Flags of callers that are set to true when the table goes; their owners unregister them before they go.
    void RegisterDestroyFlag(bool* flag);
    void UnregisterDestroyFlag(bool* flag);
    // Called with the table just before it is destroyed.
    void SetDestroyNotification(std::function<void(TvxTable*)> notification) { destroyNotification_ = notification; }

    TvxRecordFilter& RecordFilter() override { return recordFilter_; }
    TvxLookupTables* LookupTables() override { return &lookupTables_; }
    std::string TableFieldPicture(const std::string& fieldName) override;

    // ---- table kind ----
    bool IsDBaseTable() const;
    bool IsParadoxTable() const;

    // ---- index and key operations ----
    // Raised while a search runs; other controls read it to tell that one is under way.
    Integer SearchDepth = 0;
    bool IgnoreMasterFields = false;
    bool UseExactRange = false;

    void GetIndexFields(const std::string& indexName, std::string& fields);
    void GetFirstIndexField(std::string& name);
    bool FindIndexForFields(const std::string& fields, bool caseSensitive, std::string& name, bool exact);
    void IndexNameForFields(const std::string& fields, std::string& name);
    void IndexNameForFieldsCase(const std::string& fields, bool caseSensitive, std::string& name);
    bool IsCaseInsensitiveIndex();
    void SelectIndexByName(const std::string& indexName);
    bool SelectIndexForFields(const std::string& fields);
    bool SelectIndexForSelected(TStrings* selected);
    void SetRangeFromTable(TvxTable* other);
    void SetRangeFromValues(const std::vector<TVarRec>& values, Integer count);
    void ClearRangeKeys();
    void ResetNarrowSearch();
    // The library's incremental find for index field number fieldIndex, SearchDepth raised meanwhile.
    bool IncrementalFind(const std::string& text, Integer fieldIndex);
    // An end of the range in force was set.
    bool RangeEndSet() const;

    void DataEvent(TDataEvent event, intptr_t info) override;
    bool IsSequenced() override;

protected:
    void OpenCursor(bool infoQuery) override;
    void CloseCursor() override;
    TBaseTable* CreateHandle() override;
    void PrepareCursor() override;
    void InitFieldDefs() override;
    void DoBeforePost() override;
    void DoOnCalcFields() override;
    Integer GetNextRecords() override;

private:
    void RefreshIndexDefs();
    // The names of the current index's fields, ";"-separated.
    std::string CurrentIndexFields();
    std::string IndexNameForMasterLink(const std::string& fields);
    bool IsCurrentIndex(const std::string& name);
    void ClearTableSettings();
    void LoadTablePictures();

    std::unique_ptr<TStringList> lookupFields_;
    std::unique_ptr<TStringList> lookupLinks_;
    std::unique_ptr<TStringList> controlType_;
    std::unique_ptr<TStringList> pictureMasks_;
    std::unique_ptr<TStringList> vxFilter_;
    std::unique_ptr<TStringList> query_;
    std::string queryKind_;
    TFilterListItem* filterHandle_ = nullptr;
    TvxRecordFilter recordFilter_;
    TvxTableFilterEvent onFilter_;
    std::unique_ptr<TStringList> tablePictures_;
    bool picturesNotLoaded_ = true;
    bool preparing_ = false;
    bool paradoxCursor_ = false;
    std::vector<bool*> destroyFlags_;
    std::function<void(TvxTable*)> destroyNotification_;
    TvxLookupTables lookupTables_;
};

// The text of one value of a key: integers in decimal, Booleans "True"/"False", floats by FloatToStr.
std::string vxVarRecText(const TVarRec& value);
// True when the fields are the leading fields of the dataset's current index, of the case sensitivity asked.
bool vxFieldsMapToIndex(TbqBDEDataset* dataSet, const std::string& fieldNames, bool caseSensitive);
// Positions the table on the record whose leading index fields equal the values; false, with a warning, for more
// values than the index has fields.
bool vxFindKeyValues(TvxTable* table, const std::vector<TVarRec>& values, Integer lastIndex);
// vxLocateFieldValue on the table, its SearchDepth raised meanwhile.
bool vxTableLocateValue(TvxTable* table, const std::string& fieldName, const std::string& value, bool caseSensitive,
                        Integer matchType);
