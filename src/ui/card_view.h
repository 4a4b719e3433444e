#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QListView>
#include <QPointF>
#include <QStaticText>
#include <QString>
#include <unordered_map>
#include <vector>

#include "board/grid_table.h"
#include "ui/grid_model.h"

namespace zelko::ui {

// A board grid (RX, RX2, RX3) drawn as cards: one row of the model per card, 80 pixels high,
// every visible column's cell at its card place with its column's font, colours and alignment.
// Only the cards in view are painted, from display data cached per row; the row height is fixed
// and nothing is sized to its contents.
class CardView final : public QListView {
  Q_OBJECT

 public:
  // The card's width: the right edge of the rightmost card place (the update time).
  static constexpr int kCardWidth = 1000;

  explicit CardView(GridModel* model, QWidget* parent = nullptr);

  GridModel* Model() const { return model_; }
  // The column whose card place holds `pos` (viewport coordinates) on the card there, or -1.
  int ColumnAt(const QPoint& pos) const;
  // The viewport rectangle of a cell's card place.
  QRect CellRect(int column, int row) const;
  // The columns drawn on a card now, in drawing order.
  const std::vector<int>& DrawnColumns() const { return drawn_; }

  void PaintCard(QPainter& painter, const QRect& rect, int row, bool current) const;

 signals:
  void cellClicked(int column, int row);
  void cellDoubleClicked(int column, int row);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  // A column's font at one pixel size, with its metrics: resolving a font and building its
  // metrics costs more than most of the cells drawn with it.
  struct SizedFont {
    explicit SizedFont(const QFont& f) : font(f), metrics(f) {}
    QFont font;
    QFontMetrics metrics;
  };
  // A text as it is drawn in a column's place: fitted (smaller or cut) once, laid out once.
  // Many cells of a column hold the same text (odds, stakes, statuses), so these are shared by
  // text rather than kept per cell.
  struct FittedText {
    QStaticText text;
    const SizedFont* font = nullptr;  // the column's font, smaller where the text would not fit
    QPointF offset;                   // top left of the text in its place
    bool overflows = false;           // the text reaches outside its place and is clipped to it
  };
  struct Cell {
    int column;
    FittedText text;
    QColor background;
    int value;  // image index or checked state
  };
  struct Card {
    std::vector<Cell> cells;
  };

  const Card& CardOf(int row) const;
  const SizedFont& FontOf(int column, int pixelSize) const;
  const FittedText& FitText(const QString& text, int column) const;
  void ForgetRows(int first, int last);
  void ForgetAll();
  void UpdateDrawnColumns();

  GridModel* model_;
  std::vector<int> drawn_;
  mutable std::unordered_map<int, Card> cache_;
  // Keyed by column and pixel size; never dropped, as the columns' fonts never change. Nodes
  // stay where they are, so cells point at them.
  mutable std::unordered_map<int, SizedFont> fonts_;
  // Per column, its texts as drawn.
  mutable std::vector<QHash<QString, FittedText>> texts_;
  mutable std::size_t textCount_ = 0;
  int pressedRow_ = -1;
  int pressedColumn_ = -1;
  int currentColumn_ = -1;
};

}  // namespace zelko::ui
