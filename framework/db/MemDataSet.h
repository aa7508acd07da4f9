// TMemDataSet: a dataset that keeps its records in memory, in the order they were added. Its fields come from
// FieldDefs (set them before opening; object and array definitions with their child definitions). While Filtered, a
// record shows when it passes the Filter text and then OnFilterRecord.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/DataSet.h"
#include "db/MemFilter.h"

class TMemDataSet : public TDataSet {
    DUN_CLASS(TMemDataSet, TDataSet)
public:
    explicit TMemDataSet(TComponent* owner);
    ~TMemDataSet() override;

    bool GetFieldData(TField* field, void* buffer) override;
    void SetFieldData(TField* field, const void* buffer) override;
    TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override;
    bool BookmarkValid(const TBookmark& bookmark) override;
    Integer CompareBookmarks(const TBookmark& b1, const TBookmark& b2) override;
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override;
    Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) override;
    bool FindRecord(bool restart, bool goForward) override;
    void SetRecNo(Integer value) override;
    void SetFiltered(bool value) override;
    void SetFilterText(const std::string& text) override;
    void SetFilterOptions(TFilterOptions options) override;
    void SetOnFilterRecord(const TFilterRecordEvent& handler) override;

protected:
    TRecordBuffer AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecordBuffer& buffer) override;
    TGetResult GetRecord(TRecordBuffer buffer, TGetMode mode, bool doCheck) override;
    Integer GetRecordSize() override { return recordSize_; }
    void InternalOpen() override;
    void InternalClose() override;
    bool IsCursorOpen() const override { return open_; }
    void InternalFirst() override { cursor_ = -1; }
    void InternalLast() override { cursor_ = Integer(records_.size()); }
    void InternalGotoBookmark(const char* bookmark) override;
    void InternalSetToRecord(TRecordBuffer buffer) override;
    void InternalInitRecord(TRecordBuffer buffer) override;
    void InternalAddRecord(const TRecordBuffer buffer, bool append) override;
    void InternalPost() override;
    void InternalDelete() override;
    void InternalInitFieldDefs() override {}
    void GetBookmarkData(TRecordBuffer buffer, char* data) override;
    void SetBookmarkData(TRecordBuffer buffer, const char* data) override;
    TBookmarkFlag GetBookmarkFlag(TRecordBuffer buffer) override;
    void SetBookmarkFlag(TRecordBuffer buffer, TBookmarkFlag value) override;
    Integer GetRecordCount() override;
    Integer GetRecNo() override;

    void ClearCalcFields(TRecordBuffer buffer) override;

private:
    struct TRecord {
        Integer Id;
        std::string Data;
    };
    struct TRecordInfo {
        Integer Id;
        Byte Flag;
    };

    TRecordInfo& InfoOf(TRecordBuffer buffer) const;
    // Numbers the definition and its children (the elements of an array after the first take numbers, not
    // definitions) and gives each number its place in the record.
    void LayOut(TFieldDef* def, bool numbered);
    // A blob value of the active record; blob streams hand written values to WriteBlob.
    std::string ReadBlob(TField* field);
    void WriteBlob(TField* field, const std::string& data);
    TRecordBuffer ActiveRecBuf() const;
    // Where field number n (from 1) lies in the record: a has-value byte, then its bytes.
    Integer FieldOffset(Integer fieldNo) const { return layout_[fieldNo - 1]; }
    // The bytes of a field's value: those of its definition for data fields, DataSize for calculated ones.
    Integer ValueBytes(const TField* field) const;
    Integer IndexOfId(Integer id) const;
    bool Accepts(const TRecord& record);
    bool Matches(const TRecord& record, const std::vector<TField*>& fields, const Variant& values,
                 TLocateOptions options);
    Integer FindMatch(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);
    void StoreRecord(Integer index, TRecordBuffer buffer);
    void RefreshWhenOpen();
    void CompileFilter(const std::string& text, TFilterOptions options);

    std::vector<TRecord> records_;
    std::vector<std::string> blobs_;
    std::vector<Integer> layout_;
    std::vector<Integer> fieldBytes_;
    Integer recordSize_ = 0;
    Integer bufferSize_ = 0;
    Integer cursor_ = -1;
    Integer nextId_ = 1;
    bool open_ = false;
    TRecordBuffer filterBuffer_ = nullptr;
    std::unique_ptr<TMemFilter> textFilter_;
};
