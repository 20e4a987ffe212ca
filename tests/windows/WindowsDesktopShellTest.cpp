#include "platform/windows/WindowsDesktopShell.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "platform/windows/ClipboardFormats.h"
#include "platform/windows/WideText.h"

namespace quillfen::platform {
namespace {

using test::ScratchFolder;

// What the clipboard holds in one format, as bytes; nullopt when it holds nothing in it.
std::optional<std::string> clipboardBytes(UINT format) {
    if (!OpenClipboard(nullptr)) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    if (HANDLE data = GetClipboardData(format); data != nullptr) {
        const auto* start = static_cast<const char*>(GlobalLock(data));
        bytes = std::string(start, GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// The paths the shell reads out of the clipboard's file list.
std::vector<std::wstring> clipboardFiles() {
    std::vector<std::wstring> paths;
    if (!OpenClipboard(nullptr)) {
        return paths;
    }
    if (const auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP)); drop != nullptr) {
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
            DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
            paths.push_back(path);
        }
    }
    CloseClipboard();
    return paths;
}

std::optional<std::uint32_t> dropEffect() {
    const auto bytes = clipboardBytes(RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT));
    if (!bytes || bytes->size() < sizeof(std::uint32_t)) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    std::memcpy(&value, bytes->data(), sizeof value);
    return value;
}

struct TransferCase {
    const char* what;
    std::vector<std::string> paths;
    FileTransfer transfer;
    std::uint32_t effect;
};

TEST(WindowsDesktopShell, FilesGoOnTheClipboardAsAFileListWithTheirDropEffect) {
    const std::vector<TransferCase> cases = {
        {"cut of three",
         {"C:\\A\\x.txt", "D:\\y z.doc", "E:\\\xC3\x9C\xF0\x9F\x93\x81"},
         FileTransfer::Cut,
         2},
        {"copy of one", {"C:\\only.txt"}, FileTransfer::Copy, 1},
        {"copy of none", {}, FileTransfer::Copy, 1},
    };
    WindowsDesktopShell shell;
    for (const TransferCase& c : cases) {
        shell.putTextOnClipboard("left from before");
        shell.putFilesOnClipboard(c.paths, c.transfer);
        std::vector<std::wstring> expected;
        for (const std::string& path : c.paths) {
            expected.push_back(toWide(path));
        }
        const std::string block = ClipboardFormats::dropFiles(c.paths);
        EXPECT_EQ(clipboardBytes(CF_HDROP).value_or("").substr(0, block.size()), block) << c.what;
        if (!expected.empty()) {
            EXPECT_EQ(clipboardFiles(), expected) << c.what;
        }
        EXPECT_EQ(dropEffect(), c.effect) << c.what;
        // The whole clipboard is replaced: the earlier text is gone.
        EXPECT_EQ(clipboardBytes(CF_UNICODETEXT), std::nullopt) << c.what;
    }
}

TEST(WindowsDesktopShell, TextGoesOnTheClipboardWholeAndInTheAnsiCodePage) {
    WindowsDesktopShell shell;
    shell.putFilesOnClipboard({"C:\\before.txt"}, FileTransfer::Copy);
    const std::string text = "\"C:\\A\\x.txt\"\r\n\"D:\\\xE2\x82\xAC \xE4\xB8\xAD.doc\"\r\n";
    shell.putTextOnClipboard(text);
    const auto unicode = clipboardBytes(CF_UNICODETEXT);
    ASSERT_TRUE(unicode.has_value());
    const std::wstring wide = toWide(text);
    EXPECT_EQ(unicode->substr(0, (wide.size() + 1) * 2),
              std::string(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * 2));
    const auto ansi = clipboardBytes(CF_TEXT);
    ASSERT_TRUE(ansi.has_value());
    // A character the code page lacks is a question mark, never a look-alike.
    EXPECT_EQ(std::string(ansi->c_str()), "\"C:\\A\\x.txt\"\r\n\"D:\\\x80 ?.doc\"\r\n");
    EXPECT_TRUE(clipboardFiles().empty());
}

TEST(WindowsDesktopShell, KnowsWhichFilesHaveAProgramToOpenThem) {
    const ScratchFolder scratch;
    const std::string text = scratch.path() + "notes with blanks.txt";
    const std::string unknown = scratch.path() + "data.qzxv";
    ASSERT_TRUE(ScratchFolder::writeFile(text, "text"));
    ASSERT_TRUE(ScratchFolder::writeFile(unknown, "data"));
    const WindowsDesktopShell shell;
    // Wine, like Windows, opens text files with Notepad.
    EXPECT_TRUE(shell.hasDefaultApplication(text));
    EXPECT_FALSE(shell.hasDefaultApplication(unknown));
    EXPECT_FALSE(shell.hasDefaultApplication(scratch.path() + "missing.txt"));
}

// Wine's Recycle Bin is the freedesktop.org trash of the Linux user; the file leaves its folder
// either way, and a file that is not there is refused with the shell's reason.
TEST(WindowsDesktopShell, MoveToTrashTakesTheFileAwayRestorablyAndRefusesAMissingOne) {
    const ScratchFolder folder;
    const std::string path = folder.path() + "binned.txt";
    ASSERT_TRUE(ScratchFolder::writeFile(path, "kept"));
    WindowsDesktopShell shell;
    EXPECT_EQ(shell.moveToTrash(path), std::nullopt);
    EXPECT_EQ(GetFileAttributesW(toWide(path).c_str()), INVALID_FILE_ATTRIBUTES);
    const std::optional<std::string> missing = shell.moveToTrash(folder.path() + "none.txt");
    ASSERT_TRUE(missing.has_value());
    EXPECT_FALSE(missing->empty());
}

}  // namespace
}  // namespace quillfen::platform
