#include "board/flags.h"

#include <array>

namespace zelko {
namespace {

// Matched letter for letter ("Singapoure", "Czech Rep", "Holland" included). "Luxemburg" stands
// twice; the later entry wins, so it gives 102.
constexpr std::array<std::string_view, 102> kCountries{
    "Argentina",    "Armenia",     "Australia",  "Austria",     "Bahrain",       "Belarus",
    "Belgium",      "Bosnia",      "Brazil",     "Bulgaria",    "Cameroon",      "Canada",
    "Chile",        "China",       "Colombia",   "Costa Rica",  "Croatia",       "Cyprus",
    "Czech Rep",    "Denmark",     "Egypt",      "El Salvador", "England",       "Estonia",
    "UEFA",         "Finland",     "France",     "Georgia",     "Germany",       "Greece",
    "Guatemala",    "Honduras",    "Hong Kong",  "Hungary",     "Iceland",       "India",
    "Indonesia",    "Iran",        "Iraq",       "Ireland",     "Israel",        "Italy",
    "Japan",        "Jordan",      "Kazakhstan", "Kuwait",      "Lebanon",       "Lithuania",
    "Luxemburg",    "Malaysia",    "Mexico",     "Moldova",     "Montenegro",    "Morocco",
    "Holland",      "New Zealand", "Norway",     "Paraguay",    "Peru",          "Philippines",
    "Poland",       "Portugal",    "Qatar",      "Romania",     "Russia",        "Saudi Arabia",
    "Scotland",     "Senegal",     "Serbia",     "Singapoure",  "Slovakia",      "Slovenia",
    "South Africa", "South Korea", "Spain",      "Sweden",      "Switzerland",   "Thailand",
    "Tunisia",      "Turkey",      "Ukraine",    "UAE",         "United States", "Uruguay",
    "Uzbekistan",   "Venezuela",   "Vietnam",    "Wales",       "Yemen",         "Andorra",
    "Nigeria",      "Swaziland",   "Algeria",    "Syria",       "Malta",         "Macedonia FYR",
    "Albania",      "Kosovo",      "Azerbaijan", "Uganda",      "Latvia",        "Luxemburg"};

// Continental and world bodies share the flag of Europe, the image of "UEFA".
constexpr std::array<std::string_view, 5> kBodies{"AFC", "CAF", "CONCACAF", "CONMEBOL", "FIFA"};
constexpr int kEuropeImage = 25;

}  // namespace

int FlagIndexOf(std::string_view league) {
  const auto point = league.find('.');
  const std::string_view country =
      point == std::string_view::npos ? std::string_view{} : league.substr(0, point);
  int result = 0;
  for (std::size_t i = 0; i < kCountries.size(); ++i) {
    if (kCountries[i] == country) result = static_cast<int>(i) + 1;
  }
  for (std::string_view body : kBodies) {
    if (body == country) result = kEuropeImage;
  }
  return result;
}

std::string_view FlagCountry(int imageIndex) {
  if (imageIndex < 1 || imageIndex > static_cast<int>(kCountries.size())) return {};
  return kCountries[static_cast<std::size_t>(imageIndex - 1)];
}

}  // namespace zelko
