// TBtrSqlProcTable: the stored-procedure list of a SQL database, read from PROC.DDF in the database directory.
// Each row is a procedure description holding the procedure's name.
#pragma once

#include <string>

#include "engine/btrieve/BtrTable.h"

constexpr const char* ProcedureDictionary = "PROC.DDF";

#pragma pack(push, 1)
// A row of the procedure list.
struct TProcedureDesc {
    char szName[65];
    double dtCreated;
};
#pragma pack(pop)
static_assert(sizeof(TProcedureDesc) == 73);

class TBtrSqlProcTable : public TBtrTable {
    DUN_CLASS(TBtrSqlProcTable, TBtrTable)
public:
    static constexpr Word EntrySize = 1061;

    TBtrSqlProcTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                     const std::string& directory);

    // Opens PROC.DDF read-only; a record shorter than an entry is accepted on every call.
    void Open() override;
    Word GetRecordLength() override { return sizeof(TProcedureDesc); }
    // Both read the next entry; with a record, its description.
    void GetRecord(Integer lock, Byte* record, RECProps* properties) override;
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;

private:
    void ReadNextEntry(Byte* record);
};
