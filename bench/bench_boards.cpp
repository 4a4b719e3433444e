#include "bench_boards.h"

#include <map>
#include <memory>

#include "board/board_filter.h"
#include "board/columns.h"
#include "board/today_loader.h"
#include "feed/codec.h"

namespace zelko::bench {

HttpReply OkReply(std::string_view utf8) {
  HttpReply reply;
  reply.status = 200;
  reply.body = Utf8ToCp1251(utf8);
  return reply;
}

DayFeeds::DayFeeds(int matches)
    : day(matches, LiveShare(matches)),
      today(OkReply(day.TodayReply(kNoon, 0))),
      todayLater(OkReply(day.TodayReply(kNoon, 1))),
      live(OkReply(day.LiveReply(0))),
      liveNext(OkReply(day.LiveReply(1))) {}

const DayFeeds& FeedsFor(int matches) {
  static std::map<int, std::unique_ptr<DayFeeds>> made;
  auto& feeds = made[matches];
  if (!feeds) feeds = std::make_unique<DayFeeds>(matches);
  return *feeds;
}

Boards::Boards()
    : rx("RX", RxColumns()),
      rx2("RX2", Rx2Columns()),
      liveGrid("LiveGrid", LiveGridColumns()),
      liveStatGrid("LiveStatGrid", LiveStatGridColumns()) {}

void Boards::Enter(const DayFeeds& feeds) {
  MemoryClient client(feeds.today);
  LoadTodayBoard(rx, client, kTodayUrl, boxes, 0);
  client.Serve(feeds.live);
  LiveBoards view = View();
  RefreshLive(view, client, kLiveUrl, false, {});
  ApplyBoardFilter(rx, rx2, boxes, "0", countLabel, filterMemo);
}

std::vector<int> TakeSizesOption(int argc, char** argv, std::vector<char*>& rest) {
  std::vector<int> sizes{1000, 5000};
  for (int i = 0; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (!arg.starts_with("--sizes=")) {
      rest.push_back(argv[i]);
      continue;
    }
    sizes.clear();
    arg.remove_prefix(8);
    while (!arg.empty()) {
      const std::size_t comma = arg.find(',');
      const std::string part(arg.substr(0, comma));
      if (!part.empty()) sizes.push_back(std::stoi(part));
      if (comma == std::string_view::npos) break;
      arg.remove_prefix(comma + 1);
    }
  }
  return sizes;
}

}  // namespace zelko::bench
