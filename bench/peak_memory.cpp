// The peak resident memory of a window's boards over a synthetic day, in a process of its own:
// RX and RX2 with every match, the live grid with the matches in play, after a money refresh.
//
//   zelko_bench_memory MATCHES
//
// Prints one JSON line: the peak ("VmHWM") after the boards are filled, and the resident size
// before, when only the prepared replies are held. The peak is reset once the replies are made,
// so that the generator's own buffers do not count.

#include <cstdio>
#include <fstream>
#include <string>

#include "bench_boards.h"
#include "board/money_refresh.h"

namespace {

// A "Vm...:  N kB" line of /proc/self/status, in kB; -1 when missing.
long StatusKilobytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::stol(line.substr(key.size() + 1));
  }
  return -1;
}

// Makes the peak start again from the current resident size (Linux 4.0 on).
bool ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.close();
  return static_cast<bool>(clear);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zelko::bench;
  const int matches = argc > 1 ? std::stoi(argv[1]) : 5000;
  const DayFeeds& feeds = FeedsFor(matches);
  const bool reset = ResetPeak();
  const long before = StatusKilobytes("VmRSS");

  Boards boards;
  boards.Enter(feeds);
  MemoryClient client(feeds.todayLater);
  zelko::RefreshMoney(boards.rx, boards.rx2, client, kTodayUrl, {});

  const long peak = StatusKilobytes("VmHWM");
  std::printf(
      "{\"matches\":%d,\"live\":%d,\"rx\":%d,\"rx2\":%d,\"live_rows\":%d,\"peak_kb\":%ld,"
      "\"before_kb\":%ld,\"reply_kb\":%zu,\"peak_reset\":%s}\n",
      matches, LiveShare(matches), boards.rx.RowCount(), boards.rx2.RowCount(),
      boards.liveGrid.RowCount(), peak, before, feeds.today.body.size() / 1024,
      reset ? "true" : "false");
  return 0;
}
