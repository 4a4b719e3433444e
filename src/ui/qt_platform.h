#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "app/system_platform.h"

namespace zelko::ui {

// The platform of the desktop window: HTTP, files and clock of the system platform, and the
// rest through Qt: modal message boxes with one OK button, the desktop's default handler for
// URLs and files, the event loop and the main window.
class QtPlatform final : public SystemPlatform {
 public:
  using SystemPlatform::SystemPlatform;

  void SetMainWindow(QWidget* window) { window_ = window; }
  // Without a user to press OK (the screenshot run), messages and errors go to standard error.
  void SetInteractive(bool interactive) { interactive_ = interactive; }

  void OpenWithShell(const std::string& target) override;
  void ShowMessage(const std::string& text) override;
  void ReportError(const std::string& text) override;
  void ProcessPendingEvents() override;
  void CloseMainWindow() override;

 private:
  void Box(const std::string& text, bool error);

  QPointer<QWidget> window_;
  bool interactive_ = true;
};

}  // namespace zelko::ui
