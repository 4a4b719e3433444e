#include "board/board_copy.h"

#include "board/columns.h"

namespace zelko {

void CopyBoardRow(GridTable& rx2, int rx2Row, const GridTable& rx, int rxRow) {
  // A card the filter made and nothing changed since holds the labels the filter writes: with
  // what the filter copies copied anew, it is the card the filter would make of the row now,
  // and the next rebuild may keep it.
  const bool filterMade = rx2.RowMadeFrom(rx2Row, rx);
  // The check box of column 3 travels as its text would, "True" or "False".
  rx2.CopyCellsFrom(rx, rxRow, 0, col::SharedLast, rx2Row);
  CopyBetCells(rx2, rx2Row, rx, rxRow);
  if (filterMade) rx2.NoteRowMadeFrom(rx2Row, rx, rxRow);
}

void CopyBetCells(GridTable& rx2, int rx2Row, const GridTable& rx, int rxRow) {
  rx2.SetCellText(col::Bet, rx2Row, rx.TextView(col::rbet, rxRow));
  rx2.SetCellColor(col::Bet, rx2Row, rx.CellColor(col::rbet, rxRow));
  rx2.SetCellText(col::Bet2, rx2Row, rx.TextView(col::rbet2, rxRow));
  rx2.SetCellColor(col::Bet2, rx2Row, rx.CellColor(col::rbet2, rxRow));
}

}  // namespace zelko
