// Character-boundary scanning: see char_scan.h.
//
// Candidates are found with a raw byte filter (the sought text's first and
// last bytes, sixteen positions at a time), then accepted only when the
// walk of characters from a known character start lands on them. The
// walk only moves forward, so a whole search costs one pass over the text.
#include "text/char_scan.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace text::detail {
namespace {

constexpr unsigned char foldByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c | 0x20) : c;
}

constexpr unsigned char otherCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  return c;
}

bool equalAt(const unsigned char* at, const unsigned char* sought, size_t m,
             bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(at, sought, m) == 0;
  for (size_t k = 0; k < m; ++k) {
    if (foldByte(at[k]) != foldByte(sought[k])) return false;
  }
  return true;
}

// First index i >= from with text[i, i+m) equal to sought (no boundary
// check), or npos.
size_t findCandidate(const unsigned char* data, size_t n,
                     const unsigned char* sought, size_t m, size_t from,
                     bool ignoreCase) {
  const unsigned char first = sought[0];
  const unsigned char last = sought[m - 1];
  const unsigned char firstOther = ignoreCase ? otherCase(first) : first;
  const unsigned char lastOther = ignoreCase ? otherCase(last) : last;
  size_t i = from;
#if defined(__SSE2__)
  const __m128i f1 = _mm_set1_epi8(static_cast<char>(first));
  const __m128i f2 = _mm_set1_epi8(static_cast<char>(firstOther));
  const __m128i l1 = _mm_set1_epi8(static_cast<char>(last));
  const __m128i l2 = _mm_set1_epi8(static_cast<char>(lastOther));
  while (i + m - 1 + 16 <= n) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i b =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + m - 1));
    const __m128i hitA = _mm_or_si128(_mm_cmpeq_epi8(a, f1), _mm_cmpeq_epi8(a, f2));
    const __m128i hitB = _mm_or_si128(_mm_cmpeq_epi8(b, l1), _mm_cmpeq_epi8(b, l2));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(hitA, hitB)));
    while (mask != 0) {
      const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
      if (equalAt(data + at, sought, m, ignoreCase)) return at;
      mask &= mask - 1;
    }
    i += 16;
  }
#endif
  for (; i + m <= n; ++i) {
    const unsigned char c = data[i];
    if ((c == first || c == firstOther) && equalAt(data + i, sought, m, ignoreCase)) {
      return i;
    }
  }
  return npos;
}

}  // namespace

size_t firstHighByte(const unsigned char* data, size_t from, size_t to) {
#if defined(__SSE2__)
  while (from + 16 <= to) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(v));
    if (mask != 0) return from + static_cast<size_t>(__builtin_ctz(mask));
    from += 16;
  }
#endif
  while (from < to && data[from] < 0x80) ++from;
  return from;
}

size_t advanceBoundary(const unsigned char* data, size_t boundary, size_t target) {
  while (boundary < target) {
    if (data[boundary] >= 0x80) {
      boundary += 2;
    } else {
      boundary = firstHighByte(data, boundary, target);
    }
  }
  return boundary;
}

size_t findAtCharStart(std::string_view text, std::string_view sought, size_t from,
                       bool ignoreCase) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  const auto* needle = reinterpret_cast<const unsigned char*>(sought.data());
  const size_t n = text.size();
  const size_t m = sought.size();
  size_t boundary = from;
  size_t pos = from;
  while (pos < n && m <= n - pos) {
    const size_t candidate = findCandidate(data, n, needle, m, pos, ignoreCase);
    if (candidate == npos) return npos;
    boundary = advanceBoundary(data, boundary, candidate);
    if (boundary == candidate) return candidate;
    pos = boundary;  // candidate was a trail byte; boundary is candidate + 1
  }
  return npos;
}

size_t countRawOccurrences(std::string_view text, std::string_view sought) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
  const auto* needle = reinterpret_cast<const unsigned char*>(sought.data());
  size_t count = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t at = findCandidate(data, text.size(), needle, sought.size(), pos, false);
    if (at == npos) break;
    ++count;
    pos = at + 1;
  }
  return count;
}

}  // namespace text::detail
