#include "board/columns.h"

#include <vector>

namespace zelko {
namespace {

using colors::kActiveCaption;
using colors::kScrollBar;

constexpr FontSpec Plain() {
  return {};
}
constexpr FontSpec Bold(Color color = colors::kButtonText, int height = 14) {
  return {height, true, false, color};
}

// Cells outside the 80-pixel card: data and sort keys, never drawn.
constexpr SlideBounds kOffCard{8, 96, 80, 16};

ColumnSpec Text(const char* name, const char* caption, bool visible) {
  ColumnSpec c;
  c.name = name;
  c.caption = caption;
  c.visible = visible;
  return c;
}

// Columns 0 to 96 of the three boards, with their card places and looks. RX shares them, so
// that the colours it hands to the work board are the ones the cards are drawn with.
std::vector<ColumnSpec> SharedBoardColumns(bool favourites) {
  std::vector<ColumnSpec> cols(col::SharedLast + 1);
  auto at = [&](int i) -> ColumnSpec& { return cols[static_cast<std::size_t>(i)]; };

  at(col::RId) = Text("RId", "ID", false);
  at(col::RMy) = Text("RMy", "MY", false);
  at(col::RDate) = Text("RDate", "Date", true);
  at(col::RCh) = Text("RCh", "", true);
  at(col::RCh).kind = favourites ? ColumnKind::Image : ColumnKind::Check;
  at(col::RCh).images = favourites ? ImageList::Cross : ImageList::None;
  at(col::RCh).bounds = favourites ? SlideBounds{72, 12, 24, 24} : SlideBounds{72, 11, 24, 24};
  at(col::RFlag) = Text("RFlag", "", true);
  at(col::RFlag).kind = ColumnKind::Image;
  at(col::RFlag).images = ImageList::Flags;
  at(col::RFlag).bounds = {8, 17, 24, 24};
  at(col::RTime) = Text("RTime", "Time", true);
  at(col::RHome) = Text("RHome", "Home", true);
  at(col::RHome).font = Bold(colors::kNavy);
  at(col::RHome).bounds = {96, 8, 160, 16};
  at(col::RHome).align = Align::Left;
  at(col::RAway) = Text("RAway", "Away", true);
  at(col::RAway).font = Bold(colors::kNavy);
  at(col::RAway).bounds = {96, 24, 152, 16};
  at(col::RAway).align = Align::Left;
  for (int c : {col::RId, col::RMy, col::RDate, col::RTime}) at(c).bounds = kOffCard;

  static constexpr std::array<const char*, 19> kHiddenCaptions{
      "M1X2", "S1",   "SX",   "S2",  "M05",  "So05", "Su05", "M15",  "So15", "Su15",
      "M25",  "So25", "Su25", "M35", "So35", "Su35", "M45",  "Mo45", "Mu45"};
  for (int c = col::HiddenFeedFirst; c <= col::HiddenFeedLast; ++c) {
    const auto k = static_cast<std::size_t>(c - col::HiddenFeedFirst);
    at(c) = Text(kHiddenCaptions[k], kHiddenCaptions[k], false);
    at(c).bounds = kOffCard;
    at(c).align = Align::Left;
  }

  // The market block: each selection's odds, percent and money share a left edge and width.
  struct Market {
    const char* names[3];
    const char* captions[3];
    int left;
    int width;
  };
  static constexpr std::array<Market, 13> kMarkets{{
      {{"R_1", "R_1Pr", "R_1S"}, {"1", "1,%", "1,$"}, 264, 56},
      {{"R_X", "R_XPr", "R_XS"}, {"X", "X,%", "X,$"}, 320, 48},
      {{"R_2", "R_2Pr", "R_2S"}, {"2", "2,%", "2,$"}, 368, 48},
      {{"R_05", "R_05Pr", "R_05S"}, {"O0.5", "O0.5,%", "O0.5,$"}, 424, 48},
      {{"R_U05", "R_U05Pr", "R_U05S"}, {"U0.5", "U0.5,%", "U0.5,$"}, 472, 48},
      {{"R_15", "R_15Pr", "R_15S"}, {"O1.5", "O1.5,%", "O1.5,$"}, 528, 48},
      {{"R_U15", "R_U15Pr", "R_U15S"}, {"U1.5", "U1.5,%", "U1.5,$"}, 576, 48},
      {{"R_25", "R_25Pr", "R_25S"}, {"O2.5", "O2.5,%", "O2.5,$"}, 632, 48},
      {{"R_U25", "R_U25Pr", "R_U25S"}, {"U2.5", "U2.5,%", "U2.5,$"}, 680, 40},
      {{"R_35", "R_35Pr", "R_35S"}, {"O3.5", "O3.5,%", "O3.5,$"}, 728, 48},
      {{"R_U35", "R_U35Pr", "R_U35S"}, {"U3.5", "U3.5,%", "U3.5,$"}, 776, 48},
      {{"R_45", "R_45Pr", "R_45S"}, {"O4.5", "O4.5,%", "O4.5,$"}, 832, 48},
      {{"R_U45", "R_U45Pr", "R_U45s"}, {"U4.5", "U4.5,%", "U4.5,$"}, 880, 40},
  }};
  for (std::size_t s = 0; s < kMarkets.size(); ++s) {
    const Market& m = kMarkets[s];
    const int first = col::MarketFirst + static_cast<int>(3 * s);
    at(first) = Text(m.names[0], m.captions[0], true);
    at(first).font = Bold();
    at(first).bounds = {m.left, 16, m.width, 24};
    at(first + 1) = Text(m.names[1], m.captions[1], true);
    at(first + 1).bounds = {m.left, 40, m.width, 16};
    at(first + 2) = Text(m.names[2], m.captions[2], true);
    at(first + 2).font.italic = true;
    at(first + 2).bounds = {m.left, 56, m.width, 16};
  }

  struct Group {
    const char* name;
    int left;
    int width;
  };
  static constexpr std::array<Group, 6> kGroups{{{"m1x2", 264, 152},
                                                 {"m05", 424, 96},
                                                 {"m15", 528, 96},
                                                 {"m25", 632, 88},
                                                 {"m35", 728, 96},
                                                 {"m45", 832, 88}}};
  for (std::size_t g = 0; g < kGroups.size(); ++g) {
    ColumnSpec& c = at(col::m1x2 + static_cast<int>(g));
    c = Text(kGroups[g].name, kMarketLabels[g].data(), true);  // a literal: terminated
    c.font = Bold(colors::kGrey);
    c.bounds = {kGroups[g].left, 0, kGroups[g].width, 16};
  }

  at(col::R_Score) = Text("R_Score", "Score", true);
  at(col::R_Score).font = Bold(colors::kButtonText, 16);
  at(col::R_Score).color = colors::kSilver;
  at(col::R_Score).bounds = {128, 40, 72, 16};
  at(col::R_Status) = Text("R_Status", "Status", true);
  at(col::R_Status).font.color = colors::kWindow;
  at(col::R_Status).bounds = {8, 2, 64, 16};
  at(col::R_Min) = Text("R_Min", "Min", true);
  at(col::R_Min).font = Bold(colors::kBlue);
  at(col::R_Min).bounds = {32, 18, 40, 24};
  at(col::home_plus) = Text("home_plus", "home+", true);
  at(col::home_plus).bounds = {72, 56, 56, 16};
  at(col::rnow) = Text("rnow", "now", true);
  at(col::rnow).bounds = {128, 56, 72, 16};
  at(col::awayplus) = Text("awayplus", "away+", true);
  at(col::awayplus).bounds = {200, 56, 56, 16};

  static constexpr std::array<const char*, 15> kBalanceNames{"s00", "s10", "s01", "s11", "s20",
                                                             "s21", "s22", "s12", "s02", "s30",
                                                             "s31", "s13", "s03", "s40", "s04"};
  static constexpr std::array<const char*, 15> kBalanceCaptions{"0-0", "1-0", "0-1", "1-1", "2-0",
                                                                "2-1", "2-2", "1-2", "0-2", "3-0",
                                                                "3-1", "1-3", "0-3", "4-0", "0-4"};
  for (int k = 0; k < 15; ++k) {
    ColumnSpec& c = at(col::s00 + k);
    c = Text(kBalanceNames[static_cast<std::size_t>(k)],
             kBalanceCaptions[static_cast<std::size_t>(k)], false);
    c.bounds = {264 + 40 * k, 24, 40, 16};
  }

  at(col::hscore) = Text("hscore", "", true);
  at(col::hscore).bounds = {72, 40, 56, 16};
  at(col::ascore) = Text("ascore", "", true);
  at(col::ascore).bounds = {200, 40, 56, 16};
  at(col::update) = Text("update", "", true);
  at(col::update).font.color = colors::kPurple;
  at(col::update).bounds = {928, 16, 72, 24};
  at(col::last) = Text("last", "", true);
  at(col::last).font = {18, false, true, colors::kButtonText};
  at(col::last).bounds = {928, 40, 72, 24};
  return cols;
}

std::vector<ColumnSpec> BuildRx() {
  std::vector<ColumnSpec> cols = SharedBoardColumns(false);
  for (int c = col::s00; c <= col::s04; ++c) cols[static_cast<std::size_t>(c)].visible = true;
  cols.push_back(Text("rbet", "", false));
  cols.push_back(Text("rbet2", "", true));
  return cols;
}

std::vector<ColumnSpec> BuildWorkBoard(bool favourites) {
  std::vector<ColumnSpec> cols = SharedBoardColumns(favourites);
  static constexpr std::array<const char*, 15> kLabelNames{
      "score00", "score10", "score01", "score11", "score20", "score21", "score22", "score12",
      "score02", "score30", "score31", "score13", "score03", "score40", "score04"};
  for (int k = 0; k < 15; ++k) {
    ColumnSpec c = Text(kLabelNames[static_cast<std::size_t>(k)], k == 0 ? "0:0" : "", false);
    c.font = Bold();
    c.color = kActiveCaption;
    c.bounds = {264 + 40 * k, 0, 40, 16};
    cols.push_back(c);
  }
  ColumnSpec bet = Text("Bet", "", true);
  bet.font = Bold(colors::kYellow);
  bet.bounds = {8, 56, 32, 16};
  cols.push_back(bet);
  ColumnSpec bet2 = Text("Bet2", "", true);
  bet2.font = Bold(colors::kYellow);
  bet2.bounds = {40, 56, 32, 16};
  cols.push_back(bet2);
  ColumnSpec label = Text("", "", true);
  label.font.height = 11;
  label.bounds = {8, 40, 64, 16};
  cols.push_back(label);
  // The work board has names of its own for some of the shared columns.
  static constexpr std::array<const char*, 15> kBalanceNames{"m00", "m10", "m01", "m11", "m20",
                                                             "m21", "m22", "m12", "m02", "m30",
                                                             "m31", "m13", "m03", "m40", "m04"};
  for (int k = 0; k < 15; ++k)
    cols[static_cast<std::size_t>(col::s00 + k)].name = kBalanceNames[static_cast<std::size_t>(k)];
  cols[col::update].name = "update";
  cols[col::last].name = "update_time";
  return cols;
}

std::vector<ColumnSpec> BuildRx2() {
  return BuildWorkBoard(false);
}
std::vector<ColumnSpec> BuildRx3() {
  return BuildWorkBoard(true);
}

// A column of an ordinary grid (with a header row).
ColumnSpec Side(const char* caption, ColumnKind kind, bool visible, int width,
                Align align = Align::Left) {
  ColumnSpec c;
  c.name = caption;
  c.caption = caption;
  c.kind = kind;
  c.visible = visible;
  c.width = width;
  c.align = align;
  if (kind == ColumnKind::Image) c.images = ImageList::Flags;
  return c;
}

std::vector<ColumnSpec> BuildSbx() {
  using K = ColumnKind;
  std::vector<ColumnSpec> cols{
      Side("", K::Text, false, 40),
      Side("", K::Image, true, 29, Align::Center),
      Side("Time", K::Text, true, 40, Align::Center),
      Side("Home", K::Text, true, 99),
      Side("Away", K::Text, true, 105),
      Side("Bet", K::Text, true, 45, Align::Center),
      Side("Odd", K::Text, true, 50, Align::Center),
      Side("Sum, $", K::Text, true, 55, Align::Center),
      Side("Time Bet", K::Text, true, 46, Align::Center),
      Side("Status", K::Text, false, 44, Align::Center),
      Side("Score", K::Text, false, 43, Align::Center),
  };
  cols[col::sbx::Flag].headerIcon = 1;  // the header shows an icon only
  cols[col::sbx::Bet].font = Bold(colors::kBlue);
  cols[col::sbx::Status].font = Bold(colors::kYellow);
  cols[col::sbx::Score].font = Bold();
  return cols;
}

std::vector<ColumnSpec> BuildLiveGrid() {
  using K = ColumnKind;
  constexpr Align C = Align::Center;
  std::vector<ColumnSpec> cols{
      Side("ID", K::Text, false, 26),        Side("", K::Check, true, 25, C),
      Side("Flag", K::Image, true, 25, C),   Side("Time", K::Text, true, 39, C),
      Side("Min", K::Text, true, 31, C),     Side("Home", K::Text, true, 75),
      Side("Away", K::Text, true, 97),       Side("Score", K::Text, true, 40, C),
      Side("1", K::Text, true, 40, C),       Side("X", K::Text, true, 40, C),
      Side("2", K::Text, true, 40, C),       Side("Precent", K::Text, true, 40, C),
      Side("Danger", K::Text, true, 40, C),  Side("ShotOn", K::Text, true, 40, C),
      Side("ShotOff", K::Text, true, 40, C), Side("Yellow", K::Text, true, 40, C),
      Side("Red", K::Text, true, 40, C),     Side("Corners", K::Text, true, 40, C),
      Side("TV", K::Image, true, 25, C),     Side("myscore", K::Text, false, 64),
      Side("", K::Image, true, 25, C),
  };
  struct HeaderIcon {
    int column;
    int icon;  // index in the header picture list of the live table
    const char* hint;
  };
  static constexpr std::array<HeaderIcon, 14> kIcons{{{col::live::Check, 0, ""},
                                                      {col::live::Flag, 1, "Tournament"},
                                                      {col::live::Min, 2, "Time"},
                                                      {col::live::Score, 3, "Score"},
                                                      {col::live::Pos, 4, "Ball Possession"},
                                                      {col::live::Danger, 5, "Dangerous Attack"},
                                                      {col::live::ShotOn, 6, "Shot On Target"},
                                                      {col::live::ShotOff, 7, "Shot Off Target"},
                                                      {col::live::Yellow, 8, "Yellow Card"},
                                                      {col::live::Red, 9, "Red Card"},
                                                      {col::live::Corners, 10, "Corners"},
                                                      {col::live::Tv, 11, "Translation"},
                                                      {col::live::OnBoard, 12, ""},
                                                      {col::live::Id, -1, ""}}};
  for (const HeaderIcon& h : kIcons) {
    if (h.icon < 0) continue;
    cols[static_cast<std::size_t>(h.column)].headerIcon = h.icon;
    cols[static_cast<std::size_t>(h.column)].headerHint = h.hint;
  }
  cols[col::live::Tv].images = ImageList::Tabs;
  cols[col::live::OnBoard].images = ImageList::Tabs;
  cols[col::live::Time].font.color = colors::kGrayText;
  cols[col::live::Min].font = Bold(colors::kYellow);
  cols[col::live::Min].color = colors::kGrey;
  cols[col::live::Home].fitToText = true;
  cols[col::live::Away].fitToText = true;
  cols[col::live::Score].font = Bold(colors::kYellow, 16);
  cols[col::live::Score].color = colors::kMaroon;
  for (int c : {col::live::W1, col::live::D, col::live::W2}) {
    cols[static_cast<std::size_t>(c)].font.color = colors::kHighlightText;
    cols[static_cast<std::size_t>(c)].color = colors::kHighlight;
    cols[static_cast<std::size_t>(c)].headerColor = colors::kWindow;
  }
  return cols;
}

std::vector<ColumnSpec> BuildLiveStatGrid() {
  using K = ColumnKind;
  constexpr Align C = Align::Center;
  std::vector<ColumnSpec> cols{
      Side("ID", K::Text, false, 40, C),  Side("", K::Image, true, 40, C),
      Side("Time", K::Text, true, 40, C), Side("Home", K::Text, true, 102),
      Side("Away", K::Text, true, 122),   Side("Score", K::Text, true, 46, C),
      Side("", K::Text, true, 28, C),     Side("Event", K::Text, true, 149),
  };
  cols[col::stat::Flag].headerIcon = 1;
  cols[col::stat::Min].headerIcon = 2;
  cols[col::stat::Score].color = kActiveCaption;
  cols[col::stat::Event].color = kScrollBar;
  cols[col::stat::Event].fitToText = true;
  return cols;
}

template <auto Build>
std::span<const ColumnSpec> Table() {
  static const std::vector<ColumnSpec> table = Build();
  return table;
}

}  // namespace

std::span<const ColumnSpec> RxColumns() {
  return Table<BuildRx>();
}
std::span<const ColumnSpec> Rx2Columns() {
  return Table<BuildRx2>();
}
std::span<const ColumnSpec> Rx3Columns() {
  return Table<BuildRx3>();
}
std::span<const ColumnSpec> SbxColumns() {
  return Table<BuildSbx>();
}
std::span<const ColumnSpec> LiveGridColumns() {
  return Table<BuildLiveGrid>();
}
std::span<const ColumnSpec> LiveStatGridColumns() {
  return Table<BuildLiveStatGrid>();
}

}  // namespace zelko
