// The four list commands on the real main window, with their message
// boxes and the file dialog answered by a script.
#include "listcmd/list_commands.h"

#include <QPushButton>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/lifecycle.h"
#include "app/main_window.h"
#include "app/shared_state.h"
#include "app/shell.h"
#include "platform/files.h"
#include "platform/ui_thread.h"
#include "tests/listcmd/modal_script.h"
#include "tests/support/process.h"
#include "tests/support/qt_app.h"

namespace {

using app::Box;
using testsupport::ModalScript;

const std::string kWarning =
    "如果关键词较多，去重过程比较慢，界面可能出现假死情况，请勿操作其他事情，等待完成！";
const std::string kQuestion = "是否清空现有内容？";

using testsupport::readFile;
using testsupport::writeFile;

class ListCommandsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testsupport::ensureQtApp(); }

  void SetUp() override {
    platform::initUiThread();
    char pattern[] = "/tmp/vt_listcmd_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    app::WindowHandlers handlers;
    handlers.deduplicateList = listcmd::deduplicateList;
    handlers.saveList = listcmd::saveList;
    handlers.importList = listcmd::importList;
    handlers.exportList = listcmd::exportList;
    handlers.created = app::onMainWindowCreated;  // holds word.txt open
    window_ = std::make_unique<app::MainWindow>(handlers);
  }

  void TearDown() override {
    window_.reset();
    platform::closeFile(app::sharedState().wordFileHandle.exchange(0));
    std::string command = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  // Clicks the button and answers what it shows with script.
  void press(const char* button, ModalScript& script) {
    auto* b = window_->findChild<QPushButton*>(QString::fromUtf8(button));
    ASSERT_NE(b, nullptr) << button;
    script.run([b] { b->click(); });
    EXPECT_TRUE(script.allAnswered()) << button;
    std::string shown;
    for (const testsupport::SeenBox& box : script.boxes) shown += "[" + box.text + "] ";
    EXPECT_EQ(script.unexpected, 0) << button << ": " << shown;
    for (const testsupport::SeenBox& box : script.boxes) {
      if (box.text == kQuestion || box.text.find("保存结果") == 0 ||
          box.text.find("去重") == 0 || box.text == kWarning) {
        EXPECT_EQ(box.title, "信息：");
        EXPECT_EQ(box.icon, QMessageBox::Information);
        EXPECT_TRUE(box.ownerless);
        EXPECT_TRUE(box.applicationModal);
        EXPECT_EQ(box.hasCancel, box.text == kQuestion);
      }
    }
  }

  std::string list() const { return app::readBoxText(Box::KeywordList); }
  void setList(const std::string& gbk) { app::replaceBoxText(Box::KeywordList, gbk); }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }

  std::string dir_;
  std::unique_ptr<app::MainWindow> window_;
};

