#pragma once

#include <string>

#include "board/controls.h"
#include "board/grid_table.h"
#include "feed/http_client.h"

namespace zelko {

// Rebuilds RX from the today feed. Modes 0 and 1 request the feed; any other mode only empties
// the board. A failed request leaves RX as it was and gives false.
bool LoadTodayBoard(GridTable& rx, HttpClient& idHttp1, const std::string& todayUrl,
                    const StatusBoxes& boxes, int mode);

}  // namespace zelko
