// The handlers of the board page: filter bar, view and sort, the grids' clicks, SAVE, and the
// error report every handler falls back on.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form_harness.h"
#include "board/columns.h"

namespace zelko::testing {
namespace {

class BoardsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.service.today = {Answer::Body(
        Reply({TodayMatch("7", "SOON", "Alpha", "Beta"), TodayMatch("8", "LIVE", "Gamma", "Delta"),
               TodayMatch("9", "FINISH", "Eta", "Theta")}))};
    h.service.live = {Answer::Body(Reply({LiveMatch("8", "Gamma", "Delta", "0:0", "10")}))};
    h.platform.network.Reply("/bf/bffa.php", "<last>14:07</last>");
    h.Login();
    ASSERT_TRUE(h.OnBoardPage());
    ASSERT_EQ(h.form.RX2().RowCount(), 3);
  }
  std::vector<std::string> Rx2Ids() {
    std::vector<std::string> ids;
    for (int r = 0; r < h.form.RX2().RowCount(); ++r) ids.push_back(h.form.RX2().CellText(0, r));
    return ids;
  }
  int RxRowOf(const std::string& id) { return h.form.RX().FirstRowWithId(id); }
  FormHarness h;
};

TEST_F(BoardsTest, EachStatusBoxTogglesAndRebuildsTheWorkBoard) {
  struct Case {
    int box;
    std::vector<std::string> without;
  };
  for (const Case& c :
       {Case{1, {"7", "9"}}, Case{2, {"8", "9"}}, Case{3, {"7", "8"}}, Case{4, {"7", "8", "9"}}}) {
    SCOPED_TRACE(c.box);
    h.form.StatusBoxClick(c.box);
    EXPECT_EQ(Rx2Ids(), c.without);
    EXPECT_EQ(h.form.count(), "Count: " + std::to_string(c.without.size()));
    h.form.StatusBoxClick(c.box);
    EXPECT_EQ(Rx2Ids(), (std::vector<std::string>{"7", "8", "9"}));
  }
  EXPECT_TRUE(h.platform.errors.empty());
}

TEST_F(BoardsTest, StatusBoxStateIsShownInTheBoxes) {
  h.form.StatusBoxClick(2);
  EXPECT_TRUE(h.form.statusBoxes().live);
  EXPECT_FALSE(h.form.statusBoxes().soon);
  EXPECT_TRUE(h.form.statusBoxes().finish);
  EXPECT_TRUE(h.form.statusBoxes().cancel);
}

TEST_F(BoardsTest, TheMoneyThresholdRebuildsOnEveryChange) {
  h.form.filtrChange("999999");
  EXPECT_EQ(h.form.filtr(), "999999");
  EXPECT_EQ(h.form.RX2().RowCount(), 0);
  EXPECT_EQ(h.form.count(), "Count: 0");
  h.form.filtrChange("");  // not a number: threshold 0
  EXPECT_EQ(h.form.RX2().RowCount(), 3);
}

TEST_F(BoardsTest, TheViewButtonsSwitchTheCardBlocks) {
  h.form.checker6Click();
  EXPECT_TRUE(h.form.checker6());
  EXPECT_FALSE(h.form.checker5());
  EXPECT_FALSE(h.form.RX2().ColumnVisible(col::R_1));
  EXPECT_TRUE(h.form.RX2().ColumnVisible(col::s00));
  h.form.checker5Click();
  EXPECT_TRUE(h.form.checker5());
  EXPECT_TRUE(h.form.RX2().ColumnVisible(col::R_1));
  EXPECT_FALSE(h.form.RX2().ColumnVisible(col::s00));
}

TEST_F(BoardsTest, TheSortBoxSortsByItsKey) {
  h.form.sortChange("Status");
  EXPECT_EQ(h.form.sort(), "Status");
  EXPECT_EQ(Rx2Ids(), (std::vector<std::string>{"9", "8", "7"}));  // FINISH, LIVE, SOON
  h.form.sortChange("nothing");
  EXPECT_EQ(h.form.sort(), "nothing");
  EXPECT_EQ(Rx2Ids(), (std::vector<std::string>{"9", "8", "7"}));
}

TEST_F(BoardsTest, ADoubleClickOnRxAnalysesOnlySoonAndLiveMatches) {
  struct Case {
    const char* id;
    bool analysed;
  };
  for (const Case& c : {Case{"7", true}, Case{"8", true}, Case{"9", false}}) {
    SCOPED_TRACE(c.id);
    const std::size_t before = h.platform.network.To("/bf/bffa.php").size();
    h.form.RXCellDblClick(0, RxRowOf(c.id));
    EXPECT_EQ(h.platform.network.To("/bf/bffa.php").size(), before + (c.analysed ? 1 : 0));
  }
  // The analysis ends with both countdowns running.
  EXPECT_TRUE(h.form.Timer1().enabled);
  EXPECT_TRUE(h.form.Timer2().enabled);
  EXPECT_TRUE(h.platform.errors.empty());
}

