#include <sys/stat.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "Unprivileged.h"
#include "search/FolderWalk.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

class EntryList : public FolderVisitor {
public:
    void enterFolder(const std::string& /*folder*/) override {}
    void visitEntry(const std::string& folder, const platform::FolderEntry& entry) override {
        entries.push_back(folder + entry.name + (entry.isFolder ? "/" : ""));
    }
    void folderUnreadable(const std::string& folder, const std::string& reason) override {
        unreadable.push_back(folder + ": " + reason);
    }

    std::vector<std::string> entries;
    std::vector<std::string> unreadable;
};

EntryList walkAll(const std::string& root, std::size_t listers) {
    std::atomic<bool> stop{false};
    FolderWalk::Options options;
    options.readAheadListers = listers;
    EntryList visitor;
    FolderWalk(stop, options).walk(root, visitor);
    return visitor;
}

std::vector<std::string> walk(const std::string& root, std::size_t listers) {
    return walkAll(root, listers).entries;
}

// A folder that cannot be read is listed as an entry of its parent and contributes nothing
// itself, however many listings run ahead; the folders after it are walked as usual, and the
// visitor learns which folder was skipped and why.
TEST(FolderWalkPosix, AFolderThatCannotBeReadIsSkipped) {
    test::TemporaryFolder folder;
    for (const char* name : {"open/1", "locked/2", "locked/deeper/3", "after/4"}) {
        folder.writeFile(name, "x");
    }
    const std::string root = folder.path() + "/";
    for (const std::size_t listers : {std::size_t{1}, std::size_t{16}}) {
        SCOPED_TRACE(testing::Message() << listers << " listers");
        const std::vector<std::string> readable = walk(root, listers);
        ASSERT_EQ(readable.size(), 8u);
        std::vector<std::string> expected;
        for (const std::string& entry : readable) {
            if (!entry.starts_with(root + "locked/") || entry == root + "locked/") {
                expected.push_back(entry);
            }
        }
        EXPECT_TRUE(walkAll(root, listers).unreadable.empty());
        ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
        ASSERT_EQ(::chmod((folder / "locked").c_str(), 0), 0);
        EXPECT_TRUE(test::passesUnprivileged([&] {
            const EntryList walked = walkAll(root, listers);
            return walked.entries == expected &&
                   walked.unreadable ==
                       std::vector<std::string>{root + "locked/: Permission denied"};
        }));
        ASSERT_EQ(::chmod((folder / "locked").c_str(), 0755), 0);
    }
}

}  // namespace
}  // namespace quillfen
