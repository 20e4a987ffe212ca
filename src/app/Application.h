#pragma once

#include <atomic>
#include <string>

namespace quillfen {

// The process-wide state that start-up loads and the configuration dialog changes. Written only on
// the user-interface thread; a search worker reads searchInRecycleBin while it runs.
class Application {
public:
    static Application& instance();

    // Reads "ShowSelfIcon", "SearchInRecycleBin" and "Editor" from the settings file, writing back
    // defaults for missing or blank keys, and makes the editor's short name known.
    void loadSettings();

    std::string version = kVersion;
    // Read by search threads while the configuration dialog may change it.
    std::atomic<bool> showSelfIcon = false;
    std::atomic<bool> searchInRecycleBin = false;
    std::string editor;
    bool developerMode = false;

    static constexpr const char* kVersion = "1.3.3.20220312";
    static constexpr const char* kName = "Quillfen!";
};

// On/off settings are stored as "Y" or "N"; anything but "N" counts as on.
bool settingIsOn(const std::string& value);

}  // namespace quillfen
