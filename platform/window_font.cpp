#include "platform/window_font.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace platform {

QFont cjkFont() {
  static const QStringList kPreferred = {"WenQuanYi Zen Hei", "Noto Sans CJK SC",
                                         "Noto Sans SC", "AR PL UMing CN"};
  const QStringList families = QFontDatabase::families();
  for (const QString& family : kPreferred) {
    if (families.contains(family)) return QFont(family, 9);
  }
  QFont fallback = QGuiApplication::font();
  fallback.setPointSize(9);
  return fallback;
}

}  // namespace platform
