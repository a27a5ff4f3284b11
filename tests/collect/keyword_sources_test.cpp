// The query encoders, the two keyword sources against a loopback stand-in
// of the services, and the walk over the lines of a pass.
#include "collect/keyword_sources.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "collect/pass_lines.h"
#include "collect/percent_encode.h"
#include "collect/service_addresses.h"
#include "fetch/fetch_page.h"
#include "tests/support/search_services.h"

namespace collect {
namespace {

using testsupport::ServiceReply;

const std::string kJixie = "\xBB\xFA\xD0\xB5";  // 机械

TEST(PercentEncode, EncodesEveryByteWithUpperCaseDigits) {
  struct Case {
    const char* label;
    std::string keyword, gbk, utf8;
  };
  const Case cases[] = {
      {"empty", "", "", ""},
      {"机械", kJixie, "%BB%FA%D0%B5", "%E6%9C%BA%E6%A2%B0"},
      {"letters and space, no plus", "a b", "%61%20%62", "%61%20%62"},
      {"below 0x10 gets a leading zero", "\n\x01", "%0A%01", "%0A%01"},
      {"full-width space", "\xA1\xA1", "%A1%A1", "%E3%80%80"},
      {"lead byte at the end: no UTF-8", "a\xBB", "%61%BB", ""},
      {"bad pair: no UTF-8", "\x81\x7F", "%81%7F", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(percentEncodeGbk(c.keyword), c.gbk);
    EXPECT_EQ(percentEncodeUtf8(c.keyword), c.utf8);
  }
}

TEST(ServiceAddresses, ProductionPrefixesUseTheTwoHosts) {
  const ServiceAddresses addresses = defaultServiceAddresses();
  EXPECT_EQ(addresses.relatedSearchPrefix, "http://www.baidu.com/s?wd=");
  EXPECT_EQ(addresses.suggestionPrefix, "http://suggestion.baidu.com/su?wd=");
  EXPECT_EQ(relatedSearchAddress(kJixie), "http://www.baidu.com/s?wd=%BB%FA%D0%B5");
  EXPECT_EQ(suggestionAddress(""), "http://suggestion.baidu.com/su?wd=");
}

TEST(KeywordSourceItems, CutsTheBlockThenEveryItemUnchanged) {
  struct Case {
    const char* label;
    std::string body;
    std::vector<std::string> related, suggestions;
  };
  const std::string heading = "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7";
  const Case cases[] = {
      {"three links in order, with markup and entities kept",
       testsupport::relatedSearchPage({"a<b>b</b>", " x&amp; ", kJixie}), {"a<b>b</b>", " x&amp; ", kJixie}, {}},
      {"a table without links", testsupport::relatedSearchPage({}), {}, {}},
      {"no heading: nothing, even with links elsewhere",
       "<a href=\"x\">k</a></th></tr></table></div>", {}, {}},
      {"heading without end marker", "<th>" + heading + "</th><th><a href=\"x\">k</a></th>", {}, {}},
      {"markers in upper case", "<TH>" + heading + "</TH><TH><A HREF=\"x\">k</A></TH></TR></TABLE></DIV>",
       {"k"}, {}},
      {"suggestions a then b", testsupport::suggestionAnswer("q", {"a", "b"}), {}, {"a", "b"}},
      {"suggestions with a repeated item and an escape",
       "window.baidu.sug({q:\"q\",p:false,s:[\"a\",\"a\\\",\"\"]});", {}, {"a", "a\\", ""}},
      {"empty suggestion list", testsupport::suggestionAnswer("q", {}), {}, {}},
      {"cut at the first NUL",
       std::string("s:[\"a\",\"b\"\0,\"c\"]})", 19), {}, {}},
      {"empty body", "", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(relatedSearchItems(c.body), c.related);
    EXPECT_EQ(suggestionItems(c.body), c.suggestions);
  }
}

class KeywordSourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(services.listening());
    setServiceAddressesForTesting({services.relatedSearchPrefix(), services.suggestionPrefix()});
  }
  void TearDown() override { setServiceAddressesForTesting(defaultServiceAddresses()); }

  std::vector<std::string> related(const std::string& keyword, const KeywordFilter& filter = {}) {
    std::vector<std::string> offered;
    collectRelatedSearches(keyword, filter, [&](std::string_view k) { offered.emplace_back(k); });
    return offered;
  }
  std::vector<std::string> suggested(const std::string& keyword) {
    std::vector<std::string> offered;
    collectSuggestions(keyword, {}, [&](std::string_view k) { offered.emplace_back(k); });
    return offered;
  }

  testsupport::SearchServices services;
};

TEST_F(KeywordSourcesTest, AsksEachServiceOnceAndOffersItsKeywordsInOrder) {
  services.setRelated(kJixie, {"r1", "r2", "r1"});
  services.setSuggestions(kJixie, {"s1", "r1"});
  EXPECT_EQ(related(kJixie), (std::vector<std::string>{"r1", "r2", "r1"}));
  EXPECT_EQ(suggested(kJixie), (std::vector<std::string>{"s1", "r1"}));
  KeywordFilter filter;
  filter.mustContain = "2";
  EXPECT_EQ(related(kJixie, filter), (std::vector<std::string>{"r2"}));
  const auto requests = services.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].target, "/s?wd=%BB%FA%D0%B5");
  EXPECT_EQ(requests[1].target, "/su?wd=%E6%9C%BA%E6%A2%B0");
  EXPECT_EQ(requests[1].keyword, kJixie);
}

