#pragma once

// A synthetic day of football for the benchmarks: thousands of matches in the feed's record
// format (the same elements, order and nesting as the demo service sends), made in memory from
// a fixed seed so that every run measures the same bytes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelko::bench {

inline constexpr std::size_t kSelectionCount = 13;  // W1, X, W2, then Over/Under 0.5 ... 4.5

struct SyntheticMatch {
  std::string id;
  std::string my;
  std::string league;
  std::string home;
  std::string away;
  std::string status;  // "SOON", "LIVE", "FINISH" or "CANCEL"
  std::string tv;
  int kickOff = 0;     // minutes after midnight
  int playMinute = 0;  // live matches: 1..90
  int homeGoals = 0;
  int awayGoals = 0;
  int halfHome = 0;
  int halfAway = 0;
  std::array<double, kSelectionCount> odds{};
  std::array<long long, kSelectionCount> money{};
};

class SyntheticDay {
 public:
  // `matches` records of today, `live` of them in play at the day's moment; roughly a third of
  // the rest finished, a few called off, the others still to come.
  SyntheticDay(int matches, int live, std::uint64_t seed = 1);

  const std::vector<SyntheticMatch>& Matches() const { return matches_; }
  int LiveCount() const { return live_; }

  // The today reply in UTF-8. Every "last" stamp reads `stamp` (minutes after midnight);
  // `variant` moves the money and odds a little, as a later update of the day would.
  std::string TodayReply(int stamp, int variant) const;
  // The live reply in UTF-8: the matches in play. A non-zero `variant` puts every live match a
  // minute on and gives one match in twenty a goal more.
  std::string LiveReply(int variant) const;

 private:
  std::vector<SyntheticMatch> matches_;
  int live_ = 0;
};

// "HH:MM" of a minute after midnight.
std::string ClockText(int minute);

// Rewrites the time of every "<last>HH:MM</last>" of a reply in place (any encoding: the
// stamps are ASCII).
void SetLastStamps(std::string& reply, std::string_view clock);

}  // namespace zelko::bench
