// SQL statements, the SQL database and session against the scripted requester (and the record manager's requester
// for the Btrieve side), and without any SQL requester.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "engine/btrieve/BtrError.h"
#include "engine/btrieve/BtrWObj.h"
#include "engine/core/BseCfg.h"
#include "engine/core/BseEng.h"
#include "engine/core/BseError.h"
#include "engine/core/BseRegistry.h"
#include "engine/core/BseSqlStmt.h"
#include "engine/sql/BtrSqlAgg.h"
#include "engine/sql/BtrSqlDb.h"
#include "engine/sql/BtrSqlLoad.h"
#include "engine/sql/BtrSqlProc.h"
#include "engine/sql/BtrSqlSess.h"
#include "engine/sql/BtrSqlStmt.h"
#include "engine/sql/BtrSqlTable.h"
#include "engine/tests/sql/sqlfake/SqlScript.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"

namespace {

namespace fs = std::filesystem;

const std::string AliasKey = "\\Software\\Borea\\Btrieve\\Aliases\\SQLDRIVERTEST";

Word ErrorCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EBoreaEngineError& e) {
        return e.Code();
    }
    return 0;
}

TEST(SqlParameterText, VariablesReplaceMarksOutsideQuotes)
{
    struct TCase {
        const char* Text;
        const char* Expected;
        Integer Count;
    };
    const TCase cases[] = {
        {"SELECT * FROM T WHERE A = ? AND B = ?", "SELECT * FROM T WHERE A = @QVAR0000 AND B = @QVAR0001", 2},
        {"SELECT * FROM T WHERE A = :NAME", "SELECT * FROM T WHERE A = @NAME", 0},
        {"SELECT 'a?b:c' FROM T WHERE A = ?", "SELECT 'a?b:c' FROM T WHERE A = @QVAR0000", 1},
        {"???", "@QVAR0000@QVAR0001@QVAR0002", 3},
        {"", "", 0},
    };
    for (const TCase& c : cases) {
        Integer count = -1;
        EXPECT_EQ(SubstituteSqlParameters(c.Text, count), c.Expected) << c.Text;
        EXPECT_EQ(count, c.Count) << c.Text;
    }
}

class SqlDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("sqldriver_" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
        Script().Install("sqlfake.dll");
        SetSqlRequesterDllNames("sqlfake.dll", "sqlfake.dll");
        session_ = CreateObject<TBtrSqlSession>(nullptr, "", "SQLTEST", nullptr);
    }
    void TearDown() override
    {
        if (session_) session_->Free();
        UnloadSqlRequester();
        SetSqlRequesterDllNames("", "");
        Script().Uninstall();
        TRightsRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        registry.DeleteKey(AliasKey);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    static TSqlScript& Script() { return TSqlScript::Instance(); }

    TBtrSqlDatabase* Open(const std::string& name, const TDatabaseOptions& options = {})
    {
        return dynamic_cast<TBtrSqlDatabase*>(session_->OpenDatabase(name.c_str(), nullptr, 0, 0, nullptr, options));
    }
    TBtrSqlDatabase* OpenNamed()
    {
        Script().LocalNames = {"DEMO"};
        return Open("@DEMO");
    }
    TBtrSqlDatabase* OpenDirectory() { return Open(Directory()); }
    std::string Directory() const { return folder_.string() + "\\"; }
    std::vector<std::string> CompiledTexts() const
    {
        std::vector<std::string> texts;
        for (const TSqlCall& call : Script().Calls)
            if (call.Entry == "_XQLCompile") texts.push_back(call.Text);
        return texts;
    }
    std::vector<std::string> DatabaseList(bool rewound = false)
    {
        TBaseTable* list = session_->OpenDatabaseList();
        std::vector<std::string> names;
        if (rewound) {
            ReadToEnd(list);
            list->SetToBegin();
        }
        try {
            for (;;) {
                DBDesc row{};
                list->GetNextRecord(dbiNOLOCK, reinterpret_cast<Byte*>(&row), nullptr);
                names.push_back(std::string(row.szName) + "|" + row.szText + "|" + row.szPhyName + "|" +
                                row.szDbType);
            }
        } catch (const EBoreaEOFError&) {
        }
        list->Free();
        return names;
    }
    static void ReadToEnd(TBaseTable* list)
    {
        DBDesc row{};
        try {
            for (;;) list->GetNextRecord(dbiNOLOCK, reinterpret_cast<Byte*>(&row), nullptr);
        } catch (const EBoreaEOFError&) {
        }
    }

    fs::path folder_;
    TBtrSqlSession* session_ = nullptr;
};

