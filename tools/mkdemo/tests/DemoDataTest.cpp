// The demo data directory read back through the record manager, and the demo registry values.
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "engine/btrieve/BtrWObj.h"
#include "engine/core/BseError.h"
#include "rtl/DateTime.h"
#include "rtl/Registry.h"
#include "rtl/WinApi.h"
#include "tools/mkdemo/DemoData.h"
#include "tools/mkdemo/DemoRegistry.h"
#include "tools/mkdemo/HostDataDir.h"
#include "tools/mkdemo/MachineRegistryOverride.h"

namespace {

namespace fs = std::filesystem;

// Every record of a file, as THostRecord-shaped byte strings read in the order of key 0.
std::vector<std::string> ReadAll(const std::string& path)
{
    TWinBtr file(nullptr);
    file.Open(path, nullptr, 0);
    std::vector<std::string> records;
    try {
        for (file.GetFirst();; file.GetNext()) {
            records.emplace_back(reinterpret_cast<const char*>(file.OwnBuffer()), file.BufferSize());
        }
    } catch (const EBoreaEOFError&) {
    }
    return records;
}

// The packed decimal at the field, unscaled.
double Decimal(const std::string& record, const Layoutc::TField& field)
{
    double value = 0;
    const std::string bytes = record.substr(size_t(field.Offset), size_t(field.Length));
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = uint8_t(bytes[i]);
        value = value * 10 + (byte >> 4);
        if (i + 1 < bytes.size()) value = value * 10 + (byte & 15);
    }
    if ((uint8_t(bytes.back()) & 15) != 0x0F) value = -value;
    return value / std::pow(10.0, field.Decimals);
}

class DemoData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = (fs::temp_directory_path() / ("mkdemo_" + std::to_string(GetCurrentProcessId()))).string();
        fs::remove_all(folder_);
        THostDataDir dir(folder_);
        MakeDemoData(dir, Today());
    }
    static void TearDownTestSuite()
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void SetUp() override { dir_ = std::make_unique<THostDataDir>(folder_); }

    static TDateTime Today() { return EncodeDate(2026, 6, 15); }

    std::vector<std::string> Records(const std::string& file) const { return ReadAll(dir_->PathOf(file)); }
    static std::string Text(const std::string& record, const std::string& layout, const std::string& field)
    {
        const Layoutc::TField& f = FieldOf(THostFileDefs::Builtin().Layout(layout), field);
        return record.substr(size_t(f.Offset), size_t(f.Length));
    }
    static double Amount(const std::string& record, const std::string& field)
    {
        return Decimal(record, FieldOf(THostFileDefs::Builtin().Layout("BILLS"), field));
    }

    static std::string folder_;
    std::unique_ptr<THostDataDir> dir_;
};

std::string DemoData::folder_;

TEST_F(DemoData, EveryHostFileIsThereWithItsRecords)
{
    const std::pair<std::string, size_t> exact[] = {
        {"Sysop.qc", 1}, {"yempl.qf", 6}, {"yclient.qf", 8}, {"ycase.qf", 13},
        {"casesave.qf", 0}, {"ClntSave.qf", 0}, {DemoReportDataFile, 1},
    };
    for (const auto& [file, count] : exact) EXPECT_EQ(Records(file).size(), count) << file;
    for (const char* file : {"fee.qf", "hfee.qf", "bill.qf", "hbill.qf", "note.qf", "ytable.qf"}) {
        EXPECT_GT(Records(file).size(), 3u) << file;
    }
    TWinBtr cases(nullptr);
    cases.Open(dir_->PathOf("ycase.qf"), nullptr, 0);
    EXPECT_EQ(cases.GetKeyCount(), 6);
    const std::string key = "ACME   " + std::string("     10");
    cases.GetEqual(key.data(), Byte(key.size()), 1);
    EXPECT_EQ(Text(std::string(reinterpret_cast<char*>(cases.OwnBuffer()), 439), "YCASE", "Alternate ID"),
              "PAT-4471            ");
}

TEST_F(DemoData, ClientsAndCasesFollowTheValueConventions)
{
    std::set<std::string> unassigned;
    for (const std::string& client : Records("yclient.qf")) unassigned.insert(Text(client, "YCLIENT", "Unassigned"));
    EXPECT_EQ(unassigned, (std::set<std::string>{"000000", "800000"}));

    bool withAlternateId = false, withoutAlternateId = false;
    for (const std::string& c : Records("ycase.qf")) {
        const std::string client = Text(c, "YCASE", "Client Code");
        const std::string rightJustified = Text(c, "YCASE", "Case Suffix");
        const std::string leftJustified = Text(c, "YCASE", "LeftJustCaseSuffix");
        const std::string suffix = leftJustified.substr(0, leftJustified.find(' '));
        EXPECT_EQ(rightJustified, std::string(7 - suffix.size(), ' ') + suffix);
        EXPECT_EQ(Text(c, "YCASE", "CaseClient"), leftJustified + client);
        EXPECT_EQ(Text(c, "YCASE", "RJCaseClient"), rightJustified + client);
        (Text(c, "YCASE", "Alternate ID")[0] == ' ' ? withoutAlternateId : withAlternateId) = true;
    }
    EXPECT_TRUE(withAlternateId && withoutAlternateId);
}

