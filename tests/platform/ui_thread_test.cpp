// Calls onto the UI thread: synchronous from workers, immediate on the UI
// thread, and refused (without running) once the calls are closed.
#include "platform/ui_thread.h"

#include <QApplication>
#include <QThread>
#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "tests/support/qt_app.h"

namespace {

class UiThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { testsupport::ensureQtApp(); }
  // Every test leaves the calls open for the next one.
  void TearDown() override { platform::initUiThread(); }
};

TEST_F(UiThreadTest, WorkerCallRunsOnTheUiThreadAndWaitsForIt) {
  QThread* uiThread = QThread::currentThread();
  std::atomic<bool> workerDone{false};
  bool ranOnUi = false;
  int sideEffect = 0;
  bool result = false;
  std::thread worker([&] {
    EXPECT_FALSE(platform::onUiThread());
    result = platform::runOnUiThread([&] {
      ranOnUi = QThread::currentThread() == uiThread;
      sideEffect = 42;
    });
    // The call has finished by the time it returns.
    EXPECT_EQ(sideEffect, 42);
    workerDone = true;
  });
  EXPECT_TRUE(testsupport::pumpEventsUntil(5000, [&] { return workerDone.load(); }));
  worker.join();
  EXPECT_TRUE(result);
  EXPECT_TRUE(ranOnUi);
}

TEST_F(UiThreadTest, CallOnTheUiThreadRunsAtOnce) {
  EXPECT_TRUE(platform::onUiThread());
  bool ran = false;
  EXPECT_TRUE(platform::runOnUiThread([&] { ran = true; }));
  EXPECT_TRUE(ran);
}

TEST_F(UiThreadTest, ClosingReleasesAPendingCallAndRefusesLaterOnes) {
  std::atomic<bool> ran{false};
  std::atomic<bool> calling{false};
  std::atomic<int> result{-1};
  std::thread worker([&] {
    calling = true;
    result = platform::runOnUiThread([&] { ran = true; }) ? 1 : 0;
  });
  // The UI thread handles no events meanwhile, so the call stays queued.
  while (!calling) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(result.load(), -1) << "the call must wait for the UI thread";

  platform::closeUiCalls();
  worker.join();
  EXPECT_EQ(result.load(), 0);

  std::thread later([&] { result = platform::runOnUiThread([&] { ran = true; }) ? 1 : 0; });
  later.join();
  EXPECT_EQ(result.load(), 0);
  // Nothing left in the queue runs it afterwards either.
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran.load());
}

TEST_F(UiThreadTest, ManyWorkersInterleaveWithoutLosingCalls) {
  constexpr int kThreads = 4;
  constexpr int kCallsEach = 500;
  int counter = 0;  // touched on the UI thread only
  std::atomic<int> finished{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < kThreads; ++t) {
    workers.emplace_back([&] {
      for (int i = 0; i < kCallsEach; ++i) platform::runOnUiThread([&] { ++counter; });
      ++finished;
    });
  }
  EXPECT_TRUE(testsupport::pumpEventsUntil(20000, [&] { return finished.load() == kThreads; }));
  for (auto& w : workers) w.join();
  EXPECT_EQ(counter, kThreads * kCallsEach);
}

TEST_F(UiThreadTest, ProcessPendingEventsIsANoOpOffTheUiThread) {
  bool delivered = false;
  QMetaObject::invokeMethod(qApp, [&] { delivered = true; }, Qt::QueuedConnection);
  std::thread worker([] { platform::processPendingEvents(); });
  worker.join();
  EXPECT_FALSE(delivered);
  platform::processPendingEvents();
  EXPECT_TRUE(delivered);
}

}  // namespace
