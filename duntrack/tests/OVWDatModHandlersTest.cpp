// The data module's handlers: client and code-table display fields, the batch table's fields, the record-lock
// retry with an injected tick count and a second requester client holding locks, and the audit trail of deletes.
#include <fstream>
#include <map>

#include <gtest/gtest.h>

#include "DataModuleFixture.h"
#include "db/MemDataSet.h"
#include "db/NumericFields.h"
#include "db/StringField.h"
#include "engine/btrieve/BtrWObj.h"
#include "hostdata/DateFmtu.h"
#include "hostdata/OVWCon.h"
#include "hostdata/tests/SteppingTicks.h"
#include "tools/mkdemo/HostSources.h"

namespace {

const std::string S1 = Suffix("1");

// The host definitions with a transaction-description file, which the host files' keys leave out.
const THostFileDefs& DescriptionFileDefs()
{
    static const THostFileDefs defs(HostLayoutsSource, std::string(HostKeysSource) +
                                                           "file trdesc.qf : TRDESC\n"
                                                           "key 0 unique : AutoIncr\n"
                                                           "key 1 dup : SequenceNumber, SequenceSuffix\n");
    return defs;
}

// Descriptions of the batch sequence numbers 1 (two lines), 2 and 3.
void MakeDescriptionFile(const std::string& folder)
{
    THostDataDir dir(folder, DescriptionFileDefs());
    AddRows(dir, "trdesc.qf", std::vector<std::pair<std::string, std::string>>{
                                  {"00000001", "A"}, {"00000001", "B"}, {"00000002", "A"}, {"00000003", "A"}},
            [](THostRecord& record, const std::pair<std::string, std::string>& row) {
                record.Set("SequenceNumber", row.first).Set("SequenceSuffix", row.second).Set("Description", "text");
            });
}

std::vector<std::string> Sequences(TvxBkTable* descriptions)
{
    std::vector<std::string> sequences;
    for (descriptions->First(); !descriptions->Eof(); descriptions->Next())
        sequences.push_back(descriptions->FieldByName("SequenceNumber")->AsString());
    return sequences;
}

void OpenDescriptions(TvxBkTable* table, const std::string& folder)
{
    table->SetTableName(folder + "\\trdesc.qf;RES:TRDESC");
    table->SetIndexName("1");
    table->Open();
}

// --- Client names and code tables -----------------------------------------------------------------------------------

class NamesAndCodes : public DataModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddClients(dir, {{"BOTH", "Ann", "Lee"}, {"FIRST", "Ann", ""}, {"LAST", "", "Lee"}, {"NONE", "", ""},
                         {"PADDED", " Ann", " Lee"}});
        dir.MakeFile("ycase.qf");
        THostRecord matter = dir.NewRecord("ycase.qf");
        matter.Set("Client Code", "BOTH").Set("Case Suffix", S1).Set("LeftJustCaseSuffix", "1");
        dir.Insert("ycase.qf", matter);
        AddCodes(dir, {{"O", "AB", "Abstracts"}, {"O", "CD", ""}, {"O", "", "Other"}, {"O", "", ""},
                       {"L", "XY", "Lawsuit"}});
        dir.MakeFile("yempl.qf");
    }

    std::map<std::string, std::string> NamesOf(TvxBkTable* table)
    {
        table->SetTableName(Path("yclient.qf") + ";RES:YCLIENT");
        table->SetIndexName("1");
        table->Open();
        std::map<std::string, std::string> names;
        for (table->First(); !table->Eof(); table->Next())
            names[table->FieldByName("Client Code")->AsString()] = table->FieldByName("LastCommaFirst")->AsString();
        return names;
    }

    std::vector<std::string> DescCodes(TvxBkTable* table)
    {
        table->SetTableName(Path("ytable.qf") + ";RES:SIMPLECD");
        table->Open();
        table->SetIndexName("5");
        std::vector<std::string> texts;
        for (table->First(); !table->Eof(); table->Next()) texts.push_back(table->FieldByName("DescCode")->AsString());
        return texts;
    }
};

