// The engine's abstract database: the cursors opened on it, its description and user name, open tables found by
// name, and the database calls that need no driver (index lists, table existence, emptying, in-memory tables).
// Opening tables, table and field lists and transactions are the driver's.
#pragma once

#include <string>
#include <vector>

#include "engine/core/BseSessRecords.h"
#include "engine/core/BseTable.h"

class TBaseSession;
class TBaseTable;
struct TDatabaseOptions;

// Database properties (the low 16 bits decide).
constexpr Word dbPROPVERSION = 0;
constexpr Word dbPROPDBTYPE = 2;
constexpr Word DatabasePropVersion = 27;
// End kinds of EndTran.
constexpr Integer xendCOMMIT = 0;
constexpr Integer xendABORT = 2;

class TBaseDatabase : public TBapiListItem {
    DUN_CLASS(TBaseDatabase, TBapiListItem)
public:
    // description and name may be none.
    TBaseDatabase(TBaseSession* owner, TBoreaCollection* collection, const DBDesc* description, Integer openMode,
                  Integer shareMode, const char* name, const TDatabaseOptions& options);
    ~TBaseDatabase() override;

    TBaseSession* Session() const;
    Integer TranState = 0;
    Integer IsolationLevel = 0;
    TBoreaCollection* Tables() { return &tables_; }
    bool Pending() const { return pending_; }
    Integer OpenMode() const { return openMode_; }
    Integer ShareMode() const { return shareMode_; }
    const std::string& Name() const { return name_; }
    DBDesc& Description() { return description_; }
    const std::string& UserName() const { return userName_; }

    // TBapiListItem
    void GetProp(Cardinal property, void* buffer, Word& length, Word maxLength) override;
    void CheckProp(Cardinal property, bool flag) override;

    virtual std::string GetDbType() { return "STANDARD"; }
    virtual void SetModes(Integer openMode, Integer shareMode);
    virtual void SetParam(const std::string& name, const std::string& value);
    virtual void SetParams(const TDatabaseOptions& options);
    // By physical name when name is a path, else by table name; raises DBIERR_NOSUCHTABLE with the name.
    virtual TBaseTable* FindOpenTable(const std::string& name);
    virtual void SetDirectory(const std::string& directory);
    virtual std::string GetDirectory();
    // indexId counts only when indexName is empty.
    virtual TBaseTable* OpenTable(const std::string& name, const std::string& indexName, Word indexId,
                                  Integer openMode, Integer shareMode) = 0;
    // A new cursor on the table of cursor, with its modes.
    virtual TBaseTable* CloneTable(TBaseTable* cursor);
    virtual TBaseTable* OpenTableList(bool extended, bool includeSystem, const std::string& pattern) = 0;
    // fileRecord: the driver's own description of the table, or none.
    virtual TBaseTable* OpenFieldList(const std::string& tableName, const void* fileRecord) = 0;
    // Not supported here; a driver with a data dictionary renames and deletes its entries.
    virtual void RenameTable(const std::string& oldName, const std::string& newName);
    virtual void DeleteTable(const std::string& name);
    virtual TBaseTable* OpenIndexList(const std::string& tableName);
    virtual TBaseTable* OpenVchkList(const std::string& tableName);
    virtual bool TableExists(const std::string& name);
    virtual Integer CountOpenTables(const std::string& name);
    // The name without its table-name options.
    virtual TBaseTable* FindOpenTableByName(const std::string& name);
    virtual void EmptyTable(TBaseTable* cursor, const std::string& tableName);
    // An in-memory table of fieldCount fields, listed in Tables.
    virtual TBaseTable* CreateInMemTable(const std::string& name, Word fieldCount, const FLDDesc* descriptors);
    virtual void AddIndex(TBaseTable* cursor, const std::string& tableName, const IDXDesc& descriptor);
    virtual void DeleteIndex(TBaseTable* cursor, const std::string& tableName, const std::string& indexName);
    virtual void BeginTran();
    virtual void EndTran(Integer kind);
    virtual void GetTranInfo(XInfo& information);
    virtual void ResetPending() { pending_ = false; }

    // Whether the database keeps object in a list of its own besides Tables (a driver's statements); the facade
    // accepts such objects as handles.
    virtual bool HoldsObject(const TBapiListItem* object) const { return false; }

    // Open cursors of the database (closed ones included).
    Integer CursorCount() const { return tables_.Count(); }

private:
    // cursor when given, else a cursor of the database's own that is freed after action.
    template <class Action>
    void WithCursor(TBaseTable* cursor, const std::string& tableName, Action action);

    TBoreaCollection tables_;
    bool pending_ = false;
    Integer openMode_ = 0;
    Integer shareMode_ = 0;
    std::string name_;
    DBDesc description_{};
    std::string userName_;
};

// A read-only cursor over a fixed array of rows.
class TBaseListTable : public TBaseTable {
    DUN_CLASS(TBaseListTable, TBaseTable)
public:
    TBaseListTable(TBaseDatabase* database, TBoreaCollection* collection);
    // Copies rowCount rows of GetRecordBufferSize bytes; call once after construction.
    void SetRows(Word rowCount, const Byte* rows);

    Word RowCount() const { return rowCount_; }
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;

private:
    std::vector<Byte> rows_;
    Word rowCount_ = 0;
    Word position_ = 0;
};

// The index list of a table: one index descriptor a row.
class TIndexListTable : public TBaseListTable {
    DUN_CLASS(TIndexListTable, TBaseListTable)
public:
    using TBaseListTable::TBaseListTable;
    Word GetRecordLength() override { return sizeof(IDXDesc); }
};
