#pragma once

#include <optional>
#include <string>

#include "results/ResultAction.h"

namespace quillfen {

// One line of a result list's context menu.
struct ContextMenuItem {
    // Empty for a separator.
    std::optional<ResultAction> action;
    // The translated label and, behind a tab, the shortcut the menu shows at the right; empty for
    // a separator.
    std::string text;
    bool enabled = false;

    bool isSeparator() const { return !action.has_value(); }
    bool operator==(const ContextMenuItem&) const = default;
};

}  // namespace quillfen
