#include "synthetic_day.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace zelko::bench {
namespace {

struct LeagueNames {
  const char* league;
  std::array<const char*, 8> teams;
};

// Russian sides carry Cyrillic names, so that the reply's decoding has real work to do.
constexpr std::array<LeagueNames, 6> kLeagues{{
    {"England. Premier League",
     {"Manchester City", "Arsenal", "Liverpool", "Chelsea", "Tottenham Hotspur", "Newcastle United",
      "Aston Villa", "Brighton & Hove Albion"}},
    {"Russia. Premier League",
     {"Спартак Москва", "Зенит Санкт-Петербург", "ЦСКА Москва", "Локомотив Москва", "Динамо Москва",
      "Краснодар", "Ростов", "Рубин Казань"}},
    {"Spain. La Liga",
     {"Real Madrid", "Barcelona", "Atletico Madrid", "Real Sociedad", "Sevilla", "Villarreal",
      "Real Betis", "Athletic Bilbao"}},
    {"Germany. Bundesliga",
     {"Bayern Munich", "Borussia Dortmund", "Bayer Leverkusen", "RB Leipzig", "Eintracht Frankfurt",
      "VfL Wolfsburg", "SC Freiburg", "Union Berlin"}},
    {"Italy. Serie A",
     {"Inter", "Milan", "Juventus", "Napoli", "Roma", "Lazio", "Atalanta", "Fiorentina"}},
    {"UEFA. Europa League",
     {"Ajax", "Porto", "Benfica", "Celtic", "Galatasaray", "Olympiacos", "Slavia Prague",
      "Dinamo Zagreb"}},
}};

constexpr std::array<std::string_view, 5> kLines = {"05", "15", "25", "35", "45"};

void Element(std::string& out, std::string_view name, std::string_view value) {
  out += '<';
  out += name;
  out += '>';
  out += value;
  out += "</";
  out += name;
  out += '>';
}

void Element(std::string& out, std::string_view name, long long value) {
  Element(out, name, std::to_string(value));
}

std::string Join(std::string_view a, std::string_view b) {
  std::string s(a);
  s += b;
  return s;
}

std::string OddsText(double odds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", odds);
  return text;
}

std::string Score(int home, int away) {
  return std::to_string(home) + ":" + std::to_string(away);
}

// Chance that a Poisson count with mean `mean` exceeds `line` + 0.5.
double ChanceOver(double mean, int line) {
  double term = std::exp(-mean);
  double atMost = term;
  for (int k = 1; k <= line; ++k) {
    term *= mean / k;
    atMost += term;
  }
  return std::clamp(1.0 - atMost, 0.01, 0.99);
}

// The market of a selection: 0 for 1X2, 1 to 5 for the goal lines.
std::size_t MarketOf(std::size_t selection) {
  return selection < 3 ? 0 : 1 + (selection - 3) / 2;
}

// The money and odds of one update: `variant` moves them a little.
struct Picture {
  std::array<double, kSelectionCount> odds{};
  std::array<long long, kSelectionCount> money{};
  std::array<long long, 6> total{};
  int Share(std::size_t selection) const {
    const long long all = total[MarketOf(selection)];
    return all == 0 ? 0 : static_cast<int>(money[selection] * 100 / all);
  }
};

Picture PictureOf(const SyntheticMatch& m, int variant) {
  Picture p;
  const double moneyScale = 1.0 + 0.013 * variant;
  const double oddsShift = 0.02 * variant;
  for (std::size_t s = 0; s < kSelectionCount; ++s) {
    p.odds[s] = std::max(1.01, m.odds[s] - oddsShift);
    p.money[s] = static_cast<long long>(static_cast<double>(m.money[s]) * moneyScale) +
                 static_cast<long long>(s) * variant;
    p.total[MarketOf(s)] += p.money[s];
  }
  return p;
}

std::string Radar(const Picture& p, std::string_view last) {
  std::string out;
  Element(out, "fsum", p.total[0]);
  Element(out, "f1", p.Share(0));
  Element(out, "fx", p.Share(1));
  Element(out, "f2", p.Share(2));
  Element(out, "fk1", OddsText(p.odds[0]));
  Element(out, "fkx", OddsText(p.odds[1]));
  Element(out, "fk2", OddsText(p.odds[2]));
  for (std::size_t l = 0; l < kLines.size(); ++l)
    Element(out, Join("fs", kLines[l]), p.total[l + 1]);
  for (std::size_t l = 0; l < kLines.size(); ++l)
    Element(out, Join("fo", kLines[l]), p.Share(3 + 2 * l));
  for (std::size_t l = 0; l < kLines.size(); ++l)
    Element(out, Join("fu", kLines[l]), p.Share(4 + 2 * l));
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    Element(out, Join("fko", kLines[l]), OddsText(p.odds[3 + 2 * l]));
  }
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    Element(out, Join("fku", kLines[l]), OddsText(p.odds[4 + 2 * l]));
  }
  Element(out, "last", last);
  return out;
}

