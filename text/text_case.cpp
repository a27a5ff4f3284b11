// toUpperCase and toLowerCase: ASCII letters only. Both bytes of a
// two-byte character are kept as they are, even when the trail byte
// happens to be an ASCII letter.
#include "text/text.h"

namespace text {
namespace {

template <char From, char To>
Text mapLetters(std::string_view text) {
  Text result(text);
  for (size_t i = 0; i < result.size(); ++i) {
    const auto c = static_cast<unsigned char>(result[i]);
    if (isLeadByte(c)) {
      ++i;  // skip the trail byte
    } else if (result[i] >= From && result[i] <= To) {
      result[i] = static_cast<char>(result[i] ^ 0x20);
    }
  }
  return result;
}

}  // namespace

Text toUpperCase(std::string_view text) { return mapLetters<'a', 'z'>(text); }

Text toLowerCase(std::string_view text) { return mapLetters<'A', 'Z'>(text); }

}  // namespace text
