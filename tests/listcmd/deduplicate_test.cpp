#include "listcmd/deduplicate.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "text/text.h"

namespace {

using listcmd::deduplicateLines;

TEST(DeduplicateLines, Table) {
  struct Row {
    const char* label;
    std::string list;
    std::string text;
    int32_t count;
  };
  const std::vector<Row> rows = {
      {"case counts: a b a A", "a\r\nb\r\na\r\nA\r\n", "a\r\nb\r\nA\r\n", 3},
      {"trailing space keeps both", "a\r\na \r\na\r\n", "a\r\na \r\n", 2},
      {"several empty lines keep the first", "a\r\n\r\n\r\nb\r\n\r\nc\r\n", "a\r\n\r\nb\r\nc\r\n", 4},
      {"empty list", "", "", 0},
      {"last line without CR LF gets one", "a\r\nb", "a\r\nb\r\n", 2},
      {"only CR LF is one empty line", "\r\n", "\r\n", 1},
      {"bare LF and bare CR do not cut", "a\nb\r\na\nb\r\nx\ry", "a\nb\r\nx\ry\r\n", 2},
      {"full-width space counts", "\xA1\xA1" "a\r\na\r\n", "\xA1\xA1" "a\r\na\r\n", 2},
      // B0 0D is one character, so the CR LF after it is not at a
      // character start: "\xB0\r\nx" is one line.
      {"CR as trail byte does not cut", "\xB0\r\nx\r\n\xB0\r\nx\r\n", "\xB0\r\nx\r\n", 1},
      {"lead byte at the very end", "a\r\n\xB0", "a\r\n\xB0\r\n", 2},
      {"Chinese repeats", "\xBB\xFA\xD0\xB5\r\n\xBB\xFA\xC6\xF7\r\n\xBB\xFA\xD0\xB5\r\n",
       "\xBB\xFA\xD0\xB5\r\n\xBB\xFA\xC6\xF7\r\n", 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const listcmd::DeduplicatedList result = deduplicateLines(row.list);
    EXPECT_EQ(result.text, row.text);
    EXPECT_EQ(result.count, row.count);
  }
}

// Against the obvious way: text::splitText, then keep each first
// occurrence. Random short lines over a small alphabet that holds lead
// bytes, CR and LF, so cuts at trail bytes and many repeats occur.
TEST(DeduplicateLines, AgreesWithSplitAndSetOnRandomLists) {
  std::mt19937 random(12345);
  const std::string alphabet = std::string("ab \r\n\r\n\r\n", 9) + "\xB0\xA1\x0D";
  for (int round = 0; round < 2000; ++round) {
    std::string list;
    const int length = static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) list += alphabet[random() % alphabet.size()];
    std::string expected;
    int32_t count = 0;
    std::set<std::string> seen;
    for (const text::Text& line : text::splitText(list, text::kCrLf)) {
      if (!seen.insert(line).second) continue;
      expected += line + "\r\n";
      ++count;
    }
    SCOPED_TRACE(testing::PrintToString(list));
    const listcmd::DeduplicatedList result = deduplicateLines(list);
    ASSERT_EQ(result.text, expected);
    ASSERT_EQ(result.count, count);
  }
}

// Enough distinct lines to make the seen set grow several times.
TEST(DeduplicateLines, ManyLinesKeepOrderThroughGrowth) {
  std::string list;
  std::string expected;
  // Short lines, almost all distinct: far more than the set is first
  // sized for, so it grows while lines are queued.
  for (int i = 0; i < 60000; ++i) list += std::to_string(i % 50000) + "\r\n";
  for (int i = 0; i < 50000; ++i) expected += std::to_string(i) + "\r\n";
  const listcmd::DeduplicatedList result = deduplicateLines(list);
  EXPECT_EQ(result.count, 50000);
  EXPECT_EQ(result.text, expected);
}

}  // namespace
