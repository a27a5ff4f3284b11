// Builds the GBK tables by converting each candidate byte and byte pair
// with iconv and keeping those that convert back to the same bytes.
#include "text/gbk_tables.h"

#include <memory>
#include <string>

#include "text/iconv_handle.h"

namespace text::detail {
namespace {

struct Probe {
  IconvHandle decode{"UTF-32LE", "GBK"};
  IconvHandle encode{"GBK", "UTF-32LE"};

  // The BMP code point that `gbk` decodes to and that encodes back to
  // exactly `gbk`; 0 otherwise.
  uint16_t roundTrip(std::string_view gbk) {
    char utf32[8];
    if (decode.convertAll(gbk, utf32, sizeof utf32) != 4) return 0;
    char back[8];
    const long length = encode.convertAll(std::string_view(utf32, 4), back, sizeof back);
    if (length < 0 || std::string_view(back, static_cast<size_t>(length)) != gbk) return 0;
    const uint32_t code = static_cast<unsigned char>(utf32[0]) |
                          static_cast<unsigned char>(utf32[1]) << 8 |
                          static_cast<unsigned char>(utf32[2]) << 16 |
                          static_cast<uint32_t>(static_cast<unsigned char>(utf32[3])) << 24;
    return (code >= 0x80 && code <= 0xFFFF) ? static_cast<uint16_t>(code) : 0;
  }
};

std::unique_ptr<GbkTables> buildTables() {
  auto tables = std::make_unique<GbkTables>();
  Probe probe;
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    const char one[1] = {static_cast<char>(lead)};
    const uint16_t code = probe.roundTrip(std::string_view(one, 1));
    if (code != 0 && tables->codeToGbk[code] == 0) {
      tables->singleToCode[lead - 0x80] = code;
      tables->codeToGbk[code] = static_cast<uint16_t>(lead);
    }
  }
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const uint16_t code = probe.roundTrip(std::string_view(pair, 2));
      if (code == 0 || tables->codeToGbk[code] != 0) continue;
      tables->pairToCode[(lead - 0x80) * 256 + trail] = code;
      tables->codeToGbk[code] = static_cast<uint16_t>(lead << 8 | trail);
    }
  }
  return tables;
}

}  // namespace

const GbkTables& gbkTables() {
  static const std::unique_ptr<GbkTables> tables = buildTables();
  return *tables;
}

}  // namespace text::detail
