#include "board/score_extremes.h"

#include "board/columns.h"

namespace zelko {

void MarkScoreExtremes(GridTable& rx, int row) {
  int best = 0, bestColumn = -1;
  int worst = 0, worstColumn = -1;
  for (int c = col::s00; c <= col::s04; ++c) {
    const int value = rx.CellInteger(c, row);
    if (value > best) {
      best = value;
      bestColumn = c;
    }
    if (value < worst) {
      worst = value;
      worstColumn = c;
    }
  }
  if (worstColumn >= 0) rx.SetCellColor(worstColumn, row, colors::kFuchsia);
  if (bestColumn >= 0) rx.SetCellColor(bestColumn, row, colors::kYellow);
}

}  // namespace zelko
