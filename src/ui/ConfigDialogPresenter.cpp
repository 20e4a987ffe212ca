#include "ui/ConfigDialogPresenter.h"

#include <atomic>

#include "app/Application.h"
#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "app/RunCommand.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

constexpr const char* kConfig = "Config";

bool settingOn(const char* key) {
    return settingIsOn(readSetting(settingsFilePath(), kConfig, key, "N"));
}

void saveFlag(const char* key, bool on, std::atomic<bool>& field) {
    writeSetting(settingsFilePath(), kConfig, key, on ? "Y" : "N");
    field = on;
}

}  // namespace

ConfigDialogPresenter::ConfigDialogPresenter(ConfigDialogView& view, ShellEntries& shellEntries)
    : view_(view), shellEntries_(shellEntries) {}

std::string ConfigDialogPresenter::currentLanguageId() {
    return readSetting(settingsFilePath(), kConfig, "LanguageID",
                       std::to_string(platform::currentPlatform().system().systemLanguageId()));
}

void ConfigDialogPresenter::open() {
    view_.setText(ConfigControl::ShowSelfIcon, translate(".Exe .Ico ... Files show self icon."));
    view_.setChecked(ConfigControl::ShowSelfIcon, settingOn("ShowSelfIcon"));
    view_.setText(ConfigControl::SearchInRecycleBin, translate("Search in Recycle Bin"));
    view_.setChecked(ConfigControl::SearchInRecycleBin, settingOn("SearchInRecycleBin"));
    view_.setText(ConfigControl::ShellIntegration,
                  translate("Integrate Quillfen! to shell context menu."));
    view_.setChecked(ConfigControl::ShellIntegration, shellEntries_.isInstalled());
    view_.setText(ConfigControl::CancelButton, translate("Cancel"));
    view_.setText(ConfigControl::OkButton, translate("OK"));
    view_.setText(ConfigControl::EditorLabel, translate("Default Editor:"));
    view_.setText(ConfigControl::Version,
                  std::string(Application::kName) + " Version " + Application::instance().version);
    view_.setText(ConfigControl::Editor, Application::instance().editor);
    view_.setTitle(translate("About Quillfen!"));
    view_.setText(ConfigControl::LanguageLabel, "Language:");
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
        languages.push_back(Language{std::move(id), std::move(language)});
    }
    return languages;
}

void ConfigDialogPresenter::fillLanguages() {
    const std::string current = currentLanguageId();
    std::vector<std::string> items;
    int selected = -1;
    prepareLanguageFolder();
    for (const Language& language : languagesIn(languageFolder())) {
        if (language.id == current) {
            selected = static_cast<int>(items.size());
        }
        items.push_back(language.id + " - " + language.name);
    }
    view_.setItems(ConfigControl::Language, items);
    view_.selectItem(ConfigControl::Language, selected);
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
    saveFlag("ShowSelfIcon", selfIcon, application.showSelfIcon);
    saveFlag("SearchInRecycleBin", view_.isChecked(ConfigControl::SearchInRecycleBin),
             application.searchInRecycleBin);
    if (view_.isChecked(ConfigControl::ShellIntegration)) {
        shellEntries_.install();
    } else {
        shellEntries_.remove();
    }

    std::string editor = view_.text(ConfigControl::Editor);
    if (editor.empty()) {
        editor = platform::currentPlatform().system().defaultTextEditor();
    }
    application.editor = editor;
    editorDisplayName(editor);
    writeSetting(settingsFilePath(), kConfig, "Editor", editor);

    const std::string current = currentLanguageId();
    const std::string chosen = view_.text(ConfigControl::Language);
    const auto blank = chosen.find(' ');
    if (blank != std::string::npos && blank > 0 && chosen.substr(0, blank) != current) {
        writeSetting(settingsFilePath(), kConfig, "LanguageID", chosen.substr(0, blank));
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
