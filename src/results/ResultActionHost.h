#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillfen {

// The window whose list runs the actions, for the actions that open another window (modal: the
// call returns when it closes) or change the list's rows.
class ResultActionHost {
public:
    virtual ~ResultActionHost() = default;

    virtual void openConfiguration() = 0;
    // Without a reference path the duplicate window opens empty and asks for one.
    virtual void openDuplicateSearch(const std::optional<std::string>& referencePath) = 0;
    // The rows, by their place in the list, whose files may have gone: those gone leave the list.
    virtual void forgetRowsWhoseFilesAreGone(const std::vector<std::size_t>& rows) = 0;
    // Reports files that could not be moved to the trash: each path with the reason.
    virtual void reportTrashFailures(
        const std::vector<std::pair<std::string, std::string>>& failures) = 0;
    // Asks for a file and writes every row there.
    virtual void exportList() = 0;
};

}  // namespace quillfen