TEST_F(SqlDatabaseTest, NamedDatabaseLogsInWithItsNameAsDictionary)
{
    TBtrSqlDatabase* database = OpenNamed();
    ASSERT_NE(database, nullptr);
    EXPECT_EQ(database->GetDbType(), "SQL");
    database->SetParam("user", "ann");
    database->SetParam("PASSWORD", "pw");
    database->Login();
    database->Login();
    EXPECT_TRUE(database->LoggedIn());
    ASSERT_EQ(Script().CountOf("_XQLLogin"), 1);
    EXPECT_EQ(Script().Last("_XQLLogin")->Text, "ann|pw|@DEMO|");
    database->Logout();
    EXPECT_FALSE(database->LoggedIn());
    EXPECT_EQ(Script().CountOf("_XQLLogout"), 1);
}

TEST_F(SqlDatabaseTest, DirectoryDatabaseLogsInWithItsDirectoryAsBoth)
{
    TBtrSqlDatabase* database = OpenDirectory();
    ASSERT_NE(database, nullptr);
    database->Login();
    EXPECT_EQ(Script().Last("_XQLLogin")->Text, "||" + Directory() + "|" + Directory());
}

TEST_F(SqlDatabaseTest, LoginStatuses)
{
    TBtrSqlDatabase* database = OpenDirectory();
    database->SetParam("USER NAME", "bob");
    Script().Statuses["_XQLLogin"] = SqlStatus::OwnerInvalid;
    database->Login();
    EXPECT_FALSE(database->LoggedIn());

    Script().Statuses["_XQLLogin"] = SqlStatus::PasswordInvalid;
    try {
        database->Login();
        FAIL() << "no error";
    } catch (const EScalableSQLEngineError& e) {
        EXPECT_EQ(e.Status(), 205);
        EXPECT_EQ(e.AttachedText(), "bob");
    }
    Script().Statuses["_XQLLogin"] = 2000;
    try {
        database->Login();
        FAIL() << "no error";
    } catch (const EScalableSQLEngineError& e) {
        EXPECT_EQ(e.Status(), 2000);
        EXPECT_EQ(e.AttachedText(), Directory());
    }
    EXPECT_FALSE(database->LoggedIn());
}

