// The font of the window's texts: one that can show Chinese.
// UI thread only (needs the QApplication).
#pragma once

#include <QFont>

namespace platform {

// WenQuanYi Zen Hei at 9 points when the font database knows it, else the
// application's default font at 9 points (still usable, maybe without
// Chinese glyphs).
QFont cjkFont();

}  // namespace platform
