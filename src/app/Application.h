#pragma once

#include <atomic>
#include <string>

#include "version/ProgramVersion.h"

namespace quillfen {

// The process-wide state that start-up loads and the configuration dialog changes. Written only on
// the user-interface thread; a search worker reads searchInRecycleBin while it runs.
class Application {
public:
    static Application& instance();

    // Reads "ShowSelfIcon", "SearchInRecycleBin", "UseIndex" and "Editor" from the settings file,
    // writing back defaults for missing or blank keys, and makes the editor's short name known.
    // Also chooses the code page of the "Match Ansi" form, which only reads.
    void loadSettings();

    std::string version = programVersion();
    // Read by search threads while the configuration dialog may change it.
    std::atomic<bool> showSelfIcon = false;
    std::atomic<bool> searchInRecycleBin = false;
    // Whether the window's searches may be answered from a file-name index.
    std::atomic<bool> useIndex = true;
    std::string editor;
    // The code page of the "Match Ansi" form by its Windows number; 0 until the settings are
    // loaded, which stands for the platform's 8-bit code page.
    unsigned ansiCodePage = 0;
    bool developerMode = false;

    static constexpr const char* kName = "Quillfen!";
};

// On/off settings are stored as "Y" or "N"; anything but "N" counts as on.
bool settingIsOn(const std::string& value);

}  // namespace quillfen
