#include "tests/support/x_display.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#if __has_include(<X11/Xlib.h>)
#include <X11/Xlib.h>
#define VT_HAVE_XLIB_HEADERS 1
#endif

namespace testsupport {
namespace {

#ifdef VT_HAVE_XLIB_HEADERS
// The few Xlib entry points we need, looked up in libX11.so.6.
struct XLib {
  void* handle = nullptr;
  Display* (*openDisplay)(const char*) = nullptr;
  int (*closeDisplay)(Display*) = nullptr;
  Window (*defaultRootWindow)(Display*) = nullptr;
  Status (*queryTree)(Display*, Window, Window*, Window*, Window**, unsigned int*) = nullptr;
  int (*getWindowProperty)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*,
                           unsigned long*, unsigned long*, unsigned char**) = nullptr;
  int (*xFree)(void*) = nullptr;
  Atom (*internAtom)(Display*, const char*, Bool) = nullptr;
  Status (*getWMProtocols)(Display*, Window, Atom**, int*) = nullptr;
  Status (*sendEvent)(Display*, Window, Bool, long, XEvent*) = nullptr;
  int (*flush)(Display*) = nullptr;
  int (*sync)(Display*, Bool) = nullptr;

  bool loaded() const { return sync != nullptr; }
};

template <typename Fn>
bool lookUp(void* handle, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(dlsym(handle, name));
  return fn != nullptr;
}

const XLib& xlib() {
  static const XLib lib = [] {
    XLib l;
    l.handle = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (l.handle == nullptr) return l;
    const bool all = lookUp(l.handle, "XOpenDisplay", l.openDisplay) &&
                     lookUp(l.handle, "XCloseDisplay", l.closeDisplay) &&
                     lookUp(l.handle, "XDefaultRootWindow", l.defaultRootWindow) &&
                     lookUp(l.handle, "XQueryTree", l.queryTree) &&
                     lookUp(l.handle, "XGetWindowProperty", l.getWindowProperty) &&
                     lookUp(l.handle, "XFree", l.xFree) &&
                     lookUp(l.handle, "XInternAtom", l.internAtom) &&
                     lookUp(l.handle, "XGetWMProtocols", l.getWMProtocols) &&
                     lookUp(l.handle, "XSendEvent", l.sendEvent) &&
                     lookUp(l.handle, "XFlush", l.flush) && lookUp(l.handle, "XSync", l.sync);
    if (!all) l.sync = nullptr;
    return l;
  }();
  return lib;
}

// WM_NAME of a window, whatever its encoding (Qt sets it as UTF8_STRING,
// which XFetchName does not return).
std::string windowName(const XLib& x, Display* display, Window window) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string name;
  const Atom wmName = x.internAtom(display, "WM_NAME", False);
  if (x.getWindowProperty(display, window, wmName, 0, 256, False, AnyPropertyType, &type, &format,
                          &count, &after, &data) == Success &&
      data != nullptr && format == 8) {
    name.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data != nullptr) x.xFree(data);
  return name;
}

// Top-level windows named name that accept WM_DELETE_WINDOW.
std::vector<Window> closableWindows(const XLib& x, Display* display, const std::string& name) {
  std::vector<Window> found;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!x.queryTree(display, x.defaultRootWindow(display), &root, &parent, &children, &count)) {
    return found;
  }
  const Atom deleteWindow = x.internAtom(display, "WM_DELETE_WINDOW", False);
  for (unsigned int i = 0; i < count; ++i) {
    if (windowName(x, display, children[i]) != name) continue;
    Atom* protocols = nullptr;
    int protocolCount = 0;
    bool speaksDelete = false;
    if (x.getWMProtocols(display, children[i], &protocols, &protocolCount)) {
      for (int p = 0; p < protocolCount; ++p) speaksDelete |= protocols[p] == deleteWindow;
      x.xFree(protocols);
    }
    if (speaksDelete) found.push_back(children[i]);
  }
  if (children != nullptr) x.xFree(children);
  return found;
}

