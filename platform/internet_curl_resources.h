// Owners of the libcurl resources behind the internet layer, and the
// process-wide share (cookie store, connection cache, DNS cache, TLS
// sessions) that every transfer attaches to.
//
// Each owner frees its resource in its destructor; copying is deleted and
// moving leaves the source empty. Internal to platform/internet_curl*.
// The share may be used from any thread (its locks are taken by libcurl);
// an easy or multi handle from one thread at a time.
#pragma once

#include <curl/curl.h>

#include <memory>
#include <string_view>

namespace platform::curl {

// Runs curl_global_init once and ignores SIGPIPE; safe to call repeatedly.
void initOnce();

// The process-wide share; never destroyed, so a transfer that outlives
// main still finds it.
CURLSH* processShare();

class Easy {
 public:
  Easy() : handle_(curl_easy_init()) {}
  ~Easy() {
    if (handle_ != nullptr) curl_easy_cleanup(handle_);
  }
  Easy(const Easy&) = delete;
  Easy& operator=(const Easy&) = delete;
  Easy(Easy&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Easy& operator=(Easy&&) = delete;
  CURL* get() const { return handle_; }

 private:
  CURL* handle_;
};

class Multi {
 public:
  Multi() : handle_(curl_multi_init()) {}
  ~Multi() {
    if (handle_ != nullptr) curl_multi_cleanup(handle_);
  }
  Multi(const Multi&) = delete;
  Multi& operator=(const Multi&) = delete;
  Multi(Multi&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Multi& operator=(Multi&&) = delete;
  CURLM* get() const { return handle_; }

 private:
  CURLM* handle_;
};

// A header list; append copies the line.
class Slist {
 public:
  Slist() = default;
  ~Slist() { curl_slist_free_all(list_); }
  Slist(const Slist&) = delete;
  Slist& operator=(const Slist&) = delete;
  Slist(Slist&& other) noexcept : list_(other.list_) { other.list_ = nullptr; }
  Slist& operator=(Slist&&) = delete;
  // False when memory ran out; the list is unchanged then.
  bool append(std::string_view line);
  curl_slist* get() const { return list_; }

 private:
  curl_slist* list_ = nullptr;
};

// Keeps an easy handle in a multi handle while it lives. Both must outlive
// it (declare it after them).
class MultiMembership {
 public:
  MultiMembership(CURLM* multi, CURL* easy)
      : multi_(multi), easy_(easy), added_(curl_multi_add_handle(multi, easy) == CURLM_OK) {}
  ~MultiMembership() {
    if (added_) curl_multi_remove_handle(multi_, easy_);
  }
  MultiMembership(const MultiMembership&) = delete;
  MultiMembership& operator=(const MultiMembership&) = delete;
  bool added() const { return added_; }

 private:
  CURLM* multi_;
  CURL* easy_;
  bool added_;
};

// A multi handle with one easy handle, reused from transfer to transfer:
// making both afresh (socket pair, buffers, tables) costs more than a
// loopback request. Taken handles come without options set.
// An easy handle whose cookie engine was once switched on keeps it through
// a reset, so pairs are pooled apart by that.
struct TransferHandles {
  Multi multi;
  Easy easy;
  bool cookies = false;  // the easy handle's cookie engine is on
};

// A pair from the pool for that cookie use, or a new one; check both get()
// for null.
std::unique_ptr<TransferHandles> takeTransferHandles(bool cookies);
// REQUIRES: the easy handle is no longer in the multi handle. Resets the
// easy handle's options and keeps the pair for the next transfer (or frees
// it when the pool is full).
void returnTransferHandles(std::unique_ptr<TransferHandles> handles);

}  // namespace platform::curl
