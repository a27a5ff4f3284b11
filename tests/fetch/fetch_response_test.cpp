// What a fetch makes of the answer: bodies of every shape, the raw header
// block, collected and stored cookies, redirects and the body size cap.
#include <gtest/gtest.h>

#include <string>

#include "fetch/fetch_page.h"
#include "fetch/fetch_worker.h"
#include "tests/support/http_server.h"

namespace {

using fetch::FetchOptions;
using testsupport::HttpExchange;
using testsupport::HttpRequest;
using testsupport::HttpServer;
using testsupport::httpResponse;

HttpServer::Handler answer(std::string response) {
  return [response](const HttpRequest&, HttpExchange& out) { out.write(response); };
}

// Cookies land in the one process store, keyed by host: these tests talk
// to "localhost" so that the exact-request tests on 127.0.0.1 see none.
std::string localUrl(const HttpServer& server, const std::string& path) {
  return "http://localhost:" + std::to_string(server.port()) + path;
}

TEST(FetchResponseTest, BodiesComeBackWholeAndInOrder) {
  std::string big;
  for (int i = 0; i < 5000; ++i) big += char('0' + i % 10);
  const std::string withNuls("a\0b\0\0c", 6);
  struct Row {
    const char* label;
    std::string response;
    std::string body;
  } rows[] = {
      {"5000 bytes", httpResponse(200, big), big},
      {"NUL bytes", httpResponse(200, withNuls), withNuls},
      {"chunked", testsupport::chunkedResponse(big, 1500), big},
      {"error status body", httpResponse(404, "missing"), "missing"},
      {"empty", httpResponse(200, ""), ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    HttpServer server(answer(row.response));
    EXPECT_EQ(fetch::fetchPage(server.url("/b")).bytes, row.body);
  }
}

TEST(FetchResponseTest, RedirectIsFollowed) {
  HttpServer server([](const HttpRequest& request, HttpExchange& out) {
    if (request.requestLine.starts_with("GET /old")) {
      out.write(httpResponse(302, "moved", "Location: /new\r\n"));
    } else {
      out.write(httpResponse(200, "new page"));
    }
  });
  EXPECT_EQ(fetch::fetchPage(server.url("/old")).bytes, "new page");
}

TEST(FetchResponseTest, RawHeadersAndCollectedCookies) {
  struct Row {
    const char* label;
    const char* setCookieLines;
    const char* cookies;
  } rows[] = {
      {"one", "Set-Cookie: a=1; path=/\r\n", "a=1"},
      {"two", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2; path=/\r\n", "a=1; b=2"},
      {"empty value skipped", "Set-Cookie: e=; path=/\r\nSet-Cookie: f=6; path=/\r\n", "f=6"},
      {"no ';' skipped", "Set-Cookie: g=7\r\n", ""},
      {"lower case not seen", "set-cookie: h=8; path=/\r\n", ""},
      {"none", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string response = httpResponse(200, "ok", row.setCookieLines);
    HttpServer server(answer(response));
    std::string cookies = "old", headers = "old";
    FetchOptions options;
    options.returnedCookies = &cookies;
    options.returnedHeaders = &headers;
    EXPECT_EQ(fetch::fetchPage(localUrl(server, "/c"), options).bytes, "ok");
    EXPECT_EQ(cookies, row.cookies);
    EXPECT_EQ(headers, response.substr(0, response.size() - 2));  // the block without the body
  }
}

TEST(FetchResponseTest, HeaderBlockOver2047BytesReadsAsSpaces) {
  HttpServer server(answer(httpResponse(200, "ok", "Set-Cookie: z=1; path=/\r\nX-Fill: " +
                                                       std::string(2000, 'x') + "\r\n")));
  std::string cookies = "old", headers;
  FetchOptions options;
  options.returnedCookies = &cookies;
  options.returnedHeaders = &headers;
  EXPECT_EQ(fetch::fetchPage(localUrl(server, "/big"), options).bytes, "ok");
  EXPECT_EQ(headers, std::string(2048, ' '));
  EXPECT_EQ(cookies, "");
}

TEST(FetchResponseTest, StoredCookiesAreSentLaterAndCallerCookiesReplaceThem) {
  HttpServer server(answer(httpResponse(200, "ok",
                                        "Set-Cookie: keep=1; path=/\r\nSet-Cookie:ab=2; path=/\r\n")));
  const std::string url = localUrl(server, "/store");
  FetchOptions options;
  options.storeCookies = true;
  options.cookies = "mine=0";  // storeCookies leaves the client's own handling on
  ASSERT_EQ(fetch::fetchPage(url, options).bytes, "ok");
  server.setHandler(answer(httpResponse(200, "again")));
  ASSERT_EQ(fetch::fetchPage(url).bytes, "again");
  const std::string raw = server.requests().back().raw;
  // keep=1 stored twice (by the client and by the worker) is one cookie.
  const size_t keep = raw.find("keep=1");
  EXPECT_NE(keep, std::string::npos) << raw;
  EXPECT_EQ(raw.find("keep=1", keep + 1), std::string::npos) << raw;
  EXPECT_NE(raw.find(" b=2"), std::string::npos) << "the name lost its first letter: " << raw;

  FetchOptions own;
  own.cookies = "only=me";  // without storeCookies the store is left out
  ASSERT_EQ(fetch::fetchPage(url, own).bytes, "again");
  const std::string ownRaw = server.requests().back().raw;
  EXPECT_EQ(ownRaw.find("keep=1"), std::string::npos) << ownRaw;
  EXPECT_NE(ownRaw.find("\r\nCookie: only=me\r\n"), std::string::npos) << ownRaw;
}

TEST(FetchResponseTest, BodyBeyondTheCapYieldsEmpty) {
  HttpServer server([](const HttpRequest&, HttpExchange& out) {
    const size_t total = fetch::kMaxBodyBytes + 1024 * 1024;
    out.write("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(total) + "\r\n\r\n");
    const std::string piece(1024 * 1024, 'z');
    for (size_t sent = 0; sent < total; sent += piece.size()) {
      if (!out.write(piece)) break;
    }
    out.closeAfter();
  });
  std::string headers = "old";
  FetchOptions options;
  options.returnedHeaders = &headers;
  EXPECT_EQ(fetch::fetchPage(server.url("/huge"), options).bytes, "");
  EXPECT_EQ(headers, "old");
}

}  // namespace
