#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "results/ContextMenuItem.h"

namespace quillfen {

// The list at the moment of the right click.
struct ContextMenuState {
    std::size_t rowCount = 0;
    std::size_t selectedCount = 0;
    // False when the click hit the list's empty space below the rows.
    bool clickOnRow = false;
    // The duplicate window offers no duplicate search from its own list.
    bool offerDuplicateSearch = true;
};

// The items in menu order with separators, translated into the current language, the editor's
// short name in the "Open with" item, and each greyed or not by the rules of the state.
std::vector<ContextMenuItem> contextMenuItems(const ContextMenuState& state);

// The same with the editor's name and the translation given, so that the menu can be checked
// against any language.
std::vector<ContextMenuItem> contextMenuItems(
    const ContextMenuState& state, std::string_view editorName,
    const std::function<std::string(std::string_view)>& translateText);

}  // namespace quillfen
