// The database list of a session: its alias configuration records first, then the aliases in the registry.
#pragma once

#include <memory>
#include <string>

#include "engine/core/BseTable.h"
#include "rtl/Strings.h"

class TBaseSession;
class TRightsRegistry;
struct TRegistryLocation;

// Rows are database descriptions made from the configuration records that describe a database.
class TBaseDBListTable : public TBaseTable {
    DUN_CLASS(TBaseDBListTable, TBaseTable)
public:
    TBaseDBListTable(TBaseSession* session, TBoreaCollection* collection, const std::string& typeName);

    Word GetRecordLength() override;
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;

protected:
    TBaseSession* Session() const;
    const std::string& TypeName() const { return typeName_; }
    Integer RecordIndex = 0;

private:
    std::string typeName_;
};

// Adds one row per alias key below the session's registry location, in the registry's order. A key that cannot
// be read is skipped.
class TRegDBListTable : public TBaseDBListTable {
    DUN_CLASS(TRegDBListTable, TBaseDBListTable)
public:
    TRegDBListTable(TBaseSession* session, TBoreaCollection* collection, const std::string& typeName);
    ~TRegDBListTable() override;

    void Open() override;
    void Close() override;
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;

private:
    bool ReadAliasRow(const std::string& keyName, Byte* record);

    TStringList keyNames_;
    Integer keyIndex_ = 0;
    std::unique_ptr<TRightsRegistry> registry_;
};
