// The core's figures over a synthetic day held in memory: reading a today reply, the today
// load, the money refresh, the live refresh and the work board's filter.
//
//   zelko_bench [--sizes=1000,5000] [--cold-passes=30] [Google Benchmark flags]
//
// Every benchmark is registered once per size (the number of matches of the day).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bench_boards.h"
#include "board/board_filter.h"
#include "board/money_refresh.h"
#include "board/today_loader.h"
#include "feed/codec.h"
#include "feed/records.h"
#include "feed/service_url.h"
#include "live/live_refresh.h"

namespace zelko::bench {
namespace {

// Every element of a today record, and of its nested "radar", "bfpr" and "bf_live".
constexpr std::string_view kRecordNames[] = {
    "status", "id",    "day",    "liga",  "my",   "date",   "vr",   "home", "away",
    "m1x2",   "m05",   "m15",    "m25",   "m35",  "m45",    "s1",   "sx",   "s2",
    "so05",   "su05",  "so15",   "su15",  "so25", "su25",   "so35", "su35", "so45",
    "su45",   "score", "score1", "radar", "bfpr", "bf_live"};
constexpr std::string_view kRadarNames[] = {
    "fsum",  "f1",    "fx",    "f2",    "fk1",   "fkx",   "fk2",   "fs05",  "fs15",
    "fs25",  "fs35",  "fs45",  "fo05",  "fo15",  "fo25",  "fo35",  "fo45",  "fu05",
    "fu15",  "fu25",  "fu35",  "fu45",  "fko05", "fko15", "fko25", "fko35", "fko45",
    "fku05", "fku15", "fku25", "fku35", "fku45", "last"};
// "score" only in "bf_live".
constexpr std::string_view kMarketNames[] = {
    "k1",   "pr1",   "s1",   "kx",   "prx",   "sx",   "k2",   "pr2",   "s2",
    "ko05", "pro05", "so05", "ku05", "pru05", "su05", "ko15", "pro15", "so15",
    "ku15", "pru15", "su15", "ko25", "pro25", "so25", "ku25", "pru25", "su25",
    "ko35", "pro35", "so35", "ku35", "pru35", "su35", "ko45", "pro45", "so45",
    "ku45", "pru45", "su45", "last", "score"};

std::size_t ReadNames(const RecordReader& reader, std::span<const std::string_view> names) {
  std::size_t bytes = 0;
  for (const std::string_view name : names) bytes += reader.Get(name).size();
  return bytes;
}

// Cuts every record of a today reply and reads every element, nested ones included.
std::size_t ReadEverything(std::string_view reply) {
  std::size_t bytes = 0;
  for (const std::string_view text : CutRecords(reply)) {
    const RecordReader record(text);
    bytes += ReadNames(record, kRecordNames);
    bytes += ReadNames(record.Nested("radar"), kRadarNames);
    bytes += ReadNames(record.Nested("bfpr"), kMarketNames);
    bytes += ReadNames(record.Nested("bf_live"), kMarketNames);
  }
  return bytes;
}

// The raw pass the reading is held against: memchr from one '<' to the next, so that every
// marker of the reply is met once and nothing else is done.
std::size_t MemchrPass(std::string_view reply) {
  std::size_t markers = 0;
  const char* at = reply.data();
  const char* const end = reply.data() + reply.size();
  while (at < end) {
    const void* found = std::memchr(at, '<', static_cast<std::size_t>(end - at));
    if (found == nullptr) break;
    ++markers;
    at = static_cast<const char*>(found) + 1;
  }
  return markers;
}

int Matches(const benchmark::State& state) {
  return static_cast<int>(state.range(0));
}

void SetBytes(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
}

// --- Reading a reply ----------------------------------------------------------------------

// The reading figure starts from the decoded text: ServiceGet decodes before any record is
// cut, and the decoding has its own figure below.
void ReadTodayReply(benchmark::State& state) {
  const std::string text = Cp1251ToUtf8(FeedsFor(Matches(state)).today.body);
  for (auto _ : state) benchmark::DoNotOptimize(ReadEverything(text));
  SetBytes(state, text.size());
}

void MemchrTodayReply(benchmark::State& state) {
  const std::string text = Cp1251ToUtf8(FeedsFor(Matches(state)).today.body);
  for (auto _ : state) benchmark::DoNotOptimize(MemchrPass(text));
  SetBytes(state, text.size());
}

void DecodeTodayReply(benchmark::State& state) {
  const std::string& body = FeedsFor(Matches(state)).today.body;
  for (auto _ : state) benchmark::DoNotOptimize(Cp1251ToUtf8(body));
  SetBytes(state, body.size());
}

// --- Boards -------------------------------------------------------------------------------
//
// Each pass over the boards is timed in two ways. Back to back ("warm"): one pass after
// another, so that whatever the boards and the reply take that fits in the last-level cache is
// still there at the next pass; a day of 1000 matches fits, a day of 5000 does not. From
// memory ("cold"): before each pass, untimed, a sweep through a buffer far larger than the
// last-level cache, so that the pass starts as a refresh does in the window, a minute or five
// after the one before, with the day's boards back in memory; the reply is handed over after
// the sweep, as a reply just received. Cold passes run a fixed number of times a repetition
// (`--cold-passes=N`), since the sweep takes far longer than the pass.

enum class Caches { kWarm, kCold };

// Writes and reads a word of every 64-byte line of 128 MB, several times the last-level cache
// of the machines this runs on, so that nothing a pass before touched is left in the caches,
// nor in the address translation caches.
void EvictCaches() {
  static std::vector<std::uint64_t> sweep((std::size_t{128} << 20) / sizeof(std::uint64_t));
  std::uint64_t sum = 0;
  for (std::size_t at = 0; at < sweep.size(); at += 8) {
    sweep[at] += 1;
    sum += sweep[at];
  }
  benchmark::DoNotOptimize(sum);
}

// The untimed start of a pass: the sweep of a cold pass.
template <Caches kCaches>
void StartPass() {
  if constexpr (kCaches == Caches::kCold) EvictCaches();
}

// The same for a pass that has no untimed part of its own.
template <Caches kCaches>
void StartPassTimed(benchmark::State& state) {
  if constexpr (kCaches == Caches::kCold) {
    state.PauseTiming();
    EvictCaches();
    state.ResumeTiming();
  }
}

template <Caches kCaches>
void LoadToday(benchmark::State& state) {
  const DayFeeds& feeds = FeedsFor(Matches(state));
  Boards boards;
  MemoryClient client(feeds.today);
  for (auto _ : state) {
    state.PauseTiming();
    StartPass<kCaches>();
    client.Prepare();
    state.ResumeTiming();
    LoadTodayBoard(boards.rx, client, kTodayUrl, boards.boxes, 0);
  }
  state.counters["rows"] = boards.rx.RowCount();
}

// Every known row gets newer figures: each pass stamps the later update a minute on from the
// one before, so that the figures are always newer than the ones the rows show.
// Money refreshes one after another, each with figures a minute newer than the last and the
// replies alternating between the later feed and the noon one, so that every row's money moves.
class NewerRefreshes {
 public:
  explicit NewerRefreshes(const DayFeeds& feeds)
      : feeds_(feeds), replies_{feeds.todayLater, feeds.today}, client_(replies_[0]) {}
  // Readies the next refresh's reply (the untimed part of a pass).
  MemoryClient& Next(Boards& boards) {
    if (++stamp_ >= 24 * 60) {
      // The clock has run out of the day: start again from the noon board.
      boards.Enter(feeds_);
      stamp_ = kNoon + 1;
    }
    HttpReply& reply = replies_[pass_++ % 2];
    SetLastStamps(reply.body, ClockText(stamp_));
    client_.Serve(reply);
    client_.Prepare();
    return client_;
  }

