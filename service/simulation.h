#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "goal_model.h"

namespace zelko_service {

// Times are whole minutes after the simulated day's midnight; tomorrow's kick-offs lie at 1440
// and beyond. Every figure the service reports is a pure function of the seed and such a
// minute, so two services with the same seed and clock answer byte for byte alike.

constexpr int kMinutesPerDay = 24 * 60;
constexpr int kFirstHalfEnd = 45;  // minutes after kick-off
constexpr int kBreakEnd = 60;      // the 15-minute break
constexpr int kMatchEnd = 105;     // second half over

struct DayOptions {
  std::uint64_t seed = 1;
  int matches = 300;
  std::string today = "01.01.2025";     // the "date" of today's matches
  std::string tomorrow = "02.01.2025";  // and of tomorrow's
};

enum class Status { kSoon, kLive, kFinish, kCancel };
const char* StatusWord(Status status);

// Minutes of play (1..90) at which one kind of event happened, for each side, ascending.
struct Events {
  std::vector<int> home;
  std::vector<int> away;
  int HomeBy(int playMinute) const;
  int AwayBy(int playMinute) const;
};

struct Match {
  std::string id;
  std::string my;
  std::string league;
  std::string home;
  std::string away;
  std::string date;
  std::string tv;  // "-" or a path on the news site
  bool tomorrow = false;
  int kickoff = 0;
  int cancelAt = -1;      // the minute the match is called off, -1 when it is played
  double homeMean = 1.4;  // expected goals over 90 minutes
  double awayMean = 1.1;
  double volume = 0;  // regular 1X2 money at kick-off
  double margin = 0.05;
  int phase = 0;            // offset of the five-minute pre-match update ticks
  int heavySelection = -1;  // one selection that draws heavy money, -1 for none
  int heavyFrom = 0;
  double heavyAmount = 0;
  double possession = 50;  // the home side's usual share of the ball
  std::uint64_t key = 0;   // seeds the draws made on demand
  Events goals, shotsOn, shotsOff, corners, yellow, red, attacks;
};

struct MatchState {
  Status status = Status::kSoon;
  int playMinute = 0;      // 0 before kick-off, 1..90 in play (45 during the break)
  std::string minuteText;  // "1".."90", "HT" in the break; empty unless live
  int homeGoals = 0;
  int awayGoals = 0;
  bool halfTimeReached = false;
  int halfHome = 0;
  int halfAway = 0;
};

// The figures of one update of a match's markets.
struct MarketPicture {
  int updatedAt = 0;  // minute of the update ("last")
  std::array<double, kSelections> odds{};
  std::array<long long, kSelections> money{};
  std::array<long long, kMarkets> regular{};  // each market's money without the heavy money
  std::array<long long, kMarkets> total{};    // each market's money in all
  // The selection's share of its market's money, in percent.
  int Share(int selection) const;
};

struct LiveStats {
  std::string possession, attacks, shotsOn, shotsOff, yellow, red, corners;  // "home:away"
};

class Day {
 public:
  explicit Day(const DayOptions& options);
  const std::vector<Match>& Matches() const { return matches_; }

  static MatchState StateAt(const Match& match, int minute);
  // The latest update at or before the minute: pre-match figures before kick-off, in-play
  // figures after it, frozen once the match is over or called off.
  static MarketPicture CurrentPicture(const Match& match, int minute);
  // The pre-match figures, frozen at kick-off.
  static MarketPicture PrematchPicture(const Match& match, int minute);
  static LiveStats StatsAt(const Match& match, int minute);

 private:
  std::vector<Match> matches_;
};

// "HH:MM" of a minute, wrapping past midnight.
std::string ClockText(int minute);

}  // namespace zelko_service
