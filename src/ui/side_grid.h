#pragma once

#include <QTableView>

#include "board/colors.h"
#include "ui/grid_model.h"

namespace zelko::ui {

// An ordinary grid with a header row (SBX, LiveGrid, LiveStatGrid): captions or header
// pictures with their hints, the column widths, hidden columns, grid lines and the selection
// colour of the table.
class SideGrid final : public QTableView {
  Q_OBJECT

 public:
  SideGrid(GridModel* model, bool fullRowSelection, Color selectionColor,
           QWidget* parent = nullptr);

  GridModel* Model() const { return model_; }

 private:
  void ApplyColumn(int column);
  void FitColumnsLater();

  GridModel* model_;
  bool fitQueued_ = false;
};

}  // namespace zelko::ui
