#include "feed/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "feed/codec.h"
#include "feed/text.h"

namespace zelko {
namespace {

std::vector<std::string> Cut(std::string_view reply) {
  std::vector<std::string> texts;
  for (const auto record : CutRecords(reply)) texts.emplace_back(record);
  return texts;
}

TEST(CutRecordsTest, RecordsInReplyOrder) {
  struct Case {
    const char* reply;
    std::vector<std::string> records;
  };
  const Case cases[] = {
      {"x<match><id>7</id></match>y<match><id>8</id></match>", {"<id>7</id>", "<id>8</id>"}},
      {"", {}},
      {"no records at all", {}},
      // The last record lacks its closing marker and is dropped.
      {"<match>1</match><match>2", {"1"}},
      {"<match>1", {}},
      {"</match><match>1</match>", {"1"}},
      {"<match></match><match></match>", {"", ""}},
      // An opening marker inside a record belongs to its text; the next record starts after
      // the closing one.
      {"<match>a<match>b</match>c</match><match>d</match>", {"a<match>b", "d"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cut(c.reply), c.records) << c.reply;
  }
}

TEST(CutRecordsTest, AReplyIsReadForABoundedNumberOfRecords) {
  std::string reply;
  for (std::size_t i = 0; i < kMaxRecordsPerReply + 5; ++i) {
    reply += "<match>" + std::to_string(i) + "</match>";
  }
  const auto records = CutRecords(reply);
  ASSERT_EQ(records.size(), kMaxRecordsPerReply);
  EXPECT_EQ(records.front(), "0");
  EXPECT_EQ(records.back(), std::to_string(kMaxRecordsPerReply - 1));
}

std::vector<std::string> CutOneAtATime(std::string_view cp1251Reply) {
  std::vector<std::string> texts;
  ForEachRecord(cp1251Reply, [&](std::string_view text) { texts.emplace_back(text); });
  return texts;
}

TEST(ForEachRecordTest, CutsTheUndecodedReplyAsCutRecordsCutsTheDecodedOne) {
  // Replies of marker pieces, ASCII and high bytes (0x98 decodes to the ASCII '?', the others to
  // two or three bytes of 0x80 and above): the records must be those of the decoded reply.
  const std::vector<std::string> pieces = {
      "<match>",    "</match>", "<mat", "ch>",      "</",   "<",    ">",    "match",   "/match>",
      "<id>7</id>", "x",        "\x98", "\xC0\xEB", "\xB9", "\x88", "\xFF", "\x3C\x98"};
  std::mt19937 random(20261210);
  for (int round = 0; round < 3000; ++round) {
    std::string reply;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) reply += pieces[random() % pieces.size()];
    const std::vector<std::string> expected = Cut(Cp1251ToUtf8(reply));
    EXPECT_EQ(CutOneAtATime(reply), expected) << reply;
  }
}

// Every call ForEachRecord makes, in order: "take 0", "ahead 1", "far 2", ... (the record's
// text from its first digit on).
std::vector<std::string> CallsOn(std::string_view reply) {
  std::vector<std::string> calls;
  auto note = [&](const char* what, std::string_view text) {
    const std::size_t digits = std::min(text.find_first_of("0123456789"), text.size());
    calls.push_back(std::string(what).append(" ").append(text.substr(digits)));
  };
  ForEachRecord(
      reply, [&](std::string_view text) { note("take", text); },
      [&](std::string_view text) { note("ahead", text); },
      [&](std::string_view text) { note("far", text); });
  return calls;
}

TEST(ForEachRecordTest, ShowsEachRecordTwoAndOneRecordsBeforeItIsTaken) {
  const std::vector<std::string> expected = {"far 1",   "far 2",  "ahead 1", "take 0", "far 3",
                                             "ahead 2", "take 1", "ahead 3", "take 2", "take 3"};
  EXPECT_EQ(CallsOn("<match>x0</match><match>x1</match><match>x2</match><match>x3</match>"),
            expected);
  EXPECT_EQ(CallsOn("<match>x0</match>"), std::vector<std::string>{"take 0"});
  EXPECT_TRUE(CallsOn("no records").empty());
}

TEST(ForEachRecordTest, AReplyIsReadForABoundedNumberOfRecords) {
  std::string reply;
  for (std::size_t i = 0; i < kMaxRecordsPerReply + 5; ++i) {
    reply.append("<match>\xC0").append(std::to_string(i)).append("</match>");
  }
  const std::vector<std::string> records = CutOneAtATime(reply);
  ASSERT_EQ(records.size(), kMaxRecordsPerReply);
  const std::string cyrillicA = "\u0410";
  EXPECT_EQ(records.front(), cyrillicA + "0");
  EXPECT_EQ(records.back(), cyrillicA + std::to_string(kMaxRecordsPerReply - 1));
  // Nor is a record past the bound shown ahead.
  const std::vector<std::string> calls = CallsOn(reply);
  EXPECT_EQ(calls.size(), 3 * kMaxRecordsPerReply - 2);
  const std::string last = std::to_string(kMaxRecordsPerReply - 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("far ").append(last)), 1);
  const std::string pastTheBound = std::string("far ").append(std::to_string(kMaxRecordsPerReply));
  EXPECT_EQ(std::count(calls.begin(), calls.end(), pastTheBound), 0);
  EXPECT_EQ(calls.back(), std::string("take ").append(last));
}

TEST(RecordReaderTest, ReadsElementsWithFirstOccurrenceRules) {
  const RecordReader reader(
      "<s1>5000>>6000>>2.10>></s1><score>1:0</score><score1>(0:0)</score1>"
      "<bfpr><s1>6000</s1><last>12:30</last></bfpr><empty></empty>");
  EXPECT_EQ(reader.Get("s1"), "5000>>6000>>2.10>>");
  EXPECT_EQ(reader.Get("score"), "1:0");
  EXPECT_EQ(reader.Get("score1"), "(0:0)");
  EXPECT_EQ(RecordReader(reader.Get("bfpr")).Get("s1"), "6000");
  EXPECT_EQ(RecordReader(reader.Get("bfpr")).Text("last"), "12:30");
  EXPECT_EQ(reader.Nested("bfpr").Get("s1"), "6000");
  EXPECT_EQ(reader.Nested("bfpr").Text("last"), "12:30");
  EXPECT_FALSE(reader.Nested("bfpr").Has("score"));
  EXPECT_FALSE(reader.Nested("radar").Has("s1"));
  EXPECT_TRUE(reader.Has("empty"));
  EXPECT_EQ(reader.Get("empty"), "");
  // A missing element reads as empty, and is told apart from an empty one by Has.
  EXPECT_FALSE(reader.Has("radar"));
  EXPECT_EQ(reader.Get("radar"), "");
}

// Random texts built from markers of names that are prefixes of each other (some longer than
// eight bytes, some told apart only past their eighth), stray brackets, closing markers before
// opening ones, nested and repeated names and plain characters.
std::string RandomText(std::mt19937& random) {
  static const std::vector<std::string> names = {"s1", "s10", "score", "score1", "id", "a", ""};
  static const std::vector<std::string> longNames = {"bf_live", "score123", "score1234",
                                                     "score1235", "scorescorescore12"};
  static const std::vector<std::string> noise = {"<", ">", "</", "<<", ">>", "x",   " ",
                                                 "1", "/", "<s", "<a", "a>", "</a", "<>"};
  std::uniform_int_distribution<int> length(0, 40);
  std::uniform_int_distribution<int> kind(0, 9);
  std::uniform_int_distribution<std::size_t> pickShort(0, names.size() - 1);
  std::uniform_int_distribution<std::size_t> pickLong(0, longNames.size() - 1);
  const auto pickName = [&]() -> const std::string& {
    return random() % 4 != 0 ? names[pickShort(random)] : longNames[pickLong(random)];
  };
  std::uniform_int_distribution<std::size_t> pickNoise(0, noise.size() - 1);
  std::string text;
  const int parts = length(random);
  for (int i = 0; i < parts; ++i) {
    const int k = kind(random);
    if (k < 3) {
      text += "<" + pickName() + ">";
    } else if (k < 6) {
      text += "</" + pickName() + ">";
    } else if (k < 7) {
      text += "<//" + pickName() + ">";
    } else {
      text += noise[pickNoise(random)];
    }
  }
  return text;
}

// The names the randomised texts are read for: present ones and their prefixes, names with a
// bracket (in their first eight bytes and past them) or a leading '/', and long names told
// apart only past their eighth byte.
std::vector<std::string> Lookups() {
  // clang-format off
  return {"s1", "s10", "score", "score1", "id", "a", "", "/a", "/s1", "s", "sc", "b", "/", "<a",
          "a>", "//a", "1", "x", "bf_live", "score123", "score1234", "score1235", "score1236",
          "scorescorescore12", "scorescorescore13", "score12>", "/score1234", "score123><a",
          "score1234><a"};
  // clang-format on
}

TEST(RecordReaderTest, AgreesWithReadTagOnGeneratedAndMangledText) {
  std::vector<std::string> lookups = Lookups();
  std::mt19937 random(20240611u);
  int compared = 0;
  int found = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string text = RandomText(random);
    // The reader indexes as far as each read needs, so the order of the reads must not matter.
    std::shuffle(lookups.begin(), lookups.end(), random);
    const RecordReader reader(text);
    for (const auto& name : lookups) {
      std::string expected;
      const bool expectedFound = ReadTag(text, name, expected);
      ASSERT_EQ(reader.Has(name), expectedFound) << "text: " << text << " name: " << name;
      ASSERT_EQ(reader.Get(name), expectedFound ? expected : std::string())
          << "text: " << text << " name: " << name;
      ++compared;
      found += expectedFound ? 1 : 0;
    }
  }
  // The generator must produce plenty of present and of missing elements to prove anything.
  EXPECT_GT(found, compared / 20);
  EXPECT_LT(found, compared - compared / 20);
}

