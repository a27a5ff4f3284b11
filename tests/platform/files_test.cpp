#include "platform/files.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace {

using platform::closeFile;
using platform::FileNumber;
using platform::openSharedReadWrite;
using platform::readWholeFile;
using platform::writeWholeFile;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vt_files_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::string command = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  static void put(const std::string& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
  }
  static std::string get(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::vector<std::string> names() const {
    std::vector<std::string> result;
    DIR* d = ::opendir(dir_.c_str());
    while (dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") result.push_back(n);
    }
    ::closedir(d);
    return result;
  }

  std::string dir_;
};

TEST_F(FilesTest, SharedOpenCreatesMissingFileEmptyAndNeverTruncates) {
  FileNumber created = openSharedReadWrite(path("word.txt"));
  EXPECT_NE(created, 0);
  EXPECT_TRUE(platform::fileExists(path("word.txt")));
  EXPECT_EQ(get(path("word.txt")), "");
  closeFile(created);

  put(path("kept.txt"), "a\r\nb\r\n");
  FileNumber existing = openSharedReadWrite(path("kept.txt"));
  EXPECT_NE(existing, 0);
  EXPECT_EQ(get(path("kept.txt")), "a\r\nb\r\n");
  closeFile(existing);
}

TEST_F(FilesTest, NumbersAreNonZeroAndNeverReused) {
  std::set<FileNumber> seen;
  for (int i = 0; i < 20; ++i) {
    FileNumber n = openSharedReadWrite(path("f" + std::to_string(i % 3)));
    ASSERT_NE(n, 0);
    EXPECT_TRUE(seen.insert(n).second) << n;
    closeFile(n);
  }
}

TEST_F(FilesTest, SharedOpenFailsOnBadPaths) {
  EXPECT_EQ(openSharedReadWrite(""), 0);
  EXPECT_EQ(openSharedReadWrite(dir_), 0);
  EXPECT_EQ(openSharedReadWrite(path("no/such/dir.txt")), 0);
}

TEST_F(FilesTest, CloseOfUnknownOrClosedNumberDoesNothing) {
  closeFile(0);
  closeFile(-5);
  closeFile(987654321);
  FileNumber n = openSharedReadWrite(path("x"));
  closeFile(n);
  closeFile(n);
  EXPECT_TRUE(writeWholeFile(path("x"), "ok"));
}

// A file held open with full sharing and read-write access refuses an
// exclusive write and a read that shares only with readers, until closed;
// another full-sharing open of it is allowed meanwhile.
TEST_F(FilesTest, HeldFileRefusesExclusiveWriteAndReadOnlySharingRead) {
  const std::string word = path("word.txt");
  put(word, "old\r\n");
  FileNumber held = openSharedReadWrite(word);
  ASSERT_NE(held, 0);

  EXPECT_FALSE(writeWholeFile(word, "new\r\n"));
  EXPECT_EQ(get(word), "old\r\n");
  EXPECT_EQ(readWholeFile(word).bytes, "");
  FileNumber second = openSharedReadWrite(word);
  EXPECT_NE(second, 0);
  closeFile(second);
  EXPECT_FALSE(writeWholeFile(word, "new\r\n")) << "still held by the first open";

  closeFile(held);
  EXPECT_TRUE(writeWholeFile(word, "new\r\n"));
  EXPECT_EQ(readWholeFile(word).bytes, "new\r\n");
  EXPECT_TRUE(writeWholeFile(word, "again"));
  EXPECT_EQ(readWholeFile(word).bytes, "again");
}

TEST_F(FilesTest, WriteWholeFileWritesExactlyTheBytes) {
  struct Row {
    const char* label;
    std::string before;  // empty: file missing
    std::string bytes;
  };
  const std::vector<Row> rows = {
      {"new file", "", "\xBB\xFA\xD0\xB5\r\n"},
      {"shorter over longer", "0123456789\r\n0123456789\r\n", "ab\r\n"},
      {"empty over content", "something", ""},
      {"NUL and bare LF kept", "x", std::string("a\0b\nc\r", 6)},
  };
  int i = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string file = path("w" + std::to_string(i++) + ".txt");
    if (!row.before.empty()) put(file, row.before);
    EXPECT_TRUE(writeWholeFile(file, row.bytes));
    EXPECT_EQ(get(file), row.bytes);
  }
  EXPECT_EQ(names().size(), rows.size()) << "no temporary file left behind";
}

