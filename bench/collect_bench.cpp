// Collection against a loopback stand-in of both services that answers at
// once: the rate of a pass compared with bare sequential fetchPage calls,
// the UI thread's event-loop latency meanwhile, and the peak memory of a
// list grown to a million lines by collection.
//
// Peak RSS is per process: run the memory benchmarks one per process
// (--benchmark_filter=BM_GrowListToAMillionLines, then
// --benchmark_filter=BM_BoxHoldingAMillionLines for the box alone).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "collect/collection_run.h"
#include "collect/percent_encode.h"
#include "collect/service_addresses.h"
#include "fetch/fetch_page.h"
#include "platform/ui_thread.h"
#include "tests/support/qt_app.h"
#include "tests/support/search_services.h"

namespace {

constexpr int kPassLines = 1000;
const std::string kJixie = "\xBB\xFA\xD0\xB5";  // 机械

double peakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::vector<std::string> numbered(const std::string& stem, int count) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) items.push_back(stem + std::to_string(i));
  return items;
}

std::string lines(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += item + "\r\n";
  return text;
}

// How late a timer due every kPeriodMs fires on the UI thread.
class LatencyProbe {
 public:
  static constexpr int kPeriodMs = 5;
  LatencyProbe() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (last_ >= 0) lateNs_.push_back(std::max<qint64>(0, now - last_ - kPeriodMs * 1000000LL));
      last_ = now;
    });
    clock_.start();
    timer_.start(kPeriodMs);
  }
  double maxMs() const {
    return lateNs_.empty() ? 0 : *std::max_element(lateNs_.begin(), lateNs_.end()) / 1e6;
  }
  double countOverMs(double ms) const {
    return static_cast<double>(std::count_if(lateNs_.begin(), lateNs_.end(),
                                             [&](qint64 late) { return late > ms * 1e6; }));
  }
  double p99Ms() {
    if (lateNs_.empty()) return 0;
    std::sort(lateNs_.begin(), lateNs_.end());
    return lateNs_[lateNs_.size() * 99 / 100] / 1e6;
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = -1;
  std::vector<qint64> lateNs_;
};

// Runs the UI thread's event loop until done(); the probe's timer wakes it
// at least every few milliseconds.
template <typename Done>
void pumpUntil(Done done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

struct Stage {
  Stage() {
    testsupport::ensureQtApp();
    platform::initUiThread();
    services.setRecordRequests(false);
    collect::setServiceAddressesForTesting({services.relatedSearchPrefix(), services.suggestionPrefix()});
    app::WindowHandlers handlers;
    handlers.startCollection = collect::startCollection;
    handlers.stopCollection = collect::stopCollection;
    handlers.shuttingDown = collect::stopCollectionAtShutdown;
    window = std::make_unique<app::MainWindow>(handlers);
    window->show();
    QCoreApplication::processEvents();
  }
  ~Stage() {
    collect::stopCollection();
    window.reset();
    collect::setServiceAddressesForTesting(collect::defaultServiceAddresses());
  }
  testsupport::SearchServices services;
  std::unique_ptr<app::MainWindow> window;
};

// The floor: the two requests of each of 1,000 lines, one after the other.
void BM_SequentialFetches(benchmark::State& state) {
  testsupport::SearchServices services;
  services.setRecordRequests(false);
  services.setDefaultRelated({"a1", "a2", "a3"});
  services.setDefaultSuggestions({"b1", "b2", "b3"});
  const std::vector<std::string> keywords = numbered(kJixie, kPassLines);
  for (auto _ : state) {
    for (const std::string& keyword : keywords) {
      benchmark::DoNotOptimize(fetch::fetchPage(services.relatedSearchPrefix() + collect::percentEncodeGbk(keyword)));
      benchmark::DoNotOptimize(fetch::fetchPage(services.suggestionPrefix() + collect::percentEncodeUtf8(keyword)));
    }
  }
  state.SetItemsProcessed(state.iterations() * kPassLines);  // lines per second
}
BENCHMARK(BM_SequentialFetches)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One pass over 1,000 lines with both sources, three keywords per answer
// appended (6,000 appends), the window shown and its event loop probed.
void BM_CollectionPass(benchmark::State& state) {
  Stage stage;
  stage.services.setDefaultRelated({"a1", "a2", "a3"});
  stage.services.setDefaultSuggestions({"b1", "b2", "b3"});
  const std::string list = lines(numbered(kJixie, kPassLines));
  LatencyProbe probe;
  for (auto _ : state) {
    state.PauseTiming();
    stage.window->setBoxText(app::Box::KeywordList, list);
    QCoreApplication::processEvents();
    const size_t before = stage.services.requestCount();
    state.ResumeTiming();
    collect::startCollection();
    // The first request of the next pass shows the whole pass is done.
    pumpUntil([&] { return stage.services.requestCount() >= before + 2 * kPassLines + 1; });
    collect::stopCollection();
  }
  state.SetItemsProcessed(state.iterations() * kPassLines);  // lines per second
  state.counters["ui_latency_max_ms"] = probe.maxMs();
  state.counters["ui_latency_p99_ms"] = probe.p99Ms();
  state.counters["ui_late_over_50ms"] = probe.countOverMs(50);
}
BENCHMARK(BM_CollectionPass)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// From one seed to a million lines: every answer lists 50 keywords, so
// 20,000 answers add a million lines (three passes).
void BM_GrowListToAMillionLines(benchmark::State& state) {
  Stage stage;
  stage.services.setDefaultRelated(numbered(kJixie, 50));
  stage.services.setDefaultSuggestions(numbered("\xC9\xE8\xB1\xB8", 50));  // 设备
  LatencyProbe probe;
  size_t lineCount = 0;
  size_t textBytes = 0;
  for (auto _ : state) {
    stage.window->setBoxText(app::Box::KeywordList, kJixie + "\r\n");
    const size_t before = stage.services.requestCount();
    collect::startCollection();
    pumpUntil([&] { return stage.services.requestCount() >= before + 20001; });
    collect::stopCollection();
    const text::Text text = stage.window->boxText(app::Box::KeywordList);
    textBytes = text.size();
    lineCount = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  }
  state.counters["lines"] = static_cast<double>(lineCount);
  state.counters["text_mb"] = static_cast<double>(textBytes) / (1024.0 * 1024.0);
  state.counters["peak_rss_mb"] = peakRssMb();
  state.counters["ui_latency_max_ms"] = probe.maxMs();
  state.counters["ui_latency_p99_ms"] = probe.p99Ms();
  state.counters["ui_late_over_50ms"] = probe.countOverMs(50);
}
BENCHMARK(BM_GrowListToAMillionLines)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The reference: the shown window's box holding the same million lines,
// set at once and read once (as a pass does).
void BM_BoxHoldingAMillionLines(benchmark::State& state) {
  Stage stage;
  std::string text = kJixie + "\r\n";
  const std::string related = lines(numbered(kJixie, 50));
  const std::string suggested = lines(numbered("\xC9\xE8\xB1\xB8", 50));
  for (int answer = 0; answer < 20000; ++answer) text += answer % 2 == 0 ? related : suggested;
  for (auto _ : state) {
    stage.window->setBoxText(app::Box::KeywordList, text);
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(stage.window->boxText(app::Box::KeywordList).size());
  }
  text = std::string();
  state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_BoxHoldingAMillionLines)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
