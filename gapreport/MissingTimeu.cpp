#include "gapreport/MissingTimeu.h"

#include <algorithm>

#include "gapreport/MissingTimeOutput.h"
#include "gapreport/ReportBinU.h"
#include "hostdata/BFilesU2.h"
#include "hostdata/DateFmtu.h"
#include "hostdata/OVWCon.h"
#include "rtl/Clock.h"
#include "rtl/CommandLine.h"
#include "rtl/DateTime.h"
#include "rtl/FileUtils.h"
#include "rtl/Format.h"
#include "rtl/InitProc.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"

std::string DataDirectory;
std::string ProgramDirectory;

namespace {

constexpr size_t LongestRunParameter = 100;
constexpr Integer DefaultPageLength = 66;
constexpr const char* PrinterSelector = "255";
constexpr const char* ScreenOutputName = "NONE (PRINTING TO SCREEN)";
constexpr Byte EmployeeFile = 3;
constexpr size_t EmployeeCodeLength = 4;
constexpr size_t InactiveFlagOffset = 68;

TProcedure previousInitProc = nullptr;

// The directories are read as the program starts, before its form is made.
void ReadDirectoriesAtStart()
{
    if (previousInitProc) previousInitProc();
    ReadRunDirectories();
}

const bool chained = (previousInitProc = InitProc, InitProc = &ReadDirectoriesAtStart, true);

// Characters first to last (1-based) of a text; what lies beyond its end is empty.
std::string Columns(const std::string& text, Integer first, Integer last)
{
    return Copy(text, first, last - first + 1);
}

std::string BlankPadded(const std::string& text, size_t length)
{
    return text.size() >= length ? text : text + std::string(length - text.size(), ' ');
}

// Shows an error box and ends the run without a report.
[[noreturn]] void EndRun(const std::string& message)
{
    MessageDlg(message, mtError, TMsgDlgButtons{mbOK}, 0);
    Abort();
}

// Opens a fee table on its employee and date key unless it is open; ends the run with the message when it cannot.
void OpenFeeTable(TvxBkTable* table, const std::string& failure)
{
    if (table->Active()) return;
    try {
        table->SetIndexName("6");
        table->Open();
    } catch (const Exception&) {
        EndRun(failure);
    }
}

std::string FieldText(TDataSet* table, const std::string& field)
{
    return table->FieldByName(field)->AsString();
}

}  // namespace

bool ReadEmployeeRecord(const std::string& code, TDynCharArr& record)
{
    OpenHostFileByNumber(EmployeeFile);
    bool found = false;
    try {
        TOVFileStructure& employee = *HostFileSlot(EmployeeFile).Structure;
        found = employee.GetByKey(BlankPadded(code, EmployeeCodeLength), 0);
        if (found) record = employee.GetBuffer();
    } catch (const Exception&) {
        CloseHostFile(EmployeeFile);
        throw;
    }
    CloseHostFile(EmployeeFile);
    return found;
}

void ReadRunDirectories()
{
    DataDirectory = ReadConfigValue("PhysicalName", true);
    ProgramDirectory = ExtractFileDir(ParamStr(0));
}

TReportParameters ParametersFromRecordText(const std::string& text)
{
    TReportParameters parameters;
    parameters.OutputSelector = Columns(text, 4, 6);
    if (parameters.OutputSelector == PrinterSelector) {
        parameters.PrinterName = Trim(Columns(text, 39, 122));
    } else {
        parameters.FileNameS = Trim(Columns(text, 81, 122));
        if (parameters.FileNameS == ScreenOutputName) parameters.FileName = Trim(Columns(text, 39, 122));
    }
    parameters.PrintSize = Columns(text, 123, 123);
    const std::string pageLength = Trim(Columns(text, 124, 126));
    parameters.PageLength = pageLength.empty() ? DefaultPageLength : StrToInt(pageLength);
    parameters.Production = Trim(Columns(text, 127, 127)) == "Y";
    parameters.Timekeeper = Columns(text, 129, 132);
    parameters.StartDate = Columns(text, 177, 182);
    parameters.EndDate = Columns(text, 183, 188);
    parameters.PeriodKind = Trim(Columns(text, 193, 204));
    return parameters;
}

std::string FormatRunTime(TDateTime time)
{
    Word hour, minute, second, msec;
    DecodeTime(time, hour, minute, second, msec);
    const bool afternoon = hour >= 12;
    if (hour > 12) hour -= 12;
    return Format("%d:%.2d %s", {Integer(hour), Integer(minute), afternoon ? "PM" : "AM"});
}

// ---- TMissingTimef

TMissingTimef::TMissingTimef(TComponent* owner)
        : TForm(owner), RunParameter(ParamStr(1)), ParameterRecord(ParamStr(2)),
          NoTimeList(std::make_unique<TStringList>())
{
    NoTimeList->SetDuplicates(dupIgnore);
    NoTimeList->SetSorted(true);
}

