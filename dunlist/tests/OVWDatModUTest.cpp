// The note viewer's data module read from its own form file, the tables the program opens, and its versions of
// the account queries on fixture fee and bill files.
#include <gtest/gtest.h>

#include "DunlistFixture.h"
#include "rtl/StringRoutines.h"
#include "rtl/SysUtils.h"
#include "rtl/Strings.h"

namespace {

const std::string S1 = Suffix("1"), S2 = Suffix("2");
const std::string Call = "\rPlease Call KDV, Inc. for assistance.";

std::vector<std::string> Lines(const TStringList& list)
{
    std::vector<std::string> lines;
    for (Integer i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
    return lines;
}

// Type and amount of fees of every record of Bill_'s range.
std::vector<std::string> BillTypesAndFees(TDataSet* bills)
{
    std::vector<std::string> rows;
    for (; !bills->Eof(); bills->Next())
        rows.push_back(Trim(bills->FieldByName("Case Suffix")->AsString()) + bills->FieldByName("Type")->AsString() +
                       FloatToStr(bills->FieldByName("Fees")->AsFloat()));
    return rows;
}

class NoteViewerModule : public DunlistModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddClients(dir, {{"ACME", "Ann", "Archer"}, {"BOLT", "", "Bolt Ltd"}});
        AddCases(dir, "ycase.qf", {{"ACME", "1", "A-1"}, {"ACME", "2", "A-2"}, {"BOLT", "1", "B-1"}});
        AddCases(dir, "casesave.qf", {{"ACME", "1", "saved"}});
        AddFees(dir, "fee.qf", {{"ACME", S1, "F", "", "360101", 0, 0, 0, 100},
                                {"ACME", S1, "C", "D", "360102", 0, 0, 0, 20},
                                {"ACME", S2, "F", "", "360103", 0, 0, 0, 300},
                                {"BOLT", S1, "F", "", "360104", 0, 0, 0, 4000}});
        AddBills(dir, "bill.qf", {{"ACME", S1, "A", "360101", "", "", {1}},
                                  {"ACME", S1, "B", "360102", "", "00000011", {10}},
                                  {"ACME", S1, "B", "360103", "H", "00000012", {20}},
                                  {"ACME", S1, "B", "360104", "", "00000011", {30}},
                                  {"ACME", S1, "P", "360105", "", "00000011", {-5}},
                                  {"ACME", S1, "R", "360106", "", "00000011", {0, 0, 0, 0, 0, 7}},
                                  {"ACME", S2, "B", "360107", "P", "00000021", {200}},
                                  {"ACME", S2, "P", "360108", "", "00000021", {-200}},
                                  {"BOLT", S1, "B", "360109", "", "00000031", {3000}}});
    }
};

TEST_F(NoteViewerModule, CarriesTheSharedTablesWithoutTheTrackingProgramsOwn)
{
    for (const char* name : {"Bill2_", "Fee2_", "GL2TB", "GlacTB", "RepDat_", "Tran1_", "Tran2_", "Bill2Source",
                             "Fee2Source", "GL2DS", "GlacDS", "RepDatSrc", "TranSource", "Tran2Source"})
        EXPECT_EQ(dm_->FindComponent(name), nullptr) << name;
    EXPECT_EQ(dm_->Name(), "DataModule1");
    EXPECT_EQ(dm_->BillSource->DataSet(), dm_->Bill_);
    EXPECT_TRUE(SameText(dm_->Case1_->DatabaseName(), "VAVUZ"));
    // No handlers on the transaction tables; CaTypeThree2_ keeps the case-type list through CaTypeOne1_'s filter.
    EXPECT_FALSE(dm_->Fee_->OnEditError);
    EXPECT_FALSE(dm_->Bill_->BeforeDelete);
    EXPECT_FALSE(dm_->Batch_->OnFilterRecord());
    EXPECT_FALSE(dm_->Client1_->FieldByName("Unassigned")->OnSetText);
    EXPECT_TRUE(dm_->CaTypeThree2_->OnFilterRecord());
}

