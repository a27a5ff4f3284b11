// QMessageBox backend of the message boxes.
#include "platform/message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include "text/gbk.h"

namespace platform {

bool showMessage(std::string_view gbkMessage, MessageButtons buttons) {
  const std::string utf8 = text::gbkToDisplay(gbkMessage);
  QString message = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::Information, QString::fromUtf8("信息："), message,
                  QMessageBox::Ok, nullptr);
  // Plain text: a path holding "<" must show as typed, not as markup.
  box.setTextFormat(Qt::PlainText);
  if (buttons == MessageButtons::OkCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);  // the close button answers Cancel
  }
  // The buttons speak the same language as the rest of the window.
  box.button(QMessageBox::Ok)->setText(QString::fromUtf8("确定"));
  if (QAbstractButton* cancel = box.button(QMessageBox::Cancel)) {
    cancel->setText(QString::fromUtf8("取消"));
  }
  box.setWindowModality(Qt::ApplicationModal);
  return box.exec() == QMessageBox::Ok;
}

}  // namespace platform
