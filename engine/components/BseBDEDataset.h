// TbqBDEDataset: a dataset over one engine cursor of the facade. It implements the record-buffer protocol of
// TDataSet with facade calls on its cursor; descendants make the cursor (CreateHandle) and name the engine (Engine).
//
// Record buffer: the engine record, the calculated-field area, one blob-cache slot per blob field, the record
// information (record number, update status, bookmark flag) and the bookmark.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/DataSet.h"
#include "engine/components/BseMainErr.h"
#include "engine/core/BseRecords.h"

class TBaseTable;
class TFilterListItem;
class TVirtEng;

class ENoResultSet : public EDatabaseError { public: using EDatabaseError::EDatabaseError; };

// The roles of the six key buffers.
enum TbqKeyIndex { kiLookup, kiRangeStart, kiRangeEnd, kiCurRangeStart, kiCurRangeEnd, kiSave, kiCount };

#pragma pack(push, 1)
struct TbqKeyHeader {
    bool Modified;
    bool Exclusive;
    Integer FieldCount;
};
#pragma pack(pop)

// Cursor properties and properties of the dataset layer.
constexpr Cardinal curMAXFIELDID = 0x5000F;
constexpr Cardinal curFIELDFULLNAME = 0x50010;
constexpr Cardinal curFIELDTYPENAME = 0x50011;
constexpr Cardinal curMAKECRACK = 0x50014;
constexpr Cardinal curGETHIDDENCOLUMNS = 0x4050004;
constexpr Cardinal curDELAYUPDGETOLDRECORD = 0x5050004;

class TbqBDEDataset : public TDataSet {
    DUN_CLASS(TbqBDEDataset, TDataSet)
public:
    static constexpr Integer BlockBufferSize = 24576;

    explicit TbqBDEDataset(TComponent* owner);
    ~TbqBDEDataset() override;
    static void Publish(TPublisher<TbqBDEDataset>& p);

    // The facade this dataset calls.
    virtual TVirtEng* Engine() const = 0;
    TBaseTable* Handle() const { return handle_; }

    bool CacheBlobs() const { return cacheBlobs_; }
    void SetCacheBlobs(bool value) { cacheBlobs_ = value; }
    // Cached updates are not available: switching them on raises.
    bool CachedUpdates() const { return false; }
    void SetCachedUpdates(bool value);

    // TDataSet.
    bool GetFieldData(TField* field, void* buffer) override;
    bool GetFieldData(Integer fieldNo, void* buffer) override;
    void SetFieldData(TField* field, const void* buffer) override;
    Integer GetBlobFieldData(Integer fieldNo, std::vector<Byte>& buffer) override;
    void CloseBlob(TField* field) override;
    Integer Translate(const char* src, char* dest, bool toOem) override;
    bool GetIsIndexField(TField* field) override;
    bool GetCurrentRecord(TRecordBuffer buffer) override;
    bool BookmarkValid(const TBookmark& bookmark) override;
    Integer CompareBookmarks(const TBookmark& b1, const TBookmark& b2) override;
    void SetRecNo(Integer value) override;
    bool IsSequenced() override;
    void SetBlockReadSize(Integer value) override;
    void DataEvent(TDataEvent event, intptr_t info) override;
    Variant GetStateFieldValue(TDataSetState state, TField* field) override;
    void SetStateFieldValue(TDataSetState state, TField* field, const Variant& value) override;
    TUpdateStatus UpdateStatus() override;
    std::string GetFieldFullName(TField* field) override;

    // Filters and searching.
    void SetFilterText(const std::string& text) override;
    void SetFilterOptions(TFilterOptions options) override;
    void SetFiltered(bool value) override;
    void SetOnFilterRecord(const TFilterRecordEvent& handler) override;
    bool FindRecord(bool restart, bool goForward) override;
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override;
    Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) override;

    // The record buffer that field access works on in the current state; false when there is none.
    bool GetActiveRecBuf(TRecordBuffer& buffer);
    // The current record as the cursor holds it (before the edit), read into the old-value buffer; nullptr when
    // the cursor refuses to give its old record.
    TRecordBuffer GetOldRecord();
    // Blob-cache slots; writing only takes effect on the active buffer.
    std::string GetBlobData(TField* field, TRecordBuffer buffer);
    void SetBlobData(TField* field, TRecordBuffer buffer, const std::string& value);

    // The active index.
    Integer IndexFieldCount() const { return indexFieldCount_; }
    TField* IndexField(Integer index);
    void SetIndexField(Integer index, TField* value);
    bool ExpIndex() const { return expIndex_; }
    bool CaseInsIndex() const { return caseInsIndex_; }
    Word KeySize() const { return keySize_; }

