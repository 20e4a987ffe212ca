#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/IniFile.h"
#include "support/FakeDuplicateWindowView.h"
#include "support/ProgramFolderFixture.h"
#include "ui/DuplicateWindowPresenter.h"

namespace quillfen {
namespace {

using Control = DuplicateControl;

class DuplicateWindowPresenterTest : public test::ProgramFolderFixture {
protected:
    DuplicateWindowPresenter& opened(const std::string& reference = "") {
        presenter = std::make_unique<DuplicateWindowPresenter>(view, reference);
        presenter->open();
        return *presenter;
    }

    void runSearch() {
        presenter->onFind();
        waitForTheEnd();
    }

    void waitForTheEnd() {
        for (int i = 0; i < 2000 && presenter->searching(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            presenter->resultList().onTick();
        }
        ASSERT_FALSE(presenter->searching());
    }

    test::FakeDuplicateWindowView view;
    std::unique_ptr<DuplicateWindowPresenter> presenter;
};

TEST_F(DuplicateWindowPresenterTest, OpensWithItsTextsAndTheSharedLookInHistory) {
    writeIniValue(settingsFile(), "Path", "0", "/shared");
    opened();
    EXPECT_EQ(view.title, "Document Duplication Search - Quillfen! 1.3.3.20220312");
    EXPECT_EQ(view.text(Control::MatchBody), "Match File Body");
    EXPECT_TRUE(view.isChecked(Control::MatchBody));
    EXPECT_FALSE(view.isChecked(Control::MatchName));
    EXPECT_FALSE(view.state(Control::StopButton).visible);
    EXPECT_EQ(view.text(Control::LookIn), "/shared");
    EXPECT_EQ(view.text(Control::ReferenceFile), "");
}

TEST_F(DuplicateWindowPresenterTest, AGivenReferenceSearchesEveryVolume) {
    writeIniValue(settingsFile(), "Path", "0", "/shared");
    opened("/data/report.doc");
    EXPECT_EQ(view.text(Control::ReferenceFile), "/data/report.doc");
    EXPECT_EQ(view.text(Control::LookIn), "*");
}

// The window's own "*" is searched but stays out of the look-in list it shares with the main
// window, with a reference given or with an empty list; a folder the user names goes in.
TEST_F(DuplicateWindowPresenterTest, ItsOwnDefaultLookInStaysOutOfTheSharedHistory) {
    folder.writeFile("tree/ref.txt", "same");
    const struct {
        std::string sharedFirst;
        std::string reference;
    } cases[] = {{"/shared", folder / "tree/ref.txt"}, {"", ""}};
    for (const auto& c : cases) {
        writeIniValue(settingsFile(), "Path", "0", c.sharedFirst);
        opened(c.reference);
        ASSERT_EQ(view.text(Control::LookIn), "*");
        view.setText(Control::ReferenceFile, folder / "tree/ref.txt");
        presenter->onFind();
        EXPECT_TRUE(presenter->searching());
        presenter->onStop();
        waitForTheEnd();
        EXPECT_EQ(readIniValue(settingsFile(), "Path", "0"), c.sharedFirst) << c.sharedFirst;
    }
    view.setText(Control::LookIn, folder / "tree");
    runSearch();
    EXPECT_EQ(readIniValue(settingsFile(), "Path", "0"), folder / "tree");
}

TEST_F(DuplicateWindowPresenterTest, FindChecksTheReferenceAndTheFolder) {
    folder.writeFile("empty", "");
    folder.writeFile("full.txt", "body");
    opened();
    const struct {
        std::string reference;
        std::string lookIn;
        std::string message;
        Control focus;
    } cases[] = {
        {folder / "missing", folder.path(), "File not exists.", Control::ReferenceFile},
        {folder / "empty", folder.path(), "It is an empty file.", Control::ReferenceFile},
        {folder / "full.txt", " ", "Please select a folder for search.", Control::LookIn},
        {folder / "full.txt", folder / "nowhere", "Folder not exists.", Control::LookIn},
    };
    for (const auto& c : cases) {
        view.messages.clear();
        view.setText(Control::ReferenceFile, c.reference);
        view.setText(Control::LookIn, c.lookIn);
        presenter->onFind();
        EXPECT_EQ(view.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(view.focus, c.focus);
        EXPECT_FALSE(presenter->searching());
    }
}

TEST_F(DuplicateWindowPresenterTest, ASearchListsDuplicatesAndTicksTheBodyWhenNeeded) {
    folder.writeFile("tree/ref.txt", "same");
    folder.writeFile("tree/copy.txt", "same");
    folder.writeFile("tree/other.txt", "diff");
    opened();
    view.setText(Control::ReferenceFile, folder / "tree/ref.txt");
    view.setText(Control::LookIn, folder / "tree");
    view.setChecked(Control::MatchBody, false);
    view.setChecked(Control::MatchTime, false);
    runSearch();
    EXPECT_TRUE(view.isChecked(Control::MatchBody));
    ASSERT_NE(view.table, nullptr);
    ASSERT_EQ(view.table->rowCount(), 1u);
    EXPECT_EQ(view.table->rowPath(0), folder / "tree/copy.txt");
    EXPECT_EQ(view.text(Control::CountLine), "1 file(s) found.");
    EXPECT_EQ(readIniValue(settingsFile(), "Path", "0"), folder / "tree");
}

class OneRowSelection : public ResultSelection {
public:
    std::size_t rowCount() const override { return 1; }
    std::vector<std::size_t> selectedRows() const override { return {0}; }
    std::string rowPath(std::size_t) const override { return "/a/b.txt"; }
    void selectAll() override {}
    void invertSelection() override {}
};

TEST_F(DuplicateWindowPresenterTest, ItsListNeitherSortsNorStartsAnotherDuplicateSearch) {
    OneRowSelection selection;
    view.fakeSelection = &selection;
    opened();
    for (const ContextMenuItem& item : presenter->resultList().contextMenu(true)) {
        EXPECT_NE(item.action, ResultAction::DuplicateSearch);
    }
    presenter->resultList().onControlKey('D');
    EXPECT_TRUE(view.duplicateSearches.empty());
}

}  // namespace
}  // namespace quillfen
