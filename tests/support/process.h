// Test helpers around files and child processes: whole-file reads and
// writes, polling with a limit, shell commands, and one run of a program.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <cstdint>

#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace testsupport {

// The whole content of path ("" when it cannot be read).
std::string readFile(const std::filesystem::path& path);
// Replaces the content of path with bytes.
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Polls done() every 20 ms until it holds or limit passes; returns done().
bool waitFor(std::chrono::milliseconds limit, const std::function<bool()>& done);

// True when the environment says CI=true: tests that would skip for a
// missing tool or privilege must fail instead.
bool underCi();

// Runs command through /bin/sh; its exit status (-1 when it did not exit
// normally), with stdout and stderr in *output when given.
int shell(const std::string& command, std::string* output = nullptr);

// This process's environment as NAME=value entries, less every entry
// that begins with one of the given prefixes (such as "DISPLAY=").
std::vector<std::string> environmentWithout(std::initializer_list<const char*> prefixes);

// Lowers the process's file-size limit to bytes for its lifetime, with
// SIGXFSZ ignored, so that a write past it fails part-way with EFBIG as a
// write onto a full disk fails with ENOSPC. Restores both when destroyed.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool active() const { return active_; }

 private:
  struct rlimit saved_;
  void (*savedHandler_)(int) = nullptr;
  bool active_ = false;
};

// One run of a program in workDir with exactly the environment env, its
// output going to logPath; killed by the destructor if still running.
class ExeRun {
 public:
  ExeRun(const std::filesystem::path& exe, const std::filesystem::path& workDir,
         const std::vector<std::string>& env, const std::filesystem::path& logPath);
  ~ExeRun();
  ExeRun(const ExeRun&) = delete;
  ExeRun& operator=(const ExeRun&) = delete;

  // True when the process ended within the limit; status() then holds it.
  bool waitForExit(std::chrono::milliseconds limit);
  int status() const { return status_; }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = 0;
};

}  // namespace testsupport
