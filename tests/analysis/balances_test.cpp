#include "analysis/balances.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analysis_fixture.h"
#include "board/colors.h"
#include "board/columns.h"

namespace zelko::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

constexpr std::size_t W1 = 0, X = 1, W2 = 2, O05 = 3, U05 = 4, O15 = 5, U15 = 6, O25 = 7, U25 = 8,
                      O35 = 9, U35 = 10, O45 = 11, U45 = 12;

// The balance column of a score, found by the board's caption ("1-1").
int ColumnOf(const GridTable& rx, const std::string& score) {
  for (int c = col::s00; c <= col::s04; ++c) {
    if (rx.Column(c).caption == score) return c;
  }
  ADD_FAILURE() << "no balance column captioned " << score;
  return col::s00;
}

std::size_t IndexOf(const GridTable& rx, const std::string& score) {
  return static_cast<std::size_t>(ColumnOf(rx, score) - col::s00);
}

// Balances from a "score=value" list; scores not named are 0.
Balances MakeBalances(const GridTable& rx, const std::vector<std::pair<std::string, int>>& values) {
  Balances b{};
  for (const auto& [score, value] : values) b[IndexOf(rx, score)] = value;
  return b;
}

std::vector<std::string> Split(const std::string& scores) {
  std::vector<std::string> out;
  std::istringstream in(scores);
  for (std::string s; in >> s;) out.push_back(s);
  return out;
}

class BalancesTest : public AnalysisFixture {
 protected:
  std::vector<std::string> bigBets;  // "row|odds|bet"
  BigBetSink Sink() {
    return [this](int r, std::string_view odds, std::string_view bet) {
      bigBets.push_back(std::to_string(r) + "|" + std::string(odds) + "|" + std::string(bet));
    };
  }
};

TEST_F(BalancesTest, BookBalanceOfOneAllOnTheGivenExample) {
  const std::vector<std::pair<int, const char*>> selections{
      {100, "2.50"}, {200, "1.5"},  {300, "4"},    {400, "1.25"}, {500, "9"},
      {600, "1.5"},  {700, "3"},    {800, "1.9"},  {900, "2.10"}, {1000, "3.3"},
      {1100, "1.1"}, {1200, "7.0"}, {1300, "1.05"}};
  for (std::size_t k = 0; k < selections.size(); ++k)
    SetSelection(k, selections[k].first, selections[k].second);

  // Losers' money: W1, W2, U0.5, U1.5, O2.5, O3.5, O4.5.
  const int losers = 100 + 300 + 500 + 700 + 800 + 1000 + 1200;
  // Winners' net win: X 200*1.5, O0.5 400*1.25, O1.5 600*1.5, U2.5 900*2.1, U3.5 1100*1.1,
  // U4.5 1300*1.05 (1365), each less its stake.
  const int profits = 100 + 100 + 300 + 990 + 110 + 65;
  const Balances book = ComputeBookBalances(rx, row);
  EXPECT_EQ(book[IndexOf(rx, "1-1")], losers - profits);
  EXPECT_EQ(book[IndexOf(rx, "1-1")], 2935);

  const int winnersMoney = 200 + 400 + 600 + 900 + 1100 + 1300;
  EXPECT_EQ(ComputeMoneyBalances(rx, row)[IndexOf(rx, "1-1")], winnersMoney - losers);
}

