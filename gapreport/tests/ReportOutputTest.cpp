// The report's text output compared whole, file by file, for each period kind and layout; screen output with the
// viewer (and its batch-file fallback); printer output; the failures inside the report.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "AliasForTheRun.h"
#include "GapReportData.h"
#include "hostdata/DateFmtu.h"
#include "gapreport/MissingTimeu.h"
#include "gapreport/ReportViewer.h"
#include "rtl/Clock.h"
#include "rtl/DateTime.h"
#include "rtl/FormatSettings.h"
#include "rtl/IntConv.h"
#include "tools/mkdemo/DemoData.h"
#include "tools/parvue/ParvueForm.h"
#include "vcl/Printers.h"
#include "vcl/TestHelpers.h"
#include "vcl/TestSeams.h"

namespace {

using Texts = std::vector<std::string>;

const std::string RunParameter = "450215  000007";
const std::string ViewerDirectory = R"(C:\Host Programs\Ordavane)";

// The settings the expected files are written in: US dates and numbers, English day names.
class TUsFormats {
public:
    TUsFormats()
            : shortDate_(ShortDateFormat), dateSeparator_(DateSeparator), decimal_(DecimalSeparator),
              thousands_(ThousandSeparator), days_(ShortDayNames), update_(UpdateFormatSettings)
    {
        UpdateFormatSettings = false;
        ShortDateFormat = "M/d/yyyy";
        DateSeparator = '/';
        DecimalSeparator = '.';
        ThousandSeparator = ',';
        const char* names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
        for (int day = 1; day <= 7; ++day) ShortDayNames[day] = names[day - 1];
    }
    ~TUsFormats()
    {
        ShortDateFormat = shortDate_;
        DateSeparator = dateSeparator_;
        DecimalSeparator = decimal_;
        ThousandSeparator = thousands_;
        ShortDayNames = days_;
        UpdateFormatSettings = update_;
    }

private:
    std::string shortDate_;
    char dateSeparator_, decimal_, thousands_;
    NameTable<7> days_;
    bool update_;
};

Texts FileLines(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string text = whole.str();
    Texts lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start < text.size()) lines.push_back(text.substr(start) + "<no line end>");
    return lines;
}

// The lines as they would be written in a test, for reading a difference.
std::string Listing(const Texts& lines)
{
    std::string listing;
    for (const std::string& line : lines) listing += "        \"" + line + "\",\n";
    return listing;
}

class ReportOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        data_.MakeReportFiles();
        SetClock([] { return EncodeDate(2025, 2, 15) + EncodeTime(14, 5, 0, 0); });
        savedProgramDirectory_ = ProgramDirectory;
        ProgramDirectory = ViewerDirectory;
    }

    void TearDown() override
    {
        if (form_) form_->Free();
        ResetClock();
        ProgramDirectory = savedProgramDirectory_;
    }

    // The report of a request given on the command line, as the host starts it.
    void Run(const THostRecord& request) { Run(RunParameter, CommandLineRecord(request)); }

    void Run(const std::string& runParameter, const std::string& parameterRecord)
    {
        if (form_) form_->Free();
        data_.Dir().CloseFiles();
        form_ = CreateObject<TMissingTimef>(nullptr);
        form_->RunParameter = runParameter;
        form_->ParameterRecord = parameterRecord;
        form_->OnClose = [this](TObject*, TCloseAction& action) {
            ++closed_;
            action = caNone;
        };
        form_->FormShow(form_);
    }

    // A request to the screen, wide, 66 lines.
    THostRecord Request(const std::string& start, const std::string& end, const std::string& kind)
    {
        THostRecord request = data_.ReportRequest(start, end, kind);
        request.Set("PrintFileName", "RPT00123");
        return request;
    }

    // A request to the file named (relative to the data directory, made current), narrow or wide.
    THostRecord FileRequest(const std::string& start, const std::string& end, const std::string& kind, bool narrow)
    {
        THostRecord request = data_.ReportRequest(start, end, kind);
        request.Set("PrintFileName", "").Set("PrintFileNameS", "missing.txt").Set("PrintSize", narrow ? "R" : "W");
        return request;
    }

    std::string ScreenFile() const { return data_.Path("RPT00123.23"); }

    void ExpectFile(const std::string& file, const Texts& expected)
    {
        const Texts lines = FileLines(file);
        EXPECT_EQ(lines, expected) << "written:\n" << Listing(lines);
    }

    void AddTimekeepers(const Texts& codes)
    {
        for (const std::string& code : codes) data_.AddEmployee(code, "First" + code, "Last" + code, true);
    }

    TUsFormats formats_;
    TScriptedDialogs dialogs_;
    TScriptedProcesses processes_;
    TGapReportData data_;
    TMissingTimef* form_ = nullptr;
    int closed_ = 0;
    std::string savedProgramDirectory_;
};

