#include "ui/side_grid.h"

#include <QHeaderView>
#include <QTimer>

#include "ui/color_map.h"

namespace zelko::ui {

SideGrid::SideGrid(GridModel* model, bool fullRowSelection, Color selectionColor, QWidget* parent)
    : QTableView(parent), model_(model) {
  setModel(model);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(fullRowSelection ? QAbstractItemView::SelectRows
                                        : QAbstractItemView::SelectItems);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(20);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(16);
  horizontalHeader()->setFixedHeight(22);
  setIconSize(QSize(16, 16));

  QPalette pal = palette();
  pal.setColor(QPalette::Highlight, ToQColor(selectionColor, pal));
  if (!colors::IsSystemColor(selectionColor)) pal.setColor(QPalette::HighlightedText, Qt::white);
  setPalette(pal);
  const QColor line = ToQColor(colors::kGridLine);
  setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(line.name()));

  for (int c = 0; c < model->columnCount(); ++c) {
    setColumnWidth(c, model->Grid().Column(c).width);
    ApplyColumn(c);
  }
  connect(model, &GridModel::columnVisibilityChanged, this, &SideGrid::ApplyColumn);
  connect(model, &GridModel::gridEnabledChanged, this, &QWidget::setEnabled);
  // Columns that fit their texts follow new and changed rows, once per turn of the loop.
  connect(model, &QAbstractItemModel::rowsInserted, this, &SideGrid::FitColumnsLater);
  connect(model, &QAbstractItemModel::dataChanged, this, &SideGrid::FitColumnsLater);
}

void SideGrid::ApplyColumn(int column) {
  setColumnHidden(column, !model_->Grid().ColumnVisible(column));
}

void SideGrid::FitColumnsLater() {
  if (fitQueued_) return;
  fitQueued_ = true;
  QTimer::singleShot(0, this, [this] {
    fitQueued_ = false;
    const GridTable& grid = model_->Grid();
    for (int c = 0; c < grid.ColumnCount(); ++c) {
      if (!grid.Column(c).fitToText || !grid.ColumnVisible(c)) continue;
      const int fitted = sizeHintForColumn(c);
      setColumnWidth(c, std::max(grid.Column(c).width, fitted));
    }
  });
}

}  // namespace zelko::ui
