#pragma once

#include <atomic>

#include "cli/CliOptions.h"

namespace quillfen::cli {

// Runs `index add`, `remove`, `list` or `update`. Exit codes: 0 when every folder named was
// handled, 1 when a folder named is not indexed, 2 when an index could not be built or written,
// 130 when interrupted.
int runIndexCommand(const IndexCommand& command, bool searchInRecycleBin,
                    const std::atomic<bool>& stop);

}  // namespace quillfen::cli
