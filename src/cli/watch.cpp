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

// One column of the board: the text cut or padded to `width` characters, then a space, so that
// a text filling its column never runs into the next.
std::string Cell(const std::string& text, std::size_t width) {
  return Fit(text, width) + ' ';
}

// The columns of a board line: time, teams, status, score, minute, the 1X2 odds and money,
// and the two verdicts.
constexpr std::size_t kTime = 5, kTeam = 22, kStatus = 6, kScore = 11, kMinute = 7, kOdds = 5,
                      kMoney = 7, kVerdict = 5;

std::string Market(const GridTable& rx2, int row, int oddsColumn, int moneyColumn) {
  return Cell(rx2.CellText(oddsColumn, row), kOdds) + Cell(rx2.CellText(moneyColumn, row), kMoney);
}

}  // namespace

std::string BoardHeader() {
  return Cell("Time", kTime) + Cell("Home", kTeam) + Cell("Away", kTeam) + Cell("Status", kStatus) +
         Cell("Score", kScore) + Cell("Min", kMinute) + Cell("1", kOdds + kMoney + 1) +
         Cell("X", kOdds + kMoney + 1) + Cell("2", kOdds + kMoney + 1) + Cell("Bukm.", kVerdict) +
         "People";
}

std::string BoardLine(const GridTable& rx2, int row) {
  return Cell(rx2.CellText(col::RTime, row), kTime) + Cell(rx2.CellText(col::RHome, row), kTeam) +
         Cell(rx2.CellText(col::RAway, row), kTeam) +
         Cell(rx2.CellText(col::R_Status, row), kStatus) +
         Cell(rx2.CellText(col::R_Score, row), kScore) +
         Cell(rx2.CellText(col::R_Min, row), kMinute) + Market(rx2, row, col::R_1, col::R_1S) +
         Market(rx2, row, col::R_X, col::R_XS) + Market(rx2, row, col::R_2, col::R_2S) +
         Cell(rx2.CellText(col::Bet, row), kVerdict) + rx2.CellText(col::Bet2, row);
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