 private:
  const DayFeeds& feeds_;
  HttpReply replies_[2];
  MemoryClient client_;
  int stamp_ = kNoon;
  int pass_ = 0;
};

template <Caches kCaches>
void RefreshMoneyAllNewer(benchmark::State& state) {
  const DayFeeds& feeds = FeedsFor(Matches(state));
  Boards boards;
  boards.Enter(feeds);
  NewerRefreshes refreshes(feeds);
  for (auto _ : state) {
    state.PauseTiming();
    StartPass<kCaches>();
    MemoryClient& client = refreshes.Next(boards);
    state.ResumeTiming();
    RefreshMoney(boards.rx, boards.rx2, client, kTodayUrl, {});
  }
  state.counters["rows"] = boards.rx.RowCount();
}

// The same figures again: only the finished and called-off rows are rewritten, as always.
template <Caches kCaches>
void RefreshMoneyNoneNewer(benchmark::State& state) {
  const DayFeeds& feeds = FeedsFor(Matches(state));
  Boards boards;
  boards.Enter(feeds);
  MemoryClient client(feeds.today);
  for (auto _ : state) {
    state.PauseTiming();
    StartPass<kCaches>();
    client.Prepare();
    state.ResumeTiming();
    RefreshMoney(boards.rx, boards.rx2, client, kTodayUrl, {});
  }
  state.counters["rows"] = boards.rx.RowCount();
}

// Passes alternate between the noon feed and the one a minute on, so that every pass moves
// every live match's minute and one match in twenty scores (or takes its goal back). Without
// the automatic re-analysis, which is a request per match.
template <Caches kCaches>
void RefreshLivePass(benchmark::State& state) {
  const DayFeeds& feeds = FeedsFor(Matches(state));
  Boards boards;
  boards.Enter(feeds);
  LiveBoards view = boards.View();
  MemoryClient client(feeds.liveNext);
  int pass = 0;
  for (auto _ : state) {
    state.PauseTiming();
    StartPass<kCaches>();
    client.Serve(pass++ % 2 == 0 ? feeds.liveNext : feeds.live);
    client.Prepare();
    state.ResumeTiming();
    RefreshLive(view, client, kLiveUrl, false, {});
    if (boards.liveStatGrid.RowCount() > 2000) {
      // The goal lines of a whole day, not of thousands of passes.
      state.PauseTiming();
      boards.liveStatGrid.ClearRows();
      state.ResumeTiming();
    }
  }
  state.counters["rows"] = boards.rx.RowCount();
  state.counters["live"] = boards.liveGrid.RowCount();
}

// Every row passes: every status box ticked and a threshold of 0.
template <Caches kCaches>
void FilterBoard(benchmark::State& state) {
  const DayFeeds& feeds = FeedsFor(Matches(state));
  Boards boards;
  boards.Enter(feeds);
  for (auto _ : state) {
    StartPassTimed<kCaches>(state);
    ApplyBoardFilter(boards.rx, boards.rx2, boards.boxes, "0", boards.countLabel,
                     boards.filterMemo);
  }
  state.counters["rows"] = boards.rx2.RowCount();
}

// Every row passes, and every row's money moved since RX2 was last built and none of it was
// copied on to RX2: passes alternate between the noon board and the same board after a money
// refresh with newer figures, so that the rebuild rewrites part of every card.
template <Caches kCaches>
void FilterChangedBoard(benchmark::State& state) {
  const DayFeeds& feeds = FeedsFor(Matches(state));
  Boards noon;
  noon.Enter(feeds);
  Boards later;
  later.Enter(feeds);
  HttpReply newer = feeds.todayLater;
  SetLastStamps(newer.body, ClockText(kNoon + 1));
  MemoryClient client(newer);
  RefreshMoney(later.rx, later.rx2, client, kTodayUrl, {});
  int pass = 0;
  for (auto _ : state) {
    StartPassTimed<kCaches>(state);
    const GridTable& rx = pass++ % 2 == 0 ? later.rx : noon.rx;
    ApplyBoardFilter(rx, noon.rx2, noon.boxes, "0", noon.countLabel, noon.filterMemo);
  }
  state.counters["rows"] = noon.rx2.RowCount();
}

// The rebuild after a money refresh with every row newer, as the window makes it: the refresh
// (untimed) rewrites RX and copies each rewritten row on to its card in RX2.
void FilterRefreshedBoard(benchmark::State& state) {
  const DayFeeds& feeds = FeedsFor(Matches(state));
  Boards boards;
  boards.Enter(feeds);
  NewerRefreshes refreshes(feeds);
  for (auto _ : state) {
    state.PauseTiming();
    RefreshMoney(boards.rx, boards.rx2, refreshes.Next(boards), kTodayUrl, {});
    state.ResumeTiming();
    ApplyBoardFilter(boards.rx, boards.rx2, boards.boxes, "0", boards.countLabel,
                     boards.filterMemo);
  }
  state.counters["rows"] = boards.rx2.RowCount();
}

}  // namespace
}  // namespace zelko::bench

