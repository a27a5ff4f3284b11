// GBK <-> UTF-8: the strict query conversion and the lossless display
// round trip used for the list box.
#include "text/gbk.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace text {
namespace {

using namespace std::string_literals;

const std::string kJixieGbk = "\xBB\xFA\xD0\xB5";        // 机械
const std::string kJixieUtf8 = "\xE6\x9C\xBA\xE6\xA2\xB0";

TEST(GbkToUtf8Strict, ConvertsOrFailsWhole) {
  EXPECT_EQ(gbkToUtf8Strict(kJixieGbk), kJixieUtf8);
  EXPECT_EQ(gbkToUtf8Strict("a b"), "a b");
  EXPECT_EQ(gbkToUtf8Strict(""), "");
  EXPECT_EQ(gbkToUtf8Strict("\x80"), "\xE2\x82\xAC");  // the euro sign
  EXPECT_EQ(gbkToUtf8Strict(kJixieGbk + "\xBB"), std::nullopt) << "trailing lead byte";
  EXPECT_EQ(gbkToUtf8Strict("a\xFF" "b"), std::nullopt) << "byte that is no character";
  EXPECT_EQ(gbkToUtf8Strict("\x81\x20"), std::nullopt) << "bad pair";
}

TEST(DisplayConversion, ConvertsGbkCharacters) {
  EXPECT_EQ(gbkToDisplay(kJixieGbk + "\r\nab"), kJixieUtf8 + "\r\nab");
  EXPECT_EQ(displayToGbk(kJixieUtf8 + "\r\nab"), kJixieGbk + "\r\nab");
  EXPECT_EQ(displayToGbk("\xE3\x80\x80"), "\xA1\xA1");  // U+3000 is the full-width space
}

TEST(DisplayConversion, CharacterOutsideGbkBecomesOneQuestionMark) {
  EXPECT_EQ(displayToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");          // emoji
  EXPECT_EQ(displayToGbk("\xE0\xB8\x81\xE0\xB8\x82"), "??");        // two Thai letters
  EXPECT_EQ(displayToGbk("x\xC3"), "x?") << "UTF-8 cut short";
  EXPECT_EQ(displayToGbk("\xED\xA0\x80"), "???") << "encoded surrogate";
}

TEST(DisplayConversion, UndecodableBytesTravelAsRawCodePoints) {
  // 0xFF is no GBK byte; a lead byte at the end has no trail.
  const std::string shown = gbkToDisplay("a\xFF" "b\xB0");
  EXPECT_EQ(shown, "a\xF4\x8F\xBF\xBF" "b\xF4\x8F\xBE\xB0");
  EXPECT_EQ(displayToGbk(shown), "a\xFF" "b\xB0");
}

TEST(DisplayConversion, RoundTripsLineEndsAndEuroByte) {
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"bare CR", "a\rb"},
      {"bare LF", "a\nb"},
      {"CR LF and LF CR", "\r\n\n\r"},
      {"0x80 alone", "\x80"},
      {"0x80 before a trail-like byte", "\x80" "A"},
      {"lead byte then CR", "\xB0\r\n"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(displayToGbk(gbkToDisplay(c.bytes)), c.bytes);
  }
}

TEST(DisplayConversion, RoundTripsRandomBytes) {
  std::mt19937 rng(99);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(rng() % 64, ' ');
    for (char& c : bytes) c = static_cast<char>(1 + rng() % 255);  // no NUL
    ASSERT_EQ(displayToGbk(gbkToDisplay(bytes)), bytes) << "round " << round;
  }
}

TEST(DisplayConversion, RoundTripsEveryPair) {
  std::string all;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 1; trail <= 0xFF; ++trail) {
      all += static_cast<char>(lead);
      all += static_cast<char>(trail);
      all += '|';
    }
  }
  EXPECT_EQ(displayToGbk(gbkToDisplay(all)), all);
}

}  // namespace
}  // namespace text
