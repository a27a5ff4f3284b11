#include "platform/pending_events.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>

#include "platform/ui_thread.h"

namespace platform {

bool handlePendingEvents() {
  if (!onUiThread()) return false;
  // The dispatcher, unlike QCoreApplication::processEvents, says whether
  // it handled anything (posted events count through its wake-up).
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  return dispatcher != nullptr && dispatcher->processEvents(QEventLoop::AllEvents);
}

}  // namespace platform