TEST_F(ListCommandsTest, DeduplicateWarnsThenReportsTheCount) {
  struct Row {
    const char* label;
    std::string list;
    std::string result;
    const char* report;
  };
  const std::vector<Row> rows = {
      {"a b a A", "a\r\nb\r\na\r\nA", "a\r\nb\r\nA\r\n", "去重完毕,共获取到：3个关键词"},
      {"empty list", "", "", "去重完毕,共获取到：0个关键词"},
      {"GBK lines, empty lines", "\xBB\xFA\xD0\xB5\r\n\r\n\xBB\xFA\xD0\xB5\r\n\r\n",
       "\xBB\xFA\xD0\xB5\r\n\r\n", "去重完毕,共获取到：2个关键词"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    setList(row.list);
    ModalScript script;
    script.ok().ok();
    press("按钮3", script);
    ASSERT_EQ(script.boxes.size(), 2u);
    EXPECT_EQ(script.boxes[0].text, kWarning);
    EXPECT_EQ(script.boxes[1].text, row.report);
    EXPECT_EQ(list(), row.result);
  }
}

// word.txt from start-up to after the first Save: held open until then, so
// an export onto it fails and an import of it appends nothing; Save lets
// go of it, and from then on both work. A failing save keeps the file.
TEST_F(ListCommandsTest, WordTxtIsHeldUntilTheFirstSave) {
  const std::string word = app::wordFilePath();
  const std::string shownWord = "保存结果：真\n" + word;
  ASSERT_NE(app::sharedState().wordFileHandle.load(), 0);
  writeFile(word, "old\r\n");  // through a handle of another "process"

  setList("x\r\n");
  ModalScript exportHeld;
  exportHeld.choose(word).click(QMessageBox::Yes).ok();
  press("按钮6", exportHeld);
  ASSERT_EQ(exportHeld.boxes.size(), 2u);  // the overwrite question, the result
  EXPECT_EQ(exportHeld.boxes[1].text, "保存结果：假\n" + word);
  EXPECT_EQ(readFile(word), "old\r\n");

  ModalScript importHeld;
  importHeld.cancel().choose(word);
  press("按钮5", importHeld);
  EXPECT_EQ(list(), "x\r\n") << "nothing appended from a held file";

  setList("");
  for (int save = 1; save <= 2; ++save) {
    SCOPED_TRACE(save);
    ModalScript script;
    script.ok();
    press("按钮4", script);
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, shownWord);
    EXPECT_EQ(readFile(word), "");
    EXPECT_EQ(app::sharedState().wordFileHandle.load(), 0);
  }

  setList("\xBB\xFA\xD0\xB5\r\nb");
  ModalScript exportFree;
  exportFree.choose(word).click(QMessageBox::Yes).ok();
  press("按钮6", exportFree);
  ASSERT_EQ(exportFree.boxes.size(), 2u);
  EXPECT_EQ(exportFree.boxes[1].text, shownWord);
  EXPECT_EQ(readFile(word), "\xBB\xFA\xD0\xB5\r\nb");

  ModalScript importFree;
  importFree.cancel().choose(word);
  press("按钮5", importFree);
  EXPECT_EQ(list(), "\xBB\xFA\xD0\xB5\r\nb\xBB\xFA\xD0\xB5\r\nb");

  // A save that fails part-way (the file-size limit stands in for a full
  // disk) reports "假" and leaves the last saved content whole.
  setList(std::string(200000, 'k'));
  ModalScript failing;
  failing.ok();
  {
    const testsupport::FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.active());
    press("按钮4", failing);
  }
  ASSERT_EQ(failing.boxes.size(), 1u);
  EXPECT_EQ(failing.boxes[0].text, "保存结果：假\n" + word);
  EXPECT_EQ(readFile(word), "\xBB\xFA\xD0\xB5\r\nb");
}

