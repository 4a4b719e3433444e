#pragma once

#include <string_view>
#include <vector>

namespace zelko_service {

// A tournament of the demo day. Names are UTF-8; the country before the first "." is one the
// monitor has a flag for.
struct League {
  std::string_view name;
  double prestige;  // 0..1: scales the money the market sees
  int firstHour;    // kick-offs of this tournament fall between these local hours
  int lastHour;
  std::vector<std::string_view> teams;  // strongest first
};

const std::vector<League>& Leagues();

}  // namespace zelko_service
