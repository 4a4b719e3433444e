// Whole today loads of fuzzed replies, each followed by the work board's filter and sort.

#include <cstddef>
#include <cstdint>
#include <string>

#include "board/today_loader.h"
#include "board_world.h"

using zelko::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zelko::fuzz::BoardWorld world(zelko::fuzz::AsText(data, size));
  while (world.RepliesLeft() > 0) {
    const bool fails = world.NextFails() && world.choices.mode != 2;
    const std::string before = fails ? world.BoardWorld::Snapshot(world.rx) : std::string();
    bool loaded = false;
    zelko::fuzz::Guarded("LoadTodayBoard", [&] {
      loaded = zelko::LoadTodayBoard(world.rx, *world.idHttp1, world.todayUrl, world.choices.boxes,
                                     world.choices.mode);
    });
    if (fails) {
      Require(!loaded, "a failed request counted as a load");
      Require(world.BoardWorld::Snapshot(world.rx) == before, "a failed request changed RX");
    }
    if (world.choices.mode == 2) {
      Require(world.rx.RowCount() == 0, "mode 2 left rows");
      break;  // it sends nothing, so the replies would never be used up
    }
    world.CheckAll();
    zelko::fuzz::Guarded("ApplyBoardFilter", [&] { world.Filter(); });
  }
  return 0;
}
