#include "ui/screenshots.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <iostream>

#include "app/main_form.h"
#include "board/columns.h"
#include "feed/http_client.h"
#include "feed/platform.h"
#include "ui/card_view.h"
#include "ui/main_window.h"

namespace zelko::ui {
namespace {

void Wait(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// A left click as the mouse gives it: press and release at one place.
void Click(QWidget* widget, const QPoint& pos) {
  const QPointF local(pos);
  const QPointF global(widget->mapToGlobal(pos));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);
}

bool Save(QWidget& widget, const QDir& dir, const char* name) {
  QCoreApplication::processEvents();
  const QString path = dir.filePath(QLatin1String(name));
  if (!widget.grab().save(path)) {
    std::cerr << "cannot write " << path.toStdString() << '\n';
    return false;
  }
  std::cout << path.toStdString() << '\n';
  return true;
}

template <typename T>
T* Find(MainWindow& window, const char* name) {
  return window.findChild<T*>(QLatin1String(name));
}

}  // namespace

int TakeScreenshots(MainWindow& window, Platform& platform, const ScreenshotPlan& plan) {
  QDir dir(plan.dir);
  if (!dir.mkpath(QStringLiteral("."))) return 1;
  MainForm& form = window.Form();
  window.show();
  Wait(200);
  bool ok = Save(window, dir, "login.png");

  Find<QLineEdit>(window, "loginedit")->setText(plan.login);
  Find<QLineEdit>(window, "passedit")->setText(plan.password);
  Find<QAbstractButton>(window, "spSkinXFormButton7")->click();
  if (form.PageActive() != 1) {
    std::cerr << "the login did not open the board\n";
    return 1;
  }
  if (!plan.advanceClockTo.isEmpty()) {
    const std::string url = "http://" + form.ServiceHost() +
                            "/demo/clock?set=" + plan.advanceClockTo.toStdString() + "&speed=0";
    const HttpReply reply = platform.MakeClient(ClientProfile::SingleRequest, "clock")->Get(url);
    if (reply.failed) std::cerr << "the service's clock did not move: " << reply.error << '\n';
    Find<QAbstractButton>(window, "ar")->click();
  }
  // Both countdowns tick once, so their labels show.
  Wait(1300);
  ok = Save(window, dir, "work_market.png") && ok;
  Find<QAbstractButton>(window, "checker6")->click();
  ok = Save(window, dir, "work_score.png") && ok;
  Find<QAbstractButton>(window, "checker5")->click();

  // Three favourites among the matches still to come or running, picked by their boxes.
  CardView* board = window.WorkBoard();
  const GridTable& rx2 = form.RX2();
  int picked = 0;
  for (int row = 0; row < rx2.RowCount() && picked < 3; ++row) {
    const std::string_view status = rx2.TextView(col::R_Status, row);
    if (status != "LIVE" && status != "SOON") continue;
    board->scrollTo(board->model()->index(row, 0));
    QCoreApplication::processEvents();
    Click(board->viewport(), board->CellRect(col::RCh, row).center());
    ++picked;
  }
  board->scrollToTop();
  window.InnerPages()->setCurrentIndex(1);
  QCoreApplication::processEvents();
  // A double click on the first favourite analyses it afresh (and may post StrangeBets).
  CardView* favourites = window.Favourites();
  if (form.RX3().RowCount() > 0) {
    const QPoint at = favourites->CellRect(col::RHome, 0).center();
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(at),
                    QPointF(favourites->viewport()->mapToGlobal(at)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(favourites->viewport(), &dbl);
  }
  ok = Save(window, dir, "favourites.png") && ok;
  window.InnerPages()->setCurrentIndex(0);

  // The LIVE tab stays hidden in use; it is shown here for its picture only.
  window.Pages()->setTabVisible(2, true);
  window.Pages()->setCurrentIndex(2);
  ok = Save(window, dir, "live.png") && ok;
  window.SyncFromForm();
  return ok ? 0 : 1;
}

}  // namespace zelko::ui
