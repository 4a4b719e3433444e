#include "board/cell_numbers.h"

#include "feed/text.h"

namespace zelko {

std::int32_t CellInt(const GridTable& rx, int column, int row) {
  return WholeNumberOr0(rx.TextView(column, row));
}

std::int32_t CellProfit(const GridTable& rx, int moneyColumn, int oddsColumn, int row) {
  const std::int32_t money = CellInt(rx, moneyColumn, row);
  const double odds = ParseOdds(rx.TextView(oddsColumn, row)).value_or(1.0);
  const std::int64_t win = RoundHalfEven(static_cast<double>(money) * odds);
  return static_cast<std::int32_t>(win - money);
}

}  // namespace zelko
