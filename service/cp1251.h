#pragma once

#include <string>
#include <string_view>

namespace zelko_service {

// The monitor speaks Windows-1251; the service keeps and builds its texts in UTF-8.
std::string Cp1251ToUtf8(std::string_view bytes);

// Characters that Windows-1251 cannot hold, and malformed UTF-8, become "?".
std::string Utf8ToCp1251(std::string_view text);

}  // namespace zelko_service
