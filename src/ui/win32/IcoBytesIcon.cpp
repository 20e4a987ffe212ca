#include "ui/win32/IcoBytesIcon.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace quillfen::win32 {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;

struct IconEntry {
    int width = 0;
    int bitCount = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;
};

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t index = count; index > 0; --index) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + index - 1]);
    }
    return value;
}

std::optional<IconEntry> entryAt(std::string_view bytes, std::size_t index) {
    const std::size_t at = kHeaderSize + index * kEntrySize;
    if (at + kEntrySize > bytes.size()) {
        return std::nullopt;
    }
    IconEntry entry;
    const auto width = static_cast<int>(static_cast<unsigned char>(bytes[at]));
    entry.width = width == 0 ? 256 : width;
    entry.bitCount = static_cast<int>(littleEndian(bytes, at + 6, 2));
    entry.size = littleEndian(bytes, at + 8, 4);
    entry.offset = littleEndian(bytes, at + 12, 4);
    if (entry.offset > bytes.size() || entry.size > bytes.size() - entry.offset ||
        entry.size == 0) {
        return std::nullopt;
    }
    return entry;
}

bool better(const IconEntry& candidate, const IconEntry& chosen, int size) {
    const int candidateDistance = std::abs(candidate.width - size);
    const int chosenDistance = std::abs(chosen.width - size);
    if (candidateDistance != chosenDistance) {
        return candidateDistance < chosenDistance;
    }
    if (candidate.width != chosen.width) {
        return candidate.width > chosen.width;
    }
    return candidate.bitCount > chosen.bitCount;
}

}  // namespace

HICON iconFromIcoBytes(std::string_view bytes, int size) {
    if (bytes.size() < kHeaderSize || littleEndian(bytes, 0, 2) != 0 ||
        littleEndian(bytes, 2, 2) != 1) {
        return nullptr;
    }
    const std::size_t count = littleEndian(bytes, 4, 2);
    std::optional<IconEntry> chosen;
    for (std::size_t index = 0; index < count; ++index) {
        const std::optional<IconEntry> entry = entryAt(bytes, index);
        if (entry && (!chosen || better(*entry, *chosen, size))) {
            chosen = entry;
        }
    }
    if (!chosen) {
        return nullptr;
    }
    auto* image = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data() + chosen->offset));
    return CreateIconFromResourceEx(image, chosen->size, TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}

}  // namespace quillfen::win32
