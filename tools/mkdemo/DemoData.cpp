#include "tools/mkdemo/DemoData.h"

#include <cmath>
#include <fstream>
#include <stdexcept>
#include <map>
#include <vector>

#include "rtl/DateTime.h"
#include "tools/mkdemo/HostDataDir.h"

namespace {

constexpr int ClientCodeWidth = 7;
constexpr int SuffixWidth = 7;

struct TDemoClient {
    std::string Code;
    std::string LastName;
    std::string FirstName;
    std::string City;
    bool Active;
};

struct TDemoCase {
    std::string Client;
    std::string Suffix;
    std::string AlternateId;
    std::string Description;
    std::string Attorney;
    int OpenedDaysAgo;
    int ClosedDaysAgo;  // 0: open
};

struct TDemoEmployee {
    std::string Code;
    std::string FirstName;
    std::string LastName;
    std::string Dept;
    double Rate;
    bool Active;
    bool RecordsCurrentTime;
    bool RecordsHistoryTime;
};

// A bill of one case: its age, amounts and how much of it was paid.
struct TDemoBill {
    std::string Client;
    std::string Suffix;
    int DaysAgo;
    double Fees;
    double DirectCosts;
    double IndirectCosts;
    double PaidShare;  // 0 to 1
    bool History;
};

const std::vector<TDemoClient> Clients = {
    {"ACME", "Acme Tooling Co.", "", "Springfield", true},
    {"BARR", "Barrington", "Helen", "Riverton", true},
    {"CASTLE", "Castlemoor Holdings", "", "Lakeside", true},
    {"DELGADO", "Delgado", "Ramon", "Springfield", true},
    {"ELM", "Elm Street Bakery", "", "Riverton", true},
    {"FOSTER", "Foster", "Grace", "Hillcrest", false},
    {"GRANT", "Grant & Sons Ltd.", "", "Lakeside", false},
    {"HALE", "Hale", "Victor", "Hillcrest", true},
};

const std::vector<TDemoCase> Cases = {
    {"ACME", "1", "ACME-GEN", "General corporate matters", "JRS", 900, 0},
    {"ACME", "2", "ACME-LEASE-2", "Warehouse lease dispute", "MKL", 400, 0},
    {"ACME", "10", "PAT-4471", "Patent application 4471", "JRS", 200, 0},
    {"BARR", "1", "", "Estate of A. Barrington", "MKL", 500, 0},
    {"CASTLE", "1", "CM-ACQ", "Acquisition of Northgate Mall", "JRS", 700, 0},
    {"CASTLE", "2", "CM-ZONING", "Zoning variance", "ABW", 300, 0},
    {"CASTLE", "3", "", "Tenant collections", "ABW", 250, 0},
    {"DELGADO", "1", "DEL-2024-17", "Personal injury claim", "MKL", 450, 0},
    {"ELM", "1", "", "Franchise agreement", "JRS", 120, 0},
    {"FOSTER", "1", "", "Real estate closing", "MKL", 800, 600},
    {"GRANT", "1", "GS-EMP", "Employment matters", "JRS", 1000, 0},
    {"HALE", "1", "", "Divorce proceedings", "MKL", 150, 0},
    {"HALE", "12", "HALE-TRUST", "Family trust", "JRS", 90, 0},
};

const std::vector<TDemoEmployee> Employees = {
    {"JRS", "James", "Rowan", "LT", 275.0, true, true, true},
    {"MKL", "Maria", "Kessler", "LT", 210.0, true, true, true},
    {"ABW", "Alan", "Brandt-White", "RE", 120.0, true, true, true},
    {"SAH", "Sam", "Hollis", "RE", 180.0, true, false, true},
    {"TLP", "Tessa", "Pryor", "LT", 190.0, true, false, false},
    {"DNC", "Dana", "Colvin", "CO", 95.0, false, false, false},
};

// Bills aged into every bucket: under 30, 31-60, 61-90, 91-120 and over 120 days; history bills are paid.
const std::vector<TDemoBill> Bills = {
    {"ACME", "1", 12, 3250.00, 120.50, 35.00, 0.0, false},
    {"ACME", "1", 44, 2890.00, 0.00, 22.40, 0.5, false},
    {"ACME", "2", 73, 1575.00, 310.00, 0.00, 0.0, false},
    {"ACME", "10", 102, 4200.00, 650.00, 48.00, 0.25, false},
    {"BARR", "1", 163, 980.00, 45.00, 0.00, 0.0, false},
    {"CASTLE", "2", 20, 1860.00, 0.00, 14.00, 0.0, false},
    {"CASTLE", "3", 131, 640.00, 85.00, 0.00, 0.1, false},
    {"DELGADO", "1", 35, 1260.00, 0.00, 0.00, 0.0, false},
    {"DELGADO", "1", 66, 1470.00, 240.00, 12.00, 0.0, false},
    {"DELGADO", "1", 96, 2100.00, 0.00, 18.00, 0.0, false},
    {"GRANT", "1", 210, 530.00, 0.00, 0.00, 0.0, false},
    {"HALE", "1", 5, 1890.00, 60.00, 0.00, 0.0, false},
    {"ACME", "1", 230, 5120.00, 210.00, 40.00, 1.0, true},
    {"CASTLE", "1", 260, 8800.00, 1240.00, 96.00, 1.0, true},
    {"ELM", "1", 95, 720.00, 0.00, 0.00, 1.0, true},
    {"FOSTER", "1", 640, 2450.00, 380.00, 20.00, 1.0, true},
};

// Unapplied retainer payments (no invoice), stored negative.
const std::vector<std::pair<std::string, double>> Retainers = {{"HALE", 1500.00}, {"DELGADO", 750.00}};

struct TNote {
    std::string Client;
    std::string Suffix;
    std::vector<std::string> Lines;  // none: the account carries only a marker
};

const std::vector<TNote> Notes = {
    {"ACME", "1",
     {"Called accounts payable; invoice was sent to the wrong office.",
      "Resent invoice to Springfield office, attention M. Ortiz.",
      "Promised payment by the end of the month."}},
    {"BARR", "", {"Client traveling; executor to settle after probate closes.", "Sent second reminder letter."}},
    {"CASTLE", "3", {}},
    {"DELGADO", "1",
     {"Settlement expected next quarter; client asks to defer payment.", "Agreed to monthly payments of $500.",
      "First monthly payment missed.", "Left voice mail.", "Payment plan confirmed in writing."}},
    {"GRANT", "1", {}},
};

const char* const NoteSequence = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// A deterministic sequence for the fee entries, so every run makes the same data.
class TDemoRandom {
public:
    unsigned Next(unsigned range)
    {
        state_ = state_ * 1103515245u + 12345u;
        return (state_ >> 16) % range;
    }

private:
    unsigned state_ = 20240601u;
};

class TDemoMaker {
public:
    TDemoMaker(THostDataDir& dir, TDateTime today) : dir_(dir), today_(std::floor(today)) {}

