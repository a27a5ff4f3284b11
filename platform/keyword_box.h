// The keyword list box: a QScintilla edit box that hands out GBK bytes.
//
// Inside, the widget holds UTF-8; the text is converted at this edge with
// text::gbkToDisplay / text::displayToGbk, so that the bytes read back are
// exactly the bytes last set or appended (a bare CR or LF stays a byte of
// its line) and a character the user typed that GBK cannot hold reads back
// as "?". Enter inserts CR LF. Programmatic changes cannot be undone by the
// user. Built for a million lines: appends never read the whole text.
// UI thread only, like every widget.
#pragma once

#include <Qsci/qsciscintillabase.h>

#include <string_view>

#include "text/text.h"

namespace platform {

class KeywordBox : public QsciScintillaBase {
  // Its own class name, so that accessibility can treat it apart from
  // other QScintilla widgets (see keyword_box.cpp).
  Q_OBJECT

 public:
  explicit KeywordBox(QWidget* parent = nullptr);

  // The whole text as GBK bytes.
  text::Text gbkText() const;
  // Replaces the whole text; the text counts up to its first NUL byte.
  void setGbkText(std::string_view gbk);
  // Appends at the very end whatever is selected, leaves the caret after
  // the text and scrolls to it; the text counts up to its first NUL byte.
  void appendGbk(std::string_view gbk);
  // The text as it stands inside the widget (UTF-8), for tests.
  std::string displayText() const;
  // Inserts UTF-8 at the caret as if typed (undoable), for tests.
  void typeDisplayText(std::string_view utf8);

 private:
  void configure();
  // Runs change with undo collection off, then empties the undo buffer.
  template <typename Change>
  void withoutUndo(Change change);
  // Holds back repaints for a few milliseconds, then repaints once, so a
  // stream of appends costs one repaint per frame rather than one each.
  void coalesceRepaints();

  bool repaintHeld_ = false;
};

}  // namespace platform
