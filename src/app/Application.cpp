#include "app/Application.h"

#include <utility>

#include "app/AnsiCodePage.h"
#include "app/Settings.h"
#include "platform/Platform.h"

namespace quillfen {

Application& Application::instance() {
    static Application application;
    return application;
}

bool settingIsOn(const std::string& value) {
    return value != "N";
}

void Application::loadSettings() {
    const std::string file = settingsFilePath();
    showSelfIcon = settingIsOn(readSetting(file, "Config", "ShowSelfIcon", "N"));
    searchInRecycleBin = settingIsOn(readSetting(file, "Config", "SearchInRecycleBin", "N"));
    useIndex = settingIsOn(readSetting(file, "Config", "UseIndex", "Y"));
    const platform::SystemInfo& system = platform::currentPlatform().system();
    editor =
        readSetting(file, "Config", "Editor", [&system] { return system.defaultTextEditor(); });
    // A stand-in written by a start that found no editor gives way to an editor installed since.
    if (system.isStandInEditor(editor)) {
        if (std::string found = system.defaultTextEditor(); found != editor) {
            editor = std::move(found);
            writeSetting(file, "Config", "Editor", editor);
        }
    }
    editorDisplayName(editor);
    ansiCodePage = ansiCodePageSetting();
}

}  // namespace quillfen
