#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ScratchFolder.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsProcessLauncher.h"
#include "platform/windows/WindowsSystemInfo.h"

namespace quillfen::platform {
namespace {

using test::ScratchFolder;

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isAbsoluteDrivePath(const std::string& path) {
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

TEST(WindowsSystemInfo, ExecutablePathNamesThisProgram) {
    const std::string path = WindowsSystemInfo().executablePath();
    ASSERT_TRUE(isAbsoluteDrivePath(path)) << path;
    std::string name = path.substr(path.rfind('\\') + 1);
    CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
    EXPECT_EQ(name, "quillfen_unit_tests.exe");
    EXPECT_NE(GetFileAttributesW(toWide(path).c_str()), INVALID_FILE_ATTRIBUTES);
}

// A program whose path fills the classic 260-character buffer to its last character still learns
// its whole path. (Windows starts no program from a longer path.)
TEST(WindowsSystemInfo, ExecutablePathOfTheLongestStartablePathIsWhole) {
    ScratchFolder folder;
    std::string deep = folder.path();
    // Folders stay within the 248 characters that CreateDirectoryW takes; the file name fills up.
    while (deep.size() + 41 <= 200) {
        deep += std::string(40, 'x') + "\\";
        ASSERT_TRUE(CreateDirectoryW(toWide(deep).c_str(), nullptr)) << deep;
    }
    const std::string copy = deep + std::string(MAX_PATH - 1 - deep.size() - 4, 'y') + ".exe";
    ASSERT_EQ(copy.size(), std::size_t{MAX_PATH - 1});
    const std::string self = WindowsSystemInfo().executablePath();
    const std::string echo = self.substr(0, self.rfind('\\') + 1) + "quillfen_argv_echo.exe";
    ASSERT_TRUE(CopyFileW(toWide(echo).c_str(), toWide(copy).c_str(), FALSE)) << copy;
    const std::string output = folder.path() + "self.txt";

    const auto outcome = WindowsProcessLauncher().run({copy, "self", output}, {true, false, -1});
    ASSERT_TRUE(outcome.started) << outcome.error;
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_EQ(ScratchFolder::readFile(output), copy);
}

// A copy with the setup's uninstaller beside it, or in the user's folder of installed programs,
// was installed; a copy anywhere else is portable.
TEST(WindowsSystemInfo, AnInstalledCopyIsKnownByItsUninstallerOrItsFolder) {
    ScratchFolder folder;
    const std::string self = WindowsSystemInfo().executablePath();
    const std::string echo = self.substr(0, self.rfind('\\') + 1) + "quillfen_argv_echo.exe";
    const std::string programs = WindowsSystemInfo().userCacheDirectory() + "\\Programs";
    CreateDirectoryW(toWide(programs).c_str(), nullptr);
    const std::string inPrograms =
        programs + "\\QuillfenTest" + std::to_string(GetCurrentProcessId());
    const struct {
        std::string folder;
        bool withUninstaller;
        const char* judged;
    } cases[] = {{folder.path() + "portable", false, "portable"},
                 {folder.path() + "set up", true, "installed"},
                 {inPrograms, false, "installed"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(CreateDirectoryW(toWide(c.folder).c_str(), nullptr)) << c.folder;
        const std::string copy = c.folder + "\\quillfen.exe";
        ASSERT_TRUE(CopyFileW(toWide(echo).c_str(), toWide(copy).c_str(), FALSE)) << copy;
        if (c.withUninstaller) {
            ScratchFolder::writeFile(c.folder + "\\Uninstall.exe", "MZ");
        }
        const std::string output = folder.path() + "judged.txt";
        const auto outcome =
            WindowsProcessLauncher().run({copy, "installed", output}, {true, false, -1});
        ASSERT_TRUE(outcome.started) << outcome.error;
        EXPECT_EQ(ScratchFolder::readFile(output), c.judged) << c.folder;
    }
    DeleteFileW(toWide(inPrograms + "\\quillfen.exe").c_str());
    RemoveDirectoryW(toWide(inPrograms).c_str());
}

TEST(WindowsSystemInfo, UserAndComputerAreNamed) {
    const WindowsSystemInfo system;
    EXPECT_FALSE(system.userName().empty());
    const std::string computer = system.computerName();
    EXPECT_FALSE(computer.empty());
    EXPECT_EQ(computer.find_first_of("\\/ "), std::string::npos) << computer;
}

TEST(WindowsSystemInfo, UserFoldersAreTheApplicationDataFolders) {
    const WindowsSystemInfo system;
    for (const std::string& folder :
         {system.userConfigDirectory(), system.userDataDirectory(), system.userCacheDirectory()}) {
        EXPECT_TRUE(isAbsoluteDrivePath(folder)) << folder;
        EXPECT_NE(folder.back(), '\\') << folder;
        EXPECT_TRUE(isFolder(folder)) << folder;
    }
    EXPECT_EQ(system.userConfigDirectory(), system.userDataDirectory());
    // Configuration roams with the user; a cache stays on the machine.
    EXPECT_NE(system.userConfigDirectory(), system.userCacheDirectory());
}

TEST(WindowsSystemInfo, SystemLanguageHasAnIdentifierAndAnEnglishName) {
    const WindowsSystemInfo system;
    const int id = system.systemLanguageId();
    EXPECT_GT(id, 0);
    EXPECT_LE(id, 0xFFFF);
    const std::string name = system.systemLanguageEnglishName();
    ASSERT_FALSE(name.empty());
    for (const char c : name) {
        EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' || c == '(' ||
                    c == ')' || c == ',' || c == '-')
            << name;
    }
}

}  // namespace
}  // namespace quillfen::platform