TEST_F(SqlDatabaseTest, StatementsCompileAndSubstituteTheirParameters)
{
    TBtrSqlDatabase* database = OpenNamed();
    TSqlStmt* statement = nullptr;
    Script().Statuses["_XQLCompile"] = SqlStatus::UnresolvedSubstitution;
    database->PrepareStatement(SqlQueryLanguage, "SELECT * FROM T WHERE A = ? AND B = ? AND C = :C", statement, 0);
    ASSERT_NE(statement, nullptr);
    EXPECT_EQ(CompiledTexts(),
              std::vector<std::string>{"SELECT * FROM T WHERE A = @QVAR0000 AND B = @QVAR0001 AND C = @C"});

    struct {
        char Text[8];
        SmallInt Flag;
        Integer Number;
        Integer Day;
        double Float;
    } values{{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}, -1, 42, Integer(EncodeDate(1999, 12, 31)) + DateDelta, 2.5};
    FLDDesc descriptors[6] = {};
    const auto describe = [&](int i, Word type, size_t offset) {
        descriptors[i].iFldType = type;
        descriptors[i].iOffset = Word(offset);
    };
    describe(0, fldZSTRING, offsetof(decltype(values), Text));
    descriptors[0].iLen = 8;  // a full text has no zero of its own
    describe(1, fldBOOL, offsetof(decltype(values), Flag));
    std::strcpy(descriptors[2].szName, "C");  // named: not a variable
    describe(3, fldINT32, offsetof(decltype(values), Number));
    describe(4, fldDATE, offsetof(decltype(values), Day));
    describe(5, fldFLOAT, offsetof(decltype(values), Float));
    statement->SetParams(TDatabaseOptions{6, descriptors, reinterpret_cast<const Byte*>(&values)});
    std::vector<std::string> substituted;
    for (const TSqlCall& call : Script().Calls)
        if (call.Entry == "XQLSubst") substituted.push_back(call.Text);
    EXPECT_EQ(substituted, (std::vector<std::string>{"QVAR0000=abcdefgh", "QVAR0001=TRUE", "QVAR0002=42",
                                                     "QVAR0003=" + DateToStr(EncodeDate(1999, 12, 31)),
                                                     "QVAR0004=2.5"}));

    // A prepared statement takes a new text and compiles it when it runs.
    Script().Statuses.clear();
    database->PrepareStatement(SqlQueryLanguage, "DELETE FROM T", statement, 0);
    EXPECT_EQ(CompiledTexts().size(), 1u);
    statement->Execute(nullptr);
    EXPECT_EQ(CompiledTexts().back(), "DELETE FROM T");

    Script().Statuses["_XQLCompile"] = 17;
    TSqlStmt* failing = nullptr;
    EXPECT_THROW(database->PrepareStatement(SqlQueryLanguage, "BAD", failing, 0), EScalableSQLEngineError);
}

TEST_F(SqlDatabaseTest, ExecuteRunsTheStatementOnceAndHandsOutItsResult)
{
    TBtrSqlDatabase* database = OpenNamed();
    Script().Results["SELECT NAME FROM T"].Columns = {{"NAME", 0, 8, 0}};
    Script().Results["SELECT NAME FROM T"].AddRow({'A', 'N', 'N'});
    TSqlStmt* statement = nullptr;
    database->PrepareStatement(SqlQueryLanguage, "SELECT NAME FROM T", statement, 0);
    TBaseTable* result = nullptr;
    statement->Execute(&result);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Script().CountOf("XQLExec"), 1);
    EXPECT_EQ(database->Tables()->IndexOf(result) >= 0, true);
    EXPECT_EQ(result->ClassName(), "TBtrSqlBaseTable");
    std::vector<Byte> record(result->GetRecordBufferSize());
    result->GetNextRecord(dbiNOLOCK, record.data(), nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data()) + 2), "ANN");

    statement->Execute(nullptr);
    EXPECT_EQ(Script().CountOf("XQLExec"), 2);
    const Integer cursorId = static_cast<TSSQLSqlStmt*>(statement)->CursorId();
    statement->Free();
    ASSERT_NE(Script().Last("_XQLFree"), nullptr);
    EXPECT_EQ(Script().Last("_XQLFree")->Cursor, cursorId);
}

