#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

namespace quillfen::platform {

// An icon handle as the bytes of an .ico file, which any thread can carry and the user-interface
// thread turns back into an icon (CreateIconFromResourceEx on the image behind the directory).
// One image of the icon's own size: 32-bit colour, its alpha kept, and the icon's AND mask, so
// that icons without alpha keep their transparent parts. A monochrome icon becomes a 32-bit one of
// black and white with its mask.
class IcoEncoder {
public:
    // The size of the .ico file's directory with its one entry, where the image begins.
    static constexpr std::size_t kImageOffset = 22;

    // nullopt when the handle is not an icon or its bitmaps cannot be read.
    static std::optional<std::string> encode(HICON icon);
};

}  // namespace quillfen::platform
