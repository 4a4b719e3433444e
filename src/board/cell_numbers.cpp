#include "board/cell_numbers.h"

#include "feed/text.h"

namespace zelko {

std::int32_t CellInt(const GridTable& rx, int column, int row) {
  return WholeNumberOr0(rx.TextView(column, row));
}

std::int32_t CellProfit(const GridTable& rx, int moneyColumn, int oddsColumn, int row) {
  return NetWin(CellInt(rx, moneyColumn, row), rx.TextView(oddsColumn, row));
}

}  // namespace zelko
