#include "collect/pass_lines.h"

#include "text/text.h"

namespace collect {

bool nextPassLine(std::string_view passText, size_t& position, std::string_view& line) {
  if (position >= passText.size()) return false;
  const int32_t at = text::findText(passText, text::kCrLf, static_cast<int32_t>(position + 1));
  if (at == -1) {
    line = passText.substr(position);
    position = passText.size();
    return true;
  }
  const size_t end = static_cast<size_t>(at) - 1;
  line = passText.substr(position, end - position);
  position = end + text::kCrLf.size();
  return true;
}

}  // namespace collect
