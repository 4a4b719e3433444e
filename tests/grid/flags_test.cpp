#include "board/flags.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

TEST(FlagIndexOf, MatchesTheCountryBeforeTheFirstPoint) {
  struct Case {
    const char* league;
    int flag;
  };
  const Case cases[] = {
      {"England. Premier League", 23},
      {"Argentina. Primera", 1},
      {"UEFA. Champions League", 25},
      {"CONMEBOL. Copa Libertadores", 25},
      {"FIFA. World Cup", 25},
      {"AFC. Champions League", 25},
      {"Luxemburg. National Division", 102},
      {"Latvia. Virsliga", 101},
      {"Singapoure. S-League", 70},
      {"Macedonia FYR. First League", 96},
      {"Czech Rep. 1. Liga", 19},  // two points: only the part before the first counts
      {"England", 0},              // no point
      {".England", 0},
      {"england. Premier League", 0},
      {"England . Premier League", 0},
      {"Narnia. Cup", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(FlagIndexOf(c.league), c.flag) << c.league;
}

TEST(FlagIndexOf, EveryCountryOfTheTableGivesItsOwnImage) {
  for (int i = 1; i <= 102; ++i) {
    const std::string league = std::string(FlagCountry(i)) + ". League";
    const int expected = FlagCountry(i) == "Luxemburg" ? 102 : i;
    EXPECT_EQ(FlagIndexOf(league), expected) << league;
  }
  EXPECT_EQ(FlagCountry(0), "");
  EXPECT_EQ(FlagCountry(103), "");
}

}  // namespace
}  // namespace zelko
