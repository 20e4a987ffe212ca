#include "ui/ConfigDialogPresenter.h"

#include <algorithm>
#include <atomic>

#include "app/Application.h"
#include "app/IniFile.h"
#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "app/RunCommand.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

constexpr const char* kConfig = "Config";
constexpr const char* kDescription =
    translatable("Find files by name, date, size and content. Free software.");
constexpr const char* kThunarRestart =
    translatable("Thunar shows the Quillfen entries after it restarts.");

// A check box that stands for one on/off setting of the "Config" section and the field of the
// running program that holds it.
struct SettingBox {
    ConfigControl control;
    const char* key;
    const char* defaultValue;
    const char* text;
    std::atomic<bool> Application::*field;
};

// In the order the dialog fills and OK saves them.
constexpr SettingBox kSettingBoxes[] = {
    {ConfigControl::ShowSelfIcon, "ShowSelfIcon", "N",
     translatable(".Exe .Ico ... Files show self icon."), &Application::showSelfIcon},
    {ConfigControl::SearchInRecycleBin, "SearchInRecycleBin", "N",
     translatable("Search in Recycle Bin"), &Application::searchInRecycleBin},
    {ConfigControl::UseIndex, "UseIndex", "Y",
     translatable("Answer searches from an index when one covers the folder"),
     &Application::useIndex},
};

bool settingOn(const SettingBox& box) {
    return settingIsOn(readSetting(settingsFilePath(), kConfig, box.key, box.defaultValue));
}

void saveSetting(const SettingBox& box, bool on) {
    writeSetting(settingsFilePath(), kConfig, box.key, on ? "Y" : "N");
    Application::instance().*box.field = on;
}

}  // namespace

ConfigDialogPresenter::ConfigDialogPresenter(ConfigDialogView& view, ShellEntries& shellEntries)
    : view_(view), shellEntries_(shellEntries) {}

std::string ConfigDialogPresenter::currentLanguageId() {
    return readSetting(settingsFilePath(), kConfig, "LanguageID",
                       std::to_string(platform::currentPlatform().system().systemLanguageId()));
}

void ConfigDialogPresenter::open() {
    for (const SettingBox& box : kSettingBoxes) {
        view_.setText(box.control, translate(box.text));
        view_.setChecked(box.control, settingOn(box));
    }
    view_.setText(ConfigControl::ShellIntegration,
                  translate("Integrate Quillfen! to shell context menu."));
    view_.setChecked(ConfigControl::ShellIntegration, shellEntries_.isInstalled());
    view_.setText(ConfigControl::CancelButton, translate("Cancel"));
    view_.setText(ConfigControl::OkButton, translate("OK"));
    view_.setText(ConfigControl::EditorLabel, translate("Default Editor:"));
    view_.setText(ConfigControl::Version,
                  std::string(Application::kName) + " Version " + Application::instance().version);
    view_.setText(ConfigControl::Description, translate(kDescription));
    view_.setText(ConfigControl::Editor, Application::instance().editor);
    view_.setTitle(translate("About Quillfen!"));
    view_.setText(ConfigControl::LanguageLabel, "&Language:");
    fillLanguages();
}

std::vector<ConfigDialogPresenter::Language> ConfigDialogPresenter::languagesIn(
    const std::string& folder) {
    std::vector<Language> languages;
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    platform::currentPlatform().files().listFolder(folder, entries, never, {});
    for (const platform::FolderEntry& entry : entries) {
        const std::string& name = entry.name;
        if (name.size() < 4 || upperAscii(name.substr(name.size() - 4)) != ".INI") {
            continue;
        }
        std::string language = readSetting(folder + name, kConfig, "LanguageName", "");
        if (language.empty()) {
            continue;
        }
        std::string id = name.substr(0, name.size() - 4);
        for (char& c : id) {
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        // Read without writing: a file without its own name shows its English one.
        std::string ownName(trimWhiteSpaceEnd(readIniValue(folder + name, kConfig, "NativeName")));
        if (ownName.empty()) {
            ownName = language;
        }
        languages.push_back(Language{std::move(id), std::move(language), std::move(ownName)});
    }
    return languages;
}

// Two files that give the same name are told apart by their identifiers.
void ConfigDialogPresenter::fillLanguages() {
    const std::string current = currentLanguageId();
    std::vector<std::string> items;
    int selected = -1;
    prepareLanguageFolder();
    const std::vector<Language> languages = languagesIn(languageFolder());
    languageIds_.clear();
    for (const Language& language : languages) {
        if (language.id == current) {
            selected = static_cast<int>(items.size());
        }
        const auto sameName = [&language](const Language& other) {
            return other.ownName == language.ownName;
        };
        const bool shared = std::count_if(languages.begin(), languages.end(), sameName) > 1;
        items.push_back(shared ? language.ownName + " (" + language.id + ")" : language.ownName);
        languageIds_.push_back(language.id);
    }
    view_.setItems(ConfigControl::Language, items);
    view_.selectItem(ConfigControl::Language, selected);
}

std::string ConfigDialogPresenter::chosenLanguageId() const {
    const int index = view_.selectedItem(ConfigControl::Language);
    if (index < 0 || static_cast<size_t>(index) >= languageIds_.size()) {
        return {};
    }
    return languageIds_[static_cast<size_t>(index)];
}

// The entries are written in the language the program speaks from now on: a language change
// restarts the program right after, and the entries would otherwise keep the old language.
void ConfigDialogPresenter::updateShellEntries(const std::string& languageId) {
    if (!view_.isChecked(ConfigControl::ShellIntegration)) {
        shellEntries_.remove();
        return;
    }
    if (shellEntries_.install(languageId) == ShellEntriesNotice::ThunarRestart) {
        view_.showInformation(translate(kThunarRestart));
    }
}

void ConfigDialogPresenter::onBrowseEditor() {
    std::string program;
    if (view_.chooseProgram(program)) {
        view_.setText(ConfigControl::Editor, program);
    }
}

void ConfigDialogPresenter::onOk() {
    Application& application = Application::instance();
    const bool selfIcon = view_.isChecked(ConfigControl::ShowSelfIcon);
    if (selfIcon &&
        !view_.askYesNo(translate("Show self icon of the *.exe, when call the windows-API , this "
                                  "program sometime maybe crash. Would you like to continue?"))) {
        return;
    }
    for (const SettingBox& box : kSettingBoxes) {
        saveSetting(box, view_.isChecked(box.control));
    }
    const std::string current = currentLanguageId();
    const std::string chosen = chosenLanguageId();
    updateShellEntries(chosen.empty() ? current : chosen);

    std::string editor = view_.text(ConfigControl::Editor);
    if (editor.empty()) {
        editor = platform::currentPlatform().system().defaultTextEditor();
    }
    application.editor = editor;
    editorDisplayName(editor);
    writeSetting(settingsFilePath(), kConfig, "Editor", editor);

    if (!chosen.empty() && chosen != current) {
        writeSetting(settingsFilePath(), kConfig, "LanguageID", chosen);
        runCommand(std::vector<std::string>{moduleFilePath()}, false, true, -1);
        view_.endProgram();
        return;
    }
    view_.closeDialog();
}

void ConfigDialogPresenter::onCancel() {
    view_.closeDialog();
}

}  // namespace quillfen