// Makes the data directory current for the requests that name their file relatively.
class TCurrentDirectory {
public:
    explicit TCurrentDirectory(const std::string& directory)
    {
        char previous[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, previous);
        previous_ = previous;
        SetCurrentDirectoryA(directory.c_str());
    }
    ~TCurrentDirectory() { SetCurrentDirectoryA(previous_.c_str()); }

private:
    std::string previous_;
};

TEST_F(ReportOutput, MonthsWithThreeTimekeepersAreAppendedToTheNamedFile)
{
    data_.AddEmployee("AB", "Ann", "Baker", true);
    data_.AddEmployee("CD", "Carl", "Dunn", true);
    data_.AddEmployee("EF", "Eve", "Fry", true);
    data_.AddEmployee("GH", "Gus", "Hart", true);
    data_.AddEmployee("IJ", "Ian", "Jones", false);
    data_.AddEmployee("KL", "", "Lowe", true);
    data_.AddFee("fee.qf", "AB", "F", "441105", 1.5);
    data_.AddFee("fee.qf", "AB", "F", "441210", 2.0);
    data_.AddFee("hfee.qf", "AB", "F", "450115", 3.25);
    data_.AddFee("fee.qf", "CD", "F", "441120", 4.0);
    data_.AddFee("fee.qf", "CD", "F", "450210", 1234.5);
    data_.AddFee("fee.qf", "EF", "F", "450201", 0.75);
    data_.AddFee("fee.qf", "EF", "F", "441201", 8.0);
    std::ofstream(data_.Path("missing.txt"), std::ios::binary) << "earlier report\r\n";
    TCurrentDirectory current(data_.Folder());
    Run(FileRequest("441101", "450228", "M", true));
    EXPECT_EQ(dialogs_.Shown.size(), 0u);
    EXPECT_EQ(processes_.Requests.size(), 0u);
    EXPECT_EQ(closed_, 1);
    ExpectFile(data_.Path("missing.txt"), {
        "earlier report",
        "     ",
        " ",
        " ",
        " ",
        "                    ORDAVANE   Employees' Missing Time Report",
        "                    From 11/01/24 to 02/28/25    Run on 02/15/2025 at 2:05 PM",
        "                    For All Employees",
        " ",
        "                      AB        CD        EF       Total",
        " ",
        "     Nov 2024         1.50      4.00      0.00      5.50 ",
        "     Dec 2024         2.00      0.00      8.00     10.00 ",
        "                 --------- --------- --------- --------- ",
        "     Tot 2024         3.50      4.00      8.00     15.50",
        "                 --------- --------- --------- --------- ",
        "     Jan 2025         3.25      0.00      0.00      3.25 ",
        "     Feb 2025         0.00  1,234.50      0.75  1,235.25 ",
        "                 --------- --------- --------- --------- ",
        "     Tot 2025         3.25  1,234.50      0.75  1,238.50",
        "                 --------- --------- --------- --------- ",
        "                 --------- --------- --------- ",
        "                      6.75  1,238.50      8.75 ",
        "                 --------- --------- --------- --------- ",
        "     ",
        "                       Total for all employees  1,254.00",
        "                       (11/01/24 - 02/28/25)   =========",
        "     ",
        "     The following active timekeepers had no time within the date range specified:",
        " ",
        "         GH   Gus Hart",
        "         KL   Lowe",
    });
}

