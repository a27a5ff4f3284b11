// POSIX backend of the files layer: a process-wide table of our own opens
// stands in for the share modes that the kernel does not have.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_map>

namespace platform {
namespace {

// The largest file readWholeFile takes in: byte counts are 32-bit. A
// bigger file (or a pseudo-file claiming a huge size) reads as unreadable
// rather than exhausting memory.
constexpr off_t kMaxReadBytes = INT32_MAX;

// Access wanted by an open and access it lets others have, as bit sets.
enum : unsigned { kRead = 1, kWrite = 2 };

struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileId&) const = default;
};

struct OpenEntry {
  FileId id;
  int fd = -1;  // -1 for a transient open that owns its descriptor itself
  unsigned access = 0;
  unsigned share = 0;
};

// Every open of ours, by number. Transient opens (a whole-file read) get a
// number too so that they take part in the share checks while they last.
struct OpenTable {
  std::mutex mutex;
  std::unordered_map<FileNumber, OpenEntry> entries;
  std::atomic<FileNumber> lastNumber{0};
};

OpenTable& table() {
  static OpenTable* t = new OpenTable;  // never freed: usable at exit
  return *t;
}

// A fresh number, never reused during the run; 0 once the range is spent.
FileNumber nextNumber() {
  FileNumber current = table().lastNumber.load();
  do {
    if (current == INT32_MAX) return 0;
  } while (!table().lastNumber.compare_exchange_weak(current, current + 1));
  return current + 1;
}

// Windows rule: every existing open must share what the new one wants, and
// the new one must share what every existing open holds.
// REQUIRES: table().mutex held.
bool shareAllows(const FileId& id, unsigned access, unsigned share) {
  for (const auto& [number, entry] : table().entries) {
    if (!(entry.id == id)) continue;
    if ((entry.share & access) != access) return false;
    if ((share & entry.access) != entry.access) return false;
  }
  return true;
}

FileId idOf(const struct stat& st) { return FileId{st.st_dev, st.st_ino}; }

bool writeAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

std::string directoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creates a new, empty file beside target with a name no one else uses;
// its mode is 0666 less the umask, as any newly created file gets.
int createTempBeside(const std::string& target, std::string* tempPath) {
  static std::atomic<unsigned> counter{0};
  const std::string dir = directoryOf(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath = dir + "/.vantrel-" + std::to_string(::getpid()) + "-" +
                std::to_string(counter.fetch_add(1)) + ".tmp";
    int fd = ::open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Makes a finished rename survive a crash; failure here loses nothing.
void syncDirectory(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The path whose directory entry the write replaces: the file a symbolic
// link points to, so that the link itself survives a save.
std::string resolvedTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return path;
}

// Writes bytes into a temporary file and renames it over target.
// REQUIRES: table().mutex held, so no open of ours can start meanwhile.
bool replaceFileContent(const std::string& target, std::string_view bytes,
                        const struct stat* existing) {
  std::string tempPath;
  int fd = createTempBeside(target, &tempPath);
  if (fd < 0) return false;
  bool ok = true;
  if (existing != nullptr) ok = ::fchmod(fd, existing->st_mode & 07777) == 0;
  ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(tempPath.c_str());
    return false;
  }
  syncDirectory(directoryOf(target));
  return true;
}

}  // namespace

FileNumber openSharedReadWrite(const std::string& path) {
  if (path.empty()) return 0;
  std::lock_guard lock(table().mutex);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return 0;
  struct stat st;
  const unsigned all = kRead | kWrite;
  FileNumber number = 0;
  if (::fstat(fd, &st) == 0 && shareAllows(idOf(st), all, all)) number = nextNumber();
  if (number == 0) {
    ::close(fd);
    return 0;
  }
  table().entries[number] = OpenEntry{idOf(st), fd, all, all};
  return number;
}

void closeFile(FileNumber number) {
  std::lock_guard lock(table().mutex);
  auto it = table().entries.find(number);
  if (it == table().entries.end() || it->second.fd < 0) return;
  ::close(it->second.fd);
  table().entries.erase(it);
}

bool writeWholeFile(const std::string& path, std::string_view bytes) {
  if (path.empty()) return false;
  const std::string target = resolvedTarget(path);
  // Held for the whole write: the rename swaps the file a path names, and
  // no open of ours may slip in between the share check and the swap.
  std::lock_guard lock(table().mutex);
  struct stat st;
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists) {
    if (!S_ISREG(st.st_mode)) return false;  // a directory, a device, a pipe
    if (!shareAllows(idOf(st), kWrite, 0)) return false;
  }
  return replaceFileContent(target, bytes, exists ? &st : nullptr);
}

text::ByteSequence readWholeFile(const std::string& path) {
  if (path.empty()) return {};
  FileNumber number = 0;
  int fd = -1;
  struct stat st;
  {
    std::lock_guard lock(table().mutex);
    // O_NONBLOCK: opening a named pipe must not wait for a writer.
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxReadBytes ||
        !shareAllows(idOf(st), kRead, kRead) || (number = nextNumber()) == 0) {
      ::close(fd);
      return {};
    }
    table().entries[number] = OpenEntry{idOf(st), -1, kRead, kRead};
  }
  std::string bytes;
  char buffer[1 << 16];
  bool ok = true;
  try {
    bytes.reserve(static_cast<size_t>(st.st_size));
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n == 0) break;
      // A file that grows past the bound while it is read is too big too.
      if (n < 0 || bytes.size() + static_cast<size_t>(n) > static_cast<size_t>(kMaxReadBytes)) {
        ok = false;
        break;
      }
      bytes.append(buffer, static_cast<size_t>(n));
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  ::close(fd);
  {
    std::lock_guard lock(table().mutex);
    table().entries.erase(number);
  }
  if (!ok) return {};
  return text::ByteSequence(std::move(bytes));
}

bool fileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

std::string programDirectory() {
  static const std::string directory = [] {
    std::string exe(PATH_MAX, '\0');
    ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n <= 0) return std::string(".");
    exe.resize(static_cast<size_t>(n));
    size_t slash = exe.rfind('/');
    return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
  }();
  return directory;
}

}  // namespace platform
