#include "live/live_rows.h"

#include <cstdint>

#include "board/colors.h"
#include "board/columns.h"
#include "board/flags.h"
#include "feed/service_url.h"
#include "feed/text.h"

namespace zelko {

namespace {

namespace lc = col::live;

// The two sides of a score text, split at its first ":"; a part that is not a whole number
// counts as 0, and a text without ":" is all right-hand side.
struct ScoreParts {
  std::int32_t home = 0;
  std::int32_t away = 0;
};

ScoreParts SplitScore(std::string_view score) {
  const auto colon = score.find(':');
  if (colon == std::string_view::npos) return {0, WholeNumberOr0(score)};
  return {WholeNumberOr0(score.substr(0, colon)), WholeNumberOr0(score.substr(colon + 1))};
}

void WriteFlag(GridTable& liveGrid, int row, const RecordReader& record) {
  const std::string_view league = record.Get("liga");
  liveGrid.SetCellInteger(lc::Flag, row, FlagIndexOf(league));
  liveGrid.SetCellHint(lc::Flag, row, league);
}

void WriteScore(GridTable& liveGrid, int row, const RecordReader& record) {
  liveGrid.SetCellText(lc::Score, row, record.Get("score"));
  liveGrid.SetCellHint(lc::Score, row, record.Get("score1"));
}

// Columns 11 to 17 and the hidden "my" of column 19.
void WriteStatistics(GridTable& liveGrid, int row, const RecordReader& record) {
  liveGrid.SetCellText(lc::MyScore, row, record.Get("my"));
  liveGrid.SetCellText(lc::Pos, row, record.Get("pos"));
  liveGrid.SetCellText(lc::Danger, row, record.Get("da"));
  liveGrid.SetCellText(lc::ShotOn, row, record.Get("on"));
  liveGrid.SetCellText(lc::ShotOff, row, record.Get("off"));
  liveGrid.SetCellText(lc::Yellow, row, record.Get("yc"));
  liveGrid.SetCellText(lc::Red, row, record.Get("rc"));
  liveGrid.SetCellText(lc::Corners, row, record.Get("cor"));
}

// Only a link that exists is written; a link that has gone leaves the cell as it was.
void WriteLink(GridTable& liveGrid, int row, const std::optional<std::string>& link) {
  if (!link) return;
  liveGrid.SetCellHint(lc::Tv, row, *link);
  liveGrid.SetCellInteger(lc::Tv, row, kBroadcastImage);
}

}  // namespace

std::optional<std::string> BroadcastLink(std::string_view tv) {
  if (tv == "-") return std::nullopt;
  std::string link(kNewsLinkBase);
  link += tv;
  return link;
}

void AddLiveRow(GridTable& liveGrid, const RecordReader& record) {
  const int row = liveGrid.AddRow();
  const auto link = BroadcastLink(record.Get("tv"));
  liveGrid.SetCellText(lc::Id, row, record.Get("id"));
  WriteFlag(liveGrid, row, record);
  liveGrid.SetCellText(lc::Time, row, record.Get("vr"));
  liveGrid.SetCellText(lc::Min, row, record.Get("time"));
  liveGrid.SetCellText(lc::Home, row, record.Get("home"));
  liveGrid.SetCellText(lc::Away, row, record.Get("away"));
  WriteScore(liveGrid, row, record);
  // The pre-match odds are taken once, when the match enters the feed.
  liveGrid.SetCellText(lc::W1, row, record.Get("w1"));
  liveGrid.SetCellText(lc::D, row, record.Get("d"));
  liveGrid.SetCellText(lc::W2, row, record.Get("w2"));
  WriteStatistics(liveGrid, row, record);
  WriteLink(liveGrid, row, link);
  // Column 7 keeps the column's colour, maroon: "score not changed".
}

void UpdateLiveRow(GridTable& liveGrid, GridTable& liveStatGrid, const RecordReader& record,
                   int row) {
  const auto link = BroadcastLink(record.Get("tv"));
  liveGrid.SetCellText(lc::Id, row, record.Get("id"));
  WriteFlag(liveGrid, row, record);
  liveGrid.SetCellText(lc::Time, row, record.Get("vr"));
  liveGrid.SetCellText(lc::Min, row, record.Get("time"));

  const std::string_view home = record.Get("home");
  const std::string_view away = record.Get("away");
  liveGrid.SetCellText(lc::Home, row, home);
  liveGrid.SetCellColor(lc::Home, row, colors::kWhite);
  liveGrid.SetCellText(lc::Away, row, away);
  liveGrid.SetCellColor(lc::Away, row, colors::kWhite);
  liveGrid.SetCellColor(lc::Score, row, colors::kMaroon);

  const std::string oldScore(liveGrid.TextView(lc::Score, row));
  const std::string_view newScore = record.Get("score");
  if (oldScore != newScore) {
    const ScoreParts before = SplitScore(oldScore);
    const ScoreParts after = SplitScore(newScore);
    const bool onBoard = liveGrid.CellInteger(lc::OnBoard, row) != 0;
    // The home line goes in first, so that after a goal on each side the away line is on top.
    if (after.home > before.home) {
      liveGrid.SetCellText(lc::Home, row, home);
      liveGrid.SetCellColor(lc::Home, row, colors::kYellow);
      if (onBoard)
        ShowLiveEvent(liveGrid, liveStatGrid, row, std::string(home) + " Goal", newScore);
    }
    if (after.away > before.away) {
      liveGrid.SetCellText(lc::Away, row, away);
      liveGrid.SetCellColor(lc::Away, row, colors::kYellow);
      if (onBoard)
        ShowLiveEvent(liveGrid, liveStatGrid, row, std::string(away) + " Goal", newScore);
    }
    // Any change of the text is marked, a correction that takes a goal back included.
    liveGrid.SetCellColor(lc::Score, row, colors::kRed);
  }

  WriteScore(liveGrid, row, record);
  WriteStatistics(liveGrid, row, record);
  WriteLink(liveGrid, row, link);
}

void ShowLiveEvent(const GridTable& liveGrid, GridTable& liveStatGrid, int row,
                   std::string_view event, std::string_view score) {
  namespace sc = col::stat;
  liveStatGrid.InsertRow(0);
  liveStatGrid.SetCellText(sc::Id, 0, liveGrid.TextView(lc::Id, row));
  liveStatGrid.SetCellInteger(sc::Flag, 0, liveGrid.CellInteger(lc::Flag, row));
  liveStatGrid.SetCellHint(sc::Flag, 0, liveGrid.CellHint(lc::Flag, row));
  liveStatGrid.SetCellText(sc::Time, 0, liveGrid.TextView(lc::Time, row));
  liveStatGrid.SetCellText(sc::Home, 0, liveGrid.TextView(lc::Home, row));
  liveStatGrid.SetCellText(sc::Away, 0, liveGrid.TextView(lc::Away, row));
  liveStatGrid.SetCellText(sc::Score, 0, score);
  liveStatGrid.SetCellText(sc::Min, 0, liveGrid.TextView(lc::Min, row));
  liveStatGrid.SetCellText(sc::Event, 0, event);
}

}  // namespace zelko
