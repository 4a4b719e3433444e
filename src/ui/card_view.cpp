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
// Distinct texts kept laid out, over all columns: a few days' boards of odds and names.
constexpr std::size_t kTextCacheLimit = 20000;

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
  texts_.resize(static_cast<std::size_t>(grid.ColumnCount()));
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

const CardView::SizedFont& CardView::FontOf(int column, int pixelSize) const {
  const int key = column * 256 + std::min(pixelSize, 255);
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second;
  QFont font = model_->ColumnFont(column);
  if (font.pixelSize() != pixelSize) font.setPixelSize(pixelSize);
  return fonts_.emplace(key, SizedFont(font)).first->second;
}

const CardView::FittedText& CardView::FitText(const QString& text, int column) const {
  auto& texts = texts_[static_cast<std::size_t>(column)];
  auto found = texts.constFind(text);
  if (found != texts.constEnd()) return *found;
  if (textCount_ >= kTextCacheLimit) {
    // Only a day's worth of distinct texts gets here; start again rather than track ages.
    for (auto& column_texts : texts_) column_texts.clear();
    textCount_ = 0;
  }
  const ColumnSpec& spec = model_->Grid().Column(column);
  const int room = spec.bounds.width - 2 * kTextPadding;
  const SizedFont* font = &FontOf(column, model_->ColumnFont(column).pixelSize());
  QString shown = text;
  // One line, as the place holds one.
  shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
  int width = font->metrics.horizontalAdvance(shown);
  // A text wider than its place is drawn smaller, down to a floor, so that numbers stay whole;
  // only what does not fit even then is cut with an ellipsis.
  if (width > room && room > 0) {
    const int size = font->font.pixelSize();
    const int fitted = std::max(kSmallestPixelSize, size * room / width);
    if (fitted < size) {
      font = &FontOf(column, fitted);
      width = font->metrics.horizontalAdvance(shown);
    }
    if (width > room) shown = font->metrics.elidedText(shown, Qt::ElideRight, room);
  }
  FittedText fitted;
  fitted.font = font;
  fitted.text.setTextFormat(Qt::PlainText);
  fitted.text.setText(shown);
  fitted.text.prepare(QTransform(), font->font);
  // Placed as drawText places one line in the place less its padding.
  const QSizeF size = fitted.text.size();
  const QRectF place = QRectF(PlaceRect(spec.bounds)).adjusted(kTextPadding, 0, -kTextPadding, 0);
  const qreal left = (CardAlignment(column) & Qt::AlignLeft)
                         ? place.left()
                         : place.left() + (place.width() - size.width()) / 2;
  const qreal top = place.top() + (place.height() - size.height()) / 2;
  fitted.offset = QPointF(left, top);
  fitted.overflows = !place.contains(QRectF(fitted.offset, size));
  ++textCount_;
  return *texts.insert(text, std::move(fitted));
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
    Cell cell{c, {}, ToQColor(grid.CellColor(c, row), pal), 0};
    switch (spec.kind) {
      case ColumnKind::Text: {
        const std::string_view t = grid.TextView(c, row);
        if (t.empty()) break;
        cell.text = FitText(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())), c);
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
  const SizedFont* font = nullptr;
  Color pen{};
  bool penSet = false;
  for (const Cell& cell : card.cells) {
    const ColumnSpec& spec = grid.Column(cell.column);
    const QRect place = PlaceRect(spec.bounds).translated(rect.topLeft());
    const bool selected = current && cell.column == currentColumn_;
    const QColor background = selected ? ToQColor(colors::kScrollBar, pal) : cell.background;
    if (background != window) painter.fillRect(place, background);
    switch (spec.kind) {
      case ColumnKind::Text: {
        if (cell.text.font == nullptr) break;
        // Setting a painter's font or pen resolves and marks its state every time, even for
        // the same one; most neighbouring cells share both.
        if (cell.text.font != font) {
          font = cell.text.font;
          painter.setFont(font->font);
        }
        if (!penSet || spec.font.color != pen) {
          pen = spec.font.color;
          penSet = true;
          painter.setPen(ToQColor(pen, pal));
        }
        if (cell.text.overflows) {
          painter.save();
          painter.setClipRect(place, Qt::IntersectClip);
        }
        painter.drawStaticText(cell.text.offset + rect.topLeft(), cell.text.text);
        if (cell.text.overflows) painter.restore();
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
        // The style may leave its own font and pen behind.
        font = nullptr;
        penSet = false;
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
