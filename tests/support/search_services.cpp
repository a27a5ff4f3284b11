#include "tests/support/search_services.h"

#include "text/gbk.h"

namespace testsupport {
namespace {

constexpr std::string_view kRelatedHeading = "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7";  // 相关搜索

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "GET /s?wd=x HTTP/1.1" -> "/s?wd=x".
std::string targetOf(const std::string& requestLine) {
  const size_t from = requestLine.find(' ');
  if (from == std::string::npos) return {};
  const size_t to = requestLine.find(' ', from + 1);
  return requestLine.substr(from + 1, to == std::string::npos ? std::string::npos : to - from - 1);
}

ServiceRequest classify(const std::string& target) {
  ServiceRequest request;
  request.target = target;
  const auto wdAfter = [&](std::string_view prefix) -> bool {
    if (target.rfind(prefix, 0) != 0) return false;
    request.wd = percentDecode(std::string_view(target).substr(prefix.size()));
    return true;
  };
  if (wdAfter("/s?wd=")) {
    request.service = SearchService::Related;
    request.keyword = request.wd;
  } else if (wdAfter("/su?wd=")) {
    request.service = SearchService::Suggestion;
    request.keyword = text::displayToGbk(request.wd);
  }
  return request;
}

std::string hostOf(const std::string& raw) {
  const size_t at = raw.find("\r\nHost: ");
  if (at == std::string::npos) return {};
  const size_t from = at + 8;
  return raw.substr(from, raw.find("\r\n", from) - from);
}

ServiceReply listed(std::string body) {
  ServiceReply reply;
  reply.body = std::move(body);
  return reply;
}

}  // namespace

std::string relatedSearchPage(const std::vector<std::string>& items) {
  std::string page = "<html><body><div id=\"rs\"><table><tr><th>";
  page += kRelatedHeading;
  page += "</th><th>";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) page += "</th><th>";
    page += "<a href=\"/s?wd=" + std::to_string(i + 1) + "\">" + items[i] + "</a>";
  }
  page += "</th></tr></table></div></body></html>";
  return page;
}

std::string pageWithoutRelatedSearches() {
  return "<html><body><div id=\"content\"><a href=\"/x\">not a related search</a></div></body></html>";
}

std::string suggestionAnswer(std::string_view q, const std::vector<std::string>& items) {
  std::string answer = "window.baidu.sug({q:\"" + std::string(q) + "\",p:false,s:[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) answer += ",";
    answer += "\"" + items[i] + "\"";
  }
  answer += "]});";
  return answer;
}

std::string percentDecode(std::string_view s) {
  std::string bytes;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2])));
      i += 2;
    } else {
      bytes.push_back(s[i]);
    }
  }
  return bytes;
}

SearchServices::SearchServices(uint16_t port)
    : server_(std::make_unique<HttpServer>(
          [this](const HttpRequest& request, HttpExchange& exchange) { answer(request, exchange); },
          port)) {}

SearchServices::~SearchServices() { server_->stop(); }

std::string SearchServices::relatedSearchPrefix() const { return server_->url("/s?wd="); }
std::string SearchServices::suggestionPrefix() const { return server_->url("/su?wd="); }

void SearchServices::setRelated(const std::string& keyword, std::vector<std::string> items) {
  setRelatedReply(keyword, listed(relatedSearchPage(items)));
}

void SearchServices::setSuggestions(const std::string& keyword, std::vector<std::string> items) {
  setSuggestionReply(keyword, listed(suggestionAnswer(keyword, items)));
}

void SearchServices::setDefaultRelated(std::vector<std::string> items) {
  std::lock_guard<std::mutex> guard(lock_);
  defaultRelated_ = std::move(items);
}

void SearchServices::setDefaultSuggestions(std::vector<std::string> items) {
  std::lock_guard<std::mutex> guard(lock_);
  defaultSuggestions_ = std::move(items);
}

void SearchServices::setRelatedReply(const std::string& keyword, ServiceReply reply) {
  std::lock_guard<std::mutex> guard(lock_);
  related_[keyword] = std::move(reply);
}

void SearchServices::setSuggestionReply(const std::string& keyword, ServiceReply reply) {
  std::lock_guard<std::mutex> guard(lock_);
  suggestions_[keyword] = std::move(reply);
}

std::vector<ServiceRequest> SearchServices::requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

size_t SearchServices::requestCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requestCount_;
}

void SearchServices::setRecordRequests(bool record) {
  std::lock_guard<std::mutex> guard(lock_);
  record_ = record;
}

ServiceReply SearchServices::replyFor(const ServiceRequest& request) const {
  const auto& table = request.service == SearchService::Related ? related_ : suggestions_;
  if (request.service == SearchService::Other) return ServiceReply{404, "not found", false, 0};
  const auto found = table.find(request.keyword);
  if (found != table.end()) return found->second;
  if (request.service == SearchService::Related) {
    return listed(defaultRelated_.empty() ? pageWithoutRelatedSearches()
                                          : relatedSearchPage(defaultRelated_));
  }
  return listed(suggestionAnswer(request.keyword, defaultSuggestions_));
}

void SearchServices::answer(const HttpRequest& httpRequest, HttpExchange& exchange) {
  ServiceRequest request = classify(targetOf(httpRequest.requestLine));
  request.host = hostOf(httpRequest.raw);
  ServiceReply reply;
  {
    std::lock_guard<std::mutex> guard(lock_);
    ++requestCount_;
    if (record_) requests_.push_back(request);
    reply = replyFor(request);
  }
  if (reply.silent) {
    exchange.holdSilent();
    return;
  }
  if (reply.delayMs > 0 && !exchange.pause(reply.delayMs)) return;
  exchange.write(httpResponse(reply.status, reply.body, "Content-Type: text/html; charset=gbk\r\n"));
}

}  // namespace testsupport