protected:
    // Cursor life: CreateHandle makes the cursor (none here), DestroyHandle closes it.
    virtual TBaseTable* CreateHandle() { return nullptr; }
    virtual void DestroyHandle();
    virtual void DestroyLookupCursor() {}
    // A cursor on an index over keyFields for Locate, or none.
    virtual TBaseTable* GetLookupCursor(const std::string& keyFields, bool caseInsensitive) { return nullptr; }
    // Runs after the cursor opened.
    virtual void PrepareCursor() {}

    void OpenCursor(bool infoQuery) override;
    void CloseCursor() override;
    void InternalOpen() override;
    void InternalClose() override;
    bool IsCursorOpen() const override { return handle_ != nullptr; }
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    void InternalInitRecord(TRecordBuffer buffer) override;
    void InitRecord(TRecordBuffer buffer) override;
    void ClearCalcFields(TRecordBuffer buffer) override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    Integer GetRecordCount() override;
    Integer GetRecNo() override;
    Integer GetRecordSize() override { return recordSize_; }
    bool GetCanModify() override { return canModify_; }
    void InternalFirst() override;
    void InternalLast() override;
    void InternalEdit() override;
    void InternalInsert() override;
    void InternalPost() override;
    void InternalAddRecord(const TRecordBuffer buffer, bool append) override;
    void InternalDelete() override;
    void InternalCancel() override;
    void InternalRefresh() override;
    void InternalGotoBookmark(const char* bookmark) override;
    void InternalSetToRecord(TRecordBuffer buffer) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override;
    void GetBookmarkData(TRecordBuffer buffer, char* data) override;
    void SetBookmarkData(TRecordBuffer buffer, const char* data) override;
    void InternalInitFieldDefs() override;
    void BlockReadNext() override;

    // Raises a failed facade result.
    void Check(Word result) const { CheckEngineResult(Engine(), result); }
    void InitBufferPointers(bool readProps);
    void ClearBlobCache(TRecordBuffer buffer);
    // Rebuilds the record buffers for a changed record or bookmark size; a failure closes the dataset.
    void RebuildBuffers();
    // The field definitions anew, from descriptors[index] on, numbered from fieldNo.
    void AddFieldDescs(const std::vector<FLDDesc>& descriptors, size_t index, const std::vector<bool>& required,
                       Integer fieldNo);
    // Adds one field definition (and its children) from descriptors[index], advancing index and fieldNo; name
    // replaces the descriptor's name when given.
    void AddFieldDesc(const std::vector<FLDDesc>& descriptors, size_t& index, TFieldDefs* defs,
                      const std::vector<bool>& required, Integer& fieldNo, const std::string& name = "");
    // The child definitions of an object definition: an ADT's members, an array's one element.
    void AddChildDescs(const FLDDesc& parent, TFieldDef* def, const std::vector<FLDDesc>& descriptors, size_t& index,
                       const std::vector<bool>& required, Integer& fieldNo);
    // The engine's object type names of the object fields among fields, and of those inside them.
    void GetObjectTypeNames(TFields* fields);
    // Sets the field's ObjectType when the engine has a name for it.
    void ReadObjectTypeName(TObjectField* object);

    // Index information and key buffers.
    void GetIndexInfo();
    void ClearIndexInfo();
    TbqKeyHeader* KeyBuffer(TbqKeyIndex index) const;
    Byte* KeyRecord(TbqKeyIndex index) const;
    TbqKeyHeader* InitKeyBuffer(TbqKeyIndex index);
    void AllocKeyBuffers();
    void FreeKeyBuffers();
    // Fills key buffer keyIndex with values for the leading index fields.
    void SetKeyFields(TbqKeyIndex keyIndex, const std::vector<TVarRec>& values);
    void SetLinkRanges(const std::vector<TField*>& masterFields);
    bool MapsToIndex(const std::vector<TField*>& fields, bool caseInsensitive) const;
    // Installs the range buffers on the cursor; false when they equal the installed range.
    bool SetCursorRange();
    // Removes an installed range; false when there was none.
    bool ResetCursorRange();
    // Switches the cursor to another index (range removed, buffers rebuilt, index information read).
    void SwitchToIndex(const std::string& indexName, const std::string& tagName);

    // Filters.
    TFilterListItem* CreateExprFilter(const std::string& text, TFilterOptions options, Word priority);
    TFilterListItem* CreateFuncFilter(Word priority);
    TFilterListItem* CreateLookupFilter(const std::vector<TField*>& fields, const Variant& values,
                                        TLocateOptions options, Word priority);
    void SetFilterHandle(TFilterListItem*& slot, TFilterListItem* value);
    void ActivateFilters();
    void DeactivateFilters();
    bool LocateRecord(const std::string& keyFields, const Variant& keyValues, TLocateOptions options,
                      bool syncCursor);

