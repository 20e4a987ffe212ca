#include "results/IcoFile.h"

#include "results/LittleEndian.h"

namespace quillfen {

namespace {

constexpr int kIconType = 1;
constexpr int kLargestSide = 256;

std::uint32_t sideToByte(int side) {
    return side >= kLargestSide || side <= 0 ? 0 : static_cast<std::uint32_t>(side);
}

std::optional<IcoFile::Image> imageAt(std::string_view bytes, std::size_t entry,
                                      std::size_t directoryEnd) {
    const std::uint64_t size = readLittleEndian(bytes, entry + 8, 4);
    const std::uint64_t offset = readLittleEndian(bytes, entry + 12, 4);
    if (size == 0 || offset < directoryEnd || offset + size > bytes.size()) {
        return std::nullopt;
    }
    IcoFile::Image image;
    image.width = IcoFile::sideFromByte(readLittleEndian(bytes, entry, 1));
    image.height = IcoFile::sideFromByte(readLittleEndian(bytes, entry + 1, 1));
    image.colorCount = static_cast<int>(readLittleEndian(bytes, entry + 2, 1));
    image.planes = static_cast<int>(readLittleEndian(bytes, entry + 4, 2));
    image.bitCount = static_cast<int>(readLittleEndian(bytes, entry + 6, 2));
    image.data = bytes.substr(offset, size);
    return image;
}

}  // namespace

std::optional<std::vector<IcoFile::Image>> IcoFile::images(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || readLittleEndian(bytes, 0, 2) != 0 ||
        readLittleEndian(bytes, 2, 2) != kIconType) {
        return std::nullopt;
    }
    const std::size_t count = readLittleEndian(bytes, 4, 2);
    const std::size_t directoryEnd = kHeaderSize + count * kEntrySize;
    if (count == 0 || directoryEnd > bytes.size()) {
        return std::nullopt;
    }
    std::vector<Image> found;
    found.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        auto image = imageAt(bytes, kHeaderSize + i * kEntrySize, directoryEnd);
        if (!image) {
            return std::nullopt;
        }
        found.push_back(*image);
    }
    return found;
}

int IcoFile::sideFromByte(std::uint32_t byte) {
    return byte == 0 ? kLargestSide : static_cast<int>(byte);
}

bool IcoFile::isValid(std::string_view bytes) {
    return images(bytes).has_value();
}

std::string IcoFile::assemble(const std::vector<Image>& images) {
    std::string out;
    appendLittleEndian(out, 0, 2);
    appendLittleEndian(out, kIconType, 2);
    appendLittleEndian(out, static_cast<std::uint32_t>(images.size()), 2);
    std::size_t offset = kHeaderSize + images.size() * kEntrySize;
    for (const Image& image : images) {
        appendLittleEndian(out, sideToByte(image.width), 1);
        appendLittleEndian(out, sideToByte(image.height), 1);
        appendLittleEndian(out, static_cast<std::uint32_t>(image.colorCount), 1);
        appendLittleEndian(out, 0, 1);
        appendLittleEndian(out, static_cast<std::uint32_t>(image.planes), 2);
        appendLittleEndian(out, static_cast<std::uint32_t>(image.bitCount), 2);
        appendLittleEndian(out, static_cast<std::uint32_t>(image.data.size()), 4);
        appendLittleEndian(out, static_cast<std::uint32_t>(offset), 4);
        offset += image.data.size();
    }
    for (const Image& image : images) {
        out.append(image.data);
    }
    return out;
}

std::string IcoFile::fromPng(std::string_view png, int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.planes = 1;
    image.bitCount = 32;
    image.data = png;
    return assemble({image});
}

}  // namespace quillfen
