#include "favourites/favourites.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "board/colors.h"
#include "board/columns.h"
#include "board/controls.h"
#include "board/grid_table.h"

namespace zelko {
namespace {

std::vector<std::string> Ids(const GridTable& grid) {
  std::vector<std::string> out;
  for (int r = 0; r < grid.RowCount(); ++r) out.push_back(grid.CellText(col::RId, r));
  return out;
}

class FavouritesTest : public ::testing::Test {
 protected:
  // The same match on RX and RX2, with a few cells to copy.
  void AddMatch(const std::string& id, const std::string& status) {
    for (GridTable* grid : {&rx, &rx2}) {
      const int r = grid->AddRow();
      grid->SetCellText(col::RId, r, id);
      grid->SetCellText(col::RHome, r, "Home " + id);
      grid->SetCellText(col::R_Status, r, status);
      grid->SetCellInteger(col::RFlag, r, 23);
      grid->SetCellHint(col::RFlag, r, "England. Premier League");
    }
    rx2.SetCellText(col::Bet, rx2.RowCount() - 1, "W1");
    rx2.SetCellColor(col::Bet, rx2.RowCount() - 1, colors::kRed);
  }

  GridTable rx{"RX", RxColumns()};
  GridTable rx2{"RX2", Rx2Columns()};
  GridTable rx3{"RX3", Rx3Columns()};
  Tab favoriteTab{"Favorite", false};
  FavouriteBoards boards{rx, rx2, rx3, favoriteTab};
};

TEST_F(FavouritesTest, CopyFavoriteRowCopiesEverythingButTheCross) {
  AddMatch("1", "SOON");
  for (int c = col::RTime; c < col::BoardCount; ++c) {
    if (c == col::RFlag) continue;
    rx2.SetCellText(c, 0, "t" + std::to_string(c));
    rx2.SetCellColor(c, 0, static_cast<Color>(c));
    rx2.SetCellHint(c, 0, "h" + std::to_string(c));
  }
  rx2.SetCellChecked(col::RCh, 0, true);
  const int k = rx3.AddRow();
  rx3.SetCellInteger(col::RCh, k, 5);
  CopyFavoriteRow(rx2, 0, rx3, k);
  EXPECT_EQ(rx3.CellInteger(col::RCh, k), 0);
  for (int c = 0; c < col::BoardCount; ++c) {
    if (c == col::RCh) continue;
    EXPECT_EQ(rx3.CellText(c, k), rx2.CellText(c, 0)) << c;
    EXPECT_EQ(rx3.CellColor(c, k), rx2.CellColor(c, 0)) << c;
    EXPECT_EQ(rx3.CellHint(c, k), rx2.CellHint(c, 0)) << c;
  }
}

TEST_F(FavouritesTest, ClickingTheBoxAddsAndDropsAFavourite) {
  AddMatch("1", "SOON");
  AddMatch("2", "LIVE");

  RX2CellClick(boards, col::RCh, 1);
  EXPECT_EQ(Ids(rx3), std::vector<std::string>{"2"});
  EXPECT_TRUE(favoriteTab.visible);
  EXPECT_EQ(favoriteTab.caption, "Favorite (1)");
  EXPECT_TRUE(rx.CellChecked(col::RCh, 1));
  EXPECT_FALSE(rx.CellChecked(col::RCh, 0));
  EXPECT_TRUE(rx2.CellChecked(col::RCh, 1));  // the box flips after the handler
  EXPECT_EQ(rx3.CellText(col::RHome, 0), "Home 2");
  EXPECT_EQ(rx3.CellText(col::Bet, 0), "W1");
  EXPECT_EQ(rx3.CellInteger(col::RFlag, 0), 23);
  EXPECT_EQ(rx3.CellInteger(col::RCh, 0), 0);

  RX2CellClick(boards, col::RCh, 0);
  EXPECT_EQ(Ids(rx3), (std::vector<std::string>{"2", "1"}));
  EXPECT_EQ(favoriteTab.caption, "Favorite (2)");

  RX2CellClick(boards, col::RCh, 1);
  EXPECT_EQ(Ids(rx3), std::vector<std::string>{"1"});
  EXPECT_EQ(favoriteTab.caption, "Favorite (1)");
  EXPECT_TRUE(favoriteTab.visible);
  EXPECT_FALSE(rx.CellChecked(col::RCh, 1));
  EXPECT_FALSE(rx2.CellChecked(col::RCh, 1));

  RX2CellClick(boards, col::RCh, 0);
  EXPECT_EQ(rx3.RowCount(), 0);
  EXPECT_FALSE(favoriteTab.visible);
  EXPECT_EQ(favoriteTab.caption, "Favorite (0)");
  EXPECT_FALSE(rx.CellChecked(col::RCh, 0));
  EXPECT_FALSE(rx2.CellChecked(col::RCh, 0));
}

TEST_F(FavouritesTest, OnlyTheBoxColumnReactsToAClick) {
  AddMatch("1", "SOON");
  for (const int column : {0, 2, 4, 6, 73, 114}) RX2CellClick(boards, column, 0);
  RX2CellClick(boards, col::RCh, 5);  // no such row
  EXPECT_EQ(rx3.RowCount(), 0);
  EXPECT_FALSE(rx2.CellChecked(col::RCh, 0));
  EXPECT_FALSE(rx.CellChecked(col::RCh, 0));
}

TEST_F(FavouritesTest, DroppingRemovesTheFirstEntryOfTheMatchOnly) {
  AddMatch("1", "SOON");
  AddMatch("2", "SOON");
  for (const char* id : {"1", "2", "1"}) {
    const int k = rx3.AddRow();
    rx3.SetCellText(col::RId, k, id);
    rx3.SetCellText(col::RHome, k, std::string("entry ") + std::to_string(k));
  }
  rx2.SetCellChecked(col::RCh, 0, true);
  rx.SetCellChecked(col::RCh, 0, true);
  RX2CellClick(boards, col::RCh, 0);
  EXPECT_EQ(Ids(rx3), (std::vector<std::string>{"2", "1"}));
  EXPECT_EQ(rx3.CellText(col::RHome, 1), "entry 2");
  EXPECT_EQ(favoriteTab.caption, "Favorite (2)");
  EXPECT_FALSE(rx.CellChecked(col::RCh, 0));
}

TEST_F(FavouritesTest, DroppingAMatchWithoutEntryOnlyUnchecksTheMainBoard) {
  AddMatch("1", "SOON");
  rx2.SetCellChecked(col::RCh, 0, true);
  rx.SetCellChecked(col::RCh, 0, true);
  favoriteTab = {"Favorite (3)", true};
  RX2CellClick(boards, col::RCh, 0);
  EXPECT_FALSE(rx.CellChecked(col::RCh, 0));
  EXPECT_FALSE(rx2.CellChecked(col::RCh, 0));
  EXPECT_EQ(favoriteTab.caption, "Favorite (3)");
  EXPECT_TRUE(favoriteTab.visible);
}

TEST_F(FavouritesTest, AMatchMissingFromTheMainBoardStillBecomesAFavourite) {
  AddMatch("1", "SOON");
  rx.SetCellText(col::RId, 0, "other");
  RX2CellClick(boards, col::RCh, 0);
  EXPECT_EQ(Ids(rx3), std::vector<std::string>{"1"});
  EXPECT_FALSE(rx.CellChecked(col::RCh, 0));
  EXPECT_TRUE(rx2.CellChecked(col::RCh, 0));
}

TEST_F(FavouritesTest, TheRedCrossRemovesAFavourite) {
  AddMatch("1", "SOON");
  AddMatch("2", "SOON");
  RX2CellClick(boards, col::RCh, 0);
  RX2CellClick(boards, col::RCh, 1);
  ASSERT_EQ(rx3.RowCount(), 2);

  RX3CellClick(boards, col::RHome, 0);  // not the cross
  EXPECT_EQ(rx3.RowCount(), 2);

  RX3CellClick(boards, col::RCh, 0);
  EXPECT_EQ(Ids(rx3), std::vector<std::string>{"2"});
  EXPECT_EQ(favoriteTab.caption, "Favorite (1)");
  EXPECT_TRUE(favoriteTab.visible);
  EXPECT_FALSE(rx.CellChecked(col::RCh, 0));
  EXPECT_FALSE(rx2.CellChecked(col::RCh, 0));
  EXPECT_TRUE(rx2.CellChecked(col::RCh, 1));

  // A favourite whose match left both boards goes as well.
  rx.ClearRows();
  rx2.ClearRows();
  RX3CellClick(boards, col::RCh, 0);
  EXPECT_EQ(rx3.RowCount(), 0);
  EXPECT_EQ(favoriteTab.caption, "Favorite (0)");
  EXPECT_FALSE(favoriteTab.visible);
}

TEST_F(FavouritesTest, SyncRefreshesFavouritesFromTheWorkBoard) {
  AddMatch("1", "SOON");
  AddMatch("2", "SOON");
  RX2CellClick(boards, col::RCh, 0);
  RX2CellClick(boards, col::RCh, 1);
  rx2.SetCellText(col::R_Score, 0, "1:0");
  rx2.SetCellColor(col::R_Score, 0, colors::kYellow);
  rx2.SetCellHint(col::R_Score, 0, "goal");
  rx2.SetCellChecked(col::RCh, 0, false);
  // Match 2 is filtered off the work board: its favourite keeps its last copy.
  rx2.DeleteRow(1);
  SyncFavorites(rx2, rx3);
  EXPECT_EQ(rx3.CellText(col::R_Score, 0), "1:0");
  EXPECT_EQ(rx3.CellColor(col::R_Score, 0), colors::kYellow);
  EXPECT_EQ(rx3.CellHint(col::R_Score, 0), "goal");
  EXPECT_EQ(rx3.CellInteger(col::RCh, 0), 0);
  EXPECT_EQ(rx3.CellText(col::RHome, 1), "Home 2");
  EXPECT_EQ(rx3.CellText(col::R_Score, 1), "");
}

class DoubleClickTest : public FavouritesTest {
 protected:
  void DoubleClick(int row) {
    RX3CellDblClick(
        boards, col::RHome, row,
        [this] {
          events.push_back("pending");
          EXPECT_FALSE(rx2.Enabled());
          EXPECT_FALSE(rx3.Enabled());
        },
        [this](int rxRow) {
          events.push_back("analyze " + std::to_string(rxRow));
          rx.SetCellText(col::rbet, rxRow, "X" + std::to_string(rxRow));
          if (failAnalysis) throw std::runtime_error("analysis failed");
        });
  }
  std::vector<std::string> events;
  bool failAnalysis = false;
};

TEST_F(DoubleClickTest, ReanalysesEveryMainBoardRowOfALiveOrSoonFavourite) {
  for (const char* status : {"LIVE", "SOON"}) {
    rx.ClearRows();
    rx2.ClearRows();
    rx3.ClearRows();
    events.clear();
    AddMatch("other", status);
    AddMatch("1", status);
    const int again = rx.AddRow();  // a second RX row of the same match
    rx.SetCellText(col::RId, again, "1");
    RX2CellClick(boards, col::RCh, 1);

    DoubleClick(0);
    EXPECT_EQ(events, (std::vector<std::string>{"pending", "analyze 1", "pending", "analyze 2"}))
        << status;
    // The last analysed row reaches RX2 and from there the favourite.
    EXPECT_EQ(rx2.CellText(col::Bet, 1), "X2");
    EXPECT_EQ(rx3.CellText(col::Bet, 0), "X2");
    EXPECT_TRUE(rx2.Enabled());
    EXPECT_TRUE(rx3.Enabled());
  }
}

TEST_F(DoubleClickTest, FinishedMatchesAreNotReanalysed) {
  AddMatch("1", "FINISH");
  RX2CellClick(boards, col::RCh, 0);
  rx2.SetCellText(col::R_Score, 0, "3:0");
  rx2.SetEnabled(false);
  DoubleClick(0);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(rx3.CellText(col::R_Score, 0), "");  // not even synced
  EXPECT_TRUE(rx2.Enabled());
  EXPECT_TRUE(rx3.Enabled());
}

TEST_F(DoubleClickTest, AMatchOffTheWorkBoardIsNotAnalysedButFavouritesAreSynced) {
  AddMatch("1", "LIVE");
  AddMatch("2", "LIVE");
  RX2CellClick(boards, col::RCh, 0);
  RX2CellClick(boards, col::RCh, 1);
  rx2.DeleteRow(0);
  rx2.SetCellText(col::R_Score, 0, "0:1");
  DoubleClick(0);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(rx3.CellText(col::R_Score, 1), "0:1");
}

TEST_F(DoubleClickTest, AFailedAnalysisLeavesTheBoardsEnabled) {
  AddMatch("1", "SOON");
  RX2CellClick(boards, col::RCh, 0);
  failAnalysis = true;
  EXPECT_THROW(DoubleClick(0), std::runtime_error);
  EXPECT_TRUE(rx2.Enabled());
  EXPECT_TRUE(rx3.Enabled());
}

}  // namespace
}  // namespace zelko
