// A host file the numbered table cannot open ends the program: kept apart from the other tests, whose
// application must go on running.
#include <gtest/gtest.h>

#include "GapReportData.h"
#include "hostdata/BFilesU2.h"
#include "vcl/TestHelpers.h"

namespace {

TEST(HostFileTable, AFileThatCannotBeOpenedEndsTheProgram)
{
    TScriptedDialogs dialogs;
    TGapReportData data;
    ASSERT_FALSE(Application->Terminated());
    EXPECT_THROW(OpenHostFileByNumber(3), EAbort);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text,
              "Unable to open YEmpl.qf;EM.\r\rYou will not be able to perform this operation at this time.\r\r"
              "Please contact KDV, Inc. for assistance.");
    EXPECT_EQ(dialogs.Shown[0].Type, mtError);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(IsFileOpen(3));
}

}  // namespace