TMissingTimef::~TMissingTimef() = default;

void TMissingTimef::Publish(TPublisher<TMissingTimef>& p)
{
    p.Field("ProgressBar1", &TMissingTimef::ProgressBar1);
    p.Field("FeeTable", &TMissingTimef::FeeTable);
    p.Field("HFeeTable", &TMissingTimef::HFeeTable);
    p.Field("EmpTable", &TMissingTimef::EmpTable);
    p.Field("ReportDataTable", &TMissingTimef::ReportDataTable);
    p.Method("FormShow", &TMissingTimef::FormShow);
}

void TMissingTimef::FormShow(TObject*)
{
    try {
        RunReport();
    } catch (...) {
        Application->HandleException(this);
    }
    Close();
}

void TMissingTimef::RunReport()
{
    ReadDateFormat();
    TakeRunParameter();
    if (ParameterRecord.size() > LongestRunParameter) {
        ReadReportParameters();
    } else {
        ReadReportDataFile();
    }
    ConvertReportDates();
    Rows = TReportRows(PeriodKindOf(Parameters.PeriodKind), StartDate, EndDate);
    MonthTotals = Rows.Kind() == TPeriodKind::Day;
    Hours = THoursMatrix(Rows.Count());
    OpenEmployeeTable();
    const std::string timekeeper = Trim(Parameters.Timekeeper);
    EmployeeHeading = timekeeper.empty() ? "For All Employees" : "For Employee " + timekeeper;
    SelectTimekeepers();
    HandOverReport();
}

void TMissingTimef::ReadDateFormat()
{
    HostDataDirectory = DataDirectory;
    try {
        ReadSysopDateFormat();
    } catch (const Exception& e) {
        EndRun(e.Message());
    }
    SetHeight(100);
}

void TMissingTimef::TakeRunParameter()
{
    RunDate = Copy(RunParameter, 1, 6);
    ReportDataId = Copy(RunParameter, 9, 6);
    if (ParameterRecord.size() <= LongestRunParameter) {
        ReportDataFileName = DataDirectory + "\\RD" + ReportDataId + ".00";
    }
    RunDateText = HostDateToDisplayDate(RunDate, false);
    RunTimeText = FormatRunTime(Now());
}

void TMissingTimef::ReadReportParameters()
{
    Parameters = ParametersFromRecordText(ParameterRecord);
}

// The parameters from the first record of the report-data file; the run ends when it cannot be opened or read.
void TMissingTimef::ReadReportDataFile()
{
    ReportDataTable->SetTableName(ReportDataFileName + ";RES:REPORTDATA");
    try {
        ReportDataTable->Open();
    } catch (const Exception&) {
        ShowMessage("Unable to open RepDat");
        Abort();
    }
    try {
        ReadReportDataRecord();
    } catch (const Exception&) {
        ShowMessage("Unable to read RepDat");
        Abort();
    }
    ReportDataTable->Close();
}

void TMissingTimef::ReadReportDataRecord()
{
    ReportDataTable->First();
    if (ReportDataTable->Eof()) Abort();
    TReportParameters& p = Parameters;
    p.OutputSelector = FieldText(ReportDataTable, "FileNumberPP");
    p.FileName = FieldText(ReportDataTable, "PrintFileName");
    p.PrinterName = Trim(p.FileName);
    p.FileNameS = FieldText(ReportDataTable, "PrintFileNameS");
    p.PrintSize = FieldText(ReportDataTable, "PrintSize");
    p.PageLength = StrToInt(FieldText(ReportDataTable, "PageLength"));
    p.Production = FieldText(ReportDataTable, "ProdStatus") == "Y";
    p.Timekeeper = FieldText(ReportDataTable, "RA1");
    p.StartDate = FieldText(ReportDataTable, "StartTranDate");
    p.EndDate = FieldText(ReportDataTable, "EndTranDate");
    p.PeriodKind = FieldText(ReportDataTable, "StatusCodes");
}

void TMissingTimef::ConvertReportDates()
{
    ToPrinter = Parameters.OutputSelector == PrinterSelector;
    StartDate = ConvertReportDate(Parameters.StartDate, StartDateText);
    EndDate = ConvertReportDate(Parameters.EndDate, EndDateText);
}

// A date the conversion cannot read ends the run after its message.
TDateTime TMissingTimef::ConvertReportDate(const std::string& hostDate, std::string& displayText)
{
    const TDateTime date = HostDateToDate(hostDate, false);
    if (HostDateError) Abort();
    displayText = HostDateToShortDisplayDate(hostDate, false);
    return date;
}

