// The one QApplication of a test binary, created on first use on the
// calling thread (which then is the UI thread) and kept for the whole run.
#pragma once

#include <functional>

class QApplication;

namespace testsupport {

// Creates the application (offscreen unless QT_QPA_PLATFORM says otherwise)
// and makes the calling thread the UI thread for platform::runOnUiThread.
QApplication& ensureQtApp();

// Runs the UI thread's event loop for about ms milliseconds, or until
// done() returns true (checked between batches of events). Returns done().
bool pumpEventsUntil(int ms, const std::function<bool()>& done);

}  // namespace testsupport
