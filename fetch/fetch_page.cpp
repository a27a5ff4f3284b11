#include "fetch/fetch_page.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "fetch/exchange_file.h"
#include "fetch/exchange_records.h"
#include "fetch/fetch_worker.h"
#include "platform/internet.h"
#include "platform/pending_events.h"
#include "platform/ui_thread.h"

namespace fetch {

using Clock = std::chrono::steady_clock;

// What a call and its worker thread share. The worker holds it too, so it
// outlives an abandoned call; the worker only ever sets workerDone. It is
// written under lock and also atomic, so a waiter may look at it without
// the lock while it spins.
struct CallState {
  std::mutex lock;
  std::condition_variable changed;
  std::atomic<bool> workerDone{false};
  bool cancelled = false;
};

struct FetchCancel::Shared {
  std::mutex lock;
  bool cancelled = false;
  std::shared_ptr<CallState> call;  // the fetch under way, if any
};

// Gives this file's procedures the token's state.
struct FetchCancelAccess {
  static FetchCancel::Shared& of(FetchCancel& token) { return *token.shared_; }
};

FetchCancel::FetchCancel() : shared_(std::make_shared<Shared>()) {}
FetchCancel::~FetchCancel() = default;

void FetchCancel::cancel() {
  std::shared_ptr<CallState> call;
  {
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->cancelled = true;
    call = shared_->call;
  }
  if (call == nullptr) return;
  {
    std::lock_guard<std::mutex> guard(call->lock);
    call->cancelled = true;
  }
  call->changed.notify_all();
}

bool FetchCancel::cancelled() const {
  std::lock_guard<std::mutex> guard(shared_->lock);
  return shared_->cancelled;
}

namespace {

enum class WaitEnd { WorkerDone, TimedOut, Cancelled };

// How often a pumping wait on the UI thread looks for window events.
constexpr std::chrono::milliseconds kEventSlice{10};

// Bounded spins before blocking on a condition variable. Handing a fetch
// to a worker thread and its answer back costs two sleeps and two wake-ups
// more than a request on the caller's own thread; on a loopback server,
// where a whole request takes 30 to 40 us, those wake-ups (each some
// 10 to 20 us on the 2-core build machine) were the largest part of what
// fetchPage adds: sequential fetches ran at about half the rate of a bare
// libcurl loop, and with these spins at about 80 %. A short spin catches
// the other side without a sleep when it is close; past the bound the
// thread blocks as before, so a thread costs no CPU while it waits for a
// slow server or sits idle, and a real request (milliseconds) pays at most
// the bound in CPU.
constexpr std::chrono::microseconds kCallerSpin{50};
constexpr std::chrono::microseconds kIdleWorkerSpin{50};

inline void spinPause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// True as soon as ready() is; false when the bound has passed first.
template <class Ready>
bool spinUntil(std::chrono::microseconds bound, Ready ready) {
  if (bound.count() <= 0) return ready();
  const Clock::time_point end = Clock::now() + bound;
  while (!ready()) {
    if (Clock::now() >= end) return false;
    spinPause();
  }
  return true;
}

// Registers the call with its token for the length of the wait.
class CancelRegistration {
 public:
  CancelRegistration(FetchCancel* token, std::shared_ptr<CallState> call) : token_(token) {
    if (token_ == nullptr) return;
    FetchCancel::Shared& shared = FetchCancelAccess::of(*token_);
    std::lock_guard<std::mutex> guard(shared.lock);
    shared.call = call;
    if (shared.cancelled) call->cancelled = true;  // no other thread knows call yet
  }
  ~CancelRegistration() {
    if (token_ == nullptr) return;
    FetchCancel::Shared& shared = FetchCancelAccess::of(*token_);
    std::lock_guard<std::mutex> guard(shared.lock);
    shared.call.reset();
  }
  CancelRegistration(const CancelRegistration&) = delete;
  CancelRegistration& operator=(const CancelRegistration&) = delete;

 private:
  FetchCancel* token_;
};

WaitEnd endOf(const CallState& call) {
  if (call.cancelled) return WaitEnd::Cancelled;
  return call.workerDone ? WaitEnd::WorkerDone : WaitEnd::TimedOut;
}

WaitEnd waitPlain(CallState& call, std::chrono::milliseconds limit) {
  spinUntil(kCallerSpin, [&] { return call.workerDone.load(); });
  std::unique_lock<std::mutex> guard(call.lock);
  call.changed.wait_until(guard, Clock::now() + limit,
                          [&] { return call.workerDone || call.cancelled; });
  return endOf(call);
}

// Waits in short slices, handling the window events between them; each
// batch of events gives the wait the full limit again.
WaitEnd waitPumping(CallState& call, std::chrono::milliseconds limit) {
  Clock::time_point deadline = Clock::now() + limit;
  for (;;) {
    {
      std::unique_lock<std::mutex> guard(call.lock);
      const auto until = std::min(deadline, Clock::now() + kEventSlice);
      if (call.changed.wait_until(guard, until, [&] { return call.workerDone || call.cancelled; })) {
        return endOf(call);
      }
    }
    if (platform::handlePendingEvents()) {
      deadline = Clock::now() + limit;
    } else if (Clock::now() >= deadline) {
      std::lock_guard<std::mutex> guard(call.lock);
      return endOf(call);
    }
  }
}

// Worker threads that outlive their fetch for a moment: a thread that has
// finished its fetch waits kIdleLife for the next one before it ends, so a
// run of sequential fetches does not pay for a new thread each time. Each
// fetch still runs alone on a worker thread of its own; a thread still busy
// with an abandoned fetch is simply not idle, and a new thread is started
// whenever no idle one is waiting.
class WorkerThreads {
 public:
  // Runs job on an idle worker thread or a new one; false when none could
  // be started.
  bool run(std::function<void()> job) {
    std::unique_lock<std::mutex> guard(lock_);
    jobs_.push_back(std::move(job));
    queued_.store(jobs_.size());
    if (jobs_.size() <= idle_) {
      guard.unlock();  // the woken thread must not find the lock still held
      jobWaiting_.notify_one();
      return true;
    }
    try {
      std::thread([this] { serve(); }).detach();
      return true;
    } catch (const std::system_error&) {
      jobs_.pop_back();
      queued_.store(jobs_.size());
      return false;
    }
  }

