// Cutting and joining texts by byte counts: textLeft, textRight, textMid,
// replaceTextAt, blankText, concatText, compareText, charFromCode.
// Counts are bytes, so a cut may fall inside a two-byte character.
#include <algorithm>
#include <climits>

#include "text/text.h"

namespace text {

int32_t textLength(std::string_view text) {
  return static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
}

Text textLeft(std::string_view text, int32_t count) {
  if (count <= 0) return {};
  return Text(text.substr(0, static_cast<size_t>(count)));
}

Text textRight(std::string_view text, int32_t count) {
  if (count <= 0) return {};
  const size_t keep = std::min(text.size(), static_cast<size_t>(count));
  return Text(text.substr(text.size() - keep));
}

Text textMid(std::string_view text, int32_t start, int32_t count) {
  if (start < 1 || count <= 0 || static_cast<size_t>(start) > text.size()) return {};
  return Text(text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count)));
}

Text charFromCode(int32_t code) {
  const char byte = static_cast<char>(code & 0xFF);
  if (byte == 0) return {};
  return Text(1, byte);
}

Text replaceTextAt(std::string_view text, int32_t start, int32_t count,
                   std::string_view replacement) {
  const size_t place =
      start <= 1 ? 0 : std::min(text.size(), static_cast<size_t>(start) - 1);
  const size_t removed =
      count <= 0 ? 0 : std::min(text.size() - place, static_cast<size_t>(count));
  Text result;
  result.reserve(text.size() - removed + replacement.size());
  result.append(text.substr(0, place));
  result.append(replacement);
  result.append(text.substr(place + removed));
  return result;
}

Text blankText(int32_t count) {
  if (count < 1) return {};
  return Text(static_cast<size_t>(count), ' ');
}

Text concatText(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (std::string_view part : parts) total += part.size();
  Text result;
  result.reserve(total);
  for (std::string_view part : parts) result.append(part);
  return result;
}

int compareText(std::string_view a, std::string_view b) {
  // char_traits<char>::compare orders bytes as unsigned char.
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace text
