// The missing-time report: one run per start of the program. Showing the form reads the report's parameters from
// the command line or the host's report-data file, sums every selected timekeeper's fee hours per report row,
// collects the timekeepers without time, hands the result to the output and ends the program.
#pragma once

#include <memory>
#include <string>

#include "engine/bk/BtrInfoU.h"
#include "gapreport/HoursMatrix.h"
#include "hostdata/BFilesU2.h"
#include "gapreport/ReportRows.h"
#include "rtl/Strings.h"
#include "vcl/Forms.h"
#include "vcl/ProgressBar.h"

// The host data directory (alias VAVUZ) and the program's directory, read before the form exists.
extern std::string DataDirectory;
extern std::string ProgramDirectory;
void ReadRunDirectories();

struct TReportParameters {
    std::string OutputSelector;  // "255": the printer
    std::string PrinterName;
    std::string FileName;
    std::string FileNameS;  // the output file, or "NONE..." for the screen
    std::string PrintSize;  // "R": portrait
    Integer PageLength = 66;
    bool Production = false;
    std::string Timekeeper;  // blank: all
    std::string StartDate;   // host dates
    std::string EndDate;
    std::string PeriodKind;
};

// The employee record of the code (employee file by number, opened and closed again); false when there is none.
bool ReadEmployeeRecord(const std::string& code, TDynCharArr& record);

// The parameters from the fixed columns of a report-data record given on the command line (the record without
// its autoincrement field).
TReportParameters ParametersFromRecordText(const std::string& text);

// "2:05 PM": hours 13 to 23 as 1 to 11 PM, 12 as 12 PM, 0 to 11 as they are with AM.
std::string FormatRunTime(TDateTime time);

class TMissingTimef : public TForm {
    DUN_CLASS(TMissingTimef, TForm)
public:
    explicit TMissingTimef(TComponent* owner);
    ~TMissingTimef() override;
    static void Publish(TPublisher<TMissingTimef>& p);

    TProgressBar* ProgressBar1 = nullptr;
    TvxBkTable* FeeTable = nullptr;
    TvxBkTable* HFeeTable = nullptr;
    TvxBkTable* EmpTable = nullptr;
    TvxBkTable* ReportDataTable = nullptr;

    // Command-line parameters 1 (run date and report-data identifier) and 2 (a parameter record, or not); the
    // program's own unless set before the form shows.
    std::string RunParameter;
    std::string ParameterRecord;

    // The whole run; the form closes at its end.
    void FormShow(TObject* sender);
    // Adds the employee code of every fee and history fee record to a sorted list without duplicates.
    void LoadEmpsIntoList(TStringList* list);
    // Sums the current timekeeper's hours into the matrix; noTime tells whether records without hours were met.
    void GetEmpData(bool& noTime);
    void ReadReportParameters();
    // False when the employee record of the code marks it inactive.
    bool IsEmployeeActive(const std::string& code);
    // The report's output.
    virtual void PrintOut(TStringList* noTimeList);

    // What the run read and summed, for the output.
    std::string RunDate;
    std::string ReportDataId;
    std::string ReportDataFileName;
    std::string RunDateText;
    std::string RunTimeText;
    TReportParameters Parameters;
    bool ToPrinter = false;
    TDateTime StartDate = 0;
    TDateTime EndDate = 0;
    std::string StartDateText;
    std::string EndDateText;
    TReportRows Rows;
    bool MonthTotals = false;
    std::string EmployeeHeading;
    std::string CurrentEmployee;
    THoursMatrix Hours;
    std::unique_ptr<TStringList> NoTimeList;

private:
    void RunReport();
    void ReadDateFormat();
    void TakeRunParameter();
    void ReadReportDataFile();
    void ReadReportDataRecord();
    void ConvertReportDates();
    TDateTime ConvertReportDate(const std::string& hostDate, std::string& displayText);
    void OpenEmployeeTable();
    void SelectTimekeepers();
    void SumTimekeeper(const std::string& code, bool collectNoTime);
    void SumFeeFile(TvxBkTable* table, const std::string& failure, bool history, bool& noTime);
    void OpenFeeRange(TvxBkTable* table, const std::string& failure);
    void HandOverReport();
};
