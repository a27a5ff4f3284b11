// Conversions between texts and numbers or truth values: textToNumber,
// toText, toHexText, bytesToText.
#include <charconv>
#include <cstdlib>
#include <locale.h>

#include "text/text.h"

namespace text {
namespace {

// The text with the full-width forms of ASCII (0xA3 0xA1..0xA3 0xFE) turned
// into their one-byte equivalents; stops at any other two-byte character,
// which can never be part of a number.
std::string asciiForms(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (!isLeadByte(c)) {
      result.push_back(static_cast<char>(c));
      continue;
    }
    const auto trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (c != 0xA3 || trail < 0xA1 || trail > 0xFE) break;
    result.push_back(static_cast<char>(trail - 0x80));
    ++i;
  }
  return result;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipDigits(const std::string& s, size_t i) {
  while (i < s.size() && isDigit(s[i])) ++i;
  return i;
}

// Parses with the "C" locale whatever the process locale is: the window
// toolkit sets the user's locale, whose decimal point may be a comma.
double parseCLocale(const std::string& number) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return strtod_l(number.c_str(), nullptr, cLocale);
}

}  // namespace

double textToNumber(std::string_view text) {
  const std::string s = asciiForms(text);
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r'))) ++i;
  const size_t begin = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const size_t intEnd = skipDigits(s, i);
  bool anyDigit = intEnd > i;
  i = intEnd;
  if (i < s.size() && s[i] == '.') {
    const size_t fracEnd = skipDigits(s, i + 1);
    anyDigit = anyDigit || fracEnd > i + 1;
    i = fracEnd;
  }
  if (!anyDigit) return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const size_t expEnd = skipDigits(s, j);
    if (expEnd > j) i = expEnd;
  }
  return parseCLocale(s.substr(begin, i - begin));
}

Text toText(int32_t value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Text(buffer, result.ptr);
}

Text toText(bool value) { return value ? "\xD5\xE6" : "\xBC\xD9"; }  // 真 / 假

Text toText(const ByteSequence& bytes) { return bytesToText(bytes.view()); }

Text bytesToText(const ByteSequence& bytes) { return bytesToText(bytes.view()); }

Text bytesToText(std::string_view bytes) {
  return Text(bytes.substr(0, bytes.find('\0')));
}

Text toHexText(int32_t value) {
  char buffer[16];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<uint32_t>(value), 16);
  Text hex(buffer, result.ptr);
  for (char& c : hex) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return hex;
}

}  // namespace text
