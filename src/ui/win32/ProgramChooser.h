#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <optional>
#include <string>

namespace quillfen::win32 {

// The system's file-open dialog over the owner window for choosing a program: it offers ".exe"
// files and accepts one that exists. The chosen full path, unquoted; nothing when cancelled.
std::optional<std::string> chooseProgramFile(HWND owner);

}  // namespace quillfen::win32
