#pragma once

#include <string>
#include <vector>

namespace quillfen {

// Unpacks an update archive into a folder of its own, all of it or nothing: an archive with any
// entry that could write outside that folder, could not be written the same way on every system,
// or is larger than an update can be, is refused before anything is written.
class UpdateStaging {
public:
    // Larger entries, or more in all, are no program's files.
    static constexpr unsigned long long kLargestSize = 512ULL << 20;
    static constexpr std::size_t kMostEntries = 10000;

    struct Result {
        // The unpacked files, relative with '/' between folder names, in the archive's order.
        std::vector<std::string> files;
        // Why the archive was refused or could not be unpacked; empty on success.
        std::string refusal;
    };

    // Unpacks into `folder`, which must not exist yet and which is left to the caller to remove
    // on failure. `requiredProgram` is the name of a file the archive must hold at its root.
    static Result stage(const std::string& archivePath, const std::string& folder,
                        const std::string& requiredProgram);
};

}  // namespace quillfen
