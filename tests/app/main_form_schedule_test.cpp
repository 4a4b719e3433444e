// The two countdowns, their labels, pause and resume, Refresh, the option panel, and the
// recovery of a countdown whose refresh ended in an error.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form_harness.h"

namespace zelko::testing {
namespace {

class ScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.service.today = {Answer::Body(Reply({TodayMatch("7", "SOON", "Alpha", "Beta")}))};
    h.Login();
    ASSERT_TRUE(h.OnBoardPage());
  }
  void Ticks1(int n) {
    for (int i = 0; i < n; ++i) h.form.Timer1Timer();
  }
  void Ticks2(int n) {
    for (int i = 0; i < n; ++i) h.form.Timer2Timer();
  }
  FormHarness h;
};

TEST_F(ScheduleTest, TheFirstTicksAfterTheLoginShow59And299) {
  h.form.Timer1Timer();
  h.form.Timer2Timer();
  EXPECT_EQ(h.form.livetime(), "LIVE Refresh from 59 sec.");
  EXPECT_EQ(h.form.livetime2(), "Refresh Money 299 sec.");
  EXPECT_TRUE(h.form.Timer1().enabled);
  EXPECT_TRUE(h.form.Timer2().enabled);
}

TEST_F(ScheduleTest, TheSixtiethLiveTickRefreshesTheLiveFeedAndTheNextShows59) {
  const int before = FeedRequests(h.platform, "live");
  Ticks1(59);
  EXPECT_EQ(FeedRequests(h.platform, "live"), before);
  EXPECT_EQ(h.form.livetime(), "LIVE Refresh from 1 sec.");
  h.form.Timer1Timer();
  EXPECT_EQ(FeedRequests(h.platform, "live"), before + 1);
  EXPECT_EQ(h.form.livetime(), "LIVE Refresh from 0 sec.");
  EXPECT_EQ(h.form.LiveCountdown(), 60);
  EXPECT_EQ(FeedRequests(h.platform, "today"), 1);  // the money side was not touched
  h.form.Timer1Timer();
  EXPECT_EQ(h.form.livetime(), "LIVE Refresh from 59 sec.");
}

TEST_F(ScheduleTest, TheThreeHundredthMoneyTickRefreshesTheTodayFeed) {
  Ticks2(299);
  EXPECT_EQ(FeedRequests(h.platform, "today"), 1);
  h.form.Timer2Timer();
  EXPECT_EQ(FeedRequests(h.platform, "today"), 2);
  EXPECT_EQ(h.form.livetime2(), "Refresh Money 0 sec.");
  EXPECT_EQ(h.form.MoneyCountdown(), 300);
  h.form.Timer2Timer();
  EXPECT_EQ(h.form.livetime2(), "Refresh Money 299 sec.");
}

// Pending events run twice on a refresh tick: after the decrement (the label still shows the
// old value) and again right before the refresh (the label shows 0, no request yet).
TEST_F(ScheduleTest, PendingEventsRunAtTheDecrementAndBeforeTheRefresh) {
  struct Seen {
    std::string label;
    int liveRequests;
    bool timerEnabled;
  };
  std::vector<Seen> seen;
  h.platform.onPendingEvents = [&] {
    seen.push_back({h.form.livetime(), FeedRequests(h.platform, "live"), h.form.Timer1().enabled});
  };
  Ticks1(58);
  seen.clear();
  const int before = FeedRequests(h.platform, "live");
  h.form.Timer1Timer();  // 59th: one call
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].label, "LIVE Refresh from 2 sec.");
  EXPECT_FALSE(seen[0].timerEnabled);
  seen.clear();
  h.form.Timer1Timer();  // 60th: two calls, both before the request
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].label, "LIVE Refresh from 1 sec.");
  EXPECT_EQ(seen[1].label, "LIVE Refresh from 0 sec.");
  EXPECT_EQ(seen[1].liveRequests, before);
  EXPECT_FALSE(seen[1].timerEnabled);
  EXPECT_EQ(FeedRequests(h.platform, "live"), before + 1);
}

TEST_F(ScheduleTest, ALiveTickAtZeroSyncsTheFavouritesAfterTheRefresh) {
  h.form.RX2CellClick(3, 0);  // a favourite
  ASSERT_EQ(h.form.RX3().RowCount(), 1);
  h.service.live = {Answer::Body(Reply({LiveMatch("7", "Alpha", "Beta", "2:1", "55")}))};
  Ticks1(60);
  EXPECT_EQ(h.form.RX2().CellText(72, 0), "2:1");
  EXPECT_EQ(h.form.RX3().CellText(72, 0), "2:1");
}

