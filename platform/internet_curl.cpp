// The internet layer over libcurl: the table of open handles and the
// public calls. Each handle names a shared object; a call copies the
// object's pointer out of the table under the lock and works without it,
// so closing a handle on another thread never frees what a call still uses.
#include "platform/internet.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <variant>

#include "platform/internet_curl_resources.h"
#include "platform/internet_curl_transfer.h"

namespace platform {
namespace {

struct Session {
  std::string agent;
  std::string proxy;  // host:port for plain HTTP; empty = direct
};

struct Connection {
  std::shared_ptr<const Session> session;
  std::string host;
  int32_t port = 80;
  std::string userName;
  std::string password;
};

using Object = std::variant<std::shared_ptr<const Session>, std::shared_ptr<const Connection>,
                            std::shared_ptr<curl::Transfer>>;

struct HandleTable {
  std::mutex lock;
  std::unordered_map<InternetHandle, Object> objects;
  InternetHandle last = 0;  // handles go up from 1 and are never reused
};

// Never destroyed: a worker still running at process exit may call in.
HandleTable& table() {
  static HandleTable* const instance = new HandleTable;
  return *instance;
}

InternetHandle addObject(Object object) {
  std::lock_guard<std::mutex> guard(table().lock);
  if (table().last == INT32_MAX) return 0;
  const InternetHandle handle = ++table().last;
  table().objects.emplace(handle, std::move(object));
  return handle;
}

template <class T>
std::shared_ptr<T> findObject(InternetHandle handle) {
  std::lock_guard<std::mutex> guard(table().lock);
  const auto it = table().objects.find(handle);
  if (it == table().objects.end()) return nullptr;
  const auto* found = std::get_if<std::shared_ptr<T>>(&it->second);
  return found == nullptr ? nullptr : *found;
}

bool isSpace(char c) { return c == ' ' || c == '\t'; }

// The proxy for plain HTTP out of a list such as "http=host:80 ftp=x:21";
// an entry without "scheme=" serves every scheme. Spaces right after "="
// are skipped. Empty when the list names none.
std::string httpProxyFrom(std::string_view list) {
  std::string fallback;
  size_t pos = 0;
  while (pos < list.size()) {
    while (pos < list.size() && isSpace(list[pos])) ++pos;
    size_t end = pos;
    while (end < list.size() && !isSpace(list[end])) ++end;
    std::string_view entry = list.substr(pos, end - pos);
    const size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      if (fallback.empty()) fallback = std::string(entry);
    } else if (entry.substr(0, equals) == "http") {
      std::string_view value = entry.substr(equals + 1);
      if (value.empty()) {  // "http= host:port": the value is the next word
        size_t next = end;
        while (next < list.size() && isSpace(list[next])) ++next;
        size_t nextEnd = next;
        while (nextEnd < list.size() && !isSpace(list[nextEnd])) ++nextEnd;
        value = list.substr(next, nextEnd - next);
      }
      if (value.find('=') == std::string_view::npos) return std::string(value);
    }
    pos = end;
  }
  return fallback;
}

std::string trimmed(std::string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return std::string(text);
}

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
  return out;
}

// The cookie store's own line for a cookie of host: "domain, tail match,
// path, secure, expiry, name, value" separated by tabs. Without a domain
// attribute the cookie belongs to the host alone, exactly like one that the
// host's response set, so storing it again replaces rather than doubles it.
// A domain attribute is honoured only when host lies within it. Empty when
// the cookie cannot be stored.
std::string netscapeCookieLine(std::string_view host, std::string_view name, std::string_view data) {
  if (host.empty() || name.empty()) return {};
  for (const std::string_view part : {host, name, data}) {
    if (part.find_first_of("\t\r\n") != std::string_view::npos) return {};
  }
  const size_t semicolon = data.find(';');
  const std::string value = trimmed(data.substr(0, semicolon));
  std::string domain = lowered(host), path = "/";
  bool tailMatch = false, secure = false;
  curl_off_t expires = 0;
  size_t pos = semicolon;
  while (pos != std::string_view::npos && pos < data.size()) {
    const size_t next = data.find(';', pos + 1);
    const std::string attribute = trimmed(data.substr(pos + 1, next == std::string_view::npos ? next : next - pos - 1));
    pos = next;
    const size_t equals = attribute.find('=');
    const std::string key = lowered(trimmed(attribute.substr(0, equals)));
    const std::string argument = equals == std::string::npos ? std::string() : trimmed(attribute.substr(equals + 1));
    if (key == "path" && argument.starts_with("/")) {
      path = argument;
    } else if (key == "domain" && !argument.empty()) {
      std::string wanted = lowered(argument);
      if (wanted.front() == '.') wanted.erase(0, 1);
      const std::string ownHost = lowered(host);
      if (ownHost != wanted && !ownHost.ends_with("." + wanted)) return {};
      domain = wanted;
      tailMatch = true;
    } else if (key == "expires") {
      const time_t when = curl_getdate(argument.c_str(), nullptr);
      if (when > 0) expires = when;
    } else if (key == "max-age") {
      expires = static_cast<curl_off_t>(time(nullptr)) + std::atoll(argument.c_str());
    } else if (key == "secure") {
      secure = true;
    }
  }
  return domain + "\t" + (tailMatch ? "TRUE" : "FALSE") + "\t" + path + "\t" +
         (secure ? "TRUE" : "FALSE") + "\t" + std::to_string(expires) + "\t" + std::string(name) +
         "\t" + value;
}

}  // namespace

