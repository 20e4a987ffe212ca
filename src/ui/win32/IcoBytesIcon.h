#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <string_view>

namespace quillfen::win32 {

// An icon of `size` pixels made from the whole bytes of an .ico file: the image nearest that size
// (the larger when two are as near, the deeper colours among equals), scaled to it. nullptr when
// the bytes hold no readable image. The caller destroys the icon.
HICON iconFromIcoBytes(std::string_view bytes, int size);

}  // namespace quillfen::win32
