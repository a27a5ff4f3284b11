#include "platform/internet_curl_resources.h"

#include <csignal>
#include <mutex>
#include <string>
#include <vector>

namespace platform::curl {
namespace {

// One mutex per kind of shared data, so a cookie lookup never waits for a
// connection-cache update.
std::mutex& shareLock(curl_lock_data data) {
  static std::mutex locks[CURL_LOCK_DATA_LAST];
  const int index = (data >= 0 && data < CURL_LOCK_DATA_LAST) ? data : 0;
  return locks[index];
}

void lockShare(CURL*, curl_lock_data data, curl_lock_access, void*) { shareLock(data).lock(); }
void unlockShare(CURL*, curl_lock_data data, void*) { shareLock(data).unlock(); }

CURLSH* makeShare() {
  CURLSH* share = curl_share_init();
  if (share == nullptr) return nullptr;
  curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockShare);
  curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockShare);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  return share;
}

}  // namespace

void initOnce() {
  static const bool done = [] {
    // A peer that closes its end must not kill the process; libcurl does
    // not install a handler itself once CURLOPT_NOSIGNAL is set.
    std::signal(SIGPIPE, SIG_IGN);
    curl_global_init(CURL_GLOBAL_ALL);
    return true;
  }();
  (void)done;
}

CURLSH* processShare() {
  initOnce();
  static CURLSH* const share = makeShare();  // lives until the process ends
  return share;
}

bool Slist::append(std::string_view line) {
  const std::string copy(line);
  curl_slist* grown = curl_slist_append(list_, copy.c_str());
  if (grown == nullptr) return false;
  list_ = grown;
  return true;
}

namespace {

constexpr size_t kPooledPairs = 16;

struct HandlePool {
  std::mutex lock;
  std::vector<std::unique_ptr<TransferHandles>> free[2];  // by cookie use
};

HandlePool& handlePool() {
  static HandlePool* const pool = new HandlePool;  // lives until the process ends
  return *pool;
}

}  // namespace

std::unique_ptr<TransferHandles> takeTransferHandles(bool cookies) {
  {
    std::lock_guard<std::mutex> guard(handlePool().lock);
    auto& free = handlePool().free[cookies ? 1 : 0];
    if (!free.empty()) {
      auto handles = std::move(free.back());
      free.pop_back();
      return handles;
    }
  }
  auto handles = std::make_unique<TransferHandles>();
  handles->cookies = cookies;
  return handles;
}

void returnTransferHandles(std::unique_ptr<TransferHandles> handles) {
  if (handles == nullptr || handles->easy.get() == nullptr || handles->multi.get() == nullptr) return;
  curl_easy_reset(handles->easy.get());
  std::lock_guard<std::mutex> guard(handlePool().lock);
  auto& free = handlePool().free[handles->cookies ? 1 : 0];
  if (free.size() < kPooledPairs) free.push_back(std::move(handles));
}

}  // namespace platform::curl
