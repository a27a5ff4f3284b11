// A private X server (Xvfb) for tests that run the real executable, and a
// way to close a window without a window manager.
//
// Bare Xvfb has no window manager, so tools that ask one to close a window
// do nothing. closeWindowNamed() does what a window manager does on the
// close button: it sends WM_DELETE_WINDOW to the client. libX11 is loaded
// at run time, so the test binaries do not link it.
#pragma once

#include <string>
#include <sys/types.h>

namespace testsupport {

// Xvfb on a display number it picks itself (-displayfd), killed by the
// destructor. Copy deleted, move leaves the source empty.
class XvfbServer {
 public:
  XvfbServer();
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  XvfbServer(XvfbServer&& other) noexcept;
  XvfbServer& operator=(XvfbServer&&) = delete;

  // True when the server runs and accepts clients.
  bool running() const { return !display_.empty(); }
  // ":N", or empty when it could not be started.
  const std::string& display() const { return display_; }
  // Why it is not running (for a skip message).
  const std::string& problem() const { return problem_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::string problem_;
};

// True when libX11 can be loaded.
bool x11Available();

// True when a top-level window with this WM_NAME that speaks
// WM_DELETE_WINDOW exists on display.
bool windowExists(const std::string& display, const std::string& name);

// Sends WM_DELETE_WINDOW to every such window; true when one was found.
bool closeWindowNamed(const std::string& display, const std::string& name);

// The full path of program on PATH, or empty.
std::string findOnPath(const std::string& program);

}  // namespace testsupport
