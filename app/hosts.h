// The two hosts of the search engine, defined here and nowhere else.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view kWebHost = "www.baidu.com";
inline constexpr std::string_view kSuggestionHost = "suggestion.baidu.com";
// The home page opened in the browser when the window closes.
inline constexpr std::string_view kHomePage = "http://www.baidu.com";

}  // namespace app
