#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "board/grid_table.h"
#include "feed/http_client.h"
#include "feed/platform.h"

namespace zelko {

// Where the signals go: the form's second client, the service host and the local clock.
struct SignalSender {
  HttpClient& idHttp2;
  std::string host;
  std::function<TimeOfDay()> localTime;
};

// Lists a StrangeBet at the top of SBX and posts it, unless the money is below 1000 or SBX
// already lists the match's MY value with this label. Request failures are swallowed.
void SendStrangeBet(const SignalSender& sender, const GridTable& rx, GridTable& sbx, int money,
                    int row, std::string_view odds, std::string_view bet, std::string_view status,
                    std::string_view score);

// Posts a BigBet for RX row `row`. Request failures are swallowed.
void SendBigBet(const SignalSender& sender, const GridTable& rx, int row, std::string_view odds,
                std::string_view bet);

}  // namespace zelko
