#include "analysis/analysis.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "analysis_fixture.h"
#include "board/colors.h"
#include "board/columns.h"
#include "feed/service_url.h"

namespace zelko::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

constexpr std::size_t W1 = 0, X = 1, W2 = 2, O05 = 3, U05 = 4, O15 = 5, U15 = 6, O25 = 7, U25 = 8,
                      O35 = 9, U35 = 10, O45 = 11, U45 = 12;

TEST(ParseSelectionTextTest, ThreeFieldsEachClosedBySeparators) {
  struct Case {
    const char* text;
    double reference;
    double money;
    const char* odds;
  };
  const Case cases[] = {
      {"5000>>6000>>2.10>>", 5000, 6000, "2.10"},
      {"", 0, 0, ""},
      {"5000.5>>-20>>1,85>>", 5000.5, -20, "1,85"},
      {"x>>y>>1.5>>", 0, 0, "1.5"},
      {"5000>>6000>>2.10", 5000, 6000, "2."},  // the last two characters are never odds
      {"5000>>6000>>2.10>>tail", 5000, 6000, "2.10>>ta"},
      {"1>>2>>", 1, 2, ""},
      {"1>>2>", 1, 0, ""},
      {"abc", 0, 0, ""},
      {">>>>", 0, 0, ""},
      {"7>>", 7, 0, ""},
  };
  for (const Case& c : cases) {
    const SelectionFigures f = ParseSelectionText(c.text);
    EXPECT_EQ(f.reference, c.reference) << c.text;
    EXPECT_EQ(f.money, c.money) << c.text;
    EXPECT_EQ(f.odds, c.odds) << c.text;
  }
}

TEST(IsAnalysableTest, ExactlySoonOrLive) {
  EXPECT_TRUE(IsAnalysable("SOON"));
  EXPECT_TRUE(IsAnalysable("LIVE"));
  for (const char* status : {"FINISH", "CANCEL", "", "soon", "Live", "LIVE "}) {
    EXPECT_FALSE(IsAnalysable(status)) << status;
  }
}

class AnalyzeTest : public AnalysisFixture {
 protected:
  AnalyzeTest() {
    platform.network.Reply("/bf/bffa.php", "<ok/><last>12:34</last>");
    platform.network.Reply("/bf/sb.php", "");
    platform.network.Reply("/bf/bb.php", "");
  }
  void Run() {
    AnalysisContext context = Context();
    AnalyzeMatch(context, rx, row);
  }
  void PaintMarket(Color color) {
    for (int c = col::MarketFirst; c <= col::MarketLast; ++c) rx.SetCellColor(c, row, color);
  }
  std::vector<std::string> ListedBets() const {
    std::vector<std::string> out;
    for (int r = 0; r < sbx.RowCount(); ++r) {
      out.push_back(sbx.CellText(col::sbx::Bet, r) + " " + sbx.CellText(col::sbx::Sum, r));
    }
    return out;
  }
};