    void Make()
    {
        MakeEmptyFiles();
        WriteSystemOptions();
        WriteEmployees();
        WriteCodeTables();
        WriteClients();
        WriteFees();
        WriteBills();
        WriteCases();
        WriteNotes();
        WriteReportData();
        dir_.CloseFiles();
    }

private:
    struct TCaseTotals {
        double Fees = 0, FeeHours = 0, DirectCosts = 0, IndirectCosts = 0;
        double FeeBillings = 0, DcBillings = 0, IcBillings = 0, FeePayments = 0;
        std::string LastPayment;
    };

    std::string HostDate(int daysAgo) const
    {
        Word year, month, day;
        DecodeDate(today_ - daysAgo, year, month, day);
        return HostDateOf(year, month, day);
    }

    static bool IsWeekend(TDateTime date)
    {
        const Word weekday = DayOfWeek(date);
        return weekday == 1 || weekday == 7;
    }

    static std::string CaseKey(const std::string& client, const std::string& suffix) { return client + "/" + suffix; }

    THostRecord Record(const std::string& file) const { return dir_.NewRecord(file); }

    void MakeEmptyFiles()
    {
        for (const char* file : {"Sysop.qc", "yempl.qf", "ytable.qf", "yclient.qf", "ClntSave.qf", "ycase.qf",
                                 "casesave.qf", "fee.qf", "hfee.qf", "bill.qf", "hbill.qf", "note.qf",
                                 DemoReportDataFile}) {
            dir_.MakeFile(file);
        }
    }

