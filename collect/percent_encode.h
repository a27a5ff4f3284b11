// The query encoders of the two keyword sources: every byte of a keyword
// written as "%XX" with upper-case hexadecimal digits, letters and digits
// included, a space as %20 (never "+").
//
// Pure; any thread may call them.
#pragma once

#include <string_view>

#include "text/text.h"

namespace collect {

// The keyword's GBK bytes as they stand, each as %XX.
// Example: "\xBB\xFA\xD0\xB5" (机械) gives "%BB%FA%D0%B5"; "a b" gives "%61%20%62".
text::Text percentEncodeGbk(std::string_view keyword);

// The keyword converted from GBK to UTF-8 in one piece, each byte as %XX;
// the empty text when any part of it does not convert (no partial result).
// Example: 机械 gives "%E6%9C%BA%E6%A2%B0".
text::Text percentEncodeUtf8(std::string_view keyword);

}  // namespace collect
