#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/Application.h"
#include "app/IniFile.h"
#include "app/Settings.h"
#include "support/ProgramFolderFixture.h"
#include "ui/ConfigDialogPresenter.h"

namespace quillfen {
namespace {

using Control = ConfigControl;

class FakeConfigDialogView : public ConfigDialogView {
public:
    void setTitle(const std::string& value) override { title = value; }
    bool askYesNo(const std::string& question) override {
        questions.push_back(question);
        return answerYes;
    }
    void showInformation(const std::string& text) override { messages.push_back(text); }
    bool chooseProgram(std::string& path) override {
        path = chosenProgram;
        return !chosenProgram.empty();
    }
    void closeDialog() override { closed = true; }
    void endProgram() override { ended = true; }
    void setText(Control control, const std::string& value) override { texts[control] = value; }
    std::string text(Control control) const override {
        const auto found = texts.find(control);
        return found == texts.end() ? std::string() : found->second;
    }
    void setToolTip(Control, const std::string&) override {}
    void setChecked(Control control, bool value) override { checks[control] = value; }
    bool isChecked(Control control) const override {
        const auto found = checks.find(control);
        return found != checks.end() && found->second;
    }
    void setEnabled(Control, bool) override {}
    void setVisible(Control, bool) override {}
    void setFocus(Control) override {}
    void setItems(Control, const std::vector<std::string>& values) override { items = values; }
    void selectItem(Control, int index) override {
        selected = index;
        texts[Control::Language] = index >= 0 ? items.at(static_cast<size_t>(index)) : "";
    }
    int selectedItem(Control) const override { return selected; }
    void moveItemToTop(Control, int) override {}

    std::string title;
    std::map<Control, std::string> texts;
    std::map<Control, bool> checks;
    std::vector<std::string> items;
    int selected = -1;
    std::vector<std::string> questions;
    std::vector<std::string> messages;
    bool answerYes = true;
    std::string chosenProgram;
    bool closed = false;
    bool ended = false;
};

class RecordingShellEntries : public ShellEntries {
public:
    bool isInstalled() const override { return installed; }
    ShellEntriesNotice install(const std::string& languageId) override {
        calls.push_back("install " + languageId);
        return notice;
    }
    void remove() override { calls.push_back("remove"); }

    bool installed = false;
    ShellEntriesNotice notice = ShellEntriesNotice::None;
    std::vector<std::string> calls;
};

class ConfigDialogPresenterTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        folder.writeFile("prog/Language/1031.ini",
                         "[Config]\r\nLanguageName=German\r\nNativeName=Deutsch\r\n");
        folder.writeFile("prog/Language/2052.ini", "[Config]\r\nLanguageName=Chinese\r\n");
        folder.writeFile("prog/Language/ABC.INI", "[Config]\r\nLanguageName=Capitals\r\n");
        folder.writeFile("prog/Language/1040.ini", "[Translate]\r\nFind=Trova\r\n");
        std::filesystem::create_directories(folder / "prog/Language/folder.ini");
        Application::instance().editor = "gedit";
        Application::instance().showSelfIcon = false;
        Application::instance().searchInRecycleBin = false;
        Application::instance().useIndex = true;
    }

    void open() {
        presenter = std::make_unique<ConfigDialogPresenter>(view, shell);
        presenter->open();
    }
    std::string setting(const char* key) const {
        return readIniValue(settingsFile(), "Config", key);
    }

    FakeConfigDialogView view;
    RecordingShellEntries shell;
    std::unique_ptr<ConfigDialogPresenter> presenter;
};

TEST_F(ConfigDialogPresenterTest, OpensWithTheSettingsTheEntriesAndTheLanguageFiles) {
    writeIniValue(settingsFile(), "Config", "SearchInRecycleBin", "yes");
    shell.installed = true;
    open();
    EXPECT_EQ(view.title, "About Quillfen!");
    EXPECT_EQ(view.text(Control::Version), "Quillfen! Version 1.3.3.20220312");
    EXPECT_FALSE(view.isChecked(Control::ShowSelfIcon));
    EXPECT_TRUE(view.isChecked(Control::SearchInRecycleBin));
    EXPECT_TRUE(view.isChecked(Control::ShellIntegration));
    EXPECT_EQ(view.text(Control::Editor), "gedit");
    std::vector<std::string> sorted = view.items;
    std::sort(sorted.begin(), sorted.end());
    // Each language by its own name where its file gives one, else by its English name.
    EXPECT_EQ(sorted, (std::vector<std::string>{"Capitals", "Chinese", "Deutsch"}));
    EXPECT_EQ(view.text(Control::Language), "Chinese");
    EXPECT_EQ(view.text(Control::Description),
              "Find files by name, date, size and content. Free software.");
    EXPECT_NE(folder.readFile("prog/Language/1040.ini").find("LanguageName="), std::string::npos);
}

TEST_F(ConfigDialogPresenterTest, OkSavesEverythingInItsOrderAndUpdatesTheProgram) {
    open();
    view.setChecked(Control::SearchInRecycleBin, true);
    view.setText(Control::Editor, "");
    view.setChecked(Control::ShellIntegration, false);
    presenter->onOk();
    EXPECT_EQ(setting("ShowSelfIcon"), "N");
    EXPECT_EQ(setting("SearchInRecycleBin"), "Y");
    EXPECT_TRUE(Application::instance().searchInRecycleBin);
    EXPECT_EQ(shell.calls, std::vector<std::string>{"remove"});
    EXPECT_EQ(setting("Editor"), "stand-in-editor");
    EXPECT_EQ(Application::instance().editor, "stand-in-editor");
    EXPECT_TRUE(view.closed);
    EXPECT_FALSE(view.ended);
}

