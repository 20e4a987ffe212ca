#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <numeric>
#include <regex>
#include <thread>
#include <utility>

#include "app/Application.h"
#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "app/NumberFormat.h"
#include "app/PathHelpers.h"
#include "index/IndexStore.h"
#include "index/IndexUpdater.h"
#include "platform/Platform.h"
#include "results/TextEscapes.h"
#include "support/FakeMainWindowView.h"
#include "support/ProgramFolderFixture.h"
#include "ui/MainWindowPresenter.h"
#include "update/AvailableVersion.h"

namespace quillfen {
namespace {

using Control = MainControl;

class MainWindowPresenterTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        platform.facts().fixedLanguageId = 1031;
        platform.facts().fixedLanguageName = "German";
    }

    MainWindowPresenter& opened(const std::string& argument = "") {
        presenter = std::make_unique<MainWindowPresenter>(view, argument);
        presenter->open();
        return *presenter;
    }

    // Runs the search to its end the way the window's ticks would.
    void runSearch() {
        presenter->onFind();
        for (int i = 0; i < 2000 && presenter->searching(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            presenter->onSearchTick();
        }
        ASSERT_FALSE(presenter->searching());
    }

    test::FakeMainWindowView view;
    std::unique_ptr<MainWindowPresenter> presenter;
};

TEST_F(MainWindowPresenterTest, OpensWithTitleDefaultsOptionListsAndDisabledControls) {
    opened();
    EXPECT_EQ(view.title, "Quillfen! 1.3.3.20220312");
    EXPECT_EQ(view.text(Control::FindButton), "Find");
    for (const Control checked : {Control::SearchSubfolders, Control::MatchAnsi,
                                  Control::MatchUnicode, Control::MatchUtf8, Control::TextMode}) {
        EXPECT_TRUE(view.isChecked(checked));
    }
    EXPECT_FALSE(view.isChecked(Control::MatchCase));
    EXPECT_FALSE(view.isChecked(Control::HexMode));
    EXPECT_FALSE(view.state(Control::StopButton).visible);
    EXPECT_FALSE(view.state(Control::DebugButton).visible);
    EXPECT_FALSE(view.state(Control::HexText).visible);
    EXPECT_EQ(view.state(Control::DateOption).items.size(), 5u);
    EXPECT_EQ(view.state(Control::DateOption).items[3], "Within the pass year");
    EXPECT_EQ(view.state(Control::SizeBound).items,
              (std::vector<std::string>{"at least", "at most"}));
    for (const Control disabled :
         {Control::SizeBound, Control::SizeKilobytes, Control::DateFrom, Control::DateTo}) {
        EXPECT_FALSE(view.state(disabled).enabled);
    }
    EXPECT_EQ(view.text(Control::LookIn), "*");
    EXPECT_NE(view.state(Control::NamePatterns).toolTip.find("found.\r\n\r\n*.tx*"),
              std::string::npos);
}

TEST_F(MainWindowPresenterTest, TranslationBannerShowsOnlyForLanguagesWithoutOwnTexts) {
    opened();
    EXPECT_TRUE(view.state(Control::TranslationBanner).visible);
    EXPECT_FALSE(view.state(Control::CountLine).visible);
    EXPECT_EQ(view.text(Control::TranslationBanner),
              "This is a free software, if you like , please help us to translate Quillfen! to " +
                  systemLanguageName() + " .");
    for (const int id : {0x0404, 0x0409, 0x0804, 0x0C04, 0x1004, 0x1404}) {
        EXPECT_TRUE(MainWindowPresenter::languageNeedsNoTranslation(id));
    }
    EXPECT_FALSE(MainWindowPresenter::languageNeedsNoTranslation(1031));
}

// The version check of a copy that the package manager updates records a newer version; the
// window tells it once, in place of the banner, and a record of no newer version says nothing.
TEST_F(MainWindowPresenterTest, ANewerVersionRecordedByTheCheckIsToldOnce) {
    recordAvailableVersion("1.3.3.20220311");
    opened();
    EXPECT_TRUE(view.state(Control::TranslationBanner).visible);
    recordAvailableVersion("9.1");
    for (const std::string expected : {"Version 9.1 is available.", "", ""}) {
        view.setStatusLine(StatusLine::Progress, "");
        opened();
        EXPECT_EQ(view.text(Control::ProgressLine), expected);
        EXPECT_EQ(view.state(Control::ProgressLine).visible, !expected.empty());
        recordAvailableVersion("9.1");
    }
}

TEST_F(MainWindowPresenterTest, LookInComesFromTheArgumentOrTheNewestHistoryEntry) {
    writeIniValue(settingsFile(), "Path", "0", "/newest");
    writeIniValue(settingsFile(), "Path", "1", "/older");
    opened();
    EXPECT_EQ(view.text(Control::LookIn), "/newest");
    EXPECT_EQ(view.state(Control::LookIn).items, (std::vector<std::string>{"/newest", "/older"}));
    opened("/given folder");
    EXPECT_EQ(view.text(Control::LookIn), "/given folder");
}

TEST_F(MainWindowPresenterTest, HexModeSwapsTheBoxesAndKeepsTheCheckMarks) {
    opened();
    view.setChecked(Control::MatchCase, true);
    EXPECT_EQ(view.focus, Control::NamePatterns) << "a new window starts with the name";
    presenter->onHexMode();
    EXPECT_TRUE(view.state(Control::HexText).visible);
    EXPECT_FALSE(view.state(Control::ContentText).visible);
    EXPECT_FALSE(view.state(Control::MatchCase).enabled);
    EXPECT_EQ(view.focus, Control::HexText);
    presenter->onTextMode();
    EXPECT_EQ(view.focus, Control::ContentText);
    EXPECT_TRUE(view.state(Control::MatchCase).enabled);
    EXPECT_TRUE(view.isChecked(Control::MatchCase));
}

TEST_F(MainWindowPresenterTest, PresetsFillAndLockTheirControls) {
    opened();
    view.selectItem(Control::SizeOption, 2);
    presenter->onSizeOptionChanged();
    EXPECT_EQ(view.text(Control::SizeKilobytes), "1024");
    EXPECT_EQ(view.selectedItem(Control::SizeBound), 1);
    EXPECT_FALSE(view.state(Control::SizeKilobytes).enabled);
    view.selectItem(Control::SizeOption, 4);
    presenter->onSizeOptionChanged();
    EXPECT_TRUE(view.state(Control::SizeKilobytes).enabled);
    EXPECT_EQ(view.text(Control::SizeKilobytes), "1024");

    view.selectItem(Control::DateOption, 4);
    presenter->onDateOptionChanged();
    EXPECT_TRUE(view.state(Control::DateFrom).enabled);
    view.selectItem(Control::DateOption, 1);
    presenter->onDateOptionChanged();
    EXPECT_FALSE(view.state(Control::DateFrom).enabled);
}

TEST_F(MainWindowPresenterTest, FindChecksInputsWithMessagesAndFocus) {
    opened();
    const struct {
        std::string lookIn;
        std::string names;
        bool hex;
        std::string hexText;
        std::string message;
        Control focus;
    } cases[] = {
        {"  ", "", false, "", "Please select a folder for search.", Control::LookIn},
        {folder / "missing", "", false, "", "Folder not exists.", Control::LookIn},
        {"*", "", false, "",
         "You had select all of the drivers on your computer, must input part of the file name, "
         "or maybe too many files found.",
         Control::NamePatterns},
        {folder.path(), "", true, "12 3", "This not a Hex string.", Control::HexText},
    };
    for (const auto& c : cases) {
        view.messages.clear();
        view.setText(Control::LookIn, c.lookIn);
        view.setText(Control::NamePatterns, c.names);
        view.setChecked(Control::HexMode, c.hex);
        view.setText(Control::HexText, c.hexText);
        presenter->onFind();
        ASSERT_EQ(view.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(view.focus, c.focus);
        EXPECT_FALSE(presenter->searching());
    }
}

TEST_F(MainWindowPresenterTest, ASearchFillsRowsCountsAndSavesTheHistory) {
    folder.writeFile("tree/a.txt", "hello");
    folder.writeFile("tree/sub/b.txt", "hello");
    folder.writeFile("tree/c.log", "hello");
    opened();
    view.setText(Control::LookIn, folder / "tree");
    view.setText(Control::NamePatterns, "*.txt");
    runSearch();
    ASSERT_NE(view.table, nullptr);
    EXPECT_EQ(view.table->rowCount(), 2u);
    EXPECT_EQ(view.text(Control::CountLine), "2 file(s) found.");
    EXPECT_TRUE(view.state(Control::FindButton).visible);
    EXPECT_FALSE(view.state(Control::StopButton).visible);
    EXPECT_FALSE(view.state(Control::TranslationBanner).visible);
    EXPECT_FALSE(view.ticking);
    EXPECT_EQ(readIniValue(settingsFile(), "Path", "0"), folder / "tree");
    EXPECT_EQ(readIniValue(settingsFile(), "FileName", "0"), "*.txt");
    EXPECT_EQ(readIniValue(settingsFile(), "Text", "0"), "");
}

TEST_F(MainWindowPresenterTest, TheEndOfASearchShowsTheCountEvenOfNothingAndTheTimeTaken) {
    folder.writeFile("tree/a.txt", "x");
    folder.writeFile("tree/b.txt", "x");
    opened();
    view.setText(Control::LookIn, folder / "tree");
    for (const auto& [names, count] : {std::pair{"*.none", "0"}, std::pair{"*.txt", "2"}}) {
        view.setText(Control::NamePatterns, names);
        runSearch();
        EXPECT_EQ(view.text(Control::CountLine), std::string(count) + " file(s) found.");
        const std::string mark = NumberFormat::ofShownLanguage().decimalMark();
        EXPECT_TRUE(
            std::regex_match(view.text(Control::ProgressLine),
                             std::regex(R"(Search took \d+[)" + mark + R"(]\d\d seconds\.)")))
            << view.text(Control::ProgressLine);
    }
}

TEST_F(MainWindowPresenterTest, HeaderClicksSortAndLaterRowsWouldAppend) {
    folder.writeFile("tree/b.txt", "xx");
    folder.writeFile("tree/a.txt", "xxxxxx");
    opened();
    view.setText(Control::LookIn, folder / "tree");
    runSearch();
    presenter->onHeaderClicked(0);
    EXPECT_EQ(view.table->cellText(0, 0), "a.txt");
    presenter->onHeaderClicked(0);
    EXPECT_EQ(view.table->cellText(0, 0), "b.txt");
    EXPECT_EQ(view.sortArrow, (SortKeyList::Key{0, false}));
    const int resets = view.resets;
    presenter->onHeaderClicked(5);
    EXPECT_EQ(view.resets, resets);

    // The next search lists its rows as found, so the arrow goes; the order chosen stays for the
    // next click.
    runSearch();
    EXPECT_EQ(view.sortArrow, std::nullopt);
    EXPECT_EQ(view.table->rowCount(), 2u);
    presenter->onHeaderClicked(4);
    EXPECT_EQ(view.sortArrow, (SortKeyList::Key{4, true}));
    EXPECT_EQ(view.table->cellText(0, 0), "b.txt") << "the smaller file first";
}

TEST_F(MainWindowPresenterTest, StopAndCloseEndARunningSearch) {
    for (int i = 0; i < 300; ++i) {
        folder.writeFile("tree/f" + std::to_string(i) + "/x.txt", "x");
    }
    opened();
    view.setText(Control::LookIn, folder / "tree");
    presenter->onFind();
    EXPECT_TRUE(presenter->searching());
    EXPECT_FALSE(view.state(Control::FindButton).visible);
    presenter->onFind();  // ignored while a search runs
    presenter->onStop();
    presenter->onClose();
    EXPECT_FALSE(presenter->searching());
    EXPECT_TRUE(view.state(Control::FindButton).visible);
}

// The walk's reports as the window shows them: the files looked at while it runs, and at its
// end whether it was stopped and what it could not read, listed on a click. Numbers are written
// as the shown language writes them.
TEST_F(MainWindowPresenterTest, ProgressTellsFilesLookedAtStopsAndWhatCouldNotBeRead) {
    const NumberFormat numbers = NumberFormat::ofShownLanguage();
    const std::string x = std::string(1, pathSeparator()) + "x" + pathSeparator();
    const std::string seconds = R"(\d+[)" + numbers.decimalMark() + R"(]\d\d seconds\.)";
    const struct {
        bool stop;
        std::vector<SkippedPath> skipped;
        std::string endPattern;
        std::string listed;
    } cases[] = {
        {false, {}, "Search took " + seconds, ""},
        {true, {}, "Search stopped after " + seconds, ""},
        {true,
         {{x + "locked" + pathSeparator(), "Permission denied"},
          {x + "gone" + pathSeparator(), "No such file or directory"}},
         "Search stopped after " + seconds + R"( 2 folder\(s\) could not be read)",
         "2 folder(s) could not be read\n" + x + "locked: Permission denied\n" + x +
             "gone: No such file or directory\n"},
        {false,
         {{x + "locked" + pathSeparator(), "Permission denied"},
          {x + "secret.txt", "Permission denied"}},
         "Search took " + seconds +
             R"( 1 folder\(s\) could not be read, 1 file\(s\) could not be read)",
         "1 folder(s) could not be read, 1 file(s) could not be read\n" + x +
             "locked: Permission denied\n" + x + "secret.txt: Permission denied\n"},
    };
    FolderTypeText folderTypes;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.endPattern);
        test::FakeMainWindowView listView;
        ResultListPresenter list(listView, folderTypes, true);
        std::atomic<bool> reported{false};
        list.start([&](SearchObserver& observer, const std::atomic<bool>& stop) {
            observer.lookedAt(41250);
            observer.searchingFolder(x);
            for (const SkippedPath& skip : c.skipped) {
                observer.skipped(skip.path, skip.reason);
            }
            reported = true;
            while (c.stop && !stop.load()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        while (!reported.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (c.stop) {
            list.onTick();
            EXPECT_EQ(listView.text(Control::ProgressLine),
                      "Searching " + x + " - " + numbers.grouped(41250) + " files");
            list.onStop();
        }
        for (int i = 0; i < 2000 && list.searching(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            list.onTick();
        }
        ASSERT_FALSE(list.searching());
        EXPECT_TRUE(
            std::regex_match(listView.text(Control::ProgressLine), std::regex(c.endPattern)))
            << listView.text(Control::ProgressLine);
        list.onProgressLineClicked();
        EXPECT_EQ(listView.messages,
                  c.listed.empty() ? std::vector<std::string>{} : std::vector{c.listed});
    }
}

// Every cell of every row, in the order shown.
std::vector<std::string> shownRows(const ResultTable& table) {
    std::vector<std::string> rows;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        std::string cells;
        for (int column = 0; column < ResultTable::kColumnCount; ++column) {
            cells += table.cellText(row, column) + '|';
        }
        rows.push_back(cells);
    }
    return rows;
}

// With the tree indexed (and changed since), the window's search of a folder inside it is
// answered from the index with the rows a walk shows, and says so at its end, a content search
// too; "UseIndex=N" and a folder outside the tree walk.
TEST_F(MainWindowPresenterTest, AnIndexAnswersTheWindowWithTheWalksRowsUnlessSetOff) {
    for (const char* name : {"a.txt", "d.log", "sub/b.txt", "sub/deep/c.log"}) {
        folder.writeFile(std::string("tree/") + name, "x");
    }
    const std::atomic<bool> stop{false};
    const IndexStore store;
    ASSERT_TRUE(IndexUpdater(store, stop, 0)
                    .build(platform::currentPlatform().volumes().resolvedFolder(
                               withTrailingSeparator(folder / "tree")),
                           false));
    folder.writeFile("tree/sub/new.txt", "new");
    const struct {
        std::string lookIn;
        std::string names;
        std::string content;
        bool subfolders;
        std::uint64_t indexEntries;  // 0 where the search walks
    } cases[] = {
        {folder / "tree", "", "", true, 7},    {folder / "tree/sub", "*.txt *.log", "", true, 4},
        {folder / "tree", "*", "", false, 3},  {folder / "tree", "*.txt", "new", true, 7},
        {folder.path(), "*.txt", "", true, 0},
    };
    const NumberFormat numbers = NumberFormat::ofShownLanguage();
    const std::string walked = R"(Search took \d+[)" + numbers.decimalMark() + R"(]\d\d seconds\.)";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lookIn + " " + c.names);
        opened();
        view.setText(Control::LookIn, c.lookIn);
        view.setText(Control::NamePatterns, c.names);
        view.setText(Control::ContentText, c.content);
        view.setChecked(Control::SearchSubfolders, c.subfolders);
        std::vector<std::string> rows[2];
        for (const bool useIndex : {false, true}) {
            writeIniValue(settingsFile(), "Config", "UseIndex", useIndex ? "Y" : "N");
            Application::instance().loadSettings();
            runSearch();
            rows[useIndex] = shownRows(*view.table);
            const std::string end = useIndex && c.indexEntries > 0
                                        ? "Searched the index of " +
                                              numbers.grouped(c.indexEntries) +
                                              R"( files in \d+ ms\.)"
                                        : walked;
            EXPECT_TRUE(std::regex_match(view.text(Control::ProgressLine), std::regex(end)))
                << view.text(Control::ProgressLine);
        }
        EXPECT_FALSE(rows[0].empty());
        EXPECT_EQ(rows[1], rows[0]);
    }
    EXPECT_EQ(readIniValue(settingsFile(), "Config", "UseIndex"), "Y");
}

// The list the window shows: the presenter's table in its order, and the rows a test selects.
class TableSelection : public ResultSelection {
public:
    explicit TableSelection(const test::FakeMainWindowView& view) : view_(view) {}
    std::size_t rowCount() const override { return view_.table->rowCount(); }
    std::vector<std::size_t> selectedRows() const override { return selected; }
    std::string rowPath(std::size_t row) const override { return view_.table->rowPath(row); }
    void selectAll() override {}
    void invertSelection() override {}

    std::vector<std::size_t> selected;

private:
    const test::FakeMainWindowView& view_;
};

// Moves files away as the desktop's trash does, refusing the paths that end in "keep".
class MovingShell : public platform::DesktopShell {
public:
    void openWithDefaultApplication(const std::string&) override {}
    bool hasDefaultApplication(const std::string&) const override { return false; }
    void showInFolder(const std::string&) override {}
    void putFilesOnClipboard(const std::vector<std::string>&, platform::FileTransfer) override {}
    void putTextOnClipboard(const std::string&) override {}
    void openWithChosenApplication(const std::string&) override {}
    std::optional<std::string> moveToTrash(const std::string& path) override {
        if (path.ends_with("keep")) {
            return "Permission denied";
        }
        std::filesystem::rename(path, path + ".trashed");
        return std::nullopt;
    }
};

TEST_F(MainWindowPresenterTest, TrashAndDropsForgetGoneRowsAndExportWritesTheRestAsTheCliDoes) {
    for (const char* name : {"a.txt", "b,c.txt", "d.txt", "e.keep", "f.txt"}) {
        folder.writeFile(std::string("tree/") + name, "x");
    }
    TableSelection list(view);
    MovingShell shell;
    view.fakeSelection = &list;
    view.fakeShell = &shell;
    opened();
    view.setText(Control::LookIn, folder / "tree");
    runSearch();
    presenter->onHeaderClicked(0);
    ASSERT_EQ(view.table->rowCount(), 5u);

    list.selected = {0, 3};  // a.txt and e.keep
    const int resets = view.resets;
    presenter->resultList().onAction(ResultAction::MoveToTrash);
    EXPECT_EQ(view.table->rowCount(), 4u);
    EXPECT_EQ(view.resets, resets + 1);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0],
              "Cannot move " + folder / "tree/e.keep" + " to the trash: Permission denied");

