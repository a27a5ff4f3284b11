// Encoding and decoding of the exchange records.
#include "fetch/exchange_records.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

namespace fetch {
namespace {

// Field writers: each appends one encoded field to a record being built.
void putInt(std::string& out, int32_t value) { out += text::toBytes(value).bytes; }
void putBool(std::string& out, bool value) { out += text::toBytes(value).bytes; }
void putCounted(std::string& out, std::string_view value) {
  putInt(out, static_cast<int32_t>(value.size()));
  out += value;
}

// Field readers: each takes one field off the front of rest, never reading
// past its end; a field cut short reads its missing bytes as zero.
int32_t takeInt(std::string_view& rest) {
  const int32_t value = text::bytesToInt32(rest.substr(0, 4));
  rest.remove_prefix(std::min<size_t>(4, rest.size()));
  return value;
}
bool takeBool(std::string_view& rest) { return takeInt(rest) != 0; }
// A negative count gives nothing; a count beyond the end takes the rest.
std::string_view takeCounted(std::string_view& rest) {
  const int32_t count = takeInt(rest);
  const size_t taken = count <= 0 ? 0 : std::min(static_cast<size_t>(count), rest.size());
  const std::string_view value = rest.substr(0, taken);
  rest.remove_prefix(taken);
  return value;
}
text::Text takeText(std::string_view& rest) { return text::bytesToText(takeCounted(rest)); }

}  // namespace

text::ByteSequence encodeRequestRecord(const FetchRequestRecord& record) {
  std::string out;
  putBool(out, record.proceed);
  putCounted(out, record.url);
  putCounted(out, record.verb);
  putCounted(out, record.postData);
  putCounted(out, record.cookies);
  putBool(out, record.collectCookies);
  putCounted(out, record.proxy);
  putCounted(out, record.headers);
  putCounted(out, record.userName);
  putCounted(out, record.password);
  putBool(out, record.keepRawHeaders);
  putBool(out, record.storeCookies);
  return text::ByteSequence(std::move(out));
}

FetchRequestRecord decodeRequestRecord(std::string_view bytes) {
  std::string_view rest = bytes;
  FetchRequestRecord record;
  record.proceed = takeBool(rest);
  record.url = takeText(rest);
  record.verb = takeText(rest);
  record.postData = takeText(rest);
  record.cookies = takeText(rest);
  record.collectCookies = takeBool(rest);
  record.proxy = takeText(rest);
  record.headers = takeText(rest);
  record.userName = takeText(rest);
  record.password = takeText(rest);
  record.keepRawHeaders = takeBool(rest);
  record.storeCookies = takeBool(rest);
  return record;
}

text::ByteSequence encodeProgressRecord(const FetchProgressRecord& record) {
  FetchResultRecord result;
  result.requestHandle = record.requestHandle;
  result.connectionHandle = record.connectionHandle;
  result.sessionHandle = record.sessionHandle;
  return encodeResultRecord(result);
}

FetchProgressRecord decodeProgressRecord(std::string_view bytes) {
  const FetchResultRecord result = decodeResultRecord(bytes);
  return {result.requestHandle, result.connectionHandle, result.sessionHandle};
}

text::ByteSequence encodeResultRecord(const FetchResultRecord& record) {
  std::string out;
  putBool(out, record.succeeded);
  putCounted(out, record.rawHeaders);
  putCounted(out, record.receivedCookies);
  putCounted(out, record.body.view());
  putInt(out, record.requestHandle);
  putInt(out, record.connectionHandle);
  putInt(out, record.sessionHandle);
  return text::ByteSequence(std::move(out));
}

FetchResultRecord decodeResultRecord(std::string_view bytes) {
  std::string_view rest = bytes;
  FetchResultRecord record;
  record.succeeded = takeBool(rest);
  record.rawHeaders = takeText(rest);
  record.receivedCookies = takeText(rest);
  record.body = text::ByteSequence(std::string(takeCounted(rest)));
  record.requestHandle = takeInt(rest);
  record.connectionHandle = takeInt(rest);
  record.sessionHandle = takeInt(rest);
  return record;
}

}  // namespace fetch