// The index box is on unless the setting says "N", a missing or blank one included; OK stores
// the box's state and hands it to the running program.
TEST_F(ConfigDialogPresenterTest, TheIndexBoxShowsTheSettingAndOkStoresItAndTellsTheProgram) {
    const struct {
        const char* stored;
        bool shown;
        bool chosen;
    } cases[] = {{nullptr, true, true}, {"", true, false}, {"N", false, true}, {"n", true, false}};
    for (const auto& c : cases) {
        std::filesystem::remove(settingsFile());
        if (c.stored != nullptr) {
            writeIniValue(settingsFile(), "Config", "UseIndex", c.stored);
        }
        open();
        EXPECT_EQ(view.isChecked(Control::UseIndex), c.shown) << (c.stored ? c.stored : "none");
        view.setChecked(Control::UseIndex, c.chosen);
        Application::instance().useIndex = !c.chosen;
        presenter->onOk();
        EXPECT_EQ(setting("UseIndex"), c.chosen ? "Y" : "N");
        EXPECT_EQ(Application::instance().useIndex, c.chosen);
    }
}

TEST_F(ConfigDialogPresenterTest, NoToTheSelfIconQuestionSavesNothingAndStays) {
    open();
    view.setChecked(Control::ShowSelfIcon, true);
    view.setChecked(Control::SearchInRecycleBin, true);
    view.setChecked(Control::UseIndex, false);
    view.answerYes = false;
    presenter->onOk();
    EXPECT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(setting("SearchInRecycleBin"), "N");
    EXPECT_EQ(setting("UseIndex"), "Y");
    EXPECT_TRUE(shell.calls.empty());
    EXPECT_FALSE(view.closed);

    view.answerYes = true;
    view.setChecked(Control::ShellIntegration, true);
    presenter->onOk();
    EXPECT_EQ(setting("ShowSelfIcon"), "Y");
    EXPECT_TRUE(Application::instance().showSelfIcon);
    EXPECT_EQ(shell.calls, std::vector<std::string>{"install 2052"});
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(view.closed);
}

TEST_F(ConfigDialogPresenterTest, AnotherLanguageIsSavedAndRestartsTheProgram) {
    open();
    view.selectItem(Control::Language, 0);
    const std::string chosen = view.text(Control::Language);
    presenter->onOk();
    if (chosen == "Chinese") {
        EXPECT_FALSE(view.ended);
        EXPECT_TRUE(view.closed);
    } else {
        EXPECT_TRUE(view.ended);
        EXPECT_FALSE(view.closed);
        EXPECT_EQ(setting("LanguageID"), chosen == "Deutsch" ? "1031" : "abc");
    }
}

// The entries are rewritten before the restart, in the language chosen, and a Thunar that must
// restart to show them is named once.
TEST_F(ConfigDialogPresenterTest, EntriesAreWrittenInTheChosenLanguageBeforeTheRestart) {
    const struct {
        const char* chosen;
        ShellEntriesNotice notice;
        const char* installedIn;
        size_t messages;
    } cases[] = {{"Deutsch", ShellEntriesNotice::ThunarRestart, "install 1031", 1},
                 {"Capitals", ShellEntriesNotice::None, "install abc", 0},
                 {"Chinese", ShellEntriesNotice::ThunarRestart, "install 2052", 1}};
    for (const auto& c : cases) {
        writeIniValue(settingsFile(), "Config", "LanguageID", "2052");
        shell.calls.clear();
        shell.notice = c.notice;
        view = FakeConfigDialogView();
        open();
        const auto item = std::find(view.items.begin(), view.items.end(), c.chosen);
        ASSERT_NE(item, view.items.end()) << c.chosen;
        view.selectItem(Control::Language, static_cast<int>(item - view.items.begin()));
        view.setChecked(Control::ShellIntegration, true);
        presenter->onOk();
        EXPECT_EQ(shell.calls, std::vector<std::string>{c.installedIn});
        ASSERT_EQ(view.messages.size(), c.messages) << c.chosen;
        if (c.messages > 0) {
            EXPECT_EQ(view.messages[0], "Thunar shows the Quillfen entries after it restarts.");
        }
    }
}

TEST_F(ConfigDialogPresenterTest, LanguagesOfTheSameNameAreToldApartByTheirIdentifiers) {
    folder.writeFile("prog/Language/3076.ini",
                     "[Config]\r\nLanguageName=Chinese\r\nNativeName= \r\n");
    open();
    std::vector<std::string> sorted = view.items;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{"Capitals", "Chinese (2052)", "Chinese (3076)",
                                                "Deutsch"}));
}

TEST_F(ConfigDialogPresenterTest, TheLanguageInUseOrNoneSelectedDoesNotRestart) {
    open();
    presenter->onOk();
    EXPECT_FALSE(view.ended);
    view.closed = false;
    view.selectItem(Control::Language, -1);
    presenter->onOk();
    EXPECT_FALSE(view.ended);
    EXPECT_EQ(setting("LanguageID"), "2052");
}

}  // namespace
}  // namespace quillfen
