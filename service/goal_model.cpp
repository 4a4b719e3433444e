#include "goal_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zelko_service {
namespace {

// Goals beyond this many more per side carry no visible weight.
constexpr int kMaxExtraGoals = 12;

std::array<double, kMaxExtraGoals + 1> PoissonTable(double mean) {
  std::array<double, kMaxExtraGoals + 1> p{};
  double term = std::exp(-mean);
  double sum = 0;
  for (int k = 0; k <= kMaxExtraGoals; ++k) {
    p[static_cast<std::size_t>(k)] = term;
    sum += term;
    term *= mean / (k + 1);
  }
  for (double& v : p) v /= sum;
  return p;
}

}  // namespace

Chances SelectionChances(double homeMean, double awayMean, int homeGoals, int awayGoals) {
  const auto home = PoissonTable(std::max(homeMean, 0.0));
  const auto away = PoissonTable(std::max(awayMean, 0.0));
  Chances c{};
  for (int h = 0; h <= kMaxExtraGoals; ++h) {
    for (int a = 0; a <= kMaxExtraGoals; ++a) {
      const double p = home[static_cast<std::size_t>(h)] * away[static_cast<std::size_t>(a)];
      const int finalHome = homeGoals + h;
      const int finalAway = awayGoals + a;
      c[kW1] += finalHome > finalAway ? p : 0;
      c[kX] += finalHome == finalAway ? p : 0;
      c[kW2] += finalHome < finalAway ? p : 0;
      const int total = finalHome + finalAway;
      for (int line = 0; line < 5; ++line) {
        // Line 0.5 + line: Over wins from line + 1 goals.
        const auto over = static_cast<std::size_t>(kO05 + 2 * line);
        c[over] += total > line ? p : 0;
        c[over + 1] += total > line ? 0 : p;
      }
    }
  }
  return c;
}

double QuotedOdds(double chance, double margin) {
  const double fair = std::clamp(chance, 0.0099, 0.999);
  const double odds = 1.0 / (fair * (1.0 + margin));
  return std::clamp(std::round(odds * 100.0) / 100.0, 1.01, 101.0);
}

std::string OddsText(double odds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", odds);
  return text;
}

}  // namespace zelko_service
