// urlHost, urlPath, urlPort: positional cuts of a fetch URL.
#include "fetch/url_split.h"

#include <cmath>
#include <cstdint>

namespace fetch {
namespace {

constexpr std::string_view kHttpPrefix = "http://";

// 1-based position where the host part begins: just behind the first
// "http://" (exact case, wherever it stands), else the first byte.
int32_t hostPartStart(std::string_view url) {
  const int32_t prefix = text::findText(url, kHttpPrefix);
  return prefix == -1 ? 1 : prefix + static_cast<int32_t>(kHttpPrefix.size());
}

// 1-based position of the first "/" at or after the host part's start, or
// -1. Searching from the host part (never from the first byte) keeps a
// host such as "h" or "tp", which also occurs inside "http://", from
// pulling the path into the prefix.
int32_t pathStart(std::string_view url) {
  return text::findText(url, "/", hostPartStart(url));
}

}  // namespace

text::Text urlHost(std::string_view url, bool keepPort) {
  const int32_t start = hostPartStart(url);
  const int32_t slash = pathStart(url);
  text::Text host = slash == -1 ? text::textMid(url, start, text::textLength(url))
                                : text::textMid(url, start, slash - start);
  if (!keepPort) {
    const int32_t colon = text::findText(host, ":");
    if (colon != -1) host = text::textLeft(host, colon - 1);
  }
  return text::toLowerCase(host);
}

text::Text urlPath(std::string_view url) {
  const int32_t slash = pathStart(url);
  if (slash == -1) return "/";
  return text::textRight(url, text::textLength(url) - slash + 1);
}

int32_t urlPort(std::string_view url) {
  const text::Text host = urlHost(url, true);
  const int32_t colon = text::findText(host, ":");
  if (colon == -1) return 80;
  const text::Text afterColon = text::textMid(host, colon + 1, text::textLength(host));
  const double value = std::trunc(text::textToNumber(afterColon));
  // A value outside the 32-bit range (or not finite) is no port at all.
  if (!(value >= INT32_MIN && value <= INT32_MAX)) return 0;
  return static_cast<int32_t>(value);
}

}  // namespace fetch
