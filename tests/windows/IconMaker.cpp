#include "IconMaker.h"

#include <cstdint>
#include <vector>

#include "platform/windows/IcoEncoder.h"

namespace quillfen::test {

namespace {

std::size_t maskStride(int side) {
    return static_cast<std::size_t>((side + 31) / 32) * 4;
}

HBITMAP maskHidingFirstRow(int side) {
    std::vector<std::uint8_t> bits(maskStride(side) * static_cast<std::size_t>(side), 0);
    for (std::size_t at = 0; at < maskStride(side); ++at) {
        bits[at] = 0xFF;
    }
    // CreateBitmap rows are 16-bit aligned; with whole 32-bit rows both alignments agree.
    return CreateBitmap(side, side, 1, 1, bits.data());
}

}  // namespace

HICON makeColorIcon(int side, unsigned char alpha) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (color == nullptr) {
        return nullptr;
    }
    auto* pixels = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            std::uint8_t* pixel = pixels + (y * side + x) * 4;
            pixel[0] = static_cast<std::uint8_t>(x * 255 / side);
            pixel[1] = static_cast<std::uint8_t>(y * 255 / side);
            pixel[2] = static_cast<std::uint8_t>((x + y) * 127 / side);
            pixel[3] = alpha;
        }
    }
    HBITMAP mask = maskHidingFirstRow(side);
    ICONINFO icon{TRUE, 0, 0, mask, color};
    HICON made = CreateIconIndirect(&icon);
    DeleteObject(color);
    DeleteObject(mask);
    return made;
}

HICON makeMonochromeIcon(int side) {
    const std::size_t bytes = maskStride(side) * static_cast<std::size_t>(side);
    std::vector<std::uint8_t> andBits(bytes, 0);
    std::vector<std::uint8_t> xorBits(bytes, 0);
    for (std::size_t at = 0; at < bytes; ++at) {
        xorBits[at] = (at / maskStride(side)) % 2 == 0 ? 0xAA : 0x55;
    }
    return CreateIcon(nullptr, side, side, 1, 1, andBits.data(), xorBits.data());
}

std::string colorIconFile(int side) {
    const HICON icon = makeColorIcon(side, 0xFF);
    const auto bytes = platform::IcoEncoder::encode(icon);
    DestroyIcon(icon);
    return bytes.value_or(std::string());
}

}  // namespace quillfen::test
