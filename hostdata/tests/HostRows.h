// Row builders for fixture host files: the client, fee, bill and code records the data modules' queries read.
#pragma once

#include <string>
#include <vector>

#include "db/DataSet.h"
#include "tools/mkdemo/HostDataDir.h"

struct TClientRow {
    std::string Code, FirstName, LastName;
};

struct TFeeRow {
    std::string Client, Case, Type, SubType, Date;
    double ActualHours = 0, BillableHours = 0, Actual = 0, Billable = 0;
    std::string Invoice = {};
};

struct TBillRow {
    std::string Client, Case, Type, Date, Status, Invoice;
    std::vector<double> Amounts;  // fees, direct costs, indirect costs, finance charges, sales tax, retainer
    std::string CutDate = {}, Frozen = {};
};

struct TCodeRow {
    std::string TypeCode, Code, Description;
};

// A case suffix as the case, fee and bill files hold it: right-justified in seven characters.
std::string Suffix(const std::string& suffix);

// The records of the table's range that its filter keeps, counted from the first; the table stays on the first.
Integer CountRecords(TDataSet* table);

// Makes the file and inserts a record per row, filled by fill(record, row).
template <class Row, class Fill>
void AddRows(THostDataDir& dir, const std::string& file, const std::vector<Row>& rows, Fill fill)
{
    dir.MakeFile(file);
    for (const Row& row : rows) {
        THostRecord record = dir.NewRecord(file);
        fill(record, row);
        dir.Insert(file, record);
    }
}

void AddClients(THostDataDir& dir, const std::vector<TClientRow>& rows);
void AddFees(THostDataDir& dir, const std::string& file, const std::vector<TFeeRow>& rows);
void AddBills(THostDataDir& dir, const std::string& file, const std::vector<TBillRow>& rows);
void AddCodes(THostDataDir& dir, const std::vector<TCodeRow>& rows);

