// TDataSet: records seen through a window of record buffers, fields, states, editing and events.
//
// A descendant supplies the records through the record-buffer protocol: it allocates buffers of its own layout
// (AllocRecordBuffer), fills one with the current, next or prior record of its cursor (GetRecord), keeps a bookmark
// and a bookmark flag in each buffer, and moves its cursor on request (InternalFirst, InternalLast,
// InternalSetToRecord, InternalGotoBookmark). The dataset keeps BufferCount buffers of consecutive records around the
// active record, plus one spare, and moves its cursor only when it needs a record that is not in the window.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/Component.h"
#include "db/Constraints.h"
#include "db/DBErrors.h"
#include "db/DBTypes.h"
#include "db/Field.h"
#include "db/FieldDefs.h"
#include "rtl/Streams.h"
#include "rtl/Strings.h"
#include "rtl/Variants.h"

class TDataSource;
class TDataSet;
class TDataSetField;

using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
using TDataSetErrorEvent = std::function<void(TDataSet* dataSet, EDatabaseError& e, TDataAction& action)>;
using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;

class TDataSet : public TComponent {
    DUN_CLASS(TDataSet, TComponent)
public:
    explicit TDataSet(TComponent* owner);
    ~TDataSet() override;
    void BeforeDestruction() override;
    void Loaded() override;
    // Writes the persistent fields (owned by root), object fields' children too, as this dataset's children in a
    // form file.
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;
    static void Publish(TPublisher<TDataSet>& p);