void TMissingTimef::OpenEmployeeTable()
{
    FeeTable->SetTableName(DataDirectory + "\\fee.qf;RES:Fees");
    HFeeTable->SetTableName(DataDirectory + "\\hfee.qf;RES:Fees");
    EmpTable->SetTableName(DataDirectory + "\\yempl.qf;RES:Emp");
    try {
        EmpTable->SetIndexName("1");
        EmpTable->Open();
    } catch (const Exception&) {
        EndRun("Unable to open Employee file");
    }
}

// All timekeepers (from the employee file, or with the production flag from the fee files) with the no-time
// list, or the one of the parameters without it.
void TMissingTimef::SelectTimekeepers()
{
    const bool allTimekeepers = Trim(Parameters.Timekeeper).empty();
    if (allTimekeepers && !Parameters.Production) {
        for (EmpTable->First(); !EmpTable->Eof(); EmpTable->Next()) {
            SumTimekeeper(FieldText(EmpTable, "Employee Code"), true);
        }
    } else if (allTimekeepers) {
        TStringList codes;
        LoadEmpsIntoList(&codes);
        for (Integer i = 0; i < codes.Count(); ++i) SumTimekeeper(codes.Strings(i), true);
    } else if (Parameters.Production) {
        SumTimekeeper(Parameters.Timekeeper, false);
    } else {
        EmpTable->SetRange({Parameters.Timekeeper}, {Parameters.Timekeeper});
        for (; !EmpTable->Eof(); EmpTable->Next()) SumTimekeeper(FieldText(EmpTable, "Employee Code"), false);
    }
}

void TMissingTimef::SumTimekeeper(const std::string& code, bool collectNoTime)
{
    CurrentEmployee = code;
    bool noTime = false;
    GetEmpData(noTime);
    if (collectNoTime && noTime && Hours.ColumnOf(code) == 0) NoTimeList->Add(Format("%-4s", {code}));
}

void TMissingTimef::LoadEmpsIntoList(TStringList* list)
{
    list->SetDuplicates(dupIgnore);
    list->SetSorted(true);
    for (const auto& [table, failure] : {std::pair{FeeTable, "Unable to open Fee file"},
                                         std::pair{HFeeTable, "Unable to open HFee file"}}) {
        OpenFeeTable(table, failure);
        for (table->First(); !table->Eof(); table->Next()) list->Add(FieldText(table, "Employee Code"));
    }
}

void TMissingTimef::GetEmpData(bool& noTime)
{
    noTime = false;
    SumFeeFile(FeeTable, "Unable to open Fee file", false, noTime);
    SumFeeFile(HFeeTable, "Unable to open HFee file", true, noTime);
}

// Fee records ("F", not HNDR "R") of the current timekeeper in the date range: their hours into the matrix; one
// without hours sets noTime, in the history file only for an active timekeeper.
void TMissingTimef::SumFeeFile(TvxBkTable* table, const std::string& failure, bool history, bool& noTime)
{
    OpenFeeRange(table, failure);
    for (; !table->Eof(); table->Next()) {
        if (FieldText(table, "Type") != "F" || FieldText(table, "HNDR") == "R") continue;
        const double hours = table->FieldByName("Actual Hours")->AsFloat();
        if (hours != 0) {
            Hours.AddHours(CurrentEmployee, Rows.RowOf(FieldText(table, "Transaction Date")), hours);
        } else {
            noTime = !history || IsEmployeeActive(CurrentEmployee);
        }
    }
}

void TMissingTimef::OpenFeeRange(TvxBkTable* table, const std::string& failure)
{
    OpenFeeTable(table, failure);
    try {
        table->CancelRange();
        table->SetRange({CurrentEmployee, Parameters.StartDate}, {CurrentEmployee, Parameters.EndDate});
        table->First();
    } catch (const Exception&) {
        EndRun(failure);
    }
}

bool TMissingTimef::IsEmployeeActive(const std::string& code)
{
    TDynCharArr record;
    return !ReadEmployeeRecord(code, record) || record[InactiveFlagOffset] != 'N';
}

void TMissingTimef::HandOverReport()
{
    const int timekeepers = Hours.TimekeeperCount();
    if (timekeepers == 0) {
        MessageDlg("There were no timekeepers who had time within the parameters specified.", mtInformation,
                   TMsgDlgButtons{mbOK}, 0);
        return;
    }
    ProgressBar1->SetMin(0);
    ProgressBar1->SetMax(std::max(0, (timekeepers + 1) * (Rows.Count() - 1)));
    // The window would appear only after the show handler: it is brought up, painted, for the output's progress.
    ShowWindow(Handle(), SW_SHOWNORMAL);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Hours.FillTotalColumn();
    PrintOut(NoTimeList.get());
}

void TMissingTimef::PrintOut(TStringList* noTimeList)
{
    TMissingTimeOutput(*this).PrintOut(noTimeList);
}
