// The two keyword sources: each asks one service of the search engine
// which keywords relate to the current keyword, cuts them out of the
// answer and offers each, in answer order, to offerKeyword.
//
//   collectRelatedSearches  the web search result page, GBK query:
//                           "http://" + web host + "/s?wd=" + %XX bytes;
//                           the links of its related-search table.
//   collectSuggestions      the suggestion service, UTF-8 query:
//                           "http://" + suggestion host + "/su?wd=" + %XX;
//                           the quoted items of its "s:[...]})" list.
//
// One request per call (fetchPage with the URL alone, plus the caller's
// cancel token), nothing cached or retried. The answer is taken as GBK
// text up to its first NUL; items are passed on exactly as they stand (no
// entity decoding, no unescaping, no trimming). A failed request, an error
// status without the markers, or a missing block offers nothing.
//
// Run on the collection thread; they touch nothing but their arguments, so
// any thread may call them.
#pragma once

#include <string_view>

#include "collect/keyword_filter.h"
#include "text/text.h"

namespace fetch {
class FetchCancel;
}

namespace collect {

// The markers, as GBK bytes.
inline constexpr std::string_view kRelatedBlockStart =
    "\xCF\xE0\xB9\xD8\xCB\xD1\xCB\xF7</th><th>";  // 相关搜索</th><th>
inline constexpr std::string_view kRelatedBlockEnd = "</th></tr></table></div>";
inline constexpr std::string_view kRelatedItemStart = "\">";
inline constexpr std::string_view kRelatedItemEnd = "</a>";
inline constexpr std::string_view kSuggestionBlockStart = "s:[";
inline constexpr std::string_view kSuggestionBlockEnd = "]})";
inline constexpr std::string_view kSuggestionItemMarker = "\"";

// The request addresses for currentKeyword.
text::Text relatedSearchAddress(std::string_view currentKeyword);
text::Text suggestionAddress(std::string_view currentKeyword);

// The keywords in an answer body, in order (cut at the first NUL first).
text::TextList relatedSearchItems(std::string_view body);
text::TextList suggestionItems(std::string_view body);

// Fetches the answer for currentKeyword and offers every item to
// offerKeyword(item, filter, sink), in order. cancel (may be null) aborts
// the request from another thread; a cancelled request offers nothing.
void collectRelatedSearches(std::string_view currentKeyword, const KeywordFilter& filter,
                            const KeywordSink& sink, fetch::FetchCancel* cancel = nullptr);
void collectSuggestions(std::string_view currentKeyword, const KeywordFilter& filter,
                        const KeywordSink& sink, fetch::FetchCancel* cancel = nullptr);

}  // namespace collect