 private:
  static constexpr std::chrono::seconds kIdleLife{2};

  void serve() {
    std::unique_lock<std::mutex> guard(lock_);
    for (;;) {
      ++idle_;
      if (jobs_.empty()) {
        guard.unlock();
        spinUntil(kIdleWorkerSpin, [this] { return queued_.load() != 0; });
        guard.lock();
      }
      const bool got = jobWaiting_.wait_for(guard, kIdleLife, [this] { return !jobs_.empty(); });
      --idle_;
      if (!got) return;
      std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      queued_.store(jobs_.size());
      guard.unlock();
      job();
      guard.lock();
    }
  }

  std::mutex lock_;
  std::condition_variable jobWaiting_;
  std::deque<std::function<void()>> jobs_;
  std::atomic<size_t> queued_{0};  // jobs_.size(), for spinning without the lock
  size_t idle_ = 0;
};

// Never destroyed: idle threads may still wait on it at process exit.
WorkerThreads& workerThreads() {
  static WorkerThreads* const threads = new WorkerThreads;
  return *threads;
}

// Starts the worker on a thread of its own; false when no thread could be
// made.
bool startWorker(int32_t number, const std::shared_ptr<CallState>& call) {
  return workerThreads().run([number, call] {
    fetchWorker(number);
    {
      std::lock_guard<std::mutex> guard(call->lock);
      call->workerDone = true;
    }
    // Outside the lock: the woken caller must not find it still held.
    call->changed.notify_all();
  });
}

std::chrono::milliseconds limitOf(int32_t timeLimit) {
  const int64_t seconds = timeLimit > 0 ? timeLimit : kDefaultTimeLimitSeconds;
  return std::chrono::milliseconds(seconds * 1000);
}

}  // namespace

text::ByteSequence fetchPage(std::string_view url, const FetchOptions& options) {
  const int32_t number = openExchangeFile();
  if (number == 0) return {};
  FetchRequestRecord request;
  request.url = text::Text(url);
  request.verb = options.verb;
  request.postData = options.postData;
  request.cookies = options.cookies;
  request.collectCookies = options.returnedCookies != nullptr;
  request.proxy = options.proxy;
  request.headers = options.headers;
  request.userName = options.userName;
  request.password = options.password;
  request.keepRawHeaders = options.returnedHeaders != nullptr;
  request.storeCookies = options.storeCookies;
  const text::ByteSequence requestBytes = encodeRequestRecord(request);
  replaceContent(number, requestBytes.view());

  auto call = std::make_shared<CallState>();
  WaitEnd end = WaitEnd::TimedOut;
  {
    const CancelRegistration registration(options.cancel, call);
    const bool cancelledAlready = call->cancelled;
    if (!cancelledAlready && startWorker(number, call)) {
      const auto limit = limitOf(options.timeLimit);
      const bool pump = options.pumpEvents && platform::onUiThread();
      end = pump ? waitPumping(*call, limit) : waitPlain(*call, limit);
    }
  }

  // Read and close in one step: a worker still running finds the file gone
  // from now on and closes whatever it opens itself.
  const text::ByteSequence content = takeContentAndClose(number);
  if (content == requestBytes) return {};  // the worker never held its handles
  const FetchResultRecord result = decodeResultRecord(content.view());
  for (const int32_t handle : {result.requestHandle, result.connectionHandle, result.sessionHandle}) {
    if (handle != 0) platform::closeInternetHandle(handle);
  }
  if (!result.succeeded || end != WaitEnd::WorkerDone) return {};
  if (options.returnedHeaders != nullptr) *options.returnedHeaders = result.rawHeaders;
  if (options.returnedCookies != nullptr) *options.returnedCookies = result.receivedCookies;
  return result.body;
}

text::ByteSequence fetchPage(std::string_view url, std::string_view verb, std::string_view postData,
                             std::string_view cookies, text::Text* returnedCookies,
                             std::string_view proxy, int32_t timeLimit, bool pumpEvents,
                             std::string_view headers, std::string_view userName,
                             std::string_view password, text::Text* returnedHeaders,
                             bool storeCookies) {
  FetchOptions options;
  options.verb = text::Text(verb);
  options.postData = text::Text(postData);
  options.cookies = text::Text(cookies);
  options.returnedCookies = returnedCookies;
  options.proxy = text::Text(proxy);
  options.timeLimit = timeLimit;
  options.pumpEvents = pumpEvents;
  options.headers = text::Text(headers);
  options.userName = text::Text(userName);
  options.password = text::Text(password);
  options.returnedHeaders = returnedHeaders;
  options.storeCookies = storeCookies;
  return fetchPage(url, options);
}

}  // namespace fetch
