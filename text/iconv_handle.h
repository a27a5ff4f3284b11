// IconvHandle: the one owner of a glibc iconv descriptor (RAII).
//
// A descriptor keeps conversion state, so a handle must not be shared
// between threads; each caller opens its own. Internal to vt_text.
#pragma once

#include <iconv.h>

#include <string_view>
#include <utility>

namespace text::detail {

class IconvHandle {
 public:
  // Opens a conversion from `from` to `to`; valid() tells whether it opened.
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  IconvHandle(IconvHandle&& other) noexcept : cd_(std::exchange(other.cd_, kInvalid)) {}
  IconvHandle& operator=(IconvHandle&& other) noexcept {
    if (this != &other) {
      if (valid()) iconv_close(cd_);
      cd_ = std::exchange(other.cd_, kInvalid);
    }
    return *this;
  }

  bool valid() const { return cd_ != kInvalid; }

  // Converts all of `in` into [out, out + outSize) from the initial shift
  // state; returns the bytes written, or -1 unless every input byte was
  // converted (a bad sequence, an incomplete one at the end, or no room).
  long convertAll(std::string_view in, char* out, size_t outSize) {
    if (!valid()) return -1;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());  // iconv's signature is not const
    size_t inLeft = in.size();
    char* outPtr = out;
    size_t outLeft = outSize;
    const size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
    if (result == static_cast<size_t>(-1) || inLeft != 0) return -1;
    return static_cast<long>(outSize - outLeft);
  }

 private:
  static inline const iconv_t kInvalid = reinterpret_cast<iconv_t>(-1);
  iconv_t cd_;
};

}  // namespace text::detail
