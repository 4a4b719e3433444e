#include "board/today_loader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "board/board_rows.h"
#include "board/columns.h"
#include "feed/records.h"
#include "feed/service_url.h"
#include "feed/text.h"

namespace zelko {
namespace {

// The "radar" names of one selection: its odds, its percent and the total of its market.
struct RadarNames {
  const char* odds;
  const char* percent;
  const char* total;
};
// In the order of kSelections.
constexpr std::array<RadarNames, kSelections.size()> kRadarNames{{
    {"fk1", "f1", "fsum"},
    {"fkx", "fx", "fsum"},
    {"fk2", "f2", "fsum"},
    {"fko05", "fo05", "fs05"},
    {"fku05", "fu05", "fs05"},
    {"fko15", "fo15", "fs15"},
    {"fku15", "fu15", "fs15"},
    {"fko25", "fo25", "fs25"},
    {"fku25", "fu25", "fs25"},
    {"fko35", "fo35", "fs35"},
    {"fku35", "fu35", "fs35"},
    {"fko45", "fo45", "fs45"},
    {"fku45", "fu45", "fs45"},
}};

// The money of a selection: its share of the market's total, rounded half to even.
std::int32_t RadarMoney(std::int32_t total, std::int32_t percent) {
  return RoundHalfEven(static_cast<double>(total) / 100.0 * static_cast<double>(percent));
}

// Writes and paints the 39 market cells of a row from its "radar" text.
void FillRadarCells(GridTable& rx, int row, const RecordReader& radar) {
  PerSelection percents{};
  PerSelection money{};
  for (std::size_t i = 0; i < kSelections.size(); ++i) {
    const SelectionColumns& sel = kSelections[i];
    const RadarNames& names = kRadarNames[i];
    const std::string_view percent = radar.Get(names.percent);
    percents[i] = WholeNumberOr0(percent);
    money[i] = RadarMoney(WholeNumberOr0(radar.Get(names.total)), percents[i]);
    rx.SetCellText(sel.odds, row, radar.Get(names.odds));
    rx.SetCellText(sel.percent, row, percent);
    rx.SetCellInteger(sel.money, row, money[i]);
  }
  // The orange mark compares each Over line's money, as just computed into its money cell,
  // with the 1X2 money of columns 29, 32 and 35 just written: the same two amounts the money
  // refresh and the analysis compare, so the mark means the same on every path.
  PaintMarketCells(rx, row, percents, money);
}

}  // namespace

bool LoadTodayBoard(GridTable& rx, HttpClient& idHttp1, const std::string& todayUrl,
                    const StatusBoxes& boxes, int mode) {
  std::string reply;
  if (mode == 0 || mode == 1) {
    // Ask first: a request that fails leaves the board as it was, while a successful reply,
    // even an empty one, is the service's word on the day.
    ServiceBytes answer = ServiceGetBytes(idHttp1, todayUrl);
    if (answer.failed) return false;
    reply = std::move(answer.body);
  }
  rx.ClearRows();

  ForEachRecord(reply, [&](std::string_view text) {
    const RecordReader record(text);
    const std::string_view status = record.Get("status");
    if (!boxes.Passes(status)) return;
    if (record.Get("day") != "1") return;

    const int row = rx.AddRow();
    FillBoardRow(rx, row, record);

    const std::string_view radarText = record.Get("radar");
    if (!radarText.empty()) {
      const RecordReader radar = record.Nested("radar");
      FillRadarCells(rx, row, radar);
      rx.SetCellText(col::update, row, "Last Update");
      rx.SetCellText(col::last, row, radar.Get("last"));
      // Each record starts with an empty verdict label.
      WriteNewRowBalances(rx, row);
    }

    WriteStatusCells(rx, row, status, record);
  });
  return true;
}

}  // namespace zelko
