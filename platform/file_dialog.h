// 通用对话框1: the one open/save file dialog of the program.
//
// A single dialog object, created on first use, whose settings stay as they
// were left from one use to the next: kind, initial folder, filter, default
// extension and the last chosen path (offered again in the file-name field
// of the next dialog, of either kind). Options fixed for every use: ask
// before overwriting, the chosen file must exist when opening, the chosen
// folder must exist. Paths are file-system paths (native bytes), not GBK.
// UI thread only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class FileDialogKind { Open, Save };

void setFileDialogKind(FileDialogKind kind);
// The folder shown when no path was chosen before.
void setFileDialogFolder(const std::string& folder);
// GBK filter in the form "description|pattern|description|pattern...";
// several patterns of one entry are separated by ";". The first entry is
// selected.
void setFileDialogFilter(std::string_view gbkFilter);
// Extension (without the dot) added to a typed name that has none.
void setFileDialogDefaultExtension(std::string_view extension);

// Shows the dialog application-modal and waits. The chosen file's full
// path, or nullopt when the dialog was cancelled.
std::optional<std::string> showFileDialog();

}  // namespace platform
