#pragma once

#include "board/grid_table.h"

namespace zelko {

// Copies RX row `rxRow` on to the existing RX2 row `rx2Row`: columns 0 to 96 with colours and
// hints, RX 97 and 98 into 112 and 113 (text and colour).
void CopyBoardRow(GridTable& rx2, int rx2Row, const GridTable& rx, int rxRow);
// The second part of that copy alone: RX 97 and 98 into RX2 112 and 113, text and colour.
// The work board's filter writes its cards with it too, so that both write the same.
void CopyBetCells(GridTable& rx2, int rx2Row, const GridTable& rx, int rxRow);

}  // namespace zelko
