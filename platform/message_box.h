// Message boxes of the list commands: information icon, the title "信息：",
// no owner window, application-modal (the whole interface waits until the
// box is closed). Messages are GBK; they are converted for display here.
// UI thread only.
#pragma once

#include <string_view>

namespace platform {

enum class MessageButtons { Ok, OkCancel };

// Shows gbkMessage and waits until the box is closed. True when OK was
// clicked; closing the box without a button counts as Cancel (false).
bool showMessage(std::string_view gbkMessage, MessageButtons buttons = MessageButtons::Ok);

}  // namespace platform
