#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "board/colors.h"
#include "board/grid_table.h"

namespace zelko {

// One balance per correct score, in the order of the balance columns 78 to 92.
using Balances = std::array<std::int32_t, 15>;

// Sends a BigBet for an RX row: (row, verdict odds, verdict).
using BigBetSink = std::function<void(int row, std::string_view odds, std::string_view bet)>;

Balances ComputeBookBalances(const GridTable& rx, int row);
Balances ComputeMoneyBalances(const GridTable& rx, int row);
// Columns 78 to 92: lime above 0, red below 0, a zero keeps its colour.
void WriteScoreBalances(GridTable& rx, int row, const Balances& balances);
// Columns 93, 94 and 75 to 77 from the score text of column 72.
void ProjectScore(GridTable& rx, int row, const Balances& balances);
// Applies the five verdict rules; when one holds, replaces `verdict` and `verdictOdds` and
// paints the verdict's odds cell yellow. Gives whether a rule held.
bool FindVerdict(GridTable& rx, int row, const Balances& balances, std::string& verdict,
                 std::string& verdictOdds);
// Shows a verdict in column 97 or 98 by the status rule (SOON shows, LIVE keeps, others clear).
void ShowVerdict(GridTable& rx, int row, int column, Color color, std::string_view verdict);
// Sends the BigBet when the row is not LIVE, the verdict is not empty, columns 97 and 98 agree
// and the 1X2 money is above 1000. Gives whether it was sent.
bool CheckBigBet(GridTable& rx, int row, std::string_view verdict, std::string_view verdictOdds,
                 const BigBetSink& send);
// The whole sequence the analysis runs: balances, verdicts, projection, extremes, BigBet.
void EvaluateScores(GridTable& rx, int row, const BigBetSink& send);

}  // namespace zelko
