#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "app/main_form.h"
#include "app/system_platform.h"

namespace zelko::cli {

// The platform of the terminal mode: messages, shell calls and errors as plain lines.
class WatchPlatform : public SystemPlatform {
 public:
  explicit WatchPlatform(std::ostream& out, RequestLimits limits = RequestLimits::Default(),
                         std::filesystem::path directory = {});

  void OpenWithShell(const std::string& target) override;
  void ShowMessage(const std::string& text) override;
  void ReportError(const std::string& text) override;
  void ProcessPendingEvents() override {}
  void CloseMainWindow() override;

 private:
  std::ostream& out_;
};

// The terminal mode for a person: logs in and, one call per second of the front end's clock,
// runs the schedule and prints the work board after every refresh and the StrangeBets and goal
// lines as they come. It never waits by itself; the caller keeps the time.
class WatchSession {
 public:
  WatchSession(MainForm& form, std::ostream& out);

  // Creates the form, types the credentials and presses LOGIN. False when the board did not
  // open (the reason has been printed).
  bool Start(const std::string& login, const std::string& password);
  // One second: the ticks of both running timers, then what changed.
  void Second();

  void PrintBoard();

 private:
  void PrintNewLines();

  MainForm& form_;
  std::ostream& out_;
  int strangeSeen_ = 0;
  int goalsSeen_ = 0;
};

// Lines of the terminal output, kept apart for tests.
std::string BoardHeader();
std::string BoardLine(const GridTable& rx2, int row);
std::string StrangeBetLine(const GridTable& sbx, int row);
std::string GoalLine(const GridTable& liveStatGrid, int row);
// Pads or cuts `text` to `width` characters (UTF-8 code points, not bytes).
std::string Fit(const std::string& text, std::size_t width);

}  // namespace zelko::cli