// What a reader of `text` must give for every looked-up name: exactly ReadTag on that text.
void ExpectReadsLikeReadTag(const RecordReader& reader, const std::string& text,
                            const std::vector<std::string>& lookups, const std::string& where,
                            int& compared, int& found) {
  for (const auto& name : lookups) {
    std::string expected;
    const bool expectedFound = ReadTag(text, name, expected);
    ASSERT_EQ(reader.Has(name), expectedFound) << where << " text: " << text << " name: " << name;
    ASSERT_EQ(reader.Get(name), expectedFound ? expected : std::string())
        << where << " text: " << text << " name: " << name;
    ++compared;
    found += expectedFound ? 1 : 0;
  }
}

TEST(RecordReaderTest, NestedReadersAgreeWithReadTagOnTheElementsText) {
  const std::vector<std::string> lookups = Lookups();
  std::mt19937 random(20261210u);
  int compared = 0;
  int found = 0;
  int nestedTexts = 0;
  for (int round = 0; round < 5000; ++round) {
    // Several generated pieces, so that values hold markers of their own.
    const std::string text = RandomText(random) + RandomText(random) + RandomText(random);
    const RecordReader reader(text);
    for (const auto& outer : lookups) {
      if (!reader.Has(outer)) continue;
      const std::string value(reader.Get(outer));
      const RecordReader nested = reader.Nested(outer);
      ExpectReadsLikeReadTag(nested, value, lookups, "nested " + outer, compared, found);
      ++nestedTexts;
      // A reader nested in a nested one answers from the same index.
      for (const auto& inner : lookups) {
        if (!nested.Has(inner)) continue;
        ExpectReadsLikeReadTag(nested.Nested(inner), std::string(nested.Get(inner)), lookups,
                               "nested " + outer + " / " + inner, compared, found);
      }
    }
    // A missing element nests as an empty text.
    ExpectReadsLikeReadTag(reader.Nested("missing"), "", lookups, "missing", compared, found);
    // The reader that indexes nothing, and its nested readers, read the same.
    const RecordReader unindexed = RecordReader::Unindexed(text);
    ExpectReadsLikeReadTag(unindexed, text, lookups, "unindexed", compared, found);
    for (const auto& outer : lookups) {
      if (!unindexed.Has(outer)) continue;
      ExpectReadsLikeReadTag(unindexed.Nested(outer), std::string(unindexed.Get(outer)), lookups,
                             "unindexed nested " + outer, compared, found);
    }
  }
  EXPECT_GT(nestedTexts, 5000);
  EXPECT_GT(found, compared / 50);
  EXPECT_LT(found, compared - compared / 20);
}

}  // namespace
}  // namespace zelko
