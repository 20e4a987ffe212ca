#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "search/InputCheck.h"
#include "support/FolderSearchFixture.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

using FolderSearchTest = test::FolderSearchFixture;

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
    EXPECT_EQ(rows, (std::vector<std::string>{at("small"), at("sub/")}));

    observer.rows.clear();
    SearchInputs atLeast = inputsFor(root());
    atLeast.sizeOption = SizeOption::SpecifySize;
    atLeast.sizeBound = SizeBound::AtLeast;
    atLeast.sizeKilobytes = "";
    rows = search(atLeast);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<std::string>{at("bigger"), at("small")}));
}

TEST_F(FolderSearchTest, FolderRowComesEvenWithoutSubfoldersButIsNotEntered) {
    folder.writeFile("docs/inner/docs.txt", "x");
    SearchInputs inputs = inputsFor(root(), "doc*");
    inputs.searchSubfolders = false;
    EXPECT_EQ(search(inputs), std::vector<std::string>{at("docs/")});
}

TEST_F(FolderSearchTest, ContentSearchListsNoFolderButEntersThem) {
    folder.writeFile("sub/hit.txt", "say hello");
    folder.writeFile("miss.txt", "nothing");
    SearchInputs inputs = inputsFor(root());
    inputs.content.text = "hello";
    inputs.content.matchAnsi = true;
    EXPECT_EQ(search(inputs), std::vector<std::string>{at("sub/hit.txt")});
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
    std::erase_if(expected, [&](const std::string& path) {
        const std::string name = path.substr(path.rfind(separator) + 1);
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
    const auto localTime = [](int year, int month, int day, int hour) {
        tm fields{};
        fields.tm_year = year - 1900;
        fields.tm_mon = month - 1;
        fields.tm_mday = day;
        fields.tm_hour = hour;
        fields.tm_isdst = -1;
        return std::chrono::file_clock::from_sys(
            std::chrono::system_clock::from_time_t(mktime(&fields)));
    };
    fs::last_write_time(folder / "old.txt", localTime(2020, 3, 1, 12));
    fs::last_write_time(folder / "new.txt", localTime(2020, 3, 2, 23));
    SearchInputs inputs = inputsFor(root(), "*.txt");
    inputs.dateOption = DateOption::SpecifyDates;
    inputs.dateFrom = {2020, 3, 2};
    inputs.dateTo = {2020, 3, 2};
    EXPECT_EQ(search(inputs), std::vector<std::string>{at("new.txt")});
}

TEST_F(FolderSearchTest, StopEndsTheWalkAfterTheEntryInHand) {
    for (int i = 0; i < 50; ++i) {
        folder.writeFile("f" + std::to_string(i), "x");
    }
    observer.onFound = [&] { stop = true; };
    EXPECT_EQ(search(inputsFor(root())).size(), 1u);
}

TEST_F(FolderSearchTest, RecycleBinsAtAVolumeRootAndTheUserTrashAreSkipped) {
    folder.writeFile("vol/RECYCLER/a.txt", "x");
    folder.writeFile("vol/$Recycle.Bin/b.txt", "x");
    folder.writeFile("vol/.Trash-1000/c.txt", "x");
    folder.writeFile("vol/Backup/RECYCLER/d.txt", "x");
    folder.writeFile("home/.local/share/Trash/e.txt", "x");
    volumes.roots = {at("vol/")};
    volumes.points = {at("vol/")};
    volumes.trash = at("home/.local/share/Trash/");
    auto rows = search(inputsFor(root(), "*.txt"));
    EXPECT_EQ(rows, std::vector<std::string>{at("vol/Backup/RECYCLER/d.txt")});

    observer.rows.clear();
    rows = search(inputsFor(root(), "*.txt"), true);
    EXPECT_EQ(rows.size(), 5u);
}

// Whether a folder is a volume's root does not depend on how the path to it is spelt.
TEST_F(FolderSearchTest, RecycleBinsAreSkippedWhateverTheSpellingOfTheVolumeRoot) {
    folder.writeFile("vol/$RECYCLE.BIN/a.txt", "x");
    folder.writeFile("vol/.Trash-1000/b.txt", "x");
    folder.writeFile("vol/keep/c.txt", "x");
    volumes.points = {at("vol/")};
    for (const std::string& spelling : {at("vol/"), at("vol/./"), at("vol/keep/../")}) {
        observer.rows.clear();
        const std::vector<std::string> rows = search(inputsFor(spelling, "*.txt"));
        ASSERT_EQ(rows.size(), 1u) << spelling;
        EXPECT_TRUE(rows.front().ends_with(at("keep/c.txt").substr(root().size()))) << spelling;
    }
}

TEST_F(FolderSearchTest, EveryVolumeIsWalkedOnceWithoutCrossingIntoAnother) {
    folder.writeFile("one/a.txt", "x");
    folder.writeFile("one/two/b.txt", "x");
    folder.writeFile("one/proc/c.txt", "x");
    volumes.roots = {at("one/"), at("one/two/")};
    volumes.points = {at("one/"), at("one/two/"), at("one/proc/")};
    auto rows = search(inputsFor("*", "*.txt"));
    EXPECT_EQ(rows, (std::vector<std::string>{at("one/a.txt"), at("one/two/b.txt")}));

    // A folder search crosses into real volumes below it, never into kernel interfaces, however
    // the folder is spelt.
    for (const std::string& spelling : {at("one"), at("one/two/..")}) {
        observer.rows.clear();
        rows = search(inputsFor(spelling, "*.txt"));
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(rows,
                  (std::vector<std::string>{spelling + separator + "a.txt",
                                            spelling + separator + "two" + separator + "b.txt"}));
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
