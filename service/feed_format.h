#pragma once

#include <string>

#include "simulation.h"

namespace zelko_service {

// The feed replies in UTF-8, as a sequence of "<match>...</match>" records, one a line. The
// routes convert them to Windows-1251 on the way out.

// Every match of the day and of tomorrow, in kick-off order. Record-level elements come before
// the nested "radar", "bfpr" and "bf_live", whose element names repeat some of theirs.
std::string TodayFeed(const Day& day, int minute);

// The matches in play at the minute.
std::string LiveFeed(const Day& day, int minute);

// One record of each kind, for tests and the status page.
std::string TodayRecord(const Match& match, int minute);
std::string LiveRecord(const Match& match, int minute);

}  // namespace zelko_service
