// findText and splitText: searches that match only where a character
// begins (never on the trail byte of a two-byte character).
#include <climits>

#include "text/char_scan.h"
#include "text/text.h"

namespace text {

int32_t findText(std::string_view text, std::string_view sought, int32_t start,
                 bool ignoreCase) {
  const size_t from = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
  if (from >= text.size()) return -1;
  // An empty sought text is found at the very beginning, whatever start.
  if (sought.empty()) return 1;
  const size_t at = detail::findAtCharStart(text, sought, from, ignoreCase);
  if (at == detail::npos || at >= static_cast<size_t>(INT32_MAX)) return -1;
  return static_cast<int32_t>(at + 1);
}

TextList splitText(std::string_view text, std::string_view separator) {
  TextList pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  // Sized up front: the list box's text can hold a million lines, and
  // growing a vector of that many strings step by step costs more than
  // the split itself.
  pieces.reserve(detail::countRawOccurrences(text, separator) + 1);
  size_t from = 0;
  for (;;) {
    const size_t at = detail::findAtCharStart(text, separator, from, false);
    if (at == detail::npos) break;
    pieces.emplace_back(text.substr(from, at - from));
    from = at + separator.size();
  }
  if (from < text.size()) pieces.emplace_back(text.substr(from));
  return pieces;
}

}  // namespace text
