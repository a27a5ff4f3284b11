// The keyword filter rule and the append of accepted keywords.
#include "collect/keyword_filter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shell.h"
#include "tests/support/qt_app.h"

namespace collect {
namespace {

using ::testing::ElementsAre;

struct FilterCase {
  const char* label;
  std::string_view mustContain, mustNotContain, keyword;
  bool passes;
};

TEST(KeywordPasses, FollowsTheRuleTable) {
  const FilterCase cases[] = {
      {"both off", "", "", "anything", true},
      {"both off, empty keyword", "", "", "", true},
      {"C only, contains", "a", "", "xa", true},
      {"C only, lacks", "a", "", "xy", false},
      {"C only, case-sensitive", "a", "", "A", false},
      {"N only, lacks", "", "b", "xy", true},
      {"N only, contains", "", "b", "xb", false},
      {"N only, empty keyword", "", "b", "", true},
      {"both, contains C and N: C has priority", "a", "b", "ab", true},
      {"both, lacks both: not a conjunction", "a", "b", "cd", true},
      {"both, lacks C, contains N", "a", "b", "cb", false},
      {"filter used whole, not split", "a b", "", "a", false},
      {"filter not trimmed", " a", "", "a", false},
      // "\xB0\x61" is one character whose trail byte is 'a'.
      {"no match on a trail byte", "a", "", "\xB0\x61", false},
      {"two-byte filter", "\xBB\xFA", "", "x\xBB\xFA", true},
  };
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(keywordPasses(c.keyword, c.mustContain, c.mustNotContain), c.passes);
  }
}

TEST(OfferKeyword, HandsOnlyAcceptedKeywordsToTheSinkInOrder) {
  std::vector<std::string> appended;
  const KeywordSink sink = [&](std::string_view keyword) { appended.emplace_back(keyword); };
  const KeywordFilter filter{"a", "b"};
  for (const char* keyword : {"ab", "cb", "cd", "ab", ""}) {
    offerKeyword(keyword, filter, sink);
  }
  EXPECT_THAT(appended, ElementsAre("ab", "cd", "ab", ""));
  EXPECT_FALSE(offerKeyword("cb", filter, sink));
  EXPECT_TRUE(offerKeyword("cd", filter, sink));
}

TEST(KeywordLine, EndsWithCrLf) {
  EXPECT_EQ(keywordLine("\xBB\xFA"), "\xBB\xFA\r\n");
  EXPECT_EQ(keywordLine(""), "\r\n");
}

}  // namespace
}  // namespace collect