// One timekeeper given, by day across a month end, to the screen: no total column and no grand total; every other
// active employee is listed; the host's file is renamed into the report and the viewer started on it.
TEST_F(ReportOutput, DaysAcrossAMonthEndForOneTimekeeperGoToTheViewer)
{
    data_.AddEmployee("AB", "Ann", "Baker", true);
    data_.AddEmployee("CD", "Carl", "Dunn", true);
    data_.AddEmployee("EF", "Eve", "Fry", false);
    data_.AddFee("fee.qf", "AB", "F", "440128", 1.0);
    data_.AddFee("fee.qf", "AB", "F", "440130", 2.5);
    data_.AddFee("hfee.qf", "AB", "F", "440201", 4.0);
    data_.AddFee("fee.qf", "AB", "F", "440203", 0.5);
    data_.AddFee("fee.qf", "CD", "F", "440129", 6.0);
    std::ofstream(data_.Path("RPT00123"), std::ios::binary) << "(from the host)\r\n";
    THostRecord request = Request("440128", "440203", "D");
    request.Set("RA1", "AB").Set("ProdStatus", "Y");
    Run(request);
    EXPECT_EQ(dialogs_.Shown.size(), 0u);
    EXPECT_EQ(closed_, 1);
    EXPECT_FALSE(std::filesystem::exists(data_.Path("RPT00123")));
    ExpectFile(ScreenFile(), {
        "(from the host)",
        "     ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report",
        "                                 From 01/28/24 to 02/03/24    Run on 02/15/2025 at 2:05 PM",
        "                                 For Employee AB",
        " ",
        "                      AB  ",
        " ",
        "     Sun 01/28/24     1.00 ",
        " ",
        "     Mon 01/29/24     0.00 ",
        "     Tue 01/30/24     2.50 ",
        "     Wed 01/31/24     0.00 ",
        "                 --------- ",
        "     Tot Jan 2024     3.50 ",
        "                 --------- ",
        "     Thu 02/01/24     4.00 ",
        "     Fri 02/02/24     0.00 ",
        "     Sat 02/03/24     0.50 ",
        "                 --------- ",
        "     Tot Feb 2024     4.50 ",
        "                 --------- ",
        "                 --------- ",
        "                      8.00 ",
        "                 --------- ",
        "     ",
        "     The following active timekeepers had no time within the date range specified:",
        " ",
        "         CD   Carl Dunn",
    });
    ASSERT_EQ(processes_.Requests.size(), 1u);
    EXPECT_EQ(processes_.Requests[0].Kind, "CreateProcess");
    EXPECT_EQ(processes_.Requests[0].CommandLine,
              "\"" + ViewerDirectory + "\\Parvue\" " + data_.Folder() + "\\ RPT00123.23 10 W");
    EXPECT_EQ(processes_.Requests[0].ShowWindow, SW_SHOWNORMAL);
}

