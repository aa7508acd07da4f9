// The test doubles of the framework's services answer as their real counterparts would.
#include "vcl/TestSeams.h"

#include <gtest/gtest.h>

namespace {

TEST(ScriptedProcesses, StartsAreRecordedAndAnsweredWithExitCodesOrFailures)
{
    TScriptedProcesses processes;
    ASSERT_EQ(ProcessService(), &processes);

    TProcessStart start;
    start.CommandLine = "c:\\prog\\Butil -create casesave.qf ycase.des";
    start.CurrentDirectory = "c:\\data";
    start.ShowWindow = SW_HIDE;
    auto unscripted = ProcessService()->CreateProcess(start);
    ASSERT_TRUE(unscripted);
    EXPECT_EQ(unscripted->ExitCode(), 0u);

    processes.AnswerNextStart(3);
    auto ended = ProcessService()->CreateProcess(start);
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->WaitForInputIdle(10000), 0u);
    EXPECT_TRUE(ended->WaitFor(0));
    EXPECT_EQ(ended->ExitCode(), 3u);

    processes.FailNextStart(ERROR_FILE_NOT_FOUND);
    processes.FailNextStart(SE_ERR_PNF);
    processes.FailNextStart(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ProcessService()->CreateProcess(start), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ProcessService()->ShellExecute(nullptr, "OPEN", "c:\\data\\temp#$.bat", "", "", SW_HIDE), SE_ERR_PNF);
    EXPECT_EQ(ProcessService()->WinExec("viewer.exe report", SW_SHOW), UINT(ERROR_FILE_NOT_FOUND));
    EXPECT_GT(ProcessService()->ShellExecute(nullptr, "", "http://example", "", "", SW_SHOWNORMAL), 32);
    EXPECT_GT(ProcessService()->WinExec("viewer.exe", SW_SHOW), 31u);

    ASSERT_EQ(processes.Requests.size(), 7u);
    const auto& first = processes.Requests[0];
    EXPECT_EQ(first.Kind, "CreateProcess");
    EXPECT_EQ(first.CommandLine, "c:\\prog\\Butil -create casesave.qf ycase.des");
    EXPECT_EQ(first.CurrentDirectory, "c:\\data");
    EXPECT_EQ(first.ShowWindow, SW_HIDE);
    EXPECT_EQ(first.CreationFlags, Cardinal(NORMAL_PRIORITY_CLASS));
    const auto& shell = processes.Requests[3];
    EXPECT_EQ(shell.Kind, "ShellExecute");
    EXPECT_EQ(shell.Verb, "OPEN");
    EXPECT_EQ(shell.ApplicationName, "c:\\data\\temp#$.bat");
    EXPECT_EQ(processes.Requests[4].Kind, "WinExec");
    EXPECT_EQ(processes.Requests[4].CommandLine, "viewer.exe report");
}

TEST(ScriptedProcesses, FreeingPutsBackTheServiceItReplaced)
{
    TProcessService* real = ProcessService();
    {
        TScriptedProcesses outer;
        {
            TScriptedProcesses inner;
            EXPECT_EQ(ProcessService(), &inner);
        }
        EXPECT_EQ(ProcessService(), &outer);
    }
    EXPECT_EQ(ProcessService(), real);
}

}  // namespace