TEST_F(AnalyzeTest, ThresholdsOfEachMarket) {
  struct Case {
    std::size_t selection;
    const char* text;
    const char* percent;
    const char* money;
    Color percentColor;
    bool strangeBet;
  };
  const Color kChartreuse = colors::kChartreuse, kSpring = colors::kSpringGreen;
  const Case cases[] = {
      {W1, "1000>>690>>1.5>>", "69", "690", colors::kWhite, false},
      {W1, "1000>>700>>1.5>>", "70", "700", kChartreuse, false},
      {W1, "200>>137>>1.5>>", "68", "137", colors::kWhite, false},  // 68.5 rounds to even
      {W1, "200>>139>>1.5>>", "70", "139", kChartreuse, false},     // 69.5 rounds to even
      {X, "1000>>300>>1.5>>", "30", "300", colors::kWhite, false},
      {X, "1000>>310>>1.5>>", "31", "310", kChartreuse, false},
      {W2, "1000>>1000>>1.5>>", "100", "1000", kChartreuse, false},
      {W2, "1000>>1010>>1.5>>", "101", "1010", colors::kYellow, true},
      {W2, "500>>505>>1.5>>", "101", "505", colors::kYellow, false},  // money below 1000
      {O25, "1000>>800>>1.5>>", "80", "800", colors::kWhite, false},
      {O25, "1000>>810>>1.5>>", "81", "810", kSpring, false},
      {U45, "1000>>810>>1.5>>", "81", "810", kSpring, false},
      {U05, "1000>>1000.5>>1.5>>", "100", "1000", kSpring, false},  // a half to even
      {U15, "0>>5000>>1.5>>", "0", "5000", colors::kWhite, false},  // no reference amount
  };
  for (const Case& c : cases) {
    const SelectionColumns& s = kSelections[c.selection];
    SCOPED_TRACE(std::string(s.name) + " " + c.text);
    sbx.ClearRows();
    for (std::size_t k = 0; k < kSelections.size(); ++k) SetSelectionText(k, "");
    SetSelectionText(c.selection, c.text);
    PaintMarket(colors::kBlue);
    Run();
    EXPECT_EQ(rx.CellText(s.percent, row), c.percent);
    EXPECT_EQ(rx.CellText(s.money, row), c.money);
    EXPECT_EQ(rx.CellColor(s.percent, row), c.percentColor);
    EXPECT_EQ(rx.CellText(s.odds, row), "1.5");
    EXPECT_EQ(sbx.RowCount(), c.strangeBet ? 1 : 0);
    if (c.selection <= W2) {  // the whole 1X2 triple is marked
      EXPECT_EQ(rx.CellColor(s.money, row), c.percentColor);
    }
  }
}

TEST_F(AnalyzeTest, ARowOfMixedSelections) {
  SetSelectionText(W1, "1000>>690>>1.90>>");    // 69
  SetSelectionText(X, "1000>>310>>3.40>>");     // 31
  SetSelectionText(W2, "1000>>700>>4.00>>");    // 70; 1X2 money 1700
  SetSelectionText(O05, "2000>>2000>>1.05>>");  // 100, more money than 1X2
  SetSelectionText(U05, "1000>>1010>>9.00>>");  // 101
  SetSelectionText(O15, "2000>>1600>>1.30>>");  // 80
  SetSelectionText(U15, "1000>>810>>3.50>>");   // 81
  SetSelectionText(O25, "1000>>1010>>1.85>>");  // 101
  SetSelectionText(U25, "500>>505>>2.05>>");    // 101 with money 505
  SetSelectionText(O35, "1700>>1700>>2.9>>");   // 100, money equal to 1X2
  SetSelectionText(U35, "");
  SetSelectionText(O45, "1000>>1701>>4.5>>");  // 170, one more than 1X2
  SetSelectionText(U45, "0>>500>>1.2>>");
  PaintMarket(colors::kBlue);
  Run();

  const Color white = colors::kWhite, blue = colors::kBlue, yellow = colors::kYellow,
              chartreuse = colors::kChartreuse, spring = colors::kSpringGreen,
              orange = colors::kOrange;
  struct Expect {
    std::size_t selection;
    const char* percent;
    const char* money;
    Color percentColor;
    Color moneyColor;
  };
  const Expect expected[] = {
      {W1, "69", "690", white, white},
      {X, "31", "310", chartreuse, chartreuse},
      {W2, "70", "700", chartreuse, chartreuse},
      {O05, "100", "2000", spring, orange},
      {U05, "101", "1010", yellow, blue},
      {O15, "80", "1600", white, white},
      {U15, "81", "810", spring, blue},
      {O25, "101", "1010", yellow, white},
      {U25, "101", "505", yellow, blue},
      {O35, "100", "1700", spring, white},
      {U35, "0", "0", white, blue},
      {O45, "170", "1701", yellow, orange},
      {U45, "0", "500", white, blue},
  };
  for (const Expect& e : expected) {
    const SelectionColumns& s = kSelections[e.selection];
    SCOPED_TRACE(s.name);
    EXPECT_EQ(rx.CellText(s.percent, row), e.percent);
    EXPECT_EQ(rx.CellText(s.money, row), e.money);
    EXPECT_EQ(rx.CellColor(s.percent, row), e.percentColor);
    EXPECT_EQ(rx.CellColor(s.money, row), e.moneyColor);
  }
  EXPECT_EQ(rx.CellText(kSelections[U05].odds, row), "9.00");
  EXPECT_EQ(rx.CellText(kSelections[U35].odds, row), "");
  // The Over/Under odds cells are never reset.
  for (const int c : {36, 39, 42, 45, 54, 57, 60, 63}) EXPECT_EQ(rx.CellColor(c, row), blue) << c;

  // StrangeBets for 101 and more with at least 1000 money, the newest at the top.
  EXPECT_THAT(ListedBets(), ElementsAre("O4.5 1701", "O2.5 1010", "U0.5 1010"));
  EXPECT_THAT(Sent("/bf/sb.php"), SizeIs(3));
  EXPECT_EQ(sbx.CellText(col::sbx::Odd, 0), "4.5");
  EXPECT_EQ(sbx.CellText(col::sbx::Score, 0), "0:0");  // the row shows "-"

  // The balances and verdicts ran on the new cells, and the market labels are there.
  for (int c = col::s00; c <= col::s04; ++c) EXPECT_NE(rx.CellText(c, row), "") << c;
  EXPECT_EQ(rx.CellText(col::m1x2, row), "1X2");
  EXPECT_EQ(rx.CellText(col::m45, row), "O/U 4.5");

  // A second analysis of the same row lists nothing new.
  Run();
  EXPECT_EQ(sbx.RowCount(), 3);
  EXPECT_THAT(Sent("/bf/sb.php"), SizeIs(3));
}

