// The engine facade over a test session: result codes and the error stack, handle checks, database names and
// options, configuration lists, and the abstract database's table lookups and index lists.
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "engine/core/BseSqlStmt.h"
#include "engine/tests/support/SessTestSupport.h"

namespace {

class TFailingSession : public TTestSession {
    DUN_CLASS(TFailingSession, TTestSession)
public:
    using TTestSession::TTestSession;
    void AfterCreate() override { RaiseEngineErrorText(DBIERR_NOTINITIALIZED, "no requester"); }
};

// A cursor whose close fails.
class TStubbornTable : public TFakeKeyedTable {
    DUN_CLASS(TStubbornTable, TFakeKeyedTable)
public:
    using TFakeKeyedTable::TFakeKeyedTable;
    static inline Integer Destroyed = 0;
    ~TStubbornTable() override { ++Destroyed; }
    void Close() override { RaiseEngineError(DBIERR_CANNOTCLOSE); }
};

struct TFreeEngine {
    void operator()(TVirtEng* engine) const { engine->Free(); }
};
using TEnginePtr = std::unique_ptr<TVirtEng, TFreeEngine>;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.reset(CreateObject<TVirtEng>(&MakeSession<TTestSession>, nullptr, nullptr));
        ASSERT_EQ(engine->OpenDatabase("c:\\data", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database), 0);
        ASSERT_EQ(engine->OpenTable(database, "people", "", DefaultIndexId, 0, 0, cursor), 0);
        fake = static_cast<TFakeKeyedTable*>(cursor);
    }

    std::string EntryText(Word index)
    {
        Integer native = 0;
        std::string text;
        engine->GetErrorEntry(index, native, text);
        return text;
    }

    TEnginePtr engine;
    TBaseDatabase* database = nullptr;
    TBaseTable* cursor = nullptr;
    TFakeKeyedTable* fake = nullptr;
};

TEST(EngineStart, AFailedDefaultSessionIsRaised)
{
    try {
        CreateObject<TVirtEng>(&MakeSession<TFailingSession>, nullptr, nullptr);
        FAIL();
    } catch (const EBoreaEngineError& error) {
        EXPECT_EQ(error.Code(), DBIERR_NOTINITIALIZED);
    }
}

TEST_F(EngineTest, EndOfDataIsAResultWithOneStackEntry)
{
    Byte record[16] = {};
    EXPECT_EQ(engine->GetNextRecord(cursor, 0, record, nullptr), DBIERR_EOF);
    Integer native = 0;
    std::string text;
    EXPECT_EQ(engine->GetErrorEntry(1, native, text), DBIERR_EOF);
    EXPECT_NE(text.find("DBI Error Code = "), std::string::npos);
    EXPECT_EQ(engine->ErrorStack()->Count(), 1);
    EXPECT_EQ(engine->SetToBegin(cursor), 0);
    EXPECT_EQ(engine->GetErrorEntry(1, native, text), DBIERR_EOF);
    EXPECT_EQ(engine->GetPriorRecord(cursor, 0, record, nullptr), DBIERR_BOF);
}

TEST_F(EngineTest, PriorRecordOffTheEndIsBeginningOfData)
{
    fake->Add({"a"});
    Byte record[16] = {};
    EXPECT_EQ(engine->SetToEnd(cursor), 0);
    EXPECT_EQ(engine->GetPriorRecord(cursor, 0, record, nullptr), 0);
    EXPECT_EQ(engine->GetPriorRecord(cursor, 0, record, nullptr), DBIERR_BOF);
}

