#pragma once

#include <functional>
#include <string>

#include "board/grid_table.h"
#include "feed/http_client.h"

namespace zelko {

// The grids one live pass reads and writes.
struct LiveBoards {
  GridTable& rx;
  GridTable& rx2;
  GridTable& liveGrid;
  GridTable& liveStatGrid;
};

// Re-analyses RX row `rxRow` (the form's AnalyzeMatch on RX).
using AnalyzeRow = std::function<void(int rxRow)>;

// Merges the live feed fetched from `liveUrl` through `idHttp1`: LiveGrid rows, score, "LIVE"
// and minute on RX and RX2, the projection cleared after a goal, the re-analysis when
// `autoUpdate` is ticked, and "FINISH" for matches that left the feed. A failed request changes
// nothing and gives false; a successful reply gives true, an empty one finishing every live
// match. An error from `analyze` ends the pass and reaches the caller, RX2 enabled again.
bool RefreshLive(LiveBoards& boards, HttpClient& idHttp1, const std::string& liveUrl,
                 bool autoUpdate, const AnalyzeRow& analyze);

}  // namespace zelko
