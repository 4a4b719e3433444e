#include "board/grid_table.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>
#include <string_view>
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

TEST(GridTable, SortingKeepsEveryRowWholeOnBoardsOfEverySize) {
  // The rows are sorted through their places and then moved into their order: every row
  // arrives whole (cells, hints, the index) and in a stable order, whatever the board's size.
  for (int rows = 2; rows <= 70; ++rows) {
    SCOPED_TRACE(rows);
    GridTable rx("RX", RxColumns());
    for (int r = 0; r < rows; ++r) {
      rx.SetCellText(col::RId, rx.AddRow(), std::string("m").append(std::to_string(r)));
      rx.SetCellText(col::RHome, r, std::to_string((r * 7) % 10));
      rx.SetCellHint(col::RFlag, r, std::string("hint ").append(std::to_string(r)));
    }
    rx.SortByColumn(col::RHome);
    int last = -1;
    std::vector<int> seen(10, -1);  // the ID number last met for each key: ascending (stable)
    for (int r = 0; r < rx.RowCount(); ++r) {
      const int key = std::stoi(rx.CellText(col::RHome, r));
      const int id = std::stoi(rx.CellText(col::RId, r).substr(1));
      ASSERT_LE(last, key);
      ASSERT_LT(seen[static_cast<std::size_t>(key)], id);
      EXPECT_EQ(rx.CellHint(col::RFlag, r), std::string("hint ").append(std::to_string(id)));
      EXPECT_EQ(rx.FirstRowWithId(rx.CellText(col::RId, r)), r);
      last = key;
      seen[static_cast<std::size_t>(key)] = id;
    }
  }
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

// The rows whose column 0 reads `id`, found by looking at every row.
std::vector<int> ScanForId(const GridTable& grid, const std::string& id) {
  std::vector<int> rows;
  for (int r = 0; r < grid.RowCount(); ++r) {
    if (grid.TextView(col::RId, r) == id) rows.push_back(r);
  }
  return rows;
}

TEST(GridTable, IdIndexAgreesWithAScanThroughRandomEdits) {
  // IDs on one row and on many (a few common ones and hundreds of rare ones), IDs that leave a
  // row and come back, rows appended, inserted, removed, sorted, copied over and cleared, with
  // lookups between the edits so that the index is both kept up to date and rebuilt.
  std::vector<std::string> ids = {"", "m1", "m2", "Москва", "x"};
  const std::size_t common = ids.size();
  for (int i = 0; i < 300; ++i) ids.push_back("id" + std::to_string(i));
  std::mt19937 random(20261210u);
  std::uniform_int_distribution<std::size_t> pickCommon(0, common - 1);
  std::uniform_int_distribution<std::size_t> pickAny(0, ids.size() - 1);
  std::uniform_int_distribution<int> pickEdit(0, 999);
  const auto pickId = [&]() -> const std::string& {
    return ids[random() % 2 == 0 ? pickCommon(random) : pickAny(random)];
  };
  GridTable rx("RX", RxColumns());
  GridTable source("RX", RxColumns());
  source.SetCellText(col::RId, source.AddRow(), "m2");
  int checked = 0;
  int mostRows = 0;
  for (int step = 0; step < 4000; ++step) {
    const int edit = pickEdit(random);
    const int rows = rx.RowCount();
    std::uniform_int_distribution<int> pickRow(0, std::max(rows - 1, 0));
    // Edits that move rows (which have the index rebuilt) are rare, so that long runs of edits
    // are followed in place.
    if (edit < 450 || rows == 0) {
      rx.SetCellText(col::RId, rx.AddRow(), pickId());
    } else if (edit < 900) {
      rx.SetCellText(col::RId, pickRow(random), pickId());
    } else if (edit < 970) {
      rx.CopyCellsFrom(source, 0, 0, col::RId, pickRow(random));
    } else if (edit < 980) {
      rx.DeleteRow(pickRow(random));
    } else if (edit < 990) {
      rx.InsertRow(pickRow(random));
    } else if (edit < 995) {
      rx.SetCellText(col::RHome, pickRow(random), pickId());
      rx.SortByColumn(col::RHome);
    } else if (edit < 996) {
      rx.ClearRows();
    }
    mostRows = std::max(mostRows, rx.RowCount());
    // Look up after some edits only, so that several edits meet the index in between.
    if (step % 3 != 0) continue;
    for (std::size_t look = 0; look < 12; ++look) {
      const std::string& id = look < common ? ids[look] : pickId();
      const std::vector<int> expected = ScanForId(rx, id);
      // Fetching rows ahead meets the index in every state (rebuild pending, removed places,
      // lists) and must leave it, and every cell, as they are; columns out of range are skipped.
      static constexpr int kFetched[] = {-1, 0, col::RId, 100000};
      rx.PrefetchRowsWithId(id, kFetched);
      ASSERT_EQ(rx.RowsWithId(id), expected) << "step " << step << " id " << id;
      ASSERT_EQ(rx.FirstRowWithId(id), expected.empty() ? -1 : expected.front());
      ASSERT_EQ(rx.LastRowWithId(id), expected.empty() ? -1 : expected.back());
      ++checked;
    }
    EXPECT_TRUE(rx.RowsWithId("absent").empty());
  }
  // The edits grew the board far past the index's first size, more than once.
  EXPECT_GT(mostRows, 300);
  EXPECT_GT(checked, 10000);
}

// Fills row `r` of `grid` with a different text, colour and hint in every cell, a ticked box,
// a flag and an ID.
void FillDistinctRow(GridTable& grid, int r, const std::string& id) {
  for (int c = 0; c < grid.ColumnCount(); ++c) {
    const std::string number = std::to_string(c);
    std::string text = number;
    text.append(" Москва");
    grid.SetCellText(c, r, text);
    grid.SetCellColor(c, r, static_cast<Color>(0x100 + c));
    std::string hint = number;
    hint.append(" hint");
    if (c % 3 != 0) grid.SetCellHint(c, r, hint);
  }
  grid.SetCellText(col::RId, r, id);
  grid.SetCellText(col::R_1S, r, "-12");
  grid.SetCellChecked(col::RCh, r, true);
  grid.SetCellInteger(col::RFlag, r, 17);
}

// The copy a cell at a time that CopyCellsFrom stands for.
void CopyCellByCell(const GridTable& from, int fromRow, int first, int last, GridTable& to,
                    int toRow) {
  for (int c = first; c <= last; ++c) {
    to.SetCellText(c, toRow, from.CellText(c, fromRow));
    to.SetCellColor(c, toRow, from.CellColor(c, fromRow));
    to.SetCellHint(c, toRow, from.CellHint(c, fromRow));
  }
}

void ExpectSameRow(const GridTable& a, int ra, const GridTable& b, int rb) {
  ASSERT_EQ(a.ColumnCount(), b.ColumnCount());
  for (int c = 0; c < a.ColumnCount(); ++c) {
    SCOPED_TRACE("column " + std::to_string(c));
    EXPECT_EQ(a.CellText(c, ra), b.CellText(c, rb));
    EXPECT_EQ(a.TextView(c, ra), b.TextView(c, rb));
    EXPECT_EQ(a.CellColor(c, ra), b.CellColor(c, rb));
    EXPECT_EQ(a.CellHint(c, ra), b.CellHint(c, rb));
    EXPECT_EQ(a.CellChecked(c, ra), b.CellChecked(c, rb));
    if (a.Column(c).kind != ColumnKind::Text) {
      EXPECT_EQ(a.CellInteger(c, ra), b.CellInteger(c, rb));
    }
  }
}

TEST(GridTable, CopyCellsFromGivesWhatTheCellByCellCopyGives) {
  GridTable rx("RX", RxColumns());
  FillDistinctRow(rx, rx.AddRow(), "m1");
  FillDistinctRow(rx, rx.AddRow(), "m2");
  rx.SetCellChecked(col::RCh, 1, false);
  rx.SetCellHint(col::RHome, 1, "");

  GridTable bulk("RX2", Rx2Columns());
  GridTable single("RX2", Rx2Columns());
  for (int r = 0; r < 2; ++r) {
    bulk.AddRow();
    single.AddRow();
  }
  // Row 1 holds other values first, so the copy overwrites as well as fills.
  FillDistinctRow(bulk, 1, "old");
  FillDistinctRow(single, 1, "old");
  for (int r = 0; r < 2; ++r) {
    bulk.CopyCellsFrom(rx, r, 0, col::SharedLast, r);
    CopyCellByCell(rx, r, 0, col::SharedLast, single, r);
    ExpectSameRow(bulk, r, single, r);
  }
  EXPECT_EQ(bulk.CellText(col::RCh, 0), "True");
  EXPECT_EQ(bulk.CellText(col::RCh, 1), "False");
  EXPECT_EQ(bulk.CellInteger(col::RFlag, 0), 17);
  EXPECT_EQ(bulk.CellInteger(col::R_1S, 0), -12);
  EXPECT_EQ(bulk.RowsWithId("m1"), (std::vector<int>{0}));
  EXPECT_EQ(bulk.RowsWithId("m2"), (std::vector<int>{1}));
  EXPECT_TRUE(bulk.RowsWithId("old").empty());
  EXPECT_TRUE(bulk.RowsWithId("").empty());
}

TEST(GridTable, CopyCellsFromTakesColumnsOfAnotherKindAsTexts) {
  // Column 3 is a check box on RX2 and an image on RX3.
  GridTable rx2("RX2", Rx2Columns());
  FillDistinctRow(rx2, rx2.AddRow(), "m1");
  GridTable bulk("RX3", Rx3Columns());
  GridTable single("RX3", Rx3Columns());
  bulk.AddRow();
  single.AddRow();
  bulk.SetCellInteger(col::RCh, 0, 2);
  single.SetCellInteger(col::RCh, 0, 2);
  bulk.CopyCellsFrom(rx2, 0, 0, col::BoardCount - 1, 0);
  CopyCellByCell(rx2, 0, 0, col::BoardCount - 1, single, 0);
  ExpectSameRow(bulk, 0, single, 0);
  EXPECT_EQ(bulk.CellInteger(col::RCh, 0), 0);  // "True" is no image index
}

TEST(GridTable, CopyCellsFromTellsTheListenerOncePerChangedCell) {
  GridTable rx("RX", RxColumns());
  FillDistinctRow(rx, rx.AddRow(), "m1");
  GridTable rx2("RX2", Rx2Columns());
  rx2.AddRow();
  rx2.CopyCellsFrom(rx, 0, 0, col::SharedLast, 0);
  rx.SetCellText(col::RHome, 0, "Спартак");
  rx.SetCellColor(col::RAway, 0, colors::kRed);
  rx.SetCellHint(col::RDate, 0, "a hint");
  rx.SetCellChecked(col::RCh, 0, false);
  rx.SetCellInteger(col::RFlag, 0, 3);
  rx.SetCellText(col::RId, 0, "m9");

  RecordingListener l;
  rx2.SetListener(&l);
  rx2.CopyCellsFrom(rx, 0, 0, col::SharedLast, 0);
  const std::vector<std::string> expected{"cell 0,0", "cell 2,0", "cell 3,0",
                                          "cell 4,0", "cell 6,0", "cell 7,0"};
  EXPECT_EQ(l.events, expected);
  EXPECT_EQ(rx2.RowsWithId("m9"), (std::vector<int>{0}));
  EXPECT_TRUE(rx2.RowsWithId("m1").empty());
  GridTable plain("RX2", Rx2Columns());
  plain.AddRow();
  CopyCellByCell(rx, 0, 0, col::SharedLast, plain, 0);
  ExpectSameRow(rx2, 0, plain, 0);

  l.events.clear();
  rx2.CopyCellsFrom(rx, 0, 0, col::SharedLast, 0);  // nothing new
  EXPECT_TRUE(l.events.empty());
}

TEST(GridTable, CopyCellsFromOutsideEitherGridRaisesAndWritesNothing) {
  GridTable rx("RX", RxColumns());
  FillDistinctRow(rx, rx.AddRow(), "m1");
  GridTable rx2("RX2", Rx2Columns());
  rx2.AddRow();
  EXPECT_THROW(rx2.CopyCellsFrom(rx, 1, 0, 5, 0), GridIndexError);
  EXPECT_THROW(rx2.CopyCellsFrom(rx, 0, 0, 5, 1), GridIndexError);
  EXPECT_THROW(rx2.CopyCellsFrom(rx, 0, 0, col::RxCount, 0), GridIndexError);
  EXPECT_THROW(rx2.CopyCellsFrom(rx, 0, -1, 5, 0), GridIndexError);
  EXPECT_EQ(rx2.CellText(col::RId, 0), "");
  EXPECT_EQ(rx2.CellColor(col::RDate, 0), Rx2Columns()[col::RDate].color);
}

// A league name past the 23 bytes a cell keeps in place.
constexpr std::string_view kLongText = "Суперлига, группа чемпионата: 2-й тур";

// AddRowCopy against AddRow and CopyCellsFrom, on boards whose cleared rows held other cells
// (long texts, hints on other columns, a ticked box), and on more rows than were cleared.
TEST(GridTable, AddRowCopyGivesWhatAddingAndCopyingGive) {
  struct Case {
    const char* what;
    std::span<const ColumnSpec> from;
    std::span<const ColumnSpec> to;
    int first;
    int last;
  };
  const Case cases[] = {
      {"RX on to RX2, shared columns", RxColumns(), Rx2Columns(), 0, col::SharedLast},
      {"RX on to RX2, a few columns", RxColumns(), Rx2Columns(), 40, 45},
      {"RX2 on to RX3, kinds differ", Rx2Columns(), Rx3Columns(), 0, col::BoardCount - 1},
      {"nothing copied", RxColumns(), Rx2Columns(), 5, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GridTable source("FROM", c.from);
    FillDistinctRow(source, source.AddRow(), "m1");
    FillDistinctRow(source, source.AddRow(), "m2");
    source.SetCellText(col::RHome, 1, kLongText);
    source.SetCellChecked(col::RCh, 1, false);
    source.SetCellHint(col::RAway, 1, "");
    source.SetCellText(col::RId, source.AddRow(), "m3");  // mostly fresh

    GridTable bulk("TO", c.to);
    GridTable single("TO", c.to);
    for (GridTable* g : {&bulk, &single}) {
      FillDistinctRow(*g, g->AddRow(), "old");
      g->AddRow();
      FillDistinctRow(*g, g->AddRow(), "m1");
      for (int k = 0; k < g->ColumnCount(); k += 2) g->SetCellText(k, 2, kLongText);
      g->ClearRows();
    }
    RecordingListener bulkHeard;
    bulk.SetListener(&bulkHeard);
    const int order[] = {1, 2, 0, 0, 1};  // one more row than the spare ones
    std::vector<std::string> inserts;
    for (const int r : order) {
      const int row = bulk.AddRowCopy(source, r, c.first, c.last);
      EXPECT_EQ(single.AddRow(), row);
      single.CopyCellsFrom(source, r, c.first, c.last, row);
      ExpectSameRow(bulk, row, single, row);
      inserts.push_back(
          std::string("+").append(std::to_string(row)).append("..").append(std::to_string(row)));
      inserts.push_back("+done");
    }
    // The rows come in with their cells: the listener hears the inserts only.
    EXPECT_EQ(bulkHeard.events, inserts);
    for (const char* id : {"m1", "m2", "m3", "old", ""}) {
      EXPECT_EQ(bulk.RowsWithId(id), single.RowsWithId(id)) << id;
    }
  }
}

// What a view reads of the last row when it hears that the row came in.
struct LastRowReader final : GridListener {
  const GridTable* grid = nullptr;
  std::vector<std::string> seen;
  void BeforeInsertRows(int, int) override {}
  void AfterInsertRows() override {
    seen.push_back(grid->CellText(col::RId, grid->RowCount() - 1));
  }
  void BeforeRemoveRows(int, int) override {}
  void AfterRemoveRows() override {}
  void BeforeReorder() override {}
  void AfterReorder() override {}
  void CellChanged(int, int) override {}
  void ColumnVisibilityChanged(int) override {}
  void EnabledChanged(bool) override {}
};

TEST(GridTable, AddRowCopyShowsTheRowWithItsCellsWhenItComesIn) {
  GridTable rx("RX", RxColumns());
  FillDistinctRow(rx, rx.AddRow(), "m1");
  GridTable rx2("RX2", Rx2Columns());
  LastRowReader reader;
  reader.grid = &rx2;
  rx2.SetListener(&reader);
  rx2.AddRowCopy(rx, 0, 0, col::SharedLast);
  EXPECT_EQ(reader.seen, (std::vector<std::string>{"m1"}));
}

// A grid copying its own rows: appending may move the rows, the one copied from included.
TEST(GridTable, AddRowCopyTakesARowOfItsOwnGrid) {
  GridTable rx("RX", RxColumns());
  FillDistinctRow(rx, rx.AddRow(), "m1");
  rx.SetCellText(col::RHome, 0, kLongText);
  for (int i = 0; i < 40; ++i) {
    const int row = rx.AddRowCopy(rx, i, 0, col::RxCount - 1);
    ExpectSameRow(rx, row, rx, 0);
  }
  EXPECT_EQ(rx.RowsWithId("m1").size(), 41u);
}

TEST(GridTable, AddRowCopyOutsideEitherGridRaisesAndAddsNothing) {
  GridTable rx("RX", RxColumns());
  FillDistinctRow(rx, rx.AddRow(), "m1");
  GridTable rx2("RX2", Rx2Columns());
  RecordingListener heard;
  rx2.SetListener(&heard);
  EXPECT_THROW(rx2.AddRowCopy(rx, 1, 0, 5), GridIndexError);
  EXPECT_THROW(rx2.AddRowCopy(rx, 0, 0, col::RxCount), GridIndexError);
  EXPECT_THROW(rx2.AddRowCopy(rx, 0, -1, 5), GridIndexError);
  GridTable narrow("SBX", SbxColumns());
  EXPECT_THROW(narrow.AddRowCopy(rx, 0, 0, col::SharedLast), GridIndexError);
  EXPECT_EQ(rx2.RowCount(), 0);
  EXPECT_EQ(narrow.RowCount(), 0);
  EXPECT_TRUE(heard.events.empty());
}

TEST(GridTable, ARowNoteHoldsUntilTheRowChanges) {
  GridTable rx("RX", RxColumns());
  for (int i = 0; i < 3; ++i) rx.SetCellText(col::RId, rx.AddRow(), std::to_string(3 - i));
  GridTable other("RX2", RxColumns());
  other.AddRow();
  struct Case {
    const char* what;
    void (*write)(GridTable& rx, const GridTable& other);
    bool clears;
  };
  const Case cases[] = {
      {"same text", [](GridTable& g, const GridTable&) { g.SetCellText(col::R_1, 1, ""); }, false},
      {"same colour",
       [](GridTable& g, const GridTable&) {
         g.SetCellColor(col::R_1, 1, g.CellColor(col::R_1, 1));
       },
       false},
      {"a text", [](GridTable& g, const GridTable&) { g.SetCellText(col::R_1, 1, "2"); }, true},
      {"an integer", [](GridTable& g, const GridTable&) { g.SetCellInteger(col::R_1, 1, 7); },
       true},
      {"a colour", [](GridTable& g, const GridTable&) { g.SetCellColor(col::R_1, 1, 5); }, true},
      {"a hint", [](GridTable& g, const GridTable&) { g.SetCellHint(col::RFlag, 1, "h"); }, true},
      {"the ID", [](GridTable& g, const GridTable&) { g.SetCellText(col::RId, 1, "9"); }, true},
      {"a copy", [](GridTable& g, const GridTable& o) { g.CopyCellsFrom(o, 0, 40, 41, 1); }, true},
      {"another row", [](GridTable& g, const GridTable&) { g.SetCellText(col::R_1, 0, "x"); },
       false},
  };
  for (const Case& c : cases) {
    rx.SetRowNote(1, 42);
    c.write(rx, other);
    EXPECT_EQ(rx.RowNote(1), c.clears ? 0u : 42u) << c.what;
  }
  // The note travels with its row.
  rx.SetRowNote(1, 42);
  rx.SetRowNote(2, 43);
  rx.SortByColumn(col::RId);  // IDs "3", "9", "1" become "1", "3", "9"
  EXPECT_EQ(rx.RowNote(0), 43u);
  EXPECT_EQ(rx.RowNote(1), 0u);
  EXPECT_EQ(rx.RowNote(2), 42u);
  rx.InsertRow(0);
  EXPECT_EQ(rx.RowNote(0), 0u);
  EXPECT_EQ(rx.RowNote(3), 42u);
  EXPECT_THROW(rx.RowNote(4), GridIndexError);
  EXPECT_THROW(rx.SetRowNote(-1, 1), GridIndexError);
  // A row added after clearing starts without a note.
  rx.ClearRows();
  rx.AddRow();
  EXPECT_EQ(rx.RowNote(0), 0u);
}

// The rule the work board's rows are made by, in short: a copy and a label.
void MakeRowFrom(GridTable& board, const GridTable& from, int r) {
  const int t = board.AddRowCopy(from, r, 0, col::SharedLast);
  board.SetCellText(col::BetLabel, t, kBetLabelText);
  board.NoteRowMadeFrom(t, from, r);
}

TEST(GridTable, AClearedRowIsKeptOnlyWhileNeitherItNorItsSourceChanged) {
  struct Case {
    const char* what;
    void (*change)(GridTable& rx, GridTable& rx2);
    bool kept;
  };
  const Case cases[] = {
      {"nothing", [](GridTable&, GridTable&) {}, true},
      {"the same text written",
       [](GridTable& g, GridTable&) { g.SetCellText(col::R_1, 0, "27 Москва"); }, true},
      {"notes",
       [](GridTable& g, GridTable& b) {
         g.SetRowNote(0, 5);
         b.SetRowNote(0, 6);
       },
       true},
      {"another source row", [](GridTable& g, GridTable&) { g.SetCellText(col::R_1, 1, "x"); },
       true},
      {"a source text", [](GridTable& g, GridTable&) { g.SetCellText(col::R_1, 0, "x"); }, false},
      {"a source text past the copy",
       [](GridTable& g, GridTable&) { g.SetCellText(col::rbet, 0, "x"); }, false},
      {"a source colour", [](GridTable& g, GridTable&) { g.SetCellColor(col::R_1, 0, 1); }, false},
      {"a source hint", [](GridTable& g, GridTable&) { g.SetCellHint(col::R_1Pr, 0, ""); }, false},
      {"a source box", [](GridTable& g, GridTable&) { g.SetCellChecked(col::RCh, 0, false); },
       false},
      {"a source copy",
       [](GridTable& g, GridTable&) { g.CopyCellsFrom(g, 1, col::R_1, col::R_1, 0); }, false},
      {"the source row replaced",
       [](GridTable& g, GridTable&) {
         g.DeleteRow(0);
         g.InsertRow(0);
       },
       false},
      {"a board text", [](GridTable&, GridTable& b) { b.SetCellText(col::R_Min, 0, "45"); }, false},
      {"a board colour", [](GridTable&, GridTable& b) { b.SetCellColor(col::Bet, 0, 9); }, false},
      {"a board hint", [](GridTable&, GridTable& b) { b.SetCellHint(col::Bet, 0, "h"); }, false},
      {"a board copy",
       [](GridTable& g, GridTable& b) { b.CopyCellsFrom(g, 1, col::R_1, col::R_1, 0); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GridTable rx("RX", RxColumns());
    for (int r = 0; r < 3; ++r) {
      FillDistinctRow(rx, rx.AddRow(), std::string("m").append(std::to_string(r)));
    }
    GridTable rx2("RX2", Rx2Columns());
    for (int r = 0; r < 3; ++r) MakeRowFrom(rx2, rx, r);
    c.change(rx, rx2);
    RecordingListener heard;
    rx2.SetListener(&heard);
    rx2.ClearRows();
    heard.events.clear();
    const int kept = rx2.AddRowMadeFrom(rx, 0);
    if (!c.kept) {
      EXPECT_EQ(kept, -1);
      EXPECT_EQ(rx2.RowCount(), 0);
      EXPECT_TRUE(heard.events.empty());
      continue;
    }
    ASSERT_EQ(kept, 0);
    EXPECT_EQ(heard.events, (std::vector<std::string>{"+0..0", "+done"}));
    EXPECT_EQ(rx2.RowNote(0), 0u);
    EXPECT_EQ(rx2.FirstRowWithId("m0"), 0);
    // The kept row is what the rule makes of the source row as it is now.
    GridTable fresh("RX2", Rx2Columns());
    MakeRowFrom(fresh, rx, 0);
    ExpectSameRow(rx2, 0, fresh, 0);
  }
}

TEST(GridTable, AClearedRowIsKeptOnlyForTheRowItWasMadeFrom) {
  GridTable rx("RX", RxColumns());
  // Another grid written the same way, so that its rows went through the same changes.
  GridTable twin("RX", RxColumns());
  for (int r = 0; r < 3; ++r) {
    FillDistinctRow(rx, rx.AddRow(), std::string("m").append(std::to_string(r)));
    FillDistinctRow(twin, twin.AddRow(), std::string("t").append(std::to_string(r)));
  }
  GridTable rx2("RX2", Rx2Columns());
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 0), -1);  // no cleared rows
  for (int r = 0; r < 3; ++r) MakeRowFrom(rx2, rx, r);
  rx2.ClearRows();
  EXPECT_EQ(rx2.AddRowMadeFrom(twin, 0), -1);
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 1), -1);  // the next cleared row was made from row 0
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, -1), -1);
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 3), -1);
  // A row keeps what it was made from when the source's rows move.
  rx.SetColumnSortKind(col::RId, SortKind::skDescending);
  rx.SortByColumn(col::RId);  // m2, m1, m0
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 0), -1);
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 2), 0);
  EXPECT_EQ(rx2.RowCount(), 1);
  // The storage of m1's row, taken by a new row and cleared again, holds that row now.
  EXPECT_EQ(rx2.AddRow(), 1);
  rx2.ClearRows();
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 2), 0);
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 1), -1);
  EXPECT_EQ(rx2.RowsWithId("m0"), std::vector<int>{0});
  EXPECT_THROW(rx2.NoteRowMadeFrom(1, rx, 0), GridIndexError);
  EXPECT_THROW(rx2.NoteRowMadeFrom(0, rx, 3), GridIndexError);
  // The cleared row left untaken (m2's) comes after the rows of the last clear, and is still
  // kept for its source row.
  EXPECT_EQ(rx2.AddRow(), 1);
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 0), 2);
  EXPECT_EQ(rx2.RowsWithId("m2"), std::vector<int>{2});
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 0), -1);  // no cleared rows left
  EXPECT_EQ(rx2.AddRow(), 3);
}