    std::filesystem::rename(folder / "tree/d.txt", folder / "d.txt");
    presenter->resultList().onRowsDropped({1, 2, 3});  // d.txt went, e.keep and f.txt stay
    EXPECT_EQ(view.table->rowCount(), 3u);

    const std::string treeFolder = folder / "tree/";
    const struct {
        std::string name;
        std::size_t filter;
        std::string heading;
        std::string secondRow;
    } exports[] = {
        {"list.csv", 1, "Name,In Folder,Type,Date Modified,Size,Size Byte\r\n",
         "\"b,c.txt\"," + treeFolder + ","},
        {"list", 0, "Name,In Folder", "\"b,c.txt\","},
        {"list.TSV", 0, "Name\tIn Folder\tType\tDate Modified\tSize\tSize Byte\n",
         "b,c.txt\t" + TextEscapes::escapeForTsv(treeFolder) + "\t"},
        {"list2", 1, "Name\tIn Folder", "b,c.txt\t"},
    };
    for (const auto& e : exports) {
        view.savePath = folder / e.name;
        view.saveFilter = e.filter;
        presenter->resultList().onAction(ResultAction::ExportList);
        const std::string written = folder.readFile(e.name);
        EXPECT_TRUE(written.starts_with(e.heading)) << e.name << ": " << written;
        EXPECT_NE(written.find(e.secondRow), std::string::npos) << e.name << ": " << written;
        EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 4) << e.name;
    }
    EXPECT_EQ(view.saveTitle, "Export List");
    ASSERT_EQ(view.saveFilters.size(), 2u);
    EXPECT_EQ(view.saveFilters[1].pattern, "*.tsv");

    view.savePath = folder / "missing/list.csv";
    presenter->resultList().onAction(ResultAction::ExportList);
    ASSERT_EQ(view.messages.size(), 2u);
    const std::string refusal = "Cannot save the list to " + folder / "missing/list.csv" + ": ";
    EXPECT_TRUE(view.messages[1].starts_with(refusal)) << view.messages[1];
    EXPECT_GT(view.messages[1].size(), refusal.size());
    view.savePath.clear();
    presenter->resultList().onAction(ResultAction::ExportList);
    EXPECT_EQ(view.messages.size(), 2u);
}

}  // namespace
}  // namespace quillfen

