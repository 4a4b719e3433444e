#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "board/controls.h"
#include "board/grid_table.h"

namespace zelko {

class BoardFilterMemo;

// Rebuilds RX2 from the RX rows whose status box is ticked and whose 1X2 money reaches the
// threshold `filtr` (a text; not a number counts as 0), and sets the count label. With RX empty
// nothing changes.
void ApplyBoardFilter(const GridTable& rx, GridTable& rx2, const StatusBoxes& boxes,
                      std::string_view filtr, std::string& countLabel);
// The same, taking from `memo` what the last rebuild with it decided for the rows of RX that
// have not changed since, and keeping there what this one decides: with the same threshold and
// boxes, such a row passes or not as it did then, and its cells are not read. The cards come
// out exactly as without the memo.
void ApplyBoardFilter(const GridTable& rx, GridTable& rx2, const StatusBoxes& boxes,
                      std::string_view filtr, std::string& countLabel, BoardFilterMemo& memo);

// What rebuilds of a work board decided for each row of its board, for the next rebuild.
class BoardFilterMemo {
 private:
  friend void ApplyBoardFilter(const GridTable&, GridTable&, const StatusBoxes&, std::string_view,
                               std::string&, BoardFilterMemo&);
  std::uint32_t board_ = 0;  // the serial of RX, 0 before the first rebuild
  std::int64_t threshold_ = 0;
  StatusBoxes boxes_{};
  // By RX row: the row's revision times two, plus one when it passed; 0 for a row not decided.
  std::vector<std::uint64_t> decided_;
};

// The two views of the work board's cards.
void ShowMarketColumns(GridTable& rx2);
void ShowScoreColumns(GridTable& rx2);

// Sorts RX2 by the sort box's key ("Time", "Tournament", "Status", "Bukm.", "People",
// "Update"); another text sorts nothing.
void SortBoard(GridTable& rx2, std::string_view key);

}  // namespace zelko
