#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "app/PathHelpers.h"
#include "app/RunCommand.h"
#include "platform/Platform.h"
#include "platform/linux/DesktopEditor.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxTextServices.h"
#include "platform/linux/LinuxVolumes.h"
#include "platform/linux/SystemLocale.h"
#include "support/DeepTree.h"
#include "support/TemporaryFolder.h"
#include "support/TestPlatform.h"

namespace quillfen {
namespace {

TEST(SystemLocale, GivesWindowsLanguageIdentifiersAndEnglishNames) {
    const struct {
        const char* posixName;
        int id;
        const char* englishName;
    } cases[] = {
        {"zh_CN.UTF-8", 2052, "Chinese"},
        {"zh_TW.UTF-8", 1028, "Chinese"},
        {"de_DE@euro", 1031, "German"},
        {"de", 1031, "German"},
        {"pt_BR.utf8", 1046, "Portuguese"},
        {"en_US.UTF-8", 1033, "English"},
        {"C", 1033, "English"},
        {"POSIX", 1033, "English"},
        {"", 1033, "English"},
        {"C.UTF-8", 1033, "English"},
    };
    for (const auto& c : cases) {
        const platform::SystemLocale locale(c.posixName);
        EXPECT_EQ(locale.languageId(), c.id) << c.posixName;
        EXPECT_EQ(locale.englishLanguageName(), c.englishName) << c.posixName;
    }
}

TEST(SystemLocale, PrefersLcAllThenLcMessagesThenLang) {
    const char* saved[] = {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
    const std::string savedValues[] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "",
                                       saved[2] ? saved[2] : ""};
    ::setenv("LANG", "de_DE.UTF-8", 1);
    ::setenv("LC_MESSAGES", "zh_CN.UTF-8", 1);
    ::unsetenv("LC_ALL");
    EXPECT_EQ(platform::SystemLocale::fromEnvironment().languageId(), 2052);
    ::setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(platform::SystemLocale::fromEnvironment().languageId(), 1036);
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i] != nullptr) {
            ::setenv(names[i], savedValues[i].c_str(), 1);
        } else {
            ::unsetenv(names[i]);
        }
    }
}

// A copy is installed when its data folder lies where the install rules put it from the programs'
// folder; a language folder beside the program (a build folder, or what an older version wrote
// into its installation) does not make it portable again.
TEST(LinuxSystemInfo, AnInstalledCopyIsKnownByItsDataFolderUnderThePrefix) {
    test::TemporaryFolder folder;
    const struct {
        std::vector<std::string> folders;
        bool installed;
    } cases[] = {{{"usr/bin", "usr/share/quillfen/Language"}, true},
                 {{"usr/bin/Language", "usr/share/quillfen"}, true},
                 {{"usr/bin/Language"}, false},
                 {{"usr/bin", "usr/share"}, false}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(folder / "usr");
        for (const std::string& made : c.folders) {
            std::filesystem::create_directories(folder / made);
        }
        test::TestSystemInfo system;
        system.fixedExecutablePath = folder / "usr/bin/quillfen";
        EXPECT_EQ(system.isInstalledCopy(), c.installed) << c.folders.back();
    }
}

TEST(LinuxTextServices, FoldsValidUtf8AndKeepsOtherBytes) {
    const platform::LinuxTextServices text;
    const struct {
        std::string input;
        std::string folded;
    } cases[] = {
        {"ABC.Txt", "abc.txt"},
        {"ÄÖÜ ÉCOLE ΣΟΦΙΑ", "äöü école σοφια"},
        {"A\xff\xfe"
         "B",
         "a\xff\xfe"
         "b"},
        {"\xc3", "\xc3"},                    // cut short
        {"\xc3\x28Z", "\xc3\x28z"},          // bad continuation
        {"\xed\xa0\x80X", "\xed\xa0\x80x"},  // encoded surrogate
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text.foldCase(c.input), c.folded) << c.input;
    }
}

TEST(LinuxTextServices, ConvertsToAndFromUtf16) {
    const platform::LinuxTextServices text;
    EXPECT_EQ(text.toUtf16("a中😀"), u"a中😀");
    EXPECT_EQ(text.fromUtf16(u"a中😀"), "a中😀");
    EXPECT_EQ(text.toUtf16("a\xff"), u"a\uFFFD");
}

