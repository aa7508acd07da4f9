// The report's run on scratch data directories: parameters from the command line or the report-data file, the
// timekeeper selections, the fee filter, the hours matrix, the no-time list and the runs that end without a report.
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GapReportData.h"
#include "MatrixCells.h"
#include "gapreport/MissingTimeu.h"
#include "hostdata/DateFmtu.h"
#include "rtl/Clock.h"
#include "rtl/DateTime.h"
#include "tools/mkdemo/DemoData.h"
#include "vcl/TestHelpers.h"

class TMissingTimeProbe : public TMissingTimef {
    DUN_CLASS(TMissingTimeProbe, TMissingTimef)
public:
    explicit TMissingTimeProbe(TComponent* owner) : TMissingTimef(owner) {}

    int Printed = 0;
    std::vector<std::string> PrintedNoTime;
    std::function<void()> WhilePrinting;

    void PrintOut(TStringList* noTimeList) override
    {
        ++Printed;
        for (Integer i = 0; i < noTimeList->Count(); ++i) PrintedNoTime.push_back(noTimeList->Strings(i));
        if (WhilePrinting) WhilePrinting();
    }
};

namespace {

using Texts = std::vector<std::string>;

const std::string RunParameter = "440215  000007";
const std::string ReportDataFile = "RD000007.00";

class MissingTimeRun : public ::testing::Test {
protected:
    void SetUp() override { data_.MakeReportFiles(); }

    void TearDown() override { FreeForm(); }

    void FreeForm()
    {
        if (form_) form_->Free();
        form_ = nullptr;
        closed_ = 0;
        dialogs_.Shown.clear();
    }

    TMissingTimeProbe* Run(const std::string& parameterRecord, const std::function<void(TMissingTimeProbe*)>& before = {})
    {
        FreeForm();
        data_.Dir().CloseFiles();
        form_ = CreateObject<TMissingTimeProbe>(nullptr);
        form_->RunParameter = RunParameter;
        form_->ParameterRecord = parameterRecord;
        // Counted; the form is not hidden, which would wait for the X server as well.
        form_->OnClose = [this](TObject*, TCloseAction& action) {
            ++closed_;
            action = caNone;
        };
        if (before) before(form_);
        // Through the window's showing, or the handler alone: a window that has been on screen costs its test a
        // wait for the X server when it goes.
        if (showForm_) {
            form_->Show();
        } else {
            form_->FormShow(form_);
        }
        return form_;
    }

    TMissingTimeProbe* RunWithRecord(const THostRecord& request) { return Run(CommandLineRecord(request)); }

    TMissingTimeProbe* RunWithFile(const THostRecord& request)
    {
        data_.WriteReportData(ReportDataFile, request);
        return Run("");
    }

    THostRecord Request(const std::string& kind = "D") { return data_.ReportRequest("440128", "440203", kind); }

    Texts ShownTexts() const
    {
        Texts texts;
        for (const auto& box : dialogs_.Shown) texts.push_back(box.Text);
        return texts;
    }

