#pragma once

#include <string>
#include <string_view>

namespace zelko {

// The service, "log.log" and "report.html" speak Windows-1251; cells hold UTF-8.
std::string Cp1251ToUtf8(std::string_view bytes);
// The same into `out`, which keeps its storage: decoding many short texts one after another
// into one string allocates only while the texts grow. `bytes` must not lie in `out`.
void Cp1251ToUtf8(std::string_view bytes, std::string& out);
// Characters without a Windows-1251 form (and malformed UTF-8 sequences) become "?".
std::string Utf8ToCp1251(std::string_view text);

}  // namespace zelko
