// Calls onto the user-interface thread.
//
// Qt widgets may only be touched on the thread that runs the event loop.
// Worker threads (the collection thread, fetch workers) reach a control
// through runOnUiThread, which runs a callable there synchronously. The UI
// thread never blocks waiting for a worker, so such a call cannot deadlock.
// Once closeUiCalls() has run (the window is going away), every pending and
// every later call returns false without running its callable.
#pragma once

#include <functional>

namespace platform {

// REQUIRES: called on the thread that runs the Qt event loop, after the
// QApplication exists. Opens the calls; calling it again after
// closeUiCalls() opens them again (a test binary that makes several
// windows does this).
void initUiThread();

// True when the calling thread is the UI thread.
bool onUiThread();

// Runs fn on the UI thread and waits for it. On the UI thread itself fn
// runs at once. Returns whether fn ran: false before initUiThread() and
// after closeUiCalls().
bool runOnUiThread(const std::function<void()>& fn);

// UI thread only: from now on runOnUiThread runs nothing; callers that are
// waiting are released with false.
void closeUiCalls();

// Handles the calling thread's waiting window events and returns; never
// waits for one. On a thread without an event loop it does nothing.
void processPendingEvents();

}  // namespace platform
