// Conversions between GBK (code page 936) and UTF-8, through glibc iconv.
//
// This is the one place where Vantrel converts text: at the edge of the
// window (the list box holds UTF-8, the logic holds GBK) and for the
// suggestion query. Each call owns its own iconv descriptor, so any
// thread may call at any time.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace text {

// The whole of gbk converted to UTF-8 in one piece, or nullopt when any
// part does not convert (a bad pair, a lead byte at the very end).
// An empty input gives "".
std::optional<std::string> gbkToUtf8Strict(std::string_view gbk);

// GBK bytes as UTF-8 for the window. Never fails: a byte that does not
// decode as GBK is carried as the code point kRawByteBase + byte (a
// private-use code point that GBK cannot hold), so that
// displayToGbk(gbkToDisplay(x)) == x for every byte string x.
std::string gbkToDisplay(std::string_view gbk);

// UTF-8 from the window back to GBK, the way a Windows edit box hands out
// its text: a character GBK cannot hold becomes "?"; a code point
// kRawByteBase + b becomes the byte b again.
std::string displayToGbk(std::string_view utf8);

inline constexpr char32_t kRawByteBase = 0x10FF00;

}  // namespace text
