// The four list commands (buttons 按钮3 to 按钮6). UI thread only.
#pragma once

namespace listcmd {

void deduplicateList();
void saveList();
void importList();
void exportList();

}  // namespace listcmd
