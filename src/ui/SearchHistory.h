#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// The remembered inputs of the search windows: up to fifty texts per list, the most recent
// first, kept in one section of the settings file under the keys "0" to "49". The look-in list
// ("Path") is shared by both search windows.
class SearchHistory {
public:
    static constexpr int kEntries = 50;

    explicit SearchHistory(std::string settingsFile);

    // The entries up to the first empty one. Reading writes empty keys back, as every settings
    // read does.
    std::vector<std::string> load(const std::string& section) const;

    // What a save did to the list a combo box shows.
    struct SaveOutcome {
        bool written = false;
        // Set when the text stood further down the list: the combo box moves that item to the
        // top. A new text shows in the combo box only from the next opening.
        std::optional<int> movedFrom;
    };

    // Puts a search's text at the front of the list; an empty text changes nothing, and a text
    // already at the front writes nothing.
    SaveOutcome save(const std::string& section, const std::string& text) const;

private:
    std::string settingsFile_;
};

}  // namespace quillfen
