#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "search/FileSearch.h"
#include "search/InputCheck.h"
#include "search/SearchCriteria.h"
#include "support/DeepTree.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlatform.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

class RecordingObserver : public SearchObserver {
public:
    void searchingFolder(const std::string& folder) override { folders.push_back(folder); }
    void comparingFile(const std::string&) override {}
    void found(const FoundEntry& entry) override {
        rows.push_back(entry.folder + entry.name);
        entries.push_back(entry);
        if (onFound) {
            onFound();
        }
    }

    std::vector<std::string> folders;
    std::vector<std::string> rows;
    std::vector<FoundEntry> entries;
    std::function<void()> onFound;
};

class FakeVolumes : public platform::Volumes {
public:
    std::vector<std::string> roots;
    std::vector<std::string> points;
    std::string trash;

    std::vector<std::string> searchRoots() const override { return roots; }
    std::vector<std::string> mountPoints() const override { return points; }
    std::string resolvedFolder(const std::string& folder) const override {
        std::error_code error;
        const fs::path resolved = fs::canonical(folder, error);
        return error ? folder : resolved.string() + "/";
    }
    // By identity, as the system decides it, so that any spelling of a mount point is one.
    bool isMountRoot(const std::string& folder) const override {
        struct stat asked {};
        struct stat point {};
        return ::stat(folder.c_str(), &asked) == 0 &&
               std::any_of(points.begin(), points.end(), [&](const std::string& path) {
                   return ::stat(path.c_str(), &point) == 0 && point.st_dev == asked.st_dev &&
                          point.st_ino == asked.st_ino;
               });
    }
    std::vector<std::string> recycleBinNames() const override {
        return {"$RECYCLE.BIN", "RECYCLER", "RECYCLED", ".TRASH", ".TRASH-1000"};
    }
    std::string userTrashFolder() const override { return trash; }
};

class FolderSearchTest : public testing::Test {
protected:
    void SetUp() override { platform.volumesOverride = &volumes; }

    std::string root() const { return folder.path() + "/"; }

    std::vector<std::string> search(SearchInputs inputs, bool recycleBin = false) {
        SearchCriteria criteria = buildCriteria(inputs);
        FileSearch(criteria, observer, stop, recycleBin).run();
        return observer.rows;
    }

    SearchInputs inputsFor(const std::string& lookIn, const std::string& names = "") const {
        SearchInputs inputs;
        inputs.lookIn = lookIn;
        inputs.namePatterns = names;
        return inputs;
    }

    // The tree in the system's listing order, depth-first and pre-order, without entering
    // linked folders.
    void expectedWalk(const fs::path& at, std::vector<std::string>& out) const {
        for (const auto& entry : fs::directory_iterator(at)) {
            const bool isFolder = entry.is_directory();
            out.push_back(entry.path().string() + (isFolder ? "/" : ""));
            if (isFolder && !entry.is_symlink()) {
                expectedWalk(entry.path(), out);
            }
        }
    }

    test::TemporaryFolder folder;
    test::TestPlatform platform;
    FakeVolumes volumes;
    RecordingObserver observer;
    std::atomic<bool> stop{false};
};

TEST_F(FolderSearchTest, WalksDepthFirstPreOrderInListingOrder) {
    for (const char* name : {"b/x.txt", "a/y/z.txt", "a/w.log", "c.txt", "d/e/f/g.txt"}) {
        folder.writeFile(name, "x");
    }
    std::vector<std::string> expected;
    expectedWalk(folder.path(), expected);
    EXPECT_EQ(search(inputsFor(root())), expected);
    EXPECT_EQ(observer.folders.front(), root());
}

TEST_F(FolderSearchTest, SizeBoundsAreInclusiveAndFoldersHaveSizeMinusOne) {
    folder.writeFile("small", std::string(102400, 'x'));
    folder.writeFile("bigger", std::string(102401, 'x'));
    fs::create_directory(folder / "sub");
    SearchInputs atMost = inputsFor(root());
    atMost.sizeOption = SizeOption::Small;
    atMost.sizeBound = SizeBound::AtMost;
    atMost.sizeKilobytes = "100";
    auto rows = search(atMost);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{root() + "small", root() + "sub/"}));

    observer.rows.clear();
    SearchInputs atLeast = inputsFor(root());
    atLeast.sizeOption = SizeOption::SpecifySize;
    atLeast.sizeBound = SizeBound::AtLeast;
    atLeast.sizeKilobytes = "";
    rows = search(atLeast);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{root() + "bigger", root() + "small"}));
}

