#pragma once

#include <string>
#include <string_view>

#include "analysis/balances.h"
#include "board/grid_table.h"
#include "feed/http_client.h"

namespace zelko {

// Merges a fresh today feed into RX: new matches get a row (and possibly a BigBet), known ones
// their status cells and, when the figures are newer, their market picture, balances and
// verdicts, copied on to their RX2 row. A failed request changes nothing and gives false.
bool RefreshMoney(GridTable& rx, GridTable& rx2, HttpClient& idHttp1, const std::string& todayUrl,
                  const BigBetSink& sendBigBet);

// Writes and paints the market cells 27 to 65 of RX row `row` from a "bfpr" or "bf_live" text.
void FillMarketCells(GridTable& rx, int row, std::string_view element);

}  // namespace zelko