TEST_F(ScheduleTest, ALabelClickPausesItsCountdownAndASecondResumesFromTheSameValue) {
  Ticks1(5);
  Ticks2(5);
  h.form.livetimeClick();
  EXPECT_FALSE(h.form.Timer1().enabled);
  EXPECT_TRUE(h.form.Timer2().enabled);
  EXPECT_EQ(h.form.LiveCountdown(), 55);
  EXPECT_EQ(h.form.livetime(), "LIVE Refresh from 55 sec.");
  h.form.livetimeClick();
  EXPECT_TRUE(h.form.Timer1().enabled);
  h.form.Timer1Timer();
  EXPECT_EQ(h.form.livetime(), "LIVE Refresh from 54 sec.");

  h.form.livetime2Click();
  EXPECT_FALSE(h.form.Timer2().enabled);
  EXPECT_TRUE(h.form.Timer1().enabled);
  EXPECT_EQ(h.form.MoneyCountdown(), 295);
  h.form.livetime2Click();
  EXPECT_TRUE(h.form.Timer2().enabled);
  EXPECT_EQ(h.form.MoneyCountdown(), 295);
}

TEST_F(ScheduleTest, RefreshResetsOnlyTheLiveCountdown) {
  h.form.RX2CellClick(3, 0);
  Ticks1(10);
  Ticks2(10);
  const int today = FeedRequests(h.platform, "today");
  const int live = FeedRequests(h.platform, "live");
  h.service.today = {Answer::Body(
      Reply({TodayMatch("7", "SOON", "Alpha", "Beta"), TodayMatch("9", "SOON", "Eta", "Theta")}))};
  h.form.arClick();
  EXPECT_EQ(h.form.LiveCountdown(), 60);
  EXPECT_EQ(h.form.MoneyCountdown(), 290);
  EXPECT_EQ(FeedRequests(h.platform, "today"), today + 1);
  EXPECT_EQ(FeedRequests(h.platform, "live"), live + 1);
  EXPECT_EQ(h.form.RX2().RowCount(), 2);  // the filter ran
  EXPECT_EQ(h.form.count(), "Count: 2");
  // The labels keep their last texts until the next tick.
  EXPECT_EQ(h.form.livetime(), "LIVE Refresh from 50 sec.");
  EXPECT_EQ(h.form.livetime2(), "Refresh Money 290 sec.");
}

TEST(OptionPanelTest, EachClickSwitchesThePanelAndTwoLeaveItHidden) {
  FormHarness h;
  h.form.FormCreate();
  EXPECT_FALSE(h.form.LiveOptionVisible());
  h.form.spSkinXFormButton2Click();
  EXPECT_TRUE(h.form.LiveOptionVisible());
  h.form.spSkinXFormButton2Click();
  EXPECT_FALSE(h.form.LiveOptionVisible());
}

// --- An error that escapes a refresh ------------------------------------------------------

// The tick is reported like any escaped error, and the countdown starts again from its full
// period with its timer running, so the board goes on refreshing.
TEST_F(ScheduleTest, AnErrorInTheLiveRefreshIsReportedAndTheCountdownStartsAgain) {
  h.service.live = {Answer::Throw(), Answer::Body("")};
  Ticks1(60);
  ASSERT_EQ(h.platform.errors.size(), 1u);
  EXPECT_EQ(h.platform.errors[0], "feed client broke down");
  EXPECT_TRUE(h.form.Timer1().enabled);
  EXPECT_EQ(h.form.LiveCountdown(), 60);
  EXPECT_TRUE(h.form.Timer2().enabled);

  const int live = FeedRequests(h.platform, "live");
  h.form.Timer1Timer();
  EXPECT_EQ(h.form.livetime(), "LIVE Refresh from 59 sec.");
  Ticks1(59);
  EXPECT_EQ(FeedRequests(h.platform, "live"), live + 1);
  EXPECT_EQ(h.platform.errors.size(), 1u);
}

TEST_F(ScheduleTest, AnErrorInTheMoneyRefreshIsReportedAndTheCountdownStartsAgain) {
  h.service.today = {Answer::Throw(), Answer::Body("")};
  Ticks2(300);
  ASSERT_EQ(h.platform.errors.size(), 1u);
  EXPECT_TRUE(h.form.Timer2().enabled);
  EXPECT_EQ(h.form.MoneyCountdown(), 300);
  EXPECT_TRUE(h.form.Timer1().enabled);

  const int today = FeedRequests(h.platform, "today");
  h.form.Timer2Timer();
  EXPECT_EQ(h.form.livetime2(), "Refresh Money 299 sec.");
  Ticks2(299);
  EXPECT_EQ(FeedRequests(h.platform, "today"), today + 1);
}

TEST_F(ScheduleTest, AFailedLiveRequestIsNoErrorAndTheCountdownStartsAgain) {
  h.service.live = {Answer::Status(500)};
  Ticks1(60);
  EXPECT_TRUE(h.platform.errors.empty());
  EXPECT_EQ(h.form.LiveCountdown(), 60);
  EXPECT_TRUE(h.form.Timer1().enabled);
  EXPECT_EQ(h.form.RX2().RowCount(), 1);
}

}  // namespace
}  // namespace zelko::testing
