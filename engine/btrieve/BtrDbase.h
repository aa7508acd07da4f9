// TBtrDatabase: the database of a Btrieve directory. Tables open by file name or dictionary name, with their layout
// from a table-definition resource, another open cursor of the table, or the data dictionary; transactions run
// under the session's Btrieve client.
#pragma once

#include <cstddef>
#include <string>

#include "engine/core/BseDb.h"

struct TFileDDFRecord;
class TBtrTable;

// Status of a table that the data dictionary does not list.
constexpr SmallInt BtrStatusNotInDictionary = 204;
constexpr Word DBIERR_ACTIVETRAN = 0x2810;

class TBtrDatabase : public TBaseDatabase {
    DUN_CLASS(TBtrDatabase, TBaseDatabase)
public:
    // clientId: the session's 16-byte Btrieve client identifier, kept by reference.
    TBtrDatabase(TBaseSession* owner, TBoreaCollection* collection, const Byte* clientId, const DBDesc* description,
                 Integer openMode, Integer shareMode, const char* name, const TDatabaseOptions& options);

    const Byte* ClientId() const { return clientId_; }

    std::string GetDbType() override { return "BTRIEVE"; }
    // The requester's current directory.
    void SetDirectory(const std::string& directory) override;
    std::string GetDirectory() override;
    // A name with ";RES:" takes its layout from that resource; a name with a directory or an extension is then a
    // file (in the database directory when the name has no directory part), any other name is looked up in the
    // dictionary, which also gives the layout when there is no resource. A failure frees the new cursor.
    TBaseTable* OpenTable(const std::string& name, const std::string& indexName, Word indexId, Integer openMode,
                          Integer shareMode) override;
    // The table name with the cursor's ";RES:" and ";OWNER:" options.
    TBaseTable* CloneTable(TBaseTable* cursor) override;
    TBaseTable* OpenTableList(bool extended, bool includeSystem, const std::string& pattern) override;
    // fileRecord: the table's FILE.DDF record, or none to look the table up.
    TBaseTable* OpenFieldList(const std::string& tableName, const void* fileRecord) override;
    // Only one transaction at a time: a second raises DBIERR_ACTIVETRAN.
    void BeginTran() override;
    // xendABORT aborts, any other kind ends the transaction.
    void EndTran(Integer kind) override;

    // Removes the table's entries from the dictionary (the data file stays); EBtrieveEngineError 204 when the
    // dictionary does not list the name.
    void DeleteTable(const std::string& name) override;
    // Gives the dictionary entry the new name (at most 19 characters).
    void RenameTable(const std::string& oldName, const std::string& newName) override;

    // The file path of a table in the dictionary (a cursor open under the name first); fills record. Raises
    // EBtrieveEngineError 204 with the name when the dictionary does not list it; a dictionary that cannot be read
    // raises its own error.
    std::string LookUpDictionary(const std::string& name, TFileDDFRecord& record);

private:
    std::string Directory();
    std::string ResourceFilePath(const std::string& name);
    void PrepareCursor(TBtrTable* cursor, const std::string& name, const std::string& indexName, Word indexId);
    void LoadFields(TBtrTable* cursor, const std::string& name);
    void CopyFields(TBaseTable* from, TBaseTable* to);
    // Positions FILE.DDF on the entry of name (trimmed name, case ignored) and returns its file id.
    Word FindDictionaryEntry(class TWinBtr& fileDictionary, const std::string& name);
    // Deletes the records of file whose 16-bit file id (at fileIdOffset) is fileId.
    void DeleteDictionaryRecords(const std::string& file, size_t fileIdOffset, Word fileId);

    const Byte* clientId_;
};
