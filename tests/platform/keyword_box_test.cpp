// The keyword list box hands out exactly the GBK bytes it was given.
#include "platform/keyword_box.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/qt_app.h"

namespace {

class KeywordBoxTest : public ::testing::Test {
 protected:
  long send(unsigned int msg, unsigned long w = 0, long l = 0) { return box.SendScintilla(msg, w, l); }
  // The application must exist before the first widget.
  bool appReady_ = (testsupport::ensureQtApp(), true);
  platform::KeywordBox box;
};

TEST_F(KeywordBoxTest, BytesRoundTripExactly) {
  struct Case {
    const char* label;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"seed", "\xBB\xFA\xD0\xB5\r\n"},
      {"bare CR inside a line", "a\rb\r\nc\r\n"},
      {"bare LF inside a line", "a\nb\r\n"},
      {"CR at the very end", "abc\r"},
      {"empty lines", "\r\n\r\n\r\n"},
      {"full-width space and ASCII", "\xA1\xA1x y\r\n"},
      {"euro byte 0x80", "\x80"},
      {"undecodable pair", "\xFF\xFF\r\n"},
      {"lone lead byte at the end", "ab\xBB"},
      {"lead byte before CR LF", "\xBB\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    box.setGbkText(c.bytes);
    EXPECT_EQ(box.gbkText(), c.bytes);
    box.setGbkText("x\r\n");
    box.appendGbk(c.bytes);
    EXPECT_EQ(box.gbkText(), "x\r\n" + c.bytes);
  }
}

TEST_F(KeywordBoxTest, LooksLikeAnEditBoxThatWraps) {
  EXPECT_EQ(send(QsciScintillaBase::SCI_GETMODEVENTMASK), 0);
  EXPECT_EQ(send(QsciScintillaBase::SCI_GETEOLMODE), QsciScintillaBase::SC_EOL_CRLF);
  EXPECT_NE(send(QsciScintillaBase::SCI_GETWRAPMODE), QsciScintillaBase::SC_WRAP_NONE);
  EXPECT_EQ(send(QsciScintillaBase::SCI_GETHSCROLLBAR), 0);
  EXPECT_EQ(box.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(box.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  for (unsigned long margin = 0; margin < 5; ++margin) {
    EXPECT_EQ(send(QsciScintillaBase::SCI_GETMARGINWIDTHN, margin), 0);
  }
  EXPECT_EQ(box.frameShadow(), QFrame::Sunken);
}

TEST_F(KeywordBoxTest, TextStopsAtANulByte) {
  box.setGbkText(std::string("ab\0cd", 5));
  EXPECT_EQ(box.gbkText(), "ab");
  box.appendGbk(std::string("x\0y", 3));
  EXPECT_EQ(box.gbkText(), "abx");
}

TEST_F(KeywordBoxTest, TypedCharactersOutsideGbkReadBackAsQuestionMarks) {
  box.setGbkText("a\r\n");
  send(QsciScintillaBase::SCI_DOCUMENTEND);
  // An emoji and a Hangul syllable: GBK holds neither; 机 it does.
  box.typeDisplayText("\xF0\x9F\x98\x80\xED\x95\x9C\xE6\x9C\xBA");
  EXPECT_EQ(box.gbkText(), "a\r\n??\xBB\xFA");
}

TEST_F(KeywordBoxTest, EnterStartsALineWithCrLf) {
  box.setGbkText("ab");
  send(QsciScintillaBase::SCI_DOCUMENTEND);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QCoreApplication::sendEvent(&box, &enter);
  EXPECT_EQ(box.gbkText(), "ab\r\n");
}

TEST_F(KeywordBoxTest, AppendGoesToTheEndWhateverIsSelectedAndCannotBeUndone) {
  box.setGbkText("abc\r\ndef\r\n");
  send(QsciScintillaBase::SCI_SETSEL, 1, 3);  // "bc" selected
  box.appendGbk("x\r\n");
  EXPECT_EQ(box.gbkText(), "abc\r\ndef\r\nx\r\n");
  const long length = send(QsciScintillaBase::SCI_GETLENGTH);
  EXPECT_EQ(send(QsciScintillaBase::SCI_GETCURRENTPOS), length);
  EXPECT_EQ(send(QsciScintillaBase::SCI_GETANCHOR), length);
  EXPECT_EQ(send(QsciScintillaBase::SCI_CANUNDO), 0);

  // A user's edit can be undone until the next append, which empties the
  // undo history; the append itself is never undone.
  box.typeDisplayText("y");
  EXPECT_NE(send(QsciScintillaBase::SCI_CANUNDO), 0);
  box.appendGbk("z");
  send(QsciScintillaBase::SCI_UNDO);
  EXPECT_EQ(box.gbkText(), "abc\r\ndef\r\nx\r\nyz");
}

TEST_F(KeywordBoxTest, AppendScrollsToTheEnd) {
  box.resize(488, 281);
  box.show();
  std::string lines;
  for (int i = 0; i < 500; ++i) lines += "\xBB\xFA\xD0\xB5" + std::to_string(i) + "\r\n";
  box.setGbkText(lines);
  EXPECT_EQ(send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE), 0);
  box.appendGbk("end\r\n");
  const long lastLine = send(QsciScintillaBase::SCI_GETLINECOUNT) - 1;
  const long first = send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
  const long onScreen = send(QsciScintillaBase::SCI_LINESONSCREEN);
  EXPECT_GT(first, 0);
  EXPECT_GE(first + onScreen, send(QsciScintillaBase::SCI_VISIBLEFROMDOCLINE, lastLine));
  // Repaints are held back only for a moment after appends.
  EXPECT_TRUE(testsupport::pumpEventsUntil(2000, [&] { return box.updatesEnabled(); }));
}

}  // namespace
