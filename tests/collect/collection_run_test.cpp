// Start and Stop with the real window (offscreen) against a loopback
// stand-in of both services. Each scenario holds collection at a known
// point by giving one keyword a silent answer, so that the requests seen
// and the list's text can be checked exactly.
#include "collect/collection_run.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "collect/service_addresses.h"
#include "platform/ui_thread.h"
#include "tests/support/qt_app.h"
#include "tests/support/search_services.h"

namespace collect {
namespace {

using testsupport::ServiceReply;

const std::string kJixie = "\xBB\xFA\xD0\xB5";  // 机械

ServiceReply silent() { return ServiceReply{200, "", true, 0}; }

class CollectionRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::ensureQtApp();
    platform::initUiThread();
    ASSERT_TRUE(services.listening());
    setServiceAddressesForTesting({services.relatedSearchPrefix(), services.suggestionPrefix()});
    app::WindowHandlers handlers;
    handlers.startCollection = startCollection;
    handlers.stopCollection = stopCollection;
    handlers.shuttingDown = stopCollectionAtShutdown;
    window = std::make_unique<app::MainWindow>(handlers);
    window->setBoxText(app::Box::KeywordList, "");
  }
  void TearDown() override {
    if (window) stopCollection();
    window.reset();
    setServiceAddressesForTesting(defaultServiceAddresses());
  }

  void click(const char* name) {
    auto* button = window->findChild<QPushButton*>(QString::fromUtf8(name));
    ASSERT_NE(button, nullptr);
    button->click();
  }
  void start() { click("按钮1"); }
  void stop() { click("按钮2"); }
  bool idle() {
    return window->findChild<QPushButton*>(QString::fromUtf8("按钮1"))->isEnabled() &&
           !window->findChild<QPushButton*>(QString::fromUtf8("按钮2"))->isEnabled();
  }
  text::Text list() { return window->boxText(app::Box::KeywordList); }

  // Pumps the UI thread until the stand-in has seen count requests.
  bool waitForRequests(size_t count, int ms = 5000) {
    return testsupport::pumpEventsUntil(ms, [&] { return services.requestCount() >= count; });
  }
  std::vector<std::string> targets() {
    std::vector<std::string> result;
    for (const auto& request : services.requests()) result.push_back(request.target);
    return result;
  }
  // Stops, checks the window went Idle at once, and that the stopped
  // pass's thread ends by itself without appending or asking anything.
  void stopAndCheckQuiet() {
    std::weak_ptr<CollectionRun> run = liveCollectionRun();
    const text::Text before = list();
    const size_t requestsBefore = services.requestCount();
    stop();
    EXPECT_TRUE(idle());
    EXPECT_EQ(liveCollectionRun(), nullptr);
    EXPECT_TRUE(testsupport::pumpEventsUntil(3000, [&] { return run.expired(); }))
        << "the stopped collection thread did not end";
    testsupport::pumpEventsUntil(100, [] { return false; });
    EXPECT_EQ(list(), before);
    EXPECT_EQ(services.requestCount(), requestsBefore);
  }

  testsupport::SearchServices services;
  std::unique_ptr<app::MainWindow> window;
};

TEST_F(CollectionRunTest, PassesAskBothSourcesPerLineAndExpandAppendedLinesNextPass) {
  window->setBoxText(app::Box::KeywordList, kJixie + "\r\nab\r\n");
  services.setRelated(kJixie, {"r1", "r2"});
  services.setSuggestions(kJixie, {"s1"});
  services.setRelated("ab", {"r3"});
  services.setSuggestions("ab", {"s2", "s2"});
  services.setRelatedReply("r1", silent());  // holds the second pass at its third line
  start();
  EXPECT_FALSE(idle());
  ASSERT_TRUE(waitForRequests(9));
  testsupport::pumpEventsUntil(100, [] { return false; });
  const std::vector<std::string> onePass = {"/s?wd=%BB%FA%D0%B5", "/su?wd=%E6%9C%BA%E6%A2%B0",
                                            "/s?wd=%61%62", "/su?wd=%61%62"};
  std::vector<std::string> expected = onePass;
  expected.insert(expected.end(), onePass.begin(), onePass.end());
  expected.push_back("/s?wd=%72%31");
  EXPECT_EQ(targets(), expected);
  const text::Text appended = "r1\r\nr2\r\ns1\r\nr3\r\ns2\r\ns2\r\n";
  EXPECT_EQ(list(), kJixie + "\r\nab\r\n" + appended + appended);
  EXPECT_EQ(liveCollectionRun()->currentKeyword, "r1");
  stopAndCheckQuiet();
}

