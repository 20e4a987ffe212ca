// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ModalScript.h"
#include "SearchWindowFixture.h"
#include "platform/windows/WideText.h"
#include "ui/win32/SearchDialogIds.h"
#include "ui/win32/Win32MainWindow.h"

namespace quillfen {
namespace {

// The keys a Windows user reaches for in the search window, sent where the keyboard sends them:
// to the control that has the focus, through the window's own message loop.
class SearchWindowKeyboardTest : public test::SearchWindowFixture {
protected:
    void SetUp() override {
        SearchWindowFixture::SetUp();
        write("alpha.txt", "a");
        write("notes/beta.txt", "b");
        write("notes/skip.log", "c");
        window = std::make_unique<win32::Win32MainWindow>("");
        dialog = window->window();
        list = GetDlgItem(dialog, IDC_RESULT_LIST);
        ShowWindow(GetDlgItem(dialog, IDC_TRANSLATION_BANNER), SW_HIDE);
    }
    void TearDown() override {
        window.reset();
        SearchWindowFixture::TearDown();
    }

    // The window's own control that has the focus: a combo box rather than the edit inside it.
    int focusedControl() const {
        HWND focus = GetFocus();
        while (focus != nullptr && GetParent(focus) != dialog) {
            focus = GetParent(focus);
        }
        return focus == nullptr ? 0 : GetDlgCtrlID(focus);
    }

    void press(WORD key) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
        bool posted = false;
        ASSERT_TRUE(pumpUntil(dialog, [&] { return std::exchange(posted, true); }));
    }

    // Shift held for the keys pressed meanwhile, as the dialog reads it from the key state.
    static void holdShift(bool held) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = held ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    void searchAll() {
        type(dialog, IDC_NAME_PATTERNS, "*");
        type(dialog, IDC_LOOK_IN, tree());
        click(dialog, IDC_SEARCH_FIND);
        ASSERT_TRUE(pumpUntil(dialog, [this] { return !window->presenter().searching(); }));
    }

    // The message boxes that opened, each answered by Enter pressed in it.
    std::vector<std::wstring> answerMessagesWithEnter(const std::function<void()>& action) {
        std::vector<std::wstring> seen;
        std::vector<test::ModalScript::Step> steps;
        for (int box = 0; box < 2; ++box) {
            steps.push_back([&seen] {
                HWND message = test::dialogTitled(L"Quillfen!");
                if (message == nullptr) {
                    return false;
                }
                for (const std::wstring& text : test::childTexts(message)) {
                    if (text.find(L'.') != std::wstring::npos) {
                        seen.push_back(text);
                    }
                }
                HWND focus = GetFocus();
                PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 1);
                PostMessageW(focus, WM_KEYUP, VK_RETURN, 0xC0000001);
                return true;
            });
        }
        {
            const test::ModalScript script(std::move(steps));
            action();
            // A second box would be answered too; none should come.
            int idle = 0;
            pumpUntil(dialog, [&] { return script.finished() || ++idle > 25; });
        }
        return seen;
    }

