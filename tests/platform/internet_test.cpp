// The internet layer against the loopback test server: exact request
// bytes, proxies, cookies, redirects, chunked bodies, header queries,
// aborting from another thread and connection reuse.
#include "platform/internet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/http_server.h"

namespace {

using platform::InternetHandle;
using testsupport::HttpExchange;
using testsupport::HttpRequest;
using testsupport::HttpServer;
using testsupport::httpResponse;

constexpr char kAgent[] = "TestAgent/1.0";

// Session, connection and request opened together; closed at the end.
struct OpenRequest {
  InternetHandle session = 0, connection = 0, request = 0;
  OpenRequest(const HttpServer& server, std::string_view method, std::string_view path,
              uint32_t flags = platform::kRequestReload, std::string_view proxyList = "",
              std::string_view host = "127.0.0.1") {
    session = platform::openInternetSession(kAgent, proxyList);
    connection = platform::connectInternet(session, host, server.port(), "", "");
    request = platform::openHttpRequest(connection, method, path, "HTTP/1.1", flags);
  }
  ~OpenRequest() {
    platform::closeInternetHandle(request);
    platform::closeInternetHandle(connection);
    platform::closeInternetHandle(session);
  }
  std::string readAll() const {
    std::string body;
    char buffer[2048];
    while (int32_t n = platform::readInternetData(request, buffer, sizeof buffer)) body.append(buffer, n);
    return body;
  }
};

HttpServer::Handler answer(std::string response) {
  return [response](const HttpRequest&, HttpExchange& out) { out.write(response); };
}

TEST(InternetTest, RequestCarriesExactlyTheGivenLines) {
  HttpServer server(answer(httpResponse(200, "hello")));
  struct Row {
    const char* label;
    const char* method;
    const char* headers;
    const char* added;
    const char* body;
    const char* expected;
  } rows[] = {
      {"get", "", "Referer: r\r\nX-A: 1\r\n", "", "",
       "GET /p?q=1 HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nUser-Agent: TestAgent/1.0\r\n"
       "Referer: r\r\nX-A: 1\r\n\r\n"},
      {"lowercase get, cookie line last", "get", "X-A: 1\r\n", "Cookie: c=1\r\n", "",
       "get /p?q=1 HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nUser-Agent: TestAgent/1.0\r\n"
       "X-A: 1\r\nCookie: c=1\r\n\r\n"},
      {"post body: own Content-Length replaced", "POST",
       "Content-Length: 99\r\nContent-Type: t/x\r\n", "", "a=1&b=2",
       "POST /p?q=1 HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nUser-Agent: TestAgent/1.0\r\n"
       "Content-Type: t/x\r\nContent-Length: 7\r\n\r\na=1&b=2"},
      {"post without body", "post", "", "", "",
       "post /p?q=1 HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nUser-Agent: TestAgent/1.0\r\n\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const size_t before = server.requests().size();
    OpenRequest open(server, row.method, "/p?q=1");
    if (*row.added) {
      ASSERT_TRUE(platform::addRequestHeader(open.request, row.added));
    }
    ASSERT_TRUE(platform::sendHttpRequest(open.request, row.headers, row.body));
    EXPECT_EQ(open.readAll(), "hello");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), before + 1);
    std::string expected = row.expected;
    expected.replace(expected.find("PORT"), 4, std::to_string(server.port()));
    EXPECT_EQ(requests.back().raw, expected);
  }
}

TEST(InternetTest, PathBytesThatCannotStandInARequestLineAreEscaped) {
  HttpServer server(answer(httpResponse(200, "")));
  OpenRequest open(server, "GET", "/a b\x01/\xB0\xA1?x=%41");
  ASSERT_TRUE(platform::sendHttpRequest(open.request, "", ""));
  open.readAll();
  EXPECT_EQ(server.requests().at(0).requestLine, "GET /a%20b%01/%B0%A1?x=%41 HTTP/1.1");
}

TEST(InternetTest, BadHostOrPortFailsTheSend) {
  HttpServer server(answer(httpResponse(200, "x")));
  OpenRequest badHost(server, "GET", "/", platform::kRequestReload, "", "host?x=1");
  EXPECT_FALSE(platform::sendHttpRequest(badHost.request, "", ""));
  EXPECT_EQ(badHost.readAll(), "");
  EXPECT_EQ(server.requests().size(), 0u);
}

