// Straightforward reference versions of findText and splitText, written
// step by step from their definitions (one character at a time, compare at
// each character start). Slow on purpose: the fast versions are checked
// against these in tests and in the fuzz target.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/text.h"

namespace text::naive {

inline unsigned char fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

inline bool matchesAt(std::string_view text, size_t pos, std::string_view sought,
                      bool ignoreCase) {
  for (size_t k = 0; k < sought.size(); ++k) {
    const auto a = static_cast<unsigned char>(text[pos + k]);
    const auto b = static_cast<unsigned char>(sought[k]);
    if (ignoreCase ? fold(a) != fold(b) : a != b) return false;
  }
  return true;
}

inline int32_t findText(std::string_view text, std::string_view sought,
                        int32_t start = 1, bool ignoreCase = false) {
  int64_t pos = start <= 1 ? 1 : start;  // 1-based
  const auto n = static_cast<int64_t>(text.size());
  if (pos > n) return -1;
  if (sought.empty()) return n > 0 ? 1 : -1;
  const auto m = static_cast<int64_t>(sought.size());
  while (n - pos + 1 >= m) {
    if (matchesAt(text, static_cast<size_t>(pos - 1), sought, ignoreCase)) {
      return static_cast<int32_t>(pos);
    }
    pos += static_cast<unsigned char>(text[pos - 1]) >= 0x80 ? 2 : 1;
  }
  return -1;
}

inline TextList splitText(std::string_view text, std::string_view separator) {
  TextList pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) return {Text(text)};
  size_t pieceStart = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    if (text.size() - pos >= separator.size() && matchesAt(text, pos, separator, false)) {
      pieces.emplace_back(text.substr(pieceStart, pos - pieceStart));
      pos += separator.size();
      pieceStart = pos;
      continue;
    }
    pos += static_cast<unsigned char>(text[pos]) >= 0x80 ? 2 : 1;
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

}  // namespace text::naive