    // Opening and state.
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool active);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return state_; }
    bool Modified() const { return modified_; }
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty();
    bool CanModify() { return GetCanModify(); }
    Integer RecordCount() { return GetRecordCount(); }
    Integer RecNo() { return GetRecNo(); }
    virtual void SetRecNo(Integer value) {}
    Integer RecordSize() { return GetRecordSize(); }
    void CheckActive() const;
    void CheckInactive() const;
    void CheckBrowseMode();

    // Navigation.
    void First();
    void Last();
    void Next();
    void Prior() { MoveBy(-1); }
    virtual Integer MoveBy(Integer distance);
    void Refresh();
    virtual void Resync(TResyncMode mode);
    void UpdateCursorPos();
    void CursorPosChanged() { currentRecord_ = -1; }
    bool FindFirst() { return FindRecord(true, true); }
    bool FindLast() { return FindRecord(true, false); }
    bool FindNext() { return FindRecord(false, true); }
    bool FindPrior() { return FindRecord(false, false); }
    bool Found() const { return found_; }
    virtual bool FindRecord(bool restart, bool goForward);
    virtual bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);
    virtual Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields);

    // Block reading: Next reads ahead BlockReadSize records at a time, in state dsBlockRead (0: off).
    Integer BlockReadSize() const { return blockReadSize_; }
    virtual void SetBlockReadSize(Integer value);
    // Whether RecNo and SetRecNo count the records in order (no filter in the way).
    virtual bool IsSequenced() { return true; }
    // Copies the active record into buffer; false when there is none.
    virtual bool GetCurrentRecord(TRecordBuffer buffer) { return false; }

    // Bookmarks.
    TBookmark Bookmark();
    void SetBookmark(const TBookmark& bookmark) { GotoBookmark(bookmark); }
    TBookmark GetBookmark() { return Bookmark(); }
    // Bookmarks are values; freeing one empties it.
    void FreeBookmark(TBookmark& bookmark) { bookmark.clear(); }
    void GotoBookmark(const TBookmark& bookmark);
    virtual bool BookmarkValid(const TBookmark& bookmark) { return false; }
    // 0 equal, < 0 when b1 comes first, > 0 after; an empty bookmark comes after any other.
    virtual Integer CompareBookmarks(const TBookmark& b1, const TBookmark& b2) { return 0; }
    Integer BookmarkSize() const { return bookmarkSize_; }

    // Editing.
    void Edit();
    void Insert();
    void Append();
    virtual void Post();
    virtual void Cancel();
    void Delete();
    void UpdateRecord();
    void ClearFields();
    // Adds a record with these field values (in field order; Unassigned leaves a field as initialised), posted at
    // once: BeforeInsert, BeforeScroll, BeforePost, AfterPost, AfterScroll.
    void InsertRecord(const std::vector<Variant>& values) { AddRecordValues(values, false); }
    void AppendRecord(const std::vector<Variant>& values) { AddRecordValues(values, true); }

    // Data-aware controls.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ != 0; }
    bool IsLinkedTo(TDataSource* dataSource) const;
    // The master's fields and this dataset's fields that link it to its master (base: none).
    virtual void GetDetailLinkFields(std::vector<TField*>& masterFields, std::vector<TField*>& detailFields);
    TDataSource* DataSource() { return GetDataSource(); }
    // Tells every data source (and so every data link) of an event, unless controls are disabled.
    virtual void DataEvent(TDataEvent event, intptr_t info);

    // Fields.
    TFields* Fields() const { return fields_.get(); }
    TFieldDefs* FieldDefs() const { return fieldDefs_.get(); }
    void SetFieldDefs(TFieldDefs* value) { fieldDefs_->Assign(value); }
    TCheckConstraints* Constraints() const { return constraints_.get(); }
    void SetConstraints(TCheckConstraints* value) { constraints_->Assign(value); }
    // Whether there is a record constraint or a field with constraints.
    bool HasConstraints() const;
    Integer FieldCount() const { return fields_->Count(); }
    TField* FieldByName(const std::string& name) const;
    // Finds a field by its name in Fields, then any child of an object field by its full name.
    TField* FindField(const std::string& name) const;
    TField* FieldByNumber(Integer fieldNo) const { return FieldList()->FieldByNumber(fieldNo); }
    // Every field: those of Fields and the children of object fields, each after its parent.
    TFields* FieldList() const;
    // A field's full name (TField::FullName): its name, after its parent's full name for a child.
    virtual std::string GetFieldFullName(TField* field);
    // The field whose rows this dataset shows (a nested dataset); nullptr for none.
    TDataSetField* DataSetField() const { return dataSetField_; }
    void SetDataSetField(TDataSetField* field);
    Variant FieldValues(const std::string& fieldNames) const;
    void SetFieldValues(const std::string& fieldNames, const Variant& value);
    // The fields of a ';'-separated list of names; raises for a missing one.
    std::vector<TField*> GetFieldList(const std::string& fieldNames) const;
    std::vector<std::string> GetFieldNames() const { return fields_->GetFieldNames(); }
    void GetFieldNames(TStrings* list) const;
    // A field's value as seen in another state (dsOldValue, dsNewValue, dsCurValue).
    virtual Variant GetStateFieldValue(TDataSetState state, TField* field);
    virtual void SetStateFieldValue(TDataSetState state, TField* field, const Variant& value);
    // The cached-update status of the active record (base: unmodified).
    virtual TUpdateStatus UpdateStatus() { return usUnmodified; }
    // Whether the children of object fields are only in their object's Fields (else in Fields too).
    bool ObjectView() const { return objectView_; }
    void SetObjectView(bool value);
    // Whether array fields are sparse: a descendant describes an array of objects through its element's fields.
    bool SparseArrays() const { return sparseArrays_; }
    void SetSparseArrays(bool value);
    bool DefaultFields() const { return defaultFields_; }
    bool AutoCalcFields() const { return autoCalcFields_; }
    void SetAutoCalcFields(bool value) { autoCalcFields_ = value; }
    Integer CalcFieldsSize() const { return calcFieldsSize_; }
    Integer BlobFieldCount() const { return blobFieldCount_; }
    virtual TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) { return nullptr; }
    // The class of the default field made for a data type.
    virtual TClass GetFieldClass(TFieldType type) { return DefaultFieldClass(type); }
    // Reads the blob of field number fieldNo into buffer (growing it when short); the number of bytes read.
    // The base reads through CreateBlobStream.
    virtual Integer GetBlobFieldData(Integer fieldNo, std::vector<Byte>& buffer);
    // Tells the dataset that a blob field's value is no longer read (base: nothing).
    virtual void CloseBlob(TField* field) {}

    // Filtering.
    const std::string& Filter() const { return filterText_; }
    void SetFilter(const std::string& text) { SetFilterText(text); }
    virtual void SetFilterText(const std::string& text);
    bool Filtered() const { return filtered_; }
    virtual void SetFiltered(bool value);
    TFilterOptions FilterOptions() const { return filterOptions_; }
    virtual void SetFilterOptions(TFilterOptions options);
    const TFilterRecordEvent& OnFilterRecord() const { return onFilterRecord_; }
    virtual void SetOnFilterRecord(const TFilterRecordEvent& handler);

    // The record-buffer window, as data links see it.
    Integer BufferCount() const { return bufferCount_; }
    Integer ActiveRecord() const { return activeRecord_; }
    Integer BufferedRecordCount() const { return recordCount_; }
    TRecordBuffer ActiveBuffer() const { return buffers_.empty() ? nullptr : buffers_[activeRecord_]; }
    TRecordBuffer TempBuffer() const { return buffers_.empty() ? nullptr : buffers_[recordCount_]; }
    TRecordBuffer CalcBuffer() const { return calcBuffer_; }
    // Makes the window at least count records long (data links with a larger BufferCount ask for it).
    void SetBufferCount(Integer count);
    // Sizes the window for the largest BufferCount of the links.
    void UpdateBufferCount();
    // Makes index the active record of the window; the links of a grid use it while painting rows.
    void SetActiveRecord(Integer index) { activeRecord_ = index; }

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost;
    TDataSetNotifyEvent BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnCalcFields, OnNewRecord;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

