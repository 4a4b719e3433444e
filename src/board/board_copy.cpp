#include "board/board_copy.h"

#include "board/columns.h"

namespace zelko {

void CopyBoardRow(GridTable& rx2, int rx2Row, const GridTable& rx, int rxRow) {
  // The check box of column 3 travels as its text would, "True" or "False".
  rx2.CopyCellsFrom(rx, rxRow, 0, col::SharedLast, rx2Row);
  rx2.SetCellText(col::Bet, rx2Row, rx.TextView(col::rbet, rxRow));
  rx2.SetCellColor(col::Bet, rx2Row, rx.CellColor(col::rbet, rxRow));
  rx2.SetCellText(col::Bet2, rx2Row, rx.TextView(col::rbet2, rxRow));
  rx2.SetCellColor(col::Bet2, rx2Row, rx.CellColor(col::rbet2, rxRow));
}

}  // namespace zelko
