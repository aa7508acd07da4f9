// The data module read from its form file, and the account queries on fixture fee and bill files: work in
// progress, invoices, invoice amounts, open retainers and the last payment, with the ways the files are named.
#include <gtest/gtest.h>

#include "DataModuleFixture.h"
#include "hostdata/OVWCon.h"
#include "rtl/StringRoutines.h"
#include "rtl/Strings.h"
#include "rtl/Clock.h"
#include "tools/mkdemo/DemoData.h"
#include "tools/mkdemo/HostFileDefs.h"

namespace {

const std::string S1 = Suffix("1"), S2 = Suffix("2"), S3 = Suffix("3"), NoCase = Suffix("");

std::vector<std::string> FieldNames(TDataSet* table)
{
    std::vector<std::string> names;
    for (Integer i = 0; i < table->FieldCount(); ++i) names.push_back(table->Fields()->Fields(i)->FieldName());
    return names;
}

std::vector<std::string> LayoutNames(const std::string& layout)
{
    std::vector<std::string> names;
    for (const auto& field : THostFileDefs::Builtin().Layout(layout).Fields) names.push_back(field.Name);
    return names;
}

std::vector<std::string> Prepended(std::string first, std::vector<std::string> rest)
{
    rest.insert(rest.begin(), std::move(first));
    return rest;
}

std::vector<std::string> Lines(const TStringList& list)
{
    std::vector<std::string> lines;
    for (Integer i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
    return lines;
}

template <size_t N>
void ExpectAmounts(const std::array<double, N>& actual, const std::array<double, N>& expected)
{
    for (size_t i = 0; i < N; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << "index " << i;
}

using Module = DataModuleTest;

TEST_F(Module, EveryTableIsAProgramTableOnTheAliasWithItsDataSourceAndPersistentFields)
{
    std::vector<TvxBkTable*> tables;
    for (Integer i = 0; i < dm_->ComponentCount(); ++i)
        if (auto* table = dynamic_cast<TvxBkTable*>(dm_->Components(i))) tables.push_back(table);
    ASSERT_EQ(tables.size(), 46u);
    for (TvxBkTable* table : tables) {
        EXPECT_TRUE(SameText(table->DatabaseName(), "VAVUZ")) << table->Name();
        EXPECT_TRUE(table->ValidateWithMask()) << table->Name();
        EXPECT_EQ(table->TableName(), "") << table->Name();
        EXPECT_FALSE(table->DefaultFields()) << table->Name();
    }
    for (auto [source, table] : {std::pair{dm_->Client1Src, dm_->Client1_}, {dm_->CaseDescSaveSrc, dm_->CaseDescsSave},
                                 {dm_->DescsSrc, dm_->BatchDesc_}, {dm_->TranSource, dm_->Tran1_},
                                 {dm_->GL2DS, dm_->GL2TB}, {dm_->RAThree2Src, dm_->RAThree2_},
                                 {dm_->OffCodes1Src, dm_->OffCodes1_}})
        EXPECT_EQ(source->DataSet(), table) << source->Name();
    EXPECT_EQ(dm_->GroupRatesSrc->DataSet(), nullptr);

    EXPECT_EQ(FieldNames(dm_->Client1_), Prepended("LastCommaFirst", LayoutNames("YCLIENT")));
    EXPECT_EQ(FieldNames(dm_->Client2_), (std::vector<std::string>{"LastCommaFirst", "City", "Client Code",
                                                                   "Client First Name", "Client Last Name",
                                                                   "Unassigned"}));
    EXPECT_EQ(FieldNames(dm_->ClientSave_), LayoutNames("YCLIENT"));
    std::vector<std::string> case1 = LayoutNames("YCASE");
    case1.push_back("ClientName");
    EXPECT_EQ(FieldNames(dm_->Case1_), case1);
    EXPECT_EQ(FieldNames(dm_->CaseSave_), LayoutNames("YCASE"));
    EXPECT_EQ(FieldNames(dm_->Fee_), LayoutNames("FEES"));
    EXPECT_EQ(FieldNames(dm_->Bill2_), LayoutNames("BILLS"));
    EXPECT_EQ(FieldNames(dm_->TrDesc_), LayoutNames("TRDESC"));
    EXPECT_EQ(FieldNames(dm_->RepDat_), LayoutNames("REPORTDATA"));
    EXPECT_EQ(FieldNames(dm_->StMsg2_), (std::vector<std::string>{"DescCode", "code", "type code", "Description",
                                                                  "transaction type"}));
    EXPECT_EQ(FieldNames(dm_->RAOne1_), (std::vector<std::string>{"LastCommaFirst", "Employee Code", "AutoIncrement",
                                                                  "Employee First Name", "Employee Last Name"}));
    EXPECT_EQ(dm_->GL2TB->FieldCount(), 43);
    EXPECT_EQ(dm_->Tran1_->FieldCount(), 26);

    EXPECT_EQ(dm_->Case1_->PictureMasks()->Count(), 5);
    EXPECT_FALSE(dm_->Case1_->DefaultIndex());
    EXPECT_FALSE(dm_->Client1_->AutoCalcFields());
    EXPECT_EQ(dm_->CaseSave_->ControlType()->Text(), "Client Code;CustomEdit;ClientCode\r\n");
    EXPECT_TRUE(dm_->CaTypeTwo2_->Filtered());
}

// --- Work in progress --------------------------------------------------------------------------------------------

class WorkInProgress : public DataModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddFees(dir, "fee.qf",
                {
                    {"ACME", S1, "F", "", "850110", 1.5, 2.0, 100, 120, ""},         // write-up 20
                    {"ACME", S1, "F", "", "850115", 0.5, 0.5, 50, 50, "00000101"},  // billed, neither
                    {"ACME", S1, "F", "", "850120", 1.0, 0.75, 80, 60, ""},         // write-down 20
                    {"ACME", S1, "C", "I", "850112", 0, 0, 10, 12, "00000101"},     // indirect, billed
                    {"ACME", S1, "C", "D", "850113", 0, 0, 30, 25, ""},             // direct
                    {"ACME", S1, "C", "X", "850114", 0, 0, 99, 99, ""},             // no such cost
                    {"ACME", S1, "T", "", "850116", 0, 0, 500, 500, ""},            // trust
                    {"ACME", S2, "F", "", "850111", 2, 2, 200, 200, ""},
                    {"ACME", S1, "F", "", "860105", 1, 1, 7, 7, ""},                // after the cut date
                    {"BAKER", S1, "F", "", "850110", 9, 9, 1000, 1000, ""},
                });
    }

    FeeTotals Sum(const std::string& caseSuffix, const std::string& maxDate)
    {
        FeeTotals totals{};
        EXPECT_TRUE(dm_->OpenFees("fee.qf", "", "", "", "ACME", caseSuffix));
        dm_->SumFees(caseSuffix, maxDate, totals);
        dm_->CloseFees();
        return totals;
    }
};

TEST_F(WorkInProgress, FeesAndCostsAddUpByGroupWithWriteUpsWriteDownsAndBilledParts)
{
    //                 fees: actual  up  down billable billed unbilled  indirect costs        direct costs
    ExpectAmounts(Sum(S1, "999999"), {0, 237, 20, 20, 237, 50, 187, 10, 2, 0, 12, 12, 0, 30, 0, 5, 25, 0, 25,
                                      4.0, 4.25});
    ExpectAmounts(Sum(S1, "851231"), {0, 230, 20, 20, 230, 50, 180, 10, 2, 0, 12, 12, 0, 30, 0, 5, 25, 0, 25,
                                      3.0, 3.25});
    ExpectAmounts(Sum(NoCase, "999999"), {0, 437, 20, 20, 437, 50, 387, 10, 2, 0, 12, 12, 0, 30, 0, 5, 25, 0, 25,
                                          6.0, 6.25});
}

TEST_F(WorkInProgress, TheRangeCoversTheClientUnlessATypeIsGiven)
{
    struct Case {
        std::string Type, Start, End, Suffix;
        Integer Records;
    } cases[] = {
        {"", "", "", S1, 9},                  // a case without a type: the whole client
        {"F", "", "", NoCase, 9},             // a type without a case: the whole client
        {"F", "", "", S1, 4},                 // the case's fees
        {"F", "850110", "850115", S1, 2},     // and their dates
        {"C", "", "", S2, 0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(dm_->OpenFees("fee.qf", c.Type, c.Start, c.End, "ACME", c.Suffix));
        EXPECT_EQ(CountRecords(dm_->Fee_), c.Records) << c.Type << " " << c.Start << " '" << c.Suffix << "'";
        EXPECT_EQ(dm_->Fee_->TableName(), Path("fee.qf") + ";RES:FEES");
        EXPECT_EQ(dm_->Fee_->IndexName(), "1");
    }
    dm_->CloseFees();
    EXPECT_FALSE(dm_->Fee_->Active());
    EXPECT_EQ(dm_->Fee_->TableName(), "");
    EXPECT_EQ(dm_->Fee_->IndexName(), "");
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(WorkInProgress, AFeeFileThatDoesNotOpenIsNamedByItsPeriod)
{
    EXPECT_FALSE(dm_->OpenFees("HFee.QF", "", "", "", "ACME", S1));
    EXPECT_FALSE(dm_->OpenFees("nofee.qf", "", "", "", "ACME", S1));
    EXPECT_FALSE(dm_->Fee_->Active());
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{
                                "Unable to open the history fee file.\rPlease contact KDV, Inc. for assistance.",
                                "Unable to open the current period fee file.\rPlease contact KDV, Inc. for assistance."}));
    EXPECT_EQ(dialogs_->Shown[0].Type, mtWarning);
}

// --- Bills, invoices, retainers and payments ------------------------------------------------------------------------

class Billing : public DataModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddBills(dir, "bill.qf",
                 {
                     // invoices of INV
                     {"INV", S1, "B", "850131", " ", "00000101", {100}},
                     {"INV", S1, "B", "850131", " ", "00000101", {20}, "850125"},
                     {"INV", S1, "B", "850228", "H", "102", {70, 0, 0, 0, 0, 5}},  // a short invoice number
                     {"INV", S1, "B", "850105", "P", "00000099", {10}},
                     {"INV", S1, "B", "850106", "B", "00000100", {10}},
                     {"INV", S1, "B", "860101", " ", "00000103", {10}},            // after the cut date
                     {"INV", S1, "A", "850201", " ", "00000101", {-5}},
                     {"INV", S1, "P", "850215", " ", "00000101", {-50, 0, 0, 0, 0, -10}},
                     {"INV", S1, "R", "850220", " ", "00000101", {0, 0, 0, 0, 0, 30}},
                     {"INV", S1, "R", "850301", "H", "102", {0, 0, 0, 0, 0, 20}},
                     {"INV", S2, "B", "850131", " ", "00000201", {10}},
                     // a frozen invoice
                     {"FRZ", S1, "B", "850110", " ", "00000104", {40}, "850105", "F"},
                     {"FRZ", S1, "P", "850120", " ", "00000104", {-40, 0, 0, 0, 0, -8}},
                     // retainers
                     {"RET", S1, "P", "850110", " ", "", {0, 0, 0, 0, 0, -40}},
                     {"RET", S1, "A", "850111", " ", "", {0, 0, 0, 0, 0, -15}},
                     {"RET", S1, "R", "850112", " ", "", {0, 0, 0, 0, 0, 100}},
                     {"RET", S1, "P", "850113", " ", "00000301", {0, 0, 0, 0, 0, -7}},
                     {"RET", S1, "P", "860101", " ", "", {0, 0, 0, 0, 0, -3}},
                     {"RET", S1, "B", "850101", " ", "00000300", {0, 0, 0, 0, 0, 9}},
                     // payments
                     {"PAY", S1, "P", "850301", " ", "", {-60}},
                     {"PAY", S1, "P", "850301", " ", "", {-30, -10}},
                     {"PAY", S1, "P", "850201", " ", "", {-25}},
                     {"PAY", S1, "B", "850401", " ", "00000401", {500}},
                     {"PAY", S2, "P", "850201", " ", "", {-80}},
                     {"PAY", S3, "P", "850415", " ", "", {-15}},
                 });
    }

    std::vector<std::string> Invoices(const std::string& client, const std::string& caseSuffix,
                                      const std::string& maxDate, bool history, bool skipStatusPB)
    {
        TStringList list;
        EXPECT_TRUE(dm_->OpenBills("Bill.qf", client, caseSuffix, "B"));
        dm_->ListInvoices(maxDate, history, &list, skipStatusPB);
        dm_->CloseBills();
        return Lines(list);
    }

    struct TInvoiceSums {
        InvoiceAmounts Amounts{};
        std::string BillDate, CutDate;
        double RetainerAdjustment = 0;
    };
    TInvoiceSums SumInvoice(const std::string& invoice, const std::string& maxDate, bool held)
    {
        TInvoiceSums sums;
        EXPECT_TRUE(dm_->OpenBillsByInvoice("bill.qf"));
        dm_->SumInvoiceAmounts(invoice, maxDate, held, sums.Amounts, sums.BillDate, sums.CutDate,
                               sums.RetainerAdjustment);
        return sums;
    }
};

