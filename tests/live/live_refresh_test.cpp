#include "live/live_refresh.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "board/colors.h"
#include "board/columns.h"
#include "feed/service_url.h"
#include "live/live_rows.h"
#include "support/fake_platform.h"
#include "support/feed_builder.h"

namespace zelko {
namespace {

namespace lc = col::live;
using testing::Element;

constexpr const char* kFeedPath = "/login/zelko.php";
constexpr const char* kProjection = "p";

Element Match(const std::string& id, const std::string& score, const std::string& minute = "10",
              const std::string& kickOff = "18:00") {
  Element e;
  e.Add("id", id)
      .Add("liga", "Italy. Serie A")
      .Add("vr", kickOff)
      .Add("time", minute)
      .Add("home", "Home" + id)
      .Add("away", "Away" + id)
      .Add("score", score);
  return e;
}

class LiveRefreshTest : public ::testing::Test {
 protected:
  // A board row as the today load leaves it: "SOON", a projection in 75-77, 93 and 94.
  static int BoardRow(GridTable& board, const std::string& id) {
    const int row = board.AddRow();
    board.SetCellText(col::RId, row, id);
    board.SetCellText(col::R_Status, row, "SOON");
    board.SetCellText(col::R_Min, row, "18:00");
    for (int c : {col::home_plus, col::rnow, col::awayplus, col::hscore, col::ascore}) {
      board.SetCellText(c, row, kProjection);
      board.SetCellColor(c, row, colors::kGreen);
    }
    return row;
  }
  void OnBoth(const std::string& id) {
    BoardRow(rx, id);
    BoardRow(rx2, id);
  }

  bool Pass(const std::vector<Element>& records, bool autoUpdate = false) {
    network.ClearReplies(kFeedPath);
    network.Reply(kFeedPath, testing::Reply(records));
    return RefreshLive(boards, http, url, autoUpdate, analyze);
  }

  static bool ProjectionCleared(const GridTable& board, int row) {
    for (int c : {col::home_plus, col::rnow, col::awayplus})
      if (board.CellText(c, row) != "" || board.CellColor(c, row) != colors::kWhite) return false;
    return board.CellText(col::hscore, row) == "" && board.CellText(col::ascore, row) == "";
  }
  static bool ProjectionKept(const GridTable& board, int row) {
    for (int c : {col::home_plus, col::rnow, col::awayplus, col::hscore, col::ascore})
      if (board.CellText(c, row) != kProjection) return false;
    return true;
  }
  static void ExpectLive(const GridTable& board, int row, const std::string& score,
                         const std::string& minute, Color scoreColor) {
    SCOPED_TRACE(board.Name() + " row " + std::to_string(row));
    EXPECT_EQ(board.CellText(col::R_Score, row), score);
    EXPECT_EQ(board.CellColor(col::R_Score, row), scoreColor);
    EXPECT_EQ(board.CellText(col::R_Status, row), "LIVE");
    EXPECT_EQ(board.CellColor(col::R_Status, row), colors::kRed);
    EXPECT_EQ(board.CellText(col::R_Min, row), minute);
  }
  static void ExpectFinished(const GridTable& board, int row, const std::string& kickOff) {
    SCOPED_TRACE(board.Name() + " row " + std::to_string(row));
    EXPECT_EQ(board.CellText(col::R_Status, row), "FINISH");
    EXPECT_EQ(board.CellColor(col::R_Status, row), colors::kBlack);
    EXPECT_EQ(board.CellText(col::R_Min, row), kickOff);
  }
  std::vector<std::string> LiveIds() const {
    std::vector<std::string> ids;
    for (int r = 0; r < live.RowCount(); ++r) ids.push_back(live.CellText(lc::Id, r));
    return ids;
  }
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    for (int r = 0; r < stat.RowCount(); ++r)
      out.push_back(stat.CellText(col::stat::Event, r) + " " + stat.CellText(col::stat::Score, r));
    return out;
  }

