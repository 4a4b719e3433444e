#include "board/board_rows.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/balances.h"
#include "board/colors.h"
#include "board/columns.h"
#include "board/flags.h"
#include "board/score_extremes.h"

namespace zelko {
namespace {

// Positions in a Balances array of the scores the projection from 0:0 needs.
constexpr std::size_t kAt00 = 0;
constexpr std::size_t kAt10 = 1;
constexpr std::size_t kAt01 = 2;

static_assert(std::tuple_size_v<PerSelection> == kSelections.size());

// Above these shares the three cells of W1, X and W2 turn chartreuse.
constexpr std::array<std::int32_t, 3> k1x2Thresholds{69, 30, 69};
constexpr std::int32_t kOverUnderThreshold = 80;
constexpr std::int32_t kOverHundred = 100;

// An integer cell painted red when negative and lime when positive; a zero keeps its colour.
void WriteSignedCell(GridTable& rx, int column, int row, int value) {
  rx.SetCellInteger(column, row, value);
  if (value < 0) {
    rx.SetCellColor(column, row, colors::kRed);
  } else if (value > 0) {
    rx.SetCellColor(column, row, colors::kLime);
  }
}

// A verdict label written whatever the row's status, in `color` when there is one.
void WriteVerdictCell(GridTable& rx, int column, int row, const std::string& verdict, Color color) {
  rx.SetCellText(column, row, verdict);
  if (!verdict.empty()) rx.SetCellColor(column, row, color);
}

}  // namespace

void FillBoardRow(GridTable& rx, int row, const RecordReader& record) {
  rx.SetCellText(col::RId, row, record.Get("id"));
  rx.SetCellText(col::RMy, row, record.Get("my"));
  rx.SetCellText(col::RDate, row, record.Get("date"));
  const std::string_view league = record.Get("liga");
  rx.SetCellInteger(col::RFlag, row, FlagIndexOf(league));
  rx.SetCellHint(col::RFlag, row, league);
  rx.SetCellText(col::RTime, row, record.Get("vr"));
  rx.SetCellText(col::RHome, row, record.Get("home"));
  rx.SetCellText(col::RAway, row, record.Get("away"));
  for (std::size_t i = 0; i < kHiddenFeedNames.size(); ++i) {
    rx.SetCellText(col::HiddenFeedFirst + static_cast<int>(i), row,
                   record.Get(kHiddenFeedNames[i]));
  }
  for (std::size_t i = 0; i < kMarketLabels.size(); ++i) {
    rx.SetCellText(col::m1x2 + static_cast<int>(i), row, kMarketLabels[i]);
  }
}

void WriteStatusCells(GridTable& rx, int row, std::string_view status, const RecordReader& record) {
  if (status == "SOON") {
    rx.SetCellText(col::R_Score, row, "-");
    rx.SetCellText(col::R_Status, row, "SOON");
    rx.SetCellColor(col::R_Status, row, colors::kGrey);
    rx.SetCellText(col::R_Min, row, record.Get("vr"));
  } else if (status == "FINISH") {
    std::string score(record.Get("score"));
    score += " (";
    score += record.Get("score1");
    score += ")";
    rx.SetCellText(col::R_Score, row, score);
    rx.SetCellText(col::R_Status, row, "FINISH");
    rx.SetCellColor(col::R_Status, row, colors::kBlack);
    rx.SetCellText(col::R_Min, row, record.Get("vr"));
  } else if (status == "CANCEL") {
    rx.SetCellText(col::R_Score, row, "-");
    rx.SetCellText(col::R_Status, row, "CANCEL");
    rx.SetCellColor(col::R_Status, row, colors::kBlue);
    rx.SetCellText(col::R_Min, row, "Перенос");
  }
  // LIVE: the live refresh writes score, status and minute. Any other word gets nothing.
}

void PaintMarketCells(GridTable& rx, int row, const PerSelection& percents,
                      const PerSelection& money) {
  for (std::size_t i = 0; i < k1x2Thresholds.size(); ++i) {
    const SelectionColumns& sel = kSelections[i];
    Color color = colors::kWhite;
    if (percents[i] > k1x2Thresholds[i]) color = colors::kChartreuse;
    if (percents[i] > kOverHundred) color = colors::kYellow;
    for (int c = sel.odds; c <= sel.money; ++c) rx.SetCellColor(c, row, color);
  }

  for (std::size_t i = k1x2Thresholds.size(); i < kSelections.size(); ++i) {
    const int cell = kSelections[i].percent;
    rx.SetCellColor(cell, row, colors::kWhite);
    if (percents[i] > kOverUnderThreshold) rx.SetCellColor(cell, row, colors::kSpringGreen);
    if (percents[i] > kOverHundred) rx.SetCellColor(cell, row, colors::kYellow);
  }

  const std::int64_t moneyOf1x2 = std::int64_t{money[kSelW1]} + money[kSelX] + money[kSelW2];
  for (std::size_t i = 3; i < kSelections.size(); i += 2) {  // O0.5, O1.5, ... O4.5
    if (money[i] > moneyOf1x2) rx.SetCellColor(kSelections[i].money, row, colors::kOrange);
  }
}

RowVerdict WriteNewRowBalances(GridTable& rx, int row) {
  RowVerdict found;

  const Balances book = ComputeBookBalances(rx, row);
  WriteScoreBalances(rx, row, book);
  FindVerdict(rx, row, book, found.verdict, found.odds);
  // A fresh row shows its first verdict whatever its status.
  WriteVerdictCell(rx, col::rbet, row, found.verdict, colors::kRed);

  // A fresh row is projected from 0:0.
  rx.SetCellText(col::hscore, row, "1:0");
  rx.SetCellText(col::ascore, row, "0:1");
  WriteSignedCell(rx, col::home_plus, row, book[kAt10]);
  WriteSignedCell(rx, col::rnow, row, book[kAt00]);
  WriteSignedCell(rx, col::awayplus, row, book[kAt01]);

  // The second pass keeps the first verdict when it finds none of its own.
  const Balances money = ComputeMoneyBalances(rx, row);
  FindVerdict(rx, row, money, found.verdict, found.odds);
  WriteVerdictCell(rx, col::rbet2, row, found.verdict, colors::kGreen);

  MarkScoreExtremes(rx, row);
  return found;
}

}  // namespace zelko
