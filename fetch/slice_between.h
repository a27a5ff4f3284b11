// Cuts the bytes between two markers out of a text; used on response
// header lines to pick out cookie pairs. Pure, callable from any thread.
#pragma once

#include <string_view>

#include "text/text.h"

namespace fetch {

// All searches use exact case, from the first byte. With endMarker empty:
// everything after startMarker. With startMarker empty: everything before
// endMarker. Otherwise: the bytes between startMarker and the first
// endMarker behind it. Empty when a marker is missing, and when endMarker
// follows startMarker directly.
// sliceBetween("Set-Cookie: a=1; path=/", "Set-Cookie:", ";") == " a=1"
text::Text sliceBetween(std::string_view source, std::string_view startMarker,
                        std::string_view endMarker);

}  // namespace fetch
