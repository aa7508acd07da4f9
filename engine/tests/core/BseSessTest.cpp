// The abstract session: alias parameters, configuration records, database lists from records and the registry,
// name resolution, configuration lists and session information.
#include <cstring>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "engine/core/BseCfg.h"
#include "engine/core/BseError.h"
#include "engine/tests/support/SessTestSupport.h"

namespace {

struct TFreeSession {
    void operator()(TBaseSession* session) const { session->Free(); }
};
using TSessionPtr = std::unique_ptr<TBaseSession, TFreeSession>;

TSessionPtr MakeSession()
{
    return TSessionPtr(CreateObject<TTestSession>(nullptr, "", "Test", nullptr));
}

Word CodeOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EBoreaEngineError& error) {
        return error.Code();
    }
    return 0;
}

std::vector<std::string> ListNames(TBaseSession* session, std::vector<std::string>* physicalNames = nullptr)
{
    TBaseTable* list = session->OpenDatabaseList();
    std::vector<std::string> names;
    try {
        for (;;) {
            DBDesc row{};
            list->GetNextRecord(0, reinterpret_cast<Byte*>(&row), nullptr);
            names.push_back(row.szName);
            if (physicalNames) physicalNames->push_back(row.szPhyName);
        }
    } catch (const EBoreaEOFError&) {
    }
    session->CloseList(list);
    return names;
}

