// Number and time reading: whole numbers, odds, decimals, half-even rounding, net wins and the
// time of day, each checked against a property it must keep.

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "feed/text.h"
#include "fuzz_support.h"

namespace {

using zelko::fuzz::Require;

void CheckRounding(double value) {
  const std::int32_t rounded = zelko::RoundHalfEven(value);
  if (std::isnan(value)) {
    Require(rounded == 0, "NaN does not round to 0");
    return;
  }
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  if (value >= kMax) {
    Require(rounded == std::numeric_limits<std::int32_t>::max(), "no saturation above");
  } else if (value <= kMin) {
    Require(rounded == std::numeric_limits<std::int32_t>::min(), "no saturation below");
  } else {
    const double distance = std::fabs(static_cast<double>(rounded) - value);
    Require(distance <= 0.5, "rounded more than a half away");
    if (distance == 0.5) Require(rounded % 2 == 0, "a half not rounded to even");
  }
}

void CheckWholeNumber(std::string_view text) {
  const auto value = zelko::ParseWholeNumber(text);
  Require(zelko::WholeNumberOr0(text) == value.value_or(0), "WholeNumberOr0 disagrees");
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int32_t expected = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), expected);
  // from_chars takes a "-" only, and rejects "+-1" as ParseWholeNumber must.
  const bool plusMinus = text.size() > 1 && text[0] == '+' && text[1] == '-';
  const bool whole =
      !plusMinus && !digits.empty() && ec == std::errc() && end == digits.data() + digits.size();
  Require(value.has_value() == whole, "whole number accepted or refused wrongly",
          std::string(text));
  if (whole) Require(*value == expected, "whole number misread", std::string(text));
}

void CheckDecimals(std::string_view text) {
  const auto odds = zelko::ParseOdds(text);
  const auto decimal = zelko::ParseDecimal(text);
  // Odds take "." as ",": they read what a decimal reads with "," written as ".".
  std::string dotted(text);
  for (char& c : dotted) {
    if (c == ',') c = '.';
  }
  const auto viaDecimal = zelko::ParseDecimal(dotted);
  Require(odds.has_value() == viaDecimal.has_value(), "odds and decimal disagree", dotted);
  if (odds) {
    Require(*odds == *viaDecimal, "odds value differs from decimal", dotted);
    Require(std::isfinite(*odds), "odds not finite");
    CheckRounding(*odds);
    CheckRounding(*odds * 100.0);
  }
  if (decimal) {
    Require(std::isfinite(*decimal), "decimal not finite");
    CheckRounding(*decimal);
  }
  // The net win never leaves 32 bits, whatever the odds.
  for (const std::int32_t money :
       {0, 1, 3, 100, -7, 2'000'000'000, std::numeric_limits<std::int32_t>::min()}) {
    const std::int32_t win = zelko::NetWin(money, text);
    if (!odds) Require(win == 0, "odds that are no number must win nothing", std::string(text));
  }
}

void CheckTimeOfDay(std::string_view text) {
  const auto seconds = zelko::ParseTimeOfDay(text);
  if (!seconds) return;
  Require(*seconds >= 0 && *seconds < 24 * 60 * 60, "time of day out of range", std::string(text));
  const int h = *seconds / 3600;
  const int m = *seconds / 60 % 60;
  const int s = *seconds % 60;
  char written[16];
  std::snprintf(written, sizeof written, "%02d:%02d:%02d", h, m, s);
  Require(zelko::ParseTimeOfDay(written) == seconds, "time of day not read back", written);
  std::snprintf(written, sizeof written, "%d:%02d", h, m);
  if (s == 0) Require(zelko::ParseTimeOfDay(written) == seconds, "h:mm not read back", written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = zelko::fuzz::AsText(data, size);
  CheckWholeNumber(text);
  CheckDecimals(text);
  CheckTimeOfDay(text);
  // The raw bytes as a double as well: infinities, NaNs and the values near the limits.
  if (size >= sizeof(double)) {
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    CheckRounding(value);
  }
  return 0;
}
