#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "results/ContextMenu.h"

namespace quillfen {
namespace {

std::string english(std::string_view text) {
    return std::string(text);
}

std::vector<ContextMenuItem> menuFor(const ContextMenuState& state) {
    return contextMenuItems(state, "gedit", english);
}

// The texts joined by "|", separators shown as "-", so the whole menu reads in one line.
std::string textsOf(const std::vector<ContextMenuItem>& items) {
    std::string texts;
    for (const ContextMenuItem& item : items) {
        texts += (texts.empty() ? "" : "|") + (item.isSeparator() ? "-" : item.text);
    }
    return texts;
}

// The enabled items' action codes in menu order, such as "0 1 7 9 2 3 4 5 6 8".
std::string enabledCodes(const std::vector<ContextMenuItem>& items) {
    std::string codes;
    for (const ContextMenuItem& item : items) {
        if (!item.isSeparator() && item.enabled) {
            codes += (codes.empty() ? "" : " ") + std::to_string(static_cast<int>(*item.action));
        }
    }
    return codes;
}

TEST(ContextMenuText, ItemsComeInMenuOrderWithShortcutsBehindATab) {
    EXPECT_EQ(textsOf(menuFor({.rowCount = 3, .selectedCount = 1, .clickOnRow = true})),
              "Open\tCtrl+O|Open With...|Open Containing Folder\tCtrl+G|Open with gedit\tCtrl+E|"
              "Document Duplication Search\tCtrl+D|-|Cut\tCtrl+X|Copy\tCtrl+C|"
              "Copy File Name\tCtrl+N|Move to Trash|-|Select All\tCtrl+A|"
              "Invert Selection\tCtrl+I|-|Export List...|Config...");
}

TEST(ContextMenuText, OpenWithIsTranslatedAsAWholeBeforeTheEditorNameGoesIn) {
    const auto german = [](std::string_view text) {
        return text == "Open with %s\tCtrl+E" ? std::string("Mit %s öffnen\tStrg+E")
                                              : std::string(text);
    };
    EXPECT_EQ(contextMenuItems({}, "kate", german)[3].text, "Mit kate öffnen\tStrg+E");
    EXPECT_EQ(contextMenuItems({}, "ed%s 100%", english)[3].text, "Open with ed%s 100%\tCtrl+E");
}

TEST(ContextMenuEnabling, FollowsRowsSelectionAndClickTarget) {
    const struct {
        std::size_t rows;
        std::size_t selected;
        bool onRow;
        const char* enabled;
    } cases[] = {
        {0, 0, false, "9 8"},                          // empty list
        {5, 0, false, "9 5 12 8"},                     // click below the rows
        {5, 2, false, "9 5 12 8"},                     // click below two selected rows
        {5, 1, true, "0 10 1 7 9 2 3 4 11 5 6 12 8"},  // one selected row clicked
        {5, 0, true, "0 10 1 7 9 2 3 4 11 5 6 12 8"},  // a row clicked, none selected
        {5, 2, true, "9 2 3 4 11 5 6 12 8"},           // two selected, one clicked
        {5, 5, true, "9 2 3 4 11 5 6 12 8"},           // all selected
    };
    for (const auto& c : cases) {
        const ContextMenuState state{
            .rowCount = c.rows, .selectedCount = c.selected, .clickOnRow = c.onRow};
        EXPECT_EQ(enabledCodes(menuFor(state)), c.enabled)
            << c.rows << " rows, " << c.selected << " selected, on row " << c.onRow;
    }
}

TEST(ContextMenuVariant, DuplicateWindowMenuLacksOnlyTheDuplicateSearch) {
    const auto items = menuFor({.rowCount = 0, .offerDuplicateSearch = false});
    EXPECT_EQ(textsOf(items),
              "Open\tCtrl+O|Open With...|Open Containing Folder\tCtrl+G|"
              "Open with gedit\tCtrl+E|-|Cut\tCtrl+X|Copy\tCtrl+C|Copy File Name\tCtrl+N|"
              "Move to Trash|-|Select All\tCtrl+A|Invert Selection\tCtrl+I|-|Export List...|"
              "Config...");
    EXPECT_EQ(enabledCodes(items), "8");
}

}  // namespace
}  // namespace quillfen
