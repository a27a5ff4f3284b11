// Byte-text primitives.
//
// All logic of Vantrel is written against three value types:
//   Text          GBK bytes, never holding a NUL byte (std::string).
//   ByteSequence  a counted run of bytes that may hold NUL (page bodies,
//                 file contents, packed records).
//   TextList      an ordered list of Text, numbered 1..count by callers.
//
// Positions are 1-based byte positions; a search that finds nothing
// yields -1. Lengths count bytes, so a two-byte GBK character counts 2.
// A byte 0x80..0xFF is the lead byte of a two-byte character; searches
// only ever match where a character begins, never on a trail byte.
//
// Every function here is pure: arguments are never changed, results are
// new values owned by the caller, and out-of-range arguments yield the
// empty result stated for each function. Safe to call from any thread.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace text {

using Text = std::string;
using TextList = std::vector<Text>;

// A counted run of bytes that may contain NUL. Kept a distinct type from
// Text so that the conversions between the two are always spelled out.
struct ByteSequence {
  std::string bytes;

  ByteSequence() = default;
  explicit ByteSequence(std::string b) : bytes(std::move(b)) {}
  std::string_view view() const { return bytes; }
  bool operator==(const ByteSequence&) const = default;
};

// The full-width space, the other "space" besides 0x20.
inline constexpr std::string_view kFullWidthSpace = "\xA1\xA1";
inline constexpr std::string_view kCrLf = "\r\n";

// True for a GBK lead byte (0x80 or above).
constexpr bool isLeadByte(unsigned char c) { return c >= 0x80; }

// ---- Text operations -------------------------------------------------

int32_t textLength(std::string_view text);
// First min(count, length) bytes; empty when count <= 0.
Text textLeft(std::string_view text, int32_t count);
// Last min(count, length) bytes; empty when count <= 0.
Text textRight(std::string_view text, int32_t count);
// Up to count bytes from 1-based start; empty when start < 1,
// start > length or count <= 0.
Text textMid(std::string_view text, int32_t start, int32_t count);
// One-byte text holding the byte; 0 gives the empty text.
Text charFromCode(int32_t code);
// 1-based position of the first occurrence of sought that begins at or
// after start and at a character start; -1 if none. An empty sought is
// found at 1 in a non-empty text. ignoreCase folds ASCII letters only.
int32_t findText(std::string_view text, std::string_view sought,
                 int32_t start = 1, bool ignoreCase = false);
Text toUpperCase(std::string_view text);  // ASCII a-z only
Text toLowerCase(std::string_view text);  // ASCII A-Z only
// Leading decimal number (full-width ASCII forms count as ASCII); 0 when
// the text does not begin with one.
double textToNumber(std::string_view text);
// Without leading and trailing runs of 0x20 and 0xA1 0xA1.
Text trimSpaces(std::string_view text);
// Without any 0x20 or 0xA1 0xA1.
Text removeAllSpaces(std::string_view text);
// Up to count bytes removed at 1-based start (start < 1 counts as 1, past
// the end counts as the end, count < 0 removes nothing), replacement
// inserted there.
Text replaceTextAt(std::string_view text, int32_t start, int32_t count,
                   std::string_view replacement = {});
// Pieces between separators, matched only at character starts. Empty text
// gives no piece; empty separator gives the whole text; a trailing
// separator gives no empty last piece.
TextList splitText(std::string_view text, std::string_view separator);
// count ASCII spaces; empty when count < 1.
Text blankText(int32_t count);
// All parts joined in order.
Text concatText(std::initializer_list<std::string_view> parts);
// Negative, zero or positive by unsigned byte order; a proper prefix first.
int compareText(std::string_view a, std::string_view b);
// Decimal digits, '-' when negative.
Text toText(int32_t value);
// "真" or "假" (GBK).
Text toText(bool value);
// Bytes up to the first NUL (all of them when there is none).
Text toText(const ByteSequence& bytes);
Text bytesToText(const ByteSequence& bytes);
Text bytesToText(std::string_view bytes);
// Upper-case hex of the value as unsigned 32-bit, no leading zeros.
Text toHexText(int32_t value);

// ---- Byte-sequence operations ----------------------------------------

int32_t bytesLength(const ByteSequence& bytes);
// First count bytes, count clamped to 0..length.
ByteSequence bytesLeft(const ByteSequence& bytes, int32_t count);
// From start (below 1 counts as 1) up to count bytes (negative counts 0);
// a start past the end gives the empty sequence.
ByteSequence bytesMid(const ByteSequence& bytes, int32_t start, int32_t count);
// count zero bytes; empty when count <= 0.
ByteSequence blankBytes(int32_t count);
ByteSequence toBytes(int32_t value);  // 4 bytes little-endian
ByteSequence toBytes(bool value);     // 01 00 00 00 or 00 00 00 00
// The text's bytes. Named apart from toBytes so that a string literal
// never silently picks the bool overload.
ByteSequence textToBytes(std::string_view text);
// First 4 bytes little-endian signed; missing bytes count as zero.
int32_t bytesToInt32(std::string_view bytes);
int32_t bytesToInt32(const ByteSequence& bytes);
// True when the first 4 bytes (missing ones zero) are not all zero.
bool bytesToBool(std::string_view bytes);
bool bytesToBool(const ByteSequence& bytes);

}  // namespace text
