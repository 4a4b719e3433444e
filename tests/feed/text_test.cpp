#include "feed/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>

namespace zelko {
namespace {

struct ReadTagCase {
  const char* text;
  const char* name;
  std::optional<std::string> value;  // nullopt: nothing written
};

TEST(ReadTagTest, FirstOpeningToFirstClosingAfterIt) {
  const ReadTagCase cases[] = {
      {"x<id>12</id><id>13</id>", "id", "12"},
      {"<id>12", "id", std::nullopt},
      {"</id>12<id>", "id", std::nullopt},
      {"<id></id>", "id", ""},
      {"<s10>5</s10><s1>7</s1>", "s1", "7"},
      {"<s10>5</s10><s1>7</s1>", "s10", "5"},
      {"<score1>2:2</score1><score>1:0</score>", "score", "1:0"},
      {"<score1>2:2</score1><score>1:0</score>", "score1", "2:2"},
      {"<a>1<a>2</a>3</a>", "a", "1<a>2"},        // nesting is not tracked
      {"<id attr=1>5</id>", "id", std::nullopt},  // attributes are not recognised
      {"<ID>5</ID>", "id", std::nullopt},         // case-sensitive
      {"<v> a b\r\n</v>", "v", " a b\r\n"},       // spaces and line breaks stay
      {"<v>&amp;</v>", "v", "&amp;"},             // nothing is unescaped
      {"", "id", std::nullopt},
  };
  for (const auto& c : cases) {
    std::string dest = "previous";
    const bool found = ReadTag(c.text, c.name, dest);
    EXPECT_EQ(found, c.value.has_value()) << c.text << " / " << c.name;
    EXPECT_EQ(dest, c.value.value_or("previous")) << c.text << " / " << c.name;
  }
}

TEST(FindTextTest, FindsWhatFindFindsFromEveryStart) {
  // Texts of every length over a few letters, so that near misses (same second and last but one
  // byte, other bytes between) are common; needles are pieces of the text, sometimes altered.
  std::mt19937 random(20261210u);
  const std::string letters = "<>/ab";
  std::uniform_int_distribution<std::size_t> letter(0, letters.size() - 1);
  int found = 0;
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text(static_cast<std::size_t>(round % 70), ' ');
    for (char& c : text) c = letters[letter(random)];
    std::uniform_int_distribution<std::size_t> length(0, 9);
    std::string needle(length(random), ' ');
    for (char& c : needle) c = letters[letter(random)];
    if (text.size() > needle.size() && round % 2 == 0) {
      std::uniform_int_distribution<std::size_t> start(0, text.size() - needle.size());
      needle = text.substr(start(random), needle.size());
    }
    for (std::size_t from = 0; from <= text.size() + 1; ++from) {
      const std::size_t expected = std::string_view(text).find(needle, from);
      ASSERT_EQ(FindText(text, needle, from), expected)
          << "text: " << text << " needle: " << needle << " from: " << from;
      ++compared;
      found += expected != std::string_view::npos ? 1 : 0;
    }
  }
  EXPECT_GT(found, compared / 10);
  EXPECT_LT(found, compared - compared / 10);
}

TEST(ReplaceAllTest, ReplacesUntilNoneIsLeft) {
  struct Case {
    const char* text;
    const char* search;
    const char* replacement;
    const char* result;
  };
  const Case cases[] = {
      {"Real Madrid B", " ", ">>", "Real>>Madrid>>B"},
      {"1.85", ".", ",", "1,85"},
      {"no match", "x", "y", "no match"},
      {"abc", "", "x", "abc"},
      {"", " ", ">>", ""},
      // Searching again from the start finds occurrences the replacement creates.
      {"aab", "ab", "b", "b"},
      {"aaaa", "aa", "a", "a"},
      // A replacement that holds the search text ends after one pass.
      {"a a", " ", "  ", "a  a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.result) << c.text;
  }
}

TEST(WholeNumberTest, SignAndDigitsOnlyWithin32Bits) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"250", 250},
      {"-3", -3},
      {"+7", 7},
      {"007", 7},
      {"999999999", 999999999},
      {"-999999999", -999999999},
      {"1000000000", 1000000000},
      {"00000000000042", 42},
      {"1/", std::nullopt},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"1.5", std::nullopt},
      {"12a", std::nullopt},
      {"12 ", std::nullopt},
      {" 12", std::nullopt},
      {"--1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseWholeNumber(c.text), c.value) << '"' << c.text << '"';
    EXPECT_EQ(WholeNumberOr0(c.text), c.value.value_or(0)) << '"' << c.text << '"';
  }
}

