#include "platform/windows/IcoEncoder.h"

#include <cstdint>
#include <vector>

namespace quillfen::platform {

namespace {

constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::size_t kBytesPerPixel = 4;
// The .ico directory's width and height bytes hold 0 for 256 and more.
constexpr LONG kLargestStatedSide = 255;

// The icon's bitmaps, deleted with it: GetIconInfo hands out copies the caller owns.
class IconBitmaps {
public:
    explicit IconBitmaps(HICON icon) : read_(GetIconInfo(icon, &info_) != FALSE) {}
    IconBitmaps(const IconBitmaps&) = delete;
    IconBitmaps& operator=(const IconBitmaps&) = delete;
    ~IconBitmaps() {
        if (read_) {
            DeleteObject(info_.hbmMask);
            if (info_.hbmColor != nullptr) {
                DeleteObject(info_.hbmColor);
            }
        }
    }

    bool read() const { return read_ && info_.hbmMask != nullptr; }
    HBITMAP color() const { return info_.hbmColor; }
    HBITMAP mask() const { return info_.hbmMask; }

private:
    ICONINFO info_{};
    bool read_;
};

class ScreenContext {
public:
    ScreenContext() : dc_(GetDC(nullptr)) {}
    ScreenContext(const ScreenContext&) = delete;
    ScreenContext& operator=(const ScreenContext&) = delete;
    ~ScreenContext() {
        if (dc_ != nullptr) {
            ReleaseDC(nullptr, dc_);
        }
    }

    HDC get() const { return dc_; }

private:
    HDC dc_;
};

struct MaskInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
};

std::size_t maskStride(LONG width) {
    return static_cast<std::size_t>((width + 31) / 32) * 4;
}

// Bottom-up rows, as both the bitmap and the .ico image store them.
bool readBits(HDC dc, HBITMAP bitmap, LONG width, LONG height, WORD bitCount,
              std::vector<std::uint8_t>& bits) {
    MaskInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = bitCount;
    info.header.biCompression = BI_RGB;
    const std::size_t stride =
        bitCount == 1 ? maskStride(width) : static_cast<std::size_t>(width) * kBytesPerPixel;
    bits.assign(stride * static_cast<std::size_t>(height), 0);
    return GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bits.data(),
                     reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
}

// A monochrome icon's XOR bits as opaque-less black and white pixels; the AND mask still decides
// what shows.
std::vector<std::uint8_t> pixelsOfMonochrome(const std::vector<std::uint8_t>& xorBits, LONG width,
                                             LONG height) {
    const std::size_t stride = maskStride(width);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height) * kBytesPerPixel);
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
            const std::uint8_t byte =
                xorBits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x / 8)];
            if ((byte & (0x80 >> (x % 8))) != 0) {
                const std::size_t at = static_cast<std::size_t>(y * width + x) * kBytesPerPixel;
                pixels[at] = pixels[at + 1] = pixels[at + 2] = 0xFF;
            }
        }
    }
    return pixels;
}

void appendUint16(std::string& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void appendUint32(std::string& bytes, std::uint32_t value) {
    appendUint16(bytes, value & 0xFFFF);
    appendUint16(bytes, value >> 16);
}

std::uint8_t statedSide(LONG side) {
    return side > kLargestStatedSide ? 0 : static_cast<std::uint8_t>(side);
}

std::string icoFile(LONG width, LONG height, const std::vector<std::uint8_t>& pixels,
                    const std::vector<std::uint8_t>& mask) {
    const auto imageBytes =
        static_cast<std::uint32_t>(kInfoHeaderBytes + pixels.size() + mask.size());
    std::string bytes;
    bytes.reserve(IcoEncoder::kImageOffset + imageBytes);
    appendUint16(bytes, 0);
    appendUint16(bytes, 1);
    appendUint16(bytes, 1);
    bytes.push_back(static_cast<char>(statedSide(width)));
    bytes.push_back(static_cast<char>(statedSide(height)));
    bytes.push_back(0);
    bytes.push_back(0);
    appendUint16(bytes, 1);
    appendUint16(bytes, 32);
    appendUint32(bytes, imageBytes);
    appendUint32(bytes, static_cast<std::uint32_t>(IcoEncoder::kImageOffset));
    appendUint32(bytes, kInfoHeaderBytes);
    appendUint32(bytes, static_cast<std::uint32_t>(width));
    appendUint32(bytes, static_cast<std::uint32_t>(height * 2));
    appendUint16(bytes, 1);
    appendUint16(bytes, 32);
    appendUint32(bytes, BI_RGB);
    appendUint32(bytes, static_cast<std::uint32_t>(pixels.size() + mask.size()));
    for (int unused = 0; unused < 4; ++unused) {
        appendUint32(bytes, 0);
    }
    bytes.append(pixels.begin(), pixels.end());
    bytes.append(mask.begin(), mask.end());
    return bytes;
}

}  // namespace

std::optional<std::string> IcoEncoder::encode(HICON icon) {
    const IconBitmaps bitmaps(icon);
    BITMAP maskBitmap{};
    if (!bitmaps.read() || GetObjectW(bitmaps.mask(), sizeof maskBitmap, &maskBitmap) == 0) {
        return std::nullopt;
    }
    const ScreenContext screen;
    const LONG width = maskBitmap.bmWidth;
    const bool monochrome = bitmaps.color() == nullptr;
    // A monochrome icon's mask holds the AND mask above the XOR mask.
    const LONG height = monochrome ? maskBitmap.bmHeight / 2 : maskBitmap.bmHeight;
    if (width <= 0 || height <= 0 || screen.get() == nullptr) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> mask;
    if (monochrome) {
        std::vector<std::uint8_t> both;
        if (!readBits(screen.get(), bitmaps.mask(), width, height * 2, 1, both)) {
            return std::nullopt;
        }
        const auto half = both.begin() + static_cast<std::ptrdiff_t>(both.size() / 2);
        pixels = pixelsOfMonochrome(std::vector<std::uint8_t>(both.begin(), half), width, height);
        mask.assign(half, both.end());
    } else if (!readBits(screen.get(), bitmaps.color(), width, height, 32, pixels) ||
               !readBits(screen.get(), bitmaps.mask(), width, height, 1, mask)) {
        return std::nullopt;
    }
    return icoFile(width, height, pixels, mask);
}

}  // namespace quillfen::platform
