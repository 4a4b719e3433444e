#include "ui/login_page.h"

#include <QPainter>

namespace zelko::ui {

LoginPage::LoginPage(QWidget* parent)
    : QWidget(parent), background_(QStringLiteral(":/assets/login_background.svg")) {
  setAutoFillBackground(false);
}

void LoginPage::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0x0b, 0x2a, 0x4a));
  if (background_.isValid()) background_.render(&painter, QRectF(rect()));
}

}  // namespace zelko::ui
