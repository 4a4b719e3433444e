#include "board/money_refresh.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/board_filter.h"
#include "board/colors.h"
#include "board/columns.h"
#include "board/today_loader.h"
#include "board_fixtures.h"

namespace zelko {
namespace {

using testing::BfprForW1;
using testing::Boards;
using testing::ColumnTexts;
using testing::Element;
using testing::Feed;
using testing::kTodayUrl;
using testing::Match;

struct PostedBigBet {
  int row;
  std::string odds;
  std::string bet;
};

class MoneyRefreshTest : public ::testing::Test {
 protected:
  bool Refresh(const std::vector<Element>& records) {
    feed.Serve(records);
    return RefreshMoney(boards.rx, boards.rx2, feed.idHttp1, kTodayUrl, sink);
  }
  void LoadBoard(const std::vector<Element>& records, StatusBoxes boxes = {}) {
    feed.Serve(records);
    ASSERT_TRUE(LoadTodayBoard(boards.rx, feed.idHttp1, kTodayUrl, boxes, 0));
  }
  GridTable& rx() { return boards.rx; }

  Boards boards;
  Feed feed;
  std::vector<PostedBigBet> bigBets;
  BigBetSink sink = [this](int row, std::string_view odds, std::string_view bet) {
    bigBets.push_back({row, std::string(odds), std::string(bet)});
  };
};

TEST_F(MoneyRefreshTest, FailedRequestChangesNothing) {
  LoadBoard({Match("1", "SOON")});
  rx().SetCellText(col::last, 0, "10:00");
  feed.Fail();
  EXPECT_FALSE(RefreshMoney(rx(), boards.rx2, feed.idHttp1, kTodayUrl, sink));
  EXPECT_EQ(rx().RowCount(), 1);
  EXPECT_EQ(rx().CellText(col::last, 0), "10:00");
  EXPECT_TRUE(Refresh({}));
  EXPECT_EQ(rx().RowCount(), 1);
}

TEST_F(MoneyRefreshTest, EveryNewRecordGetsARowWhateverItsStatusOrDay) {
  ASSERT_TRUE(Refresh({Match("a", "LIVE", "0"), Match("b", "BREAK", ""),
                       Match("c", "FINISH").Add("score", "1:1").Add("score1", "0:0")}));
  EXPECT_EQ(ColumnTexts(rx(), col::RId), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(rx().CellText(col::RHome, 1), "Home b");
  EXPECT_EQ(rx().CellText(col::m1x2, 0), "1X2");
  // Status cells as at load: nothing for LIVE or another word.
  EXPECT_EQ(ColumnTexts(rx(), col::R_Status), (std::vector<std::string>{"", "", "FINISH"}));
  EXPECT_EQ(rx().CellText(col::R_Score, 2), "1:1 (0:0)");
  // Without "bfpr" no figures.
  EXPECT_EQ(rx().CellText(col::R_1, 0), "");
  EXPECT_EQ(rx().CellText(col::last, 0), "");
}

TEST_F(MoneyRefreshTest, SkippedSoonMatchIsAppendedAndPostsItsBigBetOnce) {
  LoadBoard({Match("1", "SOON"), Match("2", "SOON"), Match("3", "SOON")},
            StatusBoxes{true, false, true, true});
  ASSERT_EQ(rx().RowCount(), 0);

  struct Case {
    const char* id;
    int homeMoney;
    bool posted;
  };
  for (const Case& c : {Case{"1", 1, true}, Case{"2", 0, false}}) {
    bigBets.clear();
    const Element record = Match(c.id, "SOON").Nested("bfpr", BfprForW1(c.homeMoney, "14:05"));
    ASSERT_TRUE(Refresh({record}));
    const int row = rx().LastRowWithId(c.id);
    ASSERT_GE(row, 0);
    EXPECT_EQ(rx().CellText(col::rbet, row), "W1");
    EXPECT_EQ(rx().CellColor(col::rbet, row), colors::kRed);
    EXPECT_EQ(rx().CellText(col::rbet2, row), "W1");
    EXPECT_EQ(rx().CellColor(col::rbet2, row), colors::kGreen);
    EXPECT_EQ(rx().CellText(col::last, row), "14:05");
    EXPECT_EQ(rx().CellText(col::update, row), "Last Update");
    EXPECT_EQ(rx().CellText(col::R_Status, row), "SOON");
    if (c.posted) {
      ASSERT_EQ(bigBets.size(), 1u) << c.id;
      EXPECT_EQ(bigBets[0].row, row);
      EXPECT_EQ(bigBets[0].odds, "2");
      EXPECT_EQ(bigBets[0].bet, "W1");
    } else {
      EXPECT_TRUE(bigBets.empty()) << c.id;
    }

    // The next refresh finds the row known and posts nothing, even with newer figures.
    bigBets.clear();
    ASSERT_TRUE(Refresh({Match(c.id, "SOON").Nested("bfpr", BfprForW1(c.homeMoney, "14:06"))}));
    EXPECT_EQ(rx().RowsWithId(c.id).size(), 1u);
    EXPECT_EQ(rx().CellText(col::last, row), "14:06");
    EXPECT_TRUE(bigBets.empty());
  }
}

TEST_F(MoneyRefreshTest, ANewRowIsTestedBeforeItsStatusCellsAreWritten) {
  // The BigBet test reads column 73 while it is still empty, so a new record of any status
  // whose two verdicts agree posts.
  ASSERT_TRUE(Refresh({Match("f", "FINISH").Nested("bfpr", BfprForW1(1, "10:00")),
                       Match("l", "LIVE").Nested("bfpr", BfprForW1(1, "10:00"))}));
  ASSERT_EQ(bigBets.size(), 2u);
  EXPECT_EQ(bigBets[0].row, 0);
  EXPECT_EQ(bigBets[1].row, 1);
}

TEST_F(MoneyRefreshTest, WhenKnownFiguresAreNew) {
  struct Case {
    const char* status;
    const char* shownTime;   // column 96
    const char* shownScore;  // column 72
    const char* last;        // the element's "last"
    const char* takenAt;     // "score" of "bf_live"
    bool updated;
  };
  const Case cases[] = {
      {"SOON", "14:05", "-", "14:05", "", false},
      {"SOON", "14:05", "-", "14:06", "", true},
      {"SOON", "14:06", "-", "14:05", "", false},
      {"SOON", "", "-", "00:01", "", true},  // an empty column 96 counts as 00:00
      {"SOON", "", "-", "", "", false},      // so does an empty "last"
      {"SOON", "14:05", "-", "", "", false},
      {"SOON", "late", "-", "00:01", "", true},  // not a time of day: 00:00
      {"SOON", "14:05", "-", "soon", "", false},
      {"LIVE", "14:05", "1:0", "14:06", "0:0", false},
      {"LIVE", "14:05", "1:0", "15:00", "0:0", false},
      {"LIVE", "14:05", "1:0", "14:06", "1:0", true},
      {"LIVE", "14:05", "1:0", "14:05", "1:0", false},
      {"LIVE", "14:05", "0:0", "14:06", "", true},  // taken at 0:0 when "score" is empty
      {"FINISH", "14:05", "-", "14:05", "", true},
      {"FINISH", "14:06", "-", "14:05", "", true},
      {"CANCEL", "14:06", "-", "", "", true},
      {"BREAK", "14:05", "-", "14:06", "", false},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.status) + " " + c.shownTime + "/" + c.last;
    rx().ClearRows();
    const int row = rx().AddRow();
    rx().SetCellText(col::RId, row, "9");
    rx().SetCellText(col::R_Score, row, c.shownScore);
    rx().SetCellText(col::last, row, c.shownTime);
    rx().SetCellText(col::R_1, row, "old");

    Element figures = Element().Add("k1", "new").Add("last", c.last);
    const bool live = std::string(c.status) == "LIVE";
    if (live) figures.Add("score", c.takenAt);
    // The other element is there too and must not be read.
    Element record = Match("9", c.status)
                         .Nested(live ? "bf_live" : "bfpr", figures)
                         .Nested(live ? "bfpr" : "bf_live", Element().Add("k1", "wrong"));
    ASSERT_TRUE(Refresh({record}));
    ASSERT_EQ(rx().RowCount(), 1) << what;
    EXPECT_EQ(rx().CellText(col::R_1, 0), c.updated ? "new" : "old") << what;
    if (c.updated) {
      EXPECT_EQ(rx().CellText(col::last, 0), *c.last ? c.last : "00:00") << what;
      EXPECT_EQ(rx().CellText(col::update, 0), "Last Update") << what;
    } else {
      EXPECT_EQ(rx().CellText(col::last, 0), c.shownTime) << what;
    }
  }
}

TEST_F(MoneyRefreshTest, KnownRowsGetTheirStatusCellsAlways) {
  LoadBoard({Match("1", "LIVE"), Match("2", "LIVE"), Match("3", "SOON")});
  rx().SetCellText(col::last, 2, "23:59");
  // No figures at all, or old ones: the status cells are still written.
  ASSERT_TRUE(
      Refresh({Match("1", "FINISH").Add("score", "2:1").Add("score1", "1:0"), Match("2", "CANCEL"),
               Match("3", "SOON").Nested("bfpr", Element().Add("last", "10:00"))}));
  EXPECT_EQ(rx().CellText(col::R_Score, 0), "2:1 (1:0)");
  EXPECT_EQ(rx().CellColor(col::R_Status, 0), colors::kBlack);
  EXPECT_EQ(rx().CellText(col::R_Min, 1), "Перенос");
  EXPECT_EQ(rx().CellColor(col::R_Status, 1), colors::kBlue);
  EXPECT_EQ(rx().CellText(col::R_Status, 2), "SOON");
  EXPECT_EQ(rx().CellText(col::last, 2), "23:59");
}

TEST_F(MoneyRefreshTest, FinishedRowIsRewrittenAndItsVerdictsCleared) {
  ASSERT_TRUE(Refresh({Match("1", "SOON").Nested("bfpr", BfprForW1(1, "14:00"))}));
  ASSERT_EQ(rx().CellText(col::rbet, 0), "W1");
  ASSERT_TRUE(Refresh({Match("1", "FINISH")
                           .Add("score", "2:1")
                           .Add("score1", "1:0")
                           .Nested("bfpr", BfprForW1(1, "13:00"))}));
  EXPECT_EQ(rx().CellText(col::R_Score, 0), "2:1 (1:0)");
  EXPECT_EQ(rx().CellText(col::rbet, 0), "");
  EXPECT_EQ(rx().CellColor(col::rbet, 0), colors::kWhite);
  EXPECT_EQ(rx().CellText(col::rbet2, 0), "");
  EXPECT_EQ(rx().CellColor(col::rbet2, 0), colors::kWhite);
  EXPECT_EQ(rx().CellText(col::last, 0), "13:00");
  // The projection follows column 72, which "2:1 (1:0)" matches no entry of.
  EXPECT_EQ(rx().CellText(col::hscore, 0), "1:0");
}

// Every cell of a grid: text, colour and hint.
std::vector<std::string> Cells(const GridTable& grid) {
  std::vector<std::string> cells;
  for (int r = 0; r < grid.RowCount(); ++r) {
    for (int c = 0; c < grid.ColumnCount(); ++c) {
      cells.push_back(grid.CellText(c, r) + "|" + std::to_string(grid.CellColor(c, r)) + "|" +
                      grid.CellHint(c, r));
    }
  }
  return cells;
}

// Finished and called-off rows are rewritten at every refresh; a row not changed since it was
// rewritten from the same figures is left alone, which must be exactly what rewriting it gives.
TEST_F(MoneyRefreshTest, AFinishedRowRewrittenFromTheSameFiguresEndsTheSame) {
  const std::vector<Element> reply = {
      Match("1", "FINISH")
          .Add("score", "2:1")
          .Add("score1", "1:0")
          .Nested("bfpr", BfprForW1(2000, "13:00")),
      Match("2", "CANCEL").Nested("bfpr", BfprForW1(1, "12:00")),
      Match("3", "FINISH").Add("score", "0:0").Nested("bfpr", Element().Add("so05", "900")),
  };
  LoadBoard(reply);
  std::string count;
  ApplyBoardFilter(rx(), boards.rx2, {}, "0", count);
  ASSERT_EQ(boards.rx2.RowCount(), 3);
  ASSERT_TRUE(Refresh(reply));
  const std::vector<std::string> rxAfter = Cells(rx());
  const std::vector<std::string> boardAfter = Cells(boards.rx2);

  // Rewritten in full (the notes forgotten), the rows come out as they were.
  for (int r = 0; r < 3; ++r) rx().SetRowNote(r, 0);
  for (int r = 0; r < 3; ++r) boards.rx2.SetRowNote(r, 0);
  ASSERT_TRUE(Refresh(reply));
  EXPECT_EQ(Cells(rx()), rxAfter);
  EXPECT_EQ(Cells(boards.rx2), boardAfter);

  // A row changed since, on either board, is rewritten and copied again.
  rx().SetCellText(col::R_1, 0, "99");
  boards.rx2.SetCellText(col::R_2, 1, "99");
  rx().SetCellText(col::R_1S, 2, "5");
  ASSERT_TRUE(Refresh(reply));
  EXPECT_EQ(Cells(rx()), rxAfter);
  EXPECT_EQ(Cells(boards.rx2), boardAfter);

  // Other figures for the same row are written as always.
  ASSERT_TRUE(Refresh({Match("1", "FINISH")
                           .Add("score", "2:1")
                           .Add("score1", "1:0")
                           .Nested("bfpr", BfprForW1(3000, "13:00"))}));
  EXPECT_EQ(rx().CellText(col::R_1S, 0), "3000");
  EXPECT_EQ(boards.rx2.CellText(col::R_1S, 0), "3000");
}

TEST_F(MoneyRefreshTest, LiveRowKeepsItsVerdicts) {
  ASSERT_TRUE(Refresh({Match("1", "SOON").Nested("bfpr", BfprForW1(1, "14:00"))}));
  rx().SetCellText(col::R_Score, 0, "1:0");
  rx().SetCellText(col::R_Status, 0, "LIVE");
  ASSERT_TRUE(Refresh({Match("1", "LIVE")
                           .Nested("bf_live", Element()
                                                  .Add("k1", "9")
                                                  .Add("s2", "7000")
                                                  .Add("score", "1:0")
                                                  .Add("last", "14:30"))}));
  EXPECT_EQ(rx().CellText(col::R_1, 0), "9");
  EXPECT_EQ(rx().CellText(col::rbet, 0), "W1");
  EXPECT_EQ(rx().CellText(col::rbet2, 0), "W1");
  // Projected from the live score.
  EXPECT_EQ(rx().CellText(col::hscore, 0), "2:0");
  EXPECT_EQ(rx().CellText(col::ascore, 0), "1:1");
  EXPECT_TRUE(bigBets.size() == 1u);  // only the first, new-row pass posted
}

TEST_F(MoneyRefreshTest, UpdatedRowIsCopiedToItsWorkBoardRow) {
  LoadBoard({Match("1", "SOON"), Match("2", "SOON")});
  std::string count;
  ApplyBoardFilter(rx(), boards.rx2, {}, "0", count);
  ASSERT_EQ(boards.rx2.RowCount(), 2);

  ASSERT_TRUE(Refresh({Match("1", "SOON").Nested("bfpr", BfprForW1(1, "14:00")),
                       Match("2", "SOON").Nested("bfpr", Element().Add("k1", "5"))}));
  // Row 1 had no time: "last" empty counts 00:00, not newer; row 0 is newer.
  EXPECT_EQ(boards.rx2.CellText(col::R_1, 0), "2");
  EXPECT_EQ(boards.rx2.CellColor(col::R_1, 0), rx().CellColor(col::R_1, 0));
  EXPECT_EQ(boards.rx2.CellText(col::last, 0), "14:00");
  EXPECT_EQ(boards.rx2.CellText(col::Bet, 0), "W1");
  EXPECT_EQ(boards.rx2.CellColor(col::Bet, 0), colors::kRed);
  EXPECT_EQ(boards.rx2.CellText(col::score00, 0), "0:0");  // untouched labels
  EXPECT_EQ(boards.rx2.CellText(col::R_1, 1), "");
  EXPECT_EQ(rx().CellText(col::R_1, 1), "");
}

TEST_F(MoneyRefreshTest, TheLastRowWithTheIdIsTheOneUpdated) {
  for (int i = 0; i < 3; ++i) rx().SetCellText(col::RId, rx().AddRow(), i == 1 ? "x" : "7");
  ASSERT_TRUE(Refresh({Match("7", "FINISH").Nested("bfpr", Element().Add("k1", "3"))}));
  EXPECT_EQ(ColumnTexts(rx(), col::R_1), (std::vector<std::string>{"", "", "3"}));
  EXPECT_EQ(ColumnTexts(rx(), col::R_Status), (std::vector<std::string>{"", "", "FINISH"}));
}

TEST_F(MoneyRefreshTest, ARecordTwiceInOneReplyIsNewThenKnown) {
  ASSERT_TRUE(
      Refresh({Match("1", "SOON").Nested("bfpr", Element().Add("last", "10:00")),
               Match("1", "SOON").Nested("bfpr", Element().Add("k1", "4").Add("last", "11:00"))}));
  ASSERT_EQ(rx().RowCount(), 1);
  EXPECT_EQ(rx().CellText(col::R_1, 0), "4");
}

TEST(FillMarketCellsTest, WritesAndPaintsTheMarketCells) {
  GridTable rx("RX", RxColumns());
  const int row = rx.AddRow();
  struct Case {
    const char* name;
    const char* value;
    std::vector<int> cells;
    Color color;
  };
  const Case cases[] = {
      {"pr1", "69", {27, 28, 29}, colors::kWhite},
      {"pr1", "70", {27, 28, 29}, colors::kChartreuse},
      {"pr1", "101", {27, 28, 29}, colors::kYellow},
      {"prx", "30", {30, 31, 32}, colors::kWhite},
      {"prx", "31", {30, 31, 32}, colors::kChartreuse},
      {"pr2", "70", {33, 34, 35}, colors::kChartreuse},
      {"pro05", "80", {37}, colors::kWhite},
      {"pro05", "81", {37}, colors::kSpringGreen},
      {"pru45", "101", {64}, colors::kYellow},
  };
  for (const Case& c : cases) {
    FillMarketCells(rx, row, Element().Add(c.name, c.value).Str());
    for (const int cell : c.cells) {
      EXPECT_EQ(rx.CellColor(cell, row), c.color) << c.name << "=" << c.value << " " << cell;
    }
  }

  // Every cell gets its element's text.
  Element all;
  const char* names[] = {"k1",    "pr1",   "s1",    "kx",    "prx",   "sx",    "k2",    "pr2",
                         "s2",    "ko05",  "pro05", "so05",  "ku05",  "pru05", "su05",  "ko15",
                         "pro15", "so15",  "ku15",  "pru15", "su15",  "ko25",  "pro25", "so25",
                         "ku25",  "pru25", "su25",  "ko35",  "pro35", "so35",  "ku35",  "pru35",
                         "su35",  "ko45",  "pro45", "so45",  "ku45",  "pru45", "su45"};
  for (const char* name : names) all.Add(name, std::string("t") + name);
  FillMarketCells(rx, row, all.Str());
  for (int c = col::MarketFirst; c <= col::MarketLast; ++c) {
    EXPECT_EQ(rx.CellText(c, row), std::string("t") + names[c - col::MarketFirst]) << c;
  }
}

TEST(FillMarketCellsTest, OverMoneyAboveThe1x2MoneyIsOrange) {
  GridTable rx("RX", RxColumns());
  const int row = rx.AddRow();
  const Element money = Element().Add("s1", "100").Add("sx", "50").Add("s2", "x");
  FillMarketCells(rx, row, Element(money).Add("so25", "150").Str());
  EXPECT_NE(rx.CellColor(50, row), colors::kOrange);
  FillMarketCells(rx, row, Element(money).Add("so25", "151").Add("su25", "999").Str());
  EXPECT_EQ(rx.CellColor(50, row), colors::kOrange);
  EXPECT_NE(rx.CellColor(53, row), colors::kOrange);
  // The odds cells of the other selections keep a mark put on them earlier.
  rx.SetCellColor(48, row, colors::kYellow);
  FillMarketCells(rx, row, money.Str());
  EXPECT_EQ(rx.CellColor(48, row), colors::kYellow);
}

}  // namespace
}  // namespace zelko
