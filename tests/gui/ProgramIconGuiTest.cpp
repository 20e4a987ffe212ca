#include <gtest/gtest.h>

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QStringList>
#include <filesystem>

#include "support/TemporaryFolder.h"
#include "ui/qt/ProgramIcon.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;

QColor centreOf(const QIcon& icon, int size) {
    return icon.pixmap(size, size).toImage().pixelColor(size / 2, size / 2);
}

// Each test leaves the icon theme as it found it, for the window tests that follow.
class ProgramIconGuiTest : public testing::Test {
protected:
    void TearDown() override {
        QIcon::setThemeSearchPaths(searchPaths);
        QIcon::setThemeName(themeName);
    }

    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    test::TemporaryFolder folder;
};

TEST_F(ProgramIconGuiTest, TheCarriedPictureIsDrawnAtEverySizeTheWindowsAskFor) {
    const QIcon icon = qt::ProgramIcon::builtIn();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        EXPECT_EQ(image.width(), size);
        // The top of the glass's rim is drawn; the corner stays clear.
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;
        EXPECT_GT(image.pixelColor(size * 28 / 64, size * 13 / 64).alpha(), 0) << size;
    }
}

TEST_F(ProgramIconGuiTest, AnInstalledThemeIconIsPreferredAndItsAbsenceFallsBackToTheCarriedOne) {
    const fs::path apps = fs::path(folder.path()) / "icons/hicolor/48x48/apps";
    fs::create_directories(apps);
    folder.writeFile("icons/hicolor/index.theme",
                     "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n"
                     "[48x48/apps]\nSize=48\nType=Fixed\n");
    QIcon::setThemeSearchPaths({QString::fromStdString(folder / "icons")});
    QIcon::setThemeName(QStringLiteral("hicolor"));
    const QColor carried = centreOf(qt::ProgramIcon::builtIn(), 48);
    EXPECT_EQ(centreOf(qt::ProgramIcon::icon(), 48), carried) << "no theme icon yet";

    QImage red(48, 48, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString((apps / "org.quillfen.Quillfen.png").string())));
    QIcon::setThemeSearchPaths({QString::fromStdString(folder / "icons")});
    EXPECT_EQ(centreOf(qt::ProgramIcon::icon(), 48), QColor(Qt::red));
}

}  // namespace
}  // namespace quillfen