// Content and 8-bit settings files are searched and stored as the text is typed.
TEST(LinuxTextServices, EightBitFormIsTheTextAsTyped) {
    const platform::LinuxTextServices text;
    EXPECT_EQ(text.ansiCodePage(), platform::TextServices::kUtf8CodePage);
    for (const std::string bytes : {"Gr\xc3\xbc\xc3\x9f"
                                    "e",
                                    "a\xff", ""}) {
        EXPECT_EQ(text.toAnsiCodePage(bytes), bytes);
        EXPECT_EQ(text.fromAnsiCodePage(bytes), bytes);
    }
}

TEST(DesktopEditor, TakesTheExecKeyOfAWindowedApplication) {
    using platform::DesktopEditor;
    EXPECT_EQ(DesktopEditor::commandOfDesktopEntry(
                  "[Desktop Entry]\nName=Ed\nExec=gedit --new-window %U\n[Desktop Action x]\n"
                  "Exec=other\n"),
              "gedit --new-window");
    EXPECT_EQ(
        DesktopEditor::commandOfDesktopEntry("[Desktop Entry]\nExec=\"/opt/a b/ed\" %f 100%%"),
        "\"/opt/a b/ed\"  100%");
    EXPECT_EQ(DesktopEditor::commandOfDesktopEntry("[Desktop Entry]\nExec=vim %F\nTerminal=true\n"),
              std::nullopt);
    EXPECT_EQ(DesktopEditor::commandOfDesktopEntry("[Desktop Entry]\nName=NoExec\n"), std::nullopt);
}

// The environment variables the desktop's associations are found by, set for one test and put
// back after it.
class DesktopEnvironment {
public:
    DesktopEnvironment(const test::TemporaryFolder& folder, const std::string& path) {
        set("XDG_CONFIG_HOME", folder / "config");
        set("XDG_CONFIG_DIRS", folder / "config-dirs");
        set("XDG_DATA_HOME", folder / "data");
        set("XDG_DATA_DIRS", folder / "data-dirs");
        set("PATH", path);
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "GNOME_DESKTOP_SESSION_ID", "XDG_MENU_PREFIX"}) {
            set(name, std::nullopt);
        }
    }
    DesktopEnvironment(const DesktopEnvironment&) = delete;
    DesktopEnvironment& operator=(const DesktopEnvironment&) = delete;
    ~DesktopEnvironment() {
        for (const auto& [name, value] : saved_) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }

private:
    void set(const std::string& name, const std::optional<std::string>& value) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace(name, old == nullptr ? std::nullopt : std::optional<std::string>(old));
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

// The editor is the desktop's text application with a window of its own, found through the
// associations of a fake desktop (nothing is started but the fake xdg-mime's helpers).
TEST(DesktopEditor, OffersTheDesktopsTextEditor) {
    const std::string windowed = "[Desktop Entry]\nExec=fake-editor --new-window %U\n";
    const std::string terminal = "[Desktop Entry]\nExec=fake-vim %F\nTerminal=true\n";
    const struct {
        const char* what;
        std::map<std::string, std::string> files;
        bool systemTools;
        std::string editor;
    } cases[] = {
        {"the default for text/plain, as xdg-mime answers",
         {{"config/mimeapps.list", "[Default Applications]\ntext/plain=fake-editor.desktop\n"},
          {"data/applications/fake-editor.desktop", windowed}},
         true,
         "fake-editor --new-window"},
        {"a windowed application beside a terminal default, not a removed one",
         {{"config/mimeapps.list",
           "[Default Applications]\ntext/plain=fake-vim.desktop\n[Removed Associations]\n"
           "text/plain=fake-editor.desktop\n[Added Associations]\n"
           "text/plain=kde-fake-gui.desktop;\n"},
          {"data/applications/fake-vim.desktop", terminal},
          {"data/applications/fake-editor.desktop", windowed},
          {"data-dirs/applications/kde/fake-gui.desktop", "[Desktop Entry]\nExec=fake-gui\n"}},
         false,
         "fake-gui"},
        {"the terminal default in the system's terminal",
         {{"data-dirs/applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=fake-vim.desktop;\n"},
          {"data-dirs/applications/fake-vim.desktop", terminal},
          {"bin/x-terminal-emulator", "#!/bin/sh\n"}},
         false,
         "x-terminal-emulator -e fake-vim"},
        {"no text editor at all",
         {{"config/mimeapps.list", "[Default Applications]\ntext/plain=fake-vim.desktop\n"},
          {"data/applications/fake-vim.desktop", terminal}},
         false,
         "xdg-open"},
    };
    for (const auto& c : cases) {
        test::TemporaryFolder folder;
        std::filesystem::create_directories(folder / "bin");
        for (const auto& [name, text] : c.files) {
            folder.writeFile(name, text);
        }
        if (c.files.contains("bin/x-terminal-emulator")) {
            ::chmod((folder / "bin/x-terminal-emulator").c_str(), 0700);
        }
        const DesktopEnvironment environment(
            folder, folder / "bin" + (c.systemTools ? ":/usr/bin:/bin" : ""));
        const std::string editor = platform::DesktopEditor::find();
        EXPECT_EQ(editor, c.editor) << c.what;
        EXPECT_EQ(platform::DesktopEditor::isStandIn(editor), c.editor == "xdg-open") << c.what;
    }
}

