// The Windows-1251 codec: decoding gives valid UTF-8, a decoded text encodes back to its bytes,
// encoding never grows a text, and query values come out percent-encoded.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "feed/codec.h"
#include "feed/service_url.h"
#include "fuzz_support.h"

namespace {

using zelko::fuzz::Require;

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0u) == 0xC0u) {
      length = 2, cp = lead & 0x1Fu, minimum = 0x80;
    } else if ((lead & 0xF0u) == 0xE0u) {
      length = 3, cp = lead & 0x0Fu, minimum = 0x800;
    } else if ((lead & 0xF8u) == 0xF0u) {
      length = 4, cp = lead & 0x07u, minimum = 0x10000;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0u) != 0x80u) return false;
      cp = (cp << 6) | (next & 0x3Fu);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

bool IsUpperHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  return c <= '9' ? c - '0' : c - 'A' + 10;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = zelko::fuzz::AsText(data, size);

  // Bytes from the service.
  const std::string utf8 = zelko::Cp1251ToUtf8(bytes);
  Require(IsValidUtf8(utf8), "decoded text is not UTF-8");
  Require(utf8.size() <= bytes.size() * 3, "decoded text too long");
  std::string expected(bytes);
  for (char& c : expected) {
    if (static_cast<unsigned char>(c) == 0x98) c = '?';  // the one byte without a character
  }
  Require(zelko::Utf8ToCp1251(utf8) == expected, "round trip lost bytes");

  // Text from a cell or a box.
  const std::string encoded = zelko::Utf8ToCp1251(bytes);
  Require(encoded.size() <= bytes.size(), "encoding grew the text");
  const std::string again = zelko::Utf8ToCp1251(zelko::Cp1251ToUtf8(encoded));
  Require(again == encoded, "encoding is not stable");
  if (IsValidUtf8(bytes) && encoded.find('?') == std::string::npos) {
    Require(zelko::Cp1251ToUtf8(encoded) == bytes, "a representable text did not come back");
  }

  // A query value carries nothing that could end it or start another parameter, and decodes
  // back to the Windows-1251 bytes.
  const std::string query = zelko::EncodeQueryValue(bytes);
  std::string decoded;
  for (std::size_t i = 0; i < query.size(); ++i) {
    const char c = query[i];
    if (c == '%') {
      Require(i + 2 < query.size() && IsUpperHex(query[i + 1]) && IsUpperHex(query[i + 2]),
              "a broken escape", query);
      decoded.push_back(static_cast<char>(HexValue(query[i + 1]) * 16 + HexValue(query[i + 2])));
      i += 2;
      continue;
    }
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    Require(unreserved, "a reserved byte in a query value", query);
    decoded.push_back(c);
  }
  Require(decoded == encoded, "a query value does not decode to its bytes");
  return 0;
}
