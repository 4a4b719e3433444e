#include "analysis/signals.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "analysis_fixture.h"
#include "board/colors.h"
#include "board/columns.h"

namespace zelko::testing {
namespace {

using ::testing::IsEmpty;
using ::testing::SizeIs;

class StrangeBetTest : public AnalysisFixture {
 protected:
  StrangeBetTest() { platform.network.Reply("/bf/sb.php", "ok"); }
  void Send(int money, const char* bet = "WIN1", const char* status = "SOON",
            const char* score = "1:0") {
    SendStrangeBet(sender, rx, sbx, money, row, "2.10", bet, status, score);
  }
  // A row already listed further down: MY value and label.
  void List(const char* my, const char* bet) {
    const int r = sbx.AddRow();
    sbx.SetCellText(col::sbx::My, r, my);
    sbx.SetCellText(col::sbx::Bet, r, bet);
  }
};

TEST_F(StrangeBetTest, ListsAndPostsFromOneThousandOn) {
  Send(999);
  EXPECT_EQ(sbx.RowCount(), 0);
  EXPECT_THAT(Sent("/bf/sb.php"), IsEmpty());

  Send(1000);
  ASSERT_EQ(sbx.RowCount(), 1);
  EXPECT_EQ(sbx.CellText(col::sbx::My, 0), "M1001");
  EXPECT_EQ(sbx.CellInteger(col::sbx::Flag, 0), 12);
  EXPECT_EQ(sbx.CellHint(col::sbx::Flag, 0), "Premier League");
  EXPECT_EQ(sbx.CellText(col::sbx::Time, 0), "19:30");
  EXPECT_EQ(sbx.CellText(col::sbx::Home, 0), "Real Madrid");  // shown with its space
  EXPECT_EQ(sbx.CellText(col::sbx::Away, 0), "Getafe");
  EXPECT_EQ(sbx.CellText(col::sbx::Bet, 0), "WIN1");
  EXPECT_EQ(sbx.CellText(col::sbx::Odd, 0), "2.10");
  EXPECT_EQ(sbx.CellText(col::sbx::Sum, 0), "1000");
  EXPECT_EQ(sbx.CellText(col::sbx::TimeBet, 0), "09:05");
  EXPECT_EQ(sbx.CellText(col::sbx::Status, 0), "SOON");
  EXPECT_EQ(sbx.CellColor(col::sbx::Status, 0), colors::kGrey);
  EXPECT_EQ(sbx.CellText(col::sbx::Score, 0), "1:0");

  const auto sent = Sent("/bf/sb.php");
  ASSERT_THAT(sent, SizeIs(1));
  EXPECT_EQ(sent[0].client, "IdHTTP2");
  EXPECT_EQ(sent[0].url, std::string("http://") + kHost +
                             "/bf/sb.php?id=M1001&chemp=Premier%3E%3ELeague&time=19%3A30"
                             "&home=Real%3E%3EMadrid&away=Getafe&bet=WIN1&kf=2.10&sum=1000"
                             "&status=SOON&score=1%3A0");
}

TEST_F(StrangeBetTest, NewestAtTheTopWithTheStatusColour) {
  clock = {23, 59};
  Send(1500, "WIN1", "SOON");
  Send(2500, "DRAW", "LIVE");
  Send(3500, "WIN2", "FINISH");
  ASSERT_EQ(sbx.RowCount(), 3);
  EXPECT_EQ(sbx.CellText(col::sbx::Bet, 0), "WIN2");
  EXPECT_EQ(sbx.CellColor(col::sbx::Status, 0), sbx.Column(col::sbx::Status).color);
  EXPECT_EQ(sbx.CellText(col::sbx::Bet, 1), "DRAW");
  EXPECT_EQ(sbx.CellColor(col::sbx::Status, 1), colors::kRed);
  EXPECT_EQ(sbx.CellText(col::sbx::Bet, 2), "WIN1");
  EXPECT_EQ(sbx.CellColor(col::sbx::Status, 2), colors::kGrey);
  EXPECT_EQ(sbx.CellText(col::sbx::TimeBet, 0), "23:59");
  EXPECT_THAT(Sent("/bf/sb.php"), SizeIs(3));
}

TEST_F(StrangeBetTest, TheSameMatchAndLabelAnywhereInTheListIsNotListedAgain) {
  List("M1", "WIN1");
  List("M1001", "DRAW");
  List("M1001", "WIN1");  // further down
  List("M2", "O2.5");
  Send(5000, "WIN1");
  EXPECT_EQ(sbx.RowCount(), 4);
  EXPECT_THAT(Sent("/bf/sb.php"), IsEmpty());

  Send(5000, "O2.5");  // same label, another match listed it
  EXPECT_EQ(sbx.RowCount(), 5);
  EXPECT_EQ(sbx.CellText(col::sbx::Bet, 0), "O2.5");
  EXPECT_THAT(Sent("/bf/sb.php"), SizeIs(1));
}

TEST_F(StrangeBetTest, NoScoreIsShownAndSentAsNilNil) {
  for (const char* score : {"-", ""}) {
    sbx.ClearRows();
    Send(1200, "WIN1", "SOON", score);
    EXPECT_EQ(sbx.CellText(col::sbx::Score, 0), "0:0");
    EXPECT_THAT(Sent("/bf/sb.php").back().query, ::testing::EndsWith("&score=0%3A0"));
  }
}

TEST_F(StrangeBetTest, AFailedPostStillListsAndSuppressesTheNextAttempt) {
  platform.network.ClearReplies("/bf/sb.php");
  platform.network.Fail("/bf/sb.php", 0);  // connection refused
  EXPECT_NO_THROW(Send(1200));
  EXPECT_EQ(sbx.RowCount(), 1);
  Send(1200);
  EXPECT_EQ(sbx.RowCount(), 1);
  EXPECT_THAT(Sent("/bf/sb.php"), SizeIs(1));
}

TEST_F(StrangeBetTest, AClientThatThrowsIsSwallowedToo) {
  platform.network.Handle("/bf/sb.php", [](const SentRequest&) -> HttpReply {
    throw std::runtime_error("socket gone");
  });
  EXPECT_NO_THROW(Send(1200));
  EXPECT_EQ(sbx.RowCount(), 1);
}

TEST_F(AnalysisFixture, BigBetRequest) {
  rx.SetCellText(col::RAway, row, "Atletico B");
  SendBigBet(sender, rx, row, "1.85", "O2.5");
  const auto sent = Sent("/bf/bb.php");  // unanswered: a failure, swallowed
  ASSERT_THAT(sent, SizeIs(1));
  EXPECT_EQ(sent[0].client, "IdHTTP2");
  EXPECT_EQ(sent[0].url, std::string("http://") + kHost +
                             "/bf/bb.php?id=77&date=2024-05-11&chemp=Premier%3E%3ELeague"
                             "&time=19%3A30&home=Real%3E%3EMadrid&away=Atletico%3E%3EB"
                             "&bet=O2.5&kf=1.85&my=bb");
  // The verdict and its odds go out as they are, without the word separator.
  SendBigBet(sender, rx, row, "1 85", "W 1");
  EXPECT_THAT(Sent("/bf/bb.php").back().query, ::testing::HasSubstr("&bet=W%201&kf=1%2085&my=bb"));
}

}  // namespace
}  // namespace zelko::testing
