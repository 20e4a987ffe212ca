#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/windows/WindowsResources.h"

namespace quillfen::platform {
namespace {

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

// The test program carries the downloader archive the build makes for the program. Its first
// local header names the program; unpacking it is the update's test.
TEST(WindowsResources, DownloaderArchiveIsTheComplementedZipOfTheDownloader) {
    const WindowsResources resources;
    const auto stored = resources.downloaderArchive();
    ASSERT_GT(stored.size(), 30u + 22u);
    std::string archive;
    for (const std::uint8_t byte : stored) {
        archive.push_back(static_cast<char>(~byte));
    }
    ASSERT_EQ(archive.substr(0, 4), std::string("PK\x03\x04"));
    const std::uint32_t nameLength = littleEndian(archive, 26, 2);
    EXPECT_EQ(archive.substr(30, nameLength), resources.downloaderFileName());
    EXPECT_EQ(resources.downloaderFileName(), "quilldown.exe");
    EXPECT_EQ(archive.substr(archive.size() - 22, 4), std::string("PK\x05\x06"));
}

TEST(WindowsResources, DownloaderArchiveStaysTheSameOnEveryCall) {
    const WindowsResources resources;
    EXPECT_EQ(resources.downloaderArchive().data(), resources.downloaderArchive().data());
}

}  // namespace
}  // namespace quillfen::platform
