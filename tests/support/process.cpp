#include "tests/support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace testsupport {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool waitFor(std::chrono::milliseconds limit, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

bool underCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string(ci) == "true";
}

int shell(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return -1;
  std::string text;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output != nullptr) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> environmentWithout(std::initializer_list<const char*> prefixes) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool keep = true;
    for (const char* prefix : prefixes) {
      if (entry.rfind(prefix, 0) == 0) keep = false;
    }
    if (keep) env.push_back(entry);
  }
  return env;
}

FileSizeLimit::FileSizeLimit(uint64_t bytes) {
  if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) return;
  savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved_;
  small.rlim_cur = bytes;
  active_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
}

FileSizeLimit::~FileSizeLimit() {
  if (active_) ::setrlimit(RLIMIT_FSIZE, &saved_);
  std::signal(SIGXFSZ, savedHandler_);
}

ExeRun::ExeRun(const std::filesystem::path& exe, const std::filesystem::path& workDir,
               const std::vector<std::string>& env, const std::filesystem::path& logPath) {
  // Everything the child needs is prepared before fork: after it, only
  // async-signal-safe calls.
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const std::string program = exe.string(), dir = workDir.string(), log = logPath.string();
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  pid_ = fork();
  if (pid_ == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) dup2(out, 1), dup2(out, 2);
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
}

ExeRun::~ExeRun() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool ExeRun::waitForExit(std::chrono::milliseconds limit) {
  return waitFor(limit, [&] {
    if (!exited_ && waitpid(pid_, &status_, WNOHANG) == pid_) exited_ = true;
    return exited_;
  });
}

}  // namespace testsupport
