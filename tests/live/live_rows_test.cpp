#include "live/live_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/colors.h"
#include "board/columns.h"
#include "feed/records.h"
#include "feed/service_url.h"
#include "support/feed_builder.h"

namespace zelko {
namespace {

namespace lc = col::live;
namespace sc = col::stat;
using testing::Element;

Element LiveRecord(const std::string& id, const std::string& score,
                   const std::string& minute = "67") {
  Element e;
  e.Add("id", id)
      .Add("liga", "England. Premier League")
      .Add("vr", "19:45")
      .Add("time", minute)
      .Add("home", "Arsenal")
      .Add("away", "Chelsea")
      .Add("score", score)
      .Add("score1", "HT 0:0")
      .Add("w1", "2.10")
      .Add("d", "3.30")
      .Add("w2", "3.60")
      .Add("pos", "55")
      .Add("da", "41")
      .Add("on", "5")
      .Add("off", "7")
      .Add("yc", "2")
      .Add("rc", "0")
      .Add("cor", "6")
      .Add("my", "m77");
  return e;
}

class LiveRowsTest : public ::testing::Test {
 protected:
  void Add(const Element& e) { AddLiveRow(live, RecordReader(e.Str())); }
  void Update(const Element& e, int row = 0) {
    UpdateLiveRow(live, stat, RecordReader(e.Str()), row);
  }
  // Event texts of LiveStatGrid, top first.
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    for (int r = 0; r < stat.RowCount(); ++r)
      out.push_back(stat.CellText(sc::Event, r) + " " + stat.CellText(sc::Score, r));
    return out;
  }

