#include "feed_format.h"

#include <array>
#include <string_view>

namespace zelko_service {
namespace {

// Element-name suffixes of the five goal lines.
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

// "REF>>MONEY>>ODDS>>": the market's regular money, the selection's money and its odds.
std::string SelectionText(const MarketPicture& p, int selection) {
  const auto s = static_cast<std::size_t>(selection);
  return std::to_string(p.regular[static_cast<std::size_t>(MarketOf(selection))]) + ">>" +
         std::to_string(p.money[s]) + ">>" + OddsText(p.odds[s]) + ">>";
}

std::string Score(int home, int away) {
  return std::to_string(home) + ":" + std::to_string(away);
}

std::string Radar(const MarketPicture& p) {
  std::string out;
  Element(out, "fsum", p.total[0]);
  Element(out, "f1", p.Share(kW1));
  Element(out, "fx", p.Share(kX));
  Element(out, "f2", p.Share(kW2));
  Element(out, "fk1", OddsText(p.odds[kW1]));
  Element(out, "fkx", OddsText(p.odds[kX]));
  Element(out, "fk2", OddsText(p.odds[kW2]));
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    Element(out, Join("fs", kLines[l]), p.total[l + 1]);
  }
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    Element(out, Join("fo", kLines[l]), p.Share(kO05 + 2 * static_cast<int>(l)));
  }
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    Element(out, Join("fu", kLines[l]), p.Share(kU05 + 2 * static_cast<int>(l)));
  }
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    Element(out, Join("fko", kLines[l]), OddsText(p.odds[kO05 + 2 * l]));
  }
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    Element(out, Join("fku", kLines[l]), OddsText(p.odds[kU05 + 2 * l]));
  }
  Element(out, "last", ClockText(p.updatedAt));
  return out;
}

// The market elements shared by "bfpr" and "bf_live": odds, share and money per selection.
std::string Market(const MarketPicture& p) {
  std::string out;
  const auto one = [&](std::string_view tag, int selection) {
    const auto s = static_cast<std::size_t>(selection);
    Element(out, Join("k", tag), OddsText(p.odds[s]));
    Element(out, Join("pr", tag), p.Share(selection));
    Element(out, Join("s", tag), p.money[s]);
  };
  one("1", kW1);
  one("x", kX);
  one("2", kW2);
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    one(Join("o", kLines[l]), kO05 + 2 * static_cast<int>(l));
    one(Join("u", kLines[l]), kU05 + 2 * static_cast<int>(l));
  }
  Element(out, "last", ClockText(p.updatedAt));
  return out;
}

constexpr std::array<std::string_view, kSelections> kSelectionNames = {
    "s1",   "sx",   "s2",   "so05", "su05", "so15", "su15",
    "so25", "su25", "so35", "su35", "so45", "su45"};

}  // namespace

std::string TodayRecord(const Match& m, int minute) {
  const MatchState state = Day::StateAt(m, minute);
  const MarketPicture current = Day::CurrentPicture(m, minute);
  const MarketPicture prematch = Day::PrematchPicture(m, minute);
  const bool started = state.status == Status::kLive || state.status == Status::kFinish;

  std::string out = "<match>";
  Element(out, "status", StatusWord(state.status));
  Element(out, "id", m.id);
  // The today load takes the records marked "1"; tomorrow's come marked "0".
  Element(out, "day", m.tomorrow ? "0" : "1");
  Element(out, "liga", m.league);
  Element(out, "my", m.my);
  Element(out, "date", m.date);
  Element(out, "vr", ClockText(m.kickoff));
  Element(out, "home", m.home);
  Element(out, "away", m.away);
  Element(out, "m1x2", current.total[0]);
  for (std::size_t l = 0; l < kLines.size(); ++l) {
    Element(out, Join("m", kLines[l]), current.total[l + 1]);
  }
  for (int s = 0; s < kSelections; ++s) {
    Element(out, kSelectionNames[static_cast<std::size_t>(s)], SelectionText(current, s));
  }
  Element(out, "score", started ? Score(state.homeGoals, state.awayGoals) : "-");
  Element(out, "score1", state.halfTimeReached ? Score(state.halfHome, state.halfAway) : "");

  // Nested elements last: they repeat the names s1 ... su45 and score.
  Element(out, "radar", Radar(current));
  Element(out, "bfpr", Market(prematch));
  std::string live = Market(started ? current : prematch);
  Element(live, "score", started ? Score(state.homeGoals, state.awayGoals) : "0:0");
  Element(out, "bf_live", live);
  out += "</match>\n";
  return out;
}

std::string LiveRecord(const Match& m, int minute) {
  const MatchState state = Day::StateAt(m, minute);
  const MarketPicture current = Day::CurrentPicture(m, minute);
  const LiveStats stats = Day::StatsAt(m, minute);
  std::string out = "<match>";
  Element(out, "id", m.id);
  Element(out, "liga", m.league);
  Element(out, "vr", ClockText(m.kickoff));
  Element(out, "time", state.minuteText);
  Element(out, "home", m.home);
  Element(out, "away", m.away);
  Element(out, "score", Score(state.homeGoals, state.awayGoals));
  Element(out, "score1", state.halfTimeReached ? Score(state.halfHome, state.halfAway) : "");
  Element(out, "w1", OddsText(current.odds[kW1]));
  Element(out, "d", OddsText(current.odds[kX]));
  Element(out, "w2", OddsText(current.odds[kW2]));
  Element(out, "pos", stats.possession);
  Element(out, "da", stats.attacks);
  Element(out, "on", stats.shotsOn);
  Element(out, "off", stats.shotsOff);
  Element(out, "yc", stats.yellow);
  Element(out, "rc", stats.red);
  Element(out, "cor", stats.corners);
  Element(out, "tv", m.tv);
  Element(out, "my", m.my);
  out += "</match>\n";
  return out;
}

std::string TodayFeed(const Day& day, int minute) {
  std::string out;
  for (const Match& m : day.Matches()) out += TodayRecord(m, minute);
  return out;
}

std::string LiveFeed(const Day& day, int minute) {
  std::string out;
  for (const Match& m : day.Matches()) {
    if (Day::StateAt(m, minute).status == Status::kLive) out += LiveRecord(m, minute);
  }
  return out;
}

}  // namespace zelko_service
