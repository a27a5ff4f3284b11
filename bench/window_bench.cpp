// The list box at the scale of a long collection run: a million short
// Chinese lines (about 12 MB of GBK). Offscreen platform, window shown.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/shell.h"
#include "platform/keyword_box.h"
#include "platform/ui_thread.h"
#include "tests/support/qt_app.h"

namespace {

constexpr int kMillionLines = 1000000;

// Short GBK lines like collected keywords: four characters, two digits, CR LF.
std::string keywordLines(int count) {
  static const char* const kWords[] = {"\xBB\xFA\xD0\xB5", "\xC5\xE4\xBC\xFE", "\xC9\xE8\xB1\xB8",
                                       "\xBC\xD3\xB9\xA4", "\xD6\xC6\xD4\xEC"};
  std::string lines;
  lines.reserve(static_cast<size_t>(count) * 12);
  for (int i = 0; i < count; ++i) {
    lines += kWords[i % 5];
    lines += kWords[(i / 5) % 5];
    lines += static_cast<char>('0' + i % 10);
    lines += static_cast<char>('0' + (i / 10) % 10);
    lines += "\r\n";
  }
  return lines;
}

double peakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

// A shown keyword box of the window's size.
std::unique_ptr<platform::KeywordBox> shownBox() {
  testsupport::ensureQtApp();
  auto box = std::make_unique<platform::KeywordBox>();
  box->resize(488, 281);
  box->show();
  QCoreApplication::processEvents();
  return box;
}

void BM_SetWholeText(benchmark::State& state) {
  auto box = shownBox();
  const std::string lines = keywordLines(kMillionLines);
  for (auto _ : state) {
    box->setGbkText(lines);
    QCoreApplication::processEvents();  // includes the repaint
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
  state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_SetWholeText)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReadWholeText(benchmark::State& state) {
  auto box = shownBox();
  const std::string lines = keywordLines(kMillionLines);
  box->setGbkText(lines);
  QCoreApplication::processEvents();
  for (auto _ : state) {
    const text::Text read = box->gbkText();
    if (read.size() != lines.size()) state.SkipWithError("read back a different length");
    benchmark::DoNotOptimize(read.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
  state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_ReadWholeText)->Unit(benchmark::kMillisecond)->Iterations(5);

// One append with scroll and repaint, at the end of a box of range(0) lines.
void BM_AppendWithScroll(benchmark::State& state) {
  auto box = shownBox();
  box->setGbkText(keywordLines(static_cast<int>(state.range(0))));
  QCoreApplication::processEvents();
  const std::string line = "\xBB\xFA\xD0\xB5\xC5\xE4\xBC\xFE\r\n";
  for (auto _ : state) {
    box->appendGbk(line);
    QCoreApplication::processEvents();
  }
  state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_AppendWithScroll)->Arg(10)->Arg(kMillionLines)->Unit(benchmark::kMicrosecond);

// 100,000 appends from a worker, each carried out by the UI thread.
void BM_AppendsFromWorker(benchmark::State& state) {
  testsupport::ensureQtApp();
  auto window = std::make_unique<app::MainWindow>(app::WindowHandlers{});
  window->show();
  QCoreApplication::processEvents();
  constexpr int kAppends = 100000;
  for (auto _ : state) {
    // A real event loop, as in the program: it sleeps while no call waits.
    QEventLoop loop;
    std::thread worker([&] {
      for (int i = 0; i < kAppends; ++i) app::appendToBox(app::Box::KeywordList, "\xBB\xFA\xD0\xB5\r\n");
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
  }
  state.SetItemsProcessed(state.iterations() * kAppends);
  window.reset();
  platform::initUiThread();
}
BENCHMARK(BM_AppendsFromWorker)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
