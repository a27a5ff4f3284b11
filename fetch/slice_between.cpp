#include "fetch/slice_between.h"

namespace fetch {

using text::findText;
using text::textLength;

text::Text sliceBetween(std::string_view source, std::string_view startMarker,
                        std::string_view endMarker) {
  if (endMarker.empty()) {
    const int32_t at = findText(source, startMarker);
    if (at == -1) return {};
    return text::textRight(source, textLength(source) - (at - 1) - textLength(startMarker));
  }
  if (startMarker.empty()) {
    const int32_t at = findText(source, endMarker);
    if (at == -1) return {};
    return text::textLeft(source, at - 1);
  }
  const int32_t at = findText(source, startMarker);
  if (at == -1) return {};
  const text::Text rest =
      text::textRight(source, textLength(source) - (at - 1) - textLength(startMarker));
  const int32_t end = findText(rest, endMarker);
  if (end == -1 || end == 1) return {};
  return text::textMid(rest, 1, end - 1);
}

}  // namespace fetch
