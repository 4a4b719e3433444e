#include "cli/watch.h"

#include <utility>

#include "board/columns.h"

namespace zelko::cli {

WatchPlatform::WatchPlatform(std::ostream& out, RequestLimits limits,
                             std::filesystem::path directory)
    : SystemPlatform(limits, std::move(directory)), out_(out) {}

void WatchPlatform::OpenWithShell(const std::string& target) {
  out_ << "open: " << target << '\n' << std::flush;
}

void WatchPlatform::ShowMessage(const std::string& text) {
  out_ << "message: " << text << '\n' << std::flush;
}

void WatchPlatform::ReportError(const std::string& text) {
  out_ << "error: " << text << '\n' << std::flush;
}

void WatchPlatform::CloseMainWindow() {
  out_ << "closed\n" << std::flush;
}

std::string Fit(const std::string& text, std::size_t width) {
  std::string out;
  std::size_t characters = 0;
  for (const char c : text) {
    const bool continuation = (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
    if (!continuation) {
      if (characters == width) break;
      ++characters;
    }
    out.push_back(c);
  }
  out.append(width - characters, ' ');
  return out;
}

namespace {

std::string Market(const GridTable& rx2, int row, int oddsColumn, int moneyColumn) {
  return Fit(rx2.CellText(oddsColumn, row), 5) + " " + Fit(rx2.CellText(moneyColumn, row), 7);
}

}  // namespace

std::string BoardHeader() {
  return Fit("Time", 6) + Fit("Home", 22) + Fit("Away", 22) + Fit("Status", 7) + Fit("Score", 8) +
         Fit("Min", 6) + Fit("1", 14) + Fit("X", 14) + Fit("2", 14) + Fit("Bukm.", 8) + "People";
}

std::string BoardLine(const GridTable& rx2, int row) {
  return Fit(rx2.CellText(col::RTime, row), 6) + Fit(rx2.CellText(col::RHome, row), 22) +
         Fit(rx2.CellText(col::RAway, row), 22) + Fit(rx2.CellText(col::R_Status, row), 7) +
         Fit(rx2.CellText(col::R_Score, row), 8) + Fit(rx2.CellText(col::R_Min, row), 6) +
         Market(rx2, row, col::R_1, col::R_1S) + " " + Market(rx2, row, col::R_X, col::R_XS) + " " +
         Market(rx2, row, col::R_2, col::R_2S) + " " + Fit(rx2.CellText(col::Bet, row), 8) +
         rx2.CellText(col::Bet2, row);
}

std::string StrangeBetLine(const GridTable& sbx, int row) {
  return "StrangeBet " + sbx.CellText(col::sbx::TimeBet, row) + "  " +
         sbx.CellText(col::sbx::Home, row) + " - " + sbx.CellText(col::sbx::Away, row) + "  " +
         sbx.CellText(col::sbx::Bet, row) + " @ " + sbx.CellText(col::sbx::Odd, row) + "  money " +
         sbx.CellText(col::sbx::Sum, row) + "  " + sbx.CellText(col::sbx::Status, row) + " " +
         sbx.CellText(col::sbx::Score, row);
}

std::string GoalLine(const GridTable& liveStatGrid, int row) {
  return "Goal " + liveStatGrid.CellText(col::stat::Min, row) + "  " +
         liveStatGrid.CellText(col::stat::Home, row) + " - " +
         liveStatGrid.CellText(col::stat::Away, row) + "  " +
         liveStatGrid.CellText(col::stat::Score, row) + "  " +
         liveStatGrid.CellText(col::stat::Event, row);
}

WatchSession::WatchSession(MainForm& form, std::ostream& out) : form_(form), out_(out) {}

bool WatchSession::Start(const std::string& login, const std::string& password) {
  form_.FormCreate();
  form_.SetLoginText(login);
  form_.SetPasswordText(password);
  out_ << "Logging in to " << form_.ServiceHost() << " as " << login << '\n' << std::flush;
  form_.spSkinXFormButton7Click();
  if (form_.Closed() || !form_.Timer1().enabled) {
    out_ << "Not logged in.\n" << std::flush;
    return false;
  }
  // What the first load raised belongs to the session, not to its first second.
  PrintNewLines();
  PrintBoard();
  return true;
}

void WatchSession::Second() {
  bool refreshed = false;
  if (form_.Timer1().enabled) {
    form_.Timer1Timer();
    refreshed = refreshed || form_.LiveCountdown() == kLivePeriod;
  }
  if (form_.Timer2().enabled) {
    form_.Timer2Timer();
    refreshed = refreshed || form_.MoneyCountdown() == kMoneyPeriod;
  }
  PrintNewLines();
  if (refreshed) PrintBoard();
}

void WatchSession::PrintBoard() {
  const GridTable& rx2 = form_.RX2();
  out_ << "\n"
       << form_.livetime2() << "   " << form_.count() << "   " << form_.livetime() << '\n'
       << BoardHeader() << '\n';
  for (int row = 0; row < rx2.RowCount(); ++row) out_ << BoardLine(rx2, row) << '\n';
  out_ << std::flush;
}

void WatchSession::PrintNewLines() {
  // Both lists only grow, the newest line on top: the new ones are printed oldest first.
  const GridTable& sbx = form_.SBX();
  for (int row = sbx.RowCount() - strangeSeen_ - 1; row >= 0; --row) {
    out_ << StrangeBetLine(sbx, row) << '\n';
  }
  strangeSeen_ = sbx.RowCount();
  const GridTable& goals = form_.LiveStatGrid();
  for (int row = goals.RowCount() - goalsSeen_ - 1; row >= 0; --row) {
    out_ << GoalLine(goals, row) << '\n';
  }
  goalsSeen_ = goals.RowCount();
  out_ << std::flush;
}

}  // namespace zelko::cli
