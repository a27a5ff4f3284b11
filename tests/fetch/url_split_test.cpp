// Host, path and port of a fetch URL.
#include "fetch/url_split.h"

#include <gtest/gtest.h>

namespace fetch {
namespace {

struct UrlCase {
  std::string_view url;
  std::string_view host, hostWithPort, path;
  int32_t port;
};

TEST(UrlSplit, PositionalRules) {
  const UrlCase cases[] = {
      {"http://Host:8080/a/b?c=1", "host", "host:8080", "/a/b?c=1", 8080},
      {"http://host", "host", "host", "/", 80},
      {"http://host?x=1", "host?x=1", "host?x=1", "/", 80},
      {"host/a", "host", "host", "/a", 80},
      {"http://host:/a", "host", "host:", "/a", 0},
      {"http://host:81x/a", "host", "host:81x", "/a", 81},
      {"https://host/a", "https", "https:", "//host/a", 0},
      {"HTTP://Host/a", "http", "http:", "//Host/a", 0},
      {"http://www.Baidu.com/s?wd=%BB%FA", "www.baidu.com", "www.baidu.com", "/s?wd=%BB%FA", 80},
      {"http://h/Index.HTML#Top", "h", "h", "/Index.HTML#Top", 80},
      {"http://tp/x", "tp", "tp", "/x", 80},
      {"see http://host/a", "host", "host", "/a", 80},
      {"http://host:99999999999/a", "host", "host:99999999999", "/a", 0},
      {"http://host:-5/a", "host", "host:-5", "/a", -5},
      {"http://HOST\xC3\xFB/a", "host\xC3\xFB", "host\xC3\xFB", "/a", 80},
      {"http://", "", "", "/", 80},
      {"", "", "", "/", 80},
  };
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(urlHost(c.url), c.host);
    EXPECT_EQ(urlHost(c.url, true), c.hostWithPort);
    EXPECT_EQ(urlPath(c.url), c.path);
    EXPECT_EQ(urlPort(c.url), c.port);
  }
}

}  // namespace
}  // namespace fetch
