#pragma once

// A main board with one match row, an empty StrangeBets list and a fake platform, wired as the
// form wires them for an analysis run.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/signals.h"
#include "board/columns.h"
#include "board/grid_table.h"
#include "support/fake_platform.h"

namespace zelko::testing {

inline constexpr const char* kHost = "svc.test:8024";

// Also records the profile and name of every client made; `makeClient`, when set, makes the
// clients instead of the fake network.
class RecordingPlatform : public FakePlatform {
 public:
  std::unique_ptr<HttpClient> MakeClient(ClientProfile profile, std::string name) override {
    made.emplace_back(profile, name);
    if (makeClient) return makeClient(profile, std::move(name));
    return FakePlatform::MakeClient(profile, std::move(name));
  }
  std::vector<std::pair<ClientProfile, std::string>> made;
  std::function<std::unique_ptr<HttpClient>(ClientProfile, std::string)> makeClient;
};

// Selection k (0 to 12) with reference 1000, money 100 * (k + 1) and odds "(k + 1).5", so that
// every market cell of the row differs; the analysis query those cells give.
inline std::string DistinctSelectionText(std::size_t k) {
  return "1000>>" + std::to_string(100 * (k + 1)) + ">>" + std::to_string(k + 1) + ".5>>";
}
inline constexpr const char* kDistinctQuery =
    "my=M1001&status=SOON&score=-"
    "&k1=1.5&pr1=10&s1=100&kx=2.5&prx=20&sx=200&k2=3.5&pr2=30&s2=300"
    "&ko05=4.5&pro05=40&so05=400&ku05=5.5&pru05=50&su05=500"
    "&ko15=6.5&pro15=60&so15=600&ku15=7.5&pru15=70&su15=700"
    "&ko25=8.5&pro25=80&so25=800&ku25=9.5&pru25=90&su25=900"
    "&ko35=10.5&pro35=100&so35=1000&ku35=11.5&pru35=110&su35=1100"
    "&ko45=12.5&pro45=120&so45=1200&ku45=13.5&pru45=130&su45=1300";

class AnalysisFixture : public ::testing::Test {
 protected:
  AnalysisFixture() { row = AddMatch("M1001", "77", "SOON", "-"); }

  // A match row: ID, MY value, date, flag (index 12, league name as hint), time, teams.
  int AddMatch(const std::string& my, const std::string& id, const std::string& status,
               const std::string& score) {
    const int r = rx.AddRow();
    rx.SetCellText(col::RId, r, id);
    rx.SetCellText(col::RMy, r, my);
    rx.SetCellText(col::RDate, r, "2024-05-11");
    rx.SetCellInteger(col::RFlag, r, 12);
    rx.SetCellHint(col::RFlag, r, "Premier League");
    rx.SetCellText(col::RTime, r, "19:30");
    rx.SetCellText(col::RHome, r, "Real Madrid");
    rx.SetCellText(col::RAway, r, "Getafe");
    rx.SetCellText(col::R_Status, r, status);
    rx.SetCellText(col::R_Score, r, score);
    return r;
  }

  // Money and odds of one selection (index into kSelections) on the row.
  void SetSelection(std::size_t k, int money, const std::string& odds) {
    rx.SetCellInteger(kSelections[k].money, row, money);
    rx.SetCellText(kSelections[k].odds, row, odds);
  }

  AnalysisContext Context() {
    return AnalysisContext{rx, sbx, platform, sender, progress, timer1, timer2};
  }

  void SetSelectionText(std::size_t k, const std::string& text) {
    rx.SetCellText(kSelections[k].textColumn, row, text);
  }
  void SetDistinctSelections() {
    for (std::size_t k = 0; k < kSelections.size(); ++k)
      SetSelectionText(k, DistinctSelectionText(k));
  }

  std::vector<SentRequest> Sent(const std::string& path) const { return platform.network.To(path); }

  GridTable rx{"RX", RxColumns()};
  GridTable sbx{"SBX", SbxColumns()};
  RecordingPlatform platform;
  FakeHttpClient idHttp2{platform.network, "IdHTTP2", ClientProfile::Form};
  TimeOfDay clock{9, 5};
  SignalSender sender{idHttp2, kHost, [this] { return clock; }};
  Gauge progress;
  Timer timer1;
  Timer timer2;
  int row = 0;
};

}  // namespace zelko::testing
