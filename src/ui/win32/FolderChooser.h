#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <optional>
#include <string>

namespace quillfen::win32 {

// The shell's folder chooser over the owner window, with the title above its tree ("Select a
// directory..." when empty). The chosen folder ends with a backslash; nothing when the user
// cancels or picks an item that is no file-system folder.
std::optional<std::string> browseForFolder(HWND owner, const std::string& title);

}  // namespace quillfen::win32
