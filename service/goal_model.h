#pragma once

#include <array>
#include <string>

namespace zelko_service {

// The 13 selections in the monitor's order: W1, X, W2, then Over and Under of 0.5 ... 4.5.
constexpr int kSelections = 13;
constexpr int kMarkets = 6;  // 1X2 and the five goal lines
enum Selection { kW1, kX, kW2, kO05, kU05, kO15, kU15, kO25, kU25, kO35, kU35, kO45, kU45 };

// The market a selection belongs to: 0 for 1X2, 1..5 for the lines 0.5..4.5.
constexpr int MarketOf(int selection) {
  return selection < 3 ? 0 : 1 + (selection - 3) / 2;
}

using Chances = std::array<double, kSelections>;

// Chances of every selection when the home and away sides still score Poisson-distributed
// goals with the given means on top of the goals already scored. Within 1X2 and within each
// line the chances add up to 1.
Chances SelectionChances(double homeMean, double awayMean, int homeGoals, int awayGoals);

// Decimal odds a bookmaker would quote for a chance, with the margin spread over the market:
// never below 1.01 and never above 101.
double QuotedOdds(double chance, double margin);

// "2.10": two decimals with a point, as the feed carries odds.
std::string OddsText(double odds);

}  // namespace zelko_service
