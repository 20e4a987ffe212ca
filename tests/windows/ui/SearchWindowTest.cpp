// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "ModalScript.h"
#include "SearchWindowFixture.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsSystemInfo.h"
#include "support/ProgramRun.h"
#include "ui/win32/ControlTextFit.h"
#include "ui/win32/ResultContextMenu.h"
#include "ui/win32/SearchDialogIds.h"
#include "ui/win32/Win32MainWindow.h"

namespace quillfen {
namespace {

using test::ShownRow;

class SearchWindowTest : public test::SearchWindowFixture {
protected:
    void SetUp() override {
        SearchWindowFixture::SetUp();
        write("alpha.txt", std::string(1536, 'a'));
        write("Beta.TXT", std::string(10, 'b'));
        write("notes/gamma.txt", std::string(2048 * 1024, 'g'));
        write("notes/deep/delta.txt", "");
        write("notes/skip.log", "x");
        window = std::make_unique<win32::Win32MainWindow>("");
        dialog = window->window();
        list = GetDlgItem(dialog, IDC_RESULT_LIST);
    }
    void TearDown() override {
        window.reset();
        SearchWindowFixture::TearDown();
    }

    // Types the inputs, clicks Find and runs the window until the search has ended.
    void find(const std::string& names, const std::string& lookIn) {
        type(dialog, IDC_NAME_PATTERNS, names);
        type(dialog, IDC_LOOK_IN, lookIn);
        click(dialog, IDC_SEARCH_FIND);
        ASSERT_TRUE(pumpUntil(dialog, [this] { return !window->presenter().searching(); }));
    }

    std::vector<std::string> column(int index) const {
        std::vector<std::string> cells;
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            cells.push_back(cellText(list, row, index));
        }
        return cells;
    }

    std::unique_ptr<win32::Win32MainWindow> window;
    HWND dialog = nullptr;
    HWND list = nullptr;
};

TEST_F(SearchWindowTest, OpensWithTheTemplatesControlsAndColumns) {
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(list, nullptr);
    HWND header = ListView_GetHeader(list);
    ASSERT_EQ(Header_GetItemCount(header), 6);
    const char* titles[] = {"Name", "In Folder", "Type", "Date Modified", "Size", "Size Byte"};
    for (int index = 0; index < 6; ++index) {
        wchar_t text[64] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = text;
        item.cchTextMax = 64;
        Header_GetItem(header, index, &item);
        EXPECT_EQ(platform::fromWide(text), titles[index]);
        EXPECT_EQ(item.fmt & HDF_JUSTIFYMASK, index >= 4 ? HDF_RIGHT : HDF_LEFT) << titles[index];
        EXPECT_EQ(item.cxy == 0, index == 5) << titles[index];
    }
    EXPECT_NE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_OWNERDATA, 0);
    EXPECT_NE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT, 0u);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_SEARCH_FIND)) ||
                (GetWindowLongPtrW(GetDlgItem(dialog, IDC_SEARCH_FIND), GWL_STYLE) & WS_VISIBLE));
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(dialog, IDC_SEARCH_STOP), GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(test::SearchWindowFixture::cellText(list, 0, 0), "");
    wchar_t title[64] = {};
    GetWindowTextW(dialog, title, 64);
    EXPECT_TRUE(platform::fromWide(title).starts_with("Quillfen! ")) << platform::fromWide(title);
}

