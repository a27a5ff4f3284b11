// Shell operations on the main window's controls, callable from any thread.
//
// Each call made off the UI thread is carried out synchronously by the UI
// thread (platform::runOnUiThread). Before the window exists and after it
// is gone they do nothing and read the empty text. All texts are GBK.
#pragma once

#include <string_view>

#include "text/text.h"

namespace app {

// The edit boxes whose text the logic reads and writes.
enum class Box {
  KeywordList,     // 编辑框2: seeds and collected keywords, CR LF lines
  MustContain,     // 编辑框1: must-contain filter text
  MustNotContain,  // 编辑框3: must-not-contain filter text
};

enum class WindowState { Idle, Collecting };

// The whole text of the box as GBK bytes.
text::Text readBoxText(Box box);

// Replaces the whole text of the box.
void replaceBoxText(Box box, std::string_view text);

// Appends text at the very end of the box whatever the user selected,
// leaves the caret after it and scrolls to it; the user cannot undo it.
// Never reads the whole text.
void appendToBox(Box box, std::string_view text);

// Sets the six buttons for the state, 按钮1 to 按钮6 in that order.
void setWindowState(WindowState state);

// Handles the calling thread's waiting window events; a no-op off the UI
// thread.
void processPendingEvents();

// Hands address to the desktop's open action; never waits, never reports.
void openInBrowser(std::string_view address);

}  // namespace app
