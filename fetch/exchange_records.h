// The three byte records that a fetch call and its worker exchange through
// the exchange file (fetch/exchange_file.h).
//
// Layout: fields one after another with nothing between them. Integers and
// handles are 4 bytes little-endian signed; a truth value is 4 bytes, 1 or
// 0 (any non-zero value reads as true); a text or the body is a 4-byte byte
// count n followed by the n bytes, no terminating NUL.
//
//   FetchRequestRecord  proceed, url, verb, postData, cookies,
//                       collectCookies, proxy, headers, userName, password,
//                       keepRawHeaders, storeCookies
//                       (48 + length of url bytes for a URL-only request)
//   FetchResultRecord   succeeded, rawHeaders, receivedCookies, body,
//                       requestHandle, connectionHandle, sessionHandle
//                       (28 bytes + lengths of the two texts and the body)
//   FetchProgressRecord the result layout with succeeded false, empty
//                       texts and body, and the three handles (28 bytes)
//
// Decoding accepts any bytes and never reads past their end: missing bytes
// count as zero, a count below zero gives an empty field, a count larger
// than what remains takes what remains. A decoded text field stops at its
// first NUL byte (a Text never holds one); the body keeps every byte.
// Pure functions, callable from any thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/text.h"

namespace fetch {

// Parameters of one request, written by the fetch call before its worker
// starts. An empty verb means GET.
struct FetchRequestRecord {
  bool proceed = true;  // a worker that reads false does nothing
  text::Text url;
  text::Text verb;
  text::Text postData;
  text::Text cookies;
  bool collectCookies = false;
  text::Text proxy;
  text::Text headers;
  text::Text userName;
  text::Text password;
  bool keepRawHeaders = false;
  bool storeCookies = false;

  bool operator==(const FetchRequestRecord&) const = default;
};

// The worker's open network handles, written before it sends the request.
struct FetchProgressRecord {
  int32_t requestHandle = 0;
  int32_t connectionHandle = 0;
  int32_t sessionHandle = 0;

  bool operator==(const FetchProgressRecord&) const = default;
};

// The worker's answer once its request is complete. A progress record
// decodes as a result with succeeded false.
struct FetchResultRecord {
  bool succeeded = false;
  text::Text rawHeaders;
  text::Text receivedCookies;
  text::ByteSequence body;
  int32_t requestHandle = 0;
  int32_t connectionHandle = 0;
  int32_t sessionHandle = 0;

  bool operator==(const FetchResultRecord&) const = default;
};

// REQUIRES (all encoders): every text and the body shorter than 2 GiB.
text::ByteSequence encodeRequestRecord(const FetchRequestRecord& record);
FetchRequestRecord decodeRequestRecord(std::string_view bytes);

// Always 28 bytes.
text::ByteSequence encodeProgressRecord(const FetchProgressRecord& record);
// The three handles of a progress or result record.
FetchProgressRecord decodeProgressRecord(std::string_view bytes);

text::ByteSequence encodeResultRecord(const FetchResultRecord& record);
// Reads a result or a progress record (the latter with succeeded false).
FetchResultRecord decodeResultRecord(std::string_view bytes);

}  // namespace fetch