TEST_F(FolderSearchTest, FolderRowComesEvenWithoutSubfoldersButIsNotEntered) {
    folder.writeFile("docs/inner/docs.txt", "x");
    SearchInputs inputs = inputsFor(root(), "doc*");
    inputs.searchSubfolders = false;
    EXPECT_EQ(search(inputs), std::vector<std::string>{root() + "docs/"});
}

TEST_F(FolderSearchTest, ContentSearchListsNoFolderButEntersThem) {
    folder.writeFile("sub/hit.txt", "say hello");
    folder.writeFile("miss.txt", "nothing");
    SearchInputs inputs = inputsFor(root());
    inputs.content.text = "hello";
    inputs.content.matchAnsi = true;
    EXPECT_EQ(search(inputs), std::vector<std::string>{root() + "sub/hit.txt"});
}

TEST_F(FolderSearchTest, ContentMatchesArriveInWalkOrderWhateverTheirSizes) {
    for (int i = 0; i < 40; ++i) {
        // Large files that match late take longer than the small ones listed after them.
        const std::string padding(i % 3 == 0 ? 3 << 20 : 10, 'x');
        folder.writeFile("d" + std::to_string(i % 4) + "/f" + std::to_string(i),
                         i % 5 == 0 ? padding : padding + "needle");
    }
    std::vector<std::string> expected;
    expectedWalk(folder.path(), expected);
    std::erase_if(expected, [](const std::string& path) {
        const std::string name = path.substr(path.rfind('/') + 1);
        return name.empty() || name[0] != 'f' || std::stoi(name.substr(1)) % 5 == 0;
    });
    SearchInputs inputs = inputsFor(root());
    inputs.content.text = "needle";
    inputs.content.matchAnsi = true;
    EXPECT_EQ(search(inputs), expected);
}

TEST_F(FolderSearchTest, DateFilterTakesWholeDays) {
    folder.writeFile("old.txt", "x");
    folder.writeFile("new.txt", "x");
    const auto at = [](int year, int month, int day, int hour) {
        tm fields{};
        fields.tm_year = year - 1900;
        fields.tm_mon = month - 1;
        fields.tm_mday = day;
        fields.tm_hour = hour;
        fields.tm_isdst = -1;
        return std::chrono::file_clock::from_sys(
            std::chrono::system_clock::from_time_t(mktime(&fields)));
    };
    fs::last_write_time(folder / "old.txt", at(2020, 3, 1, 12));
    fs::last_write_time(folder / "new.txt", at(2020, 3, 2, 23));
    SearchInputs inputs = inputsFor(root(), "*.txt");
    inputs.dateOption = DateOption::SpecifyDates;
    inputs.dateFrom = {2020, 3, 2};
    inputs.dateTo = {2020, 3, 2};
    EXPECT_EQ(search(inputs), std::vector<std::string>{root() + "new.txt"});
}

TEST_F(FolderSearchTest, LinkedFoldersAreListedButNotEntered) {
    folder.writeFile("real/file.txt", "x");
    fs::create_directory_symlink(folder / "real", folder / "link");
    fs::create_directory_symlink(folder.path(), folder / "real/loop");
    auto rows = search(inputsFor(root(), "*"));
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{root() + "link/", root() + "real/",
                                              root() + "real/file.txt", root() + "real/loop/"}));
}

