// A small HTTP/1.1 server on 127.0.0.1 for tests and benchmarks.
//
// Each accepted connection gets a thread that reads requests one after
// another (keep-alive) and hands each to the handler, which writes the
// answer through the HttpExchange: at once, in slow pieces, never (silent),
// or as raw bytes of any shape (chunked, NUL bytes, redirects). Every
// request is recorded with its exact bytes. The destructor (or stop())
// wakes every waiting handler, closes every connection and joins every
// thread. Public calls are thread-safe.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace testsupport {

struct HttpRequest {
  std::string raw;          // head and body exactly as received
  std::string requestLine;  // first line without CR LF
  std::string body;         // by Content-Length
  int connection = 0;       // 1-based number of the connection it came on
};

class HttpServer;

// The answering side of one request, valid during the handler call.
class HttpExchange {
 public:
  // Sends bytes; false once the client or the server has gone.
  bool write(std::string_view bytes);
  // Waits ms milliseconds; false when the server stops meanwhile.
  bool pause(int ms);
  // Says nothing until the client closes or the server stops.
  void holdSilent();
  // Closes the connection after this answer (no keep-alive).
  void closeAfter() { close_ = true; }

 private:
  friend class HttpServer;
  HttpExchange(HttpServer& server, int fd) : server_(server), fd_(fd) {}
  HttpServer& server_;
  int fd_;
  bool close_ = false;
};

class HttpServer {
 public:
  using Handler = std::function<void(const HttpRequest&, HttpExchange&)>;

  // Listens on 127.0.0.1:port (0 picks a free port). When the port cannot
  // be bound, listening() is false and nothing runs.
  explicit HttpServer(Handler handler, uint16_t port = 0);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  bool listening() const { return listenFd_ >= 0; }
  uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" + path.
  std::string url(std::string_view path = "/") const;
  // "127.0.0.1:<port>".
  std::string hostPort() const;

  std::vector<HttpRequest> requests() const;
  int connectionCount() const { return connections_; }
  void setHandler(Handler handler);

  // Idempotent; afterwards no handler runs.
  void stop();

 private:
  friend class HttpExchange;
  void acceptLoop();
  void serve(int fd, int number);
  bool waitStop(int ms);

  Handler handler_;
  int listenFd_ = -1;
  int wakePipe_[2] = {-1, -1};
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex lock_;
  std::condition_variable stopSignal_;
  std::vector<HttpRequest> requests_;
  std::set<int> openFds_;
  std::vector<std::thread> threads_;
  std::thread acceptor_;
};

// A complete answer with Content-Length; extraHeaders are lines each
// ending in CR LF.
std::string httpResponse(int status, std::string_view body, std::string_view extraHeaders = "");

// The chunked form of body in pieces of chunkSize bytes, with the header.
std::string chunkedResponse(std::string_view body, size_t chunkSize);

}  // namespace testsupport
