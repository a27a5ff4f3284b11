// The in-memory exchange file and its whole-record operations.
#include "fetch/exchange_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace fetch {
namespace {

TEST(ExchangeFile, WriteSeekReadDeleteLikeAFile) {
  const int32_t file = openExchangeFile();
  ASSERT_NE(file, 0);
  EXPECT_EQ(exchangeFileLength(file), 0);
  EXPECT_TRUE(writeExchangeFile(file, {"abc", std::string_view("\0d", 2), ""}));
  EXPECT_EQ(exchangeFileLength(file), 5);
  EXPECT_EQ(readExchangeFile(file, 2).bytes, "");  // position is at the end

  ASSERT_TRUE(seekExchangeFileToStart(file));
  EXPECT_EQ(readExchangeFile(file, 2).bytes, "ab");
  EXPECT_TRUE(writeExchangeFile(file, {"XYZW"}));  // overwrites and extends
  ASSERT_TRUE(seekExchangeFileToStart(file));
  EXPECT_EQ(readExchangeFile(file, 100).bytes, "abXYZW");
  EXPECT_EQ(readExchangeFile(file, -1).bytes, "");

  ASSERT_TRUE(seekExchangeFileToStart(file));
  EXPECT_EQ(readExchangeFile(file, 1).bytes, "a");
  EXPECT_TRUE(deleteExchangeFileBytes(file, 2));
  ASSERT_TRUE(seekExchangeFileToStart(file));
  EXPECT_EQ(readContent(file).bytes, "aYZW");
  EXPECT_TRUE(deleteExchangeFileBytes(file, exchangeFileLength(file)));
  EXPECT_EQ(exchangeFileLength(file), 0);
  closeExchangeFile(file);
}

TEST(ExchangeFile, ClosedOrUnknownNumbersFailHarmlessly) {
  const int32_t file = openExchangeFile();
  ASSERT_TRUE(replaceContent(file, "record"));
  closeExchangeFile(file);
  for (const int32_t number : {file, 0, -1, INT32_MAX}) {
    SCOPED_TRACE(number);
    EXPECT_FALSE(writeExchangeFile(number, {"x"}));
    EXPECT_FALSE(replaceContent(number, "x"));
    EXPECT_FALSE(seekExchangeFileToStart(number));
    EXPECT_FALSE(deleteExchangeFileBytes(number, 1));
    EXPECT_EQ(exchangeFileLength(number), 0);
    EXPECT_EQ(readExchangeFile(number, 10).bytes, "");
    EXPECT_EQ(readContent(number).bytes, "");
    closeExchangeFile(number);
  }
  const int32_t next = openExchangeFile();
  EXPECT_NE(next, file);  // a dead number never comes back
  EXPECT_FALSE(replaceContent(file, "late write"));
  EXPECT_EQ(readContent(next).bytes, "");
  closeExchangeFile(next);
}

TEST(ExchangeFile, ReplaceContentStartsOverAtTheFirstByte) {
  const int32_t file = openExchangeFile();
  ASSERT_TRUE(writeExchangeFile(file, {"a long first record"}));
  ASSERT_TRUE(replaceContent(file, "short"));
  EXPECT_EQ(exchangeFileLength(file), 5);
  EXPECT_EQ(readExchangeFile(file, 100).bytes, "short");
  closeExchangeFile(file);
}

// A reader polling from another thread sees only whole records: each one
// is a run of one letter, and runs differ in letter and length.
TEST(ExchangeFile, ReaderThreadNeverSeesAHalfReplacedRecord) {
  const int32_t file = openExchangeFile();
  ASSERT_TRUE(replaceContent(file, std::string(1000, 'a')));
  std::atomic<bool> done{false};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done.load()) {
      const std::string seen = readContent(file).bytes;
      if (seen.empty() || seen.find_first_not_of(seen[0]) != std::string::npos ||
          seen.size() != 1000u + 37u * static_cast<size_t>(seen[0] - 'a')) {
        ++torn;
      }
    }
  });
  for (int round = 0; round < 2000; ++round) {
    const int k = round % 26;
    ASSERT_TRUE(replaceContent(file, std::string(1000 + 37 * k, static_cast<char>('a' + k))));
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn.load(), 0);
  closeExchangeFile(file);
}

TEST(ExchangeFile, CloseWhileAnotherThreadWritesIsSafe) {
  for (int round = 0; round < 200; ++round) {
    const int32_t file = openExchangeFile();
    std::thread writer([file] {
      for (int i = 0; i < 50; ++i) replaceContent(file, "progress record");
    });
    closeExchangeFile(file);
    writer.join();
    EXPECT_EQ(readContent(file).bytes, "");
  }
}

}  // namespace
}  // namespace fetch
