// Speed of the list commands on a 1,000,000-line list (about 12 MB of GBK,
// every line present twice): the de-duplication core against a split-and-
// copy version and against awk over the same file, and the whole commands
// on the real window (message boxes and dialog answered by a script).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/main_window.h"
#include "app/shell.h"
#include "listcmd/deduplicate.h"
#include "listcmd/list_commands.h"
#include "platform/files.h"
#include "tests/listcmd/modal_script.h"
#include "tests/support/qt_app.h"
#include "text/text.h"

namespace {

constexpr int kLines = 1000000;

// Five GBK characters per line (10 bytes + CR LF): 500,000 distinct lines,
// each twice, in shuffled order.
const std::string& bigList() {
  static const std::string list = [] {
    std::vector<int> order(kLines);
    for (int i = 0; i < kLines; ++i) order[i] = i / 2;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::string out;
    out.reserve(static_cast<size_t>(kLines) * 12);
    for (int value : order) {
      for (int c = 0; c < 5; ++c) {
        out += static_cast<char>(0xB0 + value % 14);
        out += static_cast<char>(0xA1 + (value / 14) % 14 + c);
        value /= 14;
      }
      out += "\r\n";
    }
    return out;
  }();
  return list;
}

std::string tempDir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/vt_listcmd_bench_XXXXXX";
    return std::string(::mkdtemp(pattern));
  }();
  return dir;
}

double peakRssMb() {
  struct rusage usage;
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double childCpuMs() {
  struct rusage usage;
  ::getrusage(RUSAGE_CHILDREN, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

void BM_DeduplicateLines(benchmark::State& state) {
  const std::string& list = bigList();
  int32_t count = 0;
  for (auto _ : state) {
    listcmd::DeduplicatedList result = listcmd::deduplicateLines(list);
    count = result.count;
    benchmark::DoNotOptimize(result.text.data());
  }
  state.counters["kept"] = count;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * list.size()));
}
BENCHMARK(BM_DeduplicateLines)->Unit(benchmark::kMillisecond);

// The obvious version: copy every line out with splitText, a std::string
// set, one append per line.
void BM_DeduplicateBySplitAndStringSet(benchmark::State& state) {
  const std::string& list = bigList();
  for (auto _ : state) {
    std::unordered_set<std::string> seen;
    std::string out;
    for (const text::Text& line : text::splitText(list, text::kCrLf)) {
      if (seen.insert(line).second) out += line + "\r\n";
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_DeduplicateBySplitAndStringSet)->Unit(benchmark::kMillisecond);

// awk '!seen[$0]++' over the same list as a file, output to a file.
void BM_DeduplicateByAwk(benchmark::State& state) {
  const std::string in = tempDir() + "/awk_in.txt";
  const std::string out = tempDir() + "/awk_out.txt";
  platform::writeWholeFile(in, bigList());
  const std::string command = "awk '!seen[$0]++' '" + in + "' > '" + out + "'";
  const double childCpuBefore = childCpuMs();
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("awk failed");
  }
  // The time column counts only this process; awk's own CPU time is here.
  state.counters["awk_cpu_ms"] =
      (childCpuMs() - childCpuBefore) / static_cast<double>(state.iterations());
  const std::string result = platform::readWholeFile(out).bytes;
  state.counters["kept"] = static_cast<double>(std::count(result.begin(), result.end(), '\n'));
}
BENCHMARK(BM_DeduplicateByAwk)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Whole commands on the window -----------------------------------

app::MainWindow& window() {
  static app::MainWindow* created = [] {
    testsupport::ensureQtApp();
    auto* w = new app::MainWindow(app::WindowHandlers{});
    w->show();
    return w;
  }();
  return *created;
}

void runAnswered(testsupport::ModalScript& script, void (*command)()) {
  script.run(command);
  QApplication::processEvents();
}

// From the click to the second message box, box update included. The two
// message boxes are answered within a few milliseconds each.
void BM_DeduplicateCommand(benchmark::State& state) {
  window();
  for (auto _ : state) {
    state.PauseTiming();
    app::replaceBoxText(app::Box::KeywordList, bigList());
    testsupport::ModalScript script;
    script.ok().ok();
    state.ResumeTiming();
    runAnswered(script, listcmd::deduplicateList);
  }
  state.counters["peak_rss_MB"] = peakRssMb();
}
BENCHMARK(BM_DeduplicateCommand)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The box part alone: read, de-duplicate, empty the box, one append.
void BM_DeduplicateOnBoxWithoutMessages(benchmark::State& state) {
  window();
  for (auto _ : state) {
    state.PauseTiming();
    app::replaceBoxText(app::Box::KeywordList, bigList());
    state.ResumeTiming();
    listcmd::DeduplicatedList result =
        listcmd::deduplicateLines(app::readBoxText(app::Box::KeywordList));
    app::replaceBoxText(app::Box::KeywordList, "");
    app::appendToBox(app::Box::KeywordList, result.text);
  }
}
BENCHMARK(BM_DeduplicateOnBoxWithoutMessages)
    ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ExportCommand(benchmark::State& state) {
  window();
  app::replaceBoxText(app::Box::KeywordList, bigList());
  const std::string path = tempDir() + "/export.txt";
  for (auto _ : state) {
    state.PauseTiming();
    ::unlink(path.c_str());
    testsupport::ModalScript script;
    script.choose(path).ok();
    state.ResumeTiming();
    runAnswered(script, listcmd::exportList);
  }
  if (platform::readWholeFile(path).bytes != bigList()) state.SkipWithError("bytes differ");
}
BENCHMARK(BM_ExportCommand)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ImportCommand(benchmark::State& state) {
  window();
  const std::string path = tempDir() + "/import.txt";
  platform::writeWholeFile(path, bigList());
  for (auto _ : state) {
    state.PauseTiming();
    app::replaceBoxText(app::Box::KeywordList, "");
    testsupport::ModalScript script;
    script.choose(path);
    state.ResumeTiming();
    runAnswered(script, listcmd::importList);
  }
  if (app::readBoxText(app::Box::KeywordList) != bigList()) state.SkipWithError("text differs");
  state.counters["peak_rss_MB"] = peakRssMb();
}
BENCHMARK(BM_ImportCommand)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The file layer alone on 12 MB.
void BM_WriteWholeFile(benchmark::State& state) {
  const std::string path = tempDir() + "/write.txt";
  for (auto _ : state) platform::writeWholeFile(path, bigList());
}
BENCHMARK(BM_WriteWholeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadWholeFile(benchmark::State& state) {
  const std::string path = tempDir() + "/read.txt";
  platform::writeWholeFile(path, bigList());
  for (auto _ : state) benchmark::DoNotOptimize(platform::readWholeFile(path).bytes.data());
}
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::system(("rm -rf '" + tempDir() + "'").c_str());
  return 0;
}
