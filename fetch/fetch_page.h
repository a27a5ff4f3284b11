// fetchPage: the system's one way to fetch a web page, one HTTP request
// under a time limit.
//
// Each call writes its parameters into a new exchange file, runs fetchWorker
// on a worker thread of its own (an idle one left by an earlier call, or a
// new one) and waits for it, at most the time limit.
// When the limit passes first, the call closes the network handles that the
// worker has named in the file, which aborts the request, and returns the
// empty result at once; the worker is left to end by itself soon after and
// can no longer change the call's result or outputs. Every handle named in
// the file is closed before the call returns, success included.
//
// Callable from any thread; calls on different threads share nothing. With
// pumpEvents on the UI thread, window event handlers run inside the wait.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "text/text.h"

namespace fetch {

// The default and the meaning of a time limit of 0 (or below).
inline constexpr int32_t kDefaultTimeLimitSeconds = 90;

// Lets another thread stop the fetches that use it: cancel() makes the
// fetch under way return the empty result at once (its request aborted,
// its handles closed) and every later fetch with this token return it
// without sending anything. One token serves any number of fetches, one at
// a time. All members are thread-safe.
class FetchCancel {
 public:
  FetchCancel();
  ~FetchCancel();
  FetchCancel(const FetchCancel&) = delete;
  FetchCancel& operator=(const FetchCancel&) = delete;

  void cancel();
  bool cancelled() const;

  struct Shared;  // the token's state, shared with the call that uses it

 private:
  std::shared_ptr<Shared> shared_;
  friend struct FetchCancelAccess;
};

// Every parameter of fetchPage besides the URL, named as in the positional
// form; the defaults are a GET without body, cookies, proxy, credentials
// or extra headers, the 90-second limit, a plain wait, and nothing handed
// back but the body.
struct FetchOptions {
  text::Text verb;                           // empty or GET: GET; POST; other: fails
  text::Text postData;                       // body, sent with POST only
  text::Text cookies;                        // value of a Cookie line
  text::Text* returnedCookies = nullptr;     // receives "a=1; b=2" on success
  text::Text proxy;                          // host:port of an HTTP proxy
  int32_t timeLimit = 0;                     // seconds; 0 or below: 90
  bool pumpEvents = false;                   // handle window events while waiting
  text::Text headers;                        // extra lines, each ending CR LF
  text::Text userName;
  text::Text password;
  text::Text* returnedHeaders = nullptr;     // receives the raw header block
  bool storeCookies = false;                 // keep response cookies in the store
  FetchCancel* cancel = nullptr;             // optional stop from another thread
};

// The response body as received (NUL bytes and all), or the empty sequence
// on any failure, timeout or cancellation. The outputs are written only on
// success (returnedCookies then empty when no cookie was set).
text::ByteSequence fetchPage(std::string_view url, const FetchOptions& options);

// The same with the parameters in their classic order.
text::ByteSequence fetchPage(std::string_view url, std::string_view verb = {},
                             std::string_view postData = {}, std::string_view cookies = {},
                             text::Text* returnedCookies = nullptr, std::string_view proxy = {},
                             int32_t timeLimit = 0, bool pumpEvents = false,
                             std::string_view headers = {}, std::string_view userName = {},
                             std::string_view password = {}, text::Text* returnedHeaders = nullptr,
                             bool storeCookies = false);

}  // namespace fetch
