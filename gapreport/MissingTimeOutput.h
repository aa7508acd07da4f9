// The missing-time report's layout and output: the hours matrix as report rows by timekeeper columns, cut into
// column groups that fit the line, with month or year subtotals, the timekeepers' totals, the grand total and the
// active timekeepers without time, on the printer (fixed pitch) or in a text file; a text file for the screen is
// then shown by the report viewer.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "rtl/Strings.h"
#include "rtl/WinApi.h"

// The spooler's macro of that name would rename the printer routine below.
#undef ResetPrinter

class TMissingTimef;

class TMissingTimeOutput {
public:
    // The report of the form's run (its parameters, rows and summed hours).
    explicit TMissingTimeOutput(TMissingTimef& form);

    // The whole output, ending with the viewer for screen output.
    void PrintOut(TStringList* noTimeList);

    // Selects the named printer (or the default), begins the job in the print size's orientation and font and
    // measures the line; false when there is no printer.
    bool PrintSetUp();
    // Opens the output file (screen output: renamed into the data directory) and fixes the line; false when it
    // cannot be opened.
    bool PrintToFileSetUp();
    // The printers' names, each cut before " on "; a message when there is none.
    const std::vector<std::string>& GetWindowsPrinters();
    // The current printer again, with its default settings.
    void ResetPrinter();
    // The page head, after a page break from the second page on.
    void PrinterNewPage();
    // Five blanks and the text, then `extra` lines (one blank each in a file).
    void PrintLine(const std::string& text, int extra = 0);
    // The subtotal blocks of the current year (kinds M and Q) or month (kind D).
    void PrintYearTotals();
    void PrintMonthTotals();
    // "First Last" of the employee record, the last name alone, or "Name not found".
    std::string GetEmployeeName(const std::string& code);

private:
    void SetColumnsPerGroup();
    void WriteReport(TStringList* noTimeList);
    void WriteGroup(int group);
    void WriteRow(int row);
    void WriteGroupFooter();
    void WriteGrandTotal();
    void AddActiveTimekeepersWithoutTime(TStringList* noTimeList);
    void WriteNoTimeList(TStringList* noTimeList);
    void ReportFailure(const std::string& message);

    std::string RowLabel(int row) const;
    bool IsTotalColumn(int column) const;
    bool IsTimekeeperColumn(int column) const;
    // 12 blanks and the column rule for each column of the group (only the timekeepers' when asked).
    std::string RuleLine(bool timekeepersOnly) const;
    std::string ColumnHeads() const;
    // A new page when fewer than `lines` lines remain.
    void KeepLinesTogether(int lines);
    void StartTotalsBlock();
    void EndTotalsBlock(const std::string& label, std::vector<double>& subtotals, std::vector<double>& running,
                        int index);

    TMissingTimef& form_;
    int timekeepers_;
    int columnCount_;  // the timekeepers and, with more than one, the total column
    bool toPrinter_;
    bool toScreen_;
    std::string screenName_;
    std::string outputFile_;
    std::ofstream file_;
    std::vector<std::string> printers_;
    bool printersRead_ = false;

    int width_ = 0;
    std::string indent1_;
    std::string indent2_;
    int columnsPerGroup_ = 1;
    int groups_ = 0;
    int lineHeight_ = 1;
    int y_ = 0;
    int bottom_ = 0;
    int pageNumber_ = 0;
    bool firstPageDone_ = false;

    int firstColumn_ = 0;
    int lastColumn_ = -1;
    bool lastGroup_ = false;
    std::vector<double> yearSubtotals_;
    std::vector<double> monthSubtotals_;
    std::vector<double> yearRunning_;   // by year counter, across the groups
    std::vector<double> monthRunning_;  // by month counter
    int yearCounter_ = 1;
    int monthCounter_ = 1;
    int currentYear_ = 0;   // years since 1980
    int currentMonth_ = 0;  // kind D: month and two-digit calendar year of the rows being summed
    int currentMonthYear_ = 0;
    int yearRowsOnPage_ = 0;
};
