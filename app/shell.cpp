#include "app/shell.h"

#include "app/main_window.h"
#include "platform/shell_open.h"
#include "platform/ui_thread.h"
#include "text/gbk.h"

namespace app {
namespace {

// Runs fn on the UI thread with the current window, if there is one; on
// the UI thread itself at once (also while the window is going away, when
// calls from other threads are already closed).
template <typename Fn>
void withWindow(Fn fn) {
  const auto run = [&] {
    if (MainWindow* window = currentMainWindow()) fn(*window);
  };
  if (platform::onUiThread()) {
    run();
  } else {
    platform::runOnUiThread(run);
  }
}

}  // namespace

text::Text readBoxText(Box box) {
  text::Text result;
  withWindow([&](MainWindow& window) { result = window.boxText(box); });
  return result;
}

void replaceBoxText(Box box, std::string_view text) {
  withWindow([&](MainWindow& window) { window.setBoxText(box, text); });
}

void appendToBox(Box box, std::string_view text) {
  withWindow([&](MainWindow& window) { window.appendToBox(box, text); });
}

void setWindowState(WindowState state) {
  withWindow([&](MainWindow& window) { window.setState(state); });
}

void processPendingEvents() { platform::processPendingEvents(); }

void openInBrowser(std::string_view address) {
  const std::string_view gbk = address.substr(0, address.find('\0'));
  platform::openAddress(text::gbkToDisplay(gbk));
}

}  // namespace app