std::string Market(const Picture& p, std::string_view last) {
  std::string out;
  const auto one = [&](std::string_view tag, std::size_t s) {
    Element(out, Join("k", tag), OddsText(p.odds[s]));
    Element(out, Join("pr", tag), p.Share(s));
    Element(out, Join("s", tag), p.money[s]);
  };
  one("1", 0);
  one("x", 1);
  one("2", 2);
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    one(Join("o", kLines[l]), 3 + 2 * l);
    one(Join("u", kLines[l]), 4 + 2 * l);
  }
  Element(out, "last", last);
  return out;
}

constexpr std::array<std::string_view, kSelectionCount> kSelectionNames = {
    "s1",   "sx",   "s2",   "so05", "su05", "so15", "su15",
    "so25", "su25", "so35", "su35", "so45", "su45"};

void AppendTodayRecord(std::string& out, const SyntheticMatch& m, std::string_view last,
                       int variant) {
  const Picture p = PictureOf(m, variant);
  const bool started = m.status == "LIVE" || m.status == "FINISH";
  const std::string score = started ? Score(m.homeGoals, m.awayGoals) : "-";
  out += "<match>";
  Element(out, "status", m.status);
  Element(out, "id", m.id);
  Element(out, "day", "1");
  Element(out, "liga", m.league);
  Element(out, "my", m.my);
  Element(out, "date", "01.01.2025");
  Element(out, "vr", ClockText(m.kickOff));
  Element(out, "home", m.home);
  Element(out, "away", m.away);
  Element(out, "m1x2", p.total[0]);
  for (std::size_t l = 0; l < kLines.size(); ++l)
    Element(out, Join("m", kLines[l]), p.total[l + 1]);
  for (std::size_t s = 0; s < kSelectionCount; ++s) {
    // "REF>>MONEY>>ODDS>>": the market's money, the selection's money and its odds.
    Element(out, kSelectionNames[s],
            std::to_string(p.total[MarketOf(s)]) + ">>" + std::to_string(p.money[s]) + ">>" +
                OddsText(p.odds[s]) + ">>");
  }
  Element(out, "score", score);
  Element(out, "score1", m.status == "FINISH" ? Score(m.halfHome, m.halfAway) : "");
  Element(out, "radar", Radar(p, last));
  Element(out, "bfpr", Market(p, last));
  std::string live = Market(p, last);
  Element(live, "score", started ? score : "0:0");
  Element(out, "bf_live", live);
  out += "</match>\n";
}

}  // namespace

std::string ClockText(int minute) {
  minute = ((minute % 1440) + 1440) % 1440;
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
  return text;
}