private:
    struct TRecInfo {
        Integer RecordNumber;
        Byte UpdateStatus;
        Byte BookmarkFlag;
        Word Reserved;
    };
    static_assert(sizeof(TRecInfo) == 8);

    TRecInfo* RecInfo(TRecordBuffer buffer) const;
    std::string*& BlobSlot(TRecordBuffer buffer, TField* field) const;
    Byte* BlockRecord() const;
    bool CalcFieldData(TField* field, void* buffer);
    void SetCalcFieldData(TField* field, TRecordBuffer record, const void* buffer);
    void CheckFieldWritable(TField* field);
    // While the engine checks constraints: the engine's check of a new value of a field with constraints.
    void VerifyConstraints(TField* field, const void* buffer);
    bool ReadBlob(Byte* record, Integer fieldNo, std::vector<Byte>& bytes, Integer& read);
    void ReadIndexFlags(const IDXDesc& descriptor);
    void AddRequiredFromChecks(Integer checkCount, std::vector<bool>& required);
    bool LocateWithCursor(TBaseTable* cursor, const std::vector<TField*>& fields, const Variant& values,
                          TLocateOptions options, bool syncCursor);
    bool LocateWithFilter(const std::vector<TField*>& fields, const Variant& values, TLocateOptions options);
    void AssignLocateValues(const std::vector<TField*>& fields, const Variant& values);
    void ReplaceExprFilter(const std::string& text, TFilterOptions options);
    static Word __stdcall FilterCallback(uintptr_t clientData, void* record, Integer physicalRecord);

    TBaseTable* handle_ = nullptr;
    RECProps recProps_{};
    Word recordSize_ = 0;
    bool canModify_ = false;
    SmallInt recNoStatus_ = 0;
    // The engine checks field constraints (a modifiable dataset with constraints).
    bool constraintLayer_ = false;
    bool cacheBlobs_ = true;
    Integer blobCacheOfs_ = 0;
    Integer recInfoOfs_ = 0;
    Integer bookmarkOfs_ = 0;
    Integer recBufSize_ = 0;

    // Index information and key buffers.
    bool expIndex_ = false;
    bool caseInsIndex_ = false;
    Integer indexFieldCount_ = 0;
    Word indexFieldMap_[16] = {};
    Word keySize_ = 0;
    std::vector<std::vector<Byte>> keyBuffers_;
    TbqKeyIndex keyBuffer_ = kiLookup;

    // Filters.
    TFilterListItem* exprFilter_ = nullptr;
    TFilterListItem* funcFilter_ = nullptr;
    TRecordBuffer filterBuffer_ = nullptr;

    // Block reading.
    std::vector<Byte> blockBuffer_;
    std::vector<char> oldValueBuffer_;
    Integer blockRecords_ = 0;
    Integer blockIndex_ = 0;
    Integer blockCount_ = 0;
    Integer blockTotal_ = 0;
};
