// ByteSequence operations: cutting, building and reading the 4-byte
// little-endian integers and truth values of packed records.
#include <algorithm>
#include <climits>

#include "text/text.h"

namespace text {

int32_t bytesLength(const ByteSequence& bytes) {
  return static_cast<int32_t>(std::min<size_t>(bytes.bytes.size(), INT32_MAX));
}

ByteSequence bytesLeft(const ByteSequence& bytes, int32_t count) {
  if (count <= 0) return {};
  return ByteSequence(bytes.bytes.substr(0, static_cast<size_t>(count)));
}

ByteSequence bytesMid(const ByteSequence& bytes, int32_t start, int32_t count) {
  const size_t from = start <= 1 ? 0 : static_cast<size_t>(start) - 1;
  if (from >= bytes.bytes.size() || count <= 0) return {};
  return ByteSequence(bytes.bytes.substr(from, static_cast<size_t>(count)));
}

ByteSequence blankBytes(int32_t count) {
  if (count <= 0) return {};
  return ByteSequence(std::string(static_cast<size_t>(count), '\0'));
}

ByteSequence toBytes(int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  std::string out(4, '\0');
  for (int k = 0; k < 4; ++k) out[k] = static_cast<char>((u >> (8 * k)) & 0xFF);
  return ByteSequence(std::move(out));
}

ByteSequence toBytes(bool value) { return toBytes(value ? 1 : 0); }

ByteSequence textToBytes(std::string_view text) { return ByteSequence(std::string(text)); }

int32_t bytesToInt32(std::string_view bytes) {
  uint32_t u = 0;
  const size_t n = std::min<size_t>(bytes.size(), 4);
  for (size_t k = 0; k < n; ++k) {
    u |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[k])) << (8 * k);
  }
  return static_cast<int32_t>(u);
}

int32_t bytesToInt32(const ByteSequence& bytes) { return bytesToInt32(bytes.view()); }

bool bytesToBool(std::string_view bytes) { return bytesToInt32(bytes) != 0; }

bool bytesToBool(const ByteSequence& bytes) { return bytesToBool(bytes.view()); }

}  // namespace text
