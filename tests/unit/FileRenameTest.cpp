#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/Platform.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

// The calls an update swaps files with, over this system's real file system.
TEST(FileRename, ReplacesKeepsACopyAndRemovesOnlyEmptyFolders) {
    platform::FileSystem& files = platform::currentPlatform().files();
    const test::TemporaryFolder folder;
    folder.writeFile("old", "old contents");
    folder.writeFile("new", "new contents");
    folder.writeFile("full/inside", "x");
    std::filesystem::create_directories(folder / "empty");

    ASSERT_TRUE(files.keepCopy(folder / "old", folder / "kept"));
    EXPECT_FALSE(files.keepCopy(folder / "new", folder / "kept"));
    EXPECT_FALSE(files.keepCopy(folder / "missing", folder / "other"));
    ASSERT_TRUE(files.renameEntry(folder / "new", folder / "old"));
    EXPECT_EQ(folder.readFile("old"), "new contents");
    EXPECT_EQ(folder.readFile("kept"), "old contents");
    EXPECT_FALSE(std::filesystem::exists(folder / "new"));
    EXPECT_FALSE(files.renameEntry(folder / "new", folder / "old"));
    EXPECT_TRUE(files.renameEntry(folder / "full", folder / "moved"));
    EXPECT_EQ(folder.readFile("moved/inside"), "x");

    EXPECT_FALSE(files.removeFolder(folder / "moved"));
    EXPECT_TRUE(files.removeFolder(folder / "empty"));
    EXPECT_FALSE(std::filesystem::exists(folder / "empty"));
    EXPECT_FALSE(files.removeFolder(folder / "old"));
}

}  // namespace
}  // namespace quillfen
