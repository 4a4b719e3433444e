#include "analysis/analysis.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <utility>

#include "analysis/balances.h"
#include "board/colors.h"
#include "board/columns.h"
#include "feed/service_url.h"
#include "feed/text.h"

namespace zelko {
namespace {

constexpr int kGaugeMax = 14;

// Which of a selection's three cells a step touches.
enum CellSet : std::uint8_t {
  kOddsCell = 1,
  kPercentCell = 2,
  kMoneyCell = 4,
  kAllCells = kOddsCell | kPercentCell | kMoneyCell,
};

// How the analysis paints one selection, in the order of kSelections.
struct SelectionLook {
  std::uint8_t resetCells;  // painted white at the start of the selection's step
  int threshold;            // a percent above this paints the marked cells
  std::uint8_t markedCells;
  Color thresholdColor;
  bool overCheck;  // the money cell turns orange when it exceeds the 1X2 money
};

constexpr SelectionLook k1X2(int threshold) {
  return {kAllCells, threshold, kAllCells, colors::kChartreuse, false};
}
constexpr SelectionLook kOver{kPercentCell | kMoneyCell, 80, kPercentCell, colors::kSpringGreen,
                              true};
constexpr SelectionLook kUnder{kPercentCell, 80, kPercentCell, colors::kSpringGreen, false};

constexpr std::array<SelectionLook, kSelections.size()> kLooks{{
    k1X2(69), k1X2(30), k1X2(69),  // W1, X, W2
    kOver, kUnder,                 // 0.5
    kOver, kUnder,                 // 1.5
    kOver, kUnder,                 // 2.5
    kOver, kUnder,                 // 3.5
    kOver, kUnder,                 // 4.5
}};

void Paint(GridTable& grid, int row, const SelectionColumns& s, std::uint8_t cells, Color color) {
  if ((cells & kOddsCell) != 0) grid.SetCellColor(s.odds, row, color);
  if ((cells & kPercentCell) != 0) grid.SetCellColor(s.percent, row, color);
  if ((cells & kMoneyCell) != 0) grid.SetCellColor(s.money, row, color);
}

// Money as a share of the reference amount, in whole percent.
// Scaling before dividing keeps an exact half (139 of 200) exact, so it rounds to even.
std::int32_t Percent(const SelectionFigures& figures) {
  if (figures.reference == 0) return 0;
  return RoundHalfEven(figures.money * 100.0 / figures.reference);
}

// The analysis request: each key followed by the text of its RX column.
struct QueryField {
  const char* key;
  int column;
};
constexpr std::array<QueryField, 42> kAnalysisQuery{{
    {"my=", col::RMy},
    {"&status=", col::R_Status},
    {"&score=", col::R_Score},
    {"&k1=", 27},
    {"&pr1=", 28},
    {"&s1=", 29},
    {"&kx=", 30},
    {"&prx=", 31},
    {"&sx=", 32},
    {"&k2=", 33},
    {"&pr2=", 34},
    {"&s2=", 35},
    {"&ko05=", 36},
    {"&pro05=", 37},
    {"&so05=", 38},
    {"&ku05=", 39},
    {"&pru05=", 40},
    {"&su05=", 41},
    {"&ko15=", 42},
    {"&pro15=", 43},
    {"&so15=", 44},
    {"&ku15=", 45},
    {"&pru15=", 46},
    {"&su15=", 47},
    {"&ko25=", 48},
    {"&pro25=", 49},
    {"&so25=", 50},
    {"&ku25=", 51},
    {"&pru25=", 52},
    {"&su25=", 53},
    {"&ko35=", 54},
    {"&pro35=", 55},
    {"&so35=", 56},
    {"&ku35=", 57},
    {"&pru35=", 58},
    {"&su35=", 59},
    {"&ko45=", 60},
    {"&pro45=", 61},
    {"&so45=", 62},
    {"&ku45=", 63},
    {"&pru45=", 64},
    {"&su45=", 65},
}};

// Copy(text, position, count) with 1-based positions: empty for a count below 1 or a position
// past the end.
std::string_view Copy(std::string_view text, std::ptrdiff_t position, std::ptrdiff_t count) {
  if (count < 1 || position < 1) return {};
  const auto start = static_cast<std::size_t>(position - 1);
  if (start >= text.size()) return {};
  return text.substr(start, static_cast<std::size_t>(count));
}

// 1-based position of the first ">>", 0 when there is none.
std::ptrdiff_t SeparatorAt(std::string_view text) {
  const std::size_t at = text.find(">>");
  return at == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(at) + 1;
}

// Ends every analysis run the same way, whether it ran through or an error cut it short: the
// run's client freed, pending events handled, the board enabled, the gauge hidden and both
// timers running. On the normal path Finish() does it and lets a failure of its own escape; on
// an error path the destructor does it before the error travels on to the caller.
class RunEnd {
 public:
  RunEnd(AnalysisContext& context, GridTable& grid, std::unique_ptr<HttpClient>& client)
      : context_(context), grid_(grid), client_(client) {}
  RunEnd(const RunEnd&) = delete;
  RunEnd& operator=(const RunEnd&) = delete;
  ~RunEnd() {
    if (done_) return;
    try {
      Tidy();
    } catch (...) {
      // The error that ended the run is the one the caller hears of.
    }
  }
  void Finish() {
    done_ = true;
    Tidy();
  }

