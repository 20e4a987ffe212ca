#include "results/ContextMenu.h"

#include <array>

#include "app/LanguageTable.h"
#include "app/Settings.h"

namespace quillfen {

namespace {

struct MenuLine {
    std::optional<ResultAction> action;
    const char* english = nullptr;
};

constexpr std::string_view kEditorPlaceholder = "%s";

constexpr std::array kMenuLines = {
    MenuLine{ResultAction::Open, translatable("Open\tCtrl+O")},
    MenuLine{ResultAction::OpenWithChosenApplication, translatable("Open With...")},
    MenuLine{ResultAction::OpenContainingFolder, translatable("Open Containing Folder\tCtrl+G")},
    MenuLine{ResultAction::OpenWithEditor, translatable("Open with %s\tCtrl+E")},
    MenuLine{ResultAction::DuplicateSearch, translatable("Document Duplication Search\tCtrl+D")},
    MenuLine{},
    MenuLine{ResultAction::Cut, translatable("Cut\tCtrl+X")},
    MenuLine{ResultAction::Copy, translatable("Copy\tCtrl+C")},
    MenuLine{ResultAction::CopyFileName, translatable("Copy File Name\tCtrl+N")},
    MenuLine{ResultAction::MoveToTrash, translatable("Move to Trash")},
    MenuLine{},
    MenuLine{ResultAction::SelectAll, translatable("Select All\tCtrl+A")},
    MenuLine{ResultAction::InvertSelection, translatable("Invert Selection\tCtrl+I")},
    MenuLine{},
    MenuLine{ResultAction::ExportList, translatable("Export List...")},
    MenuLine{ResultAction::Config, translatable("Config...")},
};

bool isEnabled(ResultAction action, const ContextMenuState& state) {
    const bool hasRows = state.rowCount > 0;
    switch (action) {
        case ResultAction::DuplicateSearch:
        case ResultAction::Config:
            return true;
        case ResultAction::SelectAll:
        case ResultAction::ExportList:
            return hasRows;
        case ResultAction::Open:
        case ResultAction::OpenWithChosenApplication:
        case ResultAction::OpenContainingFolder:
        case ResultAction::OpenWithEditor:
            return hasRows && state.clickOnRow && state.selectedCount <= 1;
        case ResultAction::Cut:
        case ResultAction::Copy:
        case ResultAction::CopyFileName:
        case ResultAction::MoveToTrash:
        case ResultAction::InvertSelection:
            return hasRows && state.clickOnRow;
    }
    return false;
}

// The whole format is translated before the name goes in, so a translation may place the name
// anywhere in its sentence.
std::string withEditorName(std::string text, std::string_view editorName) {
    if (const auto at = text.find(kEditorPlaceholder); at != std::string::npos) {
        text.replace(at, kEditorPlaceholder.size(), editorName);
    }
    return text;
}

}  // namespace

std::vector<ContextMenuItem> contextMenuItems(const ContextMenuState& state) {
    return contextMenuItems(state, editorDisplayName(""),
                            [](std::string_view english) { return translate(english); });
}

std::vector<ContextMenuItem> contextMenuItems(
    const ContextMenuState& state, std::string_view editorName,
    const std::function<std::string(std::string_view)>& translateText) {
    std::vector<ContextMenuItem> items;
    for (const MenuLine& line : kMenuLines) {
        if (!line.action) {
            items.push_back(ContextMenuItem{});
            continue;
        }
        if (*line.action == ResultAction::DuplicateSearch && !state.offerDuplicateSearch) {
            continue;
        }
        std::string text = translateText(line.english);
        if (*line.action == ResultAction::OpenWithEditor) {
            text = withEditorName(std::move(text), editorName);
        }
        items.push_back(
            ContextMenuItem{line.action, std::move(text), isEnabled(*line.action, state)});
    }
    return items;
}

}  // namespace quillfen
