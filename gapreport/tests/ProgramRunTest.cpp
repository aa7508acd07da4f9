// gapreport run as the host runs it: a program of its own under the system, started with the run date and the
// report-data identifier on a data directory that the machine's alias names. It writes the screen report, starts the
// viewer (which here only logs its command line) from a program directory whose path holds a blank, and ends.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "rtl/CommandLine.h"
#include "rtl/FileUtils.h"
#include "rtl/Registry.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/HostDataDir.h"
#include "AliasForTheRun.h"

namespace {

using Texts = std::vector<std::string>;

Texts FileLines(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    Texts lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool HasLineStartingWith(const Texts& lines, const std::string& start)
{
    for (const std::string& line : lines) {
        if (line.compare(0, start.size(), start) == 0) return true;
    }
    return false;
}

TEST(ProgramRun, TheReportIsWrittenTheViewerStartedAndTheProgramEnds)
{
    namespace fs = std::filesystem;
    const fs::path temp = fs::temp_directory_path();
    const std::string id = std::to_string(GetCurrentProcessId());
    const fs::path programs = temp / ("gap programs " + id);
    const fs::path data = temp / ("gapdata_" + id);
    fs::remove_all(programs);
    fs::remove_all(data);
    fs::create_directories(programs);
    const fs::path bin = fs::path(ExtractFileDir(ParamStr(0)));
    for (const char* file : {"gapreport.exe", "Parvue.exe", "wbtrv32.dll", "boreac32.dll"}) {
        if (fs::exists(bin / file)) fs::copy_file(bin / file, programs / file);
    }
    {
        THostDataDir dir(data.string());
        for (const char* file : {"Sysop.qc", "yempl.qf", "fee.qf", "hfee.qf", "RD000007.00"}) dir.MakeFile(file);
        dir.Insert("Sysop.qc", dir.NewRecord("Sysop.qc").Set("DateFmt", "M"));
        THostRecord employee = dir.NewRecord("yempl.qf");
        dir.Insert("yempl.qf", employee.Set("Employee Code", "AB").Set("Employee Last Name", "Baker"));
        dir.Insert("yempl.qf", employee.Set("Employee Code", "CD").Set("Employee Last Name", "Dunn"));
        THostRecord fee = dir.NewRecord("fee.qf");
        fee.Set("Client Code", "ACME").Set("Type", "F").Set("Employee Code", "AB").Set("Transaction Date", "440110");
        dir.Insert("fee.qf", fee.SetDecimal("Actual Hours", 2.5));
        THostRecord request = dir.NewRecord("RD000007.00");
        request.Set("ReportCode", "MT").Set("FileNumberPP", "000").Set("PrintFileName", "RPT00123");
        request.Set("PrintFileNameS", "NONE (PRINTING TO SCREEN)").Set("PrintSize", "W").Set("PageLength", " 66");
        request.Set("ProdStatus", "N").Set("StartTranDate", "440101").Set("EndTranDate", "440229");
        dir.Insert("RD000007.00", request.Set("StatusCodes", "M"));
    }
    const std::string log = (data / "viewer.log").string();

    DWORD exitCode = STILL_ACTIVE;
    {
        TAliasForTheRun alias(data.string());
        SetEnvironmentVariableA("PARVUE_LOG", log.c_str());
        std::string commandLine = "\"" + (programs / "gapreport.exe").string() + "\" \"450215  000007\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        const bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                            nullptr, &startup, &info);
        SetEnvironmentVariableA("PARVUE_LOG", nullptr);
        ASSERT_TRUE(started) << commandLine;
        if (WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "gapreport did not end by itself";
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, 10000);
        }
        GetExitCodeProcess(info.hProcess, &exitCode);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    EXPECT_EQ(exitCode, 0u);

    const Texts report = FileLines((data / "RPT00123.23").string());
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report[0], "     ");
    EXPECT_TRUE(HasLineStartingWith(report, "                                 ORDAVANE   Employees' Missing Time"));
    EXPECT_TRUE(HasLineStartingWith(report, "                                 For All Employees"));
    EXPECT_TRUE(HasLineStartingWith(report, "     Jan 2024 "));
    EXPECT_TRUE(HasLineStartingWith(report, "     Feb 2024 "));
    EXPECT_TRUE(HasLineStartingWith(report, "         CD   Dunn"));
    const std::string viewer = "\"" + (programs / "Parvue").string() + "\" " + data.string() + "\\ RPT00123.23 10 W";
    EXPECT_EQ(FileLines(log), Texts{viewer});
    EXPECT_FALSE(fs::exists(data / "temp#$.bat"));

    std::error_code ignored;
    fs::remove_all(programs, ignored);
    fs::remove_all(data, ignored);
}

}  // namespace
