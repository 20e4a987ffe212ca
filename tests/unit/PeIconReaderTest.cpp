#include "results/PeIconReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "results/IcoFile.h"

namespace quillfen {
namespace {

constexpr std::uint32_t kIconType = 3;
constexpr std::uint32_t kGroupType = 14;
constexpr std::uint32_t kSectionAddress = 0x1000;
constexpr std::size_t kSignatureAt = 0x40;
constexpr std::size_t kCoffAt = kSignatureAt + 4;
constexpr std::size_t kOptionalAt = kCoffAt + 20;
constexpr std::size_t kRawDataAt = 0x200;

void put(std::string& bytes, std::size_t at, std::uint32_t value, std::size_t width) {
    if (bytes.size() < at + width) {
        bytes.resize(at + width, '\0');
    }
    for (std::size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void putText(std::string& bytes, std::size_t at, std::string_view text) {
    if (bytes.size() < at + text.size()) {
        bytes.resize(at + text.size(), '\0');
    }
    bytes.replace(at, text.size(), text);
}

std::uint32_t get(const std::string& bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = width; i > 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i - 1]);
    }
    return value;
}

// The pixels of a square 32-bit icon image in one colour, with its transparency mask.
std::string dibImage(int side, std::uint32_t colour) {
    std::string image(40, '\0');
    put(image, 0, 40, 4);
    put(image, 4, static_cast<std::uint32_t>(side), 4);
    put(image, 8, static_cast<std::uint32_t>(2 * side), 4);
    put(image, 12, 1, 2);
    put(image, 14, 32, 2);
    for (int i = 0; i < side * side; ++i) {
        put(image, image.size(), colour, 4);
    }
    const int maskRow = ((side + 31) / 32) * 4;
    image.append(static_cast<std::size_t>(maskRow * side), '\0');
    return image;
}

struct GroupMember {
    int side;
    std::uint16_t iconId;
};

std::string groupData(const std::vector<GroupMember>& members,
                      const std::map<std::uint16_t, std::string>& icons) {
    std::string group;
    put(group, 0, 0, 2);
    put(group, 2, 1, 2);
    put(group, 4, static_cast<std::uint32_t>(members.size()), 2);
    for (const GroupMember& member : members) {
        const std::size_t at = group.size();
        put(group, at, static_cast<std::uint32_t>(member.side % 256), 1);
        put(group, at + 1, static_cast<std::uint32_t>(member.side % 256), 1);
        put(group, at + 4, 1, 2);
        put(group, at + 6, 32, 2);
        const auto icon = icons.find(member.iconId);
        put(group, at + 8,
            icon == icons.end() ? 0 : static_cast<std::uint32_t>(icon->second.size()), 4);
        put(group, at + 12, member.iconId, 2);
    }
    return group;
}

// A Windows program reduced to what icon extraction reads: the DOS and PE headers, one section
// and in it a resource tree of three levels (type, name, language) with its data.
class ProgramBuilder {
public:
    // Where the builder put the parts that tests damage.
    struct Layout {
        std::size_t sectionHeader = 0;
        std::size_t root = 0;
        std::map<std::uint32_t, std::size_t> typeDirectory;
        std::map<std::uint32_t, std::size_t> languageDirectory;
        std::map<std::uint32_t, std::size_t> dataEntry;
    };

    ProgramBuilder& icon(std::uint16_t id, std::string image) {
        icons_[id] = image;
        resources_[{kIconType, id}] = std::move(image);
        return *this;
    }
    ProgramBuilder& group(std::uint16_t id, const std::vector<GroupMember>& members) {
        resources_[{kGroupType, id}] = groupData(members, icons_);
        return *this;
    }
    ProgramBuilder& rawGroup(std::uint16_t id, std::string data) {
        resources_[{kGroupType, id}] = std::move(data);
        return *this;
    }
    ProgramBuilder& wide() {
        wide_ = true;
        return *this;
    }

    std::string build(Layout* layout = nullptr) const;

private:
    std::string headers(std::size_t sectionSize, Layout& layout) const;
    std::string section(Layout& layout) const;

