// The four list commands, bound to 按钮3 to 按钮6 of the main window. They
// act on the whole keyword list and run on the UI thread only, while the
// window is Idle (no collection thread writes to the list meanwhile).
#pragma once

namespace listcmd {

// Removes repeated lines, keeping each first occurrence in its place, and
// reports the number of lines kept. Warns first that it may take a while.
void deduplicateList();
// Lets go of the start-up hold on word.txt, writes the list to it and
// reports "真" or "假" with the path.
void saveList();
// Offers to clear a non-empty list, then appends a chosen file's text up
// to its first NUL byte; silent when cancelled or unreadable.
void importList();
// Writes the list to a chosen file and reports "真" or "假" with the path;
// silent when cancelled.
void exportList();

}  // namespace listcmd
