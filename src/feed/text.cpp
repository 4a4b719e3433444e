#include "feed/text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zelko {

std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from) {
  const std::size_t n = needle.size();
  if (from > text.size() || text.size() - from < n) return std::string_view::npos;
#if defined(__SSE2__)
  if (n >= 3) {
    // A marker's first and last bytes are '<' and '>', the commonest of a reply; its second and
    // last but one are rarer, so a place where both agree is worth comparing in full.
    const char* const s = text.data();
    constexpr std::size_t kFirst = 1;
    const std::size_t second = n - 2;
    const __m128i wantFirst = _mm_set1_epi8(needle[kFirst]);
    const __m128i wantSecond = _mm_set1_epi8(needle[second]);
    const std::size_t lastStart = text.size() - n;
    std::size_t at = from;
    // Sixteen starting places a round; the loads end before the text does.
    for (; at + 15 <= lastStart; at += 16) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at + kFirst));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at + second));
      auto candidates = static_cast<unsigned>(_mm_movemask_epi8(
          _mm_and_si128(_mm_cmpeq_epi8(a, wantFirst), _mm_cmpeq_epi8(b, wantSecond))));
      while (candidates != 0) {
        const std::size_t place = at + static_cast<std::size_t>(std::countr_zero(candidates));
        if (std::memcmp(s + place, needle.data(), n) == 0) return place;
        candidates &= candidates - 1;
      }
    }
    return text.find(needle, at);
  }
#endif
  return text.find(needle, from);
}

bool ReadTag(std::string_view text, std::string_view name, std::string& dest) {
  std::string opening;
  opening.reserve(name.size() + 2);
  opening.append("<").append(name).append(">");
  const std::size_t open = text.find(opening);
  if (open == std::string_view::npos) return false;
  const std::string_view rest = text.substr(open + opening.size());

  std::string closing;
  closing.reserve(name.size() + 3);
  closing.append("</").append(name).append(">");
  const std::size_t close = rest.find(closing);
  if (close == std::string_view::npos) return false;
  dest.assign(rest.substr(0, close));
  return true;
}

std::string ReplaceAll(std::string_view text, std::string_view search,
                       std::string_view replacement) {
  std::string result(text);
  if (search.empty()) return result;
  // Replacing the first occurrence and searching again from the start only ever finds a new
  // occurrence that overlaps the replacement or lies after it: the text before the replaced
  // occurrence is unchanged and held none. So the search resumes just before the replacement,
  // which gives the same result without rescanning the whole text each time.
  // A replacement that contains the search text would never let that loop end; such a pair is
  // replaced in one left-to-right pass instead.
  const bool selfFeeding = replacement.find(search) != std::string_view::npos;
  std::size_t from = 0;
  while (true) {
    const std::size_t at = result.find(search, from);
    if (at == std::string::npos) break;
    result.replace(at, search.size(), replacement);
    if (selfFeeding) {
      from = at + replacement.size();
    } else {
      from = at >= search.size() - 1 ? at - (search.size() - 1) : 0;
    }
  }
  return result;
}

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Optional sign, then digits with at most one separator (`separator`, or either '.' or ',' when
// `dotOrComma`) and at least one digit in all. Fills `normalized` with the text as
// std::from_chars reads it ("." separator, no "+").
bool NormalizeDecimal(std::string_view text, char separator, bool dotOrComma,
                      std::string& normalized) {
  normalized.clear();
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normalized.push_back('-');
    ++i;
  }
  bool digits = false;
  bool separatorSeen = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    const bool isSeparator = dotOrComma ? (c == '.' || c == ',') : c == separator;
    if (IsDigit(c)) {
      digits = true;
      normalized.push_back(c);
    } else if (isSeparator && !separatorSeen) {
      separatorSeen = true;
      normalized.push_back('.');
    } else {
      return false;
    }
  }
  return digits;
}

// Powers of ten a double holds exactly.
constexpr std::array<double, 23> kExactPowersOf10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common short forms ("1.85", "-3", "5000.5"): digits on both sides of the separator, if
// there is one, at most 15 digits in all and at most 22 after the separator. Then the digits
// as a whole number and the power of ten are both exact doubles, and their quotient is the
// correctly rounded value, the same double std::from_chars gives. Anything else is nothing
// here and goes the long way.
std::optional<double> ParseShortDecimal(std::string_view text, char separator, bool dotOrComma) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint64_t mantissa = 0;
  std::size_t digits = 0;
  std::size_t fraction = 0;
  bool separatorSeen = false;
  bool digitBefore = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      if (++digits > 15) return std::nullopt;
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      if (separatorSeen) ++fraction;
      digitBefore = true;
      continue;
    }
    const bool isSeparator = dotOrComma ? (c == '.' || c == ',') : c == separator;
    if (!isSeparator || separatorSeen || !digitBefore) return std::nullopt;
    separatorSeen = true;
    digitBefore = false;
  }
  if (!digitBefore || fraction >= kExactPowersOf10.size()) return std::nullopt;
  const double value = static_cast<double>(mantissa) / kExactPowersOf10[fraction];
  return negative ? -value : value;
}

