#include "ui/card_view.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "board/columns.h"
#include "ui/color_map.h"
#include "ui/image_lists.h"

namespace zelko::ui {
namespace {

// The cache holds the cards of a few screens; past that it starts again.
constexpr std::size_t kCacheLimit = 512;
constexpr int kTextPadding = 1;
constexpr int kSmallestPixelSize = 7;

class CardDelegate final : public QStyledItemDelegate {
 public:
  explicit CardDelegate(CardView* view) : QStyledItemDelegate(view), view_(view) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    view_->PaintCard(*painter, option.rect, index.row(),
                     view_->currentIndex().row() == index.row());
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {CardView::kCardWidth, kSlideSize};
  }

 private:
  CardView* view_;
};

QRect PlaceRect(const SlideBounds& b) {
  return {b.left, b.top, b.width, b.height};
}

Qt::Alignment CardAlignment(int column) {
  // Team names and the feed values are left-aligned; every other card text is centred.
  if (column == col::RHome || column == col::RAway ||
      (column >= col::HiddenFeedFirst && column <= col::HiddenFeedLast))
    return Qt::AlignLeft | Qt::AlignVCenter;
  return Qt::AlignCenter;
}

}  // namespace

CardView::CardView(GridModel* model, QWidget* parent) : QListView(parent), model_(model) {
  setModel(model);
  setItemDelegate(new CardDelegate(this));
  setUniformItemSizes(true);
  setLayoutMode(QListView::SinglePass);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setMouseTracking(false);
  verticalScrollBar()->setSingleStep(kSlideSize / 4);
  UpdateDrawnColumns();

  connect(model, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            ForgetRows(topLeft.row(), bottomRight.row());
          });
  // Inserted, removed and reordered rows change the row numbers of the cache.
  connect(model, &QAbstractItemModel::rowsInserted, this, [this] { ForgetAll(); });
  connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { ForgetAll(); });
  connect(model, &QAbstractItemModel::layoutChanged, this, [this] { ForgetAll(); });
  connect(model, &QAbstractItemModel::modelReset, this, [this] { ForgetAll(); });
  connect(model, &GridModel::columnVisibilityChanged, this, [this] {
    UpdateDrawnColumns();
    viewport()->update();
  });
  connect(model, &GridModel::gridEnabledChanged, this, &QWidget::setEnabled);
  setEnabled(model->Grid().Enabled());
}

void CardView::UpdateDrawnColumns() {
  drawn_.clear();
  const GridTable& grid = model_->Grid();
  for (int c = 0; c < grid.ColumnCount(); ++c) {
    // A place below the card's height lies outside the card and is never drawn.
    if (grid.ColumnVisible(c) && grid.Column(c).bounds.top < kSlideSize) drawn_.push_back(c);
  }
  cache_.clear();
}

void CardView::ForgetRows(int first, int last) {
  if (last - first > 64) {
    cache_.clear();
    return;
  }
  for (int r = first; r <= last; ++r) cache_.erase(r);
}

void CardView::ForgetAll() {
  cache_.clear();
}

void CardView::FitText(QString text, int column, Cell& cell) const {
  const ColumnSpec& spec = model_->Grid().Column(column);
  const int room = spec.bounds.width - 2 * kTextPadding;
  QFont font = model_->ColumnFont(column);
  int width = QFontMetrics(font).horizontalAdvance(text);
  // A text wider than its place is drawn smaller, down to a floor, so that numbers stay whole;
  // only what does not fit even then is cut with an ellipsis.
  if (width > room && room > 0) {
    const int size = font.pixelSize();
    const int fitted = std::max(kSmallestPixelSize, size * room / width);
    if (fitted < size) {
      font.setPixelSize(fitted);
      width = QFontMetrics(font).horizontalAdvance(text);
    }
    if (width > room) {
      text = QFontMetrics(font).elidedText(text, Qt::ElideRight, room);
    }
  }
  cell.text = std::move(text);
  cell.font = font;
}

const CardView::Card& CardView::CardOf(int row) const {
  auto found = cache_.find(row);
  if (found != cache_.end()) return found->second;
  if (cache_.size() >= kCacheLimit) cache_.clear();
  const GridTable& grid = model_->Grid();
  const QPalette& pal = palette();
  Card card;
  card.cells.reserve(drawn_.size());
  for (int c : drawn_) {
    const ColumnSpec& spec = grid.Column(c);
    Cell cell{c, {}, ToQColor(grid.CellColor(c, row), pal), 0, {}};
    switch (spec.kind) {
      case ColumnKind::Text: {
        const std::string_view t = grid.TextView(c, row);
        if (t.empty()) break;
        FitText(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())), c, cell);
        break;
      }
      case ColumnKind::Image:
        cell.value = grid.CellInteger(c, row);
        break;
      case ColumnKind::Check:
        cell.value = grid.CellChecked(c, row) ? 1 : 0;
        break;
    }
    card.cells.push_back(std::move(cell));
  }
  return cache_.emplace(row, std::move(card)).first->second;
}

