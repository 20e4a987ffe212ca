#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "ScratchFolder.h"
#include "app/PathHelpers.h"
#include "platform/Platform.h"
#include "platform/windows/LongPath.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsFileSystem.h"
#include "platform/windows/WindowsProcessLauncher.h"
#include "platform/windows/WindowsSystemInfo.h"
#include "search/DuplicateSearch.h"
#include "search/FolderWalk.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

using platform::ArchivedAccess;
using platform::EntryKind;
using platform::EntryStatus;
using platform::FileAccess;
using platform::FolderEntry;
using platform::WindowsFileSystem;

// The reparse data of a junction (a mount point), as the system's headers for drivers lay it out.
struct JunctionData {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
    wchar_t paths[1024];
};

// Makes `link` a junction to the folder `target`; false where the file system has none.
bool makeJunction(const std::string& link, const std::string& target) {
    if (!CreateDirectoryW(platform::longPath(link).c_str(), nullptr)) {
        return false;
    }
    const std::wstring substitute =
        L"\\??\\" + platform::withoutLongPrefix(platform::longPath(target));
    const std::wstring print = platform::withoutLongPrefix(platform::longPath(target));
    JunctionData data{};
    data.tag = IO_REPARSE_TAG_MOUNT_POINT;
    const auto bytes = [](const std::wstring& text) { return static_cast<WORD>(text.size() * 2); };
    data.substituteLength = bytes(substitute);
    data.printOffset = static_cast<WORD>(data.substituteLength + 2);
    data.printLength = bytes(print);
    std::copy(substitute.begin(), substitute.end(), data.paths);
    std::copy(print.begin(), print.end(), data.paths + substitute.size() + 1);
    data.dataLength = static_cast<WORD>(8 + data.printOffset + data.printLength + 2);
    const HANDLE handle =
        CreateFileW(platform::longPath(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD returned = 0;
    const bool made =
        handle != INVALID_HANDLE_VALUE &&
        DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, &data,
                        static_cast<DWORD>(8 + data.dataLength), nullptr, 0, &returned, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    if (!made) {
        RemoveDirectoryW(platform::longPath(link).c_str());
    }
    return made;
}

class WindowsFileSystemTest : public testing::Test {
protected:
    std::string at(const std::string& name) const { return folder / name; }

    std::map<std::string, FolderEntry> listing(const std::string& path) const {
        std::vector<FolderEntry> entries;
        EXPECT_TRUE(files.listFolder(path, entries, never, {}));
        std::map<std::string, FolderEntry> byName;
        for (FolderEntry& entry : entries) {
            byName[entry.name] = std::move(entry);
        }
        return byName;
    }

    bool write(const std::string& path, const std::string& contents) {
        return files.editFile(path, [&](const std::optional<std::string>&) { return contents; });
    }

    test::TemporaryFolder folder;
    WindowsFileSystem files;
    const std::atomic<bool> never{false};
};

// Sizes, times and kinds come with the listing, equal to what a lookup by path says; hidden and
// system files are listed like the rest.
TEST_F(WindowsFileSystemTest, ListingCarriesSizesTimesAndKinds) {
    ASSERT_TRUE(files.createNewFile(at("plain.txt"), "12345"));
    ASSERT_TRUE(files.createNewFile(at("hidden.bin"), std::string(70000, 'x')));
    ASSERT_TRUE(files.createDirectory(at("sub")));
    SetFileAttributesW(platform::longPath(at("hidden.bin")).c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const platform::FileTime time = 132000000000000000ULL + 1234567;
    ASSERT_TRUE(files.setWriteTime(at("plain.txt"), time));

    const auto entries = listing(folder.path());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_TRUE(entries.at("sub").isFolder);
    EXPECT_FALSE(entries.at("plain.txt").isFolder);
    for (const auto& [name, entry] : entries) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(entry.isLink);
        ASSERT_TRUE(entry.status.has_value());
        const EntryStatus byPath = files.entryStatus(at(name));
        EXPECT_EQ(entry.status->kind, byPath.kind);
        EXPECT_EQ(entry.status->writeTime, byPath.writeTime);
        EXPECT_EQ(entry.status->changeTime, byPath.changeTime);
        EXPECT_TRUE(entry.status->identity == byPath.identity);
        if (byPath.kind == EntryKind::File) {
            EXPECT_EQ(entry.status->size, byPath.size);
        }
        EXPECT_TRUE(byPath.identity.has_value());
    }
    EXPECT_EQ(entries.at("plain.txt").status->size, 5);
    EXPECT_EQ(entries.at("plain.txt").status->writeTime, time);
    EXPECT_EQ(entries.at("hidden.bin").status->size, 70000);
    EXPECT_EQ(entries.at("sub").status->kind, EntryKind::Directory);
}

TEST_F(WindowsFileSystemTest, MissingAndUnreadableFoldersListNothing) {
    std::vector<FolderEntry> entries(1);
    EXPECT_FALSE(files.listFolder(at("missing"), entries, never, {}));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(files.entryStatus(at("missing")).kind, EntryKind::Missing);
    EXPECT_EQ(files.kindOf(""), EntryKind::Missing);
}

// One file reached by several spellings and a hard link has one identity; another file has its own.
TEST_F(WindowsFileSystemTest, IdentityNamesTheFileNotThePath) {
    ASSERT_TRUE(files.createDirectory(at("sub")));
    ASSERT_TRUE(files.createNewFile(at("sub\\one"), "1"));
    ASSERT_TRUE(files.createNewFile(at("sub\\two"), "1"));
    const auto identity = [&](const std::string& path) { return files.entryStatus(path).identity; };
    ASSERT_TRUE(identity(at("sub\\one")).has_value());
    EXPECT_EQ(identity(at("sub\\one")), identity(at("sub\\..\\sub\\ONE")));
    EXPECT_EQ(identity(at("sub\\one")), identity(at("sub/one")));
    EXPECT_NE(identity(at("sub\\one")), identity(at("sub\\two")));
    if (CreateHardLinkW(platform::longPath(at("hard")).c_str(),
                        platform::longPath(at("sub\\one")).c_str(), nullptr)) {
        EXPECT_EQ(identity(at("hard")), identity(at("sub\\one")));
    }
}

// A tree far deeper than 260 characters is built, listed, read, edited and walked like a flat one.
TEST_F(WindowsFileSystemTest, LongPathsReachAnyDepth) {
    constexpr int kLevels = 300;
    std::string deepest = folder.path();
    std::vector<std::string> made;
    for (int level = 0; level < kLevels; ++level) {
        deepest += "\\d";
        ASSERT_TRUE(files.createDirectory(deepest)) << "level " << level;
        made.push_back(deepest);
    }
    ASSERT_GT(deepest.size(), 2u * kLevels);
    const std::string file = deepest + "\\deep.txt";
    ASSERT_TRUE(files.createNewFile(file, "found"));
    EXPECT_EQ(files.kindOf(deepest), EntryKind::Directory);
    EXPECT_EQ(files.entryStatus(file).size, 5);
    EXPECT_EQ(files.readFile(file), "found");
    EXPECT_TRUE(write(file, "edited"));
    EXPECT_EQ(files.readFile(file), "edited");
    auto content = files.openForContent(file);
    ASSERT_NE(content, nullptr);
    char buffer[16];
    EXPECT_EQ(content->read(buffer, sizeof buffer), 6);
    content.reset();
    EXPECT_EQ(listing(deepest).count("deep.txt"), 1u);

    class Counter : public FolderVisitor {
    public:
        void enterFolder(const std::string& entered) override { deepest = entered; }
        void visitEntry(const std::string&, const FolderEntry&) override { ++entries; }
        std::string deepest;
        int entries = 0;
    } counter;
    const std::atomic<bool> stop{false};
    FolderWalk(stop, FolderWalk::Options{}).walk(folder.path() + "\\", counter);
    EXPECT_EQ(counter.entries, kLevels + 1);
    EXPECT_EQ(counter.deepest, deepest + "\\");

    // Taken down by the same long paths, as the folder's own removal stops at 260 characters.
    EXPECT_TRUE(files.removeFile(file));
    std::reverse(made.begin(), made.end());
    for (const std::string& path : made) {
        EXPECT_TRUE(RemoveDirectoryW(platform::longPath(path).c_str()));
    }
}

// A name the system's reading would respell reaches the shell and other programs by a spelling
// that reading keeps (its short form, where the file system has one), which opens the same file;
// other names go as they are.
TEST_F(WindowsFileSystemTest, TheShellIsHandedASpellingOfTheSameFile) {
    // Removed by long paths: the standard library's removal would open "CON" as the console.
    const test::ScratchFolder scratch;
    const auto in = [&scratch](const std::string& name) { return scratch.path() + name; };
    for (const char* name : {"x", "x.", "space ", "CON", "nul.txt", "dots..."}) {
        ASSERT_TRUE(files.createNewFile(in(name), name)) << name;
    }
    EXPECT_EQ(platform::shellSpelling(in("x")), platform::toWide(in("x")));
    for (const char* name : {"x.", "space ", "CON", "nul.txt", "dots..."}) {
        const std::wstring spelt = platform::shellSpelling(in(name));
        if (spelt == platform::toWide(in(name))) {
            continue;
        }
        EXPECT_EQ(platform::systemReading(spelt), spelt) << name;
        const HANDLE file = CreateFileW(spelt.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        char body[16] = {};
        DWORD count = 0;
        EXPECT_TRUE(ReadFile(file, body, sizeof body, &count, nullptr));
        CloseHandle(file);
        EXPECT_EQ(std::string(body, count), name);
    }
}

// Names beyond the Basic Multilingual Plane come back from the listing byte for byte.
TEST_F(WindowsFileSystemTest, NamesRoundTripThroughTheSystem) {
    const std::vector<std::string> names{
        "gr\xC3\xBC\xC3\x9F"
        "e.txt",                         // "grüße.txt"
        "smile-\xF0\x9F\x98\x80.txt",    // U+1F600
        "\xE4\xB8\xAD\xE6\x96\x87.txt",  // Chinese
    };
    for (const std::string& name : names) {
        ASSERT_TRUE(files.createNewFile(at(name), name)) << name;
    }
    const auto entries = listing(folder.path());
    EXPECT_EQ(entries.size(), names.size());
    for (const std::string& name : names) {
        ASSERT_EQ(entries.count(name), 1u) << name;
        EXPECT_EQ(files.readFile(at(name)), name);
    }
}

// A name that is not valid UTF-16 travels as WTF-8 and comes back unchanged.
TEST_F(WindowsFileSystemTest, LoneSurrogateNamesRoundTrip) {
    const std::string lone = "lone-\xED\xA0\x80.txt";  // an unpaired high surrogate
    if (!files.createNewFile(at(lone), "lone")) {
        GTEST_SKIP() << "this file system takes no name that is not valid UTF-16";
    }
    EXPECT_EQ(listing(folder.path()).count(lone), 1u);
    EXPECT_EQ(files.readFile(at(lone)), "lone");
}

// A link to a folder is listed as a folder, flagged as a link, and never entered by a walk.
TEST_F(WindowsFileSystemTest, LinkedFoldersAreListedButNotEntered) {
    ASSERT_TRUE(files.createDirectory(at("real")));
    ASSERT_TRUE(files.createNewFile(at("real\\inside.txt"), "x"));
    if (!makeJunction(at("link"), at("real")) &&
        !CreateSymbolicLinkW(
            platform::longPath(at("link")).c_str(), platform::longPath(at("real")).c_str(),
            SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        GTEST_SKIP() << "no folder link can be made here (error " << GetLastError() << ")";
    }
    if (files.entryStatus(at("link")).kind == EntryKind::Missing) {
        GTEST_SKIP() << "the system said it made a folder link, but made none";
    }
    const auto entries = listing(folder.path());
    ASSERT_EQ(entries.count("link"), 1u);
    EXPECT_TRUE(entries.at("link").isFolder);
    EXPECT_TRUE(entries.at("link").isLink);
    EXPECT_EQ(files.entryStatus(at("link")).kind, EntryKind::Other);
    EXPECT_EQ(files.targetStatus(at("link")).kind, EntryKind::Directory);
    EXPECT_EQ(files.openForContent(at("link\\..\\real\\inside.txt")) != nullptr, true);

    class Folders : public FolderVisitor {
    public:
        void enterFolder(const std::string& entered) override { folders.push_back(entered); }
        void visitEntry(const std::string&, const FolderEntry&) override {}
        std::vector<std::string> folders;
    } visitor;
    const std::atomic<bool> stop{false};
    FolderWalk(stop, FolderWalk::Options{}).walk(folder.path() + "\\", visitor);
    EXPECT_EQ(visitor.folders,
              (std::vector<std::string>{folder.path() + "\\", folder.path() + "\\real\\"}));
}

// Content is read while another program holds the file open for writing, and what it writes
// meanwhile is seen; folders and missing files give nothing to read.
TEST_F(WindowsFileSystemTest, ContentIsReadWhileAnotherProgramWrites) {
    const std::wstring path = platform::longPath(at("log.txt"));
    const HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, "first ", 6, &written, nullptr));
    const auto content = files.openForContent(at("log.txt"));
    ASSERT_NE(content, nullptr);
    ASSERT_TRUE(WriteFile(writer, "second", 6, &written, nullptr));
    std::string read(32, '\0');
    const std::int64_t count = content->read(read.data(), read.size());
    EXPECT_EQ(read.substr(0, static_cast<std::size_t>(std::max<std::int64_t>(count, 0))),
              "first second");
    const auto random = files.openForRandomAccess(at("log.txt"));
    ASSERT_NE(random, nullptr);
    EXPECT_EQ(random->readAt(6, read.data(), 6), 6);
    EXPECT_EQ(read.substr(0, 6), "second");
    EXPECT_EQ(random->readAt(100, read.data(), 6), 0);
    CloseHandle(writer);

    ASSERT_TRUE(files.createDirectory(at("folder")));
    EXPECT_EQ(files.openForContent(at("folder")), nullptr);
    EXPECT_EQ(files.openForRandomAccess(at("folder")), nullptr);
    EXPECT_EQ(files.readFile(at("folder")), std::nullopt);
    EXPECT_EQ(files.openForContent(at("missing")), nullptr);
}

TEST_F(WindowsFileSystemTest, EditReplacesCreatesAndDeclines) {
    const std::string path = at("settings.ini");
    std::optional<std::string> seen = "unset";
    EXPECT_TRUE(files.editFile(path, [&](const std::optional<std::string>& current) {
        seen = current;
        return std::optional<std::string>();
    }));
    EXPECT_EQ(seen, std::nullopt);
    EXPECT_EQ(files.kindOf(path), EntryKind::Missing);

    EXPECT_TRUE(write(path, "one"));
    EXPECT_TRUE(files.editFile(path, [&](const std::optional<std::string>& current) {
        seen = current;
        return std::optional<std::string>(*current + "+two");
    }));
    EXPECT_EQ(seen, "one");
    EXPECT_EQ(files.readFile(path), "one+two");
    EXPECT_EQ(listing(folder.path()).size(), 1u);

    EXPECT_TRUE(files.copyFile(path, at("copy.ini")));
    EXPECT_EQ(files.readFile(at("copy.ini")), "one+two");
    EXPECT_FALSE(files.createNewFile(at("copy.ini"), "again"));
    EXPECT_TRUE(files.removeFile(at("copy.ini")));
    EXPECT_FALSE(files.removeFile(at("copy.ini")));
}

// Until the new file takes the old one's place, readers see the old file whole.
TEST_F(WindowsFileSystemTest, EditReplacesInOneStep) {
    const std::string path = at("settings.ini");
    ASSERT_TRUE(write(path, "old"));
    std::optional<std::string> duringReplace;
    std::string temporary;
    WindowsFileSystem interrupted([&](const std::string& temporaryPath) {
        temporary = temporaryPath;
        duringReplace = files.readFile(path);
    });
    EXPECT_TRUE(interrupted.editFile(
        path, [](const std::optional<std::string>&) { return std::optional<std::string>("new"); }));
    EXPECT_EQ(duringReplace, "old");
    EXPECT_TRUE(temporary.starts_with(at(".settings.ini."))) << temporary;
    EXPECT_EQ(files.readFile(path), "new");
    EXPECT_EQ(files.kindOf(temporary), EntryKind::Missing);
}

// An index is saved over while a search in another program holds it mapped: the search keeps
// reading the old bytes, the path gives the new, and nothing is left beside it once both let go.
TEST_F(WindowsFileSystemTest, AMappedFileIsSavedOverWhileItsReaderKeepsTheOldBytes) {
    const std::string path = at("tree.qfi");
    ASSERT_FALSE(files.saveFile(path, "old index"));
    ASSERT_TRUE(files.setWriteTime(path, 132000000000000000ULL));
    {
        const std::unique_ptr<platform::MappedFile> mapped = files.mapFile(path);
        ASSERT_TRUE(mapped);
        EXPECT_EQ(files.saveFile(path, "new index"), std::nullopt);
        EXPECT_EQ(mapped->bytes(), "old index");
        EXPECT_EQ(files.readFile(path), "new index");
    }
    EXPECT_EQ(files.saveFile(path, "newer index"), std::nullopt);
    EXPECT_EQ(files.readFile(path), "newer index");
    EXPECT_EQ(listing(folder.path()).size(), 1u);
}

TEST_F(WindowsFileSystemTest, ReadOnlyFilesAreNotEdited) {
    const std::string path = at("locked.ini");
    ASSERT_TRUE(write(path, "kept"));
    ASSERT_TRUE(files.restoreAccess(path, {std::nullopt, true}));
    bool asked = false;
    EXPECT_FALSE(files.editFile(path, [&](const std::optional<std::string>&) {
        asked = true;
        return std::optional<std::string>("changed");
    }));
    EXPECT_FALSE(asked);
    EXPECT_EQ(files.readFile(path), "kept");
    ASSERT_TRUE(files.setAccess(path, FileAccess::Private));
    EXPECT_TRUE(write(path, "changed"));
    EXPECT_EQ(files.readFile(path), "changed");
}

// Only the owner's write bit of recorded mode bits has a meaning here.
TEST_F(WindowsFileSystemTest, ArchivedAccessDecidesOnlyTheReadOnlyMark) {
    const struct {
        ArchivedAccess access;
        bool readOnly;
    } cases[] = {{{0444, false}, true},
                 {{0644, true}, false},
                 {{std::nullopt, true}, true},
                 {{std::nullopt, false}, false}};
    const std::string path = at("tool.exe");
    ASSERT_TRUE(write(path, "x"));
    for (const auto& c : cases) {
        EXPECT_TRUE(files.restoreAccess(path, c.access));
        const DWORD attributes = GetFileAttributesW(platform::longPath(path).c_str());
        EXPECT_EQ((attributes & FILE_ATTRIBUTE_READONLY) != 0, c.readOnly) << c.readOnly;
    }
    EXPECT_TRUE(files.setAccess(path, FileAccess::PrivateProgram));
    EXPECT_EQ(GetFileAttributesW(platform::longPath(path).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(files.setAccess(at("missing"), FileAccess::Private));
}

// Temporaries of dead writers are cleared by the next edit; a young one may be a live writer's.
TEST_F(WindowsFileSystemTest, StaleTemporariesAreRemoved) {
    const std::string path = at("settings.ini");
    ASSERT_TRUE(write(path, "one"));
    for (const char* name : {".settings.ini.Ab12Cd", ".settings.ini.young1",
                             ".settings.ini.toolong", ".other.ini.Ab12Cd"}) {
        ASSERT_TRUE(files.createNewFile(at(name), "left"));
    }
    const platform::FileTime hourAgo = files.entryStatus(path).writeTime - 36'000'000'000ULL;
    for (const char* name :
         {".settings.ini.Ab12Cd", ".settings.ini.toolong", ".other.ini.Ab12Cd"}) {
        ASSERT_TRUE(files.setWriteTime(at(name), hourAgo));
    }
    EXPECT_TRUE(write(path, "two"));
    const auto entries = listing(folder.path());
    EXPECT_EQ(entries.count(".settings.ini.Ab12Cd"), 0u);
    EXPECT_EQ(entries.count(".settings.ini.young1"), 1u);
    EXPECT_EQ(entries.count(".settings.ini.toolong"), 1u);
    EXPECT_EQ(entries.count(".other.ini.Ab12Cd"), 1u);
}

// Editors take turns: no increment is lost however their reads and writes interleave.
TEST_F(WindowsFileSystemTest, ConcurrentEditorsTakeTurns) {
    const std::string path = at("count.ini");
    ASSERT_TRUE(write(path, "0"));
    constexpr int kEditors = 4;
    constexpr int kRounds = 10;
    std::vector<std::thread> editors;
    for (int editor = 0; editor < kEditors; ++editor) {
        editors.emplace_back([&] {
            WindowsFileSystem own;
            for (int round = 0; round < kRounds; ++round) {
                own.editFile(path, [](const std::optional<std::string>& current) {
                    return std::optional<std::string>(std::to_string(std::stoi(*current) + 1));
                });
            }
        });
    }
    for (std::thread& editor : editors) {
        editor.join();
    }
    EXPECT_EQ(files.readFile(path), std::to_string(kEditors * kRounds));
}

TEST_F(WindowsFileSystemTest, PrivateTemporaryFoldersAreNewEachTime) {
    const std::string first = files.createPrivateTemporaryFolder("quillfen-test-");
    const std::string second = files.createPrivateTemporaryFolder("quillfen-test-");
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.ends_with('\\'));
    EXPECT_EQ(first.find("\\\\?\\"), std::string::npos);
    for (const std::string& made : {first, second}) {
        EXPECT_TRUE(files.isWritableDirectory(made));
        EXPECT_TRUE(files.createNewFile(made + "file", "x"));
        EXPECT_TRUE(files.removeFile(made + "file"));
        EXPECT_TRUE(RemoveDirectoryW(platform::longPath(made).c_str()));
    }
}

// Whether another process may take the lock now: the process tests' child tries.
bool anotherProcessTakes(const std::string& path) {
    const std::string self = platform::WindowsSystemInfo().executablePath();
    const std::string child = self.substr(0, self.rfind('\\') + 1) + "quillfen_argv_echo.exe";
    const auto outcome =
        platform::WindowsProcessLauncher().run({child, "lock", path}, {true, false, -1});
    return outcome.exitCode == 0u;
}

// The update's lock has one holder at a time, in this process or another, until it lets go. It
// is a plain file: a folder in its place, or no folder for it, gives no lock.
TEST_F(WindowsFileSystemTest, ALockHasOneHolderAtATime) {
    const std::string lock = at("update.lock");
    {
        const std::unique_ptr<platform::HeldLock> held = files.tryLock(lock);
        ASSERT_TRUE(held);
        EXPECT_FALSE(files.tryLock(lock));
        EXPECT_FALSE(anotherProcessTakes(lock));
    }
    EXPECT_TRUE(anotherProcessTakes(lock));
    EXPECT_TRUE(files.tryLock(lock));
    ASSERT_TRUE(CreateDirectoryW(platform::longPath(at("folder")).c_str(), nullptr));
    for (const std::string& path : {at("folder"), at("missing\\update.lock")}) {
        EXPECT_FALSE(files.tryLock(path)) << path;
    }
    EXPECT_EQ(files.kindOf(at("missing")), EntryKind::Missing);
}

// The reference is never its own duplicate, although the walk reaches it by another spelling
// than the one typed.
TEST_F(WindowsFileSystemTest, DuplicateSearchLeavesOutTheReference) {
    folder.writeFile("a/Report.doc", "same body");
    folder.writeFile("b/copy.doc", "same body");
    folder.writeFile("b/other.doc", "other body");
    class Rows : public SearchObserver {
    public:
        void searchingFolder(const std::string&) override {}
        void comparingFile(const std::string&) override {}
        void found(const FoundEntry& entry) override { rows.push_back(entry.folder + entry.name); }
        std::vector<std::string> rows;
    } observer;
    DuplicateInputs inputs{
        folder.path() + "\\b\\..\\A\\REPORT.DOC", folder.path(), false, false, false, true};
    const DuplicateRequest request = buildDuplicateRequest(inputs);
    const std::atomic<bool> stop{false};
    DuplicateSearch(request, observer, stop, false).run();
    EXPECT_EQ(observer.rows, std::vector<std::string>{folder.path() + "\\b\\copy.doc"});
}

}  // namespace
}  // namespace quillfen
