// A today load, then money refreshes of fuzzed replies merged into RX and RX2.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/signals.h"
#include "board/money_refresh.h"
#include "board/today_loader.h"
#include "board_world.h"

using zelko::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zelko::fuzz::BoardWorld world(zelko::fuzz::AsText(data, size));
  zelko::fuzz::Guarded("LoadTodayBoard", [&] {
    zelko::LoadTodayBoard(world.rx, *world.idHttp1, world.todayUrl, world.choices.boxes, 0);
  });
  world.CheckAll();
  zelko::fuzz::Guarded("ApplyBoardFilter", [&] { world.Filter(); });

  const zelko::BigBetSink sendBigBet = [&](int row, std::string_view odds, std::string_view bet) {
    zelko::SendBigBet(world.signals, world.rx, row, odds, bet);
  };
  while (world.RepliesLeft() > 0) {
    const bool fails = world.NextFails();
    const std::string before = fails ? world.SnapshotAll() : std::string();
    bool merged = false;
    zelko::fuzz::Guarded("RefreshMoney", [&] {
      merged = zelko::RefreshMoney(world.rx, world.rx2, *world.idHttp1, world.todayUrl, sendBigBet);
    });
    if (fails) {
      Require(!merged, "a failed request counted as a refresh");
      Require(world.SnapshotAll() == before, "a failed request changed the boards");
    }
    world.CheckAll();
  }
  return 0;
}
