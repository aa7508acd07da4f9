// The report viewer's stand-in: the report file its command line names, the read-only fixed-pitch window driven by
// keys, and the program as the report starts it (idle at once; with PARVUE_LOG only its command line logged).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "rtl/CommandLine.h"
#include "rtl/FileUtils.h"
#include "rtl/ProcessStart.h"
#include "tools/parvue/ParvueForm.h"
#include "vcl/TestHelpers.h"

namespace {

using Texts = std::vector<std::string>;

std::string TempFile(const std::string& name)
{
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return std::string(path) + name;
}

std::string ReadWhole(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A report of a few pages, lines with trailing blanks kept.
Texts ReportLines()
{
    Texts lines = {"     ", "                                   ORDAVANE   Employees' Missing Time Report",
                   "                 ABW       JRS     Total", "     Jan 2024         1.50      2.00      3.50 "};
    for (int i = 0; i < 120; ++i) lines.push_back("     row " + std::to_string(i) + "   ");
    lines.push_back("     last line");
    return lines;
}

std::string WriteReport(const std::string& name)
{
    const std::string file = TempFile(name);
    std::ofstream out(file, std::ios::binary);
    for (const std::string& line : ReportLines()) out << line << "\r\n";
    return file;
}

TEST(ViewerCommandLine, NamesTheReportFile)
{
    const struct {
        const char* CommandLine;
        const char* Arguments;
        const char* File;
    } cases[] = {
        {R"("C:\Program Files\Host\Parvue" C:\data\ RPT00123.23 10 W)", R"(C:\data\ RPT00123.23 10 W)",
         R"(C:\data\RPT00123.23)"},
        {R"(C:\host\Parvue C:\my data\ RPT00123.23 10 W)", R"(C:\my data\ RPT00123.23 10 W)",
         R"(C:\my data\RPT00123.23)"},
        {R"(Parvue C:\reports\month.txt)", R"(C:\reports\month.txt)", R"(C:\reports\month.txt)"},
        {R"(Parvue)", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineArguments(c.CommandLine), c.Arguments) << c.CommandLine;
        EXPECT_EQ(ViewerReportFile(c.Arguments), c.File) << c.CommandLine;
    }
}

TEST(ViewerWindow, ShowsTheReportReadOnlyInAFixedPitchFont)
{
    const std::string file = WriteReport("parvue-report.23");
    auto* viewer = CreateObject<TParvueForm>(nullptr);
    EXPECT_FALSE(viewer->LoadReport(TempFile("parvue-missing.23")));
    ASSERT_TRUE(viewer->LoadReport(file));
    EXPECT_EQ(viewer->Caption(), "Report Viewer - parvue-report.23");
    viewer->Show();
    ActivateForm(viewer);
    TMemo* report = viewer->Report;
    PumpMessages();
    EXPECT_EQ(GetFocus(), report->Handle());
    EXPECT_EQ(report->SelStart(), 0);
    EXPECT_EQ(report->SelLength(), 0);

    Texts shown;
    for (Integer i = 0; i < report->Lines()->Count(); ++i) shown.push_back(report->Lines()->Strings(i));
    EXPECT_EQ(shown, ReportLines());
    EXPECT_EQ(report->Font()->Name(), "Courier New");
    // The font the window draws with: every character as wide as the next.
    HDC dc = GetDC(report->Handle());
    HGDIOBJ old = SelectObject(dc, HFONT(SendMessageA(report->Handle(), WM_GETFONT, 0, 0)));
    SIZE narrow{}, wide{};
    GetTextExtentPoint32A(dc, "i", 1, &narrow);
    GetTextExtentPoint32A(dc, "M", 1, &wide);
    SelectObject(dc, old);
    ReleaseDC(report->Handle(), dc);
    EXPECT_GT(narrow.cx, 0);
    EXPECT_EQ(narrow.cx, wide.cx);

    // Typing changes nothing; the keys move through the report.
    const std::string before = report->Text();
    TypeText("XYZ");
    TypeKey(VK_DELETE);
    TypeKey(VK_BACK);
    EXPECT_EQ(report->Text(), before);
    TypeKey(VK_END, TShiftState{ssCtrl});
    EXPECT_EQ(report->SelStart(), Integer(before.size()));
    EXPECT_GT(SendMessageA(report->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    TypeKey(VK_HOME, TShiftState{ssCtrl});
    EXPECT_EQ(SendMessageA(report->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    const std::string shot = TempFile("parvue-window.png");
    EXPECT_TRUE(SaveWindowToPng(viewer->Handle(), shot));
    std::printf("viewer image: %s\n", shot.c_str());

    TypeKey(VK_ESCAPE);
    EXPECT_FALSE(viewer->Visible());
    viewer->Free();
    std::filesystem::remove(file);
}

class ViewerProgram : public ::testing::Test {
protected:
    static std::string ViewerPath() { return ExtractFilePath(ParamStr(0)) + "Parvue.exe"; }

    std::unique_ptr<TStartedProcess> Start(const std::string& arguments)
    {
        TProcessStart start;
        start.CommandLine = ViewerPath() + " " + arguments;
        auto process = ProcessService()->CreateProcess(start);
        EXPECT_NE(process, nullptr) << start.CommandLine;
        return process;
    }
};

// The first window of the process that is visible.
HWND VisibleWindowOf(DWORD processId)
{
    struct TSearch {
        DWORD ProcessId;
        HWND Found = nullptr;
    } search{processId};
    EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<TSearch*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner != s->ProcessId || !IsWindowVisible(window)) return TRUE;
                s->Found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

TEST_F(ViewerProgram, RunsItsMessageLoopOnTheNamedReportUntilClosed)
{
    const std::string file = WriteReport("parvue-program.23");
    const std::string directory = ExtractFilePath(file);
    PROCESS_INFORMATION info{};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = ViewerPath() + " " + directory + " parvue-program.23 10 W";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &info));
    EXPECT_EQ(WaitForInputIdle(info.hProcess, 10000), 0u);
    HWND window = nullptr;
    for (int i = 0; i < 100 && !window; ++i) {
        window = VisibleWindowOf(info.dwProcessId);
        if (!window) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(window, nullptr);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Report Viewer - parvue-program.23");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string shot = TempFile("parvue-program.png");
    EXPECT_TRUE(SaveWindowToPng(window, shot));
    std::printf("viewer program image: %s\n", shot.c_str());
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), DWORD(WAIT_TIMEOUT));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 10000), DWORD(WAIT_OBJECT_0));
    DWORD exitCode = 1;
    GetExitCodeProcess(info.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    std::filesystem::remove(file);
}

TEST_F(ViewerProgram, WithTheLogVariableOnlyLogsItsCommandLine)
{
    const std::string log = TempFile("parvue-commands.log");
    std::filesystem::remove(log);
    SetEnvironmentVariableA("PARVUE_LOG", log.c_str());
    for (const char* arguments : {R"(C:\data\ RPT00123.23 10 W)", R"(C:\my data\ RPT00124.24 10 W)"}) {
        auto viewer = Start(arguments);
        ASSERT_TRUE(viewer);
        EXPECT_TRUE(viewer->WaitFor(10000));
        EXPECT_EQ(viewer->ExitCode(), 0u);
    }
    SetEnvironmentVariableA("PARVUE_LOG", nullptr);
    EXPECT_EQ(ReadWhole(log), ViewerPath() + R"( C:\data\ RPT00123.23 10 W)" + "\r\n" + ViewerPath() +
                                      R"( C:\my data\ RPT00124.24 10 W)" + "\r\n");
    std::filesystem::remove(log);
}

}  // namespace
