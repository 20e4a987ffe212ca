#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/Application.h"
#include "app/IniFile.h"
#include "support/ProgramFolderFixture.h"
#include "ui/qt/QtConfigDialog.h"

namespace quillfen {
namespace {

class NoEntries : public ShellEntries {
public:
    bool isInstalled() const override { return false; }
    void install() override { ++installs; }
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
    child<QCheckBox>(dialog, "Search in Recycle Bin")->setChecked(true);
    auto* editor = dialog.findChild<QLineEdit*>();
    editor->setText(QStringLiteral("\"/opt/my editor/ed\" -n"));
    if (const char* target = std::getenv("QUILLFEN_CONFIG_SCREENSHOT")) {
        ASSERT_TRUE(dialog.grab().save(QString::fromUtf8(target)));
    }
    child<QPushButton>(dialog, "OK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "ShowSelfIcon"), "N");
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "SearchInRecycleBin"), "Y");
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "Editor"), "\"/opt/my editor/ed\" -n");
    EXPECT_EQ(Application::instance().editor, "\"/opt/my editor/ed\" -n");
    EXPECT_EQ(entries.removals, 1);
    Application::instance().editor.clear();
    Application::instance().searchInRecycleBin = false;
}

}  // namespace
}  // namespace quillfen
