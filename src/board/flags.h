#pragma once

#include <string_view>

namespace zelko {

// The image index in the flag list for a league text whose country stands before the first
// "." ("England. Premier League" gives 23); 0, the football, when the country is not listed.
int FlagIndexOf(std::string_view league);

// The country texts of flag images 1 to 102, in image order (index 0 of the span is image 1).
std::string_view FlagCountry(int imageIndex);

}  // namespace zelko
