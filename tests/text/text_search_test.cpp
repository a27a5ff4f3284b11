// findText and splitText: labelled edge cases, then the fast versions
// against the step-by-step reference on random GBK-like texts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/text/naive_search.h"
#include "text/text.h"

namespace text {
namespace {

struct FindCase {
  const char* label;
  std::string_view text;
  std::string_view sought;
  int32_t start;
  bool ignoreCase;
  int32_t expected;
};

TEST(FindText, LabelledCases) {
  const FindCase cases[] = {
      {"plain ascii", "hello world", "world", 1, false, 7},
      {"start moves past first hit", "abcabc", "abc", 2, false, 4},
      {"start exactly at hit", "abcabc", "abc", 4, false, 4},
      {"start below one means beginning", "abc", "a", -5, false, 1},
      {"start past end", "abc", "c", 4, false, -1},
      {"empty sought in text", "abc", "", 1, false, 1},
      {"empty sought in empty text", "", "", 1, false, -1},
      {"sought longer than text", "ab", "abc", 1, false, -1},
      {"trail byte equal to sought is skipped", "\x81" "A" "xA", "A", 1, false, 4},
      {"only trail byte matches", "\x81" "A", "A", 1, false, -1},
      {"trail then ascii run", "\x81\x41\x41", "A", 1, false, 3},
      {"high trail byte not matched", "\xB0\xA1\xA1\xA1", "\xA1\xA1", 1, false, 3},
      {"full-width space after char", "\xB0\xA1\xA1\xA1", "\xA1\xA1", 2, false, 2},
      {"start on trail byte counts it as a char start", "\x81" "A", "A", 2, false, 2},
      {"lead byte as last byte matches itself", "ab\x81", "\x81", 1, false, 3},
      {"lead byte at end ends the scan", "\x81", "\x81" "A", 1, false, -1},
      {"ignoreCase finds Set-Cookie", "set-cookie: a=b", "Set-Cookie", 1, true, 1},
      {"case kept without ignoreCase", "set-cookie: a=b", "Set-Cookie", 1, false, -1},
      {"ignoreCase folds only letters", "[{", "{", 1, true, 2},
      {"ignoreCase after chinese", "\xBB\xFA\xD0\xB5HOST", "host", 1, true, 5},
      {"marker of two bytes across a char", "\xB0" "<a<a", "<a", 1, false, 4},
      {"long scan past 16-byte blocks", "0123456789abcdef0123456789abcdefXY", "XY", 1, false, 33},
      {"trail byte far after a lead run",
       "\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\x81q",
       "q", 1, false, -1},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(findText(c.text, c.sought, c.start, c.ignoreCase), c.expected);
    EXPECT_EQ(naive::findText(c.text, c.sought, c.start, c.ignoreCase), c.expected);
  }
}

struct SplitCase {
  const char* label;
  std::string_view text;
  TextList expected;
};

TEST(SplitText, LabelledCases) {
  const SplitCase cases[] = {
      {"empty text", "", {}},
      {"CR LF alone", "\r\n", {""}},
      {"trailing separator gives no empty last piece", "a\r\nb\r\n", {"a", "b"}},
      {"no trailing separator", "a\r\nb", {"a", "b"}},
      {"consecutive separators", "a\r\n\r\nb", {"a", "", "b"}},
      {"leading separator", "\r\na", {"", "a"}},
      {"bare CR and bare LF stay in pieces", "a\rb\nc\r\nd", {"a\rb\nc", "d"}},
      {"CR as trail byte does not start a separator", "\x81\r\nx\r\ny", {"\x81\r\nx", "y"}},
      {"lead byte at the very end", "a\r\n\x81", {"a", "\x81"}},
      {"chinese lines", "\xBB\xFA\xD0\xB5\r\n\xBB\xFA", {"\xBB\xFA\xD0\xB5", "\xBB\xFA"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(splitText(c.text, kCrLf), c.expected);
    EXPECT_EQ(naive::splitText(c.text, kCrLf), c.expected);
  }
}

TEST(SplitText, EmptySeparatorGivesWholeText) {
  EXPECT_EQ(splitText("a\r\nb", ""), TextList{"a\r\nb"});
  EXPECT_EQ(splitText("", ""), TextList{});
}

// Random texts over a small alphabet that makes trail-byte traps common:
// lead bytes, ASCII bytes that are also valid trail bytes, CR and LF.
std::string randomText(std::mt19937& rng, size_t maxLength) {
  static const char alphabet[] = {'a', 'A', 'b', 'B', '\r', '\n', '<', ' ',
                                  '\x81', '\xA1', '\xB0', '\xFE', '\x80', '\xFF'};
  std::uniform_int_distribution<size_t> length(0, maxLength);
  std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 1);
  std::string s(length(rng), ' ');
  for (char& c : s) c = alphabet[pick(rng)];
  return s;
}

TEST(FindText, MatchesReferenceOnRandomTexts) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = randomText(rng, round % 10 == 0 ? 200 : 40);
    const std::string sought = randomText(rng, 3);
    const int32_t start = static_cast<int32_t>(rng() % (text.size() + 3)) - 1;
    const bool ignoreCase = rng() % 2 == 0;
    ASSERT_EQ(findText(text, sought, start, ignoreCase),
              naive::findText(text, sought, start, ignoreCase))
        << "round " << round;
  }
}

TEST(SplitText, MatchesReferenceOnRandomTexts) {
  std::mt19937 rng(777);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = randomText(rng, round % 10 == 0 ? 300 : 40);
    const std::string separator = round % 3 == 0 ? randomText(rng, 2) : std::string(kCrLf);
    ASSERT_EQ(splitText(text, separator), naive::splitText(text, separator))
        << "round " << round;
  }
}

}  // namespace
}  // namespace text
