#include "ui/SearchHistory.h"

#include <algorithm>
#include <utility>

#include "app/IniFile.h"
#include "app/Settings.h"

namespace quillfen {

SearchHistory::SearchHistory(std::string settingsFile) : settingsFile_(std::move(settingsFile)) {}

std::vector<std::string> SearchHistory::load(const std::string& section) const {
    std::vector<std::string> entries;
    for (int i = 0; i < kEntries; ++i) {
        std::string value = readSetting(settingsFile_, section, std::to_string(i), "");
        if (value.empty()) {
            break;
        }
        entries.push_back(std::move(value));
    }
    return entries;
}

SearchHistory::SaveOutcome SearchHistory::save(const std::string& section,
                                               const std::string& text) const {
    SaveOutcome outcome;
    if (text.empty()) {
        return outcome;
    }
    // Read without writing blanks back: every key is written below whenever anything changes.
    std::vector<std::string> entries;
    for (int i = 0; i < kEntries; ++i) {
        entries.push_back(readIniValue(settingsFile_, section, std::to_string(i)));
    }
    const auto found = std::find(entries.begin(), entries.end(), text);
    if (found == entries.begin()) {
        return outcome;
    }
    if (found != entries.end()) {
        outcome.movedFrom = static_cast<int>(found - entries.begin());
        entries.erase(found);
    }
    entries.insert(entries.begin(), text);
    entries.resize(kEntries);
    std::vector<std::pair<std::string, std::string>> values;
    for (int i = 0; i < kEntries; ++i) {
        values.emplace_back(std::to_string(i), entries[static_cast<std::size_t>(i)]);
    }
    outcome.written = writeIniValues(settingsFile_, section, values);
    return outcome;
}

}  // namespace quillfen
