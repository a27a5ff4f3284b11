// Fuzz target for the byte-text primitives and the GBK conversions.
//
// Input layout: byte 0 holds flags (bit 0: ignoreCase), byte 1 a signed
// start position, byte 2 the sought text's length (mod 8); then the sought
// bytes, and the rest is the text searched, split and converted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/text/naive_search.h"
#include "text/gbk.h"
#include "text/text.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// Walks characters from `from`; true when `pos` is reached exactly.
bool isCharStart(std::string_view text, size_t from, size_t pos) {
  while (from < pos) from += static_cast<unsigned char>(text[from]) >= 0x80 ? 2 : 1;
  return from == pos;
}

void checkFind(std::string_view text, std::string_view sought, int32_t start,
               bool ignoreCase) {
  const int32_t found = text::findText(text, sought, start, ignoreCase);
  check(found == text::naive::findText(text, sought, start, ignoreCase));
  if (found == -1 || sought.empty()) return;
  const size_t from = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
  const auto at = static_cast<size_t>(found - 1);
  check(at >= from && at + sought.size() <= text.size());
  check(isCharStart(text, from, at));
  check(text::naive::matchesAt(text, at, sought, ignoreCase));
}

void checkSplit(std::string_view text, std::string_view separator) {
  const text::TextList pieces = text::splitText(text, separator);
  check(pieces == text::naive::splitText(text, separator));
  if (text.empty()) {
    check(pieces.empty());
    return;
  }
  std::string joined;
  for (size_t k = 0; k < pieces.size(); ++k) {
    if (k > 0) joined += separator;
    joined += pieces[k];
  }
  // A trailing separator leaves no empty last piece behind it.
  check(joined == text || joined + std::string(separator) == text);
}

void checkOthers(std::string_view text, int32_t start, int32_t count) {
  const text::Text trimmed = text::trimSpaces(text);
  check(text::trimSpaces(trimmed) == trimmed);
  check(text::removeAllSpaces(text).size() <= text.size());
  check(text::textMid(text, start, count).size() <= static_cast<size_t>(count < 0 ? 0 : count));
  const text::Text replaced = text::replaceTextAt(text, start, count, "<>");
  check(replaced.size() + (count < 0 ? 0 : static_cast<size_t>(count)) >= text.size() + 2);
  (void)text::textToNumber(text);
  check(text::toLowerCase(text::toUpperCase(text)) == text::toLowerCase(text));
  check(text::bytesToText(text).find('\0') == std::string::npos);
}

void checkGbk(std::string_view bytes) {
  check(text::displayToGbk(text::gbkToDisplay(bytes)) == bytes);
  (void)text::gbkToUtf8Strict(bytes);
  // Whatever the window hands back, converting it must be safe.
  const std::string gbk = text::displayToGbk(bytes);
  check(gbk.size() <= bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const bool ignoreCase = (data[0] & 1) != 0;
  const int32_t start = static_cast<int8_t>(data[1]);
  const size_t soughtLength = std::min<size_t>(data[2] % 8, size - 3);
  const std::string_view sought(reinterpret_cast<const char*>(data) + 3, soughtLength);
  const std::string_view text(reinterpret_cast<const char*>(data) + 3 + soughtLength,
                              size - 3 - soughtLength);
  checkFind(text, sought, start, ignoreCase);
  checkSplit(text, sought);
  checkSplit(text, text::kCrLf);
  checkOthers(text, start, static_cast<int8_t>(data[0]) >> 1);
  checkGbk(text);
  return 0;
}