// Texts longer than the template was drawn for, as German ones are, widen their check boxes: a
// row moves apart, and the box at the end of the look-in row takes its room from the folder box.
TEST_F(SearchWindowTest, CheckBoxesGrowToTheirTextsAndTheirRowsMakeRoom) {
    struct Text {
        int id;
        const wchar_t* text;
        bool longerThanTheTemplate;
    };
    const Text texts[] = {
        {IDC_MATCH_CASE, L"&Gro\u00df-/Kleinschreibung beachten", true},
        {IDC_MATCH_UNICODE, L"Als Unic&ode suchen", false},
        {IDC_SEARCH_SUBFOLDERS, L"&Unterordner durchsuchen", true},
    };
    const win32::ControlTextFit fit(dialog);
    const auto place = [this](int id) {
        RECT rect{};
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const RECT subfoldersBefore = place(IDC_SEARCH_SUBFOLDERS);
    const LONG overlapBefore = place(IDC_LOOK_IN).right - place(IDC_BROWSE_LOOK_IN).left;
    for (const Text& entry : texts) {
        SetDlgItemTextW(dialog, entry.id, entry.text);
        const RECT rect = place(entry.id);
        EXPECT_EQ(fit.neededWidth(GetDlgItem(dialog, entry.id)) > rect.right - rect.left,
                  entry.longerThanTheTemplate)
            << entry.id;
    }
    const std::vector<int> row = {IDC_TEXT_MODE,  IDC_HEX_MODE,      IDC_MATCH_CASE,
                                  IDC_MATCH_ANSI, IDC_MATCH_UNICODE, IDC_MATCH_UTF8};
    fit.spreadRow(row);
    fit.growLeftward(IDC_SEARCH_SUBFOLDERS, {IDC_BROWSE_LOOK_IN}, IDC_LOOK_IN);
    for (std::size_t index = 0; index < row.size(); ++index) {
        const RECT rect = place(row[index]);
        EXPECT_GE(rect.right - rect.left, fit.neededWidth(GetDlgItem(dialog, row[index])));
        if (index > 0) {
            EXPECT_GT(rect.left, place(row[index - 1]).right) << row[index];
        }
    }
    RECT group{};
    GetWindowRect(GetDlgItem(dialog, IDC_CONTENT_GROUP), &group);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&group), 2);
    EXPECT_LT(place(row.back()).right, group.right) << "the row stays inside its group";
    const RECT subfolders = place(IDC_SEARCH_SUBFOLDERS);
    EXPECT_GE(subfolders.right - subfolders.left,
              fit.neededWidth(GetDlgItem(dialog, IDC_SEARCH_SUBFOLDERS)));
    EXPECT_EQ(subfolders.right, subfoldersBefore.right);
    EXPECT_LE(place(IDC_BROWSE_LOOK_IN).right, subfolders.left);
    EXPECT_EQ(place(IDC_LOOK_IN).right - place(IDC_BROWSE_LOOK_IN).left, overlapBefore);
}

TEST_F(SearchWindowTest, FindShowsTheRowsTheCommandLineFinds) {
    find("*.txt", tree());
    std::vector<ShownRow> shown = shownRows(list);
    std::vector<ShownRow> expected = cliRows({"find", "--in", tree(), "--name", "*.txt"});
    std::sort(shown.begin(), shown.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(expected.size(), 4u);
    EXPECT_EQ(shown, expected);
    wchar_t count[64] = {};
    GetDlgItemTextW(dialog, IDC_COUNT_LINE, count, 64);
    EXPECT_EQ(platform::fromWide(count), "4 file(s) found.");
}

// What the walk could not read shows on the progress line after a stopped search, and a click on
// the line lists it in a message box.
TEST_F(SearchWindowTest, AStoppedSearchSaysSoAndAClickListsWhatItCouldNotRead) {
    std::atomic<bool> reported{false};
    window->presenter().resultList().start(
        [&](SearchObserver& observer, const std::atomic<bool>& stop) {
            observer.searchingFolder("C:\\x\\");
            observer.skipped("C:\\x\\locked\\", "Access is denied.");
            reported = true;
            while (!stop.load()) {
                Sleep(1);
            }
        });
    ASSERT_TRUE(pumpUntil(dialog, [&] { return reported.load(); }));
    click(dialog, IDC_SEARCH_STOP);
    ASSERT_TRUE(pumpUntil(dialog, [this] { return !window->presenter().searching(); }));
    wchar_t progress[256] = {};
    GetDlgItemTextW(dialog, IDC_PROGRESS_LINE, progress, 256);
    const std::string line = platform::fromWide(progress);
    EXPECT_TRUE(line.starts_with("Search stopped after ")) << line;
    EXPECT_TRUE(line.ends_with(" seconds. 1 folder(s) could not be read")) << line;

    std::wstring listed;
    const test::ModalScript script({
        [&] {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROGRESS_LINE, STN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PROGRESS_LINE)));
            return true;
        },
        [&] {
            const std::vector<HWND> shown = test::threadDialogs();
            if (shown.empty() || shown.front() == dialog) {
                return false;
            }
            for (const std::wstring& text : test::childTexts(shown.front())) {
                listed += text;
            }
            test::pressButton(shown.front(), IDOK);
            return true;
        },
    });
    ASSERT_TRUE(pumpUntil(dialog, [&] { return script.finished(); }));
    EXPECT_NE(listed.find(L"1 folder(s) could not be read"), std::wstring::npos);
    EXPECT_NE(listed.find(L"C:\\x\\locked: Access is denied."), std::wstring::npos);
}

