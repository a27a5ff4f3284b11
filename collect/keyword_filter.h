// The keyword filter: decides whether a keyword found by a source passes
// the two filter texts, and appends accepted keywords to the keyword list.
//
// The filter texts are used whole (no trimming, no splitting) and tested
// for containment case-sensitively, matching only where a character
// begins. Must-contain has priority and the rule is not a conjunction:
//   both empty                       -> accept
//   mustContain set and contained    -> accept (whatever mustNotContain)
//   mustNotContain set, not contained -> accept
//   otherwise                        -> reject
// So with "a" and "b": "ab" and "cd" pass, "cb" does not.
//
// keywordPasses is pure and callable from any thread. appendKeywordLine
// and the default sink of offerKeyword go through app::appendToBox, which
// runs on the UI thread on the caller's behalf.
#pragma once

#include <functional>
#include <string_view>

#include "text/text.h"

namespace collect {

// The two filter texts captured at the start of a pass; empty = off.
struct KeywordFilter {
  text::Text mustContain;
  text::Text mustNotContain;
};

// Where an accepted keyword goes; receives the keyword without line end.
using KeywordSink = std::function<void(std::string_view keyword)>;

// True when keyword passes the filter texts by the rule above.
bool keywordPasses(std::string_view keyword, std::string_view mustContain,
                   std::string_view mustNotContain);

// The keyword followed by CR LF.
text::Text keywordLine(std::string_view keyword);

// Appends keyword + CR LF at the very end of KeywordList and scrolls to
// it. Nothing else is added: if the list does not end with CR LF, the
// keyword joins its last line. Duplicates are appended again.
void appendKeywordLine(std::string_view keyword);

// Hands keyword to sink (default appendKeywordLine) when it passes filter;
// returns whether it passed. A caller that must be able to cancel appends
// passes a sink that checks its stop condition on the UI thread.
bool offerKeyword(std::string_view keyword, const KeywordFilter& filter,
                  const KeywordSink& sink = appendKeywordLine);

}  // namespace collect
