#include "app/Settings.h"

#include <mutex>
#include <optional>

#include "app/CommandLine.h"
#include "app/IniFile.h"
#include "app/PathHelpers.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"

namespace quillfen {

namespace {

std::mutex settingsMutex;
std::optional<std::string> rememberedSettingsPath;
std::string rememberedEditorName;

}  // namespace

std::string settingsDirectory() {
    platform::Platform& os = platform::currentPlatform();
    const std::string programFolder = moduleDirectory();
    if (!programFolder.empty() && !os.system().isInstalledCopy() &&
        os.files().isWritableDirectory(programFolder)) {
        return programFolder;
    }
    const std::string configFolder =
        withTrailingSeparator(os.system().userConfigDirectory() + pathSeparator() + "quillfen");
    createDirectoryChain(configFolder);
    return configFolder;
}

namespace {

// An installed copy of an earlier version kept the settings beside itself when it could write
// there; the first start of this one carries them over to the user's folder, so that an upgrade
// loses no history.
void adoptSettingsBesideProgram(const std::string& name, const std::string& file) {
    platform::Platform& os = platform::currentPlatform();
    const std::string beside = moduleDirectory() + name;
    if (os.system().isInstalledCopy() && beside != file && !pathExists(file) &&
        os.files().kindOf(beside) == platform::EntryKind::File) {
        os.files().copyFile(beside, file);
    }
}

}  // namespace

std::string settingsFilePath() {
    const std::lock_guard lock(settingsMutex);
    if (!rememberedSettingsPath) {
        const platform::SystemInfo& system = platform::currentPlatform().system();
        const std::string name = system.userName() + "." + system.computerName() + ".ini";
        rememberedSettingsPath = settingsDirectory() + name;
        adoptSettingsBesideProgram(name, *rememberedSettingsPath);
    }
    return *rememberedSettingsPath;
}

void forgetSettingsFilePath() {
    const std::lock_guard lock(settingsMutex);
    rememberedSettingsPath.reset();
}

std::string readSetting(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view defaultValue) {
    return readSetting(file, section, key, [defaultValue] { return std::string(defaultValue); });
}

std::string readSetting(const std::string& file, std::string_view section, std::string_view key,
                        const std::function<std::string()>& defaultValue) {
    std::string value(trimWhiteSpaceEnd(readIniValue(file, section, key)));
    if (!value.empty()) {
        return value;
    }
    std::string fallback = defaultValue();
    writeIniValue(file, section, key, fallback);
    return fallback;
}

bool writeSetting(const std::string& file, std::string_view section, std::string_view key,
                  std::string_view value) {
    return writeIniValue(file, section, key, value);
}

std::string editorDisplayName(std::string_view command) {
    const std::lock_guard lock(settingsMutex);
    if (command.empty()) {
        return rememberedEditorName;
    }
    // The program is the first word: on this platform an unquoted command may hold separators and
    // full stops in its arguments too.
    const std::vector<std::string> words = splitCommandWords(command);
    std::string name = words.empty() ? std::string() : words.front();
    if (const auto separator = name.rfind(pathSeparator()); separator != std::string::npos) {
        name.erase(0, separator + 1);
    }
    if (const auto dot = name.rfind('.'); dot != std::string::npos) {
        name.erase(dot);
    }
    rememberedEditorName = name;
    return name;
}

}  // namespace quillfen
