#include "ui/win32/GetIconCommand.h"

// clang-format off
#include <windows.h>
// clang-format on

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "IconMaker.h"
#include "ProgramFolderPlatform.h"
#include "ScratchFolder.h"
#include "platform/windows/IcoEncoder.h"
#include "platform/windows/WideText.h"

namespace quillfen::win32 {
namespace {

using test::ScratchFolder;

bool isIconFile(const std::optional<std::string>& bytes) {
    if (!bytes || bytes->size() <= platform::IcoEncoder::kImageOffset) {
        return false;
    }
    auto* directory = reinterpret_cast<BYTE*>(const_cast<char*>(bytes->data()));
    const int offset = LookupIconIdFromDirectoryEx(directory, TRUE, 0, 0, LR_DEFAULTCOLOR);
    if (offset != static_cast<int>(platform::IcoEncoder::kImageOffset)) {
        return false;
    }
    const HICON icon =
        CreateIconFromResourceEx(directory + offset, static_cast<DWORD>(bytes->size() - offset),
                                 TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (icon == nullptr) {
        return false;
    }
    DestroyIcon(icon);
    return true;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesW(platform::toWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program runs from a folder with a blank in its name; its icons go to "temp" beside it.
class GetIconCommandTest : public testing::Test {
protected:
    GetIconCommandTest() {
        CreateDirectoryW(platform::toWide(programFolder).c_str(), nullptr);
        CreateDirectoryW(platform::toWide(sources).c_str(), nullptr);
        CreateDirectoryW(platform::toWide(plainSources).c_str(), nullptr);
        platform.facts().fixedExecutablePath = programFolder + "quillfen.exe";
        ScratchFolder::writeFile(sources + "app icon.ico", test::colorIconFile(32));
        ScratchFolder::writeFile(plainSources + "app.ico", test::colorIconFile(32));
        ScratchFolder::writeFile(sources + "notes.txt", "text");
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        CopyFileW((std::wstring(system) + L"\\shell32.dll").c_str(),
                  platform::toWide(sources + "shell copy.dll").c_str(), FALSE);
    }

    const ScratchFolder scratch;
    test::ProgramFolderPlatform platform;
    const std::string programFolder = scratch.path() + "Pro gram\\";
    const std::string output = programFolder + "temp\\";
    const std::string sources = scratch.path() + "Icon Sources\\";
    const std::string plainSources = scratch.path() + "plain\\";
};

struct WrittenCase {
    const char* what;
    std::string parameters;
    const char* written;
};

TEST_F(GetIconCommandTest, WritesIconZeroOfTheFileUnderTheGivenName) {
    ASSERT_EQ(plainSources.find(' '), std::string::npos) << plainSources;
    const std::vector<WrittenCase> cases = {
        {"name and a path with blanks", "ab " + sources + "app icon.ico", "ab.ico"},
        {"a library", "lib   " + sources + "shell copy.dll  ", "lib.ico"},
        {"no name", plainSources + "app.ico", ".ico"},
    };
    for (const WrittenCase& c : cases) {
        EXPECT_EQ(runGetIcon("/GetIcon " + c.parameters), 0) << c.what;
        EXPECT_TRUE(isIconFile(ScratchFolder::readFile(output + c.written))) << c.what;
    }
}

// "../x" would write beside the program and "a:b" into a stream of the file "a".
TEST_F(GetIconCommandTest, ANameWithASeparatorOrAColonWritesNothing) {
    for (const std::string name : {"../x", "..\\x", "a:b", "sub/x", "c:x"}) {
        EXPECT_EQ(runGetIcon("/GetIcon " + name + " " + plainSources + "app.ico"), 0) << name;
    }
    for (const std::string& path : {programFolder + "x.ico", output + "a", output + "c",
                                    output + "sub", scratch.path() + "x.ico"}) {
        EXPECT_FALSE(fileExists(path)) << path;
    }
}

TEST_F(GetIconCommandTest, AFileWithoutAnIconWritesNothingAndRemovesTheOldIcon) {
    for (const std::string& source : {sources + "notes.txt", sources + "missing.exe", sources}) {
        ASSERT_TRUE(runGetIcon("/GetIcon ab " + sources + "app icon.ico") == 0 &&
                    fileExists(output + "ab.ico"));
        EXPECT_EQ(runGetIcon("/GetIcon ab " + source), 0);
        EXPECT_FALSE(fileExists(output + "ab.ico")) << source;
    }
}

}  // namespace
}  // namespace quillfen::win32