TEST_F(NamesAndCodes, LastCommaFirstOfEveryCombinationOfBlankNames)
{
    const std::map<std::string, std::string> expected = {
        {"BOTH", "Lee, Ann"}, {"FIRST", "Ann"}, {"LAST", "Lee"}, {"NONE", ""}, {"PADDED", "Lee, Ann"}};
    EXPECT_EQ(NamesOf(dm_->Client1_), expected) << "the client table whose name fields are not fourth and fifth";
    EXPECT_EQ(NamesOf(dm_->Client2_), expected);

    dm_->Case1_->SetTableName(Path("ycase.qf") + ";RES:YCASE");
    dm_->Case1_->Open();
    EXPECT_EQ(dm_->Case1_->FieldByName("ClientName")->AsString(), "Lee, Ann") << "looked up in the client table";
}

TEST_F(NamesAndCodes, TypedSalesTaxAndUnassignedTextsAreDiscarded)
{
    NamesOf(dm_->Client1_);
    ASSERT_TRUE(dm_->Client1_->FindKey({std::string("BOTH")}));
    dm_->Client1_->Edit();
    dm_->Client1_->FieldByName("Sales Tax")->SetText("Y");
    dm_->Client1_->FieldByName("Unassigned")->SetText("800000");
    dm_->Client1_->FieldByName("Client First Name")->SetText("Bea");
    EXPECT_EQ(dm_->Client1_->FieldByName("Sales Tax")->AsString(), "");
    EXPECT_EQ(dm_->Client1_->FieldByName("Unassigned")->AsString(), "000000");
    EXPECT_EQ(dm_->Client1_->FieldByName("Client First Name")->AsString(), "Bea");
    dm_->Client1_->Cancel();

    std::string text;
    dm_->Client1_SalesTaxGetText(dm_->Client1_->FieldByName("Sales Tax"), text, true);
    EXPECT_EQ(text, "0");
    dm_->Client1_SalesTaxGetText(dm_->Client1_->FieldByName("Unassigned"), text, true);
    EXPECT_EQ(text, "000000");
}

TEST_F(NamesAndCodes, CodeTablesShowDescriptionAndCodeOfTheirOwnListOnly)
{
    EXPECT_EQ(DescCodes(dm_->OffCodes1_),
              (std::vector<std::string>{"Other  ()", "  ()", "Abstracts  (AB)", "  (CD)"}));
    EXPECT_EQ(DescCodes(dm_->CaTypeTwo2_), std::vector<std::string>{"Lawsuit  (XY)"}) << "keeps the client types";
    EXPECT_TRUE(DescCodes(dm_->CaTypeTwo1_).empty()) << "keeps the case types";
}

TEST_F(NamesAndCodes, ThisProgramOpensNoCodeTablesAndNoRateCodeTables)
{
    dm_->ActivateCodeTables();
    for (TvxBkTable* table : {dm_->OffCodes1_, dm_->DeptCodes1_, dm_->StMsg2_}) EXPECT_FALSE(table->Active());
    EXPECT_TRUE(dialogs_->Shown.empty());

    dm_->ActivateRATables();
    EXPECT_FALSE(dm_->RAOne1_->Active()) << "the program carries no employee layout";
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{"Unable to access the file yempl.qf.\r" + CallForAssistanceSuffix});
    EXPECT_EQ(dialogs_->Shown[0].Type, mtError);
}

// --- The batch table's fields --------------------------------------------------------------------------------------

