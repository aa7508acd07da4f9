#include "hostdata/tests/HostRows.h"

std::string Suffix(const std::string& suffix) { return RightJustified(suffix, 7); }

Integer CountRecords(TDataSet* table)
{
    Integer count = 0;
    for (table->First(); !table->Eof(); table->Next()) ++count;
    table->First();
    return count;
}

void AddClients(THostDataDir& dir, const std::vector<TClientRow>& rows)
{
    AddRows(dir, "yclient.qf", rows, [](THostRecord& record, const TClientRow& row) {
        record.Set("Client Code", row.Code).Set("Client First Name", row.FirstName);
        record.Set("Client Last Name", row.LastName).Set("Unassigned", "000000");
    });
}

void AddFees(THostDataDir& dir, const std::string& file, const std::vector<TFeeRow>& rows)
{
    AddRows(dir, file, rows, [](THostRecord& record, const TFeeRow& row) {
        record.Set("Client Code", row.Client).Set("Case Suffix", row.Case).Set("Type", row.Type);
        record.Set("Sub Type", row.SubType).Set("Transaction Date", row.Date).Set("Invoice Number", row.Invoice);
        record.SetDecimal("Actual Hours", row.ActualHours).SetDecimal("Billable Hours", row.BillableHours);
        record.SetDecimal("Actual $", row.Actual).SetDecimal("Billable $", row.Billable);
    });
}

void AddBills(THostDataDir& dir, const std::string& file, const std::vector<TBillRow>& rows)
{
    static const char* const amountFields[] = {"Fees",      "Direct Costs", "Indirect Costs",
                                               "Finance Charges", "Sales Tax", "Retainer"};
    AddRows(dir, file, rows, [](THostRecord& record, const TBillRow& row) {
        record.Set("Client Code", row.Client).Set("Case Suffix", row.Case).Set("Type", row.Type);
        record.Set("Transaction Date", row.Date).Set("Status", row.Status).Set("Invoice Number", row.Invoice);
        record.Set("Sys\\Cut Date", row.CutDate).Set("Group\\Frozen", row.Frozen);
        for (size_t i = 0; i < row.Amounts.size(); ++i) record.SetDecimal(amountFields[i], row.Amounts[i]);
    });
}

void AddCodes(THostDataDir& dir, const std::vector<TCodeRow>& rows)
{
    AddRows(dir, "ytable.qf", rows, [](THostRecord& record, const TCodeRow& row) {
        record.Set("type code", row.TypeCode).Set("code", row.Code).Set("Description", row.Description);
    });
}

