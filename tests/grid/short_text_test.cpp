#include "board/short_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace zelko {
namespace {

// Random edits of a handful of texts, each held to a std::string that takes the same edits:
// texts of every length around the in-place limit, parts of a text written back into it,
// clears, copies and moves between them.
TEST(ShortText, AgreesWithAStringThroughRandomEdits) {
  std::mt19937 rng(20261210);
  auto below = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
  };
  using namespace std::string_literals;
  const std::string alphabet = "ab\xD0\x9F\0z"s;  // a NUL and UTF-8 bytes among them
  auto randomText = [&] {
    std::string text(below(2 * ShortText::kInPlace + 10), ' ');
    for (char& c : text) c = alphabet[below(alphabet.size())];
    return text;
  };

  constexpr std::size_t kTexts = 5;
  std::vector<ShortText> texts(kTexts);
  std::vector<std::string> expected(kTexts);
  for (int step = 0; step < 20000; ++step) {
    const std::size_t i = below(kTexts);
    const std::size_t j = below(kTexts);
    switch (below(7)) {
      case 0: {
        const std::string text = randomText();
        texts[i].assign(text);
        expected[i] = text;
        break;
      }
      case 1: {  // a part of its own text
        const std::size_t from = below(expected[i].size() + 1);
        const std::size_t count = below(expected[i].size() - from + 1);
        texts[i].assign(texts[i].view().substr(from, count));
        expected[i] = expected[i].substr(from, count);
        break;
      }
      case 2:
        texts[i].clear();
        expected[i].clear();
        break;
      case 3:
        texts[i] = texts[j];
        expected[i] = expected[j];
        break;
      case 4:
        if (i == j) break;
        texts[i] = std::move(texts[j]);
        expected[i] = std::move(expected[j]);
        expected[j].clear();  // a moved-from text reads empty
        break;
      case 5: {
        ShortText copy(texts[i]);
        ShortText moved(std::move(copy));
        EXPECT_TRUE(copy.empty());
        texts[j] = std::move(moved);
        expected[j] = expected[i];
        break;
      }
      case 6:  // writes only a text that differs, and says so
        ASSERT_EQ(texts[i].AssignIfChanged(texts[j]), expected[i] != expected[j])
            << "step " << step;
        expected[i] = expected[j];
        break;
    }
    for (std::size_t k = 0; k < kTexts; ++k) {
      ASSERT_EQ(texts[k].view(), expected[k]) << "step " << step << ", text " << k;
      ASSERT_EQ(texts[k].size(), expected[k].size());
      ASSERT_GE(texts[k].capacity(), texts[k].size());
    }
  }
}

TEST(ShortText, KeepsShortTextsInPlaceAndHeapRoomOnceTaken) {
  ShortText text;
  text.assign(std::string(ShortText::kInPlace, 'x'));
  EXPECT_FALSE(text.OnHeap());
  text.assign(std::string(ShortText::kInPlace + 1, 'y'));
  ASSERT_TRUE(text.OnHeap());
  const char* const block = text.view().data();
  // Shorter texts and a clear keep the block, as a cell written again and again should.
  text.assign("short");
  text.clear();
  text.assign(std::string(ShortText::kInPlace + 1, 'z'));
  EXPECT_EQ(text.view().data(), block);
  EXPECT_EQ(text.view(), std::string(ShortText::kInPlace + 1, 'z'));
}

TEST(ShortText, TakesAnEmptyViewWithoutAnAddress) {
  // A default view has no address; on the heap and in place it must simply empty the text.
  ShortText onHeap;
  onHeap.assign(std::string(ShortText::kInPlace + 5, 'h'));
  onHeap.assign(std::string_view{});
  EXPECT_TRUE(onHeap.empty());
  ShortText inPlace;
  inPlace.assign("abc");
  inPlace.assign(std::string_view{});
  EXPECT_TRUE(inPlace.empty());
}

}  // namespace
}  // namespace zelko
