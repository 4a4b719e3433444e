#include "query.h"

namespace zelko_service {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(static_cast<unsigned char>(high * 16 + low));
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::vector<QueryPair> ParseQuery(std::string_view target) {
  std::vector<QueryPair> pairs;
  const std::size_t mark = target.find('?');
  if (mark == std::string_view::npos) return pairs;
  std::string_view rest = target.substr(mark + 1);
  const std::size_t fragment = rest.find('#');
  if (fragment != std::string_view::npos) rest = rest.substr(0, fragment);
  while (!rest.empty()) {
    const std::size_t amp = rest.find('&');
    const std::string_view pair = rest.substr(0, amp);
    rest = amp == std::string_view::npos ? std::string_view{} : rest.substr(amp + 1);
    if (pair.empty()) continue;
    const std::size_t eq = pair.find('=');
    if (eq == std::string_view::npos) {
      pairs.push_back({PercentDecode(pair), {}});
    } else {
      pairs.push_back({PercentDecode(pair.substr(0, eq)), PercentDecode(pair.substr(eq + 1))});
    }
  }
  return pairs;
}

std::string QueryValue(const std::vector<QueryPair>& pairs, std::string_view key) {
  for (const auto& pair : pairs) {
    if (pair.key == key) return pair.value;
  }
  return {};
}

bool HasKey(const std::vector<QueryPair>& pairs, std::string_view key) {
  for (const auto& pair : pairs) {
    if (pair.key == key) return true;
  }
  return false;
}

}  // namespace zelko_service
