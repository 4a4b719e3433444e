#include "favourites/favourites.h"

#include <string>
#include <vector>

#include "board/board_copy.h"
#include "board/columns.h"

namespace zelko {
namespace {

void ShowFavoriteCount(FavouriteBoards& boards) {
  boards.favoriteTab.caption = "Favorite (" + std::to_string(boards.rx3.RowCount()) + ")";
}

bool HasRow(const GridTable& grid, int row) {
  return row >= 0 && row < grid.RowCount();
}

// Keeps both boards disabled for user input while it lives, and enables them again on every
// way out, an analysis that fails included.
class BoardsDisabled {
 public:
  explicit BoardsDisabled(FavouriteBoards& boards) : boards_(boards) {}
  BoardsDisabled(const BoardsDisabled&) = delete;
  BoardsDisabled& operator=(const BoardsDisabled&) = delete;
  ~BoardsDisabled() {
    boards_.rx2.SetEnabled(true);
    boards_.rx3.SetEnabled(true);
  }
  void Disable() {
    boards_.rx2.SetEnabled(false);
    boards_.rx3.SetEnabled(false);
  }

 private:
  FavouriteBoards& boards_;
};

}  // namespace

void CopyFavoriteRow(const GridTable& rx2, int rx2Row, GridTable& rx3, int rx3Row) {
  rx3.SetCellInteger(col::RCh, rx3Row, 0);  // the red cross
  // Column 3 is RX2's check box and RX3's cross: it is not copied.
  rx3.CopyCellsFrom(rx2, rx2Row, col::RFlag, col::BoardCount - 1, rx3Row);
  rx3.CopyCellsFrom(rx2, rx2Row, col::RId, col::RCh - 1, rx3Row);
}

void SyncFavorites(const GridTable& rx2, GridTable& rx3) {
  for (int k = 0; k < rx3.RowCount(); ++k) {
    const std::string id(rx3.TextView(col::RId, k));
    for (const int r2 : rx2.RowsWithId(id)) CopyFavoriteRow(rx2, r2, rx3, k);
  }
}

void RX2CellClick(FavouriteBoards& boards, int column, int row) {
  if (column != col::RCh || !HasRow(boards.rx2, row)) return;
  const std::string id(boards.rx2.TextView(col::RId, row));
  const int rxRow = boards.rx.LastRowWithId(id);
  const bool wasFavourite = boards.rx2.CellChecked(col::RCh, row);

  if (!wasFavourite) {
    const int added = boards.rx3.AddRow();
    if (rxRow >= 0) boards.rx.SetCellChecked(col::RCh, rxRow, true);
    CopyFavoriteRow(boards.rx2, row, boards.rx3, added);
    ShowFavoriteCount(boards);
    boards.favoriteTab.visible = true;
  } else {
    if (rxRow >= 0) boards.rx.SetCellChecked(col::RCh, rxRow, false);
    // One entry goes per click; further entries of the match stay.
    const int favourite = boards.rx3.FirstRowWithId(id);
    if (favourite >= 0) {
      boards.rx3.DeleteRow(favourite);
      if (boards.rx3.RowCount() == 0) boards.favoriteTab.visible = false;
      ShowFavoriteCount(boards);
    }
  }

  // Any click inside the column-3 cell flips the box, not only one on its picture, so the box
  // always shows whether the match is a favourite.
  boards.rx2.SetCellChecked(col::RCh, row, !wasFavourite);
}

void RX3CellClick(FavouriteBoards& boards, int column, int row) {
  if (column != col::RCh || !HasRow(boards.rx3, row)) return;
  const std::string id(boards.rx3.TextView(col::RId, row));
  const int rx2Row = boards.rx2.LastRowWithId(id);
  const int rxRow = boards.rx.LastRowWithId(id);

  boards.rx3.DeleteRow(row);
  if (rx2Row >= 0) boards.rx2.SetCellChecked(col::RCh, rx2Row, false);
  if (rxRow >= 0) boards.rx.SetCellChecked(col::RCh, rxRow, false);

  ShowFavoriteCount(boards);
  if (boards.rx3.RowCount() == 0) boards.favoriteTab.visible = false;
}

void RX3CellDblClick(FavouriteBoards& boards, int column, int row,
                     const std::function<void()>& processPendingEvents,
                     const std::function<void(int rxRow)>& analyze) {
  (void)column;  // a double click anywhere on the card
  BoardsDisabled guard(boards);
  if (!HasRow(boards.rx3, row)) return;
  const std::string_view status = boards.rx3.TextView(col::R_Status, row);
  if (status != "SOON" && status != "LIVE") return;

  const std::string id(boards.rx3.TextView(col::RId, row));
  int rx2Row = boards.rx2.LastRowWithId(id);
  if (rx2Row >= 0) {
    // A copy: the analysis and the events let run before it may rewrite the index.
    const std::vector<int> rxRows = boards.rx.RowsWithId(id);
    for (const int rxRow : rxRows) {
      guard.Disable();
      processPendingEvents();
      // The events may have rebuilt the boards; go on only with rows that still carry the ID.
      if (!HasRow(boards.rx2, rx2Row) || boards.rx2.TextView(col::RId, rx2Row) != id) {
        rx2Row = boards.rx2.LastRowWithId(id);
        if (rx2Row < 0) break;
      }
      if (!HasRow(boards.rx, rxRow) || boards.rx.TextView(col::RId, rxRow) != id) continue;
      analyze(rxRow);
      CopyBoardRow(boards.rx2, rx2Row, boards.rx, rxRow);
    }
  }
  SyncFavorites(boards.rx2, boards.rx3);
}

}  // namespace zelko
