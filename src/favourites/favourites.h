#pragma once

#include <functional>

#include "board/controls.h"
#include "board/grid_table.h"

namespace zelko {

// The work board, the favourites and the main board a favourite click touches, with the
// Favorite tab of the inner page control.
struct FavouriteBoards {
  GridTable& rx;
  GridTable& rx2;
  GridTable& rx3;
  Tab& favoriteTab;
};

// Copies RX2 row `rx2Row` on to RX3 row `rx3Row` (the red cross in column 3).
void CopyFavoriteRow(const GridTable& rx2, int rx2Row, GridTable& rx3, int rx3Row);
// Refreshes every favourite from the RX2 row with its ID.
void SyncFavorites(const GridTable& rx2, GridTable& rx3);

// A click on the work board: column 3 adds or drops a favourite and flips the box.
void RX2CellClick(FavouriteBoards& boards, int column, int row);
// A click on the favourites: column 3 (the red cross) removes the favourite.
void RX3CellClick(FavouriteBoards& boards, int column, int row);
// A double click on a favourite: re-analyses every RX row of its match (SOON or LIVE only),
// letting pending events run before each, then syncs the favourites.
void RX3CellDblClick(FavouriteBoards& boards, int column, int row,
                     const std::function<void()>& processPendingEvents,
                     const std::function<void(int rxRow)>& analyze);

}  // namespace zelko
