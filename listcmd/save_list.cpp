// 按钮4 "保存": writes the keyword list to word.txt in the program's
// directory, first letting go of the start-up hold on that file.
#include "app/lifecycle.h"
#include "app/shared_state.h"
#include "app/shell.h"
#include "listcmd/list_commands.h"
#include "listcmd/write_result.h"
#include "platform/files.h"

namespace listcmd {

void saveList() {
  // Numbers are never reused, so the later saves' close of 0 does nothing.
  platform::closeFile(app::sharedState().wordFileHandle.exchange(0));
  const std::string path = app::wordFilePath();
  const bool written = platform::writeWholeFile(path, app::readBoxText(app::Box::KeywordList));
  showWriteResult(written, path);
}

}  // namespace listcmd