    std::map<std::pair<std::uint32_t, std::uint16_t>, std::string> resources_;
    std::map<std::uint16_t, std::string> icons_;
    bool wide_ = false;
};

std::string ProgramBuilder::headers(std::size_t sectionSize, Layout& layout) const {
    std::string bytes = "MZ";
    put(bytes, 0x3C, kSignatureAt, 4);
    putText(bytes, kSignatureAt, std::string_view("PE\0\0", 4));
    const std::size_t optionalSize = wide_ ? 240 : 224;
    put(bytes, kCoffAt, wide_ ? 0x8664 : 0x14C, 2);
    put(bytes, kCoffAt + 2, 1, 2);
    put(bytes, kCoffAt + 16, static_cast<std::uint32_t>(optionalSize), 2);
    put(bytes, kOptionalAt, wide_ ? 0x20B : 0x10B, 2);
    const std::size_t directories = kOptionalAt + (wide_ ? 112 : 96);
    put(bytes, directories - 4, 16, 4);
    put(bytes, directories + 16, kSectionAddress, 4);
    put(bytes, directories + 20, static_cast<std::uint32_t>(sectionSize), 4);
    layout.sectionHeader = kOptionalAt + optionalSize;
    putText(bytes, layout.sectionHeader, ".rsrc");
    put(bytes, layout.sectionHeader + 8, static_cast<std::uint32_t>(sectionSize), 4);
    put(bytes, layout.sectionHeader + 12, kSectionAddress, 4);
    put(bytes, layout.sectionHeader + 16, static_cast<std::uint32_t>(sectionSize), 4);
    put(bytes, layout.sectionHeader + 20, kRawDataAt, 4);
    bytes.resize(kRawDataAt, '\0');
    return bytes;
}

std::string ProgramBuilder::section(Layout& layout) const {
    std::map<std::uint32_t, std::vector<std::uint16_t>> idsByType;
    for (const auto& [key, data] : resources_) {
        idsByType[key.first].push_back(key.second);
    }
    std::size_t at = 16 + 8 * idsByType.size();
    for (const auto& [type, ids] : idsByType) {
        layout.typeDirectory[type] = at;
        at += 16 + 8 * ids.size();
    }
    // Language directories and data entries are numbered by type * 0x10000 + id.
    for (const auto& [key, data] : resources_) {
        layout.languageDirectory[key.first << 16 | key.second] = at;
        at += 24;
    }
    for (const auto& [key, data] : resources_) {
        layout.dataEntry[key.first << 16 | key.second] = at;
        at += 16;
    }
    std::string bytes;
    put(bytes, 14, static_cast<std::uint32_t>(idsByType.size()), 2);
    std::size_t entry = 16;
    for (const auto& [type, ids] : idsByType) {
        put(bytes, entry, type, 4);
        put(bytes, entry + 4, 0x80000000U | static_cast<std::uint32_t>(layout.typeDirectory[type]),
            4);
        entry += 8;
        put(bytes, layout.typeDirectory[type] + 14, static_cast<std::uint32_t>(ids.size()), 2);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const std::size_t slot = layout.typeDirectory[type] + 16 + 8 * i;
            const std::uint32_t key = type << 16 | ids[i];
            put(bytes, slot, ids[i], 4);
            put(bytes, slot + 4,
                0x80000000U | static_cast<std::uint32_t>(layout.languageDirectory[key]), 4);
            put(bytes, layout.languageDirectory[key] + 14, 1, 2);
            put(bytes, layout.languageDirectory[key] + 16, 0x409, 4);
            put(bytes, layout.languageDirectory[key] + 20,
                static_cast<std::uint32_t>(layout.dataEntry[key]), 4);
        }
    }
    for (const auto& [key, data] : resources_) {
        const std::size_t dataAt = bytes.size() < at ? at : (bytes.size() + 3) / 4 * 4;
        const std::uint32_t number = key.first << 16 | key.second;
        put(bytes, layout.dataEntry[number], static_cast<std::uint32_t>(kSectionAddress + dataAt),
            4);
        put(bytes, layout.dataEntry[number] + 4, static_cast<std::uint32_t>(data.size()), 4);
        bytes.resize(dataAt, '\0');
        bytes += data;
        at = bytes.size();
    }
    return bytes;
}

