// trimSpaces and removeAllSpaces. A space is the ASCII space 0x20 or the
// full-width space 0xA1 0xA1, recognised only where a character begins;
// tab, CR and LF are not spaces.
#include "text/text.h"

namespace text {
namespace {

// Byte length of the space character at i, or 0 when none begins there.
size_t spaceAt(std::string_view text, size_t i) {
  if (text[i] == ' ') return 1;
  if (text.substr(i, 2) == kFullWidthSpace) return 2;
  return 0;
}

size_t charLength(std::string_view text, size_t i) {
  return (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

}  // namespace

Text trimSpaces(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const size_t space = spaceAt(text, i);
    if (space == 0) break;
    i += space;
  }
  const size_t begin = i;
  size_t end = i;  // end of the last character that is not a space
  while (i < text.size()) {
    const size_t space = spaceAt(text, i);
    i += space != 0 ? space : charLength(text, i);
    if (space == 0) end = i;
  }
  return Text(text.substr(begin, end - begin));
}

Text removeAllSpaces(std::string_view text) {
  Text result;
  result.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t space = spaceAt(text, i);
    if (space != 0) {
      i += space;
      continue;
    }
    const size_t length = charLength(text, i);
    result.append(text.substr(i, length));
    i += length;
  }
  return result;
}

}  // namespace text
