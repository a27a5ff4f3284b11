// A loopback stand-in of the search engine's two services, for tests and
// benchmarks of the keyword collection.
//
//   GET /s?wd=<%XX GBK bytes>    a result page; with related searches set
//                                for the keyword, it holds the related-search
//                                table with one link per keyword.
//   GET /su?wd=<%XX UTF-8 bytes> a suggestion answer
//                                window.baidu.sug({q:"..",p:false,s:[..]});
//
// Answers are GBK, keyed by the keyword as GBK bytes (the suggestion
// query's UTF-8 is converted back). A keyword with nothing set gets a page
// without the table and an empty suggestion list, unless default lists
// are set. Any answer can be
// replaced by a raw reply: an error status, a body with NUL bytes, or
// silence until the client goes away. Every request is recorded. Public
// calls are thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/http_server.h"

namespace testsupport {

enum class SearchService { Related, Suggestion, Other };

struct ServiceRequest {
  SearchService service = SearchService::Other;
  std::string target;  // the request target as sent, e.g. "/s?wd=%BB%FA"
  std::string wd;      // the wd value percent-decoded (GBK or UTF-8 bytes)
  std::string keyword;  // wd as GBK
  std::string host;     // the Host header's value
};

struct ServiceReply {
  int status = 200;
  std::string body;
  bool silent = false;  // answer nothing at all
  int delayMs = 0;      // wait this long before answering
};

// The result page holding the related-search table with these link texts
// (GBK); a page with the table and no link when items is empty.
std::string relatedSearchPage(const std::vector<std::string>& items);
// A result page without the related-search table.
std::string pageWithoutRelatedSearches();
// The suggestion answer for q listing items (GBK).
std::string suggestionAnswer(std::string_view q, const std::vector<std::string>& items);
// The bytes of s percent-decoded ("%BB%FA" -> BB FA; other bytes as they are).
std::string percentDecode(std::string_view s);

class SearchServices {
 public:
  // Listens on 127.0.0.1:port (0 picks a free port).
  explicit SearchServices(uint16_t port = 0);
  ~SearchServices();
  SearchServices(const SearchServices&) = delete;
  SearchServices& operator=(const SearchServices&) = delete;

  bool listening() const { return server_->listening(); }
  uint16_t port() const { return server_->port(); }
  // "http://127.0.0.1:<port>/s?wd=" and "http://127.0.0.1:<port>/su?wd=".
  std::string relatedSearchPrefix() const;
  std::string suggestionPrefix() const;

  // The keywords each service lists for keyword (GBK).
  void setRelated(const std::string& keyword, std::vector<std::string> items);
  void setSuggestions(const std::string& keyword, std::vector<std::string> items);
  // The keywords listed for every keyword with nothing set of its own.
  void setDefaultRelated(std::vector<std::string> items);
  void setDefaultSuggestions(std::vector<std::string> items);
  // A raw reply in place of the listed answer.
  void setRelatedReply(const std::string& keyword, ServiceReply reply);
  void setSuggestionReply(const std::string& keyword, ServiceReply reply);

  // Off: requests are only counted (for long benchmark runs).
  void setRecordRequests(bool record);
  std::vector<ServiceRequest> requests() const;
  size_t requestCount() const;
  // Stops answering; silent answers are released.
  void stop() { server_->stop(); }

 private:
  void answer(const HttpRequest& request, HttpExchange& exchange);
  ServiceReply replyFor(const ServiceRequest& request) const;

  mutable std::mutex lock_;
  std::map<std::string, ServiceReply> related_;
  std::map<std::string, ServiceReply> suggestions_;
  std::vector<std::string> defaultRelated_;
  std::vector<std::string> defaultSuggestions_;
  std::vector<ServiceRequest> requests_;
  size_t requestCount_ = 0;
  bool record_ = true;
  std::unique_ptr<HttpServer> server_;
};

}  // namespace testsupport
