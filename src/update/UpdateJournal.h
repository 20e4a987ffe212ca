#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// What an in-place update has done to a program folder so far, kept in its work folder so that
// the next run can finish or undo an update that was killed. Names are relative to the program
// folder, with '/' between folder names.
struct UpdateJournal {
    enum class Stage { Staged, Swapping, Checking, Done, RolledBack };

    Stage stage = Stage::Staged;
    std::string version;
    // Folders the update makes in the program folder, outer ones first.
    std::vector<std::string> createdFolders;
    // Files the folder had before; each is kept in the work folder before it is replaced.
    std::vector<std::string> replaced;
    // Files the folder did not have.
    std::vector<std::string> added;

    std::string text() const;
    // Nothing for a text that is not a whole journal.
    static std::optional<UpdateJournal> parse(std::string_view text);
};

}  // namespace quillfen
