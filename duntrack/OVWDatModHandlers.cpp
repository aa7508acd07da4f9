// The data module's record-lock retry, and the audit trail and general-ledger files written when a transaction is
// deleted.
#include <cstdlib>

#include "hostdata/OVWCon.h"
#include "duntrack/OVWDatModU.h"
#include "rtl/Clock.h"
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

}  // namespace

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
