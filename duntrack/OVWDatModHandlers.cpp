// The data module's code and rate-code tables, the name and batch handlers, the record-lock retry, and the audit
// trail and general-ledger files written when a transaction is deleted.
#include <cstdlib>

#include "hostdata/DateFmtu.h"
#include "hostdata/OVWCon.h"
#include "duntrack/OVWDatModU.h"
#include "rtl/Clock.h"
#include "rtl/CommandLine.h"
#include "rtl/FileUtils.h"
#include "rtl/StringRoutines.h"
#include "rtl/WinApi.h"
#include "vcl/Dialogs.h"
#include "vcl/Forms.h"

bool AuditTrailUnavailable = false;
std::string WorkstationSuffix;
std::string TemplateDirectory;
std::string GLControlFlags;

namespace {

// A lock deadline farther than this from now, either way, is stale.
constexpr Integer StaleDeadlineMs = 20000;
constexpr Cardinal DefaultLockRetryMs = 5000;

const char* const RecordLockText = "A record lock was encountered.";
const char* const FeeLockText =
    "Ordavane is attempting to alter this transaction.\rIt appears to be in use at another workstation. \r\r"
    "You may continue to attempt this operation by selecting 'RETRY',\rin which case this message will reappear "
    "after 5 seconds if\rOrdavane is still unable to proceed.\r\rSelecting 'CANCEL' means that your changes will "
    "not be saved,\rbut you may attempt to alter this transaction at a later time.";
const char* const DescriptionLockText =
    "Ordavane is attempting to alter or delete the descripton for\rthis transaction.  It appears to be in use at "
    "another workstation. \r\rYou may continue to attempt this operation by selecting 'RETRY',\rin which case this "
    "message will reappear after 5 seconds if\rOrdavane is still unable to proceed.\r\rSelecting 'CANCEL' means "
    "that your changes will not be saved,\rbut you may attempt to alter this transaction at a later time.";
// The engine's message of a record lock begins so.
const std::string RecordLockStatus = "Btrieve Status 84";

const char* const GeneralLedgerFlagFields[] = {
    "FeeAct",     "FeeWU",      "FeeWD",     "FeeBillable", "DirCostAct", "DirCostWU",      "DirCostWD",
    "DirCostBillable", "IndCostAct", "IndCostWU", "IndCostWD", "IndCostBillable", "FeeBill", "FeePay",
    "FeeAdj",     "FeeTransfer", "DCBill",   "DCPay",       "DCAdj",      "DCTransfer",     "ICBill",
    "ICPay",      "ICAdj",      "ICTransfer", "FinChgBill", "FinChgPay", "FinChgAdj",      "FinChgTransfer",
    "STaxBill",   "STaxPay",    "STaxAdj",   "STaxTransfer", "RetainBill", "RetainPay",     "RetainAdj",
    "TrustCr",    "TrustDb",    "UnallocPay", "UnallocAdj", "UnallocTransfer"};

std::string Text(TDataSet* table, const char* field) { return table->FieldByName(field)->AsString(); }
double Amount(TDataSet* table, const char* field) { return table->FieldByName(field)->AsFloat(); }

void ShowError(const std::string& text) { MessageDlg(text, mtError, TMsgDlgButtons{mbOK}, 0); }

// Before the general-ledger messages the screen shows the default cursor again.
void ShowGLMessage(const std::string& text)
{
    Screen->SetCursor(crDefault);
    ShowMessage(text);
}

void ShowGLError(const std::string& text)
{
    Screen->SetCursor(crDefault);
    ShowError(text);
}

bool CopyTemplate(const std::string& templatePath, const std::string& target)
{
    return CopyFileA(templatePath.c_str(), target.c_str(), TRUE) != 0;
}

bool IsRecordLockError(const std::string& message) { return message.starts_with(RecordLockStatus); }

// Milliseconds from now to the deadline, negative when it has passed (tick counts wrap).
Int64 MsUntil(Cardinal deadline, Cardinal now) { return Integer(deadline - now); }

// The first name, the last name and the result of the name fields a table carries.
struct TNameFields {
    TField* First;
    TField* Last;
};

TNameFields NameFieldsOf(TDataSet* dataSet)
{
    if (TField* first = dataSet->FindField("Client First Name"))
        return {first, dataSet->FieldByName("Client Last Name")};
    return {dataSet->FieldByName("Employee First Name"), dataSet->FieldByName("Employee Last Name")};
}

std::string BatchTypeText(const std::string& type, const std::string& subType)
{
    if (type == "A") return "Adjustment";
    if (type == "B") return "Retainer Billing";
    if (type == "C") return subType == "D" ? "Direct Cost" : "Indirect Cost";
    if (type == "F") return "Fee";
    if (type == "P") return "Payment";
    if (type == "R") return "Retainer Transfer";
    if (type == "T") return subType == "D" ? "Trust Debit" : "Trust Credit";
    return "";
}

}  // namespace