// A memory table with the batch table's fields, its handlers those of the module.
class BatchFields : public DataModuleTest {
protected:
    void SetUp() override
    {
        DataModuleTest::SetUp();
        batch_ = new TMemDataSet(nullptr);
        for (const char* name : {"Client", "Case", "Trtype", "TrDate", "SubType", "InvoiceNumber", "SeqNumber",
                                 "Unassigned"})
            AddField(new TStringField(batch_), name, fkData);
        for (const char* name : {"ADollars", "BDollars", "FeeDollars", "DCDollars", "ICDollars", "FCDollars",
                                 "STDollars", "RetDollars"})
            AddField(new TFloatField(batch_), name, fkData);
        for (const char* name : {"DisplayDate", "TransTypeString", "DisplayInv"})
            AddField(new TStringField(batch_), name, fkCalculated);
        AddField(new TFloatField(batch_), "DisplayAmount", fkCalculated);
        batch_->OnCalcFields = [this](TDataSet* d) { dm_->Batch_CalcFields(d); };
        batch_->OnNewRecord = [this](TDataSet* d) { dm_->Batch_NewRecord(d); };
        batch_->SetOnFilterRecord([this](TDataSet* d, bool& accept) { dm_->Batch_FilterRecord(d, accept); });
        batch_->Open();
    }
    void TearDown() override
    {
        batch_->Free();
        DataModuleTest::TearDown();
    }

    void AddField(TField* field, const std::string& name, TFieldKind kind)
    {
        field->SetFieldName(name);
        field->SetFieldKind(kind);
        auto* text = dynamic_cast<TStringField*>(field);
        if (text) text->SetSize(30);
        if (kind == fkData) batch_->FieldDefs()->Add(name, text ? ftString : ftFloat, text ? 30 : 0);
        field->SetDataSet(batch_);
    }

    struct TBatchRow {
        std::string Type, SubType = {}, Invoice = {};
        double A = 0, B = 0, Fees = 0, Direct = 0, Indirect = 0, Finance = 0, Tax = 0, Retainer = 0;
        std::string TypeText = {}, DisplayInvoice = {};
        double DisplayAmount = 0;
    };

    void Append(const TBatchRow& row, const std::string& date = "850115")
    {
        batch_->Append();
        auto set = [&](const char* name, const std::string& value) { batch_->FieldByName(name)->SetAsString(value); };
        set("Trtype", row.Type);
        set("SubType", row.SubType);
        set("InvoiceNumber", row.Invoice);
        set("TrDate", date);
        const double amounts[] = {row.A, row.B, row.Fees, row.Direct, row.Indirect, row.Finance, row.Tax, row.Retainer};
        const char* names[] = {"ADollars", "BDollars", "FeeDollars", "DCDollars", "ICDollars", "FCDollars",
                               "STDollars", "RetDollars"};
        for (size_t i = 0; i < std::size(names); ++i) batch_->FieldByName(names[i])->SetAsFloat(amounts[i]);
        batch_->Post();
    }

    std::string Text(const char* name) { return batch_->FieldByName(name)->AsString(); }

    TMemDataSet* batch_ = nullptr;
};

TEST_F(BatchFields, TypeTextAmountAndInvoiceOfEveryKindOfTransaction)
{
    const TBatchRow rows[] = {
        // type, sub, invoice, A, B, fees, DC, IC, FC, ST, retainer -> type text, invoice shown, amount shown
        {"F", "", "00000001", 3, 12.5, 0, 0, 0, 0, 0, 0, "Fee", "00000001", 12.5},
        {"C", "D", "", 0, 7, 0, 0, 0, 0, 0, 0, "Direct Cost", "", 7},
        {"C", "I", "", 0, 8, 0, 0, 0, 0, 0, 0, "Indirect Cost", "", 8},
        {"T", "D", "", 40, 1, 0, 0, 0, 0, 0, 0, "Trust Debit", "", -40},
        {"T", "C", "", 40, 1, 0, 0, 0, 0, 0, 0, "Trust Credit", "", 40},
        {"P", "", "00000005", 0, 0, 10, 1, 1, 1, 1, 2, "Payment", "00000005", -16},
        {"P", "C", "00000005", 0, 0, 10, 1, 1, 1, 1, 2, "Payment", "00000005", 16},
        {"B", "", "", 0, 0, 100, 0, 0, 0, 0, 0, "Retainer Billing", "pending", 100},
        {"B", "", "00000006", 0, 55, 100, 0, 0, 0, 0, 0, "Retainer Billing", "multiple", 55},
        {"R", "", "", 0, 0, 10, 0, 0, 0, 0, 30, "Retainer Transfer", "", -30},
        {"R", "", "00000009", 0, 0, 10, 0, 0, 0, 0, 30, "Retainer Transfer", "00000009", -10},
        {"A", "", "00000010", 0, 0, 5, 0, 0, 0, 0, 2, "Adjustment", "00000010", 7},
        {"X", "", "", 0, 0, 5, 0, 0, 0, 0, 0, "", "", 5},
    };
    for (const TBatchRow& row : rows) {
        Append(row);
        EXPECT_EQ(Text("TransTypeString"), row.TypeText) << row.Type << row.SubType;
        EXPECT_EQ(Text("DisplayInv"), row.DisplayInvoice) << row.Type << row.SubType;
        EXPECT_DOUBLE_EQ(batch_->FieldByName("DisplayAmount")->AsFloat(), row.DisplayAmount) << row.Type << row.SubType;
    }
}

