#pragma once

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
struct RowVerdict {
  std::string verdict;
  std::string odds;
};
RowVerdict WriteNewRowBalances(GridTable& rx, int row);

}  // namespace zelko
