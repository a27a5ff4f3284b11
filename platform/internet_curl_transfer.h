// One HTTP request of the internet layer and its libcurl transfer.
//
// The transfer runs on a multi handle of its own, driven only inside send
// and read on the calling thread; abort() from any other thread wakes the
// blocked call (curl_multi_wakeup), which then returns at once. The body is
// handed out as it arrives: a read drives the transfer only when the bytes
// received so far are used up, so a large body is never held here whole.
// Internal to platform/internet_curl*.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/internet_curl_resources.h"

namespace platform::curl {

// Everything a request inherits from its session and connection.
struct RequestTarget {
  std::string agent;
  std::string proxy;  // host:port of the HTTP proxy; empty = direct
  std::string host;
  int32_t port = 80;
  std::string userName;  // empty = none
  std::string password;  // empty = none
  std::string method;    // empty = GET; sent as written
  std::string path;      // object path with query
  bool cookies = true;   // use the process cookie store
};

class Transfer {
 public:
  explicit Transfer(RequestTarget target);
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // See addRequestHeader, sendHttpRequest, readInternetData, queryRawHeaders.
  bool addHeader(std::string_view line);
  bool send(std::string_view headerText, std::string_view body);
  int32_t read(char* buffer, int32_t size);
  bool queryHeaders(char* buffer, int32_t size);

  // Any thread: ends the transfer; the call under way returns promptly and
  // every later call fails.
  void abort();

 private:
  static size_t onBody(char* data, size_t size, size_t count, void* self);
  static size_t onHeader(char* data, size_t size, size_t count, void* self);
  void takeHeaderLine(std::string_view line);
  bool configure(std::string_view headerText, std::string_view body);
  bool bodyBytesWaiting() const { return pendingPos_ < pending_.size(); }
  template <class Ready>
  void driveUntil(Ready ready);

  RequestTarget target_;
  std::mutex callLock_;  // one call at a time
  std::atomic<bool> aborted_{false};
  std::atomic<bool> driving_{false};  // a call is inside driveUntil
  std::unique_ptr<TransferHandles> handles_;  // set for the whole life
  Slist headerList_;
  std::unique_ptr<MultiMembership> membership_;  // ends before handles_ go back
  std::vector<std::string> addedLines_;
  std::string pending_;  // body bytes received and not yet read
  size_t pendingPos_ = 0;
  std::string headerBlock_;  // the latest response's header block
  bool headerOverflow_ = false;
  int status_ = 0;
  bool sawLocation_ = false;
  bool finalHeaders_ = false;
  bool sent_ = false;
  bool done_ = false;
  bool failed_ = false;
};

}  // namespace platform::curl
