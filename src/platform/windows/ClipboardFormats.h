#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DesktopShell.h"

namespace quillfen::platform {

// The blocks that Cut, Copy and Copy File Name put on the Windows clipboard, byte for byte as the
// clipboard takes them; putting them there is the window's part.
class ClipboardFormats {
public:
    // The values of the registered format "Preferred DropEffect".
    static constexpr std::uint32_t kDropEffectCopy = 1;
    static constexpr std::uint32_t kDropEffectMove = 2;

    // CF_HDROP: a 20-byte DROPFILES header (file list at offset 20, drop point (0, 0), not in the
    // non-client area, wide characters), then each path in UTF-16 with a terminating zero and one
    // more zero after the last, then zero bytes up to 2 x L + 28 bytes in all, where L is the
    // length of the same list in the engine's bytes, its final zero included.
    static std::string dropFiles(const std::vector<std::string>& paths);
    // The 32-bit "Preferred DropEffect": move for Cut, copy for Copy.
    static std::string preferredDropEffect(FileTransfer transfer);
    // CF_UNICODETEXT: the text in UTF-16 with a terminating zero.
    static std::string unicodeText(std::string_view text);
    // CF_TEXT: the text in the given code page with a terminating zero; characters the code page
    // lacks become question marks rather than look-alikes, which could name another file.
    static std::string ansiText(std::string_view text, unsigned codePage);
};

}  // namespace quillfen::platform