TEST_F(ListCommandsTest, ImportAppendsTheFileAsItStands) {
  struct Row {
    const char* label;
    std::string list;
    std::string file;
    bool clear;  // the answer to the question, when it is asked
    std::string result;
  };
  const std::vector<Row> rows = {
      {"Cancel joins the last line", "a\r\nb", "c\r\nd\r\n", false, "a\r\nbc\r\nd\r\n"},
      {"OK clears first", "a\r\n", "c\r\n", true, "c\r\n"},
      {"bare LF kept", "", "a\nb\nc", false, "a\nb\nc"},
      {"up to the first NUL byte", "", std::string("a\r\nb\0c\r\n", 8), false, "a\r\nb"},
      {"UTF-16 text stops at once", "", std::string("\xFF\xFE" "a\0b\0", 6), false, "\xFF\xFE" "a"},
      {"empty file", "z", "", false, "z"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    setList(row.list);
    writeFile(path("in.txt"), row.file);
    ModalScript script;
    if (!row.list.empty()) row.clear ? script.ok() : script.cancel();
    script.choose(path("in.txt"));
    press("按钮5", script);
    EXPECT_EQ(script.boxes.size(), row.list.empty() ? 0u : 1u) << "asked only for a non-empty list";
    EXPECT_EQ(list(), row.result);
  }
}

TEST_F(ListCommandsTest, ImportCancelledAfterTheQuestion) {
  writeFile(path("in.txt"), "c\r\n");
  struct Row {
    const char* label;
    std::function<void(ModalScript&)> answer;
    std::string result;
  };
  const std::vector<Row> rows = {
      {"OK, then cancel the dialog: list stays empty", [](ModalScript& s) { s.ok(); }, ""},
      {"Cancel, then cancel the dialog", [](ModalScript& s) { s.cancel(); }, "a\r\n"},
      {"closing the box counts as Cancel", [](ModalScript& s) { s.closeBox(); }, "a\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    setList("a\r\n");
    ModalScript script;
    row.answer(script);
    script.cancelDialog();
    press("按钮5", script);
    ASSERT_EQ(script.boxes.size(), 1u);
    EXPECT_EQ(script.boxes[0].text, kQuestion);
    EXPECT_EQ(list(), row.result);
  }
}

TEST_F(ListCommandsTest, ExportWritesTheListBytesExactly) {
  const std::string gbk = "\xBB\xFA\xD0\xB5\r\n\xA1\xA1 x\r\n\r\nlast";
  setList(gbk);
  ModalScript script;
  script.choose(path("out.txt")).ok();
  press("按钮6", script);
  ASSERT_EQ(script.boxes.size(), 1u);
  EXPECT_EQ(script.boxes[0].text, "保存结果：真\n" + path("out.txt"));
  EXPECT_EQ(readFile(path("out.txt")), gbk) << "GBK, CR LF, no byte-order mark, nothing added";
  EXPECT_EQ(list(), gbk);

  ModalScript cancelled;
  cancelled.cancelDialog();
  press("按钮6", cancelled);
  EXPECT_TRUE(cancelled.boxes.empty()) << "a cancelled export is silent";
}

// The one dialog keeps its settings: the export sets the default extension
// (which stays for opening too) and the chosen path comes back in the
// file-name field of the next dialog, of either kind.
TEST_F(ListCommandsTest, FileDialogSettingsPersistBetweenUses) {
  setList("k\r\n");
  ModalScript first;
  first.choose(path("typed")).ok();  // no extension typed
  press("按钮6", first);
  ASSERT_EQ(first.dialogs.size(), 1u);
  const testsupport::SeenDialog& save = first.dialogs[0];
  EXPECT_EQ(save.mode, QFileDialog::AcceptSave);
  EXPECT_EQ(save.filterEntries, (std::vector<std::string>{"文本文件(*.txt)", "所有文件(*.*)"}));
  EXPECT_EQ(save.selectedEntry, "文本文件(*.txt)");
  EXPECT_EQ(save.defaultSuffix, "txt");
  EXPECT_TRUE(save.confirmsOverwrite);
  EXPECT_TRUE(save.applicationModal);
  EXPECT_EQ(readFile(path("typed.txt")), "k\r\n");

  ModalScript second;
  second.cancel().cancelDialog();
  press("按钮5", second);
  ASSERT_EQ(second.dialogs.size(), 1u);
  const testsupport::SeenDialog& open = second.dialogs[0];
  EXPECT_EQ(open.mode, QFileDialog::AcceptOpen);
  EXPECT_EQ(open.fileMode, QFileDialog::ExistingFile);
  EXPECT_EQ(open.defaultSuffix, "txt");
  EXPECT_EQ(open.folder, dir_);
  EXPECT_EQ(open.fileNameField, "typed.txt");
  EXPECT_EQ(open.selectedEntry, "文本文件(*.txt)");
}

TEST_F(ListCommandsTest, FirstDialogOpensInTheProgramDirectory) {
  // Runs in its own process under CTest; in a shared run an earlier test
  // may already have chosen a path, which then takes precedence. A name
  // typed into a cancelled dialog is never offered again.
  setList("k\r\n");
  ModalScript typed;
  typed.typeThenCancel("typed-then-cancelled");
  press("按钮6", typed);
  ModalScript script;
  script.cancelDialog();
  setList("");
  press("按钮5", script);
  ASSERT_EQ(script.dialogs.size(), 1u);
  EXPECT_NE(script.dialogs[0].fileNameField, "typed-then-cancelled");
  if (script.dialogs[0].fileNameField.empty()) {
    EXPECT_EQ(script.dialogs[0].folder, platform::programDirectory());
  }
}

TEST_F(ListCommandsTest, ExportIntoAMissingFolderKeepsTheDialogOpen) {
  setList("k\r\n");
  ModalScript script;
  script.choose(path("missing/out.txt")).ok().cancelDialog();
  press("按钮6", script);
  EXPECT_EQ(script.dialogs.size(), 2u) << "the dialog is still there after the warning";
  EXPECT_FALSE(platform::fileExists(path("missing")));
}

}  // namespace
