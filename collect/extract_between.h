// Marker extraction: cuts wanted texts out of a page by the marker that
// stands right before each of them and the marker right after it.
//
// Markers are searched from the beginning of what remains to be searched,
// ignoring ASCII case, and match only where a character begins (the rules
// of text::findText). Work is linear in the size of the source: the search
// walks positions inside it and copies out only the texts it returns.
//
// Runs on the collection thread; pure apart from one call of
// app::processPendingEvents per found start marker in all-occurrences mode
// (a no-op off the UI thread), so any thread may call it.
#pragma once

#include <string_view>

#include "text/text.h"

namespace collect {

// Single mode (allOccurrences false): returns the text between the first
// startMarker in source and the first endMarker after it; empty when the
// end marker follows the start marker directly.
// All-occurrences mode: appends to items every text that stands between a
// startMarker and the next endMarker, in source order (a start marker
// inside an entry is part of it; a last start marker without an end marker
// adds nothing), and returns the number of items as decimal text.
// items is cleared at entry in both modes.
// A marker that is empty or missing gives the empty text, or with
// wholeTextWhenMissing: in single mode the cut runs from the start of
// source (start marker) or to its end (end marker); in all-occurrences
// mode an empty marker returns source itself (items stay empty), and a
// missing marker gives "0" either way.
// Example: extractBetween("<a>x</a><a>y</a>", "<a>", "</A>", true, items)
// returns "2" with items {"x", "y"}.
text::Text extractBetween(std::string_view source, std::string_view startMarker,
                          std::string_view endMarker, bool allOccurrences,
                          text::TextList& items, bool wholeTextWhenMissing = false);

}  // namespace collect
