#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <optional>
#include <vector>

#include "results/ContextMenuItem.h"
#include "results/ResultAction.h"

namespace quillfen::win32 {

// The pop-up of a result list, from the menu resource: its items keep the resource's order and
// command ids and take their texts and enabling from the presenter's items; an item the presenter
// does not offer is left out, with the separators it would leave dangling.
class ResultContextMenu {
public:
    explicit ResultContextMenu(const std::vector<ContextMenuItem>& items);
    ~ResultContextMenu();
    ResultContextMenu(const ResultContextMenu&) = delete;
    ResultContextMenu& operator=(const ResultContextMenu&) = delete;

    // nullptr when the resource could not be loaded.
    HMENU popup() const { return popup_; }

    static std::optional<ResultAction> actionOf(UINT command);
    static UINT commandOf(ResultAction action);

private:
    void applyItems(const std::vector<ContextMenuItem>& items);
    void dropDanglingSeparators();

    HMENU menu_ = nullptr;
    HMENU popup_ = nullptr;
};

}  // namespace quillfen::win32
