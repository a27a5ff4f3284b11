// The pure core of the de-duplicate command: text in, new text and count
// out, with no window involved. Pure; callable from any thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/text.h"

namespace listcmd {

struct DeduplicatedList {
  text::Text text;    // each kept line followed by CR LF; empty for no lines
  int32_t count = 0;  // number of kept lines
};

// The lines of list, cut at CR LF the way text::splitText cuts them (only
// where a character begins; a CR LF at the very end gives no empty last
// line), keeping the first occurrence of each line in its place and
// dropping later ones. Lines are the same only when their bytes are.
// Example: "a\r\nb\r\na\r\nA" gives "a\r\nb\r\nA\r\n" and 3.
DeduplicatedList deduplicateLines(std::string_view list);

}  // namespace listcmd
