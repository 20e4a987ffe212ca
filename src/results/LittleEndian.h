#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillfen {

// Unsigned little-endian integers of 1 to 4 bytes, as Windows file formats store them. Reading
// trusts the caller to have checked that `at + width` lies within the bytes.
inline std::uint32_t readLittleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i > 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i - 1]);
    }
    return value;
}

inline void appendLittleEndian(std::string& out, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

}  // namespace quillfen