TEST_F(BatchFields, DatesShowShortAndBadOnesAsStars)
{
    Append({"F"}, "850115");
    EXPECT_EQ(Text("DisplayDate"), HostDateToShortDisplayDate("850115", true));
    EXPECT_EQ(Text("DisplayDate").size(), 8u);
    Append({"F"}, "851399");
    EXPECT_EQ(Text("DisplayDate"), "********");
    EXPECT_FALSE(HostDateError);
}

TEST_F(BatchFields, NewRecordsHaveNoDateAndSettledOnesCanBeFilteredOut)
{
    batch_->Append();
    EXPECT_EQ(Text("TrDate"), "-1");
    batch_->FieldByName("Unassigned")->SetAsString("S");
    batch_->Post();
    Append({"F"});
    batch_->SetFiltered(true);
    batch_->First();
    EXPECT_EQ(Text("TrDate"), "850115");
    batch_->Next();
    EXPECT_TRUE(batch_->Eof());
}

TEST_F(BatchFields, ADeletedBatchRecordTakesItsDescriptionLinesAlong)
{
    using Lines = std::vector<std::string>;
    MakeDescriptionFile(folder_);
    OpenDescriptions(dm_->BatchDesc_, folder_);
    batch_->Append();
    batch_->FieldByName("SeqNumber")->SetAsString("00000001");
    batch_->Post();
    dm_->Batch_BeforeDelete(batch_);
    EXPECT_EQ(Sequences(dm_->BatchDesc_), (Lines{"00000002", "00000003"}));

    batch_->Edit();
    batch_->FieldByName("SeqNumber")->SetAsString("00000009");
    batch_->Post();
    dm_->Batch_BeforeDelete(batch_);
    EXPECT_EQ(Sequences(dm_->BatchDesc_).size(), 2u) << "a sequence without descriptions deletes none";

    batch_->Edit();
    batch_->FieldByName("SeqNumber")->SetAsString("00000003");
    batch_->Post();
    dm_->Batch_BeforeDelete(batch_);
    EXPECT_EQ(Sequences(dm_->BatchDesc_), (Lines{"00000002"}));
    batch_->Edit();
    batch_->FieldByName("SeqNumber")->SetAsString("00000002");
    batch_->Post();
    dm_->Batch_BeforeDelete(batch_);
    EXPECT_EQ(Sequences(dm_->BatchDesc_), (Lines{"00000002"})) << "a single description line is kept";
}

// --- Record-lock retry -------------------------------------------------------------------------------------------------

class LockRetry : public DataModuleTest {
protected:
    void MakeFiles(THostDataDir& dir) override
    {
        AddFees(dir, "fee.qf", {{"ACME", S1, "F", "", "850110", 1, 1, 100, 100, ""},
                                {"ACME", S1, "F", "", "850111", 1, 1, 200, 200, ""}});
        AddBills(dir, "bill.qf", {{"ACME", S1, "B", "850131", " ", "00000101", {100}}});
    }
    void TearDown() override
    {
        other_.reset();
        DataModuleTest::TearDown();
    }

    void OpenFees() { ASSERT_TRUE(dm_->OpenFees("fee.qf", "", "", "", "ACME", S1)); }

