// MainWindow: the one window of Vantrel, its controls and button states.
//
// The window holds no logic: its six buttons and its two lifecycle events
// call the handlers it is given, so that this library does not depend on
// the collection or list-command code (which link it). While a window
// exists the shell operations (app/shell.h) act on it; when it is
// destroyed, calls onto the UI thread are closed first, so a worker can
// never reach a destroyed control. UI thread only.
#pragma once

#include <QWidget>
#include <functional>
#include <string_view>

#include "app/shell.h"
#include "text/text.h"

class QLineEdit;
class QPushButton;

namespace platform {
class KeywordBox;
}

namespace app {

// What the window calls. An empty entry does nothing.
struct WindowHandlers {
  std::function<void()> startCollection;  // 按钮1 clicked
  std::function<void()> stopCollection;   // 按钮2 clicked
  std::function<void()> deduplicateList;  // 按钮3 clicked
  std::function<void()> saveList;         // 按钮4 clicked
  std::function<void()> importList;       // 按钮5 clicked
  std::function<void()> exportList;       // 按钮6 clicked
  // Once the window and its controls exist (onMainWindowCreated).
  std::function<void()> created;
  // First thing while the window is being destroyed, with calls onto the
  // UI thread still open: the place to end a running collection. It must
  // not wait for a worker.
  std::function<void()> shuttingDown;
  // While the window is being destroyed, after calls onto the UI thread
  // are closed (onMainWindowDestroying).
  std::function<void()> destroying;
};

// The client area; the outer size is 684 x 385 with frame and caption.
inline constexpr int kClientWidth = 676;
inline constexpr int kClientHeight = 351;

class MainWindow : public QWidget {
 public:
  // Builds every control in the state Idle, centres the window, makes it
  // the window of the shell operations, then calls handlers.created.
  explicit MainWindow(WindowHandlers handlers);
  // Calls shuttingDown, closes calls onto the UI thread, detaches from the
  // shell operations, then calls destroying.
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  text::Text boxText(Box box) const;
  void setBoxText(Box box, std::string_view gbk);
  void appendToBox(Box box, std::string_view gbk);
  // 按钮1 to 按钮6, in that order.
  void setState(WindowState state);

 private:
  void createButtons();
  void createFilterGroup();
  void centreOnScreen();
  QPushButton* addButton(const char* name, const char* caption, int x, const std::function<void()>& onClick);

  WindowHandlers handlers_;
  QPushButton* buttons_[6] = {};
  platform::KeywordBox* keywordList_ = nullptr;
  QLineEdit* mustContain_ = nullptr;
  QLineEdit* mustNotContain_ = nullptr;
};

// The window the shell operations act on, or nullptr. UI thread only.
MainWindow* currentMainWindow();

}  // namespace app