std::string ProgramBuilder::build(Layout* layout) const {
    Layout local;
    Layout& used = layout != nullptr ? *layout : local;
    const std::string body = section(used);
    std::string bytes = headers(body.size(), used);
    used.root = kRawDataAt;
    return bytes + body;
}

std::uint32_t entryNumber(std::uint32_t type, std::uint16_t id) {
    return type << 16 | id;
}

// Two groups: id 1 with a 16 and a 32 pixel image, id 7 with a 48 pixel one.
ProgramBuilder twoGroups() {
    ProgramBuilder builder;
    builder.icon(1, dibImage(16, 0xFF0000FF)).icon(2, dibImage(32, 0xFF00FF00));
    builder.icon(3, dibImage(48, 0xFFFF0000));
    builder.group(1, {{16, 1}, {32, 2}}).group(7, {{48, 3}});
    return builder;
}

std::vector<int> sidesOf(const std::optional<std::string>& icon) {
    std::vector<int> sides;
    const auto images = icon ? IcoFile::images(*icon) : std::nullopt;
    for (const IcoFile::Image& image : images.value_or(std::vector<IcoFile::Image>{})) {
        sides.push_back(image.width);
    }
    return sides;
}

TEST(PeIconReader, AssemblesTheFirstGroupIntoAnIconFile) {
    const auto icon = PeIconReader::iconFileFromBytes(twoGroups().build(), 0);
    ASSERT_TRUE(icon.has_value());
    const auto images = IcoFile::images(*icon);
    ASSERT_TRUE(images.has_value());
    ASSERT_EQ(images->size(), 2u);
    EXPECT_EQ((*images)[0].data, dibImage(16, 0xFF0000FF));
    EXPECT_EQ((*images)[1].data, dibImage(32, 0xFF00FF00));
    EXPECT_EQ((*images)[1].bitCount, 32);
    EXPECT_EQ(get(*icon, 6 + 12, 4), 6u + 2 * 16);
    EXPECT_EQ(icon->size(), 6u + 2 * 16 + (*images)[0].data.size() + (*images)[1].data.size());
}

struct GroupChoice {
    const char* what;
    ProgramBuilder program;
    int index;
    std::vector<int> sides;
};

TEST(PeIconReader, ChoosesGroupsByPositionOrIdentifier) {
    ProgramBuilder partlyMissing;
    partlyMissing.icon(1, dibImage(16, 1)).group(1, {{16, 1}, {32, 9}});
    ProgramBuilder allMissing;
    allMissing.icon(1, dibImage(16, 1)).group(1, {{32, 9}});
    ProgramBuilder groupOnly;
    groupOnly.rawGroup(1, groupData({{16, 1}}, {}));
    ProgramBuilder huge;
    huge.icon(1, dibImage(256, 2)).group(1, {{256, 1}});
    const std::vector<GroupChoice> cases = {
        {"first group", twoGroups(), 0, {16, 32}},
        {"second group", twoGroups(), 1, {48}},
        {"past the last group", twoGroups(), 2, {}},
        {"identifier 7", twoGroups(), -7, {48}},
        {"identifier 1", twoGroups(), -1, {16, 32}},
        {"unknown identifier", twoGroups(), -3, {}},
        {"identifier beyond 16 bits", twoGroups(), -65537, {}},
        {"lowest index", twoGroups(), std::numeric_limits<int>::min(), {}},
        {"64-bit program", twoGroups().wide(), 0, {16, 32}},
        {"missing image left out", partlyMissing, 0, {16}},
        {"no image present", allMissing, 0, {}},
        {"no icon directory", groupOnly, 0, {}},
        {"256 pixels stored as 0", huge, 0, {256}},
        {"no resources", ProgramBuilder(), 0, {}},
    };
    for (const GroupChoice& c : cases) {
        EXPECT_EQ(sidesOf(PeIconReader::iconFileFromBytes(c.program.build(), c.index)), c.sides)
            << c.what;
    }
}

struct Damage {
    const char* what;
    std::function<void(std::string&, const ProgramBuilder::Layout&)> apply;
};

