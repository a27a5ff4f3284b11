#include "listcmd/write_result.h"

#include "listcmd/list_messages.h"
#include "platform/message_box.h"
#include "text/gbk.h"
#include "text/text.h"

namespace listcmd {

void showWriteResult(bool written, const std::string& path) {
  // File names are UTF-8 on this system; the message is GBK like all text.
  const text::Text gbkPath = text::displayToGbk(path);
  platform::showMessage(
      text::concatText({kSaveResultPrefix, text::toText(written), text::kCrLf, gbkPath}));
}

}  // namespace listcmd
