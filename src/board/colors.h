#pragma once

#include <cstdint>

namespace zelko {

// A cell colour: 0x00BBGGRR for a plain colour (red in the low byte); a system colour of the
// theme has the high bit set and the theme's colour index in the low byte.
using Color = std::uint32_t;

namespace colors {

inline constexpr Color kRed = 0x000000FF;
inline constexpr Color kLime = 0x0000FF00;
inline constexpr Color kGreen = 0x00008000;
inline constexpr Color kYellow = 0x0000FFFF;
inline constexpr Color kWhite = 0x00FFFFFF;
inline constexpr Color kBlack = 0x00000000;
inline constexpr Color kGrey = 0x00808080;
inline constexpr Color kFuchsia = 0x00FF00FF;
inline constexpr Color kBlue = 0x00FF0000;
inline constexpr Color kMaroon = 0x00000080;
inline constexpr Color kSpringGreen = 0x0080FF00;
inline constexpr Color kChartreuse = 0x0000FF80;
inline constexpr Color kOrange = 0x000080FF;
inline constexpr Color kNavy = 0x00800000;
inline constexpr Color kPurple = 0x00800080;
inline constexpr Color kSilver = 0x00C0C0C0;
inline constexpr Color kGridLine = 0x00D78D4A;
inline constexpr Color kDarkRed = 0x00000040;

// System colours of the theme.
inline constexpr Color kSystemFlag = 0x80000000;
inline constexpr Color kScrollBar = 0x80000000;
inline constexpr Color kActiveCaption = 0x80000002;
inline constexpr Color kWindow = 0x80000005;
inline constexpr Color kHighlight = 0x8000000D;
inline constexpr Color kHighlightText = 0x8000000E;
inline constexpr Color kGrayText = 0x80000011;
inline constexpr Color kButtonText = 0x80000012;

inline constexpr bool IsSystemColor(Color c) {
  return (c & kSystemFlag) != 0;
}

}  // namespace colors
}  // namespace zelko
