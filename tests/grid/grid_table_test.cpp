#include "board/grid_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/columns.h"

namespace zelko {
namespace {

// Records what a grid tells its listener, as a view would see it.
struct RecordingListener final : GridListener {
  std::vector<std::string> events;
  void BeforeInsertRows(int first, int last) override {
    events.push_back("+" + std::to_string(first) + ".." + std::to_string(last));
  }
  void AfterInsertRows() override { events.push_back("+done"); }
  void BeforeRemoveRows(int first, int last) override {
    events.push_back("-" + std::to_string(first) + ".." + std::to_string(last));
  }
  void AfterRemoveRows() override { events.push_back("-done"); }
  void BeforeReorder() override { events.push_back("sort"); }
  void AfterReorder() override { events.push_back("sort-done"); }
  void CellChanged(int column, int row) override {
    events.push_back("cell " + std::to_string(column) + "," + std::to_string(row));
  }
  void ColumnVisibilityChanged(int column) override {
    events.push_back("col " + std::to_string(column));
  }
  void EnabledChanged(bool enabled) override { events.push_back(enabled ? "on" : "off"); }
};

TEST(GridTable, NewRowsTakeTheColumnDefaults) {
  GridTable rx("RX", RxColumns());
  const int r = rx.AddRow();
  EXPECT_EQ(r, 0);
  EXPECT_EQ(rx.ColumnCount(), 99);
  EXPECT_EQ(rx.CellText(col::RFlag, r), "0");  // the football
  EXPECT_EQ(rx.CellInteger(col::RFlag, r), 0);
  EXPECT_EQ(rx.CellColor(col::R_Score, r), colors::kSilver);
  EXPECT_EQ(rx.CellColor(col::home_plus, r), colors::kWindow);
  for (int c = col::home_plus; c <= col::awayplus; ++c) EXPECT_EQ(rx.CellText(c, r), "");
  EXPECT_EQ(rx.CellText(col::RCh, r), "False");

  GridTable live("LiveGrid", LiveGridColumns());
  live.AddRow();
  EXPECT_EQ(live.CellColor(col::live::Score, 0), colors::kMaroon);  // 128, the unchanged mark
}

TEST(GridTable, InsertAtTopMovesRowsDown) {
  GridTable sbx("SBX", SbxColumns());
  sbx.AddRow();
  sbx.SetCellText(col::sbx::My, 0, "first");
  sbx.InsertRow(0);
  ASSERT_EQ(sbx.RowCount(), 2);
  EXPECT_EQ(sbx.CellText(col::sbx::My, 0), "");
  EXPECT_EQ(sbx.CellText(col::sbx::My, 1), "first");
  EXPECT_EQ(sbx.FirstRowWithId("first"), 1);
}

TEST(GridTable, TextOutsideTheGridDoesNothingOtherOperationsRaise) {
  GridTable g("SBX", SbxColumns());
  g.AddRow();
  g.SetCellText(99, 0, "x");
  g.SetCellText(0, 5, "x");
  g.SetCellText(-1, 0, "x");
  EXPECT_EQ(g.CellText(99, 0), "");
  EXPECT_EQ(g.CellText(0, -1), "");
  EXPECT_THROW(g.CellColor(0, 1), GridIndexError);
  EXPECT_THROW(g.SetCellColor(11, 0, 0), GridIndexError);
  EXPECT_THROW(g.CellHint(0, 1), GridIndexError);
  EXPECT_THROW(g.SetCellHint(0, 1, "h"), GridIndexError);
  EXPECT_THROW(g.CellInteger(1, 3), GridIndexError);
  EXPECT_THROW(g.SetCellInteger(1, 3, 4), GridIndexError);
  EXPECT_THROW(g.CellChecked(0, 2), GridIndexError);
  EXPECT_THROW(g.DeleteRow(1), GridIndexError);
}

TEST(GridTable, CellKindsReadAndWriteText) {
  GridTable rx("RX", RxColumns());
  rx.AddRow();
  struct Case {
    int column;
    const char* written;
    const char* read;
  };
  const Case cases[] = {
      {col::RCh, "1", "True"},    {col::RCh, "TRUE", "True"}, {col::RCh, "tRuE", "True"},
      {col::RCh, "yes", "False"}, {col::RCh, "0", "False"},   {col::RFlag, "23", "23"},
      {col::RFlag, "", "0"},      {col::RFlag, "x", "0"},     {col::R_1, "1.85", "1.85"},
  };
  for (const Case& c : cases) {
    rx.SetCellText(c.column, 0, c.written);
    EXPECT_EQ(rx.CellText(c.column, 0), c.read) << c.column << " " << c.written;
  }
  rx.SetCellText(col::RCh, 0, "true");
  EXPECT_TRUE(rx.CellChecked(col::RCh, 0));
}

TEST(GridTable, CellIntegerOnTextColumns) {
  GridTable rx("RX", RxColumns());
  rx.AddRow();
  rx.SetCellInteger(col::s00, 0, -250);
  EXPECT_EQ(rx.CellText(col::s00, 0), "-250");
  EXPECT_EQ(rx.CellInteger(col::s00, 0), -250);
  for (const char* bad : {"", "1.5", "12 ", "abc"}) {
    rx.SetCellText(col::s00, 0, bad);
    EXPECT_THROW(rx.CellInteger(col::s00, 0), GridConversionError) << bad;
  }
}

TEST(GridTable, SortByColumnIsStableAndLeavesLaterRowsUnsorted) {
  GridTable rx2("RX2", Rx2Columns());
  const char* times[] = {"15:00", "12:30", "15:00", "09:45"};
  for (int i = 0; i < 4; ++i) {
    rx2.AddRow();
    rx2.SetCellText(col::RId, i, std::to_string(i));
    rx2.SetCellText(col::RTime, i, times[i]);
  }
  rx2.SortByColumn(col::RTime);
  std::vector<std::string> ids;
  for (int r = 0; r < 4; ++r) ids.push_back(rx2.CellText(col::RId, r));
  EXPECT_EQ(ids, (std::vector<std::string>{"3", "1", "0", "2"}));
  EXPECT_EQ(rx2.FirstRowWithId("0"), 2);  // the index follows the new order

  rx2.SetColumnSortKind(col::Bet, SortKind::skDescending);
  rx2.SetCellText(col::Bet, 0, "W1");
  rx2.SetCellText(col::Bet, 2, "X");
  rx2.SortByColumn(col::Bet);
  EXPECT_EQ(rx2.CellText(col::Bet, 0), "X");
  EXPECT_EQ(rx2.CellText(col::Bet, 1), "W1");

  const int added = rx2.AddRow();
  rx2.SetCellText(col::Bet, added, "ZZ");
  EXPECT_EQ(rx2.RowCount() - 1, added);  // appended, not sorted in
  EXPECT_EQ(rx2.SortedColumn(), col::Bet);
}

TEST(GridTable, ImageColumnsSortAsNumbersAndHiddenColumnsKeepValues) {
  GridTable rx2("RX2", Rx2Columns());
  for (int flag : {23, 4, 102, 0}) rx2.SetCellInteger(col::RFlag, rx2.AddRow(), flag);
  rx2.SetColumnVisible(col::RFlag, false);
  rx2.SortByColumn(col::RFlag);
  std::vector<int> flags;
  for (int r = 0; r < 4; ++r) flags.push_back(rx2.CellInteger(col::RFlag, r));
  EXPECT_EQ(flags, (std::vector<int>{0, 4, 23, 102}));
  EXPECT_FALSE(rx2.ColumnVisible(col::RFlag));
}

TEST(GridTable, IdIndexKeepsEveryRowInOrderThroughEdits) {
  GridTable rx("RX", RxColumns());
  for (const char* id : {"a", "b", "a", "c", "a"}) rx.SetCellText(col::RId, rx.AddRow(), id);
  EXPECT_EQ(rx.RowsWithId("a"), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(rx.LastRowWithId("a"), 4);
  EXPECT_EQ(rx.FirstRowWithId("A"), -1);  // exact and case-sensitive
  EXPECT_EQ(rx.LastRowWithId("zz"), -1);

  rx.SetCellText(col::RId, 2, "c");
  EXPECT_EQ(rx.RowsWithId("a"), (std::vector<int>{0, 4}));
  EXPECT_EQ(rx.RowsWithId("c"), (std::vector<int>{2, 3}));

  rx.DeleteRow(0);
  EXPECT_EQ(rx.RowsWithId("a"), (std::vector<int>{3}));
  EXPECT_EQ(rx.RowsWithId("b"), (std::vector<int>{0}));
  rx.InsertRow(1);
  EXPECT_EQ(rx.RowsWithId(""), (std::vector<int>{1}));
  EXPECT_EQ(rx.RowsWithId("c"), (std::vector<int>{2, 3}));
  rx.ClearRows();
  EXPECT_TRUE(rx.RowsWithId("a").empty());
}

TEST(GridTable, ListenerHearsEveryChangeOnce) {
  GridTable g("SBX", SbxColumns());
  RecordingListener l;
  g.SetListener(&l);
  g.AddRow();
  g.InsertRow(0);
  g.SetCellText(2, 1, "12:00");
  g.SetCellText(2, 1, "12:00");  // unchanged: no event
  g.SetCellColor(2, 1, colors::kRed);
  g.SortByColumn(2);
  g.SetColumnVisible(2, true);  // already visible: no event
  g.SetColumnVisible(9, true);
  g.SetEnabled(false);
  g.DeleteRow(0);
  g.ClearRows();
  g.ClearRows();  // already empty: no event
  const std::vector<std::string> expected{"+0..0",    "+done", "+0..0",     "+done", "cell 2,1",
                                          "cell 2,1", "sort",  "sort-done", "col 9", "off",
                                          "-0..0",    "-done", "-0..0",     "-done"};
  EXPECT_EQ(l.events, expected);
}

}  // namespace
}  // namespace zelko
