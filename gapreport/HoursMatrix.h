// The hours of a missing-time report: one column per timekeeper with time (1 to n, in the order each first had
// time), then the total column n + 1, each with a cell per report row; the timekeepers' totals and the grand total.
#pragma once

#include <string>
#include <vector>

class THoursMatrix {
public:
    explicit THoursMatrix(int rowCount = 0) : rowCount_(rowCount) {}

    int RowCount() const { return rowCount_; }
    int TimekeeperCount() const { return int(names_.size()); }
    // The timekeepers' codes in column order.
    const std::vector<std::string>& ColumnNames() const { return names_; }
    // The timekeeper's column; 0 when it has none.
    int ColumnOf(const std::string& code) const;

    // Adds to the cell of the timekeeper's column (made when it has none) and the row, to its total and to the
    // grand total. A row outside the report (-1) gives no cell: the hours count in the totals only.
    void AddHours(const std::string& code, int row, double hours);
    // A cell of a timekeeper column or of the total column; 0 outside the matrix.
    double Cell(int column, int row) const;
    double TimekeeperTotal(int column) const;
    double GrandTotal() const { return grandTotal_; }

    // Sums the timekeeper columns of every row into the total column.
    void FillTotalColumn();

private:
    int rowCount_;
    std::vector<std::string> names_;
    // Timekeeper column c at index c - 1.
    std::vector<std::vector<double>> cells_;
    std::vector<double> totalColumn_;
    std::vector<double> totals_;
    double grandTotal_ = 0;
};