TEST_F(BalancesTest, EachSelectionWinsUnderExactlyItsScores) {
  struct Case {
    std::size_t selection;
    const char* wins;
  };
  const std::vector<Case> cases{
      {W1, "1-0 2-0 2-1 3-0 3-1 4-0"},
      {X, "0-0 1-1 2-2"},
      {W2, "0-1 1-2 0-2 1-3 0-3 0-4"},
      {O05, "1-0 0-1 1-1 2-0 2-1 2-2 1-2 0-2 3-0 3-1 1-3 0-3 4-0 0-4"},
      {U05, "0-0"},
      {O15, "1-1 2-0 2-1 2-2 1-2 0-2 3-0 3-1 1-3 0-3 4-0 0-4"},
      {U15, "0-0 1-0 0-1"},
      {O25, "2-1 2-2 1-2 3-0 3-1 1-3 0-3 4-0 0-4"},
      {U25, "0-0 1-0 0-1 1-1 2-0 0-2"},
      {O35, "2-2 3-1 1-3 4-0 0-4"},
      {U35, "0-0 1-0 0-1 1-1 2-0 2-1 1-2 0-2 3-0 0-3"},
      {O45, ""},
      {U45, "0-0 1-0 0-1 1-1 2-0 2-1 2-2 1-2 0-2 3-0 3-1 1-3 0-3 4-0 0-4"},
  };
  for (const Case& c : cases) {
    for (std::size_t k = 0; k < kSelections.size(); ++k) SetSelection(k, 0, "");
    SetSelection(c.selection, 10, "3");  // net win 20 when it wins
    const std::vector<std::string> wins = Split(c.wins);
    const std::set<std::string> winning(wins.begin(), wins.end());
    const Balances money = ComputeMoneyBalances(rx, row);
    const Balances book = ComputeBookBalances(rx, row);
    for (int column = col::s00; column <= col::s04; ++column) {
      const std::string score = rx.Column(column).caption;
      const auto i = static_cast<std::size_t>(column - col::s00);
      const bool won = winning.count(score) != 0;
      EXPECT_EQ(money[i], won ? 10 : -10) << kSelections[c.selection].name << " at " << score;
      EXPECT_EQ(book[i], won ? -20 : 10) << kSelections[c.selection].name << " at " << score;
    }
  }
}

TEST_F(BalancesTest, NonNumbersCountAsZeroMoneyAndZeroProfit) {
  rx.SetCellText(kSelections[W1].money, row, "1.5");
  rx.SetCellText(kSelections[W1].odds, row, "2");
  rx.SetCellText(kSelections[X].money, row, "100");
  rx.SetCellText(kSelections[X].odds, row, "-");  // reads as odds 1: no net win
  const Balances book = ComputeBookBalances(rx, row);
  EXPECT_EQ(book[IndexOf(rx, "0-0")], 0);    // X wins, net win 0; W1 money 0
  EXPECT_EQ(book[IndexOf(rx, "1-0")], 100);  // X loses its 100
  EXPECT_EQ(ComputeMoneyBalances(rx, row)[IndexOf(rx, "0-0")], 100);
}

TEST_F(BalancesTest, WriteScoreBalancesColoursBySignAndKeepsTheColourOfZero) {
  for (int c = col::s00; c <= col::s04; ++c) rx.SetCellColor(c, row, colors::kBlue);
  WriteScoreBalances(rx, row, MakeBalances(rx, {{"0-0", 5}, {"1-0", -3}, {"4-0", 2147483647}}));
  EXPECT_EQ(rx.CellText(ColumnOf(rx, "0-0"), row), "5");
  EXPECT_EQ(rx.CellColor(ColumnOf(rx, "0-0"), row), colors::kLime);
  EXPECT_EQ(rx.CellText(ColumnOf(rx, "1-0"), row), "-3");
  EXPECT_EQ(rx.CellColor(ColumnOf(rx, "1-0"), row), colors::kRed);
  EXPECT_EQ(rx.CellText(ColumnOf(rx, "4-0"), row), "2147483647");
  EXPECT_EQ(rx.CellText(ColumnOf(rx, "2-2"), row), "0");
  EXPECT_EQ(rx.CellColor(ColumnOf(rx, "2-2"), row), colors::kBlue);
}

// --- Verdict rules -----------------------------------------------------------------------------

