#pragma once

namespace quillfen {

// The controls of the configuration dialog that its rules address.
enum class ConfigControl {
    Version,
    ShowSelfIcon,
    ShellIntegration,
    SearchInRecycleBin,
    EditorLabel,
    Editor,
    BrowseEditor,
    LanguageLabel,
    Language,
    OkButton,
    CancelButton,
};

}  // namespace quillfen