TEST_F(EngineTest, InvalidHandlesGiveInvalidHandle)
{
    TBaseTable* closed = cursor;
    ASSERT_EQ(engine->CloseCursor(cursor), 0);
    EXPECT_EQ(cursor, nullptr);
    Byte record[16] = {};
    Integer count = 0;
    EXPECT_EQ(engine->GetNextRecord(closed, 0, record, nullptr), DBIERR_INVALIDHNDL);
    EXPECT_EQ(engine->GetRecordCount(nullptr, count), DBIERR_INVALIDHNDL);
    EXPECT_EQ(engine->SetToBegin(closed), DBIERR_INVALIDHNDL);
    EXPECT_EQ(engine->CloseCursor(closed), DBIERR_INVALIDHNDL);
    auto* stranger = reinterpret_cast<TBaseDatabase*>(record);
    TBaseTable* other = nullptr;
    EXPECT_EQ(engine->OpenTable(stranger, "x", "", DefaultIndexId, 0, 0, other), DBIERR_INVALIDHNDL);
    TBaseDatabase* gone = database;
    ASSERT_EQ(engine->CloseDatabase(database), 0);
    EXPECT_EQ(engine->CloseDatabase(gone), DBIERR_INVALIDHNDL);
    EXPECT_EQ(engine->SetCurrSession(reinterpret_cast<TBaseSession*>(record)), DBIERR_INVALIDHNDL);
}

TEST_F(EngineTest, CloseCursorFreesTheCursorWhenItsCloseFails)
{
    TBaseTable* stubborn =
            CreateObject<TStubbornTable>(std::vector<TFakeField>{{"Code", fldZSTRING, 10}},
                                         std::vector<TFakeIndex>{{"ByCode", {1}}}, database->Tables());
    TStubbornTable::Destroyed = 0;
    EXPECT_EQ(engine->CloseCursor(stubborn), DBIERR_CANNOTCLOSE);
    EXPECT_EQ(TStubbornTable::Destroyed, 1);
    EXPECT_EQ(database->Tables()->Count(), 1);
}

TEST_F(EngineTest, GetPropWithoutObjectLeavesTheStackAlone)
{
    Byte record[16] = {};
    engine->GetNextRecord(cursor, 0, record, nullptr);
    Word length = 99;
    Byte buffer[32] = {};
    EXPECT_EQ(engine->GetProp(nullptr, engPROPVALUE, buffer, sizeof buffer, length), DBIERR_INVALIDPARAM);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(engine->ErrorStack()->Count(), 1);
    EXPECT_EQ(engine->GetProp(reinterpret_cast<TBapiListItem*>(record), engPROPVALUE, buffer, sizeof buffer, length),
              DBIERR_INVALIDHNDL);
    TBapiListItem* owner = nullptr;
    EXPECT_EQ(engine->GetObjFromObj(reinterpret_cast<TBapiListItem*>(record), objSESSION, owner),
              DBIERR_INVALIDHNDL);
    EXPECT_EQ(engine->SetProp(engine.get(), engPROPVALUE, 77), 0);
    EXPECT_EQ(engine->GetProp(engine.get(), engPROPVALUE, buffer, sizeof buffer, length), 0);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(buffer[0], 77);
    EXPECT_EQ(engine->GetProp(database, 0x40002, buffer, sizeof buffer, length), 0);
    EXPECT_STREQ(reinterpret_cast<char*>(buffer), "STANDARD");
    EXPECT_EQ(length, 9);
}

TEST_F(EngineTest, GetErrorStringFindsTheCodeOrEmptiesTheText)
{
    Byte record[16] = {};
    engine->GetNextRecord(cursor, 0, record, nullptr);
    std::string text = "old";
    EXPECT_EQ(engine->GetErrorString(DBIERR_EOF, text), 0);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(engine->GetErrorString(DBIERR_KEYVIOL, text), DBIERR_KEYVIOL);
    EXPECT_TRUE(text.empty());
}

TEST_F(EngineTest, ClosingTheOnlySessionLeavesNoCurrentSession)
{
    TBaseSession* session = nullptr;
    engine->GetCurrSession(session);
    EXPECT_EQ(engine->CloseSession(session), DBIERR_INVALIDHNDL);
    EXPECT_EQ(engine->GetCurrSession(session), 0);
    EXPECT_EQ(session, nullptr);
    TBaseDatabase* other = nullptr;
    EXPECT_EQ(engine->OpenDatabase("c:\\x", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, other),
              DBIERR_INVALIDHNDL);
}

