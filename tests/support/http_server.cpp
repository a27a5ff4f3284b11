#include "tests/support/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace testsupport {
namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
  return out;
}

// Content-Length of a request head, 0 when absent.
size_t contentLength(std::string_view head) {
  const std::string lowered = lower(head);
  const size_t at = lowered.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  return std::strtoul(lowered.c_str() + at + 17, nullptr, 10);
}

const char* reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    default: return "Status";
  }
}

}  // namespace

bool HttpExchange::write(std::string_view bytes) {
  while (!bytes.empty()) {
    if (server_.stopping_) return false;
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

bool HttpExchange::pause(int ms) { return server_.waitStop(ms); }

void HttpExchange::holdSilent() {
  close_ = true;
  while (!server_.stopping_) {
    pollfd item{fd_, POLLIN, 0};
    if (::poll(&item, 1, 20) > 0) {
      char byte[256];
      if (::recv(fd_, byte, sizeof byte, 0) <= 0) return;  // client closed
    }
  }
}

HttpServer::HttpServer(Handler handler, uint16_t port) : handler_(std::move(handler)) {
  if (::pipe(wakePipe_) != 0) return;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 128) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    return;
  }
  listenFd_ = fd;
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { acceptLoop(); });
}

HttpServer::~HttpServer() {
  stop();
  for (int end : wakePipe_) {
    if (end >= 0) ::close(end);
  }
}

std::string HttpServer::url(std::string_view path) const {
  return "http://" + hostPort() + std::string(path);
}

std::string HttpServer::hostPort() const { return "127.0.0.1:" + std::to_string(port_); }

std::vector<HttpRequest> HttpServer::requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

void HttpServer::setHandler(Handler handler) {
  std::lock_guard<std::mutex> guard(lock_);
  handler_ = std::move(handler);
}

void HttpServer::stop() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (stopping_.exchange(true)) return;
    for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
  }
  stopSignal_.notify_all();
  if (wakePipe_[1] >= 0) (void)!::write(wakePipe_[1], "x", 1);
  if (acceptor_.joinable()) acceptor_.join();
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> guard(lock_);
    threads.swap(threads_);
  }
  for (auto& thread : threads) thread.join();
  if (listenFd_ >= 0) ::close(listenFd_);
}

bool HttpServer::waitStop(int ms) {
  std::unique_lock<std::mutex> guard(lock_);
  return !stopSignal_.wait_for(guard, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
}

void HttpServer::acceptLoop() {
  while (!stopping_) {
    pollfd items[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    if (::poll(items, 2, -1) < 0 && errno != EINTR) return;
    if (stopping_) return;
    if ((items[0].revents & POLLIN) == 0) continue;
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    const int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    std::lock_guard<std::mutex> guard(lock_);
    if (stopping_) {
      ::close(fd);
      return;
    }
    openFds_.insert(fd);
    const int number = ++connections_;
    threads_.emplace_back([this, fd, number] { serve(fd, number); });
  }
}

void HttpServer::serve(int fd, int number) {
  std::string buffer;
  bool open = true;
  while (open && !stopping_) {
    size_t headEnd;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
      char chunk[16384];
      const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
      if (got <= 0) {
        open = false;
        break;
      }
      buffer.append(chunk, static_cast<size_t>(got));
    }
    if (!open) break;
    const size_t total = headEnd + 4 + contentLength(std::string_view(buffer).substr(0, headEnd + 2));
    while (buffer.size() < total) {
      char chunk[16384];
      const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
      if (got <= 0) break;
      buffer.append(chunk, static_cast<size_t>(got));
    }
    HttpRequest request;
    request.raw = buffer.substr(0, std::min(total, buffer.size()));
    request.requestLine = buffer.substr(0, buffer.find("\r\n"));
    request.body = request.raw.substr(std::min(headEnd + 4, request.raw.size()));
    request.connection = number;
    buffer.erase(0, request.raw.size());
    Handler handler;
    {
      std::lock_guard<std::mutex> guard(lock_);
      requests_.push_back(request);
      handler = handler_;
    }
    HttpExchange exchange(*this, fd);
    if (handler) handler(request, exchange);
    open = !exchange.close_;
  }
  std::lock_guard<std::mutex> guard(lock_);
  openFds_.erase(fd);
  ::close(fd);
}

std::string httpResponse(int status, std::string_view body, std::string_view extraHeaders) {
  std::string out = "HTTP/1.1 " + std::to_string(status) + " " + reason(status) + "\r\n";
  out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  out.append(extraHeaders);
  out += "\r\n";
  out.append(body);
  return out;
}

std::string chunkedResponse(std::string_view body, size_t chunkSize) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  for (size_t at = 0; at < body.size(); at += chunkSize) {
    const std::string_view piece = body.substr(at, chunkSize);
    std::string size;
    for (size_t n = piece.size(); n > 0; n /= 16) size.insert(size.begin(), kHex[n % 16]);
    out += size + "\r\n";
    out.append(piece);
    out += "\r\n";
  }
  out += "0\r\n\r\n";
  return out;
}

}  // namespace testsupport