class ProcessTest : public testing::Test {
protected:
    test::TemporaryFolder folder;
};

TEST_F(ProcessTest, PassesEveryArgumentAsItIs) {
    const std::string out = folder / "args.txt";
    const std::vector<std::string> arguments = {
        "/bin/sh", "-c", "printf '%s\\n' \"$@\" > \"$0\"", out, "a b", "\"quoted\"", "$HOME", "*"};
    ASSERT_EQ(runCommand(arguments, true, true, -1), 0);
    EXPECT_EQ(folder.readFile("args.txt"), "a b\n\"quoted\"\n$HOME\n*\n");
}

TEST_F(ProcessTest, CommandTextIsSplitAtBlanksOutsideQuotes) {
    folder.writeFile("a b.sh",
                     "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/out.txt\"\n");
    std::filesystem::permissions(folder / "a b.sh", std::filesystem::perms::owner_all);
    ASSERT_EQ(runCommand("\"" + folder / "a b.sh" + "\" one \"two three\"", true, true, 0), 0);
    EXPECT_EQ(folder.readFile("out.txt"), "one\ntwo three\n");
}

TEST_F(ProcessTest, MissingProgramReportsFailure) {
    EXPECT_EQ(runCommand(std::vector<std::string>{folder / "no-such-program"}, true, true, -1), -1);
    EXPECT_EQ(runCommand("", false, true, -1), -1);
}

TEST_F(ProcessTest, TimeOutEndsAProgramThatRunsOn) {
    const std::string pidFile = folder / "pid";
    ASSERT_EQ(
        runCommand({"/bin/sh", "-c", "echo $$ > \"$0\"; exec sleep 60", pidFile}, true, true, 300),
        0);
    const int pid = std::stoi(folder.readFile("pid"));
    EXPECT_NE(::kill(pid, 0), 0) << "the program should have been ended and reaped";
}

TEST_F(ProcessTest, PathLookupsIgnoreOneTrailingSeparator) {
    folder.writeFile("file.txt", "x");
    EXPECT_TRUE(isDirectory(folder.path()));
    EXPECT_TRUE(isDirectory(folder.path() + "/"));
    EXPECT_TRUE(isDirectory("/"));
    EXPECT_FALSE(isDirectory(folder / "file.txt"));
    EXPECT_TRUE(pathExists(folder / "file.txt"));
    EXPECT_TRUE(pathExists(folder.path() + "/"));
    EXPECT_FALSE(pathExists(folder / "missing"));
}

// Only "/" is a root here: "C:" is an ordinary name and "//server/share" an absolute path.
TEST(LinuxPathRules, OnlyTheSlashIsARoot) {
    const platform::LinuxFileSystem files;
    const std::vector<std::pair<std::string, std::size_t>> roots{
        {"", 0}, {"/", 1}, {"/home/", 1}, {"relative/", 0}, {"C:\\", 0}, {"//server/share", 1}};
    for (const auto& [path, length] : roots) {
        EXPECT_EQ(files.rootLength(path), length) << path;
    }
    const std::vector<std::pair<std::string, std::string>> trimmed{
        {"/", "/"}, {"/home/", "/home"}, {"relative/", "relative"}, {"a", "a"}, {"", ""}};
    for (const auto& [path, without] : trimmed) {
        EXPECT_EQ(withoutTrailingSeparator(path), without) << path;
    }
}

