#include "search/FolderWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "app/PathHelpers.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

std::string separator() {
    return std::string(1, pathSeparator());
}

class RecordingVisitor : public FolderVisitor {
public:
    void enterFolder(const std::string& folder) override { folders.push_back(folder); }
    void visitEntry(const std::string& folder, const platform::FolderEntry& entry) override {
        entries.push_back(folder + entry.name + (entry.isFolder ? separator() : ""));
        if (onVisit) {
            onVisit();
        }
    }

    std::vector<std::string> folders;
    std::vector<std::string> entries;
    std::function<void()> onVisit;
};

class FolderWalkTest : public testing::Test {
protected:
    // Folders of uneven depth and width, each with a few files, made once for all cases.
    static void SetUpTestSuite() {
        folder = new test::TemporaryFolder;
        std::vector<std::string> made{folder->path()};
        for (int index = 0; index < 250; ++index) {
            const std::string parent = made[static_cast<size_t>(index * 7919) % made.size()];
            made.push_back(parent + separator() + "d" + std::to_string(index));
            fs::create_directory(made.back());
            for (int file = 0; file < 4; ++file) {
                std::ofstream(made.back() + separator() + "f" + std::to_string(file));
            }
        }
    }

    static void TearDownTestSuite() { delete folder; }

    void SetUp() override { listingOrder(folder->path(), expectedEntries, expectedFolders); }

    static void listingOrder(const fs::path& at, std::vector<std::string>& entries,
                             std::vector<std::string>& folders) {
        folders.push_back(at.string() + separator());
        for (const auto& entry : fs::directory_iterator(at)) {
            entries.push_back(entry.path().string() + (entry.is_directory() ? separator() : ""));
            if (entry.is_directory()) {
                listingOrder(entry.path(), entries, folders);
            }
        }
    }

    void walk(size_t allowance) {
        FolderWalk::Options options;
        options.readAheadAllowance = allowance;
        FolderWalk(stop, options).walk(folder->path() + separator(), visitor);
    }

    static inline test::TemporaryFolder* folder = nullptr;
    std::vector<std::string> expectedEntries;
    std::vector<std::string> expectedFolders;
    RecordingVisitor visitor;
    std::atomic<bool> stop{false};
};

// Whatever the listings read ahead, and however long the visits take, every folder is entered
// and every entry visited once, in the order of a plain recursive walk.
TEST_F(FolderWalkTest, ReadingAheadKeepsTheWalkOrder) {
    struct Case {
        size_t allowance;
        bool slowFirstVisit;
    };
    for (const Case& c : {Case{0, false}, Case{1, false}, Case{64, false}, Case{64, true},
                          Case{ListingLookahead::kDefaultAllowance, true}}) {
        SCOPED_TRACE(testing::Message() << "allowance " << c.allowance);
        visitor = RecordingVisitor();
        // A held-up first visit lets the look-ahead thread reach its allowance and pause.
        bool first = c.slowFirstVisit;
        visitor.onVisit = [&] {
            if (std::exchange(first, false)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        };
        walk(c.allowance);
        EXPECT_EQ(visitor.entries, expectedEntries);
        EXPECT_EQ(visitor.folders, expectedFolders);
    }
}

TEST_F(FolderWalkTest, StopEndsTheWalkWithAPrefixOfItsOrder) {
    visitor.onVisit = [&] { stop = visitor.entries.size() == 300; };
    walk(16);
    ASSERT_EQ(visitor.entries.size(), 300u);
    EXPECT_TRUE(
        std::equal(visitor.entries.begin(), visitor.entries.end(), expectedEntries.begin()));
}

// A folder removed after its parent was listed, and perhaps after it was itself read ahead, is
// still visited as an entry of its parent; of its contents the walk visits what was read before
// the removal, in order, and the rest of the walk is untouched.
// Some systems refuse to remove a folder that a look-ahead thread has open for its listing; the
// listing ends soon, and the folder goes then.
void removeWhileListersLetGo(const std::string& path) {
    std::error_code error;
    for (int attempt = 0; attempt < 5000; ++attempt) {
        if (fs::remove_all(path, error) != static_cast<std::uintmax_t>(-1) && !error) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    FAIL() << "could not remove " << path << ": " << error.message();
}

TEST(FolderWalkVanishing, AFolderRemovedBeforeItsVisitLeavesTheRestOfTheWalkIntact) {
    for (const size_t listers : {size_t{1}, size_t{16}}) {
        SCOPED_TRACE(testing::Message() << listers << " listers");
        test::TemporaryFolder folder;
        for (const char* name : {"a", "b", "b/inner", "c"}) {
            fs::create_directories(folder / name);
        }
        for (const char* name : {"a/1", "b/2", "b/inner/3", "c/4", "5"}) {
            folder.writeFile(name, "x");
        }
        const std::string root = folder.path() + separator();
        const std::string vanishing = folder / "b/";
        std::atomic<bool> stop{false};
        FolderWalk::Options options;
        options.readAheadListers = listers;
        RecordingVisitor before;
        FolderWalk(stop, options).walk(root, before);
        ASSERT_EQ(before.entries.size(), 9u);

        RecordingVisitor visitor;
        visitor.onVisit = [&] {
            if (visitor.entries.size() == 1) {
                removeWhileListersLetGo(folder / "b");
            }
        };
        FolderWalk(stop, options).walk(root, visitor);

        const auto split = [&vanishing](const std::vector<std::string>& entries, bool inside) {
            std::vector<std::string> part;
            std::copy_if(
                entries.begin(), entries.end(), std::back_inserter(part),
                [&](const std::string& entry) { return entry.starts_with(vanishing) == inside; });
            return part;
        };
        EXPECT_EQ(split(visitor.entries, false), split(before.entries, false));
        const std::vector<std::string> insideBefore = split(before.entries, true);
        const std::vector<std::string> inside = split(visitor.entries, true);
        auto next = insideBefore.begin();
        for (const std::string& entry : inside) {
            next = std::find(next, insideBefore.end(), entry);
            ASSERT_NE(next, insideBefore.end()) << entry << " out of order or never there";
            ++next;
        }
    }
}

}  // namespace
}  // namespace quillfen