TEST_F(KeywordSourcesTest, FailedOrOddAnswersOfferNothingAndEmptyKeywordsSendAnEmptyWd) {
  struct Case {
    const char* label;
    ServiceReply reply;
    std::vector<std::string> offered;
  };
  const std::string page = testsupport::relatedSearchPage({"k"});
  const Case cases[] = {
      {"error status, body searched all the same", {500, page, false, 0}, {"k"}},
      {"error status without the table", {404, "not found", false, 0}, {}},
      {"page without the table", {200, testsupport::pageWithoutRelatedSearches(), false, 0}, {}},
      {"NUL before the table", {200, std::string("x\0", 2) + page, false, 0}, {}},
      {"NUL after the table", {200, page + std::string("\0y", 2), false, 0}, {"k"}},
      {"empty body", {200, "", false, 0}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    services.setRelatedReply("", c.reply);
    EXPECT_EQ(related(""), c.offered);
  }
  EXPECT_EQ(services.requests().back().target, "/s?wd=");
  EXPECT_TRUE(suggested("").empty());
  EXPECT_EQ(services.requests().back().target, "/su?wd=");
  // A keyword that does not convert to UTF-8 is sent with an empty wd.
  services.setSuggestions("", {"from empty"});
  EXPECT_EQ(suggested("a\xBB"), (std::vector<std::string>{"from empty"}));
  EXPECT_EQ(services.requests().back().target, "/su?wd=");
}

TEST_F(KeywordSourcesTest, ACancelledTokenSendsNothingAndOffersNothing) {
  services.setRelated("k", {"x"});
  fetch::FetchCancel cancel;
  cancel.cancel();
  std::vector<std::string> offered;
  collectRelatedSearches("k", {}, [&](std::string_view k) { offered.emplace_back(k); }, &cancel);
  EXPECT_TRUE(offered.empty());
  EXPECT_EQ(services.requestCount(), 0u);
}

TEST(PassLines, AreExactlyTheLinesOfSplitText) {
  const std::vector<std::string> fixed = {
      "", "a", "a\r\n", "\r\n", "\r\n\r\n", "a\r\n\r\nb", "a\rb\nc", "\xBB\r\na",
      "\x81\r\n", "a\r\n\r", std::string("x\0y\r\nz", 6)};
  std::mt19937 random(7);
  std::vector<std::string> inputs = fixed;
  const char alphabet[] = {'\r', '\n', 'a', '\x81', '\xBB', ' '};
  for (int i = 0; i < 2000; ++i) {
    std::string s;
    for (int n = random() % 12; n > 0; --n) s.push_back(alphabet[random() % sizeof alphabet]);
    inputs.push_back(s);
  }
  for (const std::string& input : inputs) {
    SCOPED_TRACE(::testing::PrintToString(input));
    std::vector<std::string> walked;
    size_t position = 0;
    std::string_view line;
    while (nextPassLine(input, position, line)) walked.emplace_back(line);
    EXPECT_EQ(walked, text::splitText(input, text::kCrLf));
  }
}

}  // namespace
}  // namespace collect
