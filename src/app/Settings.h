#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillfen {

// The folder that holds the settings file and the language folder, ending with a separator: the
// program's own folder for a portable copy whose folder the user may write, else the user's
// configuration folder. An installed copy always uses the user's folder, so that it never writes
// files into its installation that the installer does not know, nor loses settings when that
// folder is read-only.
std::string settingsDirectory();
// The settings file, named after the user and the computer: "<user>.<computer>.ini". Computed on
// first use and kept for the rest of the process.
std::string settingsFilePath();
// Forgets the remembered path, for a process whose platform facts changed (tests).
void forgetSettingsFilePath();

// Reads a value without its trailing white space. A missing or blank value gets the default
// written back and returned, so the file fills itself in as the program runs.
std::string readSetting(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view defaultValue);
// The same with a default that costs something to find, computed only when it is needed.
std::string readSetting(const std::string& file, std::string_view section, std::string_view key,
                        const std::function<std::string()>& defaultValue);
bool writeSetting(const std::string& file, std::string_view section, std::string_view key,
                  std::string_view value);

// The short name of the editor command that menus show ("Open with gedit"); remembered for the
// process. An empty command returns the remembered name.
std::string editorDisplayName(std::string_view command);

}  // namespace quillfen
