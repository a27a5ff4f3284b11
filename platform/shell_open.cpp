#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "platform/ui_thread.h"

namespace platform {

void openAddress(std::string_view utf8Address) {
  const QUrl url(QString::fromUtf8(utf8Address.data(), static_cast<qsizetype>(utf8Address.size())),
                 QUrl::TolerantMode);
  // QDesktopServices belongs to the GUI thread. It starts the handler
  // detached, so this never waits for the browser; its result only says
  // whether a launcher started, and nobody is told either way.
  const auto open = [&] { (void)QDesktopServices::openUrl(url); };
  if (onUiThread()) {
    open();  // also while the window is being destroyed
  } else {
    runOnUiThread(open);
  }
}

}  // namespace platform
