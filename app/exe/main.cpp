// Vantrel: start-up, the event loop and shutdown.
//
// The process ends through std::quick_exit: a collection thread or fetch
// worker may still be running when the window has gone (closing never
// waits for them), and a normal exit would run static destructors (Qt's,
// libcurl's, the shared state's) underneath them. quick_exit runs only the
// at_quick_exit clean-up, and the shared state lives until the very end.
#include <QApplication>
#include <csignal>
#include <cstdlib>

#include "app/lifecycle.h"
#include "app/main_window.h"
#include "collect/collection_run.h"
#include "listcmd/list_commands.h"
#include "platform/ui_thread.h"

namespace {

// The hook that ends a running collection when the window is closed. It
// runs on the UI thread while calls onto it are still open and must not
// wait for a worker: the live pass is marked stopped and its request
// aborted; its thread ends by itself, appending nothing.
void stopCollectionAtShutdown() { collect::stopCollectionAtShutdown(); }

app::WindowHandlers windowHandlers() {
  app::WindowHandlers handlers;
  handlers.startCollection = collect::startCollection;
  handlers.stopCollection = collect::stopCollection;
  handlers.deduplicateList = listcmd::deduplicateList;
  handlers.saveList = listcmd::saveList;
  handlers.importList = listcmd::importList;
  handlers.exportList = listcmd::exportList;
  handlers.created = app::onMainWindowCreated;
  handlers.shuttingDown = stopCollectionAtShutdown;
  handlers.destroying = app::onMainWindowDestroying;
  return handlers;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);
  // A write past the shell's file-size limit must fail like a full disk
  // (the command then reports its failure) instead of killing the process
  // and the unsaved list with it.
  std::signal(SIGXFSZ, SIG_IGN);
  app::enterProgramDirectory();
  platform::initUiThread();
  std::at_quick_exit(app::releaseGlobals);

  auto* window = new app::MainWindow(windowHandlers());
  window->show();
  const int code = QApplication::exec();  // ends when the window is closed

  delete window;  // onMainWindowDestroying runs here
  std::quick_exit(code);
}
