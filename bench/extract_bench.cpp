// Speed of marker extraction on large pages.
//
// A page of N kilobytes holds N*10 anchors (one per ~100 bytes) with GBK
// keywords between "\">" and "</a>", the shape of the related-search block.
// BM_ScanOnce is one case-insensitive search through the whole page for a
// marker that is not there: the floor that extraction should stay near.
#include <benchmark/benchmark.h>

#include <string>

#include "collect/extract_between.h"

namespace {

std::string makePage(int kilobytes) {
  std::string page;
  page.reserve(static_cast<size_t>(kilobytes) * 1024 + 256);
  const std::string filler(60, 'x');
  for (int i = 0; page.size() < static_cast<size_t>(kilobytes) * 1024; ++i) {
    page += "<th><a href=\"/s?wd=";
    page += std::to_string(i);
    page += "\">\xBB\xFA\xD0\xB5";  // 机械
    page += std::to_string(i);
    page += "</a></th>";
    page += filler;
    page += "\r\n";
  }
  return page;
}

void BM_ScanOnce(benchmark::State& state) {
  const std::string page = makePage(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(text::findText(page, "</table>", 1, true));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ScanOnce)->Arg(1024)->Arg(10 * 1024)->Unit(benchmark::kMillisecond);

void BM_ExtractAll(benchmark::State& state) {
  const std::string page = makePage(static_cast<int>(state.range(0)));
  text::TextList items;
  for (auto _ : state) {
    benchmark::DoNotOptimize(collect::extractBetween(page, "\">", "</a>", true, items));
  }
  state.counters["items"] = static_cast<double>(items.size());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ExtractAll)->Arg(1024)->Arg(10 * 1024)->Unit(benchmark::kMillisecond);

void BM_ExtractSingleBlock(benchmark::State& state) {
  std::string page = makePage(static_cast<int>(state.range(0)));
  page += "<div>\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>block</th></tr></table></div>";
  text::TextList items;
  for (auto _ : state) {
    benchmark::DoNotOptimize(collect::extractBetween(
        page, "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>", "</th></tr></table></div>", false,
        items));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ExtractSingleBlock)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
