#include "ui/grid_model.h"

#include <QBrush>
#include <QFontDatabase>
#include <QTimer>
#include <algorithm>

#include "ui/color_map.h"
#include "ui/image_lists.h"

namespace zelko::ui {
namespace {

Qt::Alignment ToQt(Align align) {
  switch (align) {
    case Align::Left:
      return Qt::AlignLeft | Qt::AlignVCenter;
    case Align::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Center:
      break;
  }
  return Qt::AlignCenter;
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QFont CellFont(const FontSpec& spec) {
  // Arial when present; its metric twin Liberation Sans, else the narrow DejaVu face, which
  // keeps the card texts inside their places.
  static const QString family = [] {
    for (const char* name : {"Arial", "Liberation Sans", "DejaVu Sans Condensed"}) {
      if (QFontDatabase::hasFamily(QLatin1String(name))) return QString::fromLatin1(name);
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }();
  QFont font(family);
  // The heights of the column tables are line heights; the em of an Arial line is 1/1.15 of it.
  font.setPixelSize(std::max(1, static_cast<int>(spec.height / 1.15 + 0.5)));
  font.setBold(spec.bold);
  font.setItalic(spec.italic);
  return font;
}

GridModel::GridModel(GridTable& grid, const ImageLists& images, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), images_(images) {
  fonts_.reserve(static_cast<std::size_t>(grid.ColumnCount()));
  for (int c = 0; c < grid.ColumnCount(); ++c) fonts_.push_back(CellFont(grid.Column(c).font));
  rowMarked_.assign(static_cast<std::size_t>(grid.RowCount()), 0);
  grid_.SetListener(this);
}

GridModel::~GridModel() {
  grid_.SetListener(nullptr);
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.RowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_.ColumnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const int column = index.column();
  const int row = index.row();
  const ColumnSpec& spec = grid_.Column(column);
  switch (role) {
    case Qt::DisplayRole:
      if (spec.kind != ColumnKind::Text) return {};
      return ToQString(grid_.TextView(column, row));
    case RawTextRole:
      return QString::fromStdString(grid_.CellText(column, row));
    case SortRole:
      if (spec.kind == ColumnKind::Image) return grid_.CellInteger(column, row);
      if (spec.kind == ColumnKind::Check) return grid_.CellChecked(column, row);
      return ToQString(grid_.TextView(column, row));
    case Qt::BackgroundRole:
      return QBrush(ToQColor(grid_.CellColor(column, row)));
    case ColorValueRole:
      return static_cast<uint>(grid_.CellColor(column, row));
    case Qt::ForegroundRole:
      return QBrush(ToQColor(spec.font.color));
    case Qt::FontRole:
      return fonts_[static_cast<std::size_t>(column)];
    case Qt::TextAlignmentRole:
      return static_cast<int>(ToQt(spec.align));
    case Qt::ToolTipRole: {
      const std::string hint = grid_.CellHint(column, row);
      if (hint.empty()) return {};
      return QString::fromStdString(hint);
    }
    case Qt::DecorationRole:
      if (spec.kind != ColumnKind::Image) return {};
      return images_.Image(spec.images, grid_.CellInteger(column, row));
    case Qt::CheckStateRole:
      if (spec.kind != ColumnKind::Check) return {};
      return grid_.CellChecked(column, row) ? Qt::Checked : Qt::Unchecked;
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    if (role == Qt::DisplayRole && section >= 0 && section < grid_.RowCount()) return section + 1;
    return {};
  }
  if (section < 0 || section >= grid_.ColumnCount()) return {};
  const ColumnSpec& spec = grid_.Column(section);
  switch (role) {
    case Qt::DisplayRole:
      // A column with a header picture shows the picture instead of its caption.
      if (spec.headerIcon >= 0) return {};
      return QString::fromUtf8(spec.caption);
    case Qt::DecorationRole:
      if (spec.headerIcon < 0) return {};
      return images_.HeaderIcon(spec.headerIcon);
    case Qt::ToolTipRole:
      if (spec.headerHint[0] != '\0') return QString::fromUtf8(spec.headerHint);
      if (spec.caption[0] != '\0') return QString::fromUtf8(spec.caption);
      return {};
    case Qt::BackgroundRole:
      if (spec.headerColor == colors::kSystemFlag) return {};
      return QBrush(ToQColor(spec.headerColor));
    case Qt::TextAlignmentRole:
      return static_cast<int>(Qt::AlignCenter);
    default:
      return {};
  }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // Check boxes are not toggled by the views: a click goes to the form, which decides.
  Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (grid_.Enabled()) f |= Qt::ItemIsEnabled;
  return f;
}

void GridModel::FlushQueuedChanges() {
  flushQueued_ = false;
  FlushChanges();
}

void GridModel::FlushChanges() {
  // A flush before a change of rows leaves the queued one queued: it sends what gathers after
  // this one, so that a grid filled row by row queues one flush, not one a row.
  if (changedRows_.empty()) return;
  std::vector<int> rows;
  rows.swap(changedRows_);
  for (int row : rows) {
    if (static_cast<std::size_t>(row) < rowMarked_.size())
      rowMarked_[static_cast<std::size_t>(row)] = 0;
  }
  const int lastColumn = grid_.ColumnCount() - 1;
  // Rows the grid no longer has cannot be pending: every removal flushes first.
  if (static_cast<int>(rows.size()) * 2 > grid_.RowCount()) {
    const auto [low, high] = std::minmax_element(rows.begin(), rows.end());
    emit dataChanged(index(*low, 0), index(*high, lastColumn));
    KeepRoom(rows);
    return;
  }
  std::sort(rows.begin(), rows.end());
  for (int row : rows) emit dataChanged(index(row, 0), index(row, lastColumn));
  KeepRoom(rows);
}

// The list's room goes back for the next changes, unless a slot gathered new ones meanwhile.
void GridModel::KeepRoom(std::vector<int>& rows) {
  if (!changedRows_.empty()) return;
  rows.clear();
  changedRows_.swap(rows);
}

void GridModel::BeforeInsertRows(int first, int last) {
  // Rows appended move no row: the changes gathered keep their rows and can wait.
  if (first < grid_.RowCount()) FlushChanges();
  beginInsertRows({}, first, last);
}

// Rows are inserted either after every change was flushed or at the end: the rows marked keep
// their places, and the marks only follow the count (a grid filled row by row would otherwise
// clear them all once a row).
void GridModel::AfterInsertRows() {
  rowMarked_.resize(static_cast<std::size_t>(grid_.RowCount()), 0);
  endInsertRows();
}

void GridModel::BeforeRemoveRows(int first, int last) {
  FlushChanges();
  beginRemoveRows({}, first, last);
}

void GridModel::AfterRemoveRows() {
  rowMarked_.resize(static_cast<std::size_t>(grid_.RowCount()), 0);
  endRemoveRows();
}

void GridModel::BeforeReorder() {
  FlushChanges();
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GridModel::AfterReorder() {
  // The grid does not report the permutation, so persistent indexes keep their row numbers:
  // a selection stays at its place after a sort, as the grid control had it.
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GridModel::CellChanged(int /*column*/, int row) {
  if (row < 0 || row >= grid_.RowCount()) return;
  const auto r = static_cast<std::size_t>(row);
  if (r >= rowMarked_.size()) rowMarked_.resize(static_cast<std::size_t>(grid_.RowCount()), 0);
  if (!rowMarked_[r]) {
    rowMarked_[r] = 1;
    changedRows_.push_back(row);
  }
  if (!flushQueued_) {
    flushQueued_ = true;
    QTimer::singleShot(0, this, &GridModel::FlushQueuedChanges);
  }
}

void GridModel::ColumnVisibilityChanged(int column) {
  emit columnVisibilityChanged(column);
}

void GridModel::EnabledChanged(bool enabled) {
  emit gridEnabledChanged(enabled);
}

}  // namespace zelko::ui