protected:
    // The record-buffer protocol.
    virtual TRecordBuffer AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecordBuffer& buffer) = 0;
    virtual TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) = 0;
    virtual Integer GetRecordSize() = 0;
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual bool IsCursorOpen() const = 0;
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalGotoBookmark(const char* bookmark) = 0;
    virtual void InternalSetToRecord(TRecordBuffer buffer) = 0;
    virtual void InternalInitRecord(TRecordBuffer buffer) = 0;
    virtual void InternalAddRecord(const TRecordBuffer buffer, bool append) = 0;
    virtual void InternalPost();
    virtual void InternalDelete() = 0;
    virtual void InternalCancel() {}
    virtual void InternalEdit() {}
    virtual void InternalInsert() {}
    virtual void InternalRefresh() {}
    virtual void InternalHandleException();
    virtual void InternalInitFieldDefs() = 0;
    virtual void GetBookmarkData(TRecordBuffer buffer, char* data) = 0;
    virtual void SetBookmarkData(TRecordBuffer buffer, const char* data) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) = 0;
    virtual void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) = 0;
    virtual bool GetCanModify() { return true; }
    virtual Integer GetRecordCount() { return -1; }
    virtual Integer GetRecNo() { return -1; }
    virtual void InitRecord(TRecordBuffer buffer);
    virtual void ClearCalcFields(TRecordBuffer buffer) {}
    virtual void CalculateFields(TRecordBuffer buffer);
    virtual Integer GetNextRecords();
    virtual Integer GetPriorRecords();
    virtual bool GetNextRecord();
    virtual bool GetPriorRecord();
    virtual TDataSource* GetDataSource() { return nullptr; }
    virtual void InitFieldDefs();
    // Called when field or index definitions change after they were set.
    virtual void DefChanged(TObject* sender) {}
    virtual void BlockReadNext() { MoveBy(1); }
    virtual void UpdateIndexDefs() {}
    virtual void OpenCursor(bool infoQuery);
    virtual void CloseCursor();
    virtual void DoOnNewRecord();
    virtual void SetBufListSize(Integer value);

public:
    // Field data; the dataset's fields call these. Without a buffer GetFieldData only tells whether there is a value.
    virtual bool GetFieldData(TField* field, void* buffer) = 0;
    virtual void SetFieldData(TField* field, const void* buffer) = 0;
    // The same by field number, for datasets that read fields by number (base: no value).
    virtual bool GetFieldData(Integer fieldNo, void* buffer) { return false; }
    // Converts a NUL-terminated text between ANSI and the dataset's native character set (toOem: to native);
    // dest may be src; the length of the text. The base copies.
    virtual Integer Translate(const char* src, char* dest, bool toOem);
    // Whether the field is one of the active index's fields (base: none).
    virtual bool GetIsIndexField(TField* field) { return false; }

