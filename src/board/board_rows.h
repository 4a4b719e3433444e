#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/grid_table.h"
#include "feed/records.h"

namespace zelko {

// Writing a match record into a row of RX, as the today load and the money refresh both do.

// The identity cells: ID, MY, date, flag and league hint, time, teams, the hidden feed values of
// columns 8 to 26 and the market labels of columns 66 to 71.
void FillBoardRow(GridTable& rx, int row, const RecordReader& record);

// Score, status and minute by the record's status ("SOON", "FINISH", "CANCEL"); a LIVE row and
// any other word get nothing.
void WriteStatusCells(GridTable& rx, int row, std::string_view status, const RecordReader& record);

// The balances and verdicts of a freshly filled row: book balances, first verdict into 97 (red),
// the projection from 0:0, money balances, second verdict into 98 (green), extremes. Gives the
// verdict and its odds for a caller that may post a BigBet.
// One figure per market selection, in the order of kSelections.
using PerSelection = std::array<std::int32_t, 13>;

// Paints the market cells of a row by the shares the service gives: W1, X and W2 (odds,
// percent and money) white, chartreuse above 69 %, 30 % and 69 %, yellow above 100 %; the ten
// Over/Under percent cells white, spring green above 80 %, yellow above 100 %; and an Over
// line's money cell orange when its money exceeds the whole 1X2 money.
void PaintMarketCells(GridTable& rx, int row, const PerSelection& percents,
                      const PerSelection& money);

struct RowVerdict {
  std::string verdict;
  std::string odds;
};
RowVerdict WriteNewRowBalances(GridTable& rx, int row);

}  // namespace zelko
