#include "board/columns.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zelko {
namespace {

struct GridShape {
  const char* grid;
  std::span<const ColumnSpec> columns;
  int count;
  std::set<int> hidden;
};

std::set<int> Range(int first, int last) {
  std::set<int> s;
  for (int i = first; i <= last; ++i) s.insert(i);
  return s;
}

std::set<int> Union(std::initializer_list<std::set<int>> parts) {
  std::set<int> s;
  for (const auto& p : parts) s.insert(p.begin(), p.end());
  return s;
}

TEST(ColumnTables, CountsAndStartVisibility) {
  const std::set<int> boardHidden =
      Union({{col::RId, col::RMy}, Range(8, 26), Range(col::s00, col::s04)});
  const GridShape shapes[] = {
      {"RX", RxColumns(), 99, Union({{col::RId, col::RMy, col::rbet}, Range(8, 26)})},
      {"RX2", Rx2Columns(), 115, Union({boardHidden, Range(col::score00, col::score04)})},
      {"RX3", Rx3Columns(), 115, Union({boardHidden, Range(col::score00, col::score04)})},
      {"SBX", SbxColumns(), 11, {col::sbx::My, col::sbx::Status, col::sbx::Score}},
      {"LiveGrid", LiveGridColumns(), 21, {col::live::Id, col::live::MyScore}},
      {"LiveStatGrid", LiveStatGridColumns(), 8, {col::stat::Id}},
  };
  for (const GridShape& s : shapes) {
    ASSERT_EQ(static_cast<int>(s.columns.size()), s.count) << s.grid;
    std::set<int> hidden;
    for (int c = 0; c < s.count; ++c)
      if (!s.columns[static_cast<std::size_t>(c)].visible) hidden.insert(c);
    EXPECT_EQ(hidden, s.hidden) << s.grid;
  }
}

TEST(ColumnTables, KindsCaptionsAndDefaultColours) {
  const auto rx = RxColumns();
  const auto rx3 = Rx3Columns();
  EXPECT_EQ(rx[col::RCh].kind, ColumnKind::Check);
  EXPECT_EQ(Rx2Columns()[col::RCh].kind, ColumnKind::Check);
  EXPECT_EQ(rx3[col::RCh].kind, ColumnKind::Image);
  EXPECT_EQ(rx3[col::RCh].images, ImageList::Cross);
  EXPECT_EQ(rx[col::RFlag].images, ImageList::Flags);
  EXPECT_STREQ(rx[col::R_U45s].name, "R_U45s");
  EXPECT_STREQ(rx[col::R_2Pr].caption, "2,%");
  EXPECT_STREQ(rx[col::s00 + 14].caption, "0-4");
  EXPECT_STREQ(Rx2Columns()[col::s00].name, "m00");
  EXPECT_STREQ(Rx2Columns()[col::score00].caption, "0:0");
  EXPECT_STREQ(rx[col::HiddenFeedLast].caption, "Mu45");
  const auto live = LiveGridColumns();
  EXPECT_EQ(live[col::live::Score].color, colors::kMaroon);
  EXPECT_EQ(live[col::live::Tv].images, ImageList::Tabs);
  EXPECT_STREQ(live[col::live::Pos].caption, "Precent");
  EXPECT_STREQ(live[col::live::Pos].headerHint, "Ball Possession");
  EXPECT_STREQ(SbxColumns()[col::sbx::Sum].caption, "Sum, $");
}

TEST(ColumnTables, CardPlacesOfTheWorkBoard) {
  const auto rx2 = Rx2Columns();
  // Data and sort columns lie below the 80-pixel card and are never drawn.
  for (int c : Union({{col::RId, col::RMy, col::RDate, col::RTime}, Range(8, 26)}))
    EXPECT_GE(rx2[static_cast<std::size_t>(c)].bounds.top, kSlideSize) << c;
  // Every other column is on the card.
  for (int c = 0; c < col::BoardCount; ++c) {
    const SlideBounds& b = rx2[static_cast<std::size_t>(c)].bounds;
    if (b.top >= kSlideSize) continue;
    EXPECT_LE(b.top + b.height, kSlideSize) << c;
    EXPECT_LE(b.left + b.width, 1026) << c;
  }
  // The market and score blocks start at the same left edge.
  EXPECT_EQ(rx2[col::R_1].bounds.left, 264);
  EXPECT_EQ(rx2[col::s00].bounds.left, 264);
  EXPECT_EQ(rx2[col::score04].bounds.left, 264 + 40 * 14);
  EXPECT_EQ(rx2[col::R_U25].bounds.width, 40);
  EXPECT_EQ(Rx3Columns()[col::RCh].bounds.top, 12);
  EXPECT_EQ(rx2[col::RCh].bounds.top, 11);
}

TEST(ColumnTables, SelectionTableMatchesTheColumns) {
  const auto rx = RxColumns();
  for (std::size_t s = 0; s < kSelections.size(); ++s) {
    const SelectionColumns& sel = kSelections[s];
    EXPECT_EQ(sel.odds, col::MarketFirst + static_cast<int>(3 * s));
    EXPECT_EQ(sel.percent, sel.odds + 1);
    EXPECT_EQ(sel.money, sel.odds + 2);
    // The hidden text column carries the feed value of the same selection.
    const std::string feedName(kHiddenFeedNames[static_cast<std::size_t>(sel.textColumn - 8)]);
    EXPECT_EQ(feedName[0], 's') << sel.name;
  }
  EXPECT_STREQ(rx[kSelections[kSelW2].money].name, "R_2S");
}

}  // namespace
}  // namespace zelko
