// The data dictionary of a Btrieve directory (FILE.DDF, FIELD.DDF, INDEX.DDF, FIELDEXT.DDF) and its list cursors:
// the table list, the field list of one table, and the field list of a table-definition resource.
#pragma once

#include <memory>
#include <string>

#include "engine/btrieve/BtrConv.h"
#include "engine/btrieve/BtrTable.h"

// Owner name the dictionary files are opened with.
constexpr const char* DictionaryOwner = "..MR....";
constexpr const char* FileDictionary = "FILE.DDF";
constexpr const char* FieldDictionary = "FIELD.DDF";
constexpr const char* IndexDictionary = "INDEX.DDF";
constexpr const char* FieldExtDictionary = "FIELDEXT.DDF";
// FILE.DDF flag of a dictionary (system) file.
constexpr Byte FileFlagSystem = 0x10;

#pragma pack(push, 1)
// One record of FILE.DDF.
struct TFileDDFRecord {
    Word FileId;
    char Name[20];
    char Location[64];
    Byte Flags;
    Byte Reserved[10];
};
static_assert(sizeof(TFileDDFRecord) == 97);

// The start of a FIELDEXT.DDF record.
struct TFieldExtDDFRecord {
    Word FileId;
    Word FieldId;
    Byte ExtendedType;
};
#pragma pack(pop)

// "directory\FILE;OWNER:..MR....": the table name a dictionary file is opened under.
std::string DictionaryTableName(const std::string& directory, const std::string& file);
// The trimmed table name of a FILE.DDF record.
std::string DictionaryEntryName(const TFileDDFRecord& record);
// The trimmed location of a FILE.DDF record.
std::string DictionaryEntryLocation(const TFileDDFRecord& record);

// The table list: one table description a row (the extended description when extended).
class TBtrTblListTable : public TBtrTable {
    DUN_CLASS(TBtrTblListTable, TBtrTable)
public:
    TBtrTblListTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                     const std::string& directory, bool extended, bool includeSystem);

    // The next FILE.DDF record through the cursor's own reads (ranges and filters apply), system entries skipped
    // unless they are included.
    virtual void ReadNextEntry(TFileDDFRecord& entry);
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;
    Word GetRecordLength() override;

private:
    bool extended_;
    bool includeSystem_;
};

// The field list of one table: one field descriptor a row, numbered from 1.
class TBtrFieldListTable : public TBtrTable {
    DUN_CLASS(TBtrFieldListTable, TBtrTable)
public:
    // fileRecord: the table's FILE.DDF record, whose file id selects the fields.
    TBtrFieldListTable(TBapiListItem* owner, TBoreaCollection* collection, const Byte* clientId,
                       const std::string& directory, const TFileDDFRecord& fileRecord);
    ~TBtrFieldListTable() override;

    // Opens FIELD.DDF on its file-id key, and FIELDEXT.DDF when the directory has one.
    void Open() override;
    // The next stored field of the table; its type replaced by a FIELDEXT.DDF entry when there is one.
    virtual void ReadNextEntry(TFieldDDFRecord& entry);
    // The next field's descriptor, numbered from 1 again after a rewind.
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;
    Word GetRecordLength() override { return sizeof(FLDDesc); }
    void CheckSeekResult(Word operation, Word fieldCount, const Byte* key, Word length) override {}
    void GetRecordCount(Integer& count) override;

private:
    void ApplyExtendedType(TFieldDDFRecord& entry);

    std::string directory_;
    Word nextFieldNumber_ = 1;
    TFileDDFRecord fileRecord_;
    std::unique_ptr<TWinBtr> extensionFile_;
};

// The field list of a table-definition resource (the table name's ";RES:" option).
class TResFieldListTable : public TBaseTable {
    DUN_CLASS(TResFieldListTable, TBaseTable)
public:
    TResFieldListTable(TBapiListItem* owner, TBoreaCollection* collection, const std::string& tableName);

    // Reads the resource; none (or no fields) raises DBIERR_INVALIDHNDL.
    void Open() override;
    void GetNextRecord(Integer lock, Byte* record, RECProps* properties) override;
    Word GetRecordLength() override { return sizeof(FLDDesc); }
    // Back to the first item.
    void SetToBegin() override;
    // The number of items; the position stays.
    void GetRecordCount(Integer& count) override;

private:
    Integer nextItem_ = 0;
};