    TScriptedDialogs dialogs_;
    TGapReportData data_;
    TMissingTimeProbe* form_ = nullptr;
    int closed_ = 0;
    bool showForm_ = false;
};

TEST_F(MissingTimeRun, TheMatrixHoldsTheFeeHoursOfEachTimekeeperByDay)
{
    data_.AddEmployee("AB", "Ann", "Baker", true);
    data_.AddEmployee("CD", "Carl", "Dunn", false);
    data_.AddEmployee("EF", "Eve", "Fry", true);
    data_.AddEmployee("GH", "Gus", "Hart", true);
    data_.AddFee("fee.qf", "EF", "F", "440201", 4.0);
    data_.AddFee("fee.qf", "AB", "F", "440128", 1.5);
    data_.AddFee("fee.qf", "AB", "F", "440203", 2.25);
    data_.AddFee("fee.qf", "AB", "F", "440128", 7.5, "R");
    data_.AddFee("fee.qf", "AB", "C", "440130", 3.0);
    data_.AddFee("fee.qf", "AB", "T", "440130", 3.0);
    data_.AddFee("fee.qf", "AB", "F", "440127", 5.0);
    data_.AddFee("fee.qf", "AB", "F", "440204", 5.0);
    data_.AddFee("fee.qf", "AB", "F", "4401AB", 1.0);  // within the key range, in no row
    data_.AddFee("hfee.qf", "AB", "F", "440131", 0.75);
    data_.AddFee("hfee.qf", "GH", "F", "440128", 1.0, "H");
    data_.AddFee("fee.qf", "CD", "F", "440129", 0.0);

    showForm_ = true;
    TMissingTimeProbe* form = RunWithFile(Request("D"));

    EXPECT_EQ(ShownTexts(), Texts{});
    EXPECT_EQ(form->Printed, 1);
    EXPECT_EQ(closed_, 1);
    const THoursMatrix& hours = form->Hours;
    EXPECT_EQ(hours.ColumnNames(), Texts({"AB", "EF", "GH"}));
    ASSERT_EQ(hours.RowCount(), 7);
    EXPECT_EQ(CellsOf(hours), TCells({{1.5, 0, 0, 0.75, 0, 0, 2.25},
                                      {0, 0, 0, 0, 4.0, 0, 0},
                                      {1.0, 0, 0, 0, 0, 0, 0},
                                      {2.5, 0, 0, 0.75, 4.0, 0, 2.25}}));
    EXPECT_DOUBLE_EQ(hours.TimekeeperTotal(1), 5.5);
    EXPECT_DOUBLE_EQ(hours.TimekeeperTotal(2), 4.0);
    EXPECT_DOUBLE_EQ(hours.TimekeeperTotal(3), 1.0);
    EXPECT_DOUBLE_EQ(hours.GrandTotal(), 10.5);
    EXPECT_EQ(form->PrintedNoTime, Texts{"CD  "});
    EXPECT_EQ(form->ProgressBar1->Max(), (3 + 1) * (7 - 1));

    EXPECT_TRUE(form->MonthTotals);
    EXPECT_FALSE(form->ToPrinter);
    EXPECT_EQ(form->EmployeeHeading, "For All Employees");
    EXPECT_EQ(form->StartDateText, HostDateToShortDisplayDate("440128", true));
    EXPECT_EQ(form->EndDateText, HostDateToShortDisplayDate("440203", true));
    EXPECT_EQ(form->RunDateText, HostDateToDisplayDate("440215", true));
    EXPECT_EQ(form->ReportDataFileName, data_.Folder() + "\\RD000007.00");
    EXPECT_EQ(form->Height(), 100);
}

TEST_F(MissingTimeRun, TheSelectionModesTakeTheirTimekeepers)
{
    data_.AddEmployee("AB", "Ann", "Baker", true);
    data_.AddEmployee("CD", "Carl", "Dunn", false);
    data_.AddEmployee("EF", "Eve", "Fry", true);
    data_.AddFee("fee.qf", "ZZ", "F", "440131", 3.0);
    data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
    data_.AddFee("hfee.qf", "EF", "F", "440130", 2.0);
    data_.AddFee("fee.qf", "CD", "F", "440201", 0.0);
    const struct {
        const char* Timekeeper;
        const char* Production;
        Texts Columns;
        Texts NoTime;
    } cases[] = {
        {"", "N", {"AB", "EF"}, {"CD  "}}, {"", "Y", {"AB", "EF", "ZZ"}, {"CD  "}}, {"EF", "Y", {"EF  "}, {}},
        {"EF", "N", {"EF"}, {}},           {"ZZ", "Y", {"ZZ  "}, {}},               {"ZZ", "N", {}, {}},
        {"CD", "N", {}, {}},               {"CD", "Y", {}, {}},
    };
    for (const auto& c : cases) {
        THostRecord request = Request();
        request.Set("RA1", c.Timekeeper).Set("ProdStatus", c.Production);
        TMissingTimeProbe* form = RunWithRecord(request);
        const std::string label = std::string(c.Timekeeper) + "/" + c.Production;
        EXPECT_EQ(form->Hours.ColumnNames(), c.Columns) << label;
        EXPECT_EQ(form->PrintedNoTime, c.NoTime) << label;
        EXPECT_EQ(form->Printed, c.Columns.empty() ? 0 : 1) << label;
        EXPECT_EQ(ShownTexts(), c.Columns.empty()
                                        ? Texts{"There were no timekeepers who had time within the parameters "
                                                "specified."}
                                        : Texts{})
                << label;
        EXPECT_EQ(form->EmployeeHeading, *c.Timekeeper ? "For Employee " + std::string(c.Timekeeper)
                                                       : std::string("For All Employees"))
                << label;
        EXPECT_EQ(closed_, 1) << label;
    }
}

// Records without hours: in the fee file they put a timekeeper on the list, in the history file only an active
// one (the last such record decides).
TEST_F(MissingTimeRun, TimekeepersWithoutHoursAreListedByTheirRecords)
{
    data_.AddEmployee("AB", "Ann", "Baker", true);
    data_.AddEmployee("CD", "Carl", "Dunn", false);
    data_.AddEmployee("EF", "Eve", "Fry", true);
    data_.AddEmployee("IJ", "Ian", "Jones", false);
    data_.AddEmployee("KL", "Kim", "Lowe", true);
    data_.AddFee("fee.qf", "AB", "F", "440129", 0.0);
    data_.AddFee("hfee.qf", "CD", "F", "440129", 0.0);
    data_.AddFee("hfee.qf", "EF", "F", "440130", 0.0);
    data_.AddFee("fee.qf", "IJ", "F", "440130", 0.0);
    data_.AddFee("hfee.qf", "IJ", "F", "440131", 0.0);
    data_.AddFee("fee.qf", "KL", "F", "440131", 0.0);
    data_.AddFee("fee.qf", "KL", "F", "440201", 2.0);
    data_.AddFee("fee.qf", "MN", "F", "440201", 0.0, "R");
    for (const char* production : {"N", "Y"}) {
        THostRecord request = Request();
        request.Set("ProdStatus", production);
        TMissingTimeProbe* form = RunWithRecord(request);
        EXPECT_EQ(form->Hours.ColumnNames(), Texts{"KL"}) << production;
        EXPECT_EQ(form->PrintedNoTime, Texts({"AB  ", "EF  "})) << production;
        EXPECT_EQ(form->IsEmployeeActive("CD"), false);
        EXPECT_EQ(form->IsEmployeeActive("EF"), true);
        EXPECT_EQ(form->IsEmployeeActive("QQ"), true);
    }
    EXPECT_FALSE(IsFileOpen(3));
}

TEST_F(MissingTimeRun, ParametersComeFromTheCommandLineWhenLongerThanAHundredCharacters)
{
    data_.AddEmployee("AB", "Ann", "Baker", true);
    data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
    THostRecord request = Request("M");
    request.Set("PageLength", "").Set("PrintFileName", "RPT00123").Set("PrintSize", "R");
    TMissingTimeProbe* form = RunWithRecord(request);
    EXPECT_EQ(form->Printed, 1);
    EXPECT_EQ(form->ReportDataFileName, "");
    EXPECT_EQ(form->Parameters.PageLength, 66);
    EXPECT_EQ(form->Parameters.PeriodKind, "M");
    EXPECT_EQ(form->Parameters.PrintSize, "R");
    EXPECT_EQ(form->Parameters.FileName.substr(0, 8), "RPT00123");
    EXPECT_EQ(form->Rows.Keys(), Texts({"4401", "4402"}));
    EXPECT_FALSE(form->MonthTotals);

    // Exactly 100 characters are no parameter record: the report-data file is read.
    request.Set("PageLength", " 55");
    data_.WriteReportData(ReportDataFile, request);
    form = Run(std::string(100, ' '));
    EXPECT_EQ(form->Printed, 1);
    EXPECT_EQ(form->Parameters.PageLength, 55);
    EXPECT_EQ(form->Parameters.FileName, "RPT00123");
    EXPECT_EQ(form->Parameters.PrinterName, "RPT00123");
    EXPECT_EQ(form->ReportDataFileName, data_.Folder() + "\\RD000007.00");
}

TEST_F(MissingTimeRun, AReportDataFileThatCannotBeReadEndsTheRun)
{
    data_.AddEmployee("AB", "Ann", "Baker", true);
    data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
    THostRecord request = Request();
    request.Set("PageLength", "");
    RunWithFile(request);
    EXPECT_EQ(ShownTexts(), Texts{"Unable to read RepDat"});
    EXPECT_EQ(dialogs_.Shown[0].Kind, "MessageBox");

    FreeForm();
    data_.Dir().MakeFile(ReportDataFile);
    Run("");
    EXPECT_EQ(ShownTexts(), Texts{"Unable to read RepDat"});

    FreeForm();
    std::filesystem::remove(data_.Path(ReportDataFile));
    Run("");
    EXPECT_EQ(ShownTexts(), Texts{"Unable to open RepDat"});
    EXPECT_EQ(form_->Printed, 0);
    EXPECT_EQ(closed_, 1);
}

TEST_F(MissingTimeRun, UnreadableDatesAndMissingFilesEndTheRunAfterTheirMessage)
{
    data_.AddEmployee("AB", "Ann", "Baker", true);
    data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
    data_.Dir().CloseFiles();
    const struct {
        const char* Label;
        std::function<void(THostRecord&)> Request;
        const char* MissingFile;
        std::string Message;
    } cases[] = {
        {"month 13", [](THostRecord& r) { r.Set("StartTranDate", "441301"); }, "", "Invalid OV file date  441301"},
        {"short end", [](THostRecord& r) { r.Set("EndTranDate", "4402"); }, "", "Invalid date - must be 6 integers"},
        {"employees", {}, "yempl.qf", "Unable to open Employee file"},
        {"fees", {}, "fee.qf", "Unable to open Fee file"},
        {"history fees", {}, "hfee.qf", "Unable to open HFee file"},
        {"system options", {}, "Sysop.qc", "The file " + data_.Folder() + "\\sysop.qc could not be opened."},
    };
    for (const auto& c : cases) {
        FreeForm();
        data_.MakeReportFiles();
        data_.AddEmployee("AB", "Ann", "Baker", true);
        data_.AddFee("fee.qf", "AB", "F", "440129", 1.0);
        data_.Dir().CloseFiles();
        if (*c.MissingFile) std::filesystem::remove(data_.Path(c.MissingFile));
        THostRecord request = Request();
        if (c.Request) c.Request(request);
        TMissingTimeProbe* form = RunWithRecord(request);
        ASSERT_EQ(dialogs_.Shown.size(), 1u) << c.Label;
        EXPECT_EQ(dialogs_.Shown[0].Text.substr(0, c.Message.size()), c.Message) << c.Label;
        EXPECT_EQ(dialogs_.Shown[0].Type, mtError) << c.Label;
        EXPECT_EQ(form->Printed, 0) << c.Label;
        EXPECT_EQ(closed_, 1) << c.Label;
    }
}

TEST_F(MissingTimeRun, TheDemoRequestReportsTheDemoTimekeepersByMonth)
{
    const TDateTime today = Date();
    MakeDemoData(data_.Dir(), today);
    showForm_ = true;
    std::string shot;
    bool visible = false;
    Run("", [&](TMissingTimeProbe* form) {
        form->RunParameter = DateToHostDate(true, today) + "  000001";
        form->WhilePrinting = [&, form] {
            visible = IsWindowVisible(form->Handle());
            char path[MAX_PATH];
            GetTempPathA(MAX_PATH, path);
            shot = std::string(path) + "gapreport-form.png";
            SaveWindowToPng(form->Handle(), shot);
        };
    });
    EXPECT_EQ(ShownTexts(), Texts{});
    EXPECT_EQ(form_->Printed, 1);
    EXPECT_TRUE(visible);
    EXPECT_EQ(form_->Parameters.PeriodKind, "M");
    EXPECT_EQ(form_->Rows.Count(), 3);
    const Texts& columns = form_->Hours.ColumnNames();
    ASSERT_GE(columns.size(), 3u);
    EXPECT_EQ(Texts(columns.begin(), columns.begin() + 3), Texts({"ABW", "JRS", "MKL"}));
    for (const char* idle : {"DNC", "TLP"}) EXPECT_EQ(form_->Hours.ColumnOf(idle), 0) << idle;
    double totals = 0, cells = 0;
    for (int column = 1; column <= form_->Hours.TimekeeperCount(); ++column) totals += form_->Hours.TimekeeperTotal(column);
    for (int row = 0; row < 3; ++row) cells += form_->Hours.Cell(form_->Hours.TimekeeperCount() + 1, row);
    EXPECT_GT(totals, 0);
    EXPECT_NEAR(form_->Hours.GrandTotal(), totals, 1e-9);
    EXPECT_NEAR(cells, totals, 1e-9);
    std::printf("form image: %s\n", shot.c_str());
}

}  // namespace
