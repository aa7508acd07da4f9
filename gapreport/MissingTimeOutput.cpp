#include "gapreport/MissingTimeOutput.h"

#include <algorithm>

#include "gapreport/MissingTimeu.h"
#include "gapreport/ReportBinU.h"
#include "gapreport/ReportViewer.h"
#include "hostdata/BFilesU2.h"
#include "hostdata/OVWCon.h"
#include "rtl/DateFormat.h"
#include "rtl/DateTime.h"
#include "rtl/FileUtils.h"
#include "rtl/Format.h"
#include "rtl/IntConv.h"
#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"
#include "vcl/Printers.h"

namespace {

const std::string Title = "ORDAVANE   Employees' Missing Time Report";
const std::string RowPrefix(12, ' ');
const std::string ColumnRule = "--------- ";
const std::string Underline = "=========";
const std::string TotalForAll = "Total for all employees ";
const std::string TotalColumnHead = "     Total";
const char* const MonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr Integer HostBaseYear = 1980;
constexpr Byte EmployeeFile = 3;
constexpr size_t EmployeeCodeOffset = 4;
constexpr size_t EmployeeCodeLength = 4;
constexpr size_t InactiveFlagOffset = 68;
constexpr size_t FirstNameOffset = 11;
constexpr size_t FirstNameLength = 15;
constexpr size_t LastNameOffset = 26;
constexpr size_t LastNameLength = 20;

std::string Blanks(int count)
{
    return std::string(size_t(std::max(0, count)), ' ');
}

std::string HoursText(double value)
{
    return Format("%9n", {value});
}

std::string RecordText(const TDynCharArr& record, size_t offset, size_t length)
{
    if (record.size() < offset + length) return "";
    return std::string(record.begin() + offset, record.begin() + offset + length);
}

// A two-digit calendar year: 2000 on below 80, else the 1900s.
Integer FourDigitYear(Integer year)
{
    return year < 80 ? 2000 + year : 1900 + year;
}

}  // namespace

TMissingTimeOutput::TMissingTimeOutput(TMissingTimef& form)
        : form_(form), timekeepers_(form.Hours.TimekeeperCount()),
          columnCount_(timekeepers_ + (timekeepers_ > 1 ? 1 : 0)), toPrinter_(form.ToPrinter),
          toScreen_(!form.ToPrinter && Copy(form.Parameters.FileNameS, 1, 4) == "NONE"),
          screenName_(form.Parameters.FileName)
{
}

void TMissingTimeOutput::PrintOut(TStringList* noTimeList)
{
    if (!(toPrinter_ ? PrintSetUp() : PrintToFileSetUp())) return;
    bool completed = false;
    try {
        WriteReport(noTimeList);
        completed = true;
    } catch (const Exception& e) {
        // A host file that cannot be opened has told so and ends the program.
        if (!Application->Terminated()) ReportFailure(e.Message());
    }
    if (toPrinter_) {
        if (completed) {
            Printer()->EndDoc();
        } else {
            Printer()->Abort();
        }
    } else {
        file_.close();
    }
    if (toScreen_) StartReportViewer(ViewerCommand(ProgramDirectory, DataDirectory, screenName_));
}

void TMissingTimeOutput::ReportFailure(const std::string& message)
{
    MessageDlg("Ordavane was unable to complete the printing of your report.\r\r"
               "The following error was encountered:\r\r" +
                       message + CallForAssistanceSuffix,
               mtError, TMsgDlgButtons{mbOK}, 0);
}

// ---- set-up

const std::vector<std::string>& TMissingTimeOutput::GetWindowsPrinters()
{
    if (printersRead_) return printers_;
    printersRead_ = true;
    for (const std::string& name : Printer()->Printers()) {
        const auto on = name.find(" on ", 1);
        printers_.push_back(on == std::string::npos ? name : name.substr(0, on));
    }
    if (printers_.empty()) {
        ShowMessage("You have no windows printers!\r\r"
                    "You must have at least one windows printer in order to print ORDAVANE reports.");
    }
    return printers_;
}

void TMissingTimeOutput::ResetPrinter()
{
    TPrinter* printer = Printer();
    printer->SetPrinterIndex(printer->PrinterIndex());
}