namespace quillfen {
namespace {

class ListedSelection : public ResultSelection {
public:
    std::size_t rowCount() const override { return paths.size(); }
    std::vector<std::size_t> selectedRows() const override { return selected; }
    std::string rowPath(std::size_t row) const override { return paths.at(row); }
    void selectAll() override {}
    void invertSelection() override {}

    std::vector<std::string> paths;
    std::vector<std::size_t> selected;
};

class RecordingShell : public platform::DesktopShell {
public:
    void openWithDefaultApplication(const std::string& path) override { opened.push_back(path); }
    bool hasDefaultApplication(const std::string&) const override { return false; }
    void showInFolder(const std::string& path) override { shown.push_back(path); }
    void putFilesOnClipboard(const std::vector<std::string>&, platform::FileTransfer) override {}
    void putTextOnClipboard(const std::string&) override {}
    void openWithChosenApplication(const std::string&) override {}
    // Really moves the file away, as the desktop's trash would.
    std::optional<std::string> moveToTrash(const std::string& path) override {
        std::error_code error;
        std::filesystem::rename(path, path + ".trashed", error);
        return error ? std::optional(error.message()) : std::nullopt;
    }

    std::vector<std::string> opened;
    std::vector<std::string> shown;
};

class MainWindowActionsTest : public test::ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        view.fakeSelection = &list;
        view.fakeShell = &shell;
        presenter = std::make_unique<MainWindowPresenter>(view, "");
    }