struct VerdictCase {
  const char* label;
  int oddsColumn;
  const char* above;
  const char* below;
};
const VerdictCase kVerdictCases[] = {
    {"X", 30, "0-0 1-1 2-2", "1-0 2-0 3-0 0-1 0-2 0-3 2-1 1-2 3-1 1-3"},
    {"W1", 27, "1-0 2-0 2-1 3-1 3-0 4-0", "0-1 0-2 1-2 1-3 0-3 0-4 1-1 0-0 2-2"},
    {"W2", 33, "0-1 0-2 1-2 1-3 0-3 0-4", "1-0 2-0 2-1 3-1 3-0 4-0 1-1 0-0 2-2"},
    {"O2.5", 48, "0-3 3-0 2-1 1-2 1-3 3-1 4-0 0-4 2-2", "0-0 1-0 0-1 1-1 2-0 0-2"},
    {"U2.5", 51, "0-0 1-0 0-1 1-1 2-0 0-2", "0-3 3-0 2-1 1-2 1-3 3-1 4-0 0-4 2-2"},
};

class VerdictTest : public BalancesTest {
 protected:
  Balances Pattern(const VerdictCase& c) {
    Balances b{};
    for (const auto& s : Split(c.above)) b[IndexOf(rx, s)] = 40;
    for (const auto& s : Split(c.below)) b[IndexOf(rx, s)] = -40;
    return b;
  }
  void SetOdds() {
    for (const int c : {27, 30, 33, 48, 51}) {
      rx.SetCellText(c, row, "odds" + std::to_string(c));
      rx.SetCellColor(c, row, colors::kBlue);
    }
  }
};

TEST_F(VerdictTest, EachRuleHoldsOnItsSignPatternAndFailsOnAnyOneZero) {
  for (const VerdictCase& c : kVerdictCases) {
    SCOPED_TRACE(c.label);
    SetOdds();
    std::string verdict = "before", odds = "before";
    ASSERT_TRUE(FindVerdict(rx, row, Pattern(c), verdict, odds));
    EXPECT_EQ(verdict, c.label);
    EXPECT_EQ(odds, "odds" + std::to_string(c.oddsColumn));
    for (const int other : {27, 30, 33, 48, 51}) {
      EXPECT_EQ(rx.CellColor(other, row), other == c.oddsColumn ? colors::kYellow : colors::kBlue)
          << other;
    }

    std::vector<std::string> tested = Split(c.above);
    for (const auto& s : Split(c.below)) tested.push_back(s);
    for (const std::string& zeroed : tested) {
      SetOdds();
      Balances b = Pattern(c);
      b[IndexOf(rx, zeroed)] = 0;
      std::string v = "before", o = "before";
      EXPECT_FALSE(FindVerdict(rx, row, b, v, o)) << "zero at " << zeroed;
      EXPECT_EQ(v, "before");
      EXPECT_EQ(o, "before");
      for (const int other : {27, 30, 33, 48, 51})
        EXPECT_EQ(rx.CellColor(other, row), colors::kBlue);
    }
  }
}

TEST_F(VerdictTest, DrawHoldsWhateverFourNilAndNilFourShow) {
  SetOdds();
  Balances b = Pattern(kVerdictCases[0]);
  b[IndexOf(rx, "4-0")] = 7;
  b[IndexOf(rx, "0-4")] = 9;
  std::string verdict, odds;
  EXPECT_TRUE(FindVerdict(rx, row, b, verdict, odds));
  EXPECT_EQ(verdict, "X");
}

TEST_F(VerdictTest, ShowVerdictByStatus) {
  struct Case {
    const char* status;
    const char* verdict;
    const char* text;
    Color color;
  };
  const Case cases[] = {
      {"SOON", "W1", "W1", colors::kGreen}, {"SOON", "", "", colors::kWhite},
      {"LIVE", "W1", "old", colors::kBlue}, {"LIVE", "", "old", colors::kBlue},
      {"FINISH", "W1", "", colors::kWhite}, {"soon", "W1", "", colors::kWhite},
  };
  for (const Case& c : cases) {
    rx.SetCellText(col::R_Status, row, c.status);
    rx.SetCellText(col::rbet2, row, "old");
    rx.SetCellColor(col::rbet2, row, colors::kBlue);
    ShowVerdict(rx, row, col::rbet2, colors::kGreen, c.verdict);
    EXPECT_EQ(rx.CellText(col::rbet2, row), c.text) << c.status << "/" << c.verdict;
    EXPECT_EQ(rx.CellColor(col::rbet2, row), c.color) << c.status << "/" << c.verdict;
  }
}