TEST(PeIconReader, DamagedProgramsGiveNoIcon) {
    const std::uint32_t firstGroup = entryNumber(kGroupType, 1);
    const std::vector<Damage> damages = {
        {"not MZ", [](std::string& b, const auto&) { b[0] = 'Z'; }},
        {"PE header past the end",
         [](std::string& b, const auto&) { put(b, 0x3C, 0xFFFFFFF0, 4); }},
        {"no PE signature", [](std::string& b, const auto&) { b[kSignatureAt + 2] = 'X'; }},
        {"unknown optional-header magic",
         [](std::string& b, const auto&) { put(b, kOptionalAt, 0x107, 2); }},
        {"optional header without the resource slot",
         [](std::string& b, const auto&) { put(b, kCoffAt + 16, 100, 2); }},
        {"directory count without the resource slot",
         [](std::string& b, const auto&) { put(b, kOptionalAt + 92, 2, 4); }},
        {"optional header past the end",
         [](std::string& b, const auto&) { put(b, kCoffAt + 16, 0xFFFF, 2); }},
        {"section table past the end",
         [](std::string& b, const auto&) { put(b, kCoffAt + 2, 0xFFFF, 2); }},
        {"no sections", [](std::string& b, const auto&) { put(b, kCoffAt + 2, 0, 2); }},
        {"section data past the end",
         [](std::string& b, const auto& l) { put(b, l.sectionHeader + 20, 0xFFFFFF00, 4); }},
        {"section wrapping the address space",
         [](std::string& b, const auto& l) {
             put(b, l.sectionHeader + 12, 0xFFFFFFF0, 4);
             put(b, kOptionalAt + 96 + 16, 0xFFFFFFF8, 4);
         }},
        {"resource address outside every section",
         [](std::string& b, const auto&) { put(b, kOptionalAt + 96 + 16, 0x9000, 4); }},
        {"group data address outside the section",
         [=](std::string& b, const auto& l) {
             put(b, l.root + l.dataEntry.at(firstGroup), 0x80000000, 4);
         }},
        {"group data of 4 GiB",
         [=](std::string& b, const auto& l) {
             put(b, l.root + l.dataEntry.at(firstGroup) + 4, 0xFFFFFFFF, 4);
         }},
        {"group of cursors",
         [=](std::string& b, const auto& l) {
             const std::uint32_t address = get(b, l.root + l.dataEntry.at(firstGroup), 4);
             put(b, l.root + address - kSectionAddress + 2, 2, 2);
         }},
        {"language directory leading back to the root",
         [=](std::string& b, const auto& l) {
             put(b, l.root + l.languageDirectory.at(firstGroup) + 20, 0x80000000, 4);
         }},
        {"group entry leading back to its own directory",
         [=](std::string& b, const auto& l) {
             put(b, l.root + l.typeDirectory.at(kGroupType) + 16 + 4,
                 0x80000000U | static_cast<std::uint32_t>(l.typeDirectory.at(kGroupType)), 4);
         }},
        {"group type leading to a data entry",
         [](std::string& b, const auto& l) { put(b, l.root + 16 + 8 + 4, 0, 4); }},
        {"type directory past the section",
         [](std::string& b, const auto& l) { put(b, l.root + 16 + 8 + 4, 0xFFFFFFF0, 4); }},
        {"image data of 4 GiB only",
         [=](std::string& b, const auto& l) {
             for (const std::uint32_t id : {1u, 2u}) {
                 put(b,
                     l.root +
                         l.dataEntry.at(entryNumber(kIconType, static_cast<std::uint16_t>(id))) + 4,
                     0xFFFFFFFF, 4);
             }
         }},
    };
    for (const Damage& damage : damages) {
        ProgramBuilder::Layout layout;
        std::string bytes = twoGroups().build(&layout);
        damage.apply(bytes, layout);
        EXPECT_FALSE(PeIconReader::iconFileFromBytes(bytes, 0).has_value()) << damage.what;
    }
}

TEST(PeIconReader, OverstatedCountsKeepWhatIsThere) {
    ProgramBuilder::Layout layout;
    std::string bytes = twoGroups().build(&layout);
    put(bytes, layout.root + 12, 0xFFFF, 2);
    put(bytes, layout.root + 14, 0xFFFF, 2);
    put(bytes, layout.root + layout.typeDirectory.at(kIconType) + 14, 0xFFFF, 2);
    const std::uint32_t group = entryNumber(kGroupType, 1);
    const std::uint32_t groupAddress = get(bytes, layout.root + layout.dataEntry.at(group), 4);
    put(bytes, layout.root + groupAddress - kSectionAddress + 4, 0xFFFF, 2);
    EXPECT_EQ(sidesOf(PeIconReader::iconFileFromBytes(bytes, 0)), (std::vector<int>{16, 32}));
}