// --- Code and rate-code tables ----------------------------------------------------------------------------------------

void TDM::OpenTableList(const std::vector<TvxBkTable*>& tables, const std::string& fileName, const std::string& layout,
                        const std::string& firstIndex, const std::string& secondIndex)
{
    try {
        for (TvxBkTable* table : tables) {
            table->SetTableName(HostTableName(fileName, layout));
            table->Open();
            table->SetIndexName(table->Name().ends_with("1_") ? firstIndex : secondIndex);
        }
    } catch (const Exception&) {
        ShowError("Unable to access the file " + fileName + ".\r" + CallForAssistanceSuffix);
    }
}

void TDM::ActivateCodeTables()
{
    const std::string program = UpperCase(ParamStr(0));
    if (program.find("CLIENT") != std::string::npos)
        OpenTableList({OffCodes1_, OffCodes2_, ClTypeOne1_, ClTypeOne2_, ClTypeTwo1_, ClTypeTwo2_}, "ytable.qf",
                      "SIMPLECD", "5", "4");
    else if (program.find("CASES") != std::string::npos)
        OpenTableList({DeptCodes1_, DeptCodes2_, CaTypeOne1_, CaTypeOne2_, CaTypeTwo1_, CaTypeTwo2_, CaTypeThree1_,
                       CaTypeThree2_, StMsg1_, StMsg2_},
                      "ytable.qf", "SIMPLECD", "5", "4");
}

void TDM::ActivateRATables()
{
    OpenTableList({RAOne1_, RAOne2_, RATwo1_, RATwo2_, RAThree1_, RAThree2_}, "yempl.qf", "EMP", "1", "3");
}

void TDM::OffCodes1_CalcFields(TDataSet* DataSet)
{
    DataSet->FieldByName("DescCode")
        ->SetAsString(Trim(Text(DataSet, "Description")) + "  (" + Trim(Text(DataSet, "code")) + ")");
}

void TDM::FilterCodeList(TDataSet* dataSet, bool& accept, const char* list)
{
    accept = Text(dataSet, "type code") == list;
}

void TDM::OffCodes1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "O"); }
void TDM::ClTypeOne1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "L"); }
void TDM::CaTypeOne1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "A"); }
void TDM::CaTypeThree2_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "A"); }
void TDM::DeptCodes1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "D"); }
void TDM::StMsg1_FilterRecord(TDataSet* DataSet, bool& Accept) { FilterCodeList(DataSet, Accept, "S"); }

// --- Client and employee names ------------------------------------------------------------------------------------

void TDM::Client1_CalcFields(TDataSet* DataSet)
{
    const TNameFields names = NameFieldsOf(DataSet);
    const std::string first = Trim(names.First->AsString());
    const std::string last = Trim(names.Last->AsString());
    std::string result = last;
    if (!first.empty() && !last.empty())
        result = last + ", " + first;
    else if (!first.empty())
        result = first;
    DataSet->FieldByName("LastCommaFirst")->SetAsString(result);
}

