// A cursor dataset over the engine's in-memory table with a field of every type the filter compiler knows, on a
// facade of its own: the fixture of the filter compiler's and the filter-time routines' tests.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/Field.h"
#include "engine/components/BseBDEDataset.h"
#include "engine/components/BseBlobStream.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseMemTable.h"
#include "engine/tests/support/SessTestSupport.h"

namespace filtertest {

inline FLDDesc Field(const char* name, Word type, Word length, SmallInt units1 = 0, SmallInt units2 = 0,
                     Word subType = 0)
{
    FLDDesc d{};
    std::strncpy(d.szName, name, DBIMAXNAMELEN);
    d.iFldType = type;
    d.iLen = length;
    d.iUnits1 = units1;
    d.iUnits2 = units2;
    d.iSubType = subType;
    return d;
}

constexpr Word MemoLength = 200;

// Name string(20), Qty integer, Small smallint, Count word, Amount float, Price currency, Total BCD(32, 2), Day date,
// Hour time, Stamp date-time, Paid Boolean, Id autoincrement, Notes memo (kept in the record, NUL-terminated).
inline std::vector<FLDDesc> TypesFields()
{
    return {Field("Name", fldZSTRING, 21, 20),       Field("Qty", fldINT32, 4),
            Field("Small", fldINT16, 2),             Field("Count", fldUINT16, 2),
            Field("Amount", fldFLOAT, 8),            Field("Price", fldFLOAT, 8, 0, 0, 21),
            Field("Total", fldBCD, 34, 32, 2),       Field("Day", fldDATE, 4),
            Field("Hour", fldTIME, 4),               Field("Stamp", fldTIMESTAMP, 8),
            Field("Paid", fldBOOL, 2),               Field("Id", fldINT32, 4, 0, 0, 29),
            Field("Notes", fldBLOB, MemoLength, 0, 0, 22)};
}

// The in-memory table with its memo kept in the record; a blob read can be made to fail with a status.
class TTypesTable : public TMemTable {
    DUN_CLASS(TTypesTable, TMemTable)
public:
    TTypesTable(TBapiListItem* owner, TBoreaCollection* collection)
        : TMemTable(owner, nullptr, Fields().data(), 0, Word(Fields().size()), "types", collection)
    {
    }
    static const std::vector<FLDDesc>& Fields()
    {
        static const std::vector<FLDDesc> fields = TypesFields();
        return fields;
    }

    static inline Word BlobStatus = 0;
    static inline Integer BlobOpens = 0;
    static inline Integer BlobFrees = 0;

    // Records of a table of its own, not cached inserts (whose bookmarks the in-memory table does not seek).
    void InsertRecord(Integer lock, Byte* record) override
    {
        TMemTable::InsertRecord(lock, record);
        for (Integer i = 0; i < Records()->Count(); ++i) Records()->Record(i)->Properties.iRecStatus = mrsUnmodified;
    }

    void OpenBlob(Byte* record, Word field, Integer openMode) override { ++BlobOpens; }
    void GetBlobSize(Byte* record, Word field, Cardinal& size) override
    {
        size = Cardinal(strnlen(Memo(record), MemoLength));
    }
    void GetBlob(Byte* record, Word field, Cardinal offset, Cardinal length, void* dest, Cardinal& read) override
    {
        if (BlobStatus != 0) RaiseEngineError(BlobStatus);
        const Cardinal size = Cardinal(strnlen(Memo(record), MemoLength));
        read = offset < size ? std::min(length, size - offset) : 0;
        std::memcpy(dest, Memo(record) + offset, read);
    }
    void PutBlob(Byte* record, Word field, Cardinal offset, Cardinal length, const void* source) override
    {
        std::memcpy(Memo(record) + offset, source, std::min<Cardinal>(length, MemoLength - 1 - offset));
    }
    void TruncateBlob(Byte* record, Word field, Cardinal length) override { Memo(record)[length] = '\0'; }
    void FreeBlob(Byte* record, Word field) override { ++BlobFrees; }

private:
    char* Memo(Byte* record)
    {
        return reinterpret_cast<char*>(record) + FieldCache()->Field(Word(Fields().size()))->Descriptor.iOffset;
    }
};

class TTypesDatabase : public TTestDatabase {
    DUN_CLASS(TTypesDatabase, TTestDatabase)
public:
    using TTestDatabase::TTestDatabase;
    TBaseTable* OpenTable(const std::string&, const std::string&, Word, Integer, Integer) override
    {
        return CreateObject<TTypesTable>(this, Tables());
    }
};

class TTypesSession : public TTestSession {
    DUN_CLASS(TTypesSession, TTestSession)
public:
    using TTestSession::TTestSession;
    TBaseDatabase* CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                  Integer shareMode, const TDatabaseOptions& options) override
    {
        return CreateObject<TTypesDatabase>(this, Databases(), &description, openMode, shareMode, name.c_str(),
                                            options);
    }
};

class TTypesDataset : public TbqBDEDataset {
    DUN_CLASS(TTypesDataset, TbqBDEDataset)
public:
    TTypesDataset(TVirtEng* engine, TBaseDatabase* database)
        : TbqBDEDataset(nullptr), engine_(engine), database_(database)
    {
    }
    TVirtEng* Engine() const override { return engine_; }
    TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override
    {
        return new TbqBlobStream(dynamic_cast<TBlobField*>(field), mode);
    }

    // Every record's Name, sorted.
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (First(); !Eof(); Next()) names.push_back(FieldByName("Name")->AsString());
        std::sort(names.begin(), names.end());
        return names;
    }

protected:
    TBaseTable* CreateHandle() override
    {
        TBaseTable* cursor = nullptr;
        Check(engine_->OpenTable(database_, "types", "", DefaultIndexId, 0, 0, cursor));
        return cursor;
    }

private:
    TVirtEng* engine_;
    TBaseDatabase* database_;
};

// An engine of its own with the types dataset open and empty.
class TypesFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        TTypesTable::BlobStatus = 0;
        engine.reset(CreateObject<TVirtEng>(&MakeSession<TTypesSession>, nullptr, nullptr));
        ASSERT_EQ(engine->OpenDatabase("c:\\data", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database), 0);
        dataSet.reset(new TTypesDataset(engine.get(), database));
        dataSet->Open();
    }
    void TearDown() override { dataSet.reset(); }

    // Appends a record: Name, then (field, text) pairs set with AsString.
    void Add(const std::string& name, const std::map<std::string, std::string>& values = {})
    {
        dataSet->Append();
        dataSet->FieldByName("Name")->SetAsString(name);
        for (const auto& [field, text] : values) dataSet->FieldByName(field)->SetAsString(text);
        dataSet->Post();
    }

    std::unique_ptr<TVirtEng, TFreeObject> engine;
    TBaseDatabase* database = nullptr;
    std::unique_ptr<TTypesDataset, TFreeObject> dataSet;
};

}  // namespace filtertest
