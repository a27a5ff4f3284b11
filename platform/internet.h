// The HTTP client: sessions, connections and requests named by numbers,
// shaped after the operating system's classic internet API.
//
// A handle is a positive 32-bit number that is never handed out twice in
// the life of the process, so a stale number can never reach a newer
// object: every call on a closed or unknown handle fails harmlessly.
// A session holds the agent text and the proxy choice, a connection the
// host, port and credentials, a request the method, path and flags; the
// transfer itself happens in sendHttpRequest and readInternetData.
//
// On the wire a request carries exactly: the request line "METHOD path
// HTTP/1.1", Host, "User-Agent: " + the agent text, the header lines given
// to sendHttpRequest in their order, the lines added with addRequestHeader,
// and for a request with a body its Content-Length (computed here; any
// Content-Length or Transfer-Encoding line of the caller is dropped, since
// framing belongs to this layer). No Accept, Expect or Accept-Encoding line
// is added; bodies are never content-decoded and nothing is cached.
// Redirects are followed (at most kMaxRedirects hops, http and https);
// chunked bodies arrive decoded. Connections to a host are kept alive and
// reused by later requests on any thread.
//
// One cookie store serves the whole process. A request without the
// kRequestNoCookies flag sends the stored cookies that match it and keeps
// the ones its response sets; with the flag it does neither.
//
// Threads: every function may be called from any thread. Calls on one
// request are meant to come from one thread at a time (they serialise);
// closeInternetHandle may come from any other thread at any moment: it
// aborts a transfer under way promptly, and the blocked call returns.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

using InternetHandle = int32_t;  // 0 = none

inline constexpr uint32_t kRequestReload = 0x80000000u;     // never from a cache
inline constexpr uint32_t kRequestNoCookies = 0x00080000u;  // no cookie store use
inline constexpr int kMaxRedirects = 5;

// Prepares the client once for the process; called by every opening
// function, and cheap after the first call. Call it early on the main
// thread before other threads start. Also makes a closed socket's SIGPIPE
// harmless for the process.
void initInternet();

// Opens a session. proxyList empty means direct access, ignoring every
// proxy setting of the environment; otherwise a list of "scheme=host:port"
// entries separated by spaces (only the "http=" entry, or an entry without
// "scheme=", is used: plain HTTP goes to that proxy). 0 on failure.
InternetHandle openInternetSession(std::string_view agent, std::string_view proxyList);

// Opens a connection to host:port under a session; empty userName or
// password means none. Nothing is sent yet. 0 when the session is not open.
InternetHandle connectInternet(InternetHandle session, std::string_view host, int32_t port,
                               std::string_view userName, std::string_view password);

// Opens a request under a connection. An empty method means GET; the method
// is sent as written. path is the object path with its query ("/a?b=1");
// version must be "HTTP/1.1" (or empty). flags: kRequestReload,
// kRequestNoCookies. 0 when the connection is not open or the version is
// another one.
InternetHandle openHttpRequest(InternetHandle connection, std::string_view method,
                               std::string_view path, std::string_view version, uint32_t flags);

// Adds one header line (with or without its CR LF) to be sent after the
// header text of sendHttpRequest. False when the request is not open or
// already sent.
bool addRequestHeader(InternetHandle request, std::string_view line);

// Sends the request with headerText (lines each ending in CR LF) and body
// (sent when not empty), and waits until the final response's header block
// has arrived or the transfer has ended. False on any failure (also when
// closed meanwhile); a request is sent at most once.
bool sendHttpRequest(InternetHandle request, std::string_view headerText, std::string_view body);

// Copies up to size bytes of the response body into buffer, waiting for
// them. Returns the count; 0 at the end of the body, on failure and after
// the handle was closed.
int32_t readInternetData(InternetHandle request, char* buffer, int32_t size);

// Copies the final response's header block (status line and header lines,
// each ending in CR LF, then the empty line) and a terminating NUL into
// buffer. When block and NUL need more than size bytes nothing is written
// and the result is false.
bool queryRawHeaders(InternetHandle request, char* buffer, int32_t size);

// Puts a cookie into the process-wide store for url ("http://host"): name
// and data (the value with its attributes, "1; path=/"; path, domain,
// expires, max-age and secure are understood). Without a domain attribute
// the cookie belongs to that host alone and replaces one of the same name
// and path. False when the url has no host, the name is empty, a part holds
// a tab or line break, or the domain attribute does not cover the host.
bool setInternetCookie(std::string_view url, std::string_view name, std::string_view data);

// Closes a handle of any kind; a transfer under way on it is aborted.
// Closing a session or connection does not close what was opened under it.
// False when the handle is not open.
bool closeInternetHandle(InternetHandle handle);

// True while the handle is open (for tests and diagnostics).
bool isInternetHandleOpen(InternetHandle handle);

}  // namespace platform