// Exactly two timekeepers: the year totals carry no total-column cell; the grand total stands under that column.
TEST_F(ReportOutput, QuartersOfTwoTimekeepers)
{
    AddTimekeepers({"AB", "CD"});
    data_.AddFee("fee.qf", "AB", "F", "441115", 1.0);
    data_.AddFee("fee.qf", "AB", "F", "450301", 2.0);
    data_.AddFee("fee.qf", "CD", "F", "450402", 3.0);
    data_.AddFee("fee.qf", "CD", "F", "450815", 4.5);
    TCurrentDirectory current(data_.Folder());
    Run(FileRequest("441115", "450815", "Q", false));
    EXPECT_EQ(dialogs_.Shown.size(), 0u);
    ExpectFile(data_.Path("missing.txt"), {
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report",
        "                                 From 11/15/24 to 08/15/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      AB        CD       Total",
        " ",
        "     Q4 24            1.00      0.00      1.00 ",
        "                 --------- --------- --------- ",
        "     Tot 2024         1.00      0.00 ",
        "                 --------- --------- --------- ",
        "     Q1 25            2.00      0.00      2.00 ",
        "     Q2 25            0.00      3.00      3.00 ",
        "     Q3 25            0.00      4.50      4.50 ",
        "                 --------- --------- --------- ",
        "     Tot 2025         2.00      7.50 ",
        "                 --------- --------- --------- ",
        "                 --------- --------- ",
        "                      3.00      7.50 ",
        "                 --------- --------- --------- ",
        "     ",
        "             Total for all employees     10.50",
        "             (11/15/24 - 08/15/25)   =========",
    });
}

TEST_F(ReportOutput, TwelveYearsAreSpacedInFives)
{
    AddTimekeepers({"AB", "CD"});
    for (int year = 34; year <= 45; ++year) data_.AddFee("fee.qf", year % 2 ? "AB" : "CD", "F", IntToStr(year) + "0601", year);
    TCurrentDirectory current(data_.Folder());
    Run(FileRequest("340101", "451231", "Y", true));
    EXPECT_EQ(dialogs_.Shown.size(), 0u);
    ExpectFile(data_.Path("missing.txt"), {
        "     ",
        " ",
        " ",
        " ",
        "                    ORDAVANE   Employees' Missing Time Report",
        "                    From 01/01/14 to 12/31/25    Run on 02/15/2025 at 2:05 PM",
        "                    For All Employees",
        " ",
        "                      AB        CD       Total",
        " ",
        "     2014             0.00     34.00     34.00 ",
        "     2015            35.00      0.00     35.00 ",
        "     2016             0.00     36.00     36.00 ",
        "     2017            37.00      0.00     37.00 ",
        "     2018             0.00     38.00     38.00 ",
        "      ",
        "     2019            39.00      0.00     39.00 ",
        "     2020             0.00     40.00     40.00 ",
        "     2021            41.00      0.00     41.00 ",
        "     2022             0.00     42.00     42.00 ",
        "     2023            43.00      0.00     43.00 ",
        "      ",
        "     2024             0.00     44.00     44.00 ",
        "     2025            45.00      0.00     45.00 ",
        "                 --------- --------- ",
        "                    240.00    234.00 ",
        "                 --------- --------- --------- ",
        "     ",
        "             Total for all employees    474.00",
        "             (01/01/14 - 12/31/25)   =========",
    });
}

