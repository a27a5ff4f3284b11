// The request address prefixes of the two keyword sources: the one place
// where the search engine's hosts turn into addresses.
//
// In production they are "http://" + app::kWebHost + "/s?wd=" and
// "http://" + app::kSuggestionHost + "/su?wd=", and nothing changes them.
// Tests and benchmarks point both at a loopback stand-in of the services
// with setServiceAddressesForTesting. Thread-safe: a request takes a copy
// of the prefix it needs.
#pragma once

#include "text/text.h"

namespace collect {

struct ServiceAddresses {
  text::Text relatedSearchPrefix;  // followed directly by the GBK-encoded keyword
  text::Text suggestionPrefix;     // followed directly by the UTF-8-encoded keyword
};

// The production prefixes.
ServiceAddresses defaultServiceAddresses();

// The prefixes that requests use now.
ServiceAddresses serviceAddresses();

// For tests and benchmarks only: every later request uses these prefixes.
// Pass defaultServiceAddresses() to restore production behaviour.
void setServiceAddressesForTesting(const ServiceAddresses& addresses);

}  // namespace collect
