#pragma once

#include <sys/stat.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace quillfen::platform {

// Reads a whole folder listing with getdents64 in large batches, taking each entry's type from the
// listing and asking the file system only when the listing does not say (or for a link, whose
// target decides whether it is listed as a folder). The status of the entries that
// `statusWanted` chooses is looked up relative to the open folder. The folder is closed before
// returning. A failure to read puts the system's reason into `failure` when given.
bool readFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                const std::atomic<bool>& stop, const StatusWanted& statusWanted,
                std::string* failure = nullptr);

// What one lookup learnt, in the platform's terms.
EntryStatus toEntryStatus(const struct stat& info);

}  // namespace quillfen::platform
