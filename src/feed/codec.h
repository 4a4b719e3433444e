#pragma once

#include <string>
#include <string_view>

namespace zelko {

// The service, "log.log" and "report.html" speak Windows-1251; cells hold UTF-8.
std::string Cp1251ToUtf8(std::string_view bytes);
// The same into `buffer`, whose storage only grows, and the decoded text in it: decoding many
// short texts one after another into one buffer allocates (and clears) only while the texts
// grow. The view lives until the buffer changes. `bytes` must not lie in `buffer`.
std::string_view Cp1251ToUtf8(std::string_view bytes, std::string& buffer);
// Characters without a Windows-1251 form (and malformed UTF-8 sequences) become "?".
std::string Utf8ToCp1251(std::string_view text);

}  // namespace zelko