    test::FakeMainWindowView view;
    ListedSelection list;
    RecordingShell shell;
    std::unique_ptr<MainWindowPresenter> presenter;
};

TEST_F(MainWindowActionsTest, MenuOverAnEmptyListOffersOnlyDuplicateSearchAndConfig) {
    std::vector<std::optional<ResultAction>> enabled;
    for (const ContextMenuItem& item : presenter->contextMenu(false)) {
        if (!item.isSeparator() && item.enabled) {
            enabled.push_back(item.action);
        }
    }
    EXPECT_EQ(enabled, (std::vector<std::optional<ResultAction>>{ResultAction::DuplicateSearch,
                                                                 ResultAction::Config}));
}

TEST_F(MainWindowActionsTest, ShortcutsAndDoubleClickReachTheirActions) {
    list.paths = {"/a/x.txt", "/b/y.txt"};
    list.selected = {1};
    presenter->onControlKey('D');
    ASSERT_EQ(view.duplicateSearches.size(), 1u);
    EXPECT_EQ(view.duplicateSearches[0], "/b/y.txt");
    presenter->onControlKey('Q');
    presenter->onAction(ResultAction::Config);
    EXPECT_EQ(view.configurationsOpened, 1);
    presenter->onControlKey('G');
    presenter->onDoubleClick(0);
    presenter->onDoubleClick(std::nullopt);
    EXPECT_EQ(shell.shown, (std::vector<std::string>{"/b/y.txt", "/a/x.txt"}));
}