TEST_F(AnalyzeTest, StrangeBetsReportTheStatusReadAtTheStart) {
  SetSelectionText(W1, "1000>>2000>>2>>");
  SetSelectionText(U45, "1000>>2000>>2>>");
  rx.SetCellText(col::R_Score, row, "1:0");
  platform.onPendingEvents = [this] {
    if (platform.pendingEventCalls == 2) {
      rx.SetCellText(col::R_Status, row, "LIVE");
      rx.SetCellText(col::R_Score, row, "2:0");
    }
  };
  Run();
  ASSERT_EQ(sbx.RowCount(), 2);
  EXPECT_EQ(sbx.CellText(col::sbx::Status, 0), "SOON");
  EXPECT_EQ(sbx.CellText(col::sbx::Status, 1), "SOON");
  // The score is read when each StrangeBet is raised.
  EXPECT_EQ(sbx.CellText(col::sbx::Score, 1), "2:0");
}

TEST_F(AnalyzeTest, TheRunHoldsTheFormStillAndEndsItRunning) {
  struct Seen {
    int position, max;
    bool visible, gridEnabled, timer1, timer2;
    int clientsAlive;
    std::string label;
  };
  std::vector<Seen> seen;
  platform.onPendingEvents = [&] {
    seen.push_back({progress.position, progress.max, progress.visible, rx.Enabled(), timer1.enabled,
                    timer2.enabled, platform.clientsAlive, rx.CellText(col::m1x2, row)});
  };
  timer1.enabled = false;
  timer2.enabled = true;
  Run();

  ASSERT_THAT(seen, SizeIs(15));  // after the labels, at each selection, at the end
  EXPECT_EQ(seen[0].position, 0);
  EXPECT_TRUE(seen[0].gridEnabled);  // disabled just after
  EXPECT_EQ(seen[0].label, "1X2");
  for (int i = 1; i <= 13; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[static_cast<std::size_t>(i)].position, i);
    EXPECT_FALSE(seen[static_cast<std::size_t>(i)].gridEnabled);
  }
  for (const Seen& s : seen) {
    EXPECT_EQ(s.max, 14);
    EXPECT_TRUE(s.visible);
    EXPECT_FALSE(s.timer1);
    EXPECT_FALSE(s.timer2);
  }
  EXPECT_EQ(seen[13].clientsAlive, 1);
  EXPECT_EQ(seen[14].clientsAlive, 0);  // freed before the last pending events
  EXPECT_FALSE(seen[14].gridEnabled);

  EXPECT_FALSE(progress.visible);
  EXPECT_TRUE(rx.Enabled());
  EXPECT_TRUE(timer1.enabled);
  EXPECT_TRUE(timer2.enabled);
  EXPECT_EQ(platform.clientsAlive, 0);
  ASSERT_THAT(platform.made, SizeIs(1));
  EXPECT_EQ(platform.made[0].first, ClientProfile::SingleRequest);
  EXPECT_EQ(platform.made[0].second, "analysis");
}