TEST(InternetTest, DirectAccessIgnoresEnvironmentProxy) {
  HttpServer server(answer(httpResponse(200, "direct")));
  HttpServer proxy(answer(httpResponse(200, "proxied")));
  setenv("http_proxy", proxy.url("").c_str(), 1);
  setenv("HTTP_PROXY", proxy.url("").c_str(), 1);
  setenv("ALL_PROXY", proxy.url("").c_str(), 1);
  OpenRequest open(server, "GET", "/d");
  ASSERT_TRUE(platform::sendHttpRequest(open.request, "", ""));
  EXPECT_EQ(open.readAll(), "direct");
  unsetenv("http_proxy");
  unsetenv("HTTP_PROXY");
  unsetenv("ALL_PROXY");
  EXPECT_EQ(proxy.requests().size(), 0u);
}

TEST(InternetTest, ProxyListSendsAbsoluteRequestToProxy) {
  HttpServer proxy(answer(httpResponse(200, "via proxy")));
  setenv("no_proxy", "*", 1);  // an explicit proxy wins over no_proxy
  for (const std::string& list : {"http=" + proxy.hostPort(), "ftp=x:1 http= " + proxy.hostPort()}) {
    SCOPED_TRACE(list);
    const size_t before = proxy.requests().size();
    const InternetHandle session = platform::openInternetSession(kAgent, list);
    const InternetHandle connection = platform::connectInternet(session, "example.invalid", 8081, "", "");
    const InternetHandle request = platform::openHttpRequest(connection, "GET", "/x?y", "HTTP/1.1", 0);
    ASSERT_TRUE(platform::sendHttpRequest(request, "", ""));
    char buffer[64];
    EXPECT_EQ(std::string(buffer, platform::readInternetData(request, buffer, sizeof buffer)), "via proxy");
    const auto requests = proxy.requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(requests.back().requestLine, "GET http://example.invalid:8081/x?y HTTP/1.1");
    EXPECT_EQ(requests.back().raw.find("Proxy-Connection"), std::string::npos);
    for (InternetHandle h : {request, connection, session}) platform::closeInternetHandle(h);
  }
  unsetenv("no_proxy");
}

TEST(InternetTest, RedirectsAreFollowedAndHeaderBlockIsTheLastHops) {
  HttpServer server([](const HttpRequest& request, HttpExchange& out) {
    if (request.requestLine.starts_with("GET /old")) {
      out.write(httpResponse(302, "moved", "Location: /new\r\n"));
    } else {
      out.write(httpResponse(200, "final", "X-Hop: 2\r\n"));
    }
  });
  OpenRequest open(server, "GET", "/old");
  ASSERT_TRUE(platform::sendHttpRequest(open.request, "", ""));
  EXPECT_EQ(open.readAll(), "final");
  char block[2048];
  ASSERT_TRUE(platform::queryRawHeaders(open.request, block, sizeof block));
  EXPECT_EQ(std::string(block), "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nX-Hop: 2\r\n\r\n");
  EXPECT_EQ(server.requests().size(), 2u);
}

TEST(InternetTest, ChunkedBodyArrivesDecodedInBoundedReads) {
  std::string body;
  for (int i = 0; i < 5000; ++i) body += char('a' + i % 26);
  HttpServer server(answer(testsupport::chunkedResponse(body, 700)));
  OpenRequest open(server, "GET", "/");
  ASSERT_TRUE(platform::sendHttpRequest(open.request, "", ""));
  std::string got;
  char buffer[2048];
  while (int32_t n = platform::readInternetData(open.request, buffer, sizeof buffer)) {
    ASSERT_LE(n, 2048);
    got.append(buffer, n);
  }
  EXPECT_EQ(got, body);
}

TEST(InternetTest, HeaderQueryWritesNothingWhenBlockDoesNotFit) {
  const std::string filler(2100, 'x');
  HttpServer server(answer(httpResponse(200, "b", "X-Big: " + filler + "\r\n")));
  OpenRequest open(server, "GET", "/");
  ASSERT_TRUE(platform::sendHttpRequest(open.request, "", ""));
  open.readAll();
  std::string buffer(2048, ' ');
  EXPECT_FALSE(platform::queryRawHeaders(open.request, buffer.data(), 2048));
  EXPECT_EQ(buffer, std::string(2048, ' '));
}

