// The keyword filter rule and the append of accepted keywords.
#include "collect/keyword_filter.h"

#include "app/shell.h"

namespace collect {
namespace {

bool contains(std::string_view keyword, std::string_view part) {
  return text::findText(keyword, part) != -1;
}

}  // namespace

bool keywordPasses(std::string_view keyword, std::string_view mustContain,
                   std::string_view mustNotContain) {
  if (mustContain.empty() && mustNotContain.empty()) return true;
  if (!mustContain.empty() && contains(keyword, mustContain)) return true;
  return !mustNotContain.empty() && !contains(keyword, mustNotContain);
}

text::Text keywordLine(std::string_view keyword) {
  return text::concatText({keyword, text::kCrLf});
}

void appendKeywordLine(std::string_view keyword) {
  app::appendToBox(app::Box::KeywordList, keywordLine(keyword));
}

bool offerKeyword(std::string_view keyword, const KeywordFilter& filter,
                  const KeywordSink& sink) {
  if (!keywordPasses(keyword, filter.mustContain, filter.mustNotContain)) return false;
  if (sink) sink(keyword);
  return true;
}

}  // namespace collect
