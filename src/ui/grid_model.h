#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <vector>

#include "board/grid_table.h"

namespace zelko::ui {

class ImageLists;

// The board font of a column: Arial (or the closest the system has) at the table's pixel height.
QFont CellFont(const FontSpec& spec);

// A Qt model over one GridTable. It is the grid's listener and forwards its notices exactly:
// row inserts and removals as such, sorts as layout changes, and cell changes as dataChanged
// for the changed rows only, gathered and sent once per row after the change (one range when
// most rows changed). It never resets, so views keep their scroll position and selection.
class GridModel final : public QAbstractTableModel, private GridListener {
  Q_OBJECT

 public:
  enum Role {
    RawTextRole = Qt::UserRole + 1,  // CellText: "True"/"False", image index, text
    SortRole,                        // the value the grid sorts the column by
    ColorValueRole,                  // the cell's 32-bit colour value
  };

  GridModel(GridTable& grid, const ImageLists& images, QObject* parent = nullptr);
  ~GridModel() override;
  GridModel(const GridModel&) = delete;
  GridModel& operator=(const GridModel&) = delete;

  GridTable& Grid() const { return grid_; }
  const ImageLists& Images() const { return images_; }
  const QFont& ColumnFont(int column) const { return fonts_[static_cast<std::size_t>(column)]; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Sends the gathered cell changes now (they are otherwise sent from the event loop).
  void FlushChanges();

 signals:
  void columnVisibilityChanged(int column);
  void gridEnabledChanged(bool enabled);

 private:
  // The event loop's flush, of which one at most is queued.
  void FlushQueuedChanges();
  void KeepRoom(std::vector<int>& rows);
  void BeforeInsertRows(int first, int last) override;
  void AfterInsertRows() override;
  void BeforeRemoveRows(int first, int last) override;
  void AfterRemoveRows() override;
  void BeforeReorder() override;
  void AfterReorder() override;
  void CellChanged(int column, int row) override;
  void ColumnVisibilityChanged(int column) override;
  void EnabledChanged(bool enabled) override;

  GridTable& grid_;
  const ImageLists& images_;
  std::vector<QFont> fonts_;
  std::vector<int> changedRows_;  // rows with changed cells, not yet announced
  std::vector<char> rowMarked_;   // per row: already in changedRows_
  bool flushQueued_ = false;
};

}  // namespace zelko::ui
