#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kDirectory = 0x80000000U;

void put(std::string& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
    bytes.resize(std::max(bytes.size(), at + width), '\0');
    for (std::size_t i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// Stands in for an image's pixels, which the program copies without looking inside.
std::string pixels(int side) {
    return std::string(static_cast<std::size_t>(side) * 8, static_cast<char>(side));
}

// The entries of an icon group and of an icon file share their first twelve bytes.
void putImageFacts(std::string& bytes, std::size_t at, int side) {
    put(bytes, at, static_cast<std::uint32_t>(side), 1);
    put(bytes, at + 1, static_cast<std::uint32_t>(side), 1);
    put(bytes, at + 4, 1, 2);
    put(bytes, at + 6, 32, 2);
    put(bytes, at + 8, pixels(side).size(), 4);
}

// A Windows program whose resources hold icons 1 (16 pixels) and 2 (32 pixels), icon group 5
// naming both and group 9 naming the second; laid out as root, type directories, language
// directories, data entries and data.
std::string programWithIcons() {
    std::string groups[2];
    for (int g = 0; g < 2; ++g) {
        put(groups[g], 2, 1, 2);
        put(groups[g], 4, 2 - g, 2);
        for (int side = 16 << g, i = 0; side <= 32; side *= 2, ++i) {
            putImageFacts(groups[g], 6 + 14 * static_cast<std::size_t>(i), side);
            put(groups[g], 18 + 14 * static_cast<std::size_t>(i), side / 16, 2);
        }
    }
    const std::string data[] = {pixels(16), pixels(32), groups[0], groups[1]};
    std::string section;
    put(section, 14, 2, 2);
    put(section, 16, 3, 4);
    put(section, 20, kDirectory | 32, 4);
    put(section, 24, 14, 4);
    put(section, 28, kDirectory | 64, 4);
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t typeSlot = (i < 2 ? 32 : 64) + 16 + 8 * (i % 2);
        put(section, (i < 2 ? 32 : 64) + 14, 2, 2);
        put(section, typeSlot, i < 2 ? i + 1 : (i == 2 ? 5 : 9), 4);
        put(section, typeSlot + 4, kDirectory | (96 + 24 * i), 4);
        put(section, 96 + 24 * i + 14, 1, 2);
        put(section, 96 + 24 * i + 20, 192 + 16 * i, 4);
        const std::size_t dataAt = std::max<std::size_t>(section.size(), 256);
        put(section, 192 + 16 * i, 0x1000 + dataAt, 4);
        put(section, 196 + 16 * i, data[i].size(), 4);
        section.resize(dataAt);
        section += data[i];
    }
    std::string program = "MZ";
    put(program, 0x3C, 0x40, 4);
    put(program, 0x40, 0x4550, 4);
    put(program, 0x46, 1, 2);
    put(program, 0x54, 224, 2);
    put(program, 0x58, 0x10B, 2);
    put(program, 0x58 + 92, 16, 4);
    put(program, 0x58 + 112, 0x1000, 4);
    const std::size_t header = 0x58 + 224;
    put(program, header + 8, section.size(), 4);
    put(program, header + 12, 0x1000, 4);
    put(program, header + 16, section.size(), 4);
    put(program, header + 20, 0x200, 4);
    program.resize(0x200);
    return program + section;
}

// Group 5 as an icon file: header, two entries with file offsets, the pixels.
std::string expectedIconFile() {
    std::string icon;
    put(icon, 2, 1, 2);
    put(icon, 4, 2, 2);
    putImageFacts(icon, 6, 16);
    put(icon, 18, 6 + 2 * 16, 4);
    putImageFacts(icon, 22, 32);
    put(icon, 34, 6 + 2 * 16 + pixels(16).size(), 4);
    return icon + pixels(16) + pixels(32);
}

// Runs a private copy of the program, without a display, so that its temp folder lands here.
class GetIconTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "program/temp");
        fs::create_directories(folder / "my programs");
        fs::copy_file(QUILLFEN_PROGRAM_PATH, folder / "program/quillfen");
        folder.writeFile("my programs/tool.exe", programWithIcons());
        folder.writeFile("tool.exe", programWithIcons());
    }

    int getIcon(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), "/GetIcon");
        return test::runProgram(folder / "program/quillfen", arguments,
                                {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=",
                                 "XDG_CONFIG_HOME=" + (folder / "config")})
            .exitCode;
    }
    std::string written(const std::string& name) const {
        return fs::exists(folder / ("program/temp/" + name))
                   ? folder.readFile("program/temp/" + name)
                   : "(none)";
    }

    test::TemporaryFolder folder;
};

TEST_F(GetIconTest, WritesTheFirstIconGroupOfAProgramWhosePathHoldsABlank) {
    EXPECT_EQ(getIcon({"ab", folder / "my programs/tool.exe"}), 0);
    EXPECT_EQ(written("ab.ico"), expectedIconFile());
}

TEST_F(GetIconTest, APathAloneGivesAnIconWithAnEmptyName) {
    EXPECT_EQ(getIcon({folder / "tool.exe"}), 0);
    EXPECT_EQ(written(".ico"), expectedIconFile());
}

TEST_F(GetIconTest, ANameWithASeparatorOrAColonWritesNothing) {
    for (const std::string name : {"../x", "..\\x", "a:b", "sub/x", "c:x"}) {
        EXPECT_EQ(getIcon({name, folder / "tool.exe"}), 0) << name;
    }
    EXPECT_TRUE(fs::is_empty(folder / "program/temp"));
    EXPECT_FALSE(fs::exists(folder / "program/x.ico"));
}

TEST_F(GetIconTest, ASourceWithoutAnIconLeavesNoFileNotEvenAnOldOne) {
    folder.writeFile("bare.exe", "MZ and nothing else");
    for (const std::string& source : {folder / "bare.exe", folder / "missing.txt"}) {
        folder.writeFile("program/temp/ab.ico", "stale");
        EXPECT_EQ(getIcon({"ab", source}), 0);
        EXPECT_EQ(written("ab.ico"), "(none)") << source;
    }
}

TEST_F(GetIconTest, AnyOtherFileGetsItsTypesIconDrawn) {
    folder.writeFile("notes.txt", "text");
    EXPECT_EQ(getIcon({"notes", folder / "notes.txt"}), 0);
    const std::string icon = written("notes.ico");
    EXPECT_EQ(icon.substr(0, 7), std::string("\0\0\1\0\1\0\x20", 7));
    EXPECT_EQ(icon.substr(std::min<std::size_t>(icon.size(), 22), 8), "\x89PNG\r\n\x1a\n");
}

TEST_F(GetIconTest, FilesOfDifferentKindsGetDifferentIcons) {
    const std::vector<std::string> names = {"archive.zip", "notes.txt", "photo.png", "report.pdf"};
    std::vector<std::string> icons;
    for (const std::string& name : names) {
        folder.writeFile(name, "x");
        EXPECT_EQ(getIcon({name, folder / name}), 0);
        icons.push_back(written(name + ".ico"));
        EXPECT_NE(icons.back(), "(none)") << name;
    }
    for (std::size_t i = 0; i < icons.size(); ++i) {
        for (std::size_t j = i + 1; j < icons.size(); ++j) {
            EXPECT_NE(icons[i], icons[j]) << names[i] << " and " << names[j];
        }
    }
}

}  // namespace
}  // namespace quillfen
