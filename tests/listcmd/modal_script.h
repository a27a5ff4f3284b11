// Answers, in order, the modal message boxes and file dialogs that a
// command shows while it runs on the UI thread, and records what each one
// looked like. A poll timer finds the active modal widget; each answer is
// posted from it so that an answer that opens a nested box (the overwrite
// question of the save dialog) lets the poll go on. A modal widget that no
// answer is left for is recorded as unexpected and dismissed, so a test
// never hangs.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QList>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct SeenBox {
  std::string title;
  std::string text;  // UTF-8
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool hasCancel = false;
  bool ownerless = false;
  bool applicationModal = false;
};

struct SeenDialog {
  QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
  QFileDialog::FileMode fileMode = QFileDialog::AnyFile;
  std::string folder;
  std::string fileNameField;
  std::vector<std::string> filterEntries;  // as shown in the type list
  std::string selectedEntry;
  std::string defaultSuffix;
  bool confirmsOverwrite = false;
  bool applicationModal = false;
};

class ModalScript {
 public:
  using Answer = std::function<void(QWidget*)>;

  ModalScript& click(QMessageBox::StandardButton button) {
    answers_.push_back([this, button](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (box == nullptr || box->button(button) == nullptr) return dismiss(w);
      box->button(button)->click();
    });
    return *this;
  }
  ModalScript& ok() { return click(QMessageBox::Ok); }
  ModalScript& cancel() { return click(QMessageBox::Cancel); }
  // The box's close button, without choosing a button.
  ModalScript& closeBox() {
    answers_.push_back([](QWidget* w) { w->close(); });
    return *this;
  }
  // Types path into the dialog's file-name field and confirms.
  ModalScript& choose(const std::string& path) {
    answers_.push_back([this, path](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      auto* edit = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
      if (edit == nullptr) return dismiss(w);
      edit->setText(QString::fromStdString(path));
      static_cast<QDialog*>(dialog)->accept();  // public there, virtual
    });
    return *this;
  }
  // Types name into the dialog's file-name field, then cancels.
  ModalScript& typeThenCancel(const std::string& name) {
    answers_.push_back([this, name](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      auto* edit = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
      if (edit == nullptr) return dismiss(w);
      edit->setText(QString::fromStdString(name));
      dialog->reject();
    });
    return *this;
  }
  ModalScript& cancelDialog() {
    answers_.push_back([this](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      if (dialog == nullptr) return dismiss(w);
      dialog->reject();
    });
    return *this;
  }

  // Runs command with the poll armed; returns when the command returns.
  void run(const std::function<void()>& command) {
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [this] { tick(); });
    poll.start();
    command();
    poll.stop();
  }

  bool allAnswered() const { return answers_.empty(); }

  std::vector<SeenBox> boxes;
  std::vector<SeenDialog> dialogs;
  int unexpected = 0;

 private:
  void tick() {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr || w == pending_ || busy_.contains(w)) return;
    record(w);
    pending_ = w;
    Answer answer = [this](QWidget* x) { dismiss(x); };
    if (!answers_.empty()) {
      answer = std::move(answers_.front());
      answers_.pop_front();
    } else {
      ++unexpected;
    }
    QPointer<QWidget> target(w);
    QTimer::singleShot(0, [this, target, answer] {
      pending_ = nullptr;
      if (!target) return;
      // While the answer runs (an accept that waits in a nested box) its
      // widget is not answered again; once it returns, a widget still
      // shown (the dialog after a refusal) takes the next answer.
      busy_.push_back(target.data());
      answer(target);
      busy_.removeOne(target.data());
    });
  }

  void record(QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      boxes.push_back(SeenBox{box->windowTitle().toStdString(), box->text().toStdString(),
                              box->icon(), box->button(QMessageBox::Cancel) != nullptr,
                              box->parentWidget() == nullptr,
                              box->windowModality() == Qt::ApplicationModal});
    } else if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
      SeenDialog seen;
      seen.mode = dialog->acceptMode();
      seen.fileMode = dialog->fileMode();
      seen.folder = dialog->directory().absolutePath().toStdString();
      if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
        seen.fileNameField = edit->text().toStdString();
      if (auto* types = dialog->findChild<QComboBox*>("fileTypeCombo")) {
        for (int i = 0; i < types->count(); ++i)
          seen.filterEntries.push_back(types->itemText(i).toStdString());
        seen.selectedEntry = types->currentText().toStdString();
      }
      seen.defaultSuffix = dialog->defaultSuffix().toStdString();
      seen.confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
      seen.applicationModal = dialog->windowModality() == Qt::ApplicationModal;
      dialogs.push_back(seen);
    }
  }

  void dismiss(QWidget* w) {
    if (auto* dialog = qobject_cast<QDialog*>(w)) {
      dialog->reject();
    } else {
      w->close();
    }
  }

  std::deque<Answer> answers_;
  QPointer<QWidget> pending_;
  QList<QWidget*> busy_;
};

}  // namespace testsupport