TEST(InternetTest, CookieStoreIsSharedUnlessRequestOptsOut) {
  HttpServer server([](const HttpRequest& request, HttpExchange& out) {
    if (request.requestLine.find("/set") != std::string::npos) {
      out.write(httpResponse(200, "", "Set-Cookie: fromserver=1; path=/\r\n"));
    } else {
      out.write(httpResponse(200, ""));
    }
  });
  const auto lastCookieLine = [&] {
    const std::string raw = server.requests().back().raw;
    const size_t at = raw.find("Cookie: ");
    return at == std::string::npos ? std::string() : raw.substr(at, raw.find("\r\n", at) - at);
  };
  {
    OpenRequest ignored(server, "GET", "/set", platform::kRequestNoCookies);
    platform::sendHttpRequest(ignored.request, "", "");
    ignored.readAll();
  }
  {
    OpenRequest check(server, "GET", "/check");
    platform::sendHttpRequest(check.request, "", "");
    check.readAll();
    EXPECT_EQ(lastCookieLine(), "") << "a no-cookies request kept a cookie";
  }
  {
    OpenRequest kept(server, "GET", "/set");
    platform::sendHttpRequest(kept.request, "", "");
    kept.readAll();
  }
  ASSERT_TRUE(platform::setInternetCookie("http://127.0.0.1", "added", "2; path=/"));
  EXPECT_FALSE(platform::setInternetCookie("http://127.0.0.1", "other", "3; domain=example.com"));
  EXPECT_FALSE(platform::setInternetCookie("http://127.0.0.1", "", "4"));
  {
    OpenRequest check(server, "GET", "/check");
    platform::sendHttpRequest(check.request, "", "");
    check.readAll();
    const std::string line = lastCookieLine();
    EXPECT_NE(line.find("fromserver=1"), std::string::npos) << line;
    EXPECT_NE(line.find("added=2"), std::string::npos) << line;
  }
  {
    OpenRequest optedOut(server, "GET", "/check", platform::kRequestNoCookies);
    platform::sendHttpRequest(optedOut.request, "", "");
    optedOut.readAll();
    EXPECT_EQ(lastCookieLine(), "");
  }
}

TEST(InternetTest, ClosingTheRequestFromAnotherThreadAbortsABlockedRead) {
  HttpServer server([](const HttpRequest&, HttpExchange& out) { out.holdSilent(); });
  OpenRequest open(server, "GET", "/silent");
  std::thread closer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(platform::closeInternetHandle(open.request));
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(platform::sendHttpRequest(open.request, "", ""));
  const auto waited = std::chrono::steady_clock::now() - start;
  closer.join();
  EXPECT_LT(waited, std::chrono::milliseconds(400));
  char buffer[16];
  EXPECT_EQ(platform::readInternetData(open.request, buffer, sizeof buffer), 0);
  EXPECT_FALSE(platform::isInternetHandleOpen(open.request));
}

TEST(InternetTest, HandlesAreNeverReusedAndClosedOnesFail) {
  const InternetHandle a = platform::openInternetSession(kAgent, "");
  ASSERT_NE(a, 0);
  EXPECT_TRUE(platform::closeInternetHandle(a));
  EXPECT_FALSE(platform::closeInternetHandle(a));
  const InternetHandle b = platform::openInternetSession(kAgent, "");
  EXPECT_GT(b, a);
  EXPECT_EQ(platform::connectInternet(a, "h", 80, "", ""), 0);
  EXPECT_EQ(platform::openHttpRequest(b, "GET", "/", "HTTP/1.1", 0), 0) << "a session is no connection";
  platform::closeInternetHandle(b);
}

TEST(InternetTest, ConnectionsAreReusedAcrossRequestsAndThreads) {
  HttpServer server(answer(httpResponse(200, "k")));
  for (int i = 0; i < 6; ++i) {
    std::thread([&] {
      OpenRequest open(server, "GET", "/k");
      platform::sendHttpRequest(open.request, "", "");
      EXPECT_EQ(open.readAll(), "k");
    }).join();
  }
  EXPECT_EQ(server.requests().size(), 6u);
  EXPECT_EQ(server.connectionCount(), 1);
}

}  // namespace