TEST(AliasParams, PairsQuotesAndDroppedPairs)
{
    struct Case {
        const char* Text;
        std::vector<std::pair<std::string, std::string>> Expected;
    };
    const Case cases[] = {
        {"PATH:\"c:\\data\";USER NAME:\"anna\"", {{"PATH", "c:\\data"}, {"USER NAME", "anna"}}},
        {"PATH:\"a;b:c\"", {{"PATH", "a;b:c"}}},
        {"PATH:\"open;USER:\"x\"", {{"PATH", "open;USER:"}}},
        {"A:\"1\";B:\"2", {{"A", "1"}}},
        {"A:\"1;B\";C:2;D:\"4\"", {{"A", "1;B"}, {"D", "4"}}},
        {"PATH: \"x\"", {{"PATH", " x"}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, std::string>> actual;
        for (const TAliasParam& param : ParseAliasParams(c.Text)) actual.emplace_back(param.Name, param.Value);
        EXPECT_EQ(actual, c.Expected) << c.Text;
    }
}

TEST(ConfigRecords, AddAliasKeepsAnExistingRecordAndGetCopiesIt)
{
    TSessionPtr session = MakeSession();
    session->AddAlias(false, "A", "", "PATH:\"c:\\one\";USER NAME:\"u\"");
    session->AddAlias(false, "A", "", "PATH:\"c:\\two\"");
    Integer count = 0;
    FLDDesc descriptors[4] = {};
    Byte values[1025] = {};
    session->GetConfigRecord("\\DATABASES\\A\\DB INFO", values, descriptors, count);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(descriptors[0].szName, "PATH");
    EXPECT_STREQ(reinterpret_cast<char*>(values) + descriptors[0].iOffset, "c:\\one");
    EXPECT_STREQ(reinterpret_cast<char*>(values) + descriptors[1].iOffset, "u");
    EXPECT_EQ(CodeOf([&] { session->GetConfigRecord("\\DATABASES\\B\\DB INFO", nullptr, nullptr, count); }),
              DBIERR_EOF);
    EXPECT_EQ(CodeOf([&] { session->ModifyConfigRecord("\\DATABASES\\B\\DB INFO", nullptr, nullptr, 0); }),
              DBIERR_RECNOTFOUND);
}

TEST(ConfigRecords, APathExistsWhenARecordsPathContainsIt)
{
    TSessionPtr session = MakeSession();
    session->AddAlias(false, "SALES", "", "PATH:\"c:\\sales\"");
    EXPECT_EQ(CodeOf([&] { session->ConfigPathExists("\\DATABASES\\SALES\\DB INFO"); }), 0);
    EXPECT_EQ(CodeOf([&] { session->ConfigPathExists("\\DATABASES\\SAL"); }), 0);
    EXPECT_EQ(CodeOf([&] { session->ConfigPathExists("\\DATABASES\\STOCK"); }), DBIERR_EOF);
}

TEST(ConfigRecords, ASessionAliasIsDeletedByItsName)
{
    TSessionPtr session = MakeSession();
    session->AddAlias(false, "A", "", "PATH:\"c:\\a\"");
    session->AddAlias(false, "AB", "", "PATH:\"c:\\ab\"");
    session->DeleteAlias("A");
    ASSERT_EQ(session->ConfigRecords()->Count(), 1);
    EXPECT_EQ(static_cast<TBaseCfgrecord*>(session->ConfigRecords()->At(0))->Path(), "\\DATABASES\\AB\\DB INFO");
    EXPECT_EQ(CodeOf([&] { session->DeleteAlias("A"); }), DBIERR_RECNOTFOUND);
}

TEST(ConfigRecords, DeleteMatchesThePathExactly)
{
    TSessionPtr session = MakeSession();
    session->AddAlias(false, "A", "", "PATH:\"c:\\a\"");
    session->AddAlias(false, "AB", "", "PATH:\"c:\\ab\"");
    EXPECT_EQ(CodeOf([&] { session->DeleteConfigRecords("\\DATABASES\\A"); }), DBIERR_RECNOTFOUND);
    EXPECT_EQ(session->ConfigRecords()->Count(), 2);
    session->DeleteConfigRecords("\\DATABASES\\A\\DB INFO");
    ASSERT_EQ(session->ConfigRecords()->Count(), 1);
    EXPECT_EQ(static_cast<TBaseCfgrecord*>(session->ConfigRecords()->At(0))->Path(), "\\DATABASES\\AB\\DB INFO");
}

TEST(DatabaseList, RecordsFirstThenRegistryAliasesThenEnd)
{
    TTestAliases aliases;
    aliases.Add("REG1", {{"PhysicalName", "c:\\reg1"}, {"Description", "one"}});
    aliases.Add("REG2", {{"PhysicalName", "c:\\reg2\\"}});
    aliases.Add("REG3", {{"Description", "no path"}});
    TSessionPtr session = MakeSession();
    session->AddAlias(false, "CFG1", "", "PATH:\"c:\\cfg1\"");
    session->AddAlias(false, "CFG2", "", "PhysicalName:\"c:\\cfg2\"");
    std::vector<std::string> physical;
    const std::vector<std::string> names = ListNames(session.get(), &physical);
    EXPECT_EQ(names, (std::vector<std::string>{"CFG1", "CFG2", "REG1", "REG2", "REG3"}));
    EXPECT_EQ(physical, (std::vector<std::string>{"c:\\cfg1", "c:\\cfg2", "c:\\reg1\\", "c:\\reg2\\", ""}));
}

TEST(DatabaseList, OpensReadOnlyAndExclusive)
{
    TSessionPtr session = MakeSession();
    TBaseTable* list = session->OpenDatabaseList();
    EXPECT_EQ(list->OpenMode(), OpenReadOnly);
    EXPECT_EQ(list->ShareMode(), ShareExclusive);
    session->CloseList(list);
}

TEST(DatabaseList, AnUnreadableAliasKeyDoesNotHideTheAliasesAfterIt)
{
    TTestAliases aliases;
    aliases.Add("GOOD1", {{"PhysicalName", "c:\\g1"}});
    aliases.AddInteger("BAD2", "PhysicalName", 7);
    aliases.Add("GOOD3", {{"PhysicalName", "c:\\g3"}});
    TSessionPtr session = MakeSession();
    EXPECT_EQ(ListNames(session.get()), (std::vector<std::string>{"GOOD1", "GOOD3"}));
}

TEST(DatabaseDesc, PathsAliasesAndUnknownNames)
{
    TTestAliases aliases;
    aliases.Add("vavuz", {{"PhysicalName", "c:\\host"}, {"Description", "host data"}});
    TSessionPtr session = MakeSession();
    DBDesc description{};
    session->GetDatabaseDescByName("C:\\DATA", description);
    EXPECT_STREQ(description.szName, "PATH");
    EXPECT_STREQ(description.szText, "PATH");
    EXPECT_STREQ(description.szPhyName, "C:\\DATA\\");
    EXPECT_STREQ(description.szDbType, "STANDARD");

    session->GetDatabaseDescByName("VAVUZ", description);
    EXPECT_STREQ(description.szName, "vavuz");
    EXPECT_STREQ(description.szText, "host data");
    EXPECT_STREQ(description.szPhyName, "c:\\host\\");

    try {
        session->GetDatabaseDescByName("nosuch", description);
        FAIL();
    } catch (const EBoreaEngineError& error) {
        EXPECT_EQ(error.Code(), DBIERR_UNKNOWNDB);
        EXPECT_EQ(error.Text(), "nosuch");
    }
    EXPECT_EQ(session->ListCursors()->Count(), 0);
}

TEST(RegistryAliases, AddWritesTheValuesDeleteRemovesTheKeyAFailedWriteIsReported)
{
    TTestAliases aliases;
    TSessionPtr session = MakeSession();
    session->AddRegistryAlias("NEWALIAS", "PhysicalName:\"c:\\new\";Description:\"d\"");
    TRightsRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKeyReadOnly(TTestAliases::Key("NEWALIAS")));
    EXPECT_EQ(registry.ReadString("PhysicalName"), "c:\\new");
    EXPECT_EQ(registry.ReadString("Description"), "d");
    registry.CloseKey();
    session->DeleteRegistryAlias("NEWALIAS");
    EXPECT_FALSE(registry.KeyExists(TTestAliases::Key("NEWALIAS")));

    const std::string tooLong(300, 'x');
    EXPECT_EQ(CodeOf([&] { session->AddRegistryAlias(tooLong, "PhysicalName:\"c:\\x\""); }), DBIERR_WRITEERR);
}

TEST(SessionInfo, CountsDatabasesAndCursors)
{
    TSessionPtr session = MakeSession();
    const TDatabaseOptions none;
    TBaseDatabase* first = session->OpenDatabase("c:\\one", nullptr, 0, 0, nullptr, none);
    TBaseDatabase* second = session->OpenDatabase("c:\\two", nullptr, 0, 0, nullptr, none);
    first->OpenTable("a", "", DefaultIndexId, 0, 0);
    second->OpenTable("b", "", DefaultIndexId, 0, 0);
    second->OpenTable("c", "", DefaultIndexId, 0, 0);
    SESInfo information{};
    session->LockWait = 5;
    session->GetSesInfo(information);
    EXPECT_EQ(information.iDatabases, 2);
    EXPECT_EQ(information.iCursors, 3);
    EXPECT_EQ(information.iLockWait, 5);
    EXPECT_STREQ(information.szName, "Test");
}

TEST(SessionTranslation, CopiesWhenTheFlagIsSetTranslatesOtherwise)
{
    TSessionPtr session = MakeSession();
    const char oem[] = "\x81\x84";  // u and a with diaeresis in the OEM set
    char ansi[3] = {};
    bool loss = true;
    session->IgnoreOemAnsi = true;
    session->NativeToAnsi(ansi, loss, 2, oem);
    EXPECT_EQ(std::string(ansi, 2), std::string(oem, 2));
    EXPECT_FALSE(loss);
    session->IgnoreOemAnsi = false;
    session->NativeToAnsi(ansi, loss, 2, oem);
    EXPECT_EQ(std::string(ansi, 2), "\xFC\xE4");
}

}  // namespace
