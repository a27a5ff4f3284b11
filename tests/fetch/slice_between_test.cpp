#include "fetch/slice_between.h"

#include <gtest/gtest.h>

namespace {

TEST(SliceBetweenTest, CutsBetweenMarkersWithExactCase) {
  struct Row {
    const char* source;
    const char* start;
    const char* end;
    const char* expected;
  } rows[] = {
      {"Set-Cookie: a=1; path=/", "Set-Cookie:", ";", " a=1"},
      {"Set-Cookie: a=1; path=/", "=", ";", "1"},
      {"Set-Cookie: a=; path=/", "=", ";", ""},        // end marker right behind the start
      {"Set-Cookie: a=1", "=", ";", ""},               // no end marker
      {"set-cookie: a=1;", "Set-Cookie:", ";", ""},    // case counts
      {"k=v; x", "=", "", "v; x"},                      // no end marker: the rest
      {"k=v; x", "", ";", "k=v"},                       // no start marker: before the end
      {"k=v", "", ";", ""},
      {"k=v", "?", "", ""},
      {"ab;cd;ef", "b", ";", ""},                       // end marker first after start
      {"xa\xB0\xA1;b", "a", ";", "\xB0\xA1"},          // GBK bytes kept
      {"a=\xB0;x;", "=", ";", "\xB0;x"},                // a trail byte is no marker
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.source) + " | " + row.start + " | " + row.end);
    EXPECT_EQ(fetch::sliceBetween(row.source, row.start, row.end), row.expected);
  }
}

}  // namespace
