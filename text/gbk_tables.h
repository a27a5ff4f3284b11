// The GBK <-> Unicode tables behind gbkToDisplay and displayToGbk.
//
// Built once, on first use, by asking glibc iconv about every GBK byte and
// byte pair. Only characters that survive the trip both ways enter the
// tables, so that text shown in the window converts back to exactly the
// bytes it came from. Immutable after construction: any thread may read.
// Internal to vt_text.
#pragma once

#include <array>
#include <cstdint>

namespace text::detail {

struct GbkTables {
  // Code point of the pair (lead, trail), indexed (lead - 0x80) * 256 +
  // trail; 0 when the pair is not a GBK character that round-trips.
  std::array<uint16_t, 128 * 256> pairToCode{};
  // Code point of a byte >= 0x80 standing alone as a character (glibc's
  // GBK reads 0x80 as the euro sign); 0 when none.
  std::array<uint16_t, 128> singleToCode{};
  // GBK bytes of a BMP code point: a value <= 0xFF is one byte, a larger
  // value is lead << 8 | trail; 0 when not in the tables.
  std::array<uint16_t, 65536> codeToGbk{};
};

// The process-wide tables (built on first call, thread-safe).
const GbkTables& gbkTables();

}  // namespace text::detail
