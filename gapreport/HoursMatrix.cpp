#include "gapreport/HoursMatrix.h"

#include <algorithm>

int THoursMatrix::ColumnOf(const std::string& code) const
{
    const auto found = std::find(names_.begin(), names_.end(), code);
    return found == names_.end() ? 0 : int(found - names_.begin()) + 1;
}

void THoursMatrix::AddHours(const std::string& code, int row, double hours)
{
    int column = ColumnOf(code);
    if (column == 0) {
        names_.push_back(code);
        totals_.push_back(0);
        cells_.emplace_back(size_t(rowCount_), 0.0);
        column = int(names_.size());
    }
    if (row >= 0 && row < rowCount_) cells_[size_t(column - 1)][size_t(row)] += hours;
    totals_[size_t(column - 1)] += hours;
    grandTotal_ += hours;
}

double THoursMatrix::Cell(int column, int row) const
{
    if (row < 0 || row >= rowCount_) return 0;
    if (column >= 1 && column <= TimekeeperCount()) return cells_[size_t(column - 1)][size_t(row)];
    if (column == TimekeeperCount() + 1 && !totalColumn_.empty()) return totalColumn_[size_t(row)];
    return 0;
}

double THoursMatrix::TimekeeperTotal(int column) const
{
    return column >= 1 && column <= TimekeeperCount() ? totals_[size_t(column - 1)] : 0;
}

void THoursMatrix::FillTotalColumn()
{
    totalColumn_.assign(size_t(rowCount_), 0.0);
    for (const std::vector<double>& column : cells_) {
        for (int row = 0; row < rowCount_; ++row) totalColumn_[size_t(row)] += column[size_t(row)];
    }
}
