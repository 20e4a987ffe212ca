#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillfen::test {

// One member of an archive a test makes, stored uncompressed and marked as made on Unix.
struct ZipMember {
    ZipMember(std::string memberName, std::string memberContents,
              std::uint32_t memberMode = 0100644,
              std::optional<std::uint32_t> memberStatedSize = std::nullopt)
        : name(std::move(memberName)),
          contents(std::move(memberContents)),
          unixMode(memberMode),
          statedSize(memberStatedSize) {}

    std::string name;
    std::string contents;
    // File type and permission bits, as the archive records them.
    std::uint32_t unixMode = 0100644;
    // The size the headers state, for an archive that lies about it.
    std::optional<std::uint32_t> statedSize;
};

// Writes a zip archive of the members, so that tests can make any archive, hostile ones too.
inline std::string zipArchive(const std::vector<ZipMember>& members) {
    const auto crcOf = [](const std::string& data) {
        std::uint32_t crc = 0xFFFFFFFFu;
        for (const char c : data) {
            crc ^= static_cast<unsigned char>(c);
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
            }
        }
        return ~crc;
    };
    const auto put16 = [](std::string& out, std::uint32_t value) {
        out.push_back(static_cast<char>(value & 0xFF));
        out.push_back(static_cast<char>((value >> 8) & 0xFF));
    };
    const auto put32 = [&](std::string& out, std::uint32_t value) {
        put16(out, value & 0xFFFF);
        put16(out, value >> 16);
    };
    constexpr std::uint32_t kMadeOnUnix = (3u << 8) | 20u;
    constexpr std::uint32_t kDosTime = (41u << 25) | (6u << 21) | (15u << 16) | (13u << 11);
    std::string archive;
    std::string central;
    for (const ZipMember& member : members) {
        const auto offset = static_cast<std::uint32_t>(archive.size());
        const auto size = static_cast<std::uint32_t>(member.contents.size());
        const std::uint32_t crc = crcOf(member.contents);
        const auto nameLength = static_cast<std::uint32_t>(member.name.size());
        put32(archive, 0x04034b50);
        for (const std::uint32_t field : std::array<std::uint32_t, 3>{20, 0, 0}) {
            put16(archive, field);
        }
        put32(archive, kDosTime);
        put32(archive, crc);
        put32(archive, size);
        put32(archive, member.statedSize.value_or(size));
        put16(archive, nameLength);
        put16(archive, 0);
        archive += member.name + member.contents;

        put32(central, 0x02014b50);
        for (const std::uint32_t field : std::array<std::uint32_t, 4>{kMadeOnUnix, 20, 0, 0}) {
            put16(central, field);
        }
        put32(central, kDosTime);
        put32(central, crc);
        put32(central, size);
        put32(central, member.statedSize.value_or(size));
        for (const std::uint32_t field : std::array<std::uint32_t, 5>{nameLength, 0, 0, 0, 0}) {
            put16(central, field);
        }
        put32(central, member.unixMode << 16);
        put32(central, offset);
        central += member.name;
    }
    const auto centralOffset = static_cast<std::uint32_t>(archive.size());
    archive += central;
    put32(archive, 0x06054b50);
    put16(archive, 0);
    put16(archive, 0);
    put16(archive, static_cast<std::uint32_t>(members.size()));
    put16(archive, static_cast<std::uint32_t>(members.size()));
    put32(archive, static_cast<std::uint32_t>(central.size()));
    put32(archive, centralOffset);
    put16(archive, 0);
    return archive;
}

}  // namespace quillfen::test
