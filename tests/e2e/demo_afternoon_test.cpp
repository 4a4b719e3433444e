// zelko-cli against the real demo data service over a simulated afternoon: the service runs its
// clock at 600 simulated seconds per real second from 14:00, and the test hands zelko-cli the
// timer ticks of the seconds that have passed, so that the live and money refreshes come as
// often as they would for a user watching the afternoon. Along the way it follows the matches
// on RX, double-clicks the rows about to start or running, and at the end reads what the
// service stored in its SQLite file and shows on its status page.

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include "e2e/process.h"

namespace zelko::e2e {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr double kSpeed = 600;   // simulated seconds per real second
constexpr int kStart = 14 * 60;  // simulated minutes
constexpr int kEnd = 18 * 60;    // the afternoon is over
constexpr auto kStep = 500ms;    // real time between two looks at the board: 5 minutes
constexpr int kRevisit = 3;      // looks between two reloads, and two analyses of a match

// RX columns the test reads (the board's own column table names them the same way).
constexpr int kId = 0;
constexpr int kMy = 1;
constexpr int kStatus = 73;
constexpr int kBookVerdict = 97;
constexpr int kMoneyVerdict = 98;
constexpr std::array<int, 3> kMoney1X2 = {29, 32, 35};  // the money on W1, X and W2
// SBX and LiveStatGrid columns.
constexpr int kSbxMy = 0;
constexpr int kSbxBet = 5;
constexpr int kStatEvent = 7;

// The 13 selections: the hidden RX column of each one's "REFERENCE>>MONEY>>ODDS>>" text and
// the label of a StrangeBet on it.
constexpr std::array<std::pair<int, const char*>, 13> kSelectionTexts{{{9, "WIN1"},
                                                                       {10, "DRAW"},
                                                                       {11, "WIN2"},
                                                                       {13, "O0.5"},
                                                                       {14, "U0.5"},
                                                                       {16, "O1.5"},
                                                                       {17, "U1.5"},
                                                                       {19, "O2.5"},
                                                                       {20, "U2.5"},
                                                                       {22, "O3.5"},
                                                                       {23, "U3.5"},
                                                                       {25, "O4.5"},
                                                                       {26, "U4.5"}}};

std::string Text(const json& grid, int row, int column) {
  return grid["cells"][static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]["text"]
      .get<std::string>();
}

// The selections of an RX row that an analysis must list as StrangeBets: money of at least
// 1000 and clearly above its market's regular money (the rounding edge is left out).
std::vector<std::string> ExpectedStrangeBets(const json& rx, int row) {
  std::vector<std::string> bets;
  for (const auto& [column, label] : kSelectionTexts) {
    const std::string text = Text(rx, row, column);
    const std::size_t first = text.find(">>");
    if (first == std::string::npos) continue;
    const double reference = std::strtod(text.c_str(), nullptr);
    const double money = std::strtod(text.c_str() + first + 2, nullptr);
    if (reference > 0 && money >= 1000 && money * 100 / reference > 100.5) bets.push_back(label);
  }
  return bets;
}

// The write end of a named pipe that zelko-cli reads as its script, one command a line.
class CommandPipe {
 public:
  explicit CommandPipe(fs::path path) : path_(std::move(path)) {
    if (::mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("mkfifo");
  }
  CommandPipe(const CommandPipe&) = delete;
  CommandPipe& operator=(const CommandPipe&) = delete;
  ~CommandPipe() { Close(); }

  // Waits until the reader has opened the pipe; false when it has not within the limit.
  bool Connect(std::chrono::milliseconds limit) {
    const auto deadline = Steady::now() + limit;
    while (Steady::now() < deadline) {
      fd_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (fd_ >= 0) {
        // From here on a write waits for room, as a terminal's would.
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        return true;
      }
      if (errno != ENXIO) return false;
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }
  void Send(const std::string& lines) {
    std::size_t done = 0;
    while (done < lines.size()) {
      const ssize_t n = ::write(fd_, lines.data() + done, lines.size() - done);
      if (n <= 0) throw std::runtime_error("zelko-cli stopped reading its commands");
      done += static_cast<std::size_t>(n);
    }
  }
  // The end of the script.
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  fs::path path_;
  int fd_ = -1;
};

// What the service stored, read straight from its SQLite file.
struct StoredSignals {
  std::map<std::string, int> byPath;                    // "/bf/bffa.php" -> count
  std::map<std::string, std::vector<std::string>> ids;  // path -> its "my" or "id" values
  std::set<std::string> logins;
  long long total = 0;
};

StoredSignals ReadStore(const fs::path& file) {
  StoredSignals stored;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << file << ": " << (db ? sqlite3_errmsg(db) : "?");
    sqlite3_close(db);
    return stored;
  }
  const char* sql =
      "SELECT s.path, s.login, v.key, v.value FROM signals s "
      "LEFT JOIN signal_values v ON v.signal_id = s.id "
      "AND v.position = (SELECT MIN(position) FROM signal_values WHERE signal_id = s.id) "
      "ORDER BY s.id";
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot read the signals: " << sqlite3_errmsg(db);
    sqlite3_close(db);
    return stored;
  }
  const auto column = [&](int i) {
    const unsigned char* text = sqlite3_column_text(statement, i);
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
  };
  while (sqlite3_step(statement) == SQLITE_ROW) {
    const std::string path = column(0);
    ++stored.byPath[path];
    ++stored.total;
    stored.logins.insert(column(1));
    // Every signal opens with the match it is about: "my" of an analysis, "id" of the others.
    stored.ids[path].push_back(column(3));
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return stored;
}

class DemoAfternoon : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zelko-afternoon-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "cwd");
    // A zelko-cli that died must fail the test, not end it through a write to its pipe.
    std::signal(SIGPIPE, SIG_IGN);
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
  }

  // Reads zelko-cli's lines until the dump of `grid`; events on the way are kept.
  json ReadDump(Child& cli, const std::string& grid) {
    while (true) {
      const std::string line = cli.ReadLine(20s);
      if (line.empty()) {
        ADD_FAILURE() << "no dump of " << grid << " from zelko-cli";
        return json();
      }
      json parsed = json::parse(line, nullptr, false);
      if (parsed.is_discarded()) {
        ADD_FAILURE() << "not JSON: " << line.substr(0, 200);
        continue;
      }
      if (parsed.value("grid", "") == grid) return parsed;
      if (parsed.contains("event")) events_.push_back(std::move(parsed));
    }
  }

  fs::path dir_;
  std::vector<json> events_;
};

