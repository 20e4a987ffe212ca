#include "results/PeIconReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "results/IcoFile.h"

namespace quillfen {
namespace {

constexpr std::uint32_t kIconType = 3;
constexpr std::uint32_t kGroupType = 14;
constexpr std::uint32_t kAddress = 0x1000;
constexpr std::size_t kSectionAt = 0x200;
constexpr std::uint32_t kDirectory = 0x80000000U;
constexpr std::size_t kOptionalAt = 0x58;
constexpr std::size_t kResourceSlot = kOptionalAt + 96 + 16;
constexpr std::size_t kSectionHeader = kOptionalAt + 224;

void put(std::string& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
    bytes.resize(std::max(bytes.size(), at + width), '\0');
    for (std::size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::uint32_t get(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i > 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i - 1]);
    }
    return value;
}

// Resources by type and id, each with one language.
using Resources = std::map<std::uint32_t, std::map<std::uint32_t, std::string>>;

// A Windows program reduced to what icon extraction reads: DOS and PE headers, one section, and
// in it the resource tree laid out as root, type directories, language directories, data
// entries, data.
std::string program(const Resources& resources, bool wide = false) {
    std::size_t count = 0;
    std::size_t typeAt = 16 + 8 * resources.size();
    std::size_t languageAt = typeAt;
    for (const auto& [type, ids] : resources) {
        count += ids.size();
        languageAt += 16 + 8 * ids.size();
    }
    std::size_t entryAt = languageAt + 24 * count;
    std::size_t dataAt = entryAt + 16 * count;
    std::string section;
    put(section, 14, resources.size(), 2);
    std::size_t typeSlot = 16;
    for (const auto& [type, ids] : resources) {
        put(section, typeSlot, type, 4);
        put(section, typeSlot + 4, kDirectory | typeAt, 4);
        typeSlot += 8;
        put(section, typeAt + 14, ids.size(), 2);
        std::size_t idSlot = typeAt + 16;
        typeAt += 16 + 8 * ids.size();
        for (const auto& [id, data] : ids) {
            put(section, idSlot, id, 4);
            put(section, idSlot + 4, kDirectory | languageAt, 4);
            idSlot += 8;
            put(section, languageAt + 14, 1, 2);
            put(section, languageAt + 16, 0x409, 4);
            put(section, languageAt + 20, entryAt, 4);
            languageAt += 24;
            put(section, entryAt, kAddress + dataAt, 4);
            put(section, entryAt + 4, data.size(), 4);
            entryAt += 16;
            section.resize(dataAt);
            section += data;
            dataAt = section.size();
        }
    }
    std::string bytes = "MZ";
    put(bytes, 0x3C, 0x40, 4);
    put(bytes, 0x40, 0x4550, 4);
    put(bytes, 0x46, 1, 2);
    const std::size_t optionalSize = wide ? 240 : 224;
    put(bytes, 0x54, optionalSize, 2);
    put(bytes, kOptionalAt, wide ? 0x20B : 0x10B, 2);
    const std::size_t directories = kOptionalAt + (wide ? 112 : 96);
    put(bytes, directories - 4, 16, 4);
    put(bytes, directories + 16, kAddress, 4);
    const std::size_t header = kOptionalAt + optionalSize;
    put(bytes, header + 8, section.size(), 4);
    put(bytes, header + 12, kAddress, 4);
    put(bytes, header + 16, section.size(), 4);
    put(bytes, header + 20, kSectionAt, 4);
    bytes.resize(kSectionAt);
    return bytes + section;
}

// Stands in for an image's pixels, which the reader copies without looking inside.
std::string pixels(int side) {
    return std::string(static_cast<std::size_t>(side) * 8, static_cast<char>(side));
}

// An icon group naming (side, icon id) pairs.
std::string group(const std::vector<std::pair<int, std::uint32_t>>& members) {
    std::string bytes;
    put(bytes, 2, 1, 2);
    put(bytes, 4, members.size(), 2);
    for (const auto& [side, id] : members) {
        const std::size_t at = bytes.size();
        put(bytes, at, static_cast<std::uint32_t>(side % 256), 1);
        put(bytes, at + 1, static_cast<std::uint32_t>(side % 256), 1);
        put(bytes, at + 6, 32, 2);
        put(bytes, at + 12, id, 2);
    }
    return bytes;
}

// Icons 1 to 3 of 16, 32 and 48 pixels; group 1 names the first two, group 7 the third. The
// group directory lies 72 bytes into the section, group 1's language directory at 176, its
// data entry at 272.
Resources twoGroups() {
    return {{kIconType, {{1, pixels(16)}, {2, pixels(32)}, {3, pixels(48)}}},
            {kGroupType, {{1, group({{16, 1}, {32, 2}})}, {7, group({{48, 3}})}}}};
}
constexpr std::size_t kGroupDirectory = kSectionAt + 72;
constexpr std::size_t kFirstGroupLanguage = kSectionAt + 176;
constexpr std::size_t kFirstGroupEntry = kSectionAt + 272;

std::vector<int> sidesOf(const std::optional<std::string>& icon) {
    std::vector<int> sides;
    const auto images = icon ? IcoFile::images(*icon) : std::nullopt;
    for (const IcoFile::Image& image : images.value_or(std::vector<IcoFile::Image>{})) {
        sides.push_back(image.width);
    }
    return sides;
}

TEST(PeIconReader, AssemblesTheFirstGroupIntoAnIconFile) {
    const auto icon = PeIconReader::iconFileFromBytes(program(twoGroups()), 0);
    ASSERT_TRUE(icon.has_value());
    const auto images = IcoFile::images(*icon);
    ASSERT_TRUE(images && images->size() == 2);
    EXPECT_EQ((*images)[0].data, pixels(16));
    EXPECT_EQ((*images)[1].data, pixels(32));
    EXPECT_EQ((*images)[1].bitCount, 32);
    EXPECT_EQ(get(*icon, 6 + 12), 6u + 2 * 16);
    EXPECT_EQ(icon->size(), 6u + 2 * 16 + pixels(16).size() + pixels(32).size());
}

struct GroupChoice {
    const char* what;
    std::string program;
    int index;
    std::vector<int> sides;
};

TEST(PeIconReader, ChoosesGroupsByPositionOrIdentifier) {
    const std::string two = program(twoGroups());
    const std::vector<GroupChoice> cases = {
        {"first group", two, 0, {16, 32}},
        {"second group", two, 1, {48}},
        {"past the last group", two, 2, {}},
        {"identifier 7", two, -7, {48}},
        {"unknown identifier", two, -3, {}},
        {"identifier beyond 16 bits", two, -65537, {}},
        {"lowest index", two, std::numeric_limits<int>::min(), {}},
        {"64-bit program", program(twoGroups(), true), 0, {16, 32}},
        {"missing image left out",
         program({{kIconType, {{1, pixels(16)}}}, {kGroupType, {{1, group({{16, 1}, {32, 9}})}}}}),
         0,
         {16}},
        {"no image present",
         program({{kIconType, {{1, pixels(16)}}}, {kGroupType, {{1, group({{32, 9}})}}}}),
         0,
         {}},
        {"no icon directory", program({{kGroupType, {{1, group({{16, 1}})}}}}), 0, {}},
        {"256 pixels written as 0",
         program({{kIconType, {{1, pixels(256)}}}, {kGroupType, {{1, group({{256, 1}})}}}}),
         0,
         {256}},
        {"no resources", program({}), 0, {}},
    };
    for (const GroupChoice& c : cases) {
        EXPECT_EQ(sidesOf(PeIconReader::iconFileFromBytes(c.program, c.index)), c.sides) << c.what;
    }
}

struct Damage {
    const char* what;
    std::size_t at;
    std::uint64_t value;
    std::size_t width;
};

TEST(PeIconReader, DamagedProgramsGiveNoIcon) {
    const std::vector<Damage> damages = {
        {"not MZ", 0, 'Z', 1},
        {"PE header past the end", 0x3C, 0xFFFFFFF0, 4},
        {"no PE signature", 0x42, 'X', 1},
        {"unknown optional-header magic", kOptionalAt, 0x107, 2},
        {"optional header too short for the resource slot", 0x54, 100, 2},
        {"too few data directories", kOptionalAt + 92, 2, 4},
        {"optional header past the end", 0x54, 0xFFFF, 2},
        {"section table past the end", 0x46, 0xFFFF, 2},
        {"no sections", 0x46, 0, 2},
        {"section data past the end", kSectionHeader + 20, 0xFFFFFF00, 4},
        {"resources outside every section", kResourceSlot, 0x9000, 4},
        {"group type leading to data", kSectionAt + 28, 0, 4},
        {"group type directory past the section", kSectionAt + 28, 0xFFFFFFF0, 4},
        {"group leading back to its own directory", kGroupDirectory + 20, kDirectory | 72, 4},
        {"language leading back to the root", kFirstGroupLanguage + 20, kDirectory, 4},
        {"group data outside the section", kFirstGroupEntry, 0x80000000, 4},
        {"group data of 4 GiB", kFirstGroupEntry + 4, 0xFFFFFFFF, 4},
    };
    for (const Damage& damage : damages) {
        std::string bytes = program(twoGroups());
        put(bytes, damage.at, damage.value, damage.width);
        EXPECT_FALSE(PeIconReader::iconFileFromBytes(bytes, 0).has_value()) << damage.what;
    }
}

TEST(PeIconReader, OverstatedCountsKeepWhatIsThere) {
    std::string bytes = program(twoGroups());
    put(bytes, kSectionAt + 12, 0xFFFFFFFF, 4);
    put(bytes, kSectionAt + 32 + 14, 0xFFFF, 2);
    put(bytes, get(bytes, kFirstGroupEntry) - kAddress + kSectionAt + 4, 0xFFFF, 2);
    EXPECT_EQ(sidesOf(PeIconReader::iconFileFromBytes(bytes, 0)), (std::vector<int>{16, 32}));
}

TEST(PeIconReader, AGroupNamingOneLargeImageOverAndOverIsCutShort) {
    constexpr std::size_t kImageBytes = 300 * 1024;
    const std::vector<std::pair<int, std::uint32_t>> members(PeIconReader::kMaxImages + 100,
                                                             {16, 1});
    const std::string bytes = program(
        {{kIconType, {{1, std::string(kImageBytes, 'x')}}}, {kGroupType, {{1, group(members)}}}});
    EXPECT_EQ(sidesOf(PeIconReader::iconFileFromBytes(bytes, 0)).size(),
              PeIconReader::kMaxIconBytes / kImageBytes);
}

// Every prefix and thousands of random byte changes of a good program: the reader must stay
// inside the bytes (the sanitizer build checks that) and give either nothing or a sound icon file.
TEST(PeIconReader, SurvivesTruncationAndRandomDamage) {
    const std::string good = program(twoGroups());
    for (std::size_t length = 0; length < good.size(); ++length) {
        const auto icon = PeIconReader::iconFileFromBytes(good.substr(0, length), 0);
        EXPECT_TRUE(!icon || IcoFile::isValid(*icon)) << length;
    }
    std::mt19937 random(20220312);
    const unsigned char telling[] = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    for (int round = 0; round < 4000; ++round) {
        std::string bytes = good;
        for (unsigned changes = 1 + random() % 8; changes > 0; --changes) {
            const bool edge = random() % 2 == 0;
            bytes[random() % bytes.size()] =
                static_cast<char>(edge ? telling[random() % 5] : random() % 256);
        }
        const auto icon =
            PeIconReader::iconFileFromBytes(bytes, static_cast<int>(random() % 4) - 1);
        EXPECT_TRUE(!icon || IcoFile::isValid(*icon)) << round;
    }
}

TEST(IcoFile, ChecksHeaderAndEveryEntry) {
    const std::string png = "\x89PNG\r\n\x1a\n-pixels";
    const std::string good = IcoFile::fromPng(png, 256, 48);
    const auto images = IcoFile::images(good);
    ASSERT_TRUE(images && images->size() == 1);
    EXPECT_EQ((*images)[0].width, 256);
    EXPECT_EQ((*images)[0].height, 48);
    EXPECT_EQ((*images)[0].data, png);
    const std::vector<Damage> damages = {
        {"reserved word set", 0, 1, 2},
        {"a cursor file", 2, 2, 2},
        {"no images", 4, 0, 2},
        {"directory past the end", 4, 3, 2},
        {"image past the end", 14, 100, 4},
        {"image of no bytes", 14, 0, 4},
        {"image inside the directory", 18, 4, 4},
        {"offset and size wrapping 32 bits", 14, 0x00000020FFFFFFFF, 8},
    };
    for (const Damage& damage : damages) {
        std::string bytes = good;
        put(bytes, damage.at, damage.value, damage.width);
        EXPECT_FALSE(IcoFile::isValid(bytes)) << damage.what;
    }
    EXPECT_FALSE(IcoFile::isValid(good.substr(0, 5)));
}

}  // namespace
}  // namespace quillfen