TEST_F(Billing, InvoicesAreListedOnceInOrderWithPaidAndBilledOnesLast)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(Invoices("INV", S1, "999999", false, false),
              (Lines{"00000101C      1", "00000103C      1", "102     C      1H", "00000099C      1P",
                     "00000100C      1B"}));
    EXPECT_EQ(Invoices("INV", S1, "851231", true, false),
              (Lines{"00000101H      1", "102     H      1H", "00000099H      1P", "00000100H      1B"}));
    EXPECT_EQ(Invoices("INV", S1, "999999", false, true),
              (Lines{"00000101C      1", "00000103C      1", "102     C      1H"}));
    EXPECT_EQ(Invoices("INV", S1, "999998", false, true).size(), 5u) << "999998 keeps paid and billed invoices";
    EXPECT_EQ(Invoices("INV", NoCase, "999999", false, false).size(), 6u) << "every case of the client";
}

// Each listed entry's first eight characters find its invoice on the invoice key, short numbers included.
TEST_F(Billing, EveryListedInvoiceIsFoundByItsFirstEightCharacters)
{
    const std::vector<std::string> entries = Invoices("INV", S1, "999999", false, false);
    ASSERT_EQ(entries.size(), 5u);
    for (const std::string& entry : entries) {
        const TInvoiceSums sums = SumInvoice(entry.substr(0, 8), "999999", true);
        EXPECT_FALSE(sums.BillDate.empty()) << entry;
    }
}

