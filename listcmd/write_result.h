// The result message of the commands that write a file. UI thread only.
#pragma once

#include <string>

namespace listcmd {

// Shows "保存结果：" + "真" or "假" + CR LF + path, and waits until closed.
void showWriteResult(bool written, const std::string& path);

}  // namespace listcmd
