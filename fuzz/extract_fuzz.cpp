// Fuzzes extractBetween in both modes against a reference written straight
// from the cutting rules, with a new copy of the rest at every step.
//
// Input: source, start marker and end marker separated by 0x00 bytes; the
// first byte's low bits choose the mode and wholeTextWhenMissing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "collect/extract_between.h"

namespace {

using text::Text;
using text::TextList;

Text afterMarker(const Text& text, int32_t at, const Text& marker) {
  return text::textRight(text, text::textLength(text) - at - text::textLength(marker) + 1);
}
Text beforeMarker(const Text& text, int32_t at) { return text::textLeft(text, at - 1); }

Text referenceSingle(const Text& source, const Text& start, const Text& end, bool whole) {
  Text rest;
  const int32_t at = start.empty() ? -1 : text::findText(source, start, 1, true);
  if (at == -1) {
    if (!whole) return {};
    rest = source;
  } else {
    rest = afterMarker(source, at, start);
  }
  const int32_t endAt = end.empty() ? -1 : text::findText(rest, end, 1, true);
  if (endAt == -1) return whole ? rest : Text();
  return beforeMarker(rest, endAt);
}

Text referenceAll(const Text& source, const Text& start, const Text& end, bool whole,
                  TextList& items) {
  items.clear();
  if (start.empty() || end.empty()) return whole ? source : Text();
  Text rest = source;
  int32_t at = text::findText(rest, start, 1, true);
  while (at != -1) {
    rest = afterMarker(rest, at, start);
    const int32_t endAt = text::findText(rest, end, 1, true);
    if (endAt != -1) {
      items.push_back(beforeMarker(rest, endAt));
      rest = afterMarker(rest, endAt, end);
      at = text::findText(rest, start, 1, true);
    } else {
      at = -1;
    }
  }
  return text::toText(static_cast<int32_t>(items.size()));
}

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool all = (data[0] & 1) != 0;
  const bool whole = (data[0] & 2) != 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string_view parts[3];
  for (int i = 0; i < 2; ++i) {
    const size_t cut = input.find('\0');
    parts[i] = input.substr(0, cut);
    input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
  }
  parts[2] = input.substr(0, input.find('\0'));
  const Text source(parts[0]), start(parts[1]), end(parts[2]);

  TextList items = {"stale"};
  const Text result = collect::extractBetween(source, start, end, all, items, whole);
  TextList expectedItems = {"stale"};
  const Text expected = all ? referenceAll(source, start, end, whole, expectedItems)
                            : (expectedItems.clear(), referenceSingle(source, start, end, whole));
  check(result == expected);
  check(items == expectedItems);

  // Every item stands in source, in order, without overlapping the last.
  size_t cursor = 0;
  for (const Text& item : items) {
    const size_t at = source.find(item, cursor);
    check(at != std::string::npos);
    cursor = at + item.size();
  }
  return 0;
}