// Ten timekeepers on a wide file: two column groups, the second with the tenth timekeeper and the total column,
// whose year-total cells add up both groups; short pages break inside the year blocks.
TEST_F(ReportOutput, TwoColumnGroupsOnShortPages)
{
    const Texts codes = {"T01", "T02", "T03", "T04", "T05", "T06", "T07", "T08", "T09", "T10"};
    AddTimekeepers(codes);
    data_.AddEmployee("ZZ", "Zoe", "Zeller", true);
    const char* months[] = {"441015", "441115", "441215", "450115", "450215", "450315"};
    for (size_t i = 0; i < codes.size(); ++i) {
        data_.AddFee("fee.qf", codes[i], "F", months[i % 6], double(i + 1));
        data_.AddFee("fee.qf", codes[i], "F", months[(i + 3) % 6], 0.25);
    }
    THostRecord request = FileRequest("441001", "450331", "M", false);
    request.Set("PageLength", " 18");
    TCurrentDirectory current(data_.Folder());
    Run(request);
    EXPECT_EQ(dialogs_.Shown.size(), 0u);
    ExpectFile(data_.Path("missing.txt"), {
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T01       T02       T03       T04       T05       T06       T07       T08       T09 ",
        " ",
        "     Oct 2024         1.00      0.00      0.00      0.25      0.00      0.00      7.00      0.00      0.00 ",
        "     Nov 2024         0.00      2.00      0.00      0.00      0.25      0.00      0.00      8.00      0.00 ",
        "     Dec 2024         0.00      0.00      3.00      0.00      0.00      0.25      0.00      0.00      9.00 ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 2",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T01       T02       T03       T04       T05       T06       T07       T08       T09 ",
        " ",
        "                 --------- --------- --------- --------- --------- --------- --------- --------- --------- ",
        "     Tot 2024         1.00      2.00      3.00      0.25      0.25      0.25      7.00      8.00      9.00 ",
        "                 --------- --------- --------- --------- --------- --------- --------- --------- --------- ",
        "     Jan 2025         0.25      0.00      0.00      4.00      0.00      0.00      0.25      0.00      0.00 ",
        "     Feb 2025         0.00      0.25      0.00      0.00      5.00      0.00      0.00      0.25      0.00 ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 3",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T01       T02       T03       T04       T05       T06       T07       T08       T09 ",
        " ",
        "     Mar 2025         0.00      0.00      0.25      0.00      0.00      6.00      0.00      0.00      0.25 ",
        "                 --------- --------- --------- --------- --------- --------- --------- --------- --------- ",
        "     Tot 2025         0.25      0.25      0.25      4.00      5.00      6.00      0.25      0.25      0.25 ",
        "                 --------- --------- --------- --------- --------- --------- --------- --------- --------- ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 4",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T01       T02       T03       T04       T05       T06       T07       T08       T09 ",
        " ",
        "                 --------- --------- --------- --------- --------- --------- --------- --------- --------- ",
        "                      1.25      2.25      3.25      4.25      5.25      6.25      7.25      8.25      9.25 ",
        "                 --------- --------- --------- --------- --------- --------- --------- --------- --------- ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 5",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T10      Total",
        " ",
        "     Oct 2024         0.25      8.50 ",
        "     Nov 2024         0.00     10.25 ",
        "     Dec 2024         0.00     12.25 ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 6",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T10      Total",
        " ",
        "                 --------- --------- ",
        "     Tot 2024         0.25     31.00",
        "                 --------- --------- ",
        "     Jan 2025        10.00     14.50 ",
        "     Feb 2025         0.00      5.50 ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 7",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T10      Total",
        " ",
        "     Mar 2025         0.00      6.50 ",
        "                 --------- --------- ",
        "     Tot 2025        10.00     26.50",
        "                 --------- --------- ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 8",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T10      Total",
        " ",
        "                 --------- ",
        "                     10.25 ",
        "                 --------- --------- ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 9",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T10      Total",
        " ",
        "     ",
        "     Total for all employees     57.50",
        "     (10/01/24 - 03/31/25)   =========",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 10",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T10      Total",
        " ",
        "     ",
        "     The following active timekeepers had no time within the date range specified:",
        " ",
        "     ",
        " ",
        " ",
        " ",
        "                                 ORDAVANE   Employees' Missing Time Report                      pg 11",
        "                                 From 10/01/24 to 03/31/25    Run on 02/15/2025 at 2:05 PM",
        "                                 For All Employees",
        " ",
        "                      T10      Total",
        " ",
        "         ZZ   Zoe Zeller",
    });
}