void CardView::PaintCard(QPainter& painter, const QRect& rect, int row, bool current) const {
  if (row < 0 || row >= model_->Grid().RowCount()) return;
  const GridTable& grid = model_->Grid();
  const QPalette& pal = palette();
  const QColor window = ToQColor(colors::kWindow, pal);
  painter.save();
  painter.setClipRect(rect);
  painter.fillRect(rect, window);
  const Card& card = CardOf(row);
  for (const Cell& cell : card.cells) {
    const ColumnSpec& spec = grid.Column(cell.column);
    const QRect place = PlaceRect(spec.bounds).translated(rect.topLeft());
    const bool selected = current && cell.column == currentColumn_;
    const QColor background = selected ? ToQColor(colors::kScrollBar, pal) : cell.background;
    if (background != window) painter.fillRect(place, background);
    switch (spec.kind) {
      case ColumnKind::Text: {
        if (cell.text.isEmpty()) break;
        painter.setFont(cell.font);
        painter.setPen(ToQColor(spec.font.color, pal));
        painter.drawText(place.adjusted(kTextPadding, 0, -kTextPadding, 0),
                         static_cast<int>(CardAlignment(cell.column) | Qt::TextSingleLine),
                         cell.text);
        break;
      }
      case ColumnKind::Image: {
        const QPixmap& image = model_->Images().Image(spec.images, cell.value);
        if (image.isNull()) break;
        const QSize size = image.deviceIndependentSize().toSize();
        painter.drawPixmap(place.center().x() - size.width() / 2 + 1,
                           place.center().y() - size.height() / 2 + 1, image);
        break;
      }
      case ColumnKind::Check: {
        QStyleOptionButton box;
        const int side = 16;
        box.rect =
            QRect(place.center().x() - side / 2 + 1, place.center().y() - side / 2 + 1, side, side);
        box.state = QStyle::State_Enabled | (cell.value ? QStyle::State_On : QStyle::State_Off);
        if (!isEnabled()) box.state &= ~QStyle::State_Enabled;
        box.palette = pal;
        style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, &painter, this);
        break;
      }
    }
  }
  // The grid line under each card.
  painter.setPen(ToQColor(colors::kGridLine, pal));
  painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
  painter.restore();
}

int CardView::ColumnAt(const QPoint& pos) const {
  const QModelIndex index = indexAt(pos);
  if (!index.isValid()) return -1;
  const QPoint local = pos - visualRect(index).topLeft();
  const GridTable& grid = model_->Grid();
  // Later columns are drawn over earlier ones, so the topmost is searched first.
  for (auto it = drawn_.rbegin(); it != drawn_.rend(); ++it) {
    if (PlaceRect(grid.Column(*it).bounds).contains(local)) return *it;
  }
  return -1;
}

QRect CardView::CellRect(int column, int row) const {
  const QModelIndex index = model_->index(row, 0);
  if (!index.isValid()) return {};
  return PlaceRect(model_->Grid().Column(column).bounds).translated(visualRect(index).topLeft());
}

void CardView::mousePressEvent(QMouseEvent* event) {
  QListView::mousePressEvent(event);
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  pressedRow_ = index.isValid() ? index.row() : -1;
  pressedColumn_ = ColumnAt(pos);
  if (event->button() == Qt::LeftButton && pressedRow_ >= 0) {
    currentColumn_ = pressedColumn_;
    viewport()->update();
  }
}

void CardView::mouseReleaseEvent(QMouseEvent* event) {
  QListView::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  const int row = index.isValid() ? index.row() : -1;
  const int column = ColumnAt(pos);
  const bool same = row >= 0 && row == pressedRow_ && column == pressedColumn_;
  pressedRow_ = -1;
  pressedColumn_ = -1;
  if (same && column >= 0) emit cellClicked(column, row);
}

void CardView::mouseDoubleClickEvent(QMouseEvent* event) {
  // No editing: a double click goes to the form only.
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  const QPoint pos = event->position().toPoint();
  const QModelIndex index = indexAt(pos);
  if (!index.isValid()) return;
  const int column = ColumnAt(pos);
  emit cellDoubleClicked(column < 0 ? 0 : column, index.row());
}

bool CardView::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const int column = ColumnAt(help->pos());
    if (index.isValid() && column >= 0) {
      const std::string hint = model_->Grid().CellHint(column, index.row());
      if (!hint.empty()) {
        QToolTip::showText(help->globalPos(), QString::fromStdString(hint), viewport(),
                           CellRect(column, index.row()));
        return true;
      }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
  }
  return QListView::viewportEvent(event);
}

}  // namespace zelko::ui
