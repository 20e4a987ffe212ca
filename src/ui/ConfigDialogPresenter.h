#pragma once

#include <string>
#include <vector>

#include "ui/ConfigDialogView.h"
#include "ui/ShellEntries.h"

namespace quillfen {

// The rules of the configuration dialog, which doubles as the about box: it edits the self-icon,
// recycle-bin, index, editor and language settings and the file-manager entries, updates the
// running program at once, and restarts it when the language changes.
class ConfigDialogPresenter {
public:
    ConfigDialogPresenter(ConfigDialogView& view, ShellEntries& shellEntries);

    void open();
    void onBrowseEditor();
    void onOk();
    void onCancel();

    // A language file offered in the list: its identifier (the file name without ".ini", lower
    // case), the English name it gives itself, and the name the list shows, the language's own
    // ("Deutsch") when the file gives one.
    struct Language {
        std::string id;
        std::string name;
        std::string ownName;

        bool operator==(const Language&) const = default;
    };
    // The language files of a folder in listing order; files without a language name are left
    // out (reading writes an empty name into such a file, as every settings read does).
    static std::vector<Language> languagesIn(const std::string& folder);
    // The language the program speaks: the "LanguageID" setting, by default the system's.
    static std::string currentLanguageId();

private:
    void fillLanguages();
    // The identifier of the language chosen in the list; empty when none is.
    std::string chosenLanguageId() const;
    void updateShellEntries(const std::string& languageId);

    ConfigDialogView& view_;
    ShellEntries& shellEntries_;
    // The identifiers of the list's items, in their order: the items show names only.
    std::vector<std::string> languageIds_;
};

}  // namespace quillfen
