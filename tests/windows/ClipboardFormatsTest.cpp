#include "platform/windows/ClipboardFormats.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/windows/WideText.h"

namespace quillfen::platform {
namespace {

// The bytes of a UTF-16 literal, embedded zeros included, without the literal's own final zero.
template <std::size_t N>
std::string littleEndian(const char16_t (&units)[N]) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < N; ++i) {
        bytes.push_back(static_cast<char>(units[i] & 0xFF));
        bytes.push_back(static_cast<char>(units[i] >> 8));
    }
    return bytes;
}

const std::string kHeader(
    "\x14\0\0\0"
    "\0\0\0\0"
    "\0\0\0\0"
    "\0\0\0\0"
    "\x01\0\0\0",
    20);

// The paths as the shell reads them back out of the block, in a global memory block as the
// clipboard holds it.
std::vector<std::wstring> pathsTheShellReads(const std::string& block) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, block.size());
    std::memcpy(GlobalLock(memory), block.data(), block.size());
    GlobalUnlock(memory);
    const auto drop = static_cast<HDROP>(memory);
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0), L'\0');
        DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(path);
    }
    GlobalFree(memory);
    return paths;
}

TEST(ClipboardDropFiles, HeaderWideListAndZerosByteForByte) {
    const std::vector<std::string> paths = {
        "C:\\a.txt",
        "D:\\\xC3\x9C",
        "E:\\\xF0\x9F\x93\x81",
    };
    // 9 + 6 + 8 bytes and the final zero make L = 24, so the block has 2 x 24 + 28 bytes.
    const std::string list = littleEndian(u"C:\\a.txt\0D:\\\u00DC\0E:\\\U0001F4C1\0\0");
    const std::string expected = kHeader + list + std::string(76 - 20 - list.size(), '\0');
    EXPECT_EQ(ClipboardFormats::dropFiles(paths), expected);
}

TEST(ClipboardDropFiles, TheHeaderIsTheSystemsDropFilesRecord) {
    const std::string block = ClipboardFormats::dropFiles({"C:\\x"});
    DROPFILES header{};
    ASSERT_EQ(sizeof(header), kHeader.size());
    std::memcpy(&header, block.data(), sizeof(header));
    EXPECT_EQ(header.pFiles, sizeof(DROPFILES));
    EXPECT_EQ(header.pt.x, 0);
    EXPECT_EQ(header.pt.y, 0);
    EXPECT_FALSE(header.fNC);
    EXPECT_TRUE(header.fWide);
}

TEST(ClipboardDropFiles, EmptyAndUnusualListsKeepTheirSizeAndEveryPath) {
    EXPECT_EQ(ClipboardFormats::dropFiles({}), kHeader + std::string(10, '\0'));
    const std::string lone = "C:\\bad\xED\xB0\x80";
    EXPECT_EQ(ClipboardFormats::dropFiles({lone}), kHeader + littleEndian(u"C:\\bad") +
                                                       std::string("\x00\xDC\0\0\0\0", 6) +
                                                       std::string(2 * 11 + 28 - 20 - 18, '\0'));
    std::vector<std::string> many;
    for (int row = 0; row < 250; ++row) {
        many.push_back("C:\\Folder with blanks\\file " + std::to_string(row) + ".txt");
    }
    const std::string block = ClipboardFormats::dropFiles(many);
    std::size_t narrow = 1;
    for (const std::string& path : many) {
        narrow += path.size() + 1;
    }
    EXPECT_EQ(block.size(), 2 * narrow + 28);
    const std::vector<std::wstring> read = pathsTheShellReads(block);
    ASSERT_EQ(read.size(), many.size());
    for (std::size_t row = 0; row < many.size(); ++row) {
        EXPECT_EQ(fromWide(read[row]), many[row]);
    }
}

TEST(ClipboardDropFiles, TheShellReadsEveryPathBack) {
    const std::vector<std::string> paths = {"C:\\A\\x.txt", "D:\\y z.doc",
                                            "\\\\server\\share\\\xE6\x96\x87.txt"};
    const std::vector<std::wstring> read = pathsTheShellReads(ClipboardFormats::dropFiles(paths));
    ASSERT_EQ(read.size(), paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(read[i], toWide(paths[i]));
    }
}

TEST(ClipboardDropEffect, MoveForCutAndCopyForCopy) {
    EXPECT_EQ(ClipboardFormats::preferredDropEffect(FileTransfer::Cut),
              std::string("\x02\0\0\0", 4));
    EXPECT_EQ(ClipboardFormats::preferredDropEffect(FileTransfer::Copy),
              std::string("\x01\0\0\0", 4));
}

TEST(ClipboardText, WideAndCodePageFormsEndWithTheirZero) {
    const std::string names = "\"C:\\A\\x.txt\"\r\n\"D:\\\xC3\x9C \xE2\x82\xAC \xE6\x96\x87\"\r\n";
    EXPECT_EQ(ClipboardFormats::unicodeText(names),
              littleEndian(u"\"C:\\A\\x.txt\"\r\n\"D:\\\u00DC \u20AC \u6587\"\r\n") +
                  std::string(2, '\0'));
    EXPECT_EQ(ClipboardFormats::ansiText(names, 1252),
              std::string("\"C:\\A\\x.txt\"\r\n\"D:\\\xDC \x80 ?\"\r\n") + '\0');
    EXPECT_EQ(ClipboardFormats::ansiText(names, CP_UTF8), names + '\0');
    EXPECT_EQ(ClipboardFormats::unicodeText(""), std::string(2, '\0'));
    EXPECT_EQ(ClipboardFormats::ansiText("", 1252), std::string(1, '\0'));
}

}  // namespace
}  // namespace quillfen::platform