TEST_F(SearchWindowTest, HeaderClicksSortWithTheArrowOnTheLastClickedColumn) {
    find("*.txt", tree());
    clickHeader(dialog, IDC_RESULT_LIST, 4);
    EXPECT_EQ(column(0),
              (std::vector<std::string>{"delta.txt", "Beta.TXT", "alpha.txt", "gamma.txt"}));
    EXPECT_NE(headerFormat(list, 4) & HDF_SORTUP, 0);
    clickHeader(dialog, IDC_RESULT_LIST, 4);
    EXPECT_EQ(column(0),
              (std::vector<std::string>{"gamma.txt", "alpha.txt", "Beta.TXT", "delta.txt"}));
    EXPECT_NE(headerFormat(list, 4) & HDF_SORTDOWN, 0);
    clickHeader(dialog, IDC_RESULT_LIST, 0);
    EXPECT_EQ(column(0),
              (std::vector<std::string>{"alpha.txt", "Beta.TXT", "delta.txt", "gamma.txt"}));
    EXPECT_NE(headerFormat(list, 0) & HDF_SORTUP, 0);
    EXPECT_EQ(headerFormat(list, 4) & (HDF_SORTUP | HDF_SORTDOWN), 0);
}

TEST_F(SearchWindowTest, ControlCPutsTheSelectedFilesOnTheClipboardToCopy) {
    find("*.txt", tree());
    clickHeader(dialog, IDC_RESULT_LIST, 0);
    selectRows(list, {0, 2});
    pressControlKey(list, 'C');
    EXPECT_EQ(clipboardFiles(), (std::vector<std::string>{folder / "tree/alpha.txt",
                                                          folder / "tree/notes/deep/delta.txt"}));
    EXPECT_EQ(clipboardDropEffect(), 1u);

    pressControlKey(list, 'X');
    EXPECT_EQ(clipboardFiles().size(), 2u);
    EXPECT_EQ(clipboardDropEffect(), 2u);
}

TEST_F(SearchWindowTest, ContextMenuCommandsSelectAndInvert) {
    find("*.txt", tree());
    SendMessageW(dialog, WM_COMMAND, IDM_ACTION_SELECT_ALL, 0);
    EXPECT_EQ(ListView_GetSelectedCount(list), 4u);
    SendMessageW(dialog, WM_COMMAND, IDM_ACTION_INVERT_SELECTION, 0);
    EXPECT_EQ(ListView_GetSelectedCount(list), 0u);
    selectRows(list, {1});
    SendMessageW(dialog, WM_COMMAND, IDM_ACTION_INVERT_SELECTION, 0);
    EXPECT_EQ(ListView_GetSelectedCount(list), 3u);
    EXPECT_EQ(ListView_GetItemState(list, 1, LVIS_SELECTED), 0u);
}

// The menu keeps the resource's order and ids; the presenter decides texts and greying.
TEST_F(SearchWindowTest, ContextMenuFollowsTheSelection) {
    find("*.txt", tree());
    selectRows(list, {0, 1});
    const win32::ResultContextMenu menu(window->presenter().contextMenu(true));
    ASSERT_NE(menu.popup(), nullptr);
    const struct {
        UINT command;
        const char* text;
        bool enabled;
    } expected[] = {
        {IDM_ACTION_OPEN, "Open\tCtrl+O", false},
        {IDM_ACTION_OPEN_WITH_CHOSEN, "Open With...", false},
        {IDM_ACTION_OPEN_FOLDER, "Open Containing Folder\tCtrl+G", false},
        {IDM_ACTION_OPEN_WITH_EDITOR, "", false},
        {IDM_ACTION_DUPLICATE_SEARCH, "Document Duplication Search\tCtrl+D", true},
        {IDM_ACTION_COPY, "Copy\tCtrl+C", true},
        {IDM_ACTION_MOVE_TO_TRASH, "Move to Trash", true},
        {IDM_ACTION_SELECT_ALL, "Select All\tCtrl+A", true},
        {IDM_ACTION_EXPORT_LIST, "Export List...", true},
        {IDM_ACTION_CONFIG, "Config...", true},
    };
    for (const auto& item : expected) {
        wchar_t text[128] = {};
        GetMenuStringW(menu.popup(), item.command, text, 128, MF_BYCOMMAND);
        if (*item.text != '\0') {
            EXPECT_EQ(platform::fromWide(text), item.text);
        }
        const UINT state = GetMenuState(menu.popup(), item.command, MF_BYCOMMAND);
        EXPECT_EQ((state & MF_GRAYED) == 0, item.enabled) << item.command;
    }
    EXPECT_EQ(GetMenuItemCount(menu.popup()), 16);
    wchar_t exportText[64] = {};
    GetMenuStringW(GetSystemMenu(dialog, FALSE), IDM_SYSTEM_EXPORT_LIST, exportText, 64,
                   MF_BYCOMMAND);
    EXPECT_EQ(platform::fromWide(exportText), "Export List...");
}