TEST_F(ProcessTest, DirectoryChainCreatesEveryLevel) {
    createDirectoryChain(folder / "a/b/c/");
    createDirectoryChain(folder / "a/b/d");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a/b/c"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a/b/d"));
    folder.writeFile("file", "x");
    createDirectoryChain(folder / "file/sub");
    EXPECT_FALSE(std::filesystem::exists(folder / "file/sub"));
}

// The listing looks up exactly the entries it is asked for, relative to the open folder, with the
// same result as a lookup by path; a link is described, not followed.
TEST(LinuxFolderListing, LooksUpTheStatusOfTheEntriesItIsAskedFor) {
    const test::TemporaryFolder folder;
    folder.writeFile("wanted.txt", "12345");
    folder.writeFile("other.log", "x");
    std::filesystem::create_directory(folder / "sub");
    std::filesystem::create_symlink(folder / "sub", folder / "link.txt");
    const platform::FileSystem& files = platform::currentPlatform().files();
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    ASSERT_TRUE(files.listFolder(folder.path() + "/", entries, never,
                                 [](const platform::FolderEntry& entry) {
                                     return entry.isFolder || entry.name.ends_with(".txt");
                                 }));
    std::map<std::string, std::optional<platform::EntryStatus>> statuses;
    for (const platform::FolderEntry& entry : entries) {
        statuses[entry.name] = entry.status;
    }
    ASSERT_EQ(statuses.size(), 4u);
    EXPECT_FALSE(statuses["other.log"].has_value());
    for (const char* name : {"wanted.txt", "sub", "link.txt"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(statuses[name].has_value());
        const platform::EntryStatus byPath = files.entryStatus(folder / name);
        EXPECT_EQ(statuses[name]->kind, byPath.kind);
        EXPECT_EQ(statuses[name]->size, byPath.size);
        EXPECT_EQ(statuses[name]->writeTime, byPath.writeTime);
        EXPECT_EQ(statuses[name]->identity, byPath.identity);
    }
    EXPECT_EQ(statuses["wanted.txt"]->size, 5);
    EXPECT_EQ(statuses["link.txt"]->kind, platform::EntryKind::Other);
}

// Every file operation reaches a path longer than the system takes in one call, as it reaches a
// short one; a path with a separator doubled at a stretch's end and one through ".." too.
// Folders keep their search bit, or their owner could no longer enter them; links are refused,
// since the mode would land on whatever they point at.
TEST(LinuxFileAccess, GivesEachUseItsModeBits) {
    using platform::FileAccess;
    const struct {
        FileAccess access;
        unsigned file;
        unsigned folder;
    } cases[] = {{FileAccess::Private, 0600, 0700},
                 {FileAccess::PrivateProgram, 0700, 0700},
                 {FileAccess::Shared, 0644, 0755},
                 {FileAccess::SharedProgram, 0755, 0755}};
    platform::FileSystem& files = platform::currentPlatform().files();
    const test::TemporaryFolder folder;
    folder.writeFile("file", "x");
    std::filesystem::create_directory(folder / "folder");
    const std::string outside = folder / "outside";
    folder.writeFile("outside", "x");
    std::filesystem::permissions(outside, std::filesystem::perms(0640));
    std::filesystem::create_symlink(outside, folder / "link");
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.access));
        EXPECT_TRUE(files.setAccess(folder / "file", c.access));
        EXPECT_TRUE(files.setAccess(folder / "folder", c.access));
        EXPECT_FALSE(files.setAccess(folder / "link", c.access));
        EXPECT_EQ(std::filesystem::status(folder / "file").permissions(),
                  std::filesystem::perms(c.file));
        EXPECT_EQ(std::filesystem::status(folder / "folder").permissions(),
                  std::filesystem::perms(c.folder));
        EXPECT_EQ(std::filesystem::status(outside).permissions(), std::filesystem::perms(0640));
    }
}