bool TMissingTimeOutput::PrintSetUp()
{
    const std::vector<std::string>& names = GetWindowsPrinters();
    if (names.empty()) return false;
    ResetPrinter();
    TPrinter* printer = Printer();
    printer->SetPrinterIndex(-1);
    const auto named = std::find(names.begin(), names.end(), form_.Parameters.PrinterName);
    if (named != names.end()) printer->SetPrinterIndex(Integer(named - names.begin()));

    const bool portrait = form_.Parameters.PrintSize == "R";
    printer->SetOrientation(portrait ? poPortrait : poLandscape);
    printer->BeginDoc();
    TCanvas* canvas = printer->Canvas();
    const Integer fontHeight = MulDiv(GetDeviceCaps(printer->Handle(), LOGPIXELSY), portrait ? 12 : 8, 72);
    canvas->Font()->SetName("Courier New");
    canvas->Font()->SetPitch(fpFixed);  // where that face is missing, another fixed-pitch one keeps the columns
    canvas->Font()->SetHeight(fontHeight);

    const int characters = printer->PageWidth() / std::max(1, canvas->TextWidth("M"));
    width_ = characters - 10;
    indent1_ = Blanks(characters / 2 - 27);
    indent2_ = width_ - 5 >= characters / 2 + 22 ? Blanks(width_ - characters / 2 - 26) : "";
    SetColumnsPerGroup();
    const Integer pageLength = form_.Parameters.PageLength;
    lineHeight_ = std::max(fontHeight, pageLength > 0 ? printer->PageHeight() / pageLength : 0);
    bottom_ = printer->PageHeight() - 4 * lineHeight_;
    return true;
}

