#pragma once

// The boards of one fuzz input over a fake platform: every feed request answers the next
// reply cut from the input, the analysis and signal posts answer "OK", and the grids are
// checked after each step.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/signals.h"
#include "board/board_filter.h"
#include "board/columns.h"
#include "board/controls.h"
#include "board/grid_table.h"
#include "feed/service_url.h"
#include "fuzz_support.h"
#include "support/fake_platform.h"

namespace zelko::fuzz {

inline constexpr const char* kHost = "127.0.0.1:8024";

// What the first bytes of an input choose, when it starts with "#" and one byte.
struct Choices {
  StatusBoxes boxes;
  bool autoUpdate = true;
  bool analysisFails = false;
  int mode = 0;  // the today load's mode
  std::string sortKey = "Time";
};

class BoardWorld {
 public:
  // Splits the input: an optional "#X" head, then replies separated by "\n=====\n". A reply
  // "FAIL" is an error status, "DROP" a connection that broke after "<match>".
  explicit BoardWorld(std::string_view input, std::size_t maxReplies = 4) {
    if (input.size() >= 2 && input[0] == '#') {
      const auto bits = static_cast<unsigned char>(input[1]);
      choices.boxes = {(bits & 1u) == 0, (bits & 2u) == 0, (bits & 4u) == 0, (bits & 8u) == 0};
      choices.autoUpdate = (bits & 16u) == 0;
      choices.analysisFails = (bits & 32u) != 0;
      choices.mode = (bits & 64u) != 0 ? 1 : ((bits & 128u) != 0 ? 2 : 0);
      static constexpr const char* kKeys[] = {"Time",   "Tournament", "Status", "Bukm.",
                                              "People", "Update",     "other"};
      choices.sortKey = kKeys[bits % 7];
      input.remove_prefix(2);
    }
    for (const std::string_view part : SplitReplies(input, maxReplies)) replies_.emplace_back(part);

    platform.network.Handle("/login/zelko.php", [this](const testing::SentRequest&) {
      HttpReply reply;
      if (replies_.empty()) {
        reply.status = 200;
        return reply;
      }
      const std::string body = std::move(replies_.front());
      replies_.pop_front();
      if (body == "FAIL") {
        reply.failed = true;
        reply.status = 500;
      } else if (body == "DROP") {
        reply.failed = true;
        reply.status = 200;
        reply.body = "<match>";
      } else {
        reply.status = 200;
        reply.body = body;
      }
      return reply;
    });
    platform.network.Handle("/bf/bffa.php", [this](const testing::SentRequest&) {
      HttpReply reply;
      reply.status = choices.analysisFails ? 500 : 200;
      reply.failed = choices.analysisFails;
      if (!reply.failed) reply.body = "OK<last>12:34</last>";
      return reply;
    });
    for (const char* path : {"/bf/sb.php", "/bf/bb.php"}) {
      platform.network.Handle(path, [](const testing::SentRequest&) {
        HttpReply reply;
        reply.status = 200;
        reply.body = "OK";
        return reply;
      });
    }
  }

  std::size_t RepliesLeft() const { return replies_.size(); }
  // Whether the next feed request will fail.
  bool NextFails() const {
    return !replies_.empty() && (replies_.front() == "FAIL" || replies_.front() == "DROP");
  }

  // Every grid keeps its columns and its ID index.
  void CheckAll() const {
    CheckGrid(rx, col::RxCount);
    CheckGrid(rx2, col::BoardCount);
    CheckGrid(sbx, col::sbx::Count);
    CheckGrid(liveGrid, col::live::Count);
    CheckGrid(liveStatGrid, col::stat::Count);
  }

  // The work board rebuilt, sorted and checked, as the form does after a load.
  void Filter() {
    std::string count;
    ApplyBoardFilter(rx, rx2, choices.boxes, "0", count);
    SortBoard(rx2, choices.sortKey);
    CheckAll();
  }

  void Analyze(int rxRow) {
    AnalysisContext context{rx, sbx, platform, signals, progress, timer1, timer2};
    AnalyzeMatch(context, rx, rxRow);
  }

  // Everything a grid shows, for the check that a failed request changes nothing.
  static std::string Snapshot(const GridTable& grid) {
    std::string out;
    for (int row = 0; row < grid.RowCount(); ++row) {
      for (int column = 0; column < grid.ColumnCount(); ++column) {
        out += grid.CellText(column, row);
        out += '\x1f';
        out += grid.CellHint(column, row);
        out += '\x1f';
        out += std::to_string(grid.CellColor(column, row));
        out += '\x1e';
      }
      out += '\n';
    }
    return out;
  }
  std::string SnapshotAll() const {
    return Snapshot(rx) + '\x1d' + Snapshot(rx2) + '\x1d' + Snapshot(liveGrid) + '\x1d' +
           Snapshot(liveStatGrid);
  }

  Choices choices;
  testing::FakePlatform platform;
  std::unique_ptr<HttpClient> idHttp1 = platform.MakeClient(ClientProfile::Form, "IdHTTP1");
  std::unique_ptr<HttpClient> idHttp2 = platform.MakeClient(ClientProfile::Form, "IdHTTP2");
  SignalSender signals{*idHttp2, kHost, [this] { return platform.LocalTime(); }};
  Credentials credentials{"demo", "demo"};
  std::string todayUrl = FeedUrl(kHost, credentials, "today");
  std::string liveUrl = FeedUrl(kHost, credentials, "live");

  GridTable rx{"RX", RxColumns()};
  GridTable rx2{"RX2", Rx2Columns()};
  GridTable sbx{"SBX", SbxColumns()};
  GridTable liveGrid{"LiveGrid", LiveGridColumns()};
  GridTable liveStatGrid{"LiveStatGrid", LiveStatGridColumns()};
  Gauge progress;
  Timer timer1;
  Timer timer2;

 private:
  std::deque<std::string> replies_;
};

// Runs one step; an exception that escapes it is a finding, unless `allowed` says otherwise.
template <typename Step, typename Allowed>
void Guarded(const char* name, Step&& step, Allowed&& allowed) {
  try {
    step();
  } catch (const std::exception& error) {
    if (!allowed(error)) Fail("an exception escaped", std::string(name) + ": " + error.what());
  } catch (...) {
    Fail("an unknown exception escaped", name);
  }
}

template <typename Step>
void Guarded(const char* name, Step&& step) {
  Guarded(name, std::forward<Step>(step), [](const std::exception&) { return false; });
}

}  // namespace zelko::fuzz
