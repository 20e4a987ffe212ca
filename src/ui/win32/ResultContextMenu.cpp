#include "ui/win32/ResultContextMenu.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "platform/windows/WideText.h"
#include "ui/win32/SearchDialogIds.h"

namespace quillfen::win32 {

namespace {

constexpr std::array<std::pair<ResultAction, UINT>, 13> kCommands = {{
    {ResultAction::Open, IDM_ACTION_OPEN},
    {ResultAction::OpenWithChosenApplication, IDM_ACTION_OPEN_WITH_CHOSEN},
    {ResultAction::OpenContainingFolder, IDM_ACTION_OPEN_FOLDER},
    {ResultAction::OpenWithEditor, IDM_ACTION_OPEN_WITH_EDITOR},
    {ResultAction::DuplicateSearch, IDM_ACTION_DUPLICATE_SEARCH},
    {ResultAction::Cut, IDM_ACTION_CUT},
    {ResultAction::Copy, IDM_ACTION_COPY},
    {ResultAction::CopyFileName, IDM_ACTION_COPY_FILE_NAME},
    {ResultAction::MoveToTrash, IDM_ACTION_MOVE_TO_TRASH},
    {ResultAction::SelectAll, IDM_ACTION_SELECT_ALL},
    {ResultAction::InvertSelection, IDM_ACTION_INVERT_SELECTION},
    {ResultAction::ExportList, IDM_ACTION_EXPORT_LIST},
    {ResultAction::Config, IDM_ACTION_CONFIG},
}};

// A menu shows one '&' as the underline of the next letter; texts such as an editor's name show
// theirs as written.
std::wstring menuText(const std::string& text) {
    std::wstring shown;
    for (const wchar_t character : platform::toWide(text)) {
        shown += character;
        if (character == L'&') {
            shown += L'&';
        }
    }
    return shown;
}

bool isSeparatorAt(HMENU menu, int position) {
    return (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_SEPARATOR) != 0;
}

}  // namespace

ResultContextMenu::ResultContextMenu(const std::vector<ContextMenuItem>& items) {
    menu_ = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_RESULT_ACTIONS));
    popup_ = menu_ == nullptr ? nullptr : GetSubMenu(menu_, 0);
    if (popup_ != nullptr) {
        applyItems(items);
        dropDanglingSeparators();
    }
}

ResultContextMenu::~ResultContextMenu() {
    if (menu_ != nullptr) {
        DestroyMenu(menu_);
    }
}

std::optional<ResultAction> ResultContextMenu::actionOf(UINT command) {
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [command](const auto& pair) { return pair.second == command; });
    return found == kCommands.end() ? std::nullopt : std::optional(found->first);
}

UINT ResultContextMenu::commandOf(ResultAction action) {
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [action](const auto& pair) { return pair.first == action; });
    return found == kCommands.end() ? 0 : found->second;
}

void ResultContextMenu::applyItems(const std::vector<ContextMenuItem>& items) {
    for (int position = GetMenuItemCount(popup_) - 1; position >= 0; --position) {
        const UINT command = GetMenuItemID(popup_, position);
        const std::optional<ResultAction> action = actionOf(command);
        if (!action) {
            continue;
        }
        const auto item = std::find_if(items.begin(), items.end(), [&](const ContextMenuItem& i) {
            return i.action == action;
        });
        if (item == items.end()) {
            DeleteMenu(popup_, static_cast<UINT>(position), MF_BYPOSITION);
            continue;
        }
        const std::wstring text = menuText(item->text);
        ModifyMenuW(popup_, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING, command,
                    text.c_str());
        EnableMenuItem(popup_, static_cast<UINT>(position),
                       MF_BYPOSITION | (item->enabled ? MF_ENABLED : MF_GRAYED));
    }
}

void ResultContextMenu::dropDanglingSeparators() {
    for (int position = GetMenuItemCount(popup_) - 1; position >= 0; --position) {
        const bool last = position == GetMenuItemCount(popup_) - 1;
        const bool doubled = position > 0 && isSeparatorAt(popup_, position - 1);
        if (isSeparatorAt(popup_, position) && (position == 0 || last || doubled)) {
            DeleteMenu(popup_, static_cast<UINT>(position), MF_BYPOSITION);
        }
    }
}

}  // namespace quillfen::win32