TEST_F(EngineTest, SessionsStartAndTheFirstLeftBecomesCurrent)
{
    TBaseSession* first = nullptr;
    engine->GetCurrSession(first);
    TBaseSession* second = nullptr;
    ASSERT_EQ(engine->StartSession("second", second, "c:\\net"), 0);
    EXPECT_EQ(engine->CurrentSession(), second);
    EXPECT_EQ(second->NetDir(), "c:\\net");
    EXPECT_EQ(engine->CloseSession(second), 0);
    EXPECT_EQ(engine->CurrentSession(), first);
    TBapiListItem* owner = nullptr;
    EXPECT_EQ(engine->GetObjFromObj(database, objSESSION, owner), 0);
    EXPECT_EQ(owner, first);
    EXPECT_EQ(engine->GetObjFromObj(database, 1, owner), DBIERR_INVALIDPARAM);
    EXPECT_EQ(owner, nullptr);
}

TEST(DatabaseName, BracketedPrefixIsRemoved)
{
    EXPECT_EQ(PrepareDatabaseName("[Btrieve] c:\\data"), "c:\\data");
    EXPECT_EQ(PrepareDatabaseName("vavuz"), "vavuz");
    EXPECT_EQ(PrepareDatabaseName("[open c:\\data"), "[open c:\\data");
    EXPECT_EQ(PrepareDatabaseName("[x]"), "");
}

TEST_F(EngineTest, PathOptionNamesTheDatabaseAndIsPreparedInPlace)
{
    FLDDesc option{};
    std::strcpy(option.szName, "path");
    option.iOffset = 0;
    option.iLen = 32;
    char values[32] = "[Btrieve] c:\\opt";
    TBaseDatabase* opened = nullptr;
    ASSERT_EQ(engine->OpenDatabase(nullptr, nullptr, 0, 0, nullptr, 1, &option, reinterpret_cast<Byte*>(values),
                                   opened),
              0);
    EXPECT_STREQ(opened->Description().szPhyName, "c:\\opt\\");
    EXPECT_STREQ(values, "c:\\opt");
}

TEST_F(EngineTest, ConfigurationListOfARegistryAliasAndOfAPath)
{
    TTestAliases aliases;
    aliases.Add("HOST", {{"PhysicalName", "c:\\host"}, {"Description", "d"}, {"user", "anna"}});
    aliases.AddInteger("HOST", "Port", 7);
    auto rows = [&](const std::string& path) {
        TBaseTable* list = nullptr;
        EXPECT_EQ(engine->OpenCfgInfoList(path, list), 0);
        std::vector<std::string> lines;
        CFGDesc row{};
        while (engine->GetNextRecord(list, 0, reinterpret_cast<Byte*>(&row), nullptr) == 0)
            lines.push_back(std::string(row.szNodeName) + "=" + row.szValue);
        engine->CloseCursor(list);
        return lines;
    };
    std::vector<std::string> host = rows("\\DATABASES\\HOST\\DB INFO");
    std::sort(host.begin(), host.end());
    EXPECT_EQ(host, (std::vector<std::string>{"Description=d", "PhysicalName=c:\\host", "Port=7", "USER NAME=anna"}));
    EXPECT_EQ(rows("\\DATABASES\\c:\\data\\DB OPEN"), (std::vector<std::string>{"PATH=c:\\data", "USER NAME="}));
    EXPECT_EQ(rows("\\DATABASES\\NOSUCH\\DB INFO"), (std::vector<std::string>{"USER NAME="}));
}

TEST_F(EngineTest, OpenTablesAreFoundByNameOrPathAndCounted)
{
    TBaseTable* second = nullptr;
    ASSERT_EQ(engine->OpenTable(database, "people", "", DefaultIndexId, 0, 0, second), 0);
    EXPECT_EQ(database->FindOpenTableByName("PEOPLE;RES:PEOPLE"), cursor);
    EXPECT_EQ(database->FindOpenTable("c:\\data\\people"), cursor);
    EXPECT_EQ(database->CountOpenTables("people"), 2);
    try {
        database->CountOpenTables("nobody");
        FAIL();
    } catch (const EBoreaEngineError& error) {
        EXPECT_EQ(error.Code(), DBIERR_NOSUCHTABLE);
        EXPECT_EQ(error.Text(), "nobody");
    }
}

