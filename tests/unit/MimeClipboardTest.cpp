#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/FileUri.h"
#include "platform/linux/MimeClipboard.h"

namespace quillfen::platform {
namespace {

using Formats = std::vector<std::pair<std::string, std::string>>;

const std::vector<std::string> kThreePaths = {
    "/home/anna/my notes.txt",
    "/home/anna/\xC3\x9C"
    "ber \xE2\x82\xAC.txt",
    "/tmp/bad\xFFname",
};

TEST(ClipboardUri, EncodesEveryByteOutsideTheUnreservedSetButKeepsSeparators) {
    const struct {
        const char* path;
        const char* uri;
    } cases[] = {
        {"/a-b_c.d~e/F9", "file:///a-b_c.d~e/F9"},
        {"/h\xC3\xA9t\xC3\xA9", "file:///h%C3%A9t%C3%A9"},
        {"/bad\xFF\x01", "file:///bad%FF%01"},
        {"/%#?&+=;'\"!", "file:///%25%23%3F%26%2B%3D%3B%27%22%21"},
        {"/line\nbreak\r", "file:///line%0Abreak%0D"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileUri(c.path), c.uri) << c.path;
    }
}

TEST(ClipboardFileList, CutAndCopyGiveEveryFormatByteForByte) {
    const std::string uris[] = {
        "file:///home/anna/my%20notes.txt",
        "file:///home/anna/%C3%9Cber%20%E2%82%AC.txt",
        "file:///tmp/bad%FFname",
    };
    const std::string uriList = uris[0] + "\r\n" + uris[1] + "\r\n" + uris[2] + "\r\n";
    const std::string listed = "\n" + uris[0] + "\n" + uris[1] + "\n" + uris[2];
    const std::string plain = kThreePaths[0] + "\n" + kThreePaths[1] + "\n" + kThreePaths[2];
    const struct {
        FileTransfer transfer;
        const char* verb;
        const char* kdeCut;
    } cases[] = {{FileTransfer::Cut, "cut", "1"}, {FileTransfer::Copy, "copy", "0"}};
    for (const auto& c : cases) {
        const MimeClipboard content = MimeClipboard::ofFiles(kThreePaths, c.transfer);
        const Formats expected = {
            {"text/uri-list", uriList},
            {"x-special/gnome-copied-files", c.verb + listed},
            {"x-special/mate-copied-files", c.verb + listed},
            {"application/x-kde-cutselection", c.kdeCut},
        };
        EXPECT_EQ(content.formats, expected) << c.verb;
        EXPECT_EQ(content.plainText, plain) << c.verb;
    }
}

TEST(ClipboardFileList, NoFilesStillGivesAnEmptyListOfEveryFormat) {
    const MimeClipboard content = MimeClipboard::ofFiles({}, FileTransfer::Copy);
    const Formats expected = {
        {"text/uri-list", ""},
        {"x-special/gnome-copied-files", "copy"},
        {"x-special/mate-copied-files", "copy"},
        {"application/x-kde-cutselection", "0"},
    };
    EXPECT_EQ(content.formats, expected);
    EXPECT_EQ(content.plainText, "");
}

TEST(ClipboardText, IsPlainTextOnlyAndKeepsItsBytes) {
    const MimeClipboard content = MimeClipboard::ofText("\"/bad\xFFname\"\r\n");
    EXPECT_EQ(content.plainText, "\"/bad\xFFname\"\r\n");
    EXPECT_TRUE(content.formats.empty());
}

// Lists longer than one batch, and ending inside one and exactly at one, keep every row once and
// in order.
TEST(ClipboardFileList, BatchingKeepsEveryRowInOrder) {
    for (const std::size_t count : {99u, 100u, 101u, 200u, 250u}) {
        std::vector<std::string> paths;
        std::string lines;
        for (std::size_t row = 0; row < count; ++row) {
            paths.push_back("/data/file" + std::to_string(row));
            lines += (row == 0 ? "" : "\n") + paths.back();
        }
        EXPECT_EQ(MimeClipboard::ofFiles(paths, FileTransfer::Copy).plainText, lines) << count;
    }
}

}  // namespace
}  // namespace quillfen::platform
