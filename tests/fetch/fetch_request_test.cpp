// What a fetch puts on the wire: the fixed header lines, caller headers,
// methods, bodies, cookies and proxies, seen by the loopback server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "fetch/fetch_page.h"
#include "fetch/fetch_worker.h"
#include "platform/internet.h"
#include "tests/support/http_server.h"

namespace {

using fetch::FetchOptions;
using testsupport::HttpExchange;
using testsupport::HttpRequest;
using testsupport::HttpServer;

const std::string kAccept =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";

class FetchRequestTest : public ::testing::Test {
 protected:
  HttpServer server{[](const HttpRequest&, HttpExchange& out) {
    out.write(testsupport::httpResponse(200, "body"));
  }};

  std::string head() const {
    return "Host: " + server.hostPort() + "\r\nUser-Agent: " + std::string(fetch::kAgentText) +
           "\r\n";
  }
  std::string lastRaw() const {
    const auto requests = server.requests();
    return requests.empty() ? std::string() : requests.back().raw;
  }
};

TEST_F(FetchRequestTest, UrlOnlyGetSendsTheFixedLinesAndNothingElse) {
  const std::string url = server.url("/s?wd=%C4%E3");
  EXPECT_EQ(fetch::fetchPage(url).bytes, "body");
  EXPECT_EQ(lastRaw(), "GET /s?wd=%C4%E3 HTTP/1.1\r\n" + head() + kAccept + "Referer: " + url +
                           "\r\nAccept-Language: zh-cn\r\n\r\n");
}

TEST_F(FetchRequestTest, CallerHeadersAndBodiesByMethod) {
  const std::string url = server.url("/p");
  struct Row {
    const char* label;
    const char* verb;
    const char* postData;
    const char* headers;
    const char* cookies;
    std::string expectedAfterHead;  // with URL for the Referer value
  } rows[] = {
      {"lower-case accept suppresses Accept", "", "", "accept: text/html\r\n", "",
       "accept: text/html\r\nReferer: URL\r\nAccept-Language: zh-cn\r\n\r\n"},
      {"X-Accept: also suppresses it", "GET", "", "X-Accept: 1\r\n", "",
       "X-Accept: 1\r\nReferer: URL\r\nAccept-Language: zh-cn\r\n\r\n"},
      {"caller Referer and Accept-Language win", "get", "",
       "Referer: mine\r\nAccept-Language: en\r\n", "",
       "Referer: mine\r\nAccept-Language: en\r\n" + kAccept + "\r\n"},
      {"post without data: no body, no framing lines", "POST", "", "", "",
       kAccept + "Referer: URL\r\nAccept-Language: zh-cn\r\n\r\n"},
      {"post with data: Content-Length 7 despite the caller's", "post", "a=1&b=2",
       "Content-Length: 3\r\n", "",
       kAccept + "Referer: URL\r\nAccept-Language: zh-cn\r\n"
                 "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n\r\na=1&b=2"},
      {"caller Content-Type kept", "POST", "x", "Content-Type: text/plain\r\n", "",
       "Content-Type: text/plain\r\n" + kAccept +
           "Referer: URL\r\nAccept-Language: zh-cn\r\nContent-Length: 1\r\n\r\nx"},
      {"cookies of spaces only send no Cookie line", "", "", "", " \xA1\xA1 ",
       kAccept + "Referer: URL\r\nAccept-Language: zh-cn\r\n\r\n"},
      {"cookies go last, unchanged", "", "", "", " a=1; b=2",
       kAccept + "Referer: URL\r\nAccept-Language: zh-cn\r\nCookie:  a=1; b=2\r\n\r\n"},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.label);
    FetchOptions options;
    options.verb = row.verb;
    options.postData = row.postData;
    options.headers = row.headers;
    options.cookies = row.cookies;
    EXPECT_EQ(fetch::fetchPage(url, options).bytes, "body");
    std::string expected = row.expectedAfterHead;
    if (const size_t at = expected.find("URL"); at != std::string::npos) expected.replace(at, 3, url);
    const std::string method = *row.verb ? row.verb : "GET";
    EXPECT_EQ(lastRaw(), method + " /p HTTP/1.1\r\n" + head() + expected);
  }
}

TEST_F(FetchRequestTest, OtherMethodsSendNothingAndCloseEveryHandle) {
  const platform::InternetHandle before = platform::openInternetSession("probe", "");
  EXPECT_EQ(fetch::fetchPage(server.url("/put"), "PUT").bytes, "");
  const platform::InternetHandle after = platform::openInternetSession("probe", "");
  EXPECT_EQ(after - before, 4) << "the worker opened its three handles";
  for (platform::InternetHandle h = before + 1; h < after; ++h) {
    EXPECT_FALSE(platform::isInternetHandleOpen(h)) << h;
  }
  platform::closeInternetHandle(before);
  platform::closeInternetHandle(after);
  EXPECT_EQ(server.requests().size(), 0u);
}

TEST_F(FetchRequestTest, ProxyTextSendsTheRequestThroughThatProxy) {
  HttpServer proxy([](const HttpRequest&, HttpExchange& out) {
    out.write(testsupport::httpResponse(200, "proxied"));
  });
  const std::string url = "http://search.example.invalid/s?wd=1";
  FetchOptions options;
  options.proxy = proxy.hostPort();
  EXPECT_EQ(fetch::fetchPage(url, options).bytes, "proxied");
  const auto requests = proxy.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine, "GET " + url + " HTTP/1.1");
  EXPECT_NE(requests[0].raw.find("\r\nReferer: " + url + "\r\n"), std::string::npos);

  options.proxy = "   ";  // spaces only: direct, and the environment's proxy is ignored
  setenv("http_proxy", proxy.url("").c_str(), 1);
  EXPECT_EQ(fetch::fetchPage(server.url("/direct"), options).bytes, "body");
  unsetenv("http_proxy");
  EXPECT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(FetchRequestTest, CredentialsGoToTheServer) {
  EXPECT_EQ(fetch::fetchPage(server.url("/auth"), "", "", "", nullptr, "", 0, false, "", "user",
                             "pass").bytes,
            "body");
  EXPECT_NE(lastRaw().find("Authorization: Basic dXNlcjpwYXNz\r\n"), std::string::npos);
}

}  // namespace
