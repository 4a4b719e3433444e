// The command-line twin through a whole simulated day against the demo service with one
// request in five going wrong (error status, stall, reply cut short, dropped connection,
// garbage), the ticks delivered as fast as the day goes by. Then the faults stop: one good load
// must give the board a fresh start gives.
//
// ZELKO_SOAK_SECONDS (default 60) is the real time the 24 simulated hours take.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "child_process.h"

#if defined(ZELKO_CLI_PATH) && defined(ZELKO_SERVICE_PATH)

namespace zelko {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kDaySeconds = 24 * 60 * 60;
constexpr int kLiveRefreshes = kDaySeconds / 60;  // one live pass per simulated minute
// Every request ends within the time-outs: 10 s to connect, 30 s without a byte. A tick
// command sends at most two (a live pass and a money refresh).
constexpr auto kCommandBound = 2 * (10s + 30s);
// Where the faulty service hands over to the good one: matches are running then.
constexpr const char* kHandOver = "15:30";
const long kMemoryBoundKb = (test::kUnderAsan ? 600 : 200) * 1024;

int SoakSeconds() {
  const char* text = std::getenv("ZELKO_SOAK_SECONDS");
  const int seconds = text != nullptr ? std::atoi(text) : 60;
  return std::clamp(seconds, 5, 600);
}

// One demo service on 127.0.0.1; `port` 0 picks a free one.
struct Service {
  Service(const test::TempDir& dir, const std::string& name, int listenPort,
          const std::vector<std::string>& extra) {
    std::vector<std::string> argv{ZELKO_SERVICE_PATH,
                                  "--port",
                                  std::to_string(listenPort),
                                  "--seed",
                                  "3",
                                  "--matches",
                                  "300",
                                  "--db",
                                  ":memory:",
                                  "--date",
                                  "10.12.2026"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    process = std::make_unique<test::ChildProcess>(argv, dir.path(), dir.path() / (name + ".err"));
    const auto line = process->ReadUntil("zelko-demo-service listening on", 20s);
    if (!line) throw std::runtime_error("the demo service did not start: " + process->Stderr());
    this->port = std::stoi(line->substr(line->rfind(':') + 1));
  }
  std::string HostPort() const { return "127.0.0.1:" + std::to_string(port); }
  std::unique_ptr<test::ChildProcess> process;
  int port = 0;
};

// A command-line twin with a command channel that waits for each command to end.
class Twin {
 public:
  Twin(const test::TempDir& dir, const std::string& name, const std::string& hostPort)
      : process_({ZELKO_CLI_PATH, "--service", hostPort}, dir.path(),
                 dir.path() / (name + ".err")) {}

  // Sends the lines, then "dump form", and waits for the form: gives how long it all took.
  std::chrono::milliseconds Run(const std::vector<std::string>& lines) {
    const auto start = Clock::now();
    for (const std::string& line : lines) {
      if (!process_.WriteLine(line)) throw std::runtime_error("the twin stopped reading");
    }
    process_.WriteLine("dump form");
    std::vector<std::string> seen;
    const auto form = process_.ReadUntil("{\"form\":", kCommandBound + 30s, &seen);
    for (const std::string& line : seen) Note(line);
    if (!form) throw std::runtime_error("no form dump within the time-outs: " + process_.Stderr());
    form_ = nlohmann::json::parse(*form);
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  }
  nlohmann::json Dump(const std::string& grid) {
    process_.WriteLine("dump " + grid);
    std::vector<std::string> seen;
    const auto line = process_.ReadUntil("{\"grid\":\"" + grid + "\"", 60s, &seen);
    for (const std::string& other : seen) Note(other);
    if (!line) throw std::runtime_error("no dump of " + grid);
    return nlohmann::json::parse(*line);
  }
  // Logs in, again while the service's faults get in the way; true once the board shows.
  bool LogIn() {
    for (int attempt = 0; attempt < 10; ++attempt) {
      Run({"type loginedit demo", "type passedit demo", "click LOGIN"});
      if (form_["form"]["tabs"]["Page"]["active"] == 1) return true;
    }
    return false;
  }

  test::ChildProcess& process() { return process_; }
  int errors = 0;
  int messages = 0;
  bool closed = false;

