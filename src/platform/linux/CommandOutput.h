#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessLauncher.h"

namespace quillfen::platform {

// Runs a helper program of the desktop (xdg-mime and the like) and returns what it prints on
// standard output, or nullopt when it cannot be started, fails, or takes longer than the limit.
std::optional<std::string> commandOutput(const std::vector<std::string>& arguments,
                                         int timeoutMs = 3000);

// Runs a program with its standard output captured, found on PATH when its name holds no '/',
// and tells how it ended; one that runs longer than the limit is killed.
CapturedRun captureOutput(const std::vector<std::string>& arguments, int timeoutMs);

}  // namespace quillfen::platform
