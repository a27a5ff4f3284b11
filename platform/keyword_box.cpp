#include "platform/keyword_box.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFont>
#include <QFrame>
#include <QTimer>
#include <mutex>

#include "platform/window_font.h"
#include "text/gbk.h"

namespace platform {
namespace {

std::string_view upToNul(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

// QScintilla's own accessible object makes every repaint count the
// characters from the start of the document to the caret, which is kept at
// the end: at a million lines that is a tenth of a second per append. The
// box gets a plain editable-text accessible instead (role and name, no
// text interface).
QAccessibleInterface* keywordBoxAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("platform::KeywordBox") || !object->isWidgetType()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
}

}  // namespace

KeywordBox::KeywordBox(QWidget* parent) : QsciScintillaBase(parent) {
  static std::once_flag installed;
  std::call_once(installed, [] { QAccessible::installFactory(keywordBoxAccessible); });
  configure();
}

void KeywordBox::configure() {
  // Every insertion would otherwise send a modification notification whose
  // handling costs time in proportion to the whole document.
  SendScintilla(SCI_SETMODEVENTMASK, 0ul);
  // The Qt 6 build cannot show DBCS code pages: UTF-8 inside, GBK outside.
  SendScintilla(SCI_SETCODEPAGE, static_cast<unsigned long>(SC_CP_UTF8));
  SendScintilla(SCI_SETEOLMODE, static_cast<unsigned long>(SC_EOL_CRLF));
  SendScintilla(SCI_SETWRAPMODE, static_cast<unsigned long>(SC_WRAP_CHAR));
  // Long lines wrap: a vertical scroll bar, always shown, and no
  // horizontal one.
  SendScintilla(SCI_SETHSCROLLBAR, 0ul);
  SendScintilla(SCI_SETVSCROLLBAR, 1ul);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (unsigned long margin = 0; margin < 5; ++margin) {
    SendScintilla(SCI_SETMARGINWIDTHN, margin, 0l);
  }
  SendScintilla(SCI_SETMARGINLEFT, 0ul, 2l);
  SendScintilla(SCI_SETMARGINRIGHT, 0ul, 2l);

  const QFont font = cjkFont();
  const QByteArray family = font.family().toUtf8();
  SendScintilla(SCI_STYLESETFONT, static_cast<unsigned long>(STYLE_DEFAULT), family.constData());
  SendScintilla(SCI_STYLESETSIZE, static_cast<unsigned long>(STYLE_DEFAULT),
                static_cast<long>(font.pointSize() > 0 ? font.pointSize() : 9));
  SendScintilla(SCI_STYLESETFORE, static_cast<unsigned long>(STYLE_DEFAULT), QColor(Qt::black));
  SendScintilla(SCI_STYLESETBACK, static_cast<unsigned long>(STYLE_DEFAULT), QColor(Qt::white));
  SendScintilla(SCI_STYLECLEARALL);

  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

template <typename Change>
void KeywordBox::withoutUndo(Change change) {
  SendScintilla(SCI_SETUNDOCOLLECTION, 0ul);
  change();
  SendScintilla(SCI_SETUNDOCOLLECTION, 1ul);
  SendScintilla(SCI_EMPTYUNDOBUFFER);
}

std::string KeywordBox::displayText() const {
  const long length = SendScintilla(SCI_GETLENGTH);
  if (length <= 0) return {};
  // The document as one contiguous run, without copying it first.
  const auto* start = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
  if (start == nullptr) return {};
  return std::string(start, static_cast<size_t>(length));
}

text::Text KeywordBox::gbkText() const {
  const long length = SendScintilla(SCI_GETLENGTH);
  if (length <= 0) return {};
  const auto* start = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
  if (start == nullptr) return {};
  return text::displayToGbk(std::string_view(start, static_cast<size_t>(length)));
}

void KeywordBox::setGbkText(std::string_view gbk) {
  const std::string utf8 = text::gbkToDisplay(upToNul(gbk));
  withoutUndo([&] {
    SendScintilla(SCI_CLEARALL);
    if (!utf8.empty()) {
      SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
    }
    SendScintilla(SCI_GOTOPOS, 0ul);
  });
}

void KeywordBox::appendGbk(std::string_view gbk) {
  const std::string utf8 = text::gbkToDisplay(upToNul(gbk));
  withoutUndo([&] {
    if (!utf8.empty()) {
      SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
    }
    // An empty selection at the end, then bring it into view.
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(SendScintilla(SCI_GETLENGTH)));
    SendScintilla(SCI_SCROLLCARET);
  });
  coalesceRepaints();
}

void KeywordBox::coalesceRepaints() {
  constexpr int kFrameMs = 20;
  if (repaintHeld_) return;
  repaintHeld_ = true;
  setUpdatesEnabled(false);  // the view and its scroll bar
  // Bound to this box: the timer dies with it. Enabling updates again
  // repaints the whole view once.
  QTimer::singleShot(kFrameMs, this, [this] {
    repaintHeld_ = false;
    setUpdatesEnabled(true);
  });
}

void KeywordBox::typeDisplayText(std::string_view utf8) {
  const std::string copy(utf8);
  SendScintilla(SCI_REPLACESEL, copy.c_str());
}

}  // namespace platform
