#pragma once

#include <optional>

namespace quillfen {

// What the user can do with the rows of a result list; the codes are those the menu and the
// shortcuts have always used.
enum class ResultAction : int {
    Open = 0,
    OpenContainingFolder = 1,
    Cut = 2,
    Copy = 3,
    CopyFileName = 4,
    SelectAll = 5,
    InvertSelection = 6,
    OpenWithEditor = 7,
    Config = 8,
    DuplicateSearch = 9,
    // Desktop actions beyond the classic ten, reached from the menus only.
    OpenWithChosenApplication = 10,
    MoveToTrash = 11,
    ExportList = 12,
};

// The action of Ctrl and a letter key, either case; nothing for other keys. Shortcuts run even
// when the menu would show their item grey.
std::optional<ResultAction> shortcutAction(char letter);

}  // namespace quillfen
