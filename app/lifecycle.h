// Start-up and shutdown steps of Vantrel. UI thread only.
//
// Order of a run (see app/exe/main.cpp): the QApplication, then
// enterProgramDirectory, std::at_quick_exit(releaseGlobals), the window
// (whose created event runs onMainWindowCreated), the event loop, the
// window's destruction (onMainWindowDestroying), std::quick_exit.
#pragma once

#include <string>

namespace app {

// Makes the folder of the executable the current directory.
void enterProgramDirectory();

// The path of word.txt in the program's directory.
std::string wordFilePath();

// Opens word.txt for reading and writing with full sharing (created empty
// when missing, never truncated or changed) and keeps its number in
// sharedState().wordFileHandle; 0 when it cannot be opened. Shows nothing.
void onMainWindowCreated();

// Opens the search engine's home page in the browser; never waits and
// shows nothing when that fails.
void onMainWindowDestroying();

// The exit clean-up, run once by std::quick_exit. The shared texts are
// left for the process's end on purpose: a collection thread or fetch
// worker may still be reading them.
void releaseGlobals();

}  // namespace app
