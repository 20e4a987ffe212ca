#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "search/ContentCriteria.h"

namespace quillfen {

// Whether the file's bytes hold the criteria's pieces in any of its encodings. `size` is the
// size the listing reported: the file is read up to there, in chunks of kContentChunkSize, with
// no more than two chunks in memory. A file that cannot be opened or read, a folder, an empty
// file, criteria without an encoding, or a stop request all give false. A file that is there
// but may not be opened puts the system's reason into `failure`, if given.
bool fileContentMatches(const std::string& path, std::int64_t size, const ContentCriteria& criteria,
                        const std::atomic<bool>& stopRequested, std::string* failure = nullptr);

}  // namespace quillfen
