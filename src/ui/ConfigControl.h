#pragma once

namespace quillfen {

// The controls of the configuration dialog that its rules address.
enum class ConfigControl {
    Version,
    // The fixed line below the version that says what the program is.
    Description,
    ShowSelfIcon,
    ShellIntegration,
    SearchInRecycleBin,
    // Whether searches may be answered from a file-name index that covers their folder.
    UseIndex,
    EditorLabel,
    Editor,
    BrowseEditor,
    LanguageLabel,
    Language,
    OkButton,
    CancelButton,
};

}  // namespace quillfen