TEST(ParseOddsTest, DotOrCommaAsDecimalSeparator) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"1.85", 1.85},          {"1,85", 1.85},        {"2", 2.0},
      {"-1.5", -1.5},          {"0.5", 0.5},          {",5", 0.5},
      {"-", std::nullopt},     {"", std::nullopt},    {"1.2.3", std::nullopt},
      {"1.85 ", std::nullopt}, {"abc", std::nullopt}, {".", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseOdds(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(ParseDecimalTest, DotIsTheOnlySeparator) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"5000", 5000.0},      {"5000.5", 5000.5},     {"-3", -3.0},
      {"2.10", 2.10},        {"2,10", std::nullopt}, {"", std::nullopt},
      {"1e3", std::nullopt}, {"+4.5", 4.5},          {"4.", 4.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseDecimal(c.text), c.value) << '"' << c.text << '"';
  }
}

// Short forms are read by a quick path and long ones by the library: both must give the
// correctly rounded double, which glibc's strtod also gives.
TEST(ParseDecimalTest, EveryLengthReadsAsTheCorrectlyRoundedValue) {
  std::mt19937 random(20261210);
  auto digits = [&](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text.push_back(static_cast<char>('0' + random() % 10));
    return text;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string text = random() % 4 == 0 ? "-" : "";
    text += digits(1 + static_cast<int>(random() % 20));
    if (random() % 3 != 0) text += "." + digits(1 + static_cast<int>(random() % 25));
    const double expected = std::strtod(text.c_str(), nullptr);
    EXPECT_EQ(ParseDecimal(text), expected) << text;
    std::string comma = text;
    std::replace(comma.begin(), comma.end(), '.', ',');
    EXPECT_EQ(ParseOdds(comma), expected) << comma;
  }
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double value;
    std::int32_t rounded;
  };
  const Case cases[] = {
      {4.5, 4},
      {7.5, 8},
      {-2.5, -2},
      {-3.5, -4},
      {0.5, 0},
      {1.5, 2},
      {2.4999999, 2},
      {2.5000001, 3},
      {-0.4, 0},
      {185.0, 185},
      {1e12, std::numeric_limits<std::int32_t>::max()},
      {-1e12, std::numeric_limits<std::int32_t>::min()},
      {std::numeric_limits<double>::infinity(), std::numeric_limits<std::int32_t>::max()},
      {std::nan(""), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
  }
}

TEST(NetWinTest, MoneyTimesOddsRoundedMinusMoney) {
  struct Case {
    std::int32_t money;
    const char* odds;
    std::int32_t win;
  };
  const Case cases[] = {
      {100, "1.85", 85}, {3, "1.5", 1},  {5, "1.5", 3},    {100, "", 0},
      {100, "-", 0},     {0, "1.85", 0}, {100, "1,5", 50},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NetWin(c.money, c.odds), c.win) << c.money << " at " << c.odds;
  }
}

TEST(ParseTimeOfDayTest, HoursMinutesAndOptionalSeconds) {
  struct Case {
    const char* text;
    std::optional<int> seconds;
  };
  const Case cases[] = {
      {"14:05", 14 * 3600 + 5 * 60}, {"9:05", 9 * 3600 + 5 * 60}, {"00:00", 0},
      {"23:59:59", 86399},           {"24:00", std::nullopt},     {"12:60", std::nullopt},
      {"12:5", std::nullopt},        {"12:05:60", std::nullopt},  {"123:00", std::nullopt},
      {"12:05 ", std::nullopt},      {"", std::nullopt},          {":", std::nullopt},
      {"-", std::nullopt},           {"12-05", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseTimeOfDay(c.text), c.seconds) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace zelko
