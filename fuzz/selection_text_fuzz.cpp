// The hidden selection texts "REFERENCE>>MONEY>>ODDS>>" as the analysis reads them.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/analysis.h"
#include "feed/text.h"
#include "fuzz_support.h"

using zelko::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = zelko::fuzz::AsText(data, size);
  const zelko::SelectionFigures figures = zelko::ParseSelectionText(text);
  Require(std::isfinite(figures.reference) && std::isfinite(figures.money),
          "a selection figure is not finite");
  Require(figures.odds.size() <= text.size(), "odds longer than the text");
  Require(figures.odds.empty() || text.find(figures.odds) != std::string_view::npos,
          "odds not taken from the text");
  // The figures go on into whole money and percent cells.
  (void)zelko::RoundHalfEven(figures.money);
  (void)zelko::RoundHalfEven(figures.reference);

  // A text written in the service's form reads back its own fields.
  const std::size_t cut = text.find('|');
  if (cut != std::string_view::npos) {
    const std::string_view money = text.substr(0, cut);
    const std::string_view odds = text.substr(cut + 1);
    if (money.find('>') == std::string_view::npos && odds.find(">>") == std::string_view::npos &&
        (odds.empty() || odds.back() != '>')) {
      const std::string written = "5000>>" + std::string(money) + ">>" + std::string(odds) + ">>";
      const zelko::SelectionFigures back = zelko::ParseSelectionText(written);
      Require(back.reference == 5000.0, "reference not read back", written);
      Require(back.odds == odds, "odds not read back", written);
      const auto value = zelko::ParseDecimal(money);
      Require(back.money == value.value_or(0.0), "money not read back", written);
    }
  }
  return 0;
}