  testing::FakeNetwork network;
  testing::FakeHttpClient http{network, "IdHTTP1", ClientProfile::Form};
  std::string url = FeedUrl("127.0.0.1:8024", Credentials{"user", "secret"}, "live");
  GridTable rx{"RX", RxColumns()};
  GridTable rx2{"RX2", Rx2Columns()};
  GridTable live{"LiveGrid", LiveGridColumns()};
  GridTable stat{"LiveStatGrid", LiveStatGridColumns()};
  LiveBoards boards{rx, rx2, live, stat};

  std::vector<int> analysed;
  std::vector<bool> rx2EnabledDuringAnalysis;
  AnalyzeRow analyze = [this](int rxRow) {
    analysed.push_back(rxRow);
    rx2EnabledDuringAnalysis.push_back(rx2.Enabled());
    rx.SetCellText(col::rnow, rxRow, "analysed");
    rx.SetCellText(col::rbet, rxRow, "verdict");
  };
};

TEST_F(LiveRefreshTest, AsksTheLiveMenuThroughTheGivenClient) {
  EXPECT_TRUE(Pass({}));
  const auto sent = network.To(kFeedPath);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].client, "IdHTTP1");
  EXPECT_EQ(sent[0].url, url);
  EXPECT_NE(sent[0].query.find("menu=live"), std::string::npos);
}

TEST_F(LiveRefreshTest, FirstPassOnAnEmptyLiveGrid) {
  OnBoth("A");
  OnBoth("B");
  OnBoth("C");
  BoardRow(rx2, "X");  // another match, not live
  ASSERT_TRUE(Pass({Match("A", "1:0", "55"), Match("B", "2:1", "30"), Match("C", "0:0", "12")},
                   /*autoUpdate=*/true));

  EXPECT_EQ(LiveIds(), (std::vector<std::string>{"A", "B", "C"}));
  const std::vector<std::string> scores{"1:0", "2:1", "0:0"};
  const std::vector<std::string> minutes{"55'", "30'", "12'"};
  for (int r = 0; r < 3; ++r) {
    const auto i = static_cast<std::size_t>(r);
    EXPECT_EQ(live.CellInteger(lc::OnBoard, r), kOnBoardImage) << r;
    EXPECT_EQ(live.CellColor(lc::Score, r), colors::kMaroon) << r;
    ExpectLive(rx, r, scores[i], minutes[i], colors::kGrey);
    ExpectLive(rx2, r, scores[i], minutes[i], colors::kGrey);
  }
  // The first record is appended and then found at once, so its projection stands although
  // it comes with a goal; the other two are new to the grid.
  EXPECT_TRUE(ProjectionKept(rx, 0));
  EXPECT_TRUE(ProjectionKept(rx2, 0));
  EXPECT_TRUE(ProjectionCleared(rx, 1));
  EXPECT_TRUE(ProjectionCleared(rx2, 1));
  EXPECT_TRUE(ProjectionKept(rx, 2));
  EXPECT_TRUE(ProjectionKept(rx2, 2));
  EXPECT_EQ(rx2.CellText(col::R_Status, 3), "SOON");
  EXPECT_TRUE(analysed.empty());
  EXPECT_EQ(stat.RowCount(), 0);
}

TEST_F(LiveRefreshTest, AMatchEnteringAFilledGridWithGoalsLosesItsProjection) {
  OnBoth("A");
  OnBoth("B");
  ASSERT_TRUE(Pass({Match("A", "0:0")}));
  ASSERT_TRUE(Pass({Match("A", "0:0"), Match("B", "1:0")}));
  EXPECT_TRUE(ProjectionKept(rx, 0));
  EXPECT_TRUE(ProjectionCleared(rx, 1));
  EXPECT_TRUE(ProjectionCleared(rx2, 1));
  EXPECT_EQ(rx.CellColor(col::R_Score, 1), colors::kGrey);
  EXPECT_EQ(stat.RowCount(), 0);  // entering the feed is not a goal
}

class GoalBetweenPassesTest : public LiveRefreshTest, public ::testing::WithParamInterface<bool> {};

