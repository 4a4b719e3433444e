#include "ui/qt_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <iostream>

#include "app/main_form.h"

namespace zelko::ui {

void QtPlatform::OpenWithShell(const std::string& target) {
  const QString text = QString::fromStdString(target);
  // A web address goes to the browser; anything else is a file of the working directory.
  const QUrl url = text.contains(QStringLiteral("://"))
                       ? QUrl(text)
                       : QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
  if (!interactive_) {
    std::cerr << "open: " << url.toString().toStdString() << '\n';
    return;
  }
  QDesktopServices::openUrl(url);
}

void QtPlatform::Box(const std::string& text, bool error) {
  if (!interactive_) {
    std::cerr << (error ? "error: " : "message: ") << text << '\n';
    return;
  }
  QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information,
                  QString::fromLatin1(kCaption), QString::fromStdString(text), QMessageBox::Ok,
                  window_);
  box.exec();
}

void QtPlatform::ShowMessage(const std::string& text) {
  Box(text, false);
}

void QtPlatform::ReportError(const std::string& text) {
  // The error's text in a box; the application goes on.
  Box(text, true);
}

void QtPlatform::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

void QtPlatform::CloseMainWindow() {
  if (window_) {
    window_->close();
  } else {
    // Before the window exists there is nothing to close but the loop about to run.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  }
}

}  // namespace zelko::ui