    void WriteSystemOptions()
    {
        THostRecord options = Record("Sysop.qc");
        options.Set("DateFmt", "M").Set("CaseID", "C").Set("UniqueCaseSuffix", "N").Set("AltIDCap", "Y");
        options.Set("DispOpen", "Y").Set("ExitRemind", "N").Set("MaxChar", "078");
        dir_.Insert("Sysop.qc", options);
    }

    void WriteEmployees()
    {
        for (const TDemoEmployee& employee : Employees) {
            THostRecord record = Record("yempl.qf");
            record.Set("Employee Code", employee.Code)
                    .Set("CAP Last Name", employee.LastName.substr(0, 3))
                    .Set("Employee First Name", employee.FirstName)
                    .Set("Employee Last Name", employee.LastName)
                    .Set("Employee Dept", employee.Dept)
                    .Set("Employee Class", employee.Rate > 150 ? "AT" : "PL")
                    .Set("String Hire Date", HostDate(2000))
                    .SetDecimal("Budget $", employee.Rate * 1500)
                    .SetDecimal("Budget Hours", 1500)
                    .Set("Unassigned", employee.Active ? "" : "N");
            Word year, month, day;
            DecodeDate(today_ - 2000, year, month, day);
            record.SetDate("Btrieve Hire Date", year, month, day);
            dir_.Insert("yempl.qf", record);
        }
    }

    void WriteCodeTables()
    {
        const struct {
            const char* List;
            const char* Code;
            const char* Description;
        } codes[] = {
            {"O", "01", "Main office"},          {"O", "02", "Riverton branch"},
            {"L", "CO", "Corporation"},          {"L", "IN", "Individual"},
            {"L", "ES", "Estate"},               {"A", "LT", "Litigation"},
            {"A", "RE", "Real estate"},          {"A", "PR", "Probate"},
            {"A", "IP", "Intellectual property"}, {"D", "LT", "Litigation department"},
            {"D", "RE", "Real estate department"}, {"D", "CO", "Corporate department"},
            {"S", "01", "Thank you for your prompt payment."},
            {"S", "02", "Your account is past due. Please remit promptly."},
        };
        for (const auto& code : codes) {
            THostRecord record = Record("ytable.qf");
            record.Set("type code", code.List).Set("code", code.Code).Set("Description", code.Description);
            dir_.Insert("ytable.qf", record);
        }
    }

    void WriteClients()
    {
        for (const TDemoClient& client : Clients) {
            THostRecord record = Record("yclient.qf");
            record.Set("Client Code", client.Code)
                    .Set("First 6 Last Name", client.LastName.substr(0, 6))
                    .Set("Client First Name", client.FirstName)
                    .Set("Client Last Name", client.LastName)
                    .Set("Address Line 1", "100 Main Street")
                    .Set("City", client.City)
                    .Set("State Zip Country", "ST 00000")
                    .Set("Phone 1", "555-0100")
                    .Set("Office Code", "01")
                    .Set("Client Type 1", client.FirstName.empty() ? "CO" : "IN")
                    .Set("Unassigned", client.Active ? "000000" : "800000");
            dir_.Insert("yclient.qf", record);
        }
    }

