#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "search/InputCheck.h"
#include "support/DeepTree.h"
#include "support/FolderSearchFixture.h"

// Searches over what only POSIX systems have: symbolic links, FIFOs, sockets, device files,
// sparse files, names that are any bytes, and no drive letters.
namespace quillfen {
namespace {

namespace fs = std::filesystem;

using FolderSearchPosixTest = test::FolderSearchFixture;

TEST_F(FolderSearchPosixTest, LinkedFoldersAreListedButNotEntered) {
    folder.writeFile("real/file.txt", "x");
    fs::create_directory_symlink(folder / "real", folder / "link");
    fs::create_directory_symlink(folder.path(), folder / "real/loop");
    auto rows = search(inputsFor(root(), "*"));
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{root() + "link/", root() + "real/",
                                              root() + "real/file.txt", root() + "real/loop/"}));
}

TEST_F(FolderSearchPosixTest, SpecialFilesNeverBlockAContentSearch) {
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    const int unixSocket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder / "sock";
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(unixSocket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink("/dev/zero", folder / "zero");
    folder.writeFile("plain.txt", "needle");
    SearchInputs inputs = inputsFor(root());
    inputs.content.text = "needle";
    inputs.content.matchAnsi = true;
    EXPECT_EQ(search(inputs), std::vector<std::string>{root() + "plain.txt"});
    ::close(unixSocket);
}

TEST_F(FolderSearchPosixTest, TreeDeeperThanAThousandLevelsIsWalked) {
    std::string deep = folder.path();
    for (int level = 0; level < 1100; ++level) {
        deep += "/d";
        ASSERT_EQ(::mkdir(deep.c_str(), 0700), 0) << "level " << level;
    }
    std::ofstream(deep + "/bottom.txt") << "x";
    EXPECT_EQ(search(inputsFor(root(), "bottom.txt")),
              std::vector<std::string>{deep + "/bottom.txt"});
}

// 600 levels make paths of more than 5,400 bytes, beyond what the system takes in one call.
TEST_F(FolderSearchPosixTest, TreeDeeperThanTheLongestPathIsWalkedSizedAndSearched) {
    test::DeepTree deep(folder.path(), 600, "level-09");
    const std::string bottom = deep.writeFile("bottom.txt", "a needle here");
    ASSERT_GT(bottom.size(), 4096u);
    SearchInputs inputs = inputsFor(root(), "bottom.txt");
    inputs.content.text = "NEEDLE";
    inputs.content.matchAnsi = true;
    EXPECT_EQ(search(inputs), std::vector<std::string>{bottom});
    ASSERT_EQ(observer.entries.size(), 1u);
    EXPECT_EQ(observer.entries.front().size, 13);
    EXPECT_NE(observer.entries.front().writeTime, 0u);
}

TEST_F(FolderSearchPosixTest, NamesThatAreNotUtf8OrHoldNewlinesAreFoundByteExact) {
    const std::string odd = "caf\xe9\nline.txt";
    folder.writeFile(odd, "needle");
    SearchInputs inputs = inputsFor(root(), "*.TXT");
    inputs.content.text = "needle";
    inputs.content.matchAnsi = true;
    EXPECT_EQ(search(inputs), std::vector<std::string>{root() + odd});
}

TEST_F(FolderSearchPosixTest, SparseFilesBeyondFourGigabytesAreSizedAndSearched) {
    const std::string path = folder / "huge.bin";
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    const off_t needleAt = (off_t{1} << 32) + 1048573;  // straddles a chunk edge past 4 GiB
    ASSERT_EQ(::pwrite(fd, "needle", 6, needleAt), 6);
    ASSERT_EQ(::ftruncate(fd, needleAt + 4096), 0);
    ::close(fd);
    SearchInputs inputs = inputsFor(root());
    inputs.sizeOption = SizeOption::SpecifySize;
    inputs.sizeBound = SizeBound::AtLeast;
    inputs.sizeKilobytes = "4194304";
    inputs.content.text = "needle";
    inputs.content.matchAnsi = true;
    inputs.content.matchCase = true;
    EXPECT_EQ(search(inputs), std::vector<std::string>{path});
    EXPECT_EQ(observer.entries.front().size, needleAt + 4096);
}

// Whether a folder is a volume's root does not depend on the links that lead to it.
TEST_F(FolderSearchPosixTest, RecycleBinsAreSkippedThroughLinksToTheVolumeRoot) {
    folder.writeFile("vol/$RECYCLE.BIN/a.txt", "x");
    folder.writeFile("vol/.Trash-1000/b.txt", "x");
    folder.writeFile("vol/keep/c.txt", "x");
    folder.writeFile("home/.local/share/Trash/d.txt", "x");
    fs::create_directory_symlink(folder / "vol", folder / "link");
    fs::create_directory_symlink(folder / "home", folder / "homelink");
    volumes.points = {root() + "vol/"};
    volumes.trash = root() + "home/.local/share/Trash/";
    for (const std::string& spelling : {root() + "link/", root() + "link"}) {
        observer.rows.clear();
        const std::vector<std::string> rows = search(inputsFor(spelling, "*.txt"));
        ASSERT_EQ(rows.size(), 1u) << spelling;
        EXPECT_TRUE(rows.front().ends_with("keep/c.txt")) << spelling;
    }
    observer.rows.clear();
    EXPECT_EQ(search(inputsFor(root() + "homelink/./", "*.txt")), std::vector<std::string>{});
}

TEST_F(FolderSearchPosixTest, AFolderSearchThroughALinkCrossesIntoRealVolumesOnly) {
    folder.writeFile("one/a.txt", "x");
    folder.writeFile("one/two/b.txt", "x");
    folder.writeFile("one/proc/c.txt", "x");
    volumes.roots = {root() + "one/", root() + "one/two/"};
    volumes.points = {root() + "one/", root() + "one/two/", root() + "one/proc/"};
    fs::create_directory_symlink(folder / "one", folder / "link");
    auto rows = search(inputsFor(root() + "link", "*.txt"));
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{root() + "link/a.txt", root() + "link/two/b.txt"}));
}

// A drive name is no folder on a system without drives.
TEST(SearchInputCheckPosix, RefusesADriveName) {
    SearchInputs inputs;
    inputs.lookIn = "C:";
    const auto problem = checkInputs(inputs);
    EXPECT_EQ(problem ? std::optional(problem->field) : std::nullopt, InputField::LookIn);
}

}  // namespace
}  // namespace quillfen
