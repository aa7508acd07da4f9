#include <gtest/gtest.h>

#include "engine/btrieve/BtrError.h"
#include "engine/core/BseErrName.h"
#include "requester/core/Statuses.h"

namespace {

std::string NativeText(const EBoreaEngineError& error)
{
    std::string text;
    error.GetNativeText(text);
    return text;
}

TEST(BtrieveStatusMap, GivesEachStatusItsEngineCode)
{
    const std::pair<SmallInt, Word> cases[] = {
            {0, DBIERR_NONE},       {1, DBIERR_INVALIDPARAM}, {3, DBIERR_READERR},
            {4, DBIERR_RECNOTFOUND}, {12, DBIERR_NOSUCHFILE}, {20, DBIERR_NOTINITIALIZED},
            {84, DBIERR_LOCKED},    {85, DBIERR_FILEBUSY},    {88, DBIERR_INVALIDMODE},
            {2120, DBIERR_CLIENTSLIMIT}, {-109, DBIERR_EOF},  {-101, 0}, {-107, 0}, {-110, 0}, {-116, 0},
            {-108, Word(-108)},     {44, 44},                 {2999, 2999},
    };
    for (const auto& [status, code] : cases) {
        EXPECT_EQ(EBtrieveEngineError(status).Code(), code) << status;
        EXPECT_EQ(EBtrieveEngineError(status).NativeCode(), status);
    }
}

TEST(BtrieveStatusText, ComesFromTheProgramStringTable)
{
    for (const reqcore::StatusEntry& entry : reqcore::StatusTable()) {
        EXPECT_EQ(BtrieveStatusText(entry.number), entry.text) << entry.number;
    }
    EXPECT_EQ(BtrieveStatusText(2999), "");
    EXPECT_EQ(BtrieveStatusText(-105), "");
}

TEST(BtrieveStatusText, DescribesTheStatusesTheEngineRaises)
{
    // The record manager's statuses the drivers raise themselves, and the Scalable SQL driver's.
    const SmallInt btrieve[] = {3, 4, 6, 20, 44, 85, 204};
    const SmallInt sql[] = {-109, -108, 51, 204, 205, 285, 804, 2103};
    for (SmallInt status : btrieve) {
        const std::string prefix = "Btrieve Status " + std::to_string(status) + " - ";
        EXPECT_EQ(NativeText(EBtrieveEngineError(status)).substr(0, prefix.size()), prefix);
    }
    for (SmallInt status : sql) {
        const std::string prefix = "Btrieve Status " + std::to_string(status) + " - ";
        EXPECT_EQ(NativeText(EScalableSQLEngineError(status)).substr(0, prefix.size()), prefix);
    }
    EXPECT_EQ(NativeText(EBtrieveEngineError(204, "people")),
              "Btrieve Status 204 - The table is not in the data dictionary.\r\nKey=[people]");
}

TEST(BtrieveEngineError, MessageNamesStatusTextAndAttachedKey)
{
    const EBtrieveEngineError plain(12);
    EXPECT_EQ(NativeText(plain), "Btrieve Status 12 - The file was not found.");
    EXPECT_EQ(plain.Message(), "");

    const EBtrieveEngineError withFile(12, "C:\\data\\ycase.qf");
    EXPECT_EQ(NativeText(withFile), "Btrieve Status 12 - The file was not found.\r\nKey=[C:\\data\\ycase.qf]");
    EXPECT_EQ(withFile.AttachedText(), "C:\\data\\ycase.qf");
    EXPECT_EQ(withFile.AttachedTextLength(), 16);

    EXPECT_EQ(NativeText(EBtrieveEngineError(84)).substr(0, 17), "Btrieve Status 84");
}

TEST(BtrieveEngineError, StatusWithoutTextShowsTheNumberOnly)
{
    EXPECT_EQ(NativeText(EBtrieveEngineError(2999, "value")), "Btrieve Error 2999.");
    EXPECT_EQ(NativeText(EScalableSQLEngineError(-105)), "Btrieve Error -105.");
}

TEST(BtrieveEngineError, TextsAreCutTo255)
{
    const EBtrieveEngineError error(12, std::string(400, 'k'));
    EXPECT_EQ(error.AttachedTextLength(), 255);
    const std::string text = NativeText(error);
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 45), "Btrieve Status 12 - The file was not found.\r\n");
}

TEST(RaiseBtrieveError, EndOfFileBecomesTheEndOfDataError)
{
    EXPECT_THROW(RaiseBtrieveError(9), EBoreaEOFError);
    EXPECT_THROW(RaiseBtrieveErrorWithText(9, "key"), EBoreaEOFError);
    try {
        RaiseBtrieveErrorWithText(84, "0000001");
        FAIL();
    } catch (const EBtrieveEngineError& e) {
        EXPECT_EQ(e.Status(), 84);
        EXPECT_EQ(e.Code(), DBIERR_LOCKED);
        EXPECT_EQ(e.AttachedText(), "0000001");
    }
}

TEST(CheckSqlStatus, RaisesSqlErrorsForEveryFailure)
{
    EXPECT_NO_THROW(CheckSqlStatus(0));
    EXPECT_THROW(CheckSqlStatus(9), EBoreaEOFError);
    try {
        CheckSqlStatus(-109);
        FAIL();
    } catch (const EScalableSQLEngineError& e) {
        EXPECT_EQ(e.Code(), DBIERR_EOF);
        EXPECT_EQ(e.NativeCode(), -109);
    }
    EXPECT_THROW(CheckSqlStatus(2103), EScalableSQLEngineError);
    try {
        RaiseSqlErrorWithText(285, "X$File");
    } catch (const EScalableSQLEngineError& e) {
        EXPECT_EQ(e.AttachedText(), "X$File");
        EXPECT_EQ(e.Code(), DBIERR_NOTABLESUPPORT);
    }
}

}  // namespace