TEST_F(SqlDatabaseTest, FacadeTakesTheStatementsAndResultsOfItsSqlDatabasesOnly)
{
    struct TFreeEngine {
        void operator()(TVirtEng* engine) const { engine->Free(); }
    };
    std::unique_ptr<TVirtEng, TFreeEngine> engine(
            CreateObject<TVirtEng>(&MakeSession<TBtrSqlSession>, nullptr, nullptr));
    Script().LocalNames = {"DEMO"};
    TBaseDatabase* database = nullptr;
    ASSERT_EQ(engine->OpenDatabase("@DEMO", nullptr, 0, 0, nullptr, 0, nullptr, nullptr, database), 0);
    TSqlStmt* statement = nullptr;
    static_cast<TBtrSqlDatabase*>(database)->PrepareStatement(SqlQueryLanguage, "SELECT NAME FROM T", statement, 0);
    Script().Results["SELECT NAME FROM T"].Columns = {{"NAME", 0, 8, 0}};
    TBaseTable* result = nullptr;
    statement->Execute(&result);

    EXPECT_EQ(engine->SetProp(statement, stmtPROPVALUE, 7), 0);
    Cardinal value = 0;
    Word length = 0;
    EXPECT_EQ(engine->GetProp(statement, stmtPROPVALUE, &value, sizeof value, length), 0);
    EXPECT_EQ(value, 7u);
    SmallInt cursorId = -1;
    EXPECT_EQ(engine->GetProp(result, TBtrSqlBaseTable::PropertyCursorId, &cursorId, sizeof cursorId, length), 0);
    EXPECT_EQ(cursorId, static_cast<TSSQLSqlStmt*>(statement)->CursorId());

    TSqlStmt* foreign = nullptr;
    OpenNamed()->PrepareStatement(SqlQueryLanguage, "SELECT NAME FROM T", foreign, 0);
    EXPECT_EQ(engine->SetProp(foreign, stmtPROPVALUE, 7), DBIERR_INVALIDHNDL);
}

TEST_F(SqlDatabaseTest, ProcedureCallsCountTheirRows)
{
    TBtrSqlDatabase* database = OpenNamed();
    TSqlStmt* statement = database->PrepareProcedure("P1");
    EXPECT_EQ(statement->Kind(), 1);
    EXPECT_EQ(CompiledTexts(), std::vector<std::string>{"EXEC P1"});
    Script().Results["EXEC P1"].Columns = {{"N", 1, 4, 0}};
    TBaseTable* result = nullptr;
    statement->Execute(&result);
    EXPECT_NE(dynamic_cast<TBtrSqlAggTable*>(result), nullptr);
}

TEST_F(SqlDatabaseTest, OnlySqlTextIsPrepared)
{
    TBtrSqlDatabase* database = OpenNamed();
    TSqlStmt* statement = nullptr;
    EXPECT_EQ(ErrorCode([&] { database->PrepareStatement(1, "SELECT 1", statement, 0); }), DBIERR_NOTSUPPORTED);
    EXPECT_EQ(statement, nullptr);
    EXPECT_EQ(Script().CountOf("_XQLLogin"), 0);
}

TEST_F(SqlDatabaseTest, TransactionsOfALoggedInDatabaseAreSqlTexts)
{
    TBtrSqlDatabase* database = OpenNamed();
    database->Login();
    database->BeginTran();
    EXPECT_EQ(database->TranState, 1);
    EXPECT_EQ(ErrorCode([&] { database->BeginTran(); }), DBIERR_ACTIVETRAN);
    database->EndTran(xendABORT);
    EXPECT_EQ(database->TranState, 0);
    database->BeginTran();
    database->EndTran(xendCOMMIT);
    EXPECT_EQ(CompiledTexts(),
              (std::vector<std::string>{"START TRANSACTION", "ROLLBACK WORK", "START TRANSACTION", "COMMIT WORK"}));
    EXPECT_EQ(Script().CountOf("XQLExec"), 4);
    EXPECT_EQ(Script().CountOf("_XQLFree"), 4);
    EXPECT_EQ(database->Statements()->Count(), 0);
}

TEST_F(SqlDatabaseTest, TransactionsWithoutLoginAreBtrieveTransactions)
{
    TBtrSqlDatabase* database = OpenDirectory();
    database->BeginTran();
    EXPECT_EQ(database->TranState, 1);
    EXPECT_EQ(ErrorCode([&] { database->BeginTran(); }), DBIERR_ACTIVETRAN);
    database->EndTran(xendABORT);
    EXPECT_EQ(database->TranState, 0);
    EXPECT_TRUE(Script().Calls.empty());
}

