// Cuts a fetch URL into the host, object path and TCP port that the
// request worker needs.
//
// Positional rules over GBK text, not a general URL parser: the only
// scheme prefix known is "http://" (exact case, found wherever it stands;
// without it the host part starts at the first byte), the host part runs
// to the first "/" after its start, a port is whatever follows the first
// ":" of the host part, and the path is everything from that "/" on, query
// included. An unknown scheme is not rejected: "https://host/a" gives the
// host "https", the path "//host/a" and the port 0.
//
// Pure functions, callable from any thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/text.h"

namespace fetch {

// The host part in lower case (ASCII letters only); with keepPort false it
// is cut before its first ":". "http://Host:8080/a" gives "host", or
// "host:8080" with keepPort.
text::Text urlHost(std::string_view url, bool keepPort = false);

// From the first "/" at or after the start of the host part to the end of
// the URL, bytes and case unchanged; "/" when there is none.
// "http://host/a?b" gives "/a?b"; "http://host?x=1" gives "/".
text::Text urlPath(std::string_view url);

// The number after the first ":" of the host part, truncated toward zero;
// 80 when the host part has no ":"; 0 when no number follows the colon or
// the number does not fit a 32-bit integer.
int32_t urlPort(std::string_view url);

}  // namespace fetch
