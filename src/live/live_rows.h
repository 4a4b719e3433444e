#pragma once

#include <string>
#include <string_view>

#include "board/grid_table.h"
#include "feed/records.h"

namespace zelko {

// The broadcast link of a live record's "tv": none for "-", else the news-site base + tv.
std::string BroadcastLink(std::string_view tv, bool& exists);

// Appends a LiveGrid row for a match that has just entered the live feed.
void AddLiveRow(GridTable& liveGrid, const RecordReader& record);
// Rewrites LiveGrid row `row` from the record, marks a changed score and raises goal lines in
// LiveStatGrid for a match with the on-board mark.
void UpdateLiveRow(GridTable& liveGrid, GridTable& liveStatGrid, const RecordReader& record,
                   int row);
// Inserts a goal line at the top of LiveStatGrid from LiveGrid row `row`.
void ShowLiveEvent(const GridTable& liveGrid, GridTable& liveStatGrid, int row,
                   std::string_view event, std::string_view score);

}  // namespace zelko
