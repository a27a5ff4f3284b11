// 按钮3 "去重复": removes repeated lines of the keyword list.
#include "app/shell.h"
#include "listcmd/deduplicate.h"
#include "listcmd/list_commands.h"
#include "listcmd/list_messages.h"
#include "platform/message_box.h"

namespace listcmd {

void deduplicateList() {
  platform::showMessage(kDeduplicateWarning);
  int32_t count = 0;
  {
    DeduplicatedList result = deduplicateLines(app::readBoxText(app::Box::KeywordList));
    count = result.count;
    // One append of the whole result leaves the box exactly as appending
    // line by line would (caret at the end, scrolled there, not undoable)
    // at a fraction of the cost.
    app::replaceBoxText(app::Box::KeywordList, "");
    app::appendToBox(app::Box::KeywordList, result.text);
  }
  platform::showMessage(
      text::concatText({kDeduplicateDonePrefix, text::toText(count), kDeduplicateDoneSuffix}));
}

}  // namespace listcmd
