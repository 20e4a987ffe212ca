#include "platform/windows/WindowsVolumes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/windows/WideText.h"

namespace quillfen::platform {
namespace {

// A folder tree of its own below the temporary folder, removed again after the test: the roots of
// the machine are only ever looked at, never walked (Wine's Z: is the whole Linux file system).
class VolumeTree : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temporary[MAX_PATH + 1] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH + 1, temporary), 0u);
        root_ = fromWide(temporary) + "quillfen-volumes-" + std::to_string(GetCurrentProcessId()) +
                "\\";
        ASSERT_TRUE(makeFolder(""));
    }
    void TearDown() override {
        if (!substitute_.empty()) {
            DefineDosDeviceW(DDD_REMOVE_DEFINITION, toWide(substitute_).c_str(), nullptr);
        }
        for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) {
            RemoveDirectoryW(toWide(*folder).c_str());
        }
    }

    bool makeFolder(const std::string& relative) {
        const std::string path = root_ + relative;
        made_.push_back(path);
        return CreateDirectoryW(toWide(path).c_str(), nullptr) != FALSE;
    }

    // Gives the tree a drive letter of its own, as "subst" does; empty when none is free.
    // (Wine lists such a drive but opens nothing on it; a test that needs its files checks.)
    std::string substituteDrive() {
        const DWORD used = GetLogicalDrives();
        for (char letter = 'P'; letter <= 'Y'; ++letter) {
            if ((used & (1u << (letter - 'A'))) != 0) {
                continue;
            }
            const std::string drive = std::string(1, letter) + ":";
            std::string target = root_;
            target.pop_back();
            if (!DefineDosDeviceW(0, toWide(drive).c_str(), toWide(target).c_str())) {
                continue;
            }
            substitute_ = drive;
            return drive + "\\";
        }
        return {};
    }

    std::string root_;
    std::vector<std::string> made_;
    std::string substitute_;
    const WindowsVolumes volumes_;
};

bool isDriveRoot(const std::string& root) {
    return root.size() == 3 && root[0] >= 'A' && root[0] <= 'Z' && root[1] == ':' &&
           root[2] == '\\';
}

TEST_F(VolumeTree, SearchRootsAreTheDriveRootsInOrder) {
    const std::vector<std::string> roots = volumes_.searchRoots();
    ASSERT_FALSE(roots.empty());
    EXPECT_TRUE(std::all_of(roots.begin(), roots.end(), isDriveRoot))
        << testing::PrintToString(roots);
    EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
    EXPECT_EQ(std::adjacent_find(roots.begin(), roots.end()), roots.end());
    EXPECT_NE(std::find(roots.begin(), roots.end(), "C:\\"), roots.end());
    EXPECT_EQ(volumes_.mountPoints(), roots);
}

TEST_F(VolumeTree, SearchRootsFollowTheDrivesAsTheyComeAndGo) {
    const std::string drive = substituteDrive();
    if (drive.empty()) {
        GTEST_SKIP() << "no drive letter could be given to a folder";
    }
    const std::vector<std::string> roots = volumes_.searchRoots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), drive), roots.end())
        << testing::PrintToString(roots);
}

struct RootCase {
    const char* folder;
    bool root;
};

TEST_F(VolumeTree, DriveRootsAreRootsHoweverSpelt) {
    const RootCase cases[] = {
        {"C:\\", true},         {"c:\\", true},
        {"C:/", true},          {"C:\\windows\\..\\", true},
        {"C:\\.\\", true},      {"C:\\windows\\", false},
        {"C:\\windows", false}, {"C:\\no such folder\\", false},
    };
    for (const RootCase& c : cases) {
        EXPECT_EQ(volumes_.isMountRoot(c.folder), c.root) << c.folder;
    }
    for (const std::string& root : volumes_.searchRoots()) {
        if (GetFileAttributesW(toWide(root).c_str()) != INVALID_FILE_ATTRIBUTES) {
            EXPECT_TRUE(volumes_.isMountRoot(root)) << root;
        }
    }
}

// The rule that keeps a walk out of recycle bins: the name is one of these, and the folder holding
// it is a drive root. A folder named like a recycle bin deeper down is searched like any other.
TEST_F(VolumeTree, RecycleBinsCountOnlyAtADriveRoot) {
    EXPECT_EQ(volumes_.recycleBinNames(),
              (std::vector<std::string>{"$RECYCLE.BIN", "RECYCLER", "RECYCLED"}));
    EXPECT_EQ(volumes_.userTrashFolder(), "");
    ASSERT_TRUE(makeFolder("RECYCLER"));
    ASSERT_TRUE(makeFolder("$Recycle.Bin"));
    ASSERT_TRUE(makeFolder("Backup"));
    ASSERT_TRUE(makeFolder("Backup\\RECYCLER"));
    EXPECT_FALSE(volumes_.isMountRoot(root_));
    EXPECT_FALSE(volumes_.isMountRoot(root_ + "Backup\\"));

    const std::string drive = substituteDrive();
    if (drive.empty() || GetFileAttributesW(toWide(drive).c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no drive letter could be given to a folder";
    }
    EXPECT_TRUE(volumes_.isMountRoot(drive)) << drive;
    EXPECT_FALSE(volumes_.isMountRoot(drive + "Backup\\")) << drive;
    EXPECT_NE(GetFileAttributesW(toWide(drive + "RECYCLER").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(VolumeTree, ResolvedFolderFollowsDotsAndKeepsWhatCannotBeResolved) {
    ASSERT_TRUE(makeFolder("inner"));
    const std::string resolved = volumes_.resolvedFolder(root_ + "inner\\..\\.\\inner\\");
    EXPECT_EQ(CompareStringOrdinal(toWide(resolved).c_str(), -1, toWide(root_ + "inner\\").c_str(),
                                   -1, TRUE),
              CSTR_EQUAL)
        << resolved;
    EXPECT_EQ(volumes_.resolvedFolder("C:\\windows\\..\\"), "C:\\");
    EXPECT_EQ(volumes_.resolvedFolder(root_ + "missing\\"), root_ + "missing\\");
}

}  // namespace
}  // namespace quillfen::platform
