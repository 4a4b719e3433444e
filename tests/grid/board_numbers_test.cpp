#include <gtest/gtest.h>

#include <array>

#include "board/board_copy.h"
#include "board/cell_numbers.h"
#include "board/columns.h"
#include "board/score_extremes.h"

namespace zelko {
namespace {

TEST(CellNumbers, CellIntReadsWholeNumbersOnly) {
  GridTable rx("RX", RxColumns());
  rx.AddRow();
  const std::pair<const char*, int> cases[] = {{"250", 250}, {"-3", -3}, {"", 0},
                                               {"1.5", 0},   {"12 ", 0}, {"x", 0}};
  for (auto [text, value] : cases) {
    rx.SetCellText(col::R_1S, 0, text);
    EXPECT_EQ(CellInt(rx, col::R_1S, 0), value) << text;
  }
}

TEST(CellNumbers, CellProfitRoundsHalvesToEven) {
  GridTable rx("RX", RxColumns());
  rx.AddRow();
  struct Case {
    const char* money;
    const char* odds;
    int profit;
  };
  const Case cases[] = {
      {"100", "1.85", 85},
      {"3", "1.5", 1},
      {"5", "1.5", 3},
      {"100", "1,85", 85},
      {"100", "", 0},
      {"100", "-", 0},
      {"", "1.85", 0},
      {"-10", "2.5", -15},
      // Far outside what a market holds: the profit saturates instead of wrapping or stopping
      // at the stake's own limit.
      {"2000000000", "3", 2147483647},
      {"2000000000", "0", -2000000000},
  };
  for (const Case& c : cases) {
    rx.SetCellText(col::R_1S, 0, c.money);
    rx.SetCellText(col::R_1, 0, c.odds);
    EXPECT_EQ(CellProfit(rx, col::R_1S, col::R_1, 0), c.profit) << c.money << " x " << c.odds;
  }
}

class ScoreExtremes : public ::testing::Test {
 protected:
  void SetBalances(const std::array<int, 15>& values) {
    for (int k = 0; k < 15; ++k)
      rx.SetCellInteger(col::s00 + k, 0, values[static_cast<std::size_t>(k)]);
  }
  Color ColorOf(int k) { return rx.CellColor(col::s00 + k, 0); }
  GridTable rx{"RX", RxColumns()};
  void SetUp() override { rx.AddRow(); }
};

TEST_F(ScoreExtremes, FirstOfEqualExtremesIsMarked) {
  SetBalances({5, 9, 9, -3, -7, -7, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  MarkScoreExtremes(rx, 0);
  EXPECT_EQ(ColorOf(1), colors::kYellow);
  EXPECT_EQ(ColorOf(2), colors::kWindow);
  EXPECT_EQ(ColorOf(4), colors::kFuchsia);
  EXPECT_EQ(ColorOf(5), colors::kWindow);
}

TEST_F(ScoreExtremes, ZerosAndOneSignedRows) {
  SetBalances({});
  MarkScoreExtremes(rx, 0);
  for (int k = 0; k < 15; ++k) EXPECT_EQ(ColorOf(k), colors::kWindow);

  SetBalances({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 3});
  MarkScoreExtremes(rx, 0);
  EXPECT_EQ(ColorOf(13), colors::kYellow);
  for (int k = 0; k < 15; ++k) EXPECT_NE(ColorOf(k), colors::kFuchsia);

  // A mark is never taken back: a later zero keeps its yellow.
  SetBalances({});
  MarkScoreExtremes(rx, 0);
  EXPECT_EQ(ColorOf(13), colors::kYellow);
}

TEST(CopyBoardRow, CopiesSharedColumnsAndVerdictsWithoutLabels) {
  GridTable rx("RX", RxColumns());
  GridTable rx2("RX2", Rx2Columns());
  rx.AddRow();
  rx2.AddRow();
  for (int c = 0; c <= col::SharedLast; ++c) {
    if (c == col::RCh || c == col::RFlag) continue;
    rx.SetCellText(c, 0, "t" + std::to_string(c));
    rx.SetCellColor(c, 0, static_cast<Color>(c));
    rx.SetCellHint(c, 0, "h" + std::to_string(c));
  }
  rx.SetCellChecked(col::RCh, 0, true);
  rx.SetCellInteger(col::RFlag, 0, 23);
  rx.SetCellText(col::rbet, 0, "W1");
  rx.SetCellColor(col::rbet, 0, colors::kRed);
  rx.SetCellHint(col::rbet, 0, "no");
  rx.SetCellText(col::rbet2, 0, "X");
  rx2.SetCellText(col::score00, 0, "0:0");
  rx2.SetCellText(col::BetLabel, 0, kBetLabelText);

  CopyBoardRow(rx2, 0, rx, 0);
  for (int c = 0; c <= col::SharedLast; ++c) {
    EXPECT_EQ(rx2.CellText(c, 0), rx.CellText(c, 0)) << c;
    EXPECT_EQ(rx2.CellColor(c, 0), rx.CellColor(c, 0)) << c;
    EXPECT_EQ(rx2.CellHint(c, 0), rx.CellHint(c, 0)) << c;
  }
  EXPECT_TRUE(rx2.CellChecked(col::RCh, 0));
  EXPECT_EQ(rx2.CellText(col::Bet, 0), "W1");
  EXPECT_EQ(rx2.CellColor(col::Bet, 0), colors::kRed);
  EXPECT_EQ(rx2.CellHint(col::Bet, 0), "");
  EXPECT_EQ(rx2.CellText(col::Bet2, 0), "X");
  EXPECT_EQ(rx2.CellText(col::score00, 0), "0:0");
  EXPECT_EQ(rx2.CellText(col::BetLabel, 0), kBetLabelText);
}

}  // namespace
}  // namespace zelko
