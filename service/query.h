#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelko_service {

// One query pair, decoded to bytes (still Windows-1251 as the monitor sent them).
struct QueryPair {
  std::string key;
  std::string value;
};

// Decodes %XY escapes byte for byte. A "%" that does not start a valid escape stays as it is,
// and "+" stays "+": the monitor escapes every byte outside the unreserved set, so a "+" on the
// wire is a literal one.
std::string PercentDecode(std::string_view text);

// Splits the query of a request target ("/path?a=1&b=2") into its pairs, in order. A pair
// without "=" has an empty value.
std::vector<QueryPair> ParseQuery(std::string_view target);

// The first value of the key, or an empty text.
std::string QueryValue(const std::vector<QueryPair>& pairs, std::string_view key);
bool HasKey(const std::vector<QueryPair>& pairs, std::string_view key);

}  // namespace zelko_service
