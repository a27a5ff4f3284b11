// Marker extraction in single and all-occurrences mode.
#include "collect/extract_between.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace collect {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

struct SingleCase {
  const char* label;
  std::string_view source, start, end;
  bool wholeTextWhenMissing;
  std::string_view expected;
};

TEST(ExtractBetweenSingle, CutsBetweenFirstStartAndNextEnd) {
  const SingleCase cases[] = {
      {"plain", "aa[x]bb[y]", "[", "]", false, "x"},
      {"no start marker", "abc", "[", "]", false, ""},
      {"start without end", "a[bc", "[", "]", false, ""},
      {"end directly after start", "a[]b", "[", "]", false, ""},
      {"end before start is skipped", "]a[b]c", "[", "]", false, "b"},
      {"markers ignore ASCII case", "<TD>x</Td>", "<td>", "</tD>", false, "x"},
      {"nested start stays in the cut", "<a><a>x</a>", "<a>", "</a>", false, "<a>x"},
      {"empty start marker", "a[b]", "", "]", false, ""},
      {"empty end marker", "a[b]", "[", "", false, ""},
      {"empty source", "", "[", "]", false, ""},
      {"whole: empty start cuts from the beginning", "ab]c", "", "]", true, "ab"},
      {"whole: missing start cuts from the beginning", "ab]c", "[", "]", true, "ab"},
      {"whole: missing end runs to the end", "a[bc", "[", "]", true, "bc"},
      {"whole: both missing gives the source", "abc", "[", "]", true, "abc"},
      {"whole: empty end runs to the end", "a[bc", "[", "", true, "bc"},
      {"related-search block", "x\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>B</th></tr></table></div>y",
       "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>", "</th></tr></table></div>", false, "B"},
  };
  for (const SingleCase& c : cases) {
    SCOPED_TRACE(c.label);
    text::TextList items = {"left over"};
    EXPECT_EQ(extractBetween(c.source, c.start, c.end, false, items, c.wholeTextWhenMissing),
              c.expected);
    EXPECT_THAT(items, IsEmpty());
  }
}

// "\xB0\x5B" is one two-byte character whose trail byte is '['; it must
// never be taken for the marker.
TEST(ExtractBetweenSingle, MarkerNeverMatchesATrailByte) {
  text::TextList items;
  EXPECT_EQ(extractBetween("\xB0[x][y]", "[", "]", false, items), "y");
  EXPECT_EQ(extractBetween("\xB0[x]", "[", "]", false, items), "");
}

struct AllCase {
  const char* label;
  std::string_view source, start, end;
  std::string_view result;
  std::vector<std::string> items;
};

TEST(ExtractBetweenAll, CollectsEveryEntryInOrder) {
  const AllCase cases[] = {
      {"anchors", "<a href=\"1\">one</a> <a href=\"2\">two</a>", "\">", "</a>", "2", {"one", "two"}},
      {"upper-case end tag", "<a x=\"1\">one</A><a x=\"2\">two</a>", "\">", "</a>", "2", {"one", "two"}},
      {"no start marker", "abc", "[", "]", "0", {}},
      {"empty source", "", "[", "]", "0", {}},
      {"end directly after start", "[][x]", "[", "]", "2", {"", "x"}},
      {"last start without end keeps earlier", "[a][b][c", "[", "]", "2", {"a", "b"}},
      {"nested start is part of the entry", "[a[b]c]", "[", "]", "1", {"a[b"}},
      {"quotes separated by commas", "\"a\",\"b\"", "\"", "\"", "2", {"a", "b"}},
      {"quotes back to back", "\"a\"\"b\"", "\"", "\"", "2", {"a", "b"}},
      {"escaped quote ends the entry", "\"a\\\"b\"", "\"", "\"", "1", {"a\\"}},
      {"suggestion list", "{q:\"x\",p:false,s:[\"ab\",\"cd\"]}", "\"", "\"", "3", {"x", "ab", "cd"}},
      {"trail byte is not a marker", "\xB0\"\"a\"", "\"", "\"", "1", {"a"}},
      {"empty start marker", "[a]", "", "]", "", {}},
      {"empty end marker", "[a]", "[", "", "", {}},
  };
  for (const AllCase& c : cases) {
    SCOPED_TRACE(c.label);
    text::TextList items = {"left over"};
    EXPECT_EQ(extractBetween(c.source, c.start, c.end, true, items), c.result);
    EXPECT_THAT(items, ElementsAreArray(c.items));
  }
}

TEST(ExtractBetweenAll, WholeTextWhenMissingOnlyAffectsEmptyMarkers) {
  text::TextList items;
  EXPECT_EQ(extractBetween("[a]", "", "]", true, items, true), "[a]");
  EXPECT_THAT(items, IsEmpty());
  EXPECT_EQ(extractBetween("abc", "[", "]", true, items, true), "0");
  EXPECT_EQ(extractBetween("[a]", "[", "]", true, items, true), "1");
  EXPECT_THAT(items, ElementsAre("a"));
}

// The two calls a keyword source makes: block first, then the entries.
TEST(ExtractBetweenAll, BlockThenEntries) {
  const std::string page =
      "<html>s:[\"\xBB\xFA\xD0\xB5\",\"\xBB\xFA\xD0\xB5\xCA\xD6\xB1\xED\"]});";
  text::TextList items;
  const text::Text block = extractBetween(page, "s:[", "]})", false, items);
  EXPECT_EQ(extractBetween(block, "\"", "\"", true, items), "2");
  EXPECT_THAT(items, ElementsAre("\xBB\xFA\xD0\xB5", "\xBB\xFA\xD0\xB5\xCA\xD6\xB1\xED"));

  EXPECT_EQ(extractBetween("no block here", "s:[", "]})", false, items), "");
  EXPECT_EQ(extractBetween("", "\"", "\"", true, items), "0");
  EXPECT_THAT(items, IsEmpty());
}

}  // namespace
}  // namespace collect
