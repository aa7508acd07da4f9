// A session and a database of fake keyed tables for tests of the session, database and facade layers, and
// registry aliases written for a test and removed after it.
#pragma once

#include <string>
#include <vector>

#include "engine/core/BseDb.h"
#include "engine/core/BseError.h"
#include "engine/core/BseRegistry.h"
#include "engine/core/BseSess.h"
#include "engine/tests/support/FakeKeyedTable.h"
#include "rtl/WinApi.h"

// The registry location the test sessions read their aliases from; one per process, since test programs run side
// by side and each clears its location.
inline const char* TestRegistryPath()
{
    static const std::string path = "\\Software\\Borea\\EngineSessTest" + std::to_string(GetCurrentProcessId());
    return path.c_str();
}

// A fake keyed table that reports its one index.
class TTestTable : public TFakeKeyedTable {
    DUN_CLASS(TTestTable, TFakeKeyedTable)
public:
    using TFakeKeyedTable::TFakeKeyedTable;
    void GetCursorProps(CURProps& properties) override
    {
        TFakeKeyedTable::GetCursorProps(properties);
        properties.iIndexes = 1;
    }
};

// Opens every table as a fake keyed table with one string field and one index.
class TTestDatabase : public TBaseDatabase {
    DUN_CLASS(TTestDatabase, TBaseDatabase)
public:
    using TBaseDatabase::TBaseDatabase;

    Integer TablesOpened = 0;
    TBoreaCollection Statements;

    bool HoldsObject(const TBapiListItem* object) const override
    {
        return Statements.IndexOf(const_cast<TBapiListItem*>(object)) >= 0;
    }

    TBaseTable* OpenTable(const std::string& name, const std::string& indexName, Word indexId, Integer openMode,
                          Integer shareMode) override
    {
        ++TablesOpened;
        auto* table = CreateObject<TTestTable>(std::vector<TFakeField>{{"Code", fldZSTRING, 10}},
                                                    std::vector<TFakeIndex>{{"ByCode", {1}}}, Tables());
        table->SetTableName(name.substr(0, name.find(';')));
        table->SetPhysicalName(std::string(Description().szPhyName) + table->GetTableName());
        return table;
    }
    TBaseTable* OpenTableList(bool extended, bool includeSystem, const std::string& pattern) override
    {
        RaiseEngineError(DBIERR_NOTSUPPORTED);
    }
    TBaseTable* OpenFieldList(const std::string& tableName, const void* fileRecord) override
    {
        RaiseEngineError(DBIERR_NOTSUPPORTED);
    }
};

class TTestSession : public TBaseSession {
    DUN_CLASS(TTestSession, TBaseSession)
public:
    using TBaseSession::TBaseSession;

    void AfterCreate() override
    {
        RegistryLocation().Root = HKEY_LOCAL_MACHINE;
        RegistryLocation().Path = TestRegistryPath();
    }
    TBaseDatabase* CreateDatabase(const DBDesc& description, const std::string& name, Integer openMode,
                                  Integer shareMode, const TDatabaseOptions& options) override
    {
        return CreateObject<TTestDatabase>(this, Databases(), &description, openMode, shareMode, name.c_str(),
                                           options);
    }
};

// Alias keys below the test registry location, removed again when the object goes.
class TTestAliases {
public:
    TTestAliases() { Clear(); }
    ~TTestAliases() { Clear(); }

    // Writes the alias key with string values (name, value).
    void Add(const std::string& alias, const std::vector<std::pair<std::string, std::string>>& values)
    {
        TRightsRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        registry.OpenKey(Key(alias), true);
        for (const auto& [name, value] : values) registry.WriteString(name, value);
    }
    void AddInteger(const std::string& alias, const std::string& name, Integer value)
    {
        TRightsRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        registry.OpenKey(Key(alias), true);
        registry.WriteInteger(name, value);
    }
    static std::string Key(const std::string& alias)
    {
        return std::string(TestRegistryPath()) + "\\Aliases\\" + alias;
    }

private:
    void Clear()
    {
        TRightsRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        registry.DeleteKey(TestRegistryPath());
    }
};