template <typename Fn>
bool withDisplay(const std::string& displayName, Fn fn) {
  const XLib& x = xlib();
  if (!x.loaded()) return false;
  Display* display = x.openDisplay(displayName.c_str());
  if (display == nullptr) return false;
  const bool result = fn(x, display);
  x.closeDisplay(display);
  return result;
}

#else
// Without the Xlib headers there is no X client: the tests that need one skip.
struct XLib {
  bool loaded() const { return false; }
};
struct Display;
const XLib& xlib() {
  static const XLib lib;
  return lib;
}
template <typename Fn>
bool withDisplay(const std::string&, Fn) {
  return false;
}
#endif

}  // namespace

bool x11Available() { return xlib().loaded(); }

#ifdef VT_HAVE_XLIB_HEADERS
bool windowExists(const std::string& display, const std::string& name) {
  return withDisplay(display, [&](const XLib& x, Display* d) {
    return !closableWindows(x, d, name).empty();
  });
}

bool closeWindowNamed(const std::string& display, const std::string& name) {
  return withDisplay(display, [&](const XLib& x, Display* d) {
    const std::vector<Window> windows = closableWindows(x, d, name);
    for (Window window : windows) {
      XEvent event;
      std::memset(&event, 0, sizeof event);
      event.xclient.type = ClientMessage;
      event.xclient.window = window;
      event.xclient.message_type = x.internAtom(d, "WM_PROTOCOLS", False);
      event.xclient.format = 32;
      event.xclient.data.l[0] = static_cast<long>(x.internAtom(d, "WM_DELETE_WINDOW", False));
      event.xclient.data.l[1] = CurrentTime;
      x.sendEvent(d, window, False, NoEventMask, &event);
    }
    x.sync(d, False);
    return !windows.empty();
  });
}

#else
bool windowExists(const std::string&, const std::string&) { return false; }
bool closeWindowNamed(const std::string&, const std::string&) { return false; }
#endif

std::string findOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string rest = path;
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string dir = rest.substr(0, colon);
    rest = colon == std::string::npos ? std::string() : rest.substr(colon + 1);
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

XvfbServer::XvfbServer() {
  const std::string xvfb = findOnPath("Xvfb");
  if (xvfb.empty()) {
    problem_ = "Xvfb is not installed";
    return;
  }
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    problem_ = "pipe failed";
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    // The child keeps only the write end, as the descriptor Xvfb reports on.
    // -noreset: the server would otherwise reset (and refuse clients for a
    // moment) each time its last client leaves, e.g. our readiness probe.
    dup2(fds[1], 3);
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      dup2(devNull, 1);
      dup2(devNull, 2);
    }
    execl(xvfb.c_str(), "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-noreset", "-screen", "0",
          "1024x768x24", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid_ < 0) {
    close(fds[0]);
    problem_ = "fork failed";
    return;
  }
  // Xvfb writes the display number once it accepts clients.
  std::string number;
  pollfd waitFor{fds[0], POLLIN, 0};
  while (poll(&waitFor, 1, 10000) > 0) {
    char buffer[16];
    const ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    number.append(buffer, static_cast<size_t>(got));
    if (number.find('\n') != std::string::npos) break;
  }
  close(fds[0]);
  while (!number.empty() && (number.back() == '\n' || number.back() == '\r')) number.pop_back();
  if (number.empty()) {
    problem_ = "Xvfb did not report a display";
    return;
  }
  // The number can come before the server takes clients: wait until one
  // can connect.
  const std::string display = ":" + number;
  for (int attempt = 0; attempt < 250; ++attempt) {
    if (withDisplay(display, [](const XLib&, Display*) { return true; })) {
      display_ = display;
      return;
    }
    usleep(20000);
  }
  problem_ = "Xvfb on " + display + " accepts no client";
}

XvfbServer::XvfbServer(XvfbServer&& other) noexcept
    : pid_(other.pid_), display_(std::move(other.display_)), problem_(std::move(other.problem_)) {
  other.pid_ = -1;
  other.display_.clear();
}

XvfbServer::~XvfbServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
