#pragma once

#include <optional>
#include <string>

namespace quillfen::platform {

// Moves a file or folder into the freedesktop.org trash through GIO, the desktop's own
// implementation: the user's trash for files on the home folder's file system, the trash folder
// at the top of another file system, each with the information file that restoring needs. It
// never deletes instead. Nothing when moved, else GIO's reason in the user's language.
std::optional<std::string> moveToFreedesktopTrash(const std::string& path);

}  // namespace quillfen::platform