 private:
  void Tidy() {
    client_.reset();
    std::exception_ptr failure;
    try {
      context_.platform.ProcessPendingEvents();
    } catch (...) {
      failure = std::current_exception();
    }
    grid_.SetEnabled(true);
    context_.progress.visible = false;
    context_.timer1.enabled = true;
    context_.timer2.enabled = true;
    if (failure) std::rethrow_exception(failure);
  }

  AnalysisContext& context_;
  GridTable& grid_;
  std::unique_ptr<HttpClient>& client_;
  bool done_ = false;
};

}  // namespace

bool IsAnalysable(std::string_view status) {
  return status == "SOON" || status == "LIVE";
}

SelectionFigures ParseSelectionText(std::string_view text) {
  const std::ptrdiff_t p = SeparatorAt(text);
  const std::string_view referenceText = Copy(text, 1, p - 1);
  const std::string_view rest = Copy(text, p + 2, static_cast<std::ptrdiff_t>(text.size()));
  const std::ptrdiff_t q = SeparatorAt(rest);
  const std::string_view moneyText = Copy(rest, 1, q - 1);
  // The last two characters (the closing ">>") are never part of the odds.
  const std::string_view oddsText =
      Copy(rest, q + 2, static_cast<std::ptrdiff_t>(rest.size()) - q - 3);

  SelectionFigures figures;
  figures.reference = ParseDecimal(referenceText).value_or(0.0);
  figures.money = ParseDecimal(moneyText).value_or(0.0);
  figures.odds.assign(oddsText);
  return figures;
}

void AnalyzeMatch(AnalysisContext& context, GridTable& grid, int row) {
  GridTable& rx = context.rx;
  context.timer1.enabled = false;
  context.timer2.enabled = false;
  std::unique_ptr<HttpClient> client;
  RunEnd end(context, grid, client);
  client = context.platform.MakeClient(ClientProfile::SingleRequest, "analysis");

  context.progress.visible = true;
  context.progress.position = 0;
  context.progress.max = kGaugeMax;

  for (std::size_t i = 0; i < kMarketLabels.size(); ++i) {
    rx.SetCellText(col::m1x2 + static_cast<int>(i), row, kMarketLabels[i]);
  }

  context.platform.ProcessPendingEvents();
  grid.SetEnabled(false);

  const std::string status = grid.CellText(col::R_Status, row);
  std::int64_t money1x2 = 0;  // the rounded money of W1, X and W2 of this run

  for (std::size_t k = 0; k < kSelections.size(); ++k) {
    const SelectionColumns& s = kSelections[k];
    const SelectionLook& look = kLooks[k];
    context.progress.position = static_cast<int>(k) + 1;
    context.platform.ProcessPendingEvents();

    Paint(grid, row, s, look.resetCells, colors::kWhite);
    const SelectionFigures figures = ParseSelectionText(grid.TextView(s.textColumn, row));
    const std::int32_t percent = Percent(figures);
    const std::int32_t money = RoundHalfEven(figures.money);
    grid.SetCellInteger(s.percent, row, percent);
    grid.SetCellInteger(s.money, row, money);
    grid.SetCellText(s.odds, row, figures.odds);
    if (k <= static_cast<std::size_t>(kSelW2)) money1x2 += money;

    if (percent > look.threshold) Paint(grid, row, s, look.markedCells, look.thresholdColor);
    if (percent > 100) {
      SendStrangeBet(context.signals, rx, context.sbx, money, row, figures.odds, s.strangeBet,
                     status, grid.CellText(col::R_Score, row));
      Paint(grid, row, s, look.markedCells, colors::kYellow);
    }
    if (look.overCheck && money1x2 < money) grid.SetCellColor(s.money, row, colors::kOrange);
  }

  EvaluateScores(rx, row, [&](int bigBetRow, std::string_view odds, std::string_view bet) {
    SendBigBet(context.signals, rx, bigBetRow, odds, bet);
  });
  SubmitAnalysis(context, *client, row);

  end.Finish();
}

void SubmitAnalysis(AnalysisContext& context, HttpClient& client, int row) {
  GridTable& rx = context.rx;
  QueryUrl url(context.signals.host, "/bf/bffa.php?");  // the same service as the signals
  for (const QueryField& field : kAnalysisQuery) url.Add(field.key, rx.TextView(field.column, row));
  const std::string reply = ServiceGetOrThrow(client, url.str());
  std::string last;
  ReadTag(reply, "last", last);
  rx.SetCellText(col::update, row, "Last Update");
  rx.SetCellText(col::last, row, last);
}

}  // namespace zelko