    const TDemoCase* CaseOfClient(const std::string& client, unsigned pick) const
    {
        std::vector<const TDemoCase*> open;
        for (const TDemoCase& c : Cases) {
            if (c.Client == client && c.ClosedDaysAgo == 0) open.push_back(&c);
        }
        return open.empty() ? nullptr : open[pick % open.size()];
    }

    void InsertFee(const std::string& file, const TDemoCase& c, const TDemoEmployee& employee, int daysAgo,
                   double hours, const std::string& invoice)
    {
        const double amount = std::round(hours * employee.Rate * 100) / 100;
        THostRecord fee = Record(file);
        fee.Set("Client Code", c.Client)
                .Set("Case Suffix", RightJustified(c.Suffix, SuffixWidth))
                .Set("Type", "F")
                .Set("Transaction Date", HostDate(daysAgo))
                .Set("Employee Code", employee.Code)
                .Set("Entry Date", HostDate(daysAgo))
                .SetDecimal("Actual Hours", hours)
                .SetDecimal("Actual $", amount)
                .Set("Bill Enp Code", employee.Code)
                .SetDecimal("Billable Hours", hours)
                .SetDecimal("Billable $", amount)
                .Set("Invoice Number", invoice);
        dir_.Insert(file, fee);
        TCaseTotals& totals = totals_[CaseKey(c.Client, c.Suffix)];
        totals.Fees += amount;
        totals.FeeHours += hours;
    }

    void InsertCost(const TDemoCase& c, int daysAgo, const std::string& subType, double amount)
    {
        THostRecord cost = Record("fee.qf");
        cost.Set("Client Code", c.Client)
                .Set("Case Suffix", RightJustified(c.Suffix, SuffixWidth))
                .Set("Type", "C")
                .Set("Sub Type", subType)
                .Set("Transaction Date", HostDate(daysAgo))
                .Set("Employee Code", c.Attorney)
                .Set("Entry Date", HostDate(daysAgo))
                .SetDecimal("Actual $", amount)
                .Set("Bill Enp Code", c.Attorney)
                .SetDecimal("Billable $", amount);
        dir_.Insert("fee.qf", cost);
        TCaseTotals& totals = totals_[CaseKey(c.Client, c.Suffix)];
        (subType == "D" ? totals.DirectCosts : totals.IndirectCosts) += amount;
    }

    void InsertTrust(const TDemoCase& c, int daysAgo, double amount)
    {
        THostRecord trust = Record("fee.qf");
        trust.Set("Client Code", c.Client)
                .Set("Case Suffix", RightJustified(c.Suffix, SuffixWidth))
                .Set("Type", "T")
                .Set("Transaction Date", HostDate(daysAgo))
                .Set("Entry Date", HostDate(daysAgo))
                .SetDecimal("Actual $", amount)
                .SetDecimal("Billable $", amount);
        dir_.Insert("fee.qf", trust);
    }

    // Work days of the last 75 days are unbilled time in fee.qf; older ones, back to a year, billed time in hfee.qf.
    void WriteFees()
    {
        static const char* const activeClients[] = {"ACME", "CASTLE", "DELGADO", "HALE", "ELM", "BARR"};
        for (int daysAgo = 1; daysAgo <= 365; ++daysAgo) {
            if (IsWeekend(today_ - daysAgo)) continue;
            const bool history = daysAgo > 75;
            for (const TDemoEmployee& employee : Employees) {
                if (!(history ? employee.RecordsHistoryTime : employee.RecordsCurrentTime)) continue;
                if (random_.Next(3) == 0) continue;
                const TDemoCase* c = CaseOfClient(activeClients[random_.Next(6)], random_.Next(5));
                const double hours = 0.25 * (1 + random_.Next(24));
                InsertFee(history ? "hfee.qf" : "fee.qf", *c, employee, daysAgo, hours,
                          history ? InvoiceNumber(900 + daysAgo / 30) : "");
            }
        }
        InsertCost(Cases[0], 8, "D", 245.00);
        InsertCost(Cases[0], 21, "I", 18.40);
        InsertCost(Cases[5], 33, "D", 1200.00);
        InsertCost(Cases[7], 14, "I", 62.75);
        InsertTrust(Cases[11], 30, 2500.00);
    }

