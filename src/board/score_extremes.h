#pragma once

#include "board/grid_table.h"

namespace zelko {

// Paints the largest positive correct-score balance of RX row `row` yellow and the most
// negative one fuchsia (the first of equal extremes; zeros never).
void MarkScoreExtremes(GridTable& rx, int row);

}  // namespace zelko
