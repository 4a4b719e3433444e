#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelko {

// Writes into `dest` the text between the first "<name>" of `text` and the first "</name>"
// after it. When either marker is missing nothing is written and false is returned.
bool ReadTag(std::string_view text, std::string_view name, std::string& dest);

// The first place of `needle` in `text` at or after `from` (npos when there is none), as
// text.find(needle, from) gives it. Made for the feed's markers, which are rare among the many
// '<' of a reply: candidates are found sixteen bytes at a time by two of the needle's bytes.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0);

// Replaces occurrences of `search` by `replacement` until none is left (first occurrence each
// time, searching again from the start). An empty search text leaves the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement);

// A whole decimal number with an optional sign ("250", "-3", "+7"); nothing else, no spaces.
// Values outside 32 bits are not whole numbers here.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);
// ParseWholeNumber with 0 for anything that is not a whole number.
std::int32_t WholeNumberOr0(std::string_view text);

// Odds as the board reads them: "." is taken as "," and "," is the decimal separator
// ("1.85", "1,85", "2"). Nothing else reads as a number.
std::optional<double> ParseOdds(std::string_view text);

// A decimal number with "." as separator, as selection texts carry ("5000", "5000.5", "-3").
std::optional<double> ParseDecimal(std::string_view text);

// Rounds to the nearest integer, a half going to the even neighbour; saturates at the 32-bit
// limits.
std::int32_t RoundHalfEven(double value);

// The net win of `money` staked at the odds `oddsText` (read by ParseOdds; a text that is not
// a number counts as odds 1.0): RoundHalfEven(money * odds) - money, saturating at 32 bits.
std::int32_t NetWin(std::int32_t money, std::string_view oddsText);

// A time of day "h:mm", "hh:mm" or "hh:mm:ss" (hours 0-23, minutes and seconds 0-59) as seconds
// since midnight; anything else is not a time of day.
std::optional<int> ParseTimeOfDay(std::string_view text);

}  // namespace zelko