void TDM::Client1_SalesTaxSetText(TField*, const std::string&) {}
void TDM::Client1_UnassignedSetText(TField*, const std::string&) {}

void TDM::Client1_SalesTaxGetText(TField* Sender, std::string& Text, bool)
{
    Text = Sender->AsString();
    if (Trim(Text).empty()) Text = "0";
}

// --- Batch transactions -----------------------------------------------------------------------------------------------

void TDM::Batch_NewRecord(TDataSet* DataSet) { DataSet->FieldByName("TrDate")->SetAsString("-1"); }

void TDM::Batch_FilterRecord(TDataSet* DataSet, bool& Accept) { Accept = Text(DataSet, "Unassigned") != "S"; }

void TDM::Batch_BeforeDelete(TDataSet* DataSet)
{
    if (BatchDesc_->RecordCount() < 2) return;
    const std::string sequence = Text(DataSet, "SeqNumber");
    BatchDesc_->FindNearest({sequence});
    while (!BatchDesc_->Eof() && Text(BatchDesc_, "SequenceNumber") == sequence) BatchDesc_->Delete();
}

void TDM::Batch_CalcFields(TDataSet* DataSet)
{
    const std::string displayDate = HostDateToShortDisplayDate(Text(DataSet, "TrDate"), true);
    DataSet->FieldByName("DisplayDate")->SetAsString(HostDateError ? "********" : displayDate);
    HostDateError = false;

    const std::string type = Text(DataSet, "Trtype");
    const std::string subType = Text(DataSet, "SubType");
    const std::string invoice = Text(DataSet, "InvoiceNumber");
    if (!type.empty()) DataSet->FieldByName("TransTypeString")->SetAsString(BatchTypeText(type, subType));

    double amount = 0;
    std::string displayInvoice = invoice;
    if (type == "F" || type == "C" || type == "T") {
        amount = Amount(DataSet, type == "T" ? "ADollars" : "BDollars");
    } else if (Amount(DataSet, "BDollars") != 0) {
        amount = Amount(DataSet, "BDollars");
        displayInvoice = "multiple";
    } else {
        amount = Amount(DataSet, "FeeDollars") + Amount(DataSet, "DCDollars") + Amount(DataSet, "ICDollars") +
                 Amount(DataSet, "FCDollars") + Amount(DataSet, "STDollars");
        if (type != "R")
            amount += Amount(DataSet, "RetDollars");
        else if (Trim(invoice).empty())
            amount = Amount(DataSet, "RetDollars");
        displayInvoice = type == "B" && Trim(invoice).empty() ? "pending" : invoice;
    }
    if ((type == "P" || type == "R" || type == "T") && subType != "C") amount = -amount;
    DataSet->FieldByName("DisplayAmount")->SetAsFloat(amount);
    DataSet->FieldByName("DisplayInv")->SetAsString(displayInvoice);
}

// --- Record locks ------------------------------------------------------------------------------------------------------

void TDM::SetLockRetry(Cardinal interval, const std::string& message)
{
    LockMessage = message;
    LockDeadline = TickCount() + interval;
}

void TDM::Fee_EditError(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)
{
    const Cardinal now = TickCount();
    if (std::abs(MsUntil(LockDeadline, now)) > StaleDeadlineMs) {
        if (LockRetryInterval == 0) LockRetryInterval = DefaultLockRetryMs;
        SetLockRetry(LockRetryInterval, RecordLockText);
    }
    if (MsUntil(LockDeadline, now) > 0) {
        Action = daRetry;
        return;
    }
    if (!IsRecordLockError(E.Message())) {
        const std::string name = DataSet->Name();
        ShowError(name + "\r" + "An error was encountered while attempting to modify data in\r" + name + "." + "\r" +
                  "\r" + E.Message() + CallForAssistanceSuffix);
        DataSet->Cancel();
        return;
    }
    const TModalResult answer = MessageDlg(LockMessage, mtInformation, TMsgDlgButtons{mbRetry, mbCancel}, 0);
    if (answer == mrRetry) {
        LockDeadline = TickCount() + LockRetryInterval;
        Action = daRetry;
    } else {
        Action = daAbort;
        DataSet->Cancel();
    }
}

