// deduplicateLines: one pass over the list that cuts lines, looks each up
// in an open-addressing hash set of views into the list, and appends the
// new ones to a result reserved at full size. Nothing is copied per line
// except into the result.
#include "listcmd/deduplicate.h"

#include <cstring>
#include <vector>

namespace listcmd {
namespace {

uint64_t mix(uint64_t x) {
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  x *= 0xC4CEB9FE1A85EC53ull;
  x ^= x >> 33;
  return x;
}

uint64_t hashLine(std::string_view line) {
  const char* p = line.data();
  size_t n = line.size();
  uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    h = (h ^ v) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 29;
  }
  uint64_t tail = 0;
  std::memcpy(&tail, p, n);
  return mix(h ^ tail);
}

// The seen set: each slot holds 32 bits of the line's hash and the 1-based
// index of the line in `lines` (0 = empty slot). Grows at half full.
class SeenSet {
 public:
  explicit SeenSet(size_t expected) {
    size_t capacity = 16;
    while (capacity < expected * 2) capacity *= 2;
    slots_.assign(capacity, 0);
  }

  // Adds line; true when it was not there before.
  bool add(std::string_view line) {
    if ((lines_.size() + 1) * 2 > slots_.size()) grow();
    const uint64_t h = hashLine(line);
    const uint64_t tag = h >> 32;
    const size_t mask = slots_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      const uint64_t slot = slots_[i];
      if (slot == 0) {
        lines_.push_back(line);
        slots_[i] = (tag << 32) | lines_.size();
        return true;
      }
      if ((slot >> 32) == tag && lines_[(slot & 0xFFFFFFFFu) - 1] == line) return false;
    }
  }

 private:
  void grow() {
    std::vector<uint64_t> old(slots_.size() * 2, 0);
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (uint64_t slot : old) {
      if (slot == 0) continue;
      size_t i = hashLine(lines_[(slot & 0xFFFFFFFFu) - 1]) & mask;
      while (slots_[i] != 0) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }

  std::vector<uint64_t> slots_;
  std::vector<std::string_view> lines_;
};

// A rough line count to size the set: one line per 16 bytes.
size_t expectedLines(std::string_view list) { return list.size() / 16 + 1; }

}  // namespace

DeduplicatedList deduplicateLines(std::string_view list) {
  DeduplicatedList result;
  result.text.reserve(list.size() + 2);
  SeenSet seen(expectedLines(list));
  const auto* data = reinterpret_cast<const unsigned char*>(list.data());
  const size_t size = list.size();
  auto keep = [&](size_t from, size_t to) {
    const std::string_view line = list.substr(from, to - from);
    if (!seen.add(line)) return;
    result.text.append(line);
    result.text.append(text::kCrLf);
    ++result.count;
  };
  size_t lineStart = 0;
  size_t i = 0;
  while (i < size) {
    const unsigned char c = data[i];
    if (text::isLeadByte(c)) {
      i += 2;  // the trail byte is never a separator
    } else if (c == '\r' && i + 1 < size && data[i + 1] == '\n') {
      keep(lineStart, i);
      i += 2;
      lineStart = i;
    } else {
      ++i;
    }
  }
  if (lineStart < size) keep(lineStart, size);
  return result;
}

}  // namespace listcmd
