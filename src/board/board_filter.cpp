#include "board/board_filter.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "board/board_copy.h"
#include "board/cell_numbers.h"
#include "board/columns.h"
#include "feed/text.h"

namespace zelko {
namespace {

void ShowColumns(GridTable& grid, int first, int last, bool visible) {
  for (int c = first; c <= last; ++c) grid.SetColumnVisible(c, visible);
}

}  // namespace

void ApplyBoardFilter(const GridTable& rx, GridTable& rx2, const StatusBoxes& boxes,
                      std::string_view filtr, std::string& countLabel) {
  BoardFilterMemo memo;
  ApplyBoardFilter(rx, rx2, boxes, filtr, countLabel, memo);
}

void ApplyBoardFilter(const GridTable& rx, GridTable& rx2, const StatusBoxes& boxes,
                      std::string_view filtr, std::string& countLabel, BoardFilterMemo& memo) {
  if (rx.RowCount() == 0) return;
  rx2.ClearRows();
  rx2.ReserveRows(rx.RowCount());
  const std::int64_t threshold = WholeNumberOr0(filtr);
  if (memo.board_ != rx.Serial()) {
    memo.board_ = rx.Serial();
    memo.rows_.clear();
  }
  memo.rows_.resize(static_cast<std::size_t>(rx.RowCount()));
  BoardFilterMemo::Row* const known = memo.rows_.data();

  // A card kept as it was needs no cell of its row when the memo knows the row, and only these
  // otherwise; a card copied anew needs them all. The rows ahead are fetched for what the last
  // row needed (measured: a whole row one row ahead made the copying pass slower than no fetch
  // at all, two rows ahead faster).
  static constexpr std::array<int, 4> kChoiceCells{col::R_1S, col::R_XS, col::R_2S, col::R_Status};
  bool copied = true;
  const int rows = rx.RowCount();
  for (int r = 0; r < rows; ++r) {
    if (copied) {
      rx.PrefetchRow(r + 2);
    } else if (r + 4 < rows && known[r + 4].revision != rx.RowRevision(r + 4)) {
      rx.PrefetchRow(r + 4, kChoiceCells);
    }
    BoardFilterMemo::Row& row = known[r];
    if (row.revision != rx.RowRevision(r)) {
      row.revision = rx.RowRevision(r);
      row.money = std::int64_t{CellInt(rx, col::R_1S, r)} + CellInt(rx, col::R_XS, r) +
                  CellInt(rx, col::R_2S, r);
      row.status = StatusWordOf(rx.TextView(col::R_Status, r));
    }
    // A total equal to the threshold is enough.
    if (row.money < threshold || !boxes.Passes(row.status)) continue;

    // The card this filter made from the same row at the last rebuild (or that a refresh's
    // copy of the row brought up to date since), when neither has changed otherwise, is kept
    // as it stands.
    copied = false;
    if (rx2.AddRowMadeFrom(rx, r) >= 0) continue;
    copied = true;

    // Check-box and image cells travel as their texts would. The row is made in the storage
    // of the row that stood at its place, which the same filter over the same board gave the
    // same cells: what stays is not written again.
    const int t = rx2.AddRowCopy(rx, r, 0, col::SharedLast);
    CopyBetCells(rx2, t, rx, r);
    for (std::size_t i = 0; i < kScoreLabels.size(); ++i) {
      rx2.SetCellText(col::score00 + static_cast<int>(i), t, kScoreLabels[i]);
    }
    rx2.SetCellText(col::BetLabel, t, kBetLabelText);
    rx2.NoteRowMadeFrom(t, rx, r);
  }

  countLabel = "Count: " + std::to_string(rx2.RowCount());
}

void ShowMarketColumns(GridTable& rx2) {
  // The range hides the next-score labels 93 and 94 as well; only 95 and 96 come back.
  ShowColumns(rx2, col::s00, col::score04, false);
  ShowColumns(rx2, col::MarketFirst, col::m45, true);
  ShowColumns(rx2, col::update, col::last, true);
}

void ShowScoreColumns(GridTable& rx2) {
  ShowColumns(rx2, col::s00, col::score04, true);
  ShowColumns(rx2, col::MarketFirst, col::m45, false);
}

void SortBoard(GridTable& rx2, std::string_view key) {
  int column = -1;
  if (key == "Time") {
    column = col::RTime;
  } else if (key == "Tournament") {
    column = col::RFlag;
  } else if (key == "Status") {
    column = col::R_Status;
  } else if (key == "Bukm.") {
    column = col::Bet;
    rx2.SetColumnSortKind(column, SortKind::skDescending);
  } else if (key == "People") {
    column = col::Bet2;
    rx2.SetColumnSortKind(column, SortKind::skDescending);
  } else if (key == "Update") {
    column = col::last;
  }
  if (column >= 0) rx2.SortByColumn(column);
}

}  // namespace zelko
