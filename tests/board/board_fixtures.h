#pragma once

// Small fixtures shared by the board tests: the three boards, a today feed served by the fake
// network, and records built element by element.

#include <string>
#include <vector>

#include "board/columns.h"
#include "board/grid_table.h"
#include "support/fake_platform.h"
#include "support/feed_builder.h"

namespace zelko::testing {

inline constexpr const char* kFeedPath = "/login/zelko.php";
inline constexpr const char* kTodayUrl =
    "http://127.0.0.1:8024/login/zelko.php?login=u&pass=p&menu=today";

struct Boards {
  GridTable rx{"RX", RxColumns()};
  GridTable rx2{"RX2", Rx2Columns()};
  GridTable rx3{"RX3", Rx3Columns()};
};

struct Feed {
  FakeNetwork network;
  FakeHttpClient idHttp1{network, "IdHTTP1", ClientProfile::Form};

  void Serve(const std::vector<Element>& records) {
    network.ClearReplies(kFeedPath);
    network.Reply(kFeedPath, Reply(records));
  }
  void Fail() {
    network.ClearReplies(kFeedPath);
    network.Fail(kFeedPath);
  }
};

// A today record with its identity; the caller adds status, "day" and the nested figures.
inline Element Match(const std::string& id, const std::string& status,
                     const std::string& day = "1") {
  Element e;
  e.Add("status", status)
      .Add("id", id)
      .Add("day", day)
      .Add("liga", "England. Premier League")
      .Add("my", "my" + id)
      .Add("date", "01.06")
      .Add("vr", "18:30")
      .Add("home", "Home " + id)
      .Add("away", "Away " + id);
  return e;
}

// A 1X2 market whose book balances give "W1" and whose money balances give nothing: the money
// on the draw and on the away win at odds 3 is 500 each, `homeMoney` on the home win at odds 2.
inline Element BfprForW1(int homeMoney, const std::string& last) {
  Element e;
  e.Add("k1", "2")
      .Add("pr1", "1")
      .Add("s1", std::to_string(homeMoney))
      .Add("kx", "3")
      .Add("prx", "50")
      .Add("sx", "500")
      .Add("k2", "3")
      .Add("pr2", "49")
      .Add("s2", "500")
      .Add("last", last);
  return e;
}

// Texts of one column of a grid, top to bottom.
inline std::vector<std::string> ColumnTexts(const GridTable& grid, int column) {
  std::vector<std::string> out;
  for (int r = 0; r < grid.RowCount(); ++r) out.push_back(grid.CellText(column, r));
  return out;
}

}  // namespace zelko::testing
