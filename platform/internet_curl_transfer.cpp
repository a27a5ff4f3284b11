#include "platform/internet_curl_transfer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/internet.h"

namespace platform::curl {
namespace {

// A header block beyond this size is kept no further: it can never be
// queried (the query buffer is far smaller), and a hostile server must not
// grow it without bound.
constexpr size_t kMaxHeaderBlock = 64 * 1024;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

// Host names only: a host part such as "host?x=1" must not be re-read by
// the URL parser as a host with a query.
bool validHost(std::string_view host) {
  if (host.empty()) return false;
  return std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_';
  });
}

// Bytes that cannot stand in a request line (controls, space, DEL and
// every byte above 0x7F, so GBK too) are percent-encoded in upper-case hex;
// the URL parser would otherwise encode the high ones in lower case.
std::string requestPath(std::string_view path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  if (out.empty() || out.front() != '/') out.insert(out.begin(), '/');
  return out;
}

// Lines that decide the message framing, which belongs to this layer.
bool framingLine(std::string_view line) {
  return startsWithNoCase(line, "content-length:") || startsWithNoCase(line, "transfer-encoding:");
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return out;
}

}  // namespace

Transfer::Transfer(RequestTarget target)
    : target_(std::move(target)), handles_(takeTransferHandles(target_.cookies)) {}

Transfer::~Transfer() {
  membership_.reset();  // the easy handle leaves the multi handle first
  returnTransferHandles(std::move(handles_));
}

bool Transfer::addHeader(std::string_view line) {
  std::lock_guard<std::mutex> guard(callLock_);
  if (sent_ || aborted_) return false;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (!line.empty()) addedLines_.emplace_back(line);
  return true;
}

size_t Transfer::onBody(char* data, size_t size, size_t count, void* self) {
  auto* transfer = static_cast<Transfer*>(self);
  if (transfer->aborted_) return CURL_WRITEFUNC_ERROR;
  transfer->pending_.append(data, size * count);
  return size * count;
}

size_t Transfer::onHeader(char* data, size_t size, size_t count, void* self) {
  static_cast<Transfer*>(self)->takeHeaderLine(std::string_view(data, size * count));
  return size * count;
}

// Keeps the latest response's block: every hop of a redirect and every
// interim 1xx answer starts a new one with its status line.
void Transfer::takeHeaderLine(std::string_view line) {
  if (line.starts_with("HTTP/")) {
    headerBlock_.clear();
    headerOverflow_ = false;
    sawLocation_ = false;
    finalHeaders_ = false;
    const size_t space = line.find(' ');
    status_ = space == std::string_view::npos ? 0 : std::atoi(std::string(line.substr(space + 1, 3)).c_str());
  }
  if (startsWithNoCase(line, "location:")) sawLocation_ = true;
  if (headerBlock_.size() + line.size() > kMaxHeaderBlock) {
    headerOverflow_ = true;
  } else {
    headerBlock_.append(line);
  }
  if (line == "\r\n" || line == "\n") {
    const bool redirect = status_ == 301 || status_ == 302 || status_ == 303 ||
                          status_ == 307 || status_ == 308;
    finalHeaders_ = status_ >= 200 && !(redirect && sawLocation_);
  }
}