// Day rows with the host's day-first dates; three timekeepers give the month blocks their total cell.
TEST_F(ReportOutput, DayFirstDatesAndMonthBlocksOfThreeTimekeepers)
{
    data_.MakeReportFiles("D");
    AddTimekeepers({"AB", "CD", "EF"});
    data_.AddFee("fee.qf", "AB", "F", "440228", 1.0);
    data_.AddFee("fee.qf", "CD", "F", "440229", 2.0);
    data_.AddFee("fee.qf", "EF", "F", "440301", 3.0);
    TCurrentDirectory current(data_.Folder());
    Run(FileRequest("440228", "440301", "D", true));
    EXPECT_EQ(dialogs_.Shown.size(), 0u);
    ExpectFile(data_.Path("missing.txt"), {
        "     ",
        " ",
        " ",
        " ",
        "                    ORDAVANE   Employees' Missing Time Report",
        "                    From 02/28/24 to 03/01/24    Run on 02/15/2025 at 2:05 PM",
        "                    For All Employees",
        " ",
        "                      AB        CD        EF       Total",
        " ",
        "     Wed 28/02/24     1.00      0.00      0.00      1.00 ",
        "     Thu 29/02/24     0.00      2.00      0.00      2.00 ",
        "                 --------- --------- --------- --------- ",
        "     Tot Feb 2024     1.00      2.00      0.00      3.00",
        "                 --------- --------- --------- --------- ",
        "     Fri 01/03/24     0.00      0.00      3.00      3.00 ",
        "                 --------- --------- --------- --------- ",
        "     Tot Mar 2024     0.00      0.00      3.00      3.00",
        "                 --------- --------- --------- --------- ",
        "                 --------- --------- --------- ",
        "                      1.00      2.00      3.00 ",
        "                 --------- --------- --------- --------- ",
        "     ",
        "                       Total for all employees      6.00",
        "                       (02/28/24 - 03/01/24)   =========",
    });
}

TEST_F(ReportOutput, WithoutTheViewerTheBatchFileRunsThroughTheShell)
{
    AddTimekeepers({"AB"});
    data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
    const std::string command = "\"" + ViewerDirectory + "\\Parvue\" " + data_.Folder() + "\\ RPT00123.23 10 W";
    const std::string failure = "The Ordavane Report Viewer cannot be accessed at this time. \r\r"
                                "The command to launch the required program was: \r\r" +
                                command + "\r\rand the error returned was ";
    const struct {
        Cardinal ShellError;  // 0: the shell runs the file
        std::string Reason;
    } cases[] = {{0, ""},
                 {2, "The specified file was not found."},
                 {3, "The specified path was not found."},
                 {31, "Unknown error."}};
    for (const auto& c : cases) {
        dialogs_.Shown.clear();
        processes_.Requests.clear();
        processes_.FailNextStart(ERROR_FILE_NOT_FOUND);
        if (c.ShellError) processes_.FailNextStart(c.ShellError);
        Run(Request("440128", "440203", "D"));
        ASSERT_EQ(processes_.Requests.size(), 2u) << c.ShellError;
        EXPECT_EQ(processes_.Requests[0].CommandLine, command);
        const auto& shell = processes_.Requests[1];
        EXPECT_EQ(shell.Kind, "ShellExecute");
        EXPECT_EQ(shell.ApplicationName, data_.Path("temp#$.bat"));
        EXPECT_EQ(shell.Verb, "open");
        EXPECT_EQ(shell.CommandLine, "");
        EXPECT_EQ(shell.ShowWindow, SW_HIDE);
        EXPECT_EQ(FileLines(data_.Path("temp#$.bat")), Texts{command});
        if (c.ShellError) {
            ASSERT_EQ(dialogs_.Shown.size(), 1u) << c.ShellError;
            EXPECT_EQ(dialogs_.Shown[0].Text, failure + c.Reason + "\r\rPlease email this image to KDV, Inc.");
            EXPECT_EQ(dialogs_.Shown[0].Type, mtError);
        } else {
            EXPECT_EQ(dialogs_.Shown.size(), 0u);
        }
    }
}

