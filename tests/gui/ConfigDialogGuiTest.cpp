#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <set>

#include "app/Application.h"
#include "app/IniFile.h"
#include "support/ProgramFolderFixture.h"
#include "ui/qt/QtConfigDialog.h"

namespace quillfen {
namespace {

class NoEntries : public ShellEntries {
public:
    bool isInstalled() const override { return false; }
    ShellEntriesNotice install(const std::string&) override {
        ++installs;
        return ShellEntriesNotice::None;
    }
    void remove() override { ++removals; }
    int installs = 0;
    int removals = 0;
};

class ConfigDialogGuiTest : public test::ProgramFolderFixture {
protected:
    template <typename T>
    T* child(qt::QtConfigDialog& dialog, const QString& text) const {
        for (T* candidate : dialog.findChildren<T*>()) {
            if (candidate->text() == text) {
                return candidate;
            }
        }
        return nullptr;
    }

    NoEntries entries;
};

TEST_F(ConfigDialogGuiTest, OkWritesTheSettingsFile) {
    Application::instance().editor = "gedit";
    qt::QtConfigDialog dialog(nullptr, &entries);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), "About Quillfen!");
    auto* recycleBin = child<QCheckBox>(dialog, "Search in Recycle Bin");
    auto* useIndex =
        child<QCheckBox>(dialog, "Answer searches from an index when one covers the folder");
    ASSERT_NE(useIndex, nullptr);
    EXPECT_TRUE(useIndex->isChecked());
    // Whole, below the recycle-bin box and after it for the Tab key.
    EXPECT_GE(useIndex->width(), useIndex->sizeHint().width());
    EXPECT_GE(useIndex->y(), recycleBin->geometry().bottom());
    EXPECT_EQ(recycleBin->nextInFocusChain(), useIndex);
    recycleBin->setChecked(true);
    useIndex->setChecked(false);
    auto* editor = dialog.findChild<QLineEdit*>();
    editor->setText(QStringLiteral("\"/opt/my editor/ed\" -n"));
    if (const char* target = std::getenv("QUILLFEN_CONFIG_SCREENSHOT")) {
        ASSERT_TRUE(dialog.grab().save(QString::fromUtf8(target)));
    }
    child<QPushButton>(dialog, "OK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "ShowSelfIcon"), "N");
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "SearchInRecycleBin"), "Y");
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "UseIndex"), "N");
    EXPECT_FALSE(Application::instance().useIndex);
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "Editor"), "\"/opt/my editor/ed\" -n");
    EXPECT_EQ(Application::instance().editor, "\"/opt/my editor/ed\" -n");
    EXPECT_EQ(entries.removals, 1);
    Application::instance().editor.clear();
    Application::instance().searchInRecycleBin = false;
    Application::instance().useIndex = true;
}

// The names the chooser's list shows in its current folder.
std::set<std::string> listedNames(QFileDialog& chooser) {
    std::set<std::string> names;
    auto* list = chooser.findChild<QListView*>(QStringLiteral("listView"));
    if (list == nullptr || list->model() == nullptr) {
        return names;
    }
    const QModelIndex folder = list->rootIndex();
    for (int row = 0; row < list->model()->rowCount(folder); ++row) {
        names.insert(list->model()->index(row, 0, folder).data().toString().toStdString());
    }
    return names;
}

TEST_F(ConfigDialogGuiTest, TheEditorChooserListsFoldersAndProgramsAndTakesTheOnePicked) {
    namespace fs = std::filesystem;
    folder.writeFile("tools/sub folder/.keep", "");
    folder.writeFile("tools/notes.txt", "not a program");
    folder.writeFile("tools/my-editor", "#!/bin/sh\n");
    fs::permissions(folder / "tools/my-editor", fs::perms::owner_all);
    Application::instance().editor = "gedit";
    qt::QtConfigDialog dialog(nullptr, &entries);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    std::set<std::string> listed;
    // Runs inside the chooser's own event loop; whatever happens, the chooser closes.
    QTimer::singleShot(0, &dialog, [&] {
        auto* chooser = dialog.findChild<QFileDialog*>();
        ASSERT_NE(chooser, nullptr);
        chooser->setDirectory(QString::fromStdString(folder / "tools"));
        const std::set<std::string> expected = {"my-editor", "sub folder"};
        for (int i = 0; i < 300 && listedNames(*chooser) != expected; ++i) {
            QTest::qWait(10);
        }
        listed = listedNames(*chooser);
        chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
            ->setText(QStringLiteral("my-editor"));
        static_cast<QDialog*>(chooser)->accept();
        if (chooser->isVisible()) {
            chooser->reject();
        }
    });
    child<QPushButton>(dialog, "...")->click();
    EXPECT_EQ(listed, (std::set<std::string>{"my-editor", "sub folder"}));
    EXPECT_EQ(dialog.findChild<QLineEdit*>()->text().toStdString(), folder / "tools/my-editor");
    Application::instance().editor.clear();
}

}  // namespace
}  // namespace quillfen