TEST(PeIconReader, AGroupNamingOneImageOverAndOverIsCutShort) {
    ProgramBuilder builder;
    builder.icon(1, std::string(300 * 1024, 'x'));
    builder.group(1, std::vector<GroupMember>(PeIconReader::kMaxImages + 100, {16, 1}));
    const auto icon = PeIconReader::iconFileFromBytes(builder.build(), 0);
    ASSERT_TRUE(icon.has_value());
    const auto images = IcoFile::images(*icon);
    ASSERT_TRUE(images.has_value());
    EXPECT_EQ(images->size(), PeIconReader::kMaxIconBytes / (300 * 1024));
    EXPECT_LE(icon->size(), PeIconReader::kMaxIconBytes + 6 + 16 * PeIconReader::kMaxImages);
}

// Every prefix and thousands of random byte changes of a good program: the reader must stay
// inside the bytes (the sanitizer build checks that) and give either nothing or a sound icon file.
TEST(PeIconReader, SurvivesTruncationAndRandomDamage) {
    const std::string program = twoGroups().build();
    for (std::size_t length = 0; length < program.size(); ++length) {
        const auto icon = PeIconReader::iconFileFromBytes(program.substr(0, length), 0);
        EXPECT_TRUE(!icon || IcoFile::isValid(*icon)) << length;
    }
    std::mt19937 random(20220312);
    const std::vector<std::uint8_t> telling = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    for (int round = 0; round < 4000; ++round) {
        std::string bytes = program;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i) {
            const std::size_t at = random() % bytes.size();
            bytes[at] = static_cast<char>(random() % 2 == 0 ? telling[random() % telling.size()]
                                                            : random() % 256);
        }
        const int index = static_cast<int>(random() % 4) - 1;
        const auto icon = PeIconReader::iconFileFromBytes(bytes, index);
        EXPECT_TRUE(!icon || IcoFile::isValid(*icon)) << round;
    }
}

struct IcoCase {
    const char* what;
    std::function<void(std::string&)> damage;
};

TEST(IcoFile, ChecksHeaderAndEveryEntry) {
    const std::string good = IcoFile::fromPng("\x89PNG-body", 48, 48);
    ASSERT_TRUE(IcoFile::isValid(good));
    const std::vector<IcoCase> cases = {
        {"empty", [](std::string& b) { b.clear(); }},
        {"shorter than the header", [](std::string& b) { b.resize(5); }},
        {"reserved word set", [](std::string& b) { put(b, 0, 1, 2); }},
        {"a cursor file", [](std::string& b) { put(b, 2, 2, 2); }},
        {"no images", [](std::string& b) { put(b, 4, 0, 2); }},
        {"directory past the end", [](std::string& b) { put(b, 4, 3, 2); }},
        {"image past the end", [](std::string& b) { put(b, 14, 100, 4); }},
        {"image of no bytes", [](std::string& b) { put(b, 14, 0, 4); }},
        {"image inside the directory", [](std::string& b) { put(b, 18, 4, 4); }},
        {"offset and size wrapping 32 bits",
         [](std::string& b) {
             put(b, 14, 0xFFFFFFFF, 4);
             put(b, 18, 0x20, 4);
         }},
    };
    for (const IcoCase& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        EXPECT_FALSE(IcoFile::isValid(bytes)) << c.what;
    }
}

TEST(IcoFile, OnePngBecomesOneEntry) {
    const std::string png = "\x89PNG\r\n\x1a\n-pixels";
    const std::string icon = IcoFile::fromPng(png, 256, 32);
    const auto images = IcoFile::images(icon);
    ASSERT_TRUE(images.has_value());
    ASSERT_EQ(images->size(), 1u);
    EXPECT_EQ((*images)[0].width, 256);
    EXPECT_EQ((*images)[0].height, 32);
    EXPECT_EQ((*images)[0].data, png);
}

}  // namespace
}  // namespace quillfen
