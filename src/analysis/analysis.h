#pragma once

#include <string>
#include <string_view>

#include "analysis/signals.h"
#include "board/controls.h"
#include "board/grid_table.h"
#include "feed/platform.h"

namespace zelko {

// The three fields of a hidden selection text "REFERENCE>>MONEY>>ODDS>>".
struct SelectionFigures {
  double reference = 0;
  double money = 0;
  std::string odds;
};
SelectionFigures ParseSelectionText(std::string_view text);

// Whether a double click on a board row of this status analyses the match: exactly "SOON" or
// "LIVE".
bool IsAnalysable(std::string_view status);

// What one analysis run touches besides the analysed row.
struct AnalysisContext {
  GridTable& rx;
  GridTable& sbx;
  Platform& platform;  // the run's own client, pending events
  const SignalSender& signals;
  Gauge& progress;
  Timer& timer1;
  Timer& timer2;
};

// Re-derives the 13 selections of the row from its selection texts, raises StrangeBets, runs the
// balances and verdicts, and posts the market picture. `grid` is the board the row belongs to
// (always RX). The run always ends tidy (client freed, gauge hidden, grid and both timers
// enabled); a failed analysis request then raises ServiceError.
void AnalyzeMatch(AnalysisContext& context, GridTable& grid, int row);

// Sends "/bf/bffa.php" to the signals' service host, through `client`, with the row's market
// picture, and shows the reply's "last" time.
// A failed request raises ServiceError and leaves columns 95 and 96 as they were.
void SubmitAnalysis(AnalysisContext& context, HttpClient& client, int row);

}  // namespace zelko
