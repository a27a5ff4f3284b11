// extractBetween: single and all-occurrences modes over views of source.
#include "collect/extract_between.h"

#include <cstddef>

#include "app/shell.h"

namespace collect {
namespace {

constexpr size_t kNotFound = std::string_view::npos;

// Offset, inside source, of the first occurrence of marker in the rest of
// source that begins at offset `from`, searched as if that rest were a text
// of its own (so `from` counts as a character start); kNotFound if none.
// REQUIRES: marker is not empty.
size_t findMarker(std::string_view source, size_t from, std::string_view marker) {
  if (from >= source.size()) return kNotFound;
  const int32_t at = text::findText(source.substr(from), marker, 1, true);
  return at < 1 ? kNotFound : from + static_cast<size_t>(at) - 1;
}

text::Text extractSingle(std::string_view source, std::string_view startMarker,
                         std::string_view endMarker, bool wholeTextWhenMissing) {
  size_t restFrom = 0;
  const size_t start = startMarker.empty() ? kNotFound : findMarker(source, 0, startMarker);
  if (start != kNotFound) {
    restFrom = start + startMarker.size();
  } else if (!wholeTextWhenMissing) {
    return {};
  }
  const std::string_view rest = source.substr(restFrom);
  const size_t end = endMarker.empty() ? kNotFound : findMarker(rest, 0, endMarker);
  if (end == kNotFound) return wholeTextWhenMissing ? text::Text(rest) : text::Text();
  return text::Text(rest.substr(0, end));
}

void extractAll(std::string_view source, std::string_view startMarker,
                std::string_view endMarker, text::TextList& items) {
  size_t start = findMarker(source, 0, startMarker);
  while (start != kNotFound) {
    const size_t entryFrom = start + startMarker.size();
    const size_t end = findMarker(source, entryFrom, endMarker);
    if (end == kNotFound) {
      start = kNotFound;  // no later start marker can have an end marker
    } else {
      items.emplace_back(source.substr(entryFrom, end - entryFrom));
      start = findMarker(source, end + endMarker.size(), startMarker);
    }
    app::processPendingEvents();
  }
}

}  // namespace

text::Text extractBetween(std::string_view source, std::string_view startMarker,
                          std::string_view endMarker, bool allOccurrences,
                          text::TextList& items, bool wholeTextWhenMissing) {
  items.clear();
  if (!allOccurrences) {
    return extractSingle(source, startMarker, endMarker, wholeTextWhenMissing);
  }
  if (startMarker.empty() || endMarker.empty()) {
    return wholeTextWhenMissing ? text::Text(source) : text::Text();
  }
  extractAll(source, startMarker, endMarker, items);
  return text::toText(static_cast<int32_t>(items.size()));
}

}  // namespace collect
