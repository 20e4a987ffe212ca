#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

void put(std::string& bytes, std::size_t at, std::uint32_t value, std::size_t width) {
    if (bytes.size() < at + width) {
        bytes.resize(at + width, '\0');
    }
    for (std::size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// Stands in for an image's pixels: the program copies them without looking inside.
std::string pixels(int side) {
    std::string image(static_cast<std::size_t>(40 + side * side * 4), static_cast<char>(side));
    put(image, 0, 40, 4);
    return image;
}

// Writes a directory of `count` id entries at `at`, each leading to a subdirectory (or, for the
// language level, to a data entry) at the given offsets.
void directory(std::string& section, std::size_t at,
               const std::vector<std::pair<std::uint32_t, std::uint32_t>>& entries,
               bool leadsToDirectories) {
    put(section, at + 14, static_cast<std::uint32_t>(entries.size()), 2);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        put(section, at + 16 + 8 * i, entries[i].first, 4);
        put(section, at + 20 + 8 * i, entries[i].second | (leadsToDirectories ? 0x80000000U : 0U),
            4);
    }
}

// A Windows program with two icon images (ids 1 and 2) and two icon groups: group 5, the first,
// names both images; group 9 names the second only.
std::string programWithIcons() {
    constexpr std::uint32_t kAddress = 0x1000;
    const std::string small = pixels(16);
    const std::string large = pixels(32);
    std::string firstGroup;
    put(firstGroup, 2, 1, 2);
    put(firstGroup, 4, 2, 2);
    int member = 0;
    for (const std::string* image : {&small, &large}) {
        const std::size_t at = 6 + 14 * static_cast<std::size_t>(member);
        put(firstGroup, at, member == 0 ? 16 : 32, 1);
        put(firstGroup, at + 1, member == 0 ? 16 : 32, 1);
        put(firstGroup, at + 4, 1, 2);
        put(firstGroup, at + 6, 32, 2);
        put(firstGroup, at + 8, static_cast<std::uint32_t>(image->size()), 4);
        put(firstGroup, at + 12, static_cast<std::uint32_t>(++member), 2);
    }
    std::string secondGroup = firstGroup.substr(0, 6) + firstGroup.substr(20, 14);
    put(secondGroup, 4, 1, 2);

    std::string section;
    directory(section, 0, {{3, 32}, {14, 64}}, true);
    directory(section, 32, {{1, 96}, {2, 120}}, true);
    directory(section, 64, {{5, 144}, {9, 168}}, true);
    const std::string* data[] = {&small, &large, &firstGroup, &secondGroup};
    std::size_t dataAt = 256;
    for (std::size_t i = 0; i < 4; ++i) {
        directory(section, 96 + 24 * i, {{0x409, static_cast<std::uint32_t>(192 + 16 * i)}}, false);
        put(section, 192 + 16 * i, static_cast<std::uint32_t>(kAddress + dataAt), 4);
        put(section, 196 + 16 * i, static_cast<std::uint32_t>(data[i]->size()), 4);
        section.resize(dataAt, '\0');
        section += *data[i];
        dataAt = section.size();
    }

    std::string program = "MZ";
    put(program, 0x3C, 0x40, 4);
    put(program, 0x40, 0x4550, 4);
    put(program, 0x44, 0x14C, 2);
    put(program, 0x46, 1, 2);
    put(program, 0x54, 224, 2);
    put(program, 0x58, 0x10B, 2);
    put(program, 0x58 + 92, 16, 4);
    put(program, 0x58 + 112, kAddress, 4);
    put(program, 0x58 + 116, static_cast<std::uint32_t>(section.size()), 4);
    const std::size_t header = 0x58 + 224;
    put(program, header + 8, static_cast<std::uint32_t>(section.size()), 4);
    put(program, header + 12, kAddress, 4);
    put(program, header + 16, static_cast<std::uint32_t>(section.size()), 4);
    put(program, header + 20, 0x200, 4);
    program.resize(0x200, '\0');
    return program + section;
}

// The icon file of group 5 as the icon-file format lays it out.
std::string expectedIconFile() {
    const std::string small = pixels(16);
    const std::string large = pixels(32);
    std::string icon;
    put(icon, 2, 1, 2);
    put(icon, 4, 2, 2);
    std::size_t offset = 6 + 2 * 16;
    int side = 16;
    for (const std::string* image : {&small, &large}) {
        const std::size_t at = icon.size();
        put(icon, at, static_cast<std::uint32_t>(side), 1);
        put(icon, at + 1, static_cast<std::uint32_t>(side), 1);
        put(icon, at + 4, 1, 2);
        put(icon, at + 6, 32, 2);
        put(icon, at + 8, static_cast<std::uint32_t>(image->size()), 4);
        put(icon, at + 12, static_cast<std::uint32_t>(offset), 4);
        offset += image->size();
        side = 32;
    }
    return icon + small + large;
}

// Runs a private copy of the program, so that its temp folder lands in the test's folder.
class GetIconTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "program");
        fs::create_directories(folder / "my programs");
        fs::copy_file(QUILLFEN_PROGRAM_PATH, folder / "program/quillfen");
        folder.writeFile("my programs/tool.exe", programWithIcons());
        folder.writeFile("tool.exe", programWithIcons());
    }

    test::ProgramResult getIcon(const std::vector<std::string>& parameters) const {
        std::vector<std::string> arguments = {"/GetIcon"};
        arguments.insert(arguments.end(), parameters.begin(), parameters.end());
        return test::runProgram(folder / "program/quillfen", arguments,
                                {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=",
                                 "XDG_CONFIG_HOME=" + (folder / "config")});
    }

    std::string iconPath(const std::string& name) const {
        return folder / ("program/temp/" + name);
    }
    std::string written(const std::string& name) const {
        return folder.readFile("program/temp/" + name);
    }

    test::TemporaryFolder folder;
};

TEST_F(GetIconTest, WritesTheFirstIconGroupOfAProgramWhosePathHoldsABlank) {
    const auto result = getIcon({"ab", folder / "my programs/tool.exe"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(written("ab.ico"), expectedIconFile());
}

TEST_F(GetIconTest, APathAloneGivesAnIconWithAnEmptyName) {
    const auto result = getIcon({folder / "tool.exe"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(written(".ico"), expectedIconFile());
}

TEST_F(GetIconTest, ASourceWithoutAnIconLeavesNoFileNotEvenAnOldOne) {
    folder.writeFile("bare.exe", "MZ and nothing else");
    fs::create_directories(folder / "program/temp");
    for (const std::string& source : {folder / "bare.exe", folder / "missing.txt"}) {
        folder.writeFile("program/temp/ab.ico", "stale");
        EXPECT_EQ(getIcon({"ab", source}).exitCode, 0);
        EXPECT_FALSE(fs::exists(iconPath("ab.ico"))) << source;
    }
}

TEST_F(GetIconTest, AnyOtherFileGetsItsTypesIconDrawnWithoutADisplay) {
    folder.writeFile("notes.txt", "text");
    const auto result = getIcon({"notes", folder / "notes.txt"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string icon = written("notes.ico");
    ASSERT_GT(icon.size(), 22u + 8u);
    EXPECT_EQ(icon.substr(0, 6), std::string("\0\0\1\0\1\0", 6));
    EXPECT_EQ(icon[6], 32);
    EXPECT_EQ(icon.substr(22, 8), "\x89PNG\r\n\x1a\n");
}

}  // namespace
}  // namespace quillfen
