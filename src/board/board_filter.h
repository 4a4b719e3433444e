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
// The same, taking from `memo` what the last rebuild with it read of the rows of RX that have
// not changed since, and keeping there what this one reads: such a row's 1X2 money and status
// are known without reading its cells, whatever the threshold and boxes are now. The cards
// come out exactly as without the memo.
void ApplyBoardFilter(const GridTable& rx, GridTable& rx2, const StatusBoxes& boxes,
                      std::string_view filtr, std::string& countLabel, BoardFilterMemo& memo);

// What rebuilds of a work board read of each row of its board, for the next rebuild.
class BoardFilterMemo {
 private:
  friend void ApplyBoardFilter(const GridTable&, GridTable&, const StatusBoxes&, std::string_view,
                               std::string&, BoardFilterMemo&);
  struct Row {
    std::uint64_t revision = 0;  // the row's revision when read; 0 for a row not read
    std::int64_t money = 0;      // the sum of its W1, X and W2 money
    StatusWord status = StatusWord::kOther;
  };
  std::uint32_t board_ = 0;  // the serial of RX, 0 before the first rebuild
  std::vector<Row> rows_;    // by RX row
};

// The two views of the work board's cards.
void ShowMarketColumns(GridTable& rx2);
void ShowScoreColumns(GridTable& rx2);

// Sorts RX2 by the sort box's key ("Time", "Tournament", "Status", "Bukm.", "People",
// "Update"); another text sorts nothing.
void SortBoard(GridTable& rx2, std::string_view key);

}  // namespace zelko
