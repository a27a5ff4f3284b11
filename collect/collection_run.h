// Start and Stop of collection (buttons 按钮1 and 按钮2).
#pragma once

namespace collect {

// UI thread: switches to Collecting and starts a pass over the list.
void startCollection();
// UI thread: stops the live collection at once and switches to Idle.
void stopCollection();

}  // namespace collect
