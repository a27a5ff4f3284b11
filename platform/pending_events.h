// Handling the calling thread's waiting window events, reporting whether
// there were any: a wait that pumps events uses this to tell a batch of
// events apart from an idle moment.
// Callable from any thread; only the UI thread has events to handle.
#pragma once

namespace platform {

// Handles the waiting events of the calling thread without waiting for
// more; true when at least one was handled. Off the UI thread (or before
// initUiThread) it does nothing and returns false.
bool handlePendingEvents();

}  // namespace platform
