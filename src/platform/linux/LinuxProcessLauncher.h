#pragma once

#include "platform/ProcessLauncher.h"

namespace quillfen::platform {

// Starts programs with posix_spawn and an argument vector; never through a shell.
class LinuxProcessLauncher final : public ProcessLauncher {
public:
    bool launch(const std::vector<std::string>& arguments, const LaunchOptions& options) override;
    bool isRunning(int processId) const override;
    CapturedRun runCapturingOutput(const std::vector<std::string>& arguments,
                                   int timeoutMs) override;
    // Reads the program file of every process in /proc; those of other users stay hidden.
    std::vector<int> othersRunningFrom(const std::string& folder) const override;
};

}  // namespace quillfen::platform
