// The keyword filter rule and the append of accepted keywords.
#include "collect/keyword_filter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/shell.h"
#include "platform/ui_thread.h"
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

// Appends reach the real keyword list, from the collection thread.
class KeywordListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::ensureQtApp();
    platform::initUiThread();
    window_ = std::make_unique<app::MainWindow>(app::WindowHandlers{});
  }
  void TearDown() override { window_.reset(); }

  // Runs work on a thread of its own while the UI thread serves its calls.
  void runOffUiThread(const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
      work();
      done = true;
    });
    EXPECT_TRUE(testsupport::pumpEventsUntil(10000, [&] { return done.load(); }));
    worker.join();
  }

  std::unique_ptr<app::MainWindow> window_;
};

TEST_F(KeywordListTest, AcceptedKeywordsAreAppendedAsLinesInOrder) {
  const std::string seed = "\xBB\xFA\xD0\xB5";  // 机械, without its CR LF
  app::replaceBoxText(app::Box::KeywordList, seed);
  runOffUiThread([] {
    const KeywordFilter filter{"", "b"};
    for (const char* keyword : {"x", "b", "", "x"}) offerKeyword(keyword, filter);
  });
  // The first keyword joins the unterminated last line; the empty keyword
  // gives an empty line; the duplicate is appended again.
  EXPECT_EQ(app::readBoxText(app::Box::KeywordList), seed + "x\r\n\r\nx\r\n");
}

}  // namespace
}  // namespace collect
