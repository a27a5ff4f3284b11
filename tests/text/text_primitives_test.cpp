// Cutting, spaces, case, number and byte-sequence primitives: the bounds
// that callers rely on when they cut page text by computed counts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "text/text.h"

namespace text {
namespace {

using namespace std::string_literals;

struct CutCase {
  const char* label;
  Text actual;
  Text expected;
};

TEST(TextCut, LabelledCases) {
  const CutCase cases[] = {
      {"left within", textLeft("abcdef", 2), "ab"},
      {"left past end", textLeft("abc", 10), "abc"},
      {"left zero", textLeft("abc", 0), ""},
      {"left negative", textLeft("abc", -1), ""},
      {"left cuts a character in half", textLeft("\xBB\xFA\xD0\xB5", 3), "\xBB\xFA\xD0"},
      {"right within", textRight("abcdef", 2), "ef"},
      {"right past start", textRight("abc", 9), "abc"},
      {"right negative", textRight("abc", -3), ""},
      {"mid within", textMid("abcdef", 2, 3), "bcd"},
      {"mid stops at end", textMid("abcdef", 5, 10), "ef"},
      {"mid start zero", textMid("abcdef", 0, 3), ""},
      {"mid start past end", textMid("abc", 4, 1), ""},
      {"mid start at last byte", textMid("abc", 3, 1), "c"},
      {"mid count zero", textMid("abc", 1, 0), ""},
      {"mid huge count", textMid("abc", 2, INT32_MAX), "bc"},
      {"replace middle", replaceTextAt("abcdef", 2, 2, "XY"), "aXYdef"},
      {"replace drops header prefix", replaceTextAt("Set-Cookie: a=b", 1, 12), "a=b"},
      {"replace start below one", replaceTextAt("abc", -4, 1, "X"), "Xbc"},
      {"replace start past end appends", replaceTextAt("abc", 10, 2, "X"), "abcX"},
      {"replace count past end", replaceTextAt("abc", 2, 99), "a"},
      {"replace negative count inserts", replaceTextAt("abc", 2, -1, "X"), "aXbc"},
      {"replace in empty", replaceTextAt("", 1, 1, "X"), "X"},
      {"blank", blankText(3), "   "},
      {"blank zero", blankText(0), ""},
      {"concat", concatText({"a", "", "bc"}), "abc"},
      {"concat of empties", concatText({"", ""}), ""},
      {"char from code", charFromCode('A'), "A"},
      {"char from code zero", charFromCode(0), ""},
      {"char from high code", charFromCode(0xB0), "\xB0"},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(TextCut, CompareOrdersUnsignedBytesAndPrefixesFirst) {
  EXPECT_EQ(compareText("abc", "abc"), 0);
  EXPECT_LT(compareText("ab", "abc"), 0);
  EXPECT_GT(compareText("\xB0", "a"), 0);  // 0xB0 above 'a' as unsigned
  EXPECT_EQ(compareText("", ""), 0);
  EXPECT_EQ(textLength("\xBB\xFA"), 2);
}

TEST(TextSpaces, LabelledCases) {
  const CutCase cases[] = {
      {"trim ascii", trimSpaces("  a b  "), "a b"},
      {"trim full-width", trimSpaces("\xA1\xA1 a\xA1\xA1"), "a"},
      {"trim keeps tab and LF", trimSpaces("\ta\n"), "\ta\n"},
      {"trim keeps CR", trimSpaces(" \r "), "\r"},
      {"trim all spaces", trimSpaces(" \xA1\xA1 "), ""},
      {"trim keeps char whose trail is A1", trimSpaces("\xB0\xA1\xA1\xA1"), "\xB0\xA1"},
      {"trim keeps char ending in space byte", trimSpaces("\x81 "), "\x81 "},
      {"trim leading A1 of a char is not a space", trimSpaces("\xA1\xB0"), "\xA1\xB0"},
      {"remove all", removeAllSpaces(" a\xA1\xA1" "b c "), "abc"},
      {"remove keeps char whose trail is A1", removeAllSpaces("\xB0\xA1\xA1\xA1"), "\xB0\xA1"},
      {"remove keeps tab", removeAllSpaces("a\tb"), "a\tb"},
      {"upper ascii only", toUpperCase("abC\xBB\xFA"), "ABC\xBB\xFA"},
      {"upper keeps letter trail byte", toUpperCase("\x81" "a"), "\x81" "a"},
      {"lower ascii only", toLowerCase("SET-Cookie"), "set-cookie"},
      {"lower keeps letter trail byte", toLowerCase("\x81" "AB"), "\x81" "Ab"},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(TextToNumber, LabelledCases) {
  const struct {
    const char* label;
    std::string_view text;
    double expected;
  } cases[] = {
      {"integer", "42", 42},
      {"leading spaces and sign", "  -17abc", -17},
      {"plus sign", "+3", 3},
      {"decimal", "3.25", 3.25},
      {"leading point", ".5", 0.5},
      {"exponent", "1.5e3", 1500},
      {"incomplete exponent", "2e", 2},
      {"comma stops", "1,5", 1},
      {"not a number", "abc", 0},
      {"sign only", "-", 0},
      {"empty", "", 0},
      {"full-width digits", "\xA3\xB1\xA3\xB2\xA3\xB3", 123},
      {"full-width minus and point", "\xA3\xAD\xA3\xB1\xA3\xAE\xA3\xB5", -1.5},
      {"mixed widths", "1\xA3\xB2" "3", 123},
      {"chinese stops", "12\xBB\xFA" "3", 12},
      {"leading tab and LF", "\t\n7", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_DOUBLE_EQ(textToNumber(c.text), c.expected);
  }
  EXPECT_TRUE(std::isinf(textToNumber("1e999")));
}

TEST(TextConvert, LabelledCases) {
  const CutCase cases[] = {
      {"zero", toText(0), "0"},
      {"negative", toText(-12), "-12"},
      {"minimum", toText(INT32_MIN), "-2147483648"},
      {"true", toText(true), "\xD5\xE6"},
      {"false", toText(false), "\xBC\xD9"},
      {"bytes with inner NUL", toText(ByteSequence("ab\0cd"s)), "ab"},
      {"bytes starting with NUL", toText(ByteSequence("\0ab"s)), ""},
      {"bytes without NUL", bytesToText(ByteSequence("abc")), "abc"},
      {"hex zero", toHexText(0), "0"},
      {"hex below 16 is one digit", toHexText(10), "A"},
      {"hex byte", toHexText(255), "FF"},
      {"hex negative as unsigned", toHexText(-1), "FFFFFFFF"},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(ByteSequenceOps, CutsAndBlanks) {
  const ByteSequence b("ab\0cd"s);
  EXPECT_EQ(bytesLength(b), 5);
  EXPECT_EQ(bytesLeft(b, 3).bytes, "ab\0"s);
  EXPECT_EQ(bytesLeft(b, 99).bytes, b.bytes);
  EXPECT_EQ(bytesLeft(b, -1).bytes, "");
  EXPECT_EQ(bytesMid(b, 3, 2).bytes, "\0c"s);
  EXPECT_EQ(bytesMid(b, -2, 2).bytes, "ab");
  EXPECT_EQ(bytesMid(b, 6, 1).bytes, "");
  EXPECT_EQ(bytesMid(b, 2, -1).bytes, "");
  EXPECT_EQ(bytesMid(b, 4, 99).bytes, "cd");
  EXPECT_EQ(blankBytes(3).bytes, "\0\0\0"s);
  EXPECT_EQ(blankBytes(-1).bytes, "");
  EXPECT_EQ(textToBytes("").bytes, "");
  EXPECT_EQ(textToBytes("ab").bytes, "ab");
}

TEST(ByteSequenceOps, IntegersAndTruthValues) {
  EXPECT_EQ(toBytes(int32_t{1}).bytes, "\x01\0\0\0"s);
  EXPECT_EQ(toBytes(int32_t{-2}).bytes, "\xFE\xFF\xFF\xFF"s);
  EXPECT_EQ(toBytes(true).bytes, "\x01\0\0\0"s);
  EXPECT_EQ(toBytes(false).bytes, "\0\0\0\0"s);
  EXPECT_EQ(bytesToInt32("\xE6"), 230);
  EXPECT_EQ(bytesToInt32(""), 0);
  EXPECT_EQ(bytesToInt32("\x34\x12"), 0x1234);
  EXPECT_EQ(bytesToInt32("\xFF\xFF\xFF\xFF\x05"), -1);
  for (int32_t v : {0, 1, -1, 123456789, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(v);
    EXPECT_EQ(bytesToInt32(toBytes(v)), v);
  }
  EXPECT_TRUE(bytesToBool(toBytes(true)));
  EXPECT_FALSE(bytesToBool(toBytes(false)));
  EXPECT_FALSE(bytesToBool(""));
  EXPECT_TRUE(bytesToBool("\0\0\0\x01"s));
  EXPECT_FALSE(bytesToBool("\0\0\0\0\x01"s));  // only the first 4 bytes count
}

}  // namespace
}  // namespace text
