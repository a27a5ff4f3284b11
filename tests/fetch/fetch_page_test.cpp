// The fetch call's time limit, cancellation, event pumping and the
// hand-over through the exchange file.
#include "fetch/fetch_page.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <string>
#include <thread>

#include "fetch/exchange_file.h"
#include "fetch/exchange_records.h"
#include "fetch/fetch_worker.h"
#include "platform/internet.h"
#include "tests/support/http_server.h"
#include "tests/support/qt_app.h"

namespace {

using Clock = std::chrono::steady_clock;
using fetch::FetchOptions;
using std::chrono::milliseconds;
using testsupport::HttpExchange;
using testsupport::HttpRequest;
using testsupport::HttpServer;

HttpServer::Handler silent() {
  return [](const HttpRequest&, HttpExchange& out) { out.holdSilent(); };
}

milliseconds since(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// Handles opened between two probes, all of which must be closed.
void expectHandlesClosedSince(platform::InternetHandle before) {
  const platform::InternetHandle after = platform::openInternetSession("probe", "");
  for (platform::InternetHandle h = before + 1; h < after; ++h) {
    EXPECT_FALSE(platform::isInternetHandleOpen(h)) << h;
  }
  platform::closeInternetHandle(after);
}

TEST(FetchPageTest, SilentServerTimesOutWithinTheLimitAndHandlesAreClosed) {
  HttpServer server(silent());
  const platform::InternetHandle before = platform::openInternetSession("probe", "");
  std::string cookies = "kept", headers = "kept";
  FetchOptions options;
  options.timeLimit = 1;
  options.returnedCookies = &cookies;
  options.returnedHeaders = &headers;
  const auto start = Clock::now();
  EXPECT_EQ(fetch::fetchPage(server.url("/silent"), options).bytes, "");
  const milliseconds waited = since(start);
  EXPECT_GE(waited, milliseconds(1000));
  EXPECT_LT(waited, milliseconds(1050));
  EXPECT_EQ(cookies, "kept");
  EXPECT_EQ(headers, "kept");
  expectHandlesClosedSince(before);
  platform::closeInternetHandle(before);
  ASSERT_EQ(server.requests().size(), 1u) << "the request was sent before the limit";
}

TEST(FetchPageTest, SlowAnswerWithinTheLimitIsReturned) {
  HttpServer server([](const HttpRequest&, HttpExchange& out) {
    out.write("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nab");
    out.pause(150);
    out.write("cd");
    out.pause(150);
    out.write("ef");
  });
  EXPECT_EQ(fetch::fetchPage(server.url("/slow"), "", "", "", nullptr, "", 2).bytes, "abcdef");
}

TEST(FetchPageTest, UnreachableServerYieldsEmptyAndClosesHandles) {
  HttpServer closed(silent());
  const std::string url = closed.url("/gone");
  closed.stop();  // nothing listens there any more
  const platform::InternetHandle before = platform::openInternetSession("probe", "");
  std::string headers = "kept";
  FetchOptions options;
  options.returnedHeaders = &headers;
  EXPECT_EQ(fetch::fetchPage(url, options).bytes, "");
  // A failed request still completes, with an empty body and no header
  // block: the header text stays as blank as it started.
  EXPECT_EQ(headers, std::string(2048, ' '));
  expectHandlesClosedSince(before);
  platform::closeInternetHandle(before);
}

TEST(FetchPageTest, CancelEndsTheFetchUnderWayAtOnceAndEveryLaterOne) {
  HttpServer server(silent());
  fetch::FetchCancel token;
  FetchOptions options;
  options.cancel = &token;
  std::thread stopper([&] {
    std::this_thread::sleep_for(milliseconds(100));
    token.cancel();
  });
  const platform::InternetHandle before = platform::openInternetSession("probe", "");
  auto start = Clock::now();
  EXPECT_EQ(fetch::fetchPage(server.url("/a"), options).bytes, "");
  EXPECT_LT(since(start), milliseconds(300));
  stopper.join();
  expectHandlesClosedSince(before);
  platform::closeInternetHandle(before);

  start = Clock::now();
  EXPECT_EQ(fetch::fetchPage(server.url("/b"), options).bytes, "");
  EXPECT_LT(since(start), milliseconds(50));
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_TRUE(token.cancelled());
}

TEST(FetchPageTest, WorkerNamesItsHandlesBeforeItSends) {
  const int32_t number = fetch::openExchangeFile();
  fetch::FetchProgressRecord seen;
  HttpServer server([&](const HttpRequest&, HttpExchange& out) {
    seen = fetch::decodeProgressRecord(fetch::readContent(number).view());
    out.write(testsupport::httpResponse(200, "done"));
  });
  fetch::FetchRequestRecord request;
  request.url = server.url("/w");
  fetch::replaceContent(number, fetch::encodeRequestRecord(request).view());
  fetch::fetchWorker(number);
  const fetch::FetchResultRecord result = fetch::decodeResultRecord(fetch::readContent(number).view());
  fetch::closeExchangeFile(number);
  EXPECT_TRUE(result.succeeded);
  EXPECT_EQ(result.body.bytes, "done");
  EXPECT_NE(seen.requestHandle, 0);
  EXPECT_EQ(seen, (fetch::FetchProgressRecord{result.requestHandle, result.connectionHandle,
                                               result.sessionHandle}));
  for (int32_t h : {result.requestHandle, result.connectionHandle, result.sessionHandle}) {
    EXPECT_TRUE(platform::closeInternetHandle(h)) << "left open for the caller";
  }
}

TEST(FetchPageTest, PumpingOnTheUiThreadHandlesEventsAndRestartsTheLimit) {
  testsupport::ensureQtApp();
  HttpServer server(silent());
  int ticks = 0;
  QTimer stream;
  QObject::connect(&stream, &QTimer::timeout, [&] {
    if (++ticks == 24) stream.stop();  // events for about 1.2 s
  });
  stream.start(50);
  const auto start = Clock::now();
  EXPECT_EQ(fetch::fetchPage(server.url("/p"), "", "", "", nullptr, "", 1, true).bytes, "");
  const milliseconds waited = since(start);
  EXPECT_EQ(ticks, 24);
  EXPECT_GE(waited, milliseconds(2100)) << "each batch of events restarts the 1 s limit";
  EXPECT_LT(waited, milliseconds(2600));
}

TEST(FetchPageTest, PumpingWaitReturnsTheAnswerAndRunsTimers) {
  testsupport::ensureQtApp();
  HttpServer server([](const HttpRequest&, HttpExchange& out) {
    out.pause(200);
    out.write(testsupport::httpResponse(200, "late"));
  });
  bool fired = false;
  QTimer::singleShot(50, [&] { fired = true; });
  FetchOptions options;
  options.pumpEvents = true;
  EXPECT_EQ(fetch::fetchPage(server.url("/l"), options).bytes, "late");
  EXPECT_TRUE(fired);
}

}  // namespace
