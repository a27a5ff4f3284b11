#include "tests/support/qt_app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>

#include "platform/ui_thread.h"

namespace testsupport {

QApplication& ensureQtApp() {
  static QApplication* app = [] {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "vantrel_tests";
    static char* argv[] = {name, nullptr};
    auto* created = new QApplication(argc, argv);  // lives until the process ends
    platform::initUiThread();
    return created;
  }();
  return *app;
}

bool pumpEventsUntil(int ms, const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::usleep(200);
  }
  return done();
}

}  // namespace testsupport