TEST_F(ReportOutput, AFailureInsideTheReportIsToldAndTheViewerStillStarts)
{
    AddTimekeepers({"AB", "CD"});
    data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
    data_.AddFee("fee.qf", "CD", "F", "440130", 2.0);
    data_.Dir().CloseFiles();
    // The employee file's number holds a file of longer records: the list of timekeepers without time cannot be read.
    OpenHostFile(3, data_.Path("Sysop.qc") + ";EM", 0);
    Run(Request("440128", "440203", "M"));
    ASSERT_EQ(dialogs_.Shown.size(), 1u);
    const std::string& text = dialogs_.Shown[0].Text;
    EXPECT_EQ(text.substr(0, 100), "Ordavane was unable to complete the printing of your report.\r\r"
                                  "The following error was encountered:\r\r");
    EXPECT_NE(text.find("Databuffer is invalid!"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 39), "\r\rPlease call KDV, Inc. for assistance.");
    EXPECT_EQ(dialogs_.Shown[0].Type, mtError);
    EXPECT_FALSE(IsFileOpen(3));
    const Texts lines = FileLines(ScreenFile());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "             (01/28/24 - 02/03/24)   =========");
    EXPECT_TRUE(std::filesystem::remove(ScreenFile())) << "the report is closed";
    ASSERT_EQ(processes_.Requests.size(), 1u);
    EXPECT_EQ(processes_.Requests[0].Kind, "CreateProcess");
    EXPECT_EQ(closed_, 1);
}

TEST_F(ReportOutput, AFileThatCannotBeOpenedEndsTheRunWithoutAReport)
{
    AddTimekeepers({"AB"});
    data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
    THostRecord request = FileRequest("440128", "440203", "D", true);
    request.Set("PrintFileNameS", "no folder\\missing.txt");
    TCurrentDirectory current(data_.Folder());
    Run(request);
    ASSERT_EQ(dialogs_.Shown.size(), 1u);
    EXPECT_EQ(dialogs_.Shown[0].Text, "Ordavane was unable to access the file no folder\\missing.txt.\r"
                                      "You may retry your operation by printing to the printer.\r\r"
                                      "Please call KDV, Inc. for assistance.");
    EXPECT_EQ(dialogs_.Shown[0].Type, mtError);
    EXPECT_EQ(processes_.Requests.size(), 0u);
    EXPECT_EQ(closed_, 1);
}

// The named printer (its name cut before " on "), or the default one, in the print size's orientation and font:
// landscape 8 points holds nine timekeepers and the total column in one group, portrait 12 points does not.
TEST_F(ReportOutput, ThePrinterPrintsEveryLineInCourierNew)
{
    const Texts codes = {"T01", "T02", "T03", "T04", "T05", "T06", "T07", "T08", "T09"};
    AddTimekeepers(codes);
    for (size_t i = 0; i < codes.size(); ++i) data_.AddFee("fee.qf", codes[i], "F", "440129", double(i + 1));
    data_.ReleaseRegistry();
    TAliasForTheRun alias(data_.Folder());
    TScriptedPrinters printers({"Laser on LPT1:", "Plotter"}, "Plotter");
    const struct {
        const char* Printer;
        const char* PrintSize;
        Integer Index;
        TPrinterOrientation Orientation;
        Integer Points;
        int Groups;
        const char* PageLength;  // none: the line height is the font's
    } cases[] = {{"Laser", "W", 0, poLandscape, 8, 1, " 66"},
                 {"Nowhere", "R", 1, poPortrait, 12, 2, " 66"},
                 {"Laser", "W", 0, poLandscape, 8, 1, "000"}};
    for (const auto& c : cases) {
        THostRecord request = Request("440128", "440203", "M");
        request.Set("FileNumberPP", "255").Set("PrintFileName", c.Printer).Set("PrintFileNameS", "");
        request.Set("PrintSize", c.PrintSize).Set("PageLength", c.PageLength);
        TPrinterCapture capture;
        Printer()->SetCapture(&capture);
        Run(request);
        Printer()->SetCapture(nullptr);
        EXPECT_EQ(dialogs_.Shown.size(), 0u) << (dialogs_.Shown.empty() ? "" : dialogs_.Shown[0].Text);
        EXPECT_TRUE(capture.Ended);
        EXPECT_EQ(Printer()->PrinterIndex(), c.Index) << c.Printer;
        EXPECT_EQ(Printer()->Orientation(), c.Orientation) << c.Printer;
        ASSERT_EQ(int(capture.Pages.size()), c.Groups) << c.Printer;
        const Integer height = MulDiv(GetDeviceCaps(Printer()->Handle(), LOGPIXELSY), c.Points, 72);
        const Integer pageLength = std::stoi(c.PageLength);
        const Integer lineHeight = pageLength ? std::max(height, Printer()->PageHeight() / pageLength) : height;
        for (const TPrintedPage& page : capture.Pages) {
            ASSERT_GE(page.Texts.size(), 6u);
            // An empty line, three lines left free, the title.
            EXPECT_EQ(page.Texts[0].Text, "     ");
            EXPECT_EQ(page.Texts[0].Y, 0);
            EXPECT_EQ(page.Texts[1].Y, 4 * lineHeight);
            EXPECT_NE(page.Texts[1].Text.find("ORDAVANE   Employees' Missing Time Report"), std::string::npos);
            for (const TPrintedText& text : page.Texts) {
                EXPECT_EQ(text.X, 0);
                EXPECT_EQ(text.FontName, "Courier New");
                EXPECT_EQ(text.FontHeight, height);
            }
        }
        const Texts first = capture.Pages[0].Lines();
        EXPECT_NE(first[3].find("For All Employees"), std::string::npos);
        EXPECT_EQ(first[4].substr(0, 27), "                      T01  ");
        EXPECT_EQ(first[4].find("Total") != std::string::npos, c.Groups == 1) << first[4];
        EXPECT_NE(capture.Pages.back().Lines().back().find(")   ========="), std::string::npos);
    }
}

