#pragma once

#include <array>
#include <span>
#include <string_view>

#include "board/grid_table.h"

namespace zelko {

// Column indices of the six grids, named as the boards name them. The tables of columns.cpp
// are the only place that gives a column its caption, kind and look.
namespace col {

// Columns 0 to 96 of RX, RX2 and RX3.
inline constexpr int RId = 0;
inline constexpr int RMy = 1;
inline constexpr int RDate = 2;
inline constexpr int RCh = 3;
inline constexpr int RFlag = 4;
inline constexpr int RTime = 5;
inline constexpr int RHome = 6;
inline constexpr int RAway = 7;
// 8 to 26: the feed values m1x2, s1, sx, s2, m05, so05, su05, ... m45, so45, su45.
inline constexpr int HiddenFeedFirst = 8;
inline constexpr int HiddenFeedLast = 26;
inline constexpr int R_1 = 27;
inline constexpr int R_1Pr = 28;
inline constexpr int R_1S = 29;
inline constexpr int R_X = 30;
inline constexpr int R_XPr = 31;
inline constexpr int R_XS = 32;
inline constexpr int R_2 = 33;
inline constexpr int R_2Pr = 34;
inline constexpr int R_2S = 35;
inline constexpr int R_05 = 36;
inline constexpr int R_05S = 38;
inline constexpr int R_15S = 44;
inline constexpr int R_25 = 48;
inline constexpr int R_25S = 50;
inline constexpr int R_U25 = 51;
inline constexpr int R_35S = 56;
inline constexpr int R_45S = 62;
inline constexpr int R_U45s = 65;
inline constexpr int MarketFirst = 27;
inline constexpr int MarketLast = 65;
inline constexpr int m1x2 = 66;  // group labels 66 to 71
inline constexpr int m45 = 71;
inline constexpr int R_Score = 72;
inline constexpr int R_Status = 73;
inline constexpr int R_Min = 74;
inline constexpr int home_plus = 75;
inline constexpr int rnow = 76;
inline constexpr int awayplus = 77;
inline constexpr int s00 = 78;  // correct-score balances 78 to 92
inline constexpr int s04 = 92;
inline constexpr int hscore = 93;
inline constexpr int ascore = 94;
inline constexpr int update = 95;
inline constexpr int last = 96;
inline constexpr int SharedLast = 96;  // columns 0..96 are shared by the three boards

// RX only.
inline constexpr int rbet = 97;
inline constexpr int rbet2 = 98;
inline constexpr int RxCount = 99;

// RX2 and RX3 only.
inline constexpr int score00 = 97;  // score labels 97 to 111
inline constexpr int score04 = 111;
inline constexpr int Bet = 112;
inline constexpr int Bet2 = 113;
inline constexpr int BetLabel = 114;
inline constexpr int BoardCount = 115;

// SBX.
namespace sbx {
inline constexpr int My = 0;
inline constexpr int Flag = 1;
inline constexpr int Time = 2;
inline constexpr int Home = 3;
inline constexpr int Away = 4;
inline constexpr int Bet = 5;
inline constexpr int Odd = 6;
inline constexpr int Sum = 7;
inline constexpr int TimeBet = 8;
inline constexpr int Status = 9;
inline constexpr int Score = 10;
inline constexpr int Count = 11;
}  // namespace sbx

// LiveGrid.
namespace live {
inline constexpr int Id = 0;
inline constexpr int Check = 1;
inline constexpr int Flag = 2;
inline constexpr int Time = 3;
inline constexpr int Min = 4;
inline constexpr int Home = 5;
inline constexpr int Away = 6;
inline constexpr int Score = 7;
inline constexpr int W1 = 8;
inline constexpr int D = 9;
inline constexpr int W2 = 10;
inline constexpr int Pos = 11;
inline constexpr int Danger = 12;
inline constexpr int ShotOn = 13;
inline constexpr int ShotOff = 14;
inline constexpr int Yellow = 15;
inline constexpr int Red = 16;
inline constexpr int Corners = 17;
inline constexpr int Tv = 18;
inline constexpr int MyScore = 19;
inline constexpr int OnBoard = 20;
inline constexpr int Count = 21;
}  // namespace live

// LiveStatGrid.
namespace stat {
inline constexpr int Id = 0;
inline constexpr int Flag = 1;
inline constexpr int Time = 2;
inline constexpr int Home = 3;
inline constexpr int Away = 4;
inline constexpr int Score = 5;
inline constexpr int Min = 6;
inline constexpr int Event = 7;
inline constexpr int Count = 8;
}  // namespace stat

}  // namespace col

// The 13 market selections in their fixed order, with the board columns of each.
struct SelectionColumns {
  const char* name;        // "W1", "X", "W2", "O0.5", "U0.5", ...
  const char* strangeBet;  // the StrangeBets label: "WIN1", "DRAW", "WIN2", "O0.5", ...
  int textColumn;          // hidden SelectionText column
  int odds;                // odds, percent and money columns
  int percent;
  int money;
};
inline constexpr std::array<SelectionColumns, 13> kSelections{{
    {"W1", "WIN1", 9, 27, 28, 29},
    {"X", "DRAW", 10, 30, 31, 32},
    {"W2", "WIN2", 11, 33, 34, 35},
    {"O0.5", "O0.5", 13, 36, 37, 38},
    {"U0.5", "U0.5", 14, 39, 40, 41},
    {"O1.5", "O1.5", 16, 42, 43, 44},
    {"U1.5", "U1.5", 17, 45, 46, 47},
    {"O2.5", "O2.5", 19, 48, 49, 50},
    {"U2.5", "U2.5", 20, 51, 52, 53},
    {"O3.5", "O3.5", 22, 54, 55, 56},
    {"U3.5", "U3.5", 23, 57, 58, 59},
    {"O4.5", "O4.5", 25, 60, 61, 62},
    {"U4.5", "U4.5", 26, 63, 64, 65},
}};
inline constexpr int kSelW1 = 0, kSelX = 1, kSelW2 = 2;

// The feed names written into the hidden columns 8 to 26, in column order. (Views of literals:
// these are written by the thousand, and a view knows its size.)
inline constexpr std::array<std::string_view, 19> kHiddenFeedNames{
    "m1x2", "s1",   "sx",   "s2",  "m05",  "so05", "su05", "m15",  "so15", "su15",
    "m25",  "so25", "su25", "m35", "so35", "su35", "m45",  "so45", "su45"};

// The market group labels of columns 66 to 71.
inline constexpr std::array<std::string_view, 6> kMarketLabels{"1X2",     "O/U 0.5", "O/U 1.5",
                                                               "O/U 2.5", "O/U 3.5", "O/U 4.5"};

// The 15 correct scores of the balance columns 78 to 92, in column order.
struct CorrectScore {
  int home;
  int away;
};
inline constexpr std::array<CorrectScore, 15> kCorrectScores{{{0, 0},
                                                              {1, 0},
                                                              {0, 1},
                                                              {1, 1},
                                                              {2, 0},
                                                              {2, 1},
                                                              {2, 2},
                                                              {1, 2},
                                                              {0, 2},
                                                              {3, 0},
                                                              {3, 1},
                                                              {1, 3},
                                                              {0, 3},
                                                              {4, 0},
                                                              {0, 4}}};
// The score labels of RX2 columns 97 to 111.
inline constexpr std::array<std::string_view, 15> kScoreLabels{"0:0", "1:0", "0:1", "1:1", "2:0",
                                                               "2:1", "2:2", "1:2", "0:2", "3:0",
                                                               "3:1", "1:3", "0:3", "4:0", "0:4"};
inline constexpr std::string_view kBetLabelText = "Bukm.  | People";

// The column tables of the six grids.
std::span<const ColumnSpec> RxColumns();
std::span<const ColumnSpec> Rx2Columns();
std::span<const ColumnSpec> Rx3Columns();
std::span<const ColumnSpec> SbxColumns();
std::span<const ColumnSpec> LiveGridColumns();
std::span<const ColumnSpec> LiveStatGridColumns();

// The card height of RX2 and RX3.
inline constexpr int kSlideSize = 80;

}  // namespace zelko
