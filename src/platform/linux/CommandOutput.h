#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillfen::platform {

// Runs a helper program of the desktop (xdg-mime and the like) and returns what it prints on
// standard output, or nullopt when it cannot be started, fails, or takes longer than the limit.
std::optional<std::string> commandOutput(const std::vector<std::string>& arguments,
                                         int timeoutMs = 3000);

}  // namespace quillfen::platform