// --- Projection --------------------------------------------------------------------------------

TEST_F(BalancesTest, ProjectScoreFromTheCurrentScore) {
  // Every balance distinct: score index i holds (i + 1) * 10, odd indices negative.
  Balances b{};
  for (std::size_t i = 0; i < b.size(); ++i) {
    b[i] = static_cast<int>(i + 1) * (i % 2 == 0 ? 10 : -10);
  }
  auto at = [&](const char* s) { return std::to_string(b[IndexOf(rx, s)]); };
  struct Case {
    const char* score;
    const char* next1;
    const char* next2;
    std::string homePlus, now, awayPlus;
  };
  const std::vector<Case> cases{
      {"-", "1:0", "0:1", at("1-0"), at("0-0"), at("0-1")},
      {"0:0", "1:0", "0:1", at("1-0"), at("0-0"), at("0-1")},
      {"2:1", "3:1", "2:2", at("3-1"), at("2-1"), at("2-2")},
      {"1:2", "2:2", "1:3", at("2-2"), at("1-2"), at("1-3")},
      {"3:0", "4:0", "3:1", at("4-0"), at("3-0"), at("3-1")},
      {"0:3", "1:3", "0:4", at("1-3"), at("0-3"), at("0-4")},
      {"2:2", "3:2", "2:3", "0", at("2-2"), "0"},
      {"4:0", "5:0", "4:1", "0", at("4-0"), "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.score);
    rx.SetCellText(col::R_Score, row, c.score);
    ProjectScore(rx, row, b);
    EXPECT_EQ(rx.CellText(col::hscore, row), c.next1);
    EXPECT_EQ(rx.CellText(col::ascore, row), c.next2);
    const std::string texts[] = {c.homePlus, c.now, c.awayPlus};
    for (int k = 0; k < 3; ++k) {
      const int column = col::home_plus + k;
      const std::string& text = texts[k];
      EXPECT_EQ(rx.CellText(column, row), text);
      const Color expected = text == "0"      ? colors::kWhite
                             : text[0] == '-' ? colors::kRed
                                              : colors::kLime;
      EXPECT_EQ(rx.CellColor(column, row), expected) << column;
    }
  }
}

TEST_F(BalancesTest, AnUnknownScoreKeepsTheProjectionAndRecoloursItsOldValues) {
  for (const char* score : {"3:2", "3:3", ""}) {
    SCOPED_TRACE(score);
    rx.SetCellText(col::R_Score, row, score);
    rx.SetCellText(col::hscore, row, "a");
    rx.SetCellText(col::ascore, row, "b");
    rx.SetCellText(col::home_plus, row, "-5");
    rx.SetCellText(col::rnow, row, "");
    rx.SetCellText(col::awayplus, row, "7");
    for (int c = col::home_plus; c <= col::awayplus; ++c) rx.SetCellColor(c, row, colors::kBlue);
    ProjectScore(rx, row, MakeBalances(rx, {{"0-0", 99}}));
    EXPECT_EQ(rx.CellText(col::hscore, row), "a");
    EXPECT_EQ(rx.CellText(col::ascore, row), "b");
    EXPECT_EQ(rx.CellText(col::home_plus, row), "-5");
    EXPECT_EQ(rx.CellColor(col::home_plus, row), colors::kRed);
    EXPECT_EQ(rx.CellColor(col::rnow, row), colors::kWhite);
    EXPECT_EQ(rx.CellColor(col::awayplus, row), colors::kLime);
  }
  // A text that is no number is left white rather than failing the run.
  rx.SetCellText(col::rnow, row, "n/a");
  EXPECT_NO_THROW(ProjectScore(rx, row, Balances{}));
  EXPECT_EQ(rx.CellColor(col::rnow, row), colors::kWhite);
}

// --- The whole sequence ------------------------------------------------------------------------

// Money on W1 (odds 1.00), X and W2 (odds 3 each): the book pass finds W1 and the money pass
// finds nothing, since every money balance is negative.
class EvaluateTest : public BalancesTest {
 protected:
  void FirstPassOnlyW1(int w1Money) {
    SetSelection(W1, w1Money, "1.00");
    SetSelection(X, 500, "3");
    SetSelection(W2, 500, "3");
  }
};

TEST_F(EvaluateTest, FirstPassVerdictReachesBothColumnsAndABigBetAboveOneThousand) {
  FirstPassOnlyW1(1);
  EvaluateScores(rx, row, Sink());
  EXPECT_EQ(rx.CellText(col::rbet, row), "W1");
  EXPECT_EQ(rx.CellColor(col::rbet, row), colors::kRed);
  EXPECT_EQ(rx.CellText(col::rbet2, row), "W1");
  EXPECT_EQ(rx.CellColor(col::rbet2, row), colors::kGreen);
  EXPECT_EQ(rx.CellColor(col::R_1, row), colors::kYellow);
  EXPECT_THAT(bigBets, ElementsAre(std::to_string(row) + "|1.00|W1"));

  // Balances shown, projected from "-" and marked at their extremes.
  EXPECT_EQ(rx.CellText(ColumnOf(rx, "1-0"), row), "1000");
  EXPECT_EQ(rx.CellColor(ColumnOf(rx, "1-0"), row), colors::kYellow);  // first of the largest
  EXPECT_EQ(rx.CellColor(ColumnOf(rx, "2-0"), row), colors::kLime);
  EXPECT_EQ(rx.CellText(ColumnOf(rx, "0-0"), row), "-499");
  EXPECT_EQ(rx.CellColor(ColumnOf(rx, "0-0"), row), colors::kFuchsia);
  EXPECT_EQ(rx.CellColor(ColumnOf(rx, "1-1"), row), colors::kRed);
  EXPECT_EQ(rx.CellText(col::home_plus, row), "1000");
  EXPECT_EQ(rx.CellText(col::rnow, row), "-499");
  EXPECT_EQ(rx.CellText(col::awayplus, row), "-499");

  // The same BigBet goes out again on the next run that finds it.
  EvaluateScores(rx, row, Sink());
  EXPECT_THAT(bigBets, SizeIs(2));
}

TEST_F(EvaluateTest, NoBigBetAtExactlyOneThousand) {
  FirstPassOnlyW1(0);
  EvaluateScores(rx, row, Sink());
  EXPECT_EQ(rx.CellText(col::rbet, row), "W1");
  EXPECT_EQ(rx.CellText(col::rbet2, row), "W1");
  EXPECT_THAT(bigBets, IsEmpty());
}

TEST_F(EvaluateTest, LiveRowKeepsItsVerdictsAndSendsNoBigBet) {
  FirstPassOnlyW1(1);
  rx.SetCellText(col::R_Status, row, "LIVE");
  rx.SetCellText(col::rbet, row, "X");
  rx.SetCellColor(col::rbet, row, colors::kRed);
  rx.SetCellText(col::rbet2, row, "X");
  rx.SetCellColor(col::rbet2, row, colors::kGreen);
  EvaluateScores(rx, row, Sink());
  EXPECT_EQ(rx.CellText(col::rbet, row), "X");
  EXPECT_EQ(rx.CellColor(col::rbet, row), colors::kRed);
  EXPECT_EQ(rx.CellText(col::rbet2, row), "X");
  EXPECT_EQ(rx.CellColor(col::rbet2, row), colors::kGreen);
  EXPECT_THAT(bigBets, IsEmpty());
}

TEST_F(EvaluateTest, FirstPassW1SecondPassW2) {
  // Book: home wins +1100, draws -400, away wins -700. Money: home wins -1100, draws -100,
  // away wins +100.
  SetSelection(X, 500, "3");
  SetSelection(W2, 600, "3");
  rx.SetCellText(col::R_1, row, "1.70");
  EvaluateScores(rx, row, Sink());
  EXPECT_EQ(rx.CellText(col::rbet, row), "W1");
  EXPECT_EQ(rx.CellText(col::rbet2, row), "W2");
  EXPECT_EQ(rx.CellColor(col::R_1, row), colors::kYellow);
  EXPECT_EQ(rx.CellColor(col::R_2, row), colors::kYellow);
  EXPECT_THAT(bigBets, IsEmpty());

  // The verdict odds the sequence carries are those of the second verdict.
  std::string verdict, odds;
  FindVerdict(rx, row, ComputeBookBalances(rx, row), verdict, odds);
  EXPECT_EQ(odds, "1.70");
  FindVerdict(rx, row, ComputeMoneyBalances(rx, row), verdict, odds);
  EXPECT_EQ(verdict, "W2");
  EXPECT_EQ(odds, "3");
}

TEST_F(EvaluateTest, FirstPassNothingSecondPassDraw) {
  // Money: home wins -1100, draws +100, away wins -100. Book: home wins +1100, draws +200,
  // away wins -100, which no rule takes.
  SetSelection(X, 600, "1.5");
  SetSelection(W2, 500, "2.4");
  EvaluateScores(rx, row, Sink());
  EXPECT_EQ(rx.CellText(col::rbet, row), "");
  EXPECT_EQ(rx.CellText(col::rbet2, row), "X");
  EXPECT_THAT(bigBets, IsEmpty());
}

TEST_F(EvaluateTest, AllMoneyZero) {
  rx.SetCellText(col::rbet, row, "W2");
  rx.SetCellText(col::rbet2, row, "W2");
  for (int c = col::s00; c <= col::s04; ++c) rx.SetCellColor(c, row, colors::kBlue);
  EvaluateScores(rx, row, Sink());
  for (int c = col::s00; c <= col::s04; ++c) {
    EXPECT_EQ(rx.CellText(c, row), "0");
    EXPECT_EQ(rx.CellColor(c, row), colors::kBlue);
  }
  EXPECT_EQ(rx.CellText(col::rbet, row), "");
  EXPECT_EQ(rx.CellText(col::rbet2, row), "");
  EXPECT_THAT(bigBets, IsEmpty());
}

TEST_F(BalancesTest, CheckBigBetConditions) {
  struct Case {
    const char* status;
    const char* verdict;
    const char* first;
    const char* second;
    int w1, x, w2;
    bool sent;
  };
  const Case cases[] = {
      {"SOON", "W1", "W1", "W1", 400, 300, 301, true},
      {"SOON", "W1", "W1", "W1", 400, 300, 300, false},  // 1000 is not enough
      {"LIVE", "W1", "W1", "W1", 4000, 0, 0, false},
      {"SOON", "", "", "", 4000, 0, 0, false},
      {"SOON", "W2", "W1", "W2", 4000, 0, 0, false},
      {"FINISH", "W1", "", "", 4000, 0, 0, true},  // both columns cleared, so equal
  };
  for (const Case& c : cases) {
    bigBets.clear();
    rx.SetCellText(col::R_Status, row, c.status);
    rx.SetCellText(col::rbet, row, c.first);
    rx.SetCellText(col::rbet2, row, c.second);
    SetSelection(W1, c.w1, "");
    SetSelection(X, c.x, "");
    SetSelection(W2, c.w2, "");
    EXPECT_EQ(CheckBigBet(rx, row, c.verdict, "2.2", Sink()), c.sent) << c.status << c.verdict;
    EXPECT_THAT(bigBets, SizeIs(c.sent ? 1u : 0u));
  }
}

}  // namespace
}  // namespace zelko::testing