int main(int argc, char** argv) {
  using namespace zelko::bench;
  std::vector<char*> rest;
  std::vector<char*> options;
  const std::vector<int> sizes = TakeSizesOption(argc, argv, options);
  int coldPasses = 30;
  for (char* option : options) {
    const std::string_view arg = option;
    if (arg.starts_with("--cold-passes=")) {
      coldPasses = std::max(1, std::stoi(std::string(arg.substr(14))));
    } else {
      rest.push_back(option);
    }
  }

  struct Figure {
    const char* name;
    void (*run)(benchmark::State&);
    // A fixed count for a pass whose untimed part is far longer than its timed one, which the
    // library would otherwise repeat until the timed part alone fills its minimum time.
    int iterations = 0;
  };
  const Figure figures[] = {
      {"read_today", ReadTodayReply},
      {"memchr_today", MemchrTodayReply},
      {"decode_today", DecodeTodayReply},
      {"load_today", LoadToday<Caches::kWarm>},
      {"money_all_newer", RefreshMoneyAllNewer<Caches::kWarm>},
      {"money_none_newer", RefreshMoneyNoneNewer<Caches::kWarm>},
      {"live_refresh", RefreshLivePass<Caches::kWarm>},
      {"board_filter", FilterBoard<Caches::kWarm>},
      {"board_filter_changed", FilterChangedBoard<Caches::kWarm>},
      {"board_filter_refreshed", FilterRefreshedBoard, 40},
      {"cold_load_today", LoadToday<Caches::kCold>, coldPasses},
      {"cold_money_all_newer", RefreshMoneyAllNewer<Caches::kCold>, coldPasses},
      {"cold_money_none_newer", RefreshMoneyNoneNewer<Caches::kCold>, coldPasses},
      {"cold_live_refresh", RefreshLivePass<Caches::kCold>, coldPasses},
      {"cold_board_filter", FilterBoard<Caches::kCold>, coldPasses},
      {"cold_board_filter_changed", FilterChangedBoard<Caches::kCold>, coldPasses},
  };
  for (const Figure& figure : figures) {
    for (const int size : sizes) {
      benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(figure.name, figure.run)
                                              ->Arg(size)
                                              ->Unit(benchmark::kMillisecond)
                                              ->UseRealTime();
      if (figure.iterations > 0) b->Iterations(figure.iterations);
    }
  }

  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
