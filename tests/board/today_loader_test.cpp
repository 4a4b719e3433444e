#include "board/today_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/colors.h"
#include "board/columns.h"
#include "board/flags.h"
#include "board_fixtures.h"

namespace zelko {
namespace {

using testing::Boards;
using testing::ColumnTexts;
using testing::Element;
using testing::Feed;
using testing::kTodayUrl;
using testing::Match;

class TodayLoadTest : public ::testing::Test {
 protected:
  bool Load(const std::vector<Element>& records, StatusBoxes boxes = {}, int mode = 0) {
    feed.Serve(records);
    return LoadTodayBoard(boards.rx, feed.idHttp1, kTodayUrl, boxes, mode);
  }
  // One SOON record with the given "radar" element; gives its row.
  int LoadRadar(const Element& radar, const std::string& status = "SOON") {
    EXPECT_TRUE(Load({Match("1", status).Nested("radar", radar)}));
    EXPECT_EQ(boards.rx.RowCount(), 1);
    return 0;
  }
  GridTable& rx() { return boards.rx; }

  Boards boards;
  Feed feed;
};

TEST_F(TodayLoadTest, StatusBoxesAndDayChooseTheRecords) {
  const std::vector<Element> records{
      Match("live", "LIVE"),           Match("soon", "SOON"),
      Match("finish", "FINISH"),       Match("cancel", "CANCEL"),
      Match("lower", "live"),          Match("other", "BREAK"),
      Match("nostatus", ""),           Match("day0", "SOON", "0"),
      Match("dayempty", "FINISH", ""), Element().Add("status", "SOON").Add("id", "noday"),
  };
  struct Case {
    StatusBoxes boxes;
    std::vector<std::string> ids;
  };
  const Case cases[] = {
      {{true, true, true, true}, {"live", "soon", "finish", "cancel"}},
      {{false, true, true, true}, {"soon", "finish", "cancel"}},
      {{true, false, true, true}, {"live", "finish", "cancel"}},
      {{true, true, false, true}, {"live", "soon", "cancel"}},
      {{true, true, true, false}, {"live", "soon", "finish"}},
      {{false, false, false, false}, {}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Load(records, c.boxes));
    EXPECT_EQ(ColumnTexts(rx(), col::RId), c.ids)
        << c.boxes.live << c.boxes.soon << c.boxes.finish << c.boxes.cancel;
  }
}

TEST_F(TodayLoadTest, FillsTheIdentityCellsOfARow) {
  Element record = Match("7", "SOON");
  for (const std::string_view name : kHiddenFeedNames) {
    record.Add(std::string(name), std::string("v-").append(name));
  }
  ASSERT_TRUE(Load({record}));
  ASSERT_EQ(rx().RowCount(), 1);
  EXPECT_EQ(rx().CellText(col::RId, 0), "7");
  EXPECT_EQ(rx().CellText(col::RMy, 0), "my7");
  EXPECT_EQ(rx().CellText(col::RDate, 0), "01.06");
  EXPECT_EQ(rx().CellInteger(col::RFlag, 0), FlagIndexOf("England. Premier League"));
  EXPECT_NE(rx().CellInteger(col::RFlag, 0), 0);
  EXPECT_EQ(rx().CellHint(col::RFlag, 0), "England. Premier League");
  EXPECT_EQ(rx().CellText(col::RTime, 0), "18:30");
  EXPECT_EQ(rx().CellText(col::RHome, 0), "Home 7");
  EXPECT_EQ(rx().CellText(col::RAway, 0), "Away 7");
  EXPECT_FALSE(rx().CellChecked(col::RCh, 0));
  for (std::size_t i = 0; i < kHiddenFeedNames.size(); ++i) {
    EXPECT_EQ(rx().CellText(col::HiddenFeedFirst + static_cast<int>(i), 0),
              std::string("v-").append(kHiddenFeedNames[i]));
  }
  for (std::size_t i = 0; i < kMarketLabels.size(); ++i) {
    EXPECT_EQ(rx().CellText(col::m1x2 + static_cast<int>(i), 0), kMarketLabels[i]);
  }
}

TEST_F(TodayLoadTest, EachRecordReadsItsOwnElements) {
  // The second record lacks "home" and "radar": it must not inherit the first one's.
  ASSERT_TRUE(Load({Match("1", "SOON").Nested("radar", Element().Add("fk1", "1.5")),
                    Element().Add("status", "SOON").Add("id", "2").Add("day", "1")}));
  ASSERT_EQ(rx().RowCount(), 2);
  EXPECT_EQ(rx().CellText(col::RHome, 1), "");
  EXPECT_EQ(rx().CellText(col::R_1, 1), "");
  EXPECT_EQ(rx().CellText(col::rbet, 1), "");
}

TEST_F(TodayLoadTest, ShareThresholdsPaintTheMarketCells) {
  struct Case {
    const char* name;
    const char* value;
    std::vector<int> cells;
    Color color;
  };
  const Case cases[] = {
      {"f1", "69", {27, 28, 29}, colors::kWhite},
      {"f1", "70", {27, 28, 29}, colors::kChartreuse},
      {"f1", "101", {27, 28, 29}, colors::kYellow},
      {"f1", "abc", {27, 28, 29}, colors::kWhite},
      {"fx", "30", {30, 31, 32}, colors::kWhite},
      {"fx", "31", {30, 31, 32}, colors::kChartreuse},
      {"fx", "101", {30, 31, 32}, colors::kYellow},
      {"f2", "69", {33, 34, 35}, colors::kWhite},
      {"f2", "70", {33, 34, 35}, colors::kChartreuse},
      {"fo05", "80", {37}, colors::kWhite},
      {"fo05", "81", {37}, colors::kSpringGreen},
      {"fo05", "101", {37}, colors::kYellow},
      {"fu15", "81", {46}, colors::kSpringGreen},
      {"fo45", "81", {61}, colors::kSpringGreen},
      {"fu45", "101", {64}, colors::kYellow},
  };
  for (const Case& c : cases) {
    const int row = LoadRadar(Element().Add(c.name, c.value));
    for (const int cell : c.cells) {
      EXPECT_EQ(rx().CellColor(cell, row), c.color) << c.name << "=" << c.value << " " << cell;
    }
  }
  // The Over/Under odds and money cells keep the column's colour.
  const int row = LoadRadar(Element().Add("fo05", "101"));
  EXPECT_EQ(rx().CellColor(36, row), rx().Column(36).color);
  EXPECT_EQ(rx().CellColor(38, row), rx().Column(38).color);
}

TEST_F(TodayLoadTest, MoneyIsTheShareOfTheMarketTotal) {
  struct Case {
    const char* total;
    const char* percent;
    const char* money;
  };
  const Case cases[] = {
      {"2000", "45", "900"}, {"0", "45", "0"}, {"250", "1", "2"},  // 2.5 goes to even
      {"350", "1", "4"},     {"x", "45", "0"}, {"2000", "", "0"},
  };
  for (const Case& c : cases) {
    const int row = LoadRadar(Element().Add("fsum", c.total).Add("f1", c.percent).Add("fk1", "2"));
    EXPECT_EQ(rx().CellText(col::R_1S, row), c.money) << c.total << " x " << c.percent;
    EXPECT_EQ(rx().CellText(col::R_1Pr, row), c.percent);
    EXPECT_EQ(rx().CellText(col::R_1, row), "2");
  }
  // The Over/Under money comes from the line's own total.
  const int row = LoadRadar(Element().Add("fs25", "1000").Add("fo25", "30").Add("fu25", "70"));
  EXPECT_EQ(rx().CellText(50, row), "300");
  EXPECT_EQ(rx().CellText(53, row), "700");
}

TEST_F(TodayLoadTest, OverMoneyAboveThe1x2MoneyIsOrange) {
  // 1X2 money 100 + 0 + 0; the O2.5 money 100 is not above it, 101 is.
  Element equal =
      Element().Add("fsum", "100").Add("f1", "100").Add("fs25", "100").Add("fo25", "100");
  int row = LoadRadar(equal);
  EXPECT_EQ(rx().CellText(50, row), "100");
  EXPECT_NE(rx().CellColor(50, row), colors::kOrange);
  row = LoadRadar(
      Element().Add("fsum", "100").Add("f1", "100").Add("fs25", "101").Add("fo25", "100"));
  EXPECT_EQ(rx().CellColor(50, row), colors::kOrange);
  EXPECT_NE(rx().CellColor(53, row), colors::kOrange);  // Under lines are never marked
}

TEST_F(TodayLoadTest, StatusCells) {
  struct Case {
    const char* status;
    const char* score;
    const char* min;
    Color color;
  };
  const Case cases[] = {
      {"SOON", "-", "18:30", colors::kGrey},
      {"FINISH", "2:1 (1:0)", "18:30", colors::kBlack},
      {"CANCEL", "-", "Перенос", colors::kBlue},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Load({Match("1", c.status).Add("score", "2:1").Add("score1", "1:0")}));
    ASSERT_EQ(rx().RowCount(), 1);
    EXPECT_EQ(rx().CellText(col::R_Score, 0), c.score) << c.status;
    EXPECT_EQ(rx().CellText(col::R_Status, 0), c.status);
    EXPECT_EQ(rx().CellColor(col::R_Status, 0), c.color) << c.status;
    EXPECT_EQ(rx().CellText(col::R_Min, 0), c.min) << c.status;
  }
  ASSERT_TRUE(Load({Match("1", "LIVE").Add("score", "2:1")}));
  for (int c = col::R_Score; c <= col::R_Min; ++c) EXPECT_EQ(rx().CellText(c, 0), "");
}

TEST_F(TodayLoadTest, RecordWithoutRadarGetsNoFigures) {
  ASSERT_TRUE(Load({Match("1", "SOON")}));
  for (int c = col::MarketFirst; c <= col::MarketLast; ++c) EXPECT_EQ(rx().CellText(c, 0), "");
  for (int c = col::home_plus; c <= col::rbet2; ++c) EXPECT_EQ(rx().CellText(c, 0), "") << c;
}

TEST_F(TodayLoadTest, BalancesAndVerdictsOfALoadedRow) {
  // Book: the home win gains 1000, the draw and the away win lose 500: "W1". Money: the draw
  // balance is 0, so the second pass finds nothing and column 98 keeps "W1".
  const Element radar = Element()
                            .Add("fsum", "1000")
                            .Add("f1", "0")
                            .Add("fx", "50")
                            .Add("f2", "50")
                            .Add("fk1", "2")
                            .Add("fkx", "3")
                            .Add("fk2", "3")
                            .Add("last", "14:05");
  const int row = LoadRadar(radar, "FINISH");
  EXPECT_EQ(rx().CellText(col::update, row), "Last Update");
  EXPECT_EQ(rx().CellText(col::last, row), "14:05");
  // Even a finished match shows the first verdict on red after a load.
  EXPECT_EQ(rx().CellText(col::rbet, row), "W1");
  EXPECT_EQ(rx().CellColor(col::rbet, row), colors::kRed);
  EXPECT_EQ(rx().CellText(col::rbet2, row), "W1");
  EXPECT_EQ(rx().CellColor(col::rbet2, row), colors::kGreen);
  EXPECT_EQ(rx().CellColor(col::R_1, row), colors::kYellow);  // the verdict's odds
  EXPECT_EQ(rx().CellText(col::s00, row), "-500");            // 0-0
  EXPECT_EQ(rx().CellText(col::s00 + 1, row), "1000");        // 1-0
  EXPECT_EQ(rx().CellText(col::hscore, row), "1:0");
  EXPECT_EQ(rx().CellText(col::ascore, row), "0:1");
  EXPECT_EQ(rx().CellText(col::home_plus, row), "1000");
  EXPECT_EQ(rx().CellColor(col::home_plus, row), colors::kLime);
  EXPECT_EQ(rx().CellText(col::rnow, row), "-500");
  EXPECT_EQ(rx().CellColor(col::rnow, row), colors::kRed);
  EXPECT_EQ(rx().CellText(col::awayplus, row), "-500");
  // No signal is posted by a load.
  ASSERT_EQ(feed.network.requests.size(), 1u);
  EXPECT_EQ(feed.network.requests[0].path, testing::kFeedPath);
}

TEST_F(TodayLoadTest, ZeroBalancesKeepTheColumnColour) {
  const int row = LoadRadar(Element().Add("last", "10:00"));
  EXPECT_EQ(rx().CellText(col::home_plus, row), "0");
  EXPECT_EQ(rx().CellColor(col::home_plus, row), rx().Column(col::home_plus).color);
  EXPECT_EQ(rx().CellText(col::rbet, row), "");
  EXPECT_EQ(rx().CellColor(col::rbet, row), rx().Column(col::rbet).color);
}

TEST_F(TodayLoadTest, FailedRequestKeepsTheBoardAndAnEmptyReplyClearsIt) {
  ASSERT_TRUE(Load({Match("1", "SOON"), Match("2", "SOON")}));
  feed.Fail();
  EXPECT_FALSE(LoadTodayBoard(rx(), feed.idHttp1, kTodayUrl, {}, 0));
  EXPECT_EQ(ColumnTexts(rx(), col::RId), (std::vector<std::string>{"1", "2"}));

  EXPECT_TRUE(Load({}));
  EXPECT_EQ(rx().RowCount(), 0);
}

TEST_F(TodayLoadTest, ModesOtherThan0And1OnlyEmptyTheBoard) {
  ASSERT_TRUE(Load({Match("1", "SOON")}, {}, 1));
  EXPECT_EQ(rx().RowCount(), 1);
  const std::size_t sent = feed.network.requests.size();
  EXPECT_TRUE(Load({Match("1", "SOON")}, {}, 2));
  EXPECT_EQ(rx().RowCount(), 0);
  EXPECT_EQ(feed.network.requests.size(), sent);
}

}  // namespace
}  // namespace zelko