    // A second requester client locks the first fee record.
    void LockFirstFeeByOther()
    {
        Byte id[16] = {};
        id[12] = 'O';
        other_ = std::make_unique<TWinBtr>(id);
        other_->Open(Path("fee.qf"), nullptr, 0);
        other_->SetLockBias(TWinBtr::SingleNoWaitLockBias);
        other_->GetFirst();
    }

    TDataAction RaiseEditError(TDataSet* dataSet, const std::string& message)
    {
        EDatabaseError error(message);
        TDataAction action = daFail;
        dm_->Fee_EditError(dataSet, error, action);
        return action;
    }

    std::unique_ptr<TWinBtr> other_;
};

const std::string LockedText = "Btrieve Status 84 - The record is locked.";

TEST_F(LockRetry, AStaleDeadlineReArmsTheWindowAndInsideItErrorsRetrySilently)
{
    OpenFees();
    SteppingTicks ticks(100000, 0);
    EXPECT_EQ(RaiseEditError(dm_->Fee_, LockedText), daRetry);
    EXPECT_EQ(dm_->LockMessage, "A record lock was encountered.");
    EXPECT_EQ(dm_->LockDeadline, 105000u);

    ticks.JumpTo(104000);  // inside the window
    EXPECT_EQ(RaiseEditError(dm_->Fee_, "Btrieve Status 85 - The file is locked."), daRetry);
    EXPECT_TRUE(dialogs_->Shown.empty());

    ticks.JumpTo(134000);  // the deadline is stale again
    dm_->LockMessage = "changed";
    EXPECT_EQ(RaiseEditError(dm_->Fee_, LockedText), daRetry);
    EXPECT_EQ(dm_->LockMessage, "A record lock was encountered.");
    EXPECT_EQ(dm_->LockDeadline, 139000u);
    EXPECT_TRUE(dialogs_->Shown.empty());
}

TEST_F(LockRetry, AfterTheWindowALockAsksRetryOrCancel)
{
    OpenFees();
    SteppingTicks ticks(100000, 0);
    dm_->LockRetryInterval = 3000;
    dm_->LockMessage = "Someone holds it.";
    dm_->LockDeadline = 99000;  // passed, not stale

    dialogs_->AnswerNextBox(mrRetry);
    EXPECT_EQ(RaiseEditError(dm_->Fee_, LockedText), daRetry);
    EXPECT_EQ(dm_->LockDeadline, 103000u) << "retry opens a new window";
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_EQ(dialogs_->Shown[0].Text, "Someone holds it.");
    EXPECT_EQ(dialogs_->Shown[0].Type, mtInformation);
    EXPECT_EQ(dialogs_->Shown[0].Buttons, (TMsgDlgButtons{mbRetry, mbCancel}));

    dm_->LockDeadline = 99000;
    dm_->Fee_->Edit();
    dialogs_->AnswerNextBox(mrCancel);
    EXPECT_EQ(RaiseEditError(dm_->Fee_, LockedText), daAbort);
    EXPECT_EQ(dm_->Fee_->State(), dsBrowse) << "cancel leaves the edit";
}

TEST_F(LockRetry, AnotherErrorAfterTheWindowIsShownAndCancelsTheTableThatRaisedIt)
{
    OpenFees();
    ASSERT_TRUE(dm_->OpenBillsByInvoice("bill.qf"));
    SteppingTicks ticks(100000, 0);
    dm_->LockDeadline = 99000;
    dm_->Fee_->Edit();
    dm_->Bill_->Edit();
    EXPECT_EQ(RaiseEditError(dm_->Bill_, "Btrieve Status 85 - The file is locked."), daFail);
    EXPECT_EQ(ShownTexts(),
              std::vector<std::string>{"Bill_\rAn error was encountered while attempting to modify data in\rBill_."
                                       "\r\rBtrieve Status 85 - The file is locked." +
                                       CallForAssistanceSuffix});
    EXPECT_EQ(dialogs_->Shown[0].Type, mtError);
    EXPECT_EQ(dm_->Bill_->State(), dsBrowse);
    EXPECT_EQ(dm_->Fee_->State(), dsEdit) << "another table's edit is left alone";
    dm_->Fee_->Cancel();
}