SyntheticDay::SyntheticDay(int matches, int live, std::uint64_t seed) : live_(live) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  constexpr int kNow = 12 * 60;  // the day's moment: noon
  matches_.reserve(static_cast<std::size_t>(matches));
  for (int n = 0; n < matches; ++n) {
    SyntheticMatch m;
    const LeagueNames& league = kLeagues[static_cast<std::size_t>(n) % kLeagues.size()];
    const auto home = static_cast<std::size_t>(rng() % league.teams.size());
    const auto away = (home + 1 + rng() % (league.teams.size() - 1)) % league.teams.size();
    m.id = std::to_string(1'000'000 + n * 13);
    m.my = std::to_string(500'000 + n * 7);
    m.league = league.league;
    m.home = league.teams[home];
    m.away = league.teams[away];
    m.tv = unit(rng) < 0.35 ? "match/" + m.id : "-";

    // Live matches spread evenly through the day's records; the others finished, called off
    // or still to come.
    const bool isLive = static_cast<long long>(n) * live / matches !=
                        static_cast<long long>(n + 1) * live / matches;
    const double draw = unit(rng);
    if (isLive) {
      m.status = "LIVE";
      m.playMinute = 1 + static_cast<int>(rng() % 90);
      m.kickOff = kNow - m.playMinute - (m.playMinute > 45 ? 15 : 0);
    } else if (draw < 0.35) {
      m.status = "FINISH";
      m.kickOff = kNow - 110 - static_cast<int>(rng() % 500);
    } else if (draw < 0.37) {
      m.status = "CANCEL";
      m.kickOff = kNow + static_cast<int>(rng() % 600);
    } else {
      m.status = "SOON";
      m.kickOff = kNow + 5 + static_cast<int>(rng() % 700);
    }
    if (m.status == "LIVE" || m.status == "FINISH") {
      const int played = m.status == "LIVE" ? m.playMinute : 90;
      m.homeGoals = static_cast<int>(rng() % 4) * played / 90;
      m.awayGoals = static_cast<int>(rng() % 3) * played / 90;
      m.halfHome = std::min(m.homeGoals, static_cast<int>(rng() % 2));
      m.halfAway = std::min(m.awayGoals, static_cast<int>(rng() % 2));
    }

    // Odds from plain chances with a five per cent margin, money in proportion to the chances.
    const double homeChance = 0.2 + 0.4 * unit(rng);
    const double drawChance = 0.2 + 0.1 * unit(rng);
    const double goalMean = 1.8 + 1.6 * unit(rng);
    std::array<double, kSelectionCount> chance{};
    chance[0] = homeChance;
    chance[1] = drawChance;
    chance[2] = 1.0 - homeChance - drawChance;
    for (int l = 0; l < 5; ++l) {
      const auto s = static_cast<std::size_t>(3 + 2 * l);
      chance[s] = ChanceOver(goalMean, l);
      chance[s + 1] = 1.0 - chance[s];
    }
    const double volume = 2'000.0 + 400'000.0 * unit(rng) * unit(rng);
    for (std::size_t s = 0; s < kSelectionCount; ++s) {
      m.odds[s] = std::clamp(1.0 / (chance[s] * 1.05), 1.01, 101.0);
      const double noise = 0.7 + 0.6 * unit(rng);
      m.money[s] = static_cast<long long>(volume * chance[s] * noise * (s < 3 ? 1.0 : 0.4));
    }
    matches_.push_back(std::move(m));
  }
}

std::string SyntheticDay::TodayReply(int stamp, int variant) const {
  const std::string last = ClockText(stamp);
  std::string out;
  out.reserve(matches_.size() * 5200);
  for (const SyntheticMatch& m : matches_) AppendTodayRecord(out, m, last, variant);
  return out;
}

std::string SyntheticDay::LiveReply(int variant) const {
  std::string out;
  int n = 0;
  for (const SyntheticMatch& m : matches_) {
    if (m.status != "LIVE") continue;
    const bool goal = variant != 0 && n++ % 20 == 0;
    const int minute = std::min(90, m.playMinute + (variant != 0 ? 1 : 0));
    out += "<match>";
    Element(out, "id", m.id);
    Element(out, "liga", m.league);
    Element(out, "vr", ClockText(m.kickOff));
    Element(out, "time", std::to_string(minute));
    Element(out, "home", m.home);
    Element(out, "away", m.away);
    Element(out, "score", Score(m.homeGoals + (goal ? 1 : 0), m.awayGoals));
    Element(out, "score1", minute > 45 ? Score(m.halfHome, m.halfAway) : "");
    Element(out, "w1", OddsText(m.odds[0]));
    Element(out, "d", OddsText(m.odds[1]));
    Element(out, "w2", OddsText(m.odds[2]));
    Element(out, "pos", "54:46");
    Element(out, "da", std::to_string(minute / 2) + ":" + std::to_string(minute / 3));
    Element(out, "on", "3:2");
    Element(out, "off", "4:5");
    Element(out, "yc", "1:2");
    Element(out, "rc", "0:0");
    Element(out, "cor", "5:3");
    Element(out, "tv", m.tv);
    Element(out, "my", m.my);
    out += "</match>\n";
  }
  return out;
}

void SetLastStamps(std::string& reply, std::string_view clock) {
  constexpr std::string_view kOpen = "<last>";
  std::size_t pos = reply.find(kOpen);
  while (pos != std::string::npos) {
    const std::size_t value = pos + kOpen.size();
    if (value + clock.size() <= reply.size()) reply.replace(value, clock.size(), clock);
    pos = reply.find(kOpen, value);
  }
}

}  // namespace zelko::bench
