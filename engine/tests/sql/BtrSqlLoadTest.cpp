// The SQL requester binding against the scripted requester DLLs (sqlfake.dll complete, sqlfake_gaps.dll without
// XQLDescribe and SQLGetDatabaseNames) and without any requester.
#include <gtest/gtest.h>

#include "engine/sql/BtrSqlLoad.h"
#include "engine/tests/sql/sqlfake/SqlScript.h"
#include "engine/tests/support/RecordedBoxes.h"

namespace {

class SqlBindingTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        UnloadSqlRequester();
        SetSqlRequesterDllNames("", "");
        Script().Uninstall();
    }
    static TSqlScript& Script() { return TSqlScript::Instance(); }

    void Use(const char* requester, const char* names)
    {
        Script().Install(requester);
        Script().Install(names);
        SetSqlRequesterDllNames(requester, names);
    }
};

TEST_F(SqlBindingTest, WithoutRequesterNothingLoadsAndNoCallIsMade)
{
    EXPECT_EQ(LoadSqlRequester(), SqlLoadFailed);
    EXPECT_FALSE(SqlRequesterLoaded());
    EXPECT_FALSE(SqlNamesLoaded());
    EXPECT_FALSE(IsScalableSql4());
    SmallInt cursor = -1;
    EXPECT_EQ(XqlCursor(cursor), SqlStatus::RequesterMissing);
    EXPECT_EQ(cursor, -1);
    SmallInt count = 7;
    EXPECT_EQ(SqlGetCountDatabaseNames(count), SqlStatus::RequesterMissing);
}

TEST_F(SqlBindingTest, LoadsBothLibrariesOnceAndUnloadsThem)
{
    Use("sqlfake.dll", "sqlfake.dll");
    EXPECT_EQ(LoadSqlRequester(), 0);
    EXPECT_EQ(LoadSqlRequester(), 0);
    EXPECT_TRUE(SqlRequesterLoaded());
    EXPECT_TRUE(SqlNamesLoaded());
    SmallInt cursor = -1;
    EXPECT_EQ(XqlCursor(cursor), 0);
    EXPECT_EQ(cursor, 1);

    UnloadSqlRequester();
    EXPECT_FALSE(SqlRequesterLoaded());
    EXPECT_FALSE(SqlNamesLoaded());
    Script().Calls.clear();
    EXPECT_EQ(XqlCursor(cursor), SqlStatus::RequesterMissing);
    EXPECT_TRUE(Script().Calls.empty());
}

TEST_F(SqlBindingTest, MissingNamesLibraryMarksNamesUnavailable)
{
    Use("sqlfake.dll", "nosuchnames.dll");
    EXPECT_EQ(LoadSqlRequester(), 0);
    EXPECT_TRUE(SqlRequesterLoaded());
    EXPECT_FALSE(SqlNamesLoaded());
    EXPECT_TRUE(SqlNamesUnavailable());
}

TEST_F(SqlBindingTest, VersionFourIsAskedOnceAndReleased)
{
    Use("sqlfake.dll", "sqlfake.dll");
    EXPECT_TRUE(IsScalableSql4());  // loads on the way
    EXPECT_TRUE(IsScalableSql4());
    ASSERT_EQ(Script().Entries(), (std::vector<std::string>{"XQLVersion", "xReset"}));
    EXPECT_EQ(Script().Calls[0].Text, "XVER");
    EXPECT_EQ(Script().Calls[0].Option, 22);
}

TEST_F(SqlBindingTest, OtherVersionOrFailingVersionCallIsNotFour)
{
    Use("sqlfake.dll", "sqlfake.dll");
    Script().Major = 3;
    EXPECT_FALSE(IsScalableSql4());
    EXPECT_EQ(Script().Entries(), std::vector<std::string>{"XQLVersion"});

    UnloadSqlRequester();
    Script().Major = 4;
    Script().Statuses["XQLVersion"] = 1;
    EXPECT_FALSE(IsScalableSql4());
    EXPECT_EQ(Script().CountOf("xReset"), 0);
}

TEST_F(SqlBindingTest, MissingRequesterEntryShowsOneBoxAndLeavesTheRestUncalled)
{
    Use("sqlfake_gaps.dll", "sqlfake.dll");
    TRecordedBoxes boxes;
    EXPECT_EQ(LoadSqlRequester(), 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "Error Loading Dynamic Function XQLDescribe from sqlfake_gaps.dll");
    EXPECT_FALSE(SqlNamesLoaded());

    SmallInt cursor = 0, length = 0;
    EXPECT_EQ(XqlCursor(cursor), 0);  // bound before the gap
    EXPECT_EQ(XqlCompile(cursor, length, "SELECT 1"), 0);
    SmallInt type, size, decimals, width, nameLength = 256;
    char name[256];
    EXPECT_EQ(XqlDescribe(cursor, 1, type, size, decimals, width, nameLength, name), SqlStatus::RequesterMissing);
    EXPECT_EQ(XqlExec(cursor), SqlStatus::RequesterMissing);
    EXPECT_EQ(XqlLogout(), SqlStatus::RequesterMissing);
    EXPECT_EQ(Script().Entries(), (std::vector<std::string>{"_XQLCursor", "_XQLCompile"}));
}

TEST_F(SqlBindingTest, MissingNamesEntryLeavesTheNameCallsUncalled)
{
    Use("sqlfake.dll", "sqlfake_gaps.dll");
    Script().LocalNames = {"DEMO"};
    TRecordedBoxes boxes;
    EXPECT_EQ(LoadSqlRequester(), 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Text, "Error Loading Dynamic Function SQLGetDatabaseNames from sqlfake_gaps.dll");
    EXPECT_TRUE(SqlNamesLoaded());

    SmallInt count = 0;
    EXPECT_EQ(SqlGetCountDatabaseNames(count), 0);
    EXPECT_EQ(count, 1);
    char name[SqlDatabaseNameLength + 1] = {};
    EXPECT_EQ(SqlGetDatabaseNames(0, name), SqlStatus::RequesterMissing);
    EXPECT_EQ(SqlGetRemoteDatabaseNames(0, name), SqlStatus::RequesterMissing);
    EXPECT_EQ(Script().Entries(), std::vector<std::string>{"SQLGetCountDatabaseNames"});
}

}  // namespace