// Enter opens what is selected, as many double clicks would; with nothing selected it is left to
// Find, and a selection too large to open is refused with a message instead of starting a program
// per row.
TEST_F(MainWindowActionsTest, EnterOpensTheSelectedRowsOrLeavesTheKeyToFind) {
    for (int row = 0; row < 20; ++row) {
        list.paths.push_back("/f/" + std::to_string(row) + ".txt");
    }
    struct Case {
        std::vector<std::size_t> selected;
        bool handled;
        std::size_t shown;
        std::size_t messages;
    };
    std::vector<std::size_t> all(20);
    std::iota(all.begin(), all.end(), 0);
    const std::vector<std::size_t> most(all.begin(), all.begin() + 16);
    for (const Case& entry :
         {Case{{}, false, 0, 0}, Case{{3}, true, 1, 0}, Case{{0, 7}, true, 2, 0},
          Case{most, true, 16, 0}, Case{all, true, 0, 1}}) {
        list.selected = entry.selected;
        shell.shown.clear();
        view.messages.clear();
        EXPECT_EQ(presenter->resultList().onEnterInList(), entry.handled) << entry.selected.size();
        EXPECT_EQ(shell.shown.size(), entry.shown) << entry.selected.size();
        EXPECT_EQ(view.messages.size(), entry.messages) << entry.selected.size();
    }
    list.selected = {0, 7};
    shell.shown.clear();
    view.messages.clear();
    presenter->resultList().onEnterInList();
    EXPECT_EQ(shell.shown, (std::vector<std::string>{"/f/0.txt", "/f/7.txt"}));
    EXPECT_EQ(view.messages, (std::vector<std::string>{}));
}

}  // namespace
}  // namespace quillfen
