#include "collect/keyword_sources.h"

#include "collect/extract_between.h"
#include "collect/percent_encode.h"
#include "collect/service_addresses.h"
#include "fetch/fetch_page.h"

namespace collect {
namespace {

text::TextList itemsBetween(std::string_view body, std::string_view blockStart,
                            std::string_view blockEnd, std::string_view itemStart,
                            std::string_view itemEnd) {
  const text::Text page = text::bytesToText(body);
  text::TextList items;
  const text::Text block = extractBetween(page, blockStart, blockEnd, false, items);
  extractBetween(block, itemStart, itemEnd, true, items);
  return items;
}

text::ByteSequence fetchAnswer(const text::Text& address, fetch::FetchCancel* cancel) {
  fetch::FetchOptions options;
  options.cancel = cancel;
  return fetch::fetchPage(address, options);
}

void offerAll(const text::TextList& items, const KeywordFilter& filter, const KeywordSink& sink) {
  for (const text::Text& item : items) offerKeyword(item, filter, sink);
}

}  // namespace

text::Text relatedSearchAddress(std::string_view currentKeyword) {
  return serviceAddresses().relatedSearchPrefix + percentEncodeGbk(currentKeyword);
}

text::Text suggestionAddress(std::string_view currentKeyword) {
  return serviceAddresses().suggestionPrefix + percentEncodeUtf8(currentKeyword);
}

text::TextList relatedSearchItems(std::string_view body) {
  return itemsBetween(body, kRelatedBlockStart, kRelatedBlockEnd, kRelatedItemStart,
                      kRelatedItemEnd);
}

text::TextList suggestionItems(std::string_view body) {
  return itemsBetween(body, kSuggestionBlockStart, kSuggestionBlockEnd, kSuggestionItemMarker,
                      kSuggestionItemMarker);
}

void collectRelatedSearches(std::string_view currentKeyword, const KeywordFilter& filter,
                            const KeywordSink& sink, fetch::FetchCancel* cancel) {
  const text::ByteSequence body = fetchAnswer(relatedSearchAddress(currentKeyword), cancel);
  offerAll(relatedSearchItems(body.view()), filter, sink);
}

void collectSuggestions(std::string_view currentKeyword, const KeywordFilter& filter,
                        const KeywordSink& sink, fetch::FetchCancel* cancel) {
  const text::ByteSequence body = fetchAnswer(suggestionAddress(currentKeyword), cancel);
  offerAll(suggestionItems(body.view()), filter, sink);
}

}  // namespace collect
