// Speed of the text primitives on the sizes the program meets: a 1 MB
// result page searched for markers, and the whole keyword list (1,000,000
// lines, about 12 MB of GBK) split at CR LF and converted for the window.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "text/gbk.h"
#include "text/text.h"

namespace {

// A GBK character from the common hanzi block (lead 0xB0..0xD7).
void appendHanzi(std::string& out, std::mt19937& rng) {
  out += static_cast<char>(0xB0 + rng() % 40);
  out += static_cast<char>(0xA1 + rng() % 94);
}

// About 1 MB of HTML-like text, mostly ASCII with a few Chinese words.
const std::string& page() {
  static const std::string text = [] {
    std::mt19937 rng(1);
    std::string s;
    while (s.size() < (1u << 20)) {
      s += "<div class=\"result c-container\"><a href=\"http://www.example.com/link?url=";
      for (int k = 0; k < 20; ++k) s += static_cast<char>('a' + rng() % 26);
      s += "\" target=\"_blank\">";
      for (int k = 0; k < 6; ++k) appendHanzi(s, rng);
      s += "</a></div>\n";
    }
    return s;
  }();
  return text;
}

// 1,000,000 lines of five hanzi each, CR LF after every line.
const std::string& keywordList() {
  static const std::string text = [] {
    std::mt19937 rng(2);
    std::string s;
    s.reserve(12'000'000);
    for (int line = 0; line < 1'000'000; ++line) {
      for (int k = 0; k < 5; ++k) appendHanzi(s, rng);
      s += "\r\n";
    }
    return s;
  }();
  return text;
}

void BM_FindTextAbsentMarker(benchmark::State& state) {
  const std::string& text = page();
  for (auto _ : state) {
    benchmark::DoNotOptimize(text::findText(text, "<th class=\"rs-title\">"));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindTextAbsentMarker);

void BM_FindTextIgnoreCaseAbsent(benchmark::State& state) {
  const std::string& text = page();
  for (auto _ : state) {
    benchmark::DoNotOptimize(text::findText(text, "Set-Cookie: BAIDUID", 1, true));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindTextIgnoreCaseAbsent);

void BM_SplitKeywordList(benchmark::State& state) {
  const std::string& text = keywordList();
  for (auto _ : state) {
    text::TextList lines = text::splitText(text, text::kCrLf);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SplitKeywordList)->Unit(benchmark::kMillisecond);

void BM_GbkToDisplay(benchmark::State& state) {
  const std::string& text = keywordList();
  for (auto _ : state) benchmark::DoNotOptimize(text::gbkToDisplay(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_GbkToDisplay)->Unit(benchmark::kMillisecond);

void BM_DisplayToGbk(benchmark::State& state) {
  const std::string shown = text::gbkToDisplay(keywordList());
  for (auto _ : state) benchmark::DoNotOptimize(text::displayToGbk(shown));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * shown.size()));
}
BENCHMARK(BM_DisplayToGbk)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