TEST_F(Billing, InvoiceAmountsAddByTypeWithRetainerAdjustmentsOutsideHeldMode)
{
    TInvoiceSums sums = SumInvoice("00000101", "999999", false);
    //                          bill          payment              adjustment     retainer
    ExpectAmounts(sums.Amounts, {120, 0, 0, 0, 0, 0, -50, 0, 0, 0, 0, -10, -5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(sums.BillDate, "850131");
    EXPECT_EQ(sums.CutDate, "850125");
    EXPECT_DOUBLE_EQ(sums.RetainerAdjustment, 40) << "minus the payment's -10, plus the retainer's 30";

    sums = SumInvoice("00000101", "850210", false);
    EXPECT_DOUBLE_EQ(sums.Amounts[6], 0) << "the payment is after the cut date";
    EXPECT_DOUBLE_EQ(sums.RetainerAdjustment, 0);

    sums = SumInvoice("00000101", "999999", true);
    EXPECT_DOUBLE_EQ(sums.Amounts[0], 120);
    EXPECT_DOUBLE_EQ(sums.Amounts[24], 0);
    EXPECT_DOUBLE_EQ(sums.RetainerAdjustment, 0) << "held mode leaves the adjustment alone";
}

TEST_F(Billing, HeldAmountsGoToTheLastSlotOnlyInHeldMode)
{
    TInvoiceSums held = SumInvoice("102", "999999", true);
    InvoiceAmounts expected{};
    expected[24] = 75;  // the bill's 70 and 5; the held retainer's 20 cancels out
    ExpectAmounts(held.Amounts, expected);
    EXPECT_EQ(held.BillDate, "850228");

    TInvoiceSums notHeld = SumInvoice("102", "999999", false);
    expected = {};
    expected[0] = 70;
    expected[5] = 5;
    ExpectAmounts(notHeld.Amounts, expected);
    EXPECT_DOUBLE_EQ(notHeld.RetainerAdjustment, 0) << "held records adjust no retainer";
}

TEST_F(Billing, AFrozenInvoiceCarriesTheMarkAndAdjustsNoRetainer)
{
    TInvoiceSums frozen = SumInvoice("00000104", "999999", false);
    EXPECT_DOUBLE_EQ(frozen.Amounts[24], FrozenMark);
    EXPECT_DOUBLE_EQ(frozen.Amounts[0], 40);
    EXPECT_DOUBLE_EQ(frozen.Amounts[6], -40);
    EXPECT_DOUBLE_EQ(frozen.Amounts[11], -8);
    EXPECT_DOUBLE_EQ(frozen.RetainerAdjustment, 0);
    EXPECT_EQ(frozen.CutDate, "850105");
    EXPECT_DOUBLE_EQ(SumInvoice("00000104", "999999", true).Amounts[24], 0) << "held mode ignores the mark";
}

TEST_F(Billing, OpenRetainersArePaymentsAndAdjustmentsWithoutAnInvoice)
{
    ASSERT_TRUE(dm_->OpenBills("Bill.qf", "RET", S1, "R"));
    EXPECT_EQ(CountRecords(dm_->Bill_), 6) << "the retainer range holds every lower type";
    EXPECT_DOUBLE_EQ(dm_->SumOpenRetainers("999999"), -58);
    ASSERT_TRUE(dm_->OpenBills("Bill.qf", "RET", S1, "R"));
    EXPECT_DOUBLE_EQ(dm_->SumOpenRetainers("851231"), -55);
    ASSERT_TRUE(dm_->OpenBills("Bill.qf", "RET", S2, "R"));
    EXPECT_DOUBLE_EQ(dm_->SumOpenRetainers("999999"), 0);
}

TEST_F(Billing, TheLastPaymentIsTheLatestDateAcrossCasesWithEverythingPaidThatDay)
{
    double amount = 0;
    std::string date;
    auto findFor = [&](const std::string& caseSuffix) {
        ASSERT_TRUE(dm_->OpenBills("Bill.qf", "PAY", caseSuffix, "P"));
        dm_->FindLastPayment(amount, date);
    };
    findFor(S1);
    EXPECT_EQ(date, "850301");
    EXPECT_DOUBLE_EQ(amount, -100);
    findFor(S2);
    EXPECT_EQ(date, "850301") << "an earlier payment changes nothing";
    EXPECT_DOUBLE_EQ(amount, -100);
    findFor(Suffix("9"));
    EXPECT_DOUBLE_EQ(amount, -100) << "a case without payments changes nothing";
    findFor(S3);
    EXPECT_EQ(date, "850415");
    EXPECT_DOUBLE_EQ(amount, -15);
}

TEST_F(Billing, TheBillFileIsNamedByTheTypeOrDirectoryArgument)
{
    struct Case {
        std::string FileName, Client, CaseSuffix, TypeOrDirectory, TableName;
        Integer Records;
    } cases[] = {
        {"Bill.qf", "PAY", S1, "P", Path("Bill.qf"), 4},
        {Path("bill.qf"), "PAY", S1, "", Path("bill.qf"), 1},   // a full name, bills only
        {"bill.qf", "PAY", S1, folder_, Path("bill.qf"), 1},    // a directory
        {"Bill.qf", "PAY", NoCase, "P", Path("Bill.qf"), 6},    // the whole client
        {"Bill.qf", "", "", "P", Path("Bill.qf"), 25},          // no range
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(dm_->OpenBills(c.FileName, c.Client, c.CaseSuffix, c.TypeOrDirectory)) << c.TableName;
        EXPECT_EQ(dm_->Bill_->TableName(), c.TableName + ";RES:BILLS");
        EXPECT_EQ(dm_->Bill_->IndexName(), "1");
        EXPECT_EQ(CountRecords(dm_->Bill_), c.Records) << c.FileName << " " << c.TypeOrDirectory;
    }
    for (const std::string& name : {std::string("bill.qf"), folder_ + "\\"}) {
        ASSERT_TRUE(dm_->OpenBillsByInvoice(name));
        EXPECT_EQ(dm_->Bill_->TableName(), Path("bill.qf") + ";RES:BILLS");
        EXPECT_EQ(dm_->Bill_->IndexName(), "3");
    }
    dm_->CloseBills();
    EXPECT_EQ(dm_->Bill_->TableName(), "");
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(Billing, ABillFileThatDoesNotOpenIsReportedWithItsNameAndError)
{
    EXPECT_FALSE(dm_->OpenBills("HBILL.QF", "PAY", S1, "P"));
    EXPECT_FALSE(dm_->OpenBillsByInvoice("hbill.qf"));
    EXPECT_FALSE(dm_->OpenBills("bill.qf", "PAY", S1, folder_ + "\\missing"));
    EXPECT_FALSE(dm_->Bill_->Active());
    ASSERT_EQ(dialogs_->Shown.size(), 3u);
    const std::string suffix = "\r\rPlease contact KDV, Inc. for assistance.";
    const std::string error = "\rThe following error was encountered:  \r";
    const std::vector<std::string> starts = {
        "Unable to open the history billing file.  (" + Path("HBILL.QF") + ";RES:BILLS)." + error,
        "Unable to open the history billing file.  (" + Path("hbill.qf") + ";RES:BILLS - Invoice key)." + error,
        "Unable to open the current period billing file.  (" + folder_ + "\\missing\\bill.qf;RES:BILLS)." + error};
    for (size_t i = 0; i < starts.size(); ++i) {
        const std::string& text = dialogs_->Shown[i].Text;
        EXPECT_EQ(text.substr(0, starts[i].size()), starts[i]);
        EXPECT_GT(text.size(), starts[i].size() + suffix.size()) << "the error's message is shown: " << text;
        EXPECT_TRUE(text.ends_with(suffix)) << text;
        EXPECT_EQ(dialogs_->Shown[i].Type, mtWarning);
    }
}

class CaseSave : public DataModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override { dir.MakeFile("casesave.qf"); }
};

TEST_F(CaseSave, OpensOnItsFourthKeyOrSaysItCannot)
{
    dm_->OpenCaseSave();
    EXPECT_TRUE(dm_->CaseSave_->Active());
    EXPECT_EQ(dm_->CaseSave_->TableName(), Path("casesave.qf") + ";RES:YCASE");
    EXPECT_EQ(dm_->CaseSave_->IndexName(), "4");
    dm_->CaseSave_->Close();

    dm_->DataDirectory = folder_ + "\\missing";
    dm_->OpenCaseSave();
    EXPECT_FALSE(dm_->CaseSave_->Active());
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Unable to open CASESAVE file"});
    EXPECT_EQ(dialogs_->Shown[0].Type, mtError);
}

}  // namespace

namespace {

// The module on the demo data: the tables the forms open, the account queries of one account, and the rate-code
// tables that this program cannot open.
class DemoData : public DataModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override { MakeDemoData(dir, Date()); }
};

TEST_F(DemoData, TheModuleWorksOnTheDemoDataAndTheRateCodeTablesFailAsTheyShould)
{
    dm_->Client1_->SetTableName(Path("yclient.qf") + ";RES:YCLIENT");
    dm_->Client1_->Open();
    dm_->Client1_->SetIndexName("1");
    ASSERT_TRUE(dm_->Client1_->FindKey({std::string("BARR")}));
    EXPECT_EQ(dm_->Client1_->FieldByName("LastCommaFirst")->AsString(), "Barrington, Helen");
    dm_->Case2_->SetTableName(Path("ycase.qf") + ";RES:YCASE");
    dm_->Case2_->SetIndexName("1");
    dm_->Case2_->Open();
    EXPECT_EQ(CountRecords(dm_->Case2_), 13);
    dm_->OpenCaseSave();

    FeeTotals fees{};
    ASSERT_TRUE(dm_->OpenFees("Fee.qf", "", "", "", "ACME", S1));
    dm_->SumFees(S1, "999999", fees);
    dm_->CloseFees();
    EXPECT_GT(fees[1], 0);

    TStringList invoices;
    ASSERT_TRUE(dm_->OpenBills("Bill.qf", "ACME", S1, "B"));
    dm_->ListInvoices("999999", false, &invoices, false);
    dm_->CloseBills();
    ASSERT_GT(invoices.Count(), 0);
    ASSERT_TRUE(dm_->OpenBillsByInvoice("bill.qf"));
    InvoiceAmounts amounts{};
    std::string billDate, cutDate;
    double adjustment = 0;
    dm_->SumInvoiceAmounts(invoices.Strings(0).substr(0, 8), "999999", true, amounts, billDate, cutDate, adjustment);
    EXPECT_FALSE(billDate.empty());
    dm_->CloseBills();

    double paid = 0;
    std::string lastPayment;
    ASSERT_TRUE(dm_->OpenBills("HBill.qf", "ACME", S1, "P"));
    dm_->FindLastPayment(paid, lastPayment);
    ASSERT_TRUE(dm_->OpenBills("Bill.qf", "ACME", S1, "P"));
    dm_->FindLastPayment(paid, lastPayment);
    EXPECT_FALSE(lastPayment.empty());
    EXPECT_LT(paid, 0) << "payments are stored negative";
    EXPECT_TRUE(dialogs_->Shown.empty());

    dm_->ActivateRATables();
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Unable to access the file yempl.qf.\r" + CallForAssistanceSuffix});
    EXPECT_FALSE(dm_->RAOne1_->Active());
}

}  // namespace
