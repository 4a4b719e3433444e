#include "board/money_refresh.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "board/board_copy.h"
#include "board/board_rows.h"
#include "board/columns.h"
#include "feed/records.h"
#include "feed/service_url.h"
#include "feed/text.h"

namespace zelko {
namespace {

// The "bfpr" / "bf_live" names of one selection's odds, percent and money.
struct MarketNames {
  const char* odds;
  const char* percent;
  const char* money;
};
// In the order of kSelections.
constexpr std::array<MarketNames, kSelections.size()> kMarketNames{{
    {"k1", "pr1", "s1"},
    {"kx", "prx", "sx"},
    {"k2", "pr2", "s2"},
    {"ko05", "pro05", "so05"},
    {"ku05", "pru05", "su05"},
    {"ko15", "pro15", "so15"},
    {"ku15", "pru15", "su15"},
    {"ko25", "pro25", "so25"},
    {"ku25", "pru25", "su25"},
    {"ko35", "pro35", "so35"},
    {"ku35", "pru35", "su35"},
    {"ko45", "pro45", "so45"},
    {"ku45", "pru45", "su45"},
}};

constexpr std::string_view kNoTime = "00:00";

// The cells of one "bfpr" / "bf_live" element, read by its reader.
void FillMarketCellsFrom(GridTable& rx, int row, const RecordReader& figures) {
  PerSelection percents{};
  PerSelection money{};
  for (std::size_t i = 0; i < kSelections.size(); ++i) {
    const SelectionColumns& sel = kSelections[i];
    const MarketNames& names = kMarketNames[i];
    const std::string_view percent = figures.Get(names.percent);
    const std::string_view amount = figures.Get(names.money);
    percents[i] = WholeNumberOr0(percent);
    money[i] = WholeNumberOr0(amount);
    rx.SetCellText(sel.odds, row, figures.Get(names.odds));
    rx.SetCellText(sel.percent, row, percent);
    rx.SetCellText(sel.money, row, amount);
  }
  PaintMarketCells(rx, row, percents, money);
}

// A time of day in seconds; a text that is not one counts as midnight.
int SecondsOrMidnight(std::string_view text) {
  return ParseTimeOfDay(text).value_or(0);
}

// The odds column a verdict names, or -1.
int VerdictOddsColumn(std::string_view verdict) {
  if (verdict == "W1") return col::R_1;
  if (verdict == "X") return col::R_X;
  if (verdict == "W2") return col::R_2;
  if (verdict == "O2.5") return col::R_25;
  if (verdict == "U2.5") return col::R_U25;
  return -1;
}

// A match the board does not hold yet: a row as at load, with its figures from "bfpr".
void AddNewRow(GridTable& rx, const RecordReader& record, std::string_view status,
               const BigBetSink& sendBigBet) {
  const int row = rx.AddRow();
  FillBoardRow(rx, row, record);

  // The figures are read from the record's index: "bfpr" is not scanned a second time.
  const RecordReader market = record.Nested("bfpr");
  if (!record.Get("bfpr").empty()) {
    FillMarketCellsFrom(rx, row, market);
    rx.SetCellText(col::update, row, "Last Update");
    rx.SetCellText(col::last, row, market.Get("last"));
    const RowVerdict found = WriteNewRowBalances(rx, row);
    // The status cells are still empty here, so a new row is never taken for a running match.
    const int oddsColumn = VerdictOddsColumn(found.verdict);
    if (oddsColumn >= 0) {
      const std::string odds = rx.CellText(oddsColumn, row);
      CheckBigBet(rx, row, found.verdict, odds, sendBigBet);
    }
  }

  WriteStatusCells(rx, row, status, record);
}

// What the refresh did to a known row's figures.
enum class Rewrite {
  kNone,      // not due
  kDone,      // rewritten
  kAsBefore,  // due, but the row is exactly as the same figures left it last time
};

// The note a row gets once its figures are rewritten: what they were rewritten from. Never 0,
// which is the note of a row changed since.
std::uint64_t RewriteNote(std::string_view status, std::string_view market) {
  const std::uint64_t figures = std::hash<std::string_view>{}(market);
  const std::uint64_t word = std::hash<std::string_view>{}(status);
  return (figures ^ (word * 0x9E3779B97F4A7C15ull)) | 1u;
}

// A match the board holds: its status cells, and its figures when the service's are newer.
// Most refreshes bring no newer figures, so the record is read without an index for the few
// names that decide; only a row whose figures are rewritten has its market element indexed
// (that element alone: the record's other elements are not read for it).
//
// Finished and called-off rows are rewritten at every refresh, mostly from the very figures
// they show. Rewriting a row that has not changed since it was rewritten from the same
// figures and status gives the same cells again, so such a row is left as it is: the row's
// note tells (any change to the row since clears it).
//
// `beforeRewrite` is called once the row is known to be rewritten, before any of it is.
template <typename BeforeRewrite>
Rewrite UpdateKnownRow(GridTable& rx, int row, const RecordReader& record, std::string_view status,
                       BeforeRewrite&& beforeRewrite) {
  const bool live = status == "LIVE";
  const std::string_view marketName = live ? "bf_live" : "bfpr";
  const std::string_view market = record.Get(marketName);
  const RecordReader figures = RecordReader::Unindexed(market);
  std::string_view taken = figures.Get("last");
  if (taken.empty()) taken = kNoTime;

  std::string shown(rx.TextView(col::last, row));
  if (shown.empty()) shown = kNoTime;

  WriteStatusCells(rx, row, status, record);

  if (market.empty()) return Rewrite::kNone;
  const bool newer = SecondsOrMidnight(shown) < SecondsOrMidnight(taken);
  bool update = false;
  if (status == "FINISH" || status == "CANCEL") {
    update = true;
  } else if (status == "SOON") {
    update = newer;
  } else if (live) {
    // Live figures count only when taken at the score the row shows.
    std::string_view takenAtScore = figures.Get("score");
    if (takenAtScore.empty()) takenAtScore = "0:0";
    update = newer && takenAtScore == rx.TextView(col::R_Score, row);
  }
  if (!update) return Rewrite::kNone;
  const std::uint64_t note = RewriteNote(status, market);
  if (rx.RowNote(row) == note) return Rewrite::kAsBefore;

  beforeRewrite();
  FillMarketCellsFrom(rx, row, RecordReader(market));
  rx.SetCellText(col::update, row, "Last Update");
  rx.SetCellText(col::last, row, taken);

  // The analysis's own sequence of balances and verdicts; a known row never posts a BigBet, so
  // it runs without a sink.
  EvaluateScores(rx, row, BigBetSink{});
  rx.SetRowNote(row, note);
  return Rewrite::kDone;
}

}  // namespace

void FillMarketCells(GridTable& rx, int row, std::string_view element) {
  FillMarketCellsFrom(rx, row, RecordReader(element));
}

bool RefreshMoney(GridTable& rx, GridTable& rx2, HttpClient& idHttp1, const std::string& todayUrl,
                  const BigBetSink& sendBigBet) {
  const ServiceBytes reply = ServiceGetBytes(idHttp1, todayUrl);
  if (reply.failed) return false;

  const auto refreshRecord = [&](std::string_view text) {
    const RecordReader record = RecordReader::Unindexed(text);
    const std::string_view status = record.Get("status");
    const std::string_view id = record.Get("id");
    const int row = rx.LastRowWithId(id);
    if (row < 0) {
      // A board that already holds as many matches as a reply can carry takes no more, so a
      // service that invents new matches at every refresh cannot grow it without bound.
      if (static_cast<std::size_t>(rx.RowCount()) < kMaxRecordsPerReply) {
        AddNewRow(rx, RecordReader(text), status, sendBigBet);
      }
      return;
    }
    // A rewritten row is walked whole and then copied on to its card: both rows are fetched
    // while its figures are read and its balances worked out (at 5000 matches the boards lie
    // beyond the cache).
    int boardRow = -1;
    bool boardRowLooked = false;
    const auto fetchRewrittenRows = [&] {
      rx.PrefetchRow(row);
      if (rx2.RowCount() == 0) return;
      boardRow = rx2.LastRowWithId(id);
      boardRowLooked = true;
      rx2.PrefetchRow(boardRow);
    };
    const Rewrite rewrite = UpdateKnownRow(rx, row, record, status, fetchRewrittenRows);
    if (rewrite == Rewrite::kNone || rx2.RowCount() == 0) return;
    if (!boardRowLooked) boardRow = rx2.LastRowWithId(id);
    if (boardRow < 0) return;
    // The work board's card carries the note of the copy it was given; when neither row has
    // changed since that copy, copying again changes nothing.
    const std::uint64_t note = rx.RowNote(row);
    if (rewrite == Rewrite::kAsBefore && rx2.RowNote(boardRow) == note) return;
    CopyBoardRow(rx2, boardRow, rx, row);
    rx2.SetRowNote(boardRow, note);
  };
  // The cells a known row's refresh reads or writes first; the rest of a row is needed only
  // when its figures are rewritten, and its cells then come in order.
  static constexpr std::array<int, 5> kFirstCells{0, col::R_Score, col::R_Status, col::R_Min,
                                                  col::last};
  static constexpr std::array<int, 1> kIdCell{0};
  const auto fetchRows = [&](std::string_view text) {
    // An ID with bytes of Windows-1251's upper half reads differently here than once decoded:
    // its rows are then simply not fetched ahead.
    const std::string_view id = RecordReader::Unindexed(text).Get("id");
    rx.PrefetchRowsWithId(id, kFirstCells);
    if (rx2.RowCount() != 0) rx2.PrefetchRowsWithId(id, kIdCell);
  };
  const auto fetchIdPlaces = [&](std::string_view text) {
    const std::string_view id = RecordReader::Unindexed(text).Get("id");
    rx.PrefetchIdPlace(id);
    if (rx2.RowCount() != 0) rx2.PrefetchIdPlace(id);
  };
  ForEachRecord(reply.body, refreshRecord, fetchRows, fetchIdPlaces);
  return true;
}

}  // namespace zelko
