// State shared between the window and the logic, alive for the whole run.
//
// The values are never freed before the process ends, so a thread that is
// still running at shutdown can never reach released state: sharedState()
// is created on first use and never destroyed (the process ends through
// std::quick_exit, which runs no static destructors).
//
// Who writes what (no two threads write one value at the same time):
//   mustContain, mustNotContain  startCollection, on the UI thread while
//                                Idle or on the collection thread at the end
//                                of a pass, before the next one exists;
//                                read by offerKeyword.
//   currentKeyword               the collection thread alone.
//   wordFileHandle               onMainWindowCreated, then the Save command.
#pragma once

#include <atomic>
#include <cstdint>

#include "text/text.h"

namespace app {

struct SharedState {
  text::Text mustContain;     // text of 编辑框1 captured by Start
  text::Text mustNotContain;  // text of 编辑框3 captured by Start
  text::Text currentKeyword;  // the line the collection thread expands
  // File number under which word.txt is held open from start-up until the
  // first Save closes it; 0 = none.
  std::atomic<int32_t> wordFileHandle{0};
};

// Any thread. The one instance, created on first use.
SharedState& sharedState();

}  // namespace app
