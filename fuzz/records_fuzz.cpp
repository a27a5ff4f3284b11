// Fuzzes the exchange records: decoding arbitrary bytes must never read
// past them (the sanitizers watch), and a record built from the input must
// come back unchanged after encoding and decoding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fetch/exchange_records.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// Takes the next piece of the input up to a 0x00 byte (a Text never holds
// one), or the rest.
std::string nextPiece(std::string_view& input) {
  const size_t cut = input.find('\0');
  const std::string piece(input.substr(0, cut));
  input = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
  return piece;
}

int32_t nextInt(std::string_view& input) {
  const int32_t value = text::bytesToInt32(input.substr(0, 4));
  input.remove_prefix(std::min<size_t>(4, input.size()));
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Decoding exact-size copies puts the end of the bytes where ASan sees it.
  const std::string raw(reinterpret_cast<const char*>(data), size);
  (void)fetch::decodeRequestRecord(raw);
  (void)fetch::decodeResultRecord(raw);
  (void)fetch::decodeProgressRecord(raw);

  std::string_view input(raw);
  const uint8_t flags = size > 0 ? data[0] : 0;
  if (!input.empty()) input.remove_prefix(1);

  fetch::FetchRequestRecord request;
  request.proceed = (flags & 1) != 0;
  request.collectCookies = (flags & 2) != 0;
  request.keepRawHeaders = (flags & 4) != 0;
  request.storeCookies = (flags & 8) != 0;
  for (text::Text* field : {&request.url, &request.verb, &request.postData, &request.cookies,
                            &request.proxy, &request.headers, &request.userName,
                            &request.password}) {
    *field = nextPiece(input);
  }
  const text::ByteSequence requestBytes = fetch::encodeRequestRecord(request);
  check(fetch::decodeRequestRecord(requestBytes.view()) == request);

  fetch::FetchResultRecord result;
  result.succeeded = (flags & 16) != 0;
  result.requestHandle = nextInt(input);
  result.connectionHandle = nextInt(input);
  result.sessionHandle = nextInt(input);
  result.rawHeaders = nextPiece(input);
  result.receivedCookies = nextPiece(input);
  result.body = text::ByteSequence(std::string(input));  // may hold NUL bytes
  const text::ByteSequence resultBytes = fetch::encodeResultRecord(result);
  check(resultBytes.bytes.size() ==
        28 + result.rawHeaders.size() + result.receivedCookies.size() + result.body.bytes.size());
  check(fetch::decodeResultRecord(resultBytes.view()) == result);

  const fetch::FetchProgressRecord progress{result.requestHandle, result.connectionHandle,
                                            result.sessionHandle};
  const text::ByteSequence progressBytes = fetch::encodeProgressRecord(progress);
  check(progressBytes.bytes.size() == 28);
  check(fetch::decodeProgressRecord(progressBytes.view()) == progress);
  check(!fetch::decodeResultRecord(progressBytes.view()).succeeded);
  return 0;
}
