#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "board/grid_table.h"
#include "feed/records.h"

namespace zelko {

// LiveGrid column 20 holds this image once the match has been met on RX or RX2.
inline constexpr int kOnBoardImage = 8;
// LiveGrid column 18 shows this image (a film strip) when the match has a broadcast link.
inline constexpr int kBroadcastImage = 7;

// The broadcast link of a live record's "tv": none for "-", else the news-site base + tv (a
// missing or empty "tv" gives the base alone).
std::optional<std::string> BroadcastLink(std::string_view tv);

// Appends a LiveGrid row for a match that has just entered the live feed; the new row is the
// last one.
void AddLiveRow(GridTable& liveGrid, const RecordReader& record);
// Rewrites LiveGrid row `row` from the record, marks a changed score (colour 255 on column 7,
// else 128) and raises goal lines in LiveStatGrid for a match with the on-board mark.
void UpdateLiveRow(GridTable& liveGrid, GridTable& liveStatGrid, const RecordReader& record,
                   int row);
// Inserts a goal line at the top of LiveStatGrid from LiveGrid row `row`.
void ShowLiveEvent(const GridTable& liveGrid, GridTable& liveStatGrid, int row,
                   std::string_view event, std::string_view score);

}  // namespace zelko
