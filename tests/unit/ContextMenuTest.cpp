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

// Separators show as "-", so the order of the whole menu reads in one line.
std::vector<std::string> textsOf(const std::vector<ContextMenuItem>& items) {
    std::vector<std::string> texts;
    for (const ContextMenuItem& item : items) {
        texts.push_back(item.isSeparator() ? "-" : item.text);
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
    const std::vector<std::string> expected = {
        "Open\tCtrl+O",
        "Open Containing Folder\tCtrl+G",
        "Open with gedit\tCtrl+E",
        "Document Duplication Search\tCtrl+D",
        "-",
        "Cut\tCtrl+X",
        "Copy\tCtrl+C",
        "Copy File Name\tCtrl+N",
        "-",
        "Select All\tCtrl+A",
        "Invert Selection\tCtrl+I",
        "-",
        "Config...",
    };
    EXPECT_EQ(textsOf(menuFor({.rowCount = 3, .selectedCount = 1, .clickOnRow = true})), expected);
}

TEST(ContextMenuText, OpenWithIsTranslatedAsAWholeBeforeTheEditorNameGoesIn) {
    std::vector<std::string> asked;
    const auto german = [&](std::string_view text) {
        asked.emplace_back(text);
        return text == "Open with %s\tCtrl+E" ? std::string("Mit %s öffnen\tStrg+E")
                                              : std::string(text);
    };
    const auto items = contextMenuItems({.rowCount = 1}, "kate", german);
    EXPECT_EQ(items[2].text, "Mit kate öffnen\tStrg+E");
    EXPECT_NE(std::find(asked.begin(), asked.end(), "Open with %s\tCtrl+E"), asked.end());
}

TEST(ContextMenuText, EditorNameIsInsertedLiterally) {
    const auto items = contextMenuItems({}, "ed%s 100%", english);
    EXPECT_EQ(items[2].text, "Open with ed%s 100%\tCtrl+E");
}

TEST(ContextMenuEnabling, FollowsRowsSelectionAndClickTarget) {
    const struct {
        const char* situation;
        ContextMenuState state;
        const char* enabled;
    } cases[] = {
        {"empty list", {.rowCount = 0, .selectedCount = 0, .clickOnRow = false}, "9 8"},
        {"rows, click below them",
         {.rowCount = 5, .selectedCount = 0, .clickOnRow = false},
         "9 5 8"},
        {"rows, click below two selected",
         {.rowCount = 5, .selectedCount = 2, .clickOnRow = false},
         "9 5 8"},
        {"one selected row clicked",
         {.rowCount = 5, .selectedCount = 1, .clickOnRow = true},
         "0 1 7 9 2 3 4 5 6 8"},
        {"row clicked, none selected",
         {.rowCount = 5, .selectedCount = 0, .clickOnRow = true},
         "0 1 7 9 2 3 4 5 6 8"},
        {"two selected, one clicked",
         {.rowCount = 5, .selectedCount = 2, .clickOnRow = true},
         "9 2 3 4 5 6 8"},
        {"all selected", {.rowCount = 5, .selectedCount = 5, .clickOnRow = true}, "9 2 3 4 5 6 8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(enabledCodes(menuFor(c.state)), c.enabled) << c.situation;
    }
}

TEST(ContextMenuVariant, DuplicateWindowMenuLacksOnlyTheDuplicateSearch) {
    const std::vector<std::string> expected = {
        "Open\tCtrl+O",
        "Open Containing Folder\tCtrl+G",
        "Open with gedit\tCtrl+E",
        "-",
        "Cut\tCtrl+X",
        "Copy\tCtrl+C",
        "Copy File Name\tCtrl+N",
        "-",
        "Select All\tCtrl+A",
        "Invert Selection\tCtrl+I",
        "-",
        "Config...",
    };
    const auto items = menuFor({.rowCount = 0, .offerDuplicateSearch = false});
    EXPECT_EQ(textsOf(items), expected);
    EXPECT_EQ(enabledCodes(items), "8");
}

}  // namespace
}  // namespace quillfen
