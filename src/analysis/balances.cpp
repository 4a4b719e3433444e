#include "analysis/balances.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>

#include "board/cell_numbers.h"
#include "board/columns.h"
#include "board/score_extremes.h"
#include "feed/text.h"

namespace zelko {
namespace {

constexpr std::size_t kScoreCount = kCorrectScores.size();

// When a selection wins under a final score h:a with T = h + a goals.
enum class WinKind : std::uint8_t { HomeAhead, Level, AwayAhead, TotalAtLeast, TotalAtMost };

struct WinRule {
  WinKind kind;
  int goals;  // the threshold of the two total kinds
};

// One rule per selection, in the order of kSelections.
constexpr std::array<WinRule, kSelections.size()> kWinRules{{
    {WinKind::HomeAhead, 0},     // W1
    {WinKind::Level, 0},         // X
    {WinKind::AwayAhead, 0},     // W2
    {WinKind::TotalAtLeast, 1},  // O0.5
    {WinKind::TotalAtMost, 0},   // U0.5
    {WinKind::TotalAtLeast, 2},  // O1.5
    {WinKind::TotalAtMost, 1},   // U1.5
    {WinKind::TotalAtLeast, 3},  // O2.5
    {WinKind::TotalAtMost, 2},   // U2.5
    {WinKind::TotalAtLeast, 4},  // O3.5
    {WinKind::TotalAtMost, 3},   // U3.5
    {WinKind::TotalAtLeast, 5},  // O4.5
    {WinKind::TotalAtMost, 4},   // U4.5
}};

constexpr bool Wins(const WinRule& rule, const CorrectScore& score) {
  const int total = score.home + score.away;
  switch (rule.kind) {
    case WinKind::HomeAhead:
      return score.home > score.away;
    case WinKind::Level:
      return score.home == score.away;
    case WinKind::AwayAhead:
      return score.home < score.away;
    case WinKind::TotalAtLeast:
      return total >= rule.goals;
    case WinKind::TotalAtMost:
      return total <= rule.goals;
  }
  return false;
}

// The position of score h-a among the balance columns; fails to compile for a score that has
// no column.
consteval std::size_t ScoreAt(int home, int away) {
  for (std::size_t i = 0; i < kScoreCount; ++i) {
    if (kCorrectScores[i].home == home && kCorrectScores[i].away == away) return i;
  }
  throw "no balance column for this score";
}

// A set of scores as a bit per balance column.
using ScoreSet = std::uint32_t;
consteval ScoreSet Scores(std::initializer_list<CorrectScore> scores) {
  ScoreSet set = 0;
  for (const CorrectScore& s : scores) set |= ScoreSet{1} << ScoreAt(s.home, s.away);
  return set;
}

struct VerdictRule {
  const char* label;
  int oddsColumn;
  ScoreSet aboveZero;
  ScoreSet belowZero;
};

// Tried in this order; the sets of different rules exclude each other.
constexpr std::array<VerdictRule, 5> kVerdictRules{{
    {"X", col::R_X, Scores({{0, 0}, {1, 1}, {2, 2}}),
     Scores({{1, 0}, {2, 0}, {3, 0}, {0, 1}, {0, 2}, {0, 3}, {2, 1}, {1, 2}, {3, 1}, {1, 3}})},
    {"W1", col::R_1, Scores({{1, 0}, {2, 0}, {2, 1}, {3, 1}, {3, 0}, {4, 0}}),
     Scores({{0, 1}, {0, 2}, {1, 2}, {1, 3}, {0, 3}, {0, 4}, {1, 1}, {0, 0}, {2, 2}})},
    {"W2", col::R_2, Scores({{0, 1}, {0, 2}, {1, 2}, {1, 3}, {0, 3}, {0, 4}}),
     Scores({{1, 0}, {2, 0}, {2, 1}, {3, 1}, {3, 0}, {4, 0}, {1, 1}, {0, 0}, {2, 2}})},
    {"O2.5", col::R_25,
     Scores({{0, 3}, {3, 0}, {2, 1}, {1, 2}, {1, 3}, {3, 1}, {4, 0}, {0, 4}, {2, 2}}),
     Scores({{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}, {0, 2}})},
    {"U2.5", col::R_U25, Scores({{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 0}, {0, 2}}),
     Scores({{0, 3}, {3, 0}, {2, 1}, {1, 2}, {1, 3}, {3, 1}, {4, 0}, {0, 4}, {2, 2}})},
}};

bool Holds(const VerdictRule& rule, const Balances& balances) {
  for (std::size_t i = 0; i < kScoreCount; ++i) {
    const ScoreSet bit = ScoreSet{1} << i;
    if ((rule.aboveZero & bit) != 0 && !(balances[i] > 0)) return false;
    if ((rule.belowZero & bit) != 0 && !(balances[i] < 0)) return false;
  }
  return true;
}

// The next-goal projection of one current score text. A balance of nullopt shows as 0.
struct Projection {
  const char* score;
  const char* homeNext;
  const char* awayNext;
  std::optional<std::size_t> homePlus;
  std::optional<std::size_t> now;
  std::optional<std::size_t> awayPlus;
};

constexpr std::optional<std::size_t> kZero = std::nullopt;

constexpr std::array<Projection, 16> kProjections{{
    {"-", "1:0", "0:1", ScoreAt(1, 0), ScoreAt(0, 0), ScoreAt(0, 1)},
    {"0:0", "1:0", "0:1", ScoreAt(1, 0), ScoreAt(0, 0), ScoreAt(0, 1)},
    {"1:0", "2:0", "1:1", ScoreAt(2, 0), ScoreAt(1, 0), ScoreAt(1, 1)},
    {"0:1", "1:1", "0:2", ScoreAt(1, 1), ScoreAt(0, 1), ScoreAt(0, 2)},
    {"1:1", "2:1", "1:2", ScoreAt(2, 1), ScoreAt(1, 1), ScoreAt(1, 2)},
    {"2:0", "3:0", "2:1", ScoreAt(3, 0), ScoreAt(2, 0), ScoreAt(2, 1)},
    {"2:1", "3:1", "2:2", ScoreAt(3, 1), ScoreAt(2, 1), ScoreAt(2, 2)},
    {"2:2", "3:2", "2:3", kZero, ScoreAt(2, 2), kZero},
    {"1:2", "2:2", "1:3", ScoreAt(2, 2), ScoreAt(1, 2), ScoreAt(1, 3)},
    {"0:2", "1:2", "0:3", ScoreAt(1, 2), ScoreAt(0, 2), ScoreAt(0, 3)},
    {"0:3", "1:3", "0:4", ScoreAt(1, 3), ScoreAt(0, 3), ScoreAt(0, 4)},
    {"0:4", "1:4", "0:5", kZero, ScoreAt(0, 4), kZero},
    {"3:0", "4:0", "3:1", ScoreAt(4, 0), ScoreAt(3, 0), ScoreAt(3, 1)},
    {"4:0", "5:0", "4:1", kZero, ScoreAt(4, 0), kZero},
    {"3:1", "4:1", "3:2", kZero, ScoreAt(3, 1), kZero},
    {"1:3", "2:3", "1:4", kZero, ScoreAt(1, 3), kZero},
}};

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Whether each selection wins under each score, worked out once: the sums below run over the
// whole table, with no rule to decide per pair.
using PerSelection64 = std::array<std::int64_t, kSelections.size()>;
constexpr auto kWinTable = [] {
  std::array<std::array<bool, kScoreCount>, kSelections.size()> wins{};
  for (std::size_t k = 0; k < kSelections.size(); ++k) {
    for (std::size_t s = 0; s < kScoreCount; ++s)
      wins[k][s] = Wins(kWinRules[k], kCorrectScores[s]);
  }
  return wins;
}();

// Sums per score: `win` of every selection that wins under it minus `lose` of every one that
// loses. Both are given per selection.
Balances SumPerScore(const PerSelection64& win, const PerSelection64& lose) {
  std::array<std::int64_t, kScoreCount> sums{};
  for (std::size_t k = 0; k < kSelections.size(); ++k) {
    for (std::size_t s = 0; s < kScoreCount; ++s) sums[s] += kWinTable[k][s] ? win[k] : lose[k];
  }
  Balances out{};
  for (std::size_t s = 0; s < kScoreCount; ++s) out[s] = Saturate(sums[s]);
  return out;
}

constexpr int BalanceColumn(std::size_t score) {
  return col::s00 + static_cast<int>(score);
}

}  // namespace

Balances ComputeBookBalances(const GridTable& rx, int row) {
  PerSelection64 lost{};  // the stake, which the bookmaker keeps
  PerSelection64 paid{};  // the net win, which it pays
  for (std::size_t k = 0; k < kSelections.size(); ++k) {
    // CellProfit, with the stake read once.
    const std::int32_t stake = CellInt(rx, kSelections[k].money, row);
    lost[k] = stake;
    paid[k] = -std::int64_t{NetWin(stake, rx.TextView(kSelections[k].odds, row))};
  }
  // Book view: the bookmaker keeps the stakes of the losers and pays the winners' net win.
  return SumPerScore(paid, lost);
}

Balances ComputeMoneyBalances(const GridTable& rx, int row) {
  PerSelection64 money{};
  PerSelection64 lost{};
  for (std::size_t k = 0; k < kSelections.size(); ++k) {
    money[k] = CellInt(rx, kSelections[k].money, row);
    lost[k] = -money[k];
  }
  return SumPerScore(money, lost);
}

void WriteScoreBalances(GridTable& rx, int row, const Balances& balances) {
  for (std::size_t s = 0; s < kScoreCount; ++s) {
    const int column = BalanceColumn(s);
    rx.SetCellInteger(column, row, balances[s]);
    if (balances[s] > 0) {
      rx.SetCellColor(column, row, colors::kLime);
    } else if (balances[s] < 0) {
      rx.SetCellColor(column, row, colors::kRed);
    }
  }
}

void ProjectScore(GridTable& rx, int row, const Balances& balances) {
  const std::string_view score = rx.TextView(col::R_Score, row);
  const auto found = std::find_if(kProjections.begin(), kProjections.end(),
                                  [&](const Projection& p) { return score == p.score; });
  if (found != kProjections.end()) {
    auto value = [&](std::optional<std::size_t> at) { return at ? balances[*at] : 0; };
    rx.SetCellText(col::hscore, row, found->homeNext);
    rx.SetCellText(col::ascore, row, found->awayNext);
    rx.SetCellInteger(col::home_plus, row, value(found->homePlus));
    rx.SetCellInteger(col::rnow, row, value(found->now));
    rx.SetCellInteger(col::awayplus, row, value(found->awayPlus));
  }
  for (const int column : {col::home_plus, col::rnow, col::awayplus}) {
    rx.SetCellColor(column, row, colors::kWhite);
    // Other writers leave these cells empty; any text that is not a whole number stays white.
    const auto value = ParseWholeNumber(rx.TextView(column, row));
    if (!value) continue;
    if (*value < 0) {
      rx.SetCellColor(column, row, colors::kRed);
    } else if (*value > 0) {
      rx.SetCellColor(column, row, colors::kLime);
    }
  }
}

bool FindVerdict(GridTable& rx, int row, const Balances& balances, std::string& verdict,
                 std::string& verdictOdds) {
  for (const VerdictRule& rule : kVerdictRules) {
    if (!Holds(rule, balances)) continue;
    verdict = rule.label;
    rx.SetCellColor(rule.oddsColumn, row, colors::kYellow);
    verdictOdds = rx.CellText(rule.oddsColumn, row);
    return true;
  }
  return false;
}

void ShowVerdict(GridTable& rx, int row, int column, Color color, std::string_view verdict) {
  const std::string status = rx.CellText(col::R_Status, row);
  if (status != "LIVE") {
    rx.SetCellText(column, row, "");
    rx.SetCellColor(column, row, colors::kWhite);
  }
  if (!verdict.empty() && status == "SOON") {
    rx.SetCellText(column, row, verdict);
    rx.SetCellColor(column, row, color);
  }
}

bool CheckBigBet(GridTable& rx, int row, std::string_view verdict, std::string_view verdictOdds,
                 const BigBetSink& send) {
  if (rx.TextView(col::R_Status, row) == "LIVE") return false;
  if (verdict.empty()) return false;
  if (rx.TextView(col::rbet, row) != rx.TextView(col::rbet2, row)) return false;
  const std::int64_t money1x2 = std::int64_t{CellInt(rx, col::R_1S, row)} +
                                CellInt(rx, col::R_XS, row) + CellInt(rx, col::R_2S, row);
  if (!(money1x2 > 1000)) return false;
  if (send) send(row, verdictOdds, verdict);
  return true;
}

void EvaluateScores(GridTable& rx, int row, const BigBetSink& send) {
  std::string verdict;
  std::string verdictOdds;

  const Balances book = ComputeBookBalances(rx, row);
  FindVerdict(rx, row, book, verdict, verdictOdds);
  ShowVerdict(rx, row, col::rbet, colors::kRed, verdict);
  WriteScoreBalances(rx, row, book);
  ProjectScore(rx, row, book);

  // The first pass's verdict stands when the money pass finds none.
  const Balances money = ComputeMoneyBalances(rx, row);
  FindVerdict(rx, row, money, verdict, verdictOdds);
  ShowVerdict(rx, row, col::rbet2, colors::kGreen, verdict);

  MarkScoreExtremes(rx, row);
  CheckBigBet(rx, row, verdict, verdictOdds, send);
}

}  // namespace zelko