TEST_F(CollectionRunTest, EmptyKeywordIsAppendedAndExpandedWithAnEmptyWdNextPass) {
  window->setBoxText(app::Box::KeywordList, "e\r\n");
  window->setBoxText(app::Box::MustNotContain, "q");
  services.setSuggestions("e", {"", "z"});
  services.setRelatedReply("", silent());
  start();
  ASSERT_TRUE(waitForRequests(5));
  testsupport::pumpEventsUntil(100, [] { return false; });
  EXPECT_EQ(targets(), (std::vector<std::string>{"/s?wd=%65", "/su?wd=%65", "/s?wd=%65",
                                                 "/su?wd=%65", "/s?wd="}));
  EXPECT_EQ(list(), "e\r\n\r\nz\r\n\r\nz\r\n");
  stopAndCheckQuiet();
}

TEST_F(CollectionRunTest, FilterChangesDuringAPassTakeEffectWithTheNext) {
  window->setBoxText(app::Box::KeywordList, "k\r\n");
  window->setBoxText(app::Box::MustContain, "x");
  ServiceReply slow{200, testsupport::relatedSearchPage({"kx", "ky"}), false, 200};
  services.setRelatedReply("k", slow);
  services.setRelatedReply("kx", silent());
  start();
  ASSERT_TRUE(waitForRequests(1));
  window->setBoxText(app::Box::MustContain, "y");  // while the first answer is on its way
  ASSERT_TRUE(waitForRequests(5));  // k, k, then k and kx in the second pass
  testsupport::pumpEventsUntil(100, [] { return false; });
  EXPECT_EQ(targets().back(), "/s?wd=%6B%78");
  EXPECT_EQ(list(), "k\r\nkx\r\nky\r\n");
  stopAndCheckQuiet();
}

TEST_F(CollectionRunTest, StopDuringARequestEndsAtOnceAndStartBeginsAgainAtTheFirstLine) {
  window->setBoxText(app::Box::KeywordList, "a\r\nb\r\n");
  services.setSuggestions("a", {"from a"});
  // An answer that would add a keyword if anyone still read it.
  services.setRelatedReply("b", ServiceReply{200, testsupport::relatedSearchPage({"late"}), false, 300});
  start();
  ASSERT_TRUE(waitForRequests(3));
  stopAndCheckQuiet();
  testsupport::pumpEventsUntil(400, [] { return false; });  // past the answer's delay
  EXPECT_EQ(list(), "a\r\nb\r\nfrom a\r\n");

  start();
  ASSERT_TRUE(waitForRequests(6));
  const std::vector<std::string> seen = targets();
  EXPECT_EQ(seen[3], "/s?wd=%61");
  EXPECT_EQ(seen[4], "/su?wd=%61");
  EXPECT_EQ(seen[5], "/s?wd=%62");
  stopAndCheckQuiet();
}

TEST_F(CollectionRunTest, AnEmptyListPassesWithoutPauseUntilStopAndStopAlwaysLands) {
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    start();
    std::shared_ptr<CollectionRun> first = liveCollectionRun();
    ASSERT_NE(first, nullptr);
    // Passes over an empty list follow each other: the live pass changes.
    ASSERT_TRUE(testsupport::pumpEventsUntil(3000, [&] { return liveCollectionRun() != first; }));
    first.reset();
    testsupport::pumpEventsUntil(round % 5, [] { return false; });
    stopAndCheckQuiet();
    EXPECT_EQ(liveCollectionRun(), nullptr);
  }
  EXPECT_EQ(list(), "");
  EXPECT_EQ(services.requestCount(), 0u);
}

TEST_F(CollectionRunTest, ClosingTheWindowWhileCollectingNeitherWaitsNorCrashes) {
  window->setBoxText(app::Box::KeywordList, "a\r\n");
  services.setRelatedReply("a", silent());
  start();
  ASSERT_TRUE(waitForRequests(1));
  std::weak_ptr<CollectionRun> run = liveCollectionRun();
  window.reset();  // the shutdown hook stops the live pass
  EXPECT_EQ(liveCollectionRun(), nullptr);
  EXPECT_TRUE(testsupport::pumpEventsUntil(3000, [&] { return run.expired(); }));
  EXPECT_EQ(services.requestCount(), 1u);
}

TEST_F(CollectionRunTest, AppendsGoToTheEndWhileTheUserEditsTheList) {
  window->setBoxText(app::Box::KeywordList, "a\r\n");
  ServiceReply slow{200, testsupport::relatedSearchPage({"n"}), false, 150};
  services.setRelatedReply("a", slow);
  services.setRelatedReply("n", silent());
  start();
  ASSERT_TRUE(waitForRequests(1));
  window->setBoxText(app::Box::KeywordList, "typed\r\na\r\n");  // the user's edit meanwhile
  ASSERT_TRUE(waitForRequests(4));  // a, a; then the next pass reads the edited text
  testsupport::pumpEventsUntil(100, [] { return false; });
  EXPECT_EQ(targets()[2], "/s?wd=%74%79%70%65%64");
  stopAndCheckQuiet();
  EXPECT_EQ(list().substr(0, 12), "typed\r\na\r\nn\r");
}

}  // namespace
}  // namespace collect