bool TMissingTimeOutput::PrintToFileSetUp()
{
    if (toScreen_) {
        const std::string source = DataDirectory + "\\" + Copy(screenName_, 1, 8);
        outputFile_ = source + "." + Copy(screenName_, 7, 2);
        MoveFileA(source.c_str(), outputFile_.c_str());  // the host may have left nothing to rename
    } else {
        outputFile_ = form_.Parameters.FileNameS;
    }
    const auto mode = FileExists(outputFile_) ? std::ios::app : std::ios::trunc;
    file_.open(outputFile_, std::ios::out | std::ios::binary | mode);
    if (!file_.is_open()) {
        MessageDlg("Ordavane was unable to access the file " + outputFile_ +
                           ".\rYou may retry your operation by printing to the printer." + CallForAssistanceSuffix,
                   mtError, TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    const bool narrow = form_.Parameters.PrintSize == "R";
    width_ = narrow ? 75 : 100;
    indent1_ = Blanks(narrow ? 15 : 28);
    indent2_ = Blanks(narrow ? 5 : 22);
    SetColumnsPerGroup();
    lineHeight_ = 1;
    bottom_ = form_.Parameters.PageLength - 3;
    return true;
}

void TMissingTimeOutput::SetColumnsPerGroup()
{
    columnsPerGroup_ = std::max(1, width_ / 10 - 1);
    groups_ = (columnCount_ + columnsPerGroup_ - 1) / columnsPerGroup_;
    pageNumber_ = 0;
    y_ = 0;
}

// ---- lines and pages

void TMissingTimeOutput::PrintLine(const std::string& text, int extra)
{
    const std::string line = "     " + text;
    if (toPrinter_) {
        Printer()->Canvas()->TextOut(0, y_, line);
        y_ += lineHeight_ * (extra + 1);
        return;
    }
    file_ << line << "\r\n";
    for (int i = 0; i < extra; ++i) file_ << " \r\n";
    y_ += 1 + extra;
    if (!file_) throw EInOutError("Unable to write to " + outputFile_ + ".");
}

void TMissingTimeOutput::PrinterNewPage()
{
    ++pageNumber_;
    if (firstPageDone_) {
        if (toPrinter_) Printer()->NewPage();
        y_ = 0;
        PrintLine("", 3);
        PrintLine(indent1_ + Title + indent2_ + "pg " + IntToStr(pageNumber_));
    } else {
        if (toScreen_) PrintLine("");
        y_ = 0;
        firstPageDone_ = true;
        PrintLine("", 3);
        PrintLine(indent1_ + Title);
    }
    PrintLine(indent1_ + "From " + form_.StartDateText + " to " + form_.EndDateText + "    Run on " +
              form_.RunDateText + " at " + form_.RunTimeText);
    PrintLine(indent1_ + form_.EmployeeHeading, 1);
    PrintLine(ColumnHeads(), 1);
    yearRowsOnPage_ = 0;
}

void TMissingTimeOutput::KeepLinesTogether(int lines)
{
    if (bottom_ < y_ + lines * lineHeight_) PrinterNewPage();
}

std::string TMissingTimeOutput::ColumnHeads() const
{
    std::string heads = RowPrefix;
    const std::vector<std::string>& names = form_.Hours.ColumnNames();
    for (int column = firstColumn_; column <= lastColumn_; ++column) {
        if (IsTotalColumn(column)) return heads + TotalColumnHead;
        heads += Blanks(column == firstColumn_ ? 5 : 6) + Format("%-4s", {names[size_t(column)]});
    }
    return heads;
}

bool TMissingTimeOutput::IsTotalColumn(int column) const
{
    return timekeepers_ > 1 && column == timekeepers_;
}

bool TMissingTimeOutput::IsTimekeeperColumn(int column) const
{
    return !IsTotalColumn(column);
}

std::string TMissingTimeOutput::RuleLine(bool timekeepersOnly) const
{
    std::string line = RowPrefix;
    for (int column = firstColumn_; column <= lastColumn_; ++column) {
        if (!timekeepersOnly || IsTimekeeperColumn(column)) line += ColumnRule;
    }
    return line;
}

// ---- body

void TMissingTimeOutput::WriteReport(TStringList* noTimeList)
{
    yearSubtotals_.assign(size_t(columnCount_), 0);
    monthSubtotals_.assign(size_t(columnCount_), 0);
    for (int group = 1; group <= groups_; ++group) WriteGroup(group);
    WriteGrandTotal();
    AddActiveTimekeepersWithoutTime(noTimeList);
    WriteNoTimeList(noTimeList);
}

void TMissingTimeOutput::WriteGroup(int group)
{
    firstColumn_ = (group - 1) * columnsPerGroup_;
    lastColumn_ = std::min(group * columnsPerGroup_ - 1, columnCount_ - 1);
    lastGroup_ = group == groups_;
    currentYear_ = StrToIntDef(Copy(form_.Parameters.StartDate, 1, 2), 0);
    yearCounter_ = monthCounter_ = 1;
    PrinterNewPage();
    for (int row = 0; row < form_.Rows.Count(); ++row) WriteRow(row);
    switch (form_.Rows.Kind()) {
    case TPeriodKind::Month:
    case TPeriodKind::Quarter: PrintYearTotals(); break;
    case TPeriodKind::Day: PrintMonthTotals(); break;
    default: break;
    }
    WriteGroupFooter();
}

void TMissingTimeOutput::WriteRow(int row)
{
    const TPeriodKind kind = form_.Rows.Kind();
    const TDateTime day = form_.StartDate + row;
    if (kind == TPeriodKind::Day) {
        Word year, month, dayOfMonth;
        DecodeDate(day, year, month, dayOfMonth);
        if (row == 0) {
            currentMonth_ = month;
            currentMonthYear_ = year % 100;
        } else if (month != currentMonth_ || year % 100 != currentMonthYear_) {
            PrintMonthTotals();
        }
    } else if (kind == TPeriodKind::Month || kind == TPeriodKind::Quarter) {
        if (StrToIntDef(form_.Rows.Keys()[size_t(row)].substr(0, 2), 0) != currentYear_) PrintYearTotals();
    }

    std::string line = RowLabel(row);
    std::vector<double>& subtotals = kind == TPeriodKind::Day ? monthSubtotals_ : yearSubtotals_;
    for (int column = firstColumn_; column <= lastColumn_; ++column) {
        const double hours = form_.Hours.Cell(column + 1, row);
        line += HoursText(hours) + " ";
        subtotals[size_t(column)] += hours;
        form_.ProgressBar1->SetPosition(row * column);
    }
    if (kind == TPeriodKind::Unknown) return;
    if (y_ >= bottom_) PrinterNewPage();
    if (kind == TPeriodKind::Year) {
        const int before = yearRowsOnPage_++;
        if (yearRowsOnPage_ > 3 && before % 5 == 0) PrintLine(" ");
    }
    PrintLine(line, kind == TPeriodKind::Day && DayOfWeek(day) == 1 ? 1 : 0);
}

// "ddd mm/dd/yy" (day first for the host's "D"), "Jan 2024", "Q1 24" or "2024", blank-filled to 12.
std::string TMissingTimeOutput::RowLabel(int row) const
{
    const TPeriodKind kind = form_.Rows.Kind();
    if (kind == TPeriodKind::Day) {
        return FormatDateTime(SysopDateFormat == "D" ? "ddd dd/mm/yy" : "ddd mm/dd/yy", form_.StartDate + row);
    }
    const std::string& key = form_.Rows.Keys()[size_t(row)];
    const Integer year = StrToIntDef(key.substr(0, 2), 0) + HostBaseYear;
    const Integer month = StrToIntDef(key.substr(2, 2), 1);
    switch (kind) {
    case TPeriodKind::Month: return std::string(MonthNames[month - 1]) + " " + IntToStr(year) + Blanks(4);
    case TPeriodKind::Quarter:
        return "Q" + IntToStr((month - 1) / 3 + 1) + " " + Copy(IntToStr(year), 3, 2) + Blanks(7);
    default: return IntToStr(year) + Blanks(8);
    }
}

void TMissingTimeOutput::PrintYearTotals()
{
    StartTotalsBlock();
    EndTotalsBlock("Tot " + IntToStr(currentYear_ + HostBaseYear) + Blanks(4), yearSubtotals_, yearRunning_,
                   yearCounter_);
    ++currentYear_;
    ++yearCounter_;
}

void TMissingTimeOutput::PrintMonthTotals()
{
    StartTotalsBlock();
    EndTotalsBlock("Tot " + std::string(MonthNames[currentMonth_ - 1]) + " " +
                           IntToStr(FourDigitYear(currentMonthYear_)),
                   monthSubtotals_, monthRunning_, monthCounter_);
    if (++currentMonth_ > 12) {
        currentMonth_ = 1;
        currentMonthYear_ = (currentMonthYear_ + 1) % 100;
    }
    ++monthCounter_;
}

void TMissingTimeOutput::StartTotalsBlock()
{
    KeepLinesTogether(3);
    PrintLine(RuleLine(false));
}

// The label, the group's timekeeper subtotals (then cleared) and, on the last group of a report with more than two
// timekeepers, the running subtotal of all of them; then the closing rule.
void TMissingTimeOutput::EndTotalsBlock(const std::string& label, std::vector<double>& subtotals,
                                        std::vector<double>& running, int index)
{
    std::string line = label;
    double sum = 0;
    for (int column = firstColumn_; column <= lastColumn_; ++column) {
        if (IsTimekeeperColumn(column)) {
            line += HoursText(subtotals[size_t(column)]) + " ";
            sum += subtotals[size_t(column)];
        }
        subtotals[size_t(column)] = 0;
    }
    if (running.size() <= size_t(index)) running.resize(size_t(index) + 1, 0);
    running[size_t(index)] += sum;
    if (lastGroup_ && timekeepers_ > 2) line += HoursText(running[size_t(index)]);
    PrintLine(line);
    PrintLine(RuleLine(false));
}

void TMissingTimeOutput::WriteGroupFooter()
{
    KeepLinesTogether(3);
    PrintLine(RuleLine(true));
    std::string totals = RowPrefix;
    for (int column = firstColumn_; column <= lastColumn_; ++column) {
        if (IsTimekeeperColumn(column)) totals += HoursText(form_.Hours.TimekeeperTotal(column + 1)) + " ";
    }
    PrintLine(totals);
    PrintLine(RuleLine(false));
}

// ---- after the groups

void TMissingTimeOutput::WriteGrandTotal()
{
    if (timekeepers_ < 2) return;
    KeepLinesTogether(3);
    PrintLine("");
    const int ruleLength = int(RuleLine(true).size());
    const std::string indent = ruleLength < 25 ? "" : Blanks(ruleLength - 24);
    PrintLine(indent + TotalForAll + HoursText(form_.Hours.GrandTotal()));
    PrintLine(indent + "(" + form_.StartDateText + " - " + form_.EndDateText + ")   " + Underline);
}

void TMissingTimeOutput::AddActiveTimekeepersWithoutTime(TStringList* noTimeList)
{
    const std::vector<std::string>& names = form_.Hours.ColumnNames();
    OpenHostFileByNumber(EmployeeFile);
    try {
        TOVFileStructure& employees = *HostFileSlot(EmployeeFile).Structure;
        for (employees.GetFirst(); !employees.GetEndOfFile(); employees.GetNext()) {
            const TDynCharArr& record = employees.GetBuffer();
            const std::string code = Trim(RecordText(record, EmployeeCodeOffset, EmployeeCodeLength));
            const bool hasColumn = std::any_of(names.begin(), names.end(),
                                               [&](const std::string& name) { return Trim(name) == code; });
            if (!hasColumn && record[InactiveFlagOffset] != 'N') noTimeList->Add(Format("%-4s", {code}));
        }
    } catch (const Exception&) {
        CloseHostFile(EmployeeFile);
        throw;
    }
    CloseHostFile(EmployeeFile);
}

void TMissingTimeOutput::WriteNoTimeList(TStringList* noTimeList)
{
    if (noTimeList->Count() == 0) return;
    KeepLinesTogether(5);
    PrintLine("");
    PrintLine("The following active timekeepers had no time within the date range specified:", 1);
    for (Integer i = 0; i < noTimeList->Count(); ++i) {
        KeepLinesTogether(3);
        const std::string& code = noTimeList->Strings(i);
        PrintLine("    " + code + " " + GetEmployeeName(code));
    }
}

std::string TMissingTimeOutput::GetEmployeeName(const std::string& code)
{
    TDynCharArr record;
    if (!ReadEmployeeRecord(code, record)) return "Name not found";
    const std::string first = Trim(RecordText(record, FirstNameOffset, FirstNameLength));
    const std::string last = Trim(RecordText(record, LastNameOffset, LastNameLength));
    return first.empty() ? last : first + " " + last;
}