TEST_F(SqlDatabaseTest, SystemTablesOfANamedDatabaseCannotBeListed)
{
    TBtrSqlDatabase* database = OpenNamed();
    try {
        database->OpenTableList(false, true, "");
        FAIL() << "no error";
    } catch (const EScalableSQLEngineError& e) {
        EXPECT_EQ(e.Status(), 285);
    }
}

TEST_F(SqlDatabaseTest, LoginValuesComeFromTheAliasKeyOrTheConfigurationRecord)
{
    {
        TRightsRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(registry.OpenKey(AliasKey, true));
        registry.WriteString("PhysicalName", Directory());
        registry.WriteString("User", "reg");
        registry.WriteString("Password", "secret");
    }
    TBtrSqlDatabase* database = Open("sqldrivertest");
    ASSERT_NE(database, nullptr);
    EXPECT_EQ(database->UserName(), "reg");
    EXPECT_EQ(database->Password(), "secret");

    session_->AddAlias(false, "CFGSQL", "", "PATH:\"" + Directory() + "\";USER NAME:\"cfg\"");
    database = Open("CFGSQL");
    ASSERT_NE(database, nullptr);
    EXPECT_EQ(database->UserName(), "cfg");
}

TEST_F(SqlDatabaseTest, DatabaseListAddsLocalAndRemoteNamesAfterTheAliases)
{
    {
        TRightsRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(registry.OpenKey(AliasKey, true));
        registry.WriteString("PhysicalName", Directory());
    }
    Script().LocalNames = {"DEMO", "SALES"};
    Script().RemoteNames = {"HQ"};
    const std::vector<std::string> names = DatabaseList();
    ASSERT_GE(names.size(), 4u);
    EXPECT_NE(std::find(names.begin(), names.end() - 3, "SQLDRIVERTEST||" + Directory() + "|BTRIEVE"),
              names.end() - 3);
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"@DEMO|LOCAL|@DEMO|BTRIEVE", "@SALES|LOCAL|@SALES|BTRIEVE",
                                        "@HQ|REMOTE|@HQ|BTRIEVE"}));

    EXPECT_EQ(DatabaseList(true), names);

    Script().Statuses["SQLGetDatabaseNames"] = 1;
    const std::vector<std::string> withoutLocal = DatabaseList();
    EXPECT_EQ(withoutLocal.back(), "@HQ|REMOTE|@HQ|BTRIEVE");
    EXPECT_EQ(withoutLocal.size(), names.size() - 2);
}

TEST_F(SqlDatabaseTest, DatabaseListHasOnlyAliasesWithoutVersionFourOrNames)
{
    Script().LocalNames = {"DEMO"};
    Script().Major = 3;
    for (const std::string& name : DatabaseList()) EXPECT_NE(name[0], '@') << name;
    EXPECT_FALSE(SqlNamesUnavailable());

    UnloadSqlRequester();
    Script().Major = 4;
    SetSqlRequesterDllNames("sqlfake.dll", "nosuchnames.dll");
    for (const std::string& name : DatabaseList()) EXPECT_NE(name[0], '@') << name;
    EXPECT_TRUE(SqlNamesUnavailable());
}

TEST_F(SqlDatabaseTest, SqlTypeStaysForNamedDatabasesOrDirectoriesWithAUserDictionary)
{
    const auto typeAfterFill = [&](const char* name, const std::string& directory) {
        DBDesc description{};
        PutText(description.szName, name);
        PutText(description.szPhyName, directory);
        PutText(description.szDbType, "@SQL");
        session_->FillDefaultDbType(false, description);
        return std::string(description.szDbType);
    };
    EXPECT_EQ(typeAfterFill("@DEMO", ""), "@SQL");
    EXPECT_EQ(typeAfterFill("PLAIN", Directory()), "STANDARD");
    std::ofstream(folder_ / "USER.DDF") << "x";
    EXPECT_EQ(typeAfterFill("PLAIN", Directory()), "@SQL");
}