TEST_P(GoalBetweenPassesTest, MarksTheScoreClearsTheProjectionAndRaisesOneLine) {
  const bool autoUpdate = GetParam();
  BoardRow(rx, "Z");
  OnBoth("A");
  ASSERT_TRUE(Pass({Match("A", "0:0", "20")}, autoUpdate));
  ASSERT_TRUE(Pass({Match("A", "1:0", "21")}, autoUpdate));

  EXPECT_EQ(live.CellColor(lc::Score, 0), colors::kRed);
  ExpectLive(rx, 1, "1:0", "21'", colors::kFuchsia);
  ExpectLive(rx2, 0, "1:0", "21'", colors::kFuchsia);
  EXPECT_EQ(Events(), std::vector<std::string>{"HomeA Goal 1:0"});
  EXPECT_TRUE(rx2.Enabled());
  if (autoUpdate) {
    EXPECT_EQ(analysed, std::vector<int>{1});
    EXPECT_EQ(rx2EnabledDuringAnalysis, std::vector<bool>{false});
    // The analysed RX row is copied on to the work board.
    EXPECT_EQ(rx2.CellText(col::rnow, 0), "analysed");
    EXPECT_EQ(rx2.CellText(col::Bet, 0), "verdict");
  } else {
    EXPECT_TRUE(analysed.empty());
    EXPECT_TRUE(ProjectionCleared(rx, 1));
    EXPECT_TRUE(ProjectionCleared(rx2, 0));
  }

  // The next pass without a change takes the marks back.
  ASSERT_TRUE(Pass({Match("A", "1:0", "22")}, autoUpdate));
  EXPECT_EQ(live.CellColor(lc::Score, 0), colors::kMaroon);
  ExpectLive(rx, 1, "1:0", "22'", colors::kGrey);
  ExpectLive(rx2, 0, "1:0", "22'", colors::kGrey);
  EXPECT_EQ(stat.RowCount(), 1);
  EXPECT_EQ(analysed.size(), autoUpdate ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(AutoUpdate, GoalBetweenPassesTest, ::testing::Bool(),
                         [](const auto& p) { return p.param ? "Auto" : "Manual"; });

struct ChangeCase {
  const char* before;
  const char* after;
  std::vector<std::string> events;  // top first
};

class ScoreChangeBetweenPassesTest : public LiveRefreshTest,
                                     public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ScoreChangeBetweenPassesTest, EveryChangeIsMarkedOnlyGoalsRaiseLines) {
  const ChangeCase& c = GetParam();
  OnBoth("A");
  ASSERT_TRUE(Pass({Match("A", c.before)}));
  ASSERT_TRUE(Pass({Match("A", c.after)}));
  EXPECT_EQ(live.CellColor(lc::Score, 0), colors::kRed);
  ExpectLive(rx, 0, c.after, "10'", colors::kFuchsia);
  ExpectLive(rx2, 0, c.after, "10'", colors::kFuchsia);
  EXPECT_TRUE(ProjectionCleared(rx, 0));
  EXPECT_TRUE(ProjectionCleared(rx2, 0));
  EXPECT_EQ(Events(), c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ScoreChangeBetweenPassesTest,
    ::testing::Values(ChangeCase{"0:0", "2:1", {"AwayA Goal 2:1", "HomeA Goal 2:1"}},
                      ChangeCase{"1:1", "1:2", {"AwayA Goal 1:2"}},
                      ChangeCase{"2:0", "1:0", {}},  // a correction
                      ChangeCase{"", "0:0", {}}));

TEST_F(LiveRefreshTest, AMatchOnNeitherBoardUpdatesSilently) {
  ASSERT_TRUE(Pass({Match("A", "0:0")}));
  ASSERT_TRUE(Pass({Match("A", "1:0")}, /*autoUpdate=*/true));
  EXPECT_EQ(live.CellInteger(lc::OnBoard, 0), 0);
  EXPECT_EQ(live.CellColor(lc::Score, 0), colors::kRed);
  EXPECT_EQ(stat.RowCount(), 0);
  EXPECT_TRUE(analysed.empty());
}

TEST_F(LiveRefreshTest, AMatchFilteredOffTheWorkBoardIsNeverReanalysed) {
  BoardRow(rx, "A");
  BoardRow(rx2, "B");
  ASSERT_TRUE(Pass({Match("A", "0:0"), Match("B", "0:0")}, true));
  ASSERT_TRUE(Pass({Match("A", "1:0"), Match("B", "0:0")}, true));
  ExpectLive(rx, 0, "1:0", "10'", colors::kFuchsia);
  EXPECT_TRUE(ProjectionCleared(rx, 0));
  EXPECT_TRUE(analysed.empty());
  EXPECT_TRUE(rx2.Enabled());
  EXPECT_EQ(rx2.CellText(col::R_Score, 0), "0:0");  // B, untouched by A's goal
}

TEST_F(LiveRefreshTest, EveryRowWithTheIdIsWrittenAndTheLastOneIsAnalysed) {
  BoardRow(rx, "A");
  BoardRow(rx, "B");
  BoardRow(rx, "A");
  OnBoth("B");  // RX row 3 and RX2 row 0
  BoardRow(rx2, "A");
  ASSERT_TRUE(Pass({Match("A", "0:0"), Match("B", "0:0")}, true));
  ASSERT_TRUE(Pass({Match("A", "0:1", "40"), Match("B", "0:0")}, true));
  ExpectLive(rx, 0, "0:1", "40'", colors::kFuchsia);
  ExpectLive(rx, 2, "0:1", "40'", colors::kFuchsia);
  ExpectLive(rx2, 1, "0:1", "40'", colors::kFuchsia);
  ExpectLive(rx, 1, "0:0", "10'", colors::kGrey);
  EXPECT_EQ(analysed, std::vector<int>{2});
  EXPECT_EQ(rx2.CellText(col::rnow, 1), "analysed");
}

TEST_F(LiveRefreshTest, AnAnalysisErrorReachesTheCallerWithTheWorkBoardEnabled) {
  OnBoth("A");
  ASSERT_TRUE(Pass({Match("A", "0:0")}, true));
  analyze = [](int) { throw std::runtime_error("analysis failed"); };
  EXPECT_THROW(Pass({Match("A", "1:0")}, true), std::runtime_error);
  EXPECT_TRUE(rx2.Enabled());
  EXPECT_EQ(rx2.CellText(col::home_plus, 0), "");  // cleared, not copied from RX
}

TEST_F(LiveRefreshTest, RowsOneAndThreeOfFiveLeaveWithTheirOwnKickOffTimes) {
  const std::vector<std::string> ids{"M0", "M1", "M2", "M3", "M4"};
  const std::vector<std::string> kickOffs{"18:00", "18:15", "18:30", "18:45", "19:00"};
  std::vector<Element> all;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    OnBoth(ids[i]);
    all.push_back(Match(ids[i], "1:1", "50", kickOffs[i]));
  }
  BoardRow(rx2, "M3");  // a second work-board row of a leaving match
  ASSERT_TRUE(Pass(all));
  ASSERT_TRUE(Pass({all[0], all[2], all[4]}));

  EXPECT_EQ(LiveIds(), (std::vector<std::string>{"M0", "M2", "M4"}));
  for (int r : {1, 3}) {
    ExpectFinished(rx, r, kickOffs[static_cast<std::size_t>(r)]);
    ExpectFinished(rx2, r, kickOffs[static_cast<std::size_t>(r)]);
    EXPECT_EQ(rx.CellText(col::R_Score, r), "1:1");  // the last live score stays
  }
  ExpectFinished(rx2, 5, "18:45");
  for (int r : {0, 2, 4}) ExpectLive(rx, r, "1:1", "50'", colors::kGrey);
}

TEST_F(LiveRefreshTest, AnEmptySuccessfulReplyFinishesEveryLiveMatch) {
  OnBoth("A");
  OnBoth("B");
  ASSERT_TRUE(Pass({Match("A", "0:0", "5", "20:00"), Match("B", "0:0", "5", "20:30")}));
  network.ClearReplies(kFeedPath);
  network.Reply(kFeedPath, "no live matches\n");
  EXPECT_TRUE(RefreshLive(boards, http, url, false, analyze));

  EXPECT_EQ(live.RowCount(), 0);
  ExpectFinished(rx, 0, "20:00");
  ExpectFinished(rx2, 0, "20:00");
  ExpectFinished(rx, 1, "20:30");
  ExpectFinished(rx2, 1, "20:30");

  // Back in the feed: a new row, without the on-board mark until the boards are met again.
  ASSERT_TRUE(Pass({Match("B", "1:0", "60", "20:30")}));
  EXPECT_EQ(LiveIds(), std::vector<std::string>{"B"});
  EXPECT_EQ(live.CellInteger(lc::OnBoard, 0), kOnBoardImage);
  ExpectLive(rx, 1, "1:0", "60'", colors::kGrey);
  ExpectFinished(rx, 0, "20:00");
  EXPECT_EQ(stat.RowCount(), 0);
}

// Every cell of a grid as one text, to compare grids whole.
std::vector<std::string> Snapshot(const GridTable& grid) {
  std::vector<std::string> out{grid.Name() + " rows " + std::to_string(grid.RowCount()) +
                               (grid.Enabled() ? " enabled" : " disabled")};
  for (int r = 0; r < grid.RowCount(); ++r)
    for (int c = 0; c < grid.ColumnCount(); ++c)
      out.push_back(std::to_string(c) + "," + std::to_string(r) + " " + grid.CellText(c, r) + "|" +
                    std::to_string(grid.CellColor(c, r)) + "|" + grid.CellHint(c, r));
  return out;
}

using Grids = std::vector<std::vector<std::string>>;

class FailedRequestTest : public LiveRefreshTest, public ::testing::WithParamInterface<int> {};

TEST_P(FailedRequestTest, LeavesEverythingAsItWas) {
  OnBoth("A");
  OnBoth("B");
  ASSERT_TRUE(Pass({Match("A", "0:0"), Match("B", "0:0")}));
  ASSERT_TRUE(Pass({Match("A", "1:0"), Match("B", "0:0")}));
  const Grids before{Snapshot(rx), Snapshot(rx2), Snapshot(live), Snapshot(stat)};

  network.ClearReplies(kFeedPath);
  network.Fail(kFeedPath, GetParam());
  EXPECT_FALSE(RefreshLive(boards, http, url, true, analyze));

  const Grids after{Snapshot(rx), Snapshot(rx2), Snapshot(live), Snapshot(stat)};
  EXPECT_EQ(before, after);
  EXPECT_EQ(network.To(kFeedPath).size(), 3u);
  EXPECT_TRUE(analysed.empty());
}

// 0: no connection at all.
INSTANTIATE_TEST_SUITE_P(Failures, FailedRequestTest, ::testing::Values(0, 404, 500, 503));

TEST_F(LiveRefreshTest, ARecordWithoutIdIsSkipped) {
  OnBoth("A");
  OnBoth("B");
  Element noId;
  noId.Add("score", "5:5").Add("time", "99").Add("home", "Ghost");
  Element emptyId = Match("", "0:0");
  ASSERT_TRUE(Pass({Match("A", "0:0"), noId, Match("B", "0:0"), emptyId}));
  EXPECT_EQ(LiveIds(), (std::vector<std::string>{"A", "B", ""}));
  EXPECT_EQ(live.CellText(lc::Score, 0), "0:0");
  ExpectLive(rx, 0, "0:0", "10'", colors::kGrey);

  // A record without "id" does not keep a row with an empty ID in the feed.
  ASSERT_TRUE(Pass({Match("A", "0:0"), noId, Match("B", "0:0")}));
  EXPECT_EQ(LiveIds(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(stat.RowCount(), 0);
}

TEST_F(LiveRefreshTest, TwoRecordsWithOneIdUpdateOneRowAndTheLaterStands) {
  OnBoth("A");
  ASSERT_TRUE(Pass({Match("A", "0:0", "30"), Match("A", "1:0", "31")}));
  EXPECT_EQ(LiveIds(), std::vector<std::string>{"A"});
  EXPECT_EQ(live.CellText(lc::Score, 0), "1:0");
  EXPECT_EQ(live.CellText(lc::Min, 0), "31");
  ExpectLive(rx, 0, "1:0", "31'", colors::kFuchsia);
  // The first record put the mark on, so the second one's goal is a line.
  EXPECT_EQ(Events(), std::vector<std::string>{"HomeA Goal 1:0"});
}

}  // namespace
}  // namespace zelko