protected:
    // Record buffers.
    TRecordBuffer Buffers(Integer index) const { return buffers_[index]; }
    Integer CurrentRecord() const { return currentRecord_; }
    void SetState(TDataSetState value);
    // Sets the state for the length of an operation without telling the links; returns the old one.
    TDataSetState SetTempState(TDataSetState value);
    void RestoreState(TDataSetState value);
    void SetModified(bool value) { modified_ = value; }
    void SetCurrentRecord(Integer index);
    void ClearBuffers();
    void ActivateBuffers();
    void MoveBuffer(Integer curIndex, Integer newIndex);
    void GetCalcFields(TRecordBuffer buffer);
    void CheckRequiredFields();
    // Every field lets go of the posted or cancelled record's values (TField::FreeBuffers).
    void FreeFieldBuffers();
    void CheckCanModify();
    void SetBookmarkSize(Integer size) { bookmarkSize_ = size; }
    // The number of the first field definition (1 unless a descendant numbers them otherwise).
    Integer FieldNoOfs() const { return fieldNoOfs_; }
    void SetFieldNoOfs(Integer value) { fieldNoOfs_ = value; }
    void SetFound(bool value) { found_ = value; }

    // Fields.
    void CreateFields();
    void DestroyFields();
    void BindFields(bool binding);

    // Events: each runs its handler; descendants add their own steps.
    virtual void DoBeforeOpen() { Fire(BeforeOpen); }
    virtual void DoAfterOpen() { Fire(AfterOpen); }
    virtual void DoBeforeClose() { Fire(BeforeClose); }
    virtual void DoAfterClose() { Fire(AfterClose); }
    virtual void DoBeforeInsert() { Fire(BeforeInsert); }
    virtual void DoAfterInsert() { Fire(AfterInsert); }
    virtual void DoBeforeEdit() { Fire(BeforeEdit); }
    virtual void DoAfterEdit() { Fire(AfterEdit); }
    virtual void DoBeforePost() { Fire(BeforePost); }
    virtual void DoAfterPost() { Fire(AfterPost); }
    virtual void DoBeforeCancel() { Fire(BeforeCancel); }
    virtual void DoAfterCancel() { Fire(AfterCancel); }
    virtual void DoBeforeDelete() { Fire(BeforeDelete); }
    virtual void DoAfterDelete() { Fire(AfterDelete); }
    virtual void DoBeforeScroll() { Fire(BeforeScroll); }
    virtual void DoAfterScroll() { Fire(AfterScroll); }
    virtual void DoOnCalcFields();

private:
    friend class TField;
    friend class TDefCollection;
    using TDataOperation = void (TDataSet::*)();

    void Fire(const TDataSetNotifyEvent& event);
    void CheckOperation(TDataOperation operation, const TDataSetErrorEvent& errorEvent);
    void BeginInsertAppend();
    void EndInsertAppend();
    void UpdateCalcFields();
    void AddRecordValues(const std::vector<Variant>& values, bool append);
    void SetFieldValuesOf(const std::vector<Variant>& values);
    void OpenNow();
    void CloseNow();
    // The field definition a field of this dataset is made from, and the number of its value.
    TFieldDef* FieldDefOf(TField* field, Integer& fieldNo) const;
    // Fields holds the top-level fields, with their children after them unless ObjectView.
    void ArrangeFields();
    void NotifyDataSources(TDataEvent event, intptr_t info);
    // The records moved by distance buffers (records fetched in front, or dropped there): every link's window
    // follows, so that each link keeps its records.
    void ShiftLinkWindows(Integer distance);

public:
    // The definitions' Update calls these.
    void FieldDefsUpdate() { InitFieldDefs(); }
    void IndexDefsUpdate() { UpdateIndexDefs(); }
    // Fields and data sources register themselves.
    void AddField(TField* field);
    void RemoveField(TField* field);
    void AddDataSource(TDataSource* dataSource);
    void RemoveDataSource(TDataSource* dataSource);

private:
    std::unique_ptr<TFields> fields_;
    std::unique_ptr<TFields> fieldList_;
    TDataSetField* dataSetField_ = nullptr;
    std::unique_ptr<TFieldDefs> fieldDefs_;
    std::unique_ptr<TCheckConstraints> constraints_;
    std::vector<TDataSource*> dataSources_;
    std::vector<TRecordBuffer> buffers_;
    Integer bufferCount_ = 0;
    Integer recordCount_ = 0;
    Integer activeRecord_ = 0;
    Integer currentRecord_ = -1;
    TRecordBuffer calcBuffer_ = nullptr;
    Integer calcFieldsSize_ = 0;
    Integer blobFieldCount_ = 0;
    Integer bookmarkSize_ = 0;
    TDataSetState state_ = dsInactive;
    TDataSetState disableState_ = dsInactive;
    TDataEvent enableEvent_ = deDataSetChange;
    Integer disableCount_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    bool found_ = false;
    bool defaultFields_ = false;
    bool autoCalcFields_ = true;
    bool internalCalcFields_ = false;
    bool streamedActive_ = false;
    Integer blockReadSize_ = 0;
    bool objectView_ = false;
    bool sparseArrays_ = false;
    Integer fieldNoOfs_ = 1;
    bool filtered_ = false;
    std::string filterText_;
    TFilterOptions filterOptions_;
    TFilterRecordEvent onFilterRecord_;
};