// A real lock held by another client: silent retries through the window, then the question; the lock goes away
// while the question is up and Retry edits the record.
TEST_F(LockRetry, ALockHeldByAnotherClientIsRetriedUntilReleased)
{
    OpenFees();
    LockFirstFeeByOther();
    SteppingTicks ticks(100000, 700);
    dialogs_->AnswerNextBox(mrRetry);
    ticks.onTick = [&] {
        if (dialogs_->Shown.size() == 1 && other_->LockedPosition() != 0) other_->Unlock();
    };
    dm_->Fee_->First();
    dm_->Fee_->Edit();
    EXPECT_EQ(dm_->Fee_->State(), dsEdit);
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_EQ(dialogs_->Shown[0].Text, "A record lock was encountered.");
    dm_->Fee_->Cancel();
}

TEST_F(LockRetry, ALockedFeeIsNotDeletedWhenTheUserCancels)
{
    OpenFees();
    LockFirstFeeByOther();
    SteppingTicks ticks(100000, 700);
    dialogs_->AnswerNextBox(mrCancel);
    dm_->Fee_->First();
    try {
        dm_->Fee_->Delete();
        FAIL() << "the locked fee was deleted";
    } catch (const EAbort& e) {
        EXPECT_EQ(e.Message(), "Ordavane was unable to properly set the file state\rin order to complete your "
                               "requested operation.\rThe audit trail has not been written.\r\r" +
                                   CallForAssistanceSuffix);
    }
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_EQ(dialogs_->Shown[0].Text.substr(0, 50), "Ordavane is attempting to alter this transaction.\r");
    EXPECT_EQ(CountRecords(dm_->Fee_), 2);
}

// --- Audit trail -------------------------------------------------------------------------------------------------------

// Without the audit-trail template the delete is given up; with an audit-trail file that this program cannot read
// (it carries no layout for it) the deletes go on after one message.
TEST_F(LockRetry, DeletesWithoutAnAuditTrail)
{
    OpenFees();
    EXPECT_THROW(dm_->Fee_->Delete(), EAbort);
    EXPECT_EQ(CountRecords(dm_->Fee_), 2);
    EXPECT_FALSE(AuditTrailUnavailable);
    dm_->Fee_->Cancel();

    std::ofstream(Path("tran.s")).put('x');
    dm_->Fee_->First();
    dm_->Fee_->Delete();
    EXPECT_EQ(CountRecords(dm_->Fee_), 1);
    EXPECT_TRUE(AuditTrailUnavailable);
    EXPECT_EQ(ShownTexts(), std::vector<std::string>{
                                "Ordavane was unable to access the alter audit trail file " + Path("tran.s") +
                                ". You will be able to alter transactions, you just won't get a report documenting "
                                "the changes you have made.  Please contact KDV support with any questions."});
    EXPECT_EQ(dialogs_->Shown[0].Type, mtInformation);

    dm_->Fee_->Delete();
    EXPECT_EQ(CountRecords(dm_->Fee_), 0);
    EXPECT_EQ(dialogs_->Shown.size(), 1u) << "one message a run";
}

TEST_F(LockRetry, DescriptionDeletesWithoutAnAuditTrail)
{
    MakeDescriptionFile(folder_);
    OpenDescriptions(dm_->TrDesc_, folder_);
    EXPECT_THROW(dm_->TrDesc_->Delete(), EAbort) << "no audit-trail template";
    EXPECT_EQ(CountRecords(dm_->TrDesc_), 4);
    dm_->TrDesc_->Cancel();

    std::ofstream(Path("tran.s")).put('x');
    dm_->TrDesc_->Delete();
    EXPECT_EQ(CountRecords(dm_->TrDesc_), 3);
    ASSERT_EQ(dialogs_->Shown.size(), 1u);
    EXPECT_TRUE(dialogs_->Shown[0].Text.starts_with("Ordavane was unable to access the alter audit trail file " +
                                                    Path("tran.s") + "."));
    EXPECT_EQ(dm_->LockMessage.substr(0, 61), "Ordavane is attempting to alter or delete the descripton for\r");
}

}  // namespace