std::optional<double> ParseDecimalText(std::string_view text, char separator, bool dotOrComma) {
  if (const auto quick = ParseShortDecimal(text, separator, dotOrComma)) return quick;
  std::string normalized;
  if (!NormalizeDecimal(text, separator, dotOrComma, normalized)) return std::nullopt;
  double value = 0.0;
  const char* first = normalized.data();
  const char* last = first + normalized.size();
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
  if (ec != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  if (text.size() - i <= 9) {
    // Nine digits at most cannot leave the 32-bit range: no check per digit.
    std::int32_t value = 0;
    for (; i < text.size(); ++i) {
      const auto digit = static_cast<unsigned char>(text[i] - '0');
      if (digit > 9) return std::nullopt;
      value = value * 10 + digit;
    }
    return negative ? -value : value;
  }
  // Accumulate as a negative number so that the 32-bit minimum reads as well.
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 - (text[i] - '0');
    if (value < std::numeric_limits<std::int32_t>::min()) return std::nullopt;
  }
  if (!negative) {
    value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t WholeNumberOr0(std::string_view text) {
  return ParseWholeNumber(text).value_or(0);
}

std::optional<double> ParseOdds(std::string_view text) {
  // Every '.' reads as ',': either is the separator, and only one may stand in the text.
  return ParseDecimalText(text, ',', true);
}

std::optional<double> ParseDecimal(std::string_view text) {
  return ParseDecimalText(text, '.', false);
}

namespace {

// Half-to-even rounding in 64 bits; values beyond +-2^62 are held there, which keeps every later
// 32-bit saturation exact.
std::int64_t RoundHalfEven64(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  if (value >= kLimit) return static_cast<std::int64_t>(kLimit);
  if (value <= -kLimit) return -static_cast<std::int64_t>(kLimit);
  // value - floor(value) is exact for every double in this range, so a half is seen as a half.
  const double below = std::floor(value);
  const double fraction = value - below;
  double rounded = below;
  if (fraction > 0.5) {
    rounded = below + 1.0;
  } else if (fraction == 0.5) {
    rounded = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
  }
  return static_cast<std::int64_t>(rounded);
}

std::int32_t Saturate32(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t RoundHalfEven(double value) {
  return Saturate32(RoundHalfEven64(value));
}

std::int32_t NetWin(std::int32_t money, std::string_view oddsText) {
  const double odds = ParseOdds(oddsText).value_or(1.0);
  // The product is rounded before the stake comes off: a half rounds to the even neighbour of
  // the whole win, not of the net one.
  return Saturate32(RoundHalfEven64(static_cast<double>(money) * odds) - money);
}

namespace {

// One or `maxDigits` decimal digits (at least `minDigits`) at `pos`; advances `pos`.
std::optional<int> ReadField(std::string_view text, std::size_t& pos, std::size_t minDigits,
                             std::size_t maxDigits) {
  int value = 0;
  std::size_t count = 0;
  while (pos < text.size() && IsDigit(text[pos]) && count < maxDigits) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++count;
  }
  if (count < minDigits) return std::nullopt;
  return value;
}

}  // namespace

std::optional<int> ParseTimeOfDay(std::string_view text) {
  std::size_t pos = 0;
  const auto hours = ReadField(text, pos, 1, 2);
  if (!hours || *hours > 23 || pos >= text.size() || text[pos] != ':') return std::nullopt;
  ++pos;
  const auto minutes = ReadField(text, pos, 2, 2);
  if (!minutes || *minutes > 59) return std::nullopt;
  int seconds = 0;
  if (pos < text.size()) {
    if (text[pos] != ':') return std::nullopt;
    ++pos;
    const auto s = ReadField(text, pos, 2, 2);
    if (!s || *s > 59 || pos != text.size()) return std::nullopt;
    seconds = *s;
  }
  return (*hours * 60 + *minutes) * 60 + seconds;
}

}  // namespace zelko
