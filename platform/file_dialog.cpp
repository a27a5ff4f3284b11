// QFileDialog backend of 通用对话框1. The widget-based dialog is used (not
// the desktop's native one) so that it behaves the same everywhere and can
// be driven in tests.
#include "platform/file_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

#include "text/gbk.h"

namespace platform {
namespace {

class CommonDialog : public QFileDialog {
 public:
  CommonDialog() : QFileDialog(nullptr) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    // Shows "文本文件(*.txt)" rather than "文本文件(*.txt) (*.txt)".
    setOption(QFileDialog::HideNameFilterDetails, true);
    setWindowModality(Qt::ApplicationModal);
  }

  QString lastPath;  // empty before the first confirmed choice

 protected:
  // The chosen folder must exist: a name typed into a missing folder keeps
  // the dialog open instead of failing later when the file is written.
  void accept() override {
    const QStringList files = selectedFiles();
    if (!files.isEmpty() && !QFileInfo(files.first()).absoluteDir().exists()) {
      QMessageBox::warning(this, windowTitle(),
                           files.first() + QString::fromUtf8("\n文件夹不存在。请检查路径是否正确。"));
      return;
    }
    QFileDialog::accept();
  }
};

CommonDialog& dialog() {
  static CommonDialog* created = new CommonDialog;  // lives until the process ends
  return *created;
}

QString fromNative(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

// "*.*" matches every name on Windows, with or without a dot; "*" does here.
QString patternsFor(const QString& windowsPatterns) {
  QStringList patterns = windowsPatterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
  for (QString& p : patterns) {
    p = p.trimmed();
    if (p == QLatin1String("*.*")) p = QStringLiteral("*");
  }
  return patterns.join(QLatin1Char(' '));
}

}  // namespace

void setFileDialogKind(FileDialogKind kind) {
  const bool open = kind == FileDialogKind::Open;
  dialog().setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog().setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
}

void setFileDialogFolder(const std::string& folder) { dialog().setDirectory(fromNative(folder)); }

void setFileDialogFilter(std::string_view gbkFilter) {
  // Split after the conversion: "|" may be the trail byte of a GBK character.
  const std::string utf8 = text::gbkToDisplay(gbkFilter);
  const QStringList parts = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
                                .split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    filters << parts[i] + QStringLiteral(" (") + patternsFor(parts[i + 1]) + QLatin1Char(')');
  dialog().setNameFilters(filters);
  if (!filters.isEmpty()) dialog().selectNameFilter(filters.first());
}

void setFileDialogDefaultExtension(std::string_view extension) {
  dialog().setDefaultSuffix(
      QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size())));
}

std::optional<std::string> showFileDialog() {
  CommonDialog& d = dialog();
  // The field starts with the last confirmed path, or empty before the
  // first choice (whatever was typed into a cancelled dialog is dropped).
  // selectFile ignores an empty name, so the field is cleared directly.
  if (d.lastPath.isEmpty()) {
    if (auto* field = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) field->clear();
  } else {
    d.selectFile(d.lastPath);
  }
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  d.lastPath = d.selectedFiles().first();
  const QByteArray native = QFile::encodeName(d.lastPath);
  return std::string(native.constData(), static_cast<size_t>(native.size()));
}

}  // namespace platform
