// 按钮5 "导入": appends the text of a file the user chooses to the keyword
// list, after offering to clear the list first.
#include "app/shell.h"
#include "listcmd/list_commands.h"
#include "listcmd/list_messages.h"
#include "platform/file_dialog.h"
#include "platform/files.h"
#include "platform/message_box.h"

namespace listcmd {

void importList() {
  platform::setFileDialogKind(platform::FileDialogKind::Open);
  platform::setFileDialogFolder(platform::programDirectory());
  platform::setFileDialogFilter(kListFileFilter);
  if (!app::readBoxText(app::Box::KeywordList).empty() &&
      platform::showMessage(kClearQuestion, platform::MessageButtons::OkCancel)) {
    app::replaceBoxText(app::Box::KeywordList, "");
  }
  const std::optional<std::string> path = platform::showFileDialog();
  if (!path || !platform::fileExists(*path)) return;
  // Appended as it stands, up to the first NUL byte: no line break is put
  // in front of it and its line ends are not converted.
  app::appendToBox(app::Box::KeywordList, text::bytesToText(platform::readWholeFile(*path)));
}

}  // namespace listcmd
