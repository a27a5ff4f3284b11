// State shared between the window and the logic, alive for the whole run.
//
// The values are never freed before the process ends, so a thread that is
// still running at shutdown can never reach released state.
#pragma once

#include <atomic>
#include <cstdint>

#include "text/text.h"

namespace app {

struct SharedState {
  // File number under which word.txt is held open from start-up until the
  // first Save closes it; 0 = none.
  std::atomic<int32_t> wordFileHandle{0};
};

SharedState& sharedState();

}  // namespace app
