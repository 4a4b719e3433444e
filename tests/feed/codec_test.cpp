#include "feed/codec.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <random>
#include <string>

namespace zelko {
namespace {

// glibc's own Windows-1251 converter, as an independent reference for the table.
std::string IconvToUtf8(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string in = bytes;
  std::string out(16, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) return "<unmapped>";
  out.resize(out.size() - outLeft);
  return out;
}

TEST(CodecTest, EveryAssignedByteRoundTripsAndMatchesTheReferenceTable) {
  int mapped = 0;
  for (int value = 0; value < 256; ++value) {
    if (value == 0x98) continue;  // the one byte Windows-1251 leaves unassigned
    const std::string byte(1, static_cast<char>(value));
    const std::string utf8 = Cp1251ToUtf8(byte);
    EXPECT_EQ(utf8, IconvToUtf8(byte)) << "byte " << value;
    EXPECT_EQ(Utf8ToCp1251(utf8), byte) << "byte " << value;
    ++mapped;
  }
  EXPECT_EQ(mapped, 255);
}

TEST(CodecTest, ATextDecodesAsItsBytesOneAtATime) {
  // Texts of every length, mostly ASCII with high bytes here and there, so that the blocks the
  // decoder takes at a time start, end and break at every place.
  std::mt19937 random(20261210u);
  std::uniform_int_distribution<int> ascii(0x20, 0x7E);
  std::uniform_int_distribution<int> high(0x80, 0xFF);
  std::uniform_int_distribution<int> pick(0, 9);
  for (int round = 0; round < 2000; ++round) {
    std::string text(static_cast<std::size_t>(round % 100), ' ');
    for (char& c : text) c = static_cast<char>(pick(random) == 0 ? high(random) : ascii(random));
    std::string expected;
    for (const char c : text) expected += Cp1251ToUtf8(std::string(1, c));
    ASSERT_EQ(Cp1251ToUtf8(text), expected) << "round " << round;
  }
}

TEST(CodecTest, KnownCharacters) {
  struct Case {
    const char* utf8;
    const char* cp1251;
  };
  const Case cases[] = {
      {"Спартак", "\xD1\xEF\xE0\xF0\xF2\xE0\xEA"},
      {"Ё", "\xA8"},
      {"ё", "\xB8"},
      {"№", "\xB9"},
      {"€", "\x88"},
      {"Ґ", "\xA5"},
      {"«»", "\xAB\xBB"},
      {"Real Madrid", "Real Madrid"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251) << c.utf8;
    EXPECT_EQ(Cp1251ToUtf8(c.cp1251), c.utf8) << c.utf8;
  }
}

TEST(CodecTest, UnmappableAndMalformedBecomeQuestionMarks) {
  struct Case {
    std::string utf8;
    std::string cp1251;
  };
  const Case cases[] = {
      {"😀", "?"},
      {"中", "?"},
      {"a中b", "a?b"},
      {"é", "?"},               // Latin letters outside the code page
      {"\xFF", "?"},            // no lead byte
      {"\xD0", "?"},            // sequence cut short at the end
      {"\xD0z", "?z"},          // continuation missing
      {"\xC0\xAF", "??"},       // overlong form of '/'
      {"\xED\xA0\x80", "???"},  // a surrogate
      {"\x80", "?"},            // a lone continuation byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251);
  }
  EXPECT_EQ(Cp1251ToUtf8("a\x98z"), "a?z");
}

}  // namespace
}  // namespace zelko
