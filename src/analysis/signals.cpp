#include "analysis/signals.h"

#include <cstdio>
#include <exception>
#include <string>

#include "board/columns.h"
#include "feed/service_url.h"
#include "feed/text.h"

namespace zelko {
namespace {

constexpr int kStrangeBetMinimum = 1000;

// Names go out with every space as ">>", the service's word separator.
std::string R(std::string_view text) {
  return ReplaceAll(text, " ", ">>");
}

std::string HoursMinutes(TimeOfDay time) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", time.hour % 100, time.minute % 100);
  return text;
}

bool ListsAlready(const GridTable& sbx, std::string_view my, std::string_view bet) {
  for (int r = 0; r < sbx.RowCount(); ++r) {
    if (sbx.TextView(col::sbx::My, r) == my && sbx.TextView(col::sbx::Bet, r) == bet) return true;
  }
  return false;
}

// A signal's reply is never read and its failure changes nothing.
void Post(const SignalSender& sender, const std::string& url) {
  try {
    (void)ServiceGet(sender.idHttp2, url);
  } catch (const std::exception&) {
    // Swallowed: the caller carries on as if the signal had gone out.
  }
}

}  // namespace

void SendStrangeBet(const SignalSender& sender, const GridTable& rx, GridTable& sbx, int money,
                    int row, std::string_view odds, std::string_view bet, std::string_view status,
                    std::string_view score) {
  if (money < kStrangeBetMinimum) return;
  const std::string my = rx.CellText(col::RMy, row);
  const bool duplicate = ListsAlready(sbx, my, bet);
  const std::string_view shownScore = (score == "-" || score.empty()) ? "0:0" : score;
  if (duplicate) return;

  sbx.InsertRow(0);
  sbx.SetCellText(col::sbx::My, 0, my);
  sbx.SetCellInteger(col::sbx::Flag, 0, rx.CellInteger(col::RFlag, row));
  sbx.SetCellHint(col::sbx::Flag, 0, rx.CellHint(col::RFlag, row));
  sbx.SetCellText(col::sbx::Time, 0, rx.TextView(col::RTime, row));
  sbx.SetCellText(col::sbx::Home, 0, rx.TextView(col::RHome, row));
  sbx.SetCellText(col::sbx::Away, 0, rx.TextView(col::RAway, row));
  sbx.SetCellText(col::sbx::Bet, 0, bet);
  sbx.SetCellText(col::sbx::Odd, 0, odds);
  sbx.SetCellInteger(col::sbx::Sum, 0, money);
  sbx.SetCellText(col::sbx::TimeBet, 0,
                  HoursMinutes(sender.localTime ? sender.localTime() : TimeOfDay{}));
  sbx.SetCellText(col::sbx::Score, 0, shownScore);
  sbx.SetCellText(col::sbx::Status, 0, status);
  if (status == "LIVE") {
    sbx.SetCellColor(col::sbx::Status, 0, colors::kRed);
  } else if (status == "SOON") {
    sbx.SetCellColor(col::sbx::Status, 0, colors::kGrey);
  }

  // The request is read back from the listed row, so it carries exactly what the list shows.
  QueryUrl url(sender.host, "/bf/sb.php?");
  url.Add("id=", sbx.TextView(col::sbx::My, 0))
      .Add("&chemp=", R(sbx.CellHint(col::sbx::Flag, 0)))
      .Add("&time=", sbx.TextView(col::sbx::Time, 0))
      .Add("&home=", R(sbx.TextView(col::sbx::Home, 0)))
      .Add("&away=", R(sbx.TextView(col::sbx::Away, 0)))
      .Add("&bet=", R(sbx.TextView(col::sbx::Bet, 0)))
      .Add("&kf=", sbx.TextView(col::sbx::Odd, 0))
      .Add("&sum=", sbx.TextView(col::sbx::Sum, 0))
      .Add("&status=", sbx.TextView(col::sbx::Status, 0))
      .Add("&score=", sbx.TextView(col::sbx::Score, 0));
  Post(sender, url.str());
}

void SendBigBet(const SignalSender& sender, const GridTable& rx, int row, std::string_view odds,
                std::string_view bet) {
  QueryUrl url(sender.host, "/bf/bb.php?");
  url.Add("id=", rx.TextView(col::RId, row))
      .Add("&date=", rx.TextView(col::RDate, row))
      .Add("&chemp=", R(rx.CellHint(col::RFlag, row)))
      .Add("&time=", rx.TextView(col::RTime, row))
      .Add("&home=", R(rx.TextView(col::RHome, row)))
      .Add("&away=", R(rx.TextView(col::RAway, row)))
      .Add("&bet=", bet)
      .Add("&kf=", odds)
      .AddRaw("&my=bb");
  Post(sender, url.str());
}

}  // namespace zelko
