// CellInt and CellProfit on whatever a reply may have written into a money and an odds cell.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "board/cell_numbers.h"
#include "board/columns.h"
#include "board/grid_table.h"
#include "feed/text.h"
#include "fuzz_support.h"

using zelko::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // "MONEY\nODDS": the money cell's text, then the odds cell's.
  const std::string_view input = zelko::fuzz::AsText(data, size);
  const std::size_t cut = input.find('\n');
  const std::string_view money = input.substr(0, cut);
  const std::string_view odds =
      cut == std::string_view::npos ? std::string_view{} : input.substr(cut + 1);

  static zelko::GridTable rx("RX", zelko::RxColumns());
  rx.ClearRows();
  const int row = rx.AddRow();
  const zelko::SelectionColumns& w1 = zelko::kSelections[0];
  rx.SetCellText(w1.money, row, money);
  rx.SetCellText(w1.odds, row, odds);

  const std::int32_t cellInt = zelko::CellInt(rx, w1.money, row);
  Require(cellInt == zelko::WholeNumberOr0(money), "CellInt differs from the whole number");
  // Cells outside the grid read as empty.
  Require(zelko::CellInt(rx, w1.money, row + 1) == 0, "a cell below the grid is not 0");
  Require(zelko::CellInt(rx, -1, row) == 0, "a cell left of the grid is not 0");

  const std::int32_t profit = zelko::CellProfit(rx, w1.money, w1.odds, row);
  const double factor = zelko::ParseOdds(odds).value_or(1.0);
  const double exact = static_cast<double>(cellInt) * factor - static_cast<double>(cellInt);
  // Where the true net win fits in 32 bits with room to spare, the cell reads it.
  if (std::isfinite(exact) && std::fabs(exact) < 1e9 && std::fabs(factor) < 1e9) {
    Require(profit == zelko::NetWin(cellInt, odds), "CellProfit differs from the net win");
    Require(std::fabs(static_cast<double>(profit) - exact) <= 0.5 + 1e-6 * std::fabs(exact),
            "CellProfit far from the exact win");
  }
  if (!zelko::ParseOdds(odds)) Require(profit == 0, "odds that are no number must win nothing");
  return 0;
}
