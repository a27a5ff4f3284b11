// runOnUiThread through a posted event.
//
// A caller posts a CallEvent to a receiver that lives on the UI thread and
// waits on the event's shared CallState. The event runs the callable when
// delivered; if it is never delivered (closeUiCalls removes the calls still
// queued, and Qt deletes removed events), its destructor releases the
// waiter with false. The 'open' flag and the post
// happen under one mutex, so closeUiCalls cannot slip between a caller's
// check and its post.
#include "platform/ui_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace platform {
namespace {

struct CallState {
  std::function<void()> fn;
  std::mutex mutex;
  std::condition_variable cv;
  bool finished = false;
  bool ran = false;

  void finish(bool didRun) {
    std::lock_guard lock(mutex);
    finished = true;
    ran = didRun;
    cv.notify_all();
  }
};

const QEvent::Type kCallEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

class CallEvent : public QEvent {
 public:
  explicit CallEvent(std::shared_ptr<CallState> state)
      : QEvent(kCallEventType), state_(std::move(state)) {}
  ~CallEvent() override {
    if (!delivered_) state_->finish(false);
  }
  CallEvent(const CallEvent&) = delete;
  CallEvent& operator=(const CallEvent&) = delete;

  void run() {
    delivered_ = true;
    // A callable that throws must still release its caller.
    try {
      state_->fn();
    } catch (...) {
    }
    state_->finish(true);
  }

 private:
  std::shared_ptr<CallState> state_;
  bool delivered_ = false;
};

// Guards gOpen, gReceiver and gUiThread below; declared ahead of
// CallReceiver, which takes it too.
std::mutex gMutex;

class CallReceiver : public QObject {
 public:
  bool event(QEvent* e) override {
    // Qt's posted-event queue hands an event from the posting thread to this
    // one under locks that ThreadSanitizer cannot see (Qt is not built with
    // it). Taking the lock the poster held while posting makes the hand-over
    // of the event's memory visible; it costs one uncontended lock per call.
    { std::lock_guard lock(gMutex); }
    if (e->type() != kCallEventType) return QObject::event(e);
    static_cast<CallEvent*>(e)->run();
    return true;
  }
};

bool gOpen = false;                  // guarded by gMutex
CallReceiver* gReceiver = nullptr;   // guarded by gMutex; deleted on the UI thread
QThread* gUiThread = nullptr;        // guarded by gMutex

}  // namespace

void initUiThread() {
  std::lock_guard lock(gMutex);
  gUiThread = QThread::currentThread();
  if (gReceiver == nullptr) gReceiver = new CallReceiver;
  gOpen = true;
}

bool onUiThread() {
  std::lock_guard lock(gMutex);
  return gUiThread != nullptr && QThread::currentThread() == gUiThread;
}

bool runOnUiThread(const std::function<void()>& fn) {
  auto state = std::make_shared<CallState>();
  {
    std::lock_guard lock(gMutex);
    if (!gOpen || gReceiver == nullptr) return false;
    if (QThread::currentThread() == gUiThread) {
      // Posting to ourselves and waiting would never return.
      state.reset();
    } else {
      state->fn = fn;
      QCoreApplication::postEvent(gReceiver, new CallEvent(state));
    }
  }
  if (!state) {
    fn();
    return true;
  }
  std::unique_lock lock(state->mutex);
  state->cv.wait(lock, [&] { return state->finished; });
  return state->ran;
}

void closeUiCalls() {
  CallReceiver* receiver = nullptr;
  {
    std::lock_guard lock(gMutex);
    gOpen = false;
    receiver = gReceiver;
    gReceiver = nullptr;
  }
  if (receiver == nullptr) return;
  // Removing the queued calls deletes their events, whose destructors
  // release the waiters with false. The receiver itself goes later: this
  // may run inside one of its own calls.
  QCoreApplication::removePostedEvents(receiver, kCallEventType);
  receiver->deleteLater();
}

void processPendingEvents() {
  if (!onUiThread()) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace platform
