// The main window: its controls, its two button states, its handlers and
// the order of its lifecycle events.
#include "app/main_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/shell.h"
#include "platform/keyword_box.h"
#include "platform/ui_thread.h"
#include "tests/support/qt_app.h"

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// The caption or text a control shows.
QString shownText(QWidget* widget) {
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  return {};
}

// Records the handlers' calls in order.
struct Recorder {
  std::vector<std::string> calls;
  std::function<void()> note(std::string name) {
    return [this, name] { calls.push_back(name); };
  }
  app::WindowHandlers handlers() {
    app::WindowHandlers h;
    h.startCollection = note("start");
    h.stopCollection = note("stop");
    h.deduplicateList = note("dedup");
    h.saveList = note("save");
    h.importList = note("import");
    h.exportList = note("export");
    h.created = note("created");
    h.shuttingDown = note("shuttingDown");
    h.destroying = note("destroying");
    return h;
  }
};

// Records the order in which watched widgets change their enabled state.
class EnabledChanges : public QObject {
 public:
  std::vector<std::string> changes;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange) {
      const auto* widget = static_cast<QWidget*>(watched);
      changes.push_back(watched->objectName().toStdString() + (widget->isEnabled() ? "+" : "-"));
    }
    return false;
  }
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::ensureQtApp();
    window = std::make_unique<app::MainWindow>(recorder.handlers());
  }
  void TearDown() override {
    window.reset();
    platform::initUiThread();  // the window closed the calls; reopen them
  }
  template <typename T>
  T* control(const char* name) {
    return window->findChild<T*>(u(name));
  }
  Recorder recorder;
  std::unique_ptr<app::MainWindow> window;
};

