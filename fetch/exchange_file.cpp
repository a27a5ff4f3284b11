// The exchange files of the process: a table of byte runs under one lock.
#include "fetch/exchange_file.h"

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace fetch {
namespace {

struct ExchangeFile {
  std::string bytes;
  size_t position = 0;
};

struct ExchangeTable {
  std::mutex lock;
  std::unordered_map<int32_t, ExchangeFile> files;
  int32_t lastNumber = 0;  // numbers go up from 1 and are never reused
};

// Never destroyed, so a worker still running at process exit finds it.
ExchangeTable& table() {
  static ExchangeTable* const instance = new ExchangeTable;
  return *instance;
}

// The open file with that number, or null. REQUIRES: table().lock held.
ExchangeFile* findFile(int32_t number) {
  auto& files = table().files;
  const auto it = files.find(number);
  return it == files.end() ? nullptr : &it->second;
}

size_t clampedCount(int32_t count, size_t available) {
  return count <= 0 ? 0 : std::min(static_cast<size_t>(count), available);
}

}  // namespace

int32_t openExchangeFile() {
  std::lock_guard<std::mutex> guard(table().lock);
  if (table().lastNumber == INT32_MAX) return 0;
  const int32_t number = ++table().lastNumber;
  table().files.emplace(number, ExchangeFile{});
  return number;
}

void closeExchangeFile(int32_t number) {
  std::lock_guard<std::mutex> guard(table().lock);
  table().files.erase(number);
}

bool writeExchangeFile(int32_t number, std::initializer_list<std::string_view> runs) {
  std::lock_guard<std::mutex> guard(table().lock);
  ExchangeFile* file = findFile(number);
  if (file == nullptr) return false;
  for (const std::string_view run : runs) {
    const size_t overlap = std::min(run.size(), file->bytes.size() - file->position);
    file->bytes.replace(file->position, overlap, run);
    file->position += run.size();
  }
  return true;
}

bool seekExchangeFileToStart(int32_t number) {
  std::lock_guard<std::mutex> guard(table().lock);
  ExchangeFile* file = findFile(number);
  if (file == nullptr) return false;
  file->position = 0;
  return true;
}

int32_t exchangeFileLength(int32_t number) {
  std::lock_guard<std::mutex> guard(table().lock);
  const ExchangeFile* file = findFile(number);
  if (file == nullptr) return 0;
  return static_cast<int32_t>(std::min<size_t>(file->bytes.size(), INT32_MAX));
}

text::ByteSequence readExchangeFile(int32_t number, int32_t count) {
  std::lock_guard<std::mutex> guard(table().lock);
  ExchangeFile* file = findFile(number);
  if (file == nullptr) return {};
  const size_t taken = clampedCount(count, file->bytes.size() - file->position);
  text::ByteSequence result(file->bytes.substr(file->position, taken));
  file->position += taken;
  return result;
}

bool deleteExchangeFileBytes(int32_t number, int32_t count) {
  std::lock_guard<std::mutex> guard(table().lock);
  ExchangeFile* file = findFile(number);
  if (file == nullptr) return false;
  file->bytes.erase(file->position, clampedCount(count, file->bytes.size() - file->position));
  return true;
}

bool replaceContent(int32_t number, std::string_view bytes) {
  // Copy outside the lock so that a large record never holds up the others.
  std::string copy(bytes);
  std::lock_guard<std::mutex> guard(table().lock);
  ExchangeFile* file = findFile(number);
  if (file == nullptr) return false;
  file->bytes.swap(copy);
  file->position = 0;
  return true;
}

text::ByteSequence readContent(int32_t number) {
  std::lock_guard<std::mutex> guard(table().lock);
  const ExchangeFile* file = findFile(number);
  if (file == nullptr) return {};
  return text::ByteSequence(file->bytes);
}

text::ByteSequence takeContentAndClose(int32_t number) {
  std::lock_guard<std::mutex> guard(table().lock);
  const auto it = table().files.find(number);
  if (it == table().files.end()) return {};
  text::ByteSequence content(std::move(it->second.bytes));
  table().files.erase(it);
  return content;
}

}  // namespace fetch
