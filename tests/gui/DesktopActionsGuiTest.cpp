#include <gtest/gtest.h>

#include <QMimeData>
#include <QStringList>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/TemporaryFolder.h"
#include "ui/qt/FileMimeData.h"
#include "ui/qt/PortalAppChooser.h"
#include "ui/qt/QtDesktopShell.h"

namespace quillfen {
namespace {

// Points the home and data folders into a temporary folder for one test, so the trash the
// desktop's rules choose is one the test can look into, on the same file system as the files.
class ScopedHome {
public:
    explicit ScopedHome(const std::string& home) {
        for (const char* name : {"HOME", "XDG_DATA_HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value == nullptr ? std::nullopt : std::optional(value));
        }
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
    }
    ~ScopedHome() {
        for (const auto& [name, value] : saved_) {
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(DesktopActionsGui, MoveToTrashPutsTheFileInTheUsersTrashFromWhereItCanBeRestored) {
    const test::TemporaryFolder folder;
    const ScopedHome home(folder.path());
    folder.writeFile("work/report one.txt", "kept words");
    folder.writeFile("work/bad\xff.txt", "x");
    qt::QtDesktopShell shell;

    const std::string path = folder / "work/report one.txt";
    EXPECT_EQ(shell.moveToTrash(path), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(path));
    const std::string trashed = folder / "data/Trash/files/report one.txt";
    EXPECT_EQ(folder.readFile("data/Trash/files/report one.txt"), "kept words");
    const std::string info = folder.readFile("data/Trash/info/report one.txt.trashinfo");
    EXPECT_TRUE(info.starts_with("[Trash Info]\n")) << info;
    EXPECT_NE(info.find("Path="), std::string::npos) << info;
    EXPECT_NE(info.find("report%20one.txt"), std::string::npos) << info;
    EXPECT_NE(info.find("DeletionDate="), std::string::npos) << info;

    std::filesystem::rename(trashed, path);
    EXPECT_EQ(folder.readFile("work/report one.txt"), "kept words");

    // A name that is not UTF-8 goes as its bytes; a missing file is refused with a reason.
    EXPECT_EQ(shell.moveToTrash(folder / "work/bad\xff.txt"), std::nullopt);
    EXPECT_EQ(folder.readFile("data/Trash/files/bad\xff.txt"), "x");
    const std::optional<std::string> missing = shell.moveToTrash(folder / "work/none.txt");
    ASSERT_TRUE(missing.has_value());
    EXPECT_FALSE(missing->empty());
}

TEST(DesktopActionsGui, DraggedRowsCarryTheFilesInEveryFormTheClipboardOffers) {
    const std::unique_ptr<QMimeData> data(qt::draggedFilesData({"/tmp/a b.txt", "/tmp/c\xff"}));
    EXPECT_EQ(data->formats(), (QStringList{"text/uri-list", "x-special/gnome-copied-files",
                                            "x-special/mate-copied-files",
                                            "application/x-kde-cutselection", "text/plain"}));
    EXPECT_EQ(data->data("text/uri-list"), "file:///tmp/a%20b.txt\r\nfile:///tmp/c%FF\r\n");
    EXPECT_EQ(data->data("x-special/gnome-copied-files"),
              "copy\nfile:///tmp/a%20b.txt\nfile:///tmp/c%FF");
    EXPECT_EQ(data->data("application/x-kde-cutselection"), "0");
    EXPECT_EQ(data->data("text/plain"), "/tmp/a b.txt\n/tmp/c\xff");
    ASSERT_EQ(data->urls().size(), 2);
    EXPECT_EQ(data->urls()[0].toLocalFile(), QStringLiteral("/tmp/a b.txt"));
}

// Without a session bus, or for a file the portal could not be handed, the program chooser
// stands in at once; with a portal on the bus the fallback waits for its answer.
TEST(DesktopActionsGui, OpenWithFallsBackToTheProgramChooserWhenNoPortalCanBeAsked) {
    std::vector<std::string> fallbacks;
    qt::PortalAppChooser::open("/nonexistent/quillfen/file.txt",
                               [&](const std::string& path) { fallbacks.push_back(path); });
    EXPECT_EQ(fallbacks, std::vector<std::string>{"/nonexistent/quillfen/file.txt"});
}

}  // namespace
}  // namespace quillfen