bool Transfer::configure(std::string_view headerText, std::string_view body) {
  CURL* easy = handles_->easy.get();
  if (easy == nullptr || handles_->multi.get() == nullptr) return false;
  if (!validHost(target_.host) || target_.port <= 0 || target_.port > 65535) return false;
  const std::string url = "http://" + target_.host + ":" + std::to_string(target_.port) +
                          requestPath(target_.path);

  // The header list: the caller's lines in order, the added lines, then
  // empty entries that stop libcurl from adding lines of its own.
  size_t start = 0;
  while (start < headerText.size()) {
    size_t end = headerText.find("\r\n", start);
    if (end == std::string_view::npos) end = headerText.size();
    const std::string_view line = headerText.substr(start, end - start);
    if (!line.empty() && !framingLine(line) && !headerList_.append(line)) return false;
    start = end + 2;
  }
  for (const std::string& line : addedLines_) {
    if (!framingLine(line) && !headerList_.append(line)) return false;
  }
  for (const char* blocker : {"Accept:", "Expect:", "Content-Type:", "Proxy-Connection:"}) {
    if (!headerList_.append(blocker)) return false;
  }

  bool ok = curl_easy_setopt(easy, CURLOPT_URL, url.c_str()) == CURLE_OK;
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);  // no alarm() from worker threads
  curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);  // never wait for a stuck resolver
  curl_easy_setopt(easy, CURLOPT_SHARE, processShare());
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  if (!target_.agent.empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, target_.agent.c_str());
  curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList_.get());
  // An empty proxy turns off the environment's proxy variables; with a
  // proxy, no_proxy must not send the request around it.
  curl_easy_setopt(easy, CURLOPT_PROXY, target_.proxy.c_str());
  if (!target_.proxy.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
  }
  if (!target_.userName.empty()) curl_easy_setopt(easy, CURLOPT_USERNAME, target_.userName.c_str());
  if (!target_.password.empty()) curl_easy_setopt(easy, CURLOPT_PASSWORD, target_.password.c_str());
  // Without a cookie file the cookie engine stays off for this handle.
  if (target_.cookies) curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);

  const std::string method = target_.method.empty() ? std::string("GET") : target_.method;
  const std::string canonical = upper(method);
  if (!body.empty()) {
    ok = ok && curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                                static_cast<curl_off_t>(body.size())) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, std::string(body).c_str()) == CURLE_OK;
  } else if (canonical == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
  } else {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
  }
  const bool builtIn = (canonical == "GET" && body.empty()) || (canonical == "POST" && !body.empty()) ||
                       (canonical == "HEAD" && body.empty());
  if (!builtIn || method != canonical) curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
  return ok;
}

template <class Ready>
void Transfer::driveUntil(Ready ready) {
  driving_ = true;  // before aborted_ is read: see abort()
  while (!done_ && !aborted_ && !ready()) {
    int running = 0;
    if (curl_multi_perform(handles_->multi.get(), &running) != CURLM_OK) {
      done_ = failed_ = true;
      break;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(handles_->multi.get(), &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      done_ = true;
      failed_ = message->data.result != CURLE_OK;
    }
    if (done_ || aborted_ || ready()) break;
    curl_multi_poll(handles_->multi.get(), nullptr, 0, 1000, nullptr);
  }
  driving_ = false;
}

bool Transfer::send(std::string_view headerText, std::string_view body) {
  std::lock_guard<std::mutex> guard(callLock_);
  if (sent_ || aborted_) return false;
  sent_ = true;
  if (!configure(headerText, body)) {
    done_ = failed_ = true;
    return false;
  }
  membership_ = std::make_unique<MultiMembership>(handles_->multi.get(), handles_->easy.get());
  if (!membership_->added()) {
    done_ = failed_ = true;
    return false;
  }
  driveUntil([this] { return finalHeaders_ || bodyBytesWaiting(); });
  return !aborted_ && !failed_;
}

int32_t Transfer::read(char* buffer, int32_t size) {
  std::lock_guard<std::mutex> guard(callLock_);
  if (!sent_ || aborted_ || buffer == nullptr || size <= 0) return 0;
  if (!bodyBytesWaiting()) {
    pending_.clear();
    pendingPos_ = 0;
    driveUntil([this] { return bodyBytesWaiting(); });
  }
  if (aborted_) return 0;
  const size_t count = std::min(static_cast<size_t>(size), pending_.size() - pendingPos_);
  std::memcpy(buffer, pending_.data() + pendingPos_, count);
  pendingPos_ += count;
  return static_cast<int32_t>(count);
}

bool Transfer::queryHeaders(char* buffer, int32_t size) {
  std::lock_guard<std::mutex> guard(callLock_);
  if (aborted_ || buffer == nullptr || size <= 0 || headerBlock_.empty() || headerOverflow_) return false;
  if (headerBlock_.size() + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(buffer, headerBlock_.data(), headerBlock_.size());
  buffer[headerBlock_.size()] = '\0';
  return true;
}

// Only a call inside driveUntil can be blocked in curl_multi_poll, so only
// then is the wake-up sent: most handles are closed after their transfer
// has ended, and the wake-up (a write to the multi handle's socket pair,
// drained by the next poll) was a system call per fetch for nothing.
// Both flags are sequentially consistent: either the driving call sees
// aborted_ before it polls, or this sees driving_ and wakes it.
void Transfer::abort() {
  aborted_ = true;
  if (driving_ && handles_->multi.get() != nullptr) curl_multi_wakeup(handles_->multi.get());
}

}  // namespace platform::curl