TEST_F(BoardsTest, AnAnalysisEndsAPauseTheUserSet) {
  h.form.livetimeClick();
  ASSERT_FALSE(h.form.Timer1().enabled);
  h.form.RXCellDblClick(5, RxRowOf("7"));
  EXPECT_TRUE(h.form.Timer1().enabled);
}

TEST_F(BoardsTest, AFailedAnalysisReachesTheErrorReport) {
  h.platform.network.ClearReplies("/bf/bffa.php");  // 404 from now on
  h.form.RXCellDblClick(0, RxRowOf("7"));
  EXPECT_EQ(h.platform.errors.size(), 1u);
  EXPECT_TRUE(h.form.Timer1().enabled);
  EXPECT_TRUE(h.form.RX().Enabled());
}

TEST_F(BoardsTest, AFavouriteComesAndGoesWithItsTab) {
  h.form.RX2CellClick(3, 0);
  ASSERT_EQ(h.form.RX3().RowCount(), 1);
  EXPECT_TRUE(h.form.Page2Tabs()[1].visible);
  EXPECT_EQ(h.form.Page2Tabs()[1].caption, "Favorite (1)");
  h.form.SetPage2Active(1);
  EXPECT_EQ(h.form.Page2Active(), 1);

  h.form.RX3CellClick(3, 0);  // the red cross
  EXPECT_EQ(h.form.RX3().RowCount(), 0);
  EXPECT_FALSE(h.form.Page2Tabs()[1].visible);
  // A hidden page cannot stay the active one.
  EXPECT_EQ(h.form.Page2Active(), 0);
  h.form.SetPage2Active(1);
  EXPECT_EQ(h.form.Page2Active(), 0);
}

TEST_F(BoardsTest, ADoubleClickOnAFavouriteAnalysesItsMatch) {
  h.form.RX2CellClick(3, 0);  // "7", SOON
  const std::size_t before = h.platform.network.To("/bf/bffa.php").size();
  const int pending = h.platform.pendingEventCalls;
  h.form.RX3CellDblClick(5, 0);
  EXPECT_EQ(h.platform.network.To("/bf/bffa.php").size(), before + 1);
  EXPECT_GT(h.platform.pendingEventCalls, pending);
  EXPECT_TRUE(h.platform.errors.empty());
}

TEST_F(BoardsTest, SaveWritesTheReportAndOpensIt) {
  h.form.RX2CellClick(3, 0);
  h.form.spSkinXFormButton1Click();
  ASSERT_EQ(h.platform.files.count("report.html"), 1u);
  EXPECT_NE(h.platform.files["report.html"].find("Alpha"), std::string::npos);
  EXPECT_EQ(h.platform.opened, std::vector<std::string>{"report.html"});
  EXPECT_TRUE(h.platform.errors.empty());
}

TEST_F(BoardsTest, AReportThatCannotBeWrittenReachesTheErrorReport) {
  h.platform.unwritable["report.html"] = true;
  h.form.spSkinXFormButton1Click();
  ASSERT_EQ(h.platform.errors.size(), 1u);
  EXPECT_NE(h.platform.errors[0].find("report.html"), std::string::npos);
  EXPECT_TRUE(h.platform.opened.empty());
}

TEST_F(BoardsTest, AnUnknownStatusBoxIsReportedNotFatal) {
  h.form.StatusBoxClick(7);
  EXPECT_EQ(h.platform.errors.size(), 1u);
  EXPECT_EQ(h.form.RX2().RowCount(), 3);
}

TEST_F(BoardsTest, TheRememberAndAutoBoxesToggle) {
  EXPECT_FALSE(h.form.autoUpdate());
  h.form.autoClick();
  EXPECT_TRUE(h.form.autoUpdate());
  h.form.autoClick();
  EXPECT_FALSE(h.form.autoUpdate());
  const bool zap = h.form.zap();
  h.form.zapClick();
  EXPECT_NE(h.form.zap(), zap);
}

TEST_F(BoardsTest, AGoalWithAutoTickedReanalysesTheMatch) {
  h.form.autoClick();
  h.service.live = {Answer::Body(Reply({LiveMatch("8", "Gamma", "Delta", "1:0", "33")}))};
  const std::size_t before = h.platform.network.To("/bf/bffa.php").size();
  for (int i = 0; i < 60; ++i) h.form.Timer1Timer();
  EXPECT_GT(h.platform.network.To("/bf/bffa.php").size(), before);
  EXPECT_GE(h.form.LiveStatGrid().RowCount(), 1);
}

TEST_F(BoardsTest, TheFormHoldsItsThreeClientsAndTheAnalysisItsOwn) {
  // IdHTTP1, IdHTTP2 and IM at creation; the analysis makes and frees one per run.
  EXPECT_EQ(h.platform.clientsAlive, 3);
  h.form.RXCellDblClick(0, RxRowOf("7"));
  EXPECT_EQ(h.platform.clientsAlive, 3);
  EXPECT_EQ(h.platform.clientsMade, 4);
  ASSERT_FALSE(h.platform.network.To("/bf/bffa.php").empty());
  EXPECT_EQ(h.platform.network.To("/bf/bffa.php").back().client, "analysis");
}

}  // namespace
}  // namespace zelko::testing
