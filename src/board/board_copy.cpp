#include "board/board_copy.h"

#include "board/columns.h"

namespace zelko {

void CopyBoardRow(GridTable& rx2, int rx2Row, const GridTable& rx, int rxRow) {
  for (int c = 0; c <= col::SharedLast; ++c) {
    // The check box of column 3 travels as its text, "True" or "False".
    rx2.SetCellText(c, rx2Row, rx.CellText(c, rxRow));
    rx2.SetCellColor(c, rx2Row, rx.CellColor(c, rxRow));
    rx2.SetCellHint(c, rx2Row, rx.CellHint(c, rxRow));
  }
  rx2.SetCellText(col::Bet, rx2Row, rx.TextView(col::rbet, rxRow));
  rx2.SetCellColor(col::Bet, rx2Row, rx.CellColor(col::rbet, rxRow));
  rx2.SetCellText(col::Bet2, rx2Row, rx.TextView(col::rbet2, rxRow));
  rx2.SetCellColor(col::Bet2, rx2Row, rx.CellColor(col::rbet2, rxRow));
}

}  // namespace zelko
