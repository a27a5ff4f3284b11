// The desktop's open action for an address (the default web browser).
// Any thread; the launch itself happens on the UI thread.
#pragma once

#include <string_view>

namespace platform {

// Hands utf8Address to the desktop's URL handler (xdg-open under X) and
// returns without waiting for it. Failure (no UI thread any more, no
// browser, no handler) is silent.
void openAddress(std::string_view utf8Address);

}  // namespace platform
