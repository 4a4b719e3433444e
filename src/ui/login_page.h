#pragma once

#include <QSvgRenderer>
#include <QWidget>

namespace zelko::ui {

// The "ABOUT" page: the project's own background picture under the login controls.
class LoginPage final : public QWidget {
  Q_OBJECT

 public:
  explicit LoginPage(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSvgRenderer background_;
};

}  // namespace zelko::ui
