// The cells of an hours matrix as the tests compare them.
#pragma once

#include <vector>

#include "gapreport/HoursMatrix.h"

using TCells = std::vector<std::vector<double>>;

// Column by column: the timekeepers' columns, then the total column.
inline TCells CellsOf(const THoursMatrix& hours)
{
    TCells cells;
    for (int column = 1; column <= hours.TimekeeperCount() + 1; ++column) {
        std::vector<double>& cell = cells.emplace_back();
        for (int row = 0; row < hours.RowCount(); ++row) cell.push_back(hours.Cell(column, row));
    }
    return cells;
}