void initInternet() { curl::initOnce(); }

InternetHandle openInternetSession(std::string_view agent, std::string_view proxyList) {
  initInternet();
  auto session = std::make_shared<Session>();
  session->agent = std::string(agent);
  session->proxy = httpProxyFrom(proxyList);
  return addObject(std::shared_ptr<const Session>(std::move(session)));
}

InternetHandle connectInternet(InternetHandle session, std::string_view host, int32_t port,
                               std::string_view userName, std::string_view password) {
  auto owner = findObject<const Session>(session);
  if (owner == nullptr) return 0;
  auto connection = std::make_shared<Connection>();
  connection->session = std::move(owner);
  connection->host = std::string(host);
  connection->port = port;
  connection->userName = std::string(userName);
  connection->password = std::string(password);
  return addObject(std::shared_ptr<const Connection>(std::move(connection)));
}

InternetHandle openHttpRequest(InternetHandle connection, std::string_view method,
                               std::string_view path, std::string_view version, uint32_t flags) {
  if (!version.empty() && version != "HTTP/1.1") return 0;
  const auto owner = findObject<const Connection>(connection);
  if (owner == nullptr) return 0;
  curl::RequestTarget target;
  target.agent = owner->session->agent;
  target.proxy = owner->session->proxy;
  target.host = owner->host;
  target.port = owner->port;
  target.userName = owner->userName;
  target.password = owner->password;
  target.method = std::string(method);
  target.path = std::string(path);
  target.cookies = (flags & kRequestNoCookies) == 0;
  return addObject(std::make_shared<curl::Transfer>(std::move(target)));
}

bool addRequestHeader(InternetHandle request, std::string_view line) {
  const auto transfer = findObject<curl::Transfer>(request);
  return transfer != nullptr && transfer->addHeader(line);
}

bool sendHttpRequest(InternetHandle request, std::string_view headerText, std::string_view body) {
  const auto transfer = findObject<curl::Transfer>(request);
  return transfer != nullptr && transfer->send(headerText, body);
}

int32_t readInternetData(InternetHandle request, char* buffer, int32_t size) {
  const auto transfer = findObject<curl::Transfer>(request);
  return transfer == nullptr ? 0 : transfer->read(buffer, size);
}

bool queryRawHeaders(InternetHandle request, char* buffer, int32_t size) {
  const auto transfer = findObject<curl::Transfer>(request);
  return transfer != nullptr && transfer->queryHeaders(buffer, size);
}

bool setInternetCookie(std::string_view url, std::string_view name, std::string_view data) {
  std::string_view host = url;
  if (host.starts_with("http://")) host.remove_prefix(7);
  host = host.substr(0, host.find_first_of("/:"));
  const std::string line = netscapeCookieLine(host, name, data);
  if (line.empty()) return false;
  const curl::Easy easy;
  if (easy.get() == nullptr) return false;
  curl_easy_setopt(easy.get(), CURLOPT_SHARE, curl::processShare());
  curl_easy_setopt(easy.get(), CURLOPT_COOKIEFILE, "");
  return curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, line.c_str()) == CURLE_OK;
}

bool closeInternetHandle(InternetHandle handle) {
  Object object;
  {
    std::lock_guard<std::mutex> guard(table().lock);
    const auto it = table().objects.find(handle);
    if (it == table().objects.end()) return false;
    object = std::move(it->second);
    table().objects.erase(it);
  }
  if (auto* transfer = std::get_if<std::shared_ptr<curl::Transfer>>(&object)) (*transfer)->abort();
  return true;
}

bool isInternetHandleOpen(InternetHandle handle) {
  std::lock_guard<std::mutex> guard(table().lock);
  return table().objects.count(handle) != 0;
}

}  // namespace platform