TEST_F(FolderSearchTest, SpecialFilesNeverBlockAContentSearch) {
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

TEST_F(FolderSearchTest, TreeDeeperThanAThousandLevelsIsWalked) {
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
TEST_F(FolderSearchTest, TreeDeeperThanTheLongestPathIsWalkedSizedAndSearched) {
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

TEST_F(FolderSearchTest, NamesThatAreNotUtf8OrHoldNewlinesAreFoundByteExact) {
    const std::string odd = "caf\xe9\nline.txt";
    folder.writeFile(odd, "needle");
    SearchInputs inputs = inputsFor(root(), "*.TXT");
    inputs.content.text = "needle";
    inputs.content.matchAnsi = true;
    EXPECT_EQ(search(inputs), std::vector<std::string>{root() + odd});
}

TEST_F(FolderSearchTest, StopEndsTheWalkAfterTheEntryInHand) {
    for (int i = 0; i < 50; ++i) {
        folder.writeFile("f" + std::to_string(i), "x");
    }
    observer.onFound = [&] { stop = true; };
    EXPECT_EQ(search(inputsFor(root())).size(), 1u);
}

TEST_F(FolderSearchTest, SparseFilesBeyondFourGigabytesAreSizedAndSearched) {
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

TEST_F(FolderSearchTest, RecycleBinsAtAVolumeRootAndTheUserTrashAreSkipped) {
    folder.writeFile("vol/RECYCLER/a.txt", "x");
    folder.writeFile("vol/$Recycle.Bin/b.txt", "x");
    folder.writeFile("vol/.Trash-1000/c.txt", "x");
    folder.writeFile("vol/Backup/RECYCLER/d.txt", "x");
    folder.writeFile("home/.local/share/Trash/e.txt", "x");
    volumes.roots = {root() + "vol/"};
    volumes.points = {root() + "vol/"};
    volumes.trash = root() + "home/.local/share/Trash/";
    auto rows = search(inputsFor(root(), "*.txt"));
    EXPECT_EQ(rows, std::vector<std::string>{root() + "vol/Backup/RECYCLER/d.txt"});

    observer.rows.clear();
    rows = search(inputsFor(root(), "*.txt"), true);
    EXPECT_EQ(rows.size(), 5u);
}

// Whether a folder is a volume's root does not depend on how the path to it is spelt.
TEST_F(FolderSearchTest, RecycleBinsAreSkippedWhateverTheSpellingOfTheVolumeRoot) {
    folder.writeFile("vol/$RECYCLE.BIN/a.txt", "x");
    folder.writeFile("vol/.Trash-1000/b.txt", "x");
    folder.writeFile("vol/keep/c.txt", "x");
    folder.writeFile("home/.local/share/Trash/d.txt", "x");
    fs::create_directory_symlink(folder / "vol", folder / "link");
    fs::create_directory_symlink(folder / "home", folder / "homelink");
    volumes.points = {root() + "vol/"};
    volumes.trash = root() + "home/.local/share/Trash/";
    for (const std::string& spelling : {root() + "vol/", root() + "vol/./", root() + "vol/keep/../",
                                        root() + "link/", root() + "link"}) {
        observer.rows.clear();
        const std::vector<std::string> rows = search(inputsFor(spelling, "*.txt"));
        ASSERT_EQ(rows.size(), 1u) << spelling;
        EXPECT_TRUE(rows.front().ends_with("keep/c.txt")) << spelling;
    }
    observer.rows.clear();
    EXPECT_EQ(search(inputsFor(root() + "homelink/./", "*.txt")), std::vector<std::string>{});
}

TEST_F(FolderSearchTest, EveryVolumeIsWalkedOnceWithoutCrossingIntoAnother) {
    folder.writeFile("one/a.txt", "x");
    folder.writeFile("one/two/b.txt", "x");
    folder.writeFile("one/proc/c.txt", "x");
    volumes.roots = {root() + "one/", root() + "one/two/"};
    volumes.points = {root() + "one/", root() + "one/two/", root() + "one/proc/"};
    auto rows = search(inputsFor("*", "*.txt"));
    EXPECT_EQ(rows, (std::vector<std::string>{root() + "one/a.txt", root() + "one/two/b.txt"}));

    // A folder search crosses into real volumes below it, never into kernel interfaces, however
    // the folder is spelt.
    fs::create_directory_symlink(folder / "one", folder / "link");
    for (const std::string& spelling : {root() + "one", root() + "one/two/..", root() + "link"}) {
        observer.rows.clear();
        rows = search(inputsFor(spelling, "*.txt"));
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(rows, (std::vector<std::string>{spelling + "/a.txt", spelling + "/two/b.txt"}));
    }
}

TEST(SearchInputCheck, RefusesWhatCannotBeSearched) {
    test::TemporaryFolder folder;
    folder.writeFile("file.txt", "x");
    const struct {
        std::string lookIn;
        std::string names;
        bool hex;
        std::string hexText;
        std::optional<InputField> problem;
    } cases[] = {
        {"   ", "", false, "", InputField::LookIn},
        {folder / "missing", "", false, "", InputField::LookIn},
        {"*", "  ", false, "", InputField::NamePatterns},
        {"*", "*", false, "", std::nullopt},
        {folder / "file.txt", "", false, "", std::nullopt},
        {" " + folder.path(), "", false, "", InputField::LookIn},
        {folder.path(), "", true, "3G", InputField::HexText},
        {folder.path(), "", true, "313", InputField::HexText},
        {folder.path(), "", true, "31 32*35", std::nullopt},
        {"C:", "", false, "", InputField::LookIn},
    };
    for (const auto& c : cases) {
        SearchInputs inputs;
        inputs.lookIn = c.lookIn;
        inputs.namePatterns = c.names;
        inputs.content.hexMode = c.hex;
        inputs.content.hexText = c.hexText;
        const auto problem = checkInputs(inputs);
        EXPECT_EQ(problem ? std::optional(problem->field) : std::nullopt, c.problem) << c.lookIn;
    }
}

}  // namespace
}  // namespace quillfen