TEST_F(ReportOutput, WithoutAPrinterTheRunEndsWithoutAReport)
{
    AddTimekeepers({"AB"});
    data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
    THostRecord request = Request("440128", "440203", "D");
    request.Set("FileNumberPP", "255").Set("PrintFileName", "Laser");
    TScriptedPrinters none({});
    TPrinterCapture capture;
    Printer()->SetCapture(&capture);
    Run(request);
    Printer()->SetCapture(nullptr);
    ASSERT_EQ(dialogs_.Shown.size(), 1u);
    EXPECT_EQ(dialogs_.Shown[0].Kind, "MessageBox");
    EXPECT_EQ(dialogs_.Shown[0].Text, "You have no windows printers!\r\r"
                                      "You must have at least one windows printer in order to print ORDAVANE "
                                      "reports.");
    EXPECT_TRUE(capture.Pages.empty());
    EXPECT_EQ(closed_, 1);
}

// The demo's request as its user sees it: the screen report in the viewer's window.
TEST_F(ReportOutput, TheDemoReportInTheViewer)
{
    MakeDemoData(data_.Dir(), Date());
    Run(DateToHostDate(true, Date()) + "  000001", "");
    EXPECT_EQ(dialogs_.Shown.size(), 0u);
    ASSERT_EQ(processes_.Requests.size(), 1u);
    const std::string report = data_.Path("MISSTIME.ME");
    EXPECT_NE(processes_.Requests[0].CommandLine.find(data_.Folder() + "\\ MISSTIME.ME 10 W"), std::string::npos);

    auto* viewer = CreateObject<TParvueForm>(nullptr);
    ASSERT_TRUE(viewer->LoadReport(report));
    viewer->Show();
    ActivateForm(viewer);
    PumpMessages();
    EXPECT_EQ(viewer->Report->Lines()->Count(), Integer(FileLines(report).size()));
    const std::string shot = (std::filesystem::temp_directory_path() / "gapreport-viewer.png").string();
    EXPECT_TRUE(SaveWindowToPng(viewer->Handle(), shot));
    std::printf("report in the viewer: %s\n", shot.c_str());
    viewer->Free();
}

}  // namespace
