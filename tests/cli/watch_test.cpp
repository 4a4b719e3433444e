// The terminal lines of `zelko-cli watch`.

#include "cli/watch.h"

#include <gtest/gtest.h>

#include <sstream>

#include "board/columns.h"
#include "support/fake_platform.h"

namespace zelko::cli {
namespace {

TEST(FitTest, PadsAndCutsByCharactersNotBytes) {
  EXPECT_EQ(Fit("ab", 4), "ab  ");
  EXPECT_EQ(Fit("abcdef", 3), "abc");
  EXPECT_EQ(Fit("Зенит", 7), "Зенит  ");
  EXPECT_EQ(Fit("Зенит", 2), "Зе");
  EXPECT_EQ(Fit("", 0), "");
}

TEST(BoardLineTest, ShowsTimeTeamsStatusScoreMinuteMarketsAndVerdicts) {
  GridTable rx2("RX2", Rx2Columns());
  const int row = rx2.AddRow();
  rx2.SetCellText(col::RTime, row, "15:00");
  rx2.SetCellText(col::RHome, row, "Alpha");
  rx2.SetCellText(col::RAway, row, "Beta");
  rx2.SetCellText(col::R_Status, row, "LIVE");
  rx2.SetCellText(col::R_Score, row, "1:0");
  rx2.SetCellText(col::R_Min, row, "33'");
  rx2.SetCellText(col::R_1, row, "2.10");
  rx2.SetCellText(col::R_1S, row, "6000");
  rx2.SetCellText(col::R_X, row, "3.40");
  rx2.SetCellText(col::R_2S, row, "2000");
  rx2.SetCellText(col::Bet, row, "1:0");
  rx2.SetCellText(col::Bet2, row, "2:1");
  const std::string line = BoardLine(rx2, row);
  for (const char* part :
       {"15:00", "Alpha", "Beta", "LIVE", "33'", "2.10", "6000", "3.40", "2000", "2:1"}) {
    EXPECT_NE(line.find(part), std::string::npos) << part;
  }
  EXPECT_LT(line.find("Alpha"), line.find("Beta"));
  EXPECT_LT(line.find("6000"), line.find("3.40"));
}

TEST(BoardLineTest, TextsThatFillTheirColumnsStaySeparated) {
  GridTable rx2("RX2", Rx2Columns());
  const int row = rx2.AddRow();
  rx2.SetCellText(col::RHome, row, "Yokohama F. Marinos U19 Reserves");
  rx2.SetCellText(col::RAway, row, "Kashima Antlers U19");
  rx2.SetCellText(col::R_Status, row, "CANCEL");
  rx2.SetCellText(col::R_Score, row, "1:2 (1:1)");
  rx2.SetCellText(col::R_Min, row, "Перенос");
  rx2.SetCellText(col::R_1, row, "3.25");
  const std::string line = BoardLine(rx2, row);
  for (const char* part : {"Marinos U1 Kashima", "CANCEL 1:2 (1:1)", "Перенос 3.25"}) {
    EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
  }
}

TEST(WatchSessionTest, ARefusedLoginEndsTheSession) {
  testing::FakePlatform platform;
  platform.network.Reply("/login/zelko.php", "Fail");
  MainForm form(platform, "svc.test");
  std::ostringstream out;
  WatchSession session(form, out);
  EXPECT_FALSE(session.Start("a", "b"));
  EXPECT_NE(out.str().find("Not logged in."), std::string::npos);
}

TEST(WatchSessionTest, EachSecondTicksBothTimersAndPrintsTheBoardAfterARefresh) {
  testing::FakePlatform platform;
  platform.network.Reply("/login/zelko.php", "");
  MainForm form(platform, "svc.test");
  std::ostringstream out;
  WatchSession session(form, out);
  ASSERT_TRUE(session.Start("a", "b"));
  out.str("");
  session.Second();
  EXPECT_EQ(form.LiveCountdown(), 59);
  EXPECT_EQ(form.MoneyCountdown(), 299);
  EXPECT_EQ(out.str(), "");
  for (int i = 0; i < 59; ++i) session.Second();
  EXPECT_NE(out.str().find("LIVE Refresh from 0 sec."), std::string::npos);
  EXPECT_NE(out.str().find("People"), std::string::npos);
}

}  // namespace
}  // namespace zelko::cli
