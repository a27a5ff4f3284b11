// Character-boundary scanning over GBK byte text, shared by the searches.
//
// A byte 0x80..0xFF is a lead byte and swallows the byte after it, so
// whether a position begins a character depends on everything before it.
// These helpers walk that structure fast: runs of bytes below 0x80 are
// skipped sixteen at a time, and only lead bytes are stepped one by one.
// Internal to vt_text; pure functions, callable from any thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace text::detail {

// Index of the first byte >= 0x80 in [from, to), or `to` when there is none.
size_t firstHighByte(const unsigned char* data, size_t from, size_t to);

// Walks characters from `boundary` (a character start) until reaching or
// passing `target`; returns the character start reached, which is either
// `target` (target begins a character) or target + 1 (target is a trail
// byte). REQUIRES: boundary <= target.
size_t advanceBoundary(const unsigned char* data, size_t boundary, size_t target);

// Index of the first character start at or after `from` (itself a
// character start) where `sought` occurs, or npos. With ignoreCase the
// ASCII letters are folded over every compared byte. REQUIRES: sought is
// not empty.
size_t findAtCharStart(std::string_view text, std::string_view sought,
                       size_t from, bool ignoreCase);

// Number of places where sought occurs byte for byte, character starts or
// not: an upper bound on the matches findAtCharStart can report, cheap
// enough to size a result before splitting. REQUIRES: sought not empty.
size_t countRawOccurrences(std::string_view text, std::string_view sought);

inline constexpr size_t npos = std::string_view::npos;

}  // namespace text::detail
