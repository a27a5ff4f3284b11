// Fuzzes urlHost, urlPath and urlPort against references written with
// plain string copies, and checks their invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fetch/url_split.h"

namespace {

using text::Text;

void check(bool condition) {
  if (!condition) std::abort();
}

int32_t referenceHostStart(const Text& url) {
  const int32_t prefix = text::findText(url, "http://");
  return prefix == -1 ? 1 : prefix + 7;
}

Text referenceHost(const Text& url, bool keepPort) {
  const int32_t start = referenceHostStart(url);
  const int32_t slash = text::findText(url, "/", start);
  Text host = text::textMid(url, start, slash == -1 ? text::textLength(url) : slash - start);
  const int32_t colon = text::findText(host, ":");
  if (!keepPort && colon != -1) host = text::textLeft(host, colon - 1);
  return text::toLowerCase(host);
}

// The path as found by looking the host text up from the first byte; the
// split must agree whenever that lookup lands on the host part itself.
int32_t hostLookup(const Text& url) {
  return text::findText(url, referenceHost(url, false), 1, true);
}

Text referencePath(const Text& url) {
  const int32_t slash = text::findText(url, "/", referenceHostStart(url));
  return slash == -1 ? Text("/") : text::textRight(url, text::textLength(url) - slash + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view raw(reinterpret_cast<const char*>(data), size);
  const Text url(raw.substr(0, raw.find('\0')));

  const Text host = fetch::urlHost(url);
  const Text hostWithPort = fetch::urlHost(url, true);
  const Text path = fetch::urlPath(url);
  const int32_t port = fetch::urlPort(url);

  check(host == referenceHost(url, false));
  check(hostWithPort == referenceHost(url, true));
  check(path == referencePath(url));
  check(text::toLowerCase(host) == host);
  check(text::findText(host, ":") == -1);  // a trail byte may still be ':'
  check(hostWithPort.compare(0, host.size(), host) == 0);
  check(!path.empty() && path[0] == '/');
  check(path == "/" || (url.size() >= path.size() &&
                        url.compare(url.size() - path.size(), path.size(), path) == 0));
  check(text::findText(hostWithPort, ":") != -1 || port == 80);
  if (hostLookup(url) == referenceHostStart(url)) {
    const int32_t slash = text::findText(url, "/", hostLookup(url), true);
    check(path == (slash == -1 ? Text("/") : text::textRight(url, text::textLength(url) - slash + 1)));
  }
  return 0;
}
