#include "simulation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "catalog.h"
#include "rng.h"

namespace zelko_service {
namespace {

// Share of the 1X2 money that each market draws: the 2.5 line is the busiest goal line.
constexpr std::array<double, kMarkets> kMarketWeight = {1.0, 0.12, 0.35, 0.65, 0.3, 0.12};
constexpr int kPrematchTick = 5;              // minutes between pre-match updates
constexpr int kLiveTick = 3;                  // and between in-play ones
constexpr int kMarketOpens = kMinutesPerDay;  // minutes before kick-off

// Youth and reserve rounds let a long day reuse the tournaments without a team playing twice.
struct Round {
  const char* leagueSuffix;
  const char* teamSuffix;
  double moneyScale;
  int hoursEarlier;
};
constexpr std::array<Round, 3> kRounds = {
    {{"", "", 1.0, 0}, {" U21", " U21", 0.25, 3}, {" U19", " U19", 0.1, 5}}};

int PositiveMod(int value, int divisor) {
  const int r = value % divisor;
  return r < 0 ? r + divisor : r;
}

int CountUpTo(const std::vector<int>& minutes, int playMinute) {
  return static_cast<int>(std::upper_bound(minutes.begin(), minutes.end(), playMinute) -
                          minutes.begin());
}

Events Draw(Rng& rng, double homeMean, double awayMean) {
  Events e;
  for (int n = rng.Poisson(homeMean); n > 0; --n) e.home.push_back(rng.Between(1, 90));
  for (int n = rng.Poisson(awayMean); n > 0; --n) e.away.push_back(rng.Between(1, 90));
  std::sort(e.home.begin(), e.home.end());
  std::sort(e.away.begin(), e.away.end());
  return e;
}

// Every shot that went in was on target: the goals join the shots on target.
void AddGoalsToShots(Events& shots, const Events& goals) {
  shots.home.insert(shots.home.end(), goals.home.begin(), goals.home.end());
  shots.away.insert(shots.away.end(), goals.away.begin(), goals.away.end());
  std::sort(shots.home.begin(), shots.home.end());
  std::sort(shots.away.begin(), shots.away.end());
}

double TeamRating(std::uint64_t seed, std::size_t index, std::size_t count, std::string_view name) {
  std::uint64_t nameHash = 1469598103934665603ull;
  for (char c : name) nameHash = (nameHash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  const double byOrder =
      count > 1 ? 1.0 - static_cast<double>(index) / static_cast<double>(count - 1) : 0.5;
  return byOrder + 0.12 * NormalOf(HashOf({seed, nameHash}));
}

int PickHeavySelection(Rng& rng) {
  // Mostly the selections the verdicts speak about; now and then any other.
  static constexpr std::array<int, 5> kUsual = {kW1, kX, kW2, kO25, kU25};
  if (rng.Chance(0.8)) return kUsual[static_cast<std::size_t>(rng.Between(0, 4))];
  return rng.Between(0, kSelections - 1);
}

std::string Number(std::uint64_t n) {
  return std::to_string(n);
}

std::string Pair(int home, int away) {
  return std::to_string(home) + ":" + std::to_string(away);
}

// Minute of play at a number of minutes after kick-off.
int PlayMinute(int elapsed) {
  if (elapsed < 0) return 0;
  if (elapsed < kFirstHalfEnd) return elapsed + 1;
  if (elapsed < kBreakEnd) return kFirstHalfEnd;
  if (elapsed < kMatchEnd) return elapsed - (kBreakEnd - kFirstHalfEnd) + 1;
  return 90;
}

// Chance of each selection with the quoted odds and the regular money spread by those chances,
// with a little noise per update so that the figures move when "last" moves.
void SpreadMoney(const Match& m, int update, const Chances& chances,
                 const std::array<double, kMarkets>& regular, MarketPicture& picture) {
  std::array<double, kSelections> weight{};
  std::array<double, kMarkets> weightSum{};
  for (int s = 0; s < kSelections; ++s) {
    const auto i = static_cast<std::size_t>(s);
    weight[i] = std::max(chances[i], 0.01) *
                std::exp(0.15 * NormalOf(HashOf({m.key, static_cast<std::uint64_t>(update),
                                                 100u + static_cast<unsigned>(s)})));
    weightSum[static_cast<std::size_t>(MarketOf(s))] += weight[i];
  }
  for (int s = 0; s < kSelections; ++s) {
    const auto i = static_cast<std::size_t>(s);
    const auto market = static_cast<std::size_t>(MarketOf(s));
    picture.money[i] += std::llround(regular[market] * weight[i] / weightSum[market]);
  }
}

void Totals(MarketPicture& picture) {
  picture.total.fill(0);
  picture.regular.fill(0);
  for (int s = 0; s < kSelections; ++s) {
    picture.total[static_cast<std::size_t>(MarketOf(s))] +=
        picture.money[static_cast<std::size_t>(s)];
  }
}

MarketPicture Prematch(const Match& m, int update) {
  MarketPicture picture;
  picture.updatedAt = update;
  const double before = std::max(0, m.kickoff - update);
  const double growth = 0.02 + 0.98 / (1.0 + std::pow(before / 90.0, 1.4));
  Chances chances = SelectionChances(m.homeMean, m.awayMean, 0, 0);

  double heavyNow = 0;
  if (m.heavySelection >= 0 && update >= m.heavyFrom) {
    // The heavy money arrives in three bets ten minutes apart; the bookmaker shortens that
    // selection a little with each of them.
    const int stage = std::min(3, 1 + (update - m.heavyFrom) / 10);
    heavyNow = m.heavyAmount * stage / 3.0;
    const auto h = static_cast<std::size_t>(m.heavySelection);
    const double was = chances[h];
    const double after = std::min(0.97, was * (1.0 + 0.04 * stage));
    if (MarketOf(m.heavySelection) == 0) {
      const double rest = 1.0 - was;
      for (std::size_t s = 0; s < 3; ++s) {
        if (s != h && rest > 0) chances[s] *= (1.0 - after) / rest;
      }
    } else {
      const std::size_t partner = (m.heavySelection - kO05) % 2 == 0 ? h + 1 : h - 1;
      chances[partner] = 1.0 - after;
    }
    chances[h] = after;
  }

  std::array<double, kMarkets> regular{};
  for (std::size_t k = 0; k < kMarkets; ++k) {
    regular[k] = m.volume * kMarketWeight[k] * growth *
                 (1.0 + 0.04 * NormalOf(HashOf({m.key, static_cast<std::uint64_t>(update), k})));
  }
  SpreadMoney(m, update, chances, regular, picture);
  Totals(picture);
  for (std::size_t k = 0; k < kMarkets; ++k) picture.regular[k] = picture.total[k];
  if (heavyNow > 0) {
    const auto h = static_cast<std::size_t>(m.heavySelection);
    const auto amount = std::llround(heavyNow);
    picture.money[h] += amount;
    picture.total[static_cast<std::size_t>(MarketOf(m.heavySelection))] += amount;
  }
  for (std::size_t s = 0; s < kSelections; ++s) picture.odds[s] = QuotedOdds(chances[s], m.margin);
  return picture;
}

MarketPicture InPlay(const Match& m, int update) {
  const int elapsed = std::min(update - m.kickoff, kMatchEnd);
  const int playMinute = PlayMinute(elapsed);
  const int homeGoals = m.goals.HomeBy(playMinute);
  const int awayGoals = m.goals.AwayBy(playMinute);
  const double remaining = elapsed >= kMatchEnd ? 0.0 : (90.0 - playMinute) / 90.0;
  const Chances chances =
      SelectionChances(m.homeMean * remaining, m.awayMean * remaining, homeGoals, awayGoals);

  // Money staked before kick-off stays where it was; in-play money comes on top, spread by
  // the in-play chances.
  MarketPicture picture = Prematch(m, m.kickoff);
  const std::array<long long, kMarkets> regularAtKickoff = picture.regular;
  picture.updatedAt = update;
  std::array<double, kMarkets> extra{};
  for (std::size_t k = 0; k < kMarkets; ++k) {
    extra[k] = m.volume * kMarketWeight[k] * 0.7 * elapsed / kMatchEnd;
  }
  SpreadMoney(m, update, chances, extra, picture);
  Totals(picture);
  for (std::size_t k = 0; k < kMarkets; ++k) {
    picture.regular[k] = regularAtKickoff[k] + std::llround(extra[k]);
  }
  for (std::size_t s = 0; s < kSelections; ++s) picture.odds[s] = QuotedOdds(chances[s], m.margin);
  return picture;
}

// The minute of the latest pre-match update at or before the minute.
int PrematchUpdate(const Match& m, int minute) {
  const int opens = m.kickoff - kMarketOpens;
  if (minute <= opens) return opens;
  if (minute >= m.kickoff) return m.kickoff;
  return std::max(opens, minute - PositiveMod(minute - m.phase, kPrematchTick));
}

}  // namespace

const char* StatusWord(Status status) {
  switch (status) {
    case Status::kSoon:
      return "SOON";
    case Status::kLive:
      return "LIVE";
    case Status::kFinish:
      return "FINISH";
    case Status::kCancel:
      return "CANCEL";
  }
  return "SOON";
}

int Events::HomeBy(int playMinute) const {
  return CountUpTo(home, playMinute);
}
int Events::AwayBy(int playMinute) const {
  return CountUpTo(away, playMinute);
}

int MarketPicture::Share(int selection) const {
  const long long market = total[static_cast<std::size_t>(MarketOf(selection))];
  if (market <= 0) return 0;
  return static_cast<int>(
      std::llround(100.0 * static_cast<double>(money[static_cast<std::size_t>(selection)]) /
                   static_cast<double>(market)));
}

std::string ClockText(int minute) {
  const int m = PositiveMod(minute, kMinutesPerDay);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", m / 60, m % 60);
  return text;
}

Day::Day(const DayOptions& options) {
  const auto& leagues = Leagues();
  Rng rng(HashOf({options.seed, 0x2A}));
  std::vector<std::size_t> order(leagues.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;

  const auto wanted = static_cast<std::size_t>(std::max(0, options.matches));
  std::size_t pass = 0;
  while (matches_.size() < wanted) {
    // Each pass plays one round of every tournament, in an order of its own.
    for (std::size_t i = order.size(); i > 1; --i) {
      std::swap(order[i - 1], order[static_cast<std::size_t>(rng.Next() % i)]);
    }
    const Round& round = kRounds[std::min(pass, kRounds.size() - 1)];
    const std::string extraSuffix =
        pass >= kRounds.size() ? " (" + std::to_string(pass - kRounds.size() + 2) + ")" : "";
    for (std::size_t li : order) {
      if (matches_.size() >= wanted) break;
      const League& league = leagues[li];
      const bool tomorrow = rng.Chance(pass == 0 ? 0.12 : 0.35);
      std::vector<std::size_t> teams(league.teams.size());
      for (std::size_t t = 0; t < teams.size(); ++t) teams[t] = t;
      for (std::size_t t = teams.size(); t > 1; --t) {
        std::swap(teams[t - 1], teams[static_cast<std::size_t>(rng.Next() % t)]);
      }
      const int firstHour = std::max(0, league.firstHour - round.hoursEarlier);
      const int lastHour = std::max(firstHour, league.lastHour - round.hoursEarlier);
      for (std::size_t t = 0; t + 1 < teams.size() && matches_.size() < wanted; t += 2) {
        Match m;
        const std::size_t hi = teams[t];
        const std::size_t ai = teams[t + 1];
        m.league = std::string(league.name) + round.leagueSuffix + extraSuffix;
        m.home = std::string(league.teams[hi]) + round.teamSuffix;
        m.away = std::string(league.teams[ai]) + round.teamSuffix;
        m.tomorrow = tomorrow;
        m.date = tomorrow ? options.tomorrow : options.today;
        m.kickoff = firstHour * 60 + 15 * rng.Between(0, (lastHour - firstHour) * 4) +
                    (tomorrow ? kMinutesPerDay : 0);
        const double homeRating =
            TeamRating(options.seed, hi, league.teams.size(), league.teams[hi]);
        const double awayRating =
            TeamRating(options.seed, ai, league.teams.size(), league.teams[ai]);
        const double diff = homeRating - awayRating;
        m.homeMean = 1.45 * std::exp(0.8 * diff);
        m.awayMean = 1.12 * std::exp(-0.8 * diff);
        m.volume =
            (90000.0 * league.prestige * league.prestige * std::exp(0.45 * rng.Normal()) + 1500.0) *
            round.moneyScale;
        m.margin = 0.04 + 0.04 * (1.0 - league.prestige) + 0.005 * rng.Unit();
        m.phase = rng.Between(0, kPrematchTick - 1);
        m.possession = std::clamp(50.0 + 12.0 * diff + 3.0 * rng.Normal(), 30.0, 70.0);
        if (!tomorrow && rng.Chance(0.03)) {
          m.cancelAt = std::max(0, m.kickoff - rng.Between(20, 240));
        }
        if (rng.Chance(0.12)) {
          m.heavySelection = PickHeavySelection(rng);
          m.heavyFrom = m.kickoff - rng.Between(15, 300);
          const double market =
              m.volume * kMarketWeight[static_cast<std::size_t>(MarketOf(m.heavySelection))];
          m.heavyAmount = market * (1.5 + 1.0 * rng.Unit()) + 1500.0;
        }
        const double attack = m.homeMean / (m.homeMean + m.awayMean);
        m.goals = Draw(rng, m.homeMean, m.awayMean);
        m.shotsOn = Draw(rng, 2.0 + 3.0 * attack, 2.0 + 3.0 * (1 - attack));
        AddGoalsToShots(m.shotsOn, m.goals);
        m.shotsOff = Draw(rng, 3.5 + 4.0 * attack, 3.5 + 4.0 * (1 - attack));
        m.corners = Draw(rng, 3.0 + 4.0 * attack, 3.0 + 4.0 * (1 - attack));
        m.yellow = Draw(rng, 1.7, 1.9);
        m.red = Draw(rng, 0.07, 0.09);
        m.attacks = Draw(rng, 28.0 + 40.0 * attack, 28.0 + 40.0 * (1 - attack));
        m.tv = rng.Chance(0.35) ? "match/" : "-";
        m.key = rng.Next();
        matches_.push_back(std::move(m));
      }
    }
    ++pass;
  }

  std::stable_sort(matches_.begin(), matches_.end(), [](const Match& a, const Match& b) {
    return std::tie(a.kickoff, a.league, a.home) < std::tie(b.kickoff, b.league, b.home);
  });
  const std::uint64_t block = options.seed % 89;
  for (std::size_t i = 0; i < matches_.size(); ++i) {
    Match& m = matches_[i];
    const std::uint64_t n = i;
    m.id = Number(10'000'000ull + block * 100'000ull + n);
    m.my = Number(500'000ull + n * 7ull + options.seed % 7);
    if (m.tv != "-") m.tv += m.id;
  }
}

MatchState Day::StateAt(const Match& m, int minute) {
  MatchState s;
  if (m.cancelAt >= 0 && minute >= m.cancelAt) {
    s.status = Status::kCancel;
    return s;
  }
  const int elapsed = minute - m.kickoff;
  if (elapsed < 0) return s;
  s.playMinute = PlayMinute(elapsed);
  s.status = elapsed < kMatchEnd ? Status::kLive : Status::kFinish;
  if (s.status == Status::kLive) {
    s.minuteText =
        elapsed >= kFirstHalfEnd && elapsed < kBreakEnd ? "HT" : std::to_string(s.playMinute);
  }
  s.homeGoals = m.goals.HomeBy(s.playMinute);
  s.awayGoals = m.goals.AwayBy(s.playMinute);
  s.halfTimeReached = elapsed >= kFirstHalfEnd;
  s.halfHome = m.goals.HomeBy(kFirstHalfEnd);
  s.halfAway = m.goals.AwayBy(kFirstHalfEnd);
  return s;
}

MarketPicture Day::PrematchPicture(const Match& m, int minute) {
  if (m.cancelAt >= 0 && minute >= m.cancelAt) minute = m.cancelAt - 1;
  return Prematch(m, PrematchUpdate(m, minute));
}

MarketPicture Day::CurrentPicture(const Match& m, int minute) {
  if (m.cancelAt >= 0 && minute >= m.cancelAt) minute = m.cancelAt - 1;
  if (minute < m.kickoff) return Prematch(m, PrematchUpdate(m, minute));
  const int elapsed = std::min(minute - m.kickoff, kMatchEnd);
  return InPlay(m, m.kickoff + elapsed - elapsed % kLiveTick);
}

LiveStats Day::StatsAt(const Match& m, int minute) {
  const int play = PlayMinute(minute - m.kickoff);
  LiveStats stats;
  // Possession swings around the side's usual share in five-minute spells.
  const double swing = 4.0 * NormalOf(HashOf({m.key, 0x505, static_cast<std::uint64_t>(play / 5)}));
  const int home = static_cast<int>(std::lround(std::clamp(m.possession + swing, 25.0, 75.0)));
  stats.possession = std::to_string(home) + "%:" + std::to_string(100 - home) + "%";
  const auto pair = [play](const Events& e) { return Pair(e.HomeBy(play), e.AwayBy(play)); };
  stats.attacks = pair(m.attacks);
  stats.shotsOn = pair(m.shotsOn);
  stats.shotsOff = pair(m.shotsOff);
  stats.yellow = pair(m.yellow);
  stats.red = pair(m.red);
  stats.corners = pair(m.corners);
  return stats;
}

}  // namespace zelko_service