    bool visible(int id) const {
        return (GetWindowLongPtrW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
    }

    std::unique_ptr<win32::Win32MainWindow> window;
    HWND dialog = nullptr;
    HWND list = nullptr;
};

TEST_F(SearchWindowKeyboardTest, EnterInAnyBoxRunsFind) {
    // Each search finds one file more than the one before, so each row count tells its search.
    int expectedRows = 2;
    for (const int box : {IDC_NAME_PATTERNS, IDC_LOOK_IN, IDC_CONTENT_TEXT}) {
        SCOPED_TRACE(box);
        write("more/" + std::to_string(box) + ".txt", "m");
        ++expectedRows;
        type(dialog, IDC_NAME_PATTERNS, "*.txt");
        type(dialog, IDC_LOOK_IN, tree());
        SetFocus(GetDlgItem(dialog, box));
        ASSERT_EQ(focusedControl(), box);
        press(VK_RETURN);
        ASSERT_TRUE(pumpUntil(dialog, [&] {
            return !window->presenter().searching() && ListView_GetItemCount(list) == expectedRows;
        }));
        EXPECT_EQ(focusedControl(), box) << "the focus stays in the box";
    }
}

// Only controls that can take input stop the Tab key, in the template's order; the hidden
// hexadecimal box, the disabled dates and size bounds and the radio button not chosen are passed.
TEST_F(SearchWindowKeyboardTest, TabFollowsTheTemplatesOrder) {
    const std::vector<int> expected = {IDC_NAME_PATTERNS,     IDC_LOOK_IN,      IDC_BROWSE_LOOK_IN,
                                       IDC_SEARCH_SUBFOLDERS, IDC_CONTENT_TEXT, IDC_TEXT_MODE,
                                       IDC_MATCH_CASE,        IDC_MATCH_ANSI,   IDC_MATCH_UNICODE,
                                       IDC_MATCH_UTF8,        IDC_DATE_OPTION,  IDC_SIZE_OPTION,
                                       IDC_RESULT_LIST,       IDC_SEARCH_FIND};
    SetFocus(GetDlgItem(dialog, IDC_SEARCH_FIND));
    std::vector<int> visited;
    for (std::size_t step = 0; step < expected.size(); ++step) {
        press(VK_TAB);
        visited.push_back(focusedControl());
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(SearchWindowKeyboardTest, ControlAInTheListSelectsEveryRow) {
    type(dialog, IDC_NAME_PATTERNS, "*");
    type(dialog, IDC_LOOK_IN, tree());
    click(dialog, IDC_SEARCH_FIND);
    ASSERT_TRUE(pumpUntil(dialog, [this] { return !window->presenter().searching(); }));
    ASSERT_EQ(ListView_GetItemCount(list), 4);
    selectRows(list, {1});
    pressControlKey(list, 'A');
    EXPECT_EQ(ListView_GetSelectedCount(list), 4u);
    EXPECT_EQ(GetFocus(), list);
}

// A button hidden while it has the focus would leave the keyboard with nowhere to go.
TEST_F(SearchWindowKeyboardTest, TheFocusMovesBetweenFindAndStopAsTheySwapPlaces) {
    type(dialog, IDC_NAME_PATTERNS, "*.txt");
    type(dialog, IDC_LOOK_IN, tree());
    SetFocus(GetDlgItem(dialog, IDC_SEARCH_FIND));
    click(dialog, IDC_SEARCH_FIND);
    ASSERT_TRUE(window->presenter().searching());
    EXPECT_TRUE(visible(IDC_SEARCH_STOP));
    EXPECT_EQ(focusedControl(), IDC_SEARCH_STOP);
    ASSERT_TRUE(pumpUntil(dialog, [this] { return !window->presenter().searching(); }));
    EXPECT_EQ(focusedControl(), IDC_SEARCH_FIND);

    write("gamma.txt", "g");
    press(VK_RETURN);
    EXPECT_TRUE(pumpUntil(dialog, [this] {
        return !window->presenter().searching() && ListView_GetItemCount(list) == 3;
    })) << "Enter on Find searches again";
}

TEST_F(SearchWindowKeyboardTest, TheFocusStartsInTheNameBoxAndTheModesTakeItToTheirBoxes) {
    ShowWindow(dialog, SW_SHOW);
    bool shown = false;
    ASSERT_TRUE(pumpUntil(dialog, [&] { return std::exchange(shown, true); }));
    EXPECT_EQ(focusedControl(), IDC_NAME_PATTERNS);
    click(dialog, IDC_HEX_MODE);
    EXPECT_EQ(focusedControl(), IDC_HEX_TEXT);
    click(dialog, IDC_TEXT_MODE);
    EXPECT_EQ(focusedControl(), IDC_CONTENT_TEXT);
}

// Tab and Shift+Tab leave a list full of rows for the next and the previous control; the arrows
// move within it.
TEST_F(SearchWindowKeyboardTest, TabLeavesTheListAndTheArrowsMoveWithinIt) {
    searchAll();
    ASSERT_EQ(ListView_GetItemCount(list), 4);
    SetFocus(list);
    selectRows(list, {0});
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    press(VK_DOWN);
    EXPECT_EQ(focusedControl(), IDC_RESULT_LIST);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 1);
    press(VK_TAB);
    EXPECT_EQ(focusedControl(), IDC_SEARCH_FIND);
    SetFocus(list);
    holdShift(true);
    press(VK_TAB);
    holdShift(false);
    EXPECT_EQ(focusedControl(), IDC_SIZE_OPTION);
}

// Enter on selected rows is the list's: it opens them (too many for that, it says so) and
// keeps them selected; on no row selected it is Find's, as in every box.
TEST_F(SearchWindowKeyboardTest, EnterOnSelectedRowsOpensThemInsteadOfSearching) {
    for (int file = 0; file < 16; ++file) {
        write("many/" + std::to_string(file) + ".dat", "x");
    }
    searchAll();
    ASSERT_EQ(ListView_GetItemCount(list), 21);
    SetFocus(list);
    pressControlKey(list, 'A');
    const std::vector<std::wstring> messages = answerMessagesWithEnter([&] { press(VK_RETURN); });
    EXPECT_EQ(messages,
              (std::vector<std::wstring>{L"Select at most 16 files to open them at once."}));
    EXPECT_FALSE(window->presenter().searching());
    EXPECT_EQ(ListView_GetSelectedCount(list), 21u);

    write("one-more.txt", "x");
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    SetFocus(list);
    press(VK_RETURN);
    EXPECT_TRUE(pumpUntil(dialog, [this] {
        return !window->presenter().searching() && ListView_GetItemCount(list) == 22;
    })) << "with nothing selected, Enter searches";
}

// The box that Enter opened closes with Enter, and the key that opened it opens no second one.
TEST_F(SearchWindowKeyboardTest, AMessageThatEnterOpenedClosesWithEnter) {
    type(dialog, IDC_LOOK_IN, folder / "missing");
    SetFocus(GetDlgItem(dialog, IDC_LOOK_IN));
    const std::vector<std::wstring> messages = answerMessagesWithEnter([&] { press(VK_RETURN); });
    EXPECT_EQ(messages, (std::vector<std::wstring>{L"Folder not exists."}));
    EXPECT_EQ(focusedControl(), IDC_LOOK_IN);
}

}  // namespace
}  // namespace quillfen
