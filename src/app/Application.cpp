#include "app/Application.h"

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
    editor = readSetting(file, "Config", "Editor",
                         [] { return platform::currentPlatform().system().defaultTextEditor(); });
    editorDisplayName(editor);
    ansiCodePage = ansiCodePageSetting();
}

}  // namespace quillfen
