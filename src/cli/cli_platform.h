#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "app/system_platform.h"

namespace zelko::cli {

// The platform of the scripted twin: real HTTP and files, and every message box, shell call,
// error report and window close printed as one JSON event line. There is no message loop to
// run, so pending events are none.
class CliPlatform : public SystemPlatform {
 public:
  explicit CliPlatform(std::ostream& out, RequestLimits limits = RequestLimits::Default(),
                       std::filesystem::path directory = {});

  void OpenWithShell(const std::string& target) override;
  void ShowMessage(const std::string& text) override;
  void ReportError(const std::string& text) override;
  void ProcessPendingEvents() override {}
  void CloseMainWindow() override;

  bool WindowClosed() const { return closed_; }

 private:
  std::ostream& out_;
  bool closed_ = false;
};

}  // namespace zelko::cli
