// deduplicateLines: one pass over the list that cuts lines, looks each up
// in an open-addressing hash set of places in the list, and appends the
// new ones to a result reserved at full size. Nothing is copied per line
// except into the result.
#include "listcmd/deduplicate.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <unordered_set>

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

// The seen set: open addressing with linear probing over slots that hold
// a line's place in the list, its length and 32 bits of its hash, so that
// a miss touches one slot and a hit one slot and the line's bytes.
// Lines are offered in batches: the slots (and then the bytes of likely
// matches) of a whole batch are prefetched before any of them is looked
// at, so the cache misses of a batch overlap instead of queueing.
class SeenSet {
 public:
  struct Line {
    size_t start = 0;
    size_t length = 0;
    uint64_t hash = 0;
  };
  static constexpr int kBatch = 16;

  SeenSet(std::string_view list, size_t expected) : list_(list) {
    size_t capacity = 1024;
    while (capacity * 7 < expected * 10) capacity *= 2;
    slots_ = SlotArray(capacity);
  }

  // Queues a line; onNew(line) runs, in queue order, for each line not
  // seen before.
  template <typename OnNew>
  void offer(size_t start, size_t length, OnNew&& onNew) {
    Line& line = batch_[queued_++];
    line = Line{start, length, hashLine(list_.substr(start, length))};
    __builtin_prefetch(&slots_[line.hash & (slots_.size() - 1)]);
    if (queued_ == kBatch) flush(onNew);
  }

  template <typename OnNew>
  void flush(OnNew&& onNew) {
    while ((used_ + queued_) * 10 > slots_.size() * 7) grow();
    const size_t mask = slots_.size() - 1;
    for (int i = 0; i < queued_; ++i) {
      const Slot& slot = slots_[batch_[i].hash & mask];
      if (slot.length == batch_[i].length + 1) __builtin_prefetch(list_.data() + slot.start);
    }
    for (int i = 0; i < queued_; ++i) {
      if (add(batch_[i])) onNew(batch_[i]);
    }
    queued_ = 0;
  }

 private:
  struct Slot {
    uint32_t start;
    uint32_t length;  // line length + 1; 0 = empty slot
    uint32_t tag;
  };

  // Zeroed slots. A large table is placed on 2 MB boundaries and marked
  // for huge pages: the look-ups jump at random across it, and with 4 KB
  // pages nearly every one would also miss the address translation cache.
  class SlotArray {
   public:
    SlotArray() = default;
    explicit SlotArray(size_t n) : size_(n) {
      constexpr size_t kHuge = size_t{2} << 20;
      const size_t bytes = n * sizeof(Slot);
      if (bytes < kHuge) {
        slots_ = static_cast<Slot*>(std::calloc(n, sizeof(Slot)));
      } else {
        const size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
        slots_ = static_cast<Slot*>(std::aligned_alloc(kHuge, rounded));
        if (slots_ != nullptr) {
          ::madvise(slots_, rounded, MADV_HUGEPAGE);  // a hint; failure is harmless
          std::memset(slots_, 0, rounded);
        }
      }
      if (slots_ == nullptr) throw std::bad_alloc();
    }
    SlotArray(SlotArray&& other) noexcept
        : slots_(std::exchange(other.slots_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    SlotArray& operator=(SlotArray&& other) noexcept {
      std::swap(slots_, other.slots_);
      std::swap(size_, other.size_);
      return *this;
    }
    ~SlotArray() { std::free(slots_); }
    Slot& operator[](size_t i) { return slots_[i]; }
    size_t size() const { return size_; }

   private:
    Slot* slots_ = nullptr;
    size_t size_ = 0;
  };

  bool add(const Line& line) {
    const size_t mask = slots_.size() - 1;
    const uint32_t tag = static_cast<uint32_t>(line.hash >> 32);
    const uint32_t length = static_cast<uint32_t>(line.length + 1);
    for (size_t i = line.hash & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (slot.length == 0) {
        slot = Slot{static_cast<uint32_t>(line.start), length, tag};
        ++used_;
        return true;
      }
      if (slot.tag == tag && slot.length == length &&
          std::memcmp(list_.data() + slot.start, list_.data() + line.start, line.length) == 0) {
        return false;
      }
    }
  }

  void grow() {
    SlotArray old(slots_.size() * 2);
    std::swap(old, slots_);
    const size_t mask = slots_.size() - 1;
    for (size_t k = 0; k < old.size(); ++k) {
      const Slot& slot = old[k];
      if (slot.length == 0) continue;
      size_t i = hashLine(list_.substr(slot.start, slot.length - 1)) & mask;
      while (slots_[i].length != 0) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }

  std::string_view list_;
  SlotArray slots_;
  size_t used_ = 0;
  Line batch_[kBatch];
  int queued_ = 0;
};

// splitText and a set of views: slower, but free of size limits.
DeduplicatedList deduplicatePlainly(std::string_view list) {
  DeduplicatedList result;
  const text::TextList lines = text::splitText(list, text::kCrLf);
  std::unordered_set<std::string_view> seen;
  for (const text::Text& line : lines) {
    if (!seen.insert(line).second) continue;
    result.text.append(line);
    result.text.append(text::kCrLf);
    ++result.count;
  }
  return result;
}

// A rough line count to size the set: one line per 16 bytes.
size_t expectedLines(std::string_view list) { return list.size() / 16 + 1; }

}  // namespace

DeduplicatedList deduplicateLines(std::string_view list) {
  DeduplicatedList result;
  // The slots hold 32-bit places and lengths; a list of 4 GB or more
  // (which the box cannot hold) takes the plain road instead.
  if (list.size() >= UINT32_MAX) return deduplicatePlainly(list);
  result.text.reserve(list.size() + 2);
  SeenSet seen(list, expectedLines(list));
  const auto keep = [&](const SeenSet::Line& line) {
    result.text.append(list.data() + line.start, line.length);
    result.text.append(text::kCrLf);
    ++result.count;
  };
  const auto* data = reinterpret_cast<const unsigned char*>(list.data());
  const size_t size = list.size();
  size_t lineStart = 0;
  size_t i = 0;
  while (i < size) {
    const unsigned char c = data[i];
    if (text::isLeadByte(c)) {
      i += 2;  // the trail byte is never a separator
    } else if (c == '\r' && i + 1 < size && data[i + 1] == '\n') {
      seen.offer(lineStart, i - lineStart, keep);
      i += 2;
      lineStart = i;
    } else {
      ++i;
    }
  }
  if (lineStart < size) seen.offer(lineStart, size - lineStart, keep);
  seen.flush(keep);
  return result;
}

}  // namespace listcmd
