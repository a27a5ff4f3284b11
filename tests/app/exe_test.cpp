// The real executable under a private X server: word.txt at start-up and
// the home page handed to the desktop's open action when the window closes.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/process.h"
#include "tests/support/x_display.h"


namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using testsupport::ExeRun;
using testsupport::readFile;
using testsupport::waitFor;
using testsupport::writeFile;

class ExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const bool ci = std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true";
    std::string missing;
    if (!testsupport::x11Available()) missing = "libX11 cannot be loaded";
    if (missing.empty() && !xvfb.running()) missing = xvfb.problem();
    if (!missing.empty()) {
      if (ci) FAIL() << missing;
      GTEST_SKIP() << missing;
    }
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = fs::temp_directory_path() /
           ("vantrel_exe_" + std::string(info->name()) + "_" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "prog");
    fs::create_directories(root / "bin");
    fs::create_directories(root / "elsewhere");
    fs::copy_file(VANTREL_EXE, root / "prog" / "vantrel");
    // A stand-in for the desktop's open action that records its arguments.
    const fs::path opener = root / "bin" / "xdg-open";
    writeFile(opener, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + (root / "opened.txt").string() +
                          "'\n");
    fs::permissions(opener, fs::perms::owner_all);
  }
  void TearDown() override {
    if (!root.empty()) fs::remove_all(root);
  }

  std::vector<std::string> childEnvironment() const {
    std::vector<std::string> env = testsupport::environmentWithout(
        {"DISPLAY=", "PATH=", "QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=", "BROWSER=", "DEFAULT_BROWSER="});
    const char* path = std::getenv("PATH");
    if (noBrowser) {
      env.push_back("PATH=" + (root / "elsewhere").string());  // no open action at all
    } else {
      env.push_back("PATH=" + (root / "bin").string() + ":" + (path ? path : "/usr/bin:/bin"));
    }
    env.push_back("DISPLAY=" + xvfb.display());
    env.push_back("QT_QPA_PLATFORM=xcb");
    return env;
  }

  // Starts the program from another directory, waits for its window,
  // checks word.txt meanwhile, closes the window and waits for the end.
  void runAndClose(const std::function<void(pid_t)>& whileOpen) {
    ExeRun run(root / "prog" / "vantrel", root / "elsewhere", childEnvironment(), root / "exe.log");
    ASSERT_TRUE(waitFor(10s, [&] { return testsupport::windowExists(xvfb.display(), "Vantrel"); }))
        << "the window did not appear on " << xvfb.display() << "; output:\n"
        << readFile(root / "exe.log");
    whileOpen(run.pid());
    ASSERT_TRUE(testsupport::closeWindowNamed(xvfb.display(), "Vantrel"));
    ASSERT_TRUE(run.waitForExit(10s)) << "the program did not end after its window closed; output:\n"
                                      << readFile(root / "exe.log");
    EXPECT_TRUE(WIFEXITED(run.status()));
    EXPECT_EQ(WEXITSTATUS(run.status()), 0);
    if (noBrowser) return;
    // The open action is started detached: give the script a moment.
    EXPECT_TRUE(waitFor(5s, [&] { return readFile(root / "opened.txt") == "http://www.baidu.com\n"; }))
        << "opened: " << readFile(root / "opened.txt");
  }

  testsupport::XvfbServer xvfb;
  fs::path root;
  bool noBrowser = false;
};

TEST_F(ExeTest, FirstStartCreatesAnEmptyWordFileAndClosingOpensTheHomePage) {
  runAndClose([&](pid_t pid) {
    // Started from elsewhere, it works in its own directory.
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(pid) + "/cwd"), root / "prog");
    EXPECT_TRUE(waitFor(5s, [&] { return fs::exists(root / "prog" / "word.txt"); }));
    EXPECT_EQ(fs::file_size(root / "prog" / "word.txt"), 0u);
  });
  EXPECT_FALSE(fs::exists(root / "elsewhere" / "word.txt"));
  EXPECT_EQ(fs::file_size(root / "prog" / "word.txt"), 0u);
}

TEST_F(ExeTest, AnExistingWordFileIsKeptByteForByte) {
  const std::string bytes = std::string("\xBB\xFA\xD0\xB5\r\nab\rc\nd\0e", 14);
  writeFile(root / "prog" / "word.txt", bytes);
  runAndClose([&](pid_t) { EXPECT_EQ(readFile(root / "prog" / "word.txt"), bytes); });
  EXPECT_EQ(readFile(root / "prog" / "word.txt"), bytes);
}

TEST_F(ExeTest, ClosingWithoutAnyBrowserStillEndsNormally) {
  noBrowser = true;
  runAndClose([](pid_t) {});
}

}  // namespace
