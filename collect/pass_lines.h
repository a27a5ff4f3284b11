// Walking the lines of a pass text in place.
//
// A pass expands the lines that KeywordList held when it began. Walking
// them as views into one copy of the text, instead of a list of copied
// lines, keeps a pass over a million-line list near the size of the text
// itself. The lines are exactly those of text::splitText(passText, CR LF):
// an empty text has no line, a final CR LF gives no empty last line, two
// CR LF in a row give an empty line, a lone CR or LF stays in its line,
// and a CR LF counts only where a character begins (not as the trail byte
// of a two-byte character). Pure; any thread.
#pragma once

#include <cstddef>
#include <string_view>

namespace collect {

// REQUIRES: position is 0 or a value this function left in it for the
// same passText. Sets line to the next line (a view into passText) and
// moves position past it and its CR LF; false when no line is left.
bool nextPassLine(std::string_view passText, size_t& position, std::string_view& line);

}  // namespace collect