TEST_F(SqlDatabaseTest, LastSessionThatLoadedTheRequesterUnloadsIt)
{
    OpenNamed()->Login();
    auto* second = CreateObject<TBtrSqlSession>(nullptr, "", "SECOND", nullptr);
    ASSERT_TRUE(second->LoadSqlRequesterOnce());
    session_->Free();
    session_ = nullptr;
    EXPECT_TRUE(SqlRequesterLoaded());
    EXPECT_EQ(Script().CountOf("_XQLLogout"), 1);  // the database logged out as it ended
    second->Free();
    EXPECT_FALSE(SqlRequesterLoaded());
}

TEST_F(SqlDatabaseTest, ProcedureListNamesTheEntriesOfProcDdf)
{
    // PROC.DDF: 1061-byte entries keyed on the 30-character name.
    std::vector<Byte> spec(32, 0);
    const auto put16 = [&](size_t offset, Word value) { std::memcpy(&spec[offset], &value, 2); };
    put16(0, TBtrSqlProcTable::EntrySize);
    put16(2, 4096);
    put16(4, 1);
    put16(16, 1);
    put16(18, 30);
    put16(20, 0x0100 | 0x0001);  // extended type, duplicates
    const std::string path = Directory() + ProcedureDictionary;
    TWinBtr file(nullptr);
    std::memcpy(file.KeyBuffer(), path.c_str(), path.size() + 1);
    file.ExecuteOnBuffer(14, spec.data(), Word(spec.size()));
    file.Open(path, nullptr, 0);
    for (const char* name : {"  GETCUST", "SETLIMIT_WITH_A_VERY_LONG_NAME_BEYOND"}) {
        std::memset(file.OwnBuffer(), ' ', TBtrSqlProcTable::EntrySize);
        std::memcpy(file.OwnBuffer(), name, std::strlen(name));
        file.Insert();
    }
    file.Close();

    TBaseTable* list = OpenDirectory()->OpenProcedureList();
    std::vector<std::string> names;
    try {
        for (;;) {
            TProcedureDesc row{};
            list->GetNextRecord(dbiNOLOCK, reinterpret_cast<Byte*>(&row), nullptr);
            names.push_back(row.szName);
        }
    } catch (const EBoreaEOFError&) {
    }
    EXPECT_EQ(names, (std::vector<std::string>{"GETCUST", "SETLIMIT_WITH_A_VERY_LONG_NAME"}));
    list->Close();
    EXPECT_THROW(list->GetNextRecord(dbiNOLOCK, nullptr, nullptr), EBoreaEOFError);
}

class SqlWithoutRequesterTest : public SqlDatabaseTest {
protected:
    void SetUp() override
    {
        SqlDatabaseTest::SetUp();
        SetSqlRequesterDllNames("", "");  // the real names, which this machine does not have
    }
};

TEST_F(SqlWithoutRequesterTest, SqlUseFailsWithRequesterMissingAndListsHoldAliases)
{
    TBtrSqlDatabase* database = OpenDirectory();
    ASSERT_NE(database, nullptr);
    for (const std::function<void()>& use : std::vector<std::function<void()>>{
             [&] { database->Login(); }, [&] { database->CreateStatement(); },
             [&] { database->PrepareProcedure("P1"); }}) {
        try {
            use();
            ADD_FAILURE() << "no error";
        } catch (const EScalableSQLEngineError& e) {
            EXPECT_EQ(e.Status(), 2103);
        }
    }
    for (const std::string& name : DatabaseList()) EXPECT_NE(name[0], '@') << name;
    EXPECT_FALSE(SqlRequesterLoaded());
    database->BeginTran();  // the Btrieve side still works
    database->EndTran(xendCOMMIT);
}

}  // namespace
