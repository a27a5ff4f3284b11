// Collection run control: Start and Stop (按钮1 and 按钮2) and the
// collection threads that expand KeywordList pass after pass.
//
// Start switches the window to Collecting, captures the two filter texts
// and starts a collection thread for one pass: it reads KeywordList once,
// and for each of its lines asks the related searches, then the
// suggestions, appending every accepted keyword to the end of the list.
// After the last line the thread hands over to the next pass (filters
// captured again, a new thread over the grown list) and ends. Collection
// never ends by itself; Stop ends it.
//
// Ownership. Every pass has its own CollectionRun, shared by the UI
// thread's live-run pointer and by the pass's collection thread:
//   mustContain, mustNotContain (filter)  captured by startCollection on
//                     the UI thread before the thread exists; read-only
//                     afterwards.
//   currentKeyword    written and read by the collection thread alone.
//   cancel            thread-safe; Stop aborts the request in flight.
//   stopped           written on the UI thread only. Whether a keyword is
//                     appended is decided on the UI thread, inside the
//                     call that appends, so nothing is appended after
//                     Stop; the collection thread only reads it to end
//                     early.
//   collectorThread   the id of the pass's thread, set on the UI thread.
// The live-run pointer is read and written on the UI thread only. The
// hand-over to the next pass happens inside one call on the UI thread that
// first checks that the finishing pass is still live and not stopped, so
// Stop always reaches the live pass. A stopped thread is never waited for
// or killed: its request is aborted, it starts no other, appends nothing,
// touches no newer pass's state and ends by itself within moments.
//
// startCollection, stopCollection, stopCollectionAtShutdown and
// liveCollectionRun run on the UI thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "collect/keyword_filter.h"
#include "fetch/fetch_page.h"
#include "text/text.h"

namespace collect {

struct CollectionRun {
  KeywordFilter filter;             // mustContain, mustNotContain of this pass
  text::Text currentKeyword;        // the line being expanded
  fetch::FetchCancel cancel;        // aborts the request in flight
  std::atomic<bool> stopped{false};
  std::thread::id collectorThread;  // the pass's thread; default before it starts
};

// Switches to Collecting (按钮1 to 按钮6 in order), captures the filter
// texts of 编辑框1 and 编辑框3 and starts a pass from the first line. A
// run that is live already is stopped first. Called off the UI thread, it
// is carried out there.
void startCollection();

// Stops the live pass, if any: its request is aborted, nothing more is
// appended and no request started. Then switches to Idle. Never waits.
void stopCollection();

// Stops the live pass like stopCollection, without touching the window:
// for a window that is going away. Never waits.
void stopCollectionAtShutdown();

// The body of a collection thread: one pass over the lines KeywordList
// holds now, then the hand-over to the next pass unless stopped.
void runCollectionRound(const std::shared_ptr<CollectionRun>& run);

// Starts a detached thread running procedure and stores its id in
// collectorThread; false (and nothing stored) when no thread could be made.
bool startThread(std::function<void()> procedure, std::thread::id& collectorThread);

// The live pass, or null when Idle. For tests.
std::shared_ptr<CollectionRun> liveCollectionRun();

}  // namespace collect
