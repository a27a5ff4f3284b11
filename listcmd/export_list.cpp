// 按钮6 "导出": writes the keyword list to a file the user chooses.
#include "app/shell.h"
#include "listcmd/list_commands.h"
#include "listcmd/write_result.h"
#include "listcmd/list_messages.h"
#include "platform/file_dialog.h"
#include "platform/files.h"

namespace listcmd {

void exportList() {
  platform::setFileDialogKind(platform::FileDialogKind::Save);
  platform::setFileDialogFolder(platform::programDirectory());
  platform::setFileDialogFilter(kListFileFilter);
  platform::setFileDialogDefaultExtension(kDefaultExtension);
  const std::optional<std::string> path = platform::showFileDialog();
  if (!path) return;
  const bool written = platform::writeWholeFile(*path, app::readBoxText(app::Box::KeywordList));
  showWriteResult(written, *path);
}

}  // namespace listcmd
