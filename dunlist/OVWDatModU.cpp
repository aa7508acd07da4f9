#include "dunlist/OVWDatModU.h"

#include "rtl/StringRoutines.h"
#include "vcl/Dialogs.h"

TDataModule1* DataModule1 = nullptr;

namespace {

const std::string CallText = "Please Call KDV, Inc. for assistance.";

bool IsBlank(const std::string& text) { return Trim(text).empty(); }

std::string BillFileKind(const std::string& fileName)
{
    return THostDataModule::FileKind(fileName, "hbill.qf", false);
}

void ShowWarning(const std::string& text) { MessageDlg(text, mtWarning, TMsgDlgButtons{mbOK}, 0); }

}  // namespace

TDataModule1::TDataModule1(TComponent* owner) : THostDataModule(owner) {}

void TDataModule1::Publish(TPublisher<TDataModule1>& p)
{
    p.Method("DataModule1Destroy", &TDataModule1::DataModule1Destroy);
}

void TDataModule1::DataModule1Destroy(TObject*)
{
    try {
        if (CaseSave_->Active()) CaseSave_->Close();
        for (TvxBkTable* table : {GroupRates_, EmpRates_, Bill_, Fee_, TrDesc_})
            if (table->Active()) CloseAndClear(table, false);
        for (TvxBkTable* table : {Batch_, BatchDesc_})
            if (table->Active()) table->Close();
        if (OffCodes1_->Active())
            for (TvxBkTable* table : {OffCodes1_, OffCodes2_, ClTypeOne1_, ClTypeOne2_, ClTypeTwo1_, ClTypeTwo2_})
                table->Close();
    } catch (...) {
    }
}

void TDataModule1::CloseFees() { CloseAndClear(Fee_, false); }
void TDataModule1::CloseBills() { CloseAndClear(Bill_, false); }

bool TDataModule1::OpenFees(const std::string& FileName, const std::string& FeeType, const std::string& StartDate,
                            const std::string& EndDate, const std::string& ClientCode, const std::string& CaseSuffix)
{
    static const TFeeOpenStyle style{false, false, false, CallText};
    return OpenFeeRange(style, FileName, FeeType, StartDate, EndDate, ClientCode, CaseSuffix);
}

bool TDataModule1::OpenBills(const std::string& FileName, const std::string& ClientCode,
                             const std::string& CaseSuffix, const std::string& Type)
{
    try {
        OpenOnIndex(Bill_, HostTableName(FileName, "BILLS"), "1");
        if (!IsBlank(CaseSuffix))
            Bill_->SetRange({ClientCode, CaseSuffix, Type}, {ClientCode, CaseSuffix, Type, "999999"});
        else
            Bill_->SetRange({ClientCode, ""}, {ClientCode, "ZZZZZZZ", Type, "999999"});
        Bill_->First();
        return true;
    } catch (const Exception&) {
        ShowWarning("Unable to open the " + BillFileKind(FileName) + " billing file." + "\r" + CallText);
        return false;
    }
}

bool TDataModule1::OpenBillsByInvoice(const std::string& FileName)
{
    try {
        OpenOnIndex(Bill_, HostTableName(FileName, "BILLS"), "3");
        Bill_->First();
        return true;
    } catch (const Exception&) {
        ShowWarning("Unable to open the " + BillFileKind(FileName) + " billing file to calculate A/R." + "\r" +
                    CallText);
        return false;
    }
}

void TDataModule1::ListInvoices(const std::string& MaxDate, bool History, TStringList* Invoices,
                                bool SkipPaidBilled)
{
    ForEachBilledInvoice(MaxDate, History, [&](const std::string& entry, const std::string& status) {
        if (SkipPaidBilled && (status == "P" || status == "B" || status == "PB")) return;
        Invoices->Add(entry);
    });
}

void TDataModule1::SumInvoiceAmounts(const std::string& InvoiceNumber, const std::string& MaxDate,
                                     std::string& CutDate, std::string& BillDate, InvoiceAmounts& amounts)
{
    double noRetainerAdjustment = 0;
    THostDataModule::SumInvoiceAmounts(InvoiceNumber, MaxDate, true, amounts, BillDate, CutDate,
                                       noRetainerAdjustment);
}
