#include "status_page.h"

#include <cstdio>
#include <string_view>

namespace zelko_service {
namespace {

void Cell(std::string& out, const std::string& text) {
  out += "<td>";
  out += EscapeHtml(text);
  out += "</td>";
}

std::string Score(int home, int away) {
  return std::to_string(home) + ":" + std::to_string(away);
}

std::string Value(const Signal& s, std::string_view key) {
  for (const auto& [k, v] : s.values) {
    if (k == key) return v;
  }
  return {};
}

// One line of what a signal says, the way a bettor reads it.
std::string Summary(const Signal& s) {
  if (s.path == "/bf/sb.php" || s.path == "/bf/bb.php") {
    std::string text = Value(s, "home") + " - " + Value(s, "away") + ", " + Value(s, "bet") +
                       " @ " + Value(s, "kf");
    if (s.path == "/bf/sb.php") text += ", " + Value(s, "sum") + " (" + Value(s, "status") + ")";
    return text;
  }
  return "my " + Value(s, "my") + ", " + Value(s, "status") + " " + Value(s, "score") + ", 1 " +
         Value(s, "k1") + " (" + Value(s, "pr1") + "%), X " + Value(s, "kx") + " (" +
         Value(s, "prx") + "%), 2 " + Value(s, "k2") + " (" + Value(s, "pr2") + "%)";
}

std::string Kind(const std::string& path) {
  if (path == "/bf/sb.php") return "StrangeBet";
  if (path == "/bf/bb.php") return "BigBet";
  if (path == "/bf/bffa.php") return "Analysis";
  return path;
}

}  // namespace

std::string EscapeHtml(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string RenderStatusPage(const Day& day, int minute, double speed,
                             const std::vector<Signal>& signals, long long signalCount) {
  std::string out =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
      "<meta http-equiv=\"refresh\" content=\"30\"><title>Zelko demo service</title>"
      "<style>body{font-family:sans-serif;font-size:13px}table{border-collapse:collapse}"
      "td,th{border:1px solid #ccc;padding:2px 6px}th{background:#eee}"
      ".LIVE{color:#c00;font-weight:bold}.FINISH{color:#666}.CANCEL{color:#999}</style>"
      "</head><body>\n";
  out += "<h1>Zelko demo service</h1>\n<p>Simulated time: <b>" + ClockText(minute) + "</b>";
  if (minute >= kMinutesPerDay) out += " (next day)";
  char speedText[32];
  std::snprintf(speedText, sizeof speedText, "%g", speed);
  out += " &middot; speed " + std::string(speedText) + "&times;</p>\n";

  out += "<h2>Latest signals (" + std::to_string(signalCount) + " received)</h2>\n";
  out +=
      "<table><tr><th>#</th><th>Received (UTC)</th><th>Clock</th><th>Login</th>"
      "<th>Kind</th><th>What</th></tr>\n";
  for (const Signal& s : signals) {
    out += "<tr>";
    Cell(out, std::to_string(s.id));
    Cell(out, s.received);
    Cell(out, s.clock);
    Cell(out, s.login);
    Cell(out, Kind(s.path));
    Cell(out, Summary(s));
    out += "</tr>\n";
  }
  out += "</table>\n";

  out +=
      "<h2>Matches</h2>\n<table><tr><th>Date</th><th>Time</th><th>League</th><th>Home</th>"
      "<th>Away</th><th>Status</th><th>Min</th><th>Score</th></tr>\n";
  for (const Match& m : day.Matches()) {
    const MatchState state = Day::StateAt(m, minute);
    const std::string status = StatusWord(state.status);
    const bool started = state.status == Status::kLive || state.status == Status::kFinish;
    std::string score = started ? Score(state.homeGoals, state.awayGoals) : "-";
    if (state.halfTimeReached) score += " (" + Score(state.halfHome, state.halfAway) + ")";
    out += "<tr class=\"" + status + "\">";
    Cell(out, m.date);
    Cell(out, ClockText(m.kickoff));
    Cell(out, m.league);
    Cell(out, m.home);
    Cell(out, m.away);
    Cell(out, status);
    Cell(out, state.minuteText);
    Cell(out, score);
    out += "</tr>\n";
  }
  out += "</table>\n</body></html>\n";
  return out;
}

}  // namespace zelko_service
