#include "collect/percent_encode.h"

#include "text/gbk.h"

namespace collect {

text::Text percentEncodeGbk(std::string_view keyword) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  text::Text encoded;
  encoded.reserve(keyword.size() * 3);
  for (const char c : keyword) {
    const auto byte = static_cast<unsigned char>(c);
    encoded.push_back('%');
    encoded.push_back(kDigits[byte >> 4]);
    encoded.push_back(kDigits[byte & 0x0F]);
  }
  return encoded;
}

text::Text percentEncodeUtf8(std::string_view keyword) {
  const std::optional<std::string> utf8 = text::gbkToUtf8Strict(keyword);
  return utf8 ? percentEncodeGbk(*utf8) : text::Text();
}

}  // namespace collect
