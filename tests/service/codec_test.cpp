#include <gtest/gtest.h>

#include "cp1251.h"
#include "query.h"

namespace zelko_service {
namespace {

TEST(ServiceCodec, CyrillicRoundTrip) {
  const std::string utf8 = "Россия. Премьер-лига, Шахтёр №1 «ok»";
  const std::string bytes = Utf8ToCp1251(utf8);
  EXPECT_EQ(bytes.size(), 36u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xD0);  // Р
  EXPECT_EQ(Cp1251ToUtf8(bytes), utf8);
}

TEST(ServiceCodec, UnmappableBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD"
                         "b"),
            "a?b");                                 // a CJK character
  EXPECT_EQ(Utf8ToCp1251("a\xC3"), "a?");           // cut sequence
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");  // the one unassigned byte
}

TEST(ServiceQuery, DecodesBytesAndKeepsPlus) {
  const auto pairs = ParseQuery("/bf/sb.php?home=Real%3E%3EMadrid&kf=2.10&x=a+b&bad=%4&z");
  ASSERT_EQ(pairs.size(), 5u);
  EXPECT_EQ(pairs[0].key, "home");
  EXPECT_EQ(pairs[0].value, "Real>>Madrid");
  EXPECT_EQ(QueryValue(pairs, "kf"), "2.10");
  EXPECT_EQ(QueryValue(pairs, "x"), "a+b");
  EXPECT_EQ(QueryValue(pairs, "bad"), "%4");
  EXPECT_TRUE(HasKey(pairs, "z"));
  EXPECT_EQ(QueryValue(pairs, "missing"), "");
}

TEST(ServiceQuery, PercentEncodedCp1251) {
  const auto pairs = ParseQuery("/login/zelko.php?login=%C4%E5%EC%EE&pass=a%26b%20c");
  EXPECT_EQ(Cp1251ToUtf8(QueryValue(pairs, "login")), "Демо");
  EXPECT_EQ(QueryValue(pairs, "pass"), "a&b c");
}

}  // namespace
}  // namespace zelko_service