TEST_F(DemoData, OpenInvoicesAgeIntoEveryBucket)
{
    std::map<std::string, double> balance;
    std::map<std::string, std::string> billed;
    for (const std::string& bill : Records("bill.qf")) {
        const std::string invoice = Text(bill, "BILLS", "Invoice Number");
        if (invoice[0] == ' ') continue;
        for (const char* field : {"Fees", "Direct Costs", "Indirect Costs", "Finance Charges", "Sales Tax", "Retainer"}) {
            balance[invoice] += Amount(bill, field);
        }
        if (Text(bill, "BILLS", "Type") == "B") billed[invoice] = Text(bill, "BILLS", "Transaction Date");
    }
    std::set<int> buckets;
    for (const auto& [invoice, date] : billed) {
        if (balance[invoice] <= 0) continue;
        const int year = 1980 + std::stoi(date.substr(0, 2));
        const int days = int(Today() - EncodeDate(Word(year), Word(std::stoi(date.substr(2, 2))),
                                                  Word(std::stoi(date.substr(4, 2)))));
        buckets.insert(std::min(5, std::max(1, (days + 29) / 30)));
    }
    EXPECT_EQ(buckets, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST_F(DemoData, PaymentsAndRetainersAreNegativeAndBillsPositive)
{
    bool retainer = false;
    for (const char* file : {"bill.qf", "hbill.qf"}) {
        for (const std::string& bill : Records(file)) {
            const std::string type = Text(bill, "BILLS", "Type");
            const double total = Amount(bill, "Fees") + Amount(bill, "Direct Costs") + Amount(bill, "Retainer");
            if (type == "B") {
                EXPECT_GT(total, 0);
            } else if (type == "P") {
                EXPECT_LT(total, 0);
            }
            retainer = retainer || (type == "P" && Amount(bill, "Retainer") < 0 &&
                                    Text(bill, "BILLS", "Invoice Number")[0] == ' ');
        }
    }
    EXPECT_TRUE(retainer);
}

TEST_F(DemoData, TimekeepersWithAndWithoutTimeAcrossMonths)
{
    std::set<std::string> withTime;
    std::set<std::string> months;
    for (const char* file : {"fee.qf", "hfee.qf"}) {
        for (const std::string& fee : Records(file)) {
            if (Text(fee, "FEES", "Type") != "F") continue;
            withTime.insert(Text(fee, "FEES", "Employee Code"));
            months.insert(Text(fee, "FEES", "Transaction Date").substr(0, 4));
        }
    }
    EXPECT_GE(withTime.size(), 3u);
    EXPECT_GE(months.size(), 6u);
    bool activeWithoutTime = false, inactive = false;
    for (const std::string& employee : Records("yempl.qf")) {
        const std::string code = Text(employee, "EMP", "Employee Code");
        const bool active = Text(employee, "EMP", "Unassigned")[0] != 'N';
        activeWithoutTime = activeWithoutTime || (active && !withTime.count(code));
        inactive = inactive || !active;
    }
    EXPECT_TRUE(activeWithoutTime && inactive);
}

TEST_F(DemoData, NotesWithAndWithoutMarkers)
{
    std::map<std::string, std::string> sequences;  // account -> its sequence characters
    for (const std::string& note : Records("note.qf")) {
        const std::string account = Text(note, "NOTES", "ClientCode") + Text(note, "NOTES", "CaseSuffix");
        sequences[account] += Text(note, "NOTES", "NoteNumber");
    }
    EXPECT_EQ(sequences["ACME   1      "], "012");
    EXPECT_EQ(sequences["BARR          "], "01") << "a client-level account";
    EXPECT_EQ(sequences["CASTLE 3      "], " ") << "a marker only";
    EXPECT_EQ(sequences.count("HALE   1      "), 0u);
}

TEST_F(DemoData, ASecondRunRemakesTheFiles)
{
    const size_t fees = Records("fee.qf").size();
    MakeDemoData(*dir_, Today());
    EXPECT_EQ(Records("fee.qf").size(), fees);
    EXPECT_EQ(Records("yclient.qf").size(), 8u);
}

TEST(DemoRegistry, AliasIsRewrittenAndHostSettingsKept)
{
    TMachineRegistryOverride machine;
    WriteDemoRegistry("C:\\demo");
    machine.SetString("\\Software\\KDV\\Ordavane\\Host", "EntryMode", "N");
    WriteDemoRegistry("D:\\demo2");
    const std::string alias = "\\Software\\Borea\\Btrieve\\Aliases\\VAVUZ";
    const std::string host = "\\Software\\KDV\\Ordavane\\Host";
    EXPECT_EQ(machine.ReadString(alias, "PhysicalName"), "D:\\demo2");
    EXPECT_EQ(machine.ReadString(alias, "Description"), "Demo data");
    EXPECT_EQ(machine.ReadString(host, "EntryMode"), "N");
    EXPECT_EQ(machine.ReadString(host, "NumericOrder"), "Y");
    EXPECT_EQ(machine.ReadString(host, "HideClosedCasesInAcctStat"), "N");
    EXPECT_EQ(machine.ReadString(host, "HideInactiveClientsInAcctStat"), "N");
}

}  // namespace
