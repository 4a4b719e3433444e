#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace zelko::ui {

// A label that reports clicks (the countdown labels pause and resume on a click).
class ClickableLabel final : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
      emit clicked();
    QLabel::mouseReleaseEvent(event);
  }
};

}  // namespace zelko::ui
