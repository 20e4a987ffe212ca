#pragma once

#include <cstdint>
#include <string>

#include "platform/FileTime.h"

namespace quillfen {

// One entry that passed a search, as the walk found it.
struct FoundEntry {
    // The entry's name; a folder's name ends with one separator.
    std::string name;
    // The folder it was listed in, ending with a separator.
    std::string folder;
    // -1 for a folder or a failed lookup.
    std::int64_t size = -1;
    // 0 when the lookup failed.
    platform::FileTime writeTime = 0;
};

// Receives what a running search reports, on the search's own thread and in walk order. A window
// forwards it to its user-interface thread in batches; the command line prints it.
class SearchObserver {
public:
    virtual ~SearchObserver() = default;

    // A folder's listing is being read ("Searching %s").
    virtual void searchingFolder(const std::string& folder) = 0;
    // A large file's body is being compared ("Comparing %s").
    virtual void comparingFile(const std::string& path) = 0;
    virtual void found(const FoundEntry& entry) = 0;
    // The files the walk has looked at so far, whether they passed or not; told once a folder,
    // as it is entered.
    virtual void lookedAt(std::uint64_t /*files*/) {}
    // A folder or file that could not be read, with the system's reason; the search goes on
    // without it.
    virtual void skipped(const std::string& /*path*/, const std::string& /*reason*/) {}
    // The search is answered from an index that holds this many entries for its folder instead
    // of a walk; told once, before the first row.
    virtual void answeredFromIndex(std::uint64_t /*entries*/) {}
    // False when the rows need no size and time, which spares looking entries up where no size
    // or date test needs it either; such rows carry size -1 and time 0.
    virtual bool needsEntryDetails() const { return true; }
};

}  // namespace quillfen