// The system menu's export, through the shell's save dialog, writes what the command line prints
// for the same search, byte for byte.
TEST_F(SearchWindowTest, ExportFromTheSystemMenuWritesTheCommandLinesCsv) {
    find("*.txt", tree());
    const std::string exported = folder / "exported";
    const test::ModalScript script({
        [&] {
            PostMessageW(dialog, WM_SYSCOMMAND, IDM_SYSTEM_EXPORT_LIST, 0);
            return true;
        },
        [&] {
            HWND save = test::dialogTitled(L"Export List");
            if (save == nullptr) {
                return false;
            }
            // The file name box of the shell's save dialog.
            constexpr int kFileNameBox = 1148;
            SetDlgItemTextW(save, kFileNameBox, platform::toWide(exported).c_str());
            test::pressButton(save, IDOK);
            return true;
        },
        [&] { return test::dialogTitled(L"Export List") == nullptr; },
    });
    ASSERT_TRUE(pumpUntil(dialog, [&] { return script.finished(); }));
    const std::string self = platform::WindowsSystemInfo().executablePath();
    const std::string cli = self.substr(0, self.rfind('\\') + 1) + "quillfen-cli.exe";
    const std::string printed =
        test::runProgram(cli, {"find", "--in", tree(), "--name", "*.txt", "--format", "csv"}).out;
    EXPECT_EQ(folder.readFile("exported.csv"), printed);
}

TEST_F(SearchWindowTest, EscapeDoesNotCloseTheWindow) {
    PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(GetDlgItem(dialog, IDC_NAME_PATTERNS), WM_KEYDOWN, VK_ESCAPE, 1);
    bool posted = false;
    ASSERT_TRUE(pumpUntil(dialog, [&] {
        const bool done = posted;
        posted = true;
        return done;
    }));
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(window->isOpen());
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(dialog));
}

class LargeTreeSearchWindowTest : public SearchWindowTest {
protected:
    static constexpr int kFolders = 200;
    static constexpr int kFilesPerFolder = 10;

    void SetUp() override {
        SearchWindowTest::SetUp();
        for (int index = 0; index < kFolders; ++index) {
            const std::string sub = "many/f" + std::to_string(index) + "/";
            for (int file = 0; file < kFilesPerFolder; ++file) {
                write(sub + std::to_string(file) + ".dat", "d");
            }
        }
    }
};

// Stop is sent right after Find, long before the walk of a couple of thousand entries is through.
TEST_F(LargeTreeSearchWindowTest, StopEndsARunningSearch) {
    type(dialog, IDC_NAME_PATTERNS, "*");
    type(dialog, IDC_LOOK_IN, tree());
    click(dialog, IDC_SEARCH_FIND);
    ASSERT_TRUE(window->presenter().searching());
    EXPECT_NE(GetWindowLongPtrW(GetDlgItem(dialog, IDC_SEARCH_STOP), GWL_STYLE) & WS_VISIBLE, 0);
    click(dialog, IDC_SEARCH_STOP);
    ASSERT_TRUE(pumpUntil(dialog, [this] { return !window->presenter().searching(); }));
    EXPECT_LT(window->presenter().foundCount(), kFolders * (kFilesPerFolder + 1));
    EXPECT_EQ(GetWindowLongPtrW(GetDlgItem(dialog, IDC_SEARCH_STOP), GWL_STYLE) & WS_VISIBLE, 0);
}

TEST_F(LargeTreeSearchWindowTest, ClosingDuringASearchWaitsForIt) {
    type(dialog, IDC_NAME_PATTERNS, "*");
    type(dialog, IDC_LOOK_IN, tree());
    click(dialog, IDC_SEARCH_FIND);
    ASSERT_TRUE(window->presenter().searching());
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(window->presenter().searching());
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(window->isOpen());
}

}  // namespace
}  // namespace quillfen
