// TDataModule1: the note viewer's data module. The host tables it shares with the tracking program's module, read
// from its own form file, and its versions of the account queries on the fee and bill files.
#pragma once

#include <string>

#include "hostdata/HostDataModule.h"

class TStringList;

class TDataModule1 : public THostDataModule {
    DUN_CLASS(TDataModule1, THostDataModule)
public:
    explicit TDataModule1(TComponent* owner);
    static void Publish(TPublisher<TDataModule1>& p);

    // Fee_ on the file's key "1", on its first record: the client's records when the case suffix is blank, else
    // one case's records of FeeType (dated StartDate to EndDate when a start is given).
    bool OpenFees(const std::string& FileName, const std::string& FeeType, const std::string& StartDate,
                  const std::string& EndDate, const std::string& ClientCode, const std::string& CaseSuffix);
    // Bill_ on the file's key "1", on its first record: one case's records of Type, or (blank case suffix) every
    // record of the client.
    bool OpenBills(const std::string& FileName, const std::string& ClientCode, const std::string& CaseSuffix,
                   const std::string& Type);
    // Bill_ on the invoice key, on its first record.
    bool OpenBillsByInvoice(const std::string& FileName);
    // Appends an entry (invoice number (8), "H" or "C", case suffix, status) for every bill of type "B" dated up to
    // MaxDate; with SkipPaidBilled none of status "P", "B" or "PB". Unsorted, duplicates kept.
    void ListInvoices(const std::string& MaxDate, bool History, TStringList* Invoices, bool SkipPaidBilled);
    // The invoice's amounts in held mode (held or billed records go to index 24) and its bill date.
    void SumInvoiceAmounts(const std::string& InvoiceNumber, const std::string& MaxDate, std::string& CutDate,
                           std::string& BillDate, InvoiceAmounts& amounts);

    void CloseFees();
    void CloseBills();

    void DataModule1Destroy(TObject* Sender);
};

// The program's one data module.
extern TDataModule1* DataModule1;