TEST_F(AnalyzeTest, PostsTheMarketPictureAndShowsTheLastUpdate) {
  SetDistinctSelections();
  Run();
  const auto sent = Sent("/bf/bffa.php");
  ASSERT_THAT(sent, SizeIs(1));
  EXPECT_EQ(sent[0].client, "analysis");
  EXPECT_EQ(sent[0].url, std::string("http://") + kHost + "/bf/bffa.php?" + kDistinctQuery);
  EXPECT_EQ(rx.CellText(col::update, row), "Last Update");
  EXPECT_EQ(rx.CellText(col::last, row), "12:34");

  // A second analysis sends the same request again, through a new client.
  Run();
  ASSERT_THAT(Sent("/bf/bffa.php"), SizeIs(2));
  EXPECT_EQ(Sent("/bf/bffa.php")[1].url, sent[0].url);
  EXPECT_EQ(platform.clientsMade, 2);
  EXPECT_EQ(platform.clientsAlive, 0);
}

TEST_F(AnalyzeTest, AReplyWithoutLastEmptiesTheTime) {
  rx.SetCellText(col::last, row, "10:00");
  platform.network.ClearReplies("/bf/bffa.php");
  platform.network.Reply("/bf/bffa.php", "<last>10:00");
  Run();
  EXPECT_EQ(rx.CellText(col::update, row), "Last Update");
  EXPECT_EQ(rx.CellText(col::last, row), "");
}

TEST_F(AnalyzeTest, AFailedRequestEndsTheRunTidyThenRaises) {
  SetDistinctSelections();
  rx.SetCellText(col::update, row, "Last Update");
  rx.SetCellText(col::last, row, "10:00");
  platform.network.ClearReplies("/bf/bffa.php");
  platform.network.Fail("/bf/bffa.php", 500);
  timer1.enabled = false;
  timer2.enabled = false;

  bool raised = false;
  try {
    Run();
  } catch (const ServiceError& e) {
    raised = true;
    // By the time the error reaches the caller the form is tidy.
    EXPECT_FALSE(progress.visible);
    EXPECT_TRUE(rx.Enabled());
    EXPECT_TRUE(timer1.enabled);
    EXPECT_TRUE(timer2.enabled);
    EXPECT_EQ(platform.clientsAlive, 0);
    EXPECT_EQ(platform.pendingEventCalls, 15);
    EXPECT_THAT(e.what(), ::testing::HasSubstr("500"));
  }
  EXPECT_TRUE(raised);
  EXPECT_EQ(rx.CellText(col::update, row), "Last Update");
  EXPECT_EQ(rx.CellText(col::last, row), "10:00");
  // What was written before the request stays.
  EXPECT_EQ(rx.CellText(kSelections[W1].percent, row), "10");
  EXPECT_EQ(rx.CellText(kSelections[U45].money, row), "1300");

  // The next run goes out again.
  platform.network.ClearReplies("/bf/bffa.php");
  platform.network.Reply("/bf/bffa.php", "<last>11:11</last>");
  Run();
  EXPECT_EQ(rx.CellText(col::last, row), "11:11");
}

TEST_F(AnalyzeTest, AnErrorInThePendingEventsAlsoEndsTheRunTidy) {
  platform.onPendingEvents = [this] {
    if (platform.pendingEventCalls == 5) throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(Run(), std::runtime_error);
  EXPECT_FALSE(progress.visible);
  EXPECT_TRUE(rx.Enabled());
  EXPECT_TRUE(timer1.enabled);
  EXPECT_TRUE(timer2.enabled);
  EXPECT_EQ(platform.clientsAlive, 0);
  EXPECT_THAT(Sent("/bf/bffa.php"), IsEmpty());
}

}  // namespace
}  // namespace zelko::testing