TEST_F(FilesTest, WriteWholeFileRefusesBadTargets) {
  ::mkdir(path("sub").c_str(), 0755);
  ::mkfifo(path("pipe").c_str(), 0644);
  struct Row {
    const char* label;
    std::string target;
  };
  for (const Row& row : std::vector<Row>{{"empty path", ""},
                                         {"directory", path("sub")},
                                         {"named pipe", path("pipe")},
                                         {"missing folder", path("none/x.txt")}}) {
    SCOPED_TRACE(row.label);
    EXPECT_FALSE(writeWholeFile(row.target, "x"));
  }
  EXPECT_EQ(names().size(), 2u) << "no temporary file left behind";
}

TEST_F(FilesTest, WriteWholeFileKeepsModeOfReplacedFileAndUmaskForNewOne) {
  put(path("old"), "x");
  ::chmod(path("old").c_str(), 0640);
  ASSERT_TRUE(writeWholeFile(path("old"), "y"));
  struct stat st;
  ASSERT_EQ(::stat(path("old").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  mode_t mask = ::umask(022);
  ASSERT_TRUE(writeWholeFile(path("new"), "y"));
  ::umask(mask);
  ASSERT_EQ(::stat(path("new").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(FilesTest, WriteThroughSymbolicLinkKeepsTheLink) {
  put(path("real.txt"), "old");
  ASSERT_EQ(::symlink(path("real.txt").c_str(), path("link.txt").c_str()), 0);
  ASSERT_TRUE(writeWholeFile(path("link.txt"), "new"));
  struct stat st;
  ASSERT_EQ(::lstat(path("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(get(path("real.txt")), "new");
}

// A write that fails part-way (here: the file-size limit, which makes
// write() fail with EFBIG as a full disk would with ENOSPC) must leave the
// previous content whole and no temporary file behind.
TEST_F(FilesTest, WriteFailingPartWayKeepsPreviousContent) {
  const std::string file = path("word.txt");
  put(file, "previous\r\n");
  bool written = true;
  {
    const testsupport::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.active());
    written = writeWholeFile(file, std::string(100000, 'k'));
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(get(file), "previous\r\n");
  EXPECT_EQ(names(), std::vector<std::string>{"word.txt"});
}

TEST_F(FilesTest, ReadWholeFileGivesAllBytesOrEmpty) {
  std::string big(3 * 65536 + 17, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  put(path("big"), big);
  EXPECT_EQ(readWholeFile(path("big")).bytes, big);

  ::mkdir(path("sub").c_str(), 0755);
  ::mkfifo(path("pipe").c_str(), 0644);
  put(path("empty"), "");
  // Sparse: takes no disk, but claims more bytes than a count can hold.
  put(path("huge"), "");
  ASSERT_EQ(::truncate(path("huge").c_str(), off_t{INT32_MAX} + 1), 0);
  for (const std::string& p : {std::string(), path("missing"), path("sub"), path("pipe"),
                               path("empty"), path("huge")}) {
    SCOPED_TRACE(p);
    EXPECT_EQ(readWholeFile(p).bytes, "");  // a pipe must not hang the read
  }
}

TEST_F(FilesTest, FileExistsSeesAnyDirectoryEntry) {
  put(path("f"), "");
  ::mkdir(path("d").c_str(), 0755);
  ::symlink(path("nowhere").c_str(), path("dangling").c_str());
  EXPECT_TRUE(platform::fileExists(path("f")));
  EXPECT_TRUE(platform::fileExists(path("d")));
  EXPECT_TRUE(platform::fileExists(path("dangling")));
  EXPECT_FALSE(platform::fileExists(path("missing")));
  EXPECT_FALSE(platform::fileExists(""));
}

TEST(ProgramDirectory, IsTheExecutablesFolderWithoutTrailingSeparator) {
  char exe[4096] = {};
  ASSERT_GT(::readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  std::string expected(exe);
  expected.resize(expected.rfind('/'));
  EXPECT_EQ(platform::programDirectory(), expected);
  EXPECT_NE(platform::programDirectory().back(), '/');
}

}  // namespace