    static std::string InvoiceNumber(int number)
    {
        const std::string digits = std::to_string(number);
        return std::string(8 - digits.size(), '0') + digits;
    }

    THostRecord BillRecord(const std::string& file, const TDemoBill& bill, const std::string& type, int daysAgo,
                           const std::string& invoice)
    {
        THostRecord record = Record(file);
        record.Set("Client Code", bill.Client)
                .Set("Case Suffix", RightJustified(bill.Suffix, SuffixWidth))
                .Set("Type", type)
                .Set("Transaction Date", HostDate(daysAgo))
                .Set("Sys\\Cut Date", HostDate(daysAgo))
                .Set("Status", "")
                .Set("Invoice Number", invoice);
        return record;
    }

    void WriteBill(const TDemoBill& bill, const std::string& invoice)
    {
        const std::string file = bill.History ? "hbill.qf" : "bill.qf";
        THostRecord billed = BillRecord(file, bill, "B", bill.DaysAgo, invoice);
        billed.SetDecimal("Fees", bill.Fees).SetDecimal("Direct Costs", bill.DirectCosts);
        billed.SetDecimal("Indirect Costs", bill.IndirectCosts);
        dir_.Insert(file, billed);
        TCaseTotals& totals = totals_[CaseKey(bill.Client, bill.Suffix)];
        totals.FeeBillings += bill.Fees;
        totals.DcBillings += bill.DirectCosts;
        totals.IcBillings += bill.IndirectCosts;
        if (bill.PaidShare <= 0) return;

        const int paidDaysAgo = bill.DaysAgo > 20 ? bill.DaysAgo - 18 : 1;
        const double paidFees = std::round(bill.Fees * bill.PaidShare * 100) / 100;
        THostRecord payment = BillRecord(file, bill, "P", paidDaysAgo, invoice);
        payment.SetDecimal("Fees", -paidFees);
        if (bill.PaidShare >= 1) {
            payment.SetDecimal("Direct Costs", -bill.DirectCosts).SetDecimal("Indirect Costs", -bill.IndirectCosts);
        }
        dir_.Insert(file, payment);
        totals.FeePayments += paidFees;
        const std::string paidOn = HostDate(paidDaysAgo);
        if (paidOn > totals.LastPayment) totals.LastPayment = paidOn;
    }

    void WriteBills()
    {
        int invoice = 1001;
        for (const TDemoBill& bill : Bills) WriteBill(bill, InvoiceNumber(invoice++));
        for (const auto& [client, amount] : Retainers) {
            const TDemoCase* c = CaseOfClient(client, 0);
            TDemoBill retainer{client, c->Suffix, 0, 0, 0, 0, 0, false};
            THostRecord payment = BillRecord("bill.qf", retainer, "P", 9, "");
            payment.SetDecimal("Retainer", -amount);
            dir_.Insert("bill.qf", payment);
        }
    }

