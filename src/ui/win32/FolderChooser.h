#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <optional>
#include <string>

namespace quillfen::win32 {

// The shell's folder chooser, titled; the chosen folder in UTF-8, nothing when cancelled.
std::optional<std::string> browseForFolder(HWND owner, const std::string& title);

}  // namespace quillfen::win32