TEST_F(EngineTest, IndexListUsesAnOpenCursorOrOpensAndClosesOne)
{
    auto* testDatabase = static_cast<TTestDatabase*>(database);
    TBaseTable* list = nullptr;
    ASSERT_EQ(engine->OpenIndexList(database, "people", list), 0);
    EXPECT_EQ(testDatabase->TablesOpened, 1);
    IDXDesc row{};
    EXPECT_EQ(engine->GetNextRecord(list, 0, reinterpret_cast<Byte*>(&row), nullptr), 0);
    EXPECT_EQ(engine->GetNextRecord(list, 0, reinterpret_cast<Byte*>(&row), nullptr), DBIERR_EOF);
    engine->CloseCursor(list);

    const Integer before = database->Tables()->Count();
    ASSERT_EQ(engine->OpenIndexList(database, "other", list), 0);
    EXPECT_EQ(testDatabase->TablesOpened, 2);
    EXPECT_EQ(database->Tables()->Count(), before + 1);
}

TEST_F(EngineTest, ADatabaseWithoutADictionaryCannotRenameOrDeleteTables)
{
    for (const auto& action : std::vector<std::function<void()>>{[&] { database->RenameTable("people", "staff"); },
                                                                 [&] { database->DeleteTable("people"); }}) {
        try {
            action();
            FAIL();
        } catch (const EBoreaEngineError& error) {
            EXPECT_EQ(error.Code(), DBIERR_NOTSUPPORTED);
        }
    }
}

TEST_F(EngineTest, InMemoryTablesNeedFields)
{
    FLDDesc field{};
    std::strcpy(field.szName, "Name");
    field.iFldType = fldZSTRING;
    field.iUnits1 = 9;
    TBaseTable* memory = database->CreateInMemTable("scratch", 1, &field);
    Byte record[10] = "abc";
    memory->InsertRecord(0, record);
    Integer count = 0;
    memory->GetRecordCount(count);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(engine->IsCursor(memory));
    try {
        database->CreateInMemTable("empty", 0, &field);
        FAIL();
    } catch (const EBoreaEngineError& error) {
        EXPECT_EQ(error.Code(), DBIERR_INVALIDPARAM);
        EXPECT_EQ(error.Text(), "empty");
    }
}

}  // namespace

namespace {

class TTestStmt : public TSqlStmt {
    DUN_CLASS(TTestStmt, TSqlStmt)
public:
    using TSqlStmt::TSqlStmt;
    static inline std::string DestroyedWithText;
    void BeforeDestroy() override { DestroyedWithText = Text(); }
    void SetParams(const TDatabaseOptions& parameters) override {}
    void Execute(TBaseTable** result) override {}
};

TEST_F(EngineTest, StatementsKeepTheirTextInTheOemSetAndAnswerTheirProperties)
{
    TSqlStmt* statement =
            CreateObject<TTestStmt>(database, 1, "select \xFC", &static_cast<TTestDatabase*>(database)->Statements);
    EXPECT_EQ(statement->Text(), "select \x81");
    EXPECT_EQ(statement->Kind(), 1);
    EXPECT_EQ(engine->SetProp(statement, stmtPROPVALUE, 9), 0);
    Byte buffer[8] = {};
    Word length = 0;
    EXPECT_EQ(engine->GetProp(statement, stmtPROPVALUE, buffer, sizeof buffer, length), 0);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(engine->GetProp(statement, stmtPROPLANGUAGE, buffer, sizeof buffer, length), 0);
    EXPECT_EQ(buffer[0], 32);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(engine->GetProp(statement, 7, buffer, sizeof buffer, length), DBIERR_NOTSUPPORTED);
    statement->SetText(nullptr);
    EXPECT_FALSE(statement->HasText());
    statement->SetText("x");
    statement->Free();
    EXPECT_EQ(TTestStmt::DestroyedWithText, "x");
}

}  // namespace
