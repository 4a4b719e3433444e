// A today load, then live passes of fuzzed replies, with the automatic re-analysis of a match
// whose score changed (its analysis request succeeding or failing as the input chooses).

#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/analysis.h"
#include "board/today_loader.h"
#include "board_world.h"
#include "feed/service_url.h"
#include "live/live_refresh.h"

using zelko::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zelko::fuzz::BoardWorld world(zelko::fuzz::AsText(data, size), 5);
  zelko::fuzz::Guarded("LoadTodayBoard", [&] {
    zelko::LoadTodayBoard(world.rx, *world.idHttp1, world.todayUrl, world.choices.boxes, 0);
  });
  world.CheckAll();
  zelko::fuzz::Guarded("ApplyBoardFilter", [&] { world.Filter(); });

  zelko::LiveBoards boards{world.rx, world.rx2, world.liveGrid, world.liveStatGrid};
  const zelko::AnalyzeRow analyze = [&](int rxRow) { world.Analyze(rxRow); };
  while (world.RepliesLeft() > 0) {
    const bool fails = world.NextFails();
    const std::string before = fails ? world.SnapshotAll() : std::string();
    bool merged = false;
    zelko::fuzz::Guarded(
        "RefreshLive",
        [&] {
          merged = zelko::RefreshLive(boards, *world.idHttp1, world.liveUrl,
                                      world.choices.autoUpdate, analyze);
        },
        // A failed analysis request is the one error a live pass hands on.
        [&](const std::exception& error) {
          return world.choices.analysisFails &&
                 dynamic_cast<const zelko::ServiceError*>(&error) != nullptr;
        });
    if (fails) {
      Require(!merged, "a failed request counted as a live pass");
      Require(world.SnapshotAll() == before, "a failed request changed the boards");
    }
    Require(world.rx2.Enabled() && world.rx.Enabled(), "a board left disabled");
    Require(!world.progress.visible, "the gauge left showing");
    world.CheckAll();
  }
  return 0;
}