TEST(GridTable, EditsWhileClearedRowsWaitMoveOnlyTheRows) {
  GridTable rx("RX", RxColumns());
  for (int r = 0; r < 5; ++r) {
    FillDistinctRow(rx, rx.AddRow(), std::string("m").append(std::to_string(r)));
  }
  GridTable rx2("RX2", Rx2Columns());
  GridTable made("RX2", Rx2Columns());
  for (int r = 0; r < 5; ++r) {
    MakeRowFrom(rx2, rx, r);
    MakeRowFrom(made, rx, r);
  }
  GridTable fresh("RX2", Rx2Columns());
  fresh.AddRow();
  rx2.ClearRows();
  ASSERT_EQ(rx2.AddRowMadeFrom(rx, 0), 0);
  ASSERT_EQ(rx2.AddRowMadeFrom(rx, 1), 1);
  // An insert takes the next cleared row (m2's) as a fresh one; a sort and a removal move the
  // rows and leave the cleared rows waiting behind them, in their order.
  rx2.InsertRow(0);
  ExpectSameRow(rx2, 0, fresh, 0);
  rx2.SetCellText(col::RId, 0, "z");
  rx2.SortByColumn(col::RId);  // m0, m1, z
  rx2.DeleteRow(0);            // m1, z
  ASSERT_EQ(rx2.RowCount(), 2);
  EXPECT_EQ(rx2.TextView(col::RId, 0), "m1");
  EXPECT_EQ(rx2.TextView(col::RId, 1), "z");
  EXPECT_TRUE(rx2.RowsWithId("m2").empty());
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 2), -1);
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 3), 2);
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 4), 3);
  ExpectSameRow(rx2, 2, made, 3);
  ExpectSameRow(rx2, 3, made, 4);
  EXPECT_EQ(rx2.AddRowMadeFrom(rx, 4), -1);  // none left
  EXPECT_EQ(rx2.AddRow(), 4);
  ExpectSameRow(rx2, 4, fresh, 0);
  EXPECT_EQ(rx2.RowsWithId("m4"), std::vector<int>{3});
  EXPECT_EQ(rx2.RowsWithId("z"), std::vector<int>{1});
}

TEST(GridTable, RowsAddedAfterClearingAreFresh) {
  GridTable rx2("RX2", Rx2Columns());
  GridTable fresh("RX2", Rx2Columns());
  fresh.AddRow();
  for (int r = 0; r < 3; ++r) {
    FillDistinctRow(rx2, rx2.AddRow(), std::string("m").append(std::to_string(r)));
  }
  rx2.ClearRows();
  rx2.ReserveRows(4);
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(rx2.AddRow(), r);
    ExpectSameRow(rx2, r, fresh, 0);
  }
  rx2.InsertRow(1);
  ExpectSameRow(rx2, 1, fresh, 0);
  EXPECT_EQ(rx2.RowsWithId(""), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_TRUE(rx2.RowsWithId("m0").empty());
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
