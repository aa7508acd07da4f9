// TbqTable: one engine table of a database component as the dataset's cursor. It chooses the table by TableName
// (passed unchanged to the engine) and the index by name or by field names, reads field and index definitions
// without opening, positions by key, installs key ranges and follows a master dataset.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/DataLinks.h"
#include "db/IndexDefs.h"
#include "engine/components/BseDBDataSet.h"

class TbqTable : public TbqDBDataset {
    DUN_CLASS(TbqTable, TbqDBDataset)
public:
    explicit TbqTable(TComponent* owner);
    ~TbqTable() override;
    static void Publish(TPublisher<TbqTable>& p);

    // The batch-move class of the driver.
    virtual TClass GetBatchMoveClass() = 0;

    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& value);
    std::string IndexName() const;
    void SetIndexName(const std::string& value);
    std::string IndexFieldNames() const;
    void SetIndexFieldNames(const std::string& value);
    bool DefaultIndex() const { return defaultIndex_; }
    void SetDefaultIndex(bool value) { defaultIndex_ = value; }
    bool Exclusive() const { return exclusive_; }
    void SetExclusive(bool value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool StoreDefs() const { return storeDefs_; }
    void SetStoreDefs(bool value) { storeDefs_ = value; }
    TIndexDefs* IndexDefs() const { return indexDefs_.get(); }
    void SetIndexDefs(TIndexDefs* value) { indexDefs_->Assign(value); }
    TDataSource* MasterSource() const { return masterLink_->DataSource(); }
    void SetMasterSource(TDataSource* value);
    std::string MasterFields() const { return masterLink_->FieldNames(); }
    void SetMasterFields(const std::string& value) { masterLink_->SetFieldNames(value); }

    // Key search: values for the leading fields of the active index.
    bool FindKey(const std::vector<TVarRec>& values);
    void FindNearest(const std::vector<TVarRec>& values);
    bool GotoKey();
    void GotoNearest();
    // Both ends included; an empty array leaves its end open.
    void SetRange(const std::vector<TVarRec>& startValues, const std::vector<TVarRec>& endValues);
    void ApplyRange();
    void CancelRange();
    // Moves to the current record of another table of the same database and table name.
    void GotoCurrent(TbqTable* table);

    void DataEvent(TDataEvent event, intptr_t info) override;
    void GetDetailLinkFields(std::vector<TField*>& masterFields, std::vector<TField*>& detailFields) override;

    // Name, source, fields, descending fields and options of one engine index descriptor.
    struct TIndexDescInfo {
        std::string Name, Source, Fields, DescFields;
        TIndexOptions Options;
    };
    TIndexDescInfo DecodeIndexDesc(const IDXDesc& descriptor);

protected:
    TBaseTable* CreateHandle() override;
    void DestroyHandle() override;
    void DestroyLookupCursor() override;
    TBaseTable* GetLookupCursor(const std::string& keyFields, bool caseInsensitive) override;
    void PrepareCursor() override;
    void InitFieldDefs() override;
    void UpdateIndexDefs() override;
    // Changes by the user, not the definitions read from the engine (those are read inside the definitions' Update).
    void DefChanged(TObject* sender) override { storeDefs_ = true; }
    void DoOnNewRecord() override;
    bool GetCanModify() override;
    TDataSource* GetDataSource() override { return MasterSource(); }

    // The engine index name (native, at most 127 characters) and tag for an index value.
    void GetIndexParams(const std::string& value, bool byFieldNames, std::string& indexName, std::string& indexTag);
    TBaseTable* OpenTableHandle(const std::string& indexName, const std::string& indexTag);
    void CheckMasterRange();

private:
    // Whether the form file holds them.
    bool ConstraintsStored() const;
    bool FieldDefsStored() const;
    bool IndexDefsStored() const;
    void SetIndex(const std::string& value, bool byFieldNames);
    void MasterChanged(TObject* sender);
    void MasterDisabled(TObject* sender);
    // The key passed to the engine: extracted into buffer when that works, else the lookup record.
    const Byte* LookupKey(std::vector<Byte>& buffer, bool& direct);
    void ReadFieldDefsClosed();
    std::vector<bool> RequiredFieldsClosed(size_t size);
    void AddIndexDefs(const IDXDesc* descriptors, Integer count, bool withSource);
    void ReadIndexDefsFromCursor();
    void ReadIndexDefsFromList();

    bool storeDefs_ = false;
    std::unique_ptr<TIndexDefs> indexDefs_;
    std::unique_ptr<TMasterDataLink> masterLink_;
    bool defaultIndex_ = true;
    bool exclusive_ = false;
    bool readOnly_ = false;
    bool indexByFieldNames_ = false;
    std::string tableName_;
    std::string indexValue_;
    TBaseTable* lookupCursor_ = nullptr;
    std::string lookupKeyFields_;
    bool lookupCaseIns_ = false;
};