TEST_F(NoteViewerModule, TheTablesTheProgramOpensWork)
{
    const struct {
        TvxBkTable* Table;
        std::string File, Layout;
        Integer Records;
        std::string Field, FirstValue;
    } cases[] = {
        {dm_->Client1_, "yclient.qf", "YCLIENT", 2, "LastCommaFirst", "Archer, Ann"},
        {dm_->Client2_, "yclient.qf", "YCLIENT", 2, "LastCommaFirst", "Archer, Ann"},
        {dm_->Case1_, "ycase.qf", "YCASE", 3, "ClientName", "Archer, Ann"},
        {dm_->Case2_, "ycase.qf", "YCASE", 3, "Alternate ID", "A-1"},
        {dm_->Fee_, "fee.qf", "FEES", 4, "Billable $", "20"},  // "C" before "F"
        {dm_->Bill_, "bill.qf", "BILLS", 9, "Invoice Number", ""},
    };
    dm_->Client1_->SetTableName(Path("yclient.qf") + ";RES:YCLIENT");
    dm_->Client1_->Open();  // the case table's ClientName looks up here
    for (const auto& c : cases) {
        if (!c.Table->Active()) {
            c.Table->SetTableName(Path(c.File) + ";RES:" + c.Layout);
            c.Table->Open();
        }
        c.Table->SetIndexName("1");
        EXPECT_EQ(CountRecords(c.Table), c.Records) << c.Table->Name();
        EXPECT_EQ(c.Table->FieldByName(c.Field)->AsString(), c.FirstValue) << c.Table->Name();
    }
    dm_->Client2_->Last();
    EXPECT_EQ(dm_->Client2_->FieldByName("LastCommaFirst")->AsString(), "Bolt Ltd");
    dm_->OpenCaseSave();
    EXPECT_EQ(dm_->CaseSave_->FieldByName("Alternate ID")->AsString(), "saved");
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(NoteViewerModule, OpenBillsRangesOverOneCasesTypeOrTheWholeClient)
{
    const struct {
        std::string Case, Type;
        std::vector<std::string> Rows;
    } cases[] = {
        {S1, "P", {"1P-5"}},
        {S1, "B", {"1B10", "1B20", "1B30"}},
        {"1", "B", {}},  // the files hold suffixes right-justified
        // without a case the range's end lies past every suffix: all of the client's records
        {Suffix(""), "A", {"1A1", "1B10", "1B20", "1B30", "1P-5", "1R0", "2B200", "2P-200"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(dm_->OpenBills("bill.qf", "ACME", c.Case, c.Type));
        EXPECT_EQ(BillTypesAndFees(dm_->Bill_), c.Rows) << "[" << c.Case << "] " << c.Type;
        dm_->CloseBills();
        EXPECT_EQ(dm_->Bill_->TableName(), "");
    }
}

TEST_F(NoteViewerModule, OpenFeesWithABlankCaseCoversTheWholeClient)
{
    ASSERT_TRUE(dm_->OpenFees("fee.qf", "F", "", "", "ACME", Suffix("")));
    EXPECT_EQ(CountRecords(dm_->Fee_), 3);
    dm_->CloseFees();
    ASSERT_TRUE(dm_->OpenFees("fee.qf", "F", "", "", "ACME", S1));
    EXPECT_EQ(CountRecords(dm_->Fee_), 1);
}

TEST_F(NoteViewerModule, OpenersThatFailNameTheFileAndLeaveTheTableAlone)
{
    EXPECT_FALSE(dm_->OpenBills("hbill.qf", "ACME", S1, "P"));
    EXPECT_FALSE(dm_->OpenBills("HBILL.QF", "ACME", S1, "P"));  // history only when named exactly
    EXPECT_FALSE(dm_->OpenBillsByInvoice("hbill.qf"));
    EXPECT_FALSE(dm_->OpenFees("hfee.qf", "F", "", "", "ACME", S1));
    EXPECT_EQ(dm_->Fee_->TableName(), Path("hfee.qf") + ";RES:FEES");
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{
                                    "Unable to open the history billing file." + Call,
                                    "Unable to open the current period billing file." + Call,
                                    "Unable to open the history billing file to calculate A/R." + Call,
                                    "Unable to open the history fee file." + Call}));
    EXPECT_EQ(dialogs_->Shown[0].Type, mtWarning);
}

TEST_F(NoteViewerModule, ListInvoicesKeepsTheFileOrderAndDuplicates)
{
    const struct {
        bool History, SkipPaidBilled;
        std::vector<std::string> Entries;
    } cases[] = {
        {false, false, {"00000011C" + S1, "00000012C" + S1 + "H", "00000011C" + S1, "00000021C" + S2 + "P"}},
        {true, true, {"00000011H" + S1, "00000012H" + S1 + "H", "00000011H" + S1}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(dm_->OpenBills("bill.qf", "ACME", Suffix(""), "B"));
        TStringList invoices;
        invoices.Add("kept");
        dm_->ListInvoices("999999", c.History, &invoices, c.SkipPaidBilled);
        std::vector<std::string> expected = c.Entries;
        expected.insert(expected.begin(), "kept");
        EXPECT_EQ(Lines(invoices), expected);
        dm_->CloseBills();
    }
}

TEST_F(NoteViewerModule, SumInvoiceAmountsHoldsHeldRecordsApartAndGivesTheBillDate)
{
    ASSERT_TRUE(dm_->OpenBillsByInvoice("bill.qf"));
    InvoiceAmounts amounts{};
    std::string cutDate, billDate;
    dm_->SumInvoiceAmounts("00000011", "999999", cutDate, billDate, amounts);
    InvoiceAmounts expected{};
    expected[0] = 10 + 30;  // both bills
    expected[6] = -5;       // the payment
    // the "R" record's retainer is added and taken off again: its slot stays 0
    EXPECT_EQ(billDate, "360104");
    for (size_t i = 0; i < amounts.size(); ++i) EXPECT_NEAR(amounts[i], expected[i], 1e-9) << i;

    InvoiceAmounts held{};
    dm_->SumInvoiceAmounts("00000012", "999999", cutDate, billDate, held);
    EXPECT_EQ(billDate, "360103");
    EXPECT_NEAR(held[24], 20, 1e-9);
    EXPECT_NEAR(held[0], 0, 1e-9);
}

}  // namespace
