#include "app/lifecycle.h"

#include <QDir>
#include <QString>
#include <cstdio>

#include "app/hosts.h"
#include "app/shared_state.h"
#include "app/shell.h"
#include "platform/files.h"

namespace app {

void enterProgramDirectory() {
  const std::string directory = platform::programDirectory();
  if (!directory.empty()) QDir::setCurrent(QString::fromStdString(directory));
}

std::string wordFilePath() { return platform::programDirectory() + "/word.txt"; }

void onMainWindowCreated() {
  sharedState().wordFileHandle = platform::openSharedReadWrite(wordFilePath());
}

void onMainWindowDestroying() { openInBrowser(kHomePage); }

void releaseGlobals() {
  // Nothing is freed: threads may still run until the process is gone,
  // and the system reclaims the memory and the word.txt handle. What is
  // buffered for the console still goes out.
  std::fflush(nullptr);
}

}  // namespace app
