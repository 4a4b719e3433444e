#pragma once

#include <string>
#include <vector>

#include "simulation.h"
#include "store.h"

namespace zelko_service {

// The page at "/": the simulated clock, the day's matches and the latest signals the monitor
// posted, so that a person can watch what the monitor does. UTF-8 HTML.
std::string RenderStatusPage(const Day& day, int minute, double speed,
                             const std::vector<Signal>& signals, long long signalCount);

std::string EscapeHtml(const std::string& text);

}  // namespace zelko_service
