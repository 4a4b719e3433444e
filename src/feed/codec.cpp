#include "feed/codec.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zelko {

namespace {

// Unicode code points of the Windows-1251 bytes 0x80 to 0xFF; 0 marks the one unassigned
// byte, 0x98.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

// The Windows-1251 byte of a code point, or '?' when it has none.
char EncodeCodePoint(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<char>(0xC0 + (cp - 0x0410));
  for (std::size_t i = 0; i < 0x40; ++i) {  // the rest lives in 0x80 to 0xBF
    if (kHighHalf[i] != 0 && kHighHalf[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Decodes one UTF-8 sequence at `pos`. On success returns the code point and advances `pos`
// past it; on a malformed sequence returns nothing and advances `pos` by one byte.
bool DecodeUtf8(std::string_view text, std::size_t& pos, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    cp = lead;
    ++pos;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    minimum = 0x80;
    cp = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    minimum = 0x800;
    cp = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    minimum = 0x10000;
    cp = lead & 0x07u;
  } else {
    ++pos;
    return false;
  }
  if (pos + length > text.size()) {
    ++pos;
    return false;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0u) != 0x80u) {
      ++pos;
      return false;
    }
    cp = (cp << 6) | (next & 0x3Fu);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return false;
  }
  pos += length;
  return true;
}

}  // namespace

namespace {

// The UTF-8 form of each byte 0x80 to 0xFF: its length and bytes ("?" for the unassigned 0x98).
struct Utf8Form {
  std::uint8_t length = 0;
  std::array<char, 3> bytes{};
};

constexpr std::array<Utf8Form, 128> MakeHighHalfForms() {
  std::array<Utf8Form, 128> forms{};
  for (std::size_t i = 0; i < forms.size(); ++i) {
    const char32_t cp = kHighHalf[i];
    Utf8Form& f = forms[i];
    if (cp == 0) {
      f.length = 1;
      f.bytes[0] = '?';
    } else if (cp < 0x800) {
      f.length = 2;
      f.bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
      f.bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      f.length = 3;
      f.bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
      f.bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      f.bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return forms;
}

constexpr std::array<Utf8Form, 128> kHighHalfForms = MakeHighHalfForms();

}  // namespace

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  const std::size_t size = Cp1251ToUtf8(bytes, out).size();
  out.resize(size);
  return out;
}

std::string_view Cp1251ToUtf8(std::string_view bytes, std::string& buffer) {
  // Two tight passes over a whole reply: the size of the result, then the bytes, written in
  // place rather than appended one at a time. Replies are mostly ASCII, which both passes take
  // a block at a time (sixteen bytes with SSE2, eight without).
  const char* const data = bytes.data();
  const std::size_t length = bytes.size();
#if defined(__SSE2__)
  constexpr std::size_t kBlock = 16;
  auto asciiWord = [&](std::size_t at) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    return _mm_movemask_epi8(block) == 0;
  };
#else
  constexpr std::size_t kBlock = 8;
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  auto asciiWord = [&](std::size_t at) {
    std::uint64_t word;
    std::memcpy(&word, data + at, sizeof word);
    return (word & kHighBits) == 0;
  };
#endif
  auto formOf = [](char c) -> const Utf8Form& {
    return kHighHalfForms[static_cast<unsigned char>(c) - 0x80u];
  };

  std::size_t size = 0;
  std::size_t i = 0;
  while (i < length) {
    if (i + kBlock <= length && asciiWord(i)) {
      size += kBlock;
      i += kBlock;
      continue;
    }
    size += static_cast<unsigned char>(data[i]) < 0x80 ? std::size_t{1}
                                                       : std::size_t{formOf(data[i]).length};
    ++i;
  }

  if (buffer.size() < size) buffer.resize(size);
  char* at = buffer.data();
  i = 0;
  while (i < length) {
    if (i + kBlock <= length && asciiWord(i)) {
      std::memcpy(at, data + i, kBlock);
      at += kBlock;
      i += kBlock;
      continue;
    }
    const char c = data[i++];
    if (static_cast<unsigned char>(c) < 0x80) {
      *at++ = c;
      continue;
    }
    const Utf8Form& form = formOf(c);
    at[0] = form.bytes[0];
    if (form.length > 1) at[1] = form.bytes[1];
    if (form.length > 2) at[2] = form.bytes[2];
    at += form.length;
  }
  return std::string_view(buffer.data(), size);
}

std::string Utf8ToCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t cp = 0;
    out.push_back(DecodeUtf8(text, pos, cp) ? EncodeCodePoint(cp) : '?');
  }
  return out;
}

}  // namespace zelko