  GridTable live{"LiveGrid", LiveGridColumns()};
  GridTable stat{"LiveStatGrid", LiveStatGridColumns()};
};

TEST(BroadcastLinkTest, DashMeansNoLinkAnythingElseFollowsTheBase) {
  EXPECT_FALSE(BroadcastLink("-").has_value());
  EXPECT_EQ(BroadcastLink(""), std::string(kNewsLinkBase));
  EXPECT_EQ(BroadcastLink("tv/123"), std::string(kNewsLinkBase) + "tv/123");
  EXPECT_EQ(BroadcastLink("--"), std::string(kNewsLinkBase) + "--");
}

TEST_F(LiveRowsTest, AddFillsEveryColumnAndKeepsTheDefaultMark) {
  live.AddRow();  // an earlier match: the new row goes to the end
  Add(LiveRecord("42", "1:0").Add("tv", "stream/9"));
  ASSERT_EQ(live.RowCount(), 2);
  const int r = 1;
  EXPECT_EQ(live.CellText(lc::Id, r), "42");
  EXPECT_EQ(live.CellInteger(lc::Flag, r), 23);
  EXPECT_EQ(live.CellHint(lc::Flag, r), "England. Premier League");
  EXPECT_EQ(live.CellText(lc::Time, r), "19:45");
  EXPECT_EQ(live.CellText(lc::Min, r), "67");
  EXPECT_EQ(live.CellText(lc::Home, r), "Arsenal");
  EXPECT_EQ(live.CellText(lc::Away, r), "Chelsea");
  EXPECT_EQ(live.CellText(lc::Score, r), "1:0");
  EXPECT_EQ(live.CellHint(lc::Score, r), "HT 0:0");
  EXPECT_EQ(live.CellColor(lc::Score, r), colors::kMaroon);
  EXPECT_EQ(live.CellText(lc::W1, r), "2.10");
  EXPECT_EQ(live.CellText(lc::D, r), "3.30");
  EXPECT_EQ(live.CellText(lc::W2, r), "3.60");
  const std::vector<std::string> stats{"55", "41", "5", "7", "2", "0", "6"};
  for (int c = lc::Pos; c <= lc::Corners; ++c)
    EXPECT_EQ(live.CellText(c, r), stats[static_cast<std::size_t>(c - lc::Pos)]) << c;
  EXPECT_EQ(live.CellText(lc::MyScore, r), "m77");
  EXPECT_EQ(live.CellInteger(lc::Tv, r), kBroadcastImage);
  EXPECT_EQ(live.CellHint(lc::Tv, r), std::string(kNewsLinkBase) + "stream/9");
  EXPECT_EQ(live.CellInteger(lc::OnBoard, r), 0);
  EXPECT_EQ(live.CellText(lc::Check, r), "False");
  EXPECT_EQ(live.RowsWithId("42"), std::vector<int>{1});
}

TEST_F(LiveRowsTest, TvDashSetsNoImageAMissingTvLinksToTheBase) {
  Add(LiveRecord("1", "0:0").Add("tv", "-"));
  Add(LiveRecord("2", "0:0"));
  EXPECT_EQ(live.CellInteger(lc::Tv, 0), 0);
  EXPECT_EQ(live.CellHint(lc::Tv, 0), "");
  EXPECT_EQ(live.CellInteger(lc::Tv, 1), kBroadcastImage);
  EXPECT_EQ(live.CellHint(lc::Tv, 1), std::string(kNewsLinkBase));
}

TEST_F(LiveRowsTest, UpdateKeepsTheOddsAndALinkThatHasGone) {
  Add(LiveRecord("1", "0:0").Add("tv", "a"));
  Element fresh;
  fresh.Add("id", "1")
      .Add("liga", "Spain. La Liga")
      .Add("vr", "20:00")
      .Add("time", "70")
      .Add("home", "H")
      .Add("away", "A")
      .Add("score", "0:0")
      .Add("score1", "x")
      .Add("w1", "9")
      .Add("d", "9")
      .Add("w2", "9")
      .Add("cor", "8")
      .Add("my", "m2")
      .Add("tv", "-");
  Update(fresh);
  EXPECT_EQ(live.CellInteger(lc::Flag, 0), 75);
  EXPECT_EQ(live.CellHint(lc::Flag, 0), "Spain. La Liga");
  EXPECT_EQ(live.CellText(lc::Time, 0), "20:00");
  EXPECT_EQ(live.CellText(lc::Min, 0), "70");
  EXPECT_EQ(live.CellText(lc::Home, 0), "H");
  EXPECT_EQ(live.CellText(lc::Away, 0), "A");
  EXPECT_EQ(live.CellHint(lc::Score, 0), "x");
  EXPECT_EQ(live.CellText(lc::Corners, 0), "8");
  EXPECT_EQ(live.CellText(lc::Pos, 0), "");  // missing elements read as empty
  EXPECT_EQ(live.CellText(lc::MyScore, 0), "m2");
  EXPECT_EQ(live.CellText(lc::W1, 0), "2.10");
  EXPECT_EQ(live.CellText(lc::D, 0), "3.30");
  EXPECT_EQ(live.CellText(lc::W2, 0), "3.60");
  EXPECT_EQ(live.CellInteger(lc::Tv, 0), kBroadcastImage);
  EXPECT_EQ(live.CellHint(lc::Tv, 0), std::string(kNewsLinkBase) + "a");
}

struct ScoreCase {
  const char* before;
  const char* after;
  bool homeScored;
  bool awayScored;
  bool marked;
  std::vector<std::string> events;  // top first, with the on-board mark set
};

class ScoreChangeTest : public LiveRowsTest, public ::testing::WithParamInterface<ScoreCase> {};

TEST_P(ScoreChangeTest, ColoursTheScoringSideMarksTheChangeAndRaisesGoalLines) {
  const ScoreCase& c = GetParam();
  Add(LiveRecord("1", c.before));
  live.SetCellInteger(lc::OnBoard, 0, kOnBoardImage);
  live.SetCellColor(lc::Home, 0, colors::kYellow);  // left from an earlier goal
  live.SetCellColor(lc::Away, 0, colors::kYellow);
  live.SetCellColor(lc::Score, 0, colors::kRed);
  Update(LiveRecord("1", c.after));

  EXPECT_EQ(live.CellColor(lc::Home, 0), c.homeScored ? colors::kYellow : colors::kWhite);
  EXPECT_EQ(live.CellColor(lc::Away, 0), c.awayScored ? colors::kYellow : colors::kWhite);
  EXPECT_EQ(live.CellColor(lc::Score, 0), c.marked ? colors::kRed : colors::kMaroon);
  EXPECT_EQ(live.CellText(lc::Score, 0), c.after);
  EXPECT_EQ(Events(), c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Scores, ScoreChangeTest,
    ::testing::Values(ScoreCase{"1:0", "1:1", false, true, true, {"Chelsea Goal 1:1"}},
                      ScoreCase{"1:0", "2:0", true, false, true, {"Arsenal Goal 2:0"}},
                      ScoreCase{
                          "0:0", "2:1", true, true, true, {"Chelsea Goal 2:1", "Arsenal Goal 2:1"}},
                      ScoreCase{"2:0", "1:0", false, false, true, {}},
                      ScoreCase{"2:1", "2:1", false, false, false, {}},
                      ScoreCase{"", "0:0", false, false, true, {}},
                      // Without ":" the whole text is the right-hand number.
                      ScoreCase{"0:0", "1", false, true, true, {"Chelsea Goal 1"}},
                      ScoreCase{"x:y", "1:0", true, false, true, {"Arsenal Goal 1:0"}},
                      // Only the first ":" splits.
                      ScoreCase{"1:1", "1:2:0", false, false, true, {}},
                      ScoreCase{"9:9", "10:9", true, false, true, {"Arsenal Goal 10:9"}}));

TEST_F(LiveRowsTest, AGoalOffTheBoardsColoursTheSideButRaisesNoLine) {
  Add(LiveRecord("1", "0:0"));
  Update(LiveRecord("1", "1:1"));
  EXPECT_EQ(live.CellColor(lc::Home, 0), colors::kYellow);
  EXPECT_EQ(live.CellColor(lc::Away, 0), colors::kYellow);
  EXPECT_EQ(stat.RowCount(), 0);
}

TEST_F(LiveRowsTest, GoalLineTakesItsCellsFromTheUpdatedRow) {
  Add(LiveRecord("7", "0:0"));
  Add(LiveRecord("8", "0:0"));
  live.SetCellInteger(lc::OnBoard, 1, kOnBoardImage);
  ShowLiveEvent(live, stat, 0, "older", "0:0");
  Update(LiveRecord("8", "1:0", "71"), 1);

  ASSERT_EQ(stat.RowCount(), 2);
  EXPECT_EQ(stat.CellText(sc::Event, 1), "older");
  EXPECT_EQ(stat.CellText(sc::Id, 0), "8");
  EXPECT_EQ(stat.CellInteger(sc::Flag, 0), 23);
  EXPECT_EQ(stat.CellHint(sc::Flag, 0), "England. Premier League");
  EXPECT_EQ(stat.CellText(sc::Time, 0), "19:45");
  EXPECT_EQ(stat.CellText(sc::Home, 0), "Arsenal");
  EXPECT_EQ(stat.CellText(sc::Away, 0), "Chelsea");
  EXPECT_EQ(stat.CellText(sc::Score, 0), "1:0");
  EXPECT_EQ(stat.CellText(sc::Min, 0), "71");
  EXPECT_EQ(stat.CellText(sc::Event, 0), "Arsenal Goal");
}

}  // namespace
}  // namespace zelko