void TDM::Fee_BeforeEdit(TDataSet*) { Fee_->Cancel(); }
void TDM::Fee_BeforeInsert(TDataSet*) { Fee_->Cancel(); }
void TDM::Fee_BeforePost(TDataSet*) {}
void TDM::Bill_BeforePost(TDataSet*) {}
void TDM::Bill_BeforeDelete(TDataSet*) {}
void TDM::TrDesc_BeforePost(TDataSet*) {}
void TDM::Case1_BeforeScroll(TDataSet*) {}

// --- Audit trail of deleted transactions --------------------------------------------------------------------------------

bool TDM::LockForDelete(TvxBkTable* table, const char* lockMessage)
{
    LockRetryInterval = DefaultLockRetryMs;
    SetLockRetry(LockRetryInterval, lockMessage);
    if (table->State() == dsEdit) return true;
    try {
        table->Edit();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void TDM::Fee_BeforeDelete(TDataSet*)
{
    if (!LockForDelete(Fee_, FeeLockText))
        throw EAbort("Ordavane was unable to properly set the file state\rin order to complete your requested "
                     "operation.\rThe audit trail has not been written.\r\r" +
                     CallForAssistanceSuffix);
    if (CloseTrailTable(Tran1_, "Ordavane was unable to prepare the audit trail file to document the change you "
                                "are making.  The following error was encountered:\r") &&
        OpenAuditTrail())
        AuditDeletedFee();
}

void TDM::AuditDeletedFee()
{
    try {
        Tran1_->AppendRecord({0, "2", Text(Fee_, "Type"), Text(Fee_, "Client Code"), Text(Fee_, "Case Suffix"),
                              Text(Fee_, "Transaction Date"), Text(Fee_, "Sub Type"), Text(Fee_, "Employee Code"),
                              Text(Fee_, "Entry Date"), Text(Fee_, "HNDR"), Text(Fee_, "Group Code"),
                              Text(Fee_, "Fixed Fee"), Amount(Fee_, "Actual Hours"), Amount(Fee_, "Actual $"),
                              Text(Fee_, "Bill Enp Code"), Amount(Fee_, "Billable Hours"),
                              Amount(Fee_, "Billable $"), 0, 0, 0, 0, 0, 0, Text(Fee_, "Invoice Number"),
                              Text(Fee_, "Sequence Number"), std::string(10, ' ')});
    } catch (const Exception& e) {
        ShowError("Ordavane was unable to write to the audit trail file:\r\r" + e.Message() + CallForAssistanceSuffix);
        Fee_->Cancel();
        throw;
    }
}

void TDM::TrDesc_BeforeDelete(TDataSet*)
{
    if (!LockForDelete(TrDesc_, DescriptionLockText)) Abort();
    if (CloseTrailTable(Tran2_, "Ordavane was unable to prepare the audit trail file to document the change you "
                                "are making. The following error was encountered:\r") &&
        OpenDescriptionAuditTrail())
        AuditDeletedDescription();
}

void TDM::AuditDeletedDescription()
{
    try {
        Tran2_->AppendRecord({0, "8", Text(TrDesc_, "Description"), std::string(26, ' '),
                              Text(TrDesc_, "SequenceNumber"), std::string(10, ' ')});
    } catch (const Exception&) {
        ShowError("Ordavane was unable to write to the audit trail file." + CallForAssistanceSuffix);
        throw;
    }
}

// False (after the message) when an open audit-trail table cannot be closed.
bool TDM::CloseTrailTable(TvxBkTable* table, const std::string& failureText)
{
    try {
        if (table->Active()) table->Close();
        return true;
    } catch (const Exception& e) {
        ShowError(failureText + e.Message());
        return false;
    }
}

bool TDM::OpenAuditTrail()
{
    if (!OpenTrailTable(Tran1_, "TRAN")) return false;
    OpenGLBatchFile();
    LoadGLControl();
    return true;
}

bool TDM::OpenDescriptionAuditTrail() { return OpenTrailTable(Tran2_, "TRAN2"); }

bool TDM::OpenTrailTable(TvxBkTable* table, const std::string& layout)
{
    if (AuditTrailUnavailable) return false;
    const std::string file = DataDirectory + "\\tran" + WorkstationSuffix + ".s";
    if (!FileExists(file)) {
        const std::string templatePath = TemplateDirectory + "\\Tran.clo";
        if (!CopyTemplate(templatePath, file))
            throw EAbort("A required file could not be found: " + templatePath + CallForAssistanceSuffix);
    }
    try {
        table->SetTableName(DataDirectory + "\\Tran" + WorkstationSuffix + ".s;RES:" + layout);
        table->SetIndexName("0");
        table->Open();
        return true;
    } catch (const Exception&) {
        AuditTrailUnavailable = true;
        MessageDlg("Ordavane was unable to access the alter audit trail file " + file + "." +
                       " You will be able to alter transactions, you just won't get a report documenting the" +
                       " changes you have made.  Please contact KDV support with any questions.",
                   mtInformation, TMsgDlgButtons{mbOK}, 0);
        return false;
    }
}

// --- General-ledger files ------------------------------------------------------------------------------------------------

bool TDM::OpenGLBatchFile()
{
    const std::string file = DataDirectory + "\\Glac" + WorkstationSuffix;
    try {
        GlacTB->SetTableName(file + ";RES:Glac");
        if (GlacTB->Active()) return true;
        if (!FileExists(file)) {
            const std::string templatePath = TemplateDirectory + "\\Glac.clo";
            if (!FileExists(templatePath)) {
                ShowGLError("The file, " + TemplateDirectory + "\\Glac.clo is missing." + CallForAssistanceSuffix);
                return false;
            }
            if (!CopyTemplate(templatePath, file)) {
                ShowGLMessage("The file  " + file + "  can't be created." + CallForAssistanceSuffix);
                return false;
            }
        }
        GlacTB->Open();
        return true;
    } catch (const Exception& e) {
        ShowGLMessage("Unable to open " + file + "\r" + "\r" + e.Message() + CallForAssistanceSuffix);
        return false;
    }
}

bool TDM::LoadGLControl()
{
    const std::string file = DataDirectory + "\\Gl.qc";
    GL2TB->SetTableName(file + ";RES:GL2");
    if (!FileExists(file)) {
        ShowGLError("Your General Ledger control file has not been created.\r\rGo to Interfaces/General "
                    "Ledger/Create Control File and create your file before you continue.");
        return false;
    }
    try {
        if (!GL2TB->Active()) GL2TB->Open();
    } catch (const Exception& e) {
        ShowGLMessage("Unable to open " + file + "\r" + e.Message() + CallForAssistanceSuffix);
        return false;
    }
    try {
        GL2TB->SetIndexName("1");
    } catch (const Exception& e) {
        ShowGLMessage("Unable to open index 1 for " + file + "." + "\r" + e.Message() + CallForAssistanceSuffix);
        return false;
    }
    if (!GL2TB->FindKey({std::string("    B")})) {
        ShowGLError("Your General Ledger control file has not been fully created.\r\rYou must do so before you "
                    "continue.\r\rGo to Interfaces/General Ledger/Create Control File and create your file before "
                    "you continue.");
        return false;
    }
    GLControlFlags.clear();
    for (const char* flag : GeneralLedgerFlagFields) {
        const std::string value = Text(GL2TB, flag);
        GLControlFlags += value.empty() ? std::string(" ") : value;
    }
    GL2TB->Close();
    return true;
}
