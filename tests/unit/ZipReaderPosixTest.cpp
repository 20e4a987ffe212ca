#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Platform.h"
#include "support/TemporaryFolder.h"
#include "support/ZipFixtures.h"
#include "update/ZipReader.h"

namespace quillfen {
namespace {

// Only entries made on Unix with a mode carry permissions; the others leave the file's own.
TEST(ZipReaderPosix, RestoresTimeAndOnlyMeaningfulUnixModes) {
    const struct {
        const char* fixture;
        unsigned expected;
    } cases[] = {{"mode-3-754.zip", 0754}, {"mode-0-754.zip", 0600}, {"mode-3-0.zip", 0600}};
    for (const auto& c : cases) {
        test::TemporaryFolder folder;
        folder.writeFile("a.zip", test::ZipFixtures::archive(c.fixture));
        ZipReader reader(folder / "a.zip");
        ZipEntryInfo info;
        reader.entryInfo(&info);
        folder.writeFile("tool", "#!/bin/sh\n");
        const std::string path = folder / "tool";
        std::filesystem::permissions(path, std::filesystem::perms(0600));
        EXPECT_TRUE(ZipReader::restoreEntryStatus(path, info));
        EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(c.expected))
            << c.fixture;
        platform::Platform& system = platform::currentPlatform();
        EXPECT_EQ(system.files().entryStatus(path).writeTime,
                  system.clock().fromLocalTime({2021, 6, 15, 13, 45, 30}));
    }
}

}  // namespace
}  // namespace quillfen