TEST_F(DemoAfternoon, MatchesRunTheirCourseAndTheSignalsReachTheService) {
  const fs::path db = dir_ / "demo.sqlite";
  Child service(ZELKO_DEMO_SERVICE_PATH,
                {"--bind", "127.0.0.1", "--port", "0", "--db", db.string(), "--matches", "120",
                 "--seed", "12", "--clock", "14:00", "--speed", "600"},
                dir_.string());
  const std::string banner = service.ReadLine(10s);
  // The simulated clock runs from here.
  const Steady::time_point started = Steady::now();
  const std::string prefix = "zelko-demo-service listening on http://127.0.0.1:";
  ASSERT_EQ(banner.rfind(prefix, 0), 0u) << "the demo service did not start: " << banner;
  const int port = std::stoi(banner.substr(prefix.size()));
  const std::string host = "127.0.0.1:" + std::to_string(port);

  CommandPipe commands(dir_ / "commands");
  Child cli(ZELKO_CLI_PATH, {"--service", host, "--script", (dir_ / "commands").string()},
            (dir_ / "cwd").string(), {{"ZELKO_SERVICE", ""}});
  ASSERT_TRUE(commands.Connect(10s)) << "zelko-cli did not open its script";

  commands.Send("type loginedit demo\ntype passedit demo\nclick LOGIN\ndump form\ndump RX\n");
  {
    const std::string line = cli.ReadLine(20s);
    const json form = json::parse(line, nullptr, false);
    ASSERT_TRUE(form.contains("form")) << "no form after the login: " << line.substr(0, 300);
    ASSERT_EQ(form["form"]["tabs"]["Page"]["active"], 1) << "the board did not open";
  }

  // Every status an ID showed on RX, in order, each change once.
  std::map<std::string, std::vector<std::string>> course;
  // The last status under which a match was analysed: a running match is analysed once.
  std::map<std::string, std::string> analysedAs;
  std::set<std::string> analysedMy;
  // (MY, selection) of the StrangeBets the analysed figures call for.
  std::set<std::pair<std::string, std::string>> expected;
  int analyses = 0;
  int bigBets = 0;  // analyses whose verdicts call for a BigBet
  long long ticksSent = 0;
  int simMinute = kStart;
  int looks = 0;

  const auto look = [&](const json& rx) {
    ++looks;
    for (int row = 0; row < rx["rows"].get<int>(); ++row) {
      std::vector<std::string>& seen = course[Text(rx, row, kId)];
      const std::string status = Text(rx, row, kStatus);
      if (seen.empty() || seen.back() != status) seen.push_back(status);
    }
  };
  look(ReadDump(cli, "RX"));

  while (simMinute < kEnd) {
    std::this_thread::sleep_until(started + kStep * looks);
    const double realSeconds = std::chrono::duration<double>(Steady::now() - started).count();
    simMinute = kStart + static_cast<int>(realSeconds * kSpeed / 60);
    // The seconds of the monitor's own clock that have gone by since the last look.
    const long long ticks = static_cast<long long>(realSeconds * kSpeed) - ticksSent;
    ticksSent += ticks;
    // The money refresh shows the new figures, but the analysis reads the selection texts of
    // the last full load: now and then the bettor presses "Refresh".
    const bool reload = looks % kRevisit == 0;
    commands.Send("tick Timer1 " + std::to_string(ticks) + "\ntick Timer2 " +
                  std::to_string(ticks) + (reload ? "\nclick ar" : "") + "\ndump RX\n");
    const json rx = ReadDump(cli, "RX");
    ASSERT_TRUE(rx.contains("cells"));
    look(rx);

    // Double-click, as a bettor would: every running match once, every match of the day now
    // and then (each in its own turn, one in three looks), and at once any match whose money
    // has just run past its market's regular money.
    std::string clicks;
    std::vector<int> clicked;
    for (int row = 0; row < rx["rows"].get<int>(); ++row) {
      const std::string status = Text(rx, row, kStatus);
      const std::string id = Text(rx, row, kId);
      const std::string my = Text(rx, row, kMy);
      if (status != "SOON" && status != "LIVE") continue;
      const std::vector<std::string> strange = ExpectedStrangeBets(rx, row);
      const bool fresh = std::any_of(strange.begin(), strange.end(), [&](const std::string& bet) {
        return !expected.count({my, bet});
      });
      const bool due = status == "LIVE" ? analysedAs[id] != "LIVE"
                                        : std::stoll(id) % kRevisit == looks % kRevisit;
      if (!fresh && !due) continue;
      for (const std::string& bet : strange) expected.emplace(my, bet);
      analysedAs[id] = status;
      analysedMy.insert(my);
      clicks += "dblclick RX 0 " + std::to_string(row) + "\n";
      clicked.push_back(row);
      ++analyses;
    }
    if (!clicks.empty()) {
      commands.Send(clicks + "dump RX\n");
      const json analysed = ReadDump(cli, "RX");
      ASSERT_TRUE(analysed.contains("cells"));
      // Both verdicts of a match before kick-off agree, on 1X2 money above 1000: a BigBet.
      for (const int row : clicked) {
        const std::string verdict = Text(analysed, row, kBookVerdict);
        if (Text(analysed, row, kStatus) != "SOON" || verdict.empty() ||
            verdict != Text(analysed, row, kMoneyVerdict)) {
          continue;
        }
        long long money1x2 = 0;
        for (const int column : kMoney1X2)
          money1x2 += std::atoll(Text(analysed, row, column).c_str());
        if (money1x2 > 1000) ++bigBets;
      }
    }
  }

  commands.Send("dump SBX\ndump LiveStatGrid\n");
  const json sbx = ReadDump(cli, "SBX");
  const json stat = ReadDump(cli, "LiveStatGrid");
  commands.Close();
  const Finished cliDone = cli.Wait(20s);
  EXPECT_EQ(cliDone.exitCode, 0) << cliDone.err;
  for (const json& line : events_) ADD_FAILURE() << "unexpected event: " << line.dump();

  // Matches that kicked off this afternoon went the whole way on RX.
  int fullCourses = 0;
  int wentLive = 0;
  for (const auto& [id, seen] : course) {
    const auto soon = std::find(seen.begin(), seen.end(), "SOON");
    const auto live = std::find(soon, seen.end(), "LIVE");
    const auto finish = std::find(live, seen.end(), "FINISH");
    if (soon != seen.end() && live != seen.end()) ++wentLive;
    if (finish != seen.end()) ++fullCourses;
    // No status comes back once a match is over.
    if (std::find(seen.begin(), seen.end(), "FINISH") != seen.end()) {
      EXPECT_EQ(seen.back(), "FINISH") << "match " << id;
    }
  }
  EXPECT_GE(fullCourses, 10) << "matches seen going SOON, LIVE, FINISH";
  EXPECT_GE(wentLive, fullCourses);

  // Goals reached the live statistics grid.
  int goals = 0;
  for (int row = 0; row < stat["rows"].get<int>(); ++row) {
    const std::string event = Text(stat, row, kStatEvent);
    if (event.size() > 5 && event.compare(event.size() - 5, 5, " Goal") == 0) ++goals;
  }
  EXPECT_GE(goals, 10) << "goal lines in LiveStatGrid";

  // The analyses raised StrangeBets, each one listed once per match and selection.
  const int strangeBets = sbx["rows"].get<int>();
  EXPECT_GE(strangeBets, 5) << "StrangeBets in SBX after " << analyses << " analyses";
  std::set<std::pair<std::string, std::string>> listed;
  for (int row = 0; row < strangeBets; ++row) {
    EXPECT_TRUE(listed.emplace(Text(sbx, row, kSbxMy), Text(sbx, row, kSbxBet)).second)
        << "listed twice: " << Text(sbx, row, kSbxMy) << " " << Text(sbx, row, kSbxBet);
    EXPECT_TRUE(analysedMy.count(Text(sbx, row, kSbxMy))) << "StrangeBet of an unanalysed match";
  }
  for (const auto& [my, bet] : expected) {
    EXPECT_TRUE(listed.count({my, bet})) << "no StrangeBet " << bet << " for " << my;
  }
  EXPECT_GE(expected.size(), 5u) << "analysed figures calling for a StrangeBet";

  // The status page counts what was received, then the service stops and its file is read.
  std::string page;
  {
    httplib::Client client("127.0.0.1", port);
    client.set_connection_timeout(5);
    client.set_read_timeout(10);
    const auto reply = client.Get("/");
    ASSERT_TRUE(reply) << "no status page";
    EXPECT_EQ(reply->status, 200);
    page = reply->body;
  }
  service.Terminate();
  const Finished serviceDone = service.Wait(10s);
  EXPECT_EQ(serviceDone.exitCode, 0) << serviceDone.err;

  StoredSignals stored = ReadStore(db);
  EXPECT_EQ(stored.byPath["/bf/bffa.php"], analyses) << "one stored analysis a double click";
  EXPECT_EQ(stored.byPath["/bf/sb.php"], strangeBets) << "one stored StrangeBet an SBX row";
  EXPECT_GE(bigBets, 1) << "analyses whose verdicts agree";
  EXPECT_GE(stored.byPath["/bf/bb.php"], bigBets) << "BigBets stored";
  for (const std::string& my : stored.ids["/bf/bffa.php"]) EXPECT_TRUE(analysedMy.count(my)) << my;
  std::set<std::string> sbxMy;
  for (const auto& entry : listed) sbxMy.insert(entry.first);
  for (const std::string& my : stored.ids["/bf/sb.php"]) EXPECT_TRUE(sbxMy.count(my)) << my;
  std::set<std::string> rxIds;
  for (const auto& entry : course) rxIds.insert(entry.first);
  for (const std::string& id : stored.ids["/bf/bb.php"]) {
    EXPECT_TRUE(rxIds.count(id)) << "BigBet of a match RX never had: " << id;
  }
  EXPECT_NE(page.find("Latest signals (" + std::to_string(stored.total) + " received)"),
            std::string::npos)
      << "the status page does not count the " << stored.total << " signals";

  const double realSeconds = std::chrono::duration<double>(Steady::now() - started).count();
  std::printf(
      "afternoon 14:00-18:00 in %.1f s: %zu matches on RX, %d went live, %d SOON->LIVE->FINISH, "
      "%d goal lines, %d analyses, %d StrangeBets, %d BigBets; stored: %d analyses, %d "
      "StrangeBets, "
      "%d BigBets (%lld signals)\n",
      realSeconds, course.size(), wentLive, fullCourses, goals, analyses, strangeBets, bigBets,
      stored.byPath["/bf/bffa.php"], stored.byPath["/bf/sb.php"], stored.byPath["/bf/bb.php"],
      stored.total);
}

}  // namespace
}  // namespace zelko::e2e
