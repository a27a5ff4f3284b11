// Sequential fetches of a 1 KB page from a loopback server: fetchPage (a
// worker thread, an exchange file and three handles per call) against a
// bare libcurl loop that reuses one easy handle, side by side in one run.
// The counter "connections" shows that fetchPage reuses its connection.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <string>

#include "fetch/fetch_page.h"
#include "platform/internet.h"
#include "tests/support/http_server.h"

namespace {

testsupport::HttpServer& server() {
  static testsupport::HttpServer instance(
      [](const testsupport::HttpRequest&, testsupport::HttpExchange& out) {
        static const std::string response = testsupport::httpResponse(200, std::string(1024, 'k'));
        out.write(response);
      });
  return instance;
}

size_t discard(char*, size_t size, size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(size * count, 'x');
  return size * count;
}

void BM_BareCurlReusedHandle(benchmark::State& state) {
  platform::initInternet();
  const std::string url = server().url("/page");
  CURL* easy = curl_easy_init();
  std::string sink;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, discard);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);
  for (auto _ : state) {
    sink.clear();
    if (curl_easy_perform(easy) != CURLE_OK || sink.size() != 1024) state.SkipWithError("fetch failed");
  }
  curl_easy_cleanup(easy);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareCurlReusedHandle)->MinTime(2.0)->UseRealTime();

void BM_FetchPage(benchmark::State& state) {
  const std::string url = server().url("/page");
  const int connectionsBefore = server().connectionCount();
  for (auto _ : state) {
    if (fetch::fetchPage(url).bytes.size() != 1024) state.SkipWithError("fetch failed");
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["connections"] = server().connectionCount() - connectionsBefore;
}
BENCHMARK(BM_FetchPage)->MinTime(2.0)->UseRealTime();

}  // namespace



BENCHMARK_MAIN();
