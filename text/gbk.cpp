// GBK <-> UTF-8 conversions; see gbk.h.
//
// gbkToUtf8Strict is one iconv call. The display pair is built for the
// whole list box (megabytes at a time): runs of ASCII are copied sixteen
// bytes at a time, other characters go through tables that were built
// with iconv (gbk_tables.h), and a byte that does not decode is carried
// as a raw code point so that nothing is ever lost on the way back.
#include "text/gbk.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "text/char_scan.h"
#include "text/gbk_tables.h"
#include "text/iconv_handle.h"

namespace text {
namespace {

using detail::GbkTables;

inline char* putUtf8(char* out, char32_t code) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code >> 18));
    *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

// Output buffer for gbkToDisplay, sized for the common case (ASCII and
// two-byte characters never need more than 3 bytes out per 2 in) and
// grown only when raw bytes (4 out per 1 in) exhaust it.
class Utf8Writer {
 public:
  explicit Utf8Writer(size_t inputSize) : out_(inputSize + inputSize / 2 + 16, '\0') {}

  void run(const char* from, size_t length) {
    reserve(length);
    std::memcpy(out_.data() + used_, from, length);
    used_ += length;
  }
  void code(char32_t c) {
    reserve(4);
    used_ = static_cast<size_t>(putUtf8(out_.data() + used_, c) - out_.data());
  }
  std::string take() {
    out_.resize(used_);
    return std::move(out_);
  }

 private:
  void reserve(size_t more) {
    if (out_.size() - used_ < more) out_.resize(std::max(out_.size() * 2, used_ + more));
  }
  std::string out_;
  size_t used_ = 0;
};

// Length of the well-formed UTF-8 sequence at s[i] and its code point, or
// 0 when the bytes there are not one (stray continuation, overlong form,
// surrogate, beyond U+10FFFF, cut short).
size_t readUtf8(const unsigned char* s, size_t i, size_t n, char32_t& code) {
  const unsigned c = s[i];
  size_t length;
  char32_t min;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2, min = 0x80, code = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3, min = 0x800, code = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4, min = 0x10000, code = c & 0x07;
  } else {
    return 0;
  }
  if (n - i < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((s[i + k] & 0xC0) != 0x80) return 0;
    code = code << 6 | (s[i + k] & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// GBK bytes of a code point outside the tables, asked of iconv (it may
// know a compatibility mapping); "?" when GBK cannot hold it.
char* putFallback(char* out, std::string_view utf8Char,
                  std::unique_ptr<detail::IconvHandle>& encoder) {
  if (!encoder) encoder = std::make_unique<detail::IconvHandle>("GBK", "UTF-8");
  char gbk[8];
  const long length = encoder->convertAll(utf8Char, gbk, sizeof gbk);
  if (length <= 0 || static_cast<size_t>(length) > utf8Char.size() ||
      std::memchr(gbk, 0, static_cast<size_t>(length)) != nullptr) {
    *out++ = '?';
    return out;
  }
  std::memcpy(out, gbk, static_cast<size_t>(length));
  return out + length;
}

}  // namespace

std::optional<std::string> gbkToUtf8Strict(std::string_view gbk) {
  if (gbk.empty()) return std::string();
  detail::IconvHandle converter("UTF-8", "GBK");
  // A GBK character of one or two bytes never needs more than 3 in UTF-8.
  std::string out(gbk.size() * 3, '\0');
  const long length = converter.convertAll(gbk, out.data(), out.size());
  if (length < 0) return std::nullopt;
  out.resize(static_cast<size_t>(length));
  return out;
}

std::string gbkToDisplay(std::string_view gbk) {
  const GbkTables& tables = detail::gbkTables();
  const auto* data = reinterpret_cast<const unsigned char*>(gbk.data());
  const size_t n = gbk.size();
  Utf8Writer out(n);
  size_t i = 0;
  while (i < n) {
    const unsigned lead = data[i];
    if (lead < 0x80) {
      const size_t high = detail::firstHighByte(data, i + 1, n);
      out.run(gbk.data() + i, high - i);
      i = high;
      continue;
    }
    if (i + 1 < n) {
      const uint16_t code = tables.pairToCode[(lead - 0x80) * 256 + data[i + 1]];
      if (code != 0) {
        out.code(code);
        i += 2;
        continue;
      }
    }
    // Not a pair GBK knows: the byte stands alone, as a character (0x80,
    // the euro sign) or as a raw byte; the next byte starts afresh.
    const uint16_t single = tables.singleToCode[lead - 0x80];
    out.code(single != 0 ? char32_t{single} : kRawByteBase + lead);
    ++i;
  }
  return out.take();
}

std::string displayToGbk(std::string_view utf8) {
  const GbkTables& tables = detail::gbkTables();
  const auto* data = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  // Every character takes at least as many bytes in UTF-8 as in GBK.
  std::string out(n, '\0');
  char* put = out.data();
  std::unique_ptr<detail::IconvHandle> encoder;
  size_t i = 0;
  while (i < n) {
    if (data[i] < 0x80) {
      const size_t high = detail::firstHighByte(data, i + 1, n);
      std::memcpy(put, utf8.data() + i, high - i);
      put += high - i;
      i = high;
      continue;
    }
    char32_t code = 0;
    const size_t length = readUtf8(data, i, n, code);
    if (length == 0) {
      *put++ = '?';
      ++i;
      continue;
    }
    const uint16_t gbk = code < 0x10000 ? tables.codeToGbk[code] : 0;
    if (code > kRawByteBase && code <= kRawByteBase + 0xFF) {
      *put++ = static_cast<char>(code - kRawByteBase);
    } else if (gbk > 0xFF) {
      *put++ = static_cast<char>(gbk >> 8);
      *put++ = static_cast<char>(gbk & 0xFF);
    } else if (gbk != 0) {
      *put++ = static_cast<char>(gbk);
    } else {
      put = putFallback(put, utf8.substr(i, length), encoder);
    }
    i += length;
  }
  out.resize(static_cast<size_t>(put - out.data()));
  return out;
}

}  // namespace text
