#include "app/main_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/window_texts.h"
#include "platform/keyword_box.h"
#include "platform/ui_thread.h"
#include "platform/window_font.h"
#include "text/gbk.h"

namespace app {
namespace {

MainWindow* gWindow = nullptr;  // UI thread only

QString fromUtf8(const char* utf8) { return QString::fromUtf8(utf8); }

QString gbkToQString(std::string_view gbk) {
  return QString::fromStdString(text::gbkToDisplay(gbk.substr(0, gbk.find('\0'))));
}

text::Text qStringToGbk(const QString& display) {
  return text::displayToGbk(display.toStdString());
}

QLabel* addLabel(QWidget* parent, const char* name, const char* caption, QRect place) {
  auto* label = new QLabel(fromUtf8(caption), parent);
  label->setObjectName(fromUtf8(name));
  label->setGeometry(place);
  return label;
}

QLineEdit* addLineEdit(QWidget* parent, const char* name, QRect place) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(fromUtf8(name));
  edit->setGeometry(place);
  edit->setFrame(true);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  edit->setPalette(palette);
  return edit;
}

QPlainTextEdit* addInformationBox(QWidget* parent) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(fromUtf8("编辑框4"));
  box->setGeometry(11, 128, 142, 176);
  box->setReadOnly(true);
  box->setFrameShape(QFrame::NoFrame);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  box->setPalette(palette);
  box->setPlainText(fromUtf8(kInformationText));
  return box;
}

void call(const std::function<void()>& handler) {
  if (handler) handler();
}

}  // namespace

MainWindow::MainWindow(WindowHandlers handlers)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      handlers_(std::move(handlers)) {
  setObjectName("MainWindow");
  setWindowTitle(fromUtf8(kCaption));
  setFont(platform::cjkFont());
  setFixedSize(kClientWidth, kClientHeight);

  createButtons();
  keywordList_ = new platform::KeywordBox(this);
  keywordList_->setObjectName(fromUtf8("编辑框2"));
  keywordList_->setGeometry(10, 47, 488, 281);
  keywordList_->setGbkText(kInitialKeywordList);
  createFilterGroup();

  QLabel* credit = addLabel(this, "标签1", kCreditText, QRect(9, 332, 663, 19));
  QPalette palette = credit->palette();
  palette.setColor(QPalette::WindowText, Qt::blue);
  credit->setPalette(palette);

  setState(WindowState::Idle);
  centreOnScreen();
  gWindow = this;
  call(handlers_.created);
}

MainWindow::~MainWindow() {
  call(handlers_.shuttingDown);
  // From here on a worker's call onto the UI thread returns false unrun,
  // also one that is waiting now: nothing can reach the controls below.
  platform::closeUiCalls();
  if (gWindow == this) gWindow = nullptr;
  call(handlers_.destroying);
}

QPushButton* MainWindow::addButton(const char* name, const char* caption, int x,
                                   const std::function<void()>& onClick) {
  auto* button = new QPushButton(fromUtf8(caption), this);
  button->setObjectName(fromUtf8(name));
  button->setGeometry(x, 14, 72, 24);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [onClick] { call(onClick); });
  return button;
}

void MainWindow::createButtons() {
  buttons_[0] = addButton("按钮1", "开始采集", 14, handlers_.startCollection);
  buttons_[1] = addButton("按钮2", "停止采集", 96, handlers_.stopCollection);
  buttons_[2] = addButton("按钮3", "去重复", 178, handlers_.deduplicateList);
  buttons_[3] = addButton("按钮4", "保存", 260, handlers_.saveList);
  buttons_[4] = addButton("按钮5", "导入", 342, handlers_.importList);
  buttons_[5] = addButton("按钮6", "导出", 424, handlers_.exportList);
}

void MainWindow::createFilterGroup() {
  auto* group = new QGroupBox(fromUtf8("过滤条件"), this);
  group->setObjectName(fromUtf8("分组框1"));
  group->setGeometry(504, 8, 168, 320);
  // Places inside the group box are relative to its top-left corner.
  addLabel(group, "标签2", "关键词必须包含：(优先)", QRect(11, 17, 133, 23));
  mustContain_ = addLineEdit(group, "编辑框1", QRect(11, 43, 141, 20));
  addLabel(group, "标签3", "关键词不得包含：", QRect(11, 71, 109, 23));
  mustNotContain_ = addLineEdit(group, "编辑框3", QRect(11, 97, 141, 20));
  addInformationBox(group);
}

void MainWindow::centreOnScreen() {
  const QScreen* shown = screen();
  if (shown == nullptr) return;
  const QRect area = shown->availableGeometry();
  // Centre the outer frame: 4 px border on each side, 30 px caption.
  const int outerWidth = kClientWidth + 8;
  const int outerHeight = kClientHeight + 34;
  move(area.x() + (area.width() - outerWidth) / 2, area.y() + (area.height() - outerHeight) / 2);
}

text::Text MainWindow::boxText(Box box) const {
  switch (box) {
    case Box::KeywordList: return keywordList_->gbkText();
    case Box::MustContain: return qStringToGbk(mustContain_->text());
    case Box::MustNotContain: return qStringToGbk(mustNotContain_->text());
  }
  return {};
}

void MainWindow::setBoxText(Box box, std::string_view gbk) {
  switch (box) {
    case Box::KeywordList: keywordList_->setGbkText(gbk); break;
    case Box::MustContain: mustContain_->setText(gbkToQString(gbk)); break;
    case Box::MustNotContain: mustNotContain_->setText(gbkToQString(gbk)); break;
  }
}

void MainWindow::appendToBox(Box box, std::string_view gbk) {
  if (box == Box::KeywordList) {
    keywordList_->appendGbk(gbk);
    return;
  }
  QLineEdit* edit = box == Box::MustContain ? mustContain_ : mustNotContain_;
  edit->setText(edit->text() + gbkToQString(gbk));  // setText is not undoable
  edit->end(false);
}

void MainWindow::setState(WindowState state) {
  const bool idle = state == WindowState::Idle;
  // 按钮1 to 按钮6 in order: only Stop is the other way round.
  for (int i = 0; i < 6; ++i) buttons_[i]->setEnabled(i == 1 ? !idle : idle);
}

MainWindow* currentMainWindow() { return gWindow; }

}  // namespace app