// Without recorded mode bits, a read-only mark takes the write bits away and nothing else.
TEST(LinuxFileAccess, RestoresWhatAnArchiveRecorded) {
    const struct {
        platform::ArchivedAccess access;
        unsigned expected;
    } cases[] = {{{04755, false}, 0755},
                 {{0444, false}, 0444},
                 {{std::nullopt, true}, 0550},
                 {{std::nullopt, false}, 0750}};
    platform::FileSystem& files = platform::currentPlatform().files();
    const test::TemporaryFolder folder;
    folder.writeFile("tool", "x");
    for (const auto& c : cases) {
        std::filesystem::permissions(folder / "tool", std::filesystem::perms(0750));
        EXPECT_TRUE(files.restoreAccess(folder / "tool", c.access));
        EXPECT_EQ(std::filesystem::status(folder / "tool").permissions(),
                  std::filesystem::perms(c.expected))
            << c.expected;
    }
    EXPECT_FALSE(files.restoreAccess(folder / "missing", {0644, false}));
}

TEST(LinuxLongPaths, EveryFileOperationReachesThem) {
    const test::TemporaryFolder folder;
    test::DeepTree deep(folder.path(), 36, std::string(250, 'x'));
    const std::string bottom = deep.writeFile("file.txt", "12345");
    ASSERT_GT(bottom.size(), 2u * 4096u);
    platform::FileSystem& files = platform::currentPlatform().files();
    const std::string up = deep.bottom() + "/../" + std::string(250, 'x') + "//file.txt";
    for (const std::string& path : {bottom, up}) {
        SCOPED_TRACE(path.size());
        EXPECT_EQ(files.kindOf(path), platform::EntryKind::File);
        EXPECT_EQ(files.entryStatus(path).size, 5);
        EXPECT_EQ(files.targetStatus(path).size, 5);
        ASSERT_NE(files.openForContent(path), nullptr);
        const auto random = files.openForRandomAccess(path);
        ASSERT_NE(random, nullptr);
        char bytes[2] = {};
        EXPECT_EQ(random->readAt(3, bytes, 2), 2);
        EXPECT_EQ(std::string(bytes, 2), "45");
    }
    EXPECT_TRUE(files.setWriteTime(bottom, 116444736000000000));
    EXPECT_EQ(files.entryStatus(bottom).writeTime, 116444736000000000u);
    EXPECT_TRUE(files.setAccess(bottom, platform::FileAccess::Private));
    EXPECT_TRUE(files.isWritableDirectory(deep.bottom()));
    EXPECT_TRUE(files.createDirectory(deep.bottom() + "/made"));
    EXPECT_EQ(files.kindOf(deep.bottom() + "/made/"), platform::EntryKind::Directory);
    EXPECT_TRUE(files.createNewFile(deep.bottom() + "/made/new.txt", "abc"));
    EXPECT_FALSE(files.createNewFile(deep.bottom() + "/made/new.txt", "abc"));
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    ASSERT_TRUE(files.listFolder(deep.bottom() + "/made/", entries, never, {}));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.front().name, "new.txt");
    EXPECT_TRUE(files.removeFile(deep.bottom() + "/made/new.txt"));
    EXPECT_EQ(files.kindOf(deep.bottom() + "/made/new.txt"), platform::EntryKind::Missing);
    EXPECT_EQ(files.kindOf(deep.bottom() + "/missing/" + std::string(250, 'x') + "/file.txt"),
              platform::EntryKind::Missing);
}

bool listedAsMountPoint(const std::string& path) {
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);) {
        if (line.find(" " + path + " ") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// A mount's root is known by the folder itself, however the path to it is spelt.
TEST(LinuxVolumes, TellsAMountRootByTheFolderNotItsSpelling) {
    const platform::LinuxVolumes volumes;
    const test::TemporaryFolder folder;
    std::filesystem::create_directory(folder / "plain");
    std::filesystem::create_directory_symlink("/", folder / "top");
    EXPECT_TRUE(volumes.isMountRoot("/"));
    EXPECT_TRUE(volumes.isMountRoot("/."));
    EXPECT_TRUE(volumes.isMountRoot(folder / "top/"));
    EXPECT_FALSE(volumes.isMountRoot(folder / "plain/"));
    EXPECT_FALSE(volumes.isMountRoot(folder / "missing/"));
    for (const std::string point : {"/proc", "/dev/shm"}) {
        if (listedAsMountPoint(point)) {
            EXPECT_TRUE(volumes.isMountRoot(point + "/")) << point;
            EXPECT_TRUE(volumes.isMountRoot(point + "/./")) << point;
        }
    }
}

}  // namespace
}  // namespace quillfen
