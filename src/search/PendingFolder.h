#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace quillfen {

// A folder that the walk will enter, with its listing once read. The walk thread or the look-ahead
// thread reads the listing, whichever claims the folder first; the walk thread alone visits it.
struct PendingFolder {
    enum class State { Waiting, Listing, Listed };

    explicit PendingFolder(std::string path) : folder(std::move(path)) {}

    // Ends with a separator.
    std::string folder;
    std::vector<platform::FolderEntry> entries;
    // Why the listing could not be read, whole or in part; empty when it could.
    std::string failure;
    // The entries the walk enters, in listing order, each with its index in `entries`; null for
    // a subfolder whose subtree the visitor supplies.
    std::vector<std::pair<std::size_t, std::shared_ptr<PendingFolder>>> subfolders;
    std::atomic<State> state{State::Waiting};
    // Read by the look-ahead thread, so counted against its allowance until visited.
    bool readAhead = false;
};

}  // namespace quillfen
