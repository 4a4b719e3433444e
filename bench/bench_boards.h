#pragma once

// What every benchmark stands on: the prepared replies of a synthetic day, a client that hands
// them out from memory, and the four grids a monitor window holds.

#include <string>
#include <string_view>
#include <vector>

#include "board/board_filter.h"
#include "board/controls.h"
#include "board/grid_table.h"
#include "feed/http_client.h"
#include "live/live_refresh.h"
#include "synthetic_day.h"

namespace zelko::bench {

// The day sizes of a run: "--sizes=1000,5000" (the default); the other arguments go to `rest`
// for Google Benchmark.
std::vector<int> TakeSizesOption(int argc, char** argv, std::vector<char*>& rest);

// The day's moment the feeds are taken at: noon.
inline constexpr int kNoon = 12 * 60;

// One in ten matches of a day is in play.
inline int LiveShare(int matches) {
  return matches / 10;
}

// A reply as the service sends it: status 200, the body in Windows-1251.
HttpReply OkReply(std::string_view utf8);

// Answers every request with the reply it is pointed at, as a copy. No network, no parsing of
// the address. A timed pass calls Prepare first, untimed: the copy its request will get is then
// made before the pass and handed over as it stands, the way a real client hands over the body
// it has received, so the pass times the monitor's work on a reply and not a copy of 13 MB
// that only stands in for the transfer.
class MemoryClient final : public HttpClient {
 public:
  explicit MemoryClient(const HttpReply& reply) : reply_(&reply) {}
  void Serve(const HttpReply& reply) {
    reply_ = &reply;
    ready_ = false;
  }
  void Prepare() {
    prepared_ = *reply_;
    ready_ = true;
  }
  HttpReply Get(const std::string& /*url*/) override {
    if (!ready_) return *reply_;
    ready_ = false;
    return std::move(prepared_);
  }
  const std::string& Name() const override { return name_; }

 private:
  const HttpReply* reply_;
  HttpReply prepared_;
  bool ready_ = false;
  std::string name_ = "IdHTTP1";
};

// The replies of one synthetic day, made once.
struct DayFeeds {
  explicit DayFeeds(int matches);
  SyntheticDay day;
  HttpReply today;       // at noon
  HttpReply todayLater;  // a later update: other money and odds (stamps set by the caller)
  HttpReply live;        // the matches in play at noon
  HttpReply liveNext;    // a minute on, one live match in twenty with a goal more
};

// The day's feeds for `matches`, made on first use and kept.
const DayFeeds& FeedsFor(int matches);

inline constexpr const char* kTodayUrl = "http://127.0.0.1:8024/login/zelko.php?menu=today";
inline constexpr const char* kLiveUrl = "http://127.0.0.1:8024/login/zelko.php?menu=live";

// The grids of one window, filled as the board's entry fills them: the today load, a live
// pass, and the work board filtered with every status box ticked and a threshold of 0, so that
// RX2 holds every row of RX.
struct Boards {
  Boards();
  GridTable rx;
  GridTable rx2;
  GridTable liveGrid;
  GridTable liveStatGrid;
  StatusBoxes boxes;
  std::string countLabel;
  BoardFilterMemo filterMemo;  // kept from rebuild to rebuild, as the window keeps it
  LiveBoards View() { return LiveBoards{rx, rx2, liveGrid, liveStatGrid}; }

  void Enter(const DayFeeds& feeds);
};

}  // namespace zelko::bench
