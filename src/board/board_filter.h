#pragma once

#include <string>
#include <string_view>

#include "board/controls.h"
#include "board/grid_table.h"

namespace zelko {

// Rebuilds RX2 from the RX rows whose status box is ticked and whose 1X2 money reaches the
// threshold `filtr` (a text; not a number counts as 0), and sets the count label. With RX empty
// nothing changes.
void ApplyBoardFilter(const GridTable& rx, GridTable& rx2, const StatusBoxes& boxes,
                      std::string_view filtr, std::string& countLabel);

// The two views of the work board's cards.
void ShowMarketColumns(GridTable& rx2);
void ShowScoreColumns(GridTable& rx2);

// Sorts RX2 by the sort box's key ("Time", "Tournament", "Status", "Bukm.", "People",
// "Update"); another text sorts nothing.
void SortBoard(GridTable& rx2, std::string_view key);

}  // namespace zelko