    void WriteCases()
    {
        for (const TDemoCase& c : Cases) {
            const TCaseTotals& totals = totals_[CaseKey(c.Client, c.Suffix)];
            const std::string client = LeftJustified(c.Client, ClientCodeWidth);
            THostRecord record = Record("ycase.qf");
            record.Set("Client Code", c.Client)
                    .Set("Case Suffix", RightJustified(c.Suffix, SuffixWidth))
                    .Set("Alternate ID", c.AlternateId)
                    .Set("Description Line 1", c.Description)
                    .Set("Resp Atty 1", c.Attorney)
                    .Set("Department Code", "LT")
                    .Set("Case Type 1", "LT")
                    .Set("Case Status 1", c.ClosedDaysAgo ? "C" : "")
                    .Set("LeftJustCaseSuffix", c.Suffix)
                    .Set("First 10 Client Last", ClientOf(c.Client).LastName.substr(0, 10))
                    .Set("Date Opened", HostDate(c.OpenedDaysAgo))
                    .Set("Date Last Update", HostDate(1))
                    .Set("Date Last Payment", totals.LastPayment)
                    .Set("Date Closed", c.ClosedDaysAgo ? HostDate(c.ClosedDaysAgo) : "")
                    .SetDecimal("CTD act fees", totals.Fees)
                    .SetDecimal("CTD dir cost", totals.DirectCosts)
                    .SetDecimal("CTD indirect cost", totals.IndirectCosts)
                    .SetDecimal("CTD fee billings", totals.FeeBillings)
                    .SetDecimal("CTD DC Billings", totals.DcBillings)
                    .SetDecimal("CTD IC Billings", totals.IcBillings)
                    .SetDecimal("CTD fee payments", -totals.FeePayments)
                    .SetDecimal("CTD fee hours", totals.FeeHours)
                    .Set("CaseClient", LeftJustified(c.Suffix, SuffixWidth) + client)
                    .Set("RJCaseClient", RightJustified(c.Suffix, SuffixWidth) + client);
            dir_.Insert("ycase.qf", record);
        }
    }

    static const TDemoClient& ClientOf(const std::string& code)
    {
        for (const TDemoClient& client : Clients) {
            if (client.Code == code) return client;
        }
        return Clients.front();
    }

    void InsertNote(const TNote& note, char sequence, const std::string& text)
    {
        THostRecord record = Record("note.qf");
        record.Set("ClientCode", note.Client)
                .Set("CaseSuffix", note.Suffix)
                .Set("NoteNumber", std::string(1, sequence))
                .Set("Note", text);
        dir_.Insert("note.qf", record);
    }

    void WriteNotes()
    {
        for (const TNote& note : Notes) {
            if (note.Lines.empty()) InsertNote(note, ' ', "");
            for (size_t i = 0; i < note.Lines.size(); ++i) InsertNote(note, NoteSequence[i], note.Lines[i]);
        }
    }

    // A missing-time report by month over the last three months, all timekeepers, to the screen.
    void WriteReportData()
    {
        Word year, month, day;
        DecodeDate(today_, year, month, day);
        const TDateTime start = IncMonth(EncodeDate(year, month, 1), -2);
        THostRecord record = Record(DemoReportDataFile);
        record.Set("ReportCode", "MT")
                .Set("RangeOrList", "R")
                .Set("FileNumberPP", "000")
                .Set("PrintFileName", "MISSTIME")
                .Set("PrintFileNameS", "NONE (PRINTING TO SCREEN)")
                .Set("PrintSize", "W")
                .Set("PageLength", " 66")
                .Set("ProdStatus", "N")
                .Set("StartTranDate", HostDate(int(today_ - start)))
                .Set("EndTranDate", HostDate(0))
                .Set("StatusCodes", "M");
        dir_.Insert(DemoReportDataFile, record);
    }

    THostDataDir& dir_;
    TDateTime today_;
    TDemoRandom random_;
    std::map<std::string, TCaseTotals> totals_;
};

}  // namespace

void MakeDemoData(THostDataDir& dir, TDateTime today)
{
    TDemoMaker(dir, today).Make();
}

void MakeProgramDirectoryFiles(THostDataDir& programDir)
{
    programDir.MakeFile("Yclient.clo");
    const std::string description = programDir.PathOf("ycase.des");
    std::ofstream file(description, std::ios::binary | std::ios::trunc);
    file << ButilDescription(THostFileDefs::Builtin().ForFile("casesave.qf"));
    if (!file.flush()) throw std::runtime_error("cannot write " + description);
}