 private:
  void Note(const std::string& line) {
    if (line.find("\"event\":\"error\"") != std::string::npos) ++errors;
    if (line.find("\"event\":\"message\"") != std::string::npos) ++messages;
    if (line.find("\"event\":\"closed\"") != std::string::npos) closed = true;
  }
  test::ChildProcess process_;
  nlohmann::json form_;
};

TEST(FaultSoak, ADayOfFaultsThenOneGoodLoadGivesAFreshBoard) {
  test::TempDir dir("zelko-soak");
  const int seconds = SoakSeconds();
  const double speed = static_cast<double>(kDaySeconds) / seconds;
  // A stalled reply waits a quarter of a second here: every kind of fault comes round some
  // seventy times a day, and the day still fits into CI.
  auto faulty = std::make_unique<Service>(
      dir, "faulty", 0,
      std::vector<std::string>{"--faults", "0.2", "--fault-delay", "0.25", "--speed",
                               std::to_string(speed), "--clock", "00:00", "--clock-control"});
  const int port = faulty->port;

  Twin soaked(dir, "soaked", faulty->HostPort());
  ASSERT_TRUE(soaked.LogIn()) << soaked.process().Stderr();

  const auto start = Clock::now();
  const auto step = std::chrono::duration<double>(seconds) / kLiveRefreshes;
  std::chrono::milliseconds longest{0};
  int requests = 4;  // probe, login, today and live of the login
  for (int minute = 0; minute < kLiveRefreshes; ++minute) {
    // Keep pace with the simulated clock; a slow stretch is caught up without waiting.
    std::this_thread::sleep_until(start +
                                  std::chrono::duration_cast<Clock::duration>(step * minute));
    std::vector<std::string> lines{"tick Timer1 60"};
    ++requests;
    if (minute % 5 == 4) {
      lines.push_back("tick Timer2 300");
      ++requests;
    }
    longest = std::max(longest, soaked.Run(lines));
    ASSERT_FALSE(soaked.closed) << "the window closed at minute " << minute;
    ASSERT_FALSE(soaked.process().Exited()) << soaked.process().Stderr();
  }
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  const long peakKb = soaked.process().StatusKb("VmHWM");
  EXPECT_GT(peakKb, 0);
  EXPECT_LT(peakKb, kMemoryBoundKb);
  EXPECT_LT(longest, kCommandBound);
  std::printf(
      "soak: %d requests, %d of them faulty, in %.1f s; longest command %lld ms; "
      "peak memory %ld kB; %d errors reported\n",
      requests, requests / 5, took, static_cast<long long>(longest.count()), peakKb, soaked.errors);

  // The faults stop at a moment both services agree on: the faulty one's clock is held at it
  // and a few live passes (most of them answered) bring the twin's live memory there, so that
  // the good service continues the same day rather than jumping to another time of it, which
  // would show as goals.
  httplib::Client control("127.0.0.1", port);
  const auto held = control.Get("/demo/clock?set=" + std::string(kHandOver) + "&speed=0");
  ASSERT_TRUE(held && held->status == 200) << "the clock control did not answer";
  soaked.Run({"tick Timer1 60", "tick Timer1 60", "tick Timer1 60", "tick Timer2 300"});
  faulty.reset();
  Service good(dir, "good", port, {"--speed", "0", "--clock", kHandOver});
  soaked.Run({"click ar"});
  const nlohmann::json afterFaults = soaked.Dump("RX");

  // The fresh start loads once after its login as well: a load puts back the pre-match
  // projection of every match, and only a live pass that meets a scoring match for the first
  // time clears it, so the board after a load depends on whether the live memory is new.
  Twin fresh(dir, "fresh", good.HostPort());
  ASSERT_TRUE(fresh.LogIn());
  fresh.Run({"click ar"});
  const nlohmann::json freshStart = fresh.Dump("RX");
  EXPECT_GT(freshStart["rows"].get<int>(), 0);
  EXPECT_EQ(afterFaults["rows"], freshStart["rows"]);
  if (afterFaults != freshStart) {
    // Name the first cell that differs rather than printing two whole boards.
    const auto& a = afterFaults["cells"];
    const auto& b = freshStart["cells"];
    for (std::size_t r = 0; r < std::min(a.size(), b.size()); ++r) {
      for (std::size_t c = 0; c < std::min(a[r].size(), b[r].size()); ++c) {
        if (a[r][c] != b[r][c]) {
          ADD_FAILURE() << "RX differs first at column " << c << ", row " << r << ": "
                        << a[r][c].dump() << " after the faults, " << b[r][c].dump()
                        << " from a fresh start";
          return;
        }
      }
    }
    ADD_FAILURE() << "RX differs from a fresh start";
  }
}

}  // namespace
}  // namespace zelko

#endif
