// A data module on a fixture data directory: host files made by the test, alias VAVUZ pointed at them in a scratch
// machine registry, scripted message boxes, and row builders for the host files the module's queries read.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "duntrack/OVWDatModU.h"
#include "tools/mkdemo/HostDataDir.h"
#include "tools/mkdemo/MachineRegistryOverride.h"
#include "vcl/TestHelpers.h"

struct TClientRow {
    std::string Code, FirstName, LastName;
};

struct TFeeRow {
    std::string Client, Case, Type, SubType, Date;
    double ActualHours = 0, BillableHours = 0, Actual = 0, Billable = 0;
    std::string Invoice;
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

class DataModuleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Fills the data directory before the module is created.
    virtual void MakeFiles(THostDataDir& dir) {}

    std::string Path(const std::string& file) const { return folder_ + "\\" + file; }
    // The texts of the message boxes shown so far.
    std::vector<std::string> ShownTexts() const;

    std::string folder_;
    std::unique_ptr<TMachineRegistryOverride> registry_;
    std::unique_ptr<TScriptedDialogs> dialogs_;
    TDM* dm_ = nullptr;
};