TEST_F(MainWindowTest, EveryControlHasItsKindPlaceSizeAndText) {
  struct Row {
    const char* name;
    const char* kind;
    const char* parent;  // object name of the parent widget
    QRect place;
    const char* text;    // caption or initial text; nullptr: not checked here
  };
  const Row rows[] = {
      {"按钮1", "QPushButton", "MainWindow", {14, 14, 72, 24}, "开始采集"},
      {"按钮2", "QPushButton", "MainWindow", {96, 14, 72, 24}, "停止采集"},
      {"按钮3", "QPushButton", "MainWindow", {178, 14, 72, 24}, "去重复"},
      {"按钮4", "QPushButton", "MainWindow", {260, 14, 72, 24}, "保存"},
      {"按钮5", "QPushButton", "MainWindow", {342, 14, 72, 24}, "导入"},
      {"按钮6", "QPushButton", "MainWindow", {424, 14, 72, 24}, "导出"},
      {"编辑框2", "platform::KeywordBox", "MainWindow", {10, 47, 488, 281}, nullptr},
      {"分组框1", "QGroupBox", "MainWindow", {504, 8, 168, 320}, "过滤条件"},
      {"标签2", "QLabel", "分组框1", {11, 17, 133, 23}, "关键词必须包含：(优先)"},
      {"编辑框1", "QLineEdit", "分组框1", {11, 43, 141, 20}, ""},
      {"标签3", "QLabel", "分组框1", {11, 71, 109, 23}, "关键词不得包含："},
      {"编辑框3", "QLineEdit", "分组框1", {11, 97, 141, 20}, ""},
      {"编辑框4", "QPlainTextEdit", "分组框1", {11, 128, 142, 176}, nullptr},
      {"标签1", "QLabel", "MainWindow", {9, 332, 663, 19}, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* widget = control<QWidget>(row.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->inherits(row.kind) ||
                (std::string(row.kind) == "platform::KeywordBox" &&
                 dynamic_cast<platform::KeywordBox*>(widget) != nullptr));
    EXPECT_EQ(widget->parentWidget()->objectName(), u(row.parent));
    EXPECT_EQ(widget->geometry(), row.place);
    if (row.text == nullptr) continue;
    EXPECT_EQ(shownText(widget), u(row.text));
  }
}

TEST_F(MainWindowTest, WindowIsFixedCentredAndCaptioned) {
  EXPECT_EQ(window->windowTitle(), u("Vantrel"));
  EXPECT_EQ(window->minimumSize(), QSize(676, 351));
  EXPECT_EQ(window->maximumSize(), QSize(676, 351));
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  const QRect area = window->screen()->availableGeometry();
  EXPECT_EQ(window->pos(), QPoint(area.x() + (area.width() - 684) / 2,
                                  area.y() + (area.height() - 385) / 2));
}

TEST_F(MainWindowTest, InformationAndCreditTextsLookAsIntended) {
  auto* info = control<QPlainTextEdit>("编辑框4");
  EXPECT_TRUE(info->isReadOnly());
  EXPECT_EQ(info->frameShape(), QFrame::NoFrame);
  EXPECT_TRUE(info->toPlainText().contains("word.txt"));
  EXPECT_GE(info->toPlainText().count('\n'), 3);
  auto* credit = control<QLabel>("标签1");
  EXPECT_FALSE(credit->text().isEmpty());
  EXPECT_EQ(credit->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

TEST_F(MainWindowTest, StartsIdleWithEmptyFiltersAndTheSeedLine) {
  for (int i = 1; i <= 6; ++i) {
    SCOPED_TRACE(i);
    const std::string name = "按钮" + std::to_string(i);
    EXPECT_EQ(control<QPushButton>(name.c_str())->isEnabled(), i != 2);
  }
  EXPECT_EQ(app::readBoxText(app::Box::MustContain), "");
  EXPECT_EQ(app::readBoxText(app::Box::MustNotContain), "");
  EXPECT_EQ(app::readBoxText(app::Box::KeywordList), "\xBB\xFA\xD0\xB5\r\n");
  EXPECT_EQ(recorder.calls, std::vector<std::string>{"created"});
}

TEST_F(MainWindowTest, StatesSwitchButtonByButtonInOrder) {
  EnabledChanges watcher;
  for (int i = 1; i <= 6; ++i) {
    control<QPushButton>(("按钮" + std::to_string(i)).c_str())->installEventFilter(&watcher);
  }
  app::setWindowState(app::WindowState::Collecting);
  EXPECT_EQ(watcher.changes, (std::vector<std::string>{"按钮1-", "按钮2+", "按钮3-", "按钮4-",
                                                        "按钮5-", "按钮6-"}));
  watcher.changes.clear();
  app::setWindowState(app::WindowState::Idle);
  EXPECT_EQ(watcher.changes, (std::vector<std::string>{"按钮1+", "按钮2-", "按钮3+", "按钮4+",
                                                        "按钮5+", "按钮6+"}));
  // The text boxes are never disabled.
  app::setWindowState(app::WindowState::Collecting);
  for (const char* name : {"编辑框1", "编辑框2", "编辑框3"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(control<QWidget>(name)->isEnabled());
  }
}

TEST_F(MainWindowTest, ButtonsCallTheirHandlers) {
  app::setWindowState(app::WindowState::Collecting);
  control<QPushButton>("按钮2")->click();
  app::setWindowState(app::WindowState::Idle);
  for (const char* name : {"按钮1", "按钮3", "按钮4", "按钮5", "按钮6"}) {
    control<QPushButton>(name)->click();
  }
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"created", "stop", "start", "dedup",
                                                       "save", "import", "export"}));
}

TEST_F(MainWindowTest, ShellOperationsReachTheBoxesFromAWorker) {
  std::atomic<bool> done{false};
  text::Text seen;
  std::thread worker([&] {
    app::replaceBoxText(app::Box::MustContain, "\xBB\xFA");
    app::appendToBox(app::Box::KeywordList, "abc\r\n");
    app::setWindowState(app::WindowState::Collecting);
    seen = app::readBoxText(app::Box::KeywordList);
    done = true;
  });
  EXPECT_TRUE(testsupport::pumpEventsUntil(5000, [&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(seen, "\xBB\xFA\xD0\xB5\r\nabc\r\n");
  EXPECT_EQ(control<QLineEdit>("编辑框1")->text(), u("机"));
  EXPECT_FALSE(control<QPushButton>("按钮1")->isEnabled());
  EXPECT_TRUE(control<QPushButton>("按钮2")->isEnabled());
}

TEST_F(MainWindowTest, AppendGoesToTheEndDespiteASelection) {
  auto* box = control<platform::KeywordBox>("编辑框2");
  box->SendScintilla(QsciScintillaBase::SCI_SETSEL, 0ul, 2l);
  app::appendToBox(app::Box::KeywordList, "x\r\n");
  EXPECT_EQ(app::readBoxText(app::Box::KeywordList), "\xBB\xFA\xD0\xB5\r\nx\r\n");
  const long length = box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  EXPECT_EQ(box->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), length);
  EXPECT_EQ(box->SendScintilla(QsciScintillaBase::SCI_GETANCHOR), length);
}

TEST_F(MainWindowTest, DestructionClosesWorkerCallsBeforeItsDestroyingEvent) {
  bool workerCallRan = true;
  recorder.calls.clear();
  app::WindowHandlers handlers = recorder.handlers();
  handlers.destroying = [&] {
    recorder.calls.push_back("destroying");
    std::thread worker([&] { workerCallRan = platform::runOnUiThread([] {}); });
    worker.join();
    // On the UI thread the shell operations find no window any more.
    EXPECT_EQ(app::readBoxText(app::Box::KeywordList), "");
  };
  window.reset();
  platform::initUiThread();
  window = std::make_unique<app::MainWindow>(handlers);
  recorder.calls.clear();
  window.reset();
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"shuttingDown", "destroying"}));
  EXPECT_FALSE(workerCallRan);
}

TEST(ShellWithoutWindow, OperationsDoNothingAndReadEmpty) {
  testsupport::ensureQtApp();
  EXPECT_EQ(app::readBoxText(app::Box::KeywordList), "");
  app::appendToBox(app::Box::KeywordList, "x");
  app::replaceBoxText(app::Box::MustContain, "x");
  app::setWindowState(app::WindowState::Collecting);
  app::processPendingEvents();
  std::atomic<bool> done{false};
  std::thread worker([&] {
    EXPECT_EQ(app::readBoxText(app::Box::MustNotContain), "");
    done = true;
  });
  EXPECT_TRUE(testsupport::pumpEventsUntil(5000, [&] { return done.load(); }));
  worker.join();
}

}  // namespace
