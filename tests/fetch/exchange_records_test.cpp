// Byte layout of the three exchange records.
#include "fetch/exchange_records.h"

#include <gtest/gtest.h>

#include <string>

namespace fetch {
namespace {

std::string le(int32_t v) { return text::toBytes(v).bytes; }

TEST(RequestRecord, UrlOnlyRequestIsExactly48PlusUrlBytes) {
  FetchRequestRecord record;
  record.url = "http://www.baidu.com/s?wd=abcd";
  ASSERT_EQ(record.url.size(), 30u);

  std::string expected = std::string("\x01\x00\x00\x00\x1E\x00\x00\x00", 8) + record.url;
  expected += std::string(40, '\0');  // ten empty texts and false values
  EXPECT_EQ(encodeRequestRecord(record).bytes, expected);
  EXPECT_EQ(expected.size(), 78u);
}

TEST(RequestRecord, FieldsFollowTableOrderAndRoundTrip) {
  const FetchRequestRecord record{true, "u", "POST", "a=1", "c=2", true, "p:8",
                                  "X: y\r\n", "n\xBB\xFA", "", false, true};
  const std::string bytes = encodeRequestRecord(record).bytes;
  const std::string expected = le(1) + le(1) + "u" + le(4) + "POST" + le(3) + "a=1" +
                               le(3) + "c=2" + le(1) + le(3) + "p:8" + le(6) + "X: y\r\n" +
                               le(3) + "n\xBB\xFA" + le(0) + le(0) + le(1);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(decodeRequestRecord(bytes), record);
}

TEST(ProgressRecord, IsAlways28BytesWithTheHandlesAtTheEnd) {
  const std::string bytes = encodeProgressRecord({0x11223344, -2, 7}).bytes;
  EXPECT_EQ(bytes, std::string(16, '\0') + "\x44\x33\x22\x11" + le(-2) + le(7));
  EXPECT_EQ(decodeProgressRecord(bytes), (FetchProgressRecord{0x11223344, -2, 7}));

  const FetchResultRecord asResult = decodeResultRecord(bytes);
  EXPECT_FALSE(asResult.succeeded);
  EXPECT_EQ(asResult.body.bytes, "");
  EXPECT_EQ(asResult.sessionHandle, 7);
}

TEST(ResultRecord, LengthIs28PlusItsTextsAndBodyAndRoundTrips) {
  FetchResultRecord record;
  record.succeeded = true;
  record.rawHeaders = "HTTP/1.1 200 OK\r\n";
  record.receivedCookies = "a=b";
  record.body = text::ByteSequence(std::string("x\0y", 3));
  record.requestHandle = 3;
  record.connectionHandle = 2;
  record.sessionHandle = 1;
  const std::string bytes = encodeResultRecord(record).bytes;
  EXPECT_EQ(bytes.size(), 28u + 17u + 3u + 3u);
  EXPECT_EQ(decodeResultRecord(bytes), record);
  EXPECT_EQ(decodeProgressRecord(bytes), (FetchProgressRecord{3, 2, 1}));
}

struct DecodeCase {
  const char* label;
  std::string bytes;
  FetchResultRecord expected;
};

TEST(ResultRecord, DecodingDamagedBytesNeverOverreads) {
  const DecodeCase cases[] = {
      {"empty", "", {}},
      {"short truth value", "\x05", {true}},
      {"negative count is empty", le(1) + le(-3) + le(0) + le(0) + le(9),
       {true, "", "", {}, 9}},
      {"count past the end takes the rest", le(1) + le(0) + le(0) + le(100) + "abc",
       {true, "", "", text::ByteSequence("abc")}},
      {"text stops at NUL, count still skips", le(0) + le(3) + std::string("a\0b", 3) + le(0) +
       le(0) + le(4), {false, "a", "", {}, 4}},
      {"handle cut short", le(0) + le(0) + le(0) + le(0) + "\x02", {false, "", "", {}, 2}},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(decodeResultRecord(c.bytes), c.expected);
  }
}

TEST(RequestRecord, DecodingTruncatedRecordGivesDefaultsForMissingFields) {
  const std::string bytes = le(1) + le(50) + "http://x";
  const FetchRequestRecord record = decodeRequestRecord(bytes);
  EXPECT_TRUE(record.proceed);
  EXPECT_EQ(record.url, "http://x");
  EXPECT_EQ(record.verb, "");
  EXPECT_FALSE(record.storeCookies);
  EXPECT_FALSE(decodeRequestRecord("").proceed);
}

}  // namespace
}  // namespace fetch
