#pragma once

#include <functional>
#include <string>

#include "board/grid_table.h"
#include "feed/http_client.h"

namespace zelko {

struct LiveBoards {
  GridTable& rx;
  GridTable& rx2;
  GridTable& liveGrid;
  GridTable& liveStatGrid;
};

// Re-analyses RX row `rxRow` (the form's AnalyzeMatch on RX).
using AnalyzeRow = std::function<void(int rxRow)>;

// Merges the live feed: LiveGrid rows, score, "LIVE" and minute on RX and RX2, the projection
// cleared after a goal, the re-analysis when `autoUpdate` is ticked, and "FINISH" for matches
// that left the feed. A failed request changes nothing and gives false.
bool RefreshLive(LiveBoards& boards, HttpClient& idHttp1, const std::string& liveUrl,
                 bool autoUpdate, const AnalyzeRow& analyze);

}  // namespace zelko
