#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// The standard icon-file format: a six-byte header, one 16-byte directory entry per image, then
// the images (device-independent bitmaps or PNG streams), each found by its file offset.
class IcoFile {
public:
    // One image with the facts its directory entry states about it.
    struct Image {
        // 1 to 256; the format writes 256 as 0.
        int width = 0;
        int height = 0;
        int colorCount = 0;
        int planes = 0;
        int bitCount = 0;
        std::string_view data;
    };

    static constexpr std::size_t kHeaderSize = 6;
    static constexpr std::size_t kEntrySize = 16;

    // The images of a well-formed icon file, or nullopt when its header is wrong, it holds no
    // image, or any entry reaches outside the file or into its directory. The images' data
    // points into `bytes`.
    static std::optional<std::vector<Image>> images(std::string_view bytes);
    static bool isValid(std::string_view bytes);

    // The side an entry's width or height byte stands for: 0 is 256.
    static int sideFromByte(std::uint32_t byte);
    // An icon file of these images in this order; at most 65535 images of 4 GiB in all.
    static std::string assemble(const std::vector<Image>& images);
    // An icon file holding one PNG image, as icon files have allowed since the 256-pixel icons.
    static std::string fromPng(std::string_view png, int width, int height);
};

}  // namespace quillfen
