// TSSQLDatabaseTable: the database list of a session with the Scalable SQL names library: every alias (type
// "BTRIEVE"), then the local and the remote named SQL databases, each as "@" + its name.
#pragma once

#include <vector>

#include "engine/core/BseSessRecords.h"
#include "engine/core/BseTable.h"

class TBaseSession;

class TSSQLDatabaseTable : public TBaseTable {
    DUN_CLASS(TSSQLDatabaseTable, TBaseTable)
public:
    TSSQLDatabaseTable(TBaseSession* session, TBoreaCollection* collection);

    // Fills the list.
    void AfterCreate() override;
    Word GetRecordLength() override { return sizeof(DBDesc); }
    // The next description; past the last the end-of-data error.
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;
    // Back to the first description.
    void SetToBegin() override;

private:
    void AddAliases();
    // A failing count skips the kind; a failing name ends it.
    void AddNames(SmallInt (*countNames)(SmallInt&), SmallInt (*getName)(SmallInt, char*), const char* where);

    std::vector<DBDesc> rows_;
    size_t position_ = 0;
};
