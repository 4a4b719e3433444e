#pragma once

#include <cstdint>

#include "board/grid_table.h"

namespace zelko {

// The text of cell (column, row) of RX as a whole number; 0 for anything else.
std::int32_t CellInt(const GridTable& rx, int column, int row);

// The net win of the money on one selection at its odds: round(money x odds) - money, a half
// going to the even neighbour; odds that do not read as a number count as 1.
std::int32_t CellProfit(const GridTable& rx, int moneyColumn, int oddsColumn, int row);

}  // namespace zelko
