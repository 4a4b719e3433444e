#include "board/board_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/board_copy.h"
#include "board/colors.h"
#include "board/columns.h"
#include "board_fixtures.h"

namespace zelko {
namespace {

using testing::Boards;
using testing::ColumnTexts;

class BoardFilterTest : public ::testing::Test {
 protected:
  // An RX row with its ID, status and the money of W1 (X and W2 hold `rest` each).
  int AddMatch(const std::string& id, const std::string& status, const std::string& w1,
               const std::string& rest = "0") {
    const int r = boards.rx.AddRow();
    boards.rx.SetCellText(col::RId, r, id);
    boards.rx.SetCellText(col::R_Status, r, status);
    boards.rx.SetCellText(col::R_1S, r, w1);
    boards.rx.SetCellText(col::R_XS, r, rest);
    boards.rx.SetCellText(col::R_2S, r, rest);
    return r;
  }
  // As the window filters: with the memo of its last rebuilds.
  void Filter(const std::string& threshold, StatusBoxes boxes = {}) {
    ApplyBoardFilter(boards.rx, boards.rx2, boxes, threshold, count, memo);
  }
  std::vector<std::string> Ids() const { return ColumnTexts(boards.rx2, col::RId); }

  Boards boards;
  BoardFilterMemo memo;
  std::string count = "Count: 100";
};

TEST_F(BoardFilterTest, EmptyMainBoardChangesNothing) {
  boards.rx2.SetCellText(col::RId, boards.rx2.AddRow(), "kept");
  Filter("0");
  EXPECT_EQ(Ids(), std::vector<std::string>{"kept"});
  EXPECT_EQ(count, "Count: 100");
}

TEST_F(BoardFilterTest, MoneyThreshold) {
  AddMatch("exact", "SOON", "800", "100");  // 1000
  AddMatch("below", "SOON", "799", "100");  // 999
  AddMatch("fraction", "SOON", "1000.5");   // 0
  AddMatch("text", "SOON", "lots", "600");  // 1200
  struct Case {
    const char* threshold;
    std::vector<std::string> ids;
  };
  const Case cases[] = {
      {"1000", {"exact", "text"}},
      {"999", {"exact", "below", "text"}},
      {"", {"exact", "below", "fraction", "text"}},
      {"abc", {"exact", "below", "fraction", "text"}},
      {"1201", {}},
  };
  for (const Case& c : cases) {
    Filter(c.threshold);
    EXPECT_EQ(Ids(), c.ids) << c.threshold;
    EXPECT_EQ(count, "Count: " + std::to_string(c.ids.size()));
  }
}

TEST_F(BoardFilterTest, StatusBoxes) {
  for (const char* status : {"LIVE", "SOON", "FINISH", "CANCEL", "live", ""}) {
    AddMatch(std::string("id-") + status, status, "0");
  }
  struct Case {
    StatusBoxes boxes;
    std::vector<std::string> ids;
  };
  const Case cases[] = {
      {{true, true, true, true}, {"id-LIVE", "id-SOON", "id-FINISH", "id-CANCEL"}},
      {{false, true, true, true}, {"id-SOON", "id-FINISH", "id-CANCEL"}},
      {{true, false, true, true}, {"id-LIVE", "id-FINISH", "id-CANCEL"}},
      {{true, true, false, true}, {"id-LIVE", "id-SOON", "id-CANCEL"}},
      {{true, true, true, false}, {"id-LIVE", "id-SOON", "id-FINISH"}},
      {{true, true, true, true}, {"id-LIVE", "id-SOON", "id-FINISH", "id-CANCEL"}},
  };
  for (const Case& c : cases) {
    Filter("0", c.boxes);
    EXPECT_EQ(Ids(), c.ids);
    EXPECT_EQ(count, "Count: " + std::to_string(c.ids.size()));
  }
}

TEST_F(BoardFilterTest, CopiesCellsAndWritesTheLabels) {
  const int r = AddMatch("7", "SOON", "10");
  GridTable& rx = boards.rx;
  rx.SetCellChecked(col::RCh, r, true);
  rx.SetCellInteger(col::RFlag, r, 23);
  rx.SetCellHint(col::RFlag, r, "England. Premier League");
  for (int c = col::RTime; c <= col::SharedLast; ++c) {
    if (c == col::R_Status || c == col::R_1S || c == col::R_XS || c == col::R_2S) continue;
    rx.SetCellText(c, r, "t" + std::to_string(c));
    rx.SetCellColor(c, r, static_cast<Color>(c));
    rx.SetCellHint(c, r, "h" + std::to_string(c));
  }
  rx.SetCellText(col::rbet, r, "W1");
  rx.SetCellColor(col::rbet, r, colors::kRed);
  rx.SetCellHint(col::rbet, r, "not copied");
  rx.SetCellText(col::rbet2, r, "X");
  rx.SetCellColor(col::rbet2, r, colors::kGreen);

  Filter("0");
  const GridTable& rx2 = boards.rx2;
  ASSERT_EQ(rx2.RowCount(), 1);
  for (int c = 0; c <= col::SharedLast; ++c) {
    EXPECT_EQ(rx2.CellText(c, 0), rx.CellText(c, r)) << c;
    EXPECT_EQ(rx2.CellColor(c, 0), rx.CellColor(c, r)) << c;
    EXPECT_EQ(rx2.CellHint(c, 0), rx.CellHint(c, r)) << c;
  }
  EXPECT_TRUE(rx2.CellChecked(col::RCh, 0));
  EXPECT_EQ(rx2.CellInteger(col::RFlag, 0), 23);
  EXPECT_EQ(rx2.CellText(col::Bet, 0), "W1");
  EXPECT_EQ(rx2.CellColor(col::Bet, 0), colors::kRed);
  EXPECT_EQ(rx2.CellHint(col::Bet, 0), "");
  EXPECT_EQ(rx2.CellText(col::Bet2, 0), "X");
  EXPECT_EQ(rx2.CellColor(col::Bet2, 0), colors::kGreen);
  for (std::size_t i = 0; i < kScoreLabels.size(); ++i) {
    EXPECT_EQ(rx2.CellText(col::score00 + static_cast<int>(i), 0), kScoreLabels[i]);
  }
  EXPECT_EQ(rx2.CellText(col::score00, 0), "0:0");
  EXPECT_EQ(rx2.CellText(col::score04, 0), "0:4");
  EXPECT_EQ(rx2.CellText(col::BetLabel, 0), "Bukm.  | People");
  EXPECT_EQ(rx2.FirstRowWithId("7"), 0);
}

TEST_F(BoardFilterTest, RebuildKeepsMainBoardOrderAndDropsAnEarlierSort) {
  AddMatch("b", "SOON", "0");
  AddMatch("a", "LIVE", "0");
  AddMatch("c", "SOON", "0");
  Filter("0");
  boards.rx2.SetCellText(col::RTime, 0, "20:00");
  SortBoard(boards.rx2, "Status");
  EXPECT_EQ(Ids(), (std::vector<std::string>{"a", "b", "c"}));
  Filter("0", {false, true, true, true});
  EXPECT_EQ(Ids(), (std::vector<std::string>{"b", "c"}));
  Filter("0");
  EXPECT_EQ(Ids(), (std::vector<std::string>{"b", "a", "c"}));
}

// The work board is rebuilt in the storage of its last rows, keeping the cards that neither
// changed nor came from a changed row: whatever happened in between, a rebuild gives what a
// board built afresh from the same rows gives.
TEST_F(BoardFilterTest, ARebuildGivesWhatAFreshBoardGives) {
  for (int i = 0; i < 6; ++i) {
    const int r =
        AddMatch("m" + std::to_string(i), i % 2 == 0 ? "SOON" : "LIVE", std::to_string(100 * i));
    boards.rx.SetCellText(col::rbet, r, "W1");
    boards.rx.SetCellHint(col::RFlag, r, "League " + std::to_string(i));
  }
  struct Step {
    const char* what;
    void (*change)(Boards& b);
    const char* threshold;
    StatusBoxes boxes;
  };
  const Step steps[] = {
      {"the first build", [](Boards&) {}, "0", {}},
      {"nothing", [](Boards&) {}, "0", {}},
      {"a row's money", [](Boards& b) { b.rx.SetCellText(col::R_1S, 2, "7"); }, "0", {}},
      {"a card's minute", [](Boards& b) { b.rx2.SetCellText(col::R_Min, 1, "63"); }, "0", {}},
      {"a card's colour",
       [](Boards& b) { b.rx2.SetCellColor(col::Bet, 3, colors::kRed); },
       "0",
       {}},
      {"a card copied again",
       [](Boards& b) { b.rx2.CopyCellsFrom(b.rx, 5, 0, col::SharedLast, 0); },
       "0",
       {}},
      // The refreshes copy a changed row on to its card.
      {"a row refreshed and its card copied",
       [](Boards& b) {
         b.rx.SetCellText(col::R_XS, 3, "55");
         b.rx.SetCellText(col::rbet, 3, "X");
         b.rx.SetCellColor(col::rbet2, 3, colors::kRed);
         CopyBoardRow(b.rx2, b.rx2.FirstRowWithId("m3"), b.rx, 3);
       },
       "0",
       {}},
      {"a card copied from another row",
       [](Boards& b) { CopyBoardRow(b.rx2, b.rx2.FirstRowWithId("m0"), b.rx, 4); },
       "0",
       {}},
      {"a card's label changed, then its row copied",
       [](Boards& b) {
         b.rx2.SetCellText(col::score00, 2, "x");
         CopyBoardRow(b.rx2, 2, b.rx, 2);
       },
       "0",
       {}},
      {"the board sorted", [](Boards& b) { SortBoard(b.rx2, "Status"); }, "0", {}},
      {"a threshold that drops rows", [](Boards&) {}, "250", {}},
      {"a kept row's money below it",
       [](Boards& b) { b.rx.SetCellText(col::R_1S, 5, "10"); },
       "250",
       {}},
      {"a dropped row's money above it",
       [](Boards& b) { b.rx.SetCellText(col::R_1S, 0, "900"); },
       "250",
       {}},
      {"all rows again", [](Boards&) {}, "0", {}},
      {"live rows left out", [](Boards&) {}, "0", {false, true, true, true}},
      {"a kept row gone live",
       [](Boards& b) { b.rx.SetCellText(col::R_Status, 0, "LIVE"); },
       "0",
       {false, true, true, true}},
      {"a dropped row no longer live",
       [](Boards& b) { b.rx.SetCellText(col::R_Status, 1, "FINISH"); },
       "0",
       {false, true, true, true}},
      {"all rows again", [](Boards&) {}, "0", {}},
      {"a row's bet colour",
       [](Boards& b) { b.rx.SetCellColor(col::rbet, 4, colors::kGreen); },
       "0",
       {}},
      {"a row's hint", [](Boards& b) { b.rx.SetCellHint(col::RFlag, 0, ""); }, "0", {}},
      {"a row removed", [](Boards& b) { b.rx.DeleteRow(1); }, "0", {}},
      {"a row inserted",
       [](Boards& b) {
         b.rx.InsertRow(0);
         b.rx.SetCellText(col::RId, 0, "new");
         b.rx.SetCellText(col::R_Status, 0, "SOON");
       },
       "0",
       {}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.change(boards);
    Filter(step.threshold, step.boxes);
    Boards fresh;
    std::string freshCount;
    ApplyBoardFilter(boards.rx, fresh.rx2, step.boxes, step.threshold, freshCount);
    EXPECT_EQ(count, freshCount);
    ASSERT_EQ(boards.rx2.RowCount(), fresh.rx2.RowCount());
    for (int r = 0; r < fresh.rx2.RowCount(); ++r) {
      for (int c = 0; c < fresh.rx2.ColumnCount(); ++c) {
        ASSERT_EQ(boards.rx2.CellText(c, r), fresh.rx2.CellText(c, r)) << r << "," << c;
        ASSERT_EQ(boards.rx2.CellColor(c, r), fresh.rx2.CellColor(c, r)) << r << "," << c;
        ASSERT_EQ(boards.rx2.CellHint(c, r), fresh.rx2.CellHint(c, r)) << r << "," << c;
      }
      const std::string id = boards.rx2.CellText(col::RId, r);
      EXPECT_EQ(boards.rx2.RowsWithId(id), std::vector<int>{r});
    }
  }
}

// The memo of one board's rows says nothing of another's, even of rows with the same
// revisions: two boards written the same way, but for their money.
TEST_F(BoardFilterTest, TheMemoOfOneBoardSaysNothingOfAnother) {
  Boards other;
  for (const char* money : {"900", "10", "500"}) {
    AddMatch(money, "SOON", money);
    const int r = other.rx.AddRow();
    other.rx.SetCellText(col::RId, r, money);
    other.rx.SetCellText(col::R_Status, r, "SOON");
    other.rx.SetCellText(col::R_1S, r, std::string(money) == "10" ? "900" : "10");
    other.rx.SetCellText(col::R_XS, r, "0");
    other.rx.SetCellText(col::R_2S, r, "0");
  }
  ASSERT_EQ(boards.rx.RowRevision(1), other.rx.RowRevision(1));
  Filter("100");
  EXPECT_EQ(Ids(), (std::vector<std::string>{"900", "500"}));
  ApplyBoardFilter(other.rx, boards.rx2, {}, "100", count, memo);
  EXPECT_EQ(Ids(), std::vector<std::string>{"10"});
  Filter("100");
  EXPECT_EQ(Ids(), (std::vector<std::string>{"900", "500"}));
}

TEST_F(BoardFilterTest, ACardCopiedFromItsRowStaysTheFiltersCard) {
  AddMatch("a", "SOON", "0");
  AddMatch("b", "SOON", "0");
  GridTable& rx = boards.rx;
  GridTable& rx2 = boards.rx2;
  Filter("0");
  EXPECT_TRUE(rx2.RowMadeFrom(0, rx));
  rx.SetCellText(col::R_1S, 0, "5");
  CopyBoardRow(rx2, 0, rx, 0);
  EXPECT_TRUE(rx2.RowMadeFrom(0, rx));
  // A card changed on its own holds what the filter did not write: it is made anew.
  rx2.SetCellColor(col::BetLabel, 1, colors::kRed);
  CopyBoardRow(rx2, 1, rx, 1);
  EXPECT_FALSE(rx2.RowMadeFrom(1, rx));
  EXPECT_FALSE(rx2.RowMadeFrom(2, rx));
  Boards other;
  EXPECT_FALSE(rx2.RowMadeFrom(0, other.rx));
}

std::vector<bool> Visibility(const GridTable& grid) {
  std::vector<bool> out;
  for (int c = 0; c < grid.ColumnCount(); ++c) out.push_back(grid.ColumnVisible(c));
  return out;
}

TEST(BoardViewsTest, EachViewShowsItsColumnSet) {
  GridTable rx2("RX2", Rx2Columns());
  const std::vector<bool> atStart = Visibility(rx2);
  auto expected = [&](auto visibleIn) {
    std::vector<bool> v = atStart;
    for (int c = 27; c <= 111; ++c) v[static_cast<std::size_t>(c)] = visibleIn(c);
    return v;
  };

  ShowScoreColumns(rx2);
  EXPECT_EQ(Visibility(rx2), expected([](int c) { return c >= 72; }));
  ShowMarketColumns(rx2);
  EXPECT_EQ(Visibility(rx2), expected([](int c) { return c <= 77 || c == 95 || c == 96; }));
  ShowScoreColumns(rx2);
  EXPECT_EQ(Visibility(rx2), expected([](int c) { return c >= 72; }));

  // The views leave the other columns alone.
  for (int c : {0, 2, 5, 6, 112, 113, 114}) {
    EXPECT_EQ(rx2.ColumnVisible(c), atStart[static_cast<std::size_t>(c)]) << c;
  }
}

TEST(BoardSortTest, EachKeySortsItsColumn) {
  struct Row {
    const char* id;
    const char* time;
    int flag;
    const char* status;
    const char* bet;
    const char* bet2;
    const char* update;
  };
  const Row rows[] = {
      {"a", "19:00", 12, "SOON", "W1", "X", "10:00"},
      {"b", "18:00", 3, "LIVE", "", "W2", "12:00"},
      {"c", "20:00", 40, "FINISH", "X", "", "09:00"},
  };
  struct Case {
    const char* key;
    std::vector<std::string> ids;
  };
  const Case cases[] = {
      {"Time", {"b", "a", "c"}},  {"Tournament", {"b", "a", "c"}}, {"Status", {"c", "b", "a"}},
      {"Bukm.", {"c", "a", "b"}}, {"People", {"a", "b", "c"}},     {"Update", {"c", "a", "b"}},
      {"Time", {"b", "a", "c"}},  {"time", {"b", "a", "c"}},  // no key: the order stays
  };
  GridTable rx2("RX2", Rx2Columns());
  for (const Row& r : rows) {
    const int t = rx2.AddRow();
    rx2.SetCellText(col::RId, t, r.id);
    rx2.SetCellText(col::RTime, t, r.time);
    rx2.SetCellInteger(col::RFlag, t, r.flag);
    rx2.SetCellText(col::R_Status, t, r.status);
    rx2.SetCellText(col::Bet, t, r.bet);
    rx2.SetCellText(col::Bet2, t, r.bet2);
    rx2.SetCellText(col::last, t, r.update);
  }
  for (const Case& c : cases) {
    SortBoard(rx2, c.key);
    EXPECT_EQ(ColumnTexts(rx2, col::RId), c.ids) << c.key;
  }
  EXPECT_EQ(rx2.ColumnSortKind(col::Bet), SortKind::skDescending);
  EXPECT_EQ(rx2.ColumnSortKind(col::Bet2), SortKind::skDescending);
  EXPECT_EQ(rx2.ColumnSortKind(col::RTime), SortKind::skAscending);
  // The index follows the new order.
  EXPECT_EQ(rx2.FirstRowWithId("c"), 2);
}

}  // namespace
}  // namespace zelko
