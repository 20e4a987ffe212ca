// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "SearchWindowFixture.h"
#include "ui/win32/SearchDialogIds.h"
#include "ui/win32/Win32DuplicateWindow.h"
#include "ui/win32/Win32MainWindow.h"

namespace quillfen {
namespace {

// Either search window, opened and closed as the user would, its dialog and list at hand.
class OpenWindow {
public:
    virtual ~OpenWindow() = default;
    virtual HWND dialog() const = 0;
    HWND list() const { return GetDlgItem(dialog(), IDC_RESULT_LIST); }
    void close() const { SendMessageW(dialog(), WM_CLOSE, 0, 0); }
    SIZE clientSize() const {
        RECT client{};
        GetClientRect(dialog(), &client);
        return SIZE{client.right, client.bottom};
    }
    // The distance from the list's right edge to the client area's.
    int listRightMargin() const {
        RECT place{};
        GetWindowRect(list(), &place);
        MapWindowPoints(nullptr, dialog(), reinterpret_cast<POINT*>(&place), 2);
        return clientSize().cx - place.right;
    }
};

template <typename Window>
class OpenWindowOf : public OpenWindow {
public:
    OpenWindowOf() : window_("") {}
    HWND dialog() const override { return window_.window(); }

private:
    Window window_;
};

using WindowMaker = std::function<std::unique_ptr<OpenWindow>()>;

struct WindowKind {
    const char* name;
    const char* keyPrefix;
    WindowMaker open;
    WindowMaker openOther;
};

const WindowKind kKinds[] = {
    {"search", "", [] { return std::make_unique<OpenWindowOf<win32::Win32MainWindow>>(); },
     [] { return std::make_unique<OpenWindowOf<win32::Win32DuplicateWindow>>(); }},
    {"duplicate", "Duplicate",
     [] { return std::make_unique<OpenWindowOf<win32::Win32DuplicateWindow>>(); },
     [] { return std::make_unique<OpenWindowOf<win32::Win32MainWindow>>(); }},
};

class WindowLayoutTest : public test::SearchWindowFixture,
                         public testing::WithParamInterface<WindowKind> {};

// Resizes the whole window by the same amount in both directions, frame and all.
void growBy(HWND dialog, int pixels) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + pixels,
                 frame.bottom - frame.top + pixels, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST_P(WindowLayoutTest, SizeAndColumnWidthsSurviveClosingAndReopening) {
    SIZE templateSize{};
    SIZE resized{};
    int nameWidth = 0;
    int listMargin = 0;
    {
        const std::unique_ptr<OpenWindow> window = GetParam().open();
        templateSize = window->clientSize();
        nameWidth = ListView_GetColumnWidth(window->list(), 0);
        listMargin = window->listRightMargin();
        growBy(window->dialog(), 150);
        ListView_SetColumnWidth(window->list(), 1, 333);
        resized = window->clientSize();
        window->close();
    }
    ASSERT_EQ(resized.cx, templateSize.cx + 150);

    const std::unique_ptr<OpenWindow> reopened = GetParam().open();
    EXPECT_EQ(reopened->clientSize().cx, resized.cx);
    EXPECT_EQ(reopened->clientSize().cy, resized.cy);
    EXPECT_EQ(ListView_GetColumnWidth(reopened->list(), 1), 333);
    EXPECT_EQ(ListView_GetColumnWidth(reopened->list(), 0), nameWidth);
    EXPECT_EQ(ListView_GetColumnWidth(reopened->list(), 5), 0) << "the size key stays hidden";
    EXPECT_EQ(reopened->listRightMargin(), listMargin) << "the list follows the restored size";
}

// The two windows keep their layouts under keys of their own.
TEST_P(WindowLayoutTest, TheOtherWindowKeepsItsOwnSize) {
    SIZE otherTemplateSize{};
    {
        const std::unique_ptr<OpenWindow> other = GetParam().openOther();
        otherTemplateSize = other->clientSize();
    }
    {
        const std::unique_ptr<OpenWindow> window = GetParam().open();
        growBy(window->dialog(), 120);
        window->close();
    }
    const std::unique_ptr<OpenWindow> other = GetParam().openOther();
    EXPECT_EQ(other->clientSize().cx, otherTemplateSize.cx);
    EXPECT_EQ(other->clientSize().cy, otherTemplateSize.cy);
}

// The user cannot shrink a window past its controls, and a size stored below that, as an older
// version kept it, is not taken.
TEST_P(WindowLayoutTest, AWindowKeepsAMinimumSizeAndATinyStoredOneIsNotTaken) {
    SIZE templateSize{};
    {
        const std::unique_ptr<OpenWindow> window = GetParam().open();
        templateSize = window->clientSize();
        RECT frame{};
        GetWindowRect(window->dialog(), &frame);
        RECT list{};
        GetWindowRect(window->list(), &list);
        MINMAXINFO limits{};
        SendMessageW(window->dialog(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
        EXPECT_EQ(limits.ptMinTrackSize.x, frame.right - frame.left) << "every control in reach";
        EXPECT_GT(limits.ptMinTrackSize.y, list.top - frame.top) << "a few rows of the list";
        EXPECT_LT(limits.ptMinTrackSize.y, frame.bottom - frame.top);
    }
    const std::string prefix = GetParam().keyPrefix;
    writeSetting(settingsFile(), "Config", prefix + "WindowWidth", "250");
    writeSetting(settingsFile(), "Config", prefix + "WindowHeight", "120");
    const std::unique_ptr<OpenWindow> reopened = GetParam().open();
    EXPECT_EQ(reopened->clientSize().cx, templateSize.cx);
    EXPECT_EQ(reopened->clientSize().cy, templateSize.cy);
}

INSTANTIATE_TEST_SUITE_P(BothSearchWindows, WindowLayoutTest, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<WindowKind>& kind) {
                             return std::string(kind.param.name);
                         });

}  // namespace
}  // namespace quillfen
