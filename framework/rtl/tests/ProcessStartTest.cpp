// The real process service starts programs of the machine (Wine's command interpreter here).
#include "rtl/ProcessStart.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(ProcessStart, CreateProcessRunsInTheFolderAskedForAndGivesTheExitCode)
{
    const fs::path folder = fs::temp_directory_path() / ("process_start_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    std::ofstream(folder / "marker.txt") << "here";

    TProcessStart start;
    start.CommandLine = "cmd.exe /c if exist marker.txt (exit 5) else (exit 7)";
    start.ShowWindow = SW_HIDE;
    start.CurrentDirectory = folder.string();
    auto inFolder = ProcessService()->CreateProcess(start);
    ASSERT_TRUE(inFolder);
    ASSERT_TRUE(inFolder->WaitFor(20000));
    EXPECT_EQ(inFolder->ExitCode(), 5u);

    start.CurrentDirectory.clear();  // the test's own folder has no marker
    auto elsewhere = ProcessService()->CreateProcess(start);
    ASSERT_TRUE(elsewhere);
    ASSERT_TRUE(elsewhere->WaitFor(20000));
    EXPECT_EQ(elsewhere->ExitCode(), 7u);
    fs::remove_all(folder);
}

TEST(ProcessStart, MissingProgramsFailWithThePlatformsErrors)
{
    TProcessStart start;
    start.CommandLine = "c:\\windows\\missing.exe";
    SetLastError(0);
    EXPECT_EQ(ProcessService()->CreateProcess(start), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    EXPECT_EQ(ProcessService()->ShellExecute(nullptr, "open", "c:\\windows\\missing-file.bat", "", "", SW_HIDE),
              INT_PTR(SE_ERR_FNF));
    EXPECT_LE(ProcessService()->WinExec("c:\\windows\\missing.exe", SW_HIDE), 31u);
}

TEST(ProcessStart, AReplacedServiceIsUsedUntilTheRealOneIsPutBack)
{
    TProcessService replacement;
    EXPECT_EQ(SetProcessService(&replacement), nullptr);  // the real one was installed
    EXPECT_EQ(ProcessService(), &replacement);
    EXPECT_EQ(SetProcessService(nullptr), &replacement);
    EXPECT_NE(ProcessService(), &replacement);
}

}  // namespace
